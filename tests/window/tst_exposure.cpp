// The moving average of the exposure log on the manual clock, and the window logging the virtual
// probe's field through it; the field against the exposure limit.
#include "measure/RecordTable.h"
#include "platform/Controls.h"
#include "tests/support/WindowKit.h"
#include "window/Exposure.h"
#include "window/LimitMonitor.h"
#include "window/Recorder.h"

#include <QTest>

using measure::RecordTable;
using window::Exposure;

namespace {

// A reading of the total; its axes and peaks are told apart from the average.
measure::Reading Total(float total) {
    measure::Reading r;
    r.value = {total, 1.5f, 2.5f, 3.5f};
    r.peak = {total + 1, 2, 3, 4};
    return r;
}

// The average and the elapsed time the panel shows.
QString Shown(app::frmMain& w) {
    return w.ui().exposure.LabExposure->text() + u' ' + w.ui().exposure.LabElasedTime->text();
}

} // namespace

class ExposureTest : public QObject {
    Q_OBJECT
    std::unique_ptr<kit::WindowRig> rig; // a new one for each test

    // A moving-average log of the period started on the built window, the total given.
    Exposure& startLog(app::frmMain& w, const QString& period, float total) {
        Exposure& e = w.exposure();
        e.SetMinuteAverTime(period);
        e.TakeReading(Total(total));
        w.ui().exposure.mnuViewExposure->trigger(); // the frame shown, as the user shows it
        w.recorder().ToggleRecordOn();
        return e;
    }
    void seconds(int n) { rig->clock.advance(n * 1000.0); }

private Q_SLOTS:
    void init() { rig = std::make_unique<kit::WindowRig>(); }

    // The missing seconds of the first window count as 0: the average climbs to the total.
    // Each second is a row of time, total and average; the end of the window beeps once.
    void aConstantFiveFillsTenSeconds() {
        app::frmMain& w = rig->build();
        Exposure& e = startLog(w, "10 Second", 5);
        QCOMPARE(w.ui().exposure.LabMinAver->text(), QString("Elasped Time"));
        QStringList shown;
        for (int i = 0; i < 11; ++i) {
            seconds(1);
            shown << Shown(w).section(u' ', 0, 0);
        }
        QCOMPARE(shown, (QStringList{"0.5000", "1.000", "1.500", "2.000", "2.500", "3.000", "3.500",
                                     "4.000", "4.500", "5.000", "5.000"}));
        QCOMPARE(Shown(w), QString("5.000 0.00.11"));
        QVERIFY(rig->beeper.beeps == 1 && e.PeriodDone());
        const RecordTable& t = w.records();
        QCOMPARE(t.Recording(), RecordTable::ExposureLogging);
        QCOMPARE(t.RecordCount(), 11);
        QCOMPARE(t.RecordColumns(), RecordTable::Layout::MovingAverage);
        QCOMPARE(t.At(1, 0), float(36001 / 86400.0)); // 10:00:01
        QCOMPARE((QList<float>{t.At(1, 1), t.At(1, 2), t.At(1, 3), t.At(1, 4), t.At(10, 1),
                               t.At(10, 2), t.At(10, 3), t.At(10, 4)}),
                 (QList<float>{5, 0.5f, 0, 0, 5, 5, 0, 0}));
        QCOMPARE(t.RecordMaxHold(), Total(5).peak);
    }

    // Four significant digits, chosen by the value (0.99999 rounds up in the 4-decimal form).
    void displayFormats() {
        const std::tuple<double, const char*, int, const char*> rows[] = {
            {0.5, "0.5000", 0, "0.00.00"},          {5.0, "5.000", 59, "0.00.59"},
            {50.0, "50.00", 3909, "1.05.09"},       {500.0, "500.0", 86399, "23.59.59"},
            {0.99999, "1.0000", 90000, "25.00.00"}, {9.9999, "10.000", 600, "0.10.00"}};
        for (const auto& [average, averageText, elapsed, elapsedText] : rows) {
            QCOMPARE(Exposure::AverageText(average), QString(averageText));
            QCOMPARE(Exposure::ElapsedText(elapsed), QString(elapsedText));
        }
    }

    // Ticks while the probe does not answer change neither the average nor the time counted,
    // and they are not taken for ticks behind real time.
    void aSilentProbeFreezesTheAverage() {
        app::frmMain& w = rig->build();
        Exposure& e = startLog(w, "10 Second", 5);
        seconds(1);
        w.cycle().ReadProbeTick(); // asks the probe, which does not answer: the second tick
        rig->clock.advance(probe::PollingCycle::ReplyTimeoutMs + 100); // still counts, and
        w.cycle().ReadProbeTick(); // then the reply's time is up: a miss
        QCOMPARE(w.cycle().MissCount(), 1);
        seconds(5);
        QCOMPARE(Shown(w), QString("1.000 0.00.02"));
        QCOMPARE((QList<int>{e.ExposureElapsed(), w.records().RecordCount()}), (QList<int>{2, 2}));
        QCOMPARE(w.HRTMinAve().interval(), Exposure::TickMs);
    }

    // Ticks at the moments given (ms after the one before): a count more than a tenth of a
    // second behind real time speeds the tick up, one ahead slows it down, and a trim the
    // other way first goes back to the plain second.
    void clockTrim_data() {
        QTest::addColumn<QList<int>>("gaps");
        QTest::addColumn<double>("interval");
        QTest::addColumn<int>("trim");
        QTest::newRow("on time") << QList<int>{1000, 1000, 1000} << 1000.0 << 0;
        QTest::newRow("within a tenth") << QList<int>{1000, 1090} << 1000.0 << 0;
        QTest::newRow("held up") << QList<int>{1000, 1500} << 980.0 << 1;
        QTest::newRow("hurried") << QList<int>{1000, 0} << 1020.0 << 2;
        QTest::newRow("held up after hurried") << QList<int>{1000, 0, 2500} << 1000.0 << 0;
        QTest::newRow("hurried after held up") << QList<int>{1000, 1500, 0} << 1000.0 << 0;
    }
    void clockTrim() {
        QFETCH(QList<int>, gaps);
        app::frmMain& w = rig->build();
        Exposure& e = startLog(w, "1 Minute", 5);
        for (int gap : gaps) {
            rig->clock.delay(gap);
            e.HRTMinAve_Timer();
        }
        QTEST(w.HRTMinAve().interval(), "interval");
        QTEST(int(e.Trim()), "trim");
    }

    // Periodic logging: the log pauses with the beep at the end of its window and starts a new
    // window the interval after the last one began, also when that is past midnight.
    void periodicLogging_data() {
        QTest::addColumn<QTime>("start");
        QTest::addColumn<QString>("period");
        QTest::addColumn<int>("minutes");
        QTest::newRow("one minute every two") << QTime(10, 0) << "1 Minute" << 2;
        QTest::newRow("past midnight") << QTime(23, 30) << "6 Minute" << 60;
    }
    void periodicLogging() {
        QFETCH(QTime, start);
        QFETCH(QString, period);
        QFETCH(int, minutes);
        rig->clock.setNow(QDateTime(QDate(2024, 3, 14), start));
        app::frmMain& w = rig->build();
        w.config().PeriodicIntervalEnabled = 1;
        w.config().PeriodicInterval = minutes;
        Exposure& e = startLog(w, period, 5);
        const int window = e.AveragePeriod();
        // The log's state, the beeps and the rows.
        const auto state = [&] {
            return QList<int>{int(w.records().Recording()), rig->beeper.beeps,
                              w.records().RecordCount()};
        };
        seconds(window - 1);
        QCOMPARE(state(), (QList<int>{RecordTable::ExposureLogging, 0, window - 1}));
        seconds(1);
        QCOMPARE(state(), (QList<int>{RecordTable::ExposurePaused, 1, window}));
        QCOMPARE(w.ui().record.LabRecord->text(), QString(" Pause"));
        seconds(minutes * 60 - window - 1);
        QCOMPARE(state(), (QList<int>{RecordTable::ExposurePaused, 1, window}));
        seconds(1);
        QCOMPARE(state(), (QList<int>{RecordTable::ExposureLogging, 1, window}));
        QCOMPARE(rig->clock.now().time(), start.addSecs(minutes * 60));
        // A new window from empty; the rows follow the earlier ones, and midnight has not
        // disturbed the tick.
        seconds(1);
        QCOMPARE(Shown(w), Exposure::AverageText(5.0 / window) + " 0.00.01");
        QCOMPARE(w.records().RecordCount(), window + 1);
        QCOMPARE(w.HRTMinAve().interval(), Exposure::TickMs);
    }

    // A new period in a running log starts a new window; the same period leaves it running.
    void periodChangedWhileLogging_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("to");
        QTest::addColumn<QString>("shown");
        const char* const rows[][4] = {{"shorter", "30 Second", "10 Second", "0.5000 0.00.01"},
                                       {"longer", "10 Second", "1 Minute", "0.0833 0.00.01"},
                                       {"the same", "10 Second", "10 Second", "5.000 0.00.11"}};
        for (const auto& r : rows)
            QTest::newRow(r[0]) << QString(r[1]) << QString(r[2]) << QString(r[3]);
    }
    void periodChangedWhileLogging() {
        QFETCH(QString, from);
        QFETCH(QString, to);
        app::frmMain& w = rig->build();
        Exposure& e = startLog(w, from, 5);
        seconds(e.AveragePeriod());
        QCOMPARE(Shown(w).section(u' ', 0, 0), QString("5.000"));
        QVERIFY(e.SetMinuteAverTime(to));
        QCOMPARE(w.config().Exposure, to);
        seconds(1);
        QTEST(Shown(w), "shown");
    }

    // A day of a changing field, then one window of a constant 5: the running sum has kept
    // nothing of the day. (The rows are erased as the log goes, as the user may.)
    void aDayOfTicksLeavesNoDrift() {
        app::frmMain& w = rig->build();
        w.records().SetJournal(nullptr);
        Exposure& e = startLog(w, "10 Second", 0);
        for (int i = 0; i < 86400; ++i) {
            if (i % 30000 == 0) w.records().SetRecordCount(0);
            e.TakeReading(Total(1.3f + 0.7f * float(i % 97)));
            seconds(1);
        }
        e.TakeReading(Total(5));
        seconds(10);
        QCOMPARE(e.Average(), 5.0);
        QCOMPARE(Shown(w), QString("5.000 24.00.10"));
    }

    // The whole window: the probe's readings reach the average, the log started with the
    // panel shown is a moving-average log, and its end stops the tick.
    void theWindowLogsTheProbesAverage() {
        rig->config.ExposureFrame = true;
        rig->config.Exposure = "10 Second";
        app::frmMain& w = rig->startOn("PX-5100", 1500);
        const window::ExposureControls& u = w.ui().exposure;
        QVERIFY(u.ShaExposure->isVisible());
        QVERIFY(qAbs(platform::TwipsGeometry(u.ShaExposure).width() - 1660) <=
                platform::TwipsPerPixel(&w));
        w.ui().record.mnuProbeRecord->trigger();
        rig->run(10000);
        QCOMPARE(w.records().RecordCount(), 10);
        QCOMPARE(u.LabExposure->text(), QString("14.49"));
        QCOMPARE(qRound(w.records().At(10, 1) * 100), 1449);
        w.ui().record.mnuProbeRecord->trigger();
        QCOMPARE(w.records().Recording(), RecordTable::Idle);
        QVERIFY(!w.HRTMinAve().enabled());
    }

    // The virtual probe's 14.49 V/m against ICNIRP 2020's 41.25 V/m for the public at 900 MHz:
    // 12.3 % of the limit, and as much averaged. A warning at 10 % turns the panel amber, names
    // itself in the status bar (in a panel of its own, whatever else is told) and beeps once; the
    // log running keeps the limit and the event, as it begins and as it ends when the warning level
    // is raised above the share.
    void theLimitIsWatched() {
        app::frmMain& w = rig->startOn("PX-5100", 1500);
        const window::LimitControls& u = w.ui().limit;
        const platform::Colour normal = platform::ForeColor(u.LabLimit);
        files::LimitSettings s;
        s.choice = {measure::LimitStandard::Icnirp2020, measure::Population::General, 900, false};
        s.levels.warningPercent = 10;
        const int beeps = rig->beeper.beeps;
        w.ui().record.mnuProbeRecord->trigger();
        w.limit().SetSettings(s);
        rig->run(3000);
        QCOMPARE((QStringList{u.LabLimit->text(), u.LabLimitAvg->text(), u.LabLimitAvgLab->text(),
                              u.LabLimitCovered->text()}),
                 (QStringList{"12.3 %", "12.3 %", "% of limit (30 min)", "over 0:03 of 30:00"}));
        QCOMPARE(platform::ForeColor(u.LabLimit), window::LimitMonitor::Amber);
        const QString limit = "ICNIRP 2020, general public, 900 MHz";
        const QString named = window::LimitMonitor::LevelText.arg("Warning", "12.3 %", limit);
        QCOMPARE(w.StatusPanel(1), named);
        // Its own panel keeps naming it whatever the message panel shows next.
        w.SetStatusPanel(1, "Saved 3 data points.");
        rig->run(4000);
        QCOMPARE(u.sbLimit->text(), QString("WARNING"));
        QVERIFY(u.sbLimit->isVisibleTo(&w));
        QVERIFY(u.LabLimit->toolTip().contains("E/E lim = 0.351\nLimit: 41.25 V/m"));
        QCOMPARE(rig->beeper.beeps, beeps + 1);
        const measure::RecordTable& log = w.records();
        QCOMPARE(log.LimitName(), limit);
        QCOMPARE(log.Events().size(), std::size_t(1));
        QCOMPARE(log.Events()[0].endMs, 0);

        s.levels.warningPercent = 50;
        w.limit().SetSettings(s);
        rig->run(500);
        QCOMPARE(w.StatusPanel(1), window::LimitMonitor::BelowText);
        QVERIFY(!u.sbLimit->isVisibleTo(&w));
        QCOMPARE(platform::ForeColor(u.LabLimit), normal);
        QVERIFY(log.Events()[0].endMs >= log.Events()[0].startMs + 6500);
        QCOMPARE(qRound(log.Events()[0].peakPercent * 10), 123);
    }

    // A current probe's reading has no limit: the panel says so, and no level is reached.
    void aCurrentProbeHasNoLimit() {
        app::frmMain& w = rig->startOn("PX-2100", 1500);
        const window::LimitControls& u = w.ui().limit;
        QCOMPARE(u.LabLimit->text(), window::LimitMonitor::NoLimitText);
        QVERIFY(u.LabLimit->toolTip().contains("has no exposure limit"));
        QCOMPARE(w.limit().Shown(), measure::ExposureLevel::None);
    }
};

QTEST_MAIN(ExposureTest)
#include "tst_exposure.moc"
