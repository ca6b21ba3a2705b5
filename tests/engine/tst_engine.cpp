// The probe engine without a front end, on the virtual probe of each family behind the scripted
// port and the manual clock: the commands on the wire, refusals, the streaming speeds. (The
// polled speeds, through the window's menu: tst_linksetup.)
#include "engine/ProbeEngine.h"
#include "tests/support/WindowKit.h"

#include <QTest>

namespace {

using probe::HighSpeed;

struct Events : engine::EngineEvents {
    void ClearDisplay() override { ++losses; }
    void CommandRefused(const QString& command) override { refused.append(command); }
    void ReplyProcessed(const probe::ReplyTaken& taken) override { samples += taken.samples; }
    void SetStatusPanel(int panel, const QString& text) override { panels[panel] = text; }
    void DisableHiSpeed(bool ended) override { streamsEnded += ended ? 1 : 0; }
    void BatteryFlag(bool low) override { batteryLow = low; }
    int losses = 0, samples = 0, streamsEnded = 0;
    bool batteryLow = false;
    QStringList refused;
    QMap<int, QString> panels;
};

struct Rig : kit::ProbeLine {
    explicit Rig(const QString& model) {
        useProbe(model);
        engine.SetEvents(events);
        engine.SetPreferredSpeed(probe::BaseSpeed().Settings()); // as the front ends start
        engine.Start(1);
    }
    // Until the probe is identified and has given a few readings since.
    bool inService(double maxMs = 30000) {
        readings.readings.clear();
        return runUntil(
            [this] {
                return engine.probe().LostComm() == 0 && engine.probe().TypeZeta() != 2 &&
                       !engine.cycle().Identifying() && readings.readings.size() > 3;
            },
            maxMs);
    }
    HighSpeed stream() const { return engine.cycle().HighSpeedState(); }

    kit::RecordingSink readings;
    Events events;
    engine::ProbeEngine engine{port, clock, boxes, [this] { return clock.createTimer(); },
                               readings};
};

// A streamed record of counts and gain codes that the calibration reads as a field.
QByteArray Record(const char* counts = "3E83E83E8", char battery = 'N') {
    return QByteArray(":S") + counts + "000000" + battery + "\r";
}

using Command = std::function<void(engine::ProbeEngine&)>;

} // namespace

Q_DECLARE_METATYPE(Command)

class EngineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // A probe of each family is named and read as its family: 5, 8 and 11 V/m, 14.49 in total,
    // within 1 % (the axes where the probe reports them). Each command then reaches the wire
    // once, in the probe's words, and the probe's answer is taken (and leads on to the commands
    // after it, in this order) or refused, which is told; the probe reads on.
    void commandsReachTheWire_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<Command>("command");
        QTest::addColumn<QStringList>("wire");
        const auto row = [](const char* name, const char* model, const char* wire, Command c) {
            QTest::newRow(name) << QString(model) << c << QString(wire).split(' ');
        };
        using E = engine::ProbeEngine;
        const Command celsius = [](E& e) { e.SetUseCelsius(true), e.RefreshBattTemp(); };
        row("units", "PX-5100", "U2", [](E& e) { e.RequestUnits(2); });
        row("next units", "PX-5100", "UN", [](E& e) { e.StepUnits(); });
        row("range", "PX-5100", "R3", [](E& e) { e.RequestRange(3); });
        row("range refused", "PX-5100", "R5", [](E& e) { e.RequestRange(5); }); // it has 4
        row("next range", "PX-5100", "RN", [](E& e) { e.StepRange(); });
        row("zero", "PX-5100", "Z", [](E& e) { e.Zero(); });
        row("all sensors", "PX-5100", "AEEE", [](E& e) { e.AllSensorsOn(); });
        row("ARM mode", "PX-5100", "P1", [](E& e) { e.SetCommMode(engine::CommMode::ARM); });
        row("ASCII mode", "PX-5100", "P2", [](E& e) { e.SetCommMode(engine::CommMode::ASCII); });
        row("Sigma battery", "PX-5100", "R B TF", [](E& e) { e.RefreshBattTemp(); });
        row("Sigma Celsius", "PX-5100", "R B TC", celsius);
        row("Kappa battery", "E310", "B", [](E& e) { e.RefreshBattTemp(); });
        row("Zeta temperature", "PX-9100", "TF BP", [](E& e) { e.RefreshBattTemp(); });
        row("Zeta Celsius", "PX-9100", "TC BP", celsius);
    }
    void commandsReachTheWire() {
        QFETCH(QString, model);
        QFETCH(Command, command);
        QFETCH(QStringList, wire);
        Rig rig(model);
        QVERIFY(rig.port.portOpen());
        QVERIFY2(rig.inService(), qPrintable(rig.engine.probe().GetModel()));
        rig.run(3000); // past the requests that follow identification, the averaging filled
        QCOMPARE(rig.engine.probe().GetModel(), model);
        QVERIFY(rig.boxes.messages().isEmpty());
        const measure::Reading& r = rig.readings.readings.last();
        using measure::Family;
        QCOMPARE(r.family, model[0] == 'E'            ? Family::Kappa
                           : model.startsWith("PX-9") ? Family::Zeta
                                                      : Family::Sigma);
        const measure::AxisValues field{14.49f, 5, 8, 11};
        for (int axis = 0; axis < (r.axesReported ? 4 : 1); ++axis)
            QVERIFY2(qAbs(r.value[axis] - field[axis]) < field[axis] * 0.01f,
                     qPrintable(QString::number(r.value[axis])));
        const qsizetype from = rig.port.written().size();
        command(rig.engine);
        rig.run(3000);
        QStringList sent = rig.sentSince(from);
        sent.removeIf([&](const QString& c) { return !wire.contains(c); });
        QCOMPARE(sent, wire);
        const bool refused = QString(QTest::currentDataTag()).endsWith("refused");
        QCOMPARE(rig.events.refused, refused ? wire : QStringList{});
        const int samples = rig.events.samples;
        rig.run(1000);
        QVERIFY(rig.events.samples > samples && rig.events.losses == 0); // the probe reads on
    }

    // A streaming speed is asked at the old speed with the next sample poll; the
    // acknowledgement retunes the port, each record of the stream is a reading (every shape:
    // tst_probe_tables) and a low battery flag is told; the watchdog ends a stream that stopped
    // and polling resumes at the speed in force. A probe that never takes up the speed, or one
    // that streams on while the program polls again, is lost and found again at 9600 baud.
    void streamingSpeeds_data() {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("does"); // what the probe does
        const auto row = [](const char* name, int entry, const char* settings, const char* does) {
            QTest::newRow(name) << entry << QString(settings) << QString(does);
        };
        row("38.4 kBaud", 3, "38400,o,7,1", "stops");
        row("57.6 kBaud", 4, "57600,o,7,1", "stops");
        row("115.2 kBaud", 5, "115200,o,7,1", "stops");
        row("57.6 kBaud, never taken up", 4, "", "ignores");
        row("115.2 kBaud, streams on", 5, "115200,o,7,1", "streams on");
    }
    void streamingSpeeds() {
        QFETCH(int, entry);
        QFETCH(QString, does);
        Rig rig(QStringLiteral("PX-9100"));
        QVERIFY(rig.inService());
        if (does == "ignores")
            rig.ignores = [](const QByteArray& command) { return command.startsWith('F'); };
        else // from the acknowledgement on, the test sends the records itself
            rig.ignores = [&](const QByteArray&) {
                return rig.stream() >= HighSpeed::Acknowledged;
            };
        const qsizetype from = rig.port.written().size();
        rig.engine.RequestStreamingSpeed(*probe::LinkSpeedOfEntry(entry));
        QCOMPARE(rig.stream(), HighSpeed::Requested);
        QCOMPARE(rig.port.settings(), QStringLiteral("9600,o,7,1"));
        const probe::PollingCycle& cycle = rig.engine.cycle();
        if (does != "ignores") {
            QVERIFY(rig.runUntil([&] { return rig.stream() == HighSpeed::Acknowledged; }, 3000));
            QCOMPARE(rig.sentSince(from).count("F" + QString::number(entry)), 1);
            QTEST(rig.port.settings(), "settings");
            QCOMPARE((QList<int>{rig.port.inputLen(), rig.port.rThreshold(), cycle.EventReceive(),
                                 rig.events.streamsEnded}),
                     (QList<int>{19, 19, 1, 0}));
            QVERIFY(rig.engine.HRTReadProbe().enabled()); // now the stream's watchdog
            QCOMPARE((QStringList{rig.events.panels[2], rig.port.lastWritten()}),
                     (QStringList{QString(QTest::currentDataTag()).section(',', 0, 0), "S\r"}));
            rig.port.receive(Record() + Record());
            rig.port.deliverNotifications();
            QCOMPARE((QList<qint64>{qint64(rig.stream()), cycle.StreamRecordsTotal()}),
                     (QList<qint64>{qint64(HighSpeed::Streaming), 2}));
            const float before = rig.engine.zeta().XYZ();
            rig.port.receive(Record("FFFFFFFFF", 'F'));
            rig.port.deliverNotifications();
            QVERIFY(rig.engine.zeta().XYZ() > before && rig.events.batteryLow);
            for (int i = 0; i < 20; ++i) { // records every 20 ms keep it going
                rig.port.receive(Record());
                rig.run(20);
            }
            QCOMPARE(rig.stream(), HighSpeed::Streaming);
            // Silence: at most two ticks of the watchdog later, polling resumes.
            rig.silent = does == "streams on";
            rig.run(250);
            QVERIFY(rig.stream() == HighSpeed::Off && rig.events.streamsEnded == 1);
            QTEST(rig.port.settings(), "settings");
        }
        if (does == "stops") {
            const int samples = rig.events.samples;
            rig.run(2000);
            QVERIFY(rig.events.samples > samples && cycle.MissCount() < 5);
            QCOMPARE(rig.events.losses, 0);
            return;
        }
        for (int i = 0; i < 40 && rig.silent; ++i) { // stray records while polling resumes
            rig.port.receive(Record().mid(i % 7));
            rig.run(40);
        }
        // Five commands in a row without a reply, each waited for a second at least.
        QVERIFY(rig.runUntil([&] { return rig.engine.probe().LostComm() == 1; }, 10000));
        QVERIFY(rig.events.losses == 1 && rig.stream() == HighSpeed::Off &&
                rig.events.streamsEnded == 1);
        if (rig.silent) rig.useProbe(QStringLiteral("PX-9100")); // after a power cycle
        rig.silent = false;
        // The probe talks at 9600 baud only: the search must come back to it.
        rig.ignores = [&](const QByteArray&) { return rig.port.settings() != "9600,o,7,1"; };
        QVERIFY(rig.inService(15000));
        QCOMPARE(rig.port.settings(), QStringLiteral("9600,o,7,1"));
        QCOMPARE(rig.engine.probe().TypeZeta(), int(probe::StateZeta));
    }

    // Polling stops after what is already on the line is read: the reply to the last poll, or
    // the records of a stream not yet handed over, are not lost with the end of a run.
    void stoppingReadsWhatArrived_data() {
        QTest::addColumn<bool>("streaming");
        QTest::newRow("polled") << false;
        QTest::newRow("streaming") << true;
    }
    void stoppingReadsWhatArrived() {
        QFETCH(bool, streaming);
        Rig rig(QStringLiteral("PX-9100"));
        QVERIFY(rig.inService());
        if (streaming) {
            rig.ignores = [&](const QByteArray&) {
                return rig.stream() >= HighSpeed::Acknowledged;
            };
            rig.engine.RequestStreamingSpeed(*probe::LinkSpeedOfEntry(5));
            QVERIFY(rig.runUntil([&] { return rig.stream() == HighSpeed::Acknowledged; }, 3000));
            rig.port.receive(Record() + Record() + Record());
        }
        QVERIFY(rig.port.buffered() > 0);
        const qsizetype before = rig.readings.readings.size();
        rig.engine.StopPolling();
        QCOMPARE(rig.readings.readings.size() - before, streaming ? 3 : 1);
        QVERIFY(!rig.engine.HRTReadProbe().enabled());
    }

    // A polled speed chosen while the probe streams: the speed command goes out at once, at
    // the stream's speed; the records still coming before its acknowledgement are passed over,
    // not taken for its answer, and the acknowledgement retunes the port. Polling goes on there
    // without a miss.
    void aStreamIsLeftForAPolledSpeed_data() {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("settings");
        QTest::newRow("9600") << 1 << "9600,o,7,1";
        QTest::newRow("19200") << 2 << "19200,o,7,1";
    }
    void aStreamIsLeftForAPolledSpeed() {
        QFETCH(int, entry);
        Rig rig(QStringLiteral("PX-9100"));
        QVERIFY(rig.inService());
        rig.ignores = [&](const QByteArray& command) {
            return rig.stream() >= HighSpeed::Acknowledged && command != "F1" && command != "F2";
        };
        rig.engine.RequestStreamingSpeed(*probe::LinkSpeedOfEntry(5));
        QVERIFY(rig.runUntil([&] { return rig.stream() == HighSpeed::Acknowledged; }, 3000));
        rig.port.receive(Record() + Record());
        rig.run(20);
        QCOMPARE(rig.stream(), HighSpeed::Streaming);
        const qsizetype from = rig.port.written().size();
        rig.port.planNext(platform::ScriptedSerialComm::Delivery::Late);
        rig.engine.RequestPolledSpeed(*probe::LinkSpeedOfEntry(entry));
        QVERIFY(rig.events.streamsEnded == 1 && rig.engine.cycle().LeavingStream());
        rig.run(200);
        const QString command = "F" + QString::number(entry);
        QCOMPARE(rig.sentSince(from), QStringList{command});
        QCOMPARE(rig.port.settings(), QStringLiteral("115200,o,7,1"));
        rig.port.receive(Record() + Record());
        rig.port.releaseHeld();
        const int samples = rig.events.samples;
        rig.run(1000);
        QTEST(rig.port.settings(), "settings");
        QVERIFY(!rig.engine.cycle().LeavingStream());
        QCOMPARE(rig.sentSince(from).count(command), 1);
        QVERIFY(rig.events.samples > samples + 3);
        QCOMPARE((QList<int>{rig.engine.cycle().MissCount(), rig.events.losses}),
                 (QList<int>{0, 0}));
    }

    // A Kappa probe needs 1.5 s after its software revision: the next command waits that long,
    // while the rest of the program runs on (no busy wait: the clock was never held, so every
    // timer fired as time passed).
    void theKappaWaitLetsTheProgramRun() {
        Rig rig(QStringLiteral("E310"));
        QVERIFY(rig.inService());
        QVERIFY(rig.clock.delays().isEmpty());
        const auto i = std::find_if(rig.sentAt.cbegin(), rig.sentAt.cend(),
                                    [](const auto& sent) { return sent.first == "i"; });
        QVERIFY(i != rig.sentAt.cend() && i + 1 != rig.sentAt.cend());
        const qint64 waited = (i + 1)->second - i->second;
        QVERIFY2(waited >= 1500 && waited < 1700, qPrintable(QString::number(waited)));
    }
};

QTEST_GUILESS_MAIN(EngineTest)
#include "tst_engine.moc"
