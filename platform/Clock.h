#pragma once
// Time as the program sees it: a monotonic millisecond count for waits, the time of day, the
// current date and time, and the blocking wait used while a probe settles.
#include <QDateTime>

namespace platform {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds from an arbitrary start; never goes back (not even at midnight).
    virtual qint64 monotonicMs() const = 0;
    // Local date and time now.
    virtual QDateTime now() const = 0;
    // Milliseconds since 1970 (UTC), without a time zone to look up.
    virtual qint64 epochMs() const { return now().toMSecsSinceEpoch(); }
    // Seconds since local midnight.
    virtual double secondsSinceMidnight() const {
        const QTime t = now().time();
        return t.msecsSinceStartOfDay() / 1000.0;
    }
    // Lets pending events run once, then waits (sleeping, not spinning) until ms have passed.
    virtual void delay(double ms) = 0;
};

} // namespace platform
