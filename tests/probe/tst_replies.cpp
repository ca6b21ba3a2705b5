// What a reply does to the session: the change flags, the values taken and the messages shown,
// and the reading values built from the replies (scaling, holds, averaging, composite).
#include "tests/support/ProbeKit.h"

#include <QTest>

using namespace kit;

class RepliesTest : public QObject {
    Q_OBJECT
    // A PX-5100 session in service: characterised, battery and temperature read, the first
    // data reply taken (which announces units and axes). Fresh for every test.
    std::unique_ptr<Bench> r;

private Q_SLOTS:
    void init() {
        r = std::make_unique<Bench>();
        QVERIFY(r->characterise());
        r->d->run(5);
    }

    void flags_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("messages"); // after the reply came twice
        QTest::newRow("plain reading") << SigmaData(" 12.5", " V ") << 1 << 0;
        QTest::newRow("over range") << SigmaData(" 12.5", " V ", 0, 'O') << (1 | 4) << 0;
        QTest::newRow("under range") << SigmaData(" 1.00", " V ") << (1 | 512) << 0;
        QTest::newRow("battery flat: every time")
            << SigmaData(" 12.5", " V ", 0, ' ', 'F') << (1 | 8) << 2;
        QTest::newRow("battery flag not N")
            << SigmaData(" 12.5", " V ", 0, ' ', 'x') << (1 | 8) << 0;
        QTest::newRow("axes change")
            << SigmaData(" 12.5", " V ", 0, ' ', 'N', "EED") << (1 | 2) << 0;
        QTest::newRow("units change") << SigmaData(" 12.5", "MW2") << (1 | 16) << 0;
        QTest::newRow("unknown units: once") << SigmaData(" 12.5", "QQQ") << (1 | 16) << 1;
        QTest::newRow("data reply too short") << QByteArray(":D 12.5 V 1\r") << 0 << 0;
        QTest::newRow("range") << QByteArray(":R3\r") << 32 << 0;
        QTest::newRow("battery") << QByteArray(":B 85.5\r") << 128 << 0;
        QTest::newRow("temperature") << QByteArray(":T 23  \r") << 64 << 0;
        QTest::newRow("acknowledgement") << QByteArray(":A\r") << 0 << 0;
        QTest::newRow("mode acknowledgement") << QByteArray(":P\r") << 0 << 2;
        QTest::newRow("garbage") << QByteArray("\x01\xff\x80zz") << 0 << 0;
    }
    void flags() {
        QFETCH(QByteArray, reply);
        QFETCH(int, messages);
        r->host.messages.clear();
        r->d->feed(reply);
        QTEST(r->d->flags, "flags");
        r->d->feed(reply);
        QCOMPARE(int(r->host.messages.size()), messages);
    }

    void valuesTakenFromReplies() {
        r->d->feed(":B 85.5\r");
        QCOMPARE(r->s.Battery(), 85.5f);
        r->d->feed(":T+23.4 \r"); // positions 4-6
        QCOMPARE(r->s.Temperature(), 23.0f);
        r->d->feed(SigmaData(" 12.5", " V ", 51));
        QCOMPARE(r->s.FieldStr(), QStringLiteral(" 12.5"));
        QCOMPARE(r->s.GetPercentOfScale(), 20);
        QCOMPARE(r->s.UnitsStr(), QStringLiteral("V/m"));
        QCOMPARE(r->s.GetRangeString(2), QStringLiteral("10 - 31.62 V/m"));
        r->d->feed(SigmaData(" 12.5", "QQQ"));
        QVERIFY(r->s.UnitsStr().isEmpty());
        r->d->feed(SigmaData(" 12.5", " V ", 0, ' ', 'F'));
        QCOMPARE(r->host.messages.last().icon, platform::MsgIcon::Critical); // battery flat
        // The other communication mode's replies are synonyms.
        QCOMPARE(r->s.InputStr("#R3\r"), 32);
        QCOMPARE(r->s.Range(), 3);
        QCOMPARE(r->s.InputStr("#B 77.0\r"), 128);
        QCOMPARE(r->s.Battery(), 77.0f);
        QCOMPARE(r->s.InputStr(SigmaData(" 12.5", " V ").replace(0, 2, "#Q")), 1 | 512);
        QCOMPARE(Plain({r->s.GetNextCmnd("#R3\r")}), QStringList{"B"});
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
        Bench b(Px5200Rge());
        b.s.SetMultiplexPrefered(threeAxis ? 1 : 0);
        QVERIFY(b.characterise());
        QCOMPARE(b.s.MinReadTime(), 50);
        QCOMPARE(b.s.RequestedSampleRate(), 10); // identification cuts anything above 14
        b.s.SetSampleRate(requested);
        QTEST(b.s.DataInterval(), "interval");
        QTEST(b.s.SampleRate(), "achieved");
        QTEST(b.s.GetMaxSamRate(), "maximum");
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
        r->s.SetGraphType(graphType);
        r->s.SetAutoRangeOn(autoRange);
        QTEST(r->s.GetGraphSelection(), "selection");
        QTEST(r->s.GetUnderRangeVal(), "under");
        QTEST(r->s.GetOverRangeVal(), "over");
    }

    void automaticRangeOffBeforeAnyReplyShowsNothing() {
        RecordingHost host;
        probe::clsProbe s(host);
        s.SetAutoRangeOn(1);
        s.SetAutoRangeOn(0); // as the configuration does at start-up, before any probe
        QVERIFY(host.messages.isEmpty());
        QCOMPARE(s.AutoRangeOn(), 0);
    }

    void zetaGraphSelectionIsLogarithmic() {
        Bench b;
        b.search([](const QByteArray&) { return ":I9130" + QByteArray(27, '0') + "\r"; }).run(2);
        QCOMPARE(b.s.GetModel(), QStringLiteral("PX-9130"));
        b.s.SetGraphType(QStringLiteral("Auto"));
        QCOMPARE(b.s.AutoRangeOn(), 0);
        QCOMPARE(b.s.GetGraphSelection(), QStringLiteral("Log 0.1-10k"));
        QCOMPARE(b.s.MultiplexOn(), 1);
        QCOMPARE(b.s.GetMaxRange(), 5);
    }

    void garbageRunReannouncesUnitsAndAxes() {
        for (int i = 0; i < 4; ++i)
            r->d->feed(":?junk\r");
        QCOMPARE(r->s.BadReplyCount(), 4);
        r->d->feed(SigmaData(" 12.5", " V "));
        QCOMPARE(r->d->flags, 1); // four bad replies: the units are still trusted
        for (int i = 0; i < 5; ++i)
            r->d->feed(":?junk\r");
        r->d->feed(SigmaData(" 12.5", " V "));
        QCOMPARE(r->d->flags, 1 | 2 | 16);
        QCOMPARE(r->s.BadReplyCount(), 0);
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
        r->d->feed(range);
        r->d->feed(SigmaData(" 12.5", units));
        QCOMPARE(r->s.XYZNA(), value);
        QCOMPARE(r->s.Field(), value);
    }

    void averagingHoldsAndUnits() {
        r->s.SetAverage(5);
        r->s.ClearMaxHold();
        r->s.ClearMinHold();
        // Without averaging the ring was never written: the mean rises over five readings.
        QList<float> seen;
        for (int i = 0; i < 6; ++i) {
            r->d->feed(SigmaData(" 20.0", " V "));
            seen.append(r->s.Field());
        }
        QCOMPARE(seen, (QList<float>{4, 8, 12, 16, 20, 20}));
        QCOMPARE(r->s.MaxHoldXYZ(), 20.0f);
        QCOMPARE(r->s.MinHoldXYZ(), 20.0f);
        r->s.PausePeakHold(1);
        r->d->feed(SigmaData(" 30.0", " V "));
        QCOMPARE(r->s.MaxHoldXYZ(), 20.0f);
        QCOMPARE(r->s.XYZNA(), 30.0f);
        r->s.SetAverage(99);
        QCOMPARE(r->s.Average(), 50);
        // Other units: the peak is cleared, then takes the new reading.
        r->s.PausePeakHold(0);
        r->d->feed(SigmaData(" 0.50", "MW2"));
        QCOMPARE(r->s.MaxHoldXYZ(), 0.5f);
        QCOMPARE(r->s.UnitsStr(), QStringLiteral("mW/cm") + probe::SuperTwo);
    }

    void lowCurrentRangeUsesTheCurrentMultiplier() {
        Bench b(Px2100());
        QVERIFY(b.characterise());
        b.d->run(5);
        b.d->feed(SigmaData(" 1.50", "   "));
        b.d->feed(":R0\r");
        QCOMPARE(b.s.UnitsStr(), QStringLiteral("mA"));
        b.d->feed(SigmaData(" 1.50", "   "));
        QCOMPARE(b.s.XYZNA(), 1500.0f); // three blanks: amperes shown as milliamperes
    }

    void threeAxisCompositeByUnits() {
        for (const auto& [units, total] : {std::pair{QByteArray(" V "), 5.0f}, {"MW2", 7.0f}}) {
            // Field strength: root of the squares; power density: the plain sum.
            Bench b;
            b.s.SetMultiplexPrefered(1);
            QVERIFY(b.characterise());
            b.d->feed(":B 95.0\r");
            b.d->feed(":T 23  \r");
            const QByteArray axes[] = {"EDD", "DED", "DDE"};
            const QByteArray values[] = {" 3.00", " 4.00", " 0.00"};
            for (int i = 0; i < 3; ++i) {
                b.d->feed(SigmaData(values[i], units, 0, ' ', 'N', axes[i]));
                b.d->feed(":A\r");
            }
            QCOMPARE(b.s.XYZNA(), total);
            b.s.SetAxisEnabled(1 | 4); // Y off: its averaged value reads 0 from the next reading
            b.d->feed(SigmaData(" 4.00", units, 0, ' ', 'N', "DED"));
            QCOMPARE(b.s.Yaxis(), 0.0f);
            QCOMPARE(b.s.YNA(), 4.0f);
            QCOMPARE(b.s.MaxHoldY(), 4.0f);
        }
    }
};

QTEST_GUILESS_MAIN(RepliesTest)
#include "tst_replies.moc"
