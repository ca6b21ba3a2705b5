// The probe session driven reply by reply, without a line: what each reply does to the
// session and its readings, the commands it chooses in each family from the link search on,
// and random replies in every state.
#include "tests/support/ProbeKit.h"

#include <QRandomGenerator>
#include <QTest>
#include <functional>

using namespace kit;
using namespace probe;
using Ints = QList<int>;
using Replies = QList<QByteArray>;

namespace {
QByteArray ZetaIdent(const QByteArray& model4) {
    return ":I" + model4 + QByteArray(27, '0') + "\r";
}

const char* const FullRun =
    "I R R R5 R5 D2 R1 ADEE U1 R1 D2 R2 D2 U2 R1 D2 R2 D2 U3 R3 D2 U1 R4 D2 "
    "AEEE R2 B TF D2 U1 D2";

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

// What the session shows under the name a check of replies() gives; its "pace" is the read
// timer's interval, the sample rate achieved and the highest rate on offer.
QString ReadOut(const clsProbe& s, const QString& name) {
    const QStringList names = QString("field|raw|peak|min|percent|average|range|battery|"
                                      "temperature|bad|auto|mux|max range|state|x|y|z|"
                                      "y averaged|peak y|over flag|over colour|min read|"
                                      "requested|text|units|range text|graph|limits|pace")
                                  .split(u'|');
    QList<double> numbers;
    numbers << s.Field() << s.XYZNA() << s.MaxHoldXYZ() << s.MinHoldXYZ() << s.GetPercentOfScale()
            << s.Average() << s.Range() << s.Battery() << s.Temperature() << s.BadReplyCount()
            << s.AutoRangeOn() << s.MultiplexOn() << s.GetMaxRange() << s.TypeZeta() << s.XNA()
            << s.YNA() << s.ZNA() << s.Yaxis() << s.MaxHoldY() << s.OverRangeFlag()
            << s.SetOverRangeColor() << s.MinReadTime() << s.RequestedSampleRate();
    QStringList values;
    for (double v : numbers)
        values << QString::number(v);
    values << s.FieldStr() << s.UnitsStr() << s.GetRangeString(s.Range()) << s.GetGraphSelection()
           << QString::number(s.GetUnderRangeVal()) + u' ' + QString::number(s.GetOverRangeVal())
           << QString("%1 %2 %3").arg(s.DataInterval()).arg(s.SampleRate()).arg(s.GetMaxSamRate());
    return values.value(names.indexOf(name), QStringLiteral("?"));
}
} // namespace

class ProbeProtocolTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The model's session in service (a PX-5100 when none is named, read axis by axis with
    // " 3-axis"; "" is a session before any probe) takes the steps: replies (those of the other
    // communication mode, "#", go to the parser directly), settings ("average n", "pause n",
    // "auto n", "rate n", "axes mask", "graph type", "clear" the holds, "command c" queued,
    // "lost" and found again), "poll n" of the scripted probe, whose reading can be set
    // ("value v", "over 1|0"), and "characterise" it again from the link search on. Checks are
    // "<read-out> = <text>"; "flags" lists the change flags of each reply, "closed" marks those
    // that closed an X, Y, Z cycle, "first" lists the commands polled before the steps, "sent"
    // those chosen after each reply or poll ("next" the last), "refused" counts the replies
    // refused, "messages" lists the icons of the messages shown.
    void replies_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<Replies>("steps");
        QTest::addColumn<QStringList>("checks");
        const auto row = [](const char* name, Replies steps, QStringList checks,
                            const char* model = "PX-5100") {
            QTest::newRow(name) << QString(model) << steps << checks;
        };
        const auto twice = [](const QByteArray& reply) { return Replies{reply, reply}; };
        const QByteArray plain = SigmaData(" 12.5", " V ");
        row("plain reading", twice(SigmaData(" 12.5", " V ", 51)),
            {"flags = 1 1", "messages = ", "text =  12.5", "percent = 20",
             "range text = 10 - 31.62 V/m"});
        row("over range, full bar", twice(SigmaData(" 12.5", " V ", 255, 'O')),
            {"flags = 5 5", "percent = 100"});
        row("under range", twice(SigmaData(" 1.00", " V ")), {"flags = 513 513"});
        row("battery flat: every time", twice(SigmaData(" 12.5", " V ", 0, ' ', 'F')),
            {"flags = 9 9", "messages = critical critical"});
        row("battery flag not N", twice(SigmaData(" 12.5", " V ", 0, ' ', 'x')),
            {"flags = 9 9", "messages = "});
        row("axes change", twice(SigmaData(" 12.5", " V ", 0, ' ', 'N', "EED")), {"flags = 3 1"});
        // Other units clear the peak, which then takes the new reading.
        row("units change", twice(SigmaData(" 2.50", "MW2")), {"flags = 17 1", "peak = 2.5"});
        row("data reply too short", twice(":D 12.5 V 1\r"), {"flags = 0 0", "refused = 2"});
        row("range", twice(":R3\r"), {"flags = 32 32", "range = 3"});
        row("battery", twice(":B 85.5\r"), {"flags = 128 128", "battery = 85.5"});
        row("temperature at 4-6", twice(":T+41.7\r"), {"flags = 64 64", "temperature = 41"});
        row("acknowledgement", twice(":A\r"), {"flags = 0 0", "refused = 0"});
        row("mode acknowledgement", twice(":P\r"), {"flags = 0 0", "messages = none none"});
        row("garbage", twice("\x01\xff\x80zz"), {"flags = 0 0", "messages = "});
        row("the other mode's replies",
            {"#B 77.0\r", "#Q" + SigmaData(" 1.00", " V ").mid(2), "#R3\r"},
            {"flags = 128 513 32", "battery = 77", "range = 3", "next = B"});
        row("a garbled data reply changes nothing",
            {SigmaData(" 30.0", " V "), SigmaData("1!0.}", " V "), SigmaData(" 4.00", "; ^"),
             SigmaData(" 4.00", " V ", 0, ' ', 'N', "E}D")},
            {"flags = 1 0 0 0", "refused = 3", "messages = ", "peak = 30", "units = V/m",
             "text =  30.0"});
        // Four bad replies: the units are still trusted; after five the next data reply
        // announces units and axes afresh.
        row("garbage runs",
            Replies(4, ":?junk\r") + Replies{plain} + Replies(5, ":?junk\r") + Replies{plain},
            {"flags = 0 0 0 0 1 0 0 0 0 0 19", "bad = 0"});
        row("empty reply: the same command again", {""}, {"next = D2", "state = 0"});
        // A Z reply closes a sample only after X and Y of the same cycle, read since the probe
        // was last found.
        const auto axes = [](const char* list) {
            Replies out{SigmaData(" 10.0", " V ", 10, ' ', 'N', "DDE")}; // the end of a cycle
            for (const QByteArray& a : QByteArray(list).split(' '))
                out << (a == "lost" ? a : SigmaData(" 10.0", " V ", 10, ' ', 'N', a));
            return out;
        };
        const char* threeAxis = "PX-5100 3-axis";
        row("whole cycles", axes("EDD DED DDE EDD DED DDE"), {"closed = ...Y..Y"}, threeAxis);
        row("Y missed", axes("EDD DDE EDD DED DDE"), {"closed = .....Y"}, threeAxis);
        row("cycle begun at Y", axes("DED DDE EDD DED DDE"), {"closed = .....Y"}, threeAxis);
        row("all sensors on", axes("EDD DED EEE EEE"), {"closed = ....."}, threeAxis);
        row("lost after X and Y", axes("EDD DED lost DDE EDD DED DDE"), {"closed = ......Y"},
            threeAxis);
        // The units restore queued by the characterisation waits for the end of the cycle (Z).
        // The total is the root of the squares; an axis switched off reads 0 averaged from its
        // next reading on.
        row("3-axis cycle", {"poll 8", "axes 5", "poll 2"},
            {"first = TF D2 AEDD D2 ADED", "sent = D2 ADDE D2 AEDD D2 U1 D2 ADED D2 ADDE",
             "mux = 1", "x = 12.5", "y = 12.5", "z = 12.5", "raw = 21.6506", "y averaged = 0",
             "peak y = 12.5"},
            threeAxis);
        // A range step whose answer is lost with the probe: once the probe is found again, the
        // axis cycle resumes (it waited for that answer for good, and no sample was taken again).
        row("a range step cut short by a loss",
            {"auto 1", "poll 3", "over 1", "poll 5", "over 0", "characterise", "poll 12"},
            {"sent = D2 ADDE D2 AEDD D2 U1 D2 R3 TF D2 ADED D2 ADDE D2 AEDD D2 U1 D2 R2 R2"},
            threeAxis);
        // Over range with automatic range: the next range, sent twice; none above the top range,
        // and no over-range report meanwhile.
        row("automatic range steps up",
            {"value 50.0", "poll 1", "auto 1", "over 1", "poll 6", ":R4\r", ":B 95.0\r",
             ":T 23  \r", SigmaData(" 99.0", " V ", 255, 'O')},
            {"sent = D2 D2 R3 R3 B TF D2 B TF D2 D2", "flags = 32 128 64 1", "range = 4",
             "over flag = 1", "over colour = 0"});
        // The PX-5200 RGE reads data in 50 ms at the shortest; identification cuts any rate
        // above 14 to 10.
        const char *rge = "PX-5200 RGE", *rge3 = "PX-5200 RGE 3-axis";
        row("rate cut by the identification", {}, {"min read = 50", "requested = 10"}, rge);
        const auto rate = [&](const char* name, const char* model, int asked, const char* pace) {
            row(name, {"rate " + QByteArray::number(asked)}, {QString("pace = ") + pace}, model);
        };
        rate("20/s fits exactly", rge, 20, "50 20 20");
        rate("5/s", rge, 5, "200 5 20");
        rate("too fast for the probe", rge, 40, "50 20 20");
        rate("3-axis, 10/s", rge3, 10, "50 5 5");
        rate("3-axis, 2/s", rge3, 2, "146 2 6");
        // This model has no fourth range in its second units: range 3 goes first.
        row("second units of the PX-5200 RGE", {"command U2", plain, ":R3\r", ":U\r"},
            {"sent = R3 U2 D2"}, "PX-5200 RGE");
        // The PX-5100 multiplies the second field kind by 1000 in ranges 2 to 4.
        row("field strength", {":R3\r", plain}, {"raw = 12.5", "field = 12.5"});
        row("squared, range 1", {":R1\r", SigmaData(" 12.5", " V2")}, {"raw = 12.5"});
        row("squared, range 3", {":R3\r", SigmaData(" 12.5", " V2")},
            {"raw = 12500", "field = 12500"});
        row("power density", {":R3\r", SigmaData(" 12.5", "MW2")}, {"raw = 12.5"});
        // Three blanks in the low current range: amperes shown as milliamperes.
        row("low current range", {SigmaData(" 1.50", "   "), ":R0\r", SigmaData(" 1.50", "   ")},
            {"units = mA", "raw = 1500"}, "PX-2100");
        // Without averaging the ring was never written.
        row("averaging", {"average 5", "clear", SigmaData(" 20.0", " V ")},
            {"field = 4", "peak = 20", "min = 20"});
        row("holds paused", {SigmaData(" 20.0", " V "), "pause 1", SigmaData(" 30.0", " V ")},
            {"peak = 20", "raw = 30"});
        row("averaging count at most 50", {"average 99"}, {"average = 50"});
        // In range 2 of V/m.
        row("log graph", {"graph Log"}, {"graph = Log 0.1-1000", "limits = 10 31.62"});
        row("auto graph, fixed range", {"graph Auto"}, {"graph = 0-35", "limits = 10 31.62"});
        row("auto graph, automatic range", {"graph Auto", "auto 1"},
            {"graph = Log 0.1-1000", "limits = 1 316.2"});
        row("a scale text", {"graph 0-100", "auto 1"}, {"graph = 0-100", "limits = 1 316.2"});
        // As the configuration does at start-up, before any probe.
        row("automatic range off before any reply", {"auto 1", "auto 0"},
            {"messages = ", "auto = 0"}, "");
        row("Zeta graph is logarithmic", {"graph Auto"},
            {"graph = Log 0.1-10k", "auto = 0", "mux = 1", "max range = 5"}, "PX-9130");
    }
    void replies() {
        QFETCH(QString, model);
        QFETCH(Replies, steps);
        QFETCH(QStringList, checks);
        Bench b(QMap<QString, MiniSigma>{{"PX-2100", Px2100}, {"PX-5200 RGE", Px5200Rge}}.value(
            QString(model).remove(QStringLiteral(" 3-axis")), Px5100));
        if (model.endsWith(u" 3-axis")) b.s.SetMultiplexPrefered(1);
        QStringList flags, sent, first;
        if (model.startsWith(u"PX-9")) {
            b.search([&](const QByteArray&) { return ZetaIdent(model.mid(3).toLatin1()); }).run(2);
            QCOMPARE(b.s.GetModel(), model);
        } else if (!model.isEmpty()) {
            QVERIFY(b.characterise());
            first = Plain(b.d->run(5));
        }
        b.host.messages.clear();
        const qint64 refused = b.s.RefusedReplies();
        QString closed;
        // The step words; any other step is a reply.
        using Arg = const QByteArray&;
        const QMap<QByteArray, std::function<void(Arg)>> act{
            {"average", [&](Arg a) { b.s.SetAverage(a.toInt()); }},
            {"pause", [&](Arg a) { b.s.PausePeakHold(a.toInt()); }},
            {"auto", [&](Arg a) { b.s.SetAutoRangeOn(a.toInt()); }},
            {"graph", [&](Arg a) { b.s.SetGraphType(a); }},
            {"clear", [&](Arg) { b.s.ClearMaxHold(), b.s.ClearMinHold(); }},
            {"command", [&](Arg a) { b.s.SetNextCmnd(a + "\r"); }},
            {"lost", [&](Arg) { b.s.SetLostComm(1), b.s.SetLostComm(0); }},
            {"rate", [&](Arg a) { b.s.SetSampleRate(a.toInt()); }},
            {"axes", [&](Arg a) { b.s.SetAxisEnabled(a.toInt()); }},
            {"poll", [&](Arg a) { sent << Plain(b.d->run(a.toInt())); }},
            {"value", [&](Arg a) { b.sigma.value = a.rightJustified(5); }},
            {"over", [&](Arg a) { b.sigma.over = a.toInt() ? 'O' : ' '; }},
            {"characterise", [&](Arg) { QVERIFY(b.characterise()); }}};
        for (const QByteArray& step : steps) {
            const QByteArray word = step.split(' ').first();
            if (act.contains(word)) {
                act[word](step.mid(word.size() + 1));
                if (QTest::currentTestFailed()) return;
                continue;
            }
            sent << Plain({b.d->feed(step)});
            flags << QString::number(step.startsWith('#') ? b.s.InputStr(step) : b.d->flags);
            closed += b.s.CycleCompleted() ? u'Y' : u'.';
        }
        QStringList icons;
        for (const Message& m : b.host.messages)
            icons << QStringList{"none", "information", "exclamation", "critical"}.value(
                int(m.icon));
        const QMap<QString, QString> own{
            {"flags", flags.join(u' ')},
            {"refused", QString::number(b.s.RefusedReplies() - refused)},
            {"first", first.join(u' ')},
            {"sent", sent.join(u' ')},
            {"next", sent.value(sent.size() - 1)},
            {"closed", closed},
            {"messages", icons.join(u' ')}};
        for (const QString& check : checks) {
            const QString name = check.section(QStringLiteral(" = "), 0, 0);
            QCOMPARE(name + QStringLiteral(" = ") + own.value(name, ReadOut(b.s, name)), check);
        }
    }

    // A characterisation from the link search on: the commands of the polls after the first
    // "from" (and the read timer's interval for each, where given); then the probe is named,
    // without a word, and the count of runs that had to start again, "failed" until then, is
    // cleared.
    void characterisation_data() {
        QTest::addColumn<MiniSigma>("sigma");
        QTest::addColumn<int>("from");
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<Ints>("intervals");
        QTest::addColumn<int>("failed");
        const auto row = [](const char* name, MiniSigma sigma, QMap<int, QByteArray> instead,
                            int from, const char* commands, const Ints& intervals = {},
                            int failed = 0) {
            sigma.replaceAt = instead; // answer number -> the reply given instead
            QTest::newRow(name) << sigma << from << QString(commands).split(u' ') << intervals
                                << failed;
        };
        MiniSigma lowCurrent = Px2100;
        lowCurrent.range = 0;
        row("full run, PX-5100", Px5100, {}, 0, FullRun);
        row("five ranges, PX-2100: short run, range restored", Px2100, {}, 0,
            "I R R R5 R5 D2 B D2 R2 B D2");
        row("no fourth range, PX-5560: mismatch at step 20 tolerated", Px5560, {}, 0, FullRun);
        row("PX-2100 in range 0: range 3 with automatic range", lowCurrent, {}, 0,
            "I R R R5 R5 D2 B D2 R3 B D2");
        // The probe refuses step 8 ("D2") in three runs: each starts again, and is counted.
        row("mismatch at step 8", Px5100, {{11, ":E\r"}, {35, ":E\r"}, {59, ":E\r"}}, 25,
            "R2 B R5 R5", {}, 3);
        // Step 8 without a whole answer is asked again, up to three times, each try waiting
        // longer; then it counts without an answer (a mismatch: the run starts again).
        row("a step without answer is asked again", Px5100,
            {{11, ""}, {12, ":D 12.5 V 0}"}, {13, ""}, {14, ""}}, 10, "D2 D2 D2 D2 R2",
            {66, 100, 200, 300, 66}, 1);
        // A late refusal of the fourth range (step 20, "R4", not answered in time) that turns up
        // after its retry was answered is not taken as the answer to the next step ("D2").
        row("a late answer is dropped as stale", Px5560, {{23, ""}, {25, ":E\r"}}, 22,
            "R4 R4 D2 D2 AEEE R2 B");
        // The fourth range of a probe that has it, unanswered through all tries, says nothing of
        // the model (taken as missing, a PX-5100 was named PX-5560): the run starts again.
        row("the fourth range unanswered", Px5100, {{23, ""}, {24, ""}, {25, ""}, {26, ""}}, 22,
            "R4 R4 R4 R4 D2 AEEE R2 B R5 R5", {}, 1);
        // The probe lost with its first reply in its second units and range 1: the next run
        // starts in them, but the range and units restored at the end are those it had before.
        row("the range and units of before restored after a run cut short", Px5100, {{16, "lost"}},
            41, "AEEE R2 B TF D2 U1 D2");
        // The answer to the first try arrives with a garbled answer to the retry: it counts.
        row("an answer before a garbled one", Px5100, {{23, ""}, {24, ":R4\r:|!\r"}}, 22,
            "R4 R4 D2 AEEE R2 B");
    }
    void characterisation() {
        QFETCH(MiniSigma, sigma);
        QFETCH(int, from);
        QFETCH(QStringList, commands);
        QFETCH(Ints, intervals);
        Bench b(sigma);
        Driver& d = b.search();
        d.run(from);
        QStringList sent;
        Ints waited;
        for (qsizetype i = 0; i < commands.size(); ++i) {
            sent << Plain({d.poll()});
            waited << b.s.GetTimerInterval();
        }
        QCOMPARE(sent, commands);
        if (!intervals.isEmpty()) QCOMPARE(waited, intervals);
        int failed = 0;
        for (int i = 0; i < 120 && b.s.GetModel().isEmpty(); ++i) {
            failed = b.s.FailedCharacterisations();
            d.poll();
        }
        QCOMPARE(std::tuple(b.s.GetModel(), b.s.TypeZeta(), b.s.FailedCharacterisations()),
                 std::tuple(sigma.name, int(StateSigma), 0));
        QTEST(failed, "failed");
        QVERIFY(b.host.messages.isEmpty());
        if (sigma.range == 0) QCOMPARE((Ints{b.s.AutoRangeOn(), b.s.Range()}), (Ints{1, 3}));
    }

    // ":I", model digits at 3-6, serial number at 17-24, calibration date at 25-32 (the H420,
    // "420": tst_probeline).
    void kappaIdentificationWaitsAfterTheSecondIdent() {
        Bench b;
        const QMap<QByteArray, QByteArray> replies{{"I\r", ":I0310ABCDEFGHIJ1234567806152024x\r"},
                                                   {"i\r", ":iXXXXREV1.23456YYYYYYYY\r"},
                                                   {"B\r", ":B 80.0\r"},
                                                   {"TF\r", ":T 71   \r"},
                                                   {"D1\r", ":D 1.23MA \r"}};
        Driver& d = b.search([&](const QByteArray& c) { return replies.value(c, ":E\r"); });
        QCOMPARE(Plain(d.run(7)), (QStringList{"I", "i", "B", "TF", "D1", "D1", "D1"}));
        QCOMPARE(std::pair(b.s.GetModel(), b.s.TypeZeta()),
                 std::pair(QString("E310"), int(StateKappa)));
        QCOMPARE(b.host.delays, QList<double>{1500});
        // "MA " is the fifth Kappa units; the reply length of a Kappa reading is 11.
        QCOMPARE((QStringList{b.host.serialNo, b.host.calDate, b.host.softRev, b.s.UnitsStr(),
                              b.s.XYZAxisStr()}),
                 (QStringList{"12345678", "06/15/2024", "REV1.23456", "mA/m", " 1.23"}));
        QCOMPARE((Ints{b.s.GetUnitsNo(), b.s.GetRThreshold()}), (Ints{5, 11}));
    }

    // A Zeta probe is identified, its calibration read, then it is sampled at the preferred
    // or requested speed. A calibration reply of the wrong length is asked for again.
    void zetaScheduler_data() {
        QTest::addColumn<QString>("preferred");
        QTest::addColumn<int>("highSpeed");
        QTest::addColumn<int>("calibrationLength");
        QTest::addColumn<QString>("commands");
        QTest::addColumn<Replies>("autoNext");
        QTest::addColumn<int>("minReadTime");
        QTest::newRow("base speed")
            << "9600,o,7,1" << 0 << 579 << "I M TF BP S S" << Replies{":M0"} << 28;
        // Without a stored preference the link is at its base speed: 28 ms a sample.
        QTest::newRow("no preference stored")
            << "" << 0 << 579 << "I M TF BP S S" << Replies{":M0"} << 28;
        QTest::newRow("19200 preferred")
            << "19200,o,7,1" << 0 << 579 << "I M TF BP F2 S S" << Replies{":M0", ":F2"} << 14;
        QTest::newRow("115200 requested")
            << "9600,o,7,1" << 12 << 579 << "I M TF BP S F5 S" << Replies{":M0", ":F5"} << 14;
        QTest::newRow("calibration of the wrong length")
            << "" << 0 << 578 << "I M M M" << Replies{} << 28;
    }
    void zetaScheduler() {
        QFETCH(QString, preferred);
        QFETCH(int, highSpeed);
        QFETCH(int, calibrationLength);
        QFETCH(QString, commands);
        Bench b;
        b.s.SetBaudRatePerfered(preferred);
        Driver& d = b.search([&](const QByteArray& c) -> QByteArray {
            b.host.autoNextAnswer = c == "M\r" ? "TF\r" : "S\r";
            if (c == "I\r") return ZetaIdent("9100");
            if (c == "M\r") return ":M" + QByteArray(calibrationLength - 3, '0') + "\r";
            if (c == "TF\r") return ":T 71  \r";
            if (c == "BP\r") return ":B80\r";
            if (c.startsWith('F')) return ":F" + c.mid(1, 1) + "\r";
            if (c == "S\r" && highSpeed) b.s.SetHighSpeedMode(highSpeed);
            return c == "S\r" ? ":S" + QByteArray(16, '0') + "\r" : ":E\r";
        });
        QCOMPARE(Plain(d.run(int(commands.count(u' ')) + 1)).join(u' '), commands);
        QTEST(b.host.autoNextCalls, "autoNext");
        QCOMPARE(std::pair(b.s.GetModel(), b.s.TypeZeta()),
                 std::pair(QString("PX-9100"), int(StateZeta)));
        QTEST(b.s.MinReadTime(), "minReadTime");
        // The acknowledged speed stands: a missed reply after it does not go back to 9600.
        if (highSpeed) QCOMPARE(b.s.BaudRateChange(), 0);
        if (calibrationLength != 579)
            QCOMPARE((Ints{b.s.GetRThreshold(), b.s.GetTimerInterval()}), (Ints{579, 1200}));
    }

    // A Sigma probe also characterising, or read axis by axis, as the row's name says.
    void randomRepliesInEveryState_data() {
        QTest::addColumn<int>("state");
        const QStringList states{"sigma", "zeta", "identifying", "kappa"};
        for (const QString tag :
             {"sigma", "sigma, characterising", "sigma, 3-axis", "zeta", "identifying", "kappa"})
            QTest::newRow(qPrintable(tag)) << int(states.indexOf(tag.section(u',', 0, 0)));
    }
    void randomRepliesInEveryState() {
        QFETCH(int, state);
        const QString tag = QTest::currentDataTag();
        const bool characterising = tag.endsWith(u"characterising");
        const bool threeAxis = tag.endsWith(u"3-axis");
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
                if (s.TypeZeta() != StateZeta) s.InputStr(reply);
                // Whatever happened, every read-out the window takes is still available.
                QVERIFY(s.XYZAxisStr().size() <= 48 && // even the largest single fits
                        s.GetRangeString(s.Range()).size() < 64);
            }
        }
    }
};

QTEST_GUILESS_MAIN(ProbeProtocolTest)
#include "tst_probe_protocol.moc"
