#pragma once
// The window set up for the identified probe: the units menu, the zero and range entries, the
// sample-rate list (SetUpSigma for Sigma and Kappa probes), and the 3-axis menu entry.
#include <QString>

namespace app {
class frmMain;
}

namespace measure {

class ProbeSetup {
public:
    explicit ProbeSetup(app::frmMain& main);
    void connectControls();

    void SetUpSigma();
    void mnuProbe3AxisData_Click();

    int ZeroAvailable = 0;

private:
    app::frmMain& m_main;
};

} // namespace measure
