#include "window/ProbeSetup.h"

#include "app/frmMain.h"
#include "measure/RecordTable.h"
#include "platform/Controls.h"
#include "probe/Readings.h"
#include "window/GraphControl.h"
#include "window/MainLayout.h"
#include "window/SampleProcessing.h"

#include <QComboBox>

#include <algorithm>
#include <array>

namespace window {

namespace {

const QChar Sup2(0xB2);

// What the window offers for one field-reporting model beyond the common set-up.
struct ModelSetUp {
    const char* model;
    std::array<QString, 3> units{}; // captions of units items 1..3; empty keeps the default
    bool zero = false;              // the probe accepts the zero command
    bool hideUnits3 = false;
    bool hideRange4 = false;
    // PX-2100 and PX-2200: a fifth range, no temperature, no automatic range, no "Max" rate.
    bool basicLine = false;
    bool kappa = false;
};

const std::array<ModelSetUp, 16>& ModelRows() {
    static const QString mw = QStringLiteral("mW/cm") + Sup2;
    static const QString v2 = QStringLiteral("V/m") + Sup2;
    static const QString kv2 = QStringLiteral("k(V/m)") + Sup2;
    static const QString ma2 = QStringLiteral("m(A/m)") + Sup2;
    static const QString a2 = QStringLiteral("(A/m)") + Sup2;
    static const QString mA = QStringLiteral("mA");
    static const std::array<ModelSetUp, 16> rows{{
        {"PX-2200", {}, false, false, false, true},
        {"PX-2100", {}, false, false, false, true},
        {"PX-5100", {QString(), mw, v2}, true},
        {"PX-5200 REE", {QStringLiteral("A"), a2, QString()}},
        {"PX-5200 RGE", {QString(), kv2, QString()}},
        {"PX-5200 RDE", {}, false, true},
        {"PX-5200 RFE", {}},
        {"PX-5200 RBE", {}},
        {"PX-5200 RA", {mA, ma2, QString()}},
        {"PX-5200 RCE", {mA, ma2, QString()}},
        {"PX-5530", {}, true},
        {"PX-5500/5505", {QString(), mw, v2}, true},
        {"PX-5560", {QString(), mw, kv2}, true, false, true},
        {"PX-5570", {mA, mw, ma2}, true},
        {"E310", {}, false, false, false, false, true},
        {"H420", {}, false, false, false, false, true},
    }};
    return rows;
}

const ModelSetUp* FindModel(const QString& model) {
    for (const ModelSetUp& row : ModelRows())
        if (model == QLatin1String(row.model)) return &row;
    return nullptr;
}

} // namespace

ProbeSetup::ProbeSetup(app::frmMain& main) : m_main(main) {}

void ProbeSetup::connectControls() {
    QAction* entry = m_main.ui().mnuProbe3AxisData;
    // The handler decides the tick itself (and keeps it while logging): undo the toggle the
    // menu made on its own before the handler runs.
    QObject::connect(entry, &QAction::triggered, [this, entry](bool checked) {
        entry->setChecked(!checked);
        mnuProbe3AxisData_Click();
    });
}

void ProbeSetup::SetUpSigma() {
    probe::clsProbe& p = m_main.probe();
    window::MainControls& ui = m_main.ui();
    const bool kappa = p.TypeZeta() == probe::StateKappa;

    ui.mnuProbe3AxisData->setEnabled(p.GetMultiplexAvail() != 0);
    ui.LabTempLab->setVisible(true);
    ui.LabUnits->setVisible(true);
    ui.LabSamRate->setVisible(true);
    const std::array<QString, 3> defaults{QStringLiteral("V/m"), QStringLiteral("V/m") + Sup2,
                                          QStringLiteral("mW/cm") + Sup2};
    for (int i = 1; i <= 3; ++i)
        ui.mnuProbeUnitsOld[std::size_t(i)]->setText(defaults[std::size_t(i - 1)]);
    ZeroAvailable = 0;

    if (!kappa) {
        // A Kappa probe before this one may have left the range menu disabled.
        ui.mnuProbeRangeTop->setEnabled(true);
        ui.mnuProbeUnitsSigma->menuAction()->setVisible(true);
        for (int i = 1; i <= 3; ++i)
            ui.mnuProbeUnitsOld[std::size_t(i)]->setVisible(true);
    } else {
        ui.mnuProbeRangeTop->setEnabled(false);
        ui.mnuProbeUnitsZeta->setEnabled(false);
        ui.mnuProbeUnitsSigma->menuAction()->setVisible(false);
        ui.mnuProbeUnitsOld[1]->setVisible(false);
        ui.mnuProbeUnitsOld[2]->setVisible(false);
    }
    ui.mnuProbeRange[5]->setVisible(false);
    m_main.layout().SetXYZLabVisible();
    ui.CmbSampleRate->clear();

    const ModelSetUp* row = FindModel(p.GetModel());
    if (!row) {
        m_main.SetStatusPanel(1, QStringLiteral("Probe unidentified"));
        return;
    }
    for (int i = 1; i <= 3; ++i) {
        const QString& caption = row->units[std::size_t(i - 1)];
        if (!caption.isEmpty()) ui.mnuProbeUnitsOld[std::size_t(i)]->setText(caption);
    }
    if (row->zero) ZeroAvailable = 1;
    if (row->hideUnits3) ui.mnuProbeUnitsOld[3]->setVisible(false);
    if (row->hideRange4) ui.mnuProbeRange[4]->setVisible(false);
    if (row->basicLine) {
        ui.mnuProbeUnitsSigma->menuAction()->setVisible(false);
        ui.mnuProbeRange[5]->setVisible(true);
        ui.LabTempLab->setVisible(false);
        ui.LabTemp->clear();
        m_main.cycle().AutoNext = false;
        if (p.GetModel() == QLatin1String("PX-2100")) m_main.layout().SetXYZLabVisible();
    }
    m_main.processing().AllAxisDisplayed();

    ui.mnuProbeZero->setEnabled(ZeroAvailable == 1);

    ui.mnuProbeRange[0]->setVisible(!row->basicLine);
    FillSampleRates(!row->basicLine && !kappa);

    for (int i = 1; i <= 5; ++i)
        ui.mnuProbeRange[std::size_t(i)]->setChecked(false);
    const int checked = p.AutoRangeOn() == 0 ? p.Range() : 0;
    if (checked >= 0 && checked <= 5) ui.mnuProbeRange[std::size_t(checked)]->setChecked(true);

    m_main.SetStatusPanel(1, QStringLiteral("Found probe type: ") + p.GetModel());
}

void ProbeSetup::FillSampleRates(bool maxEntry) {
    probe::clsProbe& p = m_main.probe();
    QComboBox* box = m_main.ui().CmbSampleRate;
    box->clear();
    if (maxEntry) box->addItem(QStringLiteral("Max"));
    for (int rate = p.GetMaxSamRate(); rate >= 1; --rate)
        box->addItem(QString::number(rate));

    QString shown;
    if (m_main.cycle().AutoNext) {
        shown = p.TypeZeta() == probe::StateKappa ? QStringLiteral("3") : QStringLiteral("Max");
    } else {
        // The rate in force is rounded to the nearest whole number and may come out one above
        // the fastest rate the list offers: the probe then runs at that fastest rate.
        shown = QString::number(std::min(p.SampleRate(), p.GetMaxSamRate()));
    }
    // A rate the list does not hold leaves the box as the clearing left it: empty.
    box->setCurrentIndex(box->findText(shown));
}

void ProbeSetup::SetUpZeta() {
    window::MainControls& ui = m_main.ui();
    probe::clsProbe& p = m_main.probe();
    window::Config& cfg = m_main.config();
    window::GraphControl& graphs = m_main.graphControl();

    graphs.RescaleAll();
    ui.LabUnits->setVisible(true);
    ui.LabSamRate->setVisible(true);
    ZeroAvailable = 0;
    ui.mnuProbeZero->setEnabled(false);
    // A Kappa probe before this one left the units menu disabled.
    ui.mnuProbeUnitsZeta->setEnabled(true);
    const QChar sup2(0xB2);
    if (cfg.ProbeUnits == QStringLiteral("V/m"))
        ui.LabUnits->setText(QStringLiteral("V/m"));
    else if (cfg.ProbeUnits == QStringLiteral("V2/m2"))
        ui.LabUnits->setText(QStringLiteral("(V/m)") + sup2);
    else if (cfg.ProbeUnits == QStringLiteral("mW/cm2"))
        ui.LabUnits->setText(QStringLiteral("mW/cm") + sup2);
    graphs.ShowProbeRange();

    // At 19200 baud the probe takes the faster rates in coarser steps.
    QComboBox* box = ui.CmbSampleRate;
    box->clear();
    box->addItem(QStringLiteral("Max"));
    int top = 35;
    if (p.BaudRatePerfered() == QStringLiteral("19200,o,7,1")) {
        for (int rate : {70, 63, 59, 56, 53, 51, 48, 46})
            box->addItem(QString::number(rate));
        top = 44;
    }
    for (int rate = top; rate >= 1; --rate)
        box->addItem(QString::number(rate));

    QString shown = QStringLiteral("Max");
    if (!m_main.cycle().AutoNext) {
        const int wanted = int(probe::Val(cfg.SampleRate));
        if (wanted <= p.GetMaxSamRate()) {
            if (wanted > 35) cfg.SampleRate = QStringLiteral("35");
            shown = cfg.SampleRate;
        } else {
            shown = QString::number(p.GetMaxSamRate());
        }
    }
    int index = box->findText(shown);
    if (index < 0 && shown != QStringLiteral("Max")) {
        // The fastest rate the link allows may fall between the list's steps (71 against 70 at
        // 19200 baud): the fastest entry not above it stands for it.
        const int limit = int(probe::Val(shown));
        for (int i = 1; i < box->count() && index < 0; ++i)
            if (box->itemText(i).toInt() <= limit) index = i;
    }
    if (index >= 0) box->setCurrentIndex(index);

    graphs.LimitGraphSetting();
    graphs.ShowProbeRange();
}

void ProbeSetup::mnuProbe3AxisData_Click() {
    if (m_main.records().Recording != measure::RecordTable::Idle) return;
    window::MainControls& ui = m_main.ui();
    probe::clsProbe& p = m_main.probe();

    if (!ui.mnuProbe3AxisData->isChecked()) {
        m_main.config().Multiplex = true;
        ui.mnuProbe3AxisData->setChecked(true);
        p.SetMultiplexPrefered(1);
        m_main.processing().AllAxisDisplayed();
        return;
    }
    ui.mnuProbe3AxisData->setChecked(false);
    m_main.config().Multiplex = false;
    p.SetMultiplexPrefered(0);
    m_main.layout().SetXYZLabVisible();
    for (QWidget* label : std::initializer_list<QWidget*>{ui.LabXAxis, ui.LabYAxis, ui.LabZAxis})
        platform::SetForeColor(label, SampleProcessing::AxisOffColor);
    // All sensors on again.
    p.SetNextCmnd(QByteArrayLiteral("AEEE") + probe::Cr);
    m_main.processing().AllAxisDisplayed();
}

} // namespace window
