// varnex-logger: logs a field probe for hours or days without a window (see LoggerEngine).
#include "logger/LoggerEngine.h"
#include "logger/LoggerOptions.h"
#include "measure/MovingAverage.h"
#include "platform/PortTable.h"
#include "platform/QtChildProgram.h"
#include "platform/QtClock.h"
#include "platform/QtHiResTimer.h"
#include "platform/QtSerialComm.h"
#include "platform/SettingsStore.h"
#include "probe/ModelTables.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The line is given on the command line; nothing is kept between runs.
class NoStore : public platform::SettingsStore {
public:
    QString GetSetting(const QString&, const QString&, const QString&,
                       const QString& fallback) const override {
        return fallback;
    }
    void SaveSetting(const QString&, const QString&, const QString&, const QString&) override {}
};

// The status on standard error: one line kept up to date on a terminal, plain lines otherwise
// (then the state only once a minute); the rows' stream on standard output.
class ConsoleReporter : public logger::Reporter {
public:
    ConsoleReporter() : m_terminal(isatty(STDERR_FILENO) == 1) {}
    void Event(const QString& line) override {
        if (m_terminal && m_statusShown) std::fputs("\r\033[K", stderr);
        std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
        m_statusShown = false;
    }
    void Status(const QString& line) override {
        if (m_terminal) {
            std::fprintf(stderr, "\r\033[K%s", line.toLocal8Bit().constData());
            m_statusShown = true;
        } else if (m_count++ % 60 == 0) {
            std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
        }
        std::fflush(stderr);
    }
    // The rows go out together every 100 ms, not a write a row.
    void Stream(const QByteArray& lines) override {
        std::fwrite(lines.constData(), 1, std::size_t(lines.size()), stdout);
    }
    void FlushStream() override { std::fflush(stdout); }
    void Finished(int exitCode) override {
        std::fflush(stdout);
        if (m_terminal && m_statusShown) std::fputs("\n", stderr);
        QCoreApplication::exit(exitCode);
    }

private:
    bool m_terminal;
    bool m_statusShown = false;
    int m_count = 0;
};

int SignalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char one = 1;
    [[maybe_unused]] const auto written = write(SignalPipe[0], &one, 1);
}

// "label,value" a line; blank lines and lines without a comma are left out.
QList<QPair<QString, QString>> ReadNotes(const QString& path) {
    QList<QPair<QString, QString>> notes;
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) return notes;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString line = QString::fromLatin1(raw).trimmed();
        const qsizetype comma = line.indexOf(u',');
        if (comma > 0) notes.append({line.left(comma).trimmed(), line.mid(comma + 1).trimmed()});
    }
    return notes;
}

} // namespace

int main(int argc, char** argv) {
    // Without TZ the C library looks at /etc/localtime again for every time stamp, twice a
    // row; read once, the zone rules (summer time included) still apply. A change of the
    // machine's time zone during a run is seen at the next start.
    if (qEnvironmentVariableIsEmpty("TZ")) qputenv("TZ", ":/etc/localtime");
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("varnex-logger"));
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.contains(QStringLiteral("--help")) || arguments.contains(QStringLiteral("-h"))) {
        std::fputs(logger::LoggerUsage().toLocal8Bit().constData(), stdout);
        return logger::Done;
    }
    logger::LoggerOptions options;
    QString error = logger::ParseLoggerArguments(arguments, probe::KnownModels(),
                                                 measure::MovingAverage::Periods(), options);
    if (error.isEmpty()) error = logger::CheckLoggerFiles(options);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "varnex-logger: %s\n(--help shows the options)\n",
                     error.toLocal8Bit().constData());
        return logger::BadCommandLine;
    }

    ConsoleReporter reporter;
    platform::QtChildProgram child;
    QString line = options.port;
    if (!options.simulate.isEmpty()) {
        QStringList probeArgs{QStringLiteral("--model"),           options.simulate,
                              QStringLiteral("--pattern"),         QStringLiteral("sine"),
                              QStringLiteral("--field"),           QStringLiteral("5,8,11"),
                              QStringLiteral("--exit-with-parent")};
        line = child.startAndReadLine(QCoreApplication::applicationDirPath() +
                                          QStringLiteral("/varnex-probesim"),
                                      probeArgs + options.probeArguments, 5000, &error);
        if (line.isEmpty()) {
            std::fprintf(stderr, "varnex-logger: the virtual probe did not start: %s\n",
                         error.toLocal8Bit().constData());
            return logger::PortNotOpened;
        }
    }

    // SIGINT and SIGTERM end the run as the duration would: every page closed.
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, SignalPipe) != 0) return logger::Failed;
    QSocketNotifier signalled(SignalPipe[1], QSocketNotifier::Read);
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);

    NoStore store;
    platform::PortTable ports(store);
    ports.setRunOverride(1, line);
    platform::QtSerialComm port(ports);
    platform::QtClock clock;
    logger::LoggerEngine engine(
        options, ReadNotes(options.notesFile), port, clock,
        [] { return std::make_unique<platform::QtHiResTimer>(); }, reporter);
    QObject::connect(&signalled, &QSocketNotifier::activated, [&] {
        char byte;
        [[maybe_unused]] const auto got = read(SignalPipe[1], &byte, 1);
        reporter.Event(QStringLiteral("Stopping"));
        engine.Finish(logger::Done);
    });
    if (!engine.Start()) {
        std::fprintf(stderr, "varnex-logger: the port %s cannot be opened.\n",
                     line.toLocal8Bit().constData());
        return logger::PortNotOpened;
    }
    return QCoreApplication::exec();
}
