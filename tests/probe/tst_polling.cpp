// The polling cycle against a scripted port and a clock the test advances: one command per
// poll, complete replies judged by length, loss after five misses, the link search with its
// speed changes and wake-up character, recovery, event mode and port selection.
#include "platform/fake/ManualClock.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "platform/fake/ScriptedSerialComm.h"
#include "probe/PollingCycle.h"
#include "tests/support/ProbeKit.h"

#include <QTest>

using namespace kit;
using platform::ScriptedSerialComm;
using probe::PollingCycle;
using D = ScriptedSerialComm::Delivery;

namespace {

// The window's share of one session: port, read timer, clock, boxes, probe, cycle.
struct Rig {
    Rig() : timer(clock.createTimer()), s(host), view(s), cycle(s, port, *timer, boxes, view) {
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
    RecordingHost host;
    probe::clsProbe s;
    RecordingView view;
    PollingCycle cycle;
    MiniSigma sigma{Px5100()};
    bool silent = false;
    QByteArray bad; // given once instead of the probe's reply
};

} // namespace

class PollingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void startUpIdentifiesAndPolls() {
        Rig r;
        r.startOnProbe(2);
        QCOMPARE(r.view.checkedPort, 2);
        QCOMPARE(r.s.GetModel(), QStringLiteral("PX-5100"));
        QCOMPARE(r.sent().mid(0, 4), (QStringList{"I", "R", "R", "R5"}));
        QCOMPARE(r.sent().last(), QStringLiteral("D2"));
        QCOMPARE(r.cycle.MissCount(), 0);
        QCOMPARE(r.view.clears, 0);
        // Data polls wait the data interval, identification polls 100 ms.
        QCOMPARE(r.timer->interval(), double(r.s.DataInterval()));
    }

    void probeLostAfterExactlyFiveMisses() {
        Rig r;
        r.startOnProbe();
        r.silent = true;
        r.ticks(5); // the first of these still takes the last reply
        QCOMPARE(r.cycle.MissCount(), 4);
        QCOMPARE(r.view.clears, 0);
        QCOMPARE(r.s.LostComm(), 0);
        r.ticks(1);
        QCOMPARE(r.cycle.MissCount(), 5);
        QCOMPARE(r.view.clears, 1);
        QCOMPARE(r.view.lowBatteryOffs, 1);
        QCOMPARE(r.s.LostComm(), 1);
        QVERIFY(r.s.GetModel().isEmpty());
        r.ticks(3);
        QCOMPARE(r.view.clears, 1); // cleared once, not on every further miss
        // The probe comes back: the first reply that starts with ':' ends the search.
        r.silent = false;
        r.ticks(60);
        QCOMPARE(r.s.LostComm(), 0);
        QCOMPARE(r.s.GetModel(), QStringLiteral("PX-5100"));
        QCOMPARE(r.cycle.MissCount(), 0);
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
        r.port.setResponder([](const QByteArray& c) {
            return c == QByteArray("R\r") ? QByteArray(":R2\r") : QByteArray(":N\r");
        });
        r.ticks(2);
        QCOMPARE(r.s.LostComm(), 0);
        QCOMPARE(r.sent().last(), QStringLiteral("R"));
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
        QTest::newRow("complete but the wrong length") << D::Whole << QByteArray(":E\r") << 1;
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
        QCOMPARE(r.cycle.MissCount(), misses);
        QCOMPARE(r.processed(), processed); // nothing half-read is processed
        r.ticks(1);
        QCOMPARE(r.cycle.MissCount(), 0); // the line settles by itself
        QCOMPARE(r.processed(), processed + 1);
        QCOMPARE(r.view.processed.last().size(), 19);
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
        QCOMPARE(r.port.notificationCount(), before + 1);
        QCOMPARE(r.processed(), processed + 1);
        const int writes = r.writes();
        r.clock.advance(r.timer->interval()); // the next command goes out on the tick
        QCOMPARE(r.writes(), writes + 1);

        // "Max": the next command goes out from the notification itself. The probe's reply to
        // it is held on the line so that the test sees one round at a time.
        r.cycle.SetMaxRate(true);
        r.port.planNext(D::Late);
        r.port.deliverNotifications();
        QCOMPARE(r.writes(), writes + 2);
        QCOMPARE(r.cycle.RespReceived(), 0);
        // A split reply raises no notification; the tick counts the miss.
        r.port.planNext(D::Split);
        const int notifications = r.port.notificationCount();
        r.port.releaseHeld();
        r.port.deliverNotifications(); // the held reply: processed, next command out
        QCOMPARE(r.port.notificationCount(), notifications + 1);
        QCOMPARE(r.writes(), writes + 3);
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
        QCOMPARE(r.view.clears, 1);
        QVERIFY(!r.timer->enabled());
        QCOMPARE(r.view.checkedPort, 0);
        QCOMPARE(r.cycle.CommPortNo(), 1);
        r.cycle.SelectPort(4);
        QVERIFY(r.timer->enabled());
        QCOMPARE(r.cycle.CommPortNo(), 4);
        QCOMPARE(r.view.checkedPort, 4);
        QCOMPARE(r.port.openHistory(), (QList<int>{1, 3, 4}));
    }

    // The stream cut into records: whole records are taken however the line splits or joins
    // them; a broken record and noise are dropped up to the next carriage return.
    void streamRecords_data() {
        QTest::addColumn<QList<QByteArray>>("chunks");
        QTest::addColumn<QList<int>>("taken"); // records taken from each chunk
        const QByteArray r = ":S3E83E83E8000000N\r";
        QTest::newRow("one") << QList<QByteArray>{r} << QList<int>{1};
        QTest::newRow("split") << QList<QByteArray>{r.left(7), r.mid(7)} << QList<int>{0, 1};
        QTest::newRow("three at once") << QList<QByteArray>{r + r + r} << QList<int>{3};
        QTest::newRow("short record") << QList<QByteArray>{r.left(17) + "\r" + r} << QList<int>{1};
        QTest::newRow("noise") << QList<QByteArray>{"#@!x\r" + r + r} << QList<int>{2};
        QTest::newRow("cut short") << QList<QByteArray>{r.left(10) + r, r} << QList<int>{1, 1};
        QTest::newRow("not a sample") << QList<QByteArray>{":T3E83E83E8000000N\r"} << QList<int>{0};
        QTest::newRow("long noise, then a record")
            << QList<QByteArray>{QByteArray(40, 'x'), r} << QList<int>{0, 1};
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
        QCOMPARE((QList<int>{r.view.health.step, r.view.health.steps, r.view.health.attempt}),
                 (QList<int>{4, 24, 1}));
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
        QCOMPARE((QList<int>{h.good, h.garbled, h.missing}), (QList<int>{9, 1, 1}));
        QCOMPARE(h.percent, 81);
    }
};

QTEST_GUILESS_MAIN(PollingTest)
#include "tst_polling.moc"
