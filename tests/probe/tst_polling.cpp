// The polling cycle on a scripted port and a manual clock: start-up, misses and the lost probe,
// the link search, event mode, the port, the sample rate and the line's health; and the host
// on the virtual probe, which answers as a real one would.
#include "platform/fake/ManualClock.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "platform/fake/ScriptedSerialComm.h"
#include "probe/PollingCycle.h"
#include "tests/support/ProbeKit.h"
#include "tools/probesim/VirtualProbe.h"
#include "tools/probesim/ZetaProbe.h"

#include <QTest>
#include <cmath>

using namespace kit;
using namespace probe;
using D = platform::ScriptedSerialComm::Delivery;
using Ints = QList<int>;

namespace {
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
    platform::ScriptedSerialComm port;
    platform::RecordingMessageBoxes boxes;
    RecordingView view;
    PollingCycle cycle;
    bool silent = false;
    QByteArray bad; // given once instead of the probe's reply
};

probesim::FieldPlan Constant(double x, double y, double z) {
    probesim::FieldPlan plan;
    for (int axis = 0; axis < 3; ++axis)
        plan.axes[axis].level = std::array{x, y, z}[axis];
    return plan;
}

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

class PollingTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
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
        r.ticks(2);
        r.cycle.CalSamPerSecTick();
        const LineHealth& h = r.view.health;
        QCOMPARE(int(h.stage), int(LineHealth::Stage::Reading));
        QCOMPARE((Ints{h.good, h.garbled, h.missing, h.percent}), (Ints{9, 1, 1, 81}));
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

    // The host on each Zeta model of the virtual probe, polled as the timer-mode polling cycle
    // polls from the link search on, and its decoding of the probe's calibration and samples.
    void zetaIsIdentifiedAndDecodes_data() {
        QTest::addColumn<QString>("model");
        for (const QString& model : probesim::ZetaProbe::ModelNames())
            QTest::newRow(qPrintable(model)) << model;
    }
    void zetaIsIdentifiedAndDecodes() {
        QFETCH(QString, model);
        Bench on;
        const auto probe = probesim::CreateProbe(model, {});
        QMap<QByteArray, QByteArray> replies; // the last reply to each command
        double seconds = 0;
        Driver& d = on.search([&](QByteArray command) {
            command.chop(1);
            return replies[command] = probe->answer(command, seconds += 0.05);
        });
        for (int i = 0; i < 200 && (on.s.GetModel().isEmpty() || on.s.InitState() != 0); ++i)
            d.poll();
        QCOMPARE(std::pair(on.s.GetModel(), on.s.TypeZeta()), std::pair(model, int(StateZeta)));
        QCOMPARE(replies["I"].mid(6, 10), QByteArray("073020030A"));
        QCOMPARE(Val(probe->answer("TC", 0).mid(2, 4)), 23.5); // Celsius at 3-6
        d.poll();
        QCOMPARE(on.host.autoNextCalls, QList<QByteArray>{":M0"}); // 579 characters arrived

        Calibration cal;
        QVERIFY(Decode(replies["M"], &cal));
        const auto& held = static_cast<probesim::ZetaProbe&>(*probe).calibration();
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

QTEST_GUILESS_MAIN(PollingTest)
#include "tst_polling.moc"
