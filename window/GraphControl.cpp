// The time-series graph as the main window drives it: set-up, vertical scale, live sweep, the
// two lists under the graph and the graph menus.
#include "window/GraphControl.h"

#include "app/frmMain.h"
#include "graph/clsGraphMath.h"
#include "window/BarGraphControl.h"
#include "window/MainLayout.h"

#include <QComboBox>
#include <array>
#include <cmath>

namespace window {

namespace {

const QStringList SamPerDivTexts{
    QStringLiteral("20"),  QStringLiteral("35"),  QStringLiteral("50"),  QStringLiteral("75"),
    QStringLiteral("100"), QStringLiteral("150"), QStringLiteral("200"), QStringLiteral("300"),
    QStringLiteral("400"), QStringLiteral("500"), QStringLiteral("1000")};

constexpr int DefaultSamPerDiv = 50;

} // namespace

GraphControl::GraphControl(app::frmMain& main) : m_main(main) {}

void GraphControl::connectControls() {
    window::MainControls& u = m_main.ui();
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
    QObject::connect(u.mnuViewBarGraph, &QAction::triggered, u.mnuViewBarGraph,
                     [this] { mnuViewBarGraph_Click(); });
}

// ---- set-up and scale --------------------------------------------------------------------------

void GraphControl::SetUpGraphCls() {
    graph::clsGraph& g = m_main.graph();
    const platform::SurfaceWidget* picture = m_main.ui().Picture1;
    g.SetConnectPts(1);
    g.SetPixelSize(1);
    g.SetZoomOff(0);
    g.SetHeight(graph::CInt(picture->ScaleHeight() - 100.0));
    g.SetWidth(graph::CInt(picture->ScaleWidth() - 100.0));
    g.SetLeft(100);
    g.SetTop(100);
    g.SetDisVerLines(2);
    g.SetDisHorLines(m_main.config().HorizontalLinesOn == 1 ? 1 : 0);
    for (int trace = 2; trace <= 5; ++trace)
        g.TraceSet(trace, 1);
    g.SetNo_VerMinDiv(1);
    g.SetNo_HorMinDiv(1);
    g.SetHorUnitsPerDiv(10.0f);
    g.SetHorUnitsOffset(10.0f);
    g.SetHorUnitsDesc(QStringLiteral("Time"));
    g.SetSamPerDiv(float(m_main.config().SamPerDivSetting));
}

void GraphControl::LimitGraphSetting() {
    QComboBox* box = m_main.ui().CmbVerticalScale;
    const window::Config& cfg = m_main.config();
    const probe::clsProbe& p = m_main.probe();
    const bool kappa = p.TypeZeta() == probe::StateKappa;

    // A blank list stands for the scale in force, which the new list may offer again; an
    // automatic scale stays the choice while a probe without "Auto" is connected.
    QString shown = box->currentText();
    if (shown.isEmpty() || cfg.GraphScaleAuto == 1)
        shown = cfg.GraphScaleAuto == 1 ? AutoText : cfg.GraphScaleStr;

    QStringList texts;
    if (!kappa) texts.append(AutoText);
    const int maxRange = p.GetMaxRange();
    for (int range = 1; range <= maxRange; ++range)
        texts.append(p.GetGraphScales(range, 0));
    texts.append(p.GetGraphScales(maxRange + 1, 1));
    texts.removeAll(QString()); // ranges and units without a scale of their own

    box->clear();
    box->addItems(texts);
    // A probe without "Auto" shows the scale of its present range instead, which the graph
    // then follows as it would follow "Auto".
    box->setCurrentIndex(box->findText(kappa && shown == AutoText ? p.GetGraphSelection() : shown));
}

void GraphControl::FollowProbeScale() {
    window::Config& cfg = m_main.config();
    const probe::clsProbe& p = m_main.probe();
    QComboBox* box = m_main.ui().CmbVerticalScale;
    const bool automatic = box->currentText() == AutoText;
    if (!automatic && !(p.TypeZeta() == probe::StateKappa && cfg.GraphScaleAuto == 1)) return;
    // A probe that offers no scale yet leaves the scale as it is.
    const QString selection = p.GetGraphSelection();
    if (selection.isEmpty()) return;
    cfg.GraphScaleStr = selection;
    if (!automatic) box->setCurrentIndex(box->findText(selection));
}

int GraphControl::SetUpGraphScale() {
    window::Config& cfg = m_main.config();
    graph::clsGraph& g = m_main.graph();
    probe::clsProbe& p = m_main.probe();
    if (ScatterGraphOn) FollowProbeScale();
    if (cfg.GraphScaleStr == LastScaleStr) {
        g.DisplayProbeRange();
        g.DisplayMark();
        return 0;
    }
    LastScaleStr = cfg.GraphScaleStr;
    g.SetOverRangeVal(p.GetOverRangeVal());
    g.SetUnderRangeVal(p.GetUnderRangeVal());
    g.SetNoVerDiv(10);
    const bool log = cfg.GraphScaleStr.startsWith(QLatin1String("Log"));
    g.SetGraphType(log ? graph::clsGraph::Logarithmic : graph::clsGraph::Linear);
    const std::optional<graph::VerticalScale> scale = graph::FindVerticalScale(cfg.GraphScaleStr);
    if (!scale) {
        m_main.services().boxes.inform(
            platform::MsgIcon::None, QStringLiteral("Graph scale not found: ") + cfg.GraphScaleStr);
    } else {
        g.SetNoVerDiv(scale->divisions);
        if (scale->log) {
            g.SetYAxisLogMax(scale->top);
        } else {
            g.SetVerUnitsPerDiv(scale->unitsPerDiv);
            g.SetVerUnitsOffset(scale->centre);
        }
    }
    SweepIndex = 0;
    return 1;
}

void GraphControl::DrawGraph() {
    graph::clsGraph& g = m_main.graph();
    SweepIndex = 0;
    if (ScatterGraphOn) {
        g.Graph(1);
    } else {
        g.Graph(0);
        g.ZoomOut();
        g.DrawLines();
    }
}

void GraphControl::RescaleAll() {
    if (SetUpGraphScale() != 1) return;
    DrawGraph();
    m_main.barControl().SetUpBarGraph();
}

void GraphControl::ShowProbeRange() {
    graph::clsGraph& g = m_main.graph();
    g.SetOverRangeVal(m_main.probe().GetOverRangeVal());
    g.SetUnderRangeVal(m_main.probe().GetUnderRangeVal());
    g.DisplayProbeRange();
    g.DisplayMark();
}

// ---- live sweep ---------------------------------------------------------------------------------

void GraphControl::advanceSweep() {
    ++SweepIndex;
    if (SweepIndex > SweepLength || SweepIndex < 1) SweepIndex = 1;
}

void GraphControl::PlotGraphSigmaFormat() {
    if (!ScatterGraphOn) return;
    graph::clsGraph& g = m_main.graph();
    const probe::clsProbe& p = m_main.probe();
    if (p.MultiplexOn() != 1) {
        advanceSweep();
        g.ScrollErase(SweepIndex);
        g.Scroll(SweepIndex, p.Field(), 2);
        return;
    }
    // Axes come in turn; the Z reading completes a set.
    if (p.GetMultiCurrAxis() != 3) return;
    advanceSweep();
    g.ScrollErase(SweepIndex);
    g.Scroll(SweepIndex, p.Xaxis(), 3);
    g.Scroll(SweepIndex, p.Yaxis(), 4);
    g.Scroll(SweepIndex, p.Zaxis(), 5);
    if (m_main.config().PlotComposite == 1) g.Scroll(SweepIndex, p.XYZAxis(), 2);
}

void GraphControl::PlotPoint(float total, float x, float y, float z) {
    if (!ScatterGraphOn) return;
    graph::clsGraph& g = m_main.graph();
    advanceSweep();
    g.ScrollErase(SweepIndex);
    g.Scroll(SweepIndex, x, 3);
    g.Scroll(SweepIndex, y, 4);
    g.Scroll(SweepIndex, z, 5);
    if (m_main.config().PlotComposite == 1) g.Scroll(SweepIndex, total, 2);
}

// ---- lists
// ---------------------------------------------------------------------------------------

void GraphControl::FillLists() {
    window::MainControls& u = m_main.ui();
    window::Config& cfg = m_main.config();

    LimitGraphSetting();
    const QString wanted = cfg.GraphScaleAuto == 1 ? AutoText : cfg.GraphScaleStr;
    const int index = u.CmbVerticalScale->findText(wanted);
    if (index >= 0) {
        u.CmbVerticalScale->setCurrentIndex(index);
        applyVerticalScale(wanted);
    } else if (wanted != AutoText && graph::FindVerticalScale(wanted)) {
        // A scale of another probe than the default tables describe: it stays in force, and
        // the list shows it once the probe that offers it is identified.
        u.CmbVerticalScale->setCurrentIndex(-1);
        applyVerticalScale(wanted);
    } else {
        cfg.GraphScaleStr = AutoText;
        cfg.GraphScaleAuto = 1;
        u.CmbVerticalScale->setCurrentIndex(u.CmbVerticalScale->findText(AutoText));
        applyVerticalScale(AutoText);
    }

    u.cmbSamPerDiv->clear();
    u.cmbSamPerDiv->addItems(SamPerDivTexts);
    int perDiv = u.cmbSamPerDiv->findText(QString::number(cfg.SamPerDivSetting));
    if (perDiv < 0) perDiv = u.cmbSamPerDiv->findText(QString::number(DefaultSamPerDiv));
    u.cmbSamPerDiv->setCurrentIndex(perDiv);
    cmbSamPerDiv_Click();
}

void GraphControl::cmbSamPerDiv_Click() {
    bool ok = false;
    const float perDiv = m_main.ui().cmbSamPerDiv->currentText().toFloat(&ok);
    if (!ok || perDiv <= 0.0f) return;
    graph::clsGraph& g = m_main.graph();
    g.SetSamPerDiv(perDiv);
    m_main.config().SamPerDivSetting = graph::CInt(perDiv);
    SweepLength = graph::CInt(g.ReTraceCnt());
    SweepIndex = 1;
    if (m_main.layout().SkipNextResize == 0) {
        // A live graph carries no time labels.
        g.Graph(ScatterGraphOn ? 1 : 0);
        if (!ScatterGraphOn) g.DrawLines();
    }
    m_main.FocusCommand1();
}

void GraphControl::CmbVerticalScale_Click() {
    const QString text = m_main.ui().CmbVerticalScale->currentText();
    if (text.isEmpty()) return;
    applyVerticalScale(text);
}

void GraphControl::applyVerticalScale(const QString& text) {
    window::Config& cfg = m_main.config();
    if (text == AutoText) {
        cfg.GraphScaleAuto = 1;
        m_main.probe().SetGraphType(AutoText);
    } else {
        cfg.GraphScaleStr = text;
        m_main.probe().SetGraphType(text);
        cfg.GraphScaleAuto = 0;
    }
    SweepLength = graph::CInt(m_main.graph().ReTraceCnt());
    m_main.FocusCommand1();
    RescaleAll();
}

// ---- menus
// ---------------------------------------------------------------------------------------

void GraphControl::SetPlotComp(int flag) {
    m_main.config().PlotComposite = flag;
    m_main.ui().mnuProbePlotComposite->setChecked(flag == 1);
}

void GraphControl::mnuProbePlotComposite_Click() {
    m_main.config().PlotComposite = m_main.ui().mnuProbePlotComposite->isChecked() ? 1 : 0;
}

void GraphControl::mnuViewScatterGraph_Click() {
    window::MainControls& u = m_main.ui();
    u.Picture1->setVisible(u.mnuViewScatterGraph->isChecked());
}

void GraphControl::mnuViewScatterLive_Click() {
    window::MainControls& u = m_main.ui();
    ScatterGraphOn = u.mnuViewScatterLive->isChecked();
    if (!ScatterGraphOn) return;
    u.mnuProbePlay->setEnabled(false);
    m_main.setWindowTitle(app::frmMain::AppTitle);
    if (!StoredViewShown) return;
    // Back from the stored view: the live frame at the chosen samples per division.
    graph::clsGraph& g = m_main.graph();
    g.SetSamPerDiv(float(m_main.config().SamPerDivSetting));
    SetUpGraphScale();
    g.Graph(1);
    SweepLength = graph::CInt(g.ReTraceCnt());
    SweepIndex = 1;
}

void GraphControl::mnuViewBarGraph_Click() {
    window::MainControls& u = m_main.ui();
    BarGraphOn = u.mnuViewBarGraph->isChecked();
    if (BarGraphOn)
        m_main.layout().AdjustPicture3();
    else
        u.Picture3->setVisible(false);
}

} // namespace window
