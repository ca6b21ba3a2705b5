#include "probe/PollingCycle.h"

#include "probe/LinkSpeeds.h"

namespace probe {

namespace {
// What the probe is asked after the speed handshake, and the reply it gives.
const QByteArray SampleCmnd = QByteArrayLiteral("S\r");
constexpr int SampleReplyLength = 19;
constexpr int HandshakeInterval = 100;
// After the calibration: the temperature, whose reply is 8 characters, a second later.
constexpr int TemperatureReplyLength = 8;
constexpr int CalibrationInterval = 1000;
} // namespace

PollingCycle::PollingCycle(clsProbe& probe, platform::SerialComm& port,
                           platform::HiResTimer& readTimer, platform::MessageBoxes& boxes,
                           PollingView& view)
    : m_probe(probe), MainComm(port), HRTReadProbe(readTimer), m_boxes(boxes), m_view(view),
      m_stream(LinkSpeeds().back().recordLength) {
    MainComm.setOnComm([this] { OnComm(); });
    HRTReadProbe.setOnTimer([this] { ReadProbeTick(); });
}

void PollingCycle::Start(int portNo) {
    m_probe.SetTypeZeta(StateIdentifying);
    m_probe.SetLostComm(1);
    OpenCommPort(portNo);
    m_respReceived = true; // the first tick sends at once
    if (m_portOpened) HRTReadProbe.setEnabled(true);
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
    m_commPortNo = portNo;
    m_portOpened = true;
    m_probe.SetLostComm(1);
    return true;
}

void PollingCycle::SelectPort(int portNo) {
    HRTReadProbe.setEnabled(false);
    m_portOpened = false;
    OpenCommPort(portNo);
    if (m_portOpened) HRTReadProbe.setEnabled(true);
}

void PollingCycle::SetMaxRate(bool max) {
    m_autoNext = max;
    m_eventReceive = max;
    if (max) m_respReceived = false;
}

void PollingCycle::RequestHighSpeed() {
    m_highSpeed = HighSpeed::Requested;
    m_eventReceive = false;
}

void PollingCycle::SetRthreshold(int length) {
    m_expectedLength = length;
    if (m_eventReceive) MainComm.setRThreshold(length);
}

void PollingCycle::SendCmnd() {
    m_respReceived = false;
    if (m_eventReceive) HRTReadProbe.setEnabled(false);
    m_outCmnd = m_probe.GetNextCmnd(m_inString);
    SetRthreshold(m_probe.GetRThreshold());
    HRTReadProbe.setInterval(m_probe.GetTimerInterval());
    // Asked again: the handshake may have switched event mode on.
    if (m_eventReceive) HRTReadProbe.setEnabled(true);
    MainComm.output(m_outCmnd);
}

QByteArray PollingCycle::AutoNextCmndS(const QByteArray& code) {
    SetRthreshold(SampleReplyLength);
    HRTReadProbe.setInterval(HandshakeInterval);
    if (const LinkSpeed* speed = LinkSpeedOfAck(code)) {
        m_view.SetStatusPanel(2, speed->Label());
        if (speed->streams) {
            MainComm.setRThreshold(speed->recordLength);
            MainComm.setInputLen(speed->recordLength);
        }
        MainComm.setSettings(speed->Settings());
        if (speed->streams) {
            m_highSpeed = HighSpeed::Acknowledged;
            HRTReadProbe.setEnabled(false);
            m_eventReceive = true;
        }
        return SampleCmnd;
    }
    if (code == ":M0") {
        SetRthreshold(TemperatureReplyLength);
        HRTReadProbe.setInterval(CalibrationInterval);
        return m_probe.UseCelsiusTemp() == 1 ? QByteArrayLiteral("TC\r")
                                             : QByteArrayLiteral("TF\r");
    }
    return SampleCmnd;
}

void PollingCycle::ReadProbeTick() {
    if (m_highSpeed >= HighSpeed::Acknowledged) {
        // Also a stream that never began after the acknowledgement ends here.
        streamWatchdog();
        return;
    }
    if (m_respReceived) {
        if (!m_autoNext) SendCmnd();
        return;
    }
    m_inString = MainComm.input();
    // A field-reporting probe's refusal is a whole answer, whatever the length asked for (to a
    // Zeta probe's commands it is the sign of another probe on the line: a miss).
    const bool refusal = m_inString == ":E\r" && m_probe.TypeZeta() != StateZeta;
    const bool complete =
        m_inString.startsWith(':') && (m_inString.size() == m_expectedLength || refusal);
    SendCmnd(); // the next command goes out whatever arrived
    if (complete) {
        taken(m_view.ProcessData(m_inString));
        return;
    }
    missed();
}

void PollingCycle::taken(const ReplyTaken& outcome) {
    m_quality.Count(outcome.refused ? LineQuality::Outcome::Garbled : LineQuality::Outcome::Good);
    if (outcome.alive) {
        m_missCount = 0;
    } else if (m_inString.startsWith(":E") && m_probe.LostComm() == 0 && !identifying() &&
               m_probe.TypeZeta() != StateZeta) {
        // A probe in service that refuses command after command is not the probe that was
        // being read (another one on the line): refusals count towards its loss.
        miss();
    }
    m_sampleCount += outcome.samples;
}

void PollingCycle::missed() {
    m_quality.Count(LineQuality::Outcome::Missing);
    miss();
}

// A tick without a complete reply. The fifth in a row declares the probe lost; from then on
// every tick carries the link search, at the speed the search asks for.
void PollingCycle::miss() {
    if (m_highSpeed == HighSpeed::Off) retuneForSearch();
    if (m_missCount <= 3) {
        ++m_missCount;
    } else if (m_missCount == 4) {
        if (m_highSpeed == HighSpeed::Requested) {
            // The probe never took up the faster speed it was asked for: the menus come back.
            m_highSpeed = HighSpeed::Off;
            endStream();
        }
        m_view.ClearDisplay();
        m_missCount = 5;
        m_view.LowBatteryOff();
        if (m_view.ARProbeChecked()) m_probe.SetStartARProbe(1);
        m_probe.SetLostComm(1);
        m_inString = MainComm.input(); // whatever is left of the lost replies goes
    } else if (m_missCount == 5) {
        m_probe.SetLostComm(1);
        m_inString.clear();
        m_modelTicks = 0;
    }
}

void PollingCycle::retuneForSearch() {
    const int fallback = m_probe.BaudRateChange();
    if (fallback != 1 && fallback != 2) return;
    const LinkSpeed& speed = fallback == 1 ? BaseSpeed() : PolledFastSpeed();
    if (MainComm.settings() != speed.Settings()) MainComm.setSettings(speed.Settings());
    m_view.SetStatusPanel(2, QString::fromLatin1(speed.searchLabel));
    if (fallback == 1) {
        m_view.UncheckHighSpeedEntries();
        MainComm.setInputLen(0);
    }
}

// Streaming: the read timer watches the records. When the port's last event was not a receive,
// or no record came since the previous tick, the stream is over and polling resumes at the
// speed in force.
void PollingCycle::streamWatchdog() {
    if (MainComm.commEvent() != platform::SerialComm::CommEvReceive ||
        m_streamRecords == m_lastStreamRecords) {
        m_highSpeed = HighSpeed::Off;
        m_respReceived = false;
        m_lastStreamRecords = -1;
        endStream();
        return;
    }
    m_lastStreamRecords = m_streamRecords;
}

void PollingCycle::endStream() {
    m_stream.Clear();
    m_view.DisableHiSpeed(true);
}

void PollingCycle::OnComm() {
    if (!m_eventReceive || MainComm.commEvent() != platform::SerialComm::CommEvReceive) return;
    m_inString = MainComm.input();
    if (m_highSpeed >= HighSpeed::Acknowledged) {
        streamed();
        return;
    }
    if (!m_inString.startsWith(':')) return; // the read timer counts it as a miss
    m_respReceived = true;
    if (m_autoNext) SendCmnd();
    taken(m_view.ProcessData(m_inString));
}

// A notification brings one record's worth of characters; everything else waiting at the port
// is taken with it, so that no record waits for the next notification. The timer restarts with
// every notification.
void PollingCycle::streamed() {
    HRTReadProbe.setEnabled(false);
    m_respReceived = true;
    QByteArray data = m_inString;
    while (MainComm.inBufferCount() > 0)
        data += MainComm.input();
    const int records = m_stream.Read(data, [this](const QByteArray& record) {
        m_streamRecords = (m_streamRecords + 1) % StreamRecordsWrap;
        ++m_streamRecordsTotal;
        ++m_sampleCount;
        m_quality.Count(LineQuality::Outcome::Good);
        m_view.SuperFast2(record);
    });
    if (records > 0) m_respReceived = false;
    m_highSpeed = HighSpeed::Streaming;
    HRTReadProbe.setEnabled(true);
}

void PollingCycle::CalSamPerSecTick() {
    if (m_rateTicks % 2 == 1) m_quality.NextSecond();
    // The figure is the line's to the probe in touch; a search starts it afresh.
    if (m_probe.LostComm() == 1) m_quality.Reset();
    m_view.ShowLineHealth(Health());
    if (++m_rateTicks >= 4) {
        m_rateTicks = 0;
        m_view.ShowSampleRate(m_sampleCount / 2.0);
        m_sampleCount = 0;
    }
    if (++m_modelTicks >= 15) {
        m_modelTicks = 0;
        m_view.SetStatusPanel(1, m_probe.LostComm() == 0 ? m_probe.GetModel() : QString());
    }
}

// The probe is being identified: not yet named, or a Sigma probe still being characterised.
bool PollingCycle::identifying() const {
    const int state = m_probe.TypeZeta();
    return state == StateIdentifying || (state == StateSigma && m_probe.InitState() != 0);
}

LineHealth PollingCycle::Health() const {
    LineHealth health;
    if (m_probe.LostComm() == 1) return health;
    if (identifying()) {
        health.stage = LineHealth::Stage::Identifying;
        if (m_probe.TypeZeta() == StateSigma && m_probe.InitState() >= 1) {
            health.step = std::min(m_probe.InitStep(), m_probe.InitLength());
            health.steps = m_probe.InitLength();
            health.attempt = m_probe.InitTry();
        }
        health.tooNoisy = m_probe.FailedCharacterisations() >= 3;
        return health;
    }
    health.stage = LineHealth::Stage::Reading;
    health.percent = m_quality.Percent();
    health.good = m_quality.Good();
    health.missing = m_quality.Missing();
    health.garbled = m_quality.Garbled();
    return health;
}

} // namespace probe
