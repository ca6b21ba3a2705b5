// The user's commands to the probe on the test doubles: units, ranges, zero, peaks and axes for
// each family, a refused command, and the alarm (its level, its beep and its red readout).
#include "measure/ClsZeta.h"
#include "platform/Controls.h"
#include "tests/support/WindowKit.h"
#include "window/Alarm.h"
#include "window/ProbeControls.h"
#include "window/Recorder.h"

#include <QLabel>
#include <QTest>

namespace {

const QString Sup2(QChar(0xB2));

// What the user's action left queued for the probe ("" for nothing).
QString Queued(app::frmMain& w) {
    const probe::clsProbe& p = w.probe();
    return p.CmndPending() ? QString::fromLatin1(p.PendingCmnd()).trimmed() : QString();
}

} // namespace

class tst_ProbeControls : public QObject {
    Q_OBJECT
    std::unique_ptr<kit::WindowRig> rig;

private Q_SLOTS:
    void init() { rig = std::make_unique<kit::WindowRig>(); }

    // Each action on a field-reporting probe queues its command; units wait while a log runs
    // and the label says why.
    void sigmaCommands_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("logging");
        QTest::addColumn<QString>("queued");
        const auto row = [](const char* model, const char* action, bool logging,
                            const char* queued) {
            QTest::newRow(qPrintable(
                QStringLiteral("%1 %2%3").arg(model, action, logging ? ", logging" : "")))
                << QString(model) << QString(action) << logging << QString(queued);
        };
        row("PX-5100", "units 2", false, "U2");
        row("PX-5100", "units 2", true, "");
        row("PX-5100", "units label", false, "UN");
        row("PX-5100", "units label", true, "");
        row("PX-5100", "range 3", false, "R3");
        row("PX-5100", "zero", false, "Z");
        row("PX-5100", "axis Y", false, "");
        row("E310", "units 2", false, "U2");
        row("E310", "units label", false, ""); // a Kappa probe steps no units from the label
        row("E310", "range 3", false, "R3");
    }
    void sigmaCommands() {
        QFETCH(QString, model);
        QFETCH(QString, action);
        QFETCH(bool, logging);
        app::frmMain& w = rig->startOn(model);
        window::ProbeControls& c = w.probeControls();
        if (logging) w.recorder().ToggleRecordOn();
        rig->run(300);
        QVERIFY(!w.probe().CmndPending());
        if (action == "units 2") c.mnuProbeUnitsOld(2);
        if (action == "units label") c.LabUnits_Click();
        if (action == "range 3") c.mnuProbeRange(3);
        if (action == "zero") c.mnuProbeZero();
        if (action == "axis Y") {
            QString axes = w.probe().GetAxisStr();
            axes[2] = axes[2] == 'E' ? 'D' : 'E';
            c.LabAxis_Click(2);
            QCOMPARE(w.probe().GetAxisStr(), axes);
            return;
        }
        QTEST(Queued(w), "queued");
        QCOMPARE(w.StatusPanel(1) == window::ProbeControls::NotDuringLoggingText,
                 logging && action == "units label");
        if (action == "range 3")
            QCOMPARE((QList<int>{w.probe().AutoRangeOn(),
                                 int(w.ui().probe.mnuProbeRange[3]->isChecked()),
                                 int(w.ui().probe.mnuProbeRange[0]->isChecked())}),
                     (QList<int>{0, 1, 0}));
    }

    // The range label steps through the ranges, then to ranging by the program without a
    // command, then back to the range in use by hand, then on again.
    void theRangeLabelCycles_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QStringList>("seen"); // caption after the click, command, caption later
        // On automatic ranging the program moves to the range that fits the field (2).
        QTest::newRow("PX-5100") << "PX-5100"
                                 << QStringList{"Range 2  Range 2",   "Range 2 RN Range 3",
                                                "Range 3 RN Range 4", "Auto 4  Auto 2",
                                                "Range 2  Range 2",   "Range 2 RN Range 3"};
        // Each click asks for the next range (which the program's ranging then corrects).
        QTest::newRow("PX-2200") << "PX-2200" << QStringList(6, "Auto 2 RN Auto 2");
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
            seen.last() += " " + label->text();
        }
        QTEST(seen, "seen");
    }

    // A probe that changes its units under a log (its own keys, or another probe on the line)
    // ends the log as the user's stop would: every row stays in the log's units.
    void aUnitsChangeUnderALogEndsIt() {
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
    }

    // A range the probe refuses: the menu and the ranging stay as they were, and the status
    // bar says so.
    void aRefusedRangeChangesNothing() {
        app::frmMain& w = rig->startOn("PX-5100");
        const auto ticks = [&w] {
            QList<int> t;
            for (QAction* a : w.ui().probe.mnuProbeRange)
                t << int(a->isChecked());
            return t << w.probe().AutoRangeOn();
        };
        const QList<int> before = ticks();
        w.probeControls().mnuProbeRange(5); // the model has four
        rig->run(600);
        QCOMPARE(ticks(), before);
        QCOMPARE(w.StatusPanel(1), window::ProbeControls::RefusedText.arg("R5"));
        QCOMPARE(w.ui().probe.LabRange->text(), QString("Auto 2"));
    }

    // A Zeta probe's units are the program's: the label, the menus, the computation and the
    // scales follow each choice, and a probe started in the units of the last run reads in them
    // at once.
    void zetaUnits_data() {
        QTest::addColumn<QString>("kept"); // units of the last run
        QTest::newRow("V/m") << "V/m";
        QTest::newRow("mW/cm2") << "mW/cm2";
    }
    void zetaUnits() {
        QFETCH(QString, kept);
        rig->config.ProbeUnits = kept;
        rig->config.ZetaUnitsCode = kept == "V/m" ? 0 : 1;
        app::frmMain& w = rig->startOn("PX-9100", 3000);
        const window::ProbeMenuControls& u = w.ui().probe;
        const auto state = [&] {
            return QStringList{u.LabUnits->text(), QString::number(w.zeta().Units()),
                               QString::number(int(u.mnuProbeUnitsVPM->isChecked())) +
                                   QString::number(int(u.mnuProbeUnitsV2M2->isChecked())) +
                                   QString::number(int(u.mnuProbeUnitsMWPCM->isChecked())),
                               kit::Items(w.ui().graphs.CmbVerticalScale).last()};
        };
        if (kept == "mW/cm2") {
            QCOMPARE(state(), (QStringList{"mW/cm" + Sup2, "1", "001", "Log 0.01m-1000"}));
            QTRY_VERIFY(qAbs(w.ui().readouts.LabXYZField->text().toDouble() - 0.0557) < 0.001);
            return;
        }
        QStringList cycle;
        for (int click = 0; click < 3; ++click) {
            w.probeControls().LabUnits_Click();
            cycle << state().join(' ');
        }
        QCOMPARE(cycle,
                 (QStringList{"(V/m)" + Sup2 + " 2 010 Log 0.01-1M",
                              "mW/cm" + Sup2 + " 1 001 Log 0.01m-1000", "V/m 0 100 Log 0.1-10k"}));
        // Zero takes a reference and lets it go; clearing the peaks waits for the log's end.
        window::ProbeControls& c = w.probeControls();
        c.mnuProbeZero();
        QCOMPARE(u.mnuProbeZero->text(), QString("Clear &Zero"));
        c.mnuProbeZero();
        QCOMPARE(u.mnuProbeZero->text(), QString("&Zero"));
        w.recorder().ToggleRecordOn();
        rig->run(1000);
        const float held = w.zeta().MaxHoldXYZ();
        c.mnuProbeClearPeak();
        QVERIFY(held > 0 && w.zeta().MaxHoldXYZ() == held);
        c.LabUnits_Click();
        QCOMPARE(u.LabUnits->text(), QString("V/m"));
        QCOMPARE(w.StatusPanel(1), window::ProbeControls::NotDuringLoggingText);
        // The same probe found again keeps its reference; another one has none.
        c.mnuProbeZero();
        c.ZetaIdentified(false);
        QCOMPARE(u.mnuProbeZero->text(), QString("Clear &Zero"));
        c.ZetaIdentified(true);
        QCOMPARE(u.mnuProbeZero->text(), QString("&Zero"));
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
