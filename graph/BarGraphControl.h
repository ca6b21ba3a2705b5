#pragma once
// The main window's side of the bar graph on Picture3: the scale from the vertical-scale text,
// the bars fed with every reading, and the click that clears the peaks.
#include <QString>

namespace app {
class frmMain;
}

namespace graph {

class BarGraphControl {
public:
    explicit BarGraphControl(app::frmMain& main);
    void connectControls();

    void SetUpBarGraph();
    void BarGraphSigma();
    // All four bars at 0.
    void ZeroBars();
    void Picture3_Click();

    QString BarScaleStr;

private:
    app::frmMain& m_main;
};

} // namespace graph
