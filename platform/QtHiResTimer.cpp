#include "platform/QtHiResTimer.h"

#include <cmath>

namespace platform {

QtHiResTimer::QtHiResTimer(QObject* parent) : QObject(parent) {
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setSingleShot(false);
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        // A timeout that was already on its way when the timer was stopped is dropped.
        if (m_enabled) tick();
    });
}

int QtHiResTimer::effectiveInterval(double ms) {
    if (!(ms >= 1.0)) return 1; // also catches NaN
    if (ms >= 2147483647.0) return 2147483647;
    return static_cast<int>(std::lround(ms));
}

void QtHiResTimer::setEnabled(bool enabled) {
    m_enabled = enabled;
    if (enabled)
        m_timer.start(); // restarts a running timer
    else
        m_timer.stop();
}

void QtHiResTimer::setInterval(double ms) {
    // QTimer restarts an active timer with the new interval.
    m_timer.setInterval(effectiveInterval(ms));
}

} // namespace platform
