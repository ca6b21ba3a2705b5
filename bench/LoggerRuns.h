#pragma once
// varnex-logger runs side by side, each on a virtual probe in a constant field whose line
// misbehaves in its own way: how soon each found its probe, the rows it logged in a fixed time
// of logging, and how it ended. The line-quality bench prints them; the line-fault test checks
// them.
#include "files/LogReading.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <array>
#include <cmath>
#include <memory>
#include <vector>

namespace bench {

// The lines every family is tried on: clean, one reply in seven 450 ms and 900 ms late, one in
// five split 120 ms.
struct LineFault {
    const char* spec; // the virtual probe's --fault; empty for a clean line
    double delayMs;
    int every;
};
inline constexpr LineFault LineFaults[] = {
    {"", 0, 1}, {"late:450:7", 450, 7}, {"late:900:7", 900, 7}, {"split:120:5", 120, 5}};

// A probe of each family; one read axis by axis asks six times a row (three axis commands,
// three reads).
struct LineFamily {
    const char* model;
    int repliesPerRow;
};
inline constexpr LineFamily LineFamilies[] = {
    {"PX-5100", 6}, {"PX-2100", 1}, {"PX-9100", 1}, {"E310", 1}};

// The share of the clean line's rows that one command in flight leaves when each late or split
// reply costs its delay and nothing more.
inline double ShareAllowed(double cleanRowsPerSecond, int repliesPerRow, const LineFault& fault) {
    if (cleanRowsPerSecond <= 0) return 0;
    const double rowMs = 1000.0 / cleanRowsPerSecond;
    return rowMs / (rowMs + repliesPerRow * fault.delayMs / fault.every);
}

struct LineCase {
    QString model;
    QString fault; // the virtual probe's --fault; empty for a clean line
    double field;  // on every axis, in V/m (a current probe reads it as mA)
};

struct LineRun {
    LineCase line;
    int exitCode = -1;       // -1: not ended in time, -2: crashed
    double foundAfterS = -1; // from the start until the logger named the probe
    files::LoadedLog log;    // the first page
    QString readError;
    QString errors; // the logger's standard error
    double rowsPerSecond(int seconds) const { return double(log.rows.size()) / seconds; }
};

// Starts every case at once, each logging for `seconds` from its first row, and waits until
// all have ended (at most limitMs). The pages go to `folder`.
//
// The total every row should hold: the three axes of the field.
inline double TotalOf(const LineCase& line) {
    return std::sqrt(3.0) * line.field;
}
// Whether a row's total (and its axes, where it has them) is the field; a Zeta probe's are
// computed from counts, to within a percent.
inline bool RowIsTheField(const LineCase& line, const std::array<float, 5>& row, int columns) {
    const double tolerance = line.model.startsWith(QLatin1String("PX-9")) ? 0.01 : 0.001;
    const auto near = [tolerance](double value, double want) {
        return std::abs(value / want - 1.0) <= tolerance;
    };
    if (!near(row[1], TotalOf(line))) return false;
    for (int axis = 2; axis <= columns; ++axis)
        if (!near(row[std::size_t(axis)], line.field)) return false;
    return true;
}

inline QString ErrorsFile(const QString& folder, qsizetype run) {
    return QDir(folder).filePath(QStringLiteral("run%1.err").arg(run));
}

inline QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline std::vector<LineRun> RunSideBySide(const QList<LineCase>& cases, int seconds,
                                          const QString& folder, int limitMs = 120000) {
    std::vector<LineRun> runs(std::size_t(cases.size()));
    std::vector<std::unique_ptr<QProcess>> processes;
    QElapsedTimer clock;
    clock.start();
    int running = 0;
    QEventLoop loop;
    for (qsizetype i = 0; i < cases.size(); ++i) {
        LineRun& run = runs[std::size_t(i)];
        run.line = cases[i];
        const QString field = QString::number(run.line.field);
        QStringList probe{"--field", field + ',' + field + ',' + field, "--pattern", "constant"};
        if (!run.line.fault.isEmpty()) probe << "--fault" << run.line.fault;
        QStringList args{"--simulate",
                         run.line.model,
                         "--out",
                         QDir(folder).filePath(QStringLiteral("run%1.csv").arg(i)),
                         "--overwrite",
                         "--duration",
                         QString::number(seconds) + 's'};
        for (const QString& option : probe)
            args << "--probe-option" << option;
        auto process = std::make_unique<QProcess>();
        QProcess* p = process.get();
        // Standard error goes to a file, read as it grows: a pipe may lose the last lines of
        // a program that ends (seen under Wine).
        p->setStandardErrorFile(ErrorsFile(folder, i));
        QObject::connect(p, &QProcess::finished, p,
                         [&run, &running, &loop](int code, QProcess::ExitStatus status) {
                             run.exitCode = status == QProcess::NormalExit ? code : -2;
                             if (--running == 0) loop.quit();
                         });
        QObject::connect(p, &QProcess::errorOccurred, p,
                         [&running, &loop](QProcess::ProcessError error) {
                             if (error == QProcess::FailedToStart && --running == 0) loop.quit();
                         });
        p->start(QCoreApplication::applicationDirPath() + "/varnex-logger", args);
        ++running;
        processes.push_back(std::move(process));
    }
    const auto readErrors = [&] {
        for (qsizetype i = 0; i < cases.size(); ++i) {
            LineRun& run = runs[std::size_t(i)];
            run.errors = QString::fromLocal8Bit(ReadAll(ErrorsFile(folder, i)));
            if (run.foundAfterS < 0 && run.errors.contains(QLatin1String("Found probe type")))
                run.foundAfterS = clock.elapsed() / 1000.0;
        }
    };
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, readErrors);
    watch.start(100);
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    if (running > 0) loop.exec();
    watch.stop();
    for (auto& p : processes) {
        if (p->state() == QProcess::NotRunning) continue;
        p->kill();
        p->waitForFinished(3000);
    }
    readErrors();
    for (std::size_t i = 0; i < runs.size(); ++i) {
        QFile page(QDir(folder).filePath(QStringLiteral("run%1.csv").arg(i)));
        if (!page.open(QIODevice::ReadOnly)) {
            runs[i].readError = page.errorString();
            continue;
        }
        const files::LogReadResult read = files::ReadLog(page.readAll());
        runs[i].log = read.log;
        if (!read.ok)
            runs[i].readError = QStringLiteral("line %1: %2").arg(read.line).arg(read.error);
    }
    return runs;
}

} // namespace bench
