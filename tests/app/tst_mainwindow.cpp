// The main window's start-up, shutdown and layout, on the test doubles.
#include "tests/support/WindowKit.h"
#include "window/GraphControl.h"
#include "window/MainLayout.h"
#include "window/frmPort.h"

#include <QRadioButton>
#include <QTest>

namespace {

const QString App = app::frmMain::AppTitle;
const QString Section = QStringLiteral("Settings");

QString stored(kit::WindowRig& rig, const char* key) {
    return rig.settings.GetSetting(App, Section, QString::fromLatin1(key), QStringLiteral("-"));
}

} // namespace

class tst_MainWindow : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void firstRunAsksForThePortAndOpensAtTheDefaultPlace() {
        kit::WindowRig rig;
        rig.writeConfig = false;
        rig.modal.queue([](QDialog& dialog) {
            auto& ports = static_cast<window::frmPort&>(dialog);
            ports.option(3)->click();
            ports.continueButton()->click();
        });
        app::frmMain& w = rig.start();
        QCOMPARE(rig.modal.shown, QStringList{QStringLiteral("frmPort")});
        QCOMPARE(rig.port.openHistory().last(), 3);
        QVERIFY(w.HRTReadProbe().enabled());
        QCOMPARE(w.windowState(), Qt::WindowNoState);
        QCOMPARE(w.size(), QSize(platform::ToPixels(&w, 11535), platform::ToPixels(&w, 7590)));
        QCOMPARE(w.windowTitle(), App);
        QCOMPARE(w.ui().readouts.LabXYZField->text(), QStringLiteral("No Probe"));
        QCOMPARE(w.ui().readouts.LabMaxXYZ->text(), QStringLiteral("0.0"));
        // Nothing recorded or loaded yet.
        QVERIFY(!w.ui().record.tbSave->isEnabled());
        QVERIFY(!w.ui().graphs.tbZoomIn->isEnabled());
        QVERIFY(!w.ui().record.mnuFileSaveAs->isEnabled());
        QVERIFY(w.ui().record.tbRecord->isEnabled());

        rig.close();
        // The port chosen and the placement survive the first run.
        window::Config again;
        QVERIFY(app::LoadCfg(rig.dir.filePath(QStringLiteral("Varnex.cfg")), again).complete);
        QCOMPARE(again.CommPortNo, 3);
        QCOMPARE(stored(rig, "WindowState"), QStringLiteral("0"));
        QCOMPARE(stored(rig, "MainWidth").toDouble(),
                 platform::ToPixels(nullptr, 11535) * platform::TwipsPerPixel(nullptr));
    }

    void placementIsKeptByWindowState_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("storedState");
        QTest::addColumn<bool>("normalPlacementWritten");
        QTest::newRow("normal") << 0 << "0" << true;
        QTest::newRow("maximised") << 2 << "2" << false;
        QTest::newRow("minimised") << 1 << "-" << false;
    }
    void placementIsKeptByWindowState() {
        QFETCH(int, state);
        QFETCH(bool, normalPlacementWritten);
        kit::WindowRig rig;
        app::frmMain& w = rig.start();
        w.move(300, 200);
        w.resize(900, 640);
        if (state == 2) w.setWindowState(Qt::WindowMaximized);
        if (state == 1) w.setWindowState(Qt::WindowMinimized);
        rig.close();
        QTEST(stored(rig, "WindowState"), "storedState");
        QCOMPARE(stored(rig, "MainWidth") != QStringLiteral("-"), normalPlacementWritten);
        if (normalPlacementWritten) {
            QCOMPARE(stored(rig, "MainLeft").toDouble(), 300 * 15.0);
            QCOMPARE(stored(rig, "MainHeight").toDouble(), 640 * 15.0);
        }

        // The next start comes back as it was left.
        rig.settings.SaveSetting(App, Section, QStringLiteral("MainWidth"), QStringLiteral("9000"));
        app::frmMain& next = rig.start();
        QCOMPARE(next.isMaximized(), state == 2);
        if (state != 2) QCOMPARE(next.width(), 600);
    }

    void aPortThatWillNotOpenLeavesPollingStopped() {
        kit::WindowRig rig;
        rig.port.setFailingPorts({2});
        app::frmMain& w = rig.start();
        QCOMPARE(rig.boxes.count(probe::PollingCycle::OpenFailedText), 1);
        QCOMPARE(rig.boxes.messages().first().icon, platform::MsgIcon::Exclamation);
        QVERIFY(!w.HRTReadProbe().enabled());
        rig.run(2000);
        QVERIFY(rig.port.written().isEmpty());
        // Another port from the menu starts polling.
        w.ui().link.mnucommcomm[1]->trigger();
        QVERIFY(w.HRTReadProbe().enabled());
        QVERIFY(w.ui().link.mnucommcomm[1]->isChecked());
    }

    void theGraphMakesRoomAndGivesWay() {
        kit::WindowRig rig;
        app::frmMain& w = rig.start();
        window::MainControls& u = w.ui();
        w.resize(900, 700);
        QCoreApplication::processEvents();
        QVERIFY(u.graphs.Picture1->isVisible());
        QVERIFY(u.graphs.Picture3->isVisible());
        const int tall = u.graphs.Picture1->height();

        // Without the status bar the graph takes its room.
        u.frame.mnuViewStatusBar->trigger();
        QCoreApplication::processEvents();
        QVERIFY(!u.frame.sbStatusBar->isVisible());
        QVERIFY(u.graphs.Picture1->height() > tall);

        // Too little height below the graph's top hides it; room brings it back.
        w.resize(900, 220);
        QCoreApplication::processEvents();
        QVERIFY(!u.graphs.Picture1->isVisible());
        w.resize(900, 700);
        QCoreApplication::processEvents();
        QVERIFY(u.graphs.Picture1->isVisible());
        QCOMPARE(w.graph().Width(), int(platform::TwipsGeometry(u.graphs.Picture1).width()) - 100);

        // A bar-graph area narrower than 1200 twips is hidden.
        w.resize(platform::ToPixels(&w, 6360 + 120 + 1000), 700);
        QCoreApplication::processEvents();
        QVERIFY(!u.graphs.Picture3->isVisible());
    }

    void theMovingAverageViewIsLaidOutAsStored() {
        kit::WindowRig rig;
        rig.config.ExposureFrame = true;
        app::frmMain& w = rig.start();
        window::MainControls& u = w.ui();
        QVERIFY(u.exposure.ShaExposure->isVisible());
        QCOMPARE(u.exposure.LabMinAver->text(), QStringLiteral("6 Minute"));
        const double twips = platform::TwipsPerPixel(&w);
        QVERIFY(qAbs(platform::TwipsGeometry(u.readouts.LabMaxXYZ).left() - 6480) <= twips);
        QVERIFY(qAbs(platform::TwipsGeometry(u.graphs.Picture3).left() - 8040) <= twips);
        // Unticked, the panel goes and the peaks and bar graph move back.
        u.exposure.mnuViewExposure->trigger();
        QVERIFY(!u.exposure.ShaExposure->isVisible());
        QVERIFY(qAbs(platform::TwipsGeometry(u.readouts.LabMaxXYZ).left() - 4800) <= twips);
        QVERIFY(qAbs(platform::TwipsGeometry(u.graphs.Picture3).left() - 6360) <= twips);
    }

    void switchedOffAxesKeepTheirGrey() {
        kit::WindowRig rig;
        app::frmMain& w = rig.start();
        window::MainControls& u = w.ui();
        platform::SetForeColor(u.readouts.LabXAxis, platform::PaletteColour(7));
        platform::SetForeColor(u.readouts.LabYAxis, 0x00FF00);
        w.layout().ChangeTextColor(0x0000FF);
        QCOMPARE(platform::ForeColor(u.readouts.LabXAxis), platform::PaletteColour(7));
        QCOMPARE(platform::ForeColor(u.readouts.LabYAxis), platform::Colour(0x0000FF));
        QCOMPARE(platform::ForeColor(u.readouts.LabXYZField), platform::Colour(0x0000FF));
    }

    void zoomInOnlyArmsOnAStoredView() {
        kit::WindowRig rig;
        app::frmMain& w = rig.start();
        w.ui().graphs.tbZoomIn->setEnabled(true);
        w.ui().graphs.tbZoomIn->trigger();
        QCOMPARE(w.graph().ZoomCnt(), 0);
        w.ui().graphs.tbScatter->trigger(); // the live graph off: the stored view
        w.ui().graphs.tbZoomIn->trigger();
        QCOMPARE(w.graph().ZoomCnt(), 1);
        QVERIFY(w.StatusPanel(1).startsWith(QStringLiteral("Click on graph")));
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
