// The whole window on a virtual probe behind a real pseudo-terminal: the real serial port,
// timers and clock, the probe identified and its field shown in the readouts.
#include "bench/WindowBench.h"
#include "files/LogFile.h"
#include "files/LogJournal.h"
#include "measure/ClsZeta.h"
#include "platform/Controls.h"
#include "tests/support/WindowKit.h"
#include "tools/probesim/LineServer.h"
#include "window/LinkControl.h"
#include "window/Readouts.h"
#include "window/Recorder.h"

#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

namespace {

// The window with the real port, timers and clock, on a virtual probe served in this process.
struct RealWindow {
    explicit RealWindow(const QString& model, const QString& sampleRate = QStringLiteral("15"),
                        const probesim::Faults& faults = {})
        : server(probesim::CreateProbe(model, kit::WindowRig::DefaultPlan()), faults),
          started(server.start(QString(), nullptr)), run(server.lineName(), sampleRate),
          window(run.window()) {}
    probesim::LineServer server;
    bool started;
    bench::WindowRun run;
    app::frmMain& window;
};

// A total and its axes as text.
QString Text(const measure::AxisValues& v) {
    return QStringLiteral("%1 %2 %3 %4").arg(v[0]).arg(v[1]).arg(v[2]).arg(v[3]);
}

} // namespace

class tst_WindowProbeLine : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // 5, 8 and 11 V/m: a total of 14.49 V/m. Sigma and Kappa probes report it; Zeta probes
    // report counts that their calibration turns back into it. The Sigma probe then takes
    // units and a range from the window.
    void theReadoutsShowTheVirtualField_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<bool>("axes");
        QTest::addColumn<double>("tolerance");
        QTest::newRow("Sigma read axis by axis") << "PX-5100" << true << 0.0005;
        QTest::newRow("Kappa") << "E310" << false << 0.0005;
        QTest::newRow("Zeta") << "PX-9100" << true << 0.01;
    }
    void theReadoutsShowTheVirtualField() {
        QFETCH(QString, model);
        QFETCH(bool, axes);
        QFETCH(double, tolerance);
        auto near = [tolerance](const QLabel* label, double expected) {
            return qAbs(label->text().toDouble() - expected) <= expected * tolerance;
        };

        RealWindow real(model, QStringLiteral("Max"));
        QVERIFY(real.started);
        app::frmMain& window = real.window;
        const window::MainControls& u = window.ui();
        const window::ReadoutControls& r = u.readouts;
        QTRY_COMPARE_WITH_TIMEOUT(window.probe().GetModel(), model, 20000);
        QTRY_VERIFY2_WITH_TIMEOUT(near(r.LabXYZField, 14.491), qPrintable(r.LabXYZField->text()),
                                  20000);
        QTRY_VERIFY2_WITH_TIMEOUT(near(r.LabMaxXYZ, 14.491), qPrintable(r.LabMaxXYZ->text()), 5000);
        QCOMPARE(r.LabXField->isVisible(), axes);
        if (axes) {
            QTRY_VERIFY_WITH_TIMEOUT(near(r.LabXField, 5.0), 5000);
            QVERIFY2(near(r.LabYField, 8.0), qPrintable(r.LabYField->text()));
            QVERIFY2(near(r.LabZField, 11.0), qPrintable(r.LabZField->text()));
        }
        QCOMPARE(u.probe.LabUnits->text(), QStringLiteral("V/m"));
        QVERIFY(window.StatusPanel(1).contains(model));
        QVERIFY(u.battery.LabTemp->text().startsWith(QStringLiteral("74")));
        // The vertical scale follows the probe: "Auto" where offered, else the present range's.
        const QString scale = u.graphs.CmbVerticalScale->currentText();
        const bool kappa = model == QStringLiteral("E310");
        QVERIFY(!scale.isEmpty() && (!kappa || window.config().GraphScaleStr == scale));
        QCOMPARE(scale, kappa ? window.probe().GetGraphSelection() : QStringLiteral("Auto"));
        if (model == QStringLiteral("PX-5100")) {
            QVERIFY(r.LabBarGraph->text().endsWith('%'));
            QCOMPARE(u.probe.mnuProbeRange[4]->text(), QString("Range &4     100 - 316.2 V/m"));
            QCOMPARE(u.probe.LabRange->text(), QString("Auto 2"));
            for (int i = 1; i <= 3; ++i)
                QCOMPARE(u.probe.mnuProbeUnitsOld[i]->isChecked(), i == 1);
            // Read axis by axis, all three sensors are in use, and the switches say so.
            for (const QLabel* l : {r.LabXAxis, r.LabYAxis, r.LabZAxis})
                QVERIFY(platform::ForeColor(l) != window::Readouts::AxisOffColor);
        }
        QVERIFY(!real.run.boxes().texts().contains(probe::PollingCycle::OpenFailedText));
        // Samples keep coming: the rate shown is that of a live probe.
        QTRY_VERIFY_WITH_TIMEOUT(r.LabSamRate->text().toDouble() > 0, 5000);
        // Nothing the probe cannot report is shown, and every readout shows all its digits.
        QCOMPARE(r.LabBarGraph->isVisible(), model == QStringLiteral("PX-5100"));
        // (a power density's eight characters in the axis readouts among them).
        for (const QLabel* l : {r.LabXYZField, r.LabXField, r.LabMaxXYZ, r.LabMaxX})
            QVERIFY2(QFontMetrics(l->font()).horizontalAdvance(l->text()) <= l->width(),
                     qPrintable(l->objectName() + ": " + l->text()));
        QVERIFY(QFontMetrics(r.LabXField->font()).horizontalAdvance("0.000000") <=
                r.LabXField->width());
        // Without axis readouts the peak box takes the axis box's place.
        QCOMPARE(qRound(platform::TwipsGeometry(u.frame.ShaPeak).left()),
                 axes ? 4740 : qRound(platform::TwipsGeometry(r.ShaMain2).left()));
        if (model != QStringLiteral("PX-5100")) return;
        // Units and range chosen from the window reach the virtual probe, and its answers show:
        // 14.49 V/m is 0.0557 mW/cm² in the probe's second units; range 3 by hand.
        u.probe.mnuProbeUnitsOld[2]->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(u.probe.LabUnits->text(), "mW/cm" + QString(QChar(0xB2)), 5000);
        QTRY_VERIFY2_WITH_TIMEOUT(qAbs(r.LabXYZField->text().toDouble() - 0.0557) < 0.001,
                                  qPrintable(r.LabXYZField->text()), 5000);
        u.probe.mnuProbeRange[3]->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(u.probe.LabRange->text(), QString("Range 3"), 5000);
        QVERIFY(u.probe.mnuProbeRange[3]->isChecked() && !u.probe.mnuProbeRange[0]->isChecked());
    }

    // A Zeta probe switched to 115200 baud streams about 606 records a second for a minute,
    // with both graphs and the readouts on: every record is taken and the readouts hold the
    // field.
    void aMinuteOfStreamingAt115200Baud() {
        RealWindow real(QStringLiteral("PX-9100"));
        QVERIFY(real.started);
        app::frmMain& window = real.window;
        probesim::LineServer& server = real.server;
        QTRY_VERIFY_WITH_TIMEOUT(window.zeta().XYZ() > 14.0f, 30000);

        window.link().mnuCommBaud_Click(5);
        probe::PollingCycle& cycle = window.cycle();
        QTRY_COMPARE_WITH_TIMEOUT(cycle.HighSpeedState(), probe::HighSpeed::Streaming, 5000);
        QCOMPARE(window.StatusPanel(2), QStringLiteral("115.2 kBaud"));
        const qint64 sentBefore = server.recordsStreamed();
        QTest::qWait(60000);
        const qint64 sent = server.recordsStreamed();
        QTest::qWait(100);
        const qint64 taken = cycle.StreamRecordsTotal();
        const qint64 sentSince = server.recordsStreamed();
        qInfo("streamed %lld records in the minute; %lld in all, %lld taken 100 ms later",
              sent - sentBefore, sent, taken);
        QVERIFY2(sent - sentBefore > 60 * 550, "the line's pace: about 606 records a second");
        // Every record streamed is taken within 100 ms, and none twice (the first record of
        // the stream is the answer to the poll that started it).
        QVERIFY2(taken >= sent && taken <= sentSince + 1, "every record is taken, once");
        QCOMPARE(cycle.HighSpeedState(), probe::HighSpeed::Streaming);
        QVERIFY(qAbs(window.ui().readouts.LabXYZField->text().toDouble() - 14.491) < 0.145);
    }

    // One reply in five garbled and one in twenty cut short, from the first reply on, in a constant
    // field of 5, 8 and 11 V/m read axis by axis: every value that reaches the readouts, the
    // graph and the log is the field, and no garbled reply clears a peak hold.
    void aNoisyLineNeverPutsAFalseReadingOnScreen() {
        probesim::Faults faults;
        QVERIFY(faults.add(QStringLiteral("garble:5"), nullptr));
        QVERIFY(faults.add(QStringLiteral("truncate:20"), nullptr));
        RealWindow real(QStringLiteral("PX-5100"), QStringLiteral("Max"), faults);
        QVERIFY(real.started);
        app::frmMain& window = real.window;
        const probe::clsProbe& probe = window.probe();
        QTRY_VERIFY_WITH_TIMEOUT(probe.GetModel() == "PX-5100" && probe.InitState() == 0, 30000);
        kit::RecordingSink tap;
        window.readings().Add(tap);
        window.recorder().ToggleRecordOn(); // a log of total and axes: read axis by axis

        const float field[] = {14.491f, 5.0f, 8.0f, 11.0f};
        const auto isField = [&](const measure::AxisValues& v) {
            for (int a = 0; a < 4; ++a)
                if (qAbs(v[std::size_t(a)] - field[a]) > field[a] * 0.0005f) return false;
            return true;
        };
        // Peaks are looked at every 10 ms once a whole axis cycle was read.
        bool cycleRead = false;
        int peeks = 0;
        QString clearedPeak;
        QTimer peek;
        connect(&peek, &QTimer::timeout, this, [&] {
            if (!cycleRead) return;
            ++peeks;
            const measure::AxisValues peaks{probe.MaxHoldXYZ(), probe.MaxHoldX(), probe.MaxHoldY(),
                                            probe.MaxHoldZ()};
            if (!isField(peaks) && clearedPeak.isEmpty()) clearedPeak = Text(peaks);
        });
        peek.start(10);
        QElapsedTimer ran;
        for (ran.start(); ran.elapsed() < 30000; QTest::qWait(50))
            if (!cycleRead)
                for (const measure::Reading& r : tap.readings)
                    cycleRead = cycleRead || r.axis == 3;
        peek.stop();

        qsizetype checked = 0;
        bool started = false;
        for (const measure::Reading& r : tap.readings) {
            started = started || r.axis == 3;
            if (!started) continue;
            QVERIFY2(isField(r.value), qPrintable(Text(r.value)));
            ++checked;
        }
        // A reply cut short is waited for until its time is up: a second or so each.
        QVERIFY2(checked > 60, qPrintable(QString::number(checked)));
        QVERIFY2(clearedPeak.isEmpty() && peeks > 1000, qPrintable(clearedPeak));
        // The log's rows from the first whole cycle on.
        const measure::RecordTable& log = window.records();
        int row = 1;
        while (row <= log.RecordCount() && qAbs(log.At(row, 1) - field[0]) > 0.01f)
            ++row;
        QVERIFY2(log.RecordCount() - row > 20,
                 qPrintable(QString::number(log.RecordCount() - row)));
        for (; row <= log.RecordCount(); ++row) {
            const measure::AxisValues v{log.At(row, 1), log.At(row, 2), log.At(row, 3),
                                        log.At(row, 4)};
            QVERIFY2(isField(v), qPrintable(QString("row %1: %2").arg(row).arg(Text(v))));
        }
        QCOMPARE(window.ui().probe.LabUnits->text(), QStringLiteral("V/m"));
        QVERIFY(qAbs(window.ui().readouts.LabXYZField->text().toDouble() - 14.491) < 0.01);
        QVERIFY(real.run.boxes().texts().isEmpty());
        QVERIFY(probe.RefusedReplies() > 20);
        // The status bar tells how the line serves.
        const QLabel* line = window.ui().link.sbLineHealth;
        const QRegularExpression tip("good, [0-9]+ late, [0-9]+ split, [1-9][0-9]* missing, "
                                     "[1-9][0-9]* garbled");
        QVERIFY2(QRegularExpression("^Line [0-9]+ %$").match(line->text()).hasMatch() &&
                     tip.match(line->toolTip()).hasMatch(),
                 qPrintable(line->text() + " / " + line->toolTip()));
    }

    // The help and the version are printed where there is no display at all.
    void helpAndVersionNeedNoDisplay_data() {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("begins");
        QTest::newRow("help") << "--help" << QString("Usage: ");
        QTest::newRow("version") << "--version" << QString("Varnex " VARNEX_VERSION);
    }
    void helpAndVersionNeedNoDisplay() {
        QFETCH(QString, option);
        QProcess varnex;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        varnex.setProcessEnvironment(env);
        varnex.start(QCoreApplication::applicationDirPath() + "/varnex", {option});
        QVERIFY(varnex.waitForFinished(20000));
        QCOMPARE(varnex.exitStatus(), QProcess::NormalExit);
        QCOMPARE(varnex.exitCode(), 0);
        QFETCH(QString, begins);
        const QString out = QString::fromLocal8Bit(varnex.readAllStandardOutput());
        QVERIFY2(out.startsWith(begins), qPrintable(out));
    }

    // The program killed while it logs (a crash, a power cut): the next start offers the log
    // back with every row up to about 100 ms before the kill, and Save As writes them.
    void aKilledLogComesBack() {
#ifndef Q_OS_UNIX
        QSKIP("needs a kill that gives the program no say");
#endif
        QTemporaryDir home;
        files::Config fast(home.path());
        fast.SampleRate = "Max";
        fast.Multiplex = false; // one row a reply
        files::SaveCfg(home.filePath("Varnex.cfg"), fast);
        QProcess varnex;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_DATA_HOME", home.filePath("data"));
        varnex.setProcessEnvironment(env);
        varnex.setProcessChannelMode(QProcess::ForwardedChannels);
        varnex.start(QCoreApplication::applicationDirPath() + "/varnex",
                     {"--simulate", "PX-5100", "--record", "--settings-folder", home.path()});
        QVERIFY2(varnex.waitForStarted(), qPrintable(varnex.errorString()));
        QString journal;
        auto rowsWritten = [&] {
            if (journal.isEmpty()) {
                QDirIterator it(home.filePath("data"), {files::LogJournal::FileName}, QDir::Files,
                                QDirIterator::Subdirectories);
                if (!it.hasNext()) return 0;
                journal = it.next();
            }
            QFile f(journal);
            return f.open(QIODevice::ReadOnly) ? int(f.readAll().count('\n')) - 1 : 0;
        };
        QTRY_VERIFY_WITH_TIMEOUT(rowsWritten() >= 50, 30000);
        QTest::qWait(700); // the kill comes at no particular moment of the journal's writing
        varnex.kill();
        const int killedMs = QTime::currentTime().msecsSinceStartOfDay();
        QVERIFY(varnex.waitForFinished());

        kit::WindowRig rig;
        QVERIFY(QFile::copy(journal, rig.dir.filePath(files::LogJournal::FileName)));
        rig.boxes.queueAnswer(true);
        app::frmMain& w = rig.start();
        QVERIFY(rig.boxes.texts().value(0).startsWith("A log of "));
        const measure::RecordTable& t = w.records();
        QVERIFY(t.RecordCount() >= 50);
        const int n = t.RecordCount();
        const auto msOf = [&t](int row) { return double(t.At(row, 0)) * 86400000.0; };
        const double gap = (msOf(n) - msOf(1)) / (n - 1);
        // Times are kept as single-precision fractions of a day (about 5 ms apart at noon): the
        // last row may read a few ms after the kill.
        const double lostMs = std::remainder(killedMs - msOf(n), 86400000.0);
        qInfo("%d rows, one each %.0f ms; the last %.0f ms before the kill", n, gap, lostMs);
        QVERIFY2(lostMs <= gap + 150 && lostMs > -10,
                 "the rows of the last 100 ms at most are lost");
        QCOMPARE(QStringList({t.RecordUnits(), t.ProbeType()}), QStringList({"V/m", "PX-5100"}));

        rig.dialogs.queueFile(rig.dir.filePath("survey.csv"));
        w.ui().record.mnuFileSaveAs->trigger();
        QFile saved(rig.dir.filePath("survey.csv"));
        QVERIFY(saved.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = saved.readAll().split('\n');
        qsizetype heading = 0;
        while (heading < lines.size() && !lines[heading].startsWith("Time ,Field "))
            ++heading;
        QVERIFY(heading < lines.size());
        QCOMPARE(lines.size() - heading - 2, n);
        QCOMPARE(lines[heading + 1].left(9), files::FormatTimeStr(t.At(1, 0)).toLatin1() + ',');
    }
};

QTEST_MAIN(tst_WindowProbeLine)
#include "tst_window_probeline.moc"
