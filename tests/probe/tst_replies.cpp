// What a reply does to the session: the change flags, the values taken and the messages shown,
// and the reading values built from the replies (scaling, holds, averaging, composite); then
// the reading channel and the text rules underneath them.
#include "probe/Readings.h"
#include "probe/ReplyCheck.h"
#include "tests/support/ProbeKit.h"

#include <QTest>
#include <limits>

using namespace kit;
using probe::ReadingChannel;
using Ints = QList<int>;
using Floats = QList<float>;

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
        QTest::newRow("unknown units: refused") << SigmaData(" 12.5", "QQQ") << 0 << 0;
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
        r->host.messages.clear();
        r->d->feed(reply);
        QTEST(r->d->flags, "flags");
        r->d->feed(reply);
        QTEST(int(r->host.messages.size()), "messages");
    }

    // Well-formed replies of each family pass; each field garbled in turn is refused.
    void wellFormedReplies_data() {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<char>(
            "kind"); // S Sigma data, K Kappa data, R range, B battery, T temperature
        QTest::addColumn<bool>("good");
        const QByteArray sigma = SigmaData(" 12.5", " V ", 51, 'O', 'N', "EDD");
        QTest::newRow("Sigma") << sigma << 'S' << true;
        QTest::newRow("Sigma, other mode") << QByteArray(sigma).replace(0, 2, "#Q") << 'S' << true;
        for (const char* value : {"-1.25", ".0123", "  130", "99999"})
            QTest::newRow(value) << SigmaData(value, "KV2") << 'S' << true;
        QTest::newRow("current probe, no units") << SigmaData("1.000", "   ") << 'S' << true;
        QTest::newRow("Kappa") << QByteArray(":D 3.25UW2\r") << 'K' << true;
        QTest::newRow("range") << QByteArray(":R0\r") << 'R' << true;
        QTest::newRow("battery") << QByteArray(":B4.040\r") << 'B' << true;
        QTest::newRow("temperature") << QByteArray(":T  74F\r") << 'T' << true;
        const struct {
            const char* name;
            qsizetype at;
            char noise;
        } garbles[] = {{"framing", 0, '}'},     {"letter", 1, 'X'},   {"value", 3, '!'},
                       {"value point", 2, '.'}, {"units", 8, '^'},    {"bar", 11, ';'},
                       {"over flag", 13, '~'},  {"battery", 14, '|'}, {"axes", 16, 'X'}};
        for (const auto& g : garbles)
            QTest::newRow(qPrintable(QStringLiteral("Sigma %1").arg(g.name)))
                << QByteArray(sigma).replace(g.at, 1, QByteArray(1, g.noise)) << 'S' << false;
        QTest::newRow("Sigma bar over 255") << SigmaData(" 12.5", " V ", 256) << 'S' << false;
        QTest::newRow("Sigma short") << sigma.left(18) << 'S' << false;
        QTest::newRow("Sigma long") << sigma + "\r" << 'S' << false;
        QTest::newRow("Kappa units") << QByteArray(":D 3.25KV2\r") << 'K' << false;
        QTest::newRow("Kappa value") << QByteArray(":D 3}25UW2\r") << 'K' << false;
        QTest::newRow("range digit") << QByteArray(":R7\r") << 'R' << false;
        QTest::newRow("battery value") << QByteArray(":B4.0!0\r") << 'B' << false;
        QTest::newRow("temperature value") << QByteArray(":T  7^F\r") << 'T' << false;
    }
    void wellFormedReplies() {
        QFETCH(QByteArray, reply);
        QFETCH(char, kind);
        QFETCH(bool, good);
        const bool seen = kind == 'S'   ? probe::SigmaDataWellFormed(reply)
                          : kind == 'K' ? probe::KappaDataWellFormed(reply)
                          : kind == 'R' ? probe::RangeReplyWellFormed(reply)
                          : kind == 'B' ? probe::BatteryReplyWellFormed(reply)
                                        : probe::TemperatureReplyWellFormed(reply);
        QCOMPARE(seen, good);
    }

    // A refused data reply changes nothing: no reading, no units change, no hold cleared.
    void aGarbledDataReplyChangesNothing() {
        r->d->feed(SigmaData(" 30.0", " V "));
        const float peak = r->s.MaxHoldXYZ();
        const QString units = r->s.UnitsStr();
        const qint64 refused = r->s.RefusedReplies();
        for (const QByteArray& garbled : {SigmaData("1!0.}", " V "), SigmaData(" 4.00", "; ^"),
                                          SigmaData(" 4.00", " V ", 0, ' ', 'N', "E}D")}) {
            r->d->feed(garbled);
            QCOMPARE(r->d->flags, 0);
        }
        QCOMPARE(r->s.MaxHoldXYZ(), peak);
        QCOMPARE(r->s.UnitsStr(), units);
        QCOMPARE(r->s.FieldStr(), QStringLiteral(" 30.0"));
        QCOMPARE(r->s.RefusedReplies(), refused + 3);
    }

    void valuesTakenFromReplies() {
        r->d->feed(":B 85.5\r");
        QCOMPARE(r->s.Battery(), 85.5f);
        r->d->feed(":T+23.4 \r"); // positions 4-6
        QCOMPARE(r->s.Temperature(), 23.0f);
        r->d->feed(SigmaData(" 12.5", " V ", 51));
        QCOMPARE(r->s.FieldStr(), QStringLiteral(" 12.5"));
        QCOMPARE(r->s.GetPercentOfScale(), 20);
        QCOMPARE(r->s.GetRangeString(2), QStringLiteral("10 - 31.62 V/m"));
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

    // PX-5200 RGE: shortest data read 50 ms; identification cuts any rate above 14 to 10.
    void sampleRateArithmetic_data() {
        QTest::addColumn<bool>("threeAxis");
        QTest::addColumn<int>("requested");
        QTest::addColumn<QList<int>>("intervalAchievedMaximum");
        QTest::newRow("20/s fits exactly") << false << 20 << QList<int>{50, 20, 20};
        QTest::newRow("5/s") << false << 5 << QList<int>{200, 5, 20};
        QTest::newRow("too fast for the probe") << false << 40 << QList<int>{50, 20, 20};
        QTest::newRow("3-axis, 10/s") << true << 10 << QList<int>{50, 5, 5};
        QTest::newRow("3-axis, 2/s") << true << 2 << QList<int>{146, 2, 6};
    }
    void sampleRateArithmetic() {
        QFETCH(bool, threeAxis);
        QFETCH(int, requested);
        Bench b(Px5200Rge());
        b.s.SetMultiplexPrefered(threeAxis ? 1 : 0);
        QVERIFY(b.characterise());
        QCOMPARE((QList<int>{b.s.MinReadTime(), b.s.RequestedSampleRate()}), (QList<int>{50, 10}));
        b.s.SetSampleRate(requested);
        QTEST((QList<int>{b.s.DataInterval(), b.s.SampleRate(), b.s.GetMaxSamRate()}),
              "intervalAchievedMaximum");
    }

    // PX-5100, units V/m, range 2.
    void graphSelectionAndLimits_data() {
        QTest::addColumn<QString>("graphType");
        QTest::addColumn<int>("autoRange");
        QTest::addColumn<QString>("selection");
        QTest::addColumn<float>("under");
        QTest::addColumn<float>("over");
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

    // As the configuration does at start-up, before any probe.
    void automaticRangeOffBeforeAnyReplyShowsNothing() {
        RecordingHost host;
        probe::clsProbe s(host);
        s.SetAutoRangeOn(1);
        s.SetAutoRangeOn(0);
        QVERIFY(host.messages.isEmpty());
        QCOMPARE(s.AutoRangeOn(), 0);
    }

    void zetaGraphSelectionIsLogarithmic() {
        Bench b;
        b.search([](const QByteArray&) { return ":I9130" + QByteArray(27, '0') + "\r"; }).run(2);
        QCOMPARE(b.s.GetModel(), QStringLiteral("PX-9130"));
        b.s.SetGraphType(QStringLiteral("Auto"));
        QCOMPARE(b.s.GetGraphSelection(), QStringLiteral("Log 0.1-10k"));
        QCOMPARE((QList<int>{b.s.AutoRangeOn(), b.s.MultiplexOn(), b.s.GetMaxRange()}),
                 (QList<int>{0, 1, 5}));
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

    // PX-5100 multiplies the second field kind by 1000 in ranges 2 to 4.
    void scalingFollowsTheMultiplierTable_data() {
        QTest::addColumn<QByteArray>("range");
        QTest::addColumn<QByteArray>("units");
        QTest::addColumn<float>("value");
        QTest::newRow("field strength") << QByteArray(":R3\r") << QByteArray(" V ") << 12.5f;
        QTest::newRow("squared, range 1") << QByteArray(":R1\r") << QByteArray(" V2") << 12.5f;
        QTest::newRow("squared, range 3") << QByteArray(":R3\r") << QByteArray(" V2") << 12500.0f;
        QTest::newRow("power density") << QByteArray(":R3\r") << QByteArray("MW2") << 12.5f;
    }
    void scalingFollowsTheMultiplierTable() {
        QFETCH(QByteArray, range);
        QFETCH(QByteArray, units);
        r->d->feed(range);
        r->d->feed(SigmaData(" 12.5", units));
        QTEST(r->s.XYZNA(), "value");
        QTEST(r->s.Field(), "value");
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

    void averagingHoldsAndUnits() {
        r->s.SetAverage(5);
        r->s.ClearMaxHold();
        r->s.ClearMinHold();
        r->d->feed(SigmaData(" 20.0", " V "));
        QCOMPARE(r->s.Field(), 4.0f); // without averaging the ring was never written
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
    }

    // Reading i is taken with averaging count counts[i]; an expected percent of -1 is not
    // checked.
    void channelAveraging_data() {
        QTest::addColumn<Ints>("counts");
        QTest::addColumn<Floats>("values");
        QTest::addColumn<Ints>("percents");
        QTest::addColumn<float>("averaged");
        QTest::addColumn<int>("avgPercent");
        const auto row = [](const char* name, Ints counts, Floats values, Ints percents, float avg,
                            int pct) {
            QTest::newRow(name) << counts << values << percents << avg << pct;
        };
        row("count 0 is off", {0, 0}, {4, 7}, {9, 8}, 7, -1);
        row("count 1 is off", {1, 1}, {4, 7}, {9, 8}, 7, -1);
        row("5: first", {5}, {10}, {53}, 2, 11);
        row("5: fifth is the mean", {5, 5, 5, 5, 5}, {1, 2, 3, 4, 5}, {5, 6, 7, 8, 9}, 3, 7);
        row("5: sixth", {5, 5, 5, 5, 5, 5}, {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}, 4, 4);
        row("lowered below index", {5, 5, 5, 5, 2}, {1, 2, 3, 4, 10}, {10, 20, 30, 40, 50}, 6, 35);
        row("raised keeps the ring", {2, 2, 2, 4}, {1, 2, 3, 4}, {1, 2, 3, 4}, 1.75f, 2);
        row("unaveraged skips ring", {3, 3, 1, 3}, {3, 6, 100, 9}, {3, 6, 100, 9}, 6, 6);
        row("count above 50 is 50", {80}, {100}, {100}, 2, 2);
        row("percent 2.5 to even", {2, 2}, {1, 1}, {2, 3}, 1, 2);
    }
    void channelAveraging() {
        QFETCH(Ints, counts);
        QFETCH(Floats, values);
        QFETCH(Ints, percents);
        QFETCH(int, avgPercent);
        ReadingChannel channel(9999999.f);
        for (qsizetype i = 0; i < values.size(); ++i)
            channel.take(values[i], percents[i], counts[i], 0);
        QTEST(channel.averaged(), "averaged");
        QCOMPARE(channel.raw(), values.last());
        QCOMPARE(channel.barPercent(), percents.last());
        if (avgPercent >= 0) QCOMPARE(channel.avgPercent(), avgPercent);
    }

    // Taken with averaging count 5, so holds that followed the average would show; then cleared.
    void channelHolds_data() {
        QTest::addColumn<Floats>("values");
        QTest::addColumn<int>("paused");
        QTest::addColumn<Floats>("peakAndMinimum");
        QTest::newRow("tracking") << Floats{5, 2, 9, 3} << 0 << Floats{9, 2};
        QTest::newRow("negative stays below peak 0") << Floats{-3} << 0 << Floats{0, -3};
        QTest::newRow("paused 1") << Floats{5, 2} << 1 << Floats{0, 999999};
        QTest::newRow("paused -1 tracks") << Floats{5} << -1 << Floats{5, 5};
    }
    void channelHolds() {
        QFETCH(Floats, values);
        QFETCH(int, paused);
        ReadingChannel channel(999999.f);
        for (float v : values)
            channel.take(v, 0, 5, paused);
        QTEST((Floats{channel.peak(), channel.minimum()}), "peakAndMinimum");
        channel.clearPeak();
        channel.clearMinimum();
        channel.take(7, 0, 5, 0);
        QCOMPARE((Floats{channel.peak(), channel.minimum()}), (Floats{7, 7}));
    }

    // Of the axes 3, 4, 12: the root of the squares, the sum, or nothing.
    void composite_data() {
        QTest::addColumn<QString>("units");
        QTest::addColumn<float>("expected");
        for (const char* u : {"V/m", "k(V/m)", "A/m", "mA/m", "m A/m", "mA", "A"})
            QTest::newRow(u) << QString(u) << 13.f;
        for (const char* u : {"mW/cm", "W/cm", "uW/cm", "(V/m)", "k(V/m)", "m(A/m)", "(A/m)"})
            QTest::addRow("%s squared", u) << QString(u) + QChar(0x00B2) << 19.f;
        for (const char* u : {"", "unknown", "v/m", "mW/cm", "V/m ", "\xB2"})
            QTest::addRow("other '%s'", qPrintable(QString::fromLatin1(u)))
                << QString::fromLatin1(u) << 0.f;
    }
    void composite() {
        QFETCH(QString, units);
        QTEST(probe::CompositeOf(units, 3, 4, 12), "expected");
    }

    void adjustStrLen() {
        const std::pair<float, const char*> rows[] = {
            {9.9994f, "9.999"}, {9.9996f, "10.000"}, {10, "10.00"},       {99.99f, "99.99"},
            {100, "100.0"},     {999.94f, "999.9"},  {999.96f, "1000.0"}, {1000, "1000"},
            {1234.4f, "1234"},  {0, "0.000"},        {-5, "-5.000"},      {-1500, "-1500.000"}};
        for (const auto& [value, text] : rows)
            QCOMPARE(probe::AdjustStrLen(value), QString(text));
    }

    void val_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<double>("value");
        const std::pair<const char*, double> rows[] = {
            {" 12.5", 12.5}, {"\t1 2\n3", 123}, {"1\r2", 1},  {"-3e2", -300},
            {"1.5D1", 15},   {"25E-1x", 2.5},   {"7e+", 7},   {"12abc", 12},
            {"1.2.3", 1.2},  {"", 0},           {":", 0},     {"--5", 0},
            {"  +7.", 7},    {".5", 0.5},       {"&H1F", 31}, {"& hffg", 255},
            {"&O178", 15},   {"&Z7", 0},        {"1,5", 1},   {"0123.450", 123.45}};
        for (const auto& [text, value] : rows)
            QTest::addRow("%s", QByteArray(text).toPercentEncoding().constData())
                << QByteArray(text) << value;
        const double inf = std::numeric_limits<double>::infinity();
        QTest::newRow("garbage bytes") << QByteArray("\xff\x00\x80", 3) << 0.0;
        QTest::newRow("NUL stops") << QByteArray::fromHex("340032") << 4.0;
        QTest::newRow("400 nines") << QByteArray(400, '9') << inf;
        QTest::newRow("500 zeros, then 1") << "0." + QByteArray(500, '0') + "1" << 0.0;
        QTest::newRow("huge exponent") << "-1e" + QByteArray(40, '9') << -inf;
        QTest::newRow("tiny exponent") << "1e-" + QByteArray(40, '9') << 0.0;
    }
    void val() {
        QFETCH(QByteArray, text);
        QTEST(probe::Val(text), "value");
    }
};

QTEST_GUILESS_MAIN(RepliesTest)
#include "tst_replies.moc"
