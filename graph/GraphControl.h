#pragma once
// The main window's side of the time-series graph on Picture1: its one-time configuration, the
// vertical scale chosen from the list or by the probe, the live sweep fed with every reading,
// and the handlers of the samples-per-division and vertical-scale lists and the graph menus.
#include <QString>

namespace app {
class frmMain;
}

namespace graph {

class GraphControl {
public:
    explicit GraphControl(app::frmMain& main);
    void connectControls();

    void SetUpGraphCls();
    void LimitGraphSetting();
    // Applies GraphScaleStr; returns 1 when the scale changed, 0 when it stayed.
    int SetUpGraphScale();
    void DrawGraph();
    // SetUpGraphScale and, when it changed, DrawGraph and the bar graph's scale.
    void RescaleAll();
    void PlotGraphSigmaFormat();
    // One live point of all traces (total, X, Y, Z): the Zeta family's readings.
    void PlotPoint(float total, float x, float y, float z);
    void SetPlotComp(int flag);
    // Over- and under-range values from the probe, then the range bracket and alarm mark.
    void ShowProbeRange();

    // Start-up: fills and selects cmbSamPerDiv and CmbVerticalScale from the settings.
    void FillLists();

    void cmbSamPerDiv_Click();
    void CmbVerticalScale_Click();
    void mnuProbePlotComposite_Click();
    void mnuViewScatterGraph_Click();
    void mnuViewScatterLive_Click();
    void mnuViewBarGraph_Click();

    QString LastScaleStr;
    int SweepLength = 0;
    int SweepIndex = 0;
    bool ScatterGraphOn = true;
    bool BarGraphOn = true;
    // Set by the zoom-out toolbar button while the stored view is shown.
    bool StoredViewShown = false;

private:
    void advanceSweep();
    app::frmMain& m_main;
};

} // namespace graph
