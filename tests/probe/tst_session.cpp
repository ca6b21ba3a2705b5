// Whole command sequences of the probe session: identification, characterisation and polling
// of each family, driven in the order of the polling cycle.
#include "tests/support/ProbeKit.h"

#include <QTest>

using namespace kit;

namespace {

QByteArray ZetaIdent(const QByteArray& model4) {
    return ":I" + model4 + QByteArray(27, '0') + "\r";
}

const QStringList FullRun{"I",  "R",  "R",    "R5", "R5", "D2", "R1", "ADEE", "U1", "R1", "D2",
                          "R2", "D2", "U2",   "R1", "D2", "R2", "D2", "U3",   "R3", "D2", "U1",
                          "R4", "D2", "AEEE", "R2", "B",  "TF", "D2", "U1",   "D2"};

} // namespace

class SessionTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void sigmaCharacterisationNamesTheModel_data() {
        QTest::addColumn<MiniSigma>("sigma");
        QTest::addColumn<QStringList>("commands");
        MiniSigma lowCurrent = Px2100();
        lowCurrent.range = 0;
        QTest::newRow("full run, PX-5100") << Px5100() << FullRun;
        QTest::newRow("five ranges, PX-2100: short run, range restored")
            << Px2100() << QStringList{"I", "R", "R", "R5", "R5", "D2", "B", "D2", "R2", "B", "D2"};
        QTest::newRow("no fourth range, PX-5560: mismatch at step 20 tolerated")
            << Px5560() << FullRun;
        QTest::newRow("PX-2100 in range 0: range 3 with automatic range")
            << lowCurrent
            << QStringList{"I", "R", "R", "R5", "R5", "D2", "B", "D2", "R3", "B", "D2"};
    }
    void sigmaCharacterisationNamesTheModel() {
        QFETCH(MiniSigma, sigma);
        QFETCH(QStringList, commands);
        Bench b(sigma);
        QCOMPARE(Plain(b.search().run(int(commands.size()))), commands);
        QCOMPARE(b.s.GetModel(), sigma.name);
        QCOMPARE(b.s.TypeZeta(), int(probe::StateSigma));
        QVERIFY(b.host.messages.isEmpty());
        if (sigma.range == 0)
            QCOMPARE((QList<int>{b.s.AutoRangeOn(), b.s.Range()}), (QList<int>{1, 3}));
    }

    void mismatchAtStepEightRepeatsTheCharacterisation() {
        Bench b;
        b.sigma.replaceAt[11] = ":E\r"; // the probe refuses step 8 ("D2")
        Driver& d = b.search();
        QCOMPARE(Plain(d.run(29)).mid(25, 4), (QStringList{"R2", "B", "R5", "R5"}));
        QVERIFY(b.s.GetModel().isEmpty());
        QVERIFY(b.host.messages.isEmpty()); // repeated without a word
        // The second run goes through and names the probe.
        for (int i = 0; i < 30 && b.s.GetModel().isEmpty(); ++i)
            d.poll();
        QCOMPARE(b.s.GetModel(), QStringLiteral("PX-5100"));
    }

    // A step without a whole answer is asked again, up to three times, each try waiting
    // longer; then it counts without an answer (here a mismatch: the run starts again).
    void aStepWithoutAnswerIsAskedAgain() {
        Bench b;
        for (int answer = 11; answer <= 14; ++answer) // step 8 ("D2") and its three retries
            b.sigma.replaceAt[answer] = answer == 12 ? ":D 12.5 V 0}" : "";
        Driver& d = b.search();
        QCOMPARE(Plain(d.run(12)).mid(10), (QStringList{"D2", "D2"}));
        QCOMPARE(b.s.InitTry(), 2);
        QCOMPARE(b.s.GetTimerInterval(), 100);
        QCOMPARE(Plain(d.run(3)), (QStringList{"D2", "D2", "R2"}));
        QCOMPARE(b.s.GetTimerInterval(), 66);
        for (int i = 0; i < 60 && b.s.GetModel().isEmpty(); ++i)
            d.poll();
        QCOMPARE(b.s.GetModel(), QStringLiteral("PX-5100"));
        QCOMPARE(b.s.FailedCharacterisations(), 0);
    }

    // A probe whose characterisation never matches is tried again and again; the runs that
    // had to start again are counted, and a run that names the probe clears the count.
    void failedCharacterisationsAreCounted() {
        Bench b;
        bool refuse = true;
        Driver& d = b.search([&](const QByteArray& c) {
            return refuse && c == "D2\r" && b.s.InitState() >= 1 ? QByteArray(":E\r")
                                                                 : b.sigma.answer(c);
        });
        for (int i = 0; i < 300 && b.s.FailedCharacterisations() < 3; ++i)
            d.poll();
        QCOMPARE(b.s.FailedCharacterisations(), 3);
        QVERIFY(b.s.GetModel().isEmpty());
        refuse = false;
        for (int i = 0; i < 60 && b.s.GetModel().isEmpty(); ++i)
            d.poll();
        QCOMPARE(b.s.GetModel(), QStringLiteral("PX-5100"));
        QCOMPARE(b.s.FailedCharacterisations(), 0);
    }

    // A late refusal of the fourth range that turns up after its retry was answered is not
    // taken as the answer to the next step ("D2"): the run goes through.
    void aLateAnswerIsDroppedAsStale() {
        Bench b(Px5560());
        b.sigma.replaceAt[23] = "";     // step 20 ("R4"): nothing in time
        b.sigma.replaceAt[25] = ":E\r"; // step 21 ("D2"): the late refusal of "R4"
        Driver& d = b.search();
        QCOMPARE(Plain(d.run(28)).mid(22), (QStringList{"R4", "R4", "D2", "D2", "AEEE", "R2"}));
        QCOMPARE(Plain(d.run(1)), QStringList{"B"});
        QCOMPARE(b.s.GetModel(), QStringLiteral("PX-5560"));
    }

    // Over range with automatic range: the next range, sent twice; none above the top range,
    // and no over-range report meanwhile.
    void automaticRangeSteps() {
        Bench b;
        QVERIFY(b.characterise());
        b.sigma.value = " 50.0";
        b.d->run(6); // battery, temperature, first data, units restore
        b.s.SetAutoRangeOn(1);
        QCOMPARE(b.s.Range(), 2);
        b.sigma.over = 'O';
        QCOMPARE(Plain(b.d->run(6)), (QStringList{"D2", "R3", "R3", "B", "TF", "D2"}));
        QCOMPARE(b.s.Range(), 3);
        QCOMPARE(Plain({b.d->feed(":R4\r")}), QStringList{"B"}); // the probe reports its top range
        b.d->feed(":B 95.0\r");
        b.d->feed(":T 23  \r");
        QCOMPARE(Plain({b.d->feed(SigmaData(" 99.0", " V ", 255, 'O'))}), QStringList{"D2"});
        QCOMPARE(b.s.OverRangeFlag(), 1);
        QVERIFY(!(b.d->flags & probe::ChgOverRange));
        QCOMPARE(b.s.SetOverRangeColor(), 0);
    }

    void threeAxisCycle() {
        Bench b;
        b.s.SetMultiplexPrefered(1);
        QVERIFY(b.characterise());
        QCOMPARE(b.s.MultiplexOn(), 1);
        // The units restore queued by the characterisation waits for the end of the cycle (Z).
        QCOMPARE(Plain(b.d->run(13)), (QStringList{"TF", "D2", "AEDD", "D2", "ADED", "D2", "ADDE",
                                                   "D2", "AEDD", "D2", "U1", "D2", "ADED"}));
        const float x = b.s.XNA(), y = b.s.YNA(), z = b.s.ZNA();
        QVERIFY(x > 0 && y > 0 && z > 0);
        QCOMPARE(b.s.XYZNA(), std::sqrt(x * x + y * y + z * z)); // V/m: root of squares
        // An axis switched off reads 0 averaged from its next reading on.
        b.s.SetAxisEnabled(1 | 4);
        b.d->run(2);
        QCOMPARE(b.s.Yaxis(), 0.0f);
        QVERIFY(b.s.YNA() > 0 && b.s.MaxHoldY() > 0);
    }

    void rgeSelectsRangeThreeBeforeItsSecondUnits() {
        Bench b(Px5200Rge());
        QVERIFY(b.characterise());
        b.d->run(6);
        b.s.SetNextCmnd("U2\r");
        QCOMPARE(Plain(b.d->run(3)), (QStringList{"R3", "U2", "D2"}));
    }

    // ":I", model digits at 3-6, serial number at 17-24, calibration date at 25-32.
    void kappaIdentificationWaitsAfterTheSecondIdent() {
        for (const char* digits : {"310", "420"}) {
            Bench b;
            Driver& d = b.search([&](const QByteArray& c) -> QByteArray {
                if (c == "I\r")
                    return ":I0" + QByteArray(digits) + "ABCDEFGHIJ" + "12345678" + "06152024x\r";
                if (c == "i\r") return ":iXXXXREV1.23456YYYYYYYY\r";
                if (c == "B\r") return ":B 80.0\r";
                if (c == "TF\r") return ":T 71   \r";
                if (c == "D1\r") return ":D 1.23MA \r";
                return ":E\r";
            });
            QCOMPARE(Plain(d.run(7)), (QStringList{"I", "i", "B", "TF", "D1", "D1", "D1"}));
            QCOMPARE(b.s.TypeZeta(), int(probe::StateKappa));
            QCOMPARE(b.s.GetModel(), (digits[0] == '3' ? "E" : "H") + QString(digits));
            QCOMPARE(b.host.delays, QList<double>{1500});
            // "MA " is the fifth Kappa units; the reply length of a Kappa reading is 11.
            QCOMPARE((QStringList{b.host.serialNo, b.host.calDate, b.host.softRev, b.s.UnitsStr(),
                                  b.s.XYZAxisStr()}),
                     (QStringList{"12345678", "06/15/2024", "REV1.23456", "mA/m", " 1.23"}));
            QCOMPARE((QList<int>{b.s.GetUnitsNo(), b.s.GetRThreshold()}), (QList<int>{5, 11}));
        }
    }

    void zetaScheduler_data() {
        QTest::addColumn<QString>("preferred");
        QTest::addColumn<int>("highSpeed");
        QTest::addColumn<QStringList>("commands");
        QTest::addColumn<QList<QByteArray>>("autoNext");
        QTest::addColumn<int>("minReadTime");
        const QStringList base{"I", "M", "TF", "BP", "S", "S"};
        QTest::newRow("base speed") << "9600,o,7,1" << 0 << base << QList<QByteArray>{":M0"} << 28;
        // Without a stored preference the link is at its base speed: 28 ms a sample.
        QTest::newRow("no preference stored") << "" << 0 << base << QList<QByteArray>{":M0"} << 28;
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
        Bench b;
        b.s.SetBaudRatePerfered(preferred);
        Driver& d = b.search([&](const QByteArray& c) -> QByteArray {
            b.host.autoNextAnswer = c == "M\r" ? "TF\r" : "S\r";
            if (c == "I\r") return ZetaIdent("9100");
            if (c == "M\r") return ":M" + QByteArray(576, '0') + "\r";
            if (c == "TF\r") return ":T 71  \r";
            if (c == "BP\r") return ":B80\r";
            if (c.startsWith('F')) return ":F" + c.mid(1, 1) + "\r";
            if (c == "S\r" && highSpeed) b.s.SetHighSpeedMode(highSpeed);
            return c == "S\r" ? ":S" + QByteArray(16, '0') + "\r" : ":E\r";
        });
        QCOMPARE(Plain(d.run(int(commands.size()))), commands);
        QTEST(b.host.autoNextCalls, "autoNext");
        QCOMPARE(b.s.GetModel(), QStringLiteral("PX-9100"));
        QCOMPARE(b.s.TypeZeta(), int(probe::StateZeta));
        QTEST(b.s.MinReadTime(), "minReadTime");
        // The acknowledged speed stands: a missed reply after it does not go back to 9600.
        if (highSpeed) QCOMPARE(b.s.BaudRateChange(), 0);
    }

    void zetaCalibrationReplyOfWrongLengthRepeatsTheRead() {
        Bench b;
        Driver& d = b.search([](const QByteArray& c) -> QByteArray {
            return c == "I\r" ? ZetaIdent("9120") : ":M" + QByteArray(575, '0') + "\r"; // 578
        });
        QCOMPARE(Plain(d.run(4)), (QStringList{"I", "M", "M", "M"}));
        QVERIFY(b.host.autoNextCalls.isEmpty());
        QCOMPARE(b.s.GetRThreshold(), 579);
        QCOMPARE(b.s.GetTimerInterval(), 1200);
    }

    void identificationAlternatesWhileTheProbeRejects() {
        Bench b;
        Driver& d = b.search([](const QByteArray&) { return QByteArray(":E\r"); });
        QCOMPARE(Plain(d.run(6)), (QStringList{"I", "R", "I", "R", "I", "R"}));
        QCOMPARE(b.s.TypeZeta(), int(probe::StateIdentifying));
    }

    void emptyReplyRepeatsTheCommand() {
        Bench b;
        QVERIFY(b.characterise());
        b.d->run(4);
        const QByteArray before = b.s.LastCmnd();
        const int state = b.s.TypeZeta();
        b.d->feed(QByteArray());
        QCOMPARE(b.s.LastCmnd(), before);
        QCOMPARE(b.s.TypeZeta(), state);
    }
};

QTEST_GUILESS_MAIN(SessionTest)
#include "tst_session.moc"
