// The window set up for the identified probe: units menu, zero, range entries and sample-rate
// list per model, and the 3-axis menu entry.
#include "measure/RecordTable.h"
#include "platform/Controls.h"
#include "tests/support/WindowKit.h"
#include "window/LinkControl.h"
#include "window/ProbeSetup.h"

#include <QTest>

namespace {

const QChar Sup2(0xB2);

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

// Starts the window on the virtual probe and runs until the probe has been named and polled
// for a while.
app::frmMain& StartOn(kit::WindowRig& rig, const QString& model) {
    rig.useProbe(model);
    app::frmMain& w = rig.start();
    if (rig.runUntil([&] { return w.probe().GetModel() == model; }, 30000)) rig.run(1000);
    return w;
}

QStringList Rates(app::frmMain& w) {
    QStringList items;
    for (int i = 0; i < w.ui().link.CmbSampleRate->count(); ++i)
        items << w.ui().link.CmbSampleRate->itemText(i);
    return items;
}

} // namespace

class ProbeSetupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void eachModelGetsItsMenusAndRates_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QStringList>("units");
        QTest::addColumn<bool>("unitsMenu");
        QTest::addColumn<bool>("zero");
        QTest::addColumn<QString>("ranges");
        QTest::addColumn<bool>("autoAndMax");
        QTest::addColumn<bool>("threeAxis");
        QTest::addColumn<QString>("rate"); // shown of the configured 15 per second

        const QString vm = "V/m", v2 = "V/m" + QString(Sup2), mw = "mW/cm" + QString(Sup2),
                      kv2 = "k(V/m)" + QString(Sup2);
        const QStringList defaults{vm, v2, mw};
        auto row = [](const char* model, QStringList units, bool menu, bool zero,
                      const char* ranges, bool autoMax, bool mux, const char* rate) {
            QTest::newRow(model) << QString(model) << units << menu << zero << QString(ranges)
                                 << autoMax << mux << QString(rate);
        };
        // One model of each kind of set-up; every row of the table is in probe/ModelTables.
        row("PX-2200", defaults, false, false, "12345", false, false, "14");
        row("PX-5100", {vm, mw, v2}, true, true, "1234", true, true, "4");
        row("PX-5200 RDE", {vm, v2, "-"}, true, false, "1234", true, true, "4");
        row("PX-5560", {vm, mw, kv2}, true, true, "123", true, false, "14");
        // Kappa: no units menu, a disabled range menu, no "Max".
        row("E310", {"-", "-", mw}, false, false, "1234", false, false, "3");
    }
    void eachModelGetsItsMenusAndRates() {
        QFETCH(QString, model);
        QFETCH(bool, zero);
        QFETCH(bool, autoAndMax);
        QFETCH(QString, rate);

        kit::WindowRig rig;
        app::frmMain& w = StartOn(rig, model);
        const window::MainControls& ui = w.ui();
        const bool kappa = model.startsWith('E') || model.startsWith('H');
        const bool basic = model == "PX-2100" || model == "PX-2200";

        QCOMPARE(w.probe().GetModel(), model);
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

        const QStringList rates = Rates(w);
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
        kit::WindowRig rig;
        app::frmMain& w = rig.start(); // nothing on the line: no model yet
        w.ui().link.CmbSampleRate->addItem("15");
        w.setup().SetUpSigma();
        QCOMPARE(w.StatusPanel(1), QString("Probe unidentified"));
        QCOMPARE(w.ui().link.CmbSampleRate->count(), 0);
        QVERIFY(!w.ui().probe.mnuProbeRange[5]->isVisible());
    }

    // The range menu that a Kappa probe disabled comes back for the Sigma probe that follows.
    void sigmaProbeAfterKappaProbeHasItsRangeMenu() {
        kit::WindowRig rig;
        app::frmMain& w = StartOn(rig, "PX-5100");
        const auto swapTo = [&](const QString& model) {
            rig.useProbe(model);
            return rig.runUntil([&] { return w.probe().GetModel() == model; }, 60000);
        };
        QVERIFY(swapTo("E310"));
        rig.run(1500);
        QVERIFY(!w.ui().probe.mnuProbeRangeTop->menuAction()->isEnabled());

        QVERIFY(swapTo("PX-5100"));
        rig.run(1500);
        QCOMPARE(w.StatusPanel(1), QString("Found probe type: PX-5100"));
        QVERIFY(w.ui().probe.mnuProbeRangeTop->menuAction()->isEnabled());
        QCOMPARE(UnitItems(w),
                 (QStringList{"V/m", "mW/cm" + QString(Sup2), "V/m" + QString(Sup2)}));
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
        kit::WindowRig rig;
        rig.config.Multiplex = ticked;
        app::frmMain& w = StartOn(rig, "PX-5100");
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
        rig.run(3000);
        QCOMPARE(w.probe().MultiplexOn(), tickedAfter ? 1 : 0);
        QCOMPARE(ui.readouts.LabXField->isHidden(), !tickedAfter);
    }
};

QTEST_MAIN(ProbeSetupTest)
#include "tst_probesetup.moc"
