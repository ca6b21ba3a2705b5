// The program's windows on the test doubles: the main window's start-up, shutdown and layout,
// its graphs' scales, lists, sweep and bar graph; the splash, the about box, the port dialog;
// the configuration file (byte for byte) and the header notes.
#include "app/ConfigFile.h"
#include "app/HeaderNotes.h"
#include "app/frmAbout.h"
#include "app/frmSplash.h"
#include "measure/RecordTable.h"
#include "platform/fake/MemorySettingsStore.h"
#include "tests/support/WindowKit.h"
#include "window/BarGraphControl.h"
#include "window/GraphControl.h"
#include "window/MainLayout.h"
#include "window/frmPort.h"

#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace app;
using graph::clsGraph;
using platform::PortTable;
using window::frmPort;

namespace {

const QString App = app::frmMain::AppTitle;
const QString Section = QStringLiteral("Settings");

QString stored(kit::WindowRig& rig, const char* key) {
    return rig.settings.GetSetting(App, Section, QString::fromLatin1(key), QStringLiteral("-"));
}

// The user picks a text of the list.
void Choose(QComboBox* box, const QString& text) {
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
}

// n points of the live sweep.
void Plot(window::GraphControl& c, int n) {
    measure::Reading r;
    r.family = measure::Family::Zeta;
    r.value = {1, 2, 3, 4};
    for (int i = 0; i < n; ++i)
        c.TakeReading(r);
}

// A file with every value away from its default; Path and SaveFileName hold commas.
const QByteArray Full =
    "ProbeUnits,mW/cm2\r\nGraphScale,Log 0.1-1000\r\nLogScaleOn,1\r\nAveraging,8\r\n"
    "CommPort,4\r\nGraphSamplesPerDiv,200\r\nTextUpdatePerSecond,3\r\nExposure,1 Minute\r\n"
    "HorizontalLinesOn,0\r\nPath,/home/op/logs, 2024\r\nBaudRate,19200,o,7,1\r\n"
    "PlotComposite,0\r\nExposureFrame,True\r\nStatusBar,False\r\nMaxSpeed,True\r\n"
    "UpdateBattTemp,False\r\nMultiplex,False\r\nAutoRange,0\r\nGraphBackGroundColor,1056816\r\n"
    "GraphGridLineColor,1\r\nGraphXYZaxisColor,2\r\nGraphXaxisColor,3\r\nGraphYaxisColor,4\r\n"
    "GraphZaxisColor,16777215\r\nReadTimer,120\r\nRthresEnabled,1\r\nSampleRate,Max\r\n"
    "UpdateBattTemp,5\r\nGraphScaleAuto,1\r\nTemperatureCelsius,1\r\nAlarmEnable, 1\r\n"
    "AlarmValue, 0.1\r\nGraphTextColor, 5\r\nBoxColor, 6\r\nMatchBarGraphToScatt, 1\r\n"
    "FormBackColor, 7\r\nLogScaleMinDivOn, 1\r\nMinDivColor, 8\r\n"
    "SaveFileName, /home/op/logs, 2024/run,3\r\nPeriodicInterval, 15\r\n"
    "PeriodicIntervalEnabled, 1\r\n";

QByteArrayList linesOf(const QByteArray& file) {
    QByteArrayList lines = file.split('\n');
    lines.removeLast();
    for (QByteArray& line : lines)
        line.chop(1);
    return lines;
}

QByteArray joined(const QByteArrayList& lines, const char* end = "\r\n") {
    QByteArray out;
    for (const QByteArray& line : lines)
        out += line + end;
    return out;
}

// The lines of Full with the given (line number, text) replacements.
QByteArrayList edited(std::initializer_list<std::pair<int, const char*>> edits) {
    QByteArrayList lines = linesOf(Full);
    for (const auto& [no, text] : edits)
        lines[no - 1] = text;
    return lines;
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A null file is none: any file of that name is removed.
bool writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (bytes.isNull()) return !file.exists() || file.remove();
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray numberedNotes(int count) {
    QByteArray out;
    for (int i = 1; i <= count; ++i)
        out += QByteArray::number(i) + ",Label " + QByteArray::number(i) + ",v\r\n";
    return out;
}

} // namespace

class tst_MainWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<kit::WindowRig> rig; // a new one for each test
    QTemporaryDir m_dir;
    QByteArrayList m_defaults; // the file SaveCfg writes for a Config left at its defaults
    static QLabel* label(const QWidget& window, const QString& name) {
        return window.findChild<QLabel*>(name);
    }

private Q_SLOTS:
    void init() { rig = std::make_unique<kit::WindowRig>(); }
    void initTestCase() {
        QVERIFY(SaveCfg(m_dir.filePath("defaults.cfg"), Config(m_dir.path())));
        m_defaults = linesOf(readAll(m_dir.filePath("defaults.cfg")));
        QCOMPARE(m_defaults.size(), 41);
    }

    void firstRunAsksForThePortAndOpensAtTheDefaultPlace() {
        rig->writeConfig = false;
        rig->modal.queue([](QDialog& dialog) {
            auto& ports = static_cast<window::frmPort&>(dialog);
            ports.option(3)->click();
            ports.continueButton()->click();
        });
        app::frmMain& w = rig->start();
        const window::MainControls& u = w.ui();
        QCOMPARE(rig->modal.shown, QStringList{QStringLiteral("frmPort")});
        QCOMPARE(rig->port.openHistory().last(), 3);
        QVERIFY(w.HRTReadProbe().enabled());
        QCOMPARE(w.windowState(), Qt::WindowNoState);
        QCOMPARE(w.size(), QSize(platform::ToPixels(&w, 11535), platform::ToPixels(&w, 7590)));
        QCOMPARE(w.windowTitle(), App);
        QCOMPARE((QStringList{u.readouts.LabXYZField->text(), u.readouts.LabMaxXYZ->text()}),
                 (QStringList{"No Probe", "0.0"}));
        // Nothing recorded or loaded yet: save and zoom are off, recording is on.
        QCOMPARE((QList<bool>{u.record.tbSave->isEnabled(), u.graphs.tbZoomIn->isEnabled(),
                              u.record.mnuFileSaveAs->isEnabled(), u.record.tbRecord->isEnabled()}),
                 (QList<bool>{false, false, false, true}));

        rig->close();
        // The port chosen and the placement survive the first run.
        window::Config again;
        QVERIFY(app::LoadCfg(rig->dir.filePath(QStringLiteral("Varnex.cfg")), again).complete);
        QCOMPARE(again.CommPortNo, 3);
        QCOMPARE(stored(*rig, "WindowState"), QStringLiteral("0"));
        QCOMPARE(stored(*rig, "MainWidth").toDouble(),
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
        app::frmMain& w = rig->start();
        w.move(300, 200);
        w.resize(900, 640);
        if (state == 2) w.setWindowState(Qt::WindowMaximized);
        if (state == 1) w.setWindowState(Qt::WindowMinimized);
        rig->close();
        QTEST(stored(*rig, "WindowState"), "storedState");
        QCOMPARE(stored(*rig, "MainWidth") != QStringLiteral("-"), normalPlacementWritten);
        if (normalPlacementWritten) {
            QCOMPARE(stored(*rig, "MainLeft").toDouble(), 300 * 15.0);
            QCOMPARE(stored(*rig, "MainHeight").toDouble(), 640 * 15.0);
        }

        // The next start comes back as it was left.
        rig->settings.SaveSetting(App, Section, QStringLiteral("MainWidth"),
                                  QStringLiteral("9000"));
        app::frmMain& next = rig->start();
        QCOMPARE(next.isMaximized(), state == 2);
        if (state != 2) QCOMPARE(next.width(), 600);
    }

    void aPortThatWillNotOpenLeavesPollingStopped() {
        rig->port.setFailingPorts({2});
        app::frmMain& w = rig->start();
        QCOMPARE(rig->boxes.count(probe::PollingCycle::OpenFailedText), 1);
        QCOMPARE(rig->boxes.messages().first().icon, platform::MsgIcon::Exclamation);
        QVERIFY(!w.HRTReadProbe().enabled());
        rig->run(2000);
        QVERIFY(rig->port.written().isEmpty());
        // Another port from the menu starts polling.
        w.ui().link.mnucommcomm[1]->trigger();
        QVERIFY(w.HRTReadProbe().enabled());
        QVERIFY(w.ui().link.mnucommcomm[1]->isChecked());
    }

    void theGraphMakesRoomAndGivesWay() {
        app::frmMain& w = rig->start();
        window::MainControls& u = w.ui();
        const auto resize = [&](int width, int height) {
            w.resize(width, height);
            QCoreApplication::processEvents();
        };
        resize(900, 700);
        QVERIFY(u.graphs.Picture1->isVisible());
        QVERIFY(u.graphs.Picture3->isVisible());
        const int tall = u.graphs.Picture1->height();

        // Without the status bar the graph takes its room.
        u.frame.mnuViewStatusBar->trigger();
        QCoreApplication::processEvents();
        QVERIFY(!u.frame.sbStatusBar->isVisible());
        QVERIFY(u.graphs.Picture1->height() > tall);

        // Too little height below the graph's top hides it; room brings it back.
        resize(900, 220);
        QVERIFY(!u.graphs.Picture1->isVisible());
        resize(900, 700);
        QVERIFY(u.graphs.Picture1->isVisible());
        QCOMPARE(w.graph().Width(), int(platform::TwipsGeometry(u.graphs.Picture1).width()) - 100);

        // A bar-graph area narrower than 1200 twips is hidden.
        resize(platform::ToPixels(&w, 6360 + 120 + 1000), 700);
        QVERIFY(!u.graphs.Picture3->isVisible());
    }

    void theMovingAverageViewAndTheTextColour() {
        rig->config.ExposureFrame = true;
        app::frmMain& w = rig->start();
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

        // A new text colour leaves the grey of switched-off axes.
        platform::SetForeColor(u.readouts.LabXAxis, platform::PaletteColour(7));
        platform::SetForeColor(u.readouts.LabYAxis, 0x00FF00);
        w.layout().ChangeTextColor(0x0000FF);
        QCOMPARE(platform::ForeColor(u.readouts.LabXAxis), platform::PaletteColour(7));
        QCOMPARE(platform::ForeColor(u.readouts.LabYAxis), platform::Colour(0x0000FF));
        QCOMPARE(platform::ForeColor(u.readouts.LabXYZField), platform::Colour(0x0000FF));
    }

    void zoomInOnlyArmsOnAStoredView() {
        app::frmMain& w = rig->start();
        w.ui().graphs.tbZoomIn->setEnabled(true);
        w.ui().graphs.tbZoomIn->trigger();
        QCOMPARE(w.graph().ZoomCnt(), 0);
        w.ui().graphs.tbScatter->trigger(); // the live graph off: the stored view
        w.ui().graphs.tbZoomIn->trigger();
        QCOMPARE(w.graph().ZoomCnt(), 1);
        QVERIFY(w.StatusPanel(1).startsWith(QStringLiteral("Click on graph")));
    }

    void scaleTexts_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("divisions");
        QTest::addColumn<double>("step");   // units per division, or the top of a log scale
        QTest::addColumn<double>("centre"); // linear
        QTest::addColumn<double>("bottom"); // of the scale, as both graphs use it
        QTest::newRow("0-350") << "0-350" << 0 << 7 << 50.0 << 175.0 << 0.0;
        QTest::newRow("0-0.001") << "0-0.001" << 0 << 10 << 0.0001 << 0.0005 << 0.0;
        QTest::newRow("Auto") << "Auto" << 0 << 10 << 1.0 << 5.0 << 0.0;
        QTest::newRow("Log 0.01m-1000") << "Log 0.01m-1000" << 3 << 8 << 1000.0 << 0.0 << 1e-5;
        QTest::newRow("Log 1-100k") << "Log 1-100k" << 3 << 5 << 100000.0 << 0.0 << 1.0;
    }

    void scaleTexts() {
        QFETCH(QString, text);
        QFETCH(int, type);
        QFETCH(int, divisions);
        QFETCH(double, step);
        QFETCH(double, centre);
        QFETCH(double, bottom);
        rig->config.GraphScaleStr = QStringLiteral("0-10");
        app::frmMain& w = rig->start();
        w.ui().graphs.CmbVerticalScale->setCurrentIndex(-1); // a text the list does not offer
        w.config().GraphScaleStr = text;
        Plot(w.graphControl(), 9);
        w.graphControl().RescaleAll();

        const clsGraph& g = w.graph();
        QCOMPARE(g.GraphType(), type);
        QCOMPARE(g.NoVerDiv(), divisions);
        if (type == clsGraph::Linear) {
            QCOMPARE(g.VerUnitsPerDiv(), float(step));
            QCOMPARE(g.VerUnitsOffset(), float(centre));
        } else {
            QCOMPARE(g.YAxisLogMax(), float(step));
            QCOMPARE(g.BottomValue(), float(bottom));
        }
        QCOMPARE(w.graphControl().SweepIndex(), 0);

        // The bar graph: from the bottom of the scale over the same divisions or decades.
        const graph::ClsBarGraph& bars = w.barGraph();
        QCOMPARE(w.barControl().BarScaleStr(), text);
        QCOMPARE(bars.GraphType(), type == clsGraph::Linear ? 0 : 1);
        QCOMPARE(bars.NoOfDiv(), divisions);
        QCOMPARE(bars.BottomOfScale(), float(bottom));
        QCOMPARE(bars.UnitsPerDiv(), type == clsGraph::Linear ? float(step) : 1.0f);
        QVERIFY(rig->boxes.messages().isEmpty());
    }

    void unknownAndRepeatedScales() {
        app::frmMain& w = rig->start();
        window::GraphControl& c = w.graphControl();
        QComboBox* box = w.ui().graphs.CmbVerticalScale;
        Choose(box, QStringLiteral("0-350"));
        QCOMPARE(w.graph().NoVerDiv(), 7);

        // The same choice again changes nothing: the sweep goes on.
        Plot(c, 12);
        Choose(box, QStringLiteral("0-350"));
        QCOMPARE(c.SweepIndex(), 12);
        QCOMPARE(c.SetUpGraphScale(), 0);

        // A text of neither table: told once; the divisions reset, the rest stays.
        box->setCurrentIndex(-1);
        w.config().GraphScaleStr = QStringLiteral("0-7");
        QCOMPARE(c.SetUpGraphScale(), 1);
        QCOMPARE(c.SetUpGraphScale(), 0);
        QCOMPARE(rig->boxes.texts(), QStringList{QStringLiteral("Graph scale not found: 0-7")});
        QCOMPARE(w.graph().NoVerDiv(), 10);
        QCOMPARE(w.graph().VerUnitsPerDiv(), 50.0f);
        // The bar graph keeps the scale it had.
        w.barControl().SetUpBarGraph();
        QCOMPARE(w.barGraph().NoOfDiv(), 7);
    }

    void startUpSelections_data() {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("storedAuto");
        QTest::addColumn<int>("storedPerDiv");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<int>("perDiv");
        QTest::newRow("listed scale") << "0-100" << 0 << 200 << "0-100" << 200;
        QTest::newRow("automatic") << "0-100" << 1 << 1000 << "Auto" << 1000;
        QTest::newRow("unknown text") << "0-7" << 0 << 60 << "Auto" << 50;
        // A scale of a probe not yet identified stays in force with the list blank.
        QTest::newRow("other probe's scale") << "0-4k" << 0 << 20 << "" << 20;
    }

    void startUpSelections() {
        QFETCH(QString, stored);
        QFETCH(int, storedAuto);
        QFETCH(int, storedPerDiv);
        QFETCH(QString, shown);
        QFETCH(int, perDiv);
        rig->config.GraphScaleStr = stored;
        rig->config.GraphScaleAuto = storedAuto;
        rig->config.SamPerDivSetting = storedPerDiv;
        app::frmMain& w = rig->start();
        const window::MainControls& u = w.ui();
        QCOMPARE(u.graphs.CmbVerticalScale->currentText(), shown);
        QCOMPARE(w.config().GraphScaleAuto, shown == QStringLiteral("Auto") ? 1 : 0);
        if (w.config().GraphScaleAuto == 0) QCOMPARE(w.graphControl().LastScaleStr(), stored);
        QCOMPARE(u.graphs.cmbSamPerDiv->currentText(), QString::number(perDiv));
        QCOMPARE(w.config().SamPerDivSetting, perDiv);
        QCOMPARE(w.graph().SamPerDiv(), float(perDiv));
        QVERIFY(rig->boxes.messages().isEmpty());
    }

    void scaleListFollowsTheProbe() {
        app::frmMain& w = rig->start();
        window::GraphControl& c = w.graphControl();
        QComboBox* box = w.ui().graphs.CmbVerticalScale;
        const QStringList scales{"0-10", "0-35", "0-100", "0-350"};
        QCOMPARE(kit::Items(box), QStringList{"Auto"} + scales);
        QCOMPARE(box->currentText(), QStringLiteral("Auto"));

        // A Kappa probe offers no automatic scale, and "Auto" is not shown again.
        w.probe().SetTypeZeta(probe::StateKappa);
        c.LimitGraphSetting();
        QCOMPARE(kit::Items(box), scales);
        QCOMPARE(box->currentText(), QString());
        // Back to a probe with the automatic scale: the preference comes back.
        w.probe().SetTypeZeta(probe::StateSigma);
        c.LimitGraphSetting();
        QCOMPARE(box->currentText(), QStringLiteral("Auto"));

        // A chosen scale survives a list that lacks it, shown again when offered again.
        Choose(box, QStringLiteral("0-35"));
        w.probe().SetTypeZeta(probe::StateKappa);
        c.LimitGraphSetting();
        QCOMPARE(box->currentText(), QStringLiteral("0-35"));
    }

    // The live sweep. A probe read axis by axis: one point for each completed set, the total
    // and the three axes in one column; a probe read as a whole plots its total alone.
    void liveSweep() {
        app::frmMain& w = rig->start();
        window::GraphControl& c = w.graphControl();
        const clsGraph& g = w.graph();
        const int start = c.SweepIndex();
        measure::Reading r;
        r.axesReported = true;
        r.value = {14, 5, 8, 11};
        for (int axis = 1; axis <= 3; ++axis) {
            r.axis = axis;
            r.completesSample = axis == 3;
            c.TakeReading(r);
            QCOMPARE(c.SweepIndex(), axis == 3 ? start + 1 : start);
        }
        QVERIFY(g.LastX(clsGraph::TraceX) > 0);
        for (int trace : {clsGraph::TraceTotal, clsGraph::TraceY, clsGraph::TraceZ})
            QCOMPARE(g.LastX(trace), g.LastX(clsGraph::TraceX));
        measure::Reading whole;
        whole.plottedTotal = 14;
        c.TakeReading(whole);
        QCOMPARE(c.SweepIndex(), start + 2);
        QVERIFY(g.LastX(clsGraph::TraceTotal) > g.LastX(clsGraph::TraceX));

        // A new number of samples a division restarts the sweep; it wraps at its length.
        Plot(c, 40);
        Choose(w.ui().graphs.cmbSamPerDiv, QStringLiteral("100"));
        QCOMPARE(w.graph().SamPerDiv(), 100.0f);
        QCOMPARE(w.config().SamPerDivSetting, 100);
        QCOMPARE(c.SweepLength(), 10 * 100);
        QCOMPARE(c.SweepIndex(), 1);
        Plot(c, c.SweepLength() - 1);
        QCOMPARE(c.SweepIndex(), c.SweepLength());
        Plot(c, 1); // the sweep wraps at its length
        QCOMPARE(c.SweepIndex(), 1);
    }

    void picture3ClicksAndResizes() {
        app::frmMain& w = rig->start();
        graph::ClsBarGraph& bars = w.barGraph();
        constexpr int X = graph::ClsBarGraph::BarAxisX;
        bars.DrawBarX(4.0f);
        const int extent = bars.BarExtent(X);
        QVERIFY(extent > graph::ClsBarGraph::BarStart);
        w.records().SetRecording(measure::RecordTable::Logging);
        QTest::mouseClick(w.ui().graphs.Picture3, Qt::LeftButton);
        QCOMPARE(bars.BarExtent(X), extent);
        w.records().SetRecording(measure::RecordTable::Idle);
        QTest::mouseClick(w.ui().graphs.Picture3, Qt::LeftButton);
        QCOMPARE(bars.BarExtent(X), int(graph::ClsBarGraph::BarStart));

        // A new size gives a new scale.
        w.ui().graphs.Picture3->resize(w.ui().graphs.Picture3->width() + 40,
                                       w.ui().graphs.Picture3->height());
        QCOMPARE(bars.ScaleRight(), int(w.ui().graphs.Picture3->ScaleWidth()) - 300);
    }

    void splash() {
        QCOMPARE(frmSplash::VersionLine(), QStringLiteral("Rev " VARNEX_VERSION)); // x.y.z build
        frmSplash splash;
        QCOMPARE(splash.objectName(), QStringLiteral("frmSplash"));
        QVERIFY(splash.windowFlags().testFlag(Qt::FramelessWindowHint));
        splash.show();
        const QPoint off =
            splash.geometry().center() - splash.screen()->availableGeometry().center();
        QVERIFY(off.manhattanLength() <= 2);
    }

    void about_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("identity");
        for (const char* m : {"PX-9120", "PX-9130", "E310", "H420", "PX-9100"})
            QTest::newRow(m) << QString(m) << true;
        for (const char* m : {"PX-9110", "px-9120", ""})
            QTest::newRow(*m ? m : "no probe") << QString(m) << false;
    }

    void about() {
        QFETCH(QString, model);
        QFETCH(bool, identity);
        frmAbout about(QStringLiteral("Varnex"), {model, "2.07", "03/14/2023", "41077"});
        about.show();
        QCOMPARE(about.windowTitle(), QStringLiteral("About Varnex"));
        QCOMPARE(label(about, "lblVersion")->text(), QStringLiteral("Version " VARNEX_VERSION));
        QCOMPARE(label(about, "LabModel")->text(), model);
        for (const char* name :
             {"Label1", "Label2", "Label3", "LabProbeCalDate", "LabProbeSerialNo"})
            QCOMPARE(label(about, name)->isVisible(), identity);
        QCOMPARE(label(about, "LabProbeSerialNo")->text(), identity ? "41077" : "");

        // Without the identity lines the box closes up.
        frmAbout full(QStringLiteral("Varnex"), {QStringLiteral("E310"), {}, {}, {}});
        full.show();
        QCOMPARE(about.height() < full.height(), !identity);

        // The mark follows the title without covering it.
        const QLabel* title = label(about, "lblTitle");
        QVERIFY(label(about, "Label5")->x() >=
                title->x() + title->fontMetrics().horizontalAdvance(QStringLiteral("Varnex")));

        about.findChild<QPushButton*>(QStringLiteral("cmdOK"))->click();
        QVERIFY(!about.isVisible());
    }

    void choosesAtOnceAndContinueCloses() {
        platform::MemorySettingsStore store;
        PortTable ports(store);
        QList<int> chosen;
        frmPort d(ports, 2, [&](int n) { chosen << n; });
        QCOMPARE(d.windowTitle(), QStringLiteral("Select a Comm Port"));
        auto* frame = d.findChild<QGroupBox*>();
        QCOMPARE(frame->title(), QStringLiteral("Port Number"));
        const QStringList available = PortTable::availablePorts();
        for (int n = 1; n <= 5; ++n) {
            QCOMPARE(d.option(n)->text(), QStringLiteral("Comm%1").arg(n));
            QVERIFY(frame->isAncestorOf(d.option(n)));
            QCOMPARE(d.option(n)->isChecked(), n == 2);
            QCOMPARE(d.portNameBox(n)->currentText(), ports.portName(n));
            for (const QString& port : available)
                QVERIFY(d.portNameBox(n)->findText(port) >= 0);
        }
        const QScreen* screen = QGuiApplication::primaryScreen();
        const QPoint off = d.frameGeometry().center() - screen->availableGeometry().center();
        QVERIFY2(off.manhattanLength() <= 4, "centred on the screen");

        QVERIFY(chosen.isEmpty()); // opening chooses nothing
        d.option(4)->click();
        QCOMPARE(chosen, QList<int>{4});
        d.option(1)->click();
        QVERIFY(d.option(1)->isChecked() && !d.option(4)->isChecked());
        QCOMPARE(d.result(), int(QDialog::Rejected)); // still open
        d.continueButton()->click();
        QCOMPARE(d.result(), int(QDialog::Accepted));
        QCOMPARE(chosen, (QList<int>{4, 1}));
        QVERIFY(store.values().isEmpty()); // no name was changed
    }

    void aChangedNameIsStoredBehindItsNumber() {
        platform::MemorySettingsStore store;
        PortTable ports(store);
        ports.setRunOverride(2, QStringLiteral("/tmp/probe-line"));
        frmPort d(ports, 1, {});
        d.portNameBox(1)->setEditText(QStringLiteral(" /dev/ttyUSB7 "));
        QCOMPARE(ports.portName(1), QStringLiteral("/dev/ttyUSB7"));
        // Clearing the box keeps the last name: a number never stands for no port.
        d.portNameBox(1)->setEditText(QString());
        QCOMPARE(ports.portName(1), QStringLiteral("/dev/ttyUSB7"));
        // A name given for this run only is shown but cannot be changed here.
        QCOMPARE(d.portNameBox(2)->currentText(), QStringLiteral("/tmp/probe-line"));
        QVERIFY(!d.portNameBox(2)->isEnabled());
        d.option(3)->click(); // nobody to tell: nothing happens
        QCOMPARE(store.values().keys(), QStringList{"Varnex/Ports/Comm1"});
    }

    void configRoundTrip() {
        const QString path = m_dir.filePath("full.cfg");
        QVERIFY(writeAll(path, Full));
        Config cfg(m_dir.path());
        QCOMPARE(LoadCfg(path, cfg).linesRead, 41);
        QCOMPARE(cfg.CommPortNo, 4);
        QCOMPARE(cfg.BattUpdateMinutes, 5);
        QVERIFY(cfg.UpdateBattTempTick); // line 16 says False but is not read
        QCOMPARE(cfg.AlarmValue, 0.1f);
        cfg.UpdateBattTempTick = false;
        QVERIFY(SaveCfg(path, cfg));
        QCOMPARE(readAll(path), Full);
    }

    // Saved again after loading: the first n of lines, then the defaults (always for line 16,
    // which is never read). The Zeta unit code is 7 before loading.
    void configLoad_data() {
        QTest::addColumn<QByteArray>("file"); // null: no file
        QTest::addColumn<int>("linesRead");
        QTest::addColumn<QByteArrayList>("resaved");
        QTest::addColumn<int>("zeta");
        const auto row = [&](const char* name, const QByteArray& file, int n,
                             const QByteArrayList& lines, int zeta) {
            QByteArrayList out = lines.mid(0, n) + m_defaults.mid(n);
            out[15] = m_defaults[15];
            QTest::newRow(name) << file << n << out << zeta;
        };
        const auto edit = [&](const char* name, const QByteArrayList& lines, int n, int zeta) {
            row(name, joined(lines), n, lines, zeta);
        };
        const QByteArrayList full = linesOf(Full);
        row("no file", QByteArray(), 0, m_defaults, 7);
        row("cut after line 20", joined(full.mid(0, 20)), 20, full, 7);
        row("LF or CR alone ends a line",
            joined(full.mid(0, 20), "\n") + joined(full.mid(20), "\r"), 41, full, 1);
        row("lines 3 and 4 exchanged", joined(edited({{3, "Averaging,8"}, {4, "LogScaleOn,1"}})),
            41, edited({{3, "LogScaleOn,8"}, {4, "Averaging,1"}}), 1);
        row("old plain Path, blanks, lower case, any key",
            joined(edited({{10, "Path, /data/old"}, {4, "Averaging,  8 "}, {13, "X, true"}})), 41,
            edited({{10, "Path,/data/old"}}), 1);
        edit("units V2/m2", edited({{1, "ProbeUnits,V2/m2"}}), 41, 2);
        edit("unknown units", edited({{1, "ProbeUnits,dBm"}}), 41, 7);
        edit("text in a number line", edited({{25, "ReadTimer,fast"}}), 24, 7);
        edit("beyond 16 bits", edited({{3, "LogScaleOn,40000"}}), 2, 7);
        edit("neither True nor False", edited({{14, "StatusBar,Yes"}}), 13, 7);
        edit("line without a comma", edited({{27, "SampleRate Max"}}), 26, 7);
    }
    void configLoad() {
        QFETCH(QByteArray, file);
        QFETCH(int, linesRead);
        const QString in = m_dir.filePath("in.cfg"), out = m_dir.filePath("out.cfg");
        QVERIFY(writeAll(in, file));
        Config cfg(m_dir.path());
        cfg.ZetaUnitsCode = 7;
        const LoadResult r = LoadCfg(in, cfg);
        QCOMPARE(r.linesRead, linesRead);
        QCOMPARE(r.complete, linesRead == 41);
        QTEST(cfg.ZetaUnitsCode, "zeta");
        QVERIFY(SaveCfg(out, cfg));
        QTEST(linesOf(readAll(out)), "resaved");
    }

    void parsePathFile() {
        for (const auto& [path, folder, name] :
             {std::tuple{"C:\\Logs\\run1.csv", "C:\\Logs", "run1.csv"},
              {"/home/op/run1.csv", "/home/op", "run1.csv"},
              {"C:/Logs\\sub/run1", "C:/Logs\\sub", "run1"},
              {"run1.csv", "", "run1.csv"}}) {
            QCOMPARE(ParsePathFile(path, 1), QString(folder));
            QCOMPARE(ParsePathFile(path, 2), QString(name));
        }
    }

    void configFilePath_data() {
        QTest::addColumn<QString>("program");
        QTest::addColumn<bool>("fallback");
        QVERIFY(writeAll(m_dir.filePath("plain"), "x"));
        QTest::newRow("writable") << m_dir.path() << false;
        QTest::newRow("under a regular file") << m_dir.filePath("plain/app") << true;
#ifdef Q_OS_LINUX
        QTest::newRow("existing, not writable") << QStringLiteral("/proc") << true;
#endif
    }
    // The fallback folder is made only when it is chosen; the chosen folder can be written.
    void configFilePath() {
        QFETCH(QString, program);
        QFETCH(bool, fallback);
        const QString user = m_dir.filePath("user/varnex");
        QDir(m_dir.filePath("user")).removeRecursively();
        const QString chosen = ConfigFilePath(program, user);
        QCOMPARE(chosen, (fallback ? user : program) + "/Varnex.cfg");
        QCOMPARE(QFileInfo(user).isDir(), fallback);
        QVERIFY(SaveCfg(chosen, Config()));
    }

    // Each notes file is read, then written back over itself.
    void headerNotes_data() {
        QTest::addColumn<QByteArray>("file");   // null: no file
        QTest::addColumn<QStringList>("notes"); // "lead|label|value"
        QTest::addColumn<QByteArray>("saved");  // null: no file after saving
        const auto row = [](const char* name, const QByteArray& file, const QStringList& notes,
                            const QByteArray& saved) {
            QTest::newRow(name) << file << notes << saved;
        };
        row("no file", {}, {}, {});
        row("only blank lines: file left alone", "\r\n  \r\n\t\r\n", {}, "\r\n  \r\n\t\r\n");
        row("blanks trimmed, blank lines dropped, any line end",
            "\r\n 1 , Site ,  Lab 2 \n\n   \r2,Ort,M\xfcnchen\r\r3,Probe,PX",
            {"1|Site|Lab 2", QString::fromUtf8("2|Ort|München"), "3|Probe|PX"},
            "1,Site,Lab 2\r\n2,Ort,M\xfcnchen\r\n3,Probe,PX\r\n");
        row("empty value, one comma", "1,Operator,\r\n2, Location \r\n",
            {"1|Operator|", "2|Location|"}, "1,Operator,\r\n2,Location,\r\n");
        row("last comma ends the label", "1,Site,Lab 2, room 4\r\n2,Site,Lab 2,\r\n",
            {"1|Site,Lab 2|room 4", "2|Site,Lab 2|"}, "1,Site,Lab 2,room 4\r\n2,Site,Lab 2,\r\n");
        row("no comma: an empty note, the line kept", "1,Site,Lab\r\nOperator\r\n",
            {"1|Site|Lab", "||"}, "1,Site,Lab\r\nOperator\r\n");
        QStringList first25;
        for (int i = 1; i <= 25; ++i)
            first25 << QStringLiteral("%1|Label %1|v").arg(i);
        row("more than 25: 25 notes, every line kept", numberedNotes(30), first25,
            numberedNotes(30));
    }
    void headerNotes() {
        QFETCH(QByteArray, file);
        QFETCH(QByteArray, saved);
        const QString path = m_dir.filePath(HeaderNotes::FileName);
        QVERIFY(writeAll(path, file));
        HeaderNotes h;
        h.LoadNoteQuery(path);
        QStringList read;
        for (int i = 1; i <= h.NoteCount; ++i)
            read << QStringList{h.HeaderNotes[i].lead, h.HeaderNotes[i].label,
                                h.HeaderNotes[i].value}
                        .join(u'|');
        QTEST(read, "notes");
        QVERIFY(h.SaveNoteQuery(path));
        QCOMPARE(QFile::exists(path), !saved.isNull());
        QCOMPARE(readAll(path), saved);
    }

    // An answer entered is written in its own line; a line that is no note stays in place.
    void headerNotesKeepTheOtherLines() {
        const QString path = m_dir.filePath(HeaderNotes::FileName);
        QVERIFY(writeAll(path, "1,Site,Lab\r\nfree text\r\n2,Operator,Ann\r\n"));
        HeaderNotes h;
        h.LoadNoteQuery(path);
        QCOMPARE(h.NoteCount, 3);
        h.HeaderNotes[3].value = "Bo";
        QVERIFY(h.SaveNoteQuery(path));
        QCOMPARE(readAll(path), QByteArray("1,Site,Lab\r\nfree text\r\n2,Operator,Bo\r\n"));
    }

    // Characters beyond Latin-1 become '?' (one for a surrogate pair); a line break in a field
    // would split its note in two.
    void headerNotesWrittenAsSingleByteLines() {
        const QString path = m_dir.filePath(QStringLiteral("entered.txt"));
        HeaderNotes h;
        h.NoteCount = 2;
        h.HeaderNotes[1] = {"1", "Site", QString::fromUtf8("Hall \u20ac5 \U0001F600")};
        h.HeaderNotes[2] = {"2", "Note", "two\r\nlines"};
        QVERIFY(h.SaveNoteQuery(path));
        QCOMPARE(readAll(path), QByteArray("1,Site,Hall ?5 ?\r\n2,Note,two  lines\r\n"));
        QVERIFY(!h.SaveNoteQuery(m_dir.filePath(QStringLiteral("missing/testquery.txt"))));
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
