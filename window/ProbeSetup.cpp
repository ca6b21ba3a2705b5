#include "window/ProbeSetup.h"

#include "engine/ProbeEngine.h"

#include "probe/ModelTables.h"
#include "window/BatteryTemp.h"
#include "window/GraphControl.h"
#include "window/LinkControl.h"
#include "window/Readouts.h"

#include <algorithm>
#include <array>

namespace window {

namespace {
const QChar Sup2 = probe::SuperTwo;
} // namespace

ProbeSetup::ProbeSetup(const ProbeMenuControls& controls, engine::ProbeEngine& engine,
                       files::Config& config, const Parts& parts,
                       const measure::RecordTable& records, WindowShell& shell)
    : m_ui(controls), m_engine(engine), m_probe(engine.probe()), m_config(config), m_parts(parts),
      m_records(records), m_shell(shell) {
    QAction* entry = m_ui.mnuProbe3AxisData;
    // The handler decides the tick itself (and keeps it while logging): undo the toggle the
    // menu made on its own before the handler runs.
    QObject::connect(entry, &QAction::triggered, [this, entry](bool checked) {
        entry->setChecked(!checked);
        mnuProbe3AxisData_Click();
    });
}

void ProbeSetup::SetUpSigma() {
    const probe::clsProbe& p = m_probe;
    const bool kappa = p.TypeZeta() == probe::StateKappa;

    m_ui.mnuProbe3AxisData->setEnabled(p.GetMultiplexAvail() != 0);
    m_parts.battery.ShowTemperatureCaption(true);
    m_ui.LabUnits->setVisible(true);
    m_parts.readouts.ShowSampleRateReadout(true);
    const std::array<QString, 3> defaults{QStringLiteral("V/m"), QStringLiteral("V/m") + Sup2,
                                          QStringLiteral("mW/cm") + Sup2};
    for (int i = 1; i <= 3; ++i)
        m_ui.mnuProbeUnitsOld[std::size_t(i)]->setText(defaults[std::size_t(i - 1)]);
    m_zeroAvailable = false;

    if (!kappa) {
        // A Kappa probe before this one may have left the range menu disabled.
        m_ui.mnuProbeRangeTop->setEnabled(true);
        m_ui.mnuProbeUnitsSigma->menuAction()->setVisible(true);
        for (int i = 1; i <= 3; ++i)
            m_ui.mnuProbeUnitsOld[std::size_t(i)]->setVisible(true);
    } else {
        m_ui.mnuProbeRangeTop->setEnabled(false);
        m_ui.mnuProbeUnitsZeta->setEnabled(false);
        m_ui.mnuProbeUnitsSigma->menuAction()->setVisible(false);
        m_ui.mnuProbeUnitsOld[1]->setVisible(false);
        m_ui.mnuProbeUnitsOld[2]->setVisible(false);
    }
    m_ui.mnuProbeRange[5]->setVisible(false);
    m_parts.readouts.SetXYZLabVisible();
    m_parts.link.ClearSampleRates();

    const probe::ModelSetUp* row = probe::FindModelSetUp(p.GetModel());
    if (!row) {
        m_shell.SetStatusPanel(1, QStringLiteral("Probe unidentified"));
        return;
    }
    for (int i = 1; i <= 3; ++i) {
        const QString& caption = row->units[std::size_t(i - 1)];
        if (!caption.isEmpty()) m_ui.mnuProbeUnitsOld[std::size_t(i)]->setText(caption);
    }
    if (row->zero) m_zeroAvailable = true;
    if (row->hideUnits3) m_ui.mnuProbeUnitsOld[3]->setVisible(false);
    if (row->hideRange4) m_ui.mnuProbeRange[4]->setVisible(false);
    if (row->basicLine) {
        m_ui.mnuProbeUnitsSigma->menuAction()->setVisible(false);
        m_ui.mnuProbeRange[5]->setVisible(true);
        m_parts.battery.ShowTemperatureCaption(false);
        m_engine.StopAutoNext();
        if (p.GetModel() == QLatin1String("PX-2100")) m_parts.readouts.SetXYZLabVisible();
    }
    m_parts.readouts.AllAxisDisplayed();
    const bool fixedUnits = kappa || p.GetModel() == QLatin1String("PX-2100");
    m_ui.LabUnits->setClickable(!fixedUnits, QStringLiteral("This probe has one unit"));

    m_ui.mnuProbeZero->setEnabled(m_zeroAvailable);

    m_ui.mnuProbeRange[0]->setVisible(!row->basicLine);
    m_parts.link.FillSampleRates(!row->basicLine && !kappa);

    uncheckRanges();
    const int checked = p.AutoRangeOn() == 0 ? p.Range() : 0;
    if (checked >= 0 && checked <= 5) m_ui.mnuProbeRange[std::size_t(checked)]->setChecked(true);

    m_shell.SetStatusPanel(1, QStringLiteral("Found probe type: ") + p.GetModel());
}

void ProbeSetup::SetUpZeta() {
    GraphControl& graphs = m_parts.graphs;
    graphs.RescaleAll();
    m_ui.LabUnits->setVisible(true);
    m_ui.LabUnits->setClickable(true);
    m_parts.readouts.ShowSampleRateReadout(true);
    m_zeroAvailable = false;
    m_ui.mnuProbeZero->setEnabled(false);
    // A Kappa probe before this one left the units menu disabled.
    m_ui.mnuProbeUnitsZeta->setEnabled(true);
    // The units label, ranges and scales follow ProbeControls::ZetaIdentified.
    graphs.ShowProbeRange();
    m_parts.link.FillZetaSampleRates();
    graphs.LimitGraphSetting();
    graphs.ShowProbeRange();
}

void ProbeSetup::mnuProbe3AxisData_Click() {
    if (m_records.Recording() != measure::RecordTable::Idle) return;
    if (!m_config.Multiplex) {
        m_engine.SetMultiplexPreferred(true);
        m_parts.readouts.AllAxisDisplayed();
        return;
    }
    m_engine.SetMultiplexPreferred(false);
    m_parts.readouts.SetXYZLabVisible();
    m_parts.readouts.AxisSwitchesOff();
    // All sensors on again.
    m_engine.AllSensorsOn();
    m_parts.readouts.AllAxisDisplayed();
}

void ProbeSetup::ShowMultiplexPreference(bool axisByAxis) {
    m_config.Multiplex = axisByAxis;
    m_ui.mnuProbe3AxisData->setChecked(axisByAxis);
}

bool ProbeSetup::ShowUnits() {
    const probe::clsProbe& p = m_probe;
    const QString before = m_unitsShown;
    m_unitsShown = p.UnitsStr();
    m_ui.LabUnits->setText(m_unitsShown);
    m_ui.mnuProbeRange[4]->setVisible(p.GetMaxRange() != 3);
    if (p.TypeZeta() != probe::StateKappa) {
        for (int i = 1; i <= 3; ++i)
            m_ui.mnuProbeUnitsOld[std::size_t(i)]->setChecked(i == p.GetUnitsNo());
    }
    const int ranges = std::min(p.GetMaxRange(), 5);
    for (int i = 1; i <= ranges; ++i) {
        m_ui.mnuProbeRange[std::size_t(i)]->setText(QStringLiteral("Range &") + QString::number(i) +
                                                    QStringLiteral("     ") + p.GetRangeString(i));
    }
    return m_unitsShown != before;
}

void ProbeSetup::uncheckRanges() {
    for (int i = 1; i <= 5; ++i)
        m_ui.mnuProbeRange[std::size_t(i)]->setChecked(false);
}

bool ProbeSetup::ShowRange(const QString& digit) {
    const int range = m_probe.Range();
    if (range == 0) {
        m_ui.LabRange->setText(QStringLiteral("Int Auto"));
        uncheckRanges();
        return false;
    }
    if (m_probe.AutoRangeOn() == 1) {
        m_ui.LabRange->setText(QStringLiteral("Auto ") + digit);
        return false;
    }
    m_ui.LabRange->setText(QStringLiteral("Range ") + digit);
    uncheckRanges();
    if (range >= 1 && range <= 5) m_ui.mnuProbeRange[std::size_t(range)]->setChecked(true);
    return true;
}

void ProbeSetup::ClearProbeLabels() {
    m_unitsShown.clear();
    m_ui.LabUnits->setText(QStringLiteral("units"));
    m_ui.LabRange->clear();
}

void ProbeSetup::ShowFamily(bool sigma) {
    m_ui.LabRange->setVisible(sigma);
    m_ui.mnuProbe3AxisData->setEnabled(sigma);
    m_ui.mnuProbeRangeTop->setEnabled(sigma);
    m_ui.mnuProbeUnitsSigma->menuAction()->setVisible(sigma);
    m_ui.mnuProbeUnitsZeta->menuAction()->setVisible(!sigma);
}

} // namespace window
