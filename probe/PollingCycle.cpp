#include "probe/PollingCycle.h"

namespace probe {

namespace {
const QString Link9600 = QStringLiteral("9600,o,7,1");
const QString Link19200 = QStringLiteral("19200,o,7,1");
} // namespace

PollingCycle::PollingCycle(clsProbe& probe, platform::SerialComm& port,
                           platform::HiResTimer& readTimer, platform::MessageBoxes& boxes,
                           PollingView& view)
    : m_probe(probe), MainComm(port), HRTReadProbe(readTimer), m_boxes(boxes), m_view(view) {
    MainComm.setOnComm([this] { OnComm(); });
    HRTReadProbe.setOnTimer([this] { ReadProbeTick(); });
}

void PollingCycle::Start(int portNo) {
    m_probe.SetTypeZeta(StateIdentifying);
    m_probe.SetLostComm(1);
    OpenCommPort(portNo);
    RespReceived = 1; // the first tick sends at once
    if (PortOpened == 1) HRTReadProbe.setEnabled(true);
}

bool PollingCycle::OpenCommPort(int portNo) {
    m_view.CheckPortEntry(0);
    QString error;
    if (MainComm.portOpen()) MainComm.setPortOpen(false);
    MainComm.setCommPort(portNo);
    if (!MainComm.setPortOpen(true, &error)) {
        m_boxes.inform(platform::MsgIcon::Exclamation, OpenFailedText);
        m_view.ClearDisplay();
        return false;
    }
    m_view.CheckPortEntry(portNo);
    CommPortNo = portNo;
    PortOpened = 1;
    m_probe.SetLostComm(1);
    return true;
}

void PollingCycle::SelectPort(int portNo) {
    HRTReadProbe.setEnabled(false);
    PortOpened = 0;
    OpenCommPort(portNo);
    if (PortOpened == 1) HRTReadProbe.setEnabled(true);
}

void PollingCycle::SetRthreshold(int length) {
    ExpectedLength = length;
    if (EventReceive == 1) MainComm.setRThreshold(length);
}

void PollingCycle::SendCmnd() {
    RespReceived = 0;
    if (EventReceive == 1) HRTReadProbe.setEnabled(false);
    OutCmnd = m_probe.GetNextCmnd(InString);
    SetRthreshold(m_probe.GetRThreshold());
    HRTReadProbe.setInterval(m_probe.GetTimerInterval());
    // Asked again: the scheduler may have switched event mode on.
    if (EventReceive == 1) HRTReadProbe.setEnabled(true);
    MainComm.output(OutCmnd);
}

void PollingCycle::ReadProbeTick() {
    if (HighSpeedState >= 2) {
        // Also a stream that never began after the acknowledgement ends here.
        streamWatchdog();
        return;
    }
    if (RespReceived == 1) {
        if (!AutoNext) SendCmnd();
        return;
    }
    InString = MainComm.input();
    const int length = InString.size();
    const int expected = ExpectedLength;
    SendCmnd(); // the next command goes out whatever arrived
    if (length == expected && InString.startsWith(':')) {
        m_view.ProcessData();
        return;
    }
    miss();
}

// A tick without a complete reply. The fifth in a row declares the probe lost; from then on
// every tick carries the link search, at the speed the search asks for.
void PollingCycle::miss() {
    if (HighSpeedState == 0) retuneForSearch();
    if (MissCount <= 3) {
        ++MissCount;
    } else if (MissCount == 4) {
        if (HighSpeedState == 1) {
            // The probe never took up the faster speed it was asked for: the menus come back.
            HighSpeedState = 0;
            m_view.DisableHiSpeed(true);
        }
        m_view.ClearDisplay();
        MissCount = 5;
        m_view.LowBatteryOff();
        if (m_view.ARProbeChecked()) m_probe.SetStartARProbe(1);
        m_probe.SetLostComm(1);
        InString = MainComm.input(); // whatever is left of the lost replies goes
    } else if (MissCount == 5) {
        m_probe.SetLostComm(1);
        InString.clear();
        m_modelTicks = 0;
    }
}

void PollingCycle::retuneForSearch() {
    switch (m_probe.BaudRateChange()) {
    case 1:
        if (MainComm.settings() != Link9600) MainComm.setSettings(Link9600);
        m_view.SetStatusPanel(2, QStringLiteral("9600 Baud"));
        m_view.UncheckHighSpeedEntries();
        MainComm.setInputLen(0);
        break;
    case 2:
        if (MainComm.settings() != Link19200) MainComm.setSettings(Link19200);
        m_view.SetStatusPanel(2, QStringLiteral("19200 Baud"));
        break;
    default: break;
    }
}

// Streaming: the read timer watches the records. When the port's last event was not a receive,
// or no record came since the previous tick, the stream is over and polling resumes at the
// speed in force.
void PollingCycle::streamWatchdog() {
    if (MainComm.commEvent() != platform::SerialComm::CommEvReceive ||
        StreamRecords == m_lastStreamRecords) {
        HighSpeedState = 0;
        RespReceived = 0;
        m_lastStreamRecords = -1;
        m_view.DisableHiSpeed(true);
        return;
    }
    m_lastStreamRecords = StreamRecords;
}

void PollingCycle::OnComm() {
    if (EventReceive != 1 || MainComm.commEvent() != platform::SerialComm::CommEvReceive) return;
    InString = MainComm.input();
    if (HighSpeedState >= 2) {
        // One streamed record per notification; the timer restarts with every record.
        HRTReadProbe.setEnabled(false);
        RespReceived = 1;
        m_view.SuperFast2();
        HighSpeedState = 3;
        HRTReadProbe.setEnabled(true);
        return;
    }
    if (!InString.startsWith(':')) return; // the read timer counts it as a miss
    RespReceived = 1;
    if (AutoNext) SendCmnd();
    m_view.ProcessData();
}

void PollingCycle::CalSamPerSecTick() {
    if (++m_rateTicks >= 4) {
        m_rateTicks = 0;
        m_view.ShowSampleRate(SampleCount / 2.0);
        SampleCount = 0;
    }
    if (++m_modelTicks >= 15) {
        m_modelTicks = 0;
        m_view.SetStatusPanel(1, m_probe.LostComm() == 0 ? m_probe.GetModel() : QString());
    }
}

} // namespace probe
