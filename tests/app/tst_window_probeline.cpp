// The whole window on a virtual probe behind a real pseudo-terminal: the real serial port,
// timers and clock, the probe identified and its field shown in the readouts.
#include "app/frmMain.h"
#include "platform/QtClock.h"
#include "platform/QtHiResTimer.h"
#include "platform/QtSerialComm.h"
#include "platform/fake/MemorySettingsStore.h"
#include "platform/fake/RecordingMessageBoxes.h"
#include "platform/fake/ScriptedModalRunner.h"
#include "tests/support/WindowKit.h"
#include "tools/probesim/LineServer.h"

#include <QTemporaryDir>
#include <QTest>

class tst_WindowProbeLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void theReadoutsShowTheVirtualField_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("total");
        QTest::addColumn<QString>("x");
        QTest::addColumn<QString>("z");
        QTest::addColumn<QString>("units");
        // 5, 8 and 11 V/m: a total of 14.49 V/m.
        QTest::newRow("Sigma read axis by axis") << "PX-5100"
                                                 << "14.49"
                                                 << "5.000"
                                                 << "11.00"
                                                 << "V/m";
        QTest::newRow("Kappa") << "E310"
                               << "14.49"
                               << ""
                               << ""
                               << "V/m";
    }
    void theReadoutsShowTheVirtualField() {
        QFETCH(QString, model);
        QFETCH(QString, total);
        QFETCH(QString, x);
        QFETCH(QString, z);
        QFETCH(QString, units);

        probesim::LineServer server(probesim::CreateProbe(model, kit::WindowRig::DefaultPlan()),
                                    {});
        QString error;
        QVERIFY2(server.start(QString(), &error), qPrintable(error));

        QTemporaryDir dir;
        platform::MemorySettingsStore settings;
        platform::PortTable ports(settings);
        platform::QtSerialComm port(ports);
        platform::QtClock clock;
        platform::RecordingMessageBoxes boxes;
        platform::ScriptedModalRunner modal;
        kit::NoChildProgram child;
        platform::Services services{
            port,      clock, boxes, settings,
            ports,     modal, child, [] { return std::make_unique<platform::QtHiResTimer>(); },
            dir.path()};
        app::Config config(dir.path());
        config.SampleRate = QStringLiteral("Max");
        QVERIFY(app::SaveCfg(dir.filePath(QStringLiteral("Varnex.cfg")), config));

        app::frmMain window(services);
        window.SetRunPort(server.lineName());
        window.Form_Load();
        window.show();
        app::MainControls& u = window.ui();
        QTRY_COMPARE_WITH_TIMEOUT(window.probe().GetModel(), model, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(u.LabXYZField->text(), total, 15000);
        QCOMPARE(u.LabUnits->text(), units);
        if (!x.isEmpty()) {
            QTRY_COMPARE_WITH_TIMEOUT(u.LabXField->text(), x, 5000);
            QCOMPARE(u.LabZField->text(), z);
            QVERIFY(u.LabXField->isVisible());
        }
        QVERIFY(window.StatusPanel(1).contains(model));
        // The vertical scale follows the probe: "Auto" where offered, else the present range's.
        const QString scale = u.CmbVerticalScale->currentText();
        if (model == QStringLiteral("E310")) {
            QVERIFY(!scale.isEmpty());
            QCOMPARE(scale, window.probe().GetGraphSelection());
            QCOMPARE(window.config().GraphScaleStr, scale);
        } else {
            QCOMPARE(scale, QStringLiteral("Auto"));
        }
        QVERIFY(!boxes.texts().contains(probe::PollingCycle::OpenFailedText));
        // Samples keep coming: the rate shown is that of a live probe.
        QTRY_VERIFY_WITH_TIMEOUT(u.LabSamRate->text().toDouble() > 0, 5000);
        window.close();
    }
};

QTEST_MAIN(tst_WindowProbeLine)
#include "tst_window_probeline.moc"
