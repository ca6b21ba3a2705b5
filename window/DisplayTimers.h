#pragma once
// The display-update timer that paces the readouts (HRTUpDateText marks the text update due;
// the next reading takes the mark) and the moving-average period.
#include "platform/HiResTimer.h"
#include "platform/MessageBoxes.h"

#include <QString>

namespace window {

class DisplayTimers {
public:
    static constexpr int MaxTextUpdateRate = 70; // readout refreshes per second
    static constexpr int MinTextUpdateMs = 14;

    // Gives HRTUpDateText its handler.
    DisplayTimers(platform::HiResTimer& upDateText, platform::MessageBoxes& boxes);

    // Updates per second asked for; sets and starts HRTUpDateText and returns the rate in
    // force (1 to 70).
    int SetTextUpdateTimer(int rate);
    void HRTUpDateText_Timer() { m_textUpdateDue = true; }
    bool TextUpdateDue() const { return m_textUpdateDue; }
    // True once after each tick: the caller updates the readouts.
    bool ConsumeTextUpdateDue();
    // AveragePeriod from a period text ("6 Minute"); false (with the message) for a text
    // outside the table.
    bool SetMinuteAverTime(const QString& period);
    // Seconds of a period text, 0 for a text outside the table.
    static int PeriodSeconds(const QString& text);

    int TextUpdateRate() const { return m_textUpdateRate; }
    int AveragePeriod() const { return m_averagePeriod; }

private:
    platform::HiResTimer& HRTUpDateText;
    platform::MessageBoxes& m_boxes;
    bool m_textUpdateDue = false;
    int m_textUpdateRate = 7;
    int m_averagePeriod = 360;
};

} // namespace window
