// The high link speeds on the test doubles: the speed handshake from the menu, the streamed
// records in every shape the line can deliver them, the watchdog that ends streaming, and the
// way back when the probe does not take up the speed or the stream runs on.
#include "measure/ClsZeta.h"
#include "tests/support/WindowKit.h"
#include "window/BatteryTemp.h"
#include "window/LinkControl.h"

#include <QTest>

namespace {

app::frmMain& StartZeta(kit::WindowRig& rig) {
    rig.useProbe(QStringLiteral("PX-9100"));
    return rig.start();
}

bool Calibrated(kit::WindowRig& rig) {
    return rig.runUntil([&] { return rig.window().zeta().XYZ() > 0; }, 30000);
}

// From the acknowledgement on, the probe streams: the test sends the records itself.
void QuietWhileStreaming(kit::WindowRig& rig) {
    rig.port.setResponder([&rig](const QByteArray& command) -> QByteArray {
        if (rig.window().cycle().HighSpeedState() >= probe::HighSpeed::Acknowledged) return {};
        return rig.probe->answer(command.chopped(1), 1.0);
    });
}

// Asks for 115.2 kBaud and waits for the acknowledgement.
bool Switched(kit::WindowRig& rig, int entry = 5) {
    QuietWhileStreaming(rig);
    rig.window().ui().link.mnuCommBaud[entry]->trigger();
    return rig.runUntil(
        [&] { return rig.window().cycle().HighSpeedState() == probe::HighSpeed::Acknowledged; },
        3000);
}

// Counts and gain codes the calibration reads as a field; the record as the probe streams it.
QByteArray Record(const char* counts = "3E83E83E8", char battery = 'N') {
    return QByteArray(":S") + counts + "000000" + battery + "\r";
}

} // namespace

class tst_Streaming : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theProbeIsAskedAtTheOldSpeedAndThePortFollows_data() {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QByteArray>("command");
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("panel");
        QTest::newRow("38.4 kBaud") << 3 << QByteArray("F3\r") << "38400,o,7,1"
                                    << "38.4 kBaud";
        QTest::newRow("57.6 kBaud") << 4 << QByteArray("F4\r") << "57600,o,7,1"
                                    << "57.6 kBaud";
        QTest::newRow("115.2 kBaud") << 5 << QByteArray("F5\r") << "115200,o,7,1"
                                     << "115.2 kBaud";
    }
    void theProbeIsAskedAtTheOldSpeedAndThePortFollows() {
        QFETCH(int, entry);
        QFETCH(QByteArray, command);
        QFETCH(QString, settings);
        kit::WindowRig rig;
        app::frmMain& w = StartZeta(rig);
        QVERIFY(Calibrated(rig));
        window::MainControls& u = w.ui();
        QVERIFY2(u.link.mnuCommBaud[entry]->isEnabled(),
                 "a probe that can stream offers the speed");

        u.link.mnuCommBaud[entry]->trigger();
        QCOMPARE(w.cycle().HighSpeedState(), probe::HighSpeed::Requested);
        QCOMPARE(rig.port.settings(), QStringLiteral("9600,o,7,1"));
        QVERIFY(u.link.mnuCommBaud[entry]->isChecked());
        QVERIFY(!u.link.CmbSampleRate->isEnabled());
        QVERIFY(!u.link.mnucommcomm[1]->isEnabled());

        // The request rides on the next sample reply; the acknowledgement retunes the port.
        rig.port.clearWritten();
        QuietWhileStreaming(rig);
        QVERIFY(rig.runUntil(
            [&] { return w.cycle().HighSpeedState() == probe::HighSpeed::Acknowledged; }, 3000));
        QVERIFY(rig.port.written().contains(command));
        QCOMPARE(rig.port.settings(), settings);
        QCOMPARE(rig.port.inputLen(), 19);
        QCOMPARE(rig.port.rThreshold(), 19);
        QCOMPARE(w.cycle().EventReceive(), 1);
        QVERIFY(w.HRTReadProbe().enabled()); // now the stream's watchdog
        QTEST(w.StatusPanel(2), "panel");
        QCOMPARE(rig.port.lastWritten(), QByteArray("S\r"));
    }

    void thePolledSpeedsAndTheCommunicationModes() {
        kit::WindowRig rig;
        app::frmMain& w = StartZeta(rig);
        QVERIFY(Calibrated(rig));
        window::MainControls& u = w.ui();
        // 19.2 kBaud: asked of the probe, kept as the preference, no streaming speeds from it.
        u.link.mnuCommBaud[2]->trigger();
        QCOMPARE(w.probe().PendingCmnd(), QByteArray("F2\r"));
        QCOMPARE(w.config().BaudRate, QStringLiteral("19200,o,7,1"));
        QVERIFY(!u.link.mnuCommBaud[1]->isChecked());
        QVERIFY(!u.link.mnuCommBaud[5]->isEnabled());
        QCOMPARE(u.link.CmbSampleRate->itemText(1), QStringLiteral("70"));
        // Back to 9600: the streaming speeds return for a probe whose software streams.
        u.link.mnuCommBaud[1]->trigger();
        QCOMPARE(w.probe().PendingCmnd(), QByteArray("F1\r"));
        QVERIFY(u.link.mnuCommBaud[5]->isEnabled());
        QCOMPARE(u.link.CmbSampleRate->itemText(1), QStringLiteral("35"));

        // The communication modes belong to the probes that report field values.
        QVERIFY(!u.link.mnuCommARProbe->isEnabled());
        rig.useProbe(QStringLiteral("PX-5100")); // another probe: one that has them
        QVERIFY(rig.runUntil([&] { return w.probe().GetModel() == "PX-5100"; }, 30000));
        rig.run(1500);
        QVERIFY(u.link.mnuCommARProbe->isEnabled());
        // The search wakes the probe instead of asking "I", at 9600 baud only.
        u.link.mnuCommARProbe->trigger();
        QCOMPARE(w.probe().StartARProbe(), 1);
        QVERIFY(u.link.mnuCommBaud[1]->isChecked());
        QVERIFY(!u.link.mnuCommBaud[2]->isEnabled());
        u.link.mnuCommARProbe->trigger();
        QCOMPARE(w.probe().StartARProbe(), 0);
        QVERIFY(u.link.mnuCommBaud[2]->isEnabled());
        u.link.mnuCommARM->trigger();
        QCOMPARE(w.probe().PendingCmnd(), QByteArray("P1\r"));
        u.link.mnuCommASCII->trigger();
        QCOMPARE(w.probe().PendingCmnd(), QByteArray("P2\r"));
    }

    // Records are cut from the stream as the probe layer's reader finds them (every shape is in
    // tst_polling); each is a reading, and a low battery flag blinks.
    void recordsBecomeReadings() {
        kit::WindowRig rig;
        app::frmMain& w = StartZeta(rig);
        QVERIFY(Calibrated(rig));
        QVERIFY(Switched(rig));
        rig.port.receive(Record() + Record());
        rig.port.deliverNotifications();
        QCOMPARE(w.cycle().HighSpeedState(), probe::HighSpeed::Streaming);
        QCOMPARE(w.cycle().StreamRecordsTotal(), 2);
        const float before = w.zeta().XYZ();
        rig.port.receive(Record("FFFFFFFFF", 'F'));
        rig.port.deliverNotifications();
        QVERIFY(w.zeta().XYZ() > before);
        QVERIFY(w.battery().BattLowBlink());
    }

    void theWatchdogEndsAStreamThatStopped() {
        kit::WindowRig rig;
        app::frmMain& w = StartZeta(rig);
        QVERIFY(Calibrated(rig));
        QVERIFY(Switched(rig));
        rig.port.receive(Record());
        rig.run(50);
        QCOMPARE(w.cycle().HighSpeedState(), probe::HighSpeed::Streaming);
        // Records every 20 ms keep it going.
        for (int i = 0; i < 20; ++i) {
            rig.port.receive(Record());
            rig.run(20);
        }
        QCOMPARE(w.cycle().HighSpeedState(), probe::HighSpeed::Streaming);
        // Silence: at most two ticks of the watchdog later, polling resumes at the speed in
        // force and the menus come back.
        rig.port.clearWritten();
        rig.run(250);
        QCOMPARE(w.cycle().HighSpeedState(), probe::HighSpeed::Off);
        QVERIFY(w.ui().link.CmbSampleRate->isEnabled());
        QVERIFY(w.ui().link.mnucommcomm[1]->isEnabled());
        QCOMPARE(rig.port.settings(), QStringLiteral("115200,o,7,1"));
        // The probe answers polls at the new speed.
        rig.run(2000);
        QVERIFY(!rig.port.written().isEmpty());
        QCOMPARE(w.probe().LostComm(), 0);
        QVERIFY(w.cycle().MissCount() < 5);
    }

    void aProbeThatNeverTakesUpTheSpeedIsFoundAgainAtTheOldOne() {
        kit::WindowRig rig;
        app::frmMain& w = StartZeta(rig);
        QVERIFY(Calibrated(rig));
        // From here the probe ignores speed commands: it stays at 9600 baud.
        auto probeAnswers = [&](const QByteArray& command) -> QByteArray {
            if (command.startsWith('F')) return {};
            return rig.probe->answer(command.chopped(1), 1.0);
        };
        rig.port.setResponder(probeAnswers);
        w.ui().link.mnuCommBaud[4]->trigger();
        QVERIFY(rig.runUntil([&] { return w.probe().LostComm() == 1; }, 5000));
        QCOMPARE(w.cycle().HighSpeedState(), probe::HighSpeed::Off);
        QVERIFY(w.ui().link.CmbSampleRate->isEnabled());
        QVERIFY(rig.runUntilIdentified(10000));
        QCOMPARE(rig.port.settings(), QStringLiteral("9600,o,7,1"));
        QCOMPARE(w.probe().TypeZeta(), int(probe::StateZeta));
    }

    void aStreamThatRunsOnIntoPollingIsRecoveredBySearching() {
        kit::WindowRig rig;
        app::frmMain& w = StartZeta(rig);
        QVERIFY(Calibrated(rig));
        QVERIFY(Switched(rig));
        rig.port.setResponder({}); // the probe goes on streaming and answers nothing
        rig.port.receive(Record());
        rig.run(300);
        QCOMPARE(w.cycle().HighSpeedState(), probe::HighSpeed::Off);
        // Stray records keep arriving while polling resumes: misses, and the probe is lost.
        for (int i = 0; i < 40; ++i) {
            rig.port.receive(Record().mid(i % 7));
            rig.run(40);
        }
        QCOMPARE(w.ui().readouts.LabXYZField->text(), QStringLiteral("No Probe"));
        // After a power cycle the probe talks at 9600 baud again, and the search finds it.
        rig.useProbe(QStringLiteral("PX-9100"));
        QVERIFY(rig.runUntilIdentified(15000));
        QCOMPARE(rig.port.settings(), QStringLiteral("9600,o,7,1"));
        QVERIFY(Calibrated(rig));
    }
};

QTEST_MAIN(tst_Streaming)
#include "tst_streaming.moc"
