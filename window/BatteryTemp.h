#pragma once
// Battery and temperature of the main window: the periodic refresh (HRTReadBattTemp, every
// minute), the menu commands that ask at once, the temperature scale, the battery gauge
// ShapeBatLevel and the low-battery blinking driven by the 500 ms tick.
#include "platform/DrawSurface.h"

#include <QtGlobal>

namespace app {
class frmMain;
}

namespace window {

class BatteryTemp {
public:
    // The gauge: full height and the line it stands on, in twips of the window.
    static constexpr double GaugeFullHeight = 495.0;
    static constexpr double GaugeBase = 1695.0;
    // Below this level the gauge is drawn at LowLevelShown percent, in the warning colour.
    static constexpr int LowLevel = 8;
    static constexpr int LowLevelShown = 10;
    static constexpr platform::Colour NormalColour = 0xFFFF00;  // cyan
    static constexpr platform::Colour WarningColour = 0x00FFFF; // yellow
    static constexpr double TickMs = 60000.0;

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
    void setCelsius(bool celsius);
    // The warning colour while the level is low or the probe reports a low battery, cyan
    // otherwise.
    platform::Colour gaugeColour() const;

    app::frmMain& m_main;
    int m_blinkShown = 0; // colour applied for the blink state: 0 none, 1 low, 2 normal
    bool m_lowLevel = false;
};

} // namespace window
