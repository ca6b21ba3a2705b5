// The main window's link and set-up on the test doubles: the high link speeds and the way back
// from them, the polled speeds and communication modes; the set-up for each model, the 3-axis
// entry, a Zeta probe's layout, readouts and rates, the sample-rate choice.
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

    // Entry n of the speed menu is asked of the probe as "Fn"; the row's name is the speed
    // the status bar shows. Records are then cut from the stream as the probe layer's reader
    // finds them (every shape is in tst_probe_tables); each is a reading, and a low battery flag
    // blinks. The watchdog ends a stream that stopped: polling resumes at the new speed.
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
        QVERIFY(u.mnuCommBaud[entry]->isChecked());
        QVERIFY(!u.CmbSampleRate->isEnabled() && !u.mnucommcomm[1]->isEnabled());

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
        QCOMPARE(w.StatusPanel(2), QString(QTest::currentDataTag()));
        QCOMPARE(rig->port.lastWritten(), QByteArray("S\r"));

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
        QVERIFY(!rig->port.written().isEmpty());
        QCOMPARE(w.probe().LostComm(), 0);
        QVERIFY(w.cycle().MissCount() < 5);
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
        QCOMPARE(w.cycle().HighSpeedState(), probe::HighSpeed::Off);
        QVERIFY(w.ui().link.CmbSampleRate->isEnabled());
        if (streamsOn) rig->useProbe(Zeta); // after a power cycle it talks at 9600 baud
        QVERIFY(rig->runUntilIdentified(streamsOn ? 15000 : 10000));
        QCOMPARE(rig->port.settings(), QStringLiteral("9600,o,7,1"));
        QCOMPARE(w.probe().TypeZeta(), int(probe::StateZeta));
        QVERIFY(Calibrated(*rig));
    }

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
    // a Sigma probe after a Kappa probe, which disabled the range menu and hid units.
    void eachModelGetsItsMenusAndRates_data() {
        QTest::addColumn<QString>("before"); // the model on the line first
        QTest::addColumn<QString>("model");
        QTest::addColumn<QStringList>("units");
        QTest::addColumn<bool>("unitsMenu");
        QTest::addColumn<bool>("zero");
        QTest::addColumn<QString>("ranges");
        QTest::addColumn<bool>("autoAndMax");
        QTest::addColumn<bool>("threeAxis");
        QTest::addColumn<QString>("rate"); // shown of the configured 15 per second

        const QString vm = "V/m", v2 = "V/m" + Sup2, mw = "mW/cm" + Sup2, kv2 = "k(V/m)" + Sup2;
        const QStringList defaults{vm, v2, mw};
        auto row = [](const char* name, const char* model, QStringList units, bool menu, bool zero,
                      const char* ranges, bool autoMax, bool mux, const char* rate) {
            const QString before = QString(name).section(" after ", 1);
            QTest::newRow(name) << before << QString(model) << units << menu << zero
                                << QString(ranges) << autoMax << mux << QString(rate);
        };
        row("PX-2200", "PX-2200", defaults, false, false, "12345", false, false, "14");
        row("PX-5100", "PX-5100", {vm, mw, v2}, true, true, "1234", true, true, "4");
        row("PX-5200 RDE", "PX-5200 RDE", {vm, v2, "-"}, true, false, "1234", true, true, "4");
        row("PX-5560", "PX-5560", {vm, mw, kv2}, true, true, "123", true, false, "14");
        // Kappa: no units menu, a disabled range menu, no "Max".
        row("E310", "E310", {"-", "-", mw}, false, false, "1234", false, false, "3");
        row("PX-5100 after E310", "PX-5100", {vm, mw, v2}, true, true, "1234", true, true, "4");
    }
    void eachModelGetsItsMenusAndRates() {
        QFETCH(QString, before);
        QFETCH(QString, model);
        QFETCH(bool, zero);
        QFETCH(bool, autoAndMax);
        QFETCH(QString, rate);

        app::frmMain& w = rig->startOn(before.isEmpty() ? model : before);
        if (!before.isEmpty()) QVERIFY(SwappedTo(*rig, model, 60000));
        const window::MainControls& ui = w.ui();
        const bool kappa = model.startsWith('E') || model.startsWith('H');
        const bool basic = model == "PX-2100" || model == "PX-2200";

        QTEST(UnitItems(w), "units");
        QTEST(ui.probe.mnuProbeUnitsSigma->menuAction()->isVisible(), "unitsMenu");
        QCOMPARE(w.setup().ZeroAvailable(), zero ? 1 : 0);
        QCOMPARE(ui.probe.mnuProbeZero->isEnabled(), zero);
        QTEST(RangeItems(w), "ranges");
        QCOMPARE(ui.probe.mnuProbeRange[0]->isVisible(), !basic);
        QCOMPARE(ui.probe.mnuProbeRangeTop->menuAction()->isEnabled(), !kappa);
        QTEST(ui.probe.mnuProbe3AxisData->isEnabled(), "threeAxis");
        QCOMPARE(ui.battery.LabTempLab->isHidden(), basic);
        QCOMPARE(w.StatusPanel(1), "Found probe type: " + model);

        const QStringList rates = kit::Items(ui.link.CmbSampleRate);
        const int max = w.probe().GetMaxSamRate();
        QVERIFY(max >= 1);
        QCOMPARE(rates.size(), max + (autoAndMax ? 1 : 0));
        QCOMPARE(rates.first(), autoAndMax ? QString("Max") : QString::number(max));
        QCOMPARE(rates.last(), QString("1"));
        QCOMPARE(ui.link.CmbSampleRate->currentText(), rate);

        // "Max" chosen: shown as such, as the fastest rate of a Kappa probe, and given up by
        // the probes that offer no "Max".
        w.link().SetSampleRate("Max");
        w.setup().SetUpSigma();
        QCOMPARE(ui.link.CmbSampleRate->currentText(), kappa ? "3" : basic ? rate : "Max");
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

    // A calibrated Zeta probe: its layout, its field in the units configured (within 1 %,
    // power densities with five decimals for the total and six for the axes), and the rate
    // shown after a change of link speed; a zero taken is this probe's, which another probe's
    // identity drops.
    void aZetaProbeGetsItsLayoutFieldAndRates_data() {
        QTest::addColumn<QString>("units");
        QTest::addColumn<QString>("baud");
        QTest::addColumn<QString>("stored"); // the sample rate configured
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("storedAfter");
        const auto row = [](const char* name, const char* units, const char* baud,
                            const char* stored, const char* shown, const char* after) {
            QTest::newRow(name) << QString(units) << QString(baud) << QString(stored)
                                << QString(shown) << QString(after);
        };
        row("9600, slower than allowed", "V/m", "9600,o,7,1", "15", "15", "15");
        row("9600, faster than allowed", "V/m", "9600,o,7,1", "80", "35", "80");
        row("mW/cm2, 19200, above 35", "mW/cm2", "19200,o,7,1", "63", "35", "35");
        row("19200, above the link", "V/m", "19200,o,7,1", "80", "70", "80");
    }
    void aZetaProbeGetsItsLayoutFieldAndRates() {
        QFETCH(QString, units);
        QFETCH(QString, baud);
        rig->config.ProbeUnits = units;
        rig->config.BaudRate = baud;
        QFETCH(QString, stored);
        rig->config.SampleRate = stored;
        app::frmMain& w = rig->startOn(Zeta, 0);
        QVERIFY(Calibrated(*rig));
        rig->run(3000); // the default averaging fills
        const window::MainControls& u = w.ui();
        QCOMPARE(w.layout().ZetaLayoutShown(), 1);
        QVERIFY(!u.probe.LabRange->isVisibleTo(&w));
        QVERIFY(!u.readouts.LabPercentOfRange->isVisibleTo(&w));
        QVERIFY(u.probe.mnuProbeUnitsZeta->menuAction()->isVisible());
        QVERIFY(!u.probe.mnuProbeUnitsSigma->menuAction()->isVisible());
        QVERIFY(!u.probe.mnuProbeZero->isEnabled());
        QVERIFY(w.StatusPanel(1).endsWith(Zeta));
        QCOMPARE(w.identity().SerialNo().size(), 8);
        QVERIFY(w.identity().CalDate().contains(QLatin1Char('/')));
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
        if (mw) // eight characters at most
            QCOMPARE((QList<qsizetype>{r.LabXYZField->text().size(), r.LabXField->text().size()}),
                     (QList<qsizetype>{7, 8}));

        QCOMPARE(kit::Items(u.link.CmbSampleRate).mid(0, 2),
                 (QStringList{"Max", baud.startsWith("9600") ? "35" : "70"}));
        w.setup().SetUpZeta(); // as a change of link speed runs it
        QTEST(u.link.CmbSampleRate->currentText(), "shown");
        QTEST(w.config().SampleRate, "storedAfter");

        w.zeta().SetRef();
        rig->run(3000);
        QVERIFY(w.zeta().XYZ() < field(14.49) * 0.03);
        w.engine().ProcessData(QByteArrayLiteral(":I9100073020030A8765432103152024N\r"));
        rig->run(3000);
        QVERIFY(qAbs(w.zeta().XYZ() - field(14.49)) < field(14.49) * (mw ? 0.02 : 0.01));
    }

    void sampleRateSetsThePace_data() {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("autoNext");
        QTest::addColumn<int>("rate");
        QTest::addColumn<double>("playMs");
        const auto row = [](const char* name, const char* before, const char* text, bool autoNext,
                            int rate, double playMs) {
            QTest::newRow(name) << QString(before) << QString(text) << autoNext << rate << playMs;
        };
        row("Max", "15", "Max", true, 15, 14.0);
        row("fraction, rounded for the probe", "Max", "7.6", false, 8, 132.0);
        row("zero changes nothing", "Max", "0", true, 15, 14.0);
        row("not a number", "15", "fast", false, 15, 67.0);
    }
    void sampleRateSetsThePace() {
        QFETCH(QString, before);
        QFETCH(QString, text);
        QFETCH(bool, autoNext);
        QFETCH(double, playMs);
        app::frmMain& w = rig->start();
        w.link().SetSampleRate(QStringLiteral("15"));
        w.link().SetSampleRate(before);
        QComboBox* list = w.ui().link.CmbSampleRate;
        list->setEditable(true); // any text, as a stored setting may hold
        list->setEditText(text);
        Q_EMIT list->activated(0);
        QCOMPARE(w.cycle().AutoNext(), autoNext);
        QCOMPARE(w.cycle().EventReceive(), autoNext ? 1 : 0); // replies taken as they arrive
        QTEST(w.probe().RequestedSampleRate(), "rate");
        QCOMPARE(w.HRTPlay().interval(), playMs); // the manual timer keeps whole ms
        QCOMPARE(w.config().SampleRate, text);
        QVERIFY(w.ui().frame.Command1->hasFocus());
    }
};

QTEST_MAIN(LinkSetupTest)
#include "tst_linksetup.moc"
