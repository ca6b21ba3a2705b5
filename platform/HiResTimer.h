#pragma once
// The periodic timer component. Ticks arrive on the user-interface thread and never
// re-entrantly; no tick is delivered once the timer has been disabled; enabling restarts the
// period from that moment; an interval change applies from the next tick.
#include <functional>

namespace platform {

class HiResTimer {
public:
    virtual ~HiResTimer() = default;
    virtual void setEnabled(bool enabled) = 0;
    virtual bool enabled() const = 0;
    // Period in milliseconds; values below 1 ms are taken as 1 ms.
    virtual void setInterval(double ms) = 0;
    virtual double interval() const = 0;
    void setOnTimer(std::function<void()> handler) { m_onTimer = std::move(handler); }

protected:
    // Runs the handler unless it is already running (a handler that lets events run must not
    // see its own timer again).
    void tick() {
        if (m_inHandler || !m_onTimer) return;
        m_inHandler = true;
        m_onTimer();
        m_inHandler = false;
    }

private:
    std::function<void()> m_onTimer;
    bool m_inHandler = false;
};

} // namespace platform
