#pragma once
// The readouts of the main window: the total and the three axes with their peak holds (written
// when the display-update timer has ticked), the share of the range, the range flags, the axis
// switches with their colours, the axis marks in the trace colours and the sample rate.
#include "graph/clsGraph.h"
#include "measure/Reading.h"
#include "platform/Clock.h"
#include "window/MainControls.h"

namespace probe {
class clsProbe;
}

namespace window {

class BarGraphControl;
class DisplayTimers;

class Readouts : public measure::ReadingSink {
public:
    // Colour of a disabled axis switch (light grey of the 16-colour palette).
    static constexpr platform::Colour AxisOffColor = 0xC0C0C0;

    Readouts(const ReadoutControls& controls, const probe::clsProbe& probe, DisplayTimers& timers,
             BarGraphControl& bars, const graph::clsGraph& graph, const platform::Clock& clock);

    // The labels of a reading, when the display-update timer has ticked since the last ones
    // and a frame of the screen has passed since they were last written (a tick that comes
    // sooner waits for the next reading).
    void TakeReading(const measure::Reading& reading) override;
    // The four values and their peaks as the family shows them (a row of a log played back
    // alike); power densities to fixed decimals.
    void ShowRow(const measure::AxisValues& values, const measure::AxisValues& peaks,
                 measure::Family family, bool powerDensity);
    // The axis switches coloured from the probe's axis status.
    void UpDateAxis();
    QString AxisStatus() const { return m_axisStatus; }
    void SetAxisOnColor(platform::Colour colour) { m_axisOnColor = colour; }
    // Shows the per-axis readouts while the probe reports its axes (and zeroes the axis bars
    // when it does not); returns whether they are shown.
    bool AllAxisDisplayed();
    // The axis switches shown for a probe that reads its axes in turn.
    void SetXYZLabVisible();
    // The axis box is shown while it holds axis readouts or sensor switches.
    void UpdateAxisBox();
    // All three axis switches grey (every sensor is switched on again).
    void AxisSwitchesOff();
    // The Sigma readouts (share of the range, axis switches) shown or hidden.
    void ShowSigmaReadouts(bool shown);
    void ChanColorIndicator();
    // OVER RANGE and UNDER RANGE.
    void ShowRangeFlags(bool over, bool under);
    void ShowSampleRate(double perSecond);
    void ShowSampleRateReadout(bool shown);
    // The peak holds read 0.
    void ResetPeaks();
    // The probe is gone: "No Probe", everything else blank, the bars at 0.
    void Clear();

private:
    void sigmaLabels(const measure::Reading& reading);
    void zetaLabels(const measure::Reading& reading);

    ReadoutControls m_ui;
    const probe::clsProbe& m_probe;
    DisplayTimers& m_timers;
    BarGraphControl& m_bars;
    const graph::clsGraph& m_graph;
    const platform::Clock& m_clock;
    qint64 m_lastWrittenMs = -1;
    QString m_axisStatus;
    platform::Colour m_axisOnColor = 0xFFFF00;
};

} // namespace window
