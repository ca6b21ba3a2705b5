#pragma once
// The main window's layout in twips: the controls placed at start-up, the re-layout on resize,
// the bar graph's place, the switch between the Sigma and Zeta layouts, the readouts' text
// colour, the bar-graph button and the view menus of the toolbar, status bar, bar graph and
// moving average.
#include "graph/clsGraph.h"
#include "measure/RecordTable.h"
#include "platform/DrawSurface.h"
#include "window/MainControls.h"

class QMainWindow;

namespace window {

class BarGraphControl;
class GraphControl;
class LinkControl;
class ProbeSetup;
class Readouts;

class MainLayout {
public:
    // Which family's layout the window shows.
    enum FamilyLayout : int { SigmaLayout = 0, ZetaLayout = 1, NoLayout = 2 };

    // The parts whose controls change with the layout.
    struct Parts {
        Readouts& readouts;
        ProbeSetup& setup;
        LinkControl& link;
        GraphControl& graphs;
        BarGraphControl& bars;
    };

    // Connects the view menus and the bar-graph button.
    MainLayout(MainControls& controls, QMainWindow& window, graph::clsGraph& graph,
               const Parts& parts, const measure::RecordTable& records);

    // Positions of the controls at the default size; called once by the window.
    void PlaceControls();
    void ResizeForm();
    // The resize that placing the window at start-up causes is not laid out.
    void SkipNextResize() { m_skipNextResize = true; }
    void AdjustPicture3();

    // The family the probe reports itself of: a Zeta identification, or a Sigma range report.
    void SetZetaFamily(bool zeta) { m_zetaFamily = zeta; }
    bool ZetaFamily() const { return m_zetaFamily; }
    FamilyLayout ZetaLayoutShown() const { return m_shown; }
    // No family's layout is shown (start-up).
    void ResetLayoutShown() { m_shown = NoLayout; }
    // The layout of the family reported, when it is not the one shown.
    void ShowFamilyLayout();
    void ChangeDisplay();
    // A change of layout asked for while the probe was busy is made now.
    void ChangeDisplayIfPending();

    void ChangeTextColor(platform::Colour colour);
    // Shows or hides the moving-average panel.
    void ToggleExposure(bool show);
    // Whether the moving-average frame is shown (a log started now averages).
    bool ExposureShown() const { return m_exposureShown; }
    // The limit panel, between the peaks (or the moving average) and the bar graph.
    void ShowLimitPanel(bool shown);
    bool LimitPanelShown() const { return m_limitShown; }
    // The status bar shown or hidden (the settings at start-up, the View menu's entry).
    void ShowStatusBar(bool shown);
    bool StatusBarShown() const { return m_statusBarShown; }
    void mnuViewToolbar_Click();
    void mnuViewStatusBar_Click();
    void mnuViewExposure_Click();
    void mnuViewBarGraph_Click();

private:
    void placePeaks(bool exposureShown);
    // The room the axis box leaves when it is hidden (a probe without axis readouts): the
    // boxes to its right move into it.
    double axisBoxGap() const;
    double innerWidth() const;
    double innerHeight() const;

    MainControls& m_ui;
    QMainWindow& m_window;
    graph::clsGraph& m_graph;
    Parts m_parts;
    const measure::RecordTable& m_records;
    bool m_skipNextResize = false;
    bool m_zetaFamily = false;
    bool m_layoutPending = false;
    FamilyLayout m_shown = NoLayout;
    bool m_exposureShown = false;
    bool m_limitShown = false;
    bool m_statusBarShown = true;
};

} // namespace window
