#include "window/ProbeControls.h"

#include "platform/Controls.h"
#include "window/BarGraphControl.h"
#include "window/GraphControl.h"

#include <QMenu>

namespace window {

namespace {

const QString Sup2 = QString(QChar(0xB2));

} // namespace

ProbeControls::ProbeControls(const ProbeMenuControls& controls, const ReadoutControls& readouts,
                             probe::clsProbe& probe, measure::ClsZeta& zeta,
                             const measure::RecordTable& records, files::Config& config,
                             const platform::HiResTimer& HRTMinAve, WindowShell& shell,
                             const Parts& parts, std::function<void()> clearPeakHolds)
    : m_ui(controls), m_readouts(readouts), m_probe(probe), m_zeta(zeta), m_records(records),
      m_config(config), m_minAve(HRTMinAve), m_shell(shell), m_parts(parts),
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

void ProbeControls::queue(const QByteArray& command) {
    m_probe.SetNextCmnd(command + probe::Cr);
}

// ---- units ----------------------------------------------------------------------------------

void ProbeControls::ChangeUnits(const QString& unitText) {
    if (logging()) return;
    struct Unit {
        const char* text;
        QString label;
        QAction* entry;
        int zetaCode, number;
    };
    const Unit units[] = {
        {"V/m", QStringLiteral("V/m"), m_ui.mnuProbeUnitsVPM, 0, 1},
        {"V2/m2", QStringLiteral("(V/m)") + Sup2, m_ui.mnuProbeUnitsV2M2, 2, 2},
        {"mW/cm2", QStringLiteral("mW/cm") + Sup2, m_ui.mnuProbeUnitsMWPCM, 1, 3},
    };
    const Unit* chosen = nullptr;
    for (const Unit& u : units)
        if (unitText == QLatin1String(u.text)) chosen = &u;
    if (!chosen) return; // only the three texts above are ever passed
    m_ui.LabUnits->setText(chosen->label);
    for (const Unit& u : units)
        u.entry->setChecked(&u == chosen);
    m_config.ProbeUnits = unitText;
    m_zeta.SetUnits(chosen->zetaCode);
    m_probe.UnitsNoZeta(chosen->number);

    GraphControl& graphs = m_parts.graphs;
    graphs.LimitGraphSetting();
    m_parts.bars.ClearBarPeaks();
    graphs.ShowProbeRange();
    graphs.RescaleAll();
}

void ProbeControls::mnuProbeUnitsOld(int index) {
    if (!logging()) queue("U" + QByteArray::number(index));
}

void ProbeControls::LabUnits_Click() {
    if (m_probe.GetModel() == QLatin1String("PX-2100") || m_probe.TypeZeta() == probe::StateKappa)
        return;
    if (logging() || m_minAve.enabled()) {
        m_shell.SetStatusPanel(1, NotDuringLoggingText);
        return;
    }
    if (m_probe.TypeZeta() != probe::StateZeta) {
        queue("UN");
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
    m_ui.LabRange->setText(QStringLiteral("Auto ") + QString::number(m_probe.Range()));
    m_parts.graphs.ShowProbeRange();
}

void ProbeControls::mnuProbeRange(int index) {
    m_rangeCheckedBefore = -1;
    for (int i = 0; i <= 5; ++i)
        if (m_ui.mnuProbeRange[std::size_t(i)]->isChecked() && i != index) m_rangeCheckedBefore = i;
    m_autoRangeBefore = m_probe.AutoRangeOn();
    checkRange(index);
    if (index == 0) {
        m_probe.SetAutoRangeOn(1);
        showAutoRange();
    } else {
        queue("R" + QByteArray::number(index));
        m_probe.SetAutoRangeOn(0);
    }
    m_parts.graphs.RescaleAll();
}

void ProbeControls::LabRange_Click() {
    const QString model = m_probe.GetModel();
    if (model == QLatin1String("PX-2200") ||
        (model == QLatin1String("PX-2100") && m_probe.Range() == 0)) {
        queue("RN");
        return;
    }
    if (m_probe.Range() == m_probe.GetMaxRange() && m_probe.AutoRangeOn() == 0) {
        m_probe.SetAutoRangeOn(1);
        showAutoRange();
        return;
    }
    if (m_probe.AutoRangeOn() != 1) {
        if (!m_ui.LabRange->text().startsWith(QLatin1String("Auto"))) queue("RN");
        return;
    }
    m_probe.SetAutoRangeOn(0);
    m_ui.LabRange->setText(QStringLiteral("Range ") + QString::number(m_probe.Range()));
    m_parts.graphs.ShowProbeRange();
}

void ProbeControls::CommandRefused(const QString& command) {
    if (command.startsWith(QLatin1Char('R')) && command != QLatin1String("RN")) {
        checkRange(m_rangeCheckedBefore);
        m_probe.SetAutoRangeOn(m_autoRangeBefore);
    }
    m_shell.SetStatusPanel(1, RefusedText.arg(command));
}

// ---- zero, peaks, axes ----------------------------------------------------------------------

void ProbeControls::mnuProbeZero() {
    if (m_probe.TypeZeta() != probe::StateZeta) {
        queue("Z");
        return;
    }
    if (m_ui.mnuProbeZero->text() != QLatin1String("Clear &Zero")) {
        SetRef();
        m_ui.mnuProbeZero->setText(QStringLiteral("Clear &Zero"));
    } else {
        ClearRef();
        m_ui.mnuProbeZero->setText(QStringLiteral("&Zero"));
    }
}

void ProbeControls::SetRef() {
    m_zeta.SetRef();
}

void ProbeControls::ClearRef() {
    m_zeta.ClearRef();
}

void ProbeControls::mnuProbeClearPeak() {
    if (logging()) return;
    m_clearPeakHolds();
    m_parts.bars.ClearBarPeaks();
}

void ProbeControls::LabAxis_Click(int axis) {
    m_probe.ToggleAxis(axis);
}

void ProbeControls::ZetaIdentified(bool anotherProbe) {
    if (anotherProbe) {
        ClearRef();
        m_ui.mnuProbeZero->setText(QStringLiteral("&Zero"));
    }
    const QString units = m_config.ProbeUnits;
    const bool known = units == QLatin1String("V/m") || units == QLatin1String("V2/m2") ||
                       units == QLatin1String("mW/cm2");
    // A log running keeps the units it was started in.
    ChangeUnits(known ? units : QStringLiteral("V/m"));
}

} // namespace window
