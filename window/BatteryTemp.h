#pragma once
// Battery and temperature of the main window: the periodic refresh (HRTReadBattTemp, every
// minute), the menu commands that ask at once, the temperature scale, the readouts of both, the
// battery gauge ShapeBatLevel and the low-battery blinking driven by the 500 ms tick.
#include "platform/DrawSurface.h"
#include "platform/HiResTimer.h"
#include "window/MainControls.h"

namespace engine {
class ProbeEngine;
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

    // Connects the menu entries and the temperature caption; sets the timer's handler.
    BatteryTemp(const BatteryControls& controls, engine::ProbeEngine& engine,
                platform::HiResTimer& readBattTemp);

    void SetUpReadBattTemp(int minutes);
    int BattUpdateMinutes() const { return m_updateMinutes; }
    void HRTReadBattTemp_Timer();
    // Battery and temperature asked of the probe now.
    void RefreshRequest();
    void mnuProbeUpdateNow_Click() { RefreshRequest(); }
    void LabTempLab_Click();
    void mnuProbeTempCels_Click();
    void mnuProbeTempFahr_Click();
    // The menu entry that asks at once is off while the probe streams.
    void SetUpdateNowEnabled(bool enabled);

    // The battery in percent: readout and gauge.
    void ShowBattery(int percent);
    // Draws the gauge for a level in percent.
    void BatteryLevel(int level);
    void ShowTemperature(const QString& text);
    // Probes without a thermometer hide the caption and the readout.
    void ShowTemperatureCaption(bool shown);
    // The low-battery flag the probe sends with its samples.
    void SetBattLowBlink(bool low) { m_lowBlink = low; }
    bool BattLowBlink() const { return m_lowBlink; }
    // The blinking part of the 500 ms tick.
    void BlinkTick();
    // The probe is gone: the blinking stops.
    void LowBatteryOff();
    // The probe is gone: the gauge empty, both readouts blank.
    void Clear();

private:
    void setCelsius(bool celsius);
    // The warning colour while the level is low or the probe reports a low battery, cyan
    // otherwise.
    platform::Colour gaugeColour() const;

    BatteryControls m_ui;
    engine::ProbeEngine& m_engine;
    platform::HiResTimer& HRTReadBattTemp;
    int m_updateMinutes = 30;
    int m_minuteCount = 0;
    bool m_lowBlink = false;
    int m_blinkShown = 0; // colour applied for the blink state: 0 none, 1 low, 2 normal
    bool m_lowLevel = false;
};

} // namespace window
