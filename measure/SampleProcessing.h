#pragma once
// Every complete reply ends here: ProcessData dispatches it by protocol state, the Sigma and
// Kappa replies go through the session's parser (ProcessSigmaFormat) and the readouts, graphs,
// sample count and log table follow (UpdateVMSigma). ClearDisplay blanks the window when the
// probe is lost; UpDateAxis colours the axis switches.
#include "platform/DrawSurface.h"

#include <QString>

namespace app {
class frmMain;
}

namespace measure {

class SampleProcessing {
public:
    explicit SampleProcessing(app::frmMain& main);
    void connectControls();

    void ProcessData();
    void ProcessSigmaFormat();
    void UpdateVMSigma();
    void UpDateAxis();
    void ClearDisplay();
    // Shows (true) or hides the per-axis readouts; returns what it applied ("True"/"False").
    QString AllAxisDisplayed();
    void ChanColorIndicator();

    // Battery percent of a field-reporting probe from its reported volts (clamped to 0..100).
    static int BatteryPercent(float volts, int protocolState, const QString& model);

    QString AxisStatus;
    platform::Colour AxisOnColor = 0xFFFF00;
    int ZetaFamily = 0;
    int LayoutPending = 0;

private:
    void showRangeOnGraph();
    void labelRange();
    void refreshUnits();
    app::frmMain& m_main;
};

} // namespace measure
