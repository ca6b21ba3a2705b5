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
// those of the window's log table and of the logger's pages. Beside them: the probe's own count
// of whole X, Y, Z cycles it delivered intact and on time (from its log), which each front end
// should log at least, and the rows whose total the probe's field cannot give.
#include "bench/WindowBench.h"
#include "files/LogFile.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <utility>

namespace {

const QStringList Faults{"--fault", "drop:53",        "--fault", "garble:59",
                         "--fault", "split:61",       "--fault", "late:400:67",
                         "--fault", "silent:400:20",  "--fault", "unplug:800:15",
                         "--fault", "silent:1500:40", "--fault", "unplug:2000:30",
                         "--fault", "silent:2700:15", "--fault", "unplug:3200:20"};

// Resident memory of a process (0: this one) in MB: all of it ("VmRSS:"), or only what it
// allocated itself ("RssAnon:"), without the pages of the program and its libraries read in
// from disk as their code is first used.
double ResidentMB(qint64 pid, const QByteArray& field = "VmRSS:") {
    QFile status(pid == 0 ? QStringLiteral("/proc/self/status")
                          : QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(field.size()).trimmed().split(' ').first().toDouble() / 1024;
    return -1;
}

// The memory this process's allocations hold now, in MB: what it asked for and has not given
// back, whatever the pages its heap has touched to serve it.
double InUseMB() {
    const struct mallinfo2 info = mallinfo2();
    return double(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

// The memory figures of the window (this process) and the logger at one moment.
struct Memory {
    static Memory Now(qint64 loggerPid) {
        return {ResidentMB(0), ResidentMB(loggerPid), ResidentMB(0, "RssAnon:"),
                ResidentMB(loggerPid, "RssAnon:"), InUseMB()};
    }
    double windowMB = -1, loggerMB = -1;     // resident
    double windowAnon = -1, loggerAnon = -1; // allocated
    double windowInUse = -1;                 // held by the window's allocations
};

// Whole X, Y, Z cycles the probe delivered intact and on time, from its log: an X, a Y and a Z
// data reply in turn, none of them dropped, garbled, split or late, and no fault between them.
int CyclesDelivered(const QString& logPath) {
    QFile log(logPath);
    if (!log.open(QIODevice::ReadOnly)) return -1;
    int cycles = 0;
    int axesRead = 0;     // this cycle's replies so far: 1 X, 2 X and Y
    bool spoiled = false; // the next reply sent is the one a fault was just logged for
    for (const QByteArray& line : log.readAll().split('\n')) {
        const QByteArray text = line.trimmed();
        if (text.contains(" ! ")) {
            axesRead = 0;
            spoiled = !text.contains("dropped");
            continue;
        }
        if (!text.contains(" > ")) continue;
        if (std::exchange(spoiled, false)) {
            axesRead = 0;
            continue;
        }
        if (!text.contains("> :D") || !text.endsWith("<CR>")) continue;
        const QByteArray axes = text.chopped(4).right(3);
        if (axes == "EDD")
            axesRead = 1;
        else if (axes == "DED" && axesRead == 1)
            axesRead = 2;
        else if (axes == "DDE" && axesRead == 2)
            ++cycles, axesRead = 0;
        else
            axesRead = 0;
    }
    return cycles;
}

// The logger's standard output counted in lines, and its losses and recoveries from its
// event lines on standard error.
struct LoggerOutput {
    void Stream(const QByteArray& data) { lines += int(data.count('\n')); }
    void Errors(const QByteArray& data) {
        pending += data;
        const qsizetype end = pending.lastIndexOf('\n');
        if (end < 0) return;
        const QByteArray whole = pending.left(end + 1);
        pending.remove(0, end + 1);
        losses += int(whole.count("The probe stopped answering"));
        recoveries += int(whole.count("The probe answers again"));
    }
    int lines = 0, losses = 0, recoveries = 0;
    QByteArray pending;
};

// Counts the window's readings that close a sample while its log runs.
struct LoggedSamples : measure::ReadingSink {
    explicit LoggedSamples(const measure::RecordTable& table) : records(table) {}
    void TakeReading(const measure::Reading& r) override {
        if (r.completesSample && records.Recording() == measure::RecordTable::Logging) ++count;
    }
    const measure::RecordTable& records;
    int count = 0;
};

// What the window's status bar says of its line, the probe it names and how it reads it, and
// whether its log runs.
QString LineState(app::frmMain& w) {
    const probe::clsProbe& p = w.probe();
    const QString health =
        p.LostComm() == 1 ? QStringLiteral("lost") : w.ui().link.sbLineHealth->text();
    return QStringLiteral("%1 [%2, %3, %4]")
        .arg(health, p.GetModel().isEmpty() ? QStringLiteral("no model") : p.GetModel(),
             p.MultiplexOn() == 1 ? QStringLiteral("axis by axis") : QStringLiteral("whole"),
             w.records().Recording() == measure::RecordTable::Logging
                 ? QStringLiteral("logging")
                 : QStringLiteral("not logging"));
}

// The totals a virtual probe's sine can give: each axis swings by half its level either way.
struct FieldBounds {
    explicit FieldBounds(std::initializer_list<double> levels) {
        for (double level : levels) {
            low += 0.25 * level * level;
            high += 2.25 * level * level;
        }
        low = std::sqrt(low) * 0.99;
        high = std::sqrt(high) * 1.01;
    }
    bool holds(double total) const { return total >= low && total <= high; }
    double low = 0, high = 0;
};
const FieldBounds WindowField{12, 18, 24};
const FieldBounds LoggerField{5, 8, 11};

// The rows of a logger page, and how many of them have a total the probe's field cannot give
// (-1 rows: no such page).
struct PageCount {
    int rows = -1;
    int outsideField = 0;
};
PageCount PageRows(const QString& path) {
    QFile page(path);
    if (!page.open(QIODevice::ReadOnly)) return {};
    // Read a line at a time into one buffer: a page read whole every minute would grow this
    // process's heap with the page, and this process's memory is the window's figure.
    char line[512];
    const auto next = [&] { return page.readLine(line, sizeof line) > 0; };
    bool header = true;
    while (header && next())
        header = qstrcmp(line, "EndHeader\r\n") != 0;
    if (header || !next()) return {}; // no end of the header, or no heading line after it
    PageCount count{0, 0};
    while (next()) {
        const qsizetype length = qstrlen(line);
        if (length < 2 || line[length - 2] != '\r' || line[length - 1] != '\n') continue;
        ++count.rows;
        const char* comma = strchr(line, ',');
        if (!comma || !LoggerField.holds(std::strtod(comma + 1, nullptr))) ++count.outsideField;
    }
    return count;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int minutes = argc > 1 ? std::max(1, atoi(argv[1])) : 60;

    // SOAK_TRACE: what the window's line is doing every minute, and the probes' logs kept.
    const bool trace = qEnvironmentVariableIsSet("SOAK_TRACE");
    QTemporaryDir dir;
    if (trace) {
        dir.setAutoRemove(false);
        printf("probe logs and pages in %s\n", qPrintable(dir.path()));
    }
    const QString windowLog = dir.filePath("window-probe.log");
    const QString loggerLog = dir.filePath("logger-probe.log");

    bench::ProbeProcess windowProbe;
    if (!windowProbe.start(QStringList{"--model", "PX-5100", "--field", "12,18,24", "--pattern",
                                       "sine", "--log", windowLog} +
                           Faults))
        return 1;
    QProcess logger;
    logger.setProgram(QCoreApplication::applicationDirPath() + "/varnex-logger");
    QStringList loggerArguments{
        "--simulate",     "PX-5100", "--out",          dir.filePath("soak.csv"),
        "--format",       "csv",     "--probe-option", "--log",
        "--probe-option", loggerLog, "--probe-option", "--field",
        "--probe-option", "5,8,11"};
    for (const QString& f : Faults)
        loggerArguments << "--probe-option" << f;
    logger.setArguments(loggerArguments);
    // The logger's output is counted as it comes and let go, so that the window's memory (this
    // process) does not hold an hour of it.
    LoggerOutput loggerOutput;
    QObject::connect(&logger, &QProcess::readyReadStandardOutput,
                     [&] { loggerOutput.Stream(logger.readAllStandardOutput()); });
    QObject::connect(&logger, &QProcess::readyReadStandardError,
                     [&] { loggerOutput.Errors(logger.readAllStandardError()); });
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
           "faults\n\n%8s %14s %14s %10s %10s  %s\n",
           minutes, "minute", "window MB", "logger MB", "win rows", "log rows", "window's line");
    int windowLosses = 0, windowRecoveries = 0;
    bool windowLost = false;
    // The memory the growth is measured from: at ten minutes, or at one in a short soak.
    const int baseMinute = minutes >= 30 ? 10 : 1;
    Memory base, last;
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
            last = Memory::Now(logger.processId());
            if (minute >= baseMinute && base.windowMB < 0) base = last;
            printf("%8d %14.1f %14.1f %10d %10d  %s\n", minute, last.windowMB, last.loggerMB,
                   w.records().RecordCount(), PageRows(dir.filePath("soak.csv")).rows,
                   qPrintable(LineState(w)));
            fflush(stdout);
            nextReport += minutes >= 30 && !trace ? 10 : 1;
        }
    }
    // Taken together: the window goes on reading while the probes are stopped below.
    const int windowRows = w.records().RecordCount();
    const int windowOwed = owedToWindow.count;
    const Memory end = Memory::Now(logger.processId());
    ::kill(pid_t(logger.processId()), SIGTERM);
    logger.waitForFinished(30000);
    loggerOutput.Stream(logger.readAllStandardOutput());
    loggerOutput.Errors(logger.readAllStandardError() + '\n');
    windowProbe.stop();

    int pageRows = 0, loggerOutside = 0;
    for (int page = 1;; ++page) {
        const PageCount count = PageRows(files::PageFileName(dir.filePath("soak.csv"), page));
        if (count.rows < 0) break;
        pageRows += count.rows;
        loggerOutside += count.outsideField;
    }
    int windowOutside = 0;
    for (int row = 1; row <= windowRows; ++row)
        if (!WindowField.holds(w.records().At(row, 1))) ++windowOutside;
    const int streamedRows = loggerOutput.lines - 1; // less the heading line
    const int loggerLosses = loggerOutput.losses;
    const int loggerRecoveries = loggerOutput.recoveries;
    printf("\n%-34s %12s %12s\n", "", "window", "logger");
    printf("%-34s %12d %12d\n", "whole cycles the probe delivered", CyclesDelivered(windowLog),
           CyclesDelivered(loggerLog));
    printf("%-34s %12d %12d\n", "rows owed (samples taken, logging)", windowOwed, streamedRows);
    printf("%-34s %12d %12d\n", "rows logged", windowRows, pageRows);
    printf("%-34s %12d %12d\n", "rows outside the probe's field", windowOutside, loggerOutside);
    printf("%-34s %12d %12d\n", "probe losses seen", windowLosses, loggerLosses);
    printf("%-34s %12d %12d\n", "recoveries seen", windowRecoveries, loggerRecoveries);
    const QByteArray atBase = "at minute " + QByteArray::number(baseMinute);
    printf("%-34s %12.1f %12.1f\n", ("resident MB " + atBase).data(), base.windowMB, base.loggerMB);
    printf("%-34s %12.1f %12.1f\n", "resident MB at the end", end.windowMB, end.loggerMB);
    printf("%-34s %12.1f %12.1f\n", ("  allocated MB " + atBase).data(), base.windowAnon,
           base.loggerAnon);
    printf("%-34s %12.1f %12.1f\n", "  allocated MB at the end", end.windowAnon, end.loggerAnon);
    printf("%-34s %12.2f %12s\n", ("  in use MB " + atBase).data(), base.windowInUse, "-");
    printf("%-34s %12.2f %12s\n", "  in use MB at the end", end.windowInUse, "-");
    printf("%-34s %12lld %12s\n", "message boxes raised", qint64(run.boxes().messages().size()),
           "-");
    for (const auto& m : run.boxes().messages())
        printf("  box: %s\n", qPrintable(m.text));
    printf("logger exit code %d\n", logger.exitCode());
    printf("targets: no row lost that the probe delivered, none outside its field, every loss "
           "recovered, resident memory flat (under 1 MB growth after the first ten minutes)\n");
    return 0;
}
