// The probe engine without a front end: the virtual probe of each family behind the scripted
// port, time on the manual clock. Each typed command must reach the wire as the probe expects
// it, a refusal must come back as one, and a probe lost must be found again.
#include "engine/ProbeEngine.h"
#include "platform/fake/ManualClock.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "platform/fake/ScriptedSerialComm.h"
#include "tests/support/WindowKit.h"
#include "tools/probesim/VirtualProbe.h"

#include <QTest>

namespace {

struct Events : engine::EngineEvents {
    void ClearDisplay() override { ++losses; }
    void CommandRefused(const QString& command) override { refused.append(command); }
    void ReplyProcessed(const probe::ReplyTaken& taken) override { samples += taken.samples; }
    int losses = 0, samples = 0;
    QStringList refused;
};

struct Rig {
    explicit Rig(const QString& model) {
        probe = probesim::CreateProbe(model, kit::WindowRig::DefaultPlan());
        port.setResponder([this](const QByteArray& command) -> QByteArray {
            sentAt.append({command.chopped(1), clock.monotonicMs()});
            if (silent || !probe) return {};
            return probe->answer(command.chopped(1), clock.monotonicMs() / 1000.0);
        });
        engine.SetEvents(events);
    }
    void run(double ms) {
        for (double left = ms; left > 0; left -= 5) {
            clock.advance(5);
            port.deliverNotifications();
        }
    }
    bool runUntil(const std::function<bool()>& done, double maxMs = 30000) {
        for (double waited = 0; waited < maxMs; waited += 10) {
            if (done()) return true;
            run(10);
        }
        return done();
    }
    bool inService() {
        return runUntil([this] {
            return engine.probe().LostComm() == 0 && engine.probe().TypeZeta() != 2 &&
                   !engine.cycle().Identifying() && readings.readings.size() > 3;
        });
    }
    QStringList sentSince(qsizetype from) const {
        QStringList out;
        const QList<QByteArray> written = port.written();
        for (qsizetype i = from; i < written.size(); ++i)
            out.append(QString::fromLatin1(written[i]).remove(u'\r'));
        return out;
    }

    platform::ManualClock clock;
    platform::ScriptedSerialComm port;
    platform::RecordingMessageBoxes boxes;
    kit::RecordingSink readings;
    Events events;
    std::unique_ptr<probesim::VirtualProbe> probe;
    bool silent = false;
    QList<QPair<QByteArray, qint64>> sentAt; // each command and when it went out
    engine::ProbeEngine engine{port, clock, boxes, [this] { return clock.createTimer(); },
                               readings};
};

using Command = std::function<void(engine::ProbeEngine&)>;

} // namespace

Q_DECLARE_METATYPE(Command)

class EngineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void identifiesEachFamily_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<int>("state");
        QTest::newRow("Sigma") << "PX-5100" << int(probe::StateSigma);
        QTest::newRow("Zeta") << "PX-9100" << int(probe::StateZeta);
        QTest::newRow("Kappa") << "E310" << int(probe::StateKappa);
    }
    void identifiesEachFamily() {
        QFETCH(QString, model);
        Rig rig(model);
        QVERIFY(rig.engine.Start(1));
        QVERIFY2(rig.inService(), qPrintable(rig.engine.probe().GetModel()));
        QTEST(int(rig.engine.probe().TypeZeta()), "state");
        QCOMPARE(rig.engine.probe().GetModel(), model);
        QVERIFY(rig.events.samples >= 3);
        QCOMPARE(rig.events.losses, 0);
        QVERIFY(rig.boxes.messages().isEmpty());
    }

    // Each command reaches the wire once, in the probe's words, and the probe's answer is taken.
    void commandsReachTheWire_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<Command>("command");
        QTest::addColumn<QString>("wire");
        const auto row = [](const char* name, const char* model, Command c, const char* wire) {
            QTest::newRow(name) << QString(model) << c << QString(wire);
        };
        using E = engine::ProbeEngine;
        row(
            "units", "PX-5100", [](E& e) { e.RequestUnits(2); }, "U2");
        row(
            "next units", "PX-5100", [](E& e) { e.StepUnits(); }, "UN");
        row(
            "range", "PX-5100", [](E& e) { e.RequestRange(3); }, "R3");
        row(
            "next range", "PX-5100", [](E& e) { e.StepRange(); }, "RN");
        row(
            "zero", "PX-5100", [](E& e) { e.Zero(); }, "Z");
        row(
            "all sensors", "PX-5100", [](E& e) { e.AllSensorsOn(); }, "AEEE");
        row(
            "ARM mode", "PX-5100", [](E& e) { e.SetCommMode(engine::CommMode::ARM); }, "P1");
        row(
            "ASCII mode", "PX-5100", [](E& e) { e.SetCommMode(engine::CommMode::ASCII); }, "P2");
        row(
            "Sigma battery", "PX-5100", [](E& e) { e.RefreshBattTemp(); }, "R");
        row(
            "Kappa battery", "E310", [](E& e) { e.RefreshBattTemp(); }, "B");
        row(
            "Zeta temperature", "PX-9100", [](E& e) { e.RefreshBattTemp(); }, "TF");
        row(
            "Zeta Celsius", "PX-9100",
            [](E& e) {
                e.SetUseCelsius(true);
                e.RefreshBattTemp();
            },
            "TC");
        row(
            "polled fast speed", "PX-9100",
            [](E& e) { e.RequestPolledSpeed(*probe::LinkSpeedOfEntry(2)); }, "F2");
    }
    void commandsReachTheWire() {
        QFETCH(QString, model);
        QFETCH(Command, command);
        QFETCH(QString, wire);
        Rig rig(model);
        rig.engine.Start(1);
        QVERIFY(rig.inService());
        const qsizetype from = rig.port.written().size();
        command(rig.engine);
        rig.run(1500);
        QCOMPARE(rig.sentSince(from).count(wire), 1);
        QVERIFY2(rig.events.refused.isEmpty(), qPrintable(rig.events.refused.join(u',')));
        QCOMPARE(rig.events.losses, 0);
    }

    // A range the probe does not have is refused: the refusal is told, the probe reads on.
    void aRefusalIsTold() {
        Rig rig(QStringLiteral("PX-5100"));
        rig.engine.Start(1);
        QVERIFY(rig.inService());
        const int range = rig.engine.probe().Range();
        rig.engine.RequestRange(5);
        rig.run(1500);
        QCOMPARE(rig.events.refused, QStringList{QStringLiteral("R5")});
        QCOMPARE(rig.engine.probe().Range(), range);
        const int before = rig.events.samples;
        rig.run(1000);
        QVERIFY(rig.events.samples > before);
    }

    // A Zeta probe taken to the polled fast speed and back: the port follows each
    // acknowledgement, and the probe reads on at both speeds.
    void linkSpeedUpAndDown() {
        Rig rig(QStringLiteral("PX-9100"));
        rig.engine.Start(1);
        QVERIFY(rig.inService());
        for (int entry : {2, 1}) {
            const probe::LinkSpeed& speed = *probe::LinkSpeedOfEntry(entry);
            rig.engine.RequestPolledSpeed(speed);
            QVERIFY2(rig.runUntil([&] { return rig.port.settings() == speed.Settings(); }, 5000),
                     qPrintable(rig.port.settings()));
            const int before = rig.events.samples;
            rig.run(2000);
            QVERIFY(rig.events.samples > before + 5);
        }
        QCOMPARE(rig.events.losses, 0);
    }

    // A Kappa probe needs 1.5 s after its software revision: the next command waits that long,
    // while the rest of the program runs on (no busy wait).
    void theKappaWaitLetsTheProgramRun() {
        Rig rig(QStringLiteral("E310"));
        auto other = rig.clock.createTimer();
        int ticks = 0;
        other->setInterval(100);
        other->setOnTimer([&] { ++ticks; });
        other->setEnabled(true);
        rig.engine.Start(1);
        QVERIFY(rig.inService());
        QVERIFY(rig.clock.delays().isEmpty());
        qsizetype i = 0;
        while (i < rig.sentAt.size() && rig.sentAt[i].first != "i")
            ++i;
        QVERIFY(i + 1 < rig.sentAt.size());
        const qint64 waited = rig.sentAt[i + 1].second - rig.sentAt[i].second;
        QVERIFY2(waited >= 1500 && waited < 1700, qPrintable(QString::number(waited)));
        QVERIFY(ticks >= (rig.sentAt[i + 1].second / 100) - 1);
    }

    // A probe that falls silent is lost once, and found again when it answers.
    void aLostProbeIsFoundAgain() {
        Rig rig(QStringLiteral("PX-5100"));
        rig.engine.Start(1);
        QVERIFY(rig.inService());
        rig.silent = true;
        QVERIFY(rig.runUntil([&] { return rig.events.losses > 0; }, 10000));
        QCOMPARE(rig.engine.probe().LostComm(), 1);
        rig.run(3000);
        QCOMPARE(rig.events.losses, 1);
        rig.silent = false;
        rig.readings.readings.clear();
        QVERIFY(rig.inService());
        QCOMPARE(rig.events.losses, 1);
    }
};

QTEST_GUILESS_MAIN(EngineTest)
#include "tst_engine.moc"
