#include "window/ProbeControls.h"

#include "engine/ProbeEngine.h"
#include "platform/Controls.h"
#include "window/BarGraphControl.h"
#include "window/GraphControl.h"

#include <QMenu>

namespace window {

ProbeControls::ProbeControls(const ProbeMenuControls& controls, const ReadoutControls& readouts,
                             engine::ProbeEngine& engine, const measure::RecordTable& records,
                             files::Config& config, const platform::HiResTimer& HRTMinAve,
                             WindowShell& shell, const Parts& parts,
                             std::function<void()> clearPeakHolds)
    : m_ui(controls), m_readouts(readouts), m_engine(engine), m_records(records), m_config(config),
      m_minAve(HRTMinAve), m_shell(shell), m_parts(parts),
      m_clearPeakHolds(std::move(clearPeakHolds)) {
    const auto on = [](auto* sender, auto signal, auto handler) {
        QObject::connect(sender, signal, sender, handler);
    };
    on(m_ui.mnuProbeUnitsVPM, &QAction::triggered, [this] { mnuProbeUnitsVPM(); });
    on(m_ui.mnuProbeUnitsV2M2, &QAction::triggered, [this] { mnuProbeUnitsV2M2(); });
    on(m_ui.mnuProbeUnitsMWPCM, &QAction::triggered, [this] { mnuProbeUnitsMWPCM(); });
    for (int i = 1; i <= 3; ++i)
        on(m_ui.mnuProbeUnitsOld[std::size_t(i)], &QAction::triggered,
           [this, i] { mnuProbeUnitsOld(i); });
    for (int i = 0; i <= 5; ++i)
        on(m_ui.mnuProbeRange[std::size_t(i)], &QAction::triggered,
           [this, i] { mnuProbeRange(i); });
    on(m_ui.LabUnits, &platform::ClickLabel::clicked, [this] { LabUnits_Click(); });
    on(m_ui.LabRange, &platform::ClickLabel::clicked, [this] { LabRange_Click(); });
    on(m_ui.mnuProbeZero, &QAction::triggered, [this] { mnuProbeZero(); });
    on(m_ui.mnuProbeClearPeak, &QAction::triggered, [this] { mnuProbeClearPeak(); });
    on(m_readouts.LabPeak, &platform::ClickLabel::clicked, [this] { mnuProbeClearPeak(); });
    on(m_readouts.LabXAxis, &platform::ClickLabel::clicked, [this] { LabAxis_Click(1); });
    on(m_readouts.LabYAxis, &platform::ClickLabel::clicked, [this] { LabAxis_Click(2); });
    on(m_readouts.LabZAxis, &platform::ClickLabel::clicked, [this] { LabAxis_Click(3); });
}

// ---- units ----------------------------------------------------------------------------------

void ProbeControls::ChangeUnits(const QString& unitText) {
    if (logging()) return;
    const measure::ZetaUnit* chosen = measure::ZetaUnitOfText(unitText);
    if (!chosen) return; // only the three texts of the table are ever passed
    QAction* const entries[] = {m_ui.mnuProbeUnitsVPM, m_ui.mnuProbeUnitsV2M2,
                                m_ui.mnuProbeUnitsMWPCM};
    m_ui.LabUnits->setText(chosen->label);
    for (const measure::ZetaUnit& u : measure::ZetaUnits())
        entries[u.number - 1]->setChecked(&u == chosen);
    m_config.ProbeUnits = unitText;
    m_engine.SetZetaUnits(*chosen);

    GraphControl& graphs = m_parts.graphs;
    graphs.LimitGraphSetting();
    m_parts.bars.ClearBarPeaks();
    graphs.ShowProbeRange();
    graphs.RescaleAll();
}

void ProbeControls::mnuProbeUnitsOld(int index) {
    if (!logging()) m_engine.RequestUnits(index);
}

void ProbeControls::LabUnits_Click() {
    if (m_engine.probe().GetModel() == QLatin1String("PX-2100") ||
        m_engine.probe().TypeZeta() == probe::StateKappa)
        return;
    if (logging() || m_minAve.enabled()) {
        m_shell.SetStatusPanel(1, NotDuringLoggingText);
        return;
    }
    if (m_engine.probe().TypeZeta() != probe::StateZeta) {
        m_engine.StepUnits();
        return;
    }
    const QString now = m_config.ProbeUnits;
    ChangeUnits(now == QLatin1String("V/m")     ? QStringLiteral("V2/m2")
                : now == QLatin1String("V2/m2") ? QStringLiteral("mW/cm2")
                                                : QStringLiteral("V/m"));
}

// ---- ranges ---------------------------------------------------------------------------------

void ProbeControls::checkRange(int index) {
    for (int i = 0; i <= 5; ++i)
        m_ui.mnuProbeRange[std::size_t(i)]->setChecked(i == index);
}

void ProbeControls::showAutoRange() {
    m_ui.LabRange->setText(QStringLiteral("Auto ") + QString::number(m_engine.probe().Range()));
    m_parts.graphs.ShowProbeRange();
}

void ProbeControls::mnuProbeRange(int index) {
    // What the menu shows: automatic ranging, the range the probe is in, or no entry (the
    // special low range of one model).
    const probe::clsProbe& p = m_engine.probe();
    m_rangeCheckedBefore = p.AutoRangeOn() == 1 ? 0 : p.Range() >= 1 ? p.Range() : -1;
    m_autoRangeBefore = p.AutoRangeOn();
    checkRange(index);
    if (index == 0) {
        m_engine.SetAutoRange(true);
        showAutoRange();
    } else {
        m_engine.RequestRange(index);
        m_awaitingRange = m_autoRangeBefore == 1;
    }
    m_parts.graphs.RescaleAll();
}

void ProbeControls::LabRange_Click() {
    const QString model = m_engine.probe().GetModel();
    if (model == QLatin1String("PX-2200") ||
        (model == QLatin1String("PX-2100") && m_engine.probe().Range() == 0)) {
        m_engine.StepRange();
        return;
    }
    if (m_engine.probe().Range() == m_engine.probe().GetMaxRange() &&
        m_engine.probe().AutoRangeOn() == 0) {
        m_engine.SetAutoRange(true);
        showAutoRange();
        return;
    }
    if (m_engine.probe().AutoRangeOn() != 1) {
        if (!m_awaitingRange) m_engine.StepRange();
        return;
    }
    m_engine.SetAutoRange(false);
    const int range = m_engine.probe().Range();
    m_ui.LabRange->setText(QStringLiteral("Range ") + QString::number(range));
    if (range >= 1 && range <= 5) checkRange(range);
    m_parts.graphs.ShowProbeRange();
}

void ProbeControls::CommandRefused(const QString& command) {
    if (command.startsWith(QLatin1Char('R')) && command != QLatin1String("RN")) {
        m_awaitingRange = false;
        checkRange(m_rangeCheckedBefore);
        m_engine.SetAutoRange(m_autoRangeBefore == 1);
    }
    m_shell.SetStatusPanel(1, RefusedText.arg(command));
}

// ---- zero, peaks, axes ----------------------------------------------------------------------

void ProbeControls::mnuProbeZero() {
    if (m_engine.probe().TypeZeta() != probe::StateZeta) {
        m_engine.Zero();
        return;
    }
    if (!m_engine.ZeroReferenceOn())
        SetRef();
    else
        ClearRef();
}

void ProbeControls::SetRef() {
    m_engine.SetZeroReference(true);
}

void ProbeControls::ClearRef() {
    m_engine.SetZeroReference(false);
}

void ProbeControls::ShowAutoRanging(bool on) {
    if (on)
        checkRange(0);
    else
        m_ui.mnuProbeRange[0]->setChecked(false);
}

void ProbeControls::ShowZeroReference(bool on) {
    m_ui.mnuProbeZero->setText(on ? QStringLiteral("Clear &Zero") : QStringLiteral("&Zero"));
}

void ProbeControls::mnuProbeClearPeak() {
    if (logging()) return;
    m_clearPeakHolds();
    m_parts.bars.ClearBarPeaks();
}

void ProbeControls::LabAxis_Click(int axis) {
    m_engine.ToggleAxis(axis);
}

void ProbeControls::ZetaIdentified(bool anotherProbe) {
    if (anotherProbe) ClearRef();
    const QString units = m_config.ProbeUnits;
    const bool known = measure::ZetaUnitOfText(units) != nullptr;
    // A log running keeps the units it was started in.
    ChangeUnits(known ? units : QStringLiteral("V/m"));
}

} // namespace window
