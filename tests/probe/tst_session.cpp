// Whole command sequences of the probe session: identification, characterisation and polling
// of each family, driven in the order of the polling cycle.
#include "tests/support/ProbeKit.h"

#include <QTest>

using namespace kit;
using probe::clsProbe;

namespace {

QByteArray KappaIdent(const QByteArray& model3) {
    // ":I", model digits at 3-6, serial number at 17-24, calibration date at 25-32.
    return ":I0" + model3 + "ABCDEFGHIJ" + "12345678" + "06152024" + "x\r";
}

QByteArray ZetaIdent(const QByteArray& model4) {
    return ":I" + model4 + QByteArray(27, '0') + "\r";
}

} // namespace

class SessionTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sigmaCharacterisationNamesTheModel_data() {
        QTest::addColumn<int>("which");
        QTest::addColumn<QString>("model");
        QTest::addColumn<QStringList>("commands");
        QTest::newRow("full run, PX-5100")
            << 0 << "PX-5100"
            << QStringList{"I",  "R",  "R",    "R5", "R5", "D2", "R1", "ADEE", "U1", "R1", "D2",
                           "R2", "D2", "U2",   "R1", "D2", "R2", "D2", "U3",   "R3", "D2", "U1",
                           "R4", "D2", "AEEE", "R2", "B",  "TF", "D2", "U1",   "D2"};
        QTest::newRow("five ranges, PX-2100: short run, range restored")
            << 1 << "PX-2100"
            << QStringList{"I", "R", "R", "R5", "R5", "D2", "B", "D2", "R2", "B", "D2"};
        QTest::newRow("no fourth range, PX-5560: mismatch at step 20 tolerated")
            << 2 << "PX-5560"
            << QStringList{"I",  "R",  "R",    "R5", "R5", "D2", "R1", "ADEE", "U1", "R1", "D2",
                           "R2", "D2", "U2",   "R1", "D2", "R2", "D2", "U3",   "R3", "D2", "U1",
                           "R4", "D2", "AEEE", "R2", "B",  "TF", "D2", "U1",   "D2"};
    }
    void sigmaCharacterisationNamesTheModel() {
        QFETCH(int, which);
        QFETCH(QString, model);
        QFETCH(QStringList, commands);
        const SigmaProfile profiles[] = {Px5100(), Px2100(), Px5560()};
        MiniSigma sigma(profiles[which]);
        RecordingHost host;
        clsProbe s(host);
        s.SetTypeZeta(probe::StateIdentifying);
        s.SetLostComm(1);
        Driver d(s, [&](const QByteArray& c) { return sigma.answer(c); });
        const QStringList sent = Plain(d.run(int(commands.size())));
        QCOMPARE(sent, commands);
        QCOMPARE(s.GetModel(), model);
        QCOMPARE(s.TypeZeta(), int(probe::StateSigma));
        QVERIFY(host.messages.isEmpty());
    }

    void mismatchAtStepEightRepeatsTheCharacterisation() {
        MiniSigma sigma(Px5100());
        sigma.replaceAt[11] = ":X" + QByteArray(16, ' ') + "\r"; // answer to step 8 ("D2")
        RecordingHost host;
        clsProbe s(host);
        s.SetTypeZeta(probe::StateIdentifying);
        s.SetLostComm(1);
        Driver d(s, [&](const QByteArray& c) { return sigma.answer(c); });
        const QStringList sent = Plain(d.run(29));
        QCOMPARE(sent.mid(25, 4), (QStringList{"R2", "B", "R5", "R5"}));
        QVERIFY(s.GetModel().isEmpty());
        QVERIFY(host.messages.isEmpty()); // repeated without a word
        // The second run goes through and names the probe.
        for (int i = 0; i < 30 && s.GetModel().isEmpty(); ++i)
            d.poll();
        QCOMPARE(s.GetModel(), QStringLiteral("PX-5100"));
    }

    void rangeDigitZeroMeansRangeThreeWithAutomaticRange() {
        SigmaProfile profile = Px2100();
        profile.range = 0; // the low current range
        MiniSigma sigma(profile);
        RecordingHost host;
        clsProbe s(host);
        s.SetTypeZeta(probe::StateIdentifying);
        s.SetLostComm(1);
        Driver d(s, [&](const QByteArray& c) { return sigma.answer(c); });
        const QStringList sent = Plain(d.run(11));
        QCOMPARE(sent, (QStringList{"I", "R", "R", "R5", "R5", "D2", "B", "D2", "R3", "B", "D2"}));
        QCOMPARE(s.AutoRangeOn(), 1);
        QCOMPARE(s.Range(), 3);
    }

    void automaticRangeStepSendsTheRangeTwice() {
        MiniSigma sigma(Px5100());
        sigma.value = " 50.0";
        RecordingHost host;
        clsProbe s(host);
        auto d = Characterise(s, sigma);
        QVERIFY(d);
        d->run(6); // battery, temperature, first data, units restore
        s.SetAutoRangeOn(1);
        QCOMPARE(s.Range(), 2);
        sigma.over = 'O';
        QCOMPARE(Plain({d->poll()}), QStringList{"D2"}); // the probe now answers over range
        sigma.over = ' ';
        const QStringList sent = Plain(d->run(5));
        QCOMPARE(sent, (QStringList{"R3", "R3", "B", "TF", "D2"}));
        QCOMPARE(s.Range(), 3);
        QCOMPARE(s.OverRangeFlag(), 1);
    }

    void overRangeInTheHighestRangeSendsNoRangeCommand() {
        MiniSigma sigma(Px5100());
        RecordingHost host;
        clsProbe s(host);
        auto d = Characterise(s, sigma);
        QVERIFY(d);
        d->run(6);
        s.SetAutoRangeOn(1);
        QCOMPARE(Plain({d->feed(":R4\r")}), QStringList{"B"}); // the probe reports its top range
        QCOMPARE(Plain({d->feed(":B 95.0\r")}), QStringList{"TF"});
        QCOMPARE(Plain({d->feed(":T 23  \r")}), QStringList{"D2"});
        QCOMPARE(Plain({d->feed(SigmaData(" 99.0", " V ", 255, 'O'))}), QStringList{"D2"});
        QCOMPARE(s.OverRangeFlag(), 1);
        QVERIFY(!(d->flags & probe::ChgOverRange)); // not reported while automatic range is on
        QCOMPARE(s.SetOverRangeColor(), 0);
    }

    void threeAxisCycleHoldsTheQueuedCommandUntilZ() {
        MiniSigma sigma(Px5100());
        RecordingHost host;
        clsProbe s(host);
        s.SetMultiplexPrefered(1);
        auto d = Characterise(s, sigma);
        QVERIFY(d);
        QCOMPARE(s.MultiplexOn(), 1);
        const QStringList sent = Plain(d->run(13));
        // The units restore queued by the characterisation waits for the end of the cycle.
        QCOMPARE(sent, (QStringList{"TF", "D2", "AEDD", "D2", "ADED", "D2", "ADDE", "D2", "AEDD",
                                    "D2", "U1", "D2", "ADED"}));
        QVERIFY(s.XNA() > 0 && s.YNA() > 0 && s.ZNA() > 0);
        const float x = s.XNA(), y = s.YNA(), z = s.ZNA();
        QCOMPARE(s.XYZNA(), std::sqrt(x * x + y * y + z * z)); // V/m: root of squares
    }

    void rgeSelectsRangeThreeBeforeItsSecondUnits() {
        MiniSigma sigma(Px5200Rge());
        RecordingHost host;
        clsProbe s(host);
        auto d = Characterise(s, sigma);
        QVERIFY(d);
        QCOMPARE(s.GetModel(), QStringLiteral("PX-5200 RGE"));
        d->run(6);
        s.SetNextCmnd("U2\r");
        QCOMPARE(Plain({s.PendingCmnd()}), QStringList{"R3"});
        const QStringList sent = Plain(d->run(3));
        QCOMPARE(sent, (QStringList{"R3", "U2", "D2"}));
    }

    void kappaIdentificationWaitsAfterTheSecondIdent() {
        RecordingHost host;
        clsProbe s(host);
        s.SetTypeZeta(probe::StateIdentifying);
        s.SetLostComm(1);
        Driver d(s, [](const QByteArray& c) -> QByteArray {
            if (c == "I\r") return KappaIdent("310");
            if (c == "i\r") return ":iXXXXREV1.23456YYYYYYYY\r";
            if (c == "B\r") return ":B 80.0\r";
            if (c == "TF\r") return ":T 71   \r";
            if (c == "D1\r") return ":D 1.23MA \r";
            return ":E\r";
        });
        const QStringList sent = Plain(d.run(7));
        QCOMPARE(sent, (QStringList{"I", "i", "B", "TF", "D1", "D1", "D1"}));
        QCOMPARE(s.TypeZeta(), int(probe::StateKappa));
        QCOMPARE(s.GetModel(), QStringLiteral("E310"));
        QCOMPARE(host.delays, QList<double>{1500});
        QCOMPARE(host.serialNo, QStringLiteral("12345678"));
        QCOMPARE(host.calDate, QStringLiteral("06/15/2024"));
        QCOMPARE(host.softRev, QStringLiteral("REV1.23456"));
        QCOMPARE(s.GetUnitsNo(), 5); // "MA " is the fifth Kappa units
        QCOMPARE(s.UnitsStr(), QStringLiteral("mA/m"));
        QCOMPARE(s.XYZAxisStr(), QStringLiteral(" 1.23"));
        QCOMPARE(s.GetRThreshold(), 11);
    }

    void kappaModelLetterFollowsTheDigit() {
        RecordingHost host;
        clsProbe s(host);
        s.SetTypeZeta(probe::StateIdentifying);
        s.SetLostComm(1);
        Driver d(s, [](const QByteArray&) { return KappaIdent("420"); });
        d.run(2);
        QCOMPARE(s.GetModel(), QStringLiteral("H420"));
    }

    void zetaScheduler_data() {
        QTest::addColumn<QString>("preferred");
        QTest::addColumn<int>("highSpeed");
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QList<QByteArray>>("autoNext");
        QTest::addColumn<int>("minReadTime");
        QTest::newRow("base speed")
            << "9600,o,7,1" << 0 << QStringList{"I", "M", "TF", "BP", "S", "S"}
            << QList<QByteArray>{":M0"} << 28;
        QTest::newRow("19200 preferred")
            << "19200,o,7,1" << 0 << QStringList{"I", "M", "TF", "BP", "F2", "S", "S"}
            << QList<QByteArray>{":M0", ":F2"} << 14;
        QTest::newRow("115200 requested")
            << "9600,o,7,1" << 12 << QStringList{"I", "M", "TF", "BP", "S", "F5", "S"}
            << QList<QByteArray>{":M0", ":F5"} << 14;
    }
    void zetaScheduler() {
        QFETCH(QString, preferred);
        QFETCH(int, highSpeed);
        QFETCH(QStringList, commands);
        QFETCH(QList<QByteArray>, autoNext);
        QFETCH(int, minReadTime);
        RecordingHost host;
        clsProbe s(host);
        s.SetBaudRatePerfered(preferred);
        s.SetTypeZeta(probe::StateIdentifying);
        s.SetLostComm(1);
        Driver d(s, [&](const QByteArray& c) -> QByteArray {
            if (c == "I\r") return ZetaIdent("9100");
            if (c == "M\r") {
                host.autoNextAnswer = "TF\r";
                return ":M" + QByteArray(576, '0') + "\r";
            }
            host.autoNextAnswer = "S\r";
            if (c == "TF\r") return ":T 71  \r";
            if (c == "BP\r") return ":B80\r";
            if (c.startsWith('F')) return ":F" + c.mid(1, 1) + "\r";
            if (c == "S\r") {
                if (highSpeed) s.SetHighSpeedMode(highSpeed);
                return ":S" + QByteArray(16, '0') + "\r";
            }
            return ":E\r";
        });
        QCOMPARE(Plain(d.run(int(commands.size()))), commands);
        QCOMPARE(host.autoNextCalls, autoNext);
        QCOMPARE(s.GetModel(), QStringLiteral("PX-9100"));
        QCOMPARE(s.TypeZeta(), int(probe::StateZeta));
        QCOMPARE(s.MinReadTime(), minReadTime);
        if (highSpeed) QCOMPARE(s.BaudRateChange(), 1);
    }

    void zetaCalibrationReplyOfWrongLengthRepeatsTheRead() {
        RecordingHost host;
        clsProbe s(host);
        s.SetTypeZeta(probe::StateIdentifying);
        s.SetLostComm(1);
        Driver d(s, [](const QByteArray& c) -> QByteArray {
            if (c == "I\r") return ZetaIdent("9120");
            return ":M" + QByteArray(575, '0') + "\r"; // 578 characters
        });
        QCOMPARE(Plain(d.run(4)), (QStringList{"I", "M", "M", "M"}));
        QVERIFY(host.autoNextCalls.isEmpty());
        QCOMPARE(s.GetRThreshold(), 579);
        QCOMPARE(s.GetTimerInterval(), 1200);
    }

    void identificationAlternatesWhileTheProbeRejects() {
        RecordingHost host;
        clsProbe s(host);
        s.SetTypeZeta(probe::StateIdentifying);
        s.SetLostComm(1);
        Driver d(s, [](const QByteArray&) { return QByteArray(":E\r"); });
        QCOMPARE(Plain(d.run(6)), (QStringList{"I", "R", "I", "R", "I", "R"}));
        QCOMPARE(s.TypeZeta(), int(probe::StateIdentifying));
    }

    void emptyReplyRepeatsTheCommand() {
        MiniSigma sigma(Px5100());
        RecordingHost host;
        clsProbe s(host);
        auto d = Characterise(s, sigma);
        QVERIFY(d);
        d->run(4);
        const QByteArray before = s.LastCmnd();
        const int state = s.TypeZeta();
        d->feed(QByteArray());
        QCOMPARE(s.LastCmnd(), before);
        QCOMPARE(s.TypeZeta(), state);
    }
};

QTEST_GUILESS_MAIN(SessionTest)
#include "tst_session.moc"
