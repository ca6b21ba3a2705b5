#pragma once
// The human-exposure moving average: one total a second in a window of one-second slots
// (10 s to 30 min). The running sum is kept in double precision, so the average does not
// wander over a long log; each second takes one slot out of the sum and puts one in, and
// nothing is allocated.
#include <QString>
#include <QStringList>
#include <array>

namespace measure {

class MovingAverage {
public:
    static constexpr int MaxPeriod = 1800; // seconds, "30 Minute"
    // The periods offered, in order ("10 Second" .. "30 Minute").
    static const QStringList& Periods();
    // The seconds of a period's text; 0 for a text that is not a period.
    static int PeriodSeconds(const QString& text);

    explicit MovingAverage(int periodSeconds = 360) { Start(periodSeconds); }
    // An empty window of the period (clamped to 1..MaxPeriod).
    void Start(int periodSeconds);
    // One second's total; returns the average over the period (seconds not yet seen count 0).
    double Take(float total);

    double Average() const { return m_sum / m_period; }
    int Period() const { return m_period; }
    int Slot() const { return m_slot; } // 1..Period, 0 before the first second
    bool WindowFull() const { return m_slot == m_period; }

private:
    // One total a second; slots 1..m_period are used, slot 0 never.
    std::array<float, MaxPeriod + 1> m_slots{};
    double m_sum = 0;
    int m_period = 1;
    int m_slot = 0;
};

} // namespace measure
