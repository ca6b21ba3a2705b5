// The unattended logger as a whole program, seen from outside: varnex-logger on a virtual PX-9100
// streaming at 115200 baud, its rows read from its standard output in line protocol and counted.
// First a long run, compressed in time: the probe sends its records N times faster than the line
// would carry them until two million rows have come; the rows a second, the processor share, the
// resident memory ten seconds into the logging and at the end. Then a minute at the pace of the
// line (about 606 rows a second) for the processor share. After each run the logger is stopped with
// SIGTERM and its pages are counted against the rows it streamed.
//
//   bench_logger [rows] [pace seconds] [speed-up]    (default 2000000, 60, 20)
// Targets: flat memory, no growth with the number of rows; under 1.5 % of one core at the pace of
// the line. Exit 1 (FAIL) when the logger does not end with 0 or its pages miss rows.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

constexpr qint64 RowsPerPage = 32000;
constexpr double LineRowsPerSecond = 115200.0 / 10.0 / 19.0;

// The process's resident memory (kB) and processor time (clock ticks, user and system).
struct Usage {
    qint64 rssKb = 0;
    qint64 ticks = 0;
};

Usage Sample(qint64 pid) {
    Usage u;
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray& line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                u.rssKb = line.mid(6).trimmed().split(' ')[0].toLongLong();
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.open(QIODevice::ReadOnly)) {
        // After the program's name in parentheses: the state is the first field, utime the 12th.
        const QByteArray text = stat.readAll();
        const QList<QByteArray> f = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (f.size() > 12) u.ticks = f[11].toLongLong() + f[12].toLongLong();
    }
    return u;
}

struct Run {
    qint64 rows = 0;             // streamed until the stop
    qint64 total = 0;            // streamed in all, the rows written while stopping included
    double seconds = 0, cpu = 0; // from the first row until the stop
    qint64 rssStartKb = -1, rssEndKb = 0;
    int exitCode = -1;
    QByteArray errors; // the logger's standard error, the virtual probe's included
};

// Runs the logger until it has streamed `rows` rows (or, with rows 0, for `seconds` of logging),
// then stops it; false when it ended by itself or stalled.
bool RunLogger(const QString& out, int speedup, qint64 rows, double seconds, Run* r) {
    QStringList args{"--simulate", "PX-9100",        "--baud", "115200", "--format",
                     "influx",     "--find-timeout", "30s",    "--out",  out};
    if (speedup > 1)
        args << "--probe-option"
             << "--stream-speedup"
             << "--probe-option" << QString::number(speedup);
    QProcess logger;
    logger.start(QCoreApplication::applicationDirPath() + "/varnex-logger", args);
    if (!logger.waitForStarted(5000)) {
        std::printf("FAIL: varnex-logger did not start: %s\n", qPrintable(logger.errorString()));
        return false;
    }
    const qint64 pid = logger.processId();
    QElapsedTimer since, wall, quiet; // since the start, the first row, the last row
    since.start();
    Usage first;
    bool stopped = false, stalled = false;
    QObject::connect(&logger, &QProcess::readyReadStandardOutput, [&] {
        const qint64 n = logger.readAllStandardOutput().count('\n');
        if (n > 0 && r->total == 0) {
            wall.start();
            first = Sample(pid);
        }
        r->total += n;
        if (n > 0) quiet.start();
    });
    QEventLoop loop;
    QObject::connect(&logger, &QProcess::finished, &loop, &QEventLoop::quit);
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (stopped) return;
        const bool logging = r->total > 0;
        if (logging && r->rssStartKb < 0 && wall.elapsed() >= 10000)
            r->rssStartKb = Sample(pid).rssKb;
        const bool done =
            logging && (rows > 0 ? r->total >= rows : wall.elapsed() >= seconds * 1e3);
        stalled = logging ? quiet.elapsed() > 20000 : since.elapsed() > 60000;
        if (!done && !stalled) return;
        const Usage end = Sample(pid);
        r->rows = r->total;
        r->seconds = double(wall.nsecsElapsed()) / 1e9;
        r->cpu = double(end.ticks - first.ticks) / double(sysconf(_SC_CLK_TCK));
        r->rssEndKb = end.rssKb;
        if (r->rssStartKb < 0) r->rssStartKb = end.rssKb;
        stopped = true;
        logger.terminate();
        QTimer::singleShot(15000, &logger, &QProcess::kill);
    });
    tick.start(100);
    loop.exec();
    r->total += logger.readAllStandardOutput().count('\n');
    r->errors = logger.readAllStandardError();
    r->exitCode = logger.exitStatus() == QProcess::NormalExit ? logger.exitCode() : -1;
    if (!stopped || stalled)
        std::printf("FAIL: %s; its standard error:\n%s",
                    stalled ? "no rows for 20 s (or none in the first minute)"
                            : "the logger ended by itself",
                    r->errors.constData());
    return stopped && !stalled;
}

// The pages run.csv, run_2.csv, ...: their rows are the lines after the heading line, which
// follows "EndHeader". True when every page but the last is full.
bool CountPages(const QString& dir, int* pages, qint64* rows) {
    bool full = true, lastFull = true;
    for (*pages = 0, *rows = 0;; ++*pages) {
        const QString name = *pages == 0 ? "/run.csv" : QString("/run_%1.csv").arg(*pages + 1);
        QFile file(dir + name);
        if (!file.open(QIODevice::ReadOnly)) break;
        const QByteArray text = file.readAll();
        const qsizetype end = text.indexOf("\nEndHeader\r\n");
        const qsizetype heading = end < 0 ? -1 : text.indexOf('\n', end + 12);
        const qint64 n = heading < 0 ? 0 : text.mid(heading + 1).count('\n'); // rows end in CRLF
        full = full && lastFull;
        lastFull = n == RowsPerPage;
        *rows += n;
    }
    return full && *pages > 0;
}

// Prints what the figures of both runs share; false on a failed check.
bool Report(const Run& r, const QString& dir) {
    std::printf("  rows streamed        %lld in %.1f s, %.1f a second (the line carries %.1f)\n",
                static_cast<long long>(r.rows), r.seconds, double(r.rows) / r.seconds,
                LineRowsPerSecond);
    const QRegularExpressionMatch sent =
        QRegularExpression("streamed (\\d+) records(?:; at least (\\d+) characters)?")
            .match(QString::fromLocal8Bit(r.errors));
    if (sent.hasMatch())
        std::printf("  probe records sent   %s in all, at least %lld characters left unread at "
                    "the stop\n",
                    qPrintable(sent.captured(1)), sent.captured(2).toLongLong());
    int pages = 0;
    qint64 pageRows = 0;
    const bool full = CountPages(dir, &pages, &pageRows);
    const bool same = std::abs(pageRows - r.total) <= 3;
    std::printf(
        "  pages                %d, %lld rows, full but the last: %s; streamed in all %lld: "
        "%s\n",
        pages, static_cast<long long>(pageRows), full ? "yes" : "NO",
        static_cast<long long>(r.total), same ? "the same" : "DIFFERENT");
    std::printf("  exit code            %d\n", r.exitCode);
    const bool ok = r.exitCode == 0 && full && same;
    if (!ok) std::printf("FAIL\nthe logger's standard error:\n%s", r.errors.constData());
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const qint64 rows = argc > 1 ? std::max(1000LL, atoll(argv[1])) : 2000000;
    const double paceSeconds = argc > 2 ? std::max(5.0, atof(argv[2])) : 60.0;
    const int speedup = argc > 3 ? std::max(2, atoi(argv[3])) : 20;

    QTemporaryDir day;
    Run fast;
    if (!RunLogger(day.filePath("run.csv"), speedup, rows, 0, &fast)) return 1;
    std::printf("bench_logger: varnex-logger, virtual PX-9100 at 115200 baud sending %d times as "
                "fast as the line, %lld rows\n",
                speedup, static_cast<long long>(rows));
    const double growthMb = double(fast.rssEndKb - fast.rssStartKb) / 1024.0;
    std::printf("  processor            %.1f s, %.1f %% of one core, %.2f us a row\n", fast.cpu,
                100.0 * fast.cpu / fast.seconds, 1e6 * fast.cpu / double(fast.rows));
    std::printf("  resident memory      %.1f MB 10 s in, %.1f MB at the end, growth %+.2f MB"
                "   target flat: %s\n",
                double(fast.rssStartKb) / 1024.0, double(fast.rssEndKb) / 1024.0, growthMb,
                growthMb < 1.0 ? "met" : "MISSED");
    const bool fastOk = Report(fast, day.path());

    QTemporaryDir line;
    Run pace;
    if (!RunLogger(line.filePath("run.csv"), 1, 0, paceSeconds, &pace)) return 1;
    const double core = 100.0 * pace.cpu / pace.seconds;
    std::printf("bench_logger: at the pace of the line, %.0f s of logging\n", pace.seconds);
    std::printf("  processor            %.2f s, %.2f %% of one core   target under 1.5 %%: %s\n",
                pace.cpu, core, core < 1.5 ? "met" : "MISSED");
    const bool paceOk = Report(pace, line.path());
    return fastOk && paceOk ? 0 : 1;
}
