// The log files: pages written line for line, Save As, the log never lost without asking, the
// journal after a crash; files opened back or refused, the stored view zoomed from the mouse,
// the graphs exported as pictures.
#include "app/LogLoading.h"
#include "app/LogSaving.h"
#include "files/ConfigFile.h"
#include "files/LogFile.h"
#include "files/LogJournal.h"
#include "files/LogReading.h"
#include "measure/RecordTable.h"
#include "platform/SurfaceWidget.h"
#include "tests/support/WindowKit.h"
#include "window/Recorder.h"
#include "window/StoredView.h"

#include <QDir>
#include <QImage>
#include <QListWidget>
#include <QTest>

namespace {

QString Write(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? path : QString();
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(not read)");
}

// A page as Save As writes it: a 5-column log of three rows.
const QByteArray Page =
    "Header\r\nFile,run.csv\r\nDate,06/12/2026\r\nTime,14:05:00\r\nSamples,3\r\nColumns,5\r\n"
    "Page,1 of 1\r\nGraphScale,Log 0.1-1000\r\nField Peak,20.5\r\nX Peak,7.1\r\n"
    "Y Peak,8.25\r\nZ Peak,16\r\nProbe Type,PX-5100\r\nSite,Hall 3\r\nUnits,(V/m)\xB2\r\n"
    "EndHeader\r\nTime ,Field (V/m)\xB2,X (V/m)\xB2,Y (V/m)\xB2,Z (V/m)\xB2\r\n"
    "14:05:09,12.34567,7.1,8.25,6.5\r\n14:05:10,0.0001,1e-05,1234567,0\r\n"
    "14:05:11,20.5,1,2,16\r\n";

} // namespace

class tst_LogFiles : public QObject {
    Q_OBJECT
    std::unique_ptr<kit::WindowRig> rig; // a new one for each test

    // What a load may change: the rows, the graph, the caption, the header list, the scale.
    static QStringList State(app::frmMain& w) {
        const measure::RecordTable& t = w.records();
        return {QString::number(t.RecordCount()),
                QString::number(t.At(1, 1)),
                QString::number(w.graph().DataCnt()),
                w.windowTitle(),
                QString::number(w.ui().frame.LstHeader->count()),
                w.config().GraphScaleStr,
                t.RecordUnits()};
    }

private Q_SLOTS:
    void init() { rig = std::make_unique<kit::WindowRig>(); }

    void logPagesLineForLine_data() {
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QByteArray>("expected");
        const auto page = [](const char* counts, const QByteArray& peaks, const char* heading) {
            return "Header\r\nFile,run.csv\r\nDate,06/12/2026\r\nTime,14:05\r\n" +
                   QByteArray(counts) +
                   "Page,1 of 1\r\nGraphScale,Auto\r\nField Peak,12.34567\r\n" + peaks +
                   "Probe Type,PX-5100\r\nSite,Hall  3\r\nUnits,mW/cm\xB2\r\nEndHeader\r\n" +
                   "Time ,Field mW/cm\xB2" + heading + "\r\n";
        };
        QTest::newRow("total, empty") << 0 << 0 << page("Samples,0\r\nColumns,2\r\n", "", "");
        QTest::newRow("axes")
            << 1 << 3
            << page("Samples,3\r\nColumns,5\r\n", "X Peak,7.1\r\nY Peak,8.25\r\nZ Peak,6.5\r\n",
                    ",X mW/cm\xB2,Y mW/cm\xB2,Z mW/cm\xB2") +
                   "14:05:09,12.34567,7.1,8.25,6.5\r\n24:00:00,0.0001,1e-05,1234567,0\r\n"
                   "00:00:00,12.5,0,0,0\r\n";
        QTest::newRow("moving average")
            << 2 << 1
            << page("Samples,1\r\nColumns,3\r\n", "", ",Moving AvemW/cm\xB2") +
                   "14:05:09,12.34567,7.1\r\n";
    }
    void logPagesLineForLine() {
        QFETCH(int, columns);
        QFETCH(int, rows);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        measure::RecordTable table;
        table.StartLog(measure::RecordTable::Layout(columns), "", "");
        const auto at = [](int h, int m, double s) {
            return float((h * 3600 + m * 60 + s) / 86400);
        };
        table.Append(at(14, 5, 9), 12.34567f, 7.1f, 8.25f, 6.5f);
        table.Append(at(23, 59, 59.6), 0.0001f, 0.00001f, 1234567.0f, 0.0f);
        table.Append(at(0, 0, 0.4), 12.5f, 0, 0, 0);
        table.SetRecordCount(rows);
        const QList<QPair<QString, QString>> notes{{"Operator", ""}, {"Site", "Hall\r\n3"}};
        const measure::AxisValues peaks{12.34567f, 7.1f, 8.25f, 6.5f};
        const QString units = "mW/cm" + QString(QChar(0xB2));
        const files::LogHeader h{"06/12/2026", "14:05", rows,      files::LogColumns(columns),
                                 "Auto",       peaks,   "PX-5100", notes,
                                 units};
        const QByteArray text = files::LogPageText(h, table, 1, 1, "run.csv");
        QLocale::setDefault(QLocale::c());
        QTEST(text, "expected");
    }

    // Save As: the test conditions asked with their values as defaults, the dialog in the
    // folder and with the name of the last save, the file written, and the folder and name
    // the next save proposes. A cancelled prompt saves nothing and changes no note; a file that
    // cannot be written is named in a message and nothing claims it was saved.
    void saveAs() {
        app::frmMain& w = rig->build();
        // Until the user chooses a folder the dialogs start in the documents folder.
        QCOMPARE(w.config().Path, files::DocumentsFolder());
        QDir dir(rig->dir.path());
        w.config().Path = dir.path();
        w.records().StartLog(measure::RecordTable::Layout::Axes, "V/m", "PX-5100");
        w.records().SetRecording(measure::RecordTable::Logging);
        w.records().Append(0.5f, 14.49f, 5, 8, 11);
        files::HeaderNotes& notes = w.notes();
        notes.NoteCount = 3;
        notes.HeaderNotes[1] = {"1", "Operator", "Ann"};
        notes.HeaderNotes[2] = {"2", "", "no label, not asked"};
        notes.HeaderNotes[3] = {"3", "Site", "Hall 3"};
        platform::ScriptedDialogs& d = rig->dialogs;
        const auto save = [&](const QString& file) {
            d.queueInput("Bo");
            d.queueInput("Hall 4");
            d.queueFile(file);
            w.ui().record.mnuFileSaveAs->trigger();
        };

        d.queueInput("Bo"); // the site is cancelled
        w.ui().record.mnuFileSaveAs->trigger();
        QCOMPARE(d.asked.size(), 2);
        QCOMPARE((QStringList{d.asked[1].title, d.asked[1].text, d.asked[1].folder}),
                 (QStringList{"Test Conditions", "Site", "Hall 3"}));
        QCOMPARE(notes.HeaderNotes[1].value, QString("Ann"));

        d.asked.clear();
        save(dir.filePath("run.csv"));
        QCOMPARE(d.asked.size(), 3);
        QCOMPARE((QStringList{d.asked[2].title, d.asked[2].folder, d.asked[2].text}),
                 (QStringList{"File Save as", dir.path(), "Test1"}));
        const QByteArray text = Read(dir.filePath("run.csv"));
        QVERIFY2(text.startsWith("Header\r\nFile,run.csv\r\n") &&
                     text.contains("\r\nProbe Type,PX-5100\r\nOperator,Bo\r\nSite,Hall 4\r\n"
                                   "Units,V/m\r\nEndHeader\r\n") &&
                     text.endsWith("\r\n12:00:00,14.49,5,8,11\r\n"),
                 text.constData());
        QCOMPARE(w.StatusPanel(1), QString("Saved 1 data points."));
        QCOMPARE((QStringList{w.config().Path, w.config().SaveFileName}),
                 (QStringList{dir.path(), dir.filePath("run")}));
        QCOMPARE((QList<int>{rig->busy.uses, rig->busy.depth}), (QList<int>{1, 0}));

        QFile(dir.filePath("plain")).open(QIODevice::WriteOnly);
        for (const QString& bad :
             {dir.filePath("missing/run.csv"), dir.filePath("plain/run.csv")}) {
            w.SetStatusPanel(1, QString());
            save(bad);
            QVERIFY(rig->boxes.texts().last().startsWith("The log could not be saved to " +
                                                         QDir::toNativeSeparators(bad)));
            QCOMPARE(w.StatusPanel(1), QString());
        }
        // The files of a log's pages (the logger's), and the name the next save proposes.
        QStringList names;
        for (const QString c : {"run.csv", "run.backup", "/d/a.b/run", "run"})
            names << files::PageFileName(c, 1) + " " + files::PageFileName(c, 2) + " " +
                         files::SaveFileNameOf(c);
        QCOMPARE(names, (QStringList{"run.csv run_2.csv run", "run.backup run_2.backup run",
                                     "/d/a.b/run /d/a.b/run_2 /d/a.b/run", "run run_2 run"}));
    }

    // A log not saved is offered before a new log replaces it, before a file is opened and
    // before the window closes: Save saves it first, Discard lets it go, Cancel keeps
    // everything as it was.
    void aLogIsNeverLostWithoutAsking_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("choice");
        for (const char* action : {"new log", "open", "close"})
            for (const auto choice : {platform::SaveChoice::Save, platform::SaveChoice::Discard,
                                      platform::SaveChoice::Cancel})
                QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(action).arg(int(choice))))
                    << QString(action) << int(choice);
    }
    void aLogIsNeverLostWithoutAsking() {
        QFETCH(QString, action);
        QFETCH(int, choice);
        app::frmMain& w = rig->start();
        window::Recorder& recorder = w.recorder();
        recorder.ToggleRecordOn();
        recorder.TakeReading(measure::Reading{});
        recorder.ToggleRecordOn();
        const QString file = rig->dir.filePath("kept.csv");
        platform::ScriptedDialogs& d = rig->dialogs;
        d.queueChoice(platform::SaveChoice(choice));
        d.queueFile(file); // the save dialog; the open dialog, if asked, is cancelled
        if (action == "close") w.close();
        if (action == "open") w.ui().frame.mnuFileOpen->trigger();
        if (action == "new log") recorder.ToggleRecordOn();
        QCOMPARE(d.asked.first().text, app::LogSaver::UnsavedText.arg(1));
        const bool cancelled = choice == int(platform::SaveChoice::Cancel);
        const bool goesOn = !cancelled && action != "close";
        QCOMPARE(QFile::exists(file), choice == int(platform::SaveChoice::Save));
        QCOMPARE(d.asked.last().kind == "open", goesOn && action == "open");
        QCOMPARE(w.records().RecordCount(), goesOn && action == "new log" ? 0 : 1);
        QCOMPARE(int(w.records().Recording()), goesOn && action == "new log" ? 1 : 0);
        QCOMPARE(w.isVisible(), action != "close" || cancelled);
        // Asked once: a log saved or let go is not offered again.
        if (!cancelled) QVERIFY(!w.records().Unsaved());
    }

    // The journal of a running log survives the program: a half-written last row is dropped,
    // the rows come back with their layout, units, probe and peaks, and the start-up offers
    // them (Yes recovers them for Save As, No forgets them). Columns a log does not use stay
    // empty.
    void aCrashedLogIsOffered_data() {
        QTest::addColumn<bool>("recover");
        QTest::newRow("recovered") << true;
        QTest::newRow("forgotten") << false;
    }
    void aCrashedLogIsOffered() {
        QFETCH(bool, recover);
        {
            files::LogJournal journal(rig->dir.path(), rig->clock);
            measure::RecordTable table;
            table.SetJournal(&journal);
            table.StartLog(measure::RecordTable::Layout::Total, "V/m", "PX-5100");
            table.SetLimitName("ICNIRP 2020, general public, 900 MHz");
            for (int i = 1; i <= 3; ++i) {
                measure::Reading r;
                r.dayFraction = 0.25f * float(i);
                r.value = {1.5f * float(i), 9, 9, 9};
                r.peak = {4.5f * float(i), 0, 0, 0};
                table.Append(r);
                // A warning begun with the second row, and ended with the third.
                if (i >= 2)
                    table.LogEvent({measure::ExposureLevel::Warning, 1000, i == 3 ? 3000 : 0,
                                    50.0 + i, 29.25, "V/m"});
            }
            QFile file(journal.Path());
            QVERIFY(file.open(QIODevice::Append));
            file.write("0.9\t7.5\t0"); // the crash came in the middle of a row
        }
        const QString started = rig->clock.now().time().toString("HH:mm:ss");
        rig->boxes.queueAnswer(recover);
        app::frmMain& w = rig->start();
        QCOMPARE(rig->boxes.texts().first(), files::LogJournal::RecoverText.arg(3).arg(started));
        const measure::RecordTable& t = w.records();
        const QString journal = rig->dir.filePath(files::LogJournal::FileName);
        QCOMPARE(QFile::exists(journal), recover);
        QCOMPARE(t.RecordCount(), recover ? 3 : 0);
        if (!recover) return;
        QCOMPARE((QList<float>{t.At(3, 0), t.At(3, 1), t.At(3, 2), t.RecordMaxHold()[0]}),
                 (QList<float>{0.75f, 4.5f, 0.0f, 13.5f}));
        QCOMPARE((QStringList{t.RecordUnits(), t.ProbeType()}), (QStringList{"V/m", "PX-5100"}));
        QVERIFY(t.Unsaved() && w.ui().record.mnuFileSaveAs->isEnabled());
        rig->dialogs.queueFile(rig->dir.filePath("back.csv"));
        w.ui().record.mnuFileSaveAs->trigger();
        QVERIFY(QFile::exists(rig->dir.filePath("back.csv")) && !QFile::exists(journal));
        // The limit watched and its events, as they ended, go beside the page.
        const QByteArray events = Read(rig->dir.filePath("back_events.csv"));
        QCOMPARE(events.count("\r\n"), 3);
        QVERIFY(events.startsWith("Events,ICNIRP 2020, general public, 900 MHz\r\n"));
        QVERIFY(events.contains(",53.0,29.25,V/m\r\n"));
    }

    // A page as Save As writes it loads into the graph and the log table with its units,
    // scale, peaks, notes and header, is drawn as the stored view named in the caption, and
    // saved again gives the same page. The exported pictures are the graphs' drawings pixel for
    // pixel; a folder that cannot be written is named in a message.
    void aSavedPageLoadsBack() {
        app::frmMain& w = rig->start();
        w.notes().NoteCount = 1;
        w.notes().HeaderNotes[1] = {"1", "Site", "Lab"};
        rig->dialogs.queueFile(Write(rig->dir, "run.csv", Page));
        w.ui().frame.tbOpen->trigger();
        const measure::RecordTable& t = w.records();
        QCOMPARE(State(w), (QStringList{"3", "12.3457", "3", "Varnex    (run.csv)", "16",
                                        "Log 0.1-1000", "(V/m)" + QString(QChar(0xB2))}));
        QCOMPARE(w.ui().frame.LstHeader->item(15)->text(), QString("EndHeader"));
        QCOMPARE((QList<float>{w.graph().ReadData(2, 4), t.At(2, 3), t.RecordMaxHold()[3]}),
                 (QList<float>{1234567, 1234567, 16}));
        QCOMPARE((QStringList{t.ProbeType(), w.notes().HeaderNotes[1].value, w.config().Path,
                              w.StatusPanel(1)}),
                 (QStringList{"PX-5100", "Hall 3", rig->dir.path(), "Completed"}));
        const window::GraphControls& g = w.ui().graphs;
        QVERIFY(g.mnuProbePlay->isEnabled() && g.tbZoomIn->isEnabled() &&
                g.tbZoomOut->isEnabled() && !g.mnuViewScatterLive->isChecked());
        QCOMPARE(rig->busy.depth, 0);

        rig->dialogs.queueInput("Hall 3");
        rig->dialogs.queueFile(rig->dir.filePath("again.csv"));
        w.ui().record.mnuFileSaveAs->trigger();
        const QByteArray text = Read(rig->dir.filePath("again.csv"));
        QCOMPARE(text.mid(text.indexOf("Samples,")), Page.mid(Page.indexOf("Samples,")));

        rig->dialogs.queueFile(rig->dir.filePath("g.png"));
        QVERIFY(w.mnuFileExport_Click());
        QCOMPARE(QImage(rig->dir.filePath("g.png")).convertToFormat(QImage::Format_RGB32),
                 g.Picture1->image().convertToFormat(QImage::Format_RGB32));
        QCOMPARE(QImage(rig->dir.filePath("g_bars.png")).size(), g.Picture3->image().size());
        rig->dialogs.queueFile(rig->dir.filePath("missing/g.png"));
        QVERIFY(!w.mnuFileExport_Click());
        QVERIFY(rig->boxes.texts().value(0).startsWith("The picture could not be saved to "));
    }

    // Files loaded over a page of the axes, in other shapes too (the heading line decides the
    // columns; a scale that does not hold the log gives way to one that does). A page cut off
    // inside its last row loads its whole rows, and the user is told. A file that cannot be read
    // is refused with the line and what is wrong there, and nothing of it is loaded.
    void loadsOverAPage_data() {
        QTest::addColumn<QByteArray>("file");  // null: no such file
        QTest::addColumn<QString>("expected"); // rows, layout, first row, scale; empty: refused
        QTest::addColumn<QString>("told");     // what the user is told, or why it was refused
        const auto loads = [](const char* name, const QByteArray& file, const char* expected,
                              const char* told = "") {
            QTest::newRow(name) << file << QString(expected) << QString(told);
        };
        const auto refused = [](const char* name, const QByteArray& file, const QString& why) {
            QTest::newRow(name) << file << QString() << why;
        };
        const auto row2 = [](const char* line) {
            return QByteArray(Page).replace("14:05:10,0.0001,1e-05,1234567,0", line);
        };
        const char* page = "3 1 14:05:09 12.3457 7.1 8.25 6.5 Log 0.1-1000";
        loads("LF, blank lines at the end", QByteArray(Page).replace("\r\n", "\n") + "\n\n", page);
        loads("byte order mark", "\xEF\xBB\xBF" + Page, page);
        loads("no header, blank lines, one-digit hours",
              "anything\r\n9:05:03,1,2,3,4\r\n\r\n9:05:04,5,6,7,8", "2 1 09:05:03 1 2 3 4 0-10");
        loads("the heading decides, an unknown scale is not taken",
              "Header\r\nColumns,5\r\nGraphScale,0-7\r\nEndHeader\r\nTime ,Field V/m,Moving AveV/m"
              "\r\n00:00:01,3,2\r\n",
              "1 2 00:00:01 3 2 0 0 0-10");
        loads("the total alone",
              "Header\r\nColumns,2\r\nEndHeader\r\nTime ,Field V/m\r\n00:00:01,1.25\r\n",
              "1 0 00:00:01 1.25 0 0 0 0-10");
        // An automatic scale names none: the log is drawn on one that holds its values.
        loads("an automatic scale, values to 18.8",
              "Header\r\nGraphScale,Auto\r\nEndHeader\r\nTime,Field V/m\r\n00:00:01,18.8\r\n"
              "00:00:02,4\r\n",
              "2 0 00:00:01 18.8 0 0 0 0-100");
        loads("an automatic scale, values to 1500",
              "Header\r\nGraphScale,Auto\r\nEndHeader\r\nTime,Field V/m\r\n00:00:01,1500\r\n",
              "1 0 00:00:01 1500 0 0 0 0-10k");
        loads("cut short", Page.left(Page.indexOf("14:05:11")) + "14:05:1",
              "2 1 14:05:09 12.3457 7.1 8.25 6.5 Log 0.1-1000",
              "The last line is cut short; it was left out.");
        refused("not a number", row2("14:05:10,0.0001,abc,1,0"),
                "line 19: field 3, \"abc\", is not a number.");
        refused("too few fields", row2("14:05:10,1,2,3"),
                "line 19: 4 fields where the heading line has 5.");
        refused("comma decimals", row2("14:05:10,0,5,1,2,3"),
                "line 19: 6 fields where the heading line has 5 (a file written with a comma as "
                "the decimal point has more).");
        refused("no time", row2("14h05,1,2,3,4"),
                "line 19: \"14h05\" is not a time of day (hh:mm:ss).");
        refused("minutes past 59", row2("14:65:00,1,2,3,4"),
                "line 19: \"14:65:00\" is not a time of day (hh:mm:ss).");
        refused("binary", QByteArray("\x7F\x45LF\x02\x01\x00\x00", 8),
                "line 1: this is not a text file.");
        refused("no EndHeader", "Header\r\nFile,x\r\n",
                "line 1: \"Header\" has no \"EndHeader\" within 200 lines.");
        refused("no heading", "Header\r\nEndHeader\r\n\r\n",
                "line 3: the heading line after \"EndHeader\" is missing.");
        refused("empty", "", "the file is empty.");
        QFile missing(QDir::temp().filePath("no-such-log.csv"));
        missing.open(QIODevice::ReadOnly); // the system's own words for it
        refused("missing", QByteArray(), missing.errorString());
    }
    void loadsOverAPage() {
        QFETCH(QByteArray, file);
        QFETCH(QString, expected);
        QFETCH(QString, told);
        app::frmMain& w = rig->start();
        QVERIFY(w.loader().LoadData(Write(rig->dir, "run.csv", Page)));
        const QStringList before = State(w);
        const QString path = rig->dir.filePath("in.csv");
        if (!file.isNull()) Write(rig->dir, "in.csv", file);
        QCOMPARE(w.loader().LoadData(path), !expected.isEmpty());
        if (expected.isEmpty()) {
            QCOMPARE(rig->boxes.texts().value(0),
                     app::LogLoader::NotLoadedText.arg(QDir::toNativeSeparators(path), told));
            QCOMPARE(State(w), before);
            QCOMPARE(w.StatusPanel(1), QString("Completed"));
            return;
        }
        const measure::RecordTable& t = w.records();
        QStringList got{QString::number(t.RecordCount()), QString::number(int(t.RecordColumns())),
                        files::FormatTimeStr(t.At(1, 0))};
        for (int c = 1; c <= 4; ++c)
            got << QString::number(t.At(1, c));
        QCOMPARE(got.join(' ') + ' ' + w.config().GraphScaleStr, expected);
        QCOMPARE(rig->boxes.texts().join('|'), told);
        // The list shows the scale the log is drawn on.
        QCOMPARE(w.ui().graphs.CmbVerticalScale->currentText(), w.config().GraphScaleStr);
    }

    // A log shown beside a probe that is read keeps its scale in the list through the probe's
    // changes of units.
    void aStoredLogKeepsItsScaleBesideALiveProbe() {
        app::frmMain& w = rig->startOn("PX-5100");
        QVERIFY(w.loader().LoadData(Write(rig->dir, "in.csv",
                                          "Header\r\nGraphScale,Auto\r\nEndHeader\r\nTime,Field "
                                          "V/m\r\n00:00:01,18.8\r\n")));
        w.engine().RequestUnits(2);
        rig->run(1500);
        QVERIFY(w.engine().UnitsText() != "V/m");
        QCOMPARE(w.ui().graphs.CmbVerticalScale->currentText(), QString("0-100"));
    }

    // More rows than the table holds, more value columns than the graph has traces: the first
    // ones are loaded and the user is told. Saved again, a full table is one page.
    void bigFilesAreCut() {
        QByteArray file = "Header\r\nEndHeader\r\nTime ,a,b,c,d,e,f\r\n";
        for (int i = 0; i <= 32000; ++i)
            file += "12:00:00,1,2,3,4,5,6\r\n";
        app::frmMain& w = rig->start();
        QVERIFY(w.loader().LoadData(Write(rig->dir, "big.csv", file)));
        QCOMPARE((QList<int>{w.records().RecordCount(), w.graph().DataCnt()}),
                 (QList<int>{32000, 32000}));
        // The long redraw showed its progress under the wait cursor, and both are gone.
        QCOMPARE((QList<int>{rig->busy.uses, rig->busy.depth,
                             int(w.ui().graphs.ProgressBar1->isVisible())}),
                 (QList<int>{2, 0, 0}));
        QCOMPARE((QList<float>{w.graph().ReadData(32000, 5), w.graph().ReadData(32000, 6)}),
                 (QList<float>{4, 0}));
        QCOMPARE(rig->boxes.texts().value(0),
                 QString("The file holds 32001 rows; the first 32000 were loaded.\n"
                         "The file holds 6 value columns; the first 4 were loaded."));
        rig->dialogs.queueFile(rig->dir.filePath("full.csv"));
        w.ui().record.mnuFileSaveAs->trigger();
        const QByteArray text = Read(rig->dir.filePath("full.csv"));
        QVERIFY(text.contains("\r\nPage,1 of 1\r\n") &&
                !QFile::exists(rig->dir.filePath("full_2.csv")));
        QCOMPARE(text.count("12:00:00,1,2,3,4\r\n"), 32000);
    }

    // The stored view zooms from the mouse on the graph (the rules of a drag: tst_graph): Zoom
    // In arms it (never on the live graph) and says so, the band follows the drag and goes with
    // the release, and a second zoom is relative to the window shown. "Zoom Out" shows a log
    // just taken.
    void theStoredViewZoomsFromTheMouse() {
        QByteArray file = "no header\r\n";
        for (int i = 1; i <= 1000; ++i)
            file += "12:00:00," + QByteArray::number(i) + ",0,0,0\r\n";
        app::frmMain& w = rig->start();
        graph::clsGraph& g = w.graph();
        w.ui().graphs.tbZoomIn->setEnabled(true);
        w.ui().graphs.tbZoomIn->trigger();
        QCOMPARE(g.ZoomCnt(), 0);
        QVERIFY(w.loader().LoadData(Write(rig->dir, "long.csv", file)));
        platform::SurfaceWidget* picture = w.ui().graphs.Picture1;
        const double y = (g.Top() + g.PlotBottom()) / 2.0 - 100;
        const auto drag = [&](double from, double to) {
            w.ui().graphs.tbZoomIn->trigger();
            const bool armed = g.ZoomCnt() == 1 && w.StatusPanel(1).startsWith("Click on graph");
            Q_EMIT picture->mousePressed(Qt::LeftButton, {}, g.PlotLeft() + from * g.PlotWidth(),
                                         y);
            Q_EMIT picture->mouseMoved(Qt::LeftButton, {}, g.PlotLeft() + to * g.PlotWidth(),
                                       y + 50);
            const bool banded = !picture->band().isEmpty();
            Q_EMIT picture->mouseReleased(Qt::LeftButton, {}, g.PlotLeft() + to * g.PlotWidth(),
                                          y + 50);
            const bool told =
                w.StatusPanel(1) ==
                window::StoredView::ZoomedText.arg(g.FirstSample()).arg(g.LastSample()).arg(1000);
            return QList<int>{armed,         banded,      picture->band().isEmpty(),
                              told,          g.ZoomCnt(), g.FirstSample(),
                              g.LastSample()};
        };
        QCOMPARE(drag(0.25, 0.75), (QList<int>{1, 1, 1, 1, 0, 250, 750}));
        QCOMPARE(drag(0.001, 0.5), (QList<int>{1, 1, 1, 1, 0, 250, 500}));

        window::Recorder& recorder = w.recorder();
        rig->dialogs.queueChoice(platform::SaveChoice::Discard);
        recorder.ToggleRecordOn();
        measure::Reading r;
        r.value = {7, 1, 2, 3};
        recorder.TakeReading(r);
        recorder.ToggleRecordOn();
        w.ui().graphs.tbZoomOut->trigger();
        QCOMPARE((QList<float>{float(g.DataCnt()), g.ReadData(1, 2), g.ReadData(1, 5)}),
                 (QList<float>{1, 7, 0})); // a log of the total alone
        QCOMPARE(w.windowTitle(), QString("Varnex"));
    }
};

QTEST_MAIN(tst_LogFiles)
#include "tst_logfiles.moc"
