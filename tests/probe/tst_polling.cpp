// The polling cycle on a scripted port and a manual clock: start-up, misses and the lost probe,
// the link search, event mode, the port, the sample rate and the line's health; and the virtual
// probe as the host reads it.
#include "measure/ClsZeta.h"
#include "platform/fake/ManualClock.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "platform/fake/ScriptedSerialComm.h"
#include "probe/PollingCycle.h"
#include "tests/support/ProbeKit.h"
#include "tools/probesim/VirtualProbe.h"
#include "tools/probesim/ZetaProbe.h"

#include <QTest>
#include <cmath>
#include <functional>

using namespace kit;
using namespace probe;
using D = platform::ScriptedSerialComm::Delivery;
using Ints = QList<int>;

namespace {
// The window's share of a session on the scripted PX-5100: port, read timer, clock, boxes, cycle.
struct Rig : Bench {
    Rig() : timer(clock.createTimer()), view(s), cycle(s, port, *timer, clock, boxes, view) {}
    // Lets the read timer tick n times, each after the interval the cycle set.
    void ticks(int n) {
        for (int i = 0; i < n; ++i) {
            port.deliverNotifications();
            clock.advance(timer->interval());
        }
    }
    // Starts the cycle with the scripted PX-5100 on the line and polls (until it is in service).
    void startOnProbe(int portNo = 1, int polls = 40) {
        port.setResponder([this](const QByteArray& c) {
            if (silent) return QByteArray();
            return bad.isEmpty() ? sigma.answer(c) : std::exchange(bad, QByteArray());
        });
        cycle.Start(portNo);
        ticks(polls);
    }
    // Ticks until the next command goes out; the time that took.
    qint64 untilSent() {
        const int before = writes();
        const qint64 from = clock.monotonicMs();
        for (int i = 0; i < 200 && writes() == before; ++i)
            ticks(1);
        return clock.monotonicMs() - from;
    }
    QStringList sent() const { return Plain(port.written()); }
    int processed() const { return int(view.processed.size()); }
    int writes() const { return int(port.written().size()); }
    // Replies processed and commands written since a mark of them, and the misses now.
    Ints mark() const { return {processed(), writes()}; }
    Ints since(const Ints& mark) const {
        return {processed() - mark[0], writes() - mark[1], cycle.MissCount()};
    }

    platform::ManualClock clock;
    std::unique_ptr<platform::ManualHiResTimer> timer;
    platform::ScriptedSerialComm port;
    platform::RecordingMessageBoxes boxes;
    RecordingView view;
    PollingCycle cycle;
    bool silent = false;
    QByteArray bad; // given once instead of the probe's reply
};
} // namespace

class PollingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // In service on the chosen port; then the probe goes silent: each command is waited for
    // until its reply's time is up, and the fifth in a row without a reply loses the probe.
    void startUpThenLostAfterFiveRepliesTimedOut() {
        Rig r;
        r.startOnProbe(2);
        QCOMPARE(r.s.GetModel(), QStringLiteral("PX-5100"));
        QCOMPARE(r.sent().last(), QStringLiteral("D2"));
        QCOMPARE((Ints{r.view.checkedPort, r.cycle.MissCount(), r.view.clears}), (Ints{2, 0, 0}));
        // Data polls wait the data interval, identification polls 100 ms.
        QCOMPARE(r.timer->interval(), double(r.s.DataInterval()));
        r.silent = true;
        r.untilSent(); // the reply on its way still comes
        Ints misses;
        for (int i = 0; i < 5; ++i) {
            const qint64 waited = r.untilSent();
            QVERIFY2(waited >= PollingCycle::ReplyTimeoutMs &&
                         waited <= PollingCycle::ReplyTimeoutMs + 100,
                     qPrintable(QString::number(waited)));
            QCOMPARE(r.sent().last(), QStringLiteral("D2")); // the same question again
            misses << r.cycle.MissCount() << r.view.clears;
        }
        QCOMPARE(misses, (Ints{1, 0, 2, 0, 3, 0, 4, 0, 5, 1}));
        QCOMPARE((Ints{r.view.lowBatteryOffs, r.s.LostComm()}), (Ints{1, 1}));
        QVERIFY(r.s.GetModel().isEmpty());
        // The search sends a command every tick; the display was cleared once.
        const int writes = r.writes();
        r.ticks(3);
        QCOMPARE((Ints{r.writes() - writes, r.view.clears}), (Ints{3, 1}));
    }

    // The link search, in turn at both speeds or, in the other communication mode, with the
    // wake-up character at 9600 baud. Seen are the first 14 commands, the port's speeds in turn,
    // the reply length awaited, the speeds the status bar named, and at the end the one it
    // names and the port's. It searches forever, without messages, until a probe wakes up and
    // answers: identification follows.
    void theLinkSearch_data() {
        QTest::addColumn<bool>("otherMode");
        QTest::addColumn<QString>("seen");
        // Thirteen polls a cycle: "I" at 9600 baud, "R", "I" at 19200 baud.
        QTest::newRow("ASCII") << false
                               << "I I I I I R R R R R I I I I|19200 9600 19200 9600 19200 9600|34|"
                                  ",19200 Baud,9600 Baud|9600 Baud/9600";
        // A probe that refuses everything is asked "I" and "R" in turn.
        QTest::newRow("a refusing probe") << false << "I R I R I R I R I R I R I R||4||/9600";
        // The fifth miss declares the probe lost and arms the wake-up.
        QTest::newRow("the other mode")
            << true << "I I I I I R NUL NUL NUL NUL NUL NUL NUL NUL||3|,9600 Baud|9600 Baud/9600";
    }
    void theLinkSearch() {
        QFETCH(bool, otherMode);
        Rig r;
        r.view.arProbe = otherMode;
        if (QTest::currentDataTag() == QLatin1String("a refusing probe"))
            r.port.setResponder([](const QByteArray&) { return QByteArray(":E\r"); });
        r.cycle.Start(1);
        QStringList named;
        for (int i = 0; i < 40; ++i, r.ticks(1))
            named << r.view.panels.value(2);
        named.removeDuplicates();
        const QStringList seen{r.sent().mid(0, 14).join(u' '),
                               r.port.settingsHistory().join(u' ').remove(",o,7,1"),
                               QString::number(r.s.GetRThreshold()), named.join(u','),
                               r.view.panels.value(2) + u'/' + r.port.settings().remove(",o,7,1")};
        QTEST(seen.join(u'|'), "seen");
        QVERIFY(r.boxes.messages().isEmpty());
        if (!otherMode) return; // (a probe found again by the search: tst_engine)
        r.port.setResponder(
            [](const QByteArray& c) { return QByteArray(c == "R\r" ? ":R2\r" : ":N\r"); });
        r.ticks(2);
        QVERIFY(r.s.LostComm() == 0 && r.sent().last() == QStringLiteral("R"));
    }

    // A reply cut at any point waits for its rest, however many ticks apart the parts come.
    void aReplyCutAnywhereIsTakenWholeOnce() {
        Rig r;
        r.startOnProbe();
        r.silent = true;
        r.untilSent(); // the last reply taken; the command now in flight gets none by itself
        const QByteArray reply = SigmaData(" 12.5", " V ");
        for (int cut = 1; cut < reply.size(); ++cut) {
            const Ints at = r.mark();
            r.port.receive(reply.left(cut));
            r.ticks(1 + cut % 3);
            QCOMPARE(r.since(at), (Ints{0, 0, 0}));
            r.port.receive(reply.mid(cut));
            r.ticks(1);
            QCOMPARE(r.since(at), (Ints{1, 1, 0}));
            QCOMPARE(r.view.processed.last(), reply);
        }
        QCOMPARE(r.cycle.StaleReplies(), 0);
    }

    // What is no answer costs one miss, once the line has had its chance; nothing half-read
    // is processed, and then the line settles by itself.
    void whatIsNoAnswerIsOneMiss_data() {
        QTest::addColumn<D>("plan");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("waited"); // the miss comes only when the reply's time is up
        const QByteArray data = SigmaData(" 12.5", " V ");
        QTest::newRow("garbled") << D::Garbled << data << false;
        QTest::newRow("dropped") << D::Dropped << data << true;
        QTest::newRow("another command's reply") << D::Whole << QByteArray(":Z\r") << false;
        QTest::newRow("noise with an end") << D::Whole << QByteArray("~|!\r") << false;
        QTest::newRow("its end garbled") << D::Whole << data.chopped(1) + '~' << false;
    }
    void whatIsNoAnswerIsOneMiss() {
        QFETCH(D, plan);
        QFETCH(QByteArray, reply);
        Rig r;
        r.startOnProbe();
        r.bad = reply;
        r.port.planNext(plan);
        r.ticks(1); // sends the command whose reply goes wrong
        const Ints at = r.mark();
        QTEST(r.untilSent() >= PollingCycle::ReplyTimeoutMs, "waited");
        QCOMPARE(r.since(at), (Ints{0, 1, 1}));
        r.untilSent();
        QCOMPARE(r.since(at), (Ints{1, 2, 0}));
        QCOMPARE(r.view.processed.last().size(), 19);
    }

    // A reply that turns up after its command was given up on is stale: no answer to a command
    // asked since, but one to the same question asked again unless the newer one came with it.
    void repliesAfterACommandWasGivenUpOn_data() {
        QTest::addColumn<QByteArray>("askedNext"); // sent when the reply's time is up
        QTest::addColumn<QList<QByteArray>>("reads");
        QTest::addColumn<QList<QByteArray>>("taken");
        QTest::addColumn<int>("stale");
        const QByteArray late = SigmaData(" 11.0", " V ");
        const QByteArray fresh = SigmaData(" 12.0", " V ");
        using L = QList<QByteArray>;
        QTest::newRow("the late reply alone") << QByteArray("D2") << L{late} << L{late} << 0;
        QTest::newRow("both in one read") << QByteArray("D2") << L{late + fresh} << L{fresh} << 1;
        QTest::newRow("the late one, then the range")
            << QByteArray("R3") << L{late, ":R3\r"} << L{":R3\r"} << 1;
        QTest::newRow("both in one read, then the range")
            << QByteArray("R3") << L{late + ":R3\r"} << L{":R3\r"} << 1;
    }
    void repliesAfterACommandWasGivenUpOn() {
        QFETCH(QByteArray, askedNext);
        QFETCH(QList<QByteArray>, reads);
        Rig r;
        r.startOnProbe();
        r.silent = true;
        r.untilSent();
        if (askedNext == "R3") r.s.SetRange(3); // chosen by the user meanwhile
        QVERIFY(r.untilSent() >= PollingCycle::ReplyTimeoutMs);
        QCOMPARE(r.sent().last(), QString::fromLatin1(askedNext));
        const qsizetype mark = r.view.processed.size();
        for (const QByteArray& read : reads) {
            r.port.receive(read);
            r.ticks(1);
        }
        QTEST(r.view.processed.mid(mark), "taken");
        QTEST(int(r.cycle.StaleReplies()), "stale");
        QCOMPARE(r.cycle.MissCount(), 0);
    }

    void eventModeTakesTheReplyInTheNotification() {
        Rig r;
        r.startOnProbe();
        r.cycle.SetMaxRate(true); // event mode ...
        r.cycle.StopAutoNext();   // ... without answering at once
        r.ticks(1);
        QCOMPARE(r.port.rThreshold(), 1); // every character: the reply ends at its CR
        const Ints at = r.mark();
        r.port.deliverNotifications();
        QCOMPARE(r.since(at), (Ints{1, 0, 0}));
        r.clock.advance(r.timer->interval()); // the next command goes out on the tick
        QCOMPARE(r.since(at), (Ints{1, 1, 0}));

        // "Max": the next command goes out from the notification itself. The probe's reply to
        // it is held on the line so that the test sees one round at a time.
        r.cycle.SetMaxRate(true);
        r.port.planNext(D::Late);
        r.port.deliverNotifications();
        QCOMPARE(r.since(at) << r.cycle.RespReceived(), (Ints{2, 2, 0, 0}));
        // Half a reply is no reply: the rest is waited for, ticks and all.
        r.port.planNext(D::Split);
        r.port.releaseHeld();
        r.port.deliverNotifications(); // the held reply: processed, next command out
        QCOMPARE(r.since(at), (Ints{3, 3, 0}));
        r.port.deliverNotifications(); // half a reply
        r.clock.advance(5 * r.timer->interval());
        QCOMPARE(r.since(at), (Ints{3, 3, 0}));
        r.port.planNext(D::Late);
        r.port.releaseHeld();
        r.port.deliverNotifications();
        QCOMPARE(r.since(at), (Ints{4, 4, 0}));
        QCOMPARE(r.view.processed.last().size(), 19);
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

    void sampleRateAndModelText() {
        Rig r;
        r.view.samplesPerReply = 31;
        int answers = 0;
        r.port.setResponder([&](const QByteArray& c) {
            return answers++ ? QByteArray() : ":" + c.left(1) + QByteArray(8, '0') + "\r";
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
    // share of whole replies of the last minute, late, split, garbled and missing ones counted
    // apart. A late or split reply is waited for: nothing goes out meanwhile.
    void lineHealth() {
        Rig r;
        r.startOnProbe(1, 6); // "I", "R", "R", "R5", "R5", "D2": the third step awaited
        r.cycle.CalSamPerSecTick();
        QCOMPARE(int(r.view.health.stage), int(LineHealth::Stage::Identifying));
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
        r.untilSent(); // the reply's time is up: missing
        for (const D held : {D::Late, D::Split}) {
            r.port.planNext(held);
            r.ticks(4);
            r.port.releaseHeld();
            r.ticks(1);
        }
        r.cycle.CalSamPerSecTick();
        const LineHealth& h = r.view.health;
        QCOMPARE(int(h.stage), int(LineHealth::Stage::Reading));
        // Late and split replies came whole: they count towards the share.
        QCOMPARE((Ints{h.good, h.late, h.split, h.garbled, h.missing, h.percent}),
                 (Ints{10, 1, 1, 1, 1, 85}));
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

    // The virtual Zeta probe of each model as the host reads it: the revision that offers the
    // high speeds, the temperature in Celsius at 3-6, a calibration reply that holds the
    // probe's coefficients (72 fields of eight characters, coded, term fastest, then axis, then
    // segment, then gain range) and gives every gain range a field that grows with the count;
    // samples of fields across all gain ranges read as the field within 1 %, the sample's table
    // giving what the direct computation gives, and beyond the strongest range the count is
    // full in gain range 4.
    void virtualZetaProbe_data() {
        QTest::addColumn<QString>("model");
        for (const QString& model : probesim::ZetaProbe::ModelNames())
            QTest::newRow(qPrintable(model)) << model;
    }
    void virtualZetaProbe() {
        QFETCH(QString, model);
        const auto probe = probesim::CreateProbe(model, {});
        QCOMPARE(probe->answer("I", 0).mid(6, 10), QByteArray("073020030A"));
        QCOMPARE(Val(probe->answer("TC", 0).mid(2, 4)), 23.5);
        QByteArray reply = probe->answer("M", 0);
        measure::ClsZeta host([](platform::MsgIcon, const QString& text) { qWarning() << text; });
        QCOMPARE(host.ParseCoeff(reply), 1);
        reply.replace('A', '0').replace('B', '-').replace('D', '.');
        const auto& held = static_cast<probesim::ZetaProbe&>(*probe).calibration();
        for (int f = 0; f < 72; ++f) {
            const auto& c = held.coefficients(f / 3 % 3, f / 18 + 1, f / 9 % 2 + 1);
            bool ok = false;
            const double number = reply.mid(2 + 8 * f, 8).toDouble(&ok);
            QVERIFY2(ok && number == (std::array{c.a, c.b, c.p}[f % 3]),
                     qPrintable(QString::number(f)));
        }
        const auto read = [&](int axis, int count, int code) {
            return std::invoke(std::array{&measure::ClsZeta::CalX, &measure::ClsZeta::CalY,
                                          &measure::ClsZeta::CalZ}[axis],
                               host, count, code);
        };
        for (int axis = 0; axis < 3; ++axis)
            for (const int code : probesim::ZetaCalibration::GainCode)
                for (int count = 1; count <= 4095; ++count)
                    QVERIFY2(read(axis, count, code) >
                                 (count > 1 ? read(axis, count - 1, code) : 0),
                             qPrintable(QString("a count that reads no more than the one below: "
                                                "axis %1, gain code %2, count %3")
                                            .arg(axis)
                                            .arg(code)
                                            .arg(count)));
        QSet<int> gainCodes;
        for (const auto& want : {std::array{1.2, 3.0, 5.0}, std::array{20.0, 30.0, 45.0},
                                 std::array{100.0, 150.0, 240.0}, std::array{400.0, 700.0, 1e3}}) {
            const QByteArray sample =
                probesim::CreateProbe(model, Constant(want[0], want[1], want[2]))->answer("S", 0);
            QVERIFY(host.ParseCalZeta(sample));
            const std::array shown{host.XNA(), host.YNA(), host.ZNA()};
            for (int axis = 0; axis < 3; ++axis) {
                const int code = sample.mid(11 + 2 * axis, 2).toInt(nullptr, 16);
                gainCodes.insert(code);
                const float f = read(axis, sample.mid(2 + 3 * axis, 3).toInt(nullptr, 16), code);
                QVERIFY2(std::abs(f / want[axis] - 1.0) < 0.01 && shown[axis] == f,
                         sample.constData());
            }
        }
        QCOMPARE(gainCodes, (QSet<int>{0, 1, 16, 255}));
        const QByteArray over = probesim::CreateProbe(model, Constant(1e5, 0, 0))->answer("S", 0);
        QCOMPARE(over.mid(2, 3) + over.mid(11, 2), QByteArray("FFFFF"));
    }
};

QTEST_GUILESS_MAIN(PollingTest)
#include "tst_polling.moc"
