// Opening a full log: 32000 rows of 5 columns read and checked, then the whole open-to-drawn
// path of the window (the rows into the graph and the log table, the stored view drawn).
#include "app/LogLoading.h"
#include "bench/Figures.h"
#include "bench/WindowBench.h"
#include "files/LogFile.h"
#include "files/LogReading.h"

#include <QApplication>
#include <algorithm>
#include <vector>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 20;
    QTemporaryDir dir;

    measure::RecordTable table;
    table.StartLog(measure::RecordTable::Layout::Axes, QStringLiteral("V/m"),
                   QStringLiteral("PX-5100"));
    for (int i = 1; i <= measure::RecordTable::MaxRecords; ++i)
        table.Append(float(i) / 86400.0f, 14.491f + float(i % 97) * 0.01f, 5.123f, 8.0f, 11.25f);
    files::LogHeader header;
    header.samples = table.RecordCount();
    header.columns = files::LogColumns::Axes;
    header.graphScale = QStringLiteral("Log 0.1-1000");
    header.units = QStringLiteral("V/m");
    const QString path = dir.filePath(QStringLiteral("full.csv"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(files::LogPageText(header, table, 1, 1, QStringLiteral("full.csv"))) < 0)
            return 1;
    }

    std::vector<double> reads;
    qint64 bytes = 0;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return 1;
        const QByteArray data = file.readAll();
        const files::LogReadResult read = files::ReadLog(data);
        reads.push_back(double(t.nsecsElapsed()) / 1e6);
        bytes = data.size();
        if (!read.ok || read.log.rows.size() != 32000) {
            std::fprintf(stderr, "the log did not read back: %s\n", qPrintable(read.error));
            return 1;
        }
    }

    bench::WindowRun run(QStringLiteral("/nonexistent"), QStringLiteral("Max"));
    app::frmMain& window = run.window();
    std::vector<double> opens;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        if (!window.loader().LoadData(path)) return 1;
        opens.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    const double read = bench::Median(reads);
    const double open = bench::Median(opens);
    std::printf("bench_logload: 32000 rows of 5 columns (%.2f MB), %d rounds\n",
                double(bytes) / 1e6, rounds);
    std::printf("  read and check     %.1f ms (median)   target under 25 ms: %s\n", read,
                read < 25.0 ? "met" : "MISSED");
    std::printf("  open to drawn      %.1f ms (median)   target under 50 ms: %s\n", open,
                open < 50.0 ? "met" : "MISSED");
    return 0;
}
