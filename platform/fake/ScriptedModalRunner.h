#pragma once
// Runs dialogs without showing them: each run records the dialog's objectName and plays the
// next scripted user action on it (clicking its buttons as a user would), then returns the
// dialog's result. With no action queued the dialog is left as it opened and closed at once.
#include "platform/ModalRunner.h"

#include <QDialog>
#include <QStringList>
#include <functional>
#include <queue>

namespace platform {

class ScriptedModalRunner : public ModalRunner {
public:
    using Action = std::function<void(QDialog&)>;
    void queue(Action action) { m_actions.push(std::move(action)); }
    int run(QDialog& dialog) override {
        shown.append(dialog.objectName());
        if (!m_actions.empty()) {
            Action action = std::move(m_actions.front());
            m_actions.pop();
            action(dialog);
        }
        return dialog.result();
    }
    QStringList shown;

private:
    std::queue<Action> m_actions;
};

} // namespace platform
