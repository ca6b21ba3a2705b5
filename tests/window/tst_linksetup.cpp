// The main window's link and set-up on the test doubles: the link-speed and communication-mode
// menus, the set-up of each model, the 3-axis entry, the sample rate.
#include "platform/Controls.h"
#include "tests/support/WindowKit.h"
#include "window/BatteryTemp.h"
#include "window/LinkControl.h"
#include "window/MainLayout.h"
#include "window/ProbeSetup.h"

#include <QTest>

namespace {

const QString Zeta = QStringLiteral("PX-9100");
const QString Sup2(QChar(0xB2));

// Another probe takes the port's place: run until the window has named it, and on a while.
bool SwappedTo(kit::WindowRig& rig, const QString& model, double maxMs = 30000) {
    rig.useProbe(model);
    const bool named =
        rig.runUntil([&] { return rig.window().probe().GetModel() == model; }, maxMs);
    rig.run(1500);
    return named;
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

    // The link-speed menus (the streaming speeds on the wire: tst_engine) and the communication
    // modes.
    void theLinkMenus() {
        app::frmMain& w = rig->startOn(Zeta);
        const window::LinkControls& u = w.ui().link;
        // A polled speed: asked of the probe once, the port follows its acknowledgement and the
        // probe reads on.
        const auto speedTo = [&](int entry) {
            const qsizetype sent = rig->port.written().size(), read = rig->taken.readings.size();
            u.mnuCommBaud[entry]->trigger();
            rig->run(2000);
            return QStringLiteral("%1 %2 %3")
                .arg(rig->sentSince(sent).count("F" + QString::number(entry)))
                .arg(rig->port.settings())
                .arg(rig->taken.readings.size() > read + 5);
        };
        // 19.2 kBaud, kept as the preference: no streaming speeds from it.
        QCOMPARE(speedTo(2), QStringLiteral("1 19200,o,7,1 1"));
        QCOMPARE(w.config().BaudRate, QStringLiteral("19200,o,7,1"));
        QVERIFY(!u.mnuCommBaud[1]->isChecked() && !u.mnuCommBaud[5]->isEnabled());
        QCOMPARE(u.CmbSampleRate->itemText(1), QStringLiteral("70"));
        // Back to 9600: the streaming speeds return for a probe whose software streams.
        QCOMPARE(speedTo(1), QStringLiteral("1 9600,o,7,1 1"));
        QVERIFY(u.mnuCommBaud[5]->isEnabled());
        QCOMPARE(u.CmbSampleRate->itemText(1), QStringLiteral("35"));
        // A streaming speed: the rate and the ports wait for the end of the stream.
        u.mnuCommBaud[5]->trigger();
        // One speed ticked, the one in force.
        const auto streaming = [&] {
            return kit::Flags({u.mnuCommBaud[1], u.mnuCommBaud[2], u.mnuCommBaud[3],
                               u.mnuCommBaud[4], u.mnuCommBaud[5]},
                              &QAction::isChecked) +
                   kit::Bits({u.CmbSampleRate->isEnabled(), u.mnucommcomm[1]->isEnabled()});
        };
        QCOMPARE(streaming(), QString("0000100"));
        rig->run(3000); // the probe streams no records: the stream ends
        QCOMPARE(streaming(), QString("0000111"));
        // A polled speed is the way back from a stream: on offer while it runs, asked at the
        // stream's speed; the port follows the acknowledgement and the probe reads on.
        u.mnuCommBaud[5]->trigger();
        QVERIFY(rig->runUntil(
            [&] { return w.engine().cycle().HighSpeedState() >= probe::HighSpeed::Acknowledged; },
            3000));
        QCOMPARE(kit::Flags({u.mnuCommBaud[1], u.mnuCommBaud[2], u.mnuCommBaud[3], u.mnuCommBaud[4],
                             u.mnuCommBaud[5]},
                            &QAction::isEnabled),
                 QString("11000"));
        QCOMPARE(speedTo(1), QStringLiteral("1 9600,o,7,1 1"));
        QCOMPARE(streaming(), QString("1000011"));
        QCOMPARE(w.probe().LostComm(), 0);

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
    }

    // One model of each kind of set-up (every row of the table is in probe/ModelTables), a
    // Sigma probe after a Kappa probe, which disabled the range menu and hid units, and a Zeta
    // probe at each polled speed with a rate stored that the speed allows or not. Set up again
    // (as a change of link speed does), a Zeta probe shows the rate stored as far as the speed
    // allows; the other probes show "Max" chosen as such, as the fastest rate of a Kappa probe,
    // or give it up when they offer no "Max".
    void eachModelGetsItsSetUp_data() {
        QTest::addColumn<QString>("config"); // the link speed and the rate stored, if not 9600 15
        QTest::addColumn<QString>("seen");
        // The units items 1..3 ("-" hidden; none for Zeta); the Zeta layout, the range label, the
        // share of the range, the Zeta and the other units menus shown, zero offered and enabled,
        // automatic range shown, range menu and 3-axis entry enabled, temperature caption shown;
        // the range items shown (none for Zeta); the first two rates offered, the rate shown; set
        // up again with "Max" chosen (a Zeta probe: as it is), the rate shown and stored.
        const auto row = [](const char* name, const char* config, const char* seen) {
            QTest::newRow(name) << QString(config) << QString(seen).replace("^2", Sup2);
        };
        row("PX-2200", "", "V/m V/m^2 mW/cm^2|01100000100|12345|24 23 14 14 Max");
        row("PX-5100", "", "V/m mW/cm^2 V/m^2|01101111111|1234|Max 4 4 Max Max");
        row("PX-5200 RDE", "", "V/m V/m^2 -|01101001111|1234|Max 4 4 Max Max");
        row("PX-5560", "", "V/m mW/cm^2 k(V/m)^2|01101111101|123|Max 26 14 Max Max");
        row("E310", "", "- - mW/cm^2|01000001001|1234|3 2 3 3 Max"); // Kappa
        row("PX-5100 after E310", "", "V/m mW/cm^2 V/m^2|01101111111|1234|Max 4 4 Max Max");
        row("PX-9100 at 9600, slower than allowed", "9600 15", "|10010001001||Max 35 15 15 15");
        row("PX-9100 at 9600, faster than allowed", "9600 80", "|10010001001||Max 35 35 35 80");
        row("PX-9100 at 19200, above 35", "19200 63", "|10010001001||Max 70 35 35 35");
        row("PX-9100 at 19200, above the link", "19200 80", "|10010001001||Max 70 70 70 80");
    }
    void eachModelGetsItsSetUp() {
        const QString tag = QTest::currentDataTag(), before = tag.section(" after ", 1);
        const QString model = tag.section(" after ", 0, 0).section(" at ", 0, 0);
        QFETCH(QString, config);
        if (!config.isEmpty()) {
            rig->config.BaudRate = config.section(' ', 0, 0) + ",o,7,1";
            rig->config.SampleRate = config.section(' ', 1);
        }
        app::frmMain& w = rig->startOn(before.isEmpty() ? model : before, 3000);
        if (!before.isEmpty()) QVERIFY(SwappedTo(*rig, model, 60000));
        const window::MainControls& u = w.ui();
        QCOMPARE(w.StatusPanel(1), "Found probe type: " + model);
        QComboBox* rates = u.link.CmbSampleRate;
        const QStringList offered = kit::Items(rates);
        const bool zeta = model == Zeta; // no units or range items
        QStringList seen{
            zeta ? "" : UnitItems(w).join(' '),
            kit::Bits({w.layout().ZetaLayoutShown() == 1, u.probe.LabRange->isVisibleTo(&w),
                       u.readouts.LabPercentOfRange->isVisibleTo(&w),
                       u.probe.mnuProbeUnitsZeta->menuAction()->isVisible(),
                       u.probe.mnuProbeUnitsSigma->menuAction()->isVisible(),
                       w.setup().ZeroAvailable() == 1, u.probe.mnuProbeZero->isEnabled(),
                       u.probe.mnuProbeRange[0]->isVisible(),
                       u.probe.mnuProbeRangeTop->menuAction()->isEnabled(),
                       u.probe.mnuProbe3AxisData->isEnabled(), !u.battery.LabTempLab->isHidden()}),
            zeta ? "" : RangeItems(w),
            offered.value(0) + ' ' + offered.value(1) + ' ' + rates->currentText()};
        if (!zeta) w.link().SetSampleRate("Max");
        zeta ? w.setup().SetUpZeta() : w.setup().SetUpSigma();
        QTEST(seen.join('|') + ' ' + rates->currentText() + ' ' + w.config().SampleRate, "seen");
        if (zeta) {
            QCOMPARE(u.battery.LabBattery->text(), QString("90 %"));
            // Another probe, its battery low: its identity is read field by field and the low
            // battery told once; a zero taken was the other probe's. A flag in a sample blinks.
            w.engine().SetZeroReference(true);
            w.engine().ProcessData(QByteArrayLiteral(":I9100073020030A8765432103152024F\r"));
            const probe::ProbeIdentity& id = w.identity();
            QCOMPARE((QStringList{id.SerialNo(), id.CalDate(), id.SoftRev(),
                                  u.probe.mnuProbeZero->text()}),
                     (QStringList{"87654321", "03/15/2024", "073020030A", "&Zero"}));
            QVERIFY(rig->boxes.count("Probe battery low.") == 1 && !w.engine().ZeroReferenceOn());
            QCOMPARE(w.engine().ProcessData(":S100100100000000F\r").samples, 1);
            QVERIFY(w.battery().BattLowBlink() && w.engine().replies().ShortSamples() == 0);
            return;
        }
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
        QAction* entry = ui.probe.mnuProbe3AxisData;
        // Ticked, the setting, the preference, the probe read axis by axis, axis readouts shown.
        const auto state = [&] {
            return kit::Bits({entry->isChecked(), w.config().Multiplex,
                              w.probe().MultiplexPrefered() == 1, w.probe().MultiplexOn() == 1,
                              !ui.readouts.LabXField->isHidden()});
        };
        QCOMPARE(state(), QString(5, ticked ? '1' : '0'));
        w.records().SetRecording(measure::RecordTable::State(recording));

        entry->trigger(); // as the menu delivers a click
        QCOMPARE(state().remove(3, 1), QString(4, tickedAfter ? '1' : '0')); // probe not yet
        if (recording != 0) return;
        QCOMPARE(ui.readouts.ShapeZ->isHidden(), !tickedAfter);
        if (!tickedAfter) {
            QCOMPARE(w.barGraph().BarLast(graph::ClsBarGraph::BarAxisY), 0.0f); // stood at 8
            QCOMPARE(w.probe().PendingCmnd(), QByteArray("AEEE\r"));
            QCOMPARE(platform::ForeColor(ui.readouts.LabYAxis), platform::Colour(0xC0C0C0));
        }
        rig->run(3000); // the probe follows: readings of all axes again, or axis by axis
        QCOMPARE(state(), QString(5, tickedAfter ? '1' : '0'));
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
