// Replies through to the readouts: a window polling a virtual probe (a constant 5, 8 and
// 11 V/m on X, Y and Z, 14.49 in total), the display-update pacing, single replies handed to
// the window, the lost probe and the end of the log table.
#include "measure/RecordTable.h"
#include "platform/Controls.h"
#include "tests/support/WindowKit.h"
#include "window/DisplayTimers.h"
#include "window/GraphControl.h"
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

} // namespace

class ProcessingTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sessionBringsTheWindowToTheProbe_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("threeAxis");
        QTest::addColumn<QStringList>("axes"); // X, Y, Z readouts; none when hidden
        QTest::addColumn<int>("unitsTicked");
        QTest::newRow("Sigma, one axis") << "PX-5100" << false << QStringList() << 1;
        QTest::newRow("Sigma, three axes")
            << "PX-5100" << true << QStringList{"5.000", "8.000", "11.00"} << 1;
        QTest::newRow("Kappa") << "E310" << false << QStringList() << 0;
    }
    void sessionBringsTheWindowToTheProbe() {
        QFETCH(QString, model);
        QFETCH(bool, threeAxis);
        QFETCH(QStringList, axes);
        QFETCH(int, unitsTicked);
        kit::WindowRig rig;
        app::frmMain& w = StartOn(rig, model, threeAxis);
        const window::MainControls& ui = w.ui();

        QCOMPARE(ui.LabUnits->text(), QString("V/m"));
        QCOMPARE(ui.LabXYZField->text(), QString("14.49"));
        QCOMPARE(ui.LabMaxXYZ->text(), QString("14.49"));
        QVERIFY(ui.LabBarGraph->text().endsWith('%'));
        QCOMPARE(ui.LabTemp->text(), "74 " + Deg + "F");
        QCOMPARE(ui.LabXField->isHidden(), axes.isEmpty());
        if (!axes.isEmpty())
            QCOMPARE(
                (QStringList{ui.LabXField->text(), ui.LabYField->text(), ui.LabZField->text()}),
                axes);
        for (int i = 1; i <= 3; ++i)
            QCOMPARE(ui.mnuProbeUnitsOld[i]->isChecked(), i == unitsTicked);
        if (model == "PX-5100") {
            QCOMPARE(ui.mnuProbeRange[4]->text(), QString("Range &4     100 - 316.2 V/m"));
            QCOMPARE(ui.LabRange->text(), QString("Auto 2"));
        }
    }

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
        const window::MainControls& ui = w.ui();
        int& due = w.displayTimers().TextUpdateDue;
        const auto dataPolls = [&] { return int(rig.port.written().count("D2\r")); };

        w.HRTUpDateText().setEnabled(false);
        w.HRTCalSamPerSec().setEnabled(false); // it would read and zero the sample count
        due = 0;
        const std::initializer_list<QLabel*> readouts{ui.LabXYZField, ui.LabXField, ui.LabMaxXYZ,
                                                      ui.LabBarGraph};
        for (QLabel* label : readouts)
            label->setText("-");
        w.cycle().SampleCount = 0;
        w.records().Recording = RecordTable::Logging;
        w.records().RecordCount = 0;
        const int sweep = w.graphControl().SweepIndex;
        const int polls = dataPolls();

        rig.run(2000);
        const int samples = w.cycle().SampleCount;
        const int replies = dataPolls() - polls;
        QVERIFY(samples >= 5);
        QVERIFY(replies >= pollsPerSample * samples && replies <= pollsPerSample * (samples + 1));
        QCOMPARE(w.records().RecordCount, samples);
        QVERIFY(w.graphControl().SweepIndex != sweep);
        for (QLabel* label : readouts)
            QCOMPARE(label->text(), QString("-"));

        w.HRTUpDateText().setEnabled(true);
        QVERIFY(rig.runUntil([&] { return due == 1; }, 1000));
        w.HRTUpDateText().setEnabled(false);
        QVERIFY(rig.runUntil([&] { return due == 0; }, 1000));
        QCOMPARE(ui.LabXYZField->text(), QString("14.49"));
        QCOMPARE(ui.LabXField->text(), threeAxis ? QString("5.000") : QString("-"));
        QVERIFY(ui.LabBarGraph->text().endsWith('%'));
    }

    // One reply handed to a window in service (or identifying): whether it proves the probe is
    // there, and what it shows.
    void singleReply_data() {
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("celsius");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("missCount"); // from 3
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("text");
        QTest::newRow("rejection") << 0 << 0 << QByteArray(":E\r") << 3 << "LabRange"
                                   << "Auto 2";
        QTest::newRow("identifying, acknowledged") << 2 << 0 << QByteArray(":Z\r") << 3 << ""
                                                   << "";
        QTest::newRow("identifying, range") << 2 << 0 << QByteArray(":R3\r") << 0 << "LabRange"
                                            << "Auto 3";
        QTest::newRow("battery") << 0 << 0 << QByteArray(":B 3.80\r") << 0 << "LabBattery"
                                 << "50 %";
        QTest::newRow("battery above full")
            << 0 << 0 << QByteArray(":B 9.99\r") << 0 << "LabBattery"
            << "100 %";
        QTest::newRow("Celsius") << 0 << 1 << QByteArray(":T 7.5 \r") << 0 << "LabTemp"
                                 << "7.5 " + Deg + "C";
        QTest::newRow("Fahrenheit") << 0 << 0 << QByteArray(":T 68  \r") << 0 << "LabTemp"
                                    << "68 " + Deg + "F";
        QTest::newRow("not text") << 0 << 0 << QByteArray("?D\x01\x02\r") << 0 << "sbPanel2"
                                  << "Communication mode Non-ASCII";
    }
    void singleReply() {
        QFETCH(int, state);
        QFETCH(int, celsius);
        QFETCH(QByteArray, reply);
        QFETCH(int, missCount);
        QFETCH(QString, label);
        QFETCH(QString, text);
        kit::WindowRig rig;
        app::frmMain& w = StartOn(rig, "PX-5100");
        w.HRTReadProbe().setEnabled(false); // the test hands the replies over
        w.probe().SetTypeZeta(state);
        w.probe().SetUseCelsiusTemp(celsius);
        w.cycle().MissCount = 3;
        w.cycle().InString = reply;
        w.ProcessData();
        QCOMPARE(w.cycle().MissCount, missCount);
        if (!label.isEmpty()) QCOMPARE(Text(w, label), text);
    }

    void fixedRangeIsTickedInTheMenu() {
        kit::WindowRig rig;
        rig.config.AutoRange = 0;
        app::frmMain& w = StartOn(rig, "PX-5100");
        w.HRTReadProbe().setEnabled(false);
        w.cycle().InString = ":R3\r";
        w.ProcessData();
        QCOMPARE(w.ui().LabRange->text(), QString("Range 3"));
        for (int i = 1; i <= 5; ++i)
            QCOMPARE(w.ui().mnuProbeRange[i]->isChecked(), i == 3);
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
        QFETCH(int, percent);
        QCOMPARE(window::SampleProcessing::BatteryPercentOf(volts, state, model), percent);
    }

    void fifthMissClearsTheDisplay() {
        kit::WindowRig rig;
        app::frmMain& w = StartOn(rig, "PX-5100", true);
        const window::MainControls& ui = w.ui();
        ui.mnuCommBaud[4]->setEnabled(true);
        rig.probe.reset(); // the probe stops answering

        QVERIFY(rig.runUntil([&] { return w.cycle().MissCount == 4; }));
        QCOMPARE(ui.LabXYZField->text(), QString("14.49"));
        QVERIFY(rig.runUntil([&] { return w.cycle().MissCount == 5; }));
        QCOMPARE(ui.LabXYZField->text(), QString("No Probe"));
        QCOMPARE(ui.LabUnits->text(), QString("units"));
        for (QLabel* label : {ui.LabXField, ui.LabZField, ui.LabBattery, ui.LabTemp,
                              static_cast<QLabel*>(ui.LabRange), ui.LabBarGraph, ui.sbPanel[1]})
            QCOMPARE(label->text(), QString());
        for (QWidget* widget : std::initializer_list<QWidget*>{ui.LabXAxis, ui.LabZAxis,
                                                               ui.LabSamRate, ui.LabOverRange})
            QVERIFY(widget->isHidden());
        QVERIFY(!ui.LabBattery->isHidden());
        QCOMPARE(platform::ForeColor(ui.LabZAxis), platform::Colour(0xC0C0C0));
        const QRectF gauge = platform::TwipsGeometry(ui.ShapeBatLevel);
        QCOMPARE(gauge.top(), 1200.0);
        QCOMPARE(gauge.height(), 0.0);
        QCOMPARE(ui.ShapeBatLevel->fillColor(), platform::Colour(0xFFFF00));
        QVERIFY(!ui.mnuCommBaud[4]->isEnabled());
        QVERIFY(ui.mnuCommASCII->isEnabled());
        QCOMPARE(w.probe().LostComm(), 1);
        for (int bar = 0; bar < graph::ClsBarGraph::BarCount; ++bar)
            QCOMPARE(w.barGraph().BarLast(bar), 0.0f);
    }

    // The log table takes rows up to 32000; the last row is stored and the recording stops.
    void logStopsAtTheLastRow() {
        kit::WindowRig rig;
        app::frmMain& w = StartOn(rig, "PX-5100");
        RecordTable& records = w.records();
        records.Recording = RecordTable::Logging;
        records.RecordCount = RecordTable::MaxRecords - 2;
        const float from = float(rig.clock.secondsSinceMidnight() / 86400.0);

        QVERIFY(rig.runUntil([&] { return records.Recording != RecordTable::Logging; }, 2000));
        const float to = float(rig.clock.secondsSinceMidnight() / 86400.0);
        QCOMPARE(records.RecordCount, RecordTable::MaxRecords);
        QCOMPARE(records.Recording, int(RecordTable::Idle));
        QVERIFY(!w.ui().mnuProbeRecord->isChecked());
        const float time = records.At(RecordTable::MaxRecords, 0);
        QVERIFY(time >= from && time <= to);
        QCOMPARE(records.At(RecordTable::MaxRecords, 1), 14.49f);
        QCOMPARE(records.RecordMaxHold[0], 14.49f);
        rig.run(1000);
        QCOMPARE(records.RecordCount, RecordTable::MaxRecords);
    }

    void textUpdateRate_data() {
        QTest::addColumn<int>("asked");
        QTest::addColumn<double>("interval");
        QTest::addColumn<int>("inForce");
        QTest::newRow("3") << 3 << 333.0 << 3;
        QTest::newRow("50") << 50 << 20.0 << 50;
        QTest::newRow("70") << 70 << 14.0 << 70;
        QTest::newRow("71, above the limit") << 71 << 14.0 << 70;
        QTest::newRow("100") << 100 << 14.0 << 70;
        QTest::newRow("0, taken as 1") << 0 << 1000.0 << 1;
    }
    void textUpdateRate() {
        QFETCH(int, asked);
        QFETCH(double, interval);
        QFETCH(int, inForce);
        kit::WindowRig rig;
        app::frmMain& w = rig.start();
        w.HRTUpDateText().setEnabled(false);
        QCOMPARE(w.displayTimers().SetTextUpdateTimer(asked), inForce);
        QCOMPARE(w.displayTimers().TextUpdateRate, inForce);
        QCOMPARE(w.HRTUpDateText().interval(), interval);
        QVERIFY(w.HRTUpDateText().enabled());
    }

    // A period outside the table is refused with a message and leaves the period alone.
    void averagePeriod() {
        kit::WindowRig rig;
        app::frmMain& w = rig.start();
        window::DisplayTimers& timers = w.displayTimers();
        rig.boxes.clear();
        w.config().Exposure = "30 Minute";
        QVERIFY(timers.SetMinuteAverTime());
        QCOMPARE(timers.AveragePeriod, 1800);
        w.config().Exposure = "5 Minute";
        QVERIFY(!timers.SetMinuteAverTime());
        QCOMPARE(timers.AveragePeriod, 1800);
        using Message = platform::RecordingMessageBoxes::Message;
        const QList<Message> expected{
            {platform::MsgIcon::None, "Error in setting minute average."}};
        QCOMPARE(rig.boxes.messages(), expected);
    }
};

QTEST_MAIN(ProcessingTest)
#include "tst_processing.moc"
