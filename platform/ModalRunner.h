#pragma once
// Runs a dialog modally: the one place where the program waits for the user in a window of its
// own (the port, about and options dialogs). Tests script what the user does instead.
class QDialog;

namespace platform {

class ModalRunner {
public:
    virtual ~ModalRunner() = default;
    // Shows the dialog and returns its result code once it is closed.
    virtual int run(QDialog& dialog) = 0;
};

class QtModalRunner : public ModalRunner {
public:
    int run(QDialog& dialog) override;
};

} // namespace platform
