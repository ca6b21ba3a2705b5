#include "window/SampleProcessing.h"

#include "app/frmMain.h"
#include "measure/RecordTable.h"
#include "platform/Controls.h"
#include "probe/Readings.h"
#include "probe/Rounding.h"
#include "window/BarGraphControl.h"
#include "window/BatteryTemp.h"
#include "window/DisplayTimers.h"
#include "window/GraphControl.h"
#include "window/MainLayout.h"
#include "window/ProbeSetup.h"

#include <algorithm>

namespace window {

namespace {

// A single-precision value as text, with up to seven significant digits and no trailing zeros.
QString SingleText(float value) {
    return QString::number(double(value), 'g', 7);
}

} // namespace

SampleProcessing::SampleProcessing(app::frmMain& main) : m_main(main) {}

// ---- dispatch -------------------------------------------------------------------------------

void SampleProcessing::ProcessData() {
    switch (m_main.probe().TypeZeta()) {
    case probe::StateZeta: ProcessZetaFormat(); break;
    case probe::StateSigma:
    case probe::StateKappa:
        // A rejected command is no sign of life.
        if (!m_main.cycle().InString.startsWith(":E")) m_main.cycle().MissCount = 0;
        ProcessSigmaFormat();
        break;
    default:
        // Identifying: the reply may come from either family.
        ProcessZetaFormat();
        ProcessSigmaFormat();
        break;
    }
}

// ---- field-reporting replies ----------------------------------------------------------------

void SampleProcessing::ProcessSigmaFormat() {
    const QByteArray reply = m_main.cycle().InString;
    probe::clsProbe& p = m_main.probe();
    window::MainControls& ui = m_main.ui();

    const int mask = p.InputStr(reply);
    if (reply.startsWith('?'))
        m_main.SetStatusPanel(2, QStringLiteral("Communication mode Non-ASCII"));
    if (mask == 0) return;
    m_main.cycle().MissCount = 0;

    if (mask & probe::ChgReading) {
        if (mask & probe::ChgAxes) UpDateAxis();
        if (mask & probe::ChgUnits) unitsChanged();
        ui.LabOverRange->setVisible(mask & probe::ChgOverRange);
        ui.LabUnderRange->setVisible(mask & probe::ChgUnderRange);
        if (mask & probe::ChgMultiplex) m_main.setup().SetUpSigma();
        if (mask & probe::ChgRange) m_main.graphControl().RescaleAll();
        // Battery and temperature come only in replies of their own.
        UpdateVMSigma();
        return;
    }

    if (mask & probe::ChgRange) rangeReported(reply);
    if (mask & probe::ChgBattery) batteryReported();
    if (mask & probe::ChgTemperature)
        ui.LabTemp->setText(TemperatureText(p.Temperature(), p.UseCelsiusTemp() >= 1));
}

void SampleProcessing::unitsChanged() {
    probe::clsProbe& p = m_main.probe();
    window::MainControls& ui = m_main.ui();
    window::GraphControl& graphs = m_main.graphControl();

    const QString before = ui.LabUnits->text();
    ui.LabUnits->setText(p.UnitsStr());
    ui.mnuProbeRange[4]->setVisible(p.GetMaxRange() != 3);
    graphs.ShowProbeRange();
    if (p.TypeZeta() != probe::StateKappa) {
        for (int i = 1; i <= 3; ++i)
            ui.mnuProbeUnitsOld[i]->setChecked(i == p.GetUnitsNo());
    }
    const int ranges = std::min(p.GetMaxRange(), 5);
    for (int i = 1; i <= ranges; ++i) {
        ui.mnuProbeRange[i]->setText(QStringLiteral("Range &") + QString::number(i) +
                                     QStringLiteral("     ") + p.GetRangeString(i));
    }
    if (ui.LabUnits->text() != before) graphs.LimitGraphSetting();
    graphs.RescaleAll();
}

void SampleProcessing::uncheckRanges() {
    for (int i = 1; i <= 5; ++i)
        m_main.ui().mnuProbeRange[i]->setChecked(false);
}

void SampleProcessing::rangeReported(const QByteArray& reply) {
    probe::clsProbe& p = m_main.probe();
    window::MainControls& ui = m_main.ui();
    window::MainLayout& layout = m_main.layout();

    // A range report comes only from a Sigma probe.
    ZetaFamily = 0;
    if (layout.ZetaLayoutShown != 0) layout.ChangeDisplay();
    m_main.graphControl().ShowProbeRange();

    const QString digit = QString::fromLatin1(reply.mid(2, 1));
    if (p.Range() == 0) {
        ui.LabRange->setText(QStringLiteral("Int Auto"));
        uncheckRanges();
    } else if (p.AutoRangeOn() == 1) {
        ui.LabRange->setText(QStringLiteral("Auto ") + digit);
    } else {
        ui.LabRange->setText(QStringLiteral("Range ") + digit);
        uncheckRanges();
        if (p.Range() >= 1 && p.Range() <= 5) ui.mnuProbeRange[p.Range()]->setChecked(true);
        m_main.graphControl().RescaleAll();
    }
    if (LayoutPending == 1) layout.ChangeDisplay();
}

void SampleProcessing::batteryReported() {
    probe::clsProbe& p = m_main.probe();
    const int percent = BatteryPercentOf(p.Battery(), p.TypeZeta(), p.GetModel());
    m_main.battery().BatteryLevel(percent);
    m_main.ui().LabBattery->setText(QString::number(percent) + QStringLiteral(" %"));
}

int SampleProcessing::BatteryPercentOf(float volts, int protocolState, const QString& model) {
    const double b = volts;
    double percent;
    if (protocolState == probe::StateKappa)
        percent = (b * 0.545 - 2.2) * 100.0;
    else if (model == QLatin1String("PX-2200"))
        percent = (b - 9.333) / 0.006;
    else
        percent = (b - 3.5) / 0.006;
    return std::clamp(probe::CInt(percent), 0, 100);
}

QString SampleProcessing::TemperatureText(float value, bool celsius) {
    return TemperatureText(SingleText(value), celsius);
}

QString SampleProcessing::TemperatureText(const QString& value, bool celsius) {
    return value + QLatin1Char(' ') + QChar(0xB0) + (celsius ? QLatin1Char('C') : QLatin1Char('F'));
}

// ---- readouts -------------------------------------------------------------------------------

void SampleProcessing::UpdateVMSigma() {
    probe::clsProbe& p = m_main.probe();
    window::MainControls& ui = m_main.ui();
    DisplayTimers& timers = m_main.displayTimers();
    const bool threeAxis = p.MultiplexOn() == 1;

    if (timers.TextUpdateDue == 1) {
        ui.LabXYZField->setText(p.XYZAxisStr());
        if (threeAxis) {
            ui.LabXField->setText(p.XAxisStr());
            ui.LabYField->setText(p.YAxisStr());
            ui.LabZField->setText(p.ZAxisStr());
        }
        ui.LabMaxXYZ->setText(SingleText(p.MaxHoldXYZ()));
        ui.LabMaxX->setText(SingleText(p.MaxHoldX()));
        ui.LabMaxY->setText(SingleText(p.MaxHoldY()));
        ui.LabMaxZ->setText(SingleText(p.MaxHoldZ()));
        ui.LabBarGraph->setText(QString::number(p.GetPercentOfScale()) + QLatin1Char('%'));
        timers.TextUpdateDue = 0;
    }

    // In 3-axis operation one sample is a complete X, Y, Z cycle.
    const bool wholeSample = !threeAxis || p.GetMultiCurrAxis() == 3;
    if (wholeSample) ++m_main.cycle().SampleCount;

    if (m_main.graphControl().ScatterGraphOn) m_main.graphControl().PlotGraphSigmaFormat();
    if (m_main.graphControl().BarGraphOn) m_main.barControl().BarGraphSigma();

    if (m_main.records().Recording == measure::RecordTable::Logging && wholeSample) {
        storeRecord(float(probe::Val(p.XYZAxisStr())), float(probe::Val(p.XAxisStr())),
                    float(probe::Val(p.YAxisStr())), float(probe::Val(p.ZAxisStr())),
                    {p.MaxHoldXYZ(), p.MaxHoldX(), p.MaxHoldY(), p.MaxHoldZ()});
    }
}

void SampleProcessing::storeRecord(float total, float x, float y, float z,
                                   const std::array<float, 4>& holds) {
    measure::RecordTable& records = m_main.records();
    records.RecordMaxHold = holds;
    const float time = float(m_main.services().clock.secondsSinceMidnight() / 86400.0);
    if (records.Append(time, total, x, y, z)) m_main.StopRecording();
}

void SampleProcessing::UpDateAxis() {
    AxisStatus = m_main.probe().GetAxisStr();
    window::MainControls& ui = m_main.ui();
    const std::array<QWidget*, 3> labels{ui.LabXAxis, ui.LabYAxis, ui.LabZAxis};
    for (int i = 0; i < 3; ++i) {
        const bool enabled = AxisStatus.size() > i + 1 && AxisStatus.at(i + 1) == QLatin1Char('E');
        platform::SetForeColor(labels[std::size_t(i)], enabled ? AxisOnColor : AxisOffColor);
    }
}

// ---- probe lost -----------------------------------------------------------------------------

void SampleProcessing::ClearDisplay() {
    window::MainControls& ui = m_main.ui();

    ui.LabXYZField->setText(QStringLiteral("No Probe"));
    for (QLabel* label : {ui.LabXField, ui.LabYField, ui.LabZField})
        label->clear();
    const std::initializer_list<QLabel*> axisSwitches{ui.LabXAxis, ui.LabYAxis, ui.LabZAxis};
    for (QLabel* label : axisSwitches)
        label->setVisible(false);
    ui.LabUnits->setText(QStringLiteral("units"));

    const QRectF gauge = platform::TwipsGeometry(ui.ShapeBatLevel);
    platform::SetTwipsGeometry(ui.ShapeBatLevel, gauge.left(), 1200.0, gauge.width(), 0.0);
    ui.ShapeBatLevel->setFillColor(0xFFFF00);
    ui.LabBattery->clear();
    ui.LabBattery->setVisible(true);
    ui.LabTemp->clear();
    ui.LabSamRate->setVisible(false);
    ui.LabRange->clear();
    ui.LabBarGraph->clear();
    ui.LabOverRange->setVisible(false);
    ui.LabUnderRange->setVisible(false);
    m_main.SetStatusPanel(1, QString());
    for (int i = 3; i <= 5; ++i)
        ui.mnuCommBaud[std::size_t(i)]->setEnabled(false);
    m_main.probe().SetLostComm(1);
    for (QLabel* label : axisSwitches)
        platform::SetForeColor(label, AxisOffColor);
    m_main.barControl().ZeroBars();
    // The live graph starts again on an empty plot.
    if (m_main.graphControl().ScatterGraphOn && !m_main.StartingUp())
        m_main.graphControl().DrawGraph();
    for (QAction* mode : {ui.mnuCommASCII, ui.mnuCommARM, ui.mnuCommARProbe})
        mode->setEnabled(true);
}

// ---- axis readouts --------------------------------------------------------------------------

QString SampleProcessing::AllAxisDisplayed() {
    const bool shown = m_main.probe().MultiplexOn() == 1;
    window::MainControls& ui = m_main.ui();
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui.LabXLab, ui.LabYLab, ui.LabZLab, ui.LabXField, ui.LabYField, ui.LabZField,
             ui.LabMaxX, ui.LabMaxY, ui.LabMaxZ, ui.ShapeX, ui.ShapeY, ui.ShapeZ})
        w->setVisible(shown);
    if (!shown) {
        graph::ClsBarGraph& bars = m_main.barGraph();
        bars.DrawBarX(0.0f);
        bars.DrawBarY(0.0f);
        bars.DrawBarZ(0.0f);
    }
    m_main.layout().UpdateAxisBox();
    return shown ? QStringLiteral("True") : QStringLiteral("False");
}

void SampleProcessing::ChanColorIndicator() {
    window::MainControls& ui = m_main.ui();
    const graph::clsGraph& g = m_main.graph();
    ui.ShapeX->setFillColor(g.GetChanLineColour(3));
    ui.ShapeY->setFillColor(g.GetChanLineColour(4));
    ui.ShapeZ->setFillColor(g.GetChanLineColour(5));
}

} // namespace window
