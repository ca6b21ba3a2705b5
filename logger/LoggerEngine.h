#pragma once
// The unattended logger's engine: the window's probe session, polling cycle, reply processing,
// Zeta computation and log-page format, without a window. It finds the probe, asks it for the
// units, range, rate and link speed given, and logs every whole sample (or, with an averaging
// period, the total and its moving average once a second) page after page, with a second
// stream of rows on standard output if asked; with a limit, each sample's share of it and the
// warning and alarm levels reached, in the stream and beside each page. A lost probe is waited
// for; its rows resume when it answers again, and the gap shows in the rows' times.
#include "engine/ProbeEngine.h"
#include "logger/LimitWatch.h"
#include "logger/LogPages.h"
#include "logger/LoggerOptions.h"
#include "logger/RowStream.h"
#include "measure/MovingAverage.h"
#include "platform/Clock.h"
#include "platform/HiResTimer.h"
#include "platform/MessageBoxes.h"
#include "platform/SerialComm.h"

#include <functional>
#include <memory>

namespace logger {

// Where the logger reports: the status on standard error, the rows' stream on standard output.
class Reporter {
public:
    virtual ~Reporter() = default;
    virtual void Event(const QString& line) = 0;  // something happened: a line of its own
    virtual void Status(const QString& line) = 0; // the state, at most once a second
    virtual void Stream(const QByteArray& lines) = 0;
    virtual void FlushStream() = 0; // every 100 ms, with the pages
    virtual void Finished(int exitCode) = 0;
};

class LoggerEngine : private engine::EngineEvents,
                     private measure::ReadingSink,
                     private platform::MessageBoxes {
public:
    using TimerFactory = std::function<std::unique_ptr<platform::HiResTimer>()>;
    LoggerEngine(const LoggerOptions& options, const QList<QPair<QString, QString>>& notes,
                 platform::SerialComm& port, platform::Clock& clock, const TimerFactory& timers,
                 Reporter& reporter);
    ~LoggerEngine() override;

    // Opens the port (Comm 1, which the port table maps to the line) and starts polling;
    // false when the port cannot be opened.
    bool Start();
    // Ends the run: pages closed, the stream flushed, Finished(exitCode) reported once.
    void Finish(int exitCode);

    qint64 Rows() const { return m_pages ? m_pages->Rows() : 0; }
    bool Logging() const { return bool(m_pages); }
    int Losses() const { return m_losses; }
    // This long without a row from a probe that was found is told.
    static constexpr qint64 StallMs = 10000;

private:
    // EngineEvents
    void ShowMessage(platform::MsgIcon icon, const QString& text) override;
    void ReplyProcessed(const probe::ReplyTaken&) override { m_anyReply = true; }
    void ClearDisplay() override;
    void ShowSampleRate(double perSecond) override { m_sampleRate = perSecond; }
    void DisableHiSpeed(bool ended) override;
    void ShowLineHealth(const probe::LineHealth& health) override { m_health = health; }
    // ReplyEvents
    void ReadingChanges(int mask) override;
    void ZetaIdentified(bool otherProbe, bool batteryLow) override;
    void CommandRefused(const QString& command) override;
    // ReadingSink
    void TakeReading(const measure::Reading& reading) override;
    // MessageBoxes (the polling cycle's)
    void inform(platform::MsgIcon, const QString& text, const QString&) override;
    bool askYesNo(platform::MsgIcon, const QString& text, const QString&) override;

    void halfSecond();
    void averageSecond();
    void setUpProbe();
    void askRange();
    bool setUpDone();
    void startPages(const measure::Reading& reading);
    void writeRow(const measure::Reading& reading, const float* values, int count);
    StreamRow streamSource() const;
    void levelChanged(const measure::ExposureEvent& event, bool ended);
    QString statusLine() const;
    QString lineFigures() const;
    double pace() const;
    void countPace(qint64 now);
    void checkStall(qint64 now);

    LoggerOptions m_options;
    QList<QPair<QString, QString>> m_notes;
    platform::SerialComm& m_port;
    platform::Clock& m_clock;
    Reporter& m_reporter;
    std::unique_ptr<platform::HiResTimer> m_halfSecond, m_flush, m_second;
    engine::ProbeEngine m_engine;
    const probe::clsProbe& m_probe;      // the engine's session, read only
    std::unique_ptr<LimitWatch> m_limit; // before the pages, which ask it as they close
    std::unique_ptr<LogPages> m_pages;
    measure::MovingAverage m_average;
    measure::Reading m_last;
    bool m_haveReading = false;
    bool m_found = false;     // a whole sample came since the probe was last found
    bool m_everFound = false; // found once in this run
    bool m_anyReply = false;  // a whole reply came from the line
    qint64 m_lastRowMs = -1;  // the last row's time, or when the probe was first found
    bool m_stallTold = false;
    qint64 m_delivered = 0;   // whole samples while the pages were open
    double m_allowed = 0;     // rows the pace allowed in that time
    qint64 m_paceMs = -1;     // when m_allowed was last brought up to date
    bool m_setUpSent = false; // units and speed asked of this probe
    bool m_rangeAsked = false;
    qint64 m_setUpMs = 0;     // when they were asked
    qint64 m_startMs = 0;     // the run's start
    qint64 m_logStartMs = -1; // the first row's
    qint64 m_lastStatusMs = -1000;
    double m_sampleRate = 0;
    probe::LineHealth m_health;
    int m_losses = 0;
    bool m_finished = false;
    bool m_stopping = false; // the line is read one last time
    QString m_units;
    bool m_unitsAgree = true;
};

} // namespace logger
