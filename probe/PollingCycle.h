#pragma once
// The polling cycle: opens the port, sends one command per poll, collects the reply on the
// read-timer ticks (timer mode) or in the port's receive notification (event mode), frames it
// by its carriage return, hands each whole reply to the window once, notices a probe that
// stopped answering and counts the samples for the sample-rate display. At the high link
// speeds it completes the speed handshake and cuts the probe's stream into records.
//
// One command is in flight at a time, and it is not sent again while its reply is due: a
// reply that is late or comes in parts is waited for (about a second, never less than five
// poll intervals) and costs one slower sample. Only a command whose reply did not come in that
// time is a miss; five misses in a row mean the probe is lost. Replies come in the order of
// their commands, so one that turns up after its command was given up on is recognised as
// stale and dropped without costing the command in flight.
//
// The main window owns the cycle together with the port and the read timer it drives; the
// window's side (processing, display, menus, status bar) is reached through PollingView.
#include "platform/Clock.h"
#include "platform/HiResTimer.h"
#include "platform/MessageBoxes.h"
#include "platform/SerialComm.h"
#include "probe/LineQuality.h"
#include "probe/ReplyFramer.h"
#include "probe/clsProbe.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <deque>

namespace probe {

// What the window made of a complete reply.
struct ReplyTaken {
    bool alive = false;   // the reply shows the probe answering: the count of misses starts again
    int samples = 0;      // whole samples the reply carried
    bool refused = false; // malformed: it changed nothing
};

class PollingView {
public:
    virtual ~PollingView() = default;
    // A complete reply.
    virtual ReplyTaken ProcessData(const QByteArray& reply) = 0;
    // Blanks the readouts and status texts (probe lost, port not opened).
    virtual void ClearDisplay() = 0;
    // Status-bar panel 1 (model) or 2 (link speed); the status bar is redrawn.
    virtual void SetStatusPanel(int panel, const QString& text) = 0;
    // The link-speed menu entries 3, 4 and 5 (38.4, 57.6, 115.2 kBaud) lose their check mark.
    virtual void UncheckHighSpeedEntries() = 0;
    // Checks the port menu entry 1..5; 0 unchecks all five.
    virtual void CheckPortEntry(int port) = 0;
    // The measured sample rate in samples per second.
    virtual void ShowSampleRate(double perSecond) = 0;
    // The low-battery indication stops (the probe is gone).
    virtual void LowBatteryOff() = 0;
    // Whether the "Corvane Probe" communication-mode entry is checked.
    virtual bool ARProbeChecked() const = 0;
    // One whole streamed record (high-speed mode): a sample.
    virtual void SuperFast2(const QByteArray& record) = 0;
    // Streaming ended (true) or began (false): the link and port menus and the sample-rate
    // list follow.
    virtual void DisableHiSpeed(bool enabled) = 0;
    // The line's health, every half second.
    virtual void ShowLineHealth(const LineHealth& health) = 0;
};

// The streamed records cut from what the port delivers. Records end at their carriage return;
// the start of a record waits for its rest; whatever is not a whole record (a short record,
// noise) is dropped up to the next carriage return, so the stream is back in step with the
// next record.
class StreamReader {
public:
    explicit StreamReader(int recordLength) : m_length(recordLength) {}
    // Takes the characters; calls take for every whole record and returns how many there were.
    template <typename Take> int Read(const QByteArray& received, Take&& take);
    // Streaming is over: a record begun is not finished.
    void Clear() { m_carry.clear(); }

private:
    int m_length;
    QByteArray m_carry;
};

// Where the link stands on the way to and from the streaming speeds.
enum class HighSpeed {
    Off = 0,          // polled
    Requested = 1,    // the next sample asks the probe for a streaming speed
    Acknowledged = 2, // the probe took it up; its stream is awaited
    Streaming = 3,    // records are coming
};

class PollingCycle {
public:
    static inline const QString OpenFailedText =
        QStringLiteral("Unable to open the selected comm port.  Reselect comm port or check "
                       "system configuration.");
    // Streamed records wrap at this count (the watchdog compares the count from tick to tick).
    static constexpr int StreamRecordsWrap = 32000;

    // A reply is waited for this long at least after its command went out (plus its time on
    // the line), and never less than five poll intervals.
    static constexpr int ReplyTimeoutMs = 1200;

    PollingCycle(clsProbe& probe, platform::SerialComm& port, platform::HiResTimer& readTimer,
                 platform::Clock& clock, platform::MessageBoxes& boxes, PollingView& view);

    // Start-up: the session searches the link from the first poll on.
    void Start(int portNo);
    bool OpenCommPort(int portNo);
    void SendCmnd();
    void SetRthreshold(int length);
    void ReadProbeTick();        // HRTReadProbe (and, while streaming, its watchdog)
    void OnComm();               // the port's receive notification
    void CalSamPerSecTick();     // the counting part of the 500 ms tick
    void SelectPort(int portNo); // port menu "Comm &1" .. "Comm &5"

    // Completes a link-speed acknowledgement (":F1" .. ":F5") or the calibration read (":M0")
    // and returns the next command with its carriage return.
    QByteArray AutoNextCmndS(const QByteArray& code);

    // The sample rate "Max" (every complete reply is answered at once, in the receive
    // notification) or a polled rate.
    void SetMaxRate(bool max);
    // Replies are no longer answered at once (a probe that cannot keep up).
    void StopAutoNext() { m_autoNext = false; }
    // The first tick sends at once. At the rate "Max" a tick sends only when no reply is
    // marked handled, so the mark would keep the first command from ever going out.
    void PrimeFirstPoll() { m_respReceived = !m_autoNext; }
    // A streaming speed is asked for with the next sample; the probe is addressed in polls.
    void RequestHighSpeed();
    // A polled speed is chosen: no streaming is asked for, and a stream running ends. Polling
    // resumes at once at the stream's speed, where the probe hears the speed command; the
    // records it streams until then are no answer to it.
    void CancelHighSpeed();
    // A polled speed was chosen while streaming and its acknowledgement is still awaited.
    bool LeavingStream() const { return m_leavingStream; }
    // The probe needs this long before it takes the next command: the command chosen next goes
    // out that much later, from a tick, while the program runs on.
    void HoldNextCommand(double ms) { m_holdMs = std::max(m_holdMs, ms); }
    // Nothing is asked of the probe while paused (a log plays in the window), and what it still
    // sends is left unread; resumed, a fresh command goes out with the next tick. The link stays
    // as it is: no miss is counted for the pause.
    void SetPaused(bool paused);
    bool Paused() const { return m_paused; }

    QByteArray InString() const { return m_inString; }
    QByteArray OutCmnd() const { return m_outCmnd; }
    int ExpectedLength() const { return m_expectedLength; }
    bool AutoNext() const { return m_autoNext; }
    bool EventReceive() const { return m_eventReceive; }
    bool RespReceived() const { return m_respReceived; }
    HighSpeed HighSpeedState() const { return m_highSpeed; }
    // Reads what the line holds now, as a notification would: before polling stops, the
    // replies and records that had arrived are taken, not lost.
    void ReadWaiting();
    int MissCount() const { return m_missCount; }
    int CommPortNo() const { return m_commPortNo; }
    bool PortOpened() const { return m_portOpened; }
    int SampleCount() const { return m_sampleCount; }
    // Streamed records taken: StreamRecords wraps to 0 at StreamRecordsWrap, the total counts on.
    int StreamRecords() const { return m_streamRecords; }
    qint64 StreamRecordsTotal() const { return m_streamRecordsTotal; }
    LineHealth Health() const;
    // Whole replies dropped because they answered a command no longer in flight.
    qint64 StaleReplies() const { return m_staleReplies; }
    // The probe is being identified (a Sigma probe also while it is characterised).
    bool Identifying() const { return identifying(); }

private:
    // What the port holds: records, or the replies it completes.
    void takeArrived();
    // A record of the stream being left: no answer to the speed command in flight.
    bool leftStreamRecord() const;
    struct InFlight {
        bool active = false;
        QByteArray command;
        qint64 lookMs = 0; // the end of its poll interval and of its time on the line
        qint64 dueMs = 0;  // given up after this
        bool looked = false;
        LineQuality::Outcome kind = LineQuality::Outcome::Good; // Late or Split once looked
    };
    // A command given up on: its reply may still come, before the one in flight.
    struct Owed {
        QByteArray command;
        qint64 untilMs;
    };

    void output();
    void readLine();
    bool takeReplies(bool fromNotification);
    bool overlong(bool fromNotification);
    bool staleByOrder();
    void dropStale();
    void handOn(bool fromNotification);
    void nextCommand(bool fromNotification);
    void noAnswer();
    void timeout();
    void expect(int intervalMs, int replyLength);
    void forgetReplies();
    int wireMs(qsizetype characters);
    bool searching() const { return m_probe.LostComm() == 1; }
    void taken(const ReplyTaken& outcome, LineQuality::Outcome kind);
    void missed();
    bool identifying() const;
    void miss();
    void retuneForSearch();
    void streamWatchdog();
    void streamed();
    void endStream();

    clsProbe& m_probe;
    platform::SerialComm& MainComm;
    platform::HiResTimer& HRTReadProbe;
    platform::Clock& m_clock;
    platform::MessageBoxes& m_boxes;
    PollingView& m_view;
    StreamReader m_stream;
    ReplyFramer m_framer;
    QByteArray m_frame;
    InFlight m_inFlight;
    std::deque<Owed> m_owed;
    qint64 m_lastCharMs = -1;
    double m_holdMs = 0; // the hold asked for the next command
    bool m_held = false; // the command chosen waits until m_heldUntilMs
    qint64 m_heldUntilMs = 0;
    qint64 m_staleReplies = 0;
    QString m_baudSettings;
    int m_baud = 9600;

    QByteArray m_inString;
    QByteArray m_outCmnd;
    int m_expectedLength = 0;
    bool m_respReceived = false;
    bool m_paused = false;
    bool m_eventReceive = false;
    bool m_leavingStream = false;
    bool m_autoNext = false;
    HighSpeed m_highSpeed = HighSpeed::Off;
    int m_missCount = 0;
    int m_commPortNo = 1;
    bool m_portOpened = false;
    int m_sampleCount = 0;
    int m_streamRecords = 0;
    qint64 m_streamRecordsTotal = 0;
    int m_rateTicks = 0;
    int m_modelTicks = 0;
    int m_lastStreamRecords = -1;
    LineQuality m_quality;
};

template <typename Take> int StreamReader::Read(const QByteArray& received, Take&& take) {
    const QByteArray data = m_carry + received;
    m_carry.clear();
    int records = 0;
    qsizetype from = 0;
    for (qsizetype cr = data.indexOf('\r'); cr >= 0; cr = data.indexOf('\r', from)) {
        // A record ends at its carriage return and starts a record's length before it; what
        // comes before that start is what is left of a broken one.
        const qsizetype start = std::max(from, cr + 1 - m_length);
        const QByteArray record = data.mid(start, cr + 1 - start);
        from = cr + 1;
        if (record.size() == m_length && record.startsWith(":S")) {
            take(record);
            ++records;
        }
    }
    // The start of the next record; anything longer is no record's start.
    const QByteArray rest = data.mid(from);
    if (rest.size() < m_length) m_carry = rest;
    return records;
}

} // namespace probe
