#pragma once
// The system clock: a monotonic count from QElapsedTimer and the local date and time.
#include "platform/Clock.h"

#include <QElapsedTimer>

namespace platform {

class QtClock : public Clock {
public:
    QtClock();

    qint64 monotonicMs() const override { return m_elapsed.elapsed(); }
    QDateTime now() const override { return QDateTime::currentDateTime(); }
    qint64 epochMs() const override { return QDateTime::currentMSecsSinceEpoch(); }
    // Asked for every sample: the local time's offset from UTC is looked up at most once a
    // second, the rest is arithmetic on the UTC count.
    double secondsSinceMidnight() const override;
    // Serves pending events once (not user input) when an application object exists, then
    // sleeps until ms have passed since the call.
    void delay(double ms) override;

private:
    QElapsedTimer m_elapsed;
    mutable qint64 m_offsetAtMs = -1; // monotonicMs() when the offset was looked up
    mutable qint64 m_offsetMs = 0;
};

} // namespace platform
