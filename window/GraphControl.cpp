// The time-series graph as the main window drives it: set-up, vertical scale, live sweep, the
// two lists under the graph and the graph menus.
#include "window/GraphControl.h"

#include "engine/ProbeEngine.h"

#include "graph/VerticalScale.h"
#include "graph/clsGraphMath.h"
#include "probe/clsProbe.h"
#include "window/BarGraphControl.h"

#include <QComboBox>

namespace window {

using graph::clsGraph;
using measure::Reading;

namespace {

const QStringList SamPerDivTexts{
    QStringLiteral("20"),  QStringLiteral("35"),  QStringLiteral("50"),  QStringLiteral("75"),
    QStringLiteral("100"), QStringLiteral("150"), QStringLiteral("200"), QStringLiteral("300"),
    QStringLiteral("400"), QStringLiteral("500"), QStringLiteral("1000")};

constexpr int DefaultSamPerDiv = 50;

} // namespace

GraphControl::GraphControl(const GraphControls& controls, clsGraph& graph, files::Config& config,
                           engine::ProbeEngine& engine, BarGraphControl& bars,
                           platform::MessageBoxes& boxes, WindowShell& shell)
    : m_ui(controls), m_graph(graph), m_config(config), m_engine(engine), m_probe(engine.probe()),
      m_bars(bars), m_boxes(boxes), m_shell(shell) {
    const GraphControls& u = m_ui;
    QObject::connect(u.cmbSamPerDiv, &QComboBox::activated, u.cmbSamPerDiv,
                     [this] { cmbSamPerDiv_Click(); });
    QObject::connect(u.CmbVerticalScale, &QComboBox::activated, u.CmbVerticalScale,
                     [this] { CmbVerticalScale_Click(); });
    QObject::connect(u.mnuProbePlotComposite, &QAction::triggered, u.mnuProbePlotComposite,
                     [this] { mnuProbePlotComposite_Click(); });
    QObject::connect(u.mnuViewScatterGraph, &QAction::triggered, u.mnuViewScatterGraph,
                     [this] { mnuViewScatterGraph_Click(); });
    QObject::connect(u.mnuViewScatterLive, &QAction::triggered, u.mnuViewScatterLive,
                     [this] { mnuViewScatterLive_Click(); });
    QObject::connect(u.tbScatter, &QAction::triggered, u.tbScatter,
                     [this] { mnuViewScatterLive_Click(); });
    QObject::connect(u.tbZoomIn, &QAction::triggered, u.tbZoomIn, [this] { tbZoomIn_Click(); });
}

// ---- set-up and scale --------------------------------------------------------------------------

void GraphControl::SetUpGraphCls() {
    clsGraph& g = m_graph;
    const platform::SurfaceWidget* picture = m_ui.Picture1;
    g.SetConnectPts(1);
    g.SetPixelSize(1);
    g.SetZoomOff(0);
    g.SetHeight(graph::CInt(picture->ScaleHeight() - 100.0));
    g.SetWidth(graph::CInt(picture->ScaleWidth() - 100.0));
    g.SetLeft(100);
    g.SetTop(100);
    g.SetDisVerLines(2);
    // 1 grid lines, 2 tick marks only (as the options leave it), anything else none.
    const int lines = m_config.HorizontalLinesOn;
    g.SetDisHorLines(lines == 1 || lines == 2 ? lines : 0);
    for (int trace : {clsGraph::TraceTotal, clsGraph::TraceX, clsGraph::TraceY, clsGraph::TraceZ})
        g.TraceSet(trace, 1);
    g.SetNo_VerMinDiv(1);
    g.SetNo_HorMinDiv(1);
    g.SetHorUnitsPerDiv(10.0f);
    g.SetHorUnitsOffset(10.0f);
    g.SetHorUnitsDesc(QStringLiteral("Time"));
    g.SetSamPerDiv(float(m_config.SamPerDivSetting));
}

void GraphControl::LimitGraphSetting() {
    QComboBox* box = m_ui.CmbVerticalScale;
    const probe::clsProbe& p = m_probe;
    const bool kappa = p.TypeZeta() == probe::StateKappa;

    // A blank list stands for the scale in force, which the new list may offer again; an
    // automatic scale stays the choice while a probe without "Auto" is connected.
    QString shown = box->currentText();
    if (shown.isEmpty() || m_config.GraphScaleAuto == 1)
        shown = m_config.GraphScaleAuto == 1 ? AutoText : m_config.GraphScaleStr;

    QStringList texts;
    if (!kappa) texts.append(AutoText);
    const int maxRange = p.GetMaxRange();
    for (int range = 1; range <= maxRange; ++range)
        texts.append(p.GetGraphScales(range, 0));
    texts.append(p.GetGraphScales(maxRange + 1, 1));
    texts.removeAll(QString()); // ranges and units without a scale of their own

    box->clear();
    box->addItems(texts);
    // A stored log shown keeps showing the scale it is drawn on.
    if (!m_live && m_storedViewShown) {
        ShowStoredScale(m_config.GraphScaleStr);
        return;
    }
    // A probe without "Auto" shows the scale of its present range instead, which the graph
    // then follows as it would follow "Auto".
    box->setCurrentIndex(box->findText(kappa && shown == AutoText ? p.GetGraphSelection() : shown));
}

void GraphControl::ShowStoredScale(const QString& text) {
    m_config.GraphScaleStr = text;
    QComboBox* box = m_ui.CmbVerticalScale;
    if (box->findText(text) < 0) box->addItem(text);
    box->setCurrentIndex(box->findText(text));
}

void GraphControl::FollowProbeScale() {
    // An automatic scale follows the probe's range while the graph is live; a stored log is
    // drawn on its own scale.
    if (m_config.GraphScaleAuto != 1 || !m_live) return;
    // A probe that offers no scale yet leaves the scale as it is.
    const QString selection = m_probe.GetGraphSelection();
    if (selection.isEmpty()) return;
    m_config.GraphScaleStr = selection;
    // A probe without "Auto" in its list shows the scale it follows.
    if (m_probe.TypeZeta() == probe::StateKappa) {
        QComboBox* box = m_ui.CmbVerticalScale;
        box->setCurrentIndex(box->findText(selection));
    }
}

QString GraphControl::ScaleInForce() {
    FollowProbeScale();
    return m_config.GraphScaleStr;
}

int GraphControl::SetUpGraphScale() {
    clsGraph& g = m_graph;
    if (m_live) FollowProbeScale();
    const QString& text = m_config.GraphScaleStr;
    if (text == m_lastScaleStr) {
        g.DisplayProbeRange();
        g.DisplayMark();
        return 0;
    }
    m_lastScaleStr = text;
    g.SetOverRangeVal(m_probe.GetOverRangeVal());
    g.SetUnderRangeVal(m_probe.GetUnderRangeVal());
    g.SetNoVerDiv(10);
    g.SetGraphType(text.startsWith(QLatin1String("Log")) ? clsGraph::Logarithmic
                                                         : clsGraph::Linear);
    const std::optional<graph::VerticalScale> scale = graph::FindVerticalScale(text);
    if (!scale) {
        m_boxes.inform(platform::MsgIcon::None, QStringLiteral("Graph scale not found: ") + text);
    } else {
        g.SetNoVerDiv(scale->divisions);
        if (scale->log) {
            g.SetYAxisLogMax(scale->top);
        } else {
            g.SetVerUnitsPerDiv(scale->unitsPerDiv);
            g.SetVerUnitsOffset(scale->centre);
        }
    }
    // What the sweep drew was drawn on the scale before.
    forgetSweep();
    return 1;
}

void GraphControl::DrawGraph() {
    forgetSweep();
    if (m_live) {
        m_graph.Graph(1);
    } else {
        m_graph.Graph(0);
        m_graph.ZoomOut();
        m_graph.DrawLines();
    }
}

void GraphControl::RescaleAll() {
    // The settings read at start-up come before the scales are listed.
    if (!m_listsFilled) return;
    if (SetUpGraphScale() != 1) return;
    DrawGraph();
    m_bars.SetUpBarGraph();
}

void GraphControl::ShowProbeRange() {
    m_graph.SetOverRangeVal(m_probe.GetOverRangeVal());
    m_graph.SetUnderRangeVal(m_probe.GetUnderRangeVal());
    m_graph.DisplayProbeRange();
    m_graph.DisplayMark();
}

void GraphControl::RedrawFrame() {
    m_graph.Clear();
    if (m_live || m_playing) {
        m_graph.Graph(1);
        replaySweep();
    } else {
        m_graph.Graph(0);
        m_graph.DrawLines();
    }
}

// ---- live sweep ---------------------------------------------------------------------------------

void GraphControl::InitSweep() {
    m_sweepLength = graph::CInt(m_graph.ReTraceCnt());
    forgetSweep();
}

void GraphControl::forgetSweep() {
    m_sweepIndex = 0;
    m_sweepWrapped = false;
    m_sweep.assign(std::size_t(std::max(m_sweepLength, 0)) + 1, SweepPoint{});
}

void GraphControl::advanceSweep() {
    ++m_sweepIndex;
    if (m_sweepIndex > m_sweepLength || m_sweepIndex < 1) {
        m_sweepWrapped = m_sweepIndex > 1;
        m_sweepIndex = 1;
    }
    if (m_sweepIndex < int(m_sweep.size())) m_sweep[std::size_t(m_sweepIndex)] = SweepPoint{};
}

void GraphControl::plot(measure::Axis trace, float value) {
    m_graph.Scroll(m_sweepIndex, value, int(clsGraph::TraceTotal) + int(trace));
    if (m_sweepIndex < 1 || m_sweepIndex >= int(m_sweep.size())) return;
    SweepPoint& point = m_sweep[std::size_t(m_sweepIndex)];
    point.value[trace] = value;
    point.drawn[trace] = true;
}

void GraphControl::replaySweep() {
    const auto draw = [this](int slot) {
        m_graph.ScrollErase(slot);
        const SweepPoint& point = m_sweep[std::size_t(slot)];
        for (int t = measure::Total; t <= measure::Z; ++t)
            if (point.drawn[std::size_t(t)])
                m_graph.Scroll(slot, point.value[std::size_t(t)], int(clsGraph::TraceTotal) + t);
    };
    const int now = std::min(m_sweepIndex, int(m_sweep.size()) - 1);
    if (m_sweepWrapped) {
        m_graph.ScrollErase(1); // the previous pass is a line of its own
        for (int slot = now + 1; slot < int(m_sweep.size()); ++slot)
            draw(slot);
    }
    if (now >= 1) m_graph.ScrollErase(1); // and so is the present one
    for (int slot = 1; slot <= now; ++slot)
        draw(slot);
}

void GraphControl::TakeReading(const Reading& reading) {
    if (!m_live && !m_playing) return;
    if (reading.family == measure::Family::Zeta)
        PlotGraphZetaformat(reading);
    else
        PlotGraphSigmaFormat(reading);
}

void GraphControl::PlotGraphSigmaFormat(const Reading& r) {
    if (!r.axesReported) {
        advanceSweep();
        m_graph.ScrollErase(m_sweepIndex);
        plot(measure::Total, r.plottedTotal);
        return;
    }
    // Axes come in turn; the Z reading completes a set.
    if (!r.completesSample) return;
    PlotGraphZetaformat(r);
}

void GraphControl::PlotGraphZetaformat(const Reading& r) {
    advanceSweep();
    m_graph.ScrollErase(m_sweepIndex);
    for (measure::Axis axis : {measure::X, measure::Y, measure::Z})
        plot(axis, r.value[axis]);
    if (m_config.PlotComposite == 1) plot(measure::Total, r.value[measure::Total]);
}

// ---- lists ----------------------------------------------------------------------------------

void GraphControl::FillLists() {
    QComboBox* scales = m_ui.CmbVerticalScale;
    m_listsFilled = true;
    LimitGraphSetting();
    const QString wanted = m_config.GraphScaleAuto == 1 ? AutoText : m_config.GraphScaleStr;
    const int index = scales->findText(wanted);
    if (index >= 0) {
        scales->setCurrentIndex(index);
        applyVerticalScale(wanted);
    } else if (wanted != AutoText && graph::FindVerticalScale(wanted)) {
        // A scale of another probe than the default tables describe: it stays in force, and
        // the list shows it once the probe that offers it is identified.
        scales->setCurrentIndex(-1);
        applyVerticalScale(wanted);
    } else {
        m_config.GraphScaleStr = AutoText;
        m_config.GraphScaleAuto = 1;
        scales->setCurrentIndex(scales->findText(AutoText));
        applyVerticalScale(AutoText);
    }

    QComboBox* perDiv = m_ui.cmbSamPerDiv;
    perDiv->clear();
    perDiv->addItems(SamPerDivTexts);
    int entry = perDiv->findText(QString::number(m_config.SamPerDivSetting));
    if (entry < 0) entry = perDiv->findText(QString::number(DefaultSamPerDiv));
    perDiv->setCurrentIndex(entry);
    // The window is not laid out yet: the graph is drawn when it is.
    applySamPerDiv(false);
}

void GraphControl::cmbSamPerDiv_Click() {
    applySamPerDiv(true);
}

void GraphControl::applySamPerDiv(bool draw) {
    bool ok = false;
    const float perDiv = m_ui.cmbSamPerDiv->currentText().toFloat(&ok);
    if (!ok || perDiv <= 0.0f) return;
    m_graph.SetSamPerDiv(perDiv);
    m_config.SamPerDivSetting = graph::CInt(perDiv);
    InitSweep();
    if (draw) {
        // A live graph carries no time labels.
        m_graph.Graph(m_live ? 1 : 0);
        if (!m_live) m_graph.DrawLines();
    }
    m_shell.FocusCommand1();
}

void GraphControl::CmbVerticalScale_Click() {
    const QString text = m_ui.CmbVerticalScale->currentText();
    if (text.isEmpty()) return;
    applyVerticalScale(text);
}

void GraphControl::applyVerticalScale(const QString& text) {
    if (text == AutoText) {
        m_config.GraphScaleAuto = 1;
        m_engine.SetGraphType(AutoText);
    } else {
        m_config.GraphScaleStr = text;
        m_engine.SetGraphType(text);
        m_config.GraphScaleAuto = 0;
    }
    if (graph::CInt(m_graph.ReTraceCnt()) != m_sweepLength) InitSweep();
    m_shell.FocusCommand1();
    RescaleAll();
}

// ---- menus and toolbar ----------------------------------------------------------------------

void GraphControl::SetPlotComp(int flag) {
    m_config.PlotComposite = flag;
    m_ui.mnuProbePlotComposite->setChecked(flag == 1);
}

void GraphControl::mnuProbePlotComposite_Click() {
    SetPlotComp(m_config.PlotComposite == 1 ? 0 : 1);
}

void GraphControl::mnuViewScatterGraph_Click() {
    m_ui.Picture1->setVisible(m_ui.mnuViewScatterGraph->isChecked());
}

void GraphControl::mnuViewScatterLive_Click() {
    m_live = !m_live;
    m_ui.mnuViewScatterLive->setChecked(m_live);
    if (!m_live) return;
    m_ui.mnuProbePlay->setEnabled(false);
    m_shell.SetCaption(AppTitle);
    if (!m_storedViewShown) return;
    // Back from the stored view: the probe's scales in the list, the live frame at the chosen
    // samples per division.
    LimitGraphSetting();
    m_graph.SetSamPerDiv(float(m_config.SamPerDivSetting));
    SetUpGraphScale();
    m_graph.Graph(1);
    InitSweep();
}

void GraphControl::ShowStored() {
    m_live = false;
    m_ui.mnuViewScatterLive->setChecked(false);
    m_storedViewShown = true;
}

void GraphControl::StartPlayback() {
    m_playing = true;
    m_graph.SetSamPerDiv(float(m_config.SamPerDivSetting));
    SetUpGraphScale();
    m_graph.Graph(1);
    InitSweep();
    // The bars show the rows on the graph's scale.
    m_bars.SetUpBarGraph();
}

void GraphControl::tbZoomIn_Click() {
    if (m_live) return;
    m_graph.SetZoomCnt(1);
    m_shell.SetStatusPanel(
        1, QStringLiteral("Click on graph, hold button while moving mouse to the right and down."));
}

} // namespace window
