#include "window/LinkControl.h"

#include "app/frmMain.h"
#include "measure/ClsZeta.h"
#include "probe/Readings.h"
#include "probe/Rounding.h"
#include "window/BatteryTemp.h"
#include "window/ProbeSetup.h"
#include "window/SampleProcessing.h"

#include <algorithm>

namespace window {

namespace {
const QString MaxRate = QStringLiteral("Max");
const QString Link19200 = QStringLiteral("19200,o,7,1");
constexpr double MaxRatePlayMs = 14.0;
// The probe software that can stream.
const QString StreamingRevision = QStringLiteral("073020030A");
// ":S", 16 characters, CR.
constexpr int RecordLength = 19;
constexpr int StreamRecordsWrap = 32000;
} // namespace

LinkControl::LinkControl(app::frmMain& main) : m_main(main) {}

void LinkControl::connectControls() {
    window::MainControls& ui = m_main.ui();
    QObject::connect(ui.CmbSampleRate, &QComboBox::activated, [this] { CmbSampleRate_Click(); });
    for (int i = 1; i <= 5; ++i) {
        QObject::connect(ui.mnucommcomm[i], &QAction::triggered,
                         [this, i] { mnucommcomm_Click(i); });
        QObject::connect(ui.mnuCommBaud[i], &QAction::triggered,
                         [this, i] { mnuCommBaud_Click(i); });
    }
    QObject::connect(ui.mnuCommARProbe, &QAction::triggered, [this] { mnuCommARProbe_Click(); });
    QObject::connect(ui.mnuCommARM, &QAction::triggered, [this] { mnuCommARM_Click(); });
    QObject::connect(ui.mnuCommASCII, &QAction::triggered, [this] { mnuCommASCII_Click(); });
}

void LinkControl::SetSampleRate(const QString& text) {
    probe::PollingCycle& cycle = m_main.cycle();
    SamRateText = text;
    m_main.config().SampleRate = text;
    if (text == MaxRate) {
        // Every complete reply is answered at once, in the port's receive notification.
        cycle.AutoNext = true;
        cycle.EventReceive = 1;
        cycle.RespReceived = 0;
        m_main.HRTPlay().setInterval(MaxRatePlayMs);
        return;
    }
    const double x = probe::Val(text);
    if (x <= 0) return;
    m_main.probe().SetSampleRate(probe::CInt(x));
    cycle.EventReceive = 0;
    cycle.AutoNext = false;
    m_main.HRTPlay().setInterval(1000.0 / x); // playback at the recording rate
}

void LinkControl::CmbSampleRate_Click() {
    SetSampleRate(m_main.ui().CmbSampleRate->currentText());
    m_main.FocusCommand1();
}

void LinkControl::DisableHiSpeed(bool enabled) {
    window::MainControls& ui = m_main.ui();
    ui.CmbSampleRate->setEnabled(enabled);
    ui.mnuProbeUpdateNow->setEnabled(enabled);
    for (int i = 1; i <= 5; ++i) {
        ui.mnuCommBaud[i]->setEnabled(enabled);
        ui.mnucommcomm[i]->setEnabled(enabled);
    }
}

void LinkControl::mnucommcomm_Click(int index) {
    m_main.cycle().SelectPort(index);
}

void LinkControl::CheckPortEntry(int port) {
    for (int i = 1; i <= 5; ++i)
        m_main.ui().mnucommcomm[i]->setChecked(i == port);
}

void LinkControl::SetUpBaudMenu(const QString& baudRate) {
    auto& baud = m_main.ui().mnuCommBaud;
    const bool at19200 = baudRate == Link19200;
    for (int i = 1; i <= 5; ++i)
        baud[i]->setChecked(i == (at19200 ? 2 : 1));
    if (at19200) {
        // The high speeds are reached from 9600 baud only.
        for (int i = 3; i <= 5; ++i)
            baud[i]->setEnabled(false);
    }
}

// A change of link speed is a request: the next poll carries it to the probe, and the port
// follows when the probe acknowledges (see frmMain::AutoNextCmndS).
void LinkControl::mnuCommBaud_Click(int index) {
    if (index < 1 || index > 5) return;
    window::MainControls& ui = m_main.ui();
    probe::clsProbe& p = m_main.probe();
    probe::PollingCycle& cycle = m_main.cycle();
    platform::SerialComm& port = m_main.services().port;
    const bool zeta = p.TypeZeta() == probe::StateZeta;
    switch (index) {
    case 1:
        m_main.config().BaudRate = probe::LinkBase;
        p.SetBaudRatePerfered(probe::LinkBase);
        p.SetNextCmnd(QByteArrayLiteral("F1") + probe::Cr);
        cycle.HighSpeedState = 0;
        port.setInputLen(0);
        ui.mnuCommBaud[2]->setChecked(false);
        if (m_main.ProbeSoftRev == StreamingRevision)
            for (int i = 3; i <= 5; ++i)
                ui.mnuCommBaud[i]->setEnabled(true);
        p.SetHighSpeedMode(0);
        if (zeta) m_main.setup().SetUpZeta();
        break;
    case 2:
        if (zeta) m_main.setup().SetUpZeta();
        p.SetBaudRatePerfered(Link19200);
        m_main.config().BaudRate = Link19200;
        if (zeta) m_main.setup().SetUpZeta(); // now with the new preference
        p.SetNextCmnd(QByteArrayLiteral("F2") + probe::Cr);
        p.SetHighSpeedMode(0);
        cycle.HighSpeedState = 0;
        port.setInputLen(0);
        ui.mnuCommBaud[1]->setChecked(false);
        for (int i = 3; i <= 5; ++i)
            ui.mnuCommBaud[i]->setEnabled(false);
        break;
    default:
        // The probe is asked at 9600 baud; it acknowledges there and then changes speed.
        cycle.HighSpeedState = 1;
        p.SetHighSpeedMode(10 + index - 3);
        port.setSettings(probe::LinkBase);
        m_main.SetStatusPanel(2, QStringLiteral("9600 Baud"));
        DisableHiSpeed(false);
        cycle.EventReceive = 0;
        break;
    }
    ui.mnuCommBaud[index]->setChecked(true);
}

void LinkControl::mnuCommARProbe_Click() {
    window::MainControls& ui = m_main.ui();
    probe::clsProbe& p = m_main.probe();
    // The entry has flipped its own tick.
    if (ui.mnuCommARProbe->isChecked()) {
        m_main.services().port.setSettings(probe::LinkBase);
        m_main.SetStatusPanel(2, QStringLiteral("9600 Baud"));
        ui.mnuCommBaud[1]->setChecked(true);
        ui.mnuCommBaud[2]->setEnabled(false);
        ui.mnuCommBaud[2]->setChecked(false);
        p.SetStartARProbe(1);
    } else {
        ui.mnuCommBaud[1]->setChecked(false);
        ui.mnuCommBaud[2]->setEnabled(true);
        p.SetStartARProbe(0);
        const bool at19200 = m_main.config().BaudRate == Link19200;
        ui.mnuCommBaud[at19200 ? 2 : 1]->setChecked(true);
    }
}

void LinkControl::mnuCommARM_Click() {
    m_main.probe().SetNextCmnd(QByteArrayLiteral("P1") + probe::Cr);
}

void LinkControl::mnuCommASCII_Click() {
    m_main.probe().SetNextCmnd(QByteArrayLiteral("P2") + probe::Cr);
}

// Records are cut at their carriage returns. A notification brings one record's worth of
// characters; everything else waiting at the port is taken with it, so that no record waits for
// the next notification. The start of a record waits for its rest. Whatever is not a whole record
// (a short record, noise) is dropped up to the next carriage return, so the stream is back in step
// with the next record.
void LinkControl::SuperFast2() {
    probe::PollingCycle& cycle = m_main.cycle();
    platform::SerialComm& port = m_main.services().port;
    QByteArray data = m_streamCarry + cycle.InString;
    m_streamCarry.clear();
    while (port.inBufferCount() > 0)
        data += port.input();
    qsizetype from = 0;
    for (qsizetype cr = data.indexOf('\r'); cr >= 0; cr = data.indexOf('\r', from)) {
        // A record ends at its carriage return and starts a record's length before it; what
        // comes before that start is what is left of a broken one.
        const qsizetype start = std::max(from, cr + 1 - RecordLength);
        const QByteArray record = data.mid(start, cr + 1 - start);
        from = cr + 1;
        if (record.size() == RecordLength && record.startsWith(":S")) takeRecord(record);
    }
    // The start of the next record; anything longer is no record's start.
    const QByteArray rest = data.mid(from);
    if (rest.size() < RecordLength) m_streamCarry = rest;
}

void LinkControl::takeRecord(const QByteArray& record) {
    probe::PollingCycle& cycle = m_main.cycle();
    cycle.StreamRecords =
        cycle.StreamRecords + 1 >= StreamRecordsWrap ? 0 : cycle.StreamRecords + 1;
    ++cycle.StreamRecordsTotal;
    ++cycle.SampleCount;
    // The record carries the battery flag as a polled sample does.
    m_main.battery().BattLowBlink = record.at(RecordLength - 2) == 'F' ? 1 : 0;
    m_main.zeta().ParseCalZeta(record);
    m_main.processing().UpdateVM();
    cycle.RespReceived = 0;
    m_main.ui().LabInString->clear();
}

void LinkControl::StreamEnded() {
    m_streamCarry.clear();
}

} // namespace window
