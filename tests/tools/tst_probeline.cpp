// The virtual probe end to end: the host's real serial port on the pseudo-terminal (or the
// in-process link), the polling cycle and the probe session, against the virtual probe of every
// family, with the line misbehaving in every way the virtual probe can.
#include "probe/ModelTables.h"
#include "tests/support/ProbeLine.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#endif

using namespace kit;

class ProbeLineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The logger offers the program's models for --simulate: each must have a virtual probe.
    void theVirtualProbeServesEveryKnownModel() {
        QStringList known = probe::KnownModels(), served = probesim::Models();
        known.sort();
        served.sort();
        QCOMPARE(served, known);
    }

    // Every model is found and read. A Sigma probe reports the range it is in, a Kappa probe
    // waits after its second identification, a Zeta probe's calibration reply arrives whole
    // (it is handed on only then) and its samples follow.
    void everyModelIsIdentified_data() {
        QTest::addColumn<QString>("model");
        for (const QString& model : probesim::Models())
            QTest::newRow(qPrintable(model)) << model;
    }
    void everyModelIsIdentified() {
        QFETCH(QString, model);
        const QString family = probesim::CreateProbe(model, {})->family();
        Line line(model);
        line.host.autoNextAnswer = "TF\r"; // a Zeta probe's calibration was read
        QVERIFY2(line.inService(), qPrintable(line.s.GetModel()));
        const qsizetype mark = line.view.readings.size();
        QTRY_VERIFY_WITH_TIMEOUT(line.dataSince(mark).size() >= (family == "Sigma" ? 5 : 1), 5000);
        QVERIFY(line.boxes.messages().isEmpty());
        QVERIFY(line.host.messages.isEmpty());
        if (family == "Zeta") {
            QCOMPARE(line.host.autoNextCalls.value(0), QByteArray(":M0"));
            QCOMPARE(line.dataSince(mark).last().size(), 19);
            return;
        }
        QVERIFY(!line.s.UnitsStr().isEmpty());
        if (family == "Kappa") {
            QCOMPARE(line.host.delays, QList<double>{1500});
            QCOMPARE(line.s.TypeZeta(), int(probe::StateKappa));
        } else { // the host's range is the one the probe reports in its range replies
            line.s.SetNextCmnd("R\r");
            const int before = int(line.view.processed.size());
            QTRY_VERIFY_WITH_TIMEOUT(line.view.processed.size() > before + 3, 3000);
            QVERIFY(line.s.Range() >= 0 && line.s.Range() <= line.s.GetMaxRange());
        }
        if (line.s.UnitsStr() == QLatin1String("V/m") && line.s.OverRangeFlag() == 0)
            QVERIFY2(qAbs(line.s.XYZAxis() - 13.0f) < 0.2f, qPrintable(line.s.XYZAxisStr()));
        // Every reading from the end of the characterisation on is in the scale of the probe's
        // range (a short run leaves the probe in range 5 until it is told its range again).
        for (const float total : line.view.totals)
            QVERIFY2(qAbs(total / line.view.totals.last() - 1.0f) < 0.002f,
                     qPrintable(QString("%1 against %2").arg(total).arg(line.view.totals.last())));
    }

    // On both lines: the in-process link loses and restores the host's port as a device does.
    void faultsNeverYieldABrokenReading_data() {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<Link>("link");
        for (const Link link : {Link::Pty, Link::InProcess}) {
            if (link == Link::Pty && SystemLink != Link::Pty) continue;
            for (const char* fault : {"drop:3", "garble:3", "truncate:3", "split:4", "late:200:5",
                                      "silent:0.5:1", "unplug:0.5:1.5"})
                QTest::newRow(qPrintable(
                    QStringLiteral("%1 %2").arg(link == Link::Pty ? "pty" : "in-process", fault)))
                    << QString(fault) << link;
        }
    }
    void faultsNeverYieldABrokenReading() {
        QFETCH(QString, fault);
        QFETCH(Link, link);
        probesim::Faults faults;
        QVERIFY(faults.add(fault, nullptr));
        Line line(QStringLiteral("PX-5100"), {}, link);
        QVERIFY(line.inService());
        const qsizetype mark = line.view.readings.size();
        // Identification first, then the line misbehaves; the times count from the start.
        const double now = line.server.secondsServed();
        if (faults.silentAfter >= 0) faults.silentAfter += now;
        if (faults.unplugAfter >= 0) faults.unplugAfter += now;
        line.server.setFaults(faults);
        QTest::qWait(3000);
        line.server.setFaults({});
        QVERIFY(line.identified()); // in service again
        const QList<QByteArray> data = line.dataSince(mark);
        QVERIFY(!data.isEmpty());
        // A constant field: every reply taken carries the field of the axes it names (the
        // characterisation switches axes and units on the way).
        const double axes[] = {3, 4, 12};
        for (const QByteArray& reply : data) {
            const QByteArray enabled = reply.mid(15, 3);
            QVERIFY2(reply.size() == 19 &&
                         QRegularExpression("^[ED]{3}$").match(enabled).hasMatch(),
                     reply.constData());
            if (reply.mid(7, 3) != " V ") continue;
            double squares = 0;
            for (int a = 0; a < 3; ++a)
                if (enabled[a] == 'E') squares += axes[a] * axes[a];
            QVERIFY2(qAbs(reply.mid(2, 5).toDouble() - std::sqrt(squares)) < 0.01,
                     reply.constData());
        }
    }

#ifdef Q_OS_UNIX
    // The host's port asks the driver to check parity: a character with a parity or framing
    // error arrives as the character 0 and fails every reply's checks.
    void thePortChecksParity() {
        Line line(QStringLiteral("E310"));
        line.cycle.Start(1);
        QVERIFY(line.port.portOpen());
        const int fd = ::open(line.server.lineName().toLocal8Bit().constData(),
                              O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(fd >= 0);
        termios tio;
        QCOMPARE(::tcgetattr(fd, &tio), 0);
        ::close(fd);
        QVERIFY(tio.c_iflag & INPCK);
        QVERIFY(!(tio.c_iflag & (IGNPAR | PARMRK)));
    }

    // On its own pseudo-terminal, and on one end of a null-modem pair (socat's two joined
    // pseudo-terminals) with the host on the other.
    void theProgramAnswersAHandTypedCommand_data() {
        QTest::addColumn<bool>("pair");
        QTest::newRow("pseudo-terminal") << false;
        QTest::newRow("null-modem pair") << true;
    }
    void theProgramAnswersAHandTypedCommand() {
        QFETCH(bool, pair);
        const QString program = QCoreApplication::applicationDirPath() + "/varnex-probesim";
        QTemporaryDir dir;
        QProcess socat;
        QStringList arguments{"--model", "PX-5100"};
        if (pair) {
            socat.start("socat", {"pty,raw,echo=0,link=" + dir.filePath("host"),
                                  "pty,raw,echo=0,link=" + dir.filePath("probe")});
            QVERIFY2(socat.waitForStarted(5000), "socat is not installed");
            QTRY_VERIFY(QFile::exists(dir.filePath("probe")));
            arguments << "--port" << dir.filePath("probe");
        }
        QProcess sim;
        sim.start(program, arguments);
        QVERIFY(sim.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(sim.canReadLine(), 5000);
        const QString served = QString::fromLocal8Bit(sim.readLine()).trimmed();
        const QString line = pair ? dir.filePath("host") : served;
        const int fd = ::open(line.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY2(fd >= 0, qPrintable(line));
        QCOMPARE(::write(fd, "R\r", 2), ssize_t(2));
        QByteArray reply;
        (void)QTest::qWaitFor(
            [&] {
                char buffer[16];
                const ssize_t n = ::read(fd, buffer, sizeof buffer);
                if (n > 0) reply.append(buffer, n);
                return reply.size() >= 4;
            },
            3000);
        ::close(fd);
        sim.terminate();
        QVERIFY(sim.waitForFinished(3000));
        socat.terminate();
        socat.waitForFinished(3000);
        QVERIFY2(reply.size() == 4 && reply.startsWith(":R"), reply.constData());
        if (!pair) QVERIFY(!QFile::exists(line)); // the line is gone with the program
    }
#endif
};

QTEST_GUILESS_MAIN(ProbeLineTest)
#include "tst_probeline.moc"
