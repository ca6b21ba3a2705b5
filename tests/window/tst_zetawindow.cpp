// The window on a Zeta probe, through the test doubles: the layout it switches to, the
// calibration read from the probe, readouts and peaks from the samples, battery and
// temperature, the sample-rate list, and the replies that must not become readings.
#include "measure/ClsZeta.h"
#include "tests/support/WindowKit.h"
#include "window/BatteryTemp.h"
#include "window/MainLayout.h"
#include "window/ProbeSetup.h"
#include "window/SampleProcessing.h"

#include <QTest>

namespace {

// Runs until the Zeta probe is identified, calibrated and the default averaging has filled.
bool Settled(kit::WindowRig& rig) {
    app::frmMain& w = rig.window();
    return rig.runUntil([&] { return w.zeta().XYZ() > 0; }, 30000) && (rig.run(3000), true);
}

double Number(const QLabel* label) {
    return label->text().toDouble();
}

} // namespace

class tst_ZetaWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void aZetaProbeGetsItsLayoutAndItsField() {
        kit::WindowRig rig;
        rig.useProbe(QStringLiteral("PX-9100"));
        app::frmMain& w = rig.start();
        QVERIFY(Settled(rig));
        window::MainControls& u = w.ui();

        QCOMPARE(w.layout().ZetaLayoutShown(), 1);
        QVERIFY(!u.probe.LabRange->isVisibleTo(&w));
        QVERIFY(!u.readouts.LabPercentOfRange->isVisibleTo(&w));
        QVERIFY(u.probe.mnuProbeUnitsZeta->menuAction()->isVisible());
        QVERIFY(!u.probe.mnuProbeUnitsSigma->menuAction()->isVisible());
        QVERIFY(!u.probe.mnuProbeZero->isEnabled());
        QCOMPARE(u.probe.LabUnits->text(), QStringLiteral("V/m"));
        QVERIFY(w.StatusPanel(1).endsWith(QStringLiteral("PX-9100")));
        QCOMPARE(w.identity().SerialNo().size(), 8);
        QVERIFY(w.identity().CalDate().contains(QLatin1Char('/')));

        // 5, 8 and 11 V/m through the probe's own calibration, within 1 %.
        QVERIFY(qAbs(Number(u.readouts.LabXField) - 5.0) < 0.05);
        QVERIFY(qAbs(Number(u.readouts.LabYField) - 8.0) < 0.08);
        QVERIFY(qAbs(Number(u.readouts.LabZField) - 11.0) < 0.11);
        QVERIFY(qAbs(Number(u.readouts.LabXYZField) - 14.49) < 0.145);
        QVERIFY(Number(u.readouts.LabMaxXYZ) >= Number(u.readouts.LabXYZField) * 0.99);
        QCOMPARE(u.battery.LabBattery->text(), QStringLiteral("90 %"));
        QVERIFY(u.battery.LabTemp->text().endsWith(QStringLiteral(" ") + QChar(0xB0) +
                                                   QLatin1Char('F')));
        QCOMPARE(u.link.CmbSampleRate->itemText(0), QStringLiteral("Max"));
        QCOMPARE(u.link.CmbSampleRate->itemText(1), QStringLiteral("35"));

        // A zero taken here is this probe's: another probe's identity drops it.
        w.zeta().SetRef();
        rig.run(3000);
        QVERIFY(w.zeta().XYZ() < 0.5);
        w.processing().ProcessData(QByteArrayLiteral(":I9100073020030A8765432103152024N\r"));
        rig.run(3000);
        QVERIFY(qAbs(w.zeta().XYZ() - 14.49) < 0.145);
    }

    // A sample with a character that is no hexadecimal digit is refused: no reading of it.
    void anUnreadableSampleIsNoReading() {
        struct Tap : measure::ReadingSink {
            void TakeReading(const measure::Reading&) override { ++readings; }
            int readings = 0;
        } tap;
        kit::WindowRig rig;
        rig.useProbe(QStringLiteral("PX-9100"));
        app::frmMain& w = rig.start();
        QVERIFY(Settled(rig));
        w.readings().Add(tap);
        const probe::ReplyTaken good = w.processing().ProcessData(":S123045078010203N\r");
        const probe::ReplyTaken garbled = w.processing().ProcessData(":S12}045078010203N\r");
        QCOMPARE((QList<bool>{good.refused, garbled.refused}), (QList<bool>{false, true}));
        QCOMPARE(garbled.samples, 0);
        QCOMPARE(tap.readings, 1);
    }

    void milliwattReadoutsKeepEightCharacters() {
        kit::WindowRig rig;
        rig.config.ProbeUnits = QStringLiteral("mW/cm2");
        rig.useProbe(QStringLiteral("PX-9100"));
        app::frmMain& w = rig.start();
        QVERIFY(Settled(rig));
        QCOMPARE(w.zeta().Units(), 1);
        QCOMPARE(w.ui().probe.LabUnits->text(), QStringLiteral("mW/cm") + QChar(0xB2));
        // 14.49 V/m is 0.0557 mW/cm2: five decimals for the total, six for the axes.
        const QString total = w.ui().readouts.LabXYZField->text();
        QVERIFY2(total.startsWith(QStringLiteral("0.05")) && total.size() == 7, qPrintable(total));
        QCOMPARE(w.ui().readouts.LabXField->text().size(), 8);
    }

    void theRateShownFollowsTheLink_data() {
        QTest::addColumn<QString>("baud");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("storedAfter");
        const auto row = [](const char* name, const char* baud, const char* stored,
                            const char* shown, const char* after) {
            QTest::newRow(name) << QString(baud) << QString(stored) << QString(shown)
                                << QString(after);
        };
        row("9600, slower than allowed", "9600,o,7,1", "15", "15", "15");
        row("9600, faster than allowed", "9600,o,7,1", "80", "35", "80");
        row("19200, above 35", "19200,o,7,1", "63", "35", "35");
        row("19200, above the link", "19200,o,7,1", "80", "70", "80");
    }
    void theRateShownFollowsTheLink() {
        QFETCH(QString, baud);
        QFETCH(QString, stored);
        kit::WindowRig rig;
        rig.config.BaudRate = baud;
        rig.config.SampleRate = stored;
        rig.useProbe(QStringLiteral("PX-9100"));
        app::frmMain& w = rig.start();
        QVERIFY(Settled(rig));
        w.setup().SetUpZeta(); // as a change of link speed runs it
        QTEST(w.ui().link.CmbSampleRate->currentText(), "shown");
        QTEST(w.config().SampleRate, "storedAfter");
    }
};

QTEST_MAIN(tst_ZetaWindow)
#include "tst_zetawindow.moc"
