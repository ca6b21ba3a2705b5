// The survey report of a full log (32000 rows of 5 columns): the page read from disk and the
// PDF written, as varnex-report makes it, with a limit applied and a few events listed; and
// the PDF alone from the rows in memory, as the window makes it.
//
//   bench_report [rounds]    (default 5)
// Target: the whole report under 1 s.
#include "bench/Figures.h"
#include "files/LogFile.h"
#include "report/ReportCommand.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QTemporaryDir dir;

    measure::RecordTable table;
    table.StartLog(measure::RecordTable::Layout::Axes, QStringLiteral("V/m"),
                   QStringLiteral("PX-5100"));
    for (int i = 1; i <= measure::RecordTable::MaxRecords; ++i) {
        const float wave = float(std::sin(i / 300.0)) * 4.0f;
        table.Append(float(8 * 3600 + i / 4) / 86400.0f, 14.0f + wave, 5.0f + wave, 8.0f,
                     11.0f - wave);
    }
    files::LogHeader header;
    header.samples = table.RecordCount();
    header.columns = table.RecordColumns();
    header.probeType = table.ProbeType();
    header.units = table.RecordUnits();
    header.notes = {{QStringLiteral("Site"), QStringLiteral("Roof, mast 2")}};
    const QString log = dir.filePath(QStringLiteral("bench.csv"));
    QFile page(log);
    if (!page.open(QIODevice::WriteOnly) ||
        page.write(files::LogPageText(header, table, 1, 1, QStringLiteral("bench.csv"))) < 0)
        return 1;
    page.close();
    std::vector<measure::ExposureEvent> events(5);
    QFile eventsFile(files::EventsFileName(log));
    if (!eventsFile.open(QIODevice::WriteOnly) ||
        eventsFile.write(files::EventsFileText(QStringLiteral("ICNIRP 2020"), events)) < 0)
        return 1;
    eventsFile.close();

    const QStringList arguments{log,
                                QStringLiteral("-o"),
                                dir.filePath(QStringLiteral("bench.pdf")),
                                QStringLiteral("--limit"),
                                QStringLiteral("icnirp2020-public"),
                                QStringLiteral("--frequency"),
                                QStringLiteral("900MHz")};
    QString none;
    QTextStream quiet(&none);
    std::vector<double> whole;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer t;
        t.start();
        if (report::RunReport(arguments, QStringLiteral("bench"), quiet, quiet) != 0) {
            std::fprintf(stderr, "the report failed: %s\n", qPrintable(none));
            return 1;
        }
        whole.push_back(double(t.nsecsElapsed()) / 1e6);
    }

    const report::ReadLogResult read = report::ReadLogPages(log);
    report::ReportOptions options;
    options.limit = measure::LimitChoice{};
    options.version = QStringLiteral("bench");
    std::vector<double> pdfOnly;
    qint64 bytes = 0;
    for (int r = 0; r < rounds; ++r) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QElapsedTimer t;
        t.start();
        report::WriteReport(read.log, options, buffer);
        pdfOnly.push_back(double(t.nsecsElapsed()) / 1e6);
        bytes = buffer.size();
    }
    const double total = bench::Median(whole);
    std::printf("bench_report: 32000 rows of 5 columns, %d reports\n", rounds);
    std::printf("  log read, report written   %.0f ms (median)   target under 1000 ms: %s\n", total,
                total < 1000.0 ? "met" : "MISSED");
    std::printf("  PDF from the rows alone    %.0f ms (median), %.0f kB\n", bench::Median(pdfOnly),
                double(bytes) / 1024.0);
    return 0;
}
