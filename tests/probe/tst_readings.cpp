#include "probe/Readings.h"

#include <QTest>
#include <limits>

using probe::ReadingChannel;
using Ints = QList<int>;
using Floats = QList<float>;

class TestReadings : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Reading i is taken with averaging count counts[i]; an expected percent of -1 is not checked.
    void averaging_data() {
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

    void averaging() {
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
    void holds_data() {
        QTest::addColumn<Floats>("values");
        QTest::addColumn<int>("paused");
        QTest::addColumn<float>("peak");
        QTest::addColumn<float>("minimum");
        QTest::newRow("tracking") << Floats{5, 2, 9, 3} << 0 << 9.f << 2.f;
        QTest::newRow("negative stays below peak 0") << Floats{-3} << 0 << 0.f << -3.f;
        QTest::newRow("paused 1") << Floats{5, 2} << 1 << 0.f << 999999.f;
        QTest::newRow("paused -1 tracks") << Floats{5} << -1 << 5.f << 5.f;
    }

    void holds() {
        QFETCH(Floats, values);
        QFETCH(int, paused);
        ReadingChannel channel(999999.f);
        for (float v : values)
            channel.take(v, 0, 5, paused);
        QTEST(channel.peak(), "peak");
        QTEST(channel.minimum(), "minimum");
        channel.clearPeak();
        channel.clearMinimum();
        channel.take(7, 0, 5, 0);
        QCOMPARE(channel.peak(), 7.f);
        QCOMPARE(channel.minimum(), 7.f);
    }

    void composite_data() {
        QTest::addColumn<QString>("units");
        QTest::addColumn<float>("expected"); // of the axes 3, 4, 12
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

QTEST_APPLESS_MAIN(TestReadings)
#include "tst_readings.moc"
