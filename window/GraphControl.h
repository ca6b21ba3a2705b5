#pragma once
// The main window's side of the time-series graph on Picture1: its one-time configuration, the
// vertical scale chosen from the list or by the probe, the live sweep fed with every reading,
// and the handlers of the samples-per-division and vertical-scale lists and the graph menus.
#include "graph/VerticalScale.h"

#include <QString>

namespace app {
class frmMain;
}

namespace window {

class GraphControl {
public:
    static inline const QString AutoText = QStringLiteral("Auto");

    explicit GraphControl(app::frmMain& main);
    void connectControls();

    void SetUpGraphCls();
    // Refills CmbVerticalScale with the scales the probe offers and shows again the scale that
    // was shown, or blank when the new list lacks it.
    void LimitGraphSetting();
    // Applies GraphScaleStr; returns 1 when the scale changed, 0 when it stayed.
    int SetUpGraphScale();
    // While the scale is automatic ("Auto", or for a probe without it the automatic choice
    // kept), the probe's present scale becomes GraphScaleStr.
    void FollowProbeScale();
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
    // The menu handlers act on the check mark as the click has left it (Qt flips the mark of
    // a checkable item before it reports the click; the toolbar flips it first too).
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
    // The vertical-scale choice (a list text, or a remembered one the list lacks) put in force.
    void applyVerticalScale(const QString& text);
    app::frmMain& m_main;
};

} // namespace window
