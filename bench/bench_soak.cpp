// The soak: the window (offscreen) and the unattended logger side by side, each logging a
// virtual PX-5100 read axis by axis for an hour of wall time while its probe drops, garbles,
// splits and delays replies, falls silent and is unplugged in turn. Prints, for each, the
// rows the probe delivered and the rows logged, the losses and recoveries seen, the resident
// memory every ten minutes and any message box raised.
//
//   bench_soak [minutes]        (default 60)
//
// The rows owed are the whole samples each front end took while it logged: the window's
// readings that close a sample while its log runs (counted beside the log by a reading sink of
// the bench), the logger's rows as it streams them on standard output; the rows logged are
// those of the window's log table and of the logger's pages. The probe's own count of whole
// X, Y, Z cycles it delivered intact (from its log) is printed beside them.
#include "app/LogFile.h"
#include "bench/WindowBench.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <cstdio>

namespace {

const QStringList Faults{"--fault", "drop:53",        "--fault", "garble:59",
                         "--fault", "split:61",       "--fault", "late:67:400",
                         "--fault", "silent:400:20",  "--fault", "unplug:800:15",
                         "--fault", "silent:1500:40", "--fault", "unplug:2000:30",
                         "--fault", "silent:2700:15", "--fault", "unplug:3200:20"};

double ResidentMB(qint64 pid) {
    QFile status(pid == 0 ? QStringLiteral("/proc/self/status")
                          : QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return -1;
}

// Whole X, Y, Z cycles the probe delivered intact: its Z replies sent unchanged.
int CyclesDelivered(const QString& logPath) {
    QFile log(logPath);
    if (!log.open(QIODevice::ReadOnly)) return -1;
    int cycles = 0;
    for (const QByteArray& line : log.readAll().split('\n')) {
        const QByteArray text = line.trimmed();
        if (text.contains("> :D") && text.endsWith("DDE<CR>")) ++cycles;
    }
    return cycles;
}

// Counts the window's readings that close a sample while its log runs.
struct LoggedSamples : measure::ReadingSink {
    explicit LoggedSamples(const measure::RecordTable& table) : records(table) {}
    void TakeReading(const measure::Reading& r) override {
        if (r.completesSample && records.Recording() == measure::RecordTable::Logging) ++count;
    }
    const measure::RecordTable& records;
    int count = 0;
};

int PageRows(const QString& path) {
    QFile page(path);
    if (!page.open(QIODevice::ReadOnly)) return -1;
    const QByteArray text = page.readAll();
    const qsizetype end = text.indexOf("\r\nEndHeader\r\n");
    const qsizetype heading = text.indexOf("\r\n", end + 13);
    return end < 0 || heading < 0 ? -1 : int(text.mid(heading + 2).count("\r\n"));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int minutes = argc > 1 ? std::max(1, atoi(argv[1])) : 60;
    QTemporaryDir dir;
    const QString windowLog = dir.filePath("window-probe.log");
    const QString loggerLog = dir.filePath("logger-probe.log");

    bench::ProbeProcess windowProbe;
    if (!windowProbe.start(
            QStringList{"--model", "PX-5100", "--pattern", "sine", "--log", windowLog} + Faults))
        return 1;
    QProcess logger;
    logger.setProgram(QCoreApplication::applicationDirPath() + "/varnex-logger");
    QStringList loggerArguments{
        "--simulate", "PX-5100",        "--out", dir.filePath("soak.csv"), "--format",
        "csv",        "--probe-option", "--log", "--probe-option",         loggerLog};
    for (const QString& f : Faults)
        loggerArguments << "--probe-option" << f;
    logger.setArguments(loggerArguments);
    logger.start();

    bench::WindowRun run(windowProbe.line(), QStringLiteral("15"));
    app::frmMain& w = run.window();
    if (!bench::WaitFor([&] { return w.probe().GetModel() == "PX-5100"; }, 60000)) {
        fprintf(stderr, "the window found no probe\n");
        return 1;
    }
    bench::WaitFor([] { return false; }, 3000);
    w.ui().record.tbRecord->trigger();
    // Added after the log table: it sees each reading once the table has taken it.
    LoggedSamples owedToWindow(w.records());
    w.readings().Add(owedToWindow);

    printf("Soak of %d minutes: the window and varnex-logger, each on a virtual PX-5100 with "
           "faults\n\n%8s %14s %14s %10s %10s\n",
           minutes, "minute", "window MB", "logger MB", "win rows", "log rows");
    int windowLosses = 0, windowRecoveries = 0;
    bool windowLost = false;
    QList<double> windowMB, loggerMB;
    QElapsedTimer clock;
    clock.start();
    const qint64 endMs = qint64(minutes) * 60000;
    int nextReport = 0;
    while (clock.elapsed() < endMs) {
        bench::WaitFor([] { return false; }, 1000);
        const bool lost = w.probe().LostComm() == 1;
        if (lost && !windowLost) ++windowLosses;
        if (!lost && windowLost) ++windowRecoveries;
        windowLost = lost;
        const int minute = int(clock.elapsed() / 60000);
        if (minute >= nextReport) {
            windowMB << ResidentMB(0);
            loggerMB << ResidentMB(logger.processId());
            printf("%8d %14.1f %14.1f %10d %10d\n", minute, windowMB.last(), loggerMB.last(),
                   w.records().RecordCount(), PageRows(dir.filePath("soak.csv")));
            fflush(stdout);
            nextReport += minutes >= 30 ? 10 : 1;
        }
    }
    const int windowRows = w.records().RecordCount();
    ::kill(pid_t(logger.processId()), SIGTERM);
    logger.waitForFinished(30000);
    const QByteArray streamed = logger.readAllStandardOutput();
    const QString loggerErrors = QString::fromLocal8Bit(logger.readAllStandardError());
    windowProbe.stop();

    int pageRows = 0;
    for (int page = 1;; ++page) {
        const int rows = PageRows(app::PageFileName(dir.filePath("soak.csv"), page));
        if (rows < 0) break;
        pageRows += rows;
    }
    const int streamedRows = int(streamed.count('\n')) - 1; // less the heading line
    const int loggerLosses = int(loggerErrors.count("The probe stopped answering"));
    const int loggerRecoveries = int(loggerErrors.count("The probe answers again"));
    printf("\n%-34s %12s %12s\n", "", "window", "logger");
    printf("%-34s %12d %12d\n", "whole cycles the probe delivered", CyclesDelivered(windowLog),
           CyclesDelivered(loggerLog));
    printf("%-34s %12d %12d\n", "rows owed (samples taken, logging)", owedToWindow.count,
           streamedRows);
    printf("%-34s %12d %12d\n", "rows logged", windowRows, pageRows);
    printf("%-34s %12d %12d\n", "probe losses seen", windowLosses, loggerLosses);
    printf("%-34s %12d %12d\n", "recoveries seen", windowRecoveries, loggerRecoveries);
    printf("%-34s %12.1f %12.1f\n", "resident MB after 10 min / 1 min", windowMB.value(1),
           loggerMB.value(1));
    printf("%-34s %12.1f %12.1f\n", "resident MB at the end", windowMB.last(), loggerMB.last());
    printf("%-34s %12lld %12s\n", "message boxes raised", qint64(run.boxes().messages().size()),
           "-");
    for (const auto& m : run.boxes().messages())
        printf("  box: %s\n", qPrintable(m.text));
    printf("logger exit code %d\n", logger.exitCode());
    printf("targets: no row lost that the probe delivered, every loss recovered, resident memory "
           "flat (under 1 MB growth after the first ten minutes)\n");
    return 0;
}
