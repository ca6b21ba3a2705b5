// The graphs as the main window drives them: scales from the vertical-scale texts, the two
// lists under the graph, the live sweep and the bar graph's click.
#include "measure/RecordTable.h"
#include "tests/support/WindowKit.h"
#include "window/BarGraphControl.h"
#include "window/GraphControl.h"

#include <QComboBox>
#include <QTest>

using graph::clsGraph;

namespace {

QStringList Items(const QComboBox* box) {
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
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

} // namespace

class tst_GraphControl : public QObject {
    Q_OBJECT
private Q_SLOTS:
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
        kit::WindowRig rig;
        rig.config.GraphScaleStr = QStringLiteral("0-10");
        app::frmMain& w = rig.start();
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
        QVERIFY(rig.boxes.messages().isEmpty());
    }

    void unknownAndRepeatedScales() {
        kit::WindowRig rig;
        app::frmMain& w = rig.start();
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
        QCOMPARE(rig.boxes.texts(), QStringList{QStringLiteral("Graph scale not found: 0-7")});
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
        kit::WindowRig rig;
        rig.config.GraphScaleStr = stored;
        rig.config.GraphScaleAuto = storedAuto;
        rig.config.SamPerDivSetting = storedPerDiv;
        app::frmMain& w = rig.start();
        const window::MainControls& u = w.ui();
        QCOMPARE(u.graphs.CmbVerticalScale->currentText(), shown);
        QCOMPARE(w.config().GraphScaleAuto, shown == QStringLiteral("Auto") ? 1 : 0);
        if (w.config().GraphScaleAuto == 0) QCOMPARE(w.graphControl().LastScaleStr(), stored);
        QCOMPARE(u.graphs.cmbSamPerDiv->currentText(), QString::number(perDiv));
        QCOMPARE(w.config().SamPerDivSetting, perDiv);
        QCOMPARE(w.graph().SamPerDiv(), float(perDiv));
        QVERIFY(rig.boxes.messages().isEmpty());
    }

    void scaleListFollowsTheProbe() {
        kit::WindowRig rig;
        app::frmMain& w = rig.start();
        window::GraphControl& c = w.graphControl();
        QComboBox* box = w.ui().graphs.CmbVerticalScale;
        const QStringList scales{"0-10", "0-35", "0-100", "0-350"};
        QCOMPARE(Items(box), QStringList{"Auto"} + scales);
        QCOMPARE(box->currentText(), QStringLiteral("Auto"));

        // A Kappa probe offers no automatic scale, and "Auto" is not shown again.
        w.probe().SetTypeZeta(probe::StateKappa);
        c.LimitGraphSetting();
        QCOMPARE(Items(box), scales);
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

    void sweepRestarts() {
        kit::WindowRig rig;
        app::frmMain& w = rig.start();
        window::GraphControl& c = w.graphControl();
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

    // A probe read axis by axis: one point for each completed set, the total and the three axes
    // in one column; a probe read as a whole plots its total alone.
    void axisByAxisReadingsPlotCompleteSets() {
        kit::WindowRig rig;
        app::frmMain& w = rig.start();
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
    }

    void picture3ClicksAndResizes() {
        kit::WindowRig rig;
        app::frmMain& w = rig.start();
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
};

QTEST_MAIN(tst_GraphControl)
#include "tst_graphcontrol.moc"
