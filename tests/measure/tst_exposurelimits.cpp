// The reference levels and a reading's share of them, against values worked by hand from the
// published tables.
#include "measure/ExposureLimits.h"

#include <QTest>
#include <cmath>

using namespace measure;

namespace {

const double None = std::nan("");

void Near(std::optional<double> got, double want, double tolerance) {
    QCOMPARE(got.has_value(), !std::isnan(want));
    if (got)
        QVERIFY2(std::abs(*got - want) <= tolerance,
                 qPrintable(QStringLiteral("%1, not %2").arg(*got, 0, 'g', 8).arg(want)));
}

// A reading at a frequency (most: the lowest level over 0.1 MHz - 6 GHz) and what it comes to:
// its share in power terms, the limit in its own units and the averaging time.
struct Case {
    const char* key;
    double mhz, value;
    const char* units;
    double percent, limit;
    int seconds;
    bool most = false;
};
const Case Cases[] = {
    {"icnirp2020-public", 900, 13, "V/m", 9.932, 41.25, 1800},
    {"icnirp2020-public", 3000, 13, "V/m", 4.483, 61.4003, 1800}, // E from S
    {"icnirp1998-public", 100, 13, "V/m", 21.556, 28, 360},
    {"fcc-general", 900, 13, "V/m", 7.471, 47.5605, 1800},
    {"fcc-general", 900, 0.04483, "mW/cm\u00B2", 7.472, 0.6, 1800},
    {"fcc-occupational", 900, 13, "V/m", 1.494, 106.348, 360},
    {"fcc-occupational", 10, 0.00225, "W/cm\u00B2", 25, 0.009, 360},
    {"icnirp2020-public", 900, 50, "mA/m", 20.291, 111, 1800},
    {"icnirp2020-public", 3000, 50, "m A/m", 9.425, 162.866, 1800}, // H from S
    {"icnirp1998-public", 10000, 2.5, "W/m\u00B2", 25, 10, 360},
    {"icnirp1998-public", 30000, 13, "V/m", 4.542, 61, 115}, // 68/30^1.05 min
    // An edge belongs to the band below it; the first band also holds its lower end.
    {"icnirp2020-public", 0.1, 0.75, "k(V/m)", 24.882, 1.50356, 1800},
    {"icnirp2020-public", 30, 0.5, "W/m\u00B2", 24.493, 2.04142, 1800}, // S from E
    {"icnirp2020-public", 400, 13, "V/m", 22.026, 27.7, 1800},
    {"icnirp2020-public", 2000, 2.5, "m(A/m)\u00B2", 9.131, 27.38, 1800},
    {"icnirp2020-public", 3e5, 250, "uW/cm\u00B2", 25, 1000, 1800},
    {"icnirp2020-public", 3.001e5, 13, "V/m", None, None, 1800},
    {"icnirp1998-public", 10, 0.169, "k(V/m)\u00B2", 22.328, 0.7569, 360},
    {"icnirp1998-public", 0.1499, 13, "V/m", None, None, 360},
    {"icnirp1998-occupational", 2000, 4500, "(V/m)\u00B2", 25, 18000, 360},
    {"fcc-general", 1.34, 0.815, "A/m", 25, 1.63, 1800},
    {"fcc-general", 1.00001e5, 13, "V/m", None, None, 1800},
    // Lowest at the open lower end of 300-1500 MHz (FCC) and of 400-2000 MHz (ICNIRP).
    {"fcc-general", 1, 13, "V/m", 22.414, 27.4591, 1800, true},
    {"icnirp1998-public", 30000, 13, "V/m", 22.347, 27.5, 360, true},
    {"icnirp2020-public", 900, -3, "V/m", 0, 41.25, 1800},
    {"icnirp2020-public", 900, None, "V/m", 0, 41.25, 1800},
    {"icnirp2020-public", 900, 13, "mA", None, None, 1800},
};

} // namespace

class ExposureLimitsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cases_data() {
        QTest::addColumn<int>("row");
        for (const Case& c : Cases)
            QTest::addRow("%s %g MHz %g %s", c.key, c.mhz, c.value, c.units) << int(&c - Cases);
    }
    void cases() {
        QFETCH(int, row);
        const Case& c = Cases[row];
        LimitChoice choice{.frequencyMHz = c.mhz, .mostRestrictive = c.most};
        QVERIFY(SetLimitKey(QLatin1String(c.key), choice));
        QCOMPARE(AveragingSeconds(choice), c.seconds);
        const auto share = ShareOfLimit(c.value, QString::fromUtf8(c.units), choice);
        Near(share ? std::optional(share->percent) : std::nullopt, c.percent, 0.01);
        if (!share) return;
        QCOMPARE_LE(std::abs(share->limit - c.limit), c.limit * 1e-5);
        QCOMPARE_LE(std::abs(share->fieldRatio - std::sqrt(c.percent / 100)), 1e-4);
    }

    // Which level a quantity takes where a band gives several, or none.
    void routes() {
        const ReferenceLevels es{10.0, std::nullopt, 1.0}, h{std::nullopt, 0.5, std::nullopt};
        Near(LimitOf(Quantity::H, es), std::sqrt(1.0 / 377), 1e-9);
        Near(LimitOf(Quantity::E2, h), 188.5 * 188.5, 1e-6);
        Near(LimitOf(Quantity::S, h), 377 * 0.25, 1e-9);
        Near(LimitOf(Quantity::H2, ReferenceLevels{}), None, 0);
    }

    void namesAndKeys() {
        LimitChoice choice;
        QCOMPARE(LimitName(choice), QStringLiteral("ICNIRP 2020, general public, 900 MHz"));
        QVERIFY(SetLimitKey(QStringLiteral("icnirp1998-occupational"), choice));
        choice.frequencyMHz = 2450;
        QCOMPARE(LimitName(choice), QStringLiteral("ICNIRP 1998, occupational, 2.45 GHz"));
        QVERIFY(SetLimitKey(QStringLiteral("fcc-general"), choice));
        choice.mostRestrictive = true;
        QCOMPARE(LimitName(choice),
                 QStringLiteral("FCC, general population, most restrictive 0.1 MHz - 6 GHz"));
        QVERIFY(!SetLimitKey(QStringLiteral("icnirp"), choice));
        QCOMPARE(LimitKeys().size(), 6);
        for (const QString& key : LimitKeys()) {
            QVERIFY(SetLimitKey(key, choice));
            QCOMPARE(LimitKey(choice.standard, choice.population), key);
        }
    }

    // A frequency read from text, and shown again.
    void frequencies() {
        for (auto [text, mhz, shown] : {std::tuple{"900", 900.0, "900 MHz"},
                                        {"2.45 ghz", 2450.0, "2.45 GHz"},
                                        {"100kHz", 0.1, "100 kHz"},
                                        {"27e6Hz", 27.0, "27 MHz"},
                                        {"999.99 MHz", 999.99, "1 GHz"},
                                        {"0", None, ""},
                                        {"9 00", None, ""}}) {
            Near(ParseFrequency(QLatin1String(text)), mhz, 1e-9);
            if (*shown) QCOMPARE(FrequencyText(mhz), QLatin1String(shown));
            if (QTest::currentTestFailed()) return qWarning("reading \"%s\"", text);
        }
    }
};

QTEST_APPLESS_MAIN(ExposureLimitsTest)
#include "tst_exposurelimits.moc"
