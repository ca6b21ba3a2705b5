// The Zeta family's replies: battery, identification, samples and temperature read here, the
// samples turned into field strength by measure::ClsZeta, and the readouts, graphs and log fed from
// it.
#include "app/frmMain.h"
#include "measure/ClsZeta.h"
#include "measure/RecordTable.h"
#include "probe/Readings.h"
#include "window/BarGraphControl.h"
#include "window/BatteryTemp.h"
#include "window/DisplayTimers.h"
#include "window/GraphControl.h"
#include "window/MainLayout.h"
#include "window/SampleProcessing.h"

namespace window {

namespace {

// A whole sample: ":S", three counts of three and three gain codes of two hexadecimal digits.
constexpr int SampleLength = 18;
constexpr int IdentityLength = 34;

QString Fixed(float value, int decimals) {
    return QString::number(double(value), 'f', decimals).left(8);
}

} // namespace

void SampleProcessing::ProcessZetaFormat() {
    probe::PollingCycle& cycle = m_main.cycle();
    const QByteArray& reply = cycle.InString;
    window::MainControls& ui = m_main.ui();
    const QByteArray prefix = reply.left(2);

    if (prefix == ":B") {
        cycle.MissCount = 0;
        bool ok = false;
        const int percent = reply.mid(2, 2).toInt(&ok, 16);
        BatteryPercent = ok ? std::min(percent, 100) : 0;
        if (reply.size() == 6) {
            ui.LabBattery->setText(QString::number(BatteryPercent) + QStringLiteral(" %"));
            m_main.battery().BatteryLevel(BatteryPercent);
        }
    } else if (prefix == ":F" || prefix == ":M") {
        cycle.MissCount = 0;
    } else if (prefix == ":I") {
        cycle.MissCount = 0;
        ZetaFamily = 1;
        if (reply.size() == IdentityLength) zetaIdentified(reply);
    } else if (prefix == ":S") {
        cycle.MissCount = 0;
        if (reply.size() >= SampleLength) {
            ++cycle.SampleCount;
            m_main.battery().BattLowBlink = reply.at(SampleLength - 1) == 'F' ? 1 : 0;
            m_main.zeta().ParseCalZeta(reply);
            UpdateVM();
        } else {
            // Part of a sample: the rest may still be on its way, but by now the next command
            // is out, so the rest would be read as the start of another reply. Neither part is
            // a reading.
            ++ShortSamples;
        }
    } else if (prefix == ":T") {
        cycle.MissCount = 0;
        const float t = float(probe::Val(reply.mid(2, 4)));
        ui.LabTemp->setText(TemperatureText(QString::number(double(t), 'f', 1),
                                            m_main.probe().UseCelsiusTemp() == 1));
    }
}

void SampleProcessing::zetaIdentified(const QByteArray& reply) {
    window::MainControls& ui = m_main.ui();
    window::MainLayout& layout = m_main.layout();
    layout.ChangeDisplay();
    m_main.ProbeSoftRev = QString::fromLatin1(reply.mid(6, 10));
    if (m_main.services().port.settings() == probe::LinkBase &&
        m_main.ProbeSoftRev == QStringLiteral("073020030A")) {
        for (int i = 3; i <= 5; ++i)
            ui.mnuCommBaud[i]->setEnabled(true);
    }
    m_main.ProbeCalDate =
        QString::fromLatin1(reply.mid(24, 2) + '/' + reply.mid(26, 2) + '/' + reply.mid(28, 4));
    if (reply.at(32) == 'F')
        m_main.ShowMessage(platform::MsgIcon::Information, QStringLiteral("Probe battery low."));
    const QString serialNo = QString::fromLatin1(reply.mid(16, 8));
    if (serialNo != m_main.ProbeSerialNo) {
        // Another probe: its zero reference is not this one's.
        m_main.ProbeSerialNo = serialNo;
        m_main.zeta().ClearRef();
    }
    m_main.SetStatusPanel(1, QStringLiteral("Found probe type: ") + m_main.probe().GetModel());
    if (layout.ZetaLayoutShown != ZetaFamily) layout.ChangeDisplay();
}

void SampleProcessing::UpdateVM() {
    window::MainControls& ui = m_main.ui();
    const measure::ClsZeta& z = m_main.zeta();
    DisplayTimers& timers = m_main.displayTimers();
    if (timers.TextUpdateDue == 1) {
        const QString& units = m_main.config().ProbeUnits;
        if (units == QStringLiteral("V/m") || units == QStringLiteral("V2/m2")) {
            ui.LabXYZField->setText(probe::AdjustStrLen(z.XYZ()));
            ui.LabXField->setText(probe::AdjustStrLen(z.Xaxis()));
            ui.LabYField->setText(probe::AdjustStrLen(z.Yaxis()));
            ui.LabZField->setText(probe::AdjustStrLen(z.Zaxis()));
            ui.LabMaxXYZ->setText(probe::AdjustStrLen(z.MaxHoldXYZ()));
            ui.LabMaxX->setText(probe::AdjustStrLen(z.MaxHoldX()));
            ui.LabMaxY->setText(probe::AdjustStrLen(z.MaxHoldY()));
            ui.LabMaxZ->setText(probe::AdjustStrLen(z.MaxHoldZ()));
        } else if (units == QStringLiteral("mW/cm2")) {
            ui.LabXYZField->setText(Fixed(z.XYZ(), 5));
            ui.LabXField->setText(Fixed(z.Xaxis(), 6));
            ui.LabYField->setText(Fixed(z.Yaxis(), 6));
            ui.LabZField->setText(Fixed(z.Zaxis(), 6));
            ui.LabMaxXYZ->setText(Fixed(z.MaxHoldXYZ(), 6));
            ui.LabMaxX->setText(Fixed(z.MaxHoldX(), 6));
            ui.LabMaxY->setText(Fixed(z.MaxHoldY(), 6));
            ui.LabMaxZ->setText(Fixed(z.MaxHoldZ(), 6));
        }
        timers.TextUpdateDue = 0;
    }
    if (m_main.graphControl().ScatterGraphOn)
        m_main.graphControl().PlotPoint(z.XYZ(), z.Xaxis(), z.Yaxis(), z.Zaxis());
    if (m_main.graphControl().BarGraphOn) m_main.barControl().BarGraphZeta();
    if (m_main.records().Recording == measure::RecordTable::Logging) {
        storeRecord(z.XYZ(), z.Xaxis(), z.Yaxis(), z.Zaxis(),
                    {z.MaxHoldXYZ(), z.MaxHoldX(), z.MaxHoldY(), z.MaxHoldZ()});
    }
}

} // namespace window
