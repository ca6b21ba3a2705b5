// The unattended logger: its command line refused before anything opens, its pages as the
// window reads them (paging, completed headers, a page cut off by a kill), the rows' stream
// on standard output, and whole runs of the program on the virtual probe of each family,
// with the probe unplugged in the middle of one.
#include "files/LogReading.h"
#include "logger/LogPages.h"
#include "logger/LoggerOptions.h"
#include "logger/RowStream.h"
#include "measure/MovingAverage.h"
#include "tools/probesim/VirtualProbe.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTime>
#include <csignal>

using namespace logger;

namespace {

files::LoadedLog Load(const QString& path, QString* error = nullptr) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const files::LogReadResult r = files::ReadLog(file.readAll());
    if (error && !r.ok)
        *error += QStringLiteral("%1 line %2: %3\n").arg(path).arg(r.line).arg(r.error);
    return r.log;
}

QString Field(const files::LoadedLog& log, const char* label) {
    for (const auto& [name, value] : log.fields)
        if (name == QLatin1String(label)) return value;
    return QStringLiteral("(none)");
}

// The program itself on the virtual probe.
struct Run {
    QProcess process;
    explicit Run(const QStringList& arguments) {
        process.setProgram(QCoreApplication::applicationDirPath() + "/varnex-logger");
        process.setArguments(arguments);
        process.start();
    }
    int finish(int ms = 60000) {
        if (!process.waitForFinished(ms)) return -1;
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    }
    QString errors() { return QString::fromLocal8Bit(process.readAllStandardError()); }
};

} // namespace

class tst_Logger : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString path(const QString& name) const { return dir.filePath(name); }

private Q_SLOTS:
    // Every bad argument is refused with what is wrong, before the port is opened; good ones
    // are "taken" for a run of that many ms, in that range (0: automatic), at the highest rate
    // or not, in that stream format (3: the line protocol).
    void arguments_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("said"); // a part of it
        const QString out = path("a.csv");
        QFile(path("there.csv")).open(QIODevice::WriteOnly);
        QFile(path("file")).open(QIODevice::WriteOnly);
        const auto row = [&](const char* name, QStringList arguments, const char* said) {
            QTest::newRow(name) << arguments << QString(said);
        };
        const auto e310 = [&](const QString& file, QStringList more = {}) {
            return QStringList{"--simulate", "E310", "--out", file} + more;
        };
        row("unknown model", {"--simulate", "PX-1", "--out", out}, "Unknown probe model \"PX-1\"");
        row("duration", e310(out, {"--duration", "8 hours"}), "is not a time such as 90s");
        row("no duration", e310(out, {"--duration", "0s"}), "not a time");
        row("rate", e310(out, {"--rate", "fast"}), "--rate \"fast\"");
        row("units", e310(out, {"--units", "4"}), "not 1, 2 or 3");
        row("range", e310(out, {"--range", "6"}), "neither 1 to 5");
        row("average", e310(out, {"--average", "0 Second"}),
            "--average \"0 Second\" is not one of: 10 Second");
        row("baud", e310(out, {"--baud", "4800"}), "--baud \"4800\"");
        row("format", e310(out, {"--format", "xml"}), "not csv, jsonl");
        row("port and model", e310(out, {"--port", "/dev/ttyS0"}), "either --port");
        row("no line", {"--out", out}, "either --port");
        row("no file", {"--simulate", "E310"}, "--out FILE.csv");
        row("value missing", {"--simulate", "E310", "--out"}, "--out needs a value");
        row("unknown option", e310(out, {"--colour", "red"}), "Unknown option --colour");
        row("no folder", e310(path("none/a.csv")), "does not exist");
        row("folder is a file", e310(path("file/a.csv")), "does not exist");
        row("file there", e310(path("there.csv")), "is there already; give --overwrite");
        row("notes missing", e310(out, {"--notes", path("nn.txt")}), "cannot be read");
        row("taken",
            {"--simulate", "PX-5200 RA", "--out", path("b.csv"), "--duration", "3d", "--rate",
             "max", "--range", "auto", "--average", "6 Minute", "--format", "influx"},
            "taken 259200000 0 1 3");
        row("90 s", e310(out, {"--duration", "90s"}), "taken 90000 ");
        row("45 min", e310(out, {"--duration", "45m"}), "taken 2700000 ");
        row("8 h", e310(out, {"--duration", "8h"}), "taken 28800000 ");
    }
    void arguments() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, said);
        LoggerOptions o;
        QString got = ParseLoggerArguments(arguments, probesim::Models(),
                                           measure::MovingAverage::Periods(), o);
        if (got.isEmpty()) got = CheckLoggerFiles(o);
        if (got.isEmpty())
            got = QString("taken %1 %2 %3 %4")
                      .arg(o.durationMs)
                      .arg(o.range)
                      .arg(o.maxRate)
                      .arg(int(o.format));
        QVERIFY2(got.contains(said), qPrintable(got));
    }

    // Rows 1..32000 in the file chosen, the next in FILE_2.csv; each page's header is completed
    // when it closes, and the window's loader reads every page.
    void pagesOf32000Rows() {
        const files::LogHeader h{"",        "", 0,    files::LogColumns::Axes, "Auto", {},
                                 "PX-9100", {}, "V/m"};
        const int rows = 2 * 32000 + 5;
        {
            LogPages pages(path("paged.csv"), h);
            for (int r = 1; r <= rows; ++r) {
                const float v[4] = {float(r), 1, 2, 3};
                QVERIFY(pages.Append(float(r % 86400) / 86400.0f, v, {float(r), 1, 2, 3}));
                if (r % 1000 == 0) QVERIFY(pages.Flush());
            }
            QVERIFY(pages.Close());
        }
        const QStringList names{"paged.csv", "paged_2.csv", "paged_3.csv"};
        QStringList seen;
        for (int p = 0; p < 3; ++p) {
            QString error; // shown in the row, if any
            const files::LoadedLog log = Load(path(names[p]), &error);
            seen << error + QStringLiteral("%1 rows, samples %2, page %3, peak %4, first %5")
                                .arg(log.rows.size())
                                .arg(Field(log, "Samples"), Field(log, "Page"),
                                     Field(log, "Field Peak"))
                                .arg(double(log.rows.front()[1]));
        }
        QCOMPARE(seen,
                 (QStringList{"32000 rows, samples 32000, page 1 of 2, peak 32000, first 1",
                              "32000 rows, samples 64000, page 2 of 3, peak 64000, first 32001",
                              "5 rows, samples 64005, page 3 of 3, peak 64005, first 64001"}));
        QVERIFY(!QFile::exists(path("paged_4.csv")));
    }

    // A disk that refuses the rows is reported, not passed over.
    void aRefusingDiskIsReported() {
        if (!QFile::exists("/dev/full")) QSKIP("no /dev/full here");
        LogPages pages("/dev/full", files::LogHeader{});
        const float v[1] = {1};
        QVERIFY(!pages.Append(0.5f, v, {}));
        QVERIFY2(pages.Error().contains("/dev/full"), qPrintable(pages.Error()));
    }

    // The second stream: line protocol with its escapes, JSON lines that parse, CSV.
    void rowStream() {
        StreamRow row{1733486400123, "PX-5200 RA", "a=b,c", QStringLiteral("mW/cm\u00B2"),
                      12.5f,         0.1f,         2,       1e-6f,
                      std::nullopt};
        QCOMPARE(RowLine(StreamFormat::Influx, row),
                 QByteArray("varnex,model=PX-5200\\ RA,serial=a\\=b\\,c total=12.5,x=0.1,y=2,"
                            "z=1e-06 1733486400123000000\n"));
        const QJsonObject o = QJsonDocument::fromJson(RowLine(StreamFormat::Jsonl, row)).object();
        QCOMPARE((QStringList{o["time"].toString(), o["model"].toString(), o["units"].toString(),
                              QString::number(o["total"].toDouble()),
                              QString::number(o["z"].toDouble()), QString::number(o.size())}),
                 (QStringList{"2024-12-06T12:00:00.123Z", "PX-5200 RA", row.units, "12.5", "1e-06",
                              "8"}));
        row.x.reset();
        row.average = 7;
        QCOMPARE(RowLine(StreamFormat::Csv, row).split(',').mid(1),
                 (QList<QByteArray>{"12.5", "2", "1e-06", "7\n"}));
    }

    // A whole run of the program on the virtual probe of each family: the page the window
    // reads back, its units, probe and columns, and the stream of the same rows.
    void wholeRuns_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("values"); // columns after the time
        QTest::addColumn<QString>("units");
        QTest::addColumn<QStringList>("more");
        QTest::newRow("Sigma") << "PX-5100" << 4 << "V/m" << QStringList{};
        QTest::newRow("Zeta") << "PX-9100" << 4 << QStringLiteral("mW/cm\u00B2")
                              << QStringList{"--units", "3"};
        QTest::newRow("Kappa") << "E310" << 1 << "V/m" << QStringList{};
        // Exposure rows: the total and its moving average, one a second.
        QTest::newRow("Kappa, average")
            << "E310" << 2 << "V/m" << QStringList{"--average", "10 Second"};
    }
    void wholeRuns() {
        QFETCH(QString, model);
        QFETCH(int, values);
        QFile notes(path("notes.txt"));
        QVERIFY(notes.open(QIODevice::WriteOnly));
        notes.write("Site,Mast 4\nOperator,A. N. Other\n");
        notes.close();
        QFETCH(QStringList, more);
        const QString out = path(QString(QTest::currentDataTag()).remove(u' ') + ".csv");
        QStringList arguments{"--simulate", model,      "--out", out,       "--duration",
                              "4s",         "--format", "jsonl", "--notes", notes.fileName()};
        Run run(arguments + more);
        QCOMPARE(run.finish(), 0);
        QString error;
        const files::LoadedLog log = Load(out, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QVERIFY2(log.rows.size() >= 3, qPrintable(run.errors()));
        QCOMPARE(log.valueColumns, values);
        QTEST(log.units, "units");
        QCOMPARE((QStringList{log.probeType, Field(log, "Site"), Field(log, "Operator"),
                              Field(log, "Samples"), Field(log, "Page")}),
                 (QStringList{model, "Mast 4", "A. N. Other", QString::number(log.rows.size()),
                              "1 of 1"}));
        // Stamped as the window stamps its pages.
        QVERIFY2(QTime::fromString(Field(log, "Time"), "HH:mm:ss").isValid(),
                 qPrintable(Field(log, "Time")));
        const QList<QByteArray> lines = run.process.readAllStandardOutput().split('\n');
        QCOMPARE(lines.size() - 1, qsizetype(log.rows.size()));
        QCOMPARE(QJsonDocument::fromJson(lines.first()).object()["model"].toString(), model);
    }

    // The probe streaming fast: pages fill in seconds. SIGTERM closes every page complete;
    // SIGKILL leaves the open page readable up to its last whole row.
    void stoppedBySignals_data() {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGKILL") << int(SIGKILL);
    }
    void stoppedBySignals() {
        QFETCH(int, signal);
        const QString out = path(QStringLiteral("fast%1.csv").arg(signal));
        Run run({"--simulate", "PX-9100", "--baud", "115200", "--probe-option", "--stream-speedup",
                 "--probe-option", "20", "--out", out});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path(QStringLiteral("fast%1_2.csv").arg(signal))),
                                 60000);
        QTest::qWait(300);
        ::kill(pid_t(run.process.processId()), signal);
        const int code = run.finish();
        QCOMPARE(code, signal == SIGTERM ? 0 : -2);
        QString error;
        const files::LoadedLog first = Load(out, &error);
        const files::LoadedLog open = Load(files::PageFileName(out, 2), &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(first.rows.size(), std::size_t(32000));
        QCOMPARE(Field(first, "Page"), QString("1 of 2"));
        QVERIFY(!open.rows.empty());
        // Closed by SIGTERM the last page knows its rows; killed, it still says none.
        QCOMPARE(Field(open, "Samples"),
                 signal == SIGTERM ? QString::number(32000 + open.rows.size()) : QString("0"));
    }

    // A port that cannot be opened, a line on which no probe answers, a probe that answers but
    // cannot be identified, and a probe that falls silent for most of the run end it with
    // their own exit codes, and say why. A probe unplugged for a while is waited for: the loss
    // and the probe's return are told, and the gap shows in the rows' times.
    void exitCodes_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("said"); // on standard error, parts separated by "|"
        const auto probe = [&](const char* model, const char* fault, const char* file,
                               QStringList more) {
            return QStringList{"--simulate",     model, "--probe-option", "--fault",
                               "--probe-option", fault, "--out",          path(file)} +
                   more;
        };
        QTest::newRow("no port") << QStringList{"--port", path("nowhere"), "--out", path("p.csv")}
                                 << int(PortNotOpened) << "cannot be opened";
        QTest::newRow("no probe") << probe("E310", "silent:0:60", "q.csv", {"--find-timeout", "3s"})
                                  << int(NoProbe) << "No probe answered within 3 s.";
        QTest::newRow("every reply garbled")
            << probe("PX-5100", "garble:1", "r.csv", {"--find-timeout", "4s"}) << int(NoProbe)
            << "A probe answered but was not identified within 4 s";
        QTest::newRow("silent for most of the run")
            << probe("E310", "silent:4:60", "s.csv", {"--duration", "16s"}) << int(ShortLog)
            << "No row for 10 s: no probe answers";
        // Lost after five polls without an answer, each waited for over a second.
        QTest::newRow("unplugged for a while")
            << probe("E310", "unplug:5:8", "unplugged.csv", {"--duration", "28s"}) << 0
            << "The probe stopped answering|The probe answers again";
    }
    void exitCodes() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, said);
        Run run(arguments);
        QTEST(run.finish(), "code");
        const QString errors = run.errors();
        for (const QString& part : said.split(u'|'))
            QVERIFY2(errors.contains(part), qPrintable(errors));
        if (said.contains(u"answers again")) {
            const files::LoadedLog log = Load(arguments[arguments.indexOf("--out") + 1]);
            float gap = 0;
            for (std::size_t r = 1; r < log.rows.size(); ++r)
                gap = std::max(gap, (log.rows[r][0] - log.rows[r - 1][0]) * 86400.0f);
            QVERIFY2(gap >= 4, qPrintable(QString::number(gap)));
        }
    }
};

QTEST_MAIN(tst_Logger)
#include "tst_logger.moc"
