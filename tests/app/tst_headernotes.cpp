#include "app/HeaderNotes.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace app;

namespace {

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray numberedLines(int count) {
    QByteArray out;
    for (int i = 1; i <= count; ++i)
        out += QByteArray::number(i) + ",Label " + QByteArray::number(i) + ",v\r\n";
    return out;
}

} // namespace

class TestHeaderNotes : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private Q_SLOTS:
    // Each file is read, then written back over itself.
    void loadAndSave_data() {
        QTest::addColumn<QByteArray>("file");   // null: no file
        QTest::addColumn<QStringList>("notes"); // "lead|label|value"
        QTest::addColumn<QByteArray>("saved");  // null: no file after saving
        const auto row = [](const char* name, const QByteArray& file, const QStringList& notes,
                            const QByteArray& saved) {
            QTest::newRow(name) << file << notes << saved;
        };
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
        row("no comma: a note with nothing in it", "1,Site,Lab\r\nOperator\r\n",
            {"1|Site|Lab", "||"}, "1,Site,Lab\r\n,,\r\n");
        QStringList first25;
        for (int i = 1; i <= 25; ++i)
            first25 << QStringLiteral("%1|Label %1|v").arg(i);
        row("more than 25: the first 25 kept", numberedLines(30), first25, numberedLines(25));
    }

    void loadAndSave() {
        QFETCH(QByteArray, file);
        QFETCH(QStringList, notes);
        QFETCH(QByteArray, saved);
        const QString path = m_dir.filePath(HeaderNotes::FileName);
        QFile::remove(path);
        QFile out(path);
        QVERIFY(file.isNull() || (out.open(QIODevice::WriteOnly) && out.write(file)));
        out.close();

        HeaderNotes h;
        h.LoadNoteQuery(path);
        QStringList read;
        for (int i = 1; i <= h.NoteCount; ++i)
            read << QStringList{h.HeaderNotes[i].lead, h.HeaderNotes[i].label,
                                h.HeaderNotes[i].value}
                        .join(u'|');
        QCOMPARE(read, notes);
        QVERIFY(h.SaveNoteQuery(path));
        QCOMPARE(QFile::exists(path), !saved.isNull());
        QCOMPARE(readAll(path), saved);
    }

    void writesSingleByteLines() {
        const QString path = m_dir.filePath(QStringLiteral("entered.txt"));
        HeaderNotes h;
        h.NoteCount = 2;
        h.HeaderNotes[1] = {"1", "Site", QString::fromUtf8("Hall \u20ac5 \U0001F600")};
        h.HeaderNotes[2] = {"2", "Note", "two\r\nlines"};
        QVERIFY(h.SaveNoteQuery(path));
        QCOMPARE(readAll(path), QByteArray("1,Site,Hall ?5 ?\r\n2,Note,two  lines\r\n"));
        QVERIFY(!h.SaveNoteQuery(m_dir.filePath(QStringLiteral("missing/testquery.txt"))));
    }
};

QTEST_GUILESS_MAIN(TestHeaderNotes)
#include "tst_headernotes.moc"
