// The user's commands to the probe on the test doubles: units, ranges, zero, peaks, axes,
// battery and temperature, the link mode, and the alarm (its level, beep and red readout).
#include "measure/ClsZeta.h"
#include "platform/Controls.h"
#include "tests/support/WindowKit.h"
#include "window/Alarm.h"
#include "window/BarGraphControl.h"
#include "window/GraphControl.h"
#include "window/ProbeControls.h"
#include "window/Recorder.h"

#include <QLabel>
#include <QTest>

using window::ProbeControls;

namespace {

const QString Sup2(QChar(0xB2));

// What the user's action left queued for the probe ("" for nothing).
QString Queued(app::frmMain& w) {
    const probe::clsProbe& p = w.probe();
    return p.CmndPending() ? QString::fromLatin1(p.PendingCmnd()).trimmed() : QString();
}

// The range label, the range entries ticked (automatic, 1..5) and the automatic ranging.
QString Ranging(app::frmMain& w) {
    QString ticks;
    for (const QAction* a : w.ui().probe.mnuProbeRange)
        ticks += a->isChecked() ? u'1' : u'0';
    return QStringLiteral("%1 %2 %3")
        .arg(w.ui().probe.LabRange->text(), ticks)
        .arg(w.probe().AutoRangeOn());
}

} // namespace

class tst_ProbeControls : public QObject {
    Q_OBJECT
    std::unique_ptr<kit::WindowRig> rig;

private Q_SLOTS:
    void init() { rig = std::make_unique<kit::WindowRig>(); }

    // Each command (the row's name: model, the entry or label used, and whether a log runs)
    // queues its command for the probe in service (the engine suite checks the wire and what
    // follows); units wait while a log runs, and the label says why. Once the probe has
    // answered: the status bar, the range menu and the ranging (a range the model lacks is
    // refused and leaves them as they were).
    void commands_data() {
        QTest::addColumn<QString>("queued");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("ranging"); // as asked | answered; "": not looked at
        const auto row = [](const char* tag, const char* queued, const QString& status = {},
                            const char* ranging = "") {
            QTest::newRow(tag) << QString(queued) << status << QString(ranging);
        };
        row("PX-5100 mnuProbeUnitsOld2", "U2");
        row("PX-5100 mnuProbeUnitsOld2 logging", "");
        row("PX-5100 LabUnits", "UN");
        row("PX-5100 LabUnits logging", "", ProbeControls::NotDuringLoggingText);
        row("PX-5100 mnuProbeRange3", "R3", {}, "Auto 2 000100 0 | Range 3 000100 0");
        row("PX-5100 mnuProbeRange5", "R5", ProbeControls::RefusedText.arg("R5"),
            "Auto 2 000001 0 | Auto 2 100000 1");
        row("PX-5100 mnuProbeZero", "Z");
        row("PX-5100 LabYAxis", "");
        row("PX-5100 mnuCommARM", "P1");
        row("PX-5100 mnuCommASCII", "P2");
        row("E310 LabUnits", ""); // Kappa: no units from the label
        row("PX-9100 mnuProbeUpdateNow", "TF");
        row("PX-9100 LabTempLab", "TF"); // in Fahrenheit still
        row("PX-9100 mnuProbeTempCels", "TC");
    }
    void commands() {
        const QStringList tag = QString(QTest::currentDataTag()).split(' ');
        QFETCH(QString, status);
        QFETCH(QString, ranging);
        app::frmMain& w = rig->startOn(tag[0], 3000); // past the requests after identification
        if (tag.size() > 2) w.recorder().ToggleRecordOn();
        rig->run(300);
        QVERIFY(!w.probe().CmndPending());
        QString axes = w.probe().GetAxisStr(); // Y toggled by its label, and only by it
        if (tag[1] == "LabYAxis") axes[2] = axes[2] == 'E' ? 'D' : 'E';
        kit::Use(w, tag[1]);
        QCOMPARE(w.probe().GetAxisStr(), axes);
        QTEST(Queued(w), "queued");
        const QString asked = Ranging(w);
        rig->run(600);
        QCOMPARE(w.StatusPanel(1), status.isEmpty() ? "Found probe type: " + tag[0] : status);
        if (!ranging.isEmpty()) QCOMPARE(asked + " | " + Ranging(w), ranging);
    }

    // The range label steps through the ranges, then to ranging by the program without a
    // command, then back to the range in use by hand, then on again.
    void theRangeLabelCycles_data() {
        QTest::addColumn<QString>("model");
        // Caption after the click, command, then the ranging once the probe has answered: the
        // menu always shows one choice, the one the label shows.
        QTest::addColumn<QStringList>("seen");
        // On automatic ranging the program moves to the range that fits the field (2).
        // The scale is the range's, and the model's log scale on automatic ranging.
        QTest::newRow("PX-5100") << "PX-5100" << QStringList{"Range 2  Range 2 001000 0 0-35",
                                                             "Range 2 RN Range 3 000100 0 0-100",
                                                             "Range 3 RN Range 4 000010 0 0-350",
                                                             "Auto 4  Auto 2 100000 1 Log 0.1-1000",
                                                             "Range 2  Range 2 001000 0 0-35",
                                                             "Range 2 RN Range 3 000100 0 0-100"};
        // Each click asks for the next range (which the program's ranging then corrects).
        QTest::newRow("PX-2200") << "PX-2200"
                                 << QStringList(6, "Auto 2 RN Auto 2 100000 1 Log 0.1-100k");
    }
    void theRangeLabelCycles() {
        QFETCH(QString, model);
        app::frmMain& w = rig->startOn(model);
        QLabel* label = w.ui().probe.LabRange;
        QStringList seen;
        for (int click = 0; click < 6; ++click) {
            w.probeControls().LabRange_Click();
            seen << label->text() + " " + Queued(w);
            rig->run(600);
            // The graph and the bars are drawn on the scale of what the label shows.
            const QString scale = w.graphControl().LastScaleStr();
            QCOMPARE(w.barControl().BarScaleStr(), scale);
            seen.last() += " " + Ranging(w) + " " + scale;
        }
        QTEST(seen, "seen");
    }

    // A probe that changes its units under a log (its own keys, or another probe on the line)
    // ends the log as the user's stop would: every row stays in the log's units. The bars'
    // peaks, like the readouts' peaks, start again in new units: back in V/m they stand no
    // higher than the probe's own peak.
    void aUnitsChangeEndsTheLogAndThePeaks() {
        app::frmMain& w = rig->startOn("PX-5100");
        w.recorder().ToggleRecordOn();
        rig->run(1000);
        const measure::RecordTable& log = w.records();
        QCOMPARE(log.RecordUnits(), QString("V/m"));
        QVERIFY(log.RecordCount() > 3);
        w.engine().RequestUnits(2);
        rig->run(1500);
        QCOMPARE(log.Recording(), measure::RecordTable::Idle);
        QCOMPARE(log.RecordUnits(), QString("V/m"));
        QCOMPARE(w.StatusPanel(1),
                 window::Recorder::UnitsChangedText.arg(w.engine().UnitsText(), "V/m"));
        QVERIFY(w.engine().UnitsText() != "V/m");

        w.engine().RequestUnits(1);
        rig->run(1500);
        QCOMPARE(w.engine().UnitsText(), QString("V/m"));
        const float probePeak = w.probe().MaxHoldXYZ();
        QVERIFY(probePeak > 0);
        QVERIFY2(w.barGraph().BarPeak(graph::ClsBarGraph::BarTotal) <= probePeak * 1.001f,
                 qPrintable(QString::number(w.barGraph().BarPeak(graph::ClsBarGraph::BarTotal))));
    }

    // A Zeta probe's units are the program's: a probe started in the units of the last run
    // reads in them at once, and the label, the menus, the computation and the scales follow
    // each choice.
    void zetaUnits() {
        rig->config.ProbeUnits = "mW/cm2";
        rig->config.ZetaUnitsCode = 1;
        app::frmMain& w = rig->startOn("PX-9100", 3000);
        const window::ProbeMenuControls& u = w.ui().probe;
        ProbeControls& c = w.probeControls();
        QVERIFY(rig->runUntil([&] { // 14.49 V/m
            return qAbs(w.ui().readouts.LabXYZField->text().toDouble() - 0.0557) < 0.001;
        }));
        QStringList seen;
        for (int click = 0; click < 4; ++click) {
            if (click > 0) c.LabUnits_Click();
            seen << QStringList{u.LabUnits->text(), QString::number(w.zeta().Units()),
                                kit::Flags(
                                    {u.mnuProbeUnitsVPM, u.mnuProbeUnitsV2M2, u.mnuProbeUnitsMWPCM},
                                    &QAction::isChecked),
                                kit::Items(w.ui().graphs.CmbVerticalScale).last()}
                        .join(' ');
        }
        const QString mw = "mW/cm" + Sup2 + " 1 001 Log 0.01m-1000";
        QCOMPARE(seen, (QStringList{mw, "V/m 0 100 Log 0.1-10k",
                                    "(V/m)" + Sup2 + " 2 010 Log 0.01-1M", mw}));
        // Zero takes a reference and lets it go; a Zeta probe found again keeps it, another one
        // has none. Clearing the peaks and the units wait for the log's end.
        QStringList zero;
        for (int found : {0, 0, 0, 1, 2}) {
            if (found == 0) c.mnuProbeZero();
            if (found > 0) c.ZetaIdentified(found == 2);
            zero << u.mnuProbeZero->text();
        }
        QCOMPARE(zero,
                 (QStringList{"Clear &Zero", "&Zero", "Clear &Zero", "Clear &Zero", "&Zero"}));
        w.recorder().ToggleRecordOn();
        rig->run(1000);
        const float held = w.zeta().MaxHoldXYZ();
        c.mnuProbeClearPeak();
        QVERIFY(held > 0 && w.zeta().MaxHoldXYZ() == held);
        c.LabUnits_Click();
        QCOMPARE(u.LabUnits->text(), "mW/cm" + Sup2);
        QCOMPARE(w.StatusPanel(1), ProbeControls::NotDuringLoggingText);
    }

    // A level is a finite number above zero, with "." or the language's decimal sign; a new
    // level asks whether to switch the alarm on and marks the graph.
    void alarmLevel_data() {
        QTest::addColumn<QString>("typed"); // "-": cancelled
        QTest::addColumn<float>("level");   // 0: not taken
        for (const char* bad : {"abc", "0", "-1", "inf", "nan", "", "-"})
            QTest::newRow(bad) << QString(bad) << 0.0f;
        QTest::newRow("0.5") << "0.5" << 0.5f;
        QTest::newRow("0,5 in German") << "0,5" << 0.5f;
    }
    void alarmLevel() {
        QFETCH(QString, typed);
        QFETCH(float, level);
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        app::frmMain& w = rig->start();
        rig->dialogs.queueInput(typed == "-" ? std::nullopt : std::optional<QString>(typed));
        rig->boxes.queueAnswer(true);
        w.ui().probe.mnuprobeAlarmSet->trigger();
        QLocale::setDefault(QLocale::c());
        const bool taken = level > 0;
        QCOMPARE(w.config().AlarmValue, taken ? level : 25.0f);
        QCOMPARE(rig->boxes.texts(), taken ? QStringList{"Enable alarm now?"} : QStringList{});
        QCOMPARE(w.alarm().AlarmOn(), taken);
        QCOMPARE(w.ui().probe.mnuprobeAlarmSet->text(),
                 window::Alarm::CaptionText + (taken ? "0.5" : "25"));
        QCOMPARE(w.graph().Mark1(), taken ? 0.5f : 25.0f);
    }

    // Above the level: a beep each tick and a red total with the level in its tooltip; at the
    // level, below it, switched off or with the probe lost: quiet and as before.
    void theAlarmIsHeardAndSeen() {
        app::frmMain& w = rig->start();
        window::Alarm& a = w.alarm();
        w.ui().probe.mnuprobeAlarm->trigger();
        QVERIFY(a.AlarmOn());
        QLabel* total = w.ui().readouts.LabXYZField;
        const platform::Colour normal = platform::ForeColor(total);
        QStringList seen;
        for (const auto& [value, lost] : std::initializer_list<std::pair<float, bool>>{
                 {25, false}, {26, false}, {26, false}, {26, true}, {24, false}}) {
            a.CheckAlarm(value, lost);
            seen << QStringLiteral("%1 %2 %3")
                        .arg(rig->beeper.beeps)
                        .arg(platform::ForeColor(total) == normal ? "normal" : "red")
                        .arg(total->toolTip());
        }
        QCOMPARE(seen,
                 (QStringList{"0 normal ", "1 red Above the alarm level of 25",
                              "2 red Above the alarm level of 25", "2 normal ", "2 normal "}));
        a.CheckAlarm(26, false);
        w.ui().probe.mnuprobeAlarm->trigger(); // off
        QCOMPARE(platform::ForeColor(total), normal);
        a.CheckAlarm(26, false);
        QCOMPARE(rig->beeper.beeps, 3);
    }
};

QTEST_MAIN(tst_ProbeControls)
#include "tst_probecontrols.moc"
