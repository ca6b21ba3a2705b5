#pragma once
// Battery and temperature of the main window: the periodic refresh (HRTReadBattTemp, every
// minute), the menu commands that ask at once, the temperature scale, the battery gauge
// ShapeBatLevel and the low-battery blinking driven by the 500 ms tick.
#include <QtGlobal>

namespace app {
class frmMain;
}

namespace probe {

class BatteryTemp {
public:
    explicit BatteryTemp(app::frmMain& main);
    // Connects the menu entries and the temperature label; sets the timer's handler.
    void connectControls();

    void SetUpReadBattTemp(int minutes);
    void HRTReadBattTemp_Timer();
    // The refresh request for the protocol state in force, queued with SetNextCmnd.
    void RefreshRequest();
    void mnuProbeUpdateNow_Click() { RefreshRequest(); }
    void LabTempLab_Click();
    void mnuProbeTempCels_Click();
    void mnuProbeTempFahr_Click();
    // Draws the gauge for a level in percent.
    void BatteryLevel(int level);
    // The blinking part of the 500 ms tick.
    void BlinkTick();
    // The probe is gone: the blinking stops.
    void LowBatteryOff();

    int BattUpdateMinutes = 30;
    int BattMinuteCount = 0;
    int BattLowBlink = 0;

private:
    app::frmMain& m_main;
    int m_blinkShown = 0; // colour applied for the blink state: 0 none, 1 low, 2 normal
    bool m_labelVisible = true;
};

} // namespace probe
