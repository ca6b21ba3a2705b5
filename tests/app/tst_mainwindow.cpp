// The program's windows on the test doubles: the main window's start-up, shutdown, layout,
// line panel, graph scales, sweep and bar graph; the splash, the about box, the port dialog.
#include "app/frmAbout.h"
#include "app/frmSplash.h"
#include "files/ConfigFile.h"
#include "measure/RecordTable.h"
#include "platform/fake/MemorySettingsStore.h"
#include "tests/support/WindowKit.h"
#include "window/BarGraphControl.h"
#include "window/GraphControl.h"
#include "window/LimitMonitor.h"
#include "window/LinkControl.h"
#include "window/MainLayout.h"
#include "window/frmPort.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>

using namespace app;
using graph::clsGraph;
using platform::PortTable;
using window::frmPort;

namespace {

const QString App = app::frmMain::AppTitle;
const QString Section = QStringLiteral("Settings");

// The user picks a text of the list.
void Choose(QComboBox* box, const QString& text) {
    const int index = box->findText(text);
    QVERIFY2(index >= 0, qPrintable(text));
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
}

// n points of the live sweep.
// n readings of the three axes; with `wave`, values that change from one to the next.
void Plot(window::GraphControl& c, int n, bool wave = false) {
    measure::Reading r;
    r.family = measure::Family::Zeta;
    for (int i = 0; i < n; ++i) {
        const float f = wave ? float(i % 7) : 0.0f;
        r.value = {1 + f, 2 + f, 3 + 2 * f, 4 + 3 * f};
        c.TakeReading(r);
    }
}

} // namespace

class tst_MainWindow : public QObject {
    Q_OBJECT
    std::unique_ptr<kit::WindowRig> rig; // a new one for each test
    static QLabel* label(const QWidget& window, const QString& name) {
        return window.findChild<QLabel*>(name);
    }

private Q_SLOTS:
    void init() { rig = std::make_unique<kit::WindowRig>(); }

    void firstRunAsksForThePortAndOpensAtTheDefaultPlace() {
        rig->writeConfig = false;
        rig->modal.queue([](QDialog& dialog) {
            auto& ports = static_cast<window::frmPort&>(dialog);
            ports.option(3)->click();
            ports.continueButton()->click();
        });
        app::frmMain& w = rig->start();
        QCOMPARE(rig->modal.shown, QStringList{QStringLiteral("frmPort")});
        QCOMPARE(rig->port.openHistory().last(), 3);
        QVERIFY(w.HRTReadProbe().enabled());
        QCOMPARE(w.windowState(), Qt::WindowNoState);
        QCOMPARE(w.size(), QSize(platform::ToPixels(&w, 11535), platform::ToPixels(&w, 7590)));
        QCOMPARE(kit::Texts({w.ui().readouts.LabXYZField, w.ui().readouts.LabMaxXYZ}),
                 (QStringList{"No Probe", "0.0"}));

        rig->close(); // the port chosen survives the first run
        files::Config again;
        QVERIFY(files::LoadCfg(rig->dir.filePath(QStringLiteral("Varnex.cfg")), again).complete);
        QCOMPARE(again.CommPortNo, 3);
    }

    // The state and, for a normal window, the placement in twips are stored at the close.
    void placementIsKeptByWindowState_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("stored"); // state, left, top, width, height
        QTest::newRow("normal") << 0 << "0 4500 3000 13500 9600";
        QTest::newRow("maximised") << 2 << "2 - - - -";
        QTest::newRow("minimised") << 1 << "- - - - -";
    }
    void placementIsKeptByWindowState() {
        QFETCH(int, state);
        app::frmMain& w = rig->start();
        w.move(300, 200);
        w.resize(900, 640);
        if (state == 2) w.setWindowState(Qt::WindowMaximized);
        if (state == 1) w.setWindowState(Qt::WindowMinimized);
        rig->close();
        QStringList stored;
        for (const char* key : {"WindowState", "MainLeft", "MainTop", "MainWidth", "MainHeight"})
            stored << rig->settings.GetSetting(App, Section, key, "-");
        QTEST(stored.join(' '), "stored");

        // The next start comes back as it was left.
        rig->settings.SaveSetting(App, Section, "MainWidth", "12000");
        app::frmMain& next = rig->start();
        QCOMPARE(next.isMaximized(), state == 2);
        if (state != 2) QCOMPARE(next.width(), 800);
    }

    // A port that will not open is told and polling stops (tst_polling); another port from the
    // menu starts it again.
    void aPortThatWillNotOpenLeavesPollingStopped() {
        rig->port.setFailingPorts({2});
        app::frmMain& w = rig->start();
        QCOMPARE(rig->boxes.count(probe::PollingCycle::OpenFailedText), 1);
        rig->run(2000);
        QVERIFY(rig->port.written().isEmpty());
        w.ui().link.mnucommcomm[1]->trigger();
        QVERIFY(w.HRTReadProbe().enabled() && w.ui().link.mnucommcomm[1]->isChecked());
    }

    // The total box's texts stand apart and whole: the range flags beside the temperature's
    // caption, and "No Probe".
    void theTotalBoxTextsFit() {
        app::frmMain& w = rig->start();
        const window::ReadoutControls& r = w.ui().readouts;
        for (QLabel* flag : {r.LabOverRange, r.LabUnderRange}) {
            QVERIFY(!flag->geometry().intersects(w.ui().battery.LabTempLab->geometry()));
            QVERIFY(QFontMetrics(flag->font()).horizontalAdvance("UNDER RANGE") <= flag->width());
        }
        QVERIFY(QFontMetrics(r.LabXYZField->font()).horizontalAdvance("No Probe") <=
                r.LabXYZField->width());
        // Made as small as it goes, the window keeps the peaks, the record count and the graph.
        w.resize(416, 300);
        QCoreApplication::processEvents();
        const QRect form = w.centralWidget()->rect();
        QVERIFY(form.contains(w.ui().frame.ShaPeak->geometry()));
        QVERIFY(form.contains(w.ui().record.LabRecordCnt->geometry()));
        QVERIFY(w.ui().graphs.Picture1->isVisible());
    }

    // The exposure panel pushes the peaks and the bar graph right, and so does the limit panel
    // the bar graph; without the status bar the
    // graph takes its room; too little height below the graph's top hides it and a bar-graph
    // area narrower than 1200 twips is hidden. A new text colour leaves the grey of switched-off
    // axes.
    void layoutGivesWay() {
        rig->config.ExposureFrame = true;
        app::frmMain& w = rig->start();
        window::MainControls& u = w.ui();
        QCOMPARE(u.exposure.LabMinAver->text(), QStringLiteral("6 Minute"));
        const auto at = [&](double peaks, double bars) {
            const double twips = platform::TwipsPerPixel(&w);
            return qAbs(platform::TwipsGeometry(u.readouts.LabMaxXYZ).left() - peaks) <= twips &&
                   qAbs(platform::TwipsGeometry(u.graphs.Picture3).left() - bars) <= twips;
        };
        // A first run watches a limit: its panel stands before the bars.
        QVERIFY(u.exposure.ShaExposure->isVisible() && at(6480, 8040 + 1700));
        files::LimitSettings none;
        none.on = false;
        w.limit().SetSettings(none);
        QVERIFY(!u.limit.ShaLimit->isVisible() && at(6480, 8040));
        u.exposure.mnuViewExposure->trigger();
        QVERIFY(!u.exposure.ShaExposure->isVisible() && at(4800, 6360));

        const auto resize = [&](int width, int height) {
            w.resize(width, height);
            QCoreApplication::processEvents();
        };
        // The layout below the window's own minimum, as a smaller screen would leave it.
        w.setMinimumSize(0, 0);
        resize(900, 700);
        QVERIFY(u.graphs.Picture1->isVisible() && u.graphs.Picture3->isVisible());
        const int tall = u.graphs.Picture1->height();
        u.frame.mnuViewStatusBar->trigger();
        QCoreApplication::processEvents();
        QVERIFY(!u.frame.sbStatusBar->isVisible() && u.graphs.Picture1->height() > tall);
        resize(900, 220);
        QVERIFY(!u.graphs.Picture1->isVisible());
        resize(900, 700);
        QVERIFY(u.graphs.Picture1->isVisible());
        QCOMPARE(w.graph().Width(), int(platform::TwipsGeometry(u.graphs.Picture1).width()) - 100);
        resize(platform::ToPixels(&w, 6360 + 120 + 1000), 700);
        QVERIFY(!u.graphs.Picture3->isVisible());

        platform::SetForeColor(u.readouts.LabXAxis, platform::PaletteColour(7));
        platform::SetForeColor(u.readouts.LabYAxis, 0x00FF00);
        w.layout().ChangeTextColor(0x0000FF);
        QCOMPARE((QList<platform::Colour>{platform::ForeColor(u.readouts.LabXAxis),
                                          platform::ForeColor(u.readouts.LabYAxis),
                                          platform::ForeColor(u.readouts.LabXYZField)}),
                 (QList<platform::Colour>{platform::PaletteColour(7), 0x0000FF, 0x0000FF}));
    }

    // The line panel while a probe is identified; nothing to tell hides it.
    void theLinePanelTellsTheIdentification() {
        using Stage = probe::LineHealth::Stage;
        app::frmMain& w = rig->build();
        const QLabel* line = w.ui().link.sbLineHealth;
        QStringList shown;
        for (const auto& [stage, steps, noisy] :
             {std::tuple{Stage::Identifying, 0, false}, std::tuple{Stage::Identifying, 0, true},
              std::tuple{Stage::Identifying, 24, false}, std::tuple{Stage::Searching, 24, false}}) {
            w.link().ShowLineHealth(
                {.stage = stage, .step = 12, .steps = steps, .attempt = 2, .tooNoisy = noisy});
            shown << (line->isHidden() ? QStringLiteral("(hidden)") : line->text());
        }
        const QString identifying = QString::fromUtf8("Identifying probe\u2026");
        QCOMPARE(shown,
                 (QStringList{identifying, "Line too noisy to identify the probe, still trying",
                              identifying + " step 12 of 24, try 2", "(hidden)"}));
    }

    // The scale list follows the probe; a scale chosen again changes nothing, an unknown one is
    // told.
    void scaleList() {
        app::frmMain& w = rig->start();
        window::GraphControl& c = w.graphControl();
        QComboBox* box = w.ui().graphs.CmbVerticalScale;
        const auto probeIs = [&](int state) {
            w.probe().SetTypeZeta(state);
            c.LimitGraphSetting();
            return kit::Items(box).join(' ') + " : " + box->currentText();
        };
        // A Kappa probe offers no automatic scale, and "Auto" is not shown again; back to a
        // probe with the automatic scale, the preference comes back.
        QCOMPARE(kit::Items(box).join(' ') + " : " + box->currentText(),
                 "Auto 0-10 0-35 0-100 0-350 : Auto");
        QCOMPARE(probeIs(probe::StateKappa), "0-10 0-35 0-100 0-350 : ");
        QCOMPARE(probeIs(probe::StateSigma), "Auto 0-10 0-35 0-100 0-350 : Auto");
        // A chosen scale survives a list that lacks it, shown again when offered again.
        Choose(box, QStringLiteral("0-35"));
        QCOMPARE(probeIs(probe::StateKappa), "0-10 0-35 0-100 0-350 : 0-35");
        probeIs(probe::StateSigma);
        Choose(box, QStringLiteral("0-350"));
        QCOMPARE(w.graph().NoVerDiv(), 7);

        // The same choice again changes nothing: the sweep goes on.
        Plot(c, 12);
        Choose(box, QStringLiteral("0-350"));
        QCOMPARE(c.SweepIndex(), 12);
        QCOMPARE(c.SetUpGraphScale(), 0);

        // A text of neither table: told once; a new scale starts the sweep again, the divisions
        // reset and the rest stays.
        box->setCurrentIndex(-1);
        w.config().GraphScaleStr = QStringLiteral("0-7");
        QCOMPARE((QList<float>{float(c.SetUpGraphScale()), float(c.SweepIndex()),
                               float(c.SetUpGraphScale()), float(w.graph().NoVerDiv()),
                               w.graph().VerUnitsPerDiv()}),
                 (QList<float>{1, 0, 0, 10, 50}));
        QCOMPARE(rig->boxes.texts(), QStringList{QStringLiteral("Graph scale not found: 0-7")});
        // The bar graph keeps the scale it had.
        w.barControl().SetUpBarGraph();
        QCOMPARE(w.barGraph().NoOfDiv(), 7);
    }

    // The scales at start-up: the stored one where the list offers it, the automatic scale
    // (of the scale in force while no probe gives one), "Auto" for a text of neither table, and
    // a scale of a probe not yet identified in force with the list blank. Both graphs take the
    // scale in force: divisions and units per division, or decades down from the top.
    void startUpScales_data() {
        QTest::addColumn<QString>("stored"); // scale, automatic, samples a division
        QTest::addColumn<QString>("seen");   // list, samples a division, scale in force, divisions
        QTest::addColumn<double>("step");    // units per division, or the top of a log scale
        QTest::addColumn<double>("level"); // the centre of a linear scale, the bottom of a log one
        const auto row = [](const char* name, const char* stored, const char* seen, double step,
                            double level) {
            QTest::newRow(name) << QString(stored) << QString(seen) << step << level;
        };
        row("listed scale", "0-350|0|200", "0-350|200|0-350|7", 50, 175);
        row("automatic", "0-100|1|1000", "Auto|1000|0-100|10", 10, 50);
        row("unknown text", "0-7|0|60", "Auto|50|Auto|10", 1, 5);
        row("other probe's scale", "0-0.001|0|20", "|20|0-0.001|10", 0.0001, 0.0005);
        row("other probe's log scale", "Log 0.01m-1000|0|20", "|20|Log 0.01m-1000|8", 1000, 1e-5);
        row("log scale of decades", "Log 1-100k|0|20", "|20|Log 1-100k|5", 100000, 1);
    }
    void startUpScales() {
        QFETCH(double, step);
        QFETCH(double, level);
        QFETCH(QString, stored);
        const QStringList in = stored.split('|');
        rig->config.GraphScaleStr = in[0];
        rig->config.GraphScaleAuto = in[1].toInt();
        rig->config.SamPerDivSetting = in[2].toInt();
        app::frmMain& w = rig->start();
        const window::GraphControls& u = w.ui().graphs;
        const clsGraph& g = w.graph();
        const QString inForce = w.graphControl().LastScaleStr();
        QTEST(QStringList({u.CmbVerticalScale->currentText(), u.cmbSamPerDiv->currentText(),
                           inForce, QString::number(g.NoVerDiv())})
                  .join('|'),
              "seen");
        QCOMPARE(w.config().GraphScaleAuto, u.CmbVerticalScale->currentText() == "Auto" ? 1 : 0);
        QCOMPARE(w.config().SamPerDivSetting, u.cmbSamPerDiv->currentText().toInt());
        QCOMPARE(g.SamPerDiv(), float(w.config().SamPerDivSetting));
        QVERIFY(rig->boxes.messages().isEmpty());

        const bool linear = !inForce.startsWith("Log");
        QCOMPARE(g.GraphType(), linear ? clsGraph::Linear : clsGraph::Logarithmic);
        const QList<float> scale = linear ? QList<float>{g.VerUnitsPerDiv(), g.VerUnitsOffset()}
                                          : QList<float>{g.YAxisLogMax(), g.BottomValue()};
        QCOMPARE(scale, (QList<float>{float(step), float(level)}));
        const graph::ClsBarGraph& bars = w.barGraph();
        QCOMPARE(w.barControl().BarScaleStr(), inForce);
        QCOMPARE((QList<float>{float(bars.GraphType()), float(bars.NoOfDiv()), bars.BottomOfScale(),
                               bars.UnitsPerDiv()}),
                 (QList<float>{linear ? 0.0f : 1.0f, float(g.NoVerDiv()),
                               linear ? 0.0f : float(level), linear ? float(step) : 1.0f}));
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
        QCOMPARE((QList<float>{w.graph().SamPerDiv(), float(w.config().SamPerDivSetting),
                               float(c.SweepLength()), float(c.SweepIndex())}),
                 (QList<float>{100, 100, 10 * 100, 0}));
        Plot(c, c.SweepLength());
        QCOMPARE(c.SweepIndex(), c.SweepLength());
        Plot(c, 1); // the sweep wraps at its length
        QCOMPARE(c.SweepIndex(), 1);

        // A new frame (a new size, colours, an alarm level) draws the sweep again as it was, the
        // previous pass and the present one, and the sweep goes on from where it was.
        Choose(w.ui().graphs.cmbSamPerDiv, QStringLiteral("20"));
        Plot(c, 250, true);
        const QImage drawn = w.ui().graphs.Picture1->image();
        c.RedrawFrame();
        QCOMPARE(c.SweepIndex(), 50);
        // A fresh frame leaves out only what the sweep had not yet erased of its previous pass,
        // far less than the traces a bare frame loses.
        const auto differ = [&drawn](const QImage& image) {
            int n = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    n += image.pixel(x, y) != drawn.pixel(x, y);
            return n;
        };
        const int redrawn = differ(w.ui().graphs.Picture1->image());
        c.DrawGraph(); // a change of what is measured: a bare frame
        const int bare = differ(w.ui().graphs.Picture1->image());
        QVERIFY2(redrawn * 10 < bare, qPrintable(QStringLiteral("%1, %2").arg(redrawn).arg(bare)));
    }

    // A click on the bar graph clears its peaks, but not while a log runs; a new size gives a
    // new scale.
    void picture3ClicksAndResizes() {
        app::frmMain& w = rig->start();
        graph::ClsBarGraph& bars = w.barGraph();
        platform::SurfaceWidget* picture = w.ui().graphs.Picture3;
        const auto clickWhile = [&](measure::RecordTable::State state) {
            w.records().SetRecording(state);
            QTest::mouseClick(picture, Qt::LeftButton);
            return bars.BarExtent(graph::ClsBarGraph::BarAxisX);
        };
        bars.DrawBarX(4.0f);
        const int extent = bars.BarExtent(graph::ClsBarGraph::BarAxisX);
        QVERIFY(extent > graph::ClsBarGraph::BarStart);
        QCOMPARE((QList<int>{clickWhile(measure::RecordTable::Logging),
                             clickWhile(measure::RecordTable::Idle)}),
                 (QList<int>{extent, graph::ClsBarGraph::BarStart}));
        picture->resize(picture->width() + 40, picture->height());
        QCOMPARE(bars.ScaleRight(), int(picture->ScaleWidth()) - 300);
    }

    void splashIsCentred() {
        QCOMPARE(frmSplash::VersionLine(), QStringLiteral("Rev " VARNEX_VERSION)); // x.y.z build
        frmSplash splash;
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

    // The port dialog chooses at once and Continue closes it. A changed name is stored behind
    // its number; a name given for this run only is shown but cannot be changed here.
    void portDialog() {
        platform::MemorySettingsStore store;
        PortTable ports(store);
        ports.setRunOverride(3, QStringLiteral("/tmp/probe-line"));
        QList<int> chosen;
        frmPort d(ports, 2, [&](int n) { chosen << n; });
        const QStringList available = PortTable::availablePorts();
        for (int n = 1; n <= 5; ++n) {
            QCOMPARE(d.option(n)->isChecked(), n == 2);
            QCOMPARE(d.portNameBox(n)->currentText(), ports.portName(n));
            QCOMPARE(d.portNameBox(n)->isEnabled(), n != 3);
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

        d.portNameBox(1)->setEditText(QStringLiteral(" /dev/ttyUSB7 "));
        QCOMPARE(ports.portName(1), QStringLiteral("/dev/ttyUSB7"));
        // Clearing the box keeps the last name: a number never stands for no port.
        d.portNameBox(1)->setEditText(QString());
        QCOMPARE(ports.portName(1), QStringLiteral("/dev/ttyUSB7"));
        QCOMPARE(store.values().keys(), QStringList{"Varnex/Ports/Comm1"});
        frmPort(ports, 1, {}).option(3)->click(); // nobody to tell: nothing happens
    }
};

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
