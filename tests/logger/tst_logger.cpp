// The unattended logger: its command line refused before anything opens, its pages as the
// window reads them (paging, completed headers, a page cut off by a kill), the rows' stream
// on standard output, and whole runs of the program on the virtual probe of each family,
// with the probe unplugged in the middle of one.
#include "files/ExposureEvents.h"
#include "files/LogReading.h"
#include "logger/LimitWatch.h"
#include "logger/LogPages.h"
#include "logger/LoggerOptions.h"
#include "logger/RowStream.h"
#include "measure/MovingAverage.h"
#include "platform/fake/ManualClock.h"
#include "tools/probesim/VirtualProbe.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
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
    // or not, in that stream format (3: the line protocol), with that limit and levels and
    // those tags.
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
        row("limit", e310(out, {"--limit", "icnirp"}), "--limit \"icnirp\" is not one of: icnirp");
        row("frequency", e310(out, {"--limit", "fcc-general", "--frequency", "9 furlongs"}),
            "--frequency \"9 furlongs\" is not a frequency");
        row("no level there", e310(out, {"--limit", "fcc-general", "--frequency", "100kHz"}),
            "fcc-general has no level at 100 kHz");
        row("warn 0", e310(out, {"--limit", "fcc-general", "--warn", "0"}), "not a share");
        row("alarm too high", e310(out, {"--limit", "fcc-general", "--alarm", "10001"}),
            "--alarm \"10001\" is not a share");
        row("warn above alarm",
            e310(out, {"--warn", "90", "--alarm", "80", "--limit", "fcc-general"}),
            "warning level (90 %) is above the alarm level (80 %)");
        row("warn alone", e310(out, {"--warn", "20"}), "--warn needs --limit");
        row("tag without =", e310(out, {"--tag", "site"}), "\"site\" is not key=value");
        row("tag without key", e310(out, {"--tag", "=Mast"}), "needs a key and a value");
        row("tag of the stream's", e310(out, {"--tag", "units=V/m"}), "\"units\" is a name of the");
        row("tag with _", e310(out, {"--tag", "_field=a"}), "may not begin with \"_\"");
        row("tag twice", e310(out, {"--tag", "a=1", "--tag", "a=2"}), "\"a\" is given twice");
        row("tag line end", e310(out, {"--tag", "a=1\n"}), "control character");
        row("limit taken",
            e310(out, {"--limit", "icnirp2020-public", "--frequency", "0.9GHz", "--warn", "10"}),
            "| ICNIRP 2020, general public, 900 MHz | 10 100");
        row("most restrictive", e310(out, {"--alarm", "250.5", "--limit", "fcc-occupational"}),
            "| FCC, occupational, most restrictive 0.1 MHz - 6 GHz | 50 250.5");
        row("tags taken", e310(out, {"--tag", "site=Mast 4", "--tag", "b=c=d"}),
            "| site=Mast 4;b=c=d");
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
        if (o.limitOn)
            got += QString(" | %1 | %2 %3")
                       .arg(measure::LimitName(o.limit))
                       .arg(o.warnPercent)
                       .arg(o.alarmPercent);
        for (const auto& [key, value] : o.tags)
            got += (key == o.tags.first().first ? " | " : ";") + key + '=' + value;
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

    // The second stream: line protocol with its escapes and its tags sorted, JSON lines that
    // parse, CSV; the share of the limit and the user's tags where the format has them, and
    // the levels reached as lines of their own.
    void rowStream_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("expected");
        StreamRow row;
        row.epochMs = 1733486400123;
        row.model = "PX-5200 RA";
        row.serialNo = "a=b,c";
        row.units = QStringLiteral("mW/cm\u00B2");
        row.total = 12.5f;
        row.x = 0.1f;
        row.y = 2;
        row.z = 1e-6f;
        const auto add = [](const char* name, const QByteArray& line, const char* expected) {
            QTest::newRow(name) << line << QByteArray(expected);
        };
        add("influx", RowLine(StreamFormat::Influx, row),
            "varnex,model=PX-5200\\ RA,serial=a\\=b\\,c,units=mW/cm\xC2\xB2 total=12.5,x=0.1,y=2,"
            "z=1e-06 1733486400123000000\n");
        row.limitPercent = 12.3456;
        row.limitPercentAvg = 1234.56;
        row.tags = {{"site", "Mast 4"}, {"a=b", "c\\d,e"}};
        add("influx, limit", RowLine(StreamFormat::Influx, row),
            "varnex,a\\=b=c\\\\d\\,e,model=PX-5200\\ RA,serial=a\\=b\\,c,site=Mast\\ 4,"
            "units=mW/cm\xC2\xB2 total=12.5,x=0.1,y=2,z=1e-06,limit_pct=12.35,limit_pct_avg=1235 "
            "1733486400123000000\n");
        add("jsonl, limit", RowLine(StreamFormat::Jsonl, row),
            "{\"time\":\"2024-12-06T12:00:00.123Z\",\"model\":\"PX-5200 RA\",\"serial\":\"a=b,c\","
            "\"units\":\"mW/cm\xC2\xB2\",\"total\":12.5,\"x\":0.1,\"y\":2,\"z\":1e-06,"
            "\"limit_percent\":12.35,\"limit_percent_avg\":1235,\"site\":\"Mast 4\","
            "\"a=b\":\"c\\\\d,e\"}\n");
        const measure::ExposureEvent alarm{
            measure::ExposureLevel::Alarm, 1733486400123, 1733486460500, 123.456, 31.5, "V/m"};
        add("influx, alarm ends", EventLine(StreamFormat::Influx, alarm, true, row),
            "varnex_alarm,a\\=b=c\\\\d\\,e,level=alarm,model=PX-5200\\ RA,serial=a\\=b\\,c,"
            "site=Mast\\ 4,units=V/m state=\"end\",peak_pct=123.5,peak_value=31.5 "
            "1733486460500000000\n");
        const measure::ExposureEvent warning{
            measure::ExposureLevel::Warning, 1733486400123, 0, 63.2, 13.45, "V/m"};
        add("jsonl, warning begins", EventLine(StreamFormat::Jsonl, warning, false, row),
            "{\"time\":\"2024-12-06T12:00:00.123Z\",\"model\":\"PX-5200 RA\",\"serial\":\"a=b,c\","
            "\"event\":\"warning\",\"state\":\"begin\",\"peak_percent\":63.2,\"peak_value\":13.45,"
            "\"units\":\"V/m\",\"site\":\"Mast 4\",\"a=b\":\"c\\\\d,e\"}\n");
        add("csv, no event", EventLine(StreamFormat::Csv, warning, false, row), "");
        row.x.reset();
        row.average = 7;
        add("csv", RowLine(StreamFormat::Csv, row).split(',').mid(1).join(','), "12.5,2,1e-06,7\n");
    }
    void rowStream() {
        QFETCH(QByteArray, line);
        QTEST(line, "expected");
        QJsonParseError error{};
        if (line.startsWith('{')) QJsonDocument::fromJson(line, &error);
        QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    }

    // The events file of each page holds the levels reached while it was open and those still
    // lasting when it opened: a warning that lasts over a page break is in both files, the
    // page after it ends starts without it. The average closes a second on each tick.
    void eventsOfEachPage() {
        platform::ManualClock clock;
        LoggerOptions o;
        o.limitOn = true;
        o.limit.mostRestrictive = false; // ICNIRP 2020, public, 900 MHz: 41.25 V/m
        LimitWatch watch(o, clock.createTimer(), {});
        watch.SetRunning(true);
        QStringList pages;
        const auto closePage = [&](const QString& name) {
            const BesidePage file = watch.PageClosed(name + ".csv");
            pages << file.path.section('/', -1) + ':';
            for (const QByteArray& line : file.text.trimmed().split('\n').mid(2)) {
                const QList<QByteArray> f = line.split(',');
                pages.last() += ' ' + f[0] + (f[2].isEmpty() ? " lasting " : " ended ") + f[3];
            }
        };
        qint64 at = 1733486400000;
        for (const double vm : {30.0, 42.0, 30.0}) // 52.9 %, 103.7 %, 52.9 %
            watch.Take(at += 1000, vm, "V/m");
        clock.advance(1000);
        QCOMPARE(QString::number(watch.Averaged().value_or(0), 'f', 1), QString("69.8"));
        closePage("p");
        watch.Take(at += 1000, 10.0, "V/m"); // 5.9 %: the warning ends
        closePage("p_2");
        watch.Take(at += 1000, 42.0, "mA"); // no share in a current
        QVERIFY(!watch.Percent());
        closePage("p_3");
        QCOMPARE(pages, (QStringList{"p_events.csv: Warning lasting 103.7 Alarm ended 103.7",
                                     "p_2_events.csv: Warning ended 103.7", "p_3_events.csv:"}));
    }

    // A whole run of the program on the virtual probe of each family: the page the window
    // reads back, its units, probe and columns, and the stream of the same rows. With a limit,
    // each row's share of it, the warning reached at once as a line of its own, and the events
    // file beside the page.
    void wholeRuns_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("values"); // columns after the time
        QTest::addColumn<QString>("units");
        QTest::addColumn<QStringList>("more");
        QTest::addColumn<QString>("share"); // of the limit in every row; empty: no limit
        QTest::newRow("Sigma") << "PX-5100" << 4 << "V/m" << QStringList{} << "";
        QTest::newRow("Zeta") << "PX-9100" << 4 << QStringLiteral("mW/cm\u00B2")
                              << QStringList{"--units", "3"} << "";
        QTest::newRow("Kappa") << "E310" << 1 << "V/m" << QStringList{} << "";
        // Exposure rows: the total and its moving average, one a second.
        QTest::newRow("Kappa, average")
            << "E310" << 2 << "V/m" << QStringList{"--average", "10 Second"} << "";
        // A steady 14.49 V/m: 12.34 % of ICNIRP 2020's 41.25 V/m for the public at 900 MHz.
        const QStringList limit{
            "--limit", "icnirp2020-public", "--frequency", "900MHz",         "--warn",
            "10",      "--probe-option",    "--pattern",   "--probe-option", "constant"};
        QTest::newRow("Sigma, limit") << "PX-5100" << 4 << "V/m" << limit << "12.34";
        QTest::newRow("Sigma, limit, influx")
            << "PX-5100" << 4 << "V/m"
            << limit + QStringList{"--format", "influx", "--tag", "site=Mast 4"} << "12.34";
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
        // Every row of the model (in the line protocol with its units and the tag), its share
        // of the limit or none ("-"); the warning reached at once as a line of its own.
        QFETCH(QString, units);
        QFETCH(QString, share);
        const QByteArray tags =
            ",model=" + model.toUtf8() + ",site=Mast\\ 4,units=" + units.toUtf8();
        static const QRegularExpression percent("(?:limit_pct=|\"limit_percent\":)([^,} ]+)");
        QStringList rows, events;
        for (const QByteArray& line : run.process.readAllStandardOutput().split('\n')) {
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            if (line.startsWith("varnex_alarm") || o.contains("event"))
                events << (line.startsWith("varnex_alarm,level=warning" + tags + " state=\"begin\"")
                               ? "warning begin"
                               : o["event"].toString() + ' ' + o["state"].toString());
            else if (line.startsWith("varnex" + tags + ' ') || o["model"] == model)
                rows << (percent.match(line).hasMatch() ? percent.match(line).captured(1) : "-");
            else if (!line.isEmpty())
                rows << line;
        }
        QCOMPARE(rows, QStringList(qsizetype(log.rows.size()), share.isEmpty() ? "-" : share));
        QCOMPARE(events, share.isEmpty() ? QStringList{} : QStringList{"warning begin"});
        // The events file beside the page, with the warning.
        QFile eventsFile(files::EventsFileName(out));
        QCOMPARE(eventsFile.open(QIODevice::ReadOnly), !share.isEmpty());
        if (!share.isEmpty())
            QVERIFY(eventsFile.readAll().split('\n').value(2).startsWith("Warning,"));
    }

    // The probe streaming fast: pages fill in seconds. SIGTERM closes every page complete;
    // SIGKILL (on Windows: the process terminated) leaves the open page readable up to its last
    // whole row.
    void stoppedBySignals_data() {
        QTest::addColumn<int>("signal");
#ifdef Q_OS_UNIX
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGKILL") << int(SIGKILL);
#else
        QTest::newRow("terminated") << 0;
#endif
    }
    void stoppedBySignals() {
        QFETCH(int, signal);
        const QString out = path(QStringLiteral("fast%1.csv").arg(signal));
        Run run({"--simulate", "PX-9100", "--baud", "115200", "--probe-option", "--stream-speedup",
                 "--probe-option", "20", "--out", out});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path(QStringLiteral("fast%1_2.csv").arg(signal))),
                                 60000);
        QTest::qWait(300);
#ifdef Q_OS_UNIX
        ::kill(pid_t(run.process.processId()), signal);
#else
        run.process.kill();
#endif
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
