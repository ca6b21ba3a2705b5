#include "platform/QtClock.h"

#include <QCoreApplication>
#include <QThread>
#include <cmath>

namespace platform {

QtClock::QtClock() {
    m_elapsed.start();
}

double QtClock::secondsSinceMidnight() const {
    const qint64 mono = monotonicMs();
    if (m_offsetAtMs < 0 || mono - m_offsetAtMs >= 1000) {
        m_offsetMs = qint64(QDateTime::currentDateTime().offsetFromUtc()) * 1000;
        m_offsetAtMs = mono;
    }
    constexpr qint64 DayMs = 86400000;
    const qint64 local = QDateTime::currentMSecsSinceEpoch() + m_offsetMs;
    return double(((local % DayMs) + DayMs) % DayMs) / 1000.0;
}

void QtClock::delay(double ms) {
    const qint64 start = m_elapsed.nsecsElapsed();
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (!(ms > 0.0)) return;
    const qint64 end = start + static_cast<qint64>(std::llround(ms * 1e6));
    for (;;) {
        const qint64 leftUs = (end - m_elapsed.nsecsElapsed()) / 1000;
        if (leftUs <= 0) break;
        QThread::usleep(static_cast<unsigned long>(leftUs));
    }
}

} // namespace platform
