#pragma once
// A clock for tests whose time moves only when the test says so, with timers that fire as
// that time passes.
//
// advance() moves time forward and fires every enabled timer that falls due, each at its due
// time and in time order (timers due at the same moment in the order they were created). A
// timer's handler may enable, disable or re-interval any timer, its own included. A timer that
// fires late (its due time passed inside a delay()) fires once and starts its next period
// from then, as a QTimer does. delay() moves time without firing anything and records the
// wait. setNow() changes the time of day only: the monotonic count never goes back.
#include "platform/Clock.h"
#include "platform/HiResTimer.h"

#include <QList>
#include <memory>
#include <vector>

namespace platform {

class ManualClock;

class ManualHiResTimer : public HiResTimer {
public:
    ~ManualHiResTimer() override;

    // Enabling (also an enabled timer) puts the next tick one interval from now.
    void setEnabled(bool enabled) override;
    bool enabled() const override { return m_enabled; }
    // Rounded to whole milliseconds, at least 1; on an enabled timer the next tick moves to one
    // new interval from now.
    void setInterval(double ms) override;
    double interval() const override { return static_cast<double>(m_intervalMs); }

    // One tick now if the timer is enabled, for tests that drive ticks themselves.
    void fire();
    // The monotonic time of the next tick.
    qint64 dueAt() const { return m_dueUs / 1000; }
    // Ticks handed to the handler (a tick that arrives while the handler runs is dropped by
    // the handler's guard but counted here).
    int tickCount() const { return m_ticks; }

private:
    friend class ManualClock;
    explicit ManualHiResTimer(ManualClock* clock, int order);

    ManualClock* m_clock;
    int m_order;
    qint64 m_intervalMs = 1000;
    qint64 m_dueUs = 0;
    int m_ticks = 0;
    bool m_enabled = false;
};

class ManualClock : public Clock {
public:
    explicit ManualClock(const QDateTime& start = QDateTime(QDate(2024, 3, 14), QTime(10, 0)));
    ~ManualClock() override;

    qint64 monotonicMs() const override { return m_nowUs / 1000; }
    QDateTime now() const override;
    void delay(double ms) override;

    // The time of day from now on; the monotonic count is not touched.
    void setNow(const QDateTime& now);
    // Moves time forward by ms, firing the timers that fall due on the way.
    void advance(double ms);
    QList<double> delays() const { return m_delays; }

    std::unique_ptr<ManualHiResTimer> createTimer();

private:
    friend class ManualHiResTimer;
    void forget(ManualHiResTimer* timer);
    ManualHiResTimer* nextDue(qint64 limitUs) const;

    qint64 m_nowUs = 0;
    QDateTime m_base;
    qint64 m_baseUs = 0;
    QList<double> m_delays;
    std::vector<ManualHiResTimer*> m_timers;
    int m_created = 0;
    bool m_advancing = false;
};

} // namespace platform
