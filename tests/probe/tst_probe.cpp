// The probe session without a line: the model tables, what each reply does to the session and
// the readings built from it, whole command sequences of each family, the polling cycle on a
// scripted port and a manual clock, random replies in every state, and the virtual probe's own
// replies as the host reads them. Over a pseudo-terminal: tst_probeline, tst_noisyline.
#include "graph/VerticalScale.h"
#include "platform/fake/ManualClock.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "platform/fake/ScriptedSerialComm.h"
#include "probe/ModelTables.h"
#include "probe/PollingCycle.h"
#include "probe/Readings.h"
#include "probe/ReplyCheck.h"
#include "tests/support/ProbeKit.h"
#include "tools/probesim/VirtualProbe.h"
#include "tools/probesim/ZetaProbe.h"

#include <QRandomGenerator>
#include <QTest>
#include <cmath>
#include <limits>

using namespace kit;
using namespace probe;
using platform::ScriptedSerialComm;
using probesim::FieldPlan;
using D = ScriptedSerialComm::Delivery;
using Steps = QList<QPair<int, QByteArray>>;
using Ints = QList<int>;
using Floats = QList<float>;

namespace {
const float Root = std::sqrt(0.06f);
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
    return numbers.contains(k[0]) ? QString::number(numbers[k[0]], 'g', 9) : QString("?");
}

QByteArray ZetaIdent(const QByteArray& model4) {
    return ":I" + model4 + QByteArray(27, '0') + "\r";
}

const QStringList FullRun{"I",  "R",  "R",    "R5", "R5", "D2", "R1", "ADEE", "U1", "R1", "D2",
                          "R2", "D2", "U2",   "R1", "D2", "R2", "D2", "U3",   "R3", "D2", "U1",
                          "R4", "D2", "AEEE", "R2", "B",  "TF", "D2", "U1",   "D2"};

// The window's share of a session on the scripted PX-5100: port, read timer, clock, boxes, cycle.
struct Rig : Bench {
    Rig() : timer(clock.createTimer()), view(s), cycle(s, port, *timer, boxes, view) {
        view.cycle = &cycle;
    }
    // Lets the read timer tick n times, each after the interval the cycle set.
    void ticks(int n) {
        for (int i = 0; i < n; ++i) {
            port.deliverNotifications();
            clock.advance(timer->interval());
        }
    }
    // Starts the cycle with the scripted PX-5100 on the line and polls until it is in service.
    void startOnProbe(int portNo = 1) {
        port.setResponder([this](const QByteArray& c) {
            if (silent) return QByteArray();
            return bad.isEmpty() ? sigma.answer(c) : std::exchange(bad, QByteArray());
        });
        cycle.Start(portNo);
        ticks(40);
    }
    QStringList sent() const { return Plain(port.written()); }
    int processed() const { return int(view.processed.size()); }
    int writes() const { return int(port.written().size()); }

    platform::ManualClock clock;
    std::unique_ptr<platform::ManualHiResTimer> timer;
    ScriptedSerialComm port;
    platform::RecordingMessageBoxes boxes;
    RecordingView view;
    PollingCycle cycle;
    bool silent = false;
    QByteArray bad; // given once instead of the probe's reply
};

QByteArray RandomReply(QRandomGenerator& rng) {
    static const QByteArray prefixes[] = {":D", ":R", ":B", ":T", ":I", ":i", ":M", ":S", ":F",
                                          ":E", ":A", ":U", ":N", ":P", ":Z", "#Q", "#R", ""};
    // Short, medium, long or of a data reply's length.
    const int kind = rng.bounded(4);
    const int length = kind == 3 ? 19 : rng.bounded(std::array{4, 40, 700}[kind]);
    QByteArray reply(length, '\0');
    for (char& c : reply)
        c = char(rng.bounded(256));
    if (rng.bounded(3) != 0) {
        const QByteArray& prefix = prefixes[rng.bounded(int(std::size(prefixes)))];
        reply.replace(0, std::min<qsizetype>(prefix.size(), reply.size()), prefix);
    }
    return reply;
}

FieldPlan Constant(double x, double y, double z) {
    FieldPlan plan;
    for (int axis = 0; axis < 3; ++axis)
        plan.axes[axis].level = std::array{x, y, z}[axis];
    return plan;
}

// The host on a virtual probe, polled as the timer-mode polling cycle polls, from the link
// search on. The last reply to each command is kept.
struct HostOn : Bench {
    HostOn(const QString& model, const FieldPlan& plan)
        : probe(probesim::CreateProbe(model, plan)) {
        search([this](QByteArray command) {
            command.chop(1);
            return replies[command] = probe->answer(command, seconds += 0.05);
        });
    }
    // Polls until the host has named a model and is done characterising it.
    bool named(int state) {
        for (int i = 0; i < 200; ++i) {
            d->poll();
            if (!s.GetModel().isEmpty() && s.InitState() == 0 && s.TypeZeta() == state) return true;
        }
        return false;
    }

    std::unique_ptr<probesim::VirtualProbe> probe;
    double seconds = 0;
    QMap<QByteArray, QByteArray> replies;
};

// [axis][gain range - 1][segment - 1][a, b, p]
using Calibration = std::array<std::array<std::array<std::array<double, 3>, 2>, 4>, 3>;

// The host's reading of the calibration reply: undo the coding, 72 fields of eight characters,
// term fastest, then axis, then segment, then gain range.
bool Decode(QByteArray reply, Calibration* cal) {
    if (reply.size() != 579 || !reply.startsWith(":M") || !reply.endsWith('\r')) return false;
    reply.replace('A', '0').replace('B', '-').replace('D', '.');
    for (int f = 0; f < 72; ++f) {
        bool ok = false;
        (*cal)[f / 3 % 3][f / 18][f / 9 % 2][f % 3] = reply.mid(2 + 8 * f, 8).toDouble(&ok);
        if (!ok) return false;
    }
    return true;
}

// The host's field of one axis of a sample: gain code to gain range, segment by breakpoint.
double FieldOf(const Calibration& cal, int axis, int count, int gainCode) {
    const int range = gainCode == 0 ? 1 : gainCode == 1 ? 2 : gainCode == 16 ? 3 : 4;
    const int segment = count > std::array{550, 314, 1299, 525}[range - 1] ? 1 : 0;
    const auto& [a, b, p] = cal[axis][range - 1][segment];
    return a + b * std::pow(count, p);
}

} // namespace

class ProbeTest : public QObject {
    Q_OBJECT
    // A PX-5100 session in service: characterised, battery and temperature read, the first
    // data reply taken (which announces units and axes). Fresh for every test.
    std::unique_ptr<Bench> r;

private Q_SLOTS:
    void init() {
        r = std::make_unique<Bench>();
        QVERIFY(r->characterise());
        r->d->run(5);
    }

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
        row("R5 at 2, KV at 3", {{2, r5}, {3, data("KV ")}}, "PX-2200", true);
        row("R5 at 1 only, blanks at 2", {{1, r5}, {2, data("   ")}}, "PX-2100", true);
        row("R5 at 1 only, KV at 2", {{1, r5}, {2, data("KV ")}}, "PX-2200", true);
        row("R5 at 1 and 2, blanks at 3", {{1, r5}, {2, r5}, {3, data("   ")}}, "PX-2100", true);
        row("R5 at 1 only, KV at 3", {{1, r5}, {3, data("KV ")}}, "", false);
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
    // range, the full scale above the lower limit; no limits beyond the last range.
    void everyModelsTablesHoldTogether() {
        for (const char* m :
             {"PX-2100", "PX-2200", "PX-5100", "PX-5200 RA", "PX-5200 RBE", "PX-5200 RCE",
              "PX-5200 RDE", "PX-5200 REE", "PX-5200 RFE", "PX-5200 RGE", "PX-5530", "PX-5500/5505",
              "PX-5560", "PX-5570", "E310", "H420", "PX-9100", "PX-9120", "PX-9130"}) {
            const ModelTables t = installed(m);
            const bool zeta = QByteArray(m).startsWith("PX-9");
            const auto real = [](float limit) { return limit != 0 && limit != LimitNone; };
            // Kappa models also name units 4 and 5.
            for (int u = 1; u <= t.UnitsCount || (u <= 5 && !t.logText(u).isEmpty()); ++u) {
                const QByteArray at = m + QByteArray(" units ") + QByteArray::number(u);
                QVERIFY2(graph::FindVerticalScale(t.logText(u)), at);
                float top = 0, over = 0, under = 0;
                for (int r = 1; r <= t.maxRange(u); ++r) {
                    const auto scale = graph::FindVerticalScale(t.scaleText(u, r));
                    QVERIFY2(scale && !scale->log, at + " range " + QByteArray::number(r));
                    QVERIFY2(scale->centre * 2 > top, at + " range " + QByteArray::number(r));
                    top = scale->centre * 2;
                    const float lo = t.underRange(u, r), hi = t.overRange(u, r);
                    QVERIFY2(!real(lo) || !real(hi) || hi > lo, at);
                    // A Zeta model's ranges 1, 4 and 5 share one pair of limits.
                    QVERIFY2(!real(hi) || hi > over || (zeta && hi == over), at);
                    QVERIFY2(!real(lo) || lo > under || (zeta && lo == under), at);
                    over = real(hi) ? hi : over;
                    under = real(lo) ? lo : under;
                }
                for (int r = t.maxRange(u) + 1; r <= 5 && u <= 3; ++r)
                    QVERIFY2(t.overRange(u, r) == LimitNone, at);
            }
            QVERIFY(t.scaleText(1, 0).isEmpty() || graph::FindVerticalScale(t.scaleText(1, 0)));
        }
    }

    // "<cell> = <expected>" checks after installing the row's models in turn: one model of each
    // family in full, and what a model leaves of the one before. Of scale, mult, under and over
    // without a range, and of max without units, the expected values are those of ranges
    // (units) 1, 2, ... in turn.
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
             "log 3 = Log 10-100k", "under 1 = 1 10 31.62 100 12345",
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
        QStringList wrong;
        for (const QString& check : checks) {
            const QString key = check.section(QStringLiteral(" = "), 0, 0);
            const QStringList k = key.split(u' ');
            const bool row = k.size() == (k[0] == u"max" ? 1 : 2) &&
                             QStringList{"max", "scale", "mult", "under", "over"}.contains(k[0]);
            const QString all = check.section(QStringLiteral(" = "), 1);
            const QStringList values = row ? all.split(u' ') : QStringList{all};
            for (int i = 0; i < values.size(); ++i) {
                const QString cell = row ? key + u' ' + QString::number(i + 1) : key;
                const QString actual = cellOf(t, cell);
                bool number = false;
                if (actual != values[i] &&
                    !(actual.toFloat(&number) == values[i].toFloat() && number))
                    wrong << cell + QStringLiteral(" = ") + values[i] + QStringLiteral(" but is ") +
                                 actual;
            }
        }
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QStringLiteral("; "))));
    }

    void unitsText_data() {
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
        row("   ", "PX-2200", 0, 0, "mA", 2, Root);
        row("UW2", known, 0, 1, "uW/cm" + Two, -1, -1);
        row("XYZ", known, 0, 1, "", -1, -1, -1, "units not known");
        // Before any model the texts follow the code literally.
        const QStringList texts =
            QString("V/m k(V/m) mW/cm² W/cm² (V/m)² k(V/m)² m_A/m A/m m(A/m)² "
                    "(A/m)² mA A")
                .split(u' ');
        const int kinds[] = {1, 1, 3, 3, 2, 2, 1, 1, 2, 2, -1, -1};
        int i = 0;
        for (const char* code :
             {" V ", "KV ", "MW2", " W2", " V2", "KV2", "MA ", " A ", "MA2", " A2", " M ", "   "}) {
            const QString text = QString(texts[i]).replace(u'_', u' ');
            row(code, "", 2, 1, text, kinds[i++], text.endsWith(Two) ? 0.06f : Root);
        }
        row("UW2", "", 2, 1, "", -1, -1, -1, "Units Not Known");
        // The low current range of the PX-2100 reads mA whatever the code says.
        row(" M ", "PX-2100", 0, 0, "mA", -1, Root, 1);
        row("   ", "PX-2100", 0, 0, "mA", -1, Root, 1000);
        row(" V ", "PX-2100", 0, 0, "mA", -1, Root, -1);
    }

    void unitsText() {
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

    // Kappa units codes, and the units number a Sigma model is put back to.
    void kappaUnitsAndRestoredUnits() {
        const std::tuple<const char*, QString, int> rows[] = {
            {" V ", "V/m", 1},       {"MW2", "mW/cm" + Two, 2},
            {" W2", "W/m" + Two, 3}, {"UW2", "uW/cm" + Two, 4},
            {"MA ", "mA/m", 5},      {" A ", "A/m", 1},
            {"KV ", "", 0},          {"", "", 0}};
        for (const auto& [code, text, index] : rows) {
            const KappaUnitsLookup r = UnitsCodeToTextKappa(code);
            QCOMPARE(r.text, text);
            QCOMPARE(r.unitsIndex, index);
            QCOMPARE(r.message, index == 0 ? QStringLiteral("Units Not Known") : QString());
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
    }

    // Range limits and readings as text.
    void numberTexts() {
        const std::pair<float, const char*> readings[] = {
            {9.9994f, "9.999"}, {9.9996f, "10.000"}, {10, "10.00"},       {99.99f, "99.99"},
            {100, "100.0"},     {999.94f, "999.9"},  {999.96f, "1000.0"}, {1000, "1000"},
            {1234.4f, "1234"},  {0, "0.000"},        {-5, "-5.000"},      {-1500, "-1500.000"}};
        for (const auto& [value, text] : readings)
            QCOMPARE(probe::AdjustStrLen(value), QString(text));
        const std::pair<float, const char*> rows[] = {
            {1, "1.0"},        {0.0000663f, "0.000066"}, {0.0000004f, "0.0"}, {9.99f, "9.99"},
            {10, "10"},        {1234.567f, "1234.567"},  {9999, "9999"},      {9999.4f, "9,999"},
            {10000, "10,000"}, {1234567, "1,234,567"}};
        for (const auto& [value, text] : rows)
            QCOMPARE(FormatRangeValue(value), QString(text));
    }

    void flags_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("messages"); // after the reply came twice
        QTest::newRow("plain reading") << SigmaData(" 12.5", " V ") << 1 << 0;
        QTest::newRow("over range") << SigmaData(" 12.5", " V ", 0, 'O') << (1 | 4) << 0;
        QTest::newRow("under range") << SigmaData(" 1.00", " V ") << (1 | 512) << 0;
        QTest::newRow("battery flat: every time")
            << SigmaData(" 12.5", " V ", 0, ' ', 'F') << (1 | 8) << 2;
        QTest::newRow("battery flag not N")
            << SigmaData(" 12.5", " V ", 0, ' ', 'x') << (1 | 8) << 0;
        QTest::newRow("axes change")
            << SigmaData(" 12.5", " V ", 0, ' ', 'N', "EED") << (1 | 2) << 0;
        QTest::newRow("units change") << SigmaData(" 12.5", "MW2") << (1 | 16) << 0;
        QTest::newRow("unknown units: refused") << SigmaData(" 12.5", "QQQ") << 0 << 0;
        QTest::newRow("data reply too short") << QByteArray(":D 12.5 V 1\r") << 0 << 0;
        QTest::newRow("range") << QByteArray(":R3\r") << 32 << 0;
        QTest::newRow("battery") << QByteArray(":B 85.5\r") << 128 << 0;
        QTest::newRow("temperature") << QByteArray(":T 23  \r") << 64 << 0;
        QTest::newRow("acknowledgement") << QByteArray(":A\r") << 0 << 0;
        QTest::newRow("mode acknowledgement") << QByteArray(":P\r") << 0 << 2;
        QTest::newRow("garbage") << QByteArray("\x01\xff\x80zz") << 0 << 0;
    }
    void flags() {
        QFETCH(QByteArray, reply);
        r->host.messages.clear();
        r->d->feed(reply);
        QTEST(r->d->flags, "flags");
        r->d->feed(reply);
        QTEST(int(r->host.messages.size()), "messages");
    }

    // Well-formed replies of each family pass; each field garbled in turn is refused.
    void wellFormedReplies_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<char>(
            "kind"); // S Sigma data, K Kappa data, R range, B battery, T temperature
        QTest::addColumn<bool>("good");
        const QByteArray sigma = SigmaData(" 12.5", " V ", 51, 'O', 'N', "EDD");
        QTest::newRow("Sigma") << sigma << 'S' << true;
        QTest::newRow("Sigma, other mode") << QByteArray(sigma).replace(0, 2, "#Q") << 'S' << true;
        for (const char* value : {"-1.25", ".0123", "  130", "99999"})
            QTest::newRow(value) << SigmaData(value, "KV2") << 'S' << true;
        QTest::newRow("current probe, no units") << SigmaData("1.000", "   ") << 'S' << true;
        QTest::newRow("Kappa") << QByteArray(":D 3.25UW2\r") << 'K' << true;
        QTest::newRow("range") << QByteArray(":R0\r") << 'R' << true;
        QTest::newRow("battery") << QByteArray(":B4.040\r") << 'B' << true;
        QTest::newRow("temperature") << QByteArray(":T  74F\r") << 'T' << true;
        const struct {
            const char* name;
            qsizetype at;
            char noise;
        } garbles[] = {{"framing", 0, '}'},     {"letter", 1, 'X'},   {"value", 3, '!'},
                       {"value point", 2, '.'}, {"units", 8, '^'},    {"bar", 11, ';'},
                       {"over flag", 13, '~'},  {"battery", 14, '|'}, {"axes", 16, 'X'}};
        for (const auto& g : garbles)
            QTest::newRow(qPrintable(QStringLiteral("Sigma %1").arg(g.name)))
                << QByteArray(sigma).replace(g.at, 1, QByteArray(1, g.noise)) << 'S' << false;
        QTest::newRow("Sigma bar over 255") << SigmaData(" 12.5", " V ", 256) << 'S' << false;
        QTest::newRow("Sigma short") << sigma.left(18) << 'S' << false;
        QTest::newRow("Sigma long") << sigma + "\r" << 'S' << false;
        QTest::newRow("Kappa units") << QByteArray(":D 3.25KV2\r") << 'K' << false;
        QTest::newRow("Kappa value") << QByteArray(":D 3}25UW2\r") << 'K' << false;
        QTest::newRow("range digit") << QByteArray(":R7\r") << 'R' << false;
        QTest::newRow("battery value") << QByteArray(":B4.0!0\r") << 'B' << false;
        QTest::newRow("temperature value") << QByteArray(":T  7^F\r") << 'T' << false;
    }
    void wellFormedReplies() {
        QFETCH(QByteArray, reply);
        QFETCH(char, kind);
        QFETCH(bool, good);
        const bool seen = kind == 'S'   ? probe::SigmaDataWellFormed(reply)
                          : kind == 'K' ? probe::KappaDataWellFormed(reply)
                          : kind == 'R' ? probe::RangeReplyWellFormed(reply)
                          : kind == 'B' ? probe::BatteryReplyWellFormed(reply)
                                        : probe::TemperatureReplyWellFormed(reply);
        QCOMPARE(seen, good);
    }

    // A refused data reply changes nothing: no reading, no units change, no hold cleared.
    void aGarbledDataReplyChangesNothing() {
        r->d->feed(SigmaData(" 30.0", " V "));
        const float peak = r->s.MaxHoldXYZ();
        const QString units = r->s.UnitsStr();
        const qint64 refused = r->s.RefusedReplies();
        for (const QByteArray& garbled : {SigmaData("1!0.}", " V "), SigmaData(" 4.00", "; ^"),
                                          SigmaData(" 4.00", " V ", 0, ' ', 'N', "E}D")}) {
            r->d->feed(garbled);
            QCOMPARE(r->d->flags, 0);
        }
        QCOMPARE(r->s.MaxHoldXYZ(), peak);
        QCOMPARE(r->s.UnitsStr(), units);
        QCOMPARE(r->s.FieldStr(), QStringLiteral(" 30.0"));
        QCOMPARE(r->s.RefusedReplies(), refused + 3);
    }

    void valuesTakenFromReplies() {
        r->d->feed(":B 85.5\r");
        r->d->feed(":T+41.7\r"); // positions 4-6
        QCOMPARE((Floats{r->s.Battery(), r->s.Temperature()}), (Floats{85.5f, 41}));
        r->d->feed(SigmaData(" 12.5", " V ", 51));
        QCOMPARE(r->s.FieldStr(), QStringLiteral(" 12.5"));
        QCOMPARE(r->s.GetPercentOfScale(), 20);
        QCOMPARE(r->s.GetRangeString(2), QStringLiteral("10 - 31.62 V/m"));
        r->d->feed(SigmaData(" 12.5", " V ", 0, ' ', 'F'));
        QCOMPARE(r->host.messages.last().icon, platform::MsgIcon::Critical); // battery flat
        // The other communication mode's replies are synonyms.
        QCOMPARE((Ints{r->s.InputStr("#R3\r"), r->s.Range(), r->s.InputStr("#B 77.0\r")}),
                 (Ints{32, 3, 128}));
        QCOMPARE(r->s.Battery(), 77.0f);
        QCOMPARE(r->s.InputStr(SigmaData(" 12.5", " V ").replace(0, 2, "#Q")), 1 | 512);
        QCOMPARE(Plain({r->s.GetNextCmnd("#R3\r")}), QStringList{"B"});
    }

    // PX-5200 RGE: shortest data read 50 ms; identification cuts any rate above 14 to 10.
    void sampleRateArithmetic_data() {
        QTest::addColumn<bool>("threeAxis");
        QTest::addColumn<int>("requested");
        QTest::addColumn<QList<int>>("intervalAchievedMaximum");
        QTest::newRow("20/s fits exactly") << false << 20 << Ints{50, 20, 20};
        QTest::newRow("5/s") << false << 5 << Ints{200, 5, 20};
        QTest::newRow("too fast for the probe") << false << 40 << Ints{50, 20, 20};
        QTest::newRow("3-axis, 10/s") << true << 10 << Ints{50, 5, 5};
        QTest::newRow("3-axis, 2/s") << true << 2 << Ints{146, 2, 6};
    }
    void sampleRateArithmetic() {
        QFETCH(bool, threeAxis);
        QFETCH(int, requested);
        Bench b(Px5200Rge);
        b.s.SetMultiplexPrefered(threeAxis ? 1 : 0);
        QVERIFY(b.characterise());
        QCOMPARE((Ints{b.s.MinReadTime(), b.s.RequestedSampleRate()}), (Ints{50, 10}));
        b.s.SetSampleRate(requested);
        QTEST((Ints{b.s.DataInterval(), b.s.SampleRate(), b.s.GetMaxSamRate()}),
              "intervalAchievedMaximum");
    }

    // PX-5100, units V/m, range 2.
    void graphSelectionAndLimits_data() {
        QTest::addColumn<QString>("graphType");
        QTest::addColumn<int>("autoRange");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<Floats>("underOver");
        QTest::newRow("log") << "Log" << 0 << "Log 0.1-1000" << Floats{10, 31.62f};
        QTest::newRow("auto, fixed range") << "Auto" << 0 << "0-35" << Floats{10, 31.62f};
        QTest::newRow("auto, automatic range")
            << "Auto" << 1 << "Log 0.1-1000" << Floats{1, 316.2f};
        QTest::newRow("a scale text") << "0-100" << 1 << "0-100" << Floats{1, 316.2f};
    }
    void graphSelectionAndLimits() {
        QFETCH(QString, graphType);
        QFETCH(int, autoRange);
        r->s.SetGraphType(graphType);
        r->s.SetAutoRangeOn(autoRange);
        QTEST(r->s.GetGraphSelection(), "selection");
        QTEST((Floats{r->s.GetUnderRangeVal(), r->s.GetOverRangeVal()}), "underOver");
    }

    // As the configuration does at start-up, before any probe.
    void automaticRangeOffBeforeAnyReplyShowsNothing() {
        Bench b;
        b.s.SetAutoRangeOn(1);
        b.s.SetAutoRangeOn(0);
        QVERIFY(b.host.messages.isEmpty() && b.s.AutoRangeOn() == 0);
    }

    void zetaGraphSelectionIsLogarithmic() {
        Bench b;
        b.search([](const QByteArray&) { return ZetaIdent("9130"); }).run(2);
        QCOMPARE(b.s.GetModel(), QStringLiteral("PX-9130"));
        b.s.SetGraphType(QStringLiteral("Auto"));
        QCOMPARE(b.s.GetGraphSelection(), QStringLiteral("Log 0.1-10k"));
        QCOMPARE((Ints{b.s.AutoRangeOn(), b.s.MultiplexOn(), b.s.GetMaxRange()}), (Ints{0, 1, 5}));
    }

    void garbageRunReannouncesUnitsAndAxes() {
        for (int i = 0; i < 4; ++i)
            r->d->feed(":?junk\r");
        QCOMPARE(r->s.BadReplyCount(), 4);
        r->d->feed(SigmaData(" 12.5", " V "));
        QCOMPARE(r->d->flags, 1); // four bad replies: the units are still trusted
        for (int i = 0; i < 5; ++i)
            r->d->feed(":?junk\r");
        r->d->feed(SigmaData(" 12.5", " V "));
        QCOMPARE((Ints{r->d->flags, r->s.BadReplyCount()}), (Ints{1 | 2 | 16, 0}));
    }

    // PX-5100 multiplies the second field kind by 1000 in ranges 2 to 4.
    void scalingFollowsTheMultiplierTable_data() {
        QTest::addColumn<QByteArray>("range");
        QTest::addColumn<QByteArray>("units");
        QTest::addColumn<float>("value");
        QTest::newRow("field strength") << QByteArray(":R3\r") << QByteArray(" V ") << 12.5f;
        QTest::newRow("squared, range 1") << QByteArray(":R1\r") << QByteArray(" V2") << 12.5f;
        QTest::newRow("squared, range 3") << QByteArray(":R3\r") << QByteArray(" V2") << 12500.0f;
        QTest::newRow("power density") << QByteArray(":R3\r") << QByteArray("MW2") << 12.5f;
    }
    void scalingFollowsTheMultiplierTable() {
        QFETCH(QByteArray, range);
        QFETCH(QByteArray, units);
        r->d->feed(range);
        r->d->feed(SigmaData(" 12.5", units));
        QTEST(r->s.XYZNA(), "value");
        QTEST(r->s.Field(), "value");
    }

    void lowCurrentRangeUsesTheCurrentMultiplier() {
        Bench b(Px2100);
        QVERIFY(b.characterise());
        b.d->run(5);
        b.d->feed(SigmaData(" 1.50", "   "));
        b.d->feed(":R0\r");
        QCOMPARE(b.s.UnitsStr(), QStringLiteral("mA"));
        b.d->feed(SigmaData(" 1.50", "   "));
        QCOMPARE(b.s.XYZNA(), 1500.0f); // three blanks: amperes shown as milliamperes
    }

    void averagingHoldsAndUnits() {
        r->s.SetAverage(5);
        r->s.ClearMaxHold();
        r->s.ClearMinHold();
        r->d->feed(SigmaData(" 20.0", " V "));
        QCOMPARE(r->s.Field(), 4.0f); // without averaging the ring was never written
        QCOMPARE((Floats{r->s.MaxHoldXYZ(), r->s.MinHoldXYZ()}), (Floats{20, 20}));
        r->s.PausePeakHold(1);
        r->d->feed(SigmaData(" 30.0", " V "));
        QCOMPARE((Floats{r->s.MaxHoldXYZ(), r->s.XYZNA()}), (Floats{20, 30}));
        r->s.SetAverage(99);
        QCOMPARE(r->s.Average(), 50);
        // Other units: the peak is cleared, then takes the new reading.
        r->s.PausePeakHold(0);
        r->d->feed(SigmaData(" 0.50", "MW2"));
        QCOMPARE(r->s.MaxHoldXYZ(), 0.5f);
    }

    // Reading i is taken with averaging count counts[i]; an expected percent of -1 is not
    // checked.
    void channelAveraging_data() {
        QTest::addColumn<Ints>("counts");
        QTest::addColumn<Floats>("values");
        QTest::addColumn<Ints>("percents");
        QTest::addColumn<float>("averaged");
        QTest::addColumn<int>("avgPercent");
        const auto row = [](const char* name, Ints counts, Floats values, Ints percents, float avg,
                            int pct) {
            QTest::newRow(name) << counts << values << percents << avg << pct;
        };
        row("count 0 is off", {0, 0}, {4, 7}, {9, 8}, 7, -1);
        row("count 1 is off", {1, 1}, {4, 7}, {9, 8}, 7, -1);
        row("5: first", {5}, {10}, {53}, 2, 11);
        row("5: fifth is the mean", {5, 5, 5, 5, 5}, {1, 2, 3, 4, 5}, {5, 6, 7, 8, 9}, 3, 7);
        row("5: sixth", {5, 5, 5, 5, 5, 5}, {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}, 4, 4);
        row("lowered below index", {5, 5, 5, 5, 2}, {1, 2, 3, 4, 10}, {10, 20, 30, 40, 50}, 6, 35);
        row("raised keeps the ring", {2, 2, 2, 4}, {1, 2, 3, 4}, {1, 2, 3, 4}, 1.75f, 2);
        row("unaveraged skips ring", {3, 3, 1, 3}, {3, 6, 100, 9}, {3, 6, 100, 9}, 6, 6);
        row("count above 50 is 50", {80}, {100}, {100}, 2, 2);
        row("percent 2.5 to even", {2, 2}, {1, 1}, {2, 3}, 1, 2);
    }
    void channelAveraging() {
        QFETCH(Ints, counts);
        QFETCH(Floats, values);
        QFETCH(Ints, percents);
        QFETCH(int, avgPercent);
        ReadingChannel channel(9999999.f);
        for (qsizetype i = 0; i < values.size(); ++i)
            channel.take(values[i], percents[i], counts[i], 0);
        QTEST(channel.averaged(), "averaged");
        QCOMPARE(std::pair(channel.raw(), channel.barPercent()),
                 std::pair(values.last(), percents.last()));
        if (avgPercent >= 0) QCOMPARE(channel.avgPercent(), avgPercent);
    }

    // Taken with averaging count 5, so holds that followed the average would show; then cleared.
    void channelHolds_data() {
        QTest::addColumn<Floats>("values");
        QTest::addColumn<int>("paused");
        QTest::addColumn<Floats>("peakAndMinimum");
        QTest::newRow("tracking") << Floats{5, 2, 9, 3} << 0 << Floats{9, 2};
        QTest::newRow("negative stays below peak 0") << Floats{-3} << 0 << Floats{0, -3};
        QTest::newRow("paused 1") << Floats{5, 2} << 1 << Floats{0, 999999};
        QTest::newRow("paused -1 tracks") << Floats{5} << -1 << Floats{5, 5};
    }
    void channelHolds() {
        QFETCH(Floats, values);
        QFETCH(int, paused);
        ReadingChannel channel(999999.f);
        for (float v : values)
            channel.take(v, 0, 5, paused);
        QTEST((Floats{channel.peak(), channel.minimum()}), "peakAndMinimum");
        channel.clearPeak();
        channel.clearMinimum();
        channel.take(7, 0, 5, 0);
        QCOMPARE((Floats{channel.peak(), channel.minimum()}), (Floats{7, 7}));
    }

    // Of the axes 3, 4, 12: the root of the squares, the sum, or nothing.
    void composite_data() {
        QTest::addColumn<QString>("units");
        QTest::addColumn<float>("expected");
        for (const char* u : {"V/m", "k(V/m)", "A/m", "mA/m", "m A/m", "mA", "A"})
            QTest::newRow(u) << QString(u) << 13.f;
        for (const char* u : {"mW/cm", "W/cm", "uW/cm", "(V/m)", "k(V/m)", "m(A/m)", "(A/m)"})
            QTest::addRow("%s squared", u) << QString(u) + QChar(0x00B2) << 19.f;
        for (const char* u : {"", "unknown", "v/m", "mW/cm", "V/m ", "\xB2"})
            QTest::addRow("other '%s'", qPrintable(QString::fromLatin1(u)))
                << QString::fromLatin1(u) << 0.f;
    }
    void composite() {
        QFETCH(QString, units);
        QTEST(probe::CompositeOf(units, 3, 4, 12), "expected");
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
        QTEST(probe::Val(text), "value");
    }

    void sigmaCharacterisationNamesTheModel_data() {
        QTest::addColumn<MiniSigma>("sigma");
        QTest::addColumn<QStringList>("commands");
        MiniSigma lowCurrent = Px2100;
        lowCurrent.range = 0;
        QTest::newRow("full run, PX-5100") << Px5100 << FullRun;
        QTest::newRow("five ranges, PX-2100: short run, range restored")
            << Px2100 << QStringList{"I", "R", "R", "R5", "R5", "D2", "B", "D2", "R2", "B", "D2"};
        QTest::newRow("no fourth range, PX-5560: mismatch at step 20 tolerated")
            << Px5560 << FullRun;
        QTest::newRow("PX-2100 in range 0: range 3 with automatic range")
            << lowCurrent
            << QStringList{"I", "R", "R", "R5", "R5", "D2", "B", "D2", "R3", "B", "D2"};
    }
    void sigmaCharacterisationNamesTheModel() {
        QFETCH(MiniSigma, sigma);
        QFETCH(QStringList, commands);
        Bench b(sigma);
        QCOMPARE(Plain(b.search().run(int(commands.size()))), commands);
        QCOMPARE(std::pair(b.s.GetModel(), b.s.TypeZeta()), std::pair(sigma.name, int(StateSigma)));
        QVERIFY(b.host.messages.isEmpty());
        if (sigma.range == 0) QCOMPARE((Ints{b.s.AutoRangeOn(), b.s.Range()}), (Ints{1, 3}));
    }

    void mismatchAtStepEightRepeatsTheCharacterisation() {
        Bench b;
        b.sigma.replaceAt[11] = ":E\r"; // the probe refuses step 8 ("D2")
        Driver& d = b.search();
        QCOMPARE(Plain(d.run(29)).mid(25, 4), (QStringList{"R2", "B", "R5", "R5"}));
        QVERIFY(b.s.GetModel().isEmpty() && b.host.messages.isEmpty()); // again, without a word
        // The second run goes through and names the probe.
        for (int i = 0; i < 30 && b.s.GetModel().isEmpty(); ++i)
            d.poll();
        QCOMPARE(b.s.GetModel(), QStringLiteral("PX-5100"));
    }

    // A step without a whole answer is asked again, up to three times, each try waiting
    // longer; then it counts without an answer (here a mismatch: the run starts again).
    void aStepWithoutAnswerIsAskedAgain() {
        Bench b;
        for (int answer = 11; answer <= 14; ++answer) // step 8 ("D2") and its three retries
            b.sigma.replaceAt[answer] = answer == 12 ? ":D 12.5 V 0}" : "";
        Driver& d = b.search();
        QCOMPARE(Plain(d.run(12)).mid(10), (QStringList{"D2", "D2"}));
        QCOMPARE((Ints{b.s.InitTry(), b.s.GetTimerInterval()}), (Ints{2, 100}));
        QCOMPARE(Plain(d.run(3)), (QStringList{"D2", "D2", "R2"}));
        QCOMPARE(b.s.GetTimerInterval(), 66);
        for (int i = 0; i < 60 && b.s.GetModel().isEmpty(); ++i)
            d.poll();
        QCOMPARE(std::pair(b.s.GetModel(), b.s.FailedCharacterisations()),
                 std::pair(QStringLiteral("PX-5100"), 0));
    }

    // A probe whose characterisation never matches is tried again and again; the runs that
    // had to start again are counted, and a run that names the probe clears the count.
    void failedCharacterisationsAreCounted() {
        Bench b;
        bool refuse = true;
        Driver& d = b.search([&](const QByteArray& c) {
            return refuse && c == "D2\r" && b.s.InitState() >= 1 ? QByteArray(":E\r")
                                                                 : b.sigma.answer(c);
        });
        for (int i = 0; i < 300 && b.s.FailedCharacterisations() < 3; ++i)
            d.poll();
        QCOMPARE(b.s.FailedCharacterisations(), 3);
        QVERIFY(b.s.GetModel().isEmpty());
        refuse = false;
        for (int i = 0; i < 60 && b.s.GetModel().isEmpty(); ++i)
            d.poll();
        QCOMPARE(std::pair(b.s.GetModel(), b.s.FailedCharacterisations()),
                 std::pair(QStringLiteral("PX-5100"), 0));
    }

    // A late refusal of the fourth range that turns up after its retry was answered is not
    // taken as the answer to the next step ("D2"): the run goes through.
    void aLateAnswerIsDroppedAsStale() {
        Bench b(Px5560);
        b.sigma.replaceAt[23] = "";     // step 20 ("R4"): nothing in time
        b.sigma.replaceAt[25] = ":E\r"; // step 21 ("D2"): the late refusal of "R4"
        Driver& d = b.search();
        QCOMPARE(Plain(d.run(28)).mid(22), (QStringList{"R4", "R4", "D2", "D2", "AEEE", "R2"}));
        QCOMPARE(Plain(d.run(1)), QStringList{"B"});
        QCOMPARE(b.s.GetModel(), QStringLiteral("PX-5560"));
    }

    // Over range with automatic range: the next range, sent twice; none above the top range,
    // and no over-range report meanwhile.
    void automaticRangeSteps() {
        Bench b;
        QVERIFY(b.characterise());
        b.sigma.value = " 50.0";
        b.d->run(6); // battery, temperature, first data, units restore
        b.s.SetAutoRangeOn(1);
        QCOMPARE(b.s.Range(), 2);
        b.sigma.over = 'O';
        QCOMPARE(Plain(b.d->run(6)), (QStringList{"D2", "R3", "R3", "B", "TF", "D2"}));
        QCOMPARE(b.s.Range(), 3);
        QCOMPARE(Plain({b.d->feed(":R4\r")}), QStringList{"B"}); // the probe reports its top range
        b.d->feed(":B 95.0\r");
        b.d->feed(":T 23  \r");
        QCOMPARE(Plain({b.d->feed(SigmaData(" 99.0", " V ", 255, 'O'))}), QStringList{"D2"});
        QVERIFY(!(b.d->flags & probe::ChgOverRange));
        QCOMPARE((Ints{b.s.OverRangeFlag(), b.s.SetOverRangeColor()}), (Ints{1, 0}));
    }

    void threeAxisCycle() {
        Bench b;
        b.s.SetMultiplexPrefered(1);
        QVERIFY(b.characterise());
        QCOMPARE(b.s.MultiplexOn(), 1);
        // The units restore queued by the characterisation waits for the end of the cycle (Z).
        QCOMPARE(Plain(b.d->run(13)), (QStringList{"TF", "D2", "AEDD", "D2", "ADED", "D2", "ADDE",
                                                   "D2", "AEDD", "D2", "U1", "D2", "ADED"}));
        const float x = b.s.XNA(), y = b.s.YNA(), z = b.s.ZNA();
        QVERIFY(x > 0 && y > 0 && z > 0);
        QCOMPARE(b.s.XYZNA(), std::sqrt(x * x + y * y + z * z)); // V/m: root of squares
        // An axis switched off reads 0 averaged from its next reading on.
        b.s.SetAxisEnabled(1 | 4);
        b.d->run(2);
        QCOMPARE(b.s.Yaxis(), 0.0f);
        QVERIFY(b.s.YNA() > 0 && b.s.MaxHoldY() > 0);
    }

    void rgeSelectsRangeThreeBeforeItsSecondUnits() {
        Bench b(Px5200Rge);
        QVERIFY(b.characterise());
        b.d->run(6);
        b.s.SetNextCmnd("U2\r");
        QCOMPARE(Plain(b.d->run(3)), (QStringList{"R3", "U2", "D2"}));
    }

    // ":I", model digits at 3-6, serial number at 17-24, calibration date at 25-32.
    void kappaIdentificationWaitsAfterTheSecondIdent() {
        for (const char* digits : {"310", "420"}) {
            Bench b;
            Driver& d = b.search([&](const QByteArray& c) -> QByteArray {
                if (c == "I\r")
                    return ":I0" + QByteArray(digits) + "ABCDEFGHIJ" + "12345678" + "06152024x\r";
                if (c == "i\r") return ":iXXXXREV1.23456YYYYYYYY\r";
                if (c == "B\r") return ":B 80.0\r";
                if (c == "TF\r") return ":T 71   \r";
                if (c == "D1\r") return ":D 1.23MA \r";
                return ":E\r";
            });
            QCOMPARE(Plain(d.run(7)), (QStringList{"I", "i", "B", "TF", "D1", "D1", "D1"}));
            QCOMPARE(std::pair(b.s.GetModel(), b.s.TypeZeta()),
                     std::pair((digits[0] == '3' ? "E" : "H") + QString(digits), int(StateKappa)));
            QCOMPARE(b.host.delays, QList<double>{1500});
            // "MA " is the fifth Kappa units; the reply length of a Kappa reading is 11.
            QCOMPARE((QStringList{b.host.serialNo, b.host.calDate, b.host.softRev, b.s.UnitsStr(),
                                  b.s.XYZAxisStr()}),
                     (QStringList{"12345678", "06/15/2024", "REV1.23456", "mA/m", " 1.23"}));
            QCOMPARE((Ints{b.s.GetUnitsNo(), b.s.GetRThreshold()}), (Ints{5, 11}));
        }
    }

    void zetaScheduler_data() {
        QTest::addColumn<QString>("preferred");
        QTest::addColumn<int>("highSpeed");
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QList<QByteArray>>("autoNext");
        QTest::addColumn<int>("minReadTime");
        const QStringList base{"I", "M", "TF", "BP", "S", "S"};
        QTest::newRow("base speed") << "9600,o,7,1" << 0 << base << QList<QByteArray>{":M0"} << 28;
        // Without a stored preference the link is at its base speed: 28 ms a sample.
        QTest::newRow("no preference stored") << "" << 0 << base << QList<QByteArray>{":M0"} << 28;
        QTest::newRow("19200 preferred")
            << "19200,o,7,1" << 0 << QStringList{"I", "M", "TF", "BP", "F2", "S", "S"}
            << QList<QByteArray>{":M0", ":F2"} << 14;
        QTest::newRow("115200 requested")
            << "9600,o,7,1" << 12 << QStringList{"I", "M", "TF", "BP", "S", "F5", "S"}
            << QList<QByteArray>{":M0", ":F5"} << 14;
    }
    void zetaScheduler() {
        QFETCH(QString, preferred);
        QFETCH(int, highSpeed);
        QFETCH(QStringList, commands);
        Bench b;
        b.s.SetBaudRatePerfered(preferred);
        Driver& d = b.search([&](const QByteArray& c) -> QByteArray {
            b.host.autoNextAnswer = c == "M\r" ? "TF\r" : "S\r";
            if (c == "I\r") return ZetaIdent("9100");
            if (c == "M\r") return ":M" + QByteArray(576, '0') + "\r";
            if (c == "TF\r") return ":T 71  \r";
            if (c == "BP\r") return ":B80\r";
            if (c.startsWith('F')) return ":F" + c.mid(1, 1) + "\r";
            if (c == "S\r" && highSpeed) b.s.SetHighSpeedMode(highSpeed);
            return c == "S\r" ? ":S" + QByteArray(16, '0') + "\r" : ":E\r";
        });
        QCOMPARE(Plain(d.run(int(commands.size()))), commands);
        QTEST(b.host.autoNextCalls, "autoNext");
        QCOMPARE(std::pair(b.s.GetModel(), b.s.TypeZeta()),
                 std::pair(QString("PX-9100"), int(StateZeta)));
        QTEST(b.s.MinReadTime(), "minReadTime");
        // The acknowledged speed stands: a missed reply after it does not go back to 9600.
        if (highSpeed) QCOMPARE(b.s.BaudRateChange(), 0);
    }

    void zetaCalibrationReplyOfWrongLengthRepeatsTheRead() {
        Bench b;
        Driver& d = b.search([](const QByteArray& c) -> QByteArray {
            return c == "I\r" ? ZetaIdent("9120") : ":M" + QByteArray(575, '0') + "\r"; // 578
        });
        QCOMPARE(Plain(d.run(4)), (QStringList{"I", "M", "M", "M"}));
        QVERIFY(b.host.autoNextCalls.isEmpty());
        QCOMPARE((Ints{b.s.GetRThreshold(), b.s.GetTimerInterval()}), (Ints{579, 1200}));
    }

    void identificationAlternatesWhileTheProbeRejects() {
        Bench b;
        Driver& d = b.search([](const QByteArray&) { return QByteArray(":E\r"); });
        QCOMPARE(Plain(d.run(6)), (QStringList{"I", "R", "I", "R", "I", "R"}));
        QCOMPARE(b.s.TypeZeta(), int(probe::StateIdentifying));
    }

    void emptyReplyRepeatsTheCommand() {
        Bench b;
        QVERIFY(b.characterise());
        b.d->run(4);
        const auto before = std::pair(b.s.LastCmnd(), b.s.TypeZeta());
        b.d->feed(QByteArray());
        QCOMPARE(std::pair(b.s.LastCmnd(), b.s.TypeZeta()), before);
    }

    // In service on the chosen port; then the probe goes silent.
    void startUpThenLostAfterExactlyFiveMisses() {
        Rig r;
        r.startOnProbe(2);
        QCOMPARE(r.s.GetModel(), QStringLiteral("PX-5100"));
        QCOMPARE(r.sent().mid(0, 4), (QStringList{"I", "R", "R", "R5"}));
        QCOMPARE(r.sent().last(), QStringLiteral("D2"));
        QCOMPARE((Ints{r.view.checkedPort, r.cycle.MissCount(), r.view.clears}), (Ints{2, 0, 0}));
        // Data polls wait the data interval, identification polls 100 ms.
        QCOMPARE(r.timer->interval(), double(r.s.DataInterval()));
        r.silent = true;
        r.ticks(5); // the first of these still takes the last reply
        QCOMPARE((Ints{r.cycle.MissCount(), r.view.clears, r.s.LostComm()}), (Ints{4, 0, 0}));
        r.ticks(1);
        QCOMPARE((Ints{r.cycle.MissCount(), r.view.clears, r.view.lowBatteryOffs, r.s.LostComm()}),
                 (Ints{5, 1, 1, 1}));
        QVERIFY(r.s.GetModel().isEmpty());
        r.ticks(3);
        QCOMPARE(r.view.clears, 1); // cleared once, not on every further miss
        // The probe comes back: the first reply that starts with ':' ends the search.
        r.silent = false;
        r.ticks(60);
        QCOMPARE(r.s.GetModel(), QStringLiteral("PX-5100"));
        QCOMPARE((Ints{r.s.LostComm(), r.cycle.MissCount()}), (Ints{0, 0}));
    }

    void searchAlternatesTheLinkSpeed() {
        Rig r;
        r.cycle.Start(1);
        QSet<QString> named; // the speeds the status bar names while searching
        for (int i = 0; i < 40; ++i, r.ticks(1))
            named << r.view.panels.value(2);
        QCOMPARE(named, (QSet<QString>{"", "9600 Baud", "19200 Baud"}));
        // Thirteen polls a cycle: "I" at 9600 baud, "R", "I" at 19200 baud.
        QCOMPARE(r.sent().mid(0, 14), (QStringList{"I", "I", "I", "I", "I", "R", "R", "R", "R", "R",
                                                   "I", "I", "I", "I"}));
        QCOMPARE(r.port.settingsHistory(),
                 (QStringList{"19200,o,7,1", "9600,o,7,1", "19200,o,7,1", "9600,o,7,1",
                              "19200,o,7,1", "9600,o,7,1"}));
        QCOMPARE(r.view.panels.value(2), QStringLiteral("9600 Baud"));
        QVERIFY(r.boxes.messages().isEmpty()); // searching forever, without messages
    }

    void wakeUpCharacterWhileInTheOtherMode() {
        Rig r;
        r.view.arProbe = true;
        r.cycle.Start(1);
        r.ticks(6); // the fifth miss declares the probe lost and arms the wake-up
        r.port.clearWritten();
        r.ticks(3);
        QCOMPARE(r.port.written(), QList<QByteArray>(3, QByteArray("\0\r", 2)));
        QCOMPARE(r.s.GetRThreshold(), 3);
        QCOMPARE(r.port.settings(), QStringLiteral("9600,o,7,1"));
        // A probe that wakes up answers; identification follows.
        r.port.setResponder(
            [](const QByteArray& c) { return QByteArray(c == "R\r" ? ":R2\r" : ":N\r"); });
        r.ticks(2);
        QVERIFY(r.s.LostComm() == 0 && r.sent().last() == QStringLiteral("R"));
    }

    void incompleteRepliesAreMisses_data() {
        QTest::addColumn<D>("plan");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("misses");
        const QByteArray data = SigmaData(" 12.5", " V ");
        // What is left of a split or late reply arrives in front of the next one and spoils it.
        QTest::newRow("split across a tick") << D::Split << data << 2;
        QTest::newRow("late") << D::Late << data << 2;
        QTest::newRow("garbled") << D::Garbled << data << 1;
        QTest::newRow("dropped") << D::Dropped << data << 1;
        QTest::newRow("complete but the wrong length") << D::Whole << QByteArray(":Z\r") << 1;
    }
    void incompleteRepliesAreMisses() {
        QFETCH(D, plan);
        QFETCH(int, misses);
        Rig r;
        r.startOnProbe();
        QFETCH(QByteArray, reply);
        r.bad = reply;
        r.port.planNext(plan);
        r.ticks(1); // sends the command whose reply goes wrong
        const int processed = r.processed();
        r.ticks(misses);
        // Nothing half-read is processed; then the line settles by itself.
        QCOMPARE((Ints{r.cycle.MissCount(), r.processed()}), (Ints{misses, processed}));
        r.ticks(1);
        QCOMPARE((Ints{r.cycle.MissCount(), r.processed(), int(r.view.processed.last().size())}),
                 (Ints{0, processed + 1, 19}));
    }

    void eventModeTakesTheReplyInTheNotification() {
        Rig r;
        r.startOnProbe();
        r.cycle.SetMaxRate(true); // event mode ...
        r.cycle.StopAutoNext();   // ... without answering at once
        r.ticks(1);
        QCOMPARE(r.port.rThreshold(), 19);
        const int before = r.port.notificationCount();
        const int processed = r.processed();
        r.port.deliverNotifications(); // the reply is complete: one notification
        QCOMPARE((Ints{r.port.notificationCount(), r.processed()}),
                 (Ints{before + 1, processed + 1}));
        const int writes = r.writes();
        r.clock.advance(r.timer->interval()); // the next command goes out on the tick
        QCOMPARE(r.writes(), writes + 1);

        // "Max": the next command goes out from the notification itself. The probe's reply to
        // it is held on the line so that the test sees one round at a time.
        r.cycle.SetMaxRate(true);
        r.port.planNext(D::Late);
        r.port.deliverNotifications();
        QCOMPARE((Ints{r.writes(), r.cycle.RespReceived()}), (Ints{writes + 2, 0}));
        // A split reply raises no notification; the tick counts the miss.
        r.port.planNext(D::Split);
        const int notifications = r.port.notificationCount();
        r.port.releaseHeld();
        r.port.deliverNotifications(); // the held reply: processed, next command out
        QCOMPARE((Ints{r.port.notificationCount(), r.writes()}),
                 (Ints{notifications + 1, writes + 3}));
        r.port.deliverNotifications(); // half a reply: nothing
        QCOMPARE(r.port.notificationCount(), notifications + 1);
        r.clock.advance(r.timer->interval());
        QCOMPARE(r.cycle.MissCount(), 1);
    }

    void choosingAPortThatCannotOpen() {
        Rig r;
        r.port.setFailingPorts({3});
        r.cycle.Start(1);
        r.cycle.SelectPort(3);
        QCOMPARE(r.boxes.count(PollingCycle::OpenFailedText), 1);
        QCOMPARE(r.boxes.messages().first().icon, platform::MsgIcon::Exclamation);
        QVERIFY(!r.timer->enabled());
        QCOMPARE((Ints{r.view.clears, r.view.checkedPort, r.cycle.CommPortNo()}), (Ints{1, 0, 1}));
        r.cycle.SelectPort(4);
        QVERIFY(r.timer->enabled());
        QCOMPARE((Ints{r.cycle.CommPortNo(), r.view.checkedPort}), (Ints{4, 4}));
        QCOMPARE(r.port.openHistory(), (Ints{1, 3, 4}));
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
        probe::StreamReader reader(19);
        QList<QByteArray> records;
        QList<int> counts;
        for (const QByteArray& chunk : chunks)
            counts << reader.Read(chunk, [&](const QByteArray& record) { records << record; });
        QTEST(counts, "taken");
        for (const QByteArray& record : records)
            QCOMPARE(record, QByteArray(":S3E83E83E8000000N\r"));
    }

    void sampleRateAndModelText() {
        Rig r;
        r.view.samplesPerReply = 31;
        int answers = 0;
        r.port.setResponder([&](const QByteArray&) {
            return answers++ ? QByteArray() : ":" + QByteArray(r.cycle.ExpectedLength() - 1, '0');
        });
        r.cycle.Start(1);
        r.ticks(2); // one complete reply, of 31 samples
        for (int i = 0; i < 3; ++i)
            r.cycle.CalSamPerSecTick();
        QVERIFY(r.view.rates.isEmpty());
        r.cycle.CalSamPerSecTick(); // every fourth tick, two seconds of samples
        QCOMPARE(r.view.rates, QList<double>{15.5});
        QCOMPARE(r.cycle.SampleCount(), 0);
        r.view.panels[1] = "stale";
        for (int i = 0; i < 11; ++i)
            r.cycle.CalSamPerSecTick();
        QCOMPARE(r.view.panels.value(1), QString()); // no model named: no model text
    }

    // The line's health: the characterisation's step and try while identifying, then the
    // share of good replies of the last minute, garbled and missing ones counted apart.
    void lineHealth() {
        Rig r;
        r.port.setResponder([&](const QByteArray& c) { return r.sigma.answer(c); });
        r.cycle.Start(1);
        r.ticks(6); // "I", "R", "R", "R5", "R5", "D2": the third step awaited
        r.cycle.CalSamPerSecTick();
        QCOMPARE(int(r.view.health.stage), int(probe::LineHealth::Stage::Identifying));
        QCOMPARE((Ints{r.view.health.step, r.view.health.steps, r.view.health.attempt}),
                 (Ints{4, 24, 1}));
        r.startOnProbe();
        QCOMPARE(r.s.GetModel(), QStringLiteral("PX-5100"));
        for (int i = 0; i < 120; ++i) // a minute: what identification cost is forgotten
            r.cycle.CalSamPerSecTick();
        r.ticks(6);
        r.bad = SigmaData("1!0.}", " V ");
        r.ticks(2);
        r.silent = true;
        r.ticks(1);
        r.silent = false;
        r.ticks(2);
        r.cycle.CalSamPerSecTick();
        const probe::LineHealth& h = r.view.health;
        QCOMPARE(int(h.stage), int(probe::LineHealth::Stage::Reading));
        QCOMPARE((Ints{h.good, h.garbled, h.missing, h.percent}), (Ints{9, 1, 1, 81}));
    }

    void randomRepliesInEveryState_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("characterising");
        QTest::addColumn<bool>("threeAxis");
        QTest::newRow("sigma") << 0 << false << false;
        QTest::newRow("sigma, characterising") << 0 << true << false;
        QTest::newRow("sigma, 3-axis") << 0 << false << true;
        QTest::newRow("zeta") << 1 << false << false;
        QTest::newRow("identifying") << 2 << false << false;
        QTest::newRow("kappa") << 3 << false << false;
    }
    void randomRepliesInEveryState() {
        QFETCH(int, state);
        QFETCH(bool, characterising);
        QFETCH(bool, threeAxis);
        QRandomGenerator rng(0x5eed + state * 7 + characterising + 2 * threeAxis);
        for (int round = 0; round < 40; ++round) {
            Bench b;
            clsProbe& s = b.s;
            if (threeAxis) s.SetMultiplexPrefered(1);
            if (state == 0) {
                QVERIFY(b.characterise());
                if (characterising) {
                    b.d->run(5);
                    // Arm a new characterisation through the identifying range reply.
                    s.SetLostComm(1);
                    s.SetLostComm(0);
                    b.d->feed(":R2\r");
                    b.d->feed(":R2\r");
                    QVERIFY(s.InitState() >= 1);
                }
            } else {
                s.SetTypeZeta(state);
            }
            s.SetAutoRangeOn(rng.bounded(2));
            for (int i = 0; i < 400; ++i) {
                const QByteArray reply = RandomReply(rng);
                const QByteArray command = s.GetNextCmnd(reply);
                QVERIFY(command.endsWith('\r'));
                QVERIFY2(s.GetRThreshold() >= 3 && s.GetRThreshold() <= 579,
                         qPrintable(QString::number(s.GetRThreshold())));
                QVERIFY(s.GetTimerInterval() >= 1 && s.TypeZeta() >= 0 && s.TypeZeta() <= 3);
                if (s.TypeZeta() != probe::StateZeta) s.InputStr(reply);
                // Whatever happened, every read-out the window takes is still available.
                QVERIFY(s.XYZAxisStr().size() <= 48 && // even the largest single fits
                        s.GetRangeString(s.Range()).size() < 64);
            }
        }
    }

    // "model|commands|replies"; of a data reply its value and axes. Field (15, 20, 5.5):
    // composite 25.60 V/m, 655.25 (V/m)².
    void sigmaProbeKeepsItsSettings_data() {
        QTest::addColumn<QString>("script");
        QTest::newRow("units cycle") << "PX-5100|UN UN UN U3 U4|:U :U :U :U :E";
        QTest::newRow("one units") << "PX-2200|U1 U2 UN|:U :E :E";
        QTest::newRow("RGE units 2 has no range 4")
            << "PX-5200 RGE|R4 U2 R3 U2 R4|:R4 :E :R3 :U :E";
        QTest::newRow("one axis") << "PX-5100|ADED D2 AXEE|:A 20.00DED :E";
        QTest::newRow("squared add up") << "PX-5100|U3 D2|:U 0.655EEE";
        QTest::newRow("one sensor") << "PX-5500/5505|ADED D2|:A 25.60EEE";
    }
    void sigmaProbeKeepsItsSettings() {
        QFETCH(QString, script);
        auto p = probesim::CreateProbe(script.section(u'|', 0, 0), Constant(15, 20, 5.5));
        QStringList got;
        for (const QString& c : script.section(u'|', 1, 1).split(u' ')) {
            const QByteArray reply = p->answer(c.toLatin1(), 0);
            got.append(reply.startsWith(":D") ? reply.mid(2, 5) + reply.mid(15, 3)
                                              : reply.trimmed());
        }
        QCOMPARE(got.join(u' '), script.section(u'|', 2));
    }

    void zetaIsIdentifiedAndDecodes_data() {
        QTest::addColumn<QString>("model");
        for (const QString& model : probesim::ZetaProbe::ModelNames())
            QTest::newRow(qPrintable(model)) << model;
    }
    void zetaIsIdentifiedAndDecodes() {
        QFETCH(QString, model);
        HostOn on(model, {});
        QVERIFY(on.named(probe::StateZeta));
        QCOMPARE(on.s.GetModel(), model);
        QCOMPARE(on.replies["I"].mid(6, 10), QByteArray("073020030A"));
        QCOMPARE(probe::Val(on.probe->answer("TC", 0).mid(2, 4)), 23.5); // Celsius at 3-6
        on.d->poll();
        QCOMPARE(on.host.autoNextCalls, QList<QByteArray>{":M0"}); // 579 characters arrived

        Calibration cal;
        QVERIFY(Decode(on.replies["M"], &cal));
        const auto& held = static_cast<probesim::ZetaProbe&>(*on.probe).calibration();
        for (int axis = 0; axis < 3; ++axis)
            for (int r = 1; r <= 4; ++r) {
                for (int s = 1; s <= 2; ++s) {
                    const auto& c = held.coefficients(axis, r, s);
                    QVERIFY(cal[axis][r - 1][s - 1] == (std::array{c.a, c.b, c.p}));
                }
                // Every gain range reads a positive field that grows with the count.
                double last = 0;
                for (int count = 1; count <= 4095; ++count) {
                    const double f = FieldOf(cal, axis, count, std::array{0, 1, 16, 255}[r - 1]);
                    QVERIFY2(f > last, qPrintable(QString("%1 %2 %3").arg(axis).arg(r).arg(count)));
                    last = f;
                }
            }

        // Samples of fields across all gain ranges decode to the plan within 1 %; beyond the
        // strongest range the count is full in gain range 4.
        QSet<int> gainCodes;
        for (const auto& want : {std::array{1.2, 3.0, 5.0}, std::array{20.0, 30.0, 45.0},
                                 std::array{100.0, 150.0, 240.0}, std::array{400.0, 700.0, 1e3}}) {
            const QByteArray sample =
                probesim::CreateProbe(model, Constant(want[0], want[1], want[2]))->answer("S", 0);
            for (int axis = 0; axis < 3; ++axis) {
                const int count = sample.mid(2 + 3 * axis, 3).toInt(nullptr, 16);
                const int gain = sample.mid(11 + 2 * axis, 2).toInt(nullptr, 16);
                gainCodes.insert(gain);
                const double f = FieldOf(cal, axis, count, gain);
                QVERIFY2(std::abs(f / want[axis] - 1.0) < 0.01, sample.constData());
            }
        }
        QCOMPARE(gainCodes, (QSet<int>{0, 1, 16, 255}));
        const QByteArray over = probesim::CreateProbe(model, Constant(1e5, 0, 0))->answer("S", 0);
        QCOMPARE(over.mid(2, 3) + over.mid(11, 2), QByteArray("FFFFF"));
    }
};

QTEST_GUILESS_MAIN(ProbeTest)
#include "tst_probe.moc"
