// Identification and reading through a line that loses, garbles or cuts one reply in seven,
// from the very first reply on: one model of each characterisation shape, a Kappa and a Zeta
// probe. (Late and split replies: tests/logger/tst_linefaults.)
#include "tests/support/ProbeLine.h"

using namespace kit;

class NoisyLineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void identifiedAndReadThroughTheNoise_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("fault");
        for (const char* model : {"PX-5100", "PX-2100", "PX-5200 RGE", "E310", "PX-9100"})
            for (const char* fault : {"drop:7", "garble:7", "truncate:7"})
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(model, fault)))
                    << QString(model) << QString(fault);
    }
    void identifiedAndReadThroughTheNoise() {
        QFETCH(QString, model);
        QFETCH(QString, fault);
        probesim::Faults faults;
        QVERIFY(faults.add(fault, nullptr));
        Line line(model, faults);
        QVERIFY(line.started);
        QList<QByteArray> commands;
        connect(&line.server, &probesim::LineServer::commandServed, this,
                [&](const QByteArray& command, const QByteArray&) { commands.append(command); });
        if (qEnvironmentVariableIsSet("LINELOG"))
            line.server.setLog(qEnvironmentVariable("LINELOG"), nullptr);
        line.host.autoNextAnswer = "TF\r"; // a Zeta probe's calibration was read
        line.cycle.Start(1);
        QVERIFY2(line.identified(30000),
                 qPrintable(QStringLiteral("model \"%1\", %2 commands, characterisation step %3")
                                .arg(line.s.GetModel())
                                .arg(commands.size())
                                .arg(line.s.InitStep())));
        // Then read: field values keep coming.
        const qsizetype mark = line.view.readings.size();
        QTRY_VERIFY_WITH_TIMEOUT(line.dataSince(mark).size() >= 5, 10000);
        QVERIFY(!commands.contains(QByteArray()));
        QVERIFY(line.boxes.messages().isEmpty());
        QVERIFY(line.host.messages.isEmpty());
    }
};

QTEST_GUILESS_MAIN(NoisyLineTest)
#include "tst_noisyline.moc"
