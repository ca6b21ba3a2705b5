#pragma once
// The window set up for the identified probe: the units menu, the zero and range entries, the
// sample-rate list (SetUpSigma for Sigma and Kappa probes, SetUpZeta for Zeta probes), and the
// 3-axis menu entry.
#include <QString>

namespace app {
class frmMain;
}

namespace window {

class ProbeSetup {
public:
    explicit ProbeSetup(app::frmMain& main);
    void connectControls();

    void SetUpSigma();
    void SetUpZeta();
    // The sample-rate list of a Sigma or Kappa probe: "Max" first when offered, then the
    // link's rates from the fastest; the rate in force is shown.
    void FillSampleRates(bool maxEntry);
    // The 3-axis entry: reads the axes in turn, or all together again. Ignored while logging.
    void mnuProbe3AxisData_Click();

    int ZeroAvailable = 0;

private:
    app::frmMain& m_main;
};

} // namespace window
