// The probe parts of the main window on the test doubles: battery and temperature requests as
// a virtual probe receives them, the battery gauge and its blinking, the sample-rate choice.
#include "tests/support/WindowKit.h"
#include "window/BatteryTemp.h"
#include "window/LinkControl.h"

#include <QTest>

namespace {

QStringList sentSince(kit::WindowRig& rig, qsizetype from) {
    QStringList sent;
    for (const QByteArray& c : rig.port.written().mid(from))
        sent << QString::fromLatin1(c).trimmed();
    return sent;
}

} // namespace

class ProbeWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void requestsReachTheProbeByFamily_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("action");
        QTest::addColumn<QStringList>("expected"); // in this order; empty: nothing is asked
        const auto row = [](const char* name, const char* model, const char* action,
                            const QStringList& expected) {
            QTest::newRow(name) << QString(model) << QString(action) << expected;
        };
        row("Sigma, Celsius", "PX-5100", "mnuProbeTempCels", {"R", "B", "TC"});
        row("Sigma, label", "PX-5100", "LabTempLab", {});
        row("Kappa, label", "E310", "LabTempLab", {"B", "TF"});
        row("Zeta, update now", "PX-9100", "mnuProbeUpdateNow", {"TF", "BP"});
    }
    void requestsReachTheProbeByFamily() {
        QFETCH(QString, model);
        QFETCH(QString, action);
        QFETCH(QStringList, expected);
        kit::WindowRig rig;
        rig.useProbe(model);
        app::frmMain& w = rig.start();
        QVERIFY(rig.runUntilIdentified());
        rig.run(3000); // past the requests that follow identification
        const qsizetype from = rig.port.written().size();
        if (action == QLatin1String("LabTempLab"))
            Q_EMIT w.ui().battery.LabTempLab->clicked();
        else
            w.findChild<QAction*>(action)->trigger();
        rig.run(3000);
        const QStringList sent = sentSince(rig, from);
        qsizetype at = 0;
        for (const QString& c : sent)
            if (at < expected.size() && c == expected[at]) ++at;
        QVERIFY2(at == expected.size(), qPrintable(sent.mid(0, 12).join(' ')));
        for (const char* asking : {"R", "B", "TC", "TF", "BP"})
            if (expected.isEmpty()) QVERIFY2(!sent.contains(QLatin1String(asking)), asking);
        QCOMPARE(w.probe().UseCelsiusTemp(), action == QLatin1String("mnuProbeTempCels") ? 1 : 0);
        QCOMPARE(w.ui().battery.mnuProbeTempCels->isChecked(), w.probe().UseCelsiusTemp() == 1);
    }

    void periodicRequestOnEveryPeriodPlusOneMinute() {
        kit::WindowRig rig;
        rig.config.SampleRate = QStringLiteral("1");
        rig.useProbe(QStringLiteral("PX-5100"));
        app::frmMain& w = rig.start();
        QVERIFY(rig.runUntilIdentified());
        w.ui().battery.mnuProbeUpdate60->trigger();
        rig.run(40 * 60000.0, 500);
        // A shorter period than the minutes already counted asks at the next minute.
        w.ui().battery.mnuProbeUpdate5->trigger();
        QVERIFY(w.ui().battery.mnuProbeUpdate5->isChecked() &&
                !w.ui().battery.mnuProbeUpdate60->isChecked());
        rig.run(30000.0, 500); // each minute below has its tick in the middle
        QList<int> minutes;
        for (int minute = 1; minute <= 13; ++minute) {
            const qsizetype from = rig.port.written().size();
            rig.run(60000.0, 500);
            if (sentSince(rig, from).contains(QStringLiteral("R"))) minutes << minute;
        }
        QCOMPARE(minutes, (QList<int>{1, 7, 13}));
        w.ui().battery.mnuProbeUpdateoff->trigger();
        QVERIFY(!w.HRTReadBattTemp().enabled());
    }

    void gaugeStandsOnItsBaseLine_data() {
        QTest::addColumn<int>("level");
        QTest::addColumn<double>("height");
        QTest::addColumn<bool>("warning");
        QTest::newRow("flat: drawn as 10 %") << 5 << 49.5 << true;
        QTest::newRow("lowest normal") << 8 << 39.6 << false;
        QTest::newRow("full") << 100 << 495.0 << false;
        QTest::newRow("beyond full stays in the frame") << 130 << 495.0 << false;
    }
    void gaugeStandsOnItsBaseLine() {
        QFETCH(int, level);
        QFETCH(double, height);
        QFETCH(bool, warning);
        kit::WindowRig rig;
        app::frmMain& w = rig.start();
        platform::Shape* bar = w.ui().battery.ShapeBatLevel;
        const QRectF placed = platform::TwipsGeometry(bar);
        w.battery().BatteryLevel(3); // a low reading first: the colour must follow the level
        w.battery().BatteryLevel(level);
        const QRectF g = platform::TwipsGeometry(bar);
        const double pixel = platform::TwipsPerPixel(w.centralWidget());
        QVERIFY(qAbs(g.height() - height) <= pixel);
        QVERIFY(qAbs(g.bottom() - 1695) <= pixel);
        QCOMPARE(g.left(), placed.left());
        QCOMPARE(g.width(), placed.width());
        QCOMPARE(bar->fillColor(), warning ? 0x00FFFFu : 0xFFFF00u);
    }

    void lowBatteryBlinksUntilItEndsOrTheProbeIsLost() {
        kit::WindowRig rig;
        rig.useProbe(QStringLiteral("PX-5100"));
        app::frmMain& w = rig.start();
        QVERIFY(rig.runUntilIdentified());
        QLabel* label = w.ui().battery.LabBattery;
        platform::Shape* bar = w.ui().battery.ShapeBatLevel;
        w.battery().BatteryLevel(60);
        w.battery().SetBattLowBlink(1);
        QList<bool> shown;
        for (int tick = 0; tick < 5; ++tick) {
            rig.run(500);
            shown << !label->isHidden();
            QCOMPARE(bar->fillColor(), 0x00FFFFu);
        }
        QCOMPARE(shown, (QList<bool>{false, true, false, true, false}));
        // The report clears while the label happens to be hidden: it comes back for good.
        w.battery().SetBattLowBlink(0);
        rig.run(1000);
        QVERIFY(!label->isHidden());
        QCOMPARE(bar->fillColor(), 0xFFFF00u);
        w.battery().SetBattLowBlink(1);
        rig.probe.reset();
        QVERIFY(rig.runUntil([&] { return w.battery().BattLowBlink() == 0; }));
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
        kit::WindowRig rig;
        app::frmMain& w = rig.start();
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

QTEST_MAIN(ProbeWindowTest)
#include "tst_probewindow.moc"
