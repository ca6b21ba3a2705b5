// The main window's parts on the test doubles: replies through to the readouts (a virtual
// probe reads 5, 8 and 11 V/m, 14.49 in total), the display pacing, the lost probe, the log's
// end; the high link speeds and the way back from them; the set-up for each model, a Zeta
// probe's layout and readouts, the battery and temperature requests, the sample-rate choice.
#include "measure/ClsZeta.h"
#include "measure/RecordTable.h"
#include "platform/Controls.h"
#include "tests/support/ProbeKit.h"
#include "tests/support/WindowKit.h"
#include "window/BatteryTemp.h"
#include "window/DisplayTimers.h"
#include "window/GraphControl.h"
#include "window/LinkControl.h"
#include "window/MainLayout.h"
#include "window/ProbeSetup.h"
#include "window/Readouts.h"
#include "window/Recorder.h"
#include "window/SampleProcessing.h"

#include <QTest>

using measure::RecordTable;

namespace {

const QString Deg(QChar(0xB0));

// The window's sample processing, but for the readings: those go to the test's sink.
struct Processing {
    explicit Processing(kit::WindowRig& rig)
        : w(rig.build()), sp(w.probe(), w.zeta(), sink,
                             {w.readouts(), w.battery(), w.setup(), w.graphControl(), w.link(),
                              w.layout(), w.probeControls()},
                             identity, w, rig.clock, rig.boxes) {}
    app::frmMain& w;
    kit::RecordingSink sink;
    probe::ProbeIdentity identity;
    window::SampleProcessing sp;
};

const QString Zeta = QStringLiteral("PX-9100");

bool Calibrated(kit::WindowRig& rig) {
    return rig.runUntil([&] { return rig.window().zeta().XYZ() > 0; }, 30000);
}

// From the acknowledgement on, the probe streams: the test sends the records itself.
void QuietWhileStreaming(kit::WindowRig& rig) {
    rig.port.setResponder([&rig](const QByteArray& command) -> QByteArray {
        if (rig.window().cycle().HighSpeedState() >= probe::HighSpeed::Acknowledged) return {};
        return rig.probe->answer(command.chopped(1), 1.0);
    });
}

// Asks for 115.2 kBaud and waits for the acknowledgement.
bool Switched(kit::WindowRig& rig, int entry = 5) {
    QuietWhileStreaming(rig);
    rig.window().ui().link.mnuCommBaud[entry]->trigger();
    return rig.runUntil(
        [&] { return rig.window().cycle().HighSpeedState() == probe::HighSpeed::Acknowledged; },
        3000);
}

// Counts and gain codes the calibration reads as a field; the record as the probe streams it.
QByteArray Record(const char* counts = "3E83E83E8", char battery = 'N') {
    return QByteArray(":S") + counts + "000000" + battery + "\r";
}

const QChar Sup2(0xB2);

// Captions of units items 1..3, "-" for a hidden item.
QStringList UnitItems(app::frmMain& w) {
    QStringList items;
    for (int i = 1; i <= 3; ++i) {
        QAction* a = w.ui().probe.mnuProbeUnitsOld[i];
        items << (a->isVisible() ? a->text() : QStringLiteral("-"));
    }
    return items;
}

// The range entries 1..5 that are shown, as digits.
QString RangeItems(app::frmMain& w) {
    QString shown;
    for (int i = 1; i <= 5; ++i)
        if (w.ui().probe.mnuProbeRange[i]->isVisible()) shown += QString::number(i);
    return shown;
}

// The window on a Zeta probe, run until the probe is calibrated and the default averaging
// has filled.
app::frmMain& Settled(kit::WindowRig& rig) {
    app::frmMain& w = rig.startOn(Zeta, 0);
    if (Calibrated(rig)) rig.run(3000);
    return w;
}

double Number(const QLabel* label) {
    return label->text().toDouble();
}

QStringList sentSince(kit::WindowRig& rig, qsizetype from) {
    QStringList sent;
    for (const QByteArray& c : rig.port.written().mid(from))
        sent << QString::fromLatin1(c).trimmed();
    return sent;
}

} // namespace

class WindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<kit::WindowRig> rig; // a new one for each test

private Q_SLOTS:
    void init() { rig = std::make_unique<kit::WindowRig>(); }

    // Labels change only after a tick of the display-update timer; the graph, the sample count
    // and the log take every sample (in 3-axis operation one sample per X, Y, Z cycle).
    void readoutsWaitForTheDisplayTick_data() {
        QTest::addColumn<bool>("threeAxis");
        QTest::addColumn<int>("pollsPerSample");
        QTest::newRow("one axis") << false << 1;
        QTest::newRow("three axes") << true << 3;
    }
    void readoutsWaitForTheDisplayTick() {
        QFETCH(bool, threeAxis);
        QFETCH(int, pollsPerSample);
        rig->config.Multiplex = threeAxis;
        app::frmMain& w = rig->startOn("PX-5100", 1500);
        const window::ReadoutControls& ui = w.ui().readouts;
        const window::DisplayTimers& timers = w.displayTimers();
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
        for (QLabel* label : readouts)
            QCOMPARE(label->text(), QString("-"));

        w.HRTUpDateText().setEnabled(true);
        QVERIFY(rig->runUntil([&] { return timers.TextUpdateDue(); }, 1000));
        w.HRTUpDateText().setEnabled(false);
        QVERIFY(rig->runUntil([&] { return !timers.TextUpdateDue(); }, 1000));
        QCOMPARE(ui.LabXYZField->text(), QString("14.49"));
        QCOMPARE(ui.LabXField->text(), threeAxis ? QString("5.000") : QString("-"));
        QVERIFY(ui.LabBarGraph->text().endsWith('%'));
        // The bars take each sample as it comes: the total, and each axis read in turn.
        const graph::ClsBarGraph& bars = w.barGraph();
        QCOMPARE(qRound(bars.BarLast(graph::ClsBarGraph::BarTotal) * 100), 1449);
        if (!threeAxis) return;
        QCOMPARE((QList<float>{bars.BarLast(1), bars.BarLast(2), bars.BarLast(3)}),
                 (QList<float>{5, 8, 11}));
        QCOMPARE((QStringList{ui.LabMaxX->text(), ui.LabMaxY->text(), ui.LabMaxZ->text()}),
                 (QStringList{"5", "8", "11"}));
    }

    // One reply handed to the processing: whether it shows the probe answering, the readings
    // it makes, and what it shows.
    void singleReply_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("celsius");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<bool>("alive");
        QTest::addColumn<int>("readings");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("text");
        const auto row = [](const char* name, int state, bool celsius, const QByteArray& reply,
                            bool alive, int readings, const char* label, const QString& text) {
            QTest::newRow(name) << state << celsius << reply << alive << readings << QString(label)
                                << text;
        };
        row("rejection", 0, false, ":E\r", false, 0, "", "");
        row("identifying, acknowledged", 2, false, ":Z\r", false, 0, "", "");
        row("identifying, range", 2, false, ":R3\r", true, 0, "LabRange", "Auto 3");
        row("battery", 0, false, ":B 3.80\r", true, 0, "LabBattery", "50 %");
        row("battery above full", 0, false, ":B 9.99\r", true, 0, "LabBattery", "100 %");
        row("Celsius", 0, true, ":T 7.5 \r", true, 0, "LabTemp", "7.5 " + Deg + "C");
        row("Fahrenheit", 0, false, ":T 68  \r", true, 0, "LabTemp", "68 " + Deg + "F");
        row("not text", 0, false, "?D\x01\x02\r", true, 0, "sbPanel2",
            "Communication mode Non-ASCII");
        row("Sigma reading", 0, false, kit::SigmaData(" 12.5", " V "), true, 1, "", "");
        row("Kappa reading", 3, false, ":D14.49 V \r", true, 1, "", "");
        row("Zeta sample, short", 1, false, ":S1001001000000N\r", true, 0, "", "");
        row("Zeta sample, whole", 1, false, ":S100100100000000N\r", true, 1, "", "");
        row("Zeta sample, unreadable", 1, false, ":S1001}0100000000N\r", true, 0, "", "");
        row("Sigma reading, garbled", 0, false, kit::SigmaData("1!0.}", " V "), true, 0, "", "");
        row("Zeta temperature", 1, false, ":T21.4\r", true, 0, "LabTemp", "21.4 " + Deg + "F");
        row("Zeta battery above full", 1, false, ":B7F\r\n", true, 0, "LabBattery", "100 %");
        row("the rest of a short sample", 1, false, "1000000000N\r", false, 0, "", "");
        row("Zeta battery, short", 1, false, ":B4\r", true, 0, "LabBattery", "");
    }
    void singleReply() {
        QFETCH(int, state);
        QFETCH(bool, celsius);
        QFETCH(QByteArray, reply);
        QFETCH(int, readings);
        QFETCH(QString, label);
        QFETCH(QString, text);
        Processing p(*rig);
        p.w.probe().SetTypeZeta(state);
        p.w.probe().SetUseCelsiusTemp(celsius ? 1 : 0);
        p.w.probe().SetAutoRangeOn(1);
        const probe::ReplyTaken taken = p.sp.ProcessData(reply);
        QTEST(taken.alive, "alive");
        QCOMPARE(int(p.sink.readings.size()), readings);
        QCOMPARE(taken.samples, readings);
        if (!label.isEmpty()) QCOMPARE(p.w.findChild<QLabel*>(label)->text(), text);
        if (readings == 0) return;
        const measure::Reading& r = p.sink.readings.first();
        QCOMPARE(r.dayFraction, float(rig->clock.secondsSinceMidnight() / 86400.0));
        if (state == 0)
            QCOMPARE((QList<float>{r.value[0], r.plottedTotal}), (QList<float>{12.5, 12.5}));
        if (state == 3) QCOMPARE(r.probeText, QString("14.49"));
        if (state == 1) QVERIFY(r.family == measure::Family::Zeta && r.axesReported);
    }

    // A Zeta identity is read field by field and a low battery told once; a low-battery flag
    // in a sample blinks.
    void zetaIdentityAndBatteryFlag() {
        Processing p(*rig);
        p.w.probe().SetTypeZeta(probe::StateZeta);
        p.sp.ProcessData(":I9100073020030A8765432103152024F\r");
        QCOMPARE(p.identity.SerialNo(), QString("87654321"));
        QCOMPARE(p.identity.CalDate(), QString("03/15/2024"));
        QCOMPARE(p.identity.SoftRev(), QString("073020030A"));
        QCOMPARE(rig->boxes.count("Probe battery low."), 1);
        QVERIFY(p.w.ui().link.mnuCommBaud[5]->isEnabled()); // this software streams
        QCOMPARE(p.sp.ProcessData(":S100100100000000F\r").samples, 1);
        QVERIFY(p.w.battery().BattLowBlink());
        QCOMPARE(p.sp.ShortSamples(), 0);
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
        for (const auto& [unit, texts] :
             {std::pair{measure::ClsZeta::UnitVm, QStringList{"1.449", "5.000", "21.70"}},
              {measure::ClsZeta::UnitMWcm2, QStringList{"1.44900", "5.000000", "21.70000"}}}) {
            r.zetaUnits = unit;
            rig->clock.advance(20);
            w.displayTimers().HRTUpDateText_Timer();
            w.readouts().TakeReading(r);
            QCOMPARE((QStringList{u.LabXYZField->text(), u.LabXField->text(), u.LabMaxXYZ->text()}),
                     texts);
        }
        r.zetaUnits = measure::ClsZeta::UnitVm;
        for (const auto& [value, advanceMs, shown] :
             {std::tuple{1.0f, 20.0, "1.000"}, {2.0f, 5.0, "1.000"}, {3.0f, 12.0, "3.000"}}) {
            rig->clock.advance(advanceMs);
            w.displayTimers().HRTUpDateText_Timer();
            r.value[measure::Total] = value;
            w.readouts().TakeReading(r);
            QCOMPARE(u.LabXYZField->text(), QString(shown));
        }
        QVERIFY(!w.displayTimers().TextUpdateDue());
    }

    void fixedRangeIsTickedInTheMenu() {
        Processing p(*rig);
        p.sp.ProcessData(":R3\r");
        QCOMPARE(p.w.ui().probe.LabRange->text(), QString("Range 3"));
        for (int i = 1; i <= 5; ++i)
            QCOMPARE(p.w.ui().probe.mnuProbeRange[i]->isChecked(), i == 3);
    }

    void batteryPercentByFamily_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("model");
        QTest::addColumn<float>("volts");
        QTest::addColumn<int>("percent");
        QTest::newRow("Kappa 5.0 V") << 3 << "E310" << 5.0f << 52; // 52.5 rounds to even
        QTest::newRow("Kappa 6.0 V") << 3 << "E310" << 6.0f << 100;
        QTest::newRow("Kappa 4.0 V") << 3 << "H420" << 4.0f << 0;
        QTest::newRow("PX-2200 full") << 0 << "PX-2200" << 9.933f << 100;
        QTest::newRow("PX-2200 half") << 0 << "PX-2200" << 9.633f << 50;
        QTest::newRow("Sigma empty") << 0 << "PX-5100" << 3.5f << 0;
        QTest::newRow("Sigma full") << 0 << "PX-5100" << 4.1f << 100;
        QTest::newRow("Sigma 3.53 V") << 0 << "PX-5560" << 3.53f << 5;
        QTest::newRow("far above") << 0 << "PX-5100" << 1.0e6f << 100;
        QTest::newRow("far below") << 3 << "E310" << -1.0e6f << 0;
    }
    void batteryPercentByFamily() {
        QFETCH(int, state);
        QFETCH(QString, model);
        QFETCH(float, volts);
        QTEST(window::SampleProcessing::BatteryPercentOf(volts, state, model), "percent");
    }

    void fifthMissClearsTheDisplay() {
        rig->config.Multiplex = true;
        app::frmMain& w = rig->startOn("PX-5100", 1500);
        const window::MainControls& ui = w.ui();
        ui.link.mnuCommBaud[4]->setEnabled(true);
        rig->probe.reset(); // the probe stops answering

        QVERIFY(rig->runUntil([&] { return w.cycle().MissCount() == 4; }));
        QCOMPARE(ui.readouts.LabXYZField->text(), QString("14.49"));
        QVERIFY(rig->runUntil([&] { return w.cycle().MissCount() == 5; }));
        QStringList shown;
        for (QLabel* label :
             QList<QLabel*>{ui.readouts.LabXYZField, ui.probe.LabUnits, ui.readouts.LabXField,
                            ui.readouts.LabZField, ui.battery.LabBattery, ui.battery.LabTemp,
                            ui.probe.LabRange, ui.readouts.LabBarGraph, ui.frame.sbPanel[1]})
            shown << label->text();
        QCOMPARE(shown, (QStringList{"No Probe", "units", "", "", "", "", "", "", ""}));
        for (QWidget* widget :
             std::initializer_list<QWidget*>{ui.readouts.LabXAxis, ui.readouts.LabZAxis,
                                             ui.readouts.LabSamRate, ui.readouts.LabOverRange})
            QVERIFY(widget->isHidden());
        QVERIFY(!ui.battery.LabBattery->isHidden());
        QCOMPARE(platform::ForeColor(ui.readouts.LabZAxis), platform::Colour(0xC0C0C0));
        QCOMPARE(platform::TwipsGeometry(ui.battery.ShapeBatLevel).bottomLeft().y(), 1200.0);
        QCOMPARE(platform::TwipsGeometry(ui.battery.ShapeBatLevel).height(), 0.0);
        QCOMPARE(ui.battery.ShapeBatLevel->fillColor(), platform::Colour(0xFFFF00));
        QVERIFY(!ui.link.mnuCommBaud[4]->isEnabled() && ui.link.mnuCommASCII->isEnabled());
        QCOMPARE(w.probe().LostComm(), 1);
        const graph::ClsBarGraph& bars = w.barGraph();
        QCOMPARE((QList<float>{bars.BarLast(0), bars.BarLast(1), bars.BarLast(2), bars.BarLast(3)}),
                 (QList<float>{0, 0, 0, 0}));
    }

    // The log table takes rows up to 32000: the readings that close a sample, as they are;
    // the last row is stored and the recording stops.
    void logStopsAtTheLastRow() {
        app::frmMain& w = rig->build();
        RecordTable& records = w.records();
        window::Recorder& recorder = w.recorder();
        records.StartLog(RecordTable::Layout::Axes, "V/m", "PX-5100");
        records.SetRecording(RecordTable::Logging);
        records.SetRecordCount(RecordTable::MaxRecords - 2);
        measure::Reading r;
        r.dayFraction = 0.5f;
        r.value = {0.00045f, 1, 2, 3};
        r.peak = {14.49f, 4, 5, 6};
        r.completesSample = false; // the X reply of an axis-by-axis read
        recorder.TakeReading(r);
        QCOMPARE(records.RecordCount(), RecordTable::MaxRecords - 2);
        r.completesSample = true;
        for (int i = 0; i < 3; ++i)
            recorder.TakeReading(r);
        QCOMPARE(records.RecordCount(), RecordTable::MaxRecords);
        QCOMPARE(records.Recording(), RecordTable::Idle);
        QVERIFY(!w.ui().record.mnuProbeRecord->isChecked());
        QCOMPARE(w.ui().record.LabRecord->text(), QString("Log"));
        for (int column = 0; column < RecordTable::Columns; ++column)
            QCOMPARE(records.At(RecordTable::MaxRecords, column),
                     column == 0 ? 0.5f : r.value[std::size_t(column - 1)]);
        QCOMPARE(records.RecordMaxHold(), r.peak);
        // A full log ends as the user's stop does: it can be saved, and the user is told.
        QVERIFY(w.ui().record.mnuFileSaveAs->isEnabled() && w.ui().graphs.tbZoomOut->isEnabled());
        QCOMPARE(w.StatusPanel(1), window::Recorder::LogFullText);
    }

    // The recording states: each command in each state gives the next state, the indicator
    // and the commands a running log holds back.
    void recordingStates_data() {
        QTest::addColumn<bool>("exposure");
        QTest::addColumn<QString>("commands"); // R the log toggled, P the pause
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("indicator");
        QTest::addColumn<QString>("enabled"); // Save As, pause, zoom out, clear peak
        QTest::addColumn<QString>("ticked");  // log, pause
        QTest::newRow("start") << false << "R" << 1 << "Log"
                               << "0100"
                               << "10";
        QTest::newRow("pause") << false << "RP" << 2 << " Pause"
                               << "0100"
                               << "11";
        QTest::newRow("resume") << false << "RPP" << 1 << "Log"
                                << "0100"
                                << "10";
        QTest::newRow("stop while paused") << false << "RPR" << 0 << "Log"
                                           << "1011"
                                           << "00";
        QTest::newRow("pause while idle") << false << "P" << 0 << ""
                                          << "0000"
                                          << "00";
        QTest::newRow("moving average") << true << "R" << 3 << "Log"
                                        << "0000"
                                        << "10";
        QTest::newRow("moving average paused") << true << "RP" << 4 << " Pause"
                                               << "0000"
                                               << "10";
        QTest::newRow("moving average again") << true << "RPP" << 3 << "Log"
                                              << "0000"
                                              << "10";
        QTest::newRow("moving average stopped") << true << "RPR" << 0 << "Log"
                                                << "1011"
                                                << "00";
    }
    void recordingStates() {
        QFETCH(bool, exposure);
        QFETCH(QString, commands);
        app::frmMain& w = rig->build();
        const window::MainControls& u = w.ui();
        for (QAction* a : {u.record.mnuFileSaveAs, u.record.mnuProbeRecordPause, u.graphs.tbZoomOut,
                           u.probe.mnuProbeClearPeak})
            a->setEnabled(false);
        u.record.LabRecord->clear();
        u.exposure.mnuViewExposure->setChecked(exposure);
        for (const QChar c : commands)
            c == 'R' ? w.recorder().ToggleRecordOn() : w.recorder().TogglePause();
        QTEST(int(w.records().Recording()), "state");
        QTEST(u.record.LabRecord->text(), "indicator");
        QString enabled, ticked;
        for (QAction* a : {u.record.mnuFileSaveAs, u.record.mnuProbeRecordPause, u.graphs.tbZoomOut,
                           u.probe.mnuProbeClearPeak})
            enabled += a->isEnabled() ? '1' : '0';
        for (QAction* a : {u.record.mnuProbeRecord, u.record.mnuProbeRecordPause})
            ticked += a->isChecked() ? '1' : '0';
        QTEST(enabled, "enabled");
        QTEST(ticked, "ticked");
        QCOMPARE(w.records().RecordColumns(),
                 exposure ? RecordTable::Layout::MovingAverage : RecordTable::Layout::Total);
    }

    // A pause keeps the rows; logging goes on after them. The count's caption erases them.
    void pausedLogsContinueAndErase() {
        app::frmMain& w = rig->build();
        window::Recorder& recorder = w.recorder();
        measure::Reading r;
        recorder.ToggleRecordOn();
        recorder.TakeReading(r);
        recorder.TogglePause();
        recorder.TakeReading(r);
        recorder.TogglePause();
        recorder.TakeReading(r);
        QCOMPARE(w.records().RecordCount(), 2);
        // Rows not saved go only when the user lets them go.
        Q_EMIT w.ui().record.LabRecordCntLab->clicked();
        QCOMPARE(w.records().RecordCount(), 2);
        rig->dialogs.queueChoice(platform::SaveChoice::Discard);
        Q_EMIT w.ui().record.LabRecordCntLab->clicked();
        QCOMPARE(w.records().RecordCount(), 0);
        QCOMPARE(w.ui().record.LabRecordCnt->text(), QString("0"));
    }

    void textUpdateRate_data() {
        QTest::addColumn<int>("asked");
        QTest::addColumn<double>("interval");
        QTest::addColumn<int>("inForce");
        QTest::newRow("3") << 3 << 333.0 << 3;
        QTest::newRow("70") << 70 << 14.0 << 70;
        QTest::newRow("71, above the limit") << 71 << 14.0 << 70;
        QTest::newRow("0, taken as 1") << 0 << 1000.0 << 1;
    }
    void textUpdateRate() {
        QFETCH(int, asked);
        QFETCH(double, interval);
        QFETCH(int, inForce);
        std::unique_ptr<platform::ManualHiResTimer> timer(rig->clock.createTimer());
        window::DisplayTimers timers(*timer, rig->boxes);
        QCOMPARE(timers.SetTextUpdateTimer(asked), inForce);
        QCOMPARE(timers.TextUpdateRate(), inForce);
        QCOMPARE(timer->interval(), interval);
        QVERIFY(timer->enabled());
        // The tick marks the readouts due once.
        rig->clock.advance(interval);
        QVERIFY(timers.ConsumeTextUpdateDue());
        QVERIFY(!timers.ConsumeTextUpdateDue());
    }

    // A period outside the table is refused with a message and leaves the period alone.
    void averagePeriod() {
        window::DisplayTimers& timers = rig->build().displayTimers();
        QVERIFY(timers.SetMinuteAverTime("30 Minute"));
        QCOMPARE(timers.AveragePeriod(), 1800);
        QVERIFY(!timers.SetMinuteAverTime("5 Minute"));
        QCOMPARE(timers.AveragePeriod(), 1800);
        using Message = platform::RecordingMessageBoxes::Message;
        const QList<Message> expected{
            {platform::MsgIcon::None, "Error in setting minute average."}};
        QCOMPARE(rig->boxes.messages(), expected);
    }

    // Entry n of the speed menu is asked of the probe as "Fn"; the row's name is the speed
    // the status bar shows.
    void theProbeIsAskedAtTheOldSpeedAndThePortFollows_data() {
        QTest::addColumn<int>("entry");
        QTest::addColumn<QString>("settings");
        QTest::newRow("38.4 kBaud") << 3 << "38400,o,7,1";
        QTest::newRow("57.6 kBaud") << 4 << "57600,o,7,1";
        QTest::newRow("115.2 kBaud") << 5 << "115200,o,7,1";
    }
    void theProbeIsAskedAtTheOldSpeedAndThePortFollows() {
        QFETCH(int, entry);
        QFETCH(QString, settings);
        app::frmMain& w = rig->startOn(Zeta, 0);
        QVERIFY(Calibrated(*rig));
        window::MainControls& u = w.ui();
        QVERIFY2(u.link.mnuCommBaud[entry]->isEnabled(),
                 "a probe that can stream offers the speed");

        u.link.mnuCommBaud[entry]->trigger();
        QCOMPARE(w.cycle().HighSpeedState(), probe::HighSpeed::Requested);
        QCOMPARE(rig->port.settings(), QStringLiteral("9600,o,7,1"));
        QVERIFY(u.link.mnuCommBaud[entry]->isChecked());
        QVERIFY(!u.link.CmbSampleRate->isEnabled());
        QVERIFY(!u.link.mnucommcomm[1]->isEnabled());

        // The request rides on the next sample reply; the acknowledgement retunes the port.
        rig->port.clearWritten();
        QuietWhileStreaming(*rig);
        QVERIFY(rig->runUntil(
            [&] { return w.cycle().HighSpeedState() == probe::HighSpeed::Acknowledged; }, 3000));
        QVERIFY(rig->port.written().contains("F" + QByteArray::number(entry) + "\r"));
        QCOMPARE(rig->port.settings(), settings);
        QCOMPARE(rig->port.inputLen(), 19);
        QCOMPARE(rig->port.rThreshold(), 19);
        QCOMPARE(w.cycle().EventReceive(), 1);
        QVERIFY(w.HRTReadProbe().enabled()); // now the stream's watchdog
        QCOMPARE(w.StatusPanel(2), QString(QTest::currentDataTag()));
        QCOMPARE(rig->port.lastWritten(), QByteArray("S\r"));
    }

    void thePolledSpeedsAndTheCommunicationModes() {
        app::frmMain& w = rig->startOn(Zeta, 0);
        QVERIFY(Calibrated(*rig));
        window::MainControls& u = w.ui();
        // 19.2 kBaud: asked of the probe, kept as the preference, no streaming speeds from it.
        u.link.mnuCommBaud[2]->trigger();
        QCOMPARE(w.probe().PendingCmnd(), QByteArray("F2\r"));
        QCOMPARE(w.config().BaudRate, QStringLiteral("19200,o,7,1"));
        QVERIFY(!u.link.mnuCommBaud[1]->isChecked());
        QVERIFY(!u.link.mnuCommBaud[5]->isEnabled());
        QCOMPARE(u.link.CmbSampleRate->itemText(1), QStringLiteral("70"));
        // Back to 9600: the streaming speeds return for a probe whose software streams.
        u.link.mnuCommBaud[1]->trigger();
        QCOMPARE(w.probe().PendingCmnd(), QByteArray("F1\r"));
        QVERIFY(u.link.mnuCommBaud[5]->isEnabled());
        QCOMPARE(u.link.CmbSampleRate->itemText(1), QStringLiteral("35"));

        // The communication modes belong to the probes that report field values.
        QVERIFY(!u.link.mnuCommARProbe->isEnabled());
        rig->useProbe(QStringLiteral("PX-5100")); // another probe: one that has them
        QVERIFY(rig->runUntil([&] { return w.probe().GetModel() == "PX-5100"; }, 30000));
        rig->run(1500);
        QVERIFY(u.link.mnuCommARProbe->isEnabled());
        // The search wakes the probe instead of asking "I", at 9600 baud only.
        u.link.mnuCommARProbe->trigger();
        QCOMPARE(w.probe().StartARProbe(), 1);
        QVERIFY(u.link.mnuCommBaud[1]->isChecked());
        QVERIFY(!u.link.mnuCommBaud[2]->isEnabled());
        u.link.mnuCommARProbe->trigger();
        QCOMPARE(w.probe().StartARProbe(), 0);
        QVERIFY(u.link.mnuCommBaud[2]->isEnabled());
        u.link.mnuCommARM->trigger();
        QCOMPARE(w.probe().PendingCmnd(), QByteArray("P1\r"));
        u.link.mnuCommASCII->trigger();
        QCOMPARE(w.probe().PendingCmnd(), QByteArray("P2\r"));
    }

    // Records are cut from the stream as the probe layer's reader finds them (every shape is in
    // tst_probe); each is a reading, and a low battery flag blinks. The watchdog ends a stream
    // that stopped.
    void recordsBecomeReadingsUntilTheStreamStops() {
        app::frmMain& w = rig->startOn(Zeta, 0);
        QVERIFY(Calibrated(*rig) && Switched(*rig));
        rig->port.receive(Record() + Record());
        rig->port.deliverNotifications();
        QCOMPARE(w.cycle().HighSpeedState(), probe::HighSpeed::Streaming);
        QCOMPARE(w.cycle().StreamRecordsTotal(), 2);
        const float before = w.zeta().XYZ();
        rig->port.receive(Record("FFFFFFFFF", 'F'));
        rig->port.deliverNotifications();
        QVERIFY(w.zeta().XYZ() > before);
        QVERIFY(w.battery().BattLowBlink());
        // Records every 20 ms keep it going.
        for (int i = 0; i < 20; ++i) {
            rig->port.receive(Record());
            rig->run(20);
        }
        QCOMPARE(w.cycle().HighSpeedState(), probe::HighSpeed::Streaming);
        // Silence: at most two ticks of the watchdog later, polling resumes at the speed in
        // force and the menus come back.
        rig->port.clearWritten();
        rig->run(250);
        QCOMPARE(w.cycle().HighSpeedState(), probe::HighSpeed::Off);
        QVERIFY(w.ui().link.CmbSampleRate->isEnabled());
        QVERIFY(w.ui().link.mnucommcomm[1]->isEnabled());
        QCOMPARE(rig->port.settings(), QStringLiteral("115200,o,7,1"));
        // The probe answers polls at the new speed.
        rig->run(2000);
        QVERIFY(!rig->port.written().isEmpty());
        QCOMPARE(w.probe().LostComm(), 0);
        QVERIFY(w.cycle().MissCount() < 5);
    }

    void aProbeThatNeverTakesUpTheSpeedIsFoundAgainAtTheOldOne() {
        app::frmMain& w = rig->startOn(Zeta, 0);
        QVERIFY(Calibrated(*rig));
        // From here the probe ignores speed commands: it stays at 9600 baud.
        auto probeAnswers = [&](const QByteArray& command) -> QByteArray {
            if (command.startsWith('F')) return {};
            return rig->probe->answer(command.chopped(1), 1.0);
        };
        rig->port.setResponder(probeAnswers);
        w.ui().link.mnuCommBaud[4]->trigger();
        QVERIFY(rig->runUntil([&] { return w.probe().LostComm() == 1; }, 5000));
        QCOMPARE(w.cycle().HighSpeedState(), probe::HighSpeed::Off);
        QVERIFY(w.ui().link.CmbSampleRate->isEnabled());
        QVERIFY(rig->runUntilIdentified(10000));
        QCOMPARE(rig->port.settings(), QStringLiteral("9600,o,7,1"));
        QCOMPARE(w.probe().TypeZeta(), int(probe::StateZeta));
    }

    void aStreamThatRunsOnIntoPollingIsRecoveredBySearching() {
        app::frmMain& w = rig->startOn(Zeta, 0);
        QVERIFY(Calibrated(*rig) && Switched(*rig));
        rig->port.setResponder({}); // the probe goes on streaming and answers nothing
        rig->port.receive(Record());
        rig->run(300);
        QCOMPARE(w.cycle().HighSpeedState(), probe::HighSpeed::Off);
        // Stray records keep arriving while polling resumes: misses, and the probe is lost.
        for (int i = 0; i < 40; ++i) {
            rig->port.receive(Record().mid(i % 7));
            rig->run(40);
        }
        QCOMPARE(w.ui().readouts.LabXYZField->text(), QStringLiteral("No Probe"));
        // After a power cycle the probe talks at 9600 baud again, and the search finds it.
        rig->useProbe(QStringLiteral("PX-9100"));
        QVERIFY(rig->runUntilIdentified(15000));
        QCOMPARE(rig->port.settings(), QStringLiteral("9600,o,7,1"));
        QVERIFY(Calibrated(*rig));
    }

    void eachModelGetsItsMenusAndRates_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QStringList>("units");
        QTest::addColumn<bool>("unitsMenu");
        QTest::addColumn<bool>("zero");
        QTest::addColumn<QString>("ranges");
        QTest::addColumn<bool>("autoAndMax");
        QTest::addColumn<bool>("threeAxis");
        QTest::addColumn<QString>("rate"); // shown of the configured 15 per second

        const QString vm = "V/m", v2 = "V/m" + QString(Sup2), mw = "mW/cm" + QString(Sup2),
                      kv2 = "k(V/m)" + QString(Sup2);
        const QStringList defaults{vm, v2, mw};
        auto row = [](const char* model, QStringList units, bool menu, bool zero,
                      const char* ranges, bool autoMax, bool mux, const char* rate) {
            QTest::newRow(model) << QString(model) << units << menu << zero << QString(ranges)
                                 << autoMax << mux << QString(rate);
        };
        // One model of each kind of set-up; every row of the table is in probe/ModelTables.
        row("PX-2200", defaults, false, false, "12345", false, false, "14");
        row("PX-5100", {vm, mw, v2}, true, true, "1234", true, true, "4");
        row("PX-5200 RDE", {vm, v2, "-"}, true, false, "1234", true, true, "4");
        row("PX-5560", {vm, mw, kv2}, true, true, "123", true, false, "14");
        // Kappa: no units menu, a disabled range menu, no "Max".
        row("E310", {"-", "-", mw}, false, false, "1234", false, false, "3");
    }
    void eachModelGetsItsMenusAndRates() {
        QFETCH(QString, model);
        QFETCH(bool, zero);
        QFETCH(bool, autoAndMax);
        QFETCH(QString, rate);

        app::frmMain& w = rig->startOn(model);
        const window::MainControls& ui = w.ui();
        const bool kappa = model.startsWith('E') || model.startsWith('H');
        const bool basic = model == "PX-2100" || model == "PX-2200";

        QTEST(UnitItems(w), "units");
        QTEST(ui.probe.mnuProbeUnitsSigma->menuAction()->isVisible(), "unitsMenu");
        QCOMPARE(w.setup().ZeroAvailable(), zero ? 1 : 0);
        QCOMPARE(ui.probe.mnuProbeZero->isEnabled(), zero);
        QTEST(RangeItems(w), "ranges");
        QCOMPARE(ui.probe.mnuProbeRange[0]->isVisible(), !basic);
        QCOMPARE(ui.probe.mnuProbeRangeTop->menuAction()->isEnabled(), !kappa);
        QTEST(ui.probe.mnuProbe3AxisData->isEnabled(), "threeAxis");
        QCOMPARE(ui.battery.LabTempLab->isHidden(), basic);
        QCOMPARE(w.StatusPanel(1), "Found probe type: " + model);

        const QStringList rates = kit::Items(ui.link.CmbSampleRate);
        const int max = w.probe().GetMaxSamRate();
        QVERIFY(max >= 1);
        QCOMPARE(rates.size(), max + (autoAndMax ? 1 : 0));
        QCOMPARE(rates.first(), autoAndMax ? QString("Max") : QString::number(max));
        QCOMPARE(rates.last(), QString("1"));
        QCOMPARE(ui.link.CmbSampleRate->currentText(), rate);

        // "Max" chosen: shown as such, as the fastest rate of a Kappa probe, and given up by
        // the probes that offer no "Max".
        w.link().SetSampleRate("Max");
        w.setup().SetUpSigma();
        QCOMPARE(ui.link.CmbSampleRate->currentText(), kappa ? "3" : basic ? rate : "Max");
    }

    void unknownModelIsReportedAndKeepsTheCommonSetUp() {
        app::frmMain& w = rig->start(); // nothing on the line: no model yet
        w.ui().link.CmbSampleRate->addItem("15");
        w.setup().SetUpSigma();
        QCOMPARE(w.StatusPanel(1), QString("Probe unidentified"));
        QCOMPARE(w.ui().link.CmbSampleRate->count(), 0);
        QVERIFY(!w.ui().probe.mnuProbeRange[5]->isVisible());
    }

    // The range menu that a Kappa probe disabled comes back for the Sigma probe that follows.
    void sigmaProbeAfterKappaProbeHasItsRangeMenu() {
        app::frmMain& w = rig->startOn("PX-5100");
        const auto swapTo = [&](const QString& model) {
            rig->useProbe(model);
            const bool named = rig->runUntil([&] { return w.probe().GetModel() == model; }, 60000);
            rig->run(1500);
            return named;
        };
        QVERIFY(swapTo("E310"));
        QVERIFY(!w.ui().probe.mnuProbeRangeTop->menuAction()->isEnabled());

        QVERIFY(swapTo("PX-5100"));
        QCOMPARE(w.StatusPanel(1), QString("Found probe type: PX-5100"));
        QVERIFY(w.ui().probe.mnuProbeRangeTop->menuAction()->isEnabled());
        QCOMPARE(UnitItems(w),
                 (QStringList{"V/m", "mW/cm" + QString(Sup2), "V/m" + QString(Sup2)}));
    }

    void threeAxisEntry_data() {
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<int>("recording");
        QTest::addColumn<bool>("tickedAfter");
        QTest::newRow("switch off") << true << 0 << false;
        QTest::newRow("switch on") << false << 0 << true;
        QTest::newRow("ignored while logging") << true << 1 << true;
        QTest::newRow("ignored while paused") << false << 2 << false;
    }
    void threeAxisEntry() {
        QFETCH(bool, ticked);
        QFETCH(int, recording);
        QFETCH(bool, tickedAfter);
        rig->config.Multiplex = ticked;
        app::frmMain& w = rig->startOn("PX-5100");
        const window::MainControls& ui = w.ui();
        QCOMPARE(w.probe().MultiplexOn(), ticked ? 1 : 0);
        w.records().SetRecording(measure::RecordTable::State(recording));

        ui.probe.mnuProbe3AxisData->trigger(); // as the menu delivers a click
        QCOMPARE(ui.probe.mnuProbe3AxisData->isChecked(), tickedAfter);
        QCOMPARE(w.config().Multiplex, tickedAfter);
        QCOMPARE(w.probe().MultiplexPrefered(), tickedAfter ? 1 : 0);
        if (recording != 0) return;

        QCOMPARE(ui.readouts.LabXField->isHidden(), !tickedAfter);
        QCOMPARE(ui.readouts.ShapeZ->isHidden(), !tickedAfter);
        if (!tickedAfter) {
            QCOMPARE(w.barGraph().BarLast(graph::ClsBarGraph::BarAxisY), 0.0f); // stood at 8
            QCOMPARE(w.probe().PendingCmnd(), QByteArray("AEEE\r"));
            QCOMPARE(platform::ForeColor(ui.readouts.LabYAxis), platform::Colour(0xC0C0C0));
        }
        // The probe follows: readings of all axes again, or axis by axis.
        rig->run(3000);
        QCOMPARE(w.probe().MultiplexOn(), tickedAfter ? 1 : 0);
        QCOMPARE(ui.readouts.LabXField->isHidden(), !tickedAfter);
    }

    void aZetaProbeGetsItsLayoutAndItsField() {
        app::frmMain& w = Settled(*rig);
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
        QCOMPARE(kit::Items(u.link.CmbSampleRate).mid(0, 2), (QStringList{"Max", "35"}));

        // A zero taken here is this probe's: another probe's identity drops it.
        w.zeta().SetRef();
        rig->run(3000);
        QVERIFY(w.zeta().XYZ() < 0.5);
        w.processing().ProcessData(QByteArrayLiteral(":I9100073020030A8765432103152024N\r"));
        rig->run(3000);
        QVERIFY(qAbs(w.zeta().XYZ() - 14.49) < 0.145);
    }

    void milliwattReadoutsKeepEightCharacters() {
        rig->config.ProbeUnits = QStringLiteral("mW/cm2");
        app::frmMain& w = Settled(*rig);
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
        rig->config.BaudRate = baud;
        rig->config.SampleRate = stored;
        app::frmMain& w = Settled(*rig);
        QVERIFY(w.zeta().XYZ() > 0);
        w.setup().SetUpZeta(); // as a change of link speed runs it
        QTEST(w.ui().link.CmbSampleRate->currentText(), "shown");
        QTEST(w.config().SampleRate, "storedAfter");
    }

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
        app::frmMain& w = rig->startOn(model, 3000); // past the requests after identification
        const qsizetype from = rig->port.written().size();
        if (action == QLatin1String("LabTempLab"))
            Q_EMIT w.ui().battery.LabTempLab->clicked();
        else
            w.findChild<QAction*>(action)->trigger();
        rig->run(3000);
        const QStringList sent = sentSince(*rig, from);
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
        rig->config.SampleRate = QStringLiteral("1");
        app::frmMain& w = rig->startOn(QStringLiteral("PX-5100"), 0);
        w.ui().battery.mnuProbeUpdate60->trigger();
        rig->run(40 * 60000.0, 500);
        // A shorter period than the minutes already counted asks at the next minute.
        w.ui().battery.mnuProbeUpdate5->trigger();
        QVERIFY(w.ui().battery.mnuProbeUpdate5->isChecked() &&
                !w.ui().battery.mnuProbeUpdate60->isChecked());
        rig->run(30000.0, 500); // each minute below has its tick in the middle
        QList<int> minutes;
        for (int minute = 1; minute <= 13; ++minute) {
            const qsizetype from = rig->port.written().size();
            rig->run(60000.0, 500);
            if (sentSince(*rig, from).contains(QStringLiteral("R"))) minutes << minute;
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

    void lowBatteryBlinksUntilItEndsOrTheProbeIsLost() {
        app::frmMain& w = rig->startOn(QStringLiteral("PX-5100"), 0);
        QLabel* label = w.ui().battery.LabBattery;
        platform::Shape* bar = w.ui().battery.ShapeBatLevel;
        w.battery().BatteryLevel(60);
        w.battery().SetBattLowBlink(1);
        QList<bool> shown;
        for (int tick = 0; tick < 5; ++tick) {
            rig->run(500);
            shown << !label->isHidden();
            QCOMPARE(bar->fillColor(), 0x00FFFFu);
        }
        QCOMPARE(shown, (QList<bool>{false, true, false, true, false}));
        // The report clears while the label happens to be hidden: it comes back for good.
        w.battery().SetBattLowBlink(0);
        rig->run(1000);
        QVERIFY(!label->isHidden());
        QCOMPARE(bar->fillColor(), 0xFFFF00u);
        w.battery().SetBattLowBlink(1);
        rig->probe.reset();
        QVERIFY(rig->runUntil([&] { return w.battery().BattLowBlink() == 0; }));
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
        app::frmMain& w = rig->start();
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

QTEST_MAIN(WindowTest)
#include "tst_window.moc"
