#pragma once
// The main window's side of the time-series graph on Picture1: its one-time configuration, the
// vertical scale chosen from the list or by the probe, the live sweep fed with every reading,
// and the handlers of the samples-per-division and vertical-scale lists and the graph menus.
#include "files/Config.h"
#include "graph/clsGraph.h"
#include "measure/Reading.h"
#include "platform/MessageBoxes.h"
#include "window/MainControls.h"
#include "window/WindowShell.h"

#include <QString>
#include <array>
#include <vector>

namespace probe {
class clsProbe;
}
namespace engine {
class ProbeEngine;
}

namespace window {

class BarGraphControl;

class GraphControl : public measure::ReadingSink {
public:
    static inline const QString AutoText = QStringLiteral("Auto");

    // Connects the lists, the graph menus and the toolbar buttons of the graph.
    GraphControl(const GraphControls& controls, graph::clsGraph& graph, files::Config& config,
                 engine::ProbeEngine& engine, BarGraphControl& bars, platform::MessageBoxes& boxes,
                 WindowShell& shell);

    void SetUpGraphCls();
    // Refills CmbVerticalScale with the scales the probe offers and shows again the scale that
    // was shown, or blank when the new list lacks it.
    void LimitGraphSetting();
    // A stored log's scale: in force and shown in the list (where a probe's list lacks it, it
    // is added for as long as the log is shown).
    void ShowStoredScale(const QString& text);
    // Applies GraphScaleStr; returns 1 when the scale changed, 0 when it stayed.
    int SetUpGraphScale();
    // While the scale is automatic ("Auto", or for a probe without it the automatic choice
    // kept), the probe's present scale becomes GraphScaleStr.
    void FollowProbeScale();
    // The scale text in force, after following the probe's scale.
    QString ScaleInForce();
    void DrawGraph();
    // SetUpGraphScale and, when it changed, DrawGraph and the bar graph's scale.
    void RescaleAll();
    // Over- and under-range values from the probe, then the range bracket and alarm mark.
    void ShowProbeRange();

    // The live sweep: one point a reading while the graph is live or a log plays.
    void TakeReading(const measure::Reading& reading) override;
    // One point per reading, or per completed X, Y, Z set while the probe reads its axes in
    // turn; the total when composite plotting is on or the probe reports it alone.
    void PlotGraphSigmaFormat(const measure::Reading& reading);
    // One point of all traces (total, X, Y, Z).
    void PlotGraphZetaformat(const measure::Reading& reading);
    void SetPlotComp(int flag);
    // The sweep anew, its length from the samples across the graph.
    void InitSweep();
    // The frame again after a change of size, of colours or of the alarm mark: the live sweep
    // as far as it had come, or the stored data when the graph is not live.
    void RedrawFrame();

    // Start-up: fills and selects cmbSamPerDiv and CmbVerticalScale from the settings.
    void FillLists();

    void cmbSamPerDiv_Click();
    void CmbVerticalScale_Click();
    // The menu handlers flip the state they stand for and tick the entry from it.
    void mnuProbePlotComposite_Click();
    void mnuViewScatterGraph_Click();
    void mnuViewScatterLive_Click();
    // The toolbar's "ZoomIn": arms the zoom of the stored view.
    void tbZoomIn_Click();

    // The graph stops plotting live and shows what it holds.
    void ShowStored();
    // A log played back sweeps across the live frame at the configured samples per division,
    // on the scale in force, whatever view was shown; what it drew stays when it ends.
    void StartPlayback();
    void EndPlayback() { m_playing = false; }
    bool ScatterGraphOn() const { return m_live; }
    bool StoredViewShown() const { return m_storedViewShown; }
    void SetStoredViewShown(bool shown) { m_storedViewShown = shown; }
    QString LastScaleStr() const { return m_lastScaleStr; }
    int SweepIndex() const { return m_sweepIndex; }
    int SweepLength() const { return m_sweepLength; }

private:
    // What the sweep drew at one slot: a value of each trace it drew.
    struct SweepPoint {
        measure::AxisValues value{};
        std::array<bool, 4> drawn{};
    };
    void advanceSweep();
    // One trace's point at the sweep's slot, drawn and remembered.
    void plot(measure::Axis trace, float value);
    // The sweep starts anew, with nothing remembered (what is measured, or its pace, changed).
    void forgetSweep();
    // Draws again what the sweep holds: the previous pass from the slot after the present one,
    // then the present pass.
    void replaySweep();
    void applySamPerDiv(bool draw);
    // The vertical-scale choice (a list text, or a remembered one the list lacks) put in force.
    void applyVerticalScale(const QString& text);

    GraphControls m_ui;
    graph::clsGraph& m_graph;
    files::Config& m_config;
    engine::ProbeEngine& m_engine;
    const probe::clsProbe& m_probe; // the engine's session, read only
    BarGraphControl& m_bars;
    platform::MessageBoxes& m_boxes;
    WindowShell& m_shell;
    QString m_lastScaleStr;
    int m_sweepLength = 0;
    int m_sweepIndex = 0;
    std::vector<SweepPoint> m_sweep; // slots 1..m_sweepLength
    bool m_sweepWrapped = false;     // the slots after m_sweepIndex hold the previous pass
    bool m_live = true;
    bool m_playing = false; // a played log takes the sweep
    // Set by the zoom-out toolbar button while the stored view is shown.
    bool m_storedViewShown = false;
    bool m_listsFilled = false;
};

} // namespace window
