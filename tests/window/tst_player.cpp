// Playback of a loaded log on the manual clock: the pace of the sample rate, the end of the
// rows and what comes back after it, readouts, peaks, sweep and bars from the rows, the
// refusals, and the ways the user or a new log stops it.
#include "measure/RecordTable.h"
#include "tests/support/WindowKit.h"
#include "window/BarGraphControl.h"
#include "window/DisplayTimers.h"
#include "window/GraphControl.h"
#include "window/Player.h"

#include <QTest>

using graph::clsGraph;
using measure::AxisValues;
using window::Player;

namespace {

// The store as a load leaves it (time, then total, X, Y, Z from row 1), the graph showing the
// stored view and Play offered; the sample-rate list shows rate.
void Load(app::frmMain& w, const QList<AxisValues>& rows, const QString& rate = "10") {
    clsGraph& g = w.graph();
    g.EraseData();
    for (int r = 1; r <= rows.size(); ++r) {
        g.WriteData(r, clsGraph::TraceTime, float(r) / 86400.0f);
        for (int i = 0; i < 4; ++i)
            g.WriteData(r, clsGraph::TraceTotal + i, rows[r - 1][std::size_t(i)]);
    }
    w.ui().graphs.mnuViewScatterLive->setChecked(false);
    w.graphControl().mnuViewScatterLive_Click();
    w.ui().graphs.mnuProbePlay->setEnabled(true);
    QComboBox* list = w.ui().link.CmbSampleRate;
    list->setEditable(true);
    list->setEditText(rate);
}

QList<AxisValues> Rows(int count) {
    QList<AxisValues> rows;
    for (int r = 1; r <= count; ++r)
        rows.append({float(r), 0.5f * float(r), 0.25f * float(r), 2.0f});
    return rows;
}

// Playing, Play ticked, the play timer, polling, Record offered.
QList<bool> State(app::frmMain& w) {
    return {w.player().Playing(), w.ui().graphs.mnuProbePlay->isChecked(), w.HRTPlay().enabled(),
            w.HRTReadProbe().enabled(), w.ui().record.tbRecord->isEnabled()};
}

} // namespace

class PlayerTest : public QObject {
    Q_OBJECT
    std::unique_ptr<kit::WindowRig> rig; // a new one for each test

private Q_SLOTS:
    void init() { rig = std::make_unique<kit::WindowRig>(); }

    // One row a tick at the list's pace; the last row ends playback and gives back polling,
    // Record and the zoom buttons as they were.
    void playsEveryRowOnceThenStops_data() {
        QTest::addColumn<QString>("rate");
        QTest::addColumn<int>("rowMs");
        QTest::addColumn<bool>("polling"); // before, and after
        QTest::newRow("10 a second") << "10" << 100 << true;
        QTest::newRow("15 a second, whole ms") << "15" << 67 << true;
        QTest::newRow("Max, not polling") << "Max" << 14 << false;
    }
    void playsEveryRowOnceThenStops() {
        QFETCH(QString, rate);
        QFETCH(int, rowMs);
        QFETCH(bool, polling);
        app::frmMain& w = rig->start();
        const window::GraphControls& g = w.ui().graphs;
        Load(w, Rows(6), rate);
        g.tbZoomIn->setEnabled(false);
        g.tbZoomOut->setEnabled(true);
        w.HRTReadProbe().setEnabled(polling);

        g.mnuProbePlay->trigger();
        QCOMPARE(State(w), (QList<bool>{true, true, true, false, false}));
        QCOMPARE(w.ui().record.LabRecord->text(), "Play");
        QCOMPARE(w.HRTPlay().interval(), double(rowMs));
        QVERIFY(!g.tbZoomIn->isEnabled() && !g.tbZoomOut->isEnabled());

        rig->run(5 * rowMs);
        QCOMPARE(w.player().PlayIndex(), 5);
        QVERIFY(w.player().Playing());
        rig->run(rowMs);
        QCOMPARE(w.player().PlayIndex(), 6);
        QCOMPARE(State(w), (QList<bool>{false, false, false, polling, true}));
        QCOMPARE(w.ui().record.LabRecord->text(), "Log");
        QCOMPARE(w.ui().record.ShapeRecordInd->fillColor(), platform::Colour(0x808080));
        QVERIFY(!g.tbZoomIn->isEnabled() && g.tbZoomOut->isEnabled());
    }

    // The readouts show the row of a tick that finds them due; the peaks take every row, and
    // go with the other peak holds.
    void readoutsAndPeaksFollowTheRows() {
        app::frmMain& w = rig->start();
        const window::ReadoutControls& ui = w.ui().readouts;
        Load(w, {{2, 1, 1, 1}, {20.5f, 12.25f, 3, 150}, {3.5f, 2, 1.25f, 1000.4f}});
        w.HRTUpDateText().setEnabled(false);
        rig->run(200); // a mark that was due is taken
        w.displayTimers().ConsumeTextUpdateDue();
        const QList<QLabel*> labels{ui.LabXYZField, ui.LabXField, ui.LabYField, ui.LabZField,
                                    ui.LabMaxXYZ,   ui.LabMaxX,   ui.LabMaxY,   ui.LabMaxZ};
        for (QLabel* label : labels)
            label->setText("-");

        w.ui().graphs.mnuProbePlay->trigger();
        rig->run(200);
        for (QLabel* label : labels)
            QCOMPARE(label->text(), "-");
        w.displayTimers().HRTUpDateText_Timer();
        rig->run(100);
        QStringList shown;
        for (QLabel* label : labels)
            shown << label->text();
        QCOMPARE(shown, QStringList({"3.500", "2.000", "1.250", "1000", "20.50", "12.25", "3.000",
                                     "1000"}));
        QCOMPARE(w.player().PlayPeakHold(), AxisValues({20.5f, 12.25f, 3, 1000.4f}));

        w.barControl().Picture3_Click();
        QCOMPARE(w.player().PlayPeakHold(), AxisValues{});
    }

    // The rows sweep across the live frame, the total only while composite plotting is on;
    // the bars show every row's four values, and nothing from before the playback.
    void sweepAndBarsShowTheRows_data() {
        QTest::addColumn<int>("composite");
        QTest::newRow("composite plotted") << 1;
        QTest::newRow("composite left out") << 0;
    }
    void sweepAndBarsShowTheRows() {
        QFETCH(int, composite);
        app::frmMain& w = rig->start();
        w.graphControl().SetPlotComp(composite);
        const QList<AxisValues> rows{{9, 5, 6, 7}, {4, 1, 2, 3}};
        Load(w, rows);
        w.graph().SetSamPerDiv(1000); // as a stored view may have left it
        w.barGraph().DrawBarXYZ(30);  // a live sample's bars

        w.ui().graphs.mnuProbePlay->trigger();
        rig->run(200);
        QVERIFY(!w.player().Playing());
        const clsGraph& g = w.graph();
        QCOMPARE(g.SamPerDiv(), float(w.config().SamPerDivSetting));
        for (int trace : {clsGraph::TraceX, clsGraph::TraceY, clsGraph::TraceZ})
            QVERIFY(g.LastX(trace) > g.PlotLeft());
        QCOMPARE(g.LastX(clsGraph::TraceTotal) != 0, composite == 1);
        for (int bar = 0; bar < graph::ClsBarGraph::BarCount; ++bar) {
            QCOMPARE(w.barGraph().BarLast(bar), rows[1][std::size_t(bar)]);
            QCOMPARE(w.barGraph().BarPeak(bar), rows[0][std::size_t(bar)]);
        }
    }

    // A refused playback says why and changes nothing: polling runs on.
    void refusedWithAReason_data() {
        QTest::addColumn<bool>("probeOn");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("values"); // value columns beside the time
        QTest::addColumn<QString>("message");
        const std::tuple<const char*, bool, const char*, int, bool, QString> rows[] = {
            {"probe answering", true, "10", 5, true, Player::ProbeAnsweringText},
            {"no sample rate", false, "", 5, true, Player::NoSampleRateText},
            {"rate not a number", false, "fast", 5, true, Player::NoSampleRateText},
            {"no rows", false, "10", 0, true, Player::NothingToPlayText},
            {"time column only", false, "Max", 5, false, Player::NothingToPlayText}};
        for (const auto& [name, probeOn, rate, count, values, message] : rows)
            QTest::newRow(name) << probeOn << QString(rate) << count << values << message;
    }
    void refusedWithAReason() {
        QFETCH(bool, probeOn);
        QFETCH(int, rows);
        QFETCH(bool, values);
        app::frmMain& w = probeOn ? rig->startOn("PX-5100") : rig->start();
        QFETCH(QString, rate);
        Load(w, Rows(rows), rate);
        if (!values) { // a log whose heading names no value column
            w.graph().EraseData();
            for (int r = 1; r <= rows; ++r)
                w.graph().WriteData(r, clsGraph::TraceTime, 0.5f);
        }
        const QString indicator = w.ui().record.LabRecord->text();

        w.ui().graphs.mnuProbePlay->trigger();
        QFETCH(QString, message);
        QCOMPARE(rig->boxes.texts(), QStringList{message});
        QCOMPARE(State(w), (QList<bool>{false, false, false, true, true}));
        QCOMPARE(w.ui().record.LabRecord->text(), indicator);
        rig->run(500);
        QCOMPARE(w.probe().LostComm(), probeOn ? 0 : 1);
    }

    // P&lay again, a log started, or the graph going live ends playback at the row it reached;
    // Play afterwards starts at the first row while the log is still there to play.
    void stoppedBeforeTheEnd_data() {
        QTest::addColumn<int>("way");
        QTest::addColumn<bool>("playsAgain");
        QTest::newRow("Play chosen again") << 0 << true;
        QTest::newRow("a log started") << 1 << false;
        QTest::newRow("the graph goes live") << 2 << false;
    }
    void stoppedBeforeTheEnd() {
        QFETCH(int, way);
        QFETCH(bool, playsAgain);
        app::frmMain& w = rig->start();
        const window::GraphControls& g = w.ui().graphs;
        Load(w, Rows(20));
        g.mnuProbePlay->trigger();
        rig->run(300);
        QCOMPARE(w.player().PlayIndex(), 3);

        QAction* const ways[] = {g.mnuProbePlay, w.ui().record.mnuProbeRecord,
                                 g.mnuViewScatterLive};
        ways[way]->trigger();
        QCOMPARE(State(w), (QList<bool>{false, false, false, true, true}));
        QCOMPARE(w.records().Recording() == measure::RecordTable::Logging, way == 1);
        rig->run(500);
        QCOMPARE(w.player().PlayIndex(), 3);

        rig->boxes.clear();
        g.mnuProbePlay->trigger();
        QCOMPARE(w.player().Playing(), playsAgain);
        rig->run(100);
        QCOMPARE(w.player().PlayIndex(), playsAgain ? 1 : 3);
    }
};

QTEST_MAIN(PlayerTest)
#include "tst_player.moc"
