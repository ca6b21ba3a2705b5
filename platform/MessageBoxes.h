#pragma once
// Message boxes with the system's fixed texts.
#include <QString>

namespace platform {

enum class MsgIcon { None, Information, Exclamation, Critical, Question };

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // A box with an OK button. It does not hold up the caller: the program keeps polling while
    // the box is open, and a box whose text is already on screen is not opened a second time.
    virtual void inform(MsgIcon icon, const QString& text, const QString& title = QString()) = 0;
    // A question with Yes and No buttons; returns true for Yes. Waits for the answer.
    virtual bool askYesNo(MsgIcon icon, const QString& text, const QString& title = QString()) = 0;
};

} // namespace platform
