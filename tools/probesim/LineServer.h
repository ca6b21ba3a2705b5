#pragma once
// Serves a virtual probe on a line (a pseudo-terminal, or a link inside the program): reads the
// host's commands, answers one command at a time (a command that arrives while a reply is still
// on its way is served once that reply is out), takes the time the line needs for every reply
// and streamed record (ten bits a character at the speed in force), and misbehaves on demand.
#include "platform/ProbeLine.h"
#include "tools/probesim/VirtualProbe.h"

#include <QElapsedTimer>
#include <QFile>
#include <QObject>
#include <QTimer>
#include <algorithm>
#include <deque>
#include <functional>
#include <memory>

namespace probesim {

struct Faults {
    int dropEvery = 0;     // every Nth reply is not sent
    int garbleEvery = 0;   // every Nth reply has one or two characters replaced by noise
    int truncateEvery = 0; // every Nth reply loses its end, which never comes
    int splitEvery = 0;    // every Nth reply comes in two halves, splitMs apart
    int splitMs = 80;
    int lateEvery = 0; // every Nth reply comes lateMs late
    int lateMs = 250;
    double silentAfter = -1; // seconds from the start: the probe stops answering ...
    double silentFor = 0;    // ... for this long
    double unplugAfter = -1; // seconds from the start: the line goes away ...
    double unplugFor = 0;    // ... and comes back after this long

    // "drop:N", "garble:N", "truncate:N", "split:[MS:]N", "late:[MS:]N", "silent:AFTER:FOR",
    // "unplug:AFTER:FOR". The counts run from the probe's first reply.
    bool add(const QString& spec, QString* error);
};

class LineServer : public QObject {
    Q_OBJECT
public:
    LineServer(std::unique_ptr<VirtualProbe> probe, const Faults& faults,
               QObject* parent = nullptr);
    ~LineServer() override;

    // Opens the line and serves the probe on it.
    bool start(std::unique_ptr<platform::ProbeLine> line, QString* error);
    // On a pseudo-terminal reached through linkPath (empty: a name of its own in the temporary
    // folder); Unix only.
    bool start(const QString& linkPath, QString* error);
    QString lineName() const { return m_line ? m_line->name() : QString(); }
    QString deviceName() const { return m_line ? m_line->deviceName() : QString(); }
    VirtualProbe& probe() { return *m_probe; }
    // Every command and reply with a time stamp.
    bool setLog(const QString& path, QString* error);

    // Faults can change while the line is served; the time-based ones count from the start.
    void setFaults(const Faults& faults) { m_faults = faults; }
    // Silence and unplugging on demand (the fault options schedule the same).
    void setSilent(bool silent) { m_silent = silent; }
    void unplug();
    bool plugIn();

    // A streaming probe sends its records this many times faster than the line would carry
    // them (a stress run for the host); 1 keeps the pace of the line.
    void setStreamSpeedup(int factor) { m_speedup = std::max(1, factor); }
    int streamSpeedup() const { return m_speedup; }

    // Ending the run: the probe falls silent. A stream stops, and done() is called once the host
    // has read what was streamed (at most a second; sooner when the host takes nothing).
    void finish(std::function<void()> done);
    // Characters the host has not read yet: those in its input and those not yet written (a
    // pseudo-terminal may hold more on the way that it does not show).
    qint64 unreadCharacters() const;

    int commandsServed() const { return m_commands; }
    double secondsServed() const { return seconds(); }
    // Records sent while streaming, the answer to the "S" that started a stream among them.
    qint64 recordsStreamed() const { return m_streamed; }

Q_SIGNALS:
    void commandServed(const QByteArray& command, const QByteArray& reply);

private:
    bool openLine(QString* error);
    void closeLine();
    void readCommands();
    void serve(const QByteArray& command);
    void serveWaiting();
    void queue(const QByteArray& data, int delayMs);
    void drainQueue();
    void flushPending();
    void pace();
    void checkSchedule();
    int hostBaud() const;
    double seconds() const { return m_clock.elapsed() / 1000.0; }
    void log(char direction, const QByteArray& data);

    std::unique_ptr<VirtualProbe> m_probe;
    Faults m_faults;
    QElapsedTimer m_clock;
    std::unique_ptr<platform::ProbeLine> m_line;
    QByteArray m_input;
    std::deque<QByteArray> m_waiting; // read, not served yet
    struct Outgoing {
        qint64 dueMs;
        QByteArray data;
    };
    std::deque<Outgoing> m_out; // replies waiting for their time
    QByteArray m_pending;       // written when the line takes it
    QTimer m_streamTimer;
    QTimer m_scheduleTimer;
    QElapsedTimer m_streamClock;
    qint64 m_streamed = 0;
    qint64 m_streamStartCount = 0;
    qint64 m_fullSinceMs = -1;
    int m_speedup = 1;
    int m_replies = 0;
    int m_commands = 0;
    bool m_silent = false;
    bool m_finishing = false;
    bool m_plugged = false;
    bool m_scheduledSilence = false;
    bool m_scheduledUnplug = false;
    std::unique_ptr<QFile> m_log;
};

} // namespace probesim
