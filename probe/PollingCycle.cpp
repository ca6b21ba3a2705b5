#include "probe/PollingCycle.h"

#include "probe/LinkSpeeds.h"
#include "probe/ReplyCheck.h"

#include <cmath>

namespace probe {

namespace {
// What the probe is asked after the speed handshake, and the reply it gives.
const QByteArray SampleCmnd = QByteArrayLiteral("S\r");
constexpr int SampleReplyLength = 19;
constexpr int HandshakeInterval = 100;
constexpr int StreamBatchMs = 40;
// After the calibration: the temperature, whose reply is 8 characters, a second later.
constexpr int TemperatureReplyLength = 8;
constexpr int CalibrationInterval = 1000;
// A reply still arriving when its time is up gets this long after its last character.
constexpr int ArrivingMs = 100;
// Commands given up on whose replies are still looked out for.
constexpr std::size_t OwedLimit = 32;
} // namespace

PollingCycle::PollingCycle(clsProbe& probe, platform::SerialComm& port,
                           platform::HiResTimer& readTimer, platform::Clock& clock,
                           platform::MessageBoxes& boxes, PollingView& view)
    : m_probe(probe), MainComm(port), HRTReadProbe(readTimer), m_clock(clock), m_boxes(boxes),
      m_view(view), m_stream(LinkSpeeds().back().recordLength) {
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
    forgetReplies();
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

void PollingCycle::CancelHighSpeed() {
    const HighSpeed was = m_highSpeed;
    m_highSpeed = HighSpeed::Off;
    if (was == HighSpeed::Off) return;
    // Polling is in event mode again only at the rate "Max".
    m_eventReceive = m_autoNext;
    if (!m_eventReceive) MainComm.setRThreshold(0);
    m_lastStreamRecords = -1;
    if (was >= HighSpeed::Acknowledged) {
        m_leavingStream = true;
        m_framer.Clear();
        m_inFlight.active = false; // the next tick sends the speed command
        m_respReceived = false;
        HRTReadProbe.setEnabled(true);
    }
    endStream();
}

void PollingCycle::RequestHighSpeed() {
    m_highSpeed = HighSpeed::Requested;
    m_eventReceive = false;
}

// In event mode every character raises the notification: a reply is whole at its carriage
// return, whatever its length. Streamed records come a record's length at a time.
void PollingCycle::SetRthreshold(int length) {
    m_expectedLength = length;
    if (m_eventReceive) MainComm.setRThreshold(m_highSpeed >= HighSpeed::Acknowledged ? length : 1);
}

void PollingCycle::SendCmnd() {
    m_respReceived = false;
    if (m_eventReceive) HRTReadProbe.setEnabled(false);
    m_outCmnd = m_probe.GetNextCmnd(m_inString);
    SetRthreshold(m_probe.GetRThreshold());
    HRTReadProbe.setInterval(m_probe.GetTimerInterval());
    // Asked again: the handshake may have switched event mode on.
    if (m_eventReceive) HRTReadProbe.setEnabled(true);
    if (m_holdMs > 0) {
        // The probe is not ready for it yet: a tick sends it when the hold is over.
        m_held = true;
        m_heldUntilMs = m_clock.monotonicMs() + qint64(std::ceil(m_holdMs));
        m_holdMs = 0;
        m_inFlight.active = false;
        HRTReadProbe.setEnabled(true);
        return;
    }
    output();
}

void PollingCycle::output() {
    expect(m_probe.GetTimerInterval(), m_probe.GetRThreshold());
    MainComm.output(m_outCmnd);
}

// The command about to go out is the one in flight; one still awaiting its reply is given up
// on, and its reply, should it still come, is stale.
void PollingCycle::expect(int intervalMs, int replyLength) {
    const qint64 now = m_clock.monotonicMs();
    if (m_inFlight.active) {
        if (m_owed.size() >= OwedLimit) m_owed.pop_front();
        m_owed.push_back({m_inFlight.command, m_inFlight.dueMs});
    }
    const int wire = wireMs(m_outCmnd.size() + replyLength);
    m_inFlight.active = true;
    m_inFlight.command = m_outCmnd;
    m_inFlight.lookMs = now + intervalMs + wire;
    m_inFlight.dueMs = now + std::max(ReplyTimeoutMs, 5 * intervalMs) + wire;
    m_inFlight.looked = false;
    m_inFlight.kind = LineQuality::Outcome::Good;
    m_framer.Mark();
}

// Ten bits a character at the speed in force, rounded up.
int PollingCycle::wireMs(qsizetype characters) {
    if (MainComm.settings() != m_baudSettings) {
        m_baudSettings = MainComm.settings();
        platform::LineSettings line;
        m_baud = platform::LineSettings::parse(m_baudSettings, &line) && line.baud > 0 ? line.baud
                                                                                       : 9600;
    }
    return int((characters * 10000 + m_baud - 1) / m_baud);
}

// The port, the line and what was owed start afresh.
void PollingCycle::forgetReplies() {
    m_leavingStream = false;
    m_held = false;
    m_holdMs = 0;
    m_framer.Clear();
    m_owed.clear();
    m_inFlight.active = false;
}

QByteArray PollingCycle::AutoNextCmndS(const QByteArray& code) {
    SetRthreshold(SampleReplyLength);
    HRTReadProbe.setInterval(HandshakeInterval);
    if (const LinkSpeed* speed = LinkSpeedOfAck(code)) {
        m_view.SetStatusPanel(2, speed->Label());
        if (speed->streams) {
            MainComm.setRThreshold(speed->recordLength);
            MainComm.setInputLen(speed->recordLength);
            // The records of 40 ms are taken at one wake-up, not each as it arrives.
            MainComm.setReadBatchMs(StreamBatchMs);
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

void PollingCycle::SetPaused(bool paused) {
    if (paused == m_paused) return;
    m_paused = paused;
    if (paused) return;
    // What came meanwhile answers nothing asked now.
    if (MainComm.inBufferCount() > 0) MainComm.input();
    forgetReplies();
    m_respReceived = false;
}

void PollingCycle::ReadProbeTick() {
    if (m_paused && m_highSpeed == HighSpeed::Off) return;
    if (m_highSpeed >= HighSpeed::Acknowledged) {
        // Also a stream that never began after the acknowledgement ends here.
        streamWatchdog();
        return;
    }
    if (m_held) {
        if (m_clock.monotonicMs() < m_heldUntilMs) return;
        m_held = false;
        output();
        return;
    }
    if (m_respReceived) {
        if (!m_autoNext) SendCmnd();
        return;
    }
    if (!m_inFlight.active) { // nothing asked yet
        SendCmnd();
        return;
    }
    readLine();
    if (takeReplies(false) || overlong(false)) return;
    // While the link is searched, every tick carries the next search command.
    if (searching()) {
        timeout();
        return;
    }
    const qint64 now = m_clock.monotonicMs();
    if (!m_inFlight.looked && now >= m_inFlight.lookMs) {
        m_inFlight.looked = true;
        m_inFlight.kind = m_framer.PendingSinceMark() > 0 ? LineQuality::Outcome::Split
                                                          : LineQuality::Outcome::Late;
    }
    if (now < m_inFlight.dueMs) return; // still due: the reply may be late, or on its way
    const bool arriving = m_framer.PendingSinceMark() > 0 && now - m_lastCharMs < ArrivingMs;
    if (arriving && now < m_inFlight.dueMs + ReplyTimeoutMs) return;
    timeout();
}

void PollingCycle::readLine() {
    bool got = false;
    while (MainComm.inBufferCount() > 0) {
        const QByteArray received = MainComm.input();
        if (received.isEmpty()) break;
        m_framer.Append(received);
        got = true;
    }
    if (got) m_lastCharMs = m_clock.monotonicMs();
}

// Hands on the whole reply that answers the command in flight, once; drops those that answer
// commands no longer in flight. True when a reply was handed on.
bool PollingCycle::takeReplies(bool fromNotification) {
    bool handed = false;
    bool beganBefore = false;
    while (m_framer.Next(&m_frame, &beganBefore)) {
        // A reply begun before the command in flight went out, or with none in flight, cannot
        // answer it.
        if (handed || beganBefore || !m_inFlight.active || staleByOrder() || leftStreamRecord()) {
            dropStale();
            continue;
        }
        handOn(fromNotification);
        handed = true;
    }
    return handed;
}

// A reply that has run past its length without its carriage return has lost its end (a
// garbled CR): it is no answer, and waiting longer brings none.
bool PollingCycle::overlong(bool fromNotification) {
    if (!m_inFlight.active || m_expectedLength <= 0 || m_framer.PendingReply() < m_expectedLength)
        return false;
    m_framer.Clear();
    m_inString.clear();
    nextCommand(fromNotification);
    noAnswer();
    return true;
}

// Replies come in the order of the commands: one that answers the oldest command given up on
// is that command's late reply. The same question asked again is answered as well by either
// reply, unless another whole reply is waiting behind this one.
bool PollingCycle::staleByOrder() {
    const qint64 now = m_clock.monotonicMs();
    while (!m_owed.empty()) {
        const Owed& owed = m_owed.front();
        if (now > owed.untilMs + ReplyTimeoutMs || !MayAnswer(m_frame, owed.command)) {
            m_owed.pop_front(); // that reply is not coming
            continue;
        }
        if (owed.command == m_inFlight.command && !m_framer.HasWhole()) return false;
        m_owed.pop_front();
        return true;
    }
    return false;
}

bool PollingCycle::leftStreamRecord() const {
    return m_leavingStream && m_frame.startsWith(":S") && !MayAnswer(m_frame, m_inFlight.command);
}

void PollingCycle::dropStale() {
    ++m_staleReplies;
    if (!m_owed.empty() && MayAnswer(m_frame, m_owed.front().command)) m_owed.pop_front();
}

// The reply to the command in flight. The next command is chosen from it before it is
// processed, except in event mode without "Max", where the next tick sends.
void PollingCycle::handOn(bool fromNotification) {
    const LineQuality::Outcome kind = m_inFlight.kind;
    const bool answers = MayAnswer(m_frame, m_inFlight.command);
    if (answers && m_frame.startsWith(":F")) m_leavingStream = false;
    m_inString = m_frame;
    nextCommand(fromNotification);
    if (answers)
        taken(m_view.ProcessData(m_inString), kind);
    else
        noAnswer(); // noise, or a reply to another command
}

// The command in flight is done with: the next goes out now, or at the next tick in event mode
// without "Max".
void PollingCycle::nextCommand(bool fromNotification) {
    m_inFlight.active = false;
    if (m_paused) return;
    if (fromNotification && !m_autoNext)
        m_respReceived = true;
    else
        SendCmnd();
}

// Something came, but no usable answer to the command.
void PollingCycle::noAnswer() {
    m_quality.Count(LineQuality::Outcome::Garbled);
    miss();
}

// No whole reply in time: the scheduler chooses from none (the same command, as a rule).
void PollingCycle::timeout() {
    m_inString.clear();
    SendCmnd();
    missed();
}

void PollingCycle::taken(const ReplyTaken& outcome, LineQuality::Outcome kind) {
    m_quality.Count(outcome.refused ? LineQuality::Outcome::Garbled : kind);
    if (outcome.alive) {
        m_missCount = 0;
    } else if (m_inString.startsWith(":E") && m_probe.LostComm() == 0 && !identifying()) {
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
        m_framer.Clear();
        m_owed.clear();
        m_leavingStream = false;
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
    MainComm.setReadBatchMs(0);
    m_stream.Clear();
    m_view.DisableHiSpeed(true);
    // Polling resumes: the sample asked for last is awaited from now.
    if (m_inFlight.active) {
        const qint64 now = m_clock.monotonicMs();
        m_inFlight.lookMs = now + qint64(HRTReadProbe.interval());
        m_inFlight.dueMs = now + ReplyTimeoutMs;
        m_inFlight.looked = false;
        m_framer.Clear();
    }
}

void PollingCycle::OnComm() {
    if (!m_eventReceive || MainComm.commEvent() != platform::SerialComm::CommEvReceive) return;
    takeArrived();
}

void PollingCycle::ReadWaiting() {
    MainComm.takeWaiting();
    if (MainComm.inBufferCount() > 0) takeArrived();
}

void PollingCycle::takeArrived() {
    if (m_highSpeed >= HighSpeed::Acknowledged) {
        m_inString = MainComm.input();
        streamed();
        return;
    }
    if (m_held || m_paused) return; // nothing is asked of the probe yet, or now
    readLine();
    if (!takeReplies(true)) overlong(true);
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
    // A probe still settling after it was named is not read yet either.
    if (identifying() || m_held) {
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
    health.late = m_quality.Late();
    health.split = m_quality.Split();
    return health;
}

} // namespace probe
