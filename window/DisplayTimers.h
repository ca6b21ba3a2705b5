#pragma once
// The display-update timer that paces the readouts (HRTUpDateText sets TextUpdateDue; the next
// sample consumes it) and the moving-average period.
#include <QString>

namespace app {
class frmMain;
}

namespace window {

class DisplayTimers {
public:
    static constexpr int MaxTextUpdateRate = 70; // readout refreshes per second
    static constexpr int MinTextUpdateMs = 14;

    explicit DisplayTimers(app::frmMain& main);
    // Gives HRTUpDateText its handler.
    void connectControls();

    // Updates per second asked for; sets and starts HRTUpDateText and returns the rate in
    // force (1 to 70).
    int SetTextUpdateTimer(int rate);
    void HRTUpDateText_Timer() { TextUpdateDue = 1; }
    // AveragePeriod from the period text of the configuration; false (with the message) for a
    // text outside the table.
    bool SetMinuteAverTime();
    // Seconds of a period text, 0 for a text outside the table.
    static int PeriodSeconds(const QString& text);

    int TextUpdateDue = 0;
    int TextUpdateRate = 7;
    int AveragePeriod = 360;

private:
    app::frmMain& m_main;
};

} // namespace window
