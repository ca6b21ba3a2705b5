#include "probe/ModelTables.h"

#include <QTest>
#include <cmath>

using namespace probe;

using Step = QPair<int, QByteArray>;
using Steps = QList<Step>;

namespace {

const float Root = std::sqrt(0.06f);
const QString Two = QString(SuperTwo);

// A data reply with the units code at positions 8-10 and the axes field at 16-18.
QByteArray data(const char* units, const char* axes = "DEE") {
    return QByteArray(":D12.34") + units + "128 N" + axes + "\r";
}

// The replies of a characterisation run of a four-range probe in V/m, with the row's own replies
// laid over them.
std::array<QByteArray, 33> characterise(const Steps& own) {
    static const char* const commands[] = {"R",  "R5", "R5", "D2", "R1", "ADEE", "U1",   "R1",
                                           "D2", "R2", "D2", "U2", "R1", "D2",   "R2",   "D2",
                                           "U3", "R3", "D2", "U1", "R4", "D2",   "AEEE", "R3"};
    std::array<QByteArray, 33> replies;
    for (int k = 0; k <= 23; ++k) {
        const QByteArray command(commands[k]);
        if (command == "R")
            replies[k] = ":R3\r";
        else if (command == "R5")
            replies[k] = ":R4\r";
        else if (command == "D2")
            replies[k] = data(" V ");
        else
            replies[k] = ":" + command.left(command.startsWith('R') ? 2 : 1) + "\r";
    }
    for (const Step& step : own)
        replies[step.first] = step.second;
    return replies;
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

// One cell check: "<cell> [a] [b] = <expected>"; returns the fault, or an empty text.
QString checkCell(const ModelTables& t, const QString& check) {
    const QString expected = check.section(QStringLiteral(" = "), 1);
    const QStringList key = check.section(QStringLiteral(" = "), 0, 0).split(u' ');
    const QString& cell = key[0];
    const int a = key.value(1).toInt();
    const int b = key.value(2).toInt();
    const QString fault = check + QStringLiteral(" but is ");
    if (cell == u"scale" || cell == u"log") {
        const QString actual = cell == u"scale" ? t.scaleText(a, b) : t.logText(a);
        return actual == expected ? QString() : fault + actual;
    }
    float number = 0;
    if (cell == u"max")
        number = t.maxRange(a);
    else if (cell == u"units")
        number = t.UnitsCount;
    else if (cell == u"mux")
        number = t.MuxAvail;
    else if (cell == u"minread")
        number = t.MinReadTime;
    else if (cell == u"mult")
        number = t.multiplier(a, b);
    else if (cell == u"under")
        number = t.underRange(a, b);
    else if (cell == u"over")
        number = t.overRange(a, b);
    else
        return check + QStringLiteral(": no such cell");
    bool ok = false;
    const float wanted = expected.toFloat(&ok);
    return ok && number == wanted ? QString() : fault + QString::number(number);
}

} // namespace

class TestModels : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void findProbeType_data();
    void findProbeType();
    void tables_data();
    void tables();
    void unitsText_data();
    void unitsText();
    void kappaUnits_data();
    void kappaUnits();
    void restoreUnits_data();
    void restoreUnits();
    void formatRangeValue_data();
    void formatRangeValue();
};

void TestModels::findProbeType_data() {
    QTest::addColumn<Steps>("own");
    QTest::addColumn<QString>("model");
    QTest::addColumn<bool>("single");
    const auto row = [](const char* name, Steps own, const char* model, bool single) {
        QTest::newRow(name) << own << QString(model) << single;
    };
    const QByteArray r5 = ":R5\r";
    row("R5 at 2, blanks at 3", {{2, r5}, {3, data("   ")}}, "PX-2100", true);
    row("R5 at 2, KV at 3", {{2, r5}, {3, data("KV ")}}, "PX-2200", true);
    row("R5 at 1 only, blanks at 2", {{1, r5}, {2, data("   ")}}, "PX-2100", true);
    row("R5 at 1 only, KV at 2", {{1, r5}, {2, data("KV ")}}, "PX-2200", true);
    row("R5 at 1 and 2, blanks at 3", {{1, r5}, {2, r5}, {3, data("   ")}}, "PX-2100", true);
    row("R5 at 1 only, KV at 3", {{1, r5}, {3, data("KV ")}}, "", false);
    row("R5 skips the other rules", {{2, r5}, {3, data(" V ")}, {8, data(" A ")}}, "", false);
    row("REE", {{8, data(" A ")}}, "PX-5200 REE", false);
    row("REE before RFE", {{8, data(" A ")}, {13, data(" V2")}, {21, data("KV ")}}, "PX-5200 REE",
        false);
    row("RFE before RBE and 5530",
        {{13, data(" V2")}, {21, data("KV ")}, {15, data("KV2")}, {18, data("MW2")}}, "PX-5200 RFE",
        false);
    row("RBE before 5530", {{13, data(" V2")}, {15, data("KV2")}, {18, data("MW2")}}, "PX-5200 RBE",
        false);
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

void TestModels::findProbeType() {
    QFETCH(Steps, own);
    QFETCH(bool, single);
    std::array<QByteArray, 33> replies = characterise(own);
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

void TestModels::tables_data() {
    QTest::addColumn<QString>("models");
    QTest::addColumn<QStringList>("checks");
    const auto row = [](const char* models, QStringList checks) {
        QTest::newRow(*models ? models : "constructed") << QString(models) << checks;
    };
    row("", {"max 5 = 4", "minread = 66", "mux = 0", "units = 3", "scale 3 1 = 0-0.03",
             "scale 2 4 = 0-100k", "scale 1 5 = ", "mult 3 5 = 1", "under 1 1 = 0"});
    row("none", {"scale 6 1 = ", "scale 1 6 = ", "scale -1 1 = ", "log 6 = ", "log -1 = ",
                 "mult 4 1 = 1", "mult 1 -1 = 1", "under 6 1 = 0", "over 1 6 = 0", "max 6 = 0",
                 "max -1 = 0", "minread = 50", "under 1 4 = 12345", "over 3 5 = 12345"});
    row("PX-2100", {"scale 1 0 = Log 0.1-1000", "scale 1 5 = 0-1000", "log 1 = Log 0.1-1000",
                    "max 1 = 5", "max 2 = 4", "units = 1", "mux = 0", "minread = 140",
                    "mult 2 4 = 1000", "mult 2 5 = 1000", "mult 2 3 = 1", "mult 1 4 = 1",
                    "under 1 2 = 3.162", "over 1 5 = 1000", "under 2 4 = 12345"});
    row("PX-2200", {"scale 1 4 = 0-4k", "scale 1 5 = 0-40k", "log 1 = Log 1-100k", "minread = 41",
                    "over 1 5 = 40000", "under 1 5 = 4000", "mult 1 3 = 1000", "mult 1 5 = 1000",
                    "mult 1 2 = 1", "mult 2 4 = 1"});
    row("PX-5100", {"scale 2 1 = 0-0.03", "scale 3 4 = 0-100k", "log 2 = Log 0.001-100",
                    "log 3 = Log 10-100k", "minread = 60", "mux = 1", "under 2 4 = 2.653",
                    "over 3 4 = 100000", "mult 2 2 = 1000", "mult 2 1 = 1"});
    row("PX-5200 RA",
        {"scale 1 1 = 0-350", "scale 1 3 = 0-3500", "scale 3 4 = 0-4k", "log 2 = Log 1-1M",
         "under 1 4 = 3162", "over 1 4 = 10000", "under 3 1 = 0.377", "over 3 4 = 3770",
         "mult 1 2 = 1000", "mult 3 4 = 1000", "mult 3 3 = 1", "mult 1 1 = 1"});
    row("PX-5200 RBE", {"under 1 1 = 3.16", "log 2 = Log 10-100k", "log 3 = Log 0.001-100",
                        "mult 2 2 = 1000", "mult 1 4 = 1"});
    row("PX-5200 RCE", {"scale 2 1 = 0-10", "scale 3 1 = 0-0.4", "scale 1 4 = 0-3500",
                        "scale 3 4 = 0-400", "log 1 = Log 1-10k", "under 3 1 = 0.038",
                        "over 2 4 = 10000", "mult 1 3 = 1000", "mult 1 2 = 1", "mult 2 4 = 1000"});
    // The PX-5200 RDE leaves units 3 to the defaults and to the probe before.
    row("PX-5200 RA|PX-5200 RDE",
        {"units = 2", "scale 1 2 = 0-3.5", "log 1 = Log 0.1-100", "log 3 = Log 0.1-10k",
         "scale 3 4 = 0-30", "under 3 1 = 0.377", "over 3 3 = 377", "under 3 4 = 12345",
         "mult 1 2 = 1", "mult 3 4 = 1"});
    row("PX-5200 REE", {"scale 3 4 = 0-40k", "log 3 = Log 1-10k", "over 3 4 = 37700",
                        "under 3 1 = 3.77", "mult 3 3 = 1000", "mult 3 2 = 1"});
    row("PX-5200 RFE",
        {"scale 1 1 = 0-35", "scale 3 4 = 0-300", "log 1 = Log 1-1000", "log 3 = Log 0.01-1000",
         "over 3 4 = 265.3", "mult 2 1 = 0.001", "mult 1 4 = 1000", "mult 1 3 = 1"});
    row("PX-5200 RGE",
        {"max 1 = 4", "max 2 = 3", "max 3 = 4", "scale 2 3 = 0-1000", "scale 2 4 = 0-100k",
         "scale 3 4 = 0-3000", "log 1 = Log 10-10k", "under 2 4 = 12345", "over 2 3 = 1000",
         "over 3 4 = 2653", "mult 1 3 = 1000", "mult 3 4 = 1000", "mult 2 3 = 1"});
    row("PX-5530", {"under 1 1 = 2", "log 1 = Log 1-1000", "log 2 = Log 0.1-1000",
                    "log 3 = Log 1-1000", "mult 2 3 = 1000", "mult 2 2 = 1"});
    row("PX-5500/5505", {"scale 2 1 = 0-100", "scale 3 4 = 0-30", "log 2 = Log 10-100k",
                         "log 3 = Log 0.001-100", "under 2 1 = 0.003", "under 3 1 = 10",
                         "over 3 4 = 100000", "minread = 38", "mux = 0", "mult 2 2 = 1000"});
    row("PX-5560", {"max 1 = 3", "max 2 = 3", "max 3 = 3", "scale 2 3 = 0-1M", "scale 1 4 = 0-350",
                    "log 2 = Log 0.01-1000", "under 1 4 = 12345", "over 3 3 = 1000",
                    "under 2 1 = 0.265", "mult 1 3 = 1000", "mult 1 4 = 1"});
    row("PX-5570",
        {"scale 1 2 = 0-300", "scale 3 4 = 0-10k", "log 1 = Log 10-10k", "under 1 2 = 83.89",
         "over 3 4 = 7037", "under 3 1 = 0.703", "mult 2 4 = 1000", "mult 1 2 = 1"});
    // Kappa models set only the lower limit of range 1 and the full scale of range 4.
    row("PX-5200 RA|E310",
        {"minread = 330", "units = 3", "mux = 0", "max 4 = 4", "max 5 = 4", "scale 4 1 = 0-3",
         "scale 3 1 = 0-0.3", "log 2 = Log 0.01m-1000", "log 4 = Log 0.1-1000", "under 1 1 = 0.3",
         "under 1 2 = 316.2", "over 1 1 = 316.2", "over 1 4 = 850", "over 2 4 = 191.6",
         "under 4 1 = 0.239", "over 4 4 = 999.9", "under 1 4 = 12345"});
    row("E310|H420", {"scale 5 4 = 0-1000", "scale 1 1 = 0-0.03", "log 5 = Log 1-1000",
                      "log 2 = Log 0.001-1000", "under 2 1 = 0.004", "under 5 1 = 10",
                      "over 5 4 = 999.9", "over 4 4 = 377", "over 1 4 = 10"});
    row("H420|E310", {"scale 5 1 = 0-30", "log 5 = Log 1-1000", "under 5 1 = 10"});
    row("PX-5200 RA|E999", {"scale 1 1 = 0-10", "minread = 50", "mult 1 2 = 1", "units = 3",
                            "log 1 = Log 10-100k", "under 1 1 = 100", "under 1 4 = 12345"});
    row("PX-2100|none", {"units = 3", "max 1 = 4", "scale 1 5 = 0-1000", "over 1 5 = 12345"});
    row("PX-9100", {"max 3 = 5", "scale 1 5 = 0-1000", "scale 2 5 = 0-1M", "scale 3 5 = 0-300",
                    "log 1 = Log 0.1-10k", "log 2 = Log 0.01-1M", "log 3 = Log 0.01m-1000",
                    "mux = 1", "under 3 1 = 0.0000663", "under 3 5 = 0.0000663",
                    "over 2 4 = 810000", "over 1 5 = 900", "under 2 1 = 0.25"});
    row("PX-9120",
        {"under 1 4 = 2", "over 2 1 = 640000", "under 3 5 = 0.001061", "over 3 1 = 170"});
    row("PX-9130", {"over 1 5 = 800", "under 2 4 = 4"});
    row("PX-5200 RA|PX-9100", {"under 1 2 = 316.2", "over 1 3 = 3162", "mult 1 2 = 1000",
                               "minread = 50", "scale 1 1 = 0-10"});
    row("PX-5500/5505|PX-9130", {"mux = 1"});
    // A probe nobody recognised after a Zeta probe is not read axis by axis.
    row("PX-9100|none", {"mux = 0"});
}

void TestModels::tables() {
    QFETCH(QString, models);
    QFETCH(QStringList, checks);
    const ModelTables t = installed(models);
    QStringList wrong;
    for (const QString& check : checks)
        if (const QString fault = checkCell(t, check); !fault.isEmpty()) wrong << fault;
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));
}

void TestModels::unitsText_data() {
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("range");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("kind");
    QTest::addColumn<float>("factor");
    QTest::addColumn<float>("currentMult");
    QTest::addColumn<QString>("message");
    const auto row = [](const char* code, const char* model, int state, int range, QString text,
                        int kind, float factor, float mult = -1, const char* message = "") {
        QTest::addRow("'%s' %s state %d range %d", code, model, state, range)
            << QByteArray(code) << QString(model) << state << range << text << kind << factor
            << mult << QString(message);
    };
    const char* known = "PX-5200 RA";
    row(" V ", known, 0, 1, "V/m", 1, Root);
    row("KV ", "PX-2200", 0, 2, "V/m", 1, Root);
    row("MW2", known, 0, 1, "mW/cm" + Two, 3, 0.06f);
    row("MW2", "E310", 3, 1, "mW/cm" + Two, -1, 0.06f);
    row(" W2", known, 0, 1, "mW/cm" + Two, 3, 0.06f);
    row(" W2", "H420", 3, 1, "W/cm" + Two, -1, 0.06f);
    row(" V2", "PX-5200 RBE", 0, 1, "(V/m)" + Two, 2, 0.06f);
    row("KV2", "PX-5100", 0, 1, "(V/m)" + Two, 2, 0.06f);
    row(" V2", "PX-5200 RFE", 0, 1, "k(V/m)" + Two, 2, 0.06f);
    row("KV2", "PX-5200 RGE", 0, 1, "k(V/m)" + Two, 2, 0.06f);
    row("MA ", known, 0, 1, "mA/m", 1, Root);
    row(" A ", known, 0, 1, "mA/m", 1, Root);
    row("MA2", known, 0, 1, "m(A/m)" + Two, 2, 0.06f);
    row(" A2", known, 0, 1, "m(A/m)" + Two, 2, 0.06f);
    row(" M ", "PX-2100", 0, 1, "mA", 2, Root);
    row("   ", "PX-2100", 0, 1, "mA", 2, Root);
    row("   ", "PX-2200", 0, 0, "mA", 2, Root);
    row("UW2", known, 0, 1, "uW/cm" + Two, -1, -1);
    row("XYZ", known, 0, 1, "", -1, -1, -1, "units not known");
    row("V", known, 0, 1, "", -1, -1, -1, "units not known");
    row(" V ", "", 2, 1, "V/m", 1, Root);
    row("KV ", "", 2, 1, "k(V/m)", 1, Root);
    row("MW2", "", 2, 1, "mW/cm" + Two, 3, 0.06f);
    row(" W2", "", 2, 1, "W/cm" + Two, 3, 0.06f);
    row(" V2", "", 2, 1, "(V/m)" + Two, 2, 0.06f);
    row("KV2", "", 2, 1, "k(V/m)" + Two, 2, 0.06f);
    row("MA ", "", 2, 1, "m A/m", 1, Root);
    row(" A ", "", 2, 1, "A/m", 1, Root);
    row("MA2", "", 2, 1, "m(A/m)" + Two, 2, 0.06f);
    row(" A2", "", 2, 1, "(A/m)" + Two, 2, 0.06f);
    row(" M ", "", 2, 1, "mA", -1, Root);
    row("   ", "", 2, 1, "A", -1, Root);
    row("UW2", "", 2, 1, "", -1, -1, -1, "Units Not Known");
    row("XYZ", "", 2, 1, "", -1, -1, -1, "Units Not Known");
    // The low current range of the PX-2100 reads mA whatever the code says.
    row(" M ", "PX-2100", 0, 0, "mA", -1, Root, 1);
    row("   ", "PX-2100", 0, 0, "mA", -1, Root, 1000);
    row(" V ", "PX-2100", 0, 0, "mA", -1, Root, -1);
}

void TestModels::unitsText() {
    QFETCH(QByteArray, code);
    QFETCH(QString, model);
    QFETCH(int, state);
    QFETCH(int, range);
    const UnitsLookup r = UnitsCodeToText(code, model, state, range);
    QTEST(r.text, "text");
    QTEST(r.fieldKind, "kind");
    QTEST(r.downFactor, "factor");
    QTEST(r.currentMult, "currentMult");
    QTEST(r.message, "message");
}

void TestModels::kappaUnits_data() {
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("index");
    QTest::newRow("V") << QByteArray(" V ") << "V/m" << 1;
    QTest::newRow("MW2") << QByteArray("MW2") << QString("mW/cm" + Two) << 2;
    QTest::newRow("W2") << QByteArray(" W2") << QString("W/m" + Two) << 3;
    QTest::newRow("UW2") << QByteArray("UW2") << QString("uW/cm" + Two) << 4;
    QTest::newRow("MA") << QByteArray("MA ") << "mA/m" << 5;
    QTest::newRow("A") << QByteArray(" A ") << "A/m" << 1;
    QTest::newRow("KV") << QByteArray("KV ") << "" << 0;
    QTest::newRow("empty") << QByteArray() << "" << 0;
}

void TestModels::kappaUnits() {
    QFETCH(QByteArray, code);
    QFETCH(int, index);
    const KappaUnitsLookup r = UnitsCodeToTextKappa(code);
    QTEST(r.text, "text");
    QCOMPARE(r.unitsIndex, index);
    QCOMPARE(r.message, index == 0 ? QStringLiteral("Units Not Known") : QString());
}

void TestModels::restoreUnits_data() {
    QTest::addColumn<QString>("model");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<int>("units");
    const auto row = [](const char* model, const char* code, int units) {
        QTest::addRow("%s '%s'", model, code) << QString(model) << QByteArray(code) << units;
    };
    row("PX-5100", " V ", 1);
    row("PX-5500/5505", "MW2", 2);
    row("PX-5560", "KV2", 3);
    row("PX-5560", " A ", 0);
    row("PX-5200 RBE", " V2", 2);
    row("PX-5530", "MW2", 3);
    row("PX-5200 RGE", " V ", 1);
    row("PX-5200 RA", "MA ", 1);
    row("PX-5200 REE", "MA2", 2);
    row("PX-5200 RCE", "MW2", 3);
    row("PX-5200 RCE", " V ", 0);
    row("PX-5570", " A ", 1);
    row("PX-5570", "MW2", 2);
    row("PX-5570", " A2", 3);
    row("PX-2100", "   ", 0);
    row("", " V ", 0);
}

void TestModels::restoreUnits() {
    QFETCH(QString, model);
    QFETCH(QByteArray, code);
    QTEST(RestoreUnitsNumber(model, code), "units");
}

void TestModels::formatRangeValue_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("text");
    const auto row = [](float value, const char* text) {
        QTest::addRow("%g", double(value)) << value << QString(text);
    };
    row(1, "1.0");
    row(3.162f, "3.162");
    row(0.0000663f, "0.000066");
    row(0.0000004f, "0.0");
    row(9.99f, "9.99");
    row(10, "10");
    row(31.62f, "31.62");
    row(999.9f, "999.9");
    row(1234.567f, "1234.567");
    row(3162, "3162");
    row(9999, "9999");
    row(9999.4f, "9,999");
    row(10000, "10,000");
    row(12345, "12,345");
    row(810000, "810,000");
    row(1234567, "1,234,567");
}

void TestModels::formatRangeValue() {
    QFETCH(float, value);
    QTEST(FormatRangeValue(value), "text");
}

QTEST_APPLESS_MAIN(TestModels)
#include "tst_models.moc"
