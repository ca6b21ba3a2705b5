// What a reply does to the session: the change flags, the values taken and the messages shown,
// and the reading values built from the replies (scaling, holds, averaging, composite).
#include "tests/support/ProbeKit.h"

#include <QTest>

using namespace kit;
using probe::clsProbe;

namespace {

// A PX-5100 session in service: characterised, battery and temperature read, the first data
// reply taken (which announces units and axes).
struct Ready {
    Ready() : sigma(Px5100()), s(host) {
        d = Characterise(s, sigma);
        if (d) d->run(5);
    }
    MiniSigma sigma;
    RecordingHost host;
    clsProbe s;
    std::unique_ptr<Driver> d;
};

} // namespace

class RepliesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void flags_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("messages");
        QTest::newRow("plain reading") << SigmaData(" 12.5", " V ") << 1 << 0;
        QTest::newRow("over range") << SigmaData(" 12.5", " V ", 0, 'O') << (1 | 4) << 0;
        QTest::newRow("under range") << SigmaData(" 1.00", " V ") << (1 | 512) << 0;
        QTest::newRow("battery flat") << SigmaData(" 12.5", " V ", 0, ' ', 'F') << (1 | 8) << 1;
        QTest::newRow("battery flag not N")
            << SigmaData(" 12.5", " V ", 0, ' ', 'x') << (1 | 8) << 0;
        QTest::newRow("axes change")
            << SigmaData(" 12.5", " V ", 0, ' ', 'N', "EED") << (1 | 2) << 0;
        QTest::newRow("units change") << SigmaData(" 12.5", "MW2") << (1 | 16) << 0;
        QTest::newRow("data reply too short") << QByteArray(":D 12.5 V 1\r") << 0 << 0;
        QTest::newRow("range") << QByteArray(":R3\r") << 32 << 0;
        QTest::newRow("battery") << QByteArray(":B 85.5\r") << 128 << 0;
        QTest::newRow("temperature") << QByteArray(":T 23  \r") << 64 << 0;
        QTest::newRow("acknowledgement") << QByteArray(":A\r") << 0 << 0;
        QTest::newRow("mode acknowledgement") << QByteArray(":P\r") << 0 << 1;
        QTest::newRow("one character") << QByteArray(":") << 0 << 0;
        QTest::newRow("garbage") << QByteArray("\x01\xff\x80zz") << 0 << 0;
    }
    void flags() {
        QFETCH(QByteArray, reply);
        QFETCH(int, flags);
        QFETCH(int, messages);
        Ready r;
        QVERIFY(r.d);
        r.host.messages.clear();
        r.d->feed(reply);
        QCOMPARE(r.d->flags, flags);
        QCOMPARE(int(r.host.messages.size()), messages);
    }

    void valuesTakenFromReplies() {
        Ready r;
        QVERIFY(r.d);
        r.d->feed(":B 85.5\r");
        QCOMPARE(r.s.Battery(), 85.5f);
        r.d->feed(":T+23.4 \r"); // positions 4-6
        QCOMPARE(r.s.Temperature(), 23.0f);
        r.d->feed(SigmaData(" 12.5", " V ", 51));
        QCOMPARE(r.s.FieldStr(), QStringLiteral(" 12.5"));
        QCOMPARE(r.s.GetPercentOfScale(), 20);
        QCOMPARE(r.s.UnitsStr(), QStringLiteral("V/m"));
        QCOMPARE(r.s.Range(), 2);
        QCOMPARE(r.s.GetRangeString(2), QStringLiteral("10 - 31.62 V/m"));
    }

    void otherModeRepliesAreSynonyms() {
        Ready r;
        QVERIFY(r.d);
        QCOMPARE(r.s.InputStr("#R3\r"), 32);
        QCOMPARE(r.s.Range(), 3);
        QCOMPARE(r.s.InputStr("#B 77.0\r"), 128);
        QCOMPARE(r.s.Battery(), 77.0f);
        QCOMPARE(r.s.InputStr(SigmaData(" 12.5", " V ").replace(0, 2, "#Q")), 1 | 512);
        QCOMPARE(Plain({r.s.GetNextCmnd("#R3\r")}), QStringList{"B"});
    }

    void sampleRateArithmetic_data() {
        QTest::addColumn<bool>("threeAxis");
        QTest::addColumn<int>("requested");
        QTest::addColumn<int>("interval");
        QTest::addColumn<int>("achieved");
        QTest::addColumn<int>("maximum");
        // PX-5200 RGE: shortest data read 50 ms.
        QTest::newRow("20/s fits exactly") << false << 20 << 50 << 20 << 20;
        QTest::newRow("5/s") << false << 5 << 200 << 5 << 20;
        QTest::newRow("too fast for the probe") << false << 40 << 50 << 20 << 20;
        QTest::newRow("3-axis, 10/s") << true << 10 << 50 << 5 << 5;
        QTest::newRow("3-axis, 2/s") << true << 2 << 146 << 2 << 6;
    }
    void sampleRateArithmetic() {
        QFETCH(bool, threeAxis);
        QFETCH(int, requested);
        QFETCH(int, interval);
        QFETCH(int, achieved);
        QFETCH(int, maximum);
        MiniSigma sigma(Px5200Rge());
        RecordingHost host;
        clsProbe s(host);
        s.SetMultiplexPrefered(threeAxis ? 1 : 0);
        auto d = Characterise(s, sigma);
        QVERIFY(d);
        QCOMPARE(s.MinReadTime(), 50);
        QCOMPARE(s.RequestedSampleRate(), 10); // identification cuts anything above 14
        s.SetSampleRate(requested);
        QCOMPARE(s.DataInterval(), interval);
        QCOMPARE(s.SampleRate(), achieved);
        QCOMPARE(s.GetMaxSamRate(), maximum);
    }

    void graphSelectionAndLimits_data() {
        QTest::addColumn<QString>("graphType");
        QTest::addColumn<int>("autoRange");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<float>("under");
        QTest::addColumn<float>("over");
        // PX-5100, units V/m, range 2.
        QTest::newRow("log") << "Log" << 0 << "Log 0.1-1000" << 10.0f << 31.62f;
        QTest::newRow("auto, fixed range") << "Auto" << 0 << "0-35" << 10.0f << 31.62f;
        QTest::newRow("auto, automatic range") << "Auto" << 1 << "Log 0.1-1000" << 1.0f << 316.2f;
        QTest::newRow("a scale text") << "0-100" << 1 << "0-100" << 1.0f << 316.2f;
    }
    void graphSelectionAndLimits() {
        QFETCH(QString, graphType);
        QFETCH(int, autoRange);
        Ready r;
        QVERIFY(r.d);
        r.s.SetGraphType(graphType);
        r.s.SetAutoRangeOn(autoRange);
        QTEST(r.s.GetGraphSelection(), "selection");
        QTEST(r.s.GetUnderRangeVal(), "under");
        QTEST(r.s.GetOverRangeVal(), "over");
    }

    void zetaGraphSelectionIsLogarithmic() {
        RecordingHost host;
        clsProbe s(host);
        s.SetTypeZeta(probe::StateIdentifying);
        s.SetLostComm(1);
        s.GetNextCmnd(QByteArray());
        s.GetNextCmnd(":I9130" + QByteArray(27, '0') + "\r");
        QCOMPARE(s.GetModel(), QStringLiteral("PX-9130"));
        s.SetGraphType(QStringLiteral("Auto"));
        QCOMPARE(s.AutoRangeOn(), 0);
        QCOMPARE(s.GetGraphSelection(), QStringLiteral("Log 0.1-10k"));
        QCOMPARE(s.MultiplexOn(), 1);
        QCOMPARE(s.GetMaxRange(), 5);
    }

    void batteryFlatMessageOnEveryReply() {
        Ready r;
        QVERIFY(r.d);
        r.host.messages.clear();
        for (int i = 0; i < 3; ++i)
            r.d->feed(SigmaData(" 12.5", " V ", 0, ' ', 'F'));
        QCOMPARE(int(r.host.messages.size()), 3);
        QCOMPARE(r.host.messages.first().icon, platform::MsgIcon::Critical);
        QCOMPARE(r.host.messages.first().text,
                 QStringLiteral("Battery needs charging.  Set probe to off position to "
                                "discontinue this message."));
    }

    void garbageRunReannouncesUnitsAndAxes() {
        Ready r;
        QVERIFY(r.d);
        for (int i = 0; i < 4; ++i)
            r.d->feed(":?junk\r");
        QCOMPARE(r.s.BadReplyCount(), 4);
        r.d->feed(SigmaData(" 12.5", " V "));
        QCOMPARE(r.d->flags, 1); // four bad replies: the units are still trusted
        for (int i = 0; i < 5; ++i)
            r.d->feed(":?junk\r");
        r.d->feed(SigmaData(" 12.5", " V "));
        QCOMPARE(r.d->flags, 1 | 2 | 16);
        QCOMPARE(r.s.BadReplyCount(), 0);
    }

    void unknownUnitsCodeIsReportedOnce() {
        Ready r;
        QVERIFY(r.d);
        r.host.messages.clear();
        r.d->feed(SigmaData(" 12.5", "QQQ"));
        r.d->feed(SigmaData(" 12.5", "QQQ"));
        QCOMPARE(int(r.host.messages.size()), 1);
        QCOMPARE(r.host.messages.first().text, QStringLiteral("units not known"));
        QVERIFY(r.s.UnitsStr().isEmpty());
        QVERIFY(r.d->flags & 1); // the reading is still taken
    }

    void scalingFollowsTheMultiplierTable_data() {
        QTest::addColumn<QByteArray>("range");
        QTest::addColumn<QByteArray>("units");
        QTest::addColumn<float>("value");
        // PX-5100 multiplies the second field kind by 1000 in ranges 2 to 4.
        QTest::newRow("field strength") << QByteArray(":R3\r") << QByteArray(" V ") << 12.5f;
        QTest::newRow("squared, range 1") << QByteArray(":R1\r") << QByteArray(" V2") << 12.5f;
        QTest::newRow("squared, range 3") << QByteArray(":R3\r") << QByteArray(" V2") << 12500.0f;
        QTest::newRow("power density") << QByteArray(":R3\r") << QByteArray("MW2") << 12.5f;
    }
    void scalingFollowsTheMultiplierTable() {
        QFETCH(QByteArray, range);
        QFETCH(QByteArray, units);
        QFETCH(float, value);
        Ready r;
        QVERIFY(r.d);
        r.d->feed(range);
        r.d->feed(SigmaData(" 12.5", units));
        QCOMPARE(r.s.XYZNA(), value);
        QCOMPARE(r.s.Field(), value);
    }

    void averagingRisesOverTheRing() {
        Ready r;
        QVERIFY(r.d);
        r.s.SetAverage(5);
        r.s.ClearMaxHold();
        r.s.ClearMinHold();
        // Without averaging the ring was never written: the mean rises over five readings.
        QList<float> seen;
        for (int i = 0; i < 6; ++i) {
            r.d->feed(SigmaData(" 20.0", " V "));
            seen.append(r.s.Field());
        }
        QCOMPARE(seen, (QList<float>{4, 8, 12, 16, 20, 20}));
        QCOMPARE(r.s.MaxHoldXYZ(), 20.0f);
        QCOMPARE(r.s.MinHoldXYZ(), 20.0f);
        r.s.PausePeakHold(1);
        r.d->feed(SigmaData(" 30.0", " V "));
        QCOMPARE(r.s.MaxHoldXYZ(), 20.0f);
        QCOMPARE(r.s.XYZNA(), 30.0f);
        r.s.SetAverage(99);
        QCOMPARE(r.s.Average(), 50);
    }

    void unitsChangeClearsThePeaks() {
        Ready r;
        QVERIFY(r.d);
        r.d->feed(SigmaData(" 20.0", " V "));
        QCOMPARE(r.s.MaxHoldXYZ(), 20.0f);
        r.d->feed(SigmaData(" 0.50", "MW2"));
        QCOMPARE(r.s.MaxHoldXYZ(), 0.5f); // cleared, then the new reading
        QCOMPARE(r.s.UnitsStr(), QStringLiteral("mW/cm") + probe::SuperTwo);
    }

    void lowCurrentRangeUsesTheCurrentMultiplier() {
        MiniSigma sigma(Px2100());
        RecordingHost host;
        clsProbe s(host);
        auto d = Characterise(s, sigma);
        QVERIFY(d);
        d->run(5);
        d->feed(SigmaData(" 1.50", "   "));
        d->feed(":R0\r");
        QCOMPARE(s.UnitsStr(), QStringLiteral("mA"));
        d->feed(SigmaData(" 1.50", "   "));
        QCOMPARE(s.XYZNA(), 1500.0f); // three blanks: amperes shown as milliamperes
    }

    void threeAxisCompositeByUnits_data() {
        QTest::addColumn<QByteArray>("units");
        QTest::addColumn<float>("total");
        QTest::newRow("field strength: root of squares") << QByteArray(" V ") << 5.0f;
        QTest::newRow("power density: plain sum") << QByteArray("MW2") << 7.0f;
    }
    void threeAxisCompositeByUnits() {
        QFETCH(QByteArray, units);
        QFETCH(float, total);
        MiniSigma sigma(Px5100());
        RecordingHost host;
        clsProbe s(host);
        s.SetMultiplexPrefered(1);
        auto d = Characterise(s, sigma);
        QVERIFY(d);
        d->feed(":B 95.0\r");
        d->feed(":T 23  \r");
        const QByteArray axes[] = {"EDD", "DED", "DDE"};
        const QByteArray values[] = {" 3.00", " 4.00", " 0.00"};
        for (int i = 0; i < 3; ++i) {
            d->feed(SigmaData(values[i], units, 0, ' ', 'N', axes[i]));
            d->feed(":A\r");
        }
        QCOMPARE(s.XYZNA(), total);
        s.SetAxisEnabled(1 | 4); // Y off: its averaged value reads 0 from the next reading on
        d->feed(SigmaData(" 4.00", units, 0, ' ', 'N', "DED"));
        QCOMPARE(s.Yaxis(), 0.0f);
        QCOMPARE(s.YNA(), 4.0f);
        QCOMPARE(s.MaxHoldY(), 4.0f);
    }
};

QTEST_GUILESS_MAIN(RepliesTest)
#include "tst_replies.moc"
