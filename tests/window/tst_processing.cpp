// Replies through to the readouts: a window polling a virtual probe (a constant 5, 8 and
// 11 V/m on X, Y and Z, 14.49 in total), the display-update pacing, single replies handed to
// the sample processing, the lost probe, the end of the log table and the display timers.
#include "measure/RecordTable.h"
#include "platform/Controls.h"
#include "tests/support/ProbeKit.h"
#include "tests/support/WindowKit.h"
#include "window/BatteryTemp.h"
#include "window/DisplayTimers.h"
#include "window/GraphControl.h"
#include "window/Readouts.h"
#include "window/Recorder.h"
#include "window/SampleProcessing.h"

#include <QTest>

using measure::RecordTable;

namespace {

const QString Deg(QChar(0xB0));

app::frmMain& StartOn(kit::WindowRig& rig, const QString& model, bool threeAxis = false) {
    rig.config.Multiplex = threeAxis;
    rig.useProbe(model);
    app::frmMain& w = rig.start();
    if (rig.runUntil([&] { return w.probe().GetModel() == model; }, 30000)) rig.run(1500);
    return w;
}

QString Text(app::frmMain& w, const QString& name) {
    return w.findChild<QLabel*>(name)->text();
}

// The window's sample processing, but for the readings: those go to the test's sink.
struct Processing {
    explicit Processing(kit::WindowRig& rig)
        : w(rig.build()),
          sp(w.probe(), w.zeta(), sink,
             {w.readouts(), w.battery(), w.setup(), w.graphControl(), w.link(), w.layout()},
             identity, w, rig.clock, rig.boxes) {}
    app::frmMain& w;
    kit::RecordingSink sink;
    probe::ProbeIdentity identity;
    window::SampleProcessing sp;
};

} // namespace

class ProcessingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
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
        kit::WindowRig rig;
        app::frmMain& w = StartOn(rig, "PX-5100", threeAxis);
        const window::ReadoutControls& ui = w.ui().readouts;
        const window::DisplayTimers& timers = w.displayTimers();
        const auto dataPolls = [&] { return int(rig.port.written().count("D2\r")); };

        w.HRTUpDateText().setEnabled(false);
        rig.run(500); // a tick that was due is taken
        const std::initializer_list<QLabel*> readouts{ui.LabXYZField, ui.LabXField, ui.LabMaxXYZ,
                                                      ui.LabBarGraph};
        for (QLabel* label : readouts)
            label->setText("-");
        w.records().SetRecording(RecordTable::Logging);
        w.records().SetRecordCount(0);
        const int sweep = w.graphControl().SweepIndex();
        const int polls = dataPolls();

        rig.run(2000);
        const int samples = w.records().RecordCount();
        const int replies = dataPolls() - polls;
        QVERIFY(samples >= 5);
        QVERIFY(replies >= pollsPerSample * samples && replies <= pollsPerSample * (samples + 1));
        QVERIFY(w.graphControl().SweepIndex() != sweep);
        for (QLabel* label : readouts)
            QCOMPARE(label->text(), QString("-"));

        w.HRTUpDateText().setEnabled(true);
        QVERIFY(rig.runUntil([&] { return timers.TextUpdateDue(); }, 1000));
        w.HRTUpDateText().setEnabled(false);
        QVERIFY(rig.runUntil([&] { return !timers.TextUpdateDue(); }, 1000));
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
        kit::WindowRig rig;
        Processing p(rig);
        p.w.probe().SetTypeZeta(state);
        p.w.probe().SetUseCelsiusTemp(celsius ? 1 : 0);
        p.w.probe().SetAutoRangeOn(1);
        const probe::ReplyTaken taken = p.sp.ProcessData(reply);
        QTEST(taken.alive, "alive");
        QCOMPARE(int(p.sink.readings.size()), readings);
        QCOMPARE(taken.samples, readings);
        if (!label.isEmpty()) QCOMPARE(Text(p.w, label), text);
        if (readings == 0) return;
        const measure::Reading& r = p.sink.readings.first();
        QCOMPARE(r.dayFraction, float(rig.clock.secondsSinceMidnight() / 86400.0));
        if (state == 0)
            QCOMPARE((QList<float>{r.value[0], r.plottedTotal}), (QList<float>{12.5, 12.5}));
        if (state == 3) QCOMPARE(r.probeText, QString("14.49"));
        if (state == 1) QVERIFY(r.family == measure::Family::Zeta && r.axesReported);
    }

    // A Zeta identity is read field by field and a low battery told once; a low-battery flag
    // in a sample blinks.
    void zetaIdentityAndBatteryFlag() {
        kit::WindowRig rig;
        Processing p(rig);
        p.w.probe().SetTypeZeta(probe::StateZeta);
        p.sp.ProcessData(":I9100073020030A8765432103152024F\r");
        QCOMPARE(p.identity.SerialNo(), QString("87654321"));
        QCOMPARE(p.identity.CalDate(), QString("03/15/2024"));
        QCOMPARE(p.identity.SoftRev(), QString("073020030A"));
        QCOMPARE(rig.boxes.count("Probe battery low."), 1);
        QVERIFY(p.w.ui().link.mnuCommBaud[5]->isEnabled()); // this software streams
        QCOMPARE(p.sp.ProcessData(":S100100100000000F\r").samples, 1);
        QVERIFY(p.w.battery().BattLowBlink());
        QCOMPARE(p.sp.ShortSamples(), 0);
    }

    // Zeta readouts are written in the unit the values are in, whatever units text the
    // settings hold: four significant digits, or five and six decimals for power densities.
    void zetaReadoutsFollowTheUnitOfTheValues_data() {
        QTest::addColumn<int>("unit");
        QTest::addColumn<QStringList>("texts"); // total, X, peak total
        QTest::newRow("V/m") << int(measure::ClsZeta::UnitVm)
                             << QStringList{"14.49", "5.000", "21.70"};
        QTest::newRow("mW/cm2") << int(measure::ClsZeta::UnitMWcm2)
                                << QStringList{"14.49000", "5.000000", "21.70000"};
    }
    void zetaReadoutsFollowTheUnitOfTheValues() {
        QFETCH(int, unit);
        QFETCH(QStringList, texts);
        kit::WindowRig rig;
        app::frmMain& w = rig.build();
        w.config().ProbeUnits = QStringLiteral("unknown");
        measure::Reading r;
        r.family = measure::Family::Zeta;
        r.zetaUnits = measure::ClsZeta::Unit(unit);
        r.value = {14.49f, 5, 8, 11};
        r.peak = {21.7f, 7, 12, 16};
        w.displayTimers().HRTUpDateText_Timer();
        w.readouts().TakeReading(r);
        const window::ReadoutControls& u = w.ui().readouts;
        QCOMPARE((QStringList{u.LabXYZField->text(), u.LabXField->text(), u.LabMaxXYZ->text()}),
                 texts);
    }

    // A tick of the display-update timer that comes within a frame of the screen after the
    // last readouts waits: the next reading a frame later is written.
    void readoutsAtMostOnceAFrame() {
        kit::WindowRig rig;
        app::frmMain& w = rig.build();
        measure::Reading r;
        r.family = measure::Family::Zeta;
        const QLabel* total = w.ui().readouts.LabXYZField;
        for (const auto& [value, advanceMs, shown] :
             {std::tuple{1.0f, 0.0, "1.000"}, {2.0f, 5.0, "1.000"}, {3.0f, 12.0, "3.000"}}) {
            rig.clock.advance(advanceMs);
            w.displayTimers().HRTUpDateText_Timer();
            r.value[measure::Total] = value;
            w.readouts().TakeReading(r);
            QCOMPARE(total->text(), QString(shown));
        }
        QVERIFY(!w.displayTimers().TextUpdateDue());
    }

    void fixedRangeIsTickedInTheMenu() {
        kit::WindowRig rig;
        Processing p(rig);
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
        kit::WindowRig rig;
        app::frmMain& w = StartOn(rig, "PX-5100", true);
        const window::MainControls& ui = w.ui();
        ui.link.mnuCommBaud[4]->setEnabled(true);
        rig.probe.reset(); // the probe stops answering

        QVERIFY(rig.runUntil([&] { return w.cycle().MissCount() == 4; }));
        QCOMPARE(ui.readouts.LabXYZField->text(), QString("14.49"));
        QVERIFY(rig.runUntil([&] { return w.cycle().MissCount() == 5; }));
        const auto texts = [](std::initializer_list<QLabel*> labels) {
            QStringList shown;
            for (QLabel* label : labels)
                shown << label->text();
            return shown;
        };
        QCOMPARE(texts({ui.readouts.LabXYZField, ui.probe.LabUnits, ui.readouts.LabXField,
                        ui.readouts.LabZField, ui.battery.LabBattery, ui.battery.LabTemp,
                        ui.probe.LabRange, ui.readouts.LabBarGraph, ui.frame.sbPanel[1]}),
                 (QStringList{"No Probe", "units", "", "", "", "", "", "", ""}));
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
        kit::WindowRig rig;
        app::frmMain& w = rig.build();
        RecordTable& records = w.records();
        window::Recorder& recorder = w.recorder();
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
        platform::ManualClock clock;
        std::unique_ptr<platform::ManualHiResTimer> timer(clock.createTimer());
        platform::RecordingMessageBoxes boxes;
        window::DisplayTimers timers(*timer, boxes);
        QCOMPARE(timers.SetTextUpdateTimer(asked), inForce);
        QCOMPARE(timers.TextUpdateRate(), inForce);
        QCOMPARE(timer->interval(), interval);
        QVERIFY(timer->enabled());
        // The tick marks the readouts due once.
        clock.advance(interval);
        QVERIFY(timers.ConsumeTextUpdateDue());
        QVERIFY(!timers.ConsumeTextUpdateDue());
    }

    // A period outside the table is refused with a message and leaves the period alone.
    void averagePeriod() {
        platform::ManualClock clock;
        std::unique_ptr<platform::ManualHiResTimer> timer(clock.createTimer());
        platform::RecordingMessageBoxes boxes;
        window::DisplayTimers timers(*timer, boxes);
        QVERIFY(timers.SetMinuteAverTime("30 Minute"));
        QCOMPARE(timers.AveragePeriod(), 1800);
        QVERIFY(!timers.SetMinuteAverTime("5 Minute"));
        QCOMPARE(timers.AveragePeriod(), 1800);
        using Message = platform::RecordingMessageBoxes::Message;
        const QList<Message> expected{
            {platform::MsgIcon::None, "Error in setting minute average."}};
        QCOMPARE(boxes.messages(), expected);
    }
};

QTEST_MAIN(ProcessingTest)
#include "tst_processing.moc"
