// Playback of a loaded log on the manual clock: its pace, its end, what it shows, the refusals
// and the ways it is stopped.
#include "measure/RecordTable.h"
#include "tests/support/WindowKit.h"
#include "window/BarGraphControl.h"
#include "window/DisplayTimers.h"
#include "window/GraphControl.h"
#include "window/Player.h"
#include "window/Recorder.h"

#include <QTest>

using graph::clsGraph;
using measure::AxisValues;
using window::Player;

namespace {

// The table as a load leaves it (time, then total, X, Y, Z from row 1), the graph showing the
// stored view and Play offered; the sample-rate list shows rate.
void Load(app::frmMain& w, const QList<AxisValues>& rows, const QString& rate = "10",
          const QString& probe = "PX-9100") {
    std::vector<std::array<float, 5>> table;
    for (int r = 1; r <= rows.size(); ++r) {
        const AxisValues& v = rows[r - 1];
        table.push_back({float(r) / 86400.0f, v[0], v[1], v[2], v[3]});
    }
    w.records().LoadLog(measure::RecordTable::Layout::Axes, "V/m", probe, {}, table);
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
            w.HRTReadProbe().enabled() && !w.engine().PollingPaused(),
            w.ui().record.tbRecord->isEnabled()};
}

} // namespace

class PlayerTest : public QObject {
    Q_OBJECT
    std::unique_ptr<kit::WindowRig> rig; // a new one for each test

private Q_SLOTS:
    void init() { rig = std::make_unique<kit::WindowRig>(); }

    // One row a tick at the list's pace; the last row ends playback and gives back polling,
    // Record and the zoom buttons as they were. P&lay again, a log started, or the graph going
    // live ends it at the row it reached; Play afterwards starts at the first row while the log
    // is still there to play.
    void playsEveryRowOnceUntilStopped_data() {
        QTest::addColumn<QString>("rate");
        QTest::addColumn<int>("rowMs");
        QTest::addColumn<bool>("polling"); // before, and after
        QTest::addColumn<int>("way");      // how it is stopped (-1: it plays to the end)
        QTest::newRow("10 a second") << "10" << 100 << true << -1;
        QTest::newRow("15 a second, whole ms") << "15" << 67 << true << -1;
        QTest::newRow("Max, not polling") << "Max" << 14 << false << -1;
        QTest::newRow("Play chosen again") << "10" << 100 << true << 0;
        QTest::newRow("a log started") << "10" << 100 << true << 1;
        QTest::newRow("the graph goes live") << "10" << 100 << true << 2;
    }
    void playsEveryRowOnceUntilStopped() {
        QFETCH(QString, rate);
        QFETCH(int, rowMs);
        QFETCH(bool, polling);
        QFETCH(int, way);
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
        rig->run(3 * rowMs);
        QVERIFY(w.player().Playing() && w.player().PlayIndex() == 3);
        QAction* const ways[] = {g.mnuProbePlay, w.ui().record.mnuProbeRecord,
                                 g.mnuViewScatterLive};
        if (way >= 0) ways[way]->trigger();
        rig->run(3 * rowMs);
        QCOMPARE(w.player().PlayIndex(), way < 0 ? 6 : 3);
        QCOMPARE(State(w), (QList<bool>{false, false, false, polling, true}));
        QCOMPARE(w.records().Recording() == measure::RecordTable::Logging, way == 1);
        if (way < 0) {
            QCOMPARE(w.ui().record.LabRecord->text(), "Log");
            QCOMPARE(w.ui().record.ShapeRecordInd->fillColor(), platform::Colour(0x808080));
            QVERIFY(!g.tbZoomIn->isEnabled() && g.tbZoomOut->isEnabled());
            return;
        }
        rig->boxes.clear();
        g.mnuProbePlay->trigger();
        QCOMPARE(w.player().Playing(), way == 0);
        rig->run(rowMs);
        QCOMPARE(w.player().PlayIndex(), way == 0 ? 1 : 3);
    }

    // The readouts show the row of a tick that finds them due; the rows sweep across the live
    // frame, the total only while composite plotting is on; the bars show every row's four
    // values, and nothing from before the playback; the peaks take every row, and go with the
    // other peak holds.
    // The units label and the peaks read as the log's probe shows them live, the units label
    // as it was after the playback; the bars take the scale the rows are drawn on.
    void theRowsAreShown_data() {
        QTest::addColumn<int>("composite");
        QTest::addColumn<QString>("probe");
        QTest::addColumn<QString>("peakTexts");
        QTest::newRow("composite plotted, Zeta") << 1 << "PX-9100"
                                                 << "20.50 12.25 3.000 1000";
        QTest::newRow("composite left out, Sigma") << 0 << "PX-5100"
                                                   << "20.5 12.25 3 1000";
    }
    void theRowsAreShown() {
        QFETCH(int, composite);
        QFETCH(QString, probe);
        app::frmMain& w = rig->start();
        w.graphControl().SetPlotComp(composite);
        Load(w, {{2, 1, 1, 1}, {20.5f, 12.25f, 3, 150}, {3.5f, 2, 1.25f, 1000.4f}}, "10", probe);
        w.graphControl().ShowStoredScale("0-1000");
        const QString unitsBefore = w.ui().probe.LabUnits->text();
        w.graph().SetSamPerDiv(1000); // as a stored view may have left it
        w.barGraph().DrawBarXYZ(30);  // a live sample's bars
        w.HRTUpDateText().setEnabled(false);
        rig->run(200); // a mark that was due is taken
        w.displayTimers().ConsumeTextUpdateDue();
        const window::ReadoutControls& ui = w.ui().readouts;
        const QList<const QLabel*> labels{ui.LabXYZField, ui.LabXField, ui.LabYField, ui.LabZField,
                                          ui.LabMaxXYZ,   ui.LabMaxX,   ui.LabMaxY,   ui.LabMaxZ};
        const QStringList before = kit::Texts(labels);

        w.ui().graphs.mnuProbePlay->trigger();
        QCOMPARE(w.ui().probe.LabUnits->text(), QString("V/m"));
        rig->run(200);
        QCOMPARE(kit::Texts(labels), before);
        w.displayTimers().HRTUpDateText_Timer();
        rig->run(100);
        // The bars are on the graph's scale; a logged row tells no share of the range.
        QCOMPARE(w.barGraph().TopOfScale(), 1000.0f);
        QVERIFY(!w.ui().readouts.LabPercentOfRange->isVisibleTo(&w));
        QFETCH(QString, peakTexts);
        QCOMPARE(kit::Texts(labels),
                 QStringList({"3.500", "2.000", "1.250", "1000"}) + peakTexts.split(' '));
        QVERIFY(!w.player().Playing());
        QCOMPARE(w.ui().probe.LabUnits->text(), unitsBefore);
        const clsGraph& g = w.graph();
        QCOMPARE(g.SamPerDiv(), float(w.config().SamPerDivSetting));
        for (int trace : {clsGraph::TraceX, clsGraph::TraceY, clsGraph::TraceZ})
            QVERIFY(g.LastX(trace) > g.PlotLeft());
        QCOMPARE(g.LastX(clsGraph::TraceTotal) != 0, composite == 1);
        const AxisValues lastRow{3.5f, 2, 1.25f, 1000.4f}, peaks{20.5f, 12.25f, 3, 1000.4f};
        QCOMPARE(w.player().PlayPeakHold(), peaks);
        for (std::size_t bar = 0; bar < peaks.size(); ++bar)
            QCOMPARE((QList<float>{w.barGraph().BarLast(int(bar)), w.barGraph().BarPeak(int(bar))}),
                     (QList<float>{lastRow[bar], peaks[bar]}));
        w.barControl().Picture3_Click();
        QCOMPARE(w.player().PlayPeakHold(), AxisValues{});
    }

    // A probe that answers is left unread while the log plays, when the user agrees: nothing is
    // asked of it, and after the last row it is read again, never taken for lost.
    void aProbeAnsweringWaitsForThePlayback() {
        app::frmMain& w = rig->startOn("PX-5100");
        Load(w, Rows(6), "10");
        rig->boxes.queueAnswer(true);
        w.ui().graphs.mnuProbePlay->trigger();
        QCOMPARE(State(w), (QList<bool>{true, true, true, false, false}));
        const qsizetype asked = rig->port.written().size();
        rig->run(550);
        QCOMPARE(rig->port.written().size(), asked);
        QCOMPARE(w.player().PlayIndex(), 5);
        rig->run(1500);
        QCOMPARE(State(w), (QList<bool>{false, false, false, true, true}));
        QVERIFY(rig->port.written().size() > asked + 3);
        QCOMPARE(w.probe().LostComm(), 0);
        QCOMPARE(w.engine().polling().MissCount(), 0);
    }

    // A refused playback says why and changes nothing: polling runs on.
    void refusedWithAReason_data() {
        QTest::addColumn<bool>("probeOn");
        QTest::addColumn<QString>("rate");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("message");
        const std::tuple<const char*, bool, const char*, int, QString> rows[] = {
            {"probe answering, kept by the user", true, "10", 5, Player::PauseProbeText},
            {"a log running", false, "10", 5, Player::LogRunningText},
            {"no sample rate", false, "", 5, Player::NoSampleRateText},
            {"rate not a number", false, "fast", 5, Player::NoSampleRateText},
            {"no rows", false, "10", 0, Player::NothingToPlayText}};
        for (const auto& [name, probeOn, rate, count, message] : rows)
            QTest::newRow(name) << probeOn << QString(rate) << count << message;
    }
    void refusedWithAReason() {
        QFETCH(bool, probeOn);
        QFETCH(int, rows);
        app::frmMain& w = probeOn ? rig->startOn("PX-5100") : rig->start();
        QFETCH(QString, rate);
        Load(w, Rows(rows), rate);
        const bool logging = QTest::currentDataTag() == QLatin1String("a log running");
        if (logging) w.recorder().ToggleRecordOn();
        const QString indicator = w.ui().record.LabRecord->text();

        w.ui().graphs.mnuProbePlay->trigger();
        QFETCH(QString, message);
        QCOMPARE(rig->boxes.texts(), QStringList{message});
        QCOMPARE(State(w), (QList<bool>{false, false, false, true, true}));
        QCOMPARE(w.ui().record.LabRecord->text(), indicator);
        rig->run(500);
        QCOMPARE(w.probe().LostComm(), probeOn ? 0 : 1);
    }
};

QTEST_MAIN(PlayerTest)
#include "tst_player.moc"
