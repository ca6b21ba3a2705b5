// The main window's readouts on the test doubles (a virtual probe reads 5, 8 and 11 V/m, 14.49
// in total): replies, display pacing, battery, a lost probe, the log's states, the requests.
#include "measure/ClsZeta.h"
#include "measure/RecordTable.h"
#include "platform/Controls.h"
#include "tests/support/ProbeKit.h"
#include "tests/support/WindowKit.h"
#include "window/BatteryTemp.h"
#include "window/DisplayTimers.h"
#include "window/GraphControl.h"
#include "window/Readouts.h"
#include "window/Recorder.h"

#include <QTest>

using measure::RecordTable;

class WindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<kit::WindowRig> rig; // a new one for each test

private Q_SLOTS:
    void init() { rig = std::make_unique<kit::WindowRig>(); }

    // Labels change only on a tick of the display-update timer; the graph, the sample count and
    // the log take every sample (with three axes, one sample per X, Y, Z cycle).
    void readoutsWaitForTheDisplayTick_data() {
        QTest::addColumn<bool>("threeAxis");
        QTest::newRow("one axis") << false;
        QTest::newRow("three axes") << true;
    }
    void readoutsWaitForTheDisplayTick() {
        QFETCH(bool, threeAxis);
        const int pollsPerSample = threeAxis ? 3 : 1;
        rig->config.Multiplex = threeAxis;
        app::frmMain& w = rig->startOn("PX-5100", 1500);
        const window::ReadoutControls& ui = w.ui().readouts;
        const auto dataPolls = [&] { return int(rig->port.written().count("D2\r")); };

        w.HRTUpDateText().setEnabled(false);
        rig->run(500); // a tick that was due is taken
        const std::initializer_list<QLabel*> readouts{ui.LabXYZField, ui.LabXField, ui.LabMaxXYZ,
                                                      ui.LabBarGraph};
        for (QLabel* label : readouts)
            label->setText("-");
        w.records().SetRecording(RecordTable::Logging);
        w.records().SetRecordCount(0);
        const int sweep = w.graphControl().SweepIndex();
        const int polls = dataPolls();

        rig->run(2000);
        const int samples = w.records().RecordCount();
        const int replies = dataPolls() - polls;
        QVERIFY(samples >= 5);
        QVERIFY(replies >= pollsPerSample * samples && replies <= pollsPerSample * (samples + 1));
        QVERIFY(w.graphControl().SweepIndex() != sweep);
        for (const QLabel* label : readouts)
            QCOMPARE(label->text(), QString("-"));

        w.HRTUpDateText().setEnabled(true);
        QVERIFY(rig->runUntil([&] { return w.displayTimers().TextUpdateDue(); }, 1000));
        w.HRTUpDateText().setEnabled(false);
        QVERIFY(rig->runUntil([&] { return !w.displayTimers().TextUpdateDue(); }, 1000));
        QCOMPARE(ui.LabXYZField->text(), QString("14.49"));
        QCOMPARE(ui.LabXField->text(), threeAxis ? QString("5.000") : QString("-"));
        QVERIFY(ui.LabBarGraph->text().endsWith('%'));
        // The bars take each sample as it comes: the total, and each axis read in turn.
        const graph::ClsBarGraph& bars = w.barGraph();
        QCOMPARE(qRound(bars.BarLast(graph::ClsBarGraph::BarTotal) * 100), 1449);
        if (!threeAxis) return;
        QCOMPARE((QList<float>{bars.BarLast(1), bars.BarLast(2), bars.BarLast(3)}),
                 (QList<float>{5, 8, 11}));
        QCOMPARE(kit::Texts({ui.LabMaxX, ui.LabMaxY, ui.LabMaxZ}), (QStringList{"5", "8", "11"}));
    }

    // One reply handed to the processing (a probe in Celsius for the row so named): whether it
    // shows the probe answering, the readings it makes, and what it shows.
    void singleReply_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("alive");
        QTest::addColumn<int>("readings");
        QTest::addColumn<QString>("shown"); // label=text
        const QString Deg(QChar(0xB0));
        const auto row = [](const char* name, int state, const QByteArray& reply, bool alive,
                            int readings, const QString& shown = {}) {
            QTest::newRow(name) << state << reply << alive << readings << shown;
        };
        row("rejection", 0, ":E\r", false, 0);
        row("identifying, acknowledged", 2, ":Z\r", false, 0);
        row("identifying, range", 2, ":R3\r", true, 0, "LabRange=Auto 3");
        row("battery", 0, ":B 3.80\r", true, 0, "LabBattery=50 %");
        row("battery above full", 0, ":B 9.99\r", true, 0, "LabBattery=100 %");
        row("Celsius", 0, ":T 7.5 \r", true, 0, "LabTemp=7.5 " + Deg + "C");
        row("Fahrenheit", 0, ":T 68  \r", true, 0, "LabTemp=68 " + Deg + "F");
        row("not text", 0, "?D\x01\x02\r", true, 0, "sbPanel2=Communication mode Non-ASCII");
        row("Sigma reading", 0, kit::SigmaData(" 12.5", " V "), true, 1);
        row("Kappa reading", 3, ":D14.49 V \r", true, 1);
        row("Zeta sample, short", 1, ":S1001001000000N\r", true, 0);
        row("Zeta sample, whole", 1, ":S100100100000000N\r", true, 1);
        row("Zeta sample, unreadable", 1, ":S1001}0100000000N\r", true, 0);
        row("Sigma reading, garbled", 0, kit::SigmaData("1!0.}", " V "), true, 0);
        row("Zeta temperature", 1, ":T21.4\r", true, 0, "LabTemp=21.4 " + Deg + "F");
        row("Zeta battery above full", 1, ":B7F\r\n", true, 0, "LabBattery=100 %");
        row("the rest of a short sample", 1, "1000000000N\r", false, 0);
        row("Zeta battery, short", 1, ":B4\r", true, 0, "LabBattery=");
    }
    void singleReply() {
        QFETCH(int, state);
        QFETCH(QByteArray, reply);
        QFETCH(int, readings);
        QFETCH(QString, shown);
        app::frmMain& w = rig->build();
        w.readings().Add(rig->taken);
        w.probe().SetTypeZeta(state);
        w.probe().SetUseCelsiusTemp(QTest::currentDataTag() == QLatin1String("Celsius"));
        w.probe().SetAutoRangeOn(1);
        const probe::ReplyTaken taken = w.engine().ProcessData(reply); // as the cycle hands it on
        QTEST(taken.alive, "alive");
        QCOMPARE(int(rig->taken.readings.size()), readings);
        QCOMPARE(taken.samples, readings);
        if (!shown.isEmpty())
            QCOMPARE(w.findChild<QLabel*>(shown.section('=', 0, 0))->text(), shown.section('=', 1));
        if (readings == 0) return;
        const measure::Reading& r = rig->taken.readings.first();
        QCOMPARE(r.dayFraction, float(rig->clock.secondsSinceMidnight() / 86400.0));
        if (state == 0)
            QCOMPARE((QList<float>{r.value[0], r.plottedTotal}), (QList<float>{12.5, 12.5}));
        if (state == 3) QCOMPARE(r.probeText, QString("14.49"));
        if (state == 1) QVERIFY(r.family == measure::Family::Zeta && r.axesReported);
    }

    // Zeta readouts are written in the unit the values are in, whatever units text the
    // settings hold: four significant digits, or five and six decimals for power densities.
    // A tick of the display-update timer that comes within a frame of the screen after the
    // last readouts waits: the next reading a frame later is written.
    void zetaReadouts() {
        app::frmMain& w = rig->build();
        w.config().ProbeUnits = QStringLiteral("unknown");
        const window::ReadoutControls& u = w.ui().readouts;
        measure::Reading r;
        r.family = measure::Family::Zeta;
        r.value = {1.449f, 5, 8, 11};
        r.peak = {21.7f, 7, 12, 16};
        const auto take = [&](double advanceMs) {
            rig->clock.advance(advanceMs);
            w.displayTimers().HRTUpDateText_Timer();
            w.readouts().TakeReading(r);
            return kit::Texts({u.LabXYZField, u.LabXField, u.LabMaxXYZ});
        };
        r.zetaUnits = measure::ClsZeta::UnitMWcm2;
        QCOMPARE(take(20), (QStringList{"1.44900", "5.000000", "21.70000"}));
        r.zetaUnits = measure::ClsZeta::UnitVm;
        QCOMPARE(take(20), (QStringList{"1.449", "5.000", "21.70"}));
        r.value[measure::Total] = 2;
        QCOMPARE(take(5).first(), QString("1.449"));
        r.value[measure::Total] = 3;
        QCOMPARE(take(12).first(), QString("3.000"));
        QVERIFY(!w.displayTimers().TextUpdateDue());
    }

    void batteryPercentByFamily() {
        const std::tuple<int, const char*, float> asked[] = {
            {3, "E310", 5.0f},      {3, "E310", 6.0f},      {3, "H420", 4.0f},
            {0, "PX-2200", 9.933f}, {0, "PX-2200", 9.633f}, {0, "PX-5100", 3.5f},
            {0, "PX-5100", 4.1f},   {0, "PX-5560", 3.53f}};
        QList<int> percent;
        for (const auto& [state, model, volts] : asked)
            percent << measure::ReplyProcessor::BatteryPercentOf(volts, state, model);
        QCOMPARE(percent, (QList<int>{52, 100, 0, 100, 50, 0, 100, 5})); // 52.5 rounds to even
    }

    // A low-battery report blinks the label and colours the gauge until it clears; a lost
    // probe (the fifth poll missed) ends it and clears the display.
    void lowBatteryBlinksAndTheFifthMissClearsTheDisplay() {
        rig->config.Multiplex = true;
        app::frmMain& w = rig->startOn("PX-5100", 1500);
        const window::MainControls& ui = w.ui();
        QLabel* label = ui.battery.LabBattery;
        platform::Shape* bar = ui.battery.ShapeBatLevel;
        w.battery().BatteryLevel(60);
        w.battery().SetBattLowBlink(1);
        QString shown;
        for (int tick = 0; tick < 5; ++tick) {
            rig->run(500);
            shown += label->isHidden() ? u'0' : u'1';
            QCOMPARE(bar->fillColor(), 0x00FFFFu);
        }
        QCOMPARE(shown, QString("01010"));
        // The report clears while the label happens to be hidden: it comes back for good.
        w.battery().SetBattLowBlink(0);
        rig->run(1000);
        QVERIFY(!label->isHidden());
        QCOMPARE(bar->fillColor(), 0xFFFF00u);

        w.battery().SetBattLowBlink(1);
        ui.link.mnuCommBaud[4]->setEnabled(true);
        rig->silent = true; // lost at the fifth poll missed (tst_polling)
        QVERIFY(rig->runUntil([&] { return w.probe().LostComm() == 1; }));
        QCOMPARE(kit::Texts({ui.readouts.LabXYZField, ui.probe.LabUnits, ui.readouts.LabXField,
                             ui.readouts.LabZField, label, ui.battery.LabTemp, ui.probe.LabRange,
                             ui.readouts.LabBarGraph, ui.frame.sbPanel[1]}),
                 (QStringList{"No Probe", "units", "", "", "", "", "", "", ""}));
        QCOMPARE(kit::Flags<QWidget>({ui.readouts.LabXAxis, ui.readouts.LabZAxis,
                                      ui.readouts.LabSamRate, ui.readouts.LabOverRange, label},
                                     &QWidget::isHidden),
                 QString("11110"));
        QCOMPARE(w.battery().BattLowBlink(), 0);
        QCOMPARE(platform::ForeColor(ui.readouts.LabZAxis), platform::Colour(0xC0C0C0));
        const QRectF gauge = platform::TwipsGeometry(bar); // empty, at the top of its frame
        QCOMPARE((QList<double>{gauge.bottom(), gauge.height()}), (QList<double>{1200, 0}));
        QCOMPARE(bar->fillColor(), platform::Colour(0xFFFF00));
        QVERIFY(!ui.link.mnuCommBaud[4]->isEnabled() && ui.link.mnuCommASCII->isEnabled());
        const graph::ClsBarGraph& bars = w.barGraph();
        QCOMPARE((QList<float>{bars.BarLast(0), bars.BarLast(1), bars.BarLast(2), bars.BarLast(3)}),
                 (QList<float>{0, 0, 0, 0}));
    }

    // The gauge stands on its base line in the frame it was placed in; a low level is drawn
    // at 10 % in the warning colour.
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
        app::frmMain& w = rig->start();
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

    // The log table takes rows up to 32000: the readings that close a sample, as they are;
    // the last row is stored and the recording stops as the user's stop does: the log can be
    // saved, and the user is told.
    void logStopsAtTheLastRow() {
        app::frmMain& w = rig->build();
        RecordTable& records = w.records();
        records.StartLog(RecordTable::Layout::Axes, "V/m", "PX-5100");
        records.SetRecording(RecordTable::Logging);
        records.SetRecordCount(RecordTable::MaxRecords - 2);
        measure::Reading r;
        r.units = "V/m";
        r.dayFraction = 0.5f;
        r.value = {0.00045f, 1, 2, 3};
        r.peak = {14.49f, 4, 5, 6};
        r.completesSample = false; // the X reply of an axis-by-axis read
        w.recorder().TakeReading(r);
        QCOMPARE(records.RecordCount(), RecordTable::MaxRecords - 2);
        r.completesSample = true;
        for (int i = 0; i < 3; ++i)
            w.recorder().TakeReading(r);
        QCOMPARE(records.RecordCount(), RecordTable::MaxRecords);
        QCOMPARE(records.Recording(), RecordTable::Idle);
        for (int column = 0; column < RecordTable::Columns; ++column)
            QCOMPARE(records.At(RecordTable::MaxRecords, column),
                     column == 0 ? 0.5f : r.value[std::size_t(column - 1)]);
        QCOMPARE(records.RecordMaxHold(), r.peak);
        const window::MainControls& u = w.ui();
        QVERIFY(!u.record.mnuProbeRecord->isChecked());
        QCOMPARE(u.record.LabRecord->text(), QString("Log"));
        QVERIFY(u.record.mnuFileSaveAs->isEnabled() && u.graphs.tbZoomOut->isEnabled());
        QCOMPARE(w.StatusPanel(1), window::Recorder::LogFullText);
    }

    // The recording states: each command in each state gives the next state, the indicator,
    // the commands a running log holds back (Save As, pause, zoom out, clear peak), the entries
    // ticked (log, pause) and the rows: a pause keeps them, and logging goes on after them.
    void recordingStates_data() {
        QTest::addColumn<bool>("exposure");
        QTest::addColumn<QString>("commands"); // R the log toggled, P the pause, T a reading
        QTest::addColumn<QString>("seen");     // state|indicator|enabled|ticked|rows
        const auto row = [](const char* name, bool exposure, const char* commands,
                            const char* seen) {
            QTest::newRow(name) << exposure << QString(commands) << QString(seen);
        };
        row("start", false, "RT", "1|Log|0100|10|1");
        row("pause", false, "RTPT", "2| Pause|0100|11|1");
        row("resume", false, "RTPTPT", "1|Log|0100|10|2");
        row("stop while paused", false, "RPR", "0|Log|1011|00|0");
        row("pause while idle", false, "PT", "0||0000|00|0");
        row("moving average", true, "R", "3|Log|0000|10|0");
        row("moving average paused", true, "RP", "4| Pause|0000|10|0");
        row("moving average again", true, "RPP", "3|Log|0000|10|0");
        row("moving average stopped", true, "RPR", "0|Log|1011|00|0");
    }
    void recordingStates() {
        QFETCH(bool, exposure);
        QFETCH(QString, commands);
        app::frmMain& w = rig->build();
        const window::MainControls& u = w.ui();
        const std::initializer_list<QAction*> heldBack{
            u.record.mnuFileSaveAs, u.record.mnuProbeRecordPause, u.graphs.tbZoomOut,
            u.probe.mnuProbeClearPeak};
        for (QAction* a : heldBack)
            a->setEnabled(false);
        u.record.LabRecord->clear();
        if (exposure) u.exposure.mnuViewExposure->trigger();
        window::Recorder& r = w.recorder();
        for (const QChar c : commands)
            c == 'R' ? r.ToggleRecordOn() : c == 'P' ? r.TogglePause() : r.TakeReading({});
        QTEST(QStringList({QString::number(int(w.records().Recording())),
                           u.record.LabRecord->text(), kit::Flags(heldBack, &QAction::isEnabled),
                           kit::Flags({u.record.mnuProbeRecord, u.record.mnuProbeRecordPause},
                                      &QAction::isChecked),
                           QString::number(w.records().RecordCount())})
                  .join('|'),
              "seen");
        QCOMPARE(w.records().RecordColumns(),
                 exposure ? RecordTable::Layout::MovingAverage : RecordTable::Layout::Total);
    }

    // The count's caption erases the rows, but rows not saved go only when the user lets them go.
    void theCountCaptionErases() {
        app::frmMain& w = rig->build();
        w.recorder().ToggleRecordOn();
        w.recorder().TakeReading({});
        Q_EMIT w.ui().record.LabRecordCntLab->clicked();
        QCOMPARE(w.records().RecordCount(), 1);
        rig->dialogs.queueChoice(platform::SaveChoice::Discard);
        Q_EMIT w.ui().record.LabRecordCntLab->clicked();
        QCOMPARE(w.records().RecordCount(), 0);
        QCOMPARE(w.ui().record.LabRecordCnt->text(), QString("0"));
    }

    // The readouts' pace: the tick marks them due once. An average period outside the table is
    // refused with a message and leaves the period alone.
    void displayTimers_data() {
        QTest::addColumn<int>("asked");
        QTest::addColumn<double>("interval");
        QTest::addColumn<int>("inForce");
        QTest::newRow("3") << 3 << 333.0 << 3;
        QTest::newRow("70") << 70 << 14.0 << 70;
        QTest::newRow("71, above the limit") << 71 << 14.0 << 70;
        QTest::newRow("0, taken as 1") << 0 << 1000.0 << 1;
    }
    void displayTimers() {
        QFETCH(int, asked);
        QFETCH(double, interval);
        std::unique_ptr<platform::ManualHiResTimer> timer(rig->clock.createTimer());
        window::DisplayTimers timers(*timer, rig->boxes);
        QTEST(timers.SetTextUpdateTimer(asked), "inForce");
        QTEST(timers.TextUpdateRate(), "inForce");
        QCOMPARE(timer->interval(), interval);
        QVERIFY(timer->enabled());
        rig->clock.advance(interval);
        QVERIFY(timers.ConsumeTextUpdateDue());
        QVERIFY(!timers.ConsumeTextUpdateDue());

        QVERIFY(timers.SetMinuteAverTime("30 Minute"));
        QVERIFY(!timers.SetMinuteAverTime("5 Minute"));
        QCOMPARE(timers.AveragePeriod(), 1800);
        QCOMPARE(rig->boxes.messages(),
                 (QList<platform::RecordingMessageBoxes::Message>{
                     {platform::MsgIcon::None, "Error in setting minute average."}}));
    }

    void periodicRequestOnEveryPeriodPlusOneMinute() {
        rig->config.SampleRate = QStringLiteral("1");
        app::frmMain& w = rig->startOn(QStringLiteral("PX-5100"), 0);
        const window::BatteryControls& u = w.ui().battery;
        u.mnuProbeUpdate60->trigger();
        rig->run(40 * 60000.0, 500);
        // A shorter period than the minutes already counted asks at the next minute.
        u.mnuProbeUpdate5->trigger();
        QVERIFY(u.mnuProbeUpdate5->isChecked() && !u.mnuProbeUpdate60->isChecked());
        rig->run(30000.0, 500); // each minute below has its tick in the middle
        QList<int> minutes;
        for (int minute = 1; minute <= 13; ++minute) {
            const qsizetype from = rig->port.written().size();
            rig->run(60000.0, 500);
            if (rig->sentSince(from).contains(QStringLiteral("R"))) minutes << minute;
        }
        QCOMPARE(minutes, (QList<int>{1, 7, 13}));
        u.mnuProbeUpdateoff->trigger();
        QVERIFY(!w.HRTReadBattTemp().enabled());
    }
};

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
