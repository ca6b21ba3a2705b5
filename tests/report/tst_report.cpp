// The survey report: each column's figures and the limit's share over time from small logs
// with known answers, the events file read back, and varnex-report as a program: a log in
// the program's own format made into a PDF whose text and first page are read back, and logs
// that cannot be read refused without a PDF left behind.
#include "files/ExposureEvents.h"
#include "files/LogFile.h"
#include "report/ReportCommand.h"
#include "report/SurveyLog.h"
#include "tests/support/WindowKit.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using report::Row;

namespace {

// Rows of "hh:mm:ss,v1,v2,..." (one a string) under a page header of the program's format.
QByteArray PageText(const QString& rows, int columns, int page = 1, int pages = 1) {
    QString heading = QStringLiteral("Time ,Field V/m");
    if (columns == 4) heading += QStringLiteral(",X V/m,Y V/m,Z V/m");
    return QStringLiteral("Header\r\nFile,a.csv\r\nPage,%1 of %2\r\nProbe Type,PX-5100\r\n"
                          "Units,V/m\r\nEndHeader\r\n%3\r\n%4")
        .arg(page)
        .arg(pages)
        .arg(heading, QString(rows).replace(u';', QStringLiteral("\r\n")))
        .toLatin1();
}

report::SurveyLog LogOf(const QStringList& pages, int columns) {
    std::vector<files::LoadedLog> loaded;
    for (int p = 0; p < int(pages.size()); ++p)
        loaded.push_back(files::ReadLog(PageText(pages[p], columns, p + 1, int(pages.size()))).log);
    return report::FromPages(loaded, QStringLiteral("a.csv"));
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool Write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The program itself; its exit code, or -1 when it did not finish.
int RunProgram(const QString& program, const QStringList& arguments, QString* errors = nullptr) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) return -1;
    if (errors) *errors = QString::fromLocal8Bit(process.readAllStandardError());
    return process.exitCode();
}

// The text checks read the PDF with pdftotext, a Linux program: a Windows program under Wine
// cannot start it.
#ifdef Q_OS_WIN
#define SKIP_UNLESS_PDF_TEXT_READABLE()                                                            \
    QSKIP("pdftotext is a Linux program, which a Windows program under Wine cannot start")
#else
#define SKIP_UNLESS_PDF_TEXT_READABLE()
#endif

QString PdfText(const QString& pdf, int page = 1) {
    const QString text = pdf + QStringLiteral(".txt");
    const QString p = QString::number(page);
    if (RunProgram(QStringLiteral("pdftotext"), {"-f", p, "-l", p, "-layout", pdf, text}) != 0)
        return {};
    return QString::fromUtf8(Read(text));
}

QString Report() {
    return QCoreApplication::applicationDirPath() + QStringLiteral("/varnex-report");
}

} // namespace

class tst_Report : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void statistics_data() {
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<int>("columns");
        // name: minimum maximum@time mean rms, a column each
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("constant") << QStringList{"10:00:00,5;10:00:01,5;10:00:02,5"} << 1
                                  << QStringList{"Total: 5.000 5.000@10:00:00 5.000 5.000"};
        QTest::newRow("ramp") << QStringList{"10:00:00,1;10:00:01,2;10:00:02,3;10:00:03,4"} << 1
                              << QStringList{"Total: 1.000 4.000@10:00:03 2.500 2.739"};
        // An axis switched off reports 0 all along; its maximum is its first row's.
        QTest::newRow("empty column")
            << QStringList{"10:00:00,3,0,4,0;10:00:01,5,0,3,4"} << 4
            << QStringList{"Total: 3.000 5.000@10:00:01 4.000 4.123", "X: 0 0@10:00:00 0 0",
                           "Y: 3.000 4.000@10:00:00 3.500 3.536",
                           "Z: 0 4.000@10:00:01 2.000 2.828"};
        // The highest row is on page 2, past midnight.
        QTest::newRow("two pages") << QStringList{"23:59:58,2;23:59:59,2", "00:00:00,8;00:00:01,4"}
                                   << 1 << QStringList{"Total: 2.000 8.000@00:00:00 4.000 4.690"};
    }
    void statistics() {
        QFETCH(QStringList, pages);
        QFETCH(int, columns);
        QFETCH(QStringList, expected);
        QStringList shown;
        for (const report::ColumnStats& s : report::Statistics(LogOf(pages, columns)))
            shown << QStringLiteral("%1: %2 %3@%4 %5 %6")
                         .arg(s.name, report::ValueText(s.minimum), report::ValueText(s.maximum),
                              files::FormatTimeStr(s.maximumTime), report::ValueText(s.mean),
                              report::ValueText(s.rms));
        QCOMPARE(shown, expected);
    }

    // Fields as shares of the limit, one row a second: the highest average of a full window,
    // or of the whole log when it is shorter than the window.
    void limitShare_data() {
        QTest::addColumn<QString>("key");
        QTest::addColumn<double>("frequencyMHz");
        QTest::addColumn<QList<double>>("shares"); // field / limit, a second each
        QTest::addColumn<double>("instant");
        QTest::addColumn<QString>("instantAt");
        QTest::addColumn<double>("averaged");
        QTest::addColumn<QString>("averagedAt");
        const QString icnirp2020 = QStringLiteral("icnirp2020-public"); // 30 min
        QTest::newRow("constant") << icnirp2020 << 900.0 << QList<double>{0.5, 0.5, 0.5} << 25.0
                                  << "10:00:00" << 25.0 << "10:00:02";
        QTest::newRow("peak then quiet") << icnirp2020 << 900.0 << QList<double>{0.0, 1.0, 0.0, 0.0}
                                         << 100.0 << "10:00:01" << 25.0 << "10:00:03";
        // ICNIRP 1998 at 300 GHz averages over 10 s: five seconds at the limit in twenty.
        QList<double> pulse(20, 0.0);
        for (int s = 10; s < 15; ++s)
            pulse[s] = 1.0;
        QTest::newRow("window filled") << QStringLiteral("icnirp1998-public") << 300000.0 << pulse
                                       << 100.0 << "10:00:10" << 50.0 << "10:00:14";
    }
    void limitShare() {
        QFETCH(QString, key);
        QFETCH(double, frequencyMHz);
        QFETCH(QList<double>, shares);
        QFETCH(double, instant);
        QFETCH(QString, instantAt);
        QFETCH(double, averaged);
        QFETCH(QString, averagedAt);
        measure::LimitChoice choice;
        QVERIFY(measure::SetLimitKey(key, choice));
        choice.frequencyMHz = frequencyMHz;
        const double limit = measure::ShareOfLimit(1.0, QStringLiteral("V/m"), choice)->limit;
        QStringList rows;
        for (int s = 0; s < int(shares.size()); ++s)
            rows << QStringLiteral("10:00:%1,%2")
                        .arg(s, 2, 10, QLatin1Char('0'))
                        .arg(shares[s] * limit, 0, 'g', 9);
        const report::LimitFigures f = report::AgainstLimit(LogOf({rows.join(u';')}, 1), choice);
        QVERIFY(f.applies);
        QVERIFY2(qAbs(f.highestPercent - instant) < 1e-3,
                 qPrintable(QString::number(f.highestPercent)));
        QCOMPARE(files::FormatTimeStr(f.highestTime), instantAt);
        QVERIFY(f.highestAveraged);
        QVERIFY2(qAbs(*f.highestAveraged - averaged) < 1e-3,
                 qPrintable(QString::number(*f.highestAveraged)));
        QCOMPARE(files::FormatTimeStr(f.highestAveragedTime), averagedAt);
    }

    // The events file as the window writes it, read back; a damaged line is left out.
    void eventsFile() {
        measure::ExposureEvent warning{measure::ExposureLevel::Warning,
                                       1'780'000'000'000,
                                       1'780'000'009'000,
                                       63.2,
                                       13.45,
                                       QStringLiteral("V/m")};
        measure::ExposureEvent alarm{
            measure::ExposureLevel::Alarm, 1'780'000'020'000, 0, 104.5, 42.17,
            QStringLiteral("V/m")};
        const QByteArray text =
            files::EventsFileText(QStringLiteral("ICNIRP 2020, x"), {warning, alarm}) +
            "Alarm,yesterday,,1,2,V/m\r\n";
        const files::EventsFile read = files::ParseEventsText(text);
        QVERIFY(read.found);
        QCOMPARE(read.limitName, QStringLiteral("ICNIRP 2020, x"));
        QCOMPARE(read.skipped, 1);
        QCOMPARE(int(read.events.size()), 2);
        QCOMPARE(read.events[0].endMs, warning.endMs);
        QCOMPARE(read.events[1].level, measure::ExposureLevel::Alarm);
        QCOMPARE(read.events[1].endMs, qint64(0));
        QCOMPARE(read.events[1].peakPercent, 104.5);
        QVERIFY(!files::ReadEventsFile(QStringLiteral("/nonexistent/run_events.csv")).found);
    }

    // A log saved in the program's format, with its events file, made into a report.
    void reportOfSavedLog() {
        QTemporaryDir dir;
        measure::RecordTable table;
        table.StartLog(measure::RecordTable::Layout::Axes, QStringLiteral("V/m"),
                       QStringLiteral("PX-9100"));
        for (int i = 0; i < 600; ++i) {
            const float t = float(9 * 3600 + 30 * 60 + i) / 86400.0f;
            const float wave = float(i % 60) / 10.0f;
            table.Append(t, 10.0f + wave, 4.0f + wave / 2.0f, 5.0f, 6.5f);
        }
        table.Append(float(9 * 3600 + 40 * 60) / 86400.0f, 33.33f, 20.0f, 21.5f, 17.25f);
        files::LogHeader header;
        header.dateText = QStringLiteral("07/12/2026");
        header.timeText = QStringLiteral("09:40:05");
        header.samples = table.RecordCount();
        header.columns = table.RecordColumns();
        header.graphScale = QStringLiteral("Auto");
        header.peaks = table.RecordMaxHold();
        header.probeType = table.ProbeType();
        header.units = table.RecordUnits();
        header.notes = {{QStringLiteral("Operator"), QStringLiteral("R. Tester")},
                        {QStringLiteral("Serial Number"), QStringLiteral("00012345")},
                        {QStringLiteral("Calibration Date"), QStringLiteral("03/15/2023")}};
        const QString log = dir.filePath(QStringLiteral("survey.csv"));
        QVERIFY(Write(log, files::LogPageText(header, table, 1, 1, QStringLiteral("survey.csv"))));
        measure::ExposureEvent alarm{
            measure::ExposureLevel::Alarm, 1'780'000'020'000, 0, 64.0, 33.33,
            QStringLiteral("V/m")};
        QVERIFY(
            Write(files::EventsFileName(log),
                  files::EventsFileText(QStringLiteral("ICNIRP 2020, general public"), {alarm})));

        const QString pdf = dir.filePath(QStringLiteral("survey.pdf"));
        QString errors;
        QCOMPARE(RunProgram(Report(),
                            {log, QStringLiteral("-o"), pdf, QStringLiteral("--limit"),
                             QStringLiteral("icnirp2020-public"), QStringLiteral("--frequency"),
                             QStringLiteral("900MHz")},
                            &errors),
                 0);
        QVERIFY(Read(pdf).startsWith("%PDF"));
        SKIP_UNLESS_PDF_TEXT_READABLE();
        const QString text = PdfText(pdf);
        // The share of the highest total: (33.33 / 41.25)² of the limit at 900 MHz.
        const double limit =
            measure::ShareOfLimit(1.0, QStringLiteral("V/m"), measure::LimitChoice{})->limit;
        const QString share = QString::number(100.0 * (33.33 / limit) * (33.33 / limit), 'f', 1) +
                              QStringLiteral(" %");
        for (const QString& wanted :
             {QStringLiteral("PX-9100"), QStringLiteral("00012345"), QStringLiteral("03/15/2023"),
              QStringLiteral("07/12/2026"), QStringLiteral("09:30:00"), QStringLiteral("09:40:00"),
              QStringLiteral("601"), QStringLiteral("R. Tester"), QStringLiteral("33.33"),
              QStringLiteral("20.00"), QStringLiteral("21.50"), QStringLiteral("17.25"),
              QStringLiteral("900 MHz"), share, QStringLiteral("64.0 %"),
              QStringLiteral("Page 1 of"), QStringLiteral("survey.csv")})
            QVERIFY2(text.contains(wanted),
                     qPrintable(wanted + QStringLiteral(" not in:\n") + text));

        // Page 1 drawn: the graph's area is not the white of the paper.
        const QString stem = dir.filePath(QStringLiteral("page"));
        QCOMPARE(RunProgram(QStringLiteral("pdftoppm"),
                            {QStringLiteral("-r"), QStringLiteral("50"), QStringLiteral("-f"),
                             QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                             QStringLiteral("-png"), pdf, stem}),
                 0);
        const QStringList pictures = QDir(dir.path()).entryList({QStringLiteral("page*.png")});
        QCOMPARE(pictures.size(), 1);
        const QImage page(dir.filePath(pictures.front()));
        QVERIFY(!page.isNull());
        // The graph spans the page's width between about a third and two thirds of its height.
        int inked = 0;
        int all = 0;
        for (int y = page.height() * 35 / 100; y < page.height() * 60 / 100; ++y)
            for (int x = page.width() / 10; x < page.width() * 9 / 10; ++x, ++all)
                if (qGray(page.pixel(x, y)) < 200) ++inked;
        QVERIFY2(inked * 100 > all * 2, qPrintable(QStringLiteral("%1 of %2").arg(inked).arg(all)));
    }

    // File > Export Report... of a loaded log, proposed under the log's name: its header, the
    // events file beside it and the limit in force; with no log, a message and no dialog.
    void fromTheWindow() {
        kit::WindowRig rig;
        app::frmMain& w = rig.start();
        kit::Use(w, QStringLiteral("mnuFileReport"));
        QVERIFY(rig.boxes.texts().value(0).startsWith(QStringLiteral("There is no log")));
        const QString log = rig.dir.filePath(QStringLiteral("hall.csv"));
        QVERIFY(Write(log, PageText(QStringLiteral("10:00:00,5;10:00:01,12.5;"), 1)));
        measure::ExposureEvent alarm{
            measure::ExposureLevel::Alarm, 1'780'000'020'000, 0, 77.7, 12.5, QStringLiteral("V/m")};
        QVERIFY(Write(files::EventsFileName(log),
                      files::EventsFileText(QStringLiteral("ICNIRP 2020"), {alarm})));
        w.OpenLog(log);
        const QString pdf = rig.dir.filePath(QStringLiteral("hall.pdf"));
        rig.dialogs.queueFile(pdf);
        kit::Use(w, QStringLiteral("mnuFileReport"));
        QCOMPARE(rig.dialogs.asked.last().text, QStringLiteral("hall")); // the log's name
        SKIP_UNLESS_PDF_TEXT_READABLE();
        const QString text = PdfText(pdf);
        for (const QString& wanted :
             {QStringLiteral("hall.csv"), QStringLiteral("PX-5100"), QStringLiteral("12.50"),
              QStringLiteral("ICNIRP 2020, general public"), QStringLiteral("77.7 %")})
            QVERIFY2(text.contains(wanted),
                     qPrintable(wanted + QStringLiteral(" not in:\n") + text));
        QCOMPARE(w.StatusPanel(1),
                 QStringLiteral("Report saved as ") + QDir::toNativeSeparators(pdf));
    }

    // A log that cannot be read, or a bad command line: a message, and no PDF.
    void refused_data() {
        QTest::addColumn<QByteArray>("page1");
        QTest::addColumn<QStringList>("extra"); // more arguments
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        const QByteArray good = PageText(QStringLiteral("10:00:00,5;10:00:01,6"), 1);
        QTest::newRow("empty") << QByteArray() << QStringList() << 3 << "the file is empty";
        QTest::newRow("damaged") << PageText(QStringLiteral("10:00:00,5;10:00:01,five;"), 1)
                                 << QStringList() << 3 << "line 9";
        QTest::newRow("no rows") << PageText(QString(), 1) << QStringList() << 3 << "no rows";
        QTest::newRow("page 2 missing") << PageText(QStringLiteral("10:00:00,5;"), 1, 1, 2)
                                        << QStringList() << 3 << "a_2.csv: the file is missing";
        QTest::newRow("limit not known")
            << good << QStringList{"--limit", "who-2030"} << 2 << "no limit is named who-2030";
    }
    void refused() {
        QFETCH(QByteArray, page1);
        QFETCH(QStringList, extra);
        QFETCH(int, code);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString log = dir.filePath(QStringLiteral("a.csv"));
        QVERIFY(Write(log, page1));
        QString errors;
        QCOMPARE(RunProgram(Report(),
                            QStringList{log, QStringLiteral("-o"), dir.filePath("a.pdf")} + extra,
                            &errors),
                 code);
        QVERIFY2(errors.contains(message), qPrintable(errors));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("a.csv")});
    }
};

QTEST_MAIN(tst_Report)
#include "tst_report.moc"
