#include "platform/fake/RecordingMessageBoxes.h"

#include <QStringList>
#include <algorithm>

namespace platform {

void RecordingMessageBoxes::inform(MsgIcon icon, const QString& text, const QString&) {
    m_messages.append({icon, text, false});
}

bool RecordingMessageBoxes::askYesNo(MsgIcon icon, const QString& text, const QString&) {
    m_messages.append({icon, text, true});
    return m_answers.isEmpty() ? m_defaultAnswer : m_answers.dequeue();
}

int RecordingMessageBoxes::count(const QString& text) const {
    return static_cast<int>(std::count_if(m_messages.cbegin(), m_messages.cend(),
                                          [&](const Message& m) { return m.text == text; }));
}

QStringList RecordingMessageBoxes::texts() const {
    QStringList out;
    for (const Message& m : m_messages)
        out << m.text;
    return out;
}

} // namespace platform
