// varnex-logger: logs a field probe for hours or days without a window (see LoggerEngine).
#include "logger/LoggerEngine.h"
#include "logger/LoggerOptions.h"
#include "measure/MovingAverage.h"
#include "platform/PortTable.h"
#include "platform/QtChildProgram.h"
#include "platform/QtClock.h"
#include "platform/QtHiResTimer.h"
#include "platform/SettingsStore.h"
#include "platform/System.h"
#include "platform/SystemSerial.h"
#include "probe/ModelTables.h"
#include "tools/probesim/InProcessProbe.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>

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
    ConsoleReporter() : m_terminal(platform::StderrIsTerminal()) {}
    void Event(const QString& line) override {
        if (m_terminal && m_statusShown) std::fputs("\r\033[K", stderr);
        std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
        std::fflush(stderr); // where standard error is buffered (a pipe on Windows)
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
        std::fflush(stderr);
        QCoreApplication::exit(exitCode);
    }

private:
    bool m_terminal;
    bool m_statusShown = false;
    int m_count = 0;
};

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
#ifndef Q_OS_WIN
    if (qEnvironmentVariableIsEmpty("TZ")) qputenv("TZ", ":/etc/localtime");
#endif
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
    NoStore store;
    platform::PortTable ports(store);
    const std::unique_ptr<platform::SerialComm> systemPort =
        platform::CreateSystemSerialComm(ports);
    platform::SerialComm* port = systemPort.get();
    platform::QtChildProgram child;
    std::unique_ptr<probesim::InProcessProbe> virtualProbe;
    QString line = options.port;
    if (!options.simulate.isEmpty()) {
        const QStringList probeArgs =
            QStringList{QStringLiteral("--model"),   options.simulate,
                        QStringLiteral("--pattern"), QStringLiteral("sine"),
                        QStringLiteral("--field"),   QStringLiteral("5,8,11")} +
            options.probeArguments;
#ifdef Q_OS_WIN
        // No pseudo-terminals here: the virtual probe is served inside the logger.
        virtualProbe = probesim::InProcessProbe::Start(probeArgs, &error);
        if (virtualProbe) {
            port = &virtualProbe->port();
            line = virtualProbe->lineName();
        }
#else
        line = child.startAndReadLine(
            QCoreApplication::applicationDirPath() + QStringLiteral("/varnex-probesim"),
            probeArgs + QStringList{QStringLiteral("--exit-with-parent")}, 5000, &error);
#endif
        if (line.isEmpty()) {
            std::fprintf(stderr, "varnex-logger: the virtual probe did not start: %s\n",
                         error.toLocal8Bit().constData());
            return logger::PortNotOpened;
        }
    }
    ports.setRunOverride(1, line);

    platform::QtClock clock;
    logger::LoggerEngine engine(
        options, ReadNotes(options.notesFile), *port, clock,
        [] { return std::make_unique<platform::QtHiResTimer>(); }, reporter);
    // A request to stop (Ctrl+C, a service manager's SIGTERM) ends the run as the duration
    // would: every page closed.
    platform::StopRequests stop([&] {
        reporter.Event(QStringLiteral("Stopping"));
        engine.Finish(logger::Done);
    });
    if (!stop.listening()) return logger::Failed;
    if (!engine.Start()) {
        std::fprintf(stderr, "varnex-logger: the port %s cannot be opened.\n",
                     line.toLocal8Bit().constData());
        return logger::PortNotOpened;
    }
    return QCoreApplication::exec();
}
