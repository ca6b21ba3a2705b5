// What the probe layer computes without a session: the model tables and the rules that name a
// Sigma model, the units codes, the reply checks, the reading channels and texts, Val, and the
// streamed records cut from the line.
#include "graph/VerticalScale.h"
#include "probe/ModelTables.h"
#include "probe/PollingCycle.h"
#include "probe/Readings.h"
#include "probe/ReplyCheck.h"
#include "probe/ReplyFramer.h"
#include "tests/support/ProbeKit.h"

#include <QTest>
#include <cmath>
#include <limits>

using namespace probe;
using kit::SigmaData;
using Steps = QList<QPair<int, QByteArray>>;
using Ints = QList<int>;
using Floats = QList<float>;

namespace {
const QString Two = QString(SuperTwo);

// A data reply with the units code at positions 8-10 and the axes field at 16-18.
QByteArray data(const char* units, const char* axes = "DEE") {
    return QByteArray(":D12.34") + units + "128 N" + axes + "\r";
}

// Installs each model of "A|B|..." in turn as identification does; "none" is the empty name.
ModelTables installed(const QString& models) {
    ModelTables t;
    for (QString model : models.split(u'|', Qt::SkipEmptyParts)) {
        if (model == u"none") model.clear();
        if (model.startsWith(u"PX-9")) {
            t.installZeta(model);
        } else {
            t.installModel(model);
            t.installLimits(model);
        }
    }
    return t;
}

// The cell a key names: "scale u r", "log u", "max u", "units", "mux", "minread", "mult k r",
// "under u r" or "over u r".
QString cellOf(const ModelTables& t, const QString& key) {
    const QStringList k = key.split(u' ');
    const int a = k.value(1).toInt(), b = k.value(2).toInt();
    if (k[0] == u"scale") return t.scaleText(a, b);
    if (k[0] == u"log") return t.logText(a);
    const QMap<QString, float> numbers{{"max", t.maxRange(a)},       {"units", t.UnitsCount},
                                       {"mux", t.MuxAvail},          {"minread", t.MinReadTime},
                                       {"mult", t.multiplier(a, b)}, {"under", t.underRange(a, b)},
                                       {"over", t.overRange(a, b)}};
    return numbers.contains(k[0]) ? QString::number(numbers[k[0]]) : QString("?");
}

// A units lookup as "text|kind|factor|current multiplier|message|composite", the composite
// being that of the axes 3, 4, 12 in its text.
QString describe(const UnitsLookup& u, float composite) {
    return QStringList{u.text, QString::number(u.fieldKind), QString::number(u.downFactor, 'g', 7),
                       QString::number(u.currentMult), u.message}
               .join(u'|') +
           u'|' + QString::number(composite);
}
} // namespace

class ProbeTablesTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Replies of a characterisation of a four-range V/m probe (step k holds the reply to step k;
    // only the data replies and the range reply at step 20 count), with the row's own laid over.
    void findProbeType_data() {
        QTest::addColumn<Steps>("own");
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("single");
        const auto row = [](const char* name, Steps own, const char* model, bool single) {
            QTest::newRow(name) << own << QString(model) << single;
        };
        const QByteArray r5 = ":R5\r";
        row("R5 at 2, blanks at 3", {{2, r5}, {3, data("   ")}}, "PX-2100", true);
        row("R5 at 1 only, blanks at 2", {{1, r5}, {2, data("   ")}}, "PX-2100", true);
        row("R5 at 1 only, KV at 2", {{1, r5}, {2, data("KV ")}}, "PX-2200", true);
        row("R5 at 1 and 2, blanks at 3", {{1, r5}, {2, r5}, {3, data("   ")}}, "PX-2100", true);
        row("R5 skips the other rules", {{2, r5}, {3, data(" V ")}, {8, data(" A ")}}, "", false);
        row("REE before RFE", {{8, data(" A ")}, {13, data(" V2")}, {21, data("KV ")}},
            "PX-5200 REE", false);
        row("RFE before RBE and 5530",
            {{13, data(" V2")}, {21, data("KV ")}, {15, data("KV2")}, {18, data("MW2")}},
            "PX-5200 RFE", false);
        row("RBE before 5530", {{13, data(" V2")}, {15, data("KV2")}, {18, data("MW2")}},
            "PX-5200 RBE", false);
        row("5530", {{13, data(" V2")}, {18, data("MW2")}}, "PX-5530", false);
        row("RDE", {{13, data(" V2")}}, "PX-5200 RDE", false);
        row("RGE before 5570", {{13, data("KV2")}, {10, data("MA ", "EEE")}}, "PX-5200 RGE", false);
        row("5570", {{10, data("MA ", "EEE")}}, "PX-5570", true);
        row("RCE", {{10, data("MA ")}}, "PX-5200 RCE", false);
        row("RA", {{10, data(" A ")}, {8, data("MA ")}}, "PX-5200 RA", false);
        row("A at 10 alone", {{10, data(" A ")}}, "", false);
        row("5500 before 5560", {{18, data("KV2", "EED")}}, "PX-5500/5505", true);
        row("5500 without axes field", {{18, ":D12.34KV2\r"}}, "PX-5500/5505", true);
        row("5100 before 5560", {{18, data("KV2", "DEE")}}, "PX-5100", false);
        row("5560", {{18, data("KV2")}, {20, ":R3\r"}}, "PX-5560", true);
        row("KV2 at 18 alone", {{18, data("KV2")}, {20, ":R3\r"}, {8, data("MW2")}}, "", false);
        row("V2 cut short at 13", {{13, ":D12.34 V"}}, "", false);
        row("plain replies", {}, "", false);
    }
    void findProbeType() {
        QFETCH(Steps, own);
        QFETCH(bool, single);
        std::array<QByteArray, 33> replies;
        replies.fill(data(" V "));
        replies[20] = ":R4\r";
        for (const auto& [step, reply] : own)
            replies[step] = reply;
        bool reported = !single;
        QTEST(FindProbeType(replies, &reported), "model");
        QCOMPARE(reported, single);
        // Replies too short to hold a units code name no model, down to empty ones.
        for (int length : {9, 3, 0}) {
            for (QByteArray& reply : replies)
                reply.truncate(length);
            QCOMPARE(FindProbeType(replies, &reported), QString());
        }
    }

    // Every model: each units has a log text and a scale text for each of its ranges, all of
    // them scales the graph knows, the linear ones rising with the range; limits rise with the
    // range, the full scale above the lower limit; no limits beyond the last range. The log
    // scale holds every range, with room below the lowest for the readings under it.
    void everyModelsTablesHoldTogether() {
        QStringList narrowLogs;
        for (const QString& m : KnownModels()) {
            const ModelTables t = installed(m);
            const bool zeta = m.startsWith(u"PX-9");
            const auto real = [](float limit) { return limit != 0 && limit != LimitNone; };
            // Kappa models also name units 4 and 5.
            for (int u = 1; u <= t.UnitsCount || (u <= 5 && !t.logText(u).isEmpty()); ++u) {
                const QByteArray at = m.toLatin1() + " units " + QByteArray::number(u);
                QVERIFY2(graph::FindVerticalScale(t.logText(u)), at);
                float top = 0, over = 0, under = 0, lowest = 0;
                for (int r = 1; r <= t.maxRange(u); ++r) {
                    const auto scale = graph::FindVerticalScale(t.scaleText(u, r));
                    QVERIFY2(scale && !scale->log && scale->centre * 2 > top,
                             at + " range " + QByteArray::number(r));
                    top = scale->centre * 2;
                    const float lo = t.underRange(u, r), hi = t.overRange(u, r);
                    QVERIFY2(!real(lo) || !real(hi) || hi > lo, at);
                    // A Zeta model's ranges 1, 4 and 5 share one pair of limits.
                    QVERIFY2(!real(hi) || hi > over || (zeta && hi == over), at);
                    QVERIFY2(!real(lo) || lo > under || (zeta && lo == under), at);
                    over = real(hi) ? hi : over;
                    under = real(lo) ? lo : under;
                    if (lowest == 0) lowest = under;
                }
                // The PX-5500/5505 keeps its scale texts of units 2 and 3 apart from its limits.
                const auto log = graph::FindVerticalScale(t.logText(u));
                if (m != u"PX-5500/5505" && lowest > 0 && over > 0 &&
                    !(log->bottom() < lowest && log->top >= over))
                    narrowLogs << QString::fromLatin1(at) + ": " + t.logText(u);
                for (int r = t.maxRange(u) + 1; r <= 5 && u <= 3; ++r)
                    QVERIFY2(t.overRange(u, r) == LimitNone, at);
            }
            QVERIFY(t.scaleText(1, 0).isEmpty() || graph::FindVerticalScale(t.scaleText(1, 0)));
        }
        QCOMPARE(narrowLogs, QStringList());
    }

    // "<cell> = <expected>" after installing the row's models in turn: one model of each family
    // in full, and what a model leaves of the one before. A key without its last number (range,
    // or units of max) lists the values of 1, 2, ... in turn.
    void tables_data() {
        QTest::addColumn<QString>("models");
        QTest::addColumn<QStringList>("checks");
        const auto row = [](const char* models, QStringList checks) {
            QTest::newRow(*models ? models : "constructed") << QString(models) << checks;
        };
        row("", {"max = 4 4 4 4 4", "minread = 66", "mux = 0", "units = 3", "scale 1 5 = "});
        // An unknown name restores the default texts, multipliers and timing and keeps the
        // limits of ranges 1 to 3.
        row("PX-5200 RA|none",
            {"scale 6 1 = ", "scale 1 6 = ", "scale -1 1 = ", "log 6 = ", "log -1 = ",
             "mult 4 1 = 1", "mult 1 -1 = 1", "under 6 1 = 0", "over 1 6 = 0", "max 6 = 0",
             "max -1 = 0", "minread = 50", "scale 1 = 0-10 0-35 0-100 0-350", "mult 1 = 1 1 1 1",
             "log 1 = Log 10-100k", "under 1 = 100 316.2 1000 12345", "over 3 5 = 12345"});
        row("PX-2100", {"scale 1 0 = Log 0.1-1000", "max = 5 4 4", "units = 1", "minread = 140",
                        "mult 2 = 1 1 1 1000 1000", "over 1 = 10 31.62 100 316.2 1000"});
        row("PX-5100",
            {"max = 4 4 4", "units = 3", "mux = 1", "minread = 60",
             "scale 2 = 0-0.03 0-0.3 0-3 0-30", "log 1 = Log 0.1-1000", "log 2 = Log 0.001-100",
             "log 3 = Log 1-100k", "under 1 = 1 10 31.62 100 12345",
             "over 1 = 10 31.62 100 316.2 12345", "under 2 = 0.003 0.027 0.265 2.653 12345",
             "over 2 = 0.027 0.265 2.653 26.53 12345", "under 3 = 10 100 1000 10000 12345",
             "over 3 = 100 1000 10000 100000 12345", "mult 1 = 1 1 1 1",
             "mult 2 = 1 1000 1000 1000", "mult 3 = 1 1 1 1"});
        // The PX-5200 RDE leaves units 3 to the defaults and to the probe before.
        row("PX-5200 RA|PX-5200 RDE", {"units = 2", "scale 3 4 = 0-30", "over 3 3 = 377"});
        // Kappa models set only the lower limit of range 1 and the full scale of range 4.
        row("PX-5200 RA|E310", {"minread = 330", "mux = 0", "max = 4 4 4 4 4",
                                "scale 4 = 0-3 0-10 0-30 0-100", "log 2 = Log 0.01m-1000",
                                "under 1 = 0.3 316.2 1000 12345", "over 1 = 316.2 1000 3162 850",
                                "over 2 4 = 191.6", "under 4 1 = 0.239", "over 4 4 = 999.9"});
        row("PX-9100", {"max = 5 5 5", "scale 2 = 0-100 0-1000 0-10k 0-100k 0-1M",
                        "log 3 = Log 0.01m-1000", "mux = 1", "under 1 = 0.5 0 0 0.5 0.5",
                        "over 2 = 810000 0 0 810000 810000", "over 3 5 = 214.9"});
        row("PX-5200 RA|PX-9120",
            {"under 1 2 = 316.2", "mult 1 2 = 1000", "minread = 50", "over 2 1 = 640000"});
        // A probe nobody recognised after a Zeta probe is not read axis by axis.
        row("PX-9100|none", {"mux = 0"});
    }
    void tables() {
        QFETCH(QString, models);
        QFETCH(QStringList, checks);
        const ModelTables t = installed(models);
        for (const QString& check : checks) {
            const QString key = check.section(QStringLiteral(" = "), 0, 0);
            const QString expected = check.section(QStringLiteral(" = "), 1);
            const QStringList k = key.split(u' ');
            const bool row = k.size() == (k[0] == u"max" ? 1 : 2) &&
                             QStringList{"max", "scale", "mult", "under", "over"}.contains(k[0]);
            QStringList cells;
            for (qsizetype i = 1; i <= (row ? expected.count(u' ') + 1 : 1); ++i)
                cells << cellOf(t, row ? key + u' ' + QString::number(i) : key);
            QCOMPARE(key + QStringLiteral(" = ") + cells.join(u' '), check);
        }
    }

    // The composite of a field strength is the root of the squares (13), that of a squared field
    // or a power density the sum (19); no units text, no composite.
    void unitsText_data() {
        QTest::addColumn<QByteArray>("code");
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("range");
        QTest::addColumn<QString>("expected");
        const float root = std::sqrt(0.06f), square = 0.06f;
        const auto row = [](const char* code, const char* model, int state, int range, QString text,
                            int kind, float factor, float mult = -1, const char* message = "") {
            const float composite = text.isEmpty() ? 0 : text.endsWith(Two) ? 19 : 13;
            QTest::addRow("'%s' %s state %d range %d", code, model, state, range)
                << QByteArray(code) << QString(model) << state << range
                << describe({text, kind, factor, mult, message}, composite);
        };
        const char* known = "PX-5200 RA";
        row(" V ", known, 0, 1, "V/m", 1, root);
        row("KV ", "PX-2200", 0, 2, "V/m", 1, root);
        row("MW2", known, 0, 1, "mW/cm" + Two, 3, square);
        row("MW2", "E310", 3, 1, "mW/cm" + Two, -1, square);
        row(" W2", known, 0, 1, "mW/cm" + Two, 3, square);
        row(" W2", "H420", 3, 1, "W/cm" + Two, -1, square);
        row(" V2", "PX-5200 RBE", 0, 1, "(V/m)" + Two, 2, square);
        row("KV2", "PX-5100", 0, 1, "(V/m)" + Two, 2, square);
        row(" V2", "PX-5200 RFE", 0, 1, "k(V/m)" + Two, 2, square);
        row("KV2", "PX-5200 RGE", 0, 1, "k(V/m)" + Two, 2, square);
        row("MA ", known, 0, 1, "mA/m", 1, root);
        row(" A ", known, 0, 1, "mA/m", 1, root);
        row("MA2", known, 0, 1, "m(A/m)" + Two, 2, square);
        row(" A2", known, 0, 1, "m(A/m)" + Two, 2, square);
        row(" M ", "PX-2100", 0, 1, "mA", 2, root);
        row("   ", "PX-2200", 0, 0, "mA", 2, root);
        row("UW2", known, 0, 1, "uW/cm" + Two, -1, -1);
        row("XYZ", known, 0, 1, "", -1, -1, -1, "units not known");
        // Before any model the texts follow the code literally.
        const QStringList texts =
            QString("V/m k(V/m) mW/cm² W/cm² (V/m)² k(V/m)² m_A/m A/m m(A/m)² (A/m)² mA A")
                .split(u' ');
        const int kinds[] = {1, 1, 3, 3, 2, 2, 1, 1, 2, 2, -1, -1};
        int i = 0;
        for (const char* code :
             {" V ", "KV ", "MW2", " W2", " V2", "KV2", "MA ", " A ", "MA2", " A2", " M ", "   "}) {
            const QString text = QString(texts[i]).replace(u'_', u' ');
            row(code, "", 2, 1, text, kinds[i++], text.endsWith(Two) ? square : root);
        }
        row("UW2", "", 2, 1, "", -1, -1, -1, "Units Not Known");
        // The low current range of the PX-2100 reads mA whatever the code says.
        row(" M ", "PX-2100", 0, 0, "mA", -1, root, 1);
        row("   ", "PX-2100", 0, 0, "mA", -1, root, 1000);
        row(" V ", "PX-2100", 0, 0, "mA", -1, root, -1);
    }
    void unitsText() {
        QFETCH(QByteArray, code);
        QFETCH(QString, model);
        QFETCH(int, state);
        QFETCH(int, range);
        const UnitsLookup u = UnitsCodeToText(code, model, state, range);
        QTEST(describe(u, CompositeOf(u.text, 3, 4, 12)), "expected");
    }

    // Kappa units codes, the units number a Sigma model is put back to, and texts that are no
    // units to a composite.
    void otherUnitsLookups() {
        const std::tuple<const char*, QString, int> rows[] = {
            {" V ", "V/m", 1},       {"MW2", "mW/cm" + Two, 2},
            {" W2", "W/m" + Two, 3}, {"UW2", "uW/cm" + Two, 4},
            {"MA ", "mA/m", 5},      {" A ", "A/m", 1},
            {"KV ", "", 0},          {"", "", 0}};
        for (const auto& [code, text, index] : rows) {
            const KappaUnitsLookup r = UnitsCodeToTextKappa(code);
            QCOMPARE(std::tuple(r.text, r.unitsIndex, r.message),
                     std::tuple(text, index, index ? QString() : QString("Units Not Known")));
        }
        const std::tuple<const char*, const char*, int> restored[] = {
            {"PX-5100", " V ", 1},     {"PX-5500/5505", "MW2", 2},
            {"PX-5560", "KV2", 3},     {"PX-5560", " A ", 0},
            {"PX-5200 RBE", " V2", 2}, {"PX-5530", "MW2", 3},
            {"PX-5200 RGE", " V ", 1}, {"PX-5200 RA", "MA ", 1},
            {"PX-5200 REE", "MA2", 2}, {"PX-5200 RCE", "MW2", 3},
            {"PX-5200 RCE", " V ", 0}, {"PX-5570", " A ", 1},
            {"PX-5570", "MW2", 2},     {"PX-5570", " A2", 3},
            {"PX-2100", "   ", 0},     {"", " V ", 0}};
        for (const auto& [model, code, units] : restored)
            QVERIFY2(RestoreUnitsNumber(model, code) == units, qPrintable(model + QString(code)));
        for (const char* u : {"unknown", "v/m", "mW/cm", "V/m ", "\xB2"})
            QVERIFY2(CompositeOf(QString::fromLatin1(u), 3, 4, 12) == 0, u);
    }

    // Readings and range limits as text.
    void numberTexts() {
        const std::pair<float, const char*> readings[] = {
            {9.9994f, "9.999"}, {9.9996f, "10.000"}, {10, "10.00"},       {99.99f, "99.99"},
            {100, "100.0"},     {999.94f, "999.9"},  {999.96f, "1000.0"}, {1000, "1000"},
            {1234.4f, "1234"},  {0, "0.000"},        {-5, "-5.000"},      {-1500, "-1500.000"}};
        for (const auto& [value, text] : readings)
            QCOMPARE(AdjustStrLen(value), QString(text));
        const std::pair<float, const char*> limits[] = {
            {1, "1.0"},        {0.0000663f, "0.000066"}, {0.0000004f, "0.0"}, {9.99f, "9.99"},
            {10, "10"},        {1234.567f, "1234.567"},  {9999, "9999"},      {9999.4f, "9,999"},
            {10000, "10,000"}, {1234567, "1,234,567"}};
        for (const auto& [value, text] : limits)
            QCOMPARE(FormatRangeValue(value), QString(text));
    }

    // Well-formed replies of each family pass; each field garbled in turn is refused.
    void wellFormedReplies_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<char>("kind"); // S Sigma data, K Kappa data, R range, B battery, T temp.
        QTest::addColumn<bool>("good");
        const auto row = [](const char* name, const QByteArray& reply, char kind, bool good) {
            QTest::newRow(name) << reply << kind << good;
        };
        const QByteArray sigma = SigmaData(" 12.5", " V ", 51, 'O', 'N', "EDD");
        row("Sigma", sigma, 'S', true);
        row("Sigma, other mode", "#Q" + sigma.mid(2), 'S', true);
        for (const char* value : {"-1.25", ".0123", "  130", "99999"})
            row(value, SigmaData(value, "KV2"), 'S', true);
        row("current probe, no units", SigmaData("1.000", "   "), 'S', true);
        row("Kappa", ":D 3.25UW2\r", 'K', true);
        row("range", ":R0\r", 'R', true);
        row("battery", ":B4.040\r", 'B', true);
        row("temperature", ":T  74F\r", 'T', true);
        const std::tuple<const char*, qsizetype, char> garbles[] = {
            {"framing", 0, '}'},     {"letter", 1, 'X'},   {"value", 3, '!'},
            {"value point", 2, '.'}, {"units", 8, '^'},    {"bar", 11, ';'},
            {"over flag", 13, '~'},  {"battery", 14, '|'}, {"axes", 16, 'X'}};
        for (const auto& [name, at, noise] : garbles)
            row(qPrintable(QStringLiteral("Sigma %1").arg(name)),
                QByteArray(sigma).replace(at, 1, QByteArray(1, noise)), 'S', false);
        row("Sigma bar over 255", SigmaData(" 12.5", " V ", 256), 'S', false);
        row("Sigma short", sigma.left(18), 'S', false);
        row("Sigma long", sigma + "\r", 'S', false);
        row("Kappa units", ":D 3.25KV2\r", 'K', false);
        row("Kappa value", ":D 3}25UW2\r", 'K', false);
        row("range digit", ":R7\r", 'R', false);
        row("battery value", ":B4.0!0\r", 'B', false);
        row("temperature value", ":T  7^F\r", 'T', false);
    }
    void wellFormedReplies() {
        QFETCH(QByteArray, reply);
        QFETCH(char, kind);
        const QMap<char, bool (*)(const QByteArray&)> check{{'S', SigmaDataWellFormed},
                                                            {'K', KappaDataWellFormed},
                                                            {'R', RangeReplyWellFormed},
                                                            {'B', BatteryReplyWellFormed},
                                                            {'T', TemperatureReplyWellFormed}};
        QTEST(check[kind](reply), "good");
    }

    // Reading i taken with averaging count counts[i], the holds paused by "paused": the average
    // (and its percent, unless -1), the peak and the minimum; cleared, the holds take the next.
    void channel_data() {
        QTest::addColumn<Ints>("counts");
        QTest::addColumn<Floats>("values");
        QTest::addColumn<Ints>("percents");
        QTest::addColumn<int>("avgPercent");
        QTest::addColumn<Floats>("averagedPeakMinimum");
        QTest::addColumn<int>("paused");
        const auto row = [](const char* name, Ints counts, Floats values, Ints percents, int pct,
                            Floats expected, int paused = 0) {
            QTest::newRow(name) << counts << values << percents << pct << expected << paused;
        };
        row("count 0 is off", {0, 0}, {4, 7}, {9, 8}, -1, {7, 7, 4});
        row("count 1 is off", {1, 1}, {4, 7}, {9, 8}, -1, {7, 7, 4});
        row("5: first", {5}, {10}, {53}, 11, {2, 10, 10});
        row("5: fifth is the mean", Ints(5, 5), {1, 2, 3, 4, 5}, {5, 6, 7, 8, 9}, 7, {3, 5, 1});
        row("5: sixth", Ints(6, 5), {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}, 4, {4, 6, 1});
        row("lowered below index", {5, 5, 5, 5, 2}, {1, 2, 3, 4, 10}, {10, 20, 30, 40, 50}, 35,
            {6, 10, 1});
        row("raised keeps the ring", {2, 2, 2, 4}, {1, 2, 3, 4}, {1, 2, 3, 4}, 2, {1.75f, 4, 1});
        row("unaveraged skips ring", {3, 3, 1, 3}, {3, 6, 100, 9}, {3, 6, 100, 9}, 6, {6, 100, 3});
        row("count above 50 is 50", {80}, {100}, {100}, 2, {2, 100, 100});
        row("percent 2.5 to even", {2, 2}, {1, 1}, {2, 3}, 2, {1, 1, 1});
        row("holds tracking", Ints(4, 5), {5, 2, 9, 3}, Ints(4, 0), 0, {3.8f, 9, 2});
        row("negative stays below peak 0", {5}, {-3}, {0}, 0, {-0.6f, 0, -3});
        row("holds paused 1", {5, 5}, {5, 2}, {0, 0}, 0, {1.4f, 0, 9999999}, 1);
        row("holds paused -1 track", {5}, {5}, {0}, 0, {1, 5, 5}, -1);
    }
    void channel() {
        QFETCH(Ints, counts);
        QFETCH(Floats, values);
        QFETCH(Ints, percents);
        QFETCH(int, avgPercent);
        QFETCH(int, paused);
        ReadingChannel channel(9999999.f);
        for (qsizetype i = 0; i < values.size(); ++i)
            channel.take(values[i], percents[i], counts[i], paused);
        QTEST((Floats{channel.averaged(), channel.peak(), channel.minimum()}),
              "averagedPeakMinimum");
        QCOMPARE(std::pair(channel.raw(), channel.barPercent()),
                 std::pair(values.last(), percents.last()));
        if (avgPercent >= 0) QCOMPARE(channel.avgPercent(), avgPercent);
        channel.clearPeak();
        channel.clearMinimum();
        channel.take(7, 0, 5, 0);
        QCOMPARE((Floats{channel.peak(), channel.minimum()}), (Floats{7, 7}));
    }

    void val_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("value");
        const std::pair<const char*, double> rows[] = {
            {" 12.5", 12.5}, {"\t1 2\n3", 123}, {"1\r2", 1},  {"-3e2", -300},
            {"1.5D1", 15},   {"25E-1x", 2.5},   {"7e+", 7},   {"12abc", 12},
            {"1.2.3", 1.2},  {"", 0},           {":", 0},     {"--5", 0},
            {"  +7.", 7},    {".5", 0.5},       {"&H1F", 31}, {"& hffg", 255},
            {"&O178", 15},   {"&Z7", 0},        {"1,5", 1},   {"0123.450", 123.45}};
        for (const auto& [text, value] : rows)
            QTest::addRow("%s", QByteArray(text).toPercentEncoding().constData())
                << QByteArray(text) << value;
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("garbage bytes") << QByteArray("\xff\x00\x80", 3) << 0.0;
        QTest::newRow("NUL stops") << QByteArray::fromHex("340032") << 4.0;
        QTest::newRow("400 nines") << QByteArray(400, '9') << inf;
        QTest::newRow("500 zeros, then 1") << "0." + QByteArray(500, '0') + "1" << 0.0;
        QTest::newRow("huge exponent") << "-1e" + QByteArray(40, '9') << -inf;
        QTest::newRow("tiny exponent") << "1e-" + QByteArray(40, '9') << 0.0;
    }
    void val() {
        QFETCH(QByteArray, text);
        QTEST(Val(text), "value");
    }

    // The stream cut into records: whole records are taken however the line splits or joins
    // them; a broken record and noise are dropped up to the next carriage return.
    void streamRecords_data() {
        using Chunks = QList<QByteArray>;
        QTest::addColumn<Chunks>("chunks");
        QTest::addColumn<Ints>("taken"); // records taken from each chunk
        const QByteArray r = ":S3E83E83E8000000N\r";
        QTest::newRow("one") << Chunks{r} << Ints{1};
        QTest::newRow("split") << Chunks{r.left(7), r.mid(7)} << Ints{0, 1};
        QTest::newRow("three at once") << Chunks{r + r + r} << Ints{3};
        QTest::newRow("short record") << Chunks{r.left(17) + "\r" + r} << Ints{1};
        QTest::newRow("noise") << Chunks{"#@!x\r" + r + r} << Ints{2};
        QTest::newRow("cut short") << Chunks{r.left(10) + r, r} << Ints{1, 1};
        QTest::newRow("not a sample") << Chunks{":T3E83E83E8000000N\r"} << Ints{0};
        QTest::newRow("long noise, then a record") << Chunks{QByteArray(40, 'x'), r} << Ints{0, 1};
    }
    void streamRecords() {
        QFETCH(QList<QByteArray>, chunks);
        StreamReader reader(19);
        Ints counts;
        for (const QByteArray& chunk : chunks)
            counts << reader.Read(chunk, [](const QByteArray& record) {
                QCOMPARE(record, QByteArray(":S3E83E83E8000000N\r"));
            });
        QTEST(counts, "taken");
    }

    // Replies cut from what the port delivers: each whole at its carriage return, from its last
    // reply mark; what came before the mark goes with it. "^" marks a command sent: a reply
    // begun before it is told apart ("<" in front).
    void replyFramer_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArray>("replies"); // separated by "|"
        const QByteArray d = ":D 12.5 V 128 NEEE\r";
        QTest::newRow("one") << d << d;
        QTest::newRow("two at once") << ":R2\r" + d << ":R2\r|" + d;
        QTest::newRow("the end lost, then the next") << d.left(9) + d << d;
        QTest::newRow("noise in front") << "~|!" + d << d;
        QTest::newRow("noise with an end, no mark") << QByteArray("~|!\r") << QByteArray("~|!\r");
        QTest::newRow("begun before the command") << ":R2^\r" + d << "<:R2\r|" + d;
        QTest::newRow("noise without an end, then a reply")
            << QByteArray(3000, 'x') + d << QByteArray(d);
        const QByteArray m = ":M" + QByteArray(576, 'A') + "\r";
        QTest::newRow("the calibration, whole") << m << m;
    }
    void replyFramer() {
        QFETCH(QByteArray, line);
        ReplyFramer framer;
        QByteArrayList replies;
        QByteArray reply;
        bool before = false;
        // Character by character, and all at once: the same replies.
        for (const int step : {1, int(line.size())}) {
            replies.clear();
            for (qsizetype at = 0; at < line.size(); at += step) {
                const QByteArrayList parts = line.mid(at, step).split('^');
                for (qsizetype i = 0; i < parts.size(); ++i) {
                    if (i > 0) framer.Mark();
                    framer.Append(parts[i]);
                }
                while (framer.Next(&reply, &before))
                    replies << (before ? "<" + reply : reply);
            }
            QTEST(replies.join('|'), "replies");
            QCOMPARE(framer.Pending(), 0);
        }
    }
};

QTEST_GUILESS_MAIN(ProbeTablesTest)
#include "tst_probe_tables.moc"
