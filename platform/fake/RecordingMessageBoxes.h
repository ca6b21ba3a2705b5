#pragma once
// Message boxes for tests: every box is recorded, none is shown, and questions are answered
// from a queue the test fills (then by the default answer) without waiting.
#include "platform/MessageBoxes.h"

#include <QList>
#include <QQueue>
#include <QStringList>

namespace platform {

class RecordingMessageBoxes : public MessageBoxes {
public:
    struct Message {
        MsgIcon icon = MsgIcon::None;
        QString text;
        bool question = false;
        bool operator==(const Message&) const = default;
    };

    void inform(MsgIcon icon, const QString& text, const QString& title = QString()) override;
    bool askYesNo(MsgIcon icon, const QString& text, const QString& title = QString()) override;

    void queueAnswer(bool yes) { m_answers.enqueue(yes); }
    void setDefaultAnswer(bool yes) { m_defaultAnswer = yes; }

    QList<Message> messages() const { return m_messages; }
    // How many boxes showed text.
    int count(const QString& text) const;
    // The texts in the order shown.
    QStringList texts() const;
    void clear() { m_messages.clear(); }

private:
    QList<Message> m_messages;
    QQueue<bool> m_answers;
    bool m_defaultAnswer = false;
};

} // namespace platform
