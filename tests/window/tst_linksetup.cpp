// The main window's link and set-up on the test doubles: the link speeds and communication
// modes; the set-up of each model, the 3-axis entry, a Zeta probe's layout, the sample rate.
#include "measure/ClsZeta.h"
#include "platform/Controls.h"
#include "tests/support/WindowKit.h"
#include "window/BatteryTemp.h"
#include "window/LinkControl.h"
#include "window/MainLayout.h"
#include "window/ProbeSetup.h"
#include "window/Readouts.h"
#include "window/SampleProcessing.h"

#include <QTest>

namespace {

const QString Zeta = QStringLiteral("PX-9100");
const QString Sup2(QChar(0xB2));

bool Calibrated(kit::WindowRig& rig) {
    return rig.runUntil([&] { return rig.window().zeta().XYZ() > 0; }, 30000);
}

// Another probe takes the port's place: run until the window has named it, and on a while.
bool SwappedTo(kit::WindowRig& rig, const QString& model, double maxMs = 30000) {
    rig.useProbe(model);
    const bool named =
        rig.runUntil([&] { return rig.window().probe().GetModel() == model; }, maxMs);
    rig.run(1500);
    return named;
}

// From the acknowledgement on, the probe streams: the test sends the records itself.
void QuietWhileStreaming(kit::WindowRig& rig) {
    rig.port.setResponder([&rig](const QByteArray& command) -> QByteArray {
        if (rig.window().cycle().HighSpeedState() >= probe::HighSpeed::Acknowledged) return {};
        return rig.probe->answer(command.chopped(1), 1.0);
    });
}

// Counts and gain codes the calibration reads as a field; the record as the probe streams it.
QByteArray Record(const char* counts = "3E83E83E8", char battery = 'N') {
    return QByteArray(":S") + counts + "000000" + battery + "\r";
}

// Captions of units items 1..3, "-" for a hidden item.
QStringList UnitItems(app::frmMain& w) {
    QStringList items;
    for (int i = 1; i <= 3; ++i) {
        QAction* a = w.ui().probe.mnuProbeUnitsOld[i];
        items << (a->isVisible() ? a->text() : QStringLiteral("-"));
    }
    return items;
}

// The range entries 1..5 that are shown, as digits.
QString RangeItems(app::frmMain& w) {
    QString shown;
    for (int i = 1; i <= 5; ++i)
        if (w.ui().probe.mnuProbeRange[i]->isVisible()) shown += QString::number(i);
    return shown;
}

} // namespace

class LinkSetupTest : public QObject {
    Q_OBJECT
    std::unique_ptr<kit::WindowRig> rig; // a new one for each test

private Q_SLOTS:
    void init() { rig = std::make_unique<kit::WindowRig>(); }

    // Entry n of the speed menu is asked of the probe as "Fn" (the row's name is the speed the
    // status bar shows); each record of the stream is a reading (every shape: tst_probe_tables),
    // a low battery flag blinks, and the watchdog ends a stream that stopped: polling resumes.
    void theProbeIsAskedAtTheOldSpeedAndThePortFollows_data() {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("settings");
        QTest::newRow("38.4 kBaud") << 3 << "38400,o,7,1";
        QTest::newRow("57.6 kBaud") << 4 << "57600,o,7,1";
        QTest::newRow("115.2 kBaud") << 5 << "115200,o,7,1";
    }
    void theProbeIsAskedAtTheOldSpeedAndThePortFollows() {
        QFETCH(int, entry);
        app::frmMain& w = rig->startOn(Zeta, 0);
        QVERIFY(Calibrated(*rig));
        const window::LinkControls& u = w.ui().link;
        QVERIFY2(u.mnuCommBaud[entry]->isEnabled(), "a probe that can stream offers the speed");

        u.mnuCommBaud[entry]->trigger();
        QCOMPARE(w.cycle().HighSpeedState(), probe::HighSpeed::Requested);
        QCOMPARE(rig->port.settings(), QStringLiteral("9600,o,7,1"));
        QVERIFY(u.mnuCommBaud[entry]->isChecked() && !u.CmbSampleRate->isEnabled() &&
                !u.mnucommcomm[1]->isEnabled());

        // The request rides on the next sample reply; the acknowledgement retunes the port.
        rig->port.clearWritten();
        QuietWhileStreaming(*rig);
        QVERIFY(rig->runUntil(
            [&] { return w.cycle().HighSpeedState() == probe::HighSpeed::Acknowledged; }, 3000));
        QVERIFY(rig->port.written().contains("F" + QByteArray::number(entry) + "\r"));
        QTEST(rig->port.settings(), "settings");
        QCOMPARE(
            (QList<int>{rig->port.inputLen(), rig->port.rThreshold(), w.cycle().EventReceive()}),
            (QList<int>{19, 19, 1}));
        QVERIFY(w.HRTReadProbe().enabled()); // now the stream's watchdog
        QCOMPARE((QStringList{w.StatusPanel(2), rig->port.lastWritten()}),
                 (QStringList{QTest::currentDataTag(), "S\r"}));

        rig->port.receive(Record() + Record());
        rig->port.deliverNotifications();
        QCOMPARE(w.cycle().HighSpeedState(), probe::HighSpeed::Streaming);
        QCOMPARE(w.cycle().StreamRecordsTotal(), 2);
        const float before = w.zeta().XYZ();
        rig->port.receive(Record("FFFFFFFFF", 'F'));
        rig->port.deliverNotifications();
        QVERIFY(w.zeta().XYZ() > before);
        QVERIFY(w.battery().BattLowBlink());
        for (int i = 0; i < 20; ++i) { // records every 20 ms keep it going
            rig->port.receive(Record());
            rig->run(20);
        }
        QCOMPARE(w.cycle().HighSpeedState(), probe::HighSpeed::Streaming);
        // Silence: at most two ticks of the watchdog later, polling resumes at the speed in
        // force, the menus come back, and the probe answers polls.
        rig->port.clearWritten();
        rig->run(250);
        QCOMPARE(w.cycle().HighSpeedState(), probe::HighSpeed::Off);
        QVERIFY(u.CmbSampleRate->isEnabled() && u.mnucommcomm[1]->isEnabled());
        QTEST(rig->port.settings(), "settings");
        rig->run(2000);
        QVERIFY(!rig->port.written().isEmpty() && w.probe().LostComm() == 0 &&
                w.cycle().MissCount() < 5);
    }

    // A probe that never takes up the new speed, or one that streams on while the program
    // polls again, is lost; the search finds it again at 9600 baud.
    void aProbeLostAtAHighSpeedIsFoundAgainAtTheOldOne_data() {
        QTest::addColumn<bool>("streamsOn");
        QTest::newRow("never takes up the speed") << false;
        QTest::newRow("streams on into polling") << true;
    }
    void aProbeLostAtAHighSpeedIsFoundAgainAtTheOldOne() {
        QFETCH(bool, streamsOn);
        app::frmMain& w = rig->startOn(Zeta, 0);
        QVERIFY(Calibrated(*rig));
        if (!streamsOn) { // it ignores speed commands and stays at 9600 baud
            rig->port.setResponder([&](const QByteArray& command) -> QByteArray {
                if (command.startsWith('F')) return {};
                return rig->probe->answer(command.chopped(1), 1.0);
            });
            w.ui().link.mnuCommBaud[4]->trigger();
        } else {
            QuietWhileStreaming(*rig);
            w.ui().link.mnuCommBaud[5]->trigger();
            QVERIFY(rig->runUntil(
                [&] { return w.cycle().HighSpeedState() != probe::HighSpeed::Requested; }));
            rig->port.setResponder({}); // the probe answers nothing
            rig->port.receive(Record());
            rig->run(300);
            QCOMPARE(w.cycle().HighSpeedState(), probe::HighSpeed::Off);
            for (int i = 0; i < 40; ++i) { // stray records while polling resumes: misses
                rig->port.receive(Record().mid(i % 7));
                rig->run(40);
            }
        }
        // Five commands in a row without a reply, each waited for a second at least.
        QVERIFY(rig->runUntil([&] { return w.probe().LostComm() == 1; }, 10000));
        QCOMPARE(w.ui().readouts.LabXYZField->text(), QStringLiteral("No Probe"));
        QVERIFY(w.cycle().HighSpeedState() == probe::HighSpeed::Off &&
                w.ui().link.CmbSampleRate->isEnabled());
        if (streamsOn) rig->useProbe(Zeta); // after a power cycle it talks at 9600 baud
        QVERIFY(rig->runUntilIdentified(streamsOn ? 15000 : 10000));
        QCOMPARE(rig->port.settings(), QStringLiteral("9600,o,7,1"));
        QCOMPARE(w.probe().TypeZeta(), int(probe::StateZeta));
        QVERIFY(Calibrated(*rig));
    }

    // The polled speeds and the communication modes from the menus (the engine suite checks
    // their wire text and the port following the probe).
    void thePolledSpeedsAndTheCommunicationModes() {
        app::frmMain& w = rig->startOn(Zeta, 0);
        QVERIFY(Calibrated(*rig));
        const window::LinkControls& u = w.ui().link;
        // 19.2 kBaud: asked of the probe, kept as the preference, no streaming speeds from it.
        u.mnuCommBaud[2]->trigger();
        QCOMPARE(w.probe().PendingCmnd(), QByteArray("F2\r"));
        QCOMPARE(w.config().BaudRate, QStringLiteral("19200,o,7,1"));
        QVERIFY(!u.mnuCommBaud[1]->isChecked() && !u.mnuCommBaud[5]->isEnabled());
        QCOMPARE(u.CmbSampleRate->itemText(1), QStringLiteral("70"));
        // Back to 9600: the streaming speeds return for a probe whose software streams.
        u.mnuCommBaud[1]->trigger();
        QCOMPARE(w.probe().PendingCmnd(), QByteArray("F1\r"));
        QVERIFY(u.mnuCommBaud[5]->isEnabled());
        QCOMPARE(u.CmbSampleRate->itemText(1), QStringLiteral("35"));

        // The communication modes belong to the probes that report field values.
        QVERIFY(!u.mnuCommARProbe->isEnabled());
        QVERIFY(SwappedTo(*rig, "PX-5100"));
        QVERIFY(u.mnuCommARProbe->isEnabled());
        // The search wakes the probe instead of asking "I", at 9600 baud only.
        u.mnuCommARProbe->trigger();
        QCOMPARE(w.probe().StartARProbe(), 1);
        QVERIFY(u.mnuCommBaud[1]->isChecked() && !u.mnuCommBaud[2]->isEnabled());
        u.mnuCommARProbe->trigger();
        QCOMPARE(w.probe().StartARProbe(), 0);
        QVERIFY(u.mnuCommBaud[2]->isEnabled());
        u.mnuCommARM->trigger();
        QCOMPARE(w.probe().PendingCmnd(), QByteArray("P1\r"));
        u.mnuCommASCII->trigger();
        QCOMPARE(w.probe().PendingCmnd(), QByteArray("P2\r"));
    }

    // One model of each kind of set-up (every row of the table is in probe/ModelTables), and
    // a Sigma probe after a Kappa probe, which disabled the range menu and hid units. "Max"
    // chosen is shown as such, as the fastest rate of a Kappa probe, and given up by the probes
    // that offer no "Max".
    void eachModelGetsItsMenusAndRates_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("seen");
        // The units items 1..3 ("-" hidden); the units menu shown, zero offered and enabled,
        // automatic range shown, range menu and 3-axis entry enabled, temperature caption shown;
        // the range items shown; the first rate offered, the rate shown of the configured 15
        // per second, and the rate shown once "Max" is chosen.
        const auto row = [](const char* name, const char* seen) {
            QTest::newRow(name) << QString(name).section(" after ", 0, 0)
                                << QString(seen).replace("^2", Sup2);
        };
        row("PX-2200", "V/m V/m^2 mW/cm^2|0000100|12345|24 14 14");
        row("PX-5100", "V/m mW/cm^2 V/m^2|1111111|1234|Max 4 Max");
        row("PX-5200 RDE", "V/m V/m^2 -|1001111|1234|Max 4 Max");
        row("PX-5560", "V/m mW/cm^2 k(V/m)^2|1111101|123|Max 14 Max");
        row("E310", "- - mW/cm^2|0001001|1234|3 3 3"); // Kappa
        row("PX-5100 after E310", "V/m mW/cm^2 V/m^2|1111111|1234|Max 4 Max");
    }
    void eachModelGetsItsMenusAndRates() {
        QFETCH(QString, model);
        const QString before = QString(QTest::currentDataTag()).section(" after ", 1);
        app::frmMain& w = rig->startOn(before.isEmpty() ? model : before);
        if (!before.isEmpty()) QVERIFY(SwappedTo(*rig, model, 60000));
        const window::ProbeMenuControls& u = w.ui().probe;
        QCOMPARE(w.StatusPanel(1), "Found probe type: " + model);
        QComboBox* rates = w.ui().link.CmbSampleRate;
        const QStringList offered = kit::Items(rates);
        QStringList seen{
            UnitItems(w).join(' '),
            kit::Bits({u.mnuProbeUnitsSigma->menuAction()->isVisible(),
                       w.setup().ZeroAvailable() == 1, u.mnuProbeZero->isEnabled(),
                       u.mnuProbeRange[0]->isVisible(),
                       u.mnuProbeRangeTop->menuAction()->isEnabled(),
                       u.mnuProbe3AxisData->isEnabled(), !w.ui().battery.LabTempLab->isHidden()}),
            RangeItems(w), offered.first() + ' ' + rates->currentText()};
        w.link().SetSampleRate("Max");
        w.setup().SetUpSigma();
        QTEST(seen.join('|') + ' ' + rates->currentText(), "seen");
        // The rates run from the probe's fastest down to 1, after "Max" where it is offered.
        const int max = w.probe().GetMaxSamRate(), withMax = offered.first() == "Max" ? 1 : 0;
        QVERIFY(max >= 1);
        QCOMPARE((QStringList{offered.value(withMax), offered.last()}),
                 (QStringList{QString::number(max), "1"}));
        QCOMPARE(offered.size(), max + withMax);
    }

    void unknownModelIsReportedAndKeepsTheCommonSetUp() {
        app::frmMain& w = rig->start(); // nothing on the line: no model yet
        w.ui().link.CmbSampleRate->addItem("15");
        w.setup().SetUpSigma();
        QCOMPARE(w.StatusPanel(1), QString("Probe unidentified"));
        QCOMPARE(w.ui().link.CmbSampleRate->count(), 0);
        QVERIFY(!w.ui().probe.mnuProbeRange[5]->isVisible());
    }

    void threeAxisEntry_data() {
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<int>("recording");
        QTest::addColumn<bool>("tickedAfter");
        QTest::newRow("switch off") << true << 0 << false;
        QTest::newRow("switch on") << false << 0 << true;
        QTest::newRow("ignored while logging") << true << 1 << true;
        QTest::newRow("ignored while paused") << false << 2 << false;
    }
    void threeAxisEntry() {
        QFETCH(bool, ticked);
        QFETCH(int, recording);
        QFETCH(bool, tickedAfter);
        rig->config.Multiplex = ticked;
        app::frmMain& w = rig->startOn("PX-5100");
        const window::MainControls& ui = w.ui();
        QCOMPARE(w.probe().MultiplexOn(), ticked ? 1 : 0);
        w.records().SetRecording(measure::RecordTable::State(recording));

        ui.probe.mnuProbe3AxisData->trigger(); // as the menu delivers a click
        QCOMPARE(ui.probe.mnuProbe3AxisData->isChecked(), tickedAfter);
        QCOMPARE(w.config().Multiplex, tickedAfter);
        QCOMPARE(w.probe().MultiplexPrefered(), tickedAfter ? 1 : 0);
        if (recording != 0) return;

        QCOMPARE(ui.readouts.LabXField->isHidden(), !tickedAfter);
        QCOMPARE(ui.readouts.ShapeZ->isHidden(), !tickedAfter);
        if (!tickedAfter) {
            QCOMPARE(w.barGraph().BarLast(graph::ClsBarGraph::BarAxisY), 0.0f); // stood at 8
            QCOMPARE(w.probe().PendingCmnd(), QByteArray("AEEE\r"));
            QCOMPARE(platform::ForeColor(ui.readouts.LabYAxis), platform::Colour(0xC0C0C0));
        }
        // The probe follows: readings of all axes again, or axis by axis.
        rig->run(3000);
        QCOMPARE(w.probe().MultiplexOn(), tickedAfter ? 1 : 0);
        QCOMPARE(ui.readouts.LabXField->isHidden(), !tickedAfter);
    }

    // A calibrated Zeta probe: its layout, its field in the units configured (within 1 %; the
    // texts' digits: tst_window), and the rate shown after a change of link speed; a zero taken
    // is this probe's, which another probe's identity drops.
    void aZetaProbeGetsItsLayoutFieldAndRates_data() {
        QTest::addColumn<QString>("units");
        QTest::addColumn<QString>("baud");
        QTest::addColumn<QString>("stored"); // the sample rate configured
        QTest::addColumn<QString>("rates");  // the fastest offered, shown, then configured
        const auto row = [](const char* name, const char* units, const char* baud,
                            const char* stored, const char* rates) {
            QTest::newRow(name) << QString(units) << QString(baud) << QString(stored)
                                << QString(rates);
        };
        row("9600, slower than allowed", "V/m", "9600,o,7,1", "15", "35 15 15");
        row("9600, faster than allowed", "V/m", "9600,o,7,1", "80", "35 35 80");
        row("mW/cm2, 19200, above 35", "mW/cm2", "19200,o,7,1", "63", "70 35 35");
        row("19200, above the link", "V/m", "19200,o,7,1", "80", "70 70 80");
    }
    void aZetaProbeGetsItsLayoutFieldAndRates() {
        QFETCH(QString, units);
        rig->config.ProbeUnits = units;
        QFETCH(QString, baud);
        rig->config.BaudRate = baud;
        QFETCH(QString, stored);
        rig->config.SampleRate = stored;
        app::frmMain& w = rig->startOn(Zeta, 0);
        QVERIFY(Calibrated(*rig));
        rig->run(3000); // the default averaging fills
        const window::MainControls& u = w.ui();
        QCOMPARE(kit::Bits({w.layout().ZetaLayoutShown() == 1, u.probe.LabRange->isVisibleTo(&w),
                            u.readouts.LabPercentOfRange->isVisibleTo(&w),
                            u.probe.mnuProbeUnitsZeta->menuAction()->isVisible(),
                            u.probe.mnuProbeUnitsSigma->menuAction()->isVisible(),
                            u.probe.mnuProbeZero->isEnabled()}),
                 QString("100100"));
        QVERIFY(w.StatusPanel(1).endsWith(Zeta) && w.identity().SerialNo().size() == 8 &&
                w.identity().CalDate().contains(QLatin1Char('/')));
        QCOMPARE(u.battery.LabBattery->text(), QStringLiteral("90 %"));

        // 5, 8 and 11 V/m through the probe's own calibration.
        const bool mw = units == "mW/cm2";
        QCOMPARE(w.zeta().Units(), mw ? 1 : 0);
        QCOMPARE(u.probe.LabUnits->text(), mw ? "mW/cm" + Sup2 : units);
        const auto field = [mw](double vm) { return mw ? vm * vm / 3770 : vm; };
        const auto near = [&](const QLabel* label, double vm) {
            return qAbs(label->text().toDouble() - field(vm)) < field(vm) * (mw ? 0.02 : 0.01);
        };
        const window::ReadoutControls& r = u.readouts;
        QVERIFY(near(r.LabXField, 5) && near(r.LabYField, 8) && near(r.LabZField, 11));
        QVERIFY2(near(r.LabXYZField, 14.49), qPrintable(r.LabXYZField->text()));
        QVERIFY(r.LabMaxXYZ->text().toDouble() >= r.LabXYZField->text().toDouble() * 0.99);

        QCOMPARE(u.link.CmbSampleRate->itemText(0), QString("Max"));
        const QString fastest = u.link.CmbSampleRate->itemText(1);
        w.setup().SetUpZeta(); // as a change of link speed runs it
        QTEST(QStringList({fastest, u.link.CmbSampleRate->currentText(), w.config().SampleRate})
                  .join(' '),
              "rates");

        w.zeta().SetRef();
        rig->run(3000);
        QVERIFY(w.zeta().XYZ() < field(14.49) * 0.03);
        w.engine().ProcessData(QByteArrayLiteral(":I9100073020030A8765432103152024N\r"));
        rig->run(3000);
        QVERIFY(qAbs(w.zeta().XYZ() - field(14.49)) < field(14.49) * (mw ? 0.02 : 0.01));
    }

    // A rate typed or chosen: the cycle's pace (replies taken as they arrive with "Max"), the
    // rate asked of the probe, the playback interval (the manual timer keeps whole ms).
    void sampleRateSetsThePace_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pace"); // next at once, replies as they arrive, rate, play ms
        const auto row = [](const char* name, const char* before, const char* text,
                            const char* pace) {
            QTest::newRow(name) << QString(before) << QString(text) << QString(pace);
        };
        row("Max", "15", "Max", "1 1 15 14");
        row("fraction, rounded for the probe", "Max", "7.6", "0 0 8 132");
        row("zero changes nothing", "Max", "0", "1 1 15 14");
        row("not a number", "15", "fast", "0 0 15 67");
    }
    void sampleRateSetsThePace() {
        QFETCH(QString, before);
        QFETCH(QString, text);
        app::frmMain& w = rig->start();
        w.link().SetSampleRate(QStringLiteral("15"));
        w.link().SetSampleRate(before);
        QComboBox* list = w.ui().link.CmbSampleRate;
        list->setEditable(true); // any text, as a stored setting may hold
        list->setEditText(text);
        Q_EMIT list->activated(0);
        QTEST(QStringLiteral("%1 %2 %3 %4")
                  .arg(int(w.cycle().AutoNext()))
                  .arg(w.cycle().EventReceive())
                  .arg(w.probe().RequestedSampleRate())
                  .arg(w.HRTPlay().interval()),
              "pace");
        QCOMPARE(w.config().SampleRate, text);
        QVERIFY(w.ui().frame.Command1->hasFocus());
    }
};

QTEST_MAIN(LinkSetupTest)
#include "tst_linksetup.moc"
