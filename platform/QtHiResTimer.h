#pragma once
// The periodic timer on a precise QTimer.
//
// setInterval() rounds to whole milliseconds, at least 1. Changing the interval of a running
// timer starts a new period from that moment (the tick that was due under the old interval is
// not delivered); setEnabled(true) also starts a new period, even on a running timer.
// setEnabled(false) stops the timer, and no tick is delivered after that.
#include "platform/HiResTimer.h"

#include <QObject>
#include <QTimer>

namespace platform {

class QtHiResTimer : public QObject, public HiResTimer {
    Q_OBJECT
public:
    explicit QtHiResTimer(QObject* parent = nullptr);

    void setEnabled(bool enabled) override;
    bool enabled() const override { return m_enabled; }
    void setInterval(double ms) override;
    double interval() const override { return m_timer.interval(); }

    // The interval a requested value becomes: rounded to whole milliseconds, at least 1.
    static int effectiveInterval(double ms);

private:
    QTimer m_timer;
    bool m_enabled = false;
};

} // namespace platform
