#include "platform/SerialComm.h"

#include <QStringList>
#include <algorithm>

namespace platform {

void SerialComm::setRThreshold(int n) {
    m_rThreshold = n < 0 ? 0 : n;
    maybeSchedule();
}

QByteArray SerialComm::input() {
    const qint64 waiting = bufferedCount();
    if (waiting <= 0) return {};
    const qint64 count = m_inputLen > 0 ? std::min<qint64>(m_inputLen, waiting) : waiting;
    QByteArray data = takeBuffered(count);
    // Inside the handler the check waits until the handler returns: it may read on.
    if (m_inHandler)
        m_readInHandler = true;
    else
        maybeSchedule();
    return data;
}

void SerialComm::charactersArrived() {
    maybeSchedule();
}

void SerialComm::maybeSchedule() {
    if (m_notifyScheduled || m_rThreshold <= 0 || bufferedCount() < m_rThreshold) return;
    m_notifyScheduled = true;
    scheduleNotification();
}

void SerialComm::deliverNotification() {
    m_notifyScheduled = false;
    if (m_rThreshold <= 0 || bufferedCount() < m_rThreshold) return;
    if (m_inHandler) {
        // A handler that let events run (a delay) must not be entered twice: try again later.
        m_notifyScheduled = true;
        scheduleNotification();
        return;
    }
    m_commEvent = CommEvReceive;
    if (!m_onComm) return;

    {
        // Cleared again even when the handler leaves by an exception.
        struct InHandler {
            bool& flag;
            explicit InHandler(bool& f) : flag(f) { flag = true; }
            ~InHandler() { flag = false; }
        } guard(m_inHandler);
        ++m_onCommCalls;
        m_readInHandler = false;
        m_onComm();
    }
    // A handler that read part of the characters hears again for what is left; one that read
    // nothing hears again when more arrive.
    if (m_readInHandler) maybeSchedule();
}

bool LineSettings::parse(const QString& text, LineSettings* out) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 4) return false;
    bool okBaud = false, okData = false, okStop = false;
    LineSettings s;
    s.baud = parts[0].trimmed().toInt(&okBaud);
    const QString parity = parts[1].trimmed().toLower();
    s.dataBits = parts[2].trimmed().toInt(&okData);
    s.stopBits = parts[3].trimmed().toInt(&okStop);
    if (!okBaud || !okData || !okStop || parity.size() != 1 || s.baud <= 0) return false;
    s.parity = parity.at(0).toLatin1();
    if (!QByteArrayLiteral("noems").contains(s.parity)) return false;
    if (s.dataBits < 5 || s.dataBits > 8 || (s.stopBits != 1 && s.stopBits != 2)) return false;
    *out = s;
    return true;
}

} // namespace platform
