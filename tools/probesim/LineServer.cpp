#include "tools/probesim/LineServer.h"

#ifdef Q_OS_UNIX
#include "platform/PtyProbeLine.h"
#endif

#include <QStringList>

namespace probesim {

namespace {

constexpr int StreamTickMs = 2;
constexpr int IdleLimitMs = 1000;  // a host that reads nothing this long has left the line
constexpr int BurstLimit = 64;     // records a tick may catch up, at the pace of the line
constexpr int DrainCheckMs = 10;   // after the stream: how often to look whether the host read it,
constexpr int DrainStallMs = 200;  // how long it may take nothing,
constexpr int DrainLimitMs = 1000; // and how long it may take in all

QByteArray Printable(const QByteArray& data) {
    QByteArray out;
    for (const char c : data) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\r')
            out += "<CR>";
        else if (u < 32 || u > 126)
            out += "<" + QByteArray::number(u, 16).rightJustified(2, '0') + ">";
        else
            out += c;
    }
    return out;
}

bool ParseCount(const QString& text, int* out) {
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < 1) return false;
    *out = n;
    return true;
}

// "N" or "MS:N" after the fault's name.
bool ParseDelayedCount(const QStringList& parts, int* ms, int* every) {
    if (parts.size() == 2) return ParseCount(parts[1], every);
    return parts.size() == 3 && ParseCount(parts[1], ms) && ParseCount(parts[2], every);
}

bool ParseSeconds(const QString& text, double* out) {
    bool ok = false;
    const double s = text.toDouble(&ok);
    if (!ok || s < 0) return false;
    *out = s;
    return true;
}

// Noise over one or two characters anywhere in the reply, framing included: characters that
// no field of any reply holds, as a line hit by a burst leaves them.
void Garble(QByteArray& reply, int seed) {
    static const char Noise[] = "!}^;~|";
    quint32 r = quint32(seed) * 2654435761u;
    const int count = 1 + int(r % 2);
    for (int i = 0; i < count && !reply.isEmpty(); ++i) {
        r = r * 1103515245u + 12345u;
        reply[qsizetype((r >> 8) % quint32(reply.size()))] = Noise[(r >> 20) % 6];
    }
}

} // namespace

bool Faults::add(const QString& spec, QString* error) {
    const QStringList parts = spec.split(QLatin1Char(':'));
    const QString kind = parts.value(0).trimmed().toLower();
    bool ok = false;
    if (kind == QLatin1String("drop") && parts.size() == 2)
        ok = ParseCount(parts[1], &dropEvery);
    else if (kind == QLatin1String("garble") && parts.size() == 2)
        ok = ParseCount(parts[1], &garbleEvery);
    else if (kind == QLatin1String("truncate") && parts.size() == 2)
        ok = ParseCount(parts[1], &truncateEvery);
    else if (kind == QLatin1String("split"))
        ok = ParseDelayedCount(parts, &splitMs, &splitEvery);
    else if (kind == QLatin1String("late"))
        ok = ParseDelayedCount(parts, &lateMs, &lateEvery);
    else if (kind == QLatin1String("silent") && parts.size() == 3)
        ok = ParseSeconds(parts[1], &silentAfter) && ParseSeconds(parts[2], &silentFor);
    else if (kind == QLatin1String("unplug") && parts.size() == 3)
        ok = ParseSeconds(parts[1], &unplugAfter) && ParseSeconds(parts[2], &unplugFor);
    if (!ok && error)
        *error = QStringLiteral("unknown fault \"%1\" (drop:N, garble:N, truncate:N, split:[MS:]N, "
                                "late:[MS:]N, silent:AFTER:FOR, unplug:AFTER:FOR)")
                     .arg(spec);
    return ok;
}

LineServer::LineServer(std::unique_ptr<VirtualProbe> probe, const Faults& faults, QObject* parent)
    : QObject(parent), m_probe(std::move(probe)), m_faults(faults) {
    m_clock.start();
    m_streamTimer.setTimerType(Qt::PreciseTimer);
    m_streamTimer.setInterval(StreamTickMs);
    connect(&m_streamTimer, &QTimer::timeout, this, [this] { pace(); });
    m_scheduleTimer.setInterval(50);
    connect(&m_scheduleTimer, &QTimer::timeout, this, [this] {
        checkSchedule();
        flushPending();
    });
}

LineServer::~LineServer() {
    closeLine();
}

bool LineServer::start(std::unique_ptr<platform::ProbeLine> line, QString* error) {
    m_line = std::move(line);
    m_line->setOnReadable([this] { readCommands(); });
    m_line->setOnWritable([this] { flushPending(); });
    if (!openLine(error)) return false;
    m_scheduleTimer.start();
    return true;
}

bool LineServer::start(const QString& linkPath, QString* error) {
#ifdef Q_OS_UNIX
    return start(std::make_unique<platform::PtyProbeLine>(linkPath), error);
#else
    static_cast<void>(linkPath);
    if (error) *error = QStringLiteral("this system has no pseudo-terminals");
    return false;
#endif
}

bool LineServer::setLog(const QString& path, QString* error) {
    m_log = std::make_unique<QFile>(path);
    if (m_log->open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) return true;
    if (error) *error = m_log->errorString();
    m_log.reset();
    return false;
}

bool LineServer::openLine(QString* error) {
    if (!m_line->open(error)) {
        closeLine();
        return false;
    }
    m_plugged = true;
    return true;
}

void LineServer::closeLine() {
    if (m_line) m_line->close();
    m_plugged = false;
    m_streamTimer.stop();
    m_pending.clear();
    m_out.clear();
    m_input.clear();
    m_waiting.clear();
}

void LineServer::unplug() {
    if (!m_plugged) return;
    log('!', "unplugged");
    m_probe->stopStreaming();
    closeLine();
}

bool LineServer::plugIn() {
    if (m_plugged) return true;
    QString error;
    const bool ok = openLine(&error);
    log('!', ok ? QByteArray("plugged in") : error.toLocal8Bit());
    return ok;
}

int LineServer::hostBaud() const {
    return m_line && m_plugged ? m_line->hostBaud() : 0;
}

void LineServer::readCommands() {
    m_input += m_line->readAll();
    // A host that speaks while the probe streams has taken the line back.
    if (m_probe->streaming() && !m_input.isEmpty()) {
        m_probe->stopStreaming();
        log('!', "stream stopped by the host");
    }
    for (qsizetype cr = m_input.indexOf('\r'); cr >= 0; cr = m_input.indexOf('\r')) {
        m_waiting.push_back(m_input.left(cr));
        m_input.remove(0, cr + 1);
    }
    if (m_input.size() > 4096) m_input.clear(); // noise without an end
    serveWaiting();
}

// The probe takes the next command once its last reply is out.
void LineServer::serveWaiting() {
    while (m_out.empty() && !m_waiting.empty()) {
        const QByteArray command = m_waiting.front();
        m_waiting.pop_front();
        serve(command);
    }
}

void LineServer::serve(const QByteArray& command) {
    ++m_commands;
    log('<', command);
    if (m_silent || m_finishing) return;
    const int baud = hostBaud();
    if (baud != 0 && baud != m_probe->baud()) {
        log('!', "not understood: the host speaks at " + QByteArray::number(baud) + " baud");
        return;
    }
    // The command and its reply take their time on the wire at the speed in force when the
    // command came (a probe acknowledges a new speed at the old one).
    const int lineBaud = m_probe->baud();
    QByteArray reply = m_probe->answer(command, seconds());
    Q_EMIT commandServed(command, reply);
    if (reply.isEmpty()) return;
    const int wireMs =
        int(((command.size() + 1 + reply.size()) * 10000LL + lineBaud / 2) / lineBaud);
    ++m_replies;
    const auto every = [this](int n) { return n > 0 && m_replies % n == 0; };
    if (every(m_faults.dropEvery)) {
        log('!', "dropped " + Printable(reply));
        return;
    }
    if (m_probe->streaming()) ++m_streamed; // the answer that starts a stream is its first record
    if (every(m_faults.garbleEvery)) {
        Garble(reply, m_replies);
        log('!', "garbled " + Printable(reply));
    }
    if (every(m_faults.truncateEvery) && reply.size() > 1) {
        reply.truncate(1 + m_replies % (reply.size() - 1));
        log('!', "truncated to " + Printable(reply));
    }
    if (every(m_faults.lateEvery)) {
        log('!', "late by " + QByteArray::number(m_faults.lateMs) + " ms " + Printable(reply));
        queue(reply, wireMs + m_faults.lateMs);
    } else if (every(m_faults.splitEvery)) {
        log('!', "split by " + QByteArray::number(m_faults.splitMs) + " ms " + Printable(reply));
        const qsizetype half = reply.size() / 2;
        queue(reply.left(half), wireMs / 2);
        queue(reply.mid(half), wireMs / 2 + m_faults.splitMs);
    } else {
        queue(reply, wireMs);
    }
    if (m_probe->streaming() && !m_streamTimer.isActive()) {
        m_streamClock.start();
        m_streamStartCount = m_streamed;
        m_fullSinceMs = -1;
        m_streamTimer.start();
        log('!', "streaming at " + QByteArray::number(m_probe->baud()) + " baud");
    }
}

// Replies leave in the order of their commands: a late reply holds back the ones after it.
void LineServer::queue(const QByteArray& data, int delayMs) {
    if (!m_plugged) return;
    qint64 due = m_clock.elapsed() + delayMs;
    if (!m_out.empty()) due = std::max(due, m_out.back().dueMs);
    m_out.push_back({due, data});
    drainQueue();
}

void LineServer::drainQueue() {
    const qint64 now = m_clock.elapsed();
    while (!m_out.empty() && m_out.front().dueMs <= now) {
        log('>', m_out.front().data);
        m_pending += m_out.front().data;
        m_out.pop_front();
    }
    flushPending();
    if (!m_out.empty()) {
        QTimer::singleShot(int(m_out.front().dueMs - now), this, [this] { drainQueue(); });
        return;
    }
    // An acknowledged change of speed takes effect once the acknowledgement is out.
    if (m_pending.isEmpty() && m_plugged) m_line->followBaud(m_probe->baud());
    serveWaiting();
}

void LineServer::flushPending() {
    if (!m_plugged) return;
    if (!m_pending.isEmpty()) m_pending.remove(0, m_line->write(m_pending));
    m_line->watchWritable(!m_pending.isEmpty());
}

void LineServer::pace() {
    if (!m_probe->streaming() || !m_plugged) {
        m_streamTimer.stop();
        return;
    }
    // The probe changes nothing while the host listens at another speed: the stream ends.
    if (hostBaud() != 0 && hostBaud() != m_probe->baud()) {
        m_probe->stopStreaming();
        log('!', "stream stopped: the line changed speed");
        return;
    }
    const qint64 elapsedMs = m_streamClock.elapsed();
    if (!m_pending.isEmpty()) {
        if (m_fullSinceMs < 0) m_fullSinceMs = elapsedMs;
        if (elapsedMs - m_fullSinceMs > IdleLimitMs) {
            m_probe->stopStreaming();
            log('!', "stream stopped: the host stopped reading");
        }
        flushPending();
        return;
    }
    m_fullSinceMs = -1;
    // Ten bits a character, nineteen characters a record.
    const double perRecordMs = 19.0 * 10.0 * 1000.0 / (double(m_probe->baud()) * m_speedup);
    const qint64 due = qint64(elapsedMs / perRecordMs) - (m_streamed - m_streamStartCount);
    QByteArray burst;
    for (qint64 i = 0; i < std::min<qint64>(due, qint64(BurstLimit) * m_speedup); ++i) {
        burst += m_probe->streamRecord(seconds());
        ++m_streamed;
    }
    if (!burst.isEmpty()) {
        m_pending += burst;
        flushPending();
    }
}

void LineServer::finish(std::function<void()> done) {
    m_finishing = true;
    if (!m_probe->streaming()) {
        done();
        return;
    }
    m_probe->stopStreaming();
    m_streamTimer.stop();
    log('!', "stream stopped: the probe is switched off");
    flushPending();
    // A pseudo-terminal moves what was written into the host's input a little later: the line
    // counts as read when it shows nothing twice in a row. A host that takes nothing for a while
    // has gone.
    auto* check = new QTimer(this);
    check->setInterval(DrainCheckMs);
    QElapsedTimer waited;
    waited.start();
    connect(check, &QTimer::timeout, this,
            [this, check, waited, done, empty = 0, last = qint64(-1), stalledMs = 0]() mutable {
                flushPending();
                const qint64 unread = unreadCharacters();
                empty = unread > 0 ? 0 : empty + 1;
                stalledMs = unread > 0 && unread == last ? stalledMs + DrainCheckMs : 0;
                last = unread;
                if (empty < 2 && stalledMs < DrainStallMs && waited.elapsed() < DrainLimitMs)
                    return;
                check->stop();
                check->deleteLater();
                done();
            });
    check->start();
}

qint64 LineServer::unreadCharacters() const {
    qint64 unread = m_pending.size();
    for (const Outgoing& o : m_out)
        unread += o.data.size();
    if (m_line && m_plugged) unread += m_line->unreadByHost();
    return unread;
}

void LineServer::checkSchedule() {
    const double t = seconds();
    if (m_faults.silentAfter >= 0) {
        const bool silent =
            t >= m_faults.silentAfter && t < m_faults.silentAfter + m_faults.silentFor;
        if (silent != m_scheduledSilence) {
            m_scheduledSilence = silent;
            m_silent = silent;
            log('!', silent ? "silent" : "answering again");
        }
    }
    if (m_faults.unplugAfter >= 0) {
        if (!m_scheduledUnplug && t >= m_faults.unplugAfter) {
            m_scheduledUnplug = true;
            unplug();
        } else if (m_scheduledUnplug && !m_plugged &&
                   t >= m_faults.unplugAfter + m_faults.unplugFor) {
            plugIn();
        }
    }
}

void LineServer::log(char direction, const QByteArray& data) {
    if (!m_log) return;
    const QByteArray line = QByteArray::number(seconds(), 'f', 3).rightJustified(10) + ' ' +
                            direction + ' ' + Printable(data) + '\n';
    m_log->write(line);
    m_log->flush();
}

} // namespace probesim
