// The files of the program beside its logs: the configuration file, read and written byte for
// byte (and where it is kept), and the header notes with the answers entered.
#include "files/ConfigFile.h"
#include "files/HeaderNotes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace files;

namespace {

// A file with every value away from its default; Path and SaveFileName hold commas.
const QByteArray Full =
    "ProbeUnits,mW/cm2\r\nGraphScale,Log 0.1-1000\r\nLogScaleOn,1\r\nAveraging,8\r\n"
    "CommPort,4\r\nGraphSamplesPerDiv,200\r\nTextUpdatePerSecond,3\r\nExposure,1 Minute\r\n"
    "HorizontalLinesOn,0\r\nPath,/home/op/logs, 2024\r\nBaudRate,19200,o,7,1\r\n"
    "PlotComposite,0\r\nExposureFrame,True\r\nStatusBar,False\r\nMaxSpeed,True\r\n"
    "UpdateBattTemp,False\r\nMultiplex,False\r\nAutoRange,0\r\nGraphBackGroundColor,1056816\r\n"
    "GraphGridLineColor,1\r\nGraphXYZaxisColor,2\r\nGraphXaxisColor,3\r\nGraphYaxisColor,4\r\n"
    "GraphZaxisColor,16777215\r\nReadTimer,120\r\nRthresEnabled,1\r\nSampleRate,Max\r\n"
    "UpdateBattTemp,5\r\nGraphScaleAuto,1\r\nTemperatureCelsius,1\r\nAlarmEnable, 1\r\n"
    "AlarmValue, 0.1\r\nGraphTextColor, 5\r\nBoxColor, 6\r\nMatchBarGraphToScatt, 1\r\n"
    "FormBackColor, 7\r\nLogScaleMinDivOn, 1\r\nMinDivColor, 8\r\n"
    "SaveFileName, /home/op/logs, 2024/run,3\r\nPeriodicInterval, 15\r\n"
    "PeriodicIntervalEnabled, 1\r\n";

QByteArrayList linesOf(const QByteArray& file) {
    QByteArrayList lines = file.split('\n');
    lines.removeLast();
    for (QByteArray& line : lines)
        line.chop(1);
    return lines;
}

QByteArray joined(const QByteArrayList& lines, const char* end = "\r\n") {
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + end;
    return out;
}

// The lines of Full with the given (line number, text) replacements.
QByteArrayList edited(std::initializer_list<std::pair<int, const char*>> edits) {
    QByteArrayList lines = linesOf(Full);
    for (const auto& [no, text] : edits)
        lines[no - 1] = text;
    return lines;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A null file is none: any file of that name is removed.
bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (bytes.isNull()) return !file.exists() || file.remove();
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class tst_ConfigFile : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QByteArrayList m_defaults; // the file SaveCfg writes for a Config left at its defaults

private Q_SLOTS:
    void initTestCase() {
        QVERIFY(SaveCfg(m_dir.filePath("defaults.cfg"), Config(m_dir.path())));
        m_defaults = linesOf(readAll(m_dir.filePath("defaults.cfg")));
        QCOMPARE(m_defaults.size(), 41);
    }

    // Saved again after loading, byte for byte: the first n of lines, then the defaults (always
    // for line 16, which is never read). The Zeta unit code is 7 before loading.
    void configLoad_data() {
        QTest::addColumn<QByteArray>("file"); // null: no file
        QTest::addColumn<int>("linesRead");
        QTest::addColumn<QByteArray>("resaved");
        QTest::addColumn<int>("zeta");
        const auto row = [&](const char* name, const QByteArray& file, int n,
                             const QByteArrayList& lines, int zeta) {
            QByteArrayList out = lines.mid(0, n) + m_defaults.mid(n);
            out[15] = m_defaults[15];
            QTest::newRow(name) << file << n << joined(out) << zeta;
        };
        const auto edit = [&](const char* name, const QByteArrayList& lines, int n, int zeta) {
            row(name, joined(lines), n, lines, zeta);
        };
        const QByteArrayList full = linesOf(Full);
        row("no file", QByteArray(), 0, m_defaults, 7);
        row("cut after line 20", joined(full.mid(0, 20)), 20, full, 7);
        row("LF or CR alone ends a line",
            joined(full.mid(0, 20), "\n") + joined(full.mid(20), "\r"), 41, full, 1);
        row("lines 3 and 4 exchanged", joined(edited({{3, "Averaging,8"}, {4, "LogScaleOn,1"}})),
            41, edited({{3, "LogScaleOn,8"}, {4, "Averaging,1"}}), 1);
        row("old plain Path, blanks, lower case, any key",
            joined(edited({{10, "Path, /data/old"}, {4, "Averaging,  8 "}, {13, "X, true"}})), 41,
            edited({{10, "Path,/data/old"}}), 1);
        edit("units V2/m2", edited({{1, "ProbeUnits,V2/m2"}}), 41, 2);
        edit("unknown units", edited({{1, "ProbeUnits,dBm"}}), 41, 7);
        edit("text in a number line", edited({{25, "ReadTimer,fast"}}), 24, 7);
        edit("beyond 16 bits", edited({{3, "LogScaleOn,40000"}}), 2, 7);
        edit("neither True nor False", edited({{14, "StatusBar,Yes"}}), 13, 7);
        edit("line without a comma", edited({{27, "SampleRate Max"}}), 26, 7);
    }
    void configLoad() {
        QFETCH(QByteArray, file);
        QFETCH(int, linesRead);
        const QString in = m_dir.filePath("in.cfg"), out = m_dir.filePath("out.cfg");
        QVERIFY(writeAll(in, file));
        Config cfg(m_dir.path());
        cfg.ZetaUnitsCode = 7;
        const LoadResult r = LoadCfg(in, cfg);
        QCOMPARE(r.linesRead, linesRead);
        QCOMPARE(r.complete, linesRead == 41);
        QTEST(cfg.ZetaUnitsCode, "zeta");
        QVERIFY(SaveCfg(out, cfg));
        QTEST(readAll(out), "resaved");
    }

    void configFilePath_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("fallback");
        QVERIFY(writeAll(m_dir.filePath("plain"), "x"));
        QTest::newRow("writable") << m_dir.path() << false;
        QTest::newRow("under a regular file") << m_dir.filePath("plain/app") << true;
#ifdef Q_OS_LINUX
        QTest::newRow("existing, not writable") << QStringLiteral("/proc") << true;
#endif
    }
    // The fallback folder is made only when it is chosen; the chosen folder can be written.
    void configFilePath() {
        QFETCH(QString, program);
        QFETCH(bool, fallback);
        const QString user = m_dir.filePath("user/varnex");
        QDir(m_dir.filePath("user")).removeRecursively();
        const QString chosen = ConfigFilePath(program, user);
        QCOMPARE(chosen, (fallback ? user : program) + "/Varnex.cfg");
        QCOMPARE(QFileInfo(user).isDir(), fallback);
        QVERIFY(SaveCfg(chosen, Config()));
    }

    // Each notes file is read, then written back over itself; an answer entered is written in
    // its note's line. A file edited in between (in the text editor) keeps the edit, with the
    // answers entered kept for their prompts.
    void headerNotes_data() {
        QTest::addColumn<QByteArray>("file");   // null: no file
        QTest::addColumn<QStringList>("notes"); // "lead|label|value"
        QTest::addColumn<QString>("answer");    // given to the last note before saving
        QTest::addColumn<QByteArray>("saved");  // null: no file after saving
        QTest::addColumn<QByteArray>("edited"); // written over the file before saving
        const auto row = [](const char* name, const QByteArray& file, const QStringList& notes,
                            const QByteArray& saved, const QString& answer = {},
                            const QByteArray& edited = {}) {
            QTest::newRow(name) << file << notes << answer << saved << edited;
        };
        row("edited meanwhile: the edit stays, the answer with its prompt",
            "1,Site,Lab\r\n2,Operator,Ann\r\n", {"1|Site|Lab", "2|Operator|Ann"},
            "0,Antenna,\r\n1,Site,Hall\r\n2,Operator,Bo\r\n", "Bo",
            "0,Antenna,\r\n1,Site,Hall\r\n2,Operator,Ann\r\n");
        row("edited meanwhile, nothing entered: the file as edited", "1,Site,Lab\r\n",
            {"1|Site|Lab"}, "1,Site,Hall 3\r\n", {}, "1,Site,Hall 3\r\n");
        row("no file", {}, {}, {});
        row("only blank lines: file left alone", "\r\n  \r\n\t\r\n", {}, "\r\n  \r\n\t\r\n");
        row("blanks trimmed, blank lines dropped, any line end",
            "\r\n 1 , Site ,  Lab 2 \n\n   \r2,Ort,M\xfcnchen\r\r3,Probe,PX",
            {"1|Site|Lab 2", QString::fromUtf8("2|Ort|München"), "3|Probe|PX"},
            "1,Site,Lab 2\r\n2,Ort,M\xfcnchen\r\n3,Probe,PX\r\n");
        row("empty value, one comma", "1,Operator,\r\n2, Location \r\n",
            {"1|Operator|", "2|Location|"}, "1,Operator,\r\n2,Location,\r\n");
        row("last comma ends the label", "1,Site,Lab 2, room 4\r\n2,Site,Lab 2,\r\n",
            {"1|Site,Lab 2|room 4", "2|Site,Lab 2|"}, "1,Site,Lab 2,room 4\r\n2,Site,Lab 2,\r\n");
        row("no comma: an empty note, the line kept in place",
            "1,Site,Lab\r\nfree text\r\n2,Operator,Ann\r\n", {"1|Site|Lab", "||", "2|Operator|Ann"},
            "1,Site,Lab\r\nfree text\r\n2,Operator,Bo\r\n", "Bo");
        QByteArray thirty;
        QStringList first25;
        for (int i = 1; i <= 30; ++i) {
            thirty += QByteArray::number(i) + ",Label " + QByteArray::number(i) + ",v\r\n";
            if (i <= 25) first25 << QStringLiteral("%1|Label %1|v").arg(i);
        }
        row("more than 25: 25 notes, every line kept", thirty, first25, thirty);
        // Beyond Latin-1 is '?' (one for a surrogate pair); a line break would split the note.
        row("an answer beyond Latin-1, on two lines", "1,Site,\r\n", {"1|Site|"},
            "1,Site,Hall ?5 ? two  lines\r\n",
            QString::fromUtf8("Hall \u20ac5 \U0001F600 two\r\nlines"));
    }
    void headerNotes() {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, saved);
        const QString path = m_dir.filePath(HeaderNotes::FileName);
        QVERIFY(writeAll(path, file));
        HeaderNotes h;
        h.LoadNoteQuery(path);
        QStringList read;
        for (int i = 1; i <= h.NoteCount; ++i)
            read << QStringList{h.HeaderNotes[i].lead, h.HeaderNotes[i].label,
                                h.HeaderNotes[i].value}
                        .join(u'|');
        QTEST(read, "notes");
        QFETCH(QString, answer);
        if (!answer.isNull()) h.HeaderNotes[h.NoteCount].value = answer;
        QFETCH(QByteArray, edited);
        if (!edited.isNull()) QVERIFY(writeAll(path, edited));
        QVERIFY(h.SaveNoteQuery(path));
        QCOMPARE(QFile::exists(path), !saved.isNull());
        QCOMPARE(readAll(path), saved);
        QCOMPARE(h.SaveNoteQuery(m_dir.filePath("missing/testquery.txt")), h.NoteCount == 0);
    }

    // A first run finds prompts, and a line on the format that is no prompt; a file there is
    // left as it is.
    void startingNotesFile() {
        const QString path = m_dir.filePath(QStringLiteral("start/testquery.txt"));
        QVERIFY(QDir().mkpath(m_dir.filePath("start")));
        QVERIFY(HeaderNotes::InstallStartingFile(path));
        HeaderNotes h;
        h.LoadNoteQuery(path);
        QStringList labels;
        for (int i = 1; i <= h.NoteCount; ++i)
            labels << h.HeaderNotes[i].label;
        QCOMPARE(labels,
                 (QStringList{"", "Operator", "Site", "Probe position", "Antenna", "Remarks"}));
        QVERIFY(writeAll(path, "1,Site,\r\n"));
        QVERIFY(HeaderNotes::InstallStartingFile(path));
        QCOMPARE(readAll(path), QByteArray("1,Site,\r\n"));
    }
};

QTEST_MAIN(tst_ConfigFile)
#include "tst_configfile.moc"
