#include "platform/fake/ManualClock.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

qint64 toUs(double ms) {
    return ms > 0.0 ? static_cast<qint64>(std::llround(ms * 1000.0)) : 0;
}

} // namespace

ManualHiResTimer::ManualHiResTimer(ManualClock* clock, int order)
    : m_clock(clock), m_order(order) {}

ManualHiResTimer::~ManualHiResTimer() {
    if (m_clock) m_clock->forget(this);
}

void ManualHiResTimer::setEnabled(bool enabled) {
    m_enabled = enabled;
    if (enabled && m_clock) m_dueUs = m_clock->m_nowUs + m_intervalMs * 1000;
}

void ManualHiResTimer::setInterval(double ms) {
    m_intervalMs = !(ms >= 1.0) ? 1 : std::llround(ms);
    if (m_enabled && m_clock) m_dueUs = m_clock->m_nowUs + m_intervalMs * 1000;
}

void ManualHiResTimer::fire() {
    if (!m_enabled) return;
    ++m_ticks;
    tick();
}

ManualClock::ManualClock(const QDateTime& start) : m_base(start) {}

ManualClock::~ManualClock() {
    for (ManualHiResTimer* timer : m_timers)
        timer->m_clock = nullptr;
}

QDateTime ManualClock::now() const {
    return m_base.addMSecs((m_nowUs - m_baseUs) / 1000);
}

void ManualClock::delay(double ms) {
    m_delays.append(ms);
    m_nowUs += toUs(ms);
}

void ManualClock::setNow(const QDateTime& now) {
    m_base = now;
    m_baseUs = m_nowUs;
}

void ManualClock::advance(double ms) {
    const qint64 target = m_nowUs + toUs(ms);
    if (m_advancing) {
        // From inside a handler: the outer advance fires what falls due.
        m_nowUs = target;
        return;
    }
    m_advancing = true;
    while (ManualHiResTimer* timer = nextDue(std::max(target, m_nowUs))) {
        m_nowUs = std::max(m_nowUs, timer->m_dueUs);
        const qint64 periodUs = timer->m_intervalMs * 1000;
        timer->m_dueUs += periodUs;
        if (timer->m_dueUs < m_nowUs) timer->m_dueUs = m_nowUs + periodUs;
        timer->fire();
    }
    m_nowUs = std::max(m_nowUs, target);
    m_advancing = false;
}

std::unique_ptr<ManualHiResTimer> ManualClock::createTimer() {
    auto timer = std::unique_ptr<ManualHiResTimer>(new ManualHiResTimer(this, m_created++));
    m_timers.push_back(timer.get());
    return timer;
}

void ManualClock::forget(ManualHiResTimer* timer) {
    m_timers.erase(std::remove(m_timers.begin(), m_timers.end(), timer), m_timers.end());
}

ManualHiResTimer* ManualClock::nextDue(qint64 limitUs) const {
    ManualHiResTimer* best = nullptr;
    for (ManualHiResTimer* timer : m_timers) {
        if (!timer->m_enabled || timer->m_dueUs > limitUs) continue;
        if (!best || timer->m_dueUs < best->m_dueUs ||
            (timer->m_dueUs == best->m_dueUs && timer->m_order < best->m_order))
            best = timer;
    }
    return best;
}

} // namespace platform
