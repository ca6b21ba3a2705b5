#pragma once
// What the parts of the main window ask of the window that holds them.
#include <QString>

namespace window {

// The product name: window caption, settings-store application and title of the messages.
inline const QString AppTitle = QStringLiteral("Varnex");

class WindowShell {
public:
    virtual ~WindowShell() = default;
    // Panel 1..4 of the status bar.
    virtual void SetStatusPanel(int panel, const QString& text) = 0;
    virtual QString StatusPanel(int panel) const = 0;
    // Gives the keyboard focus back to Command1 after a list choice (not during start-up).
    virtual void FocusCommand1() = 0;
    // The start-up sequence is running: the window is not laid out yet.
    virtual bool StartingUp() const = 0;
    virtual void SetCaption(const QString& caption) = 0;
};

} // namespace window
