// The reference levels and a reading's share of them, against values worked by hand from the
// published tables.
#include "measure/ExposureLimits.h"

#include <QTest>
#include <cmath>

using namespace measure;

namespace {

const double None = std::nan("");
constexpr Quantity E = Quantity::E, H = Quantity::H, S = Quantity::S;

LimitChoice Choice(const char* key, double frequencyMHz, bool mostRestrictive = false) {
    LimitChoice choice;
    if (!SetLimitKey(QLatin1String(key), choice)) qFatal("no limit %s", key);
    choice.frequencyMHz = frequencyMHz;
    choice.mostRestrictive = mostRestrictive;
    return choice;
}

void CompareOptional(std::optional<double> got, double want, double tolerance) {
    QCOMPARE(got.has_value(), !std::isnan(want));
    if (got)
        QVERIFY2(std::abs(*got - want) <= tolerance,
                 qPrintable(QStringLiteral("%1, not %2").arg(*got, 0, 'g', 8).arg(want)));
}

struct LimitRow {
    const char* name;
    const char* key;
    double mhz;
    bool most;
    Quantity quantity;
    double limit;
};
const LimitRow LimitRows[] = {
    // An edge belongs to the band below it; the first band holds its lower end.
    {"2020 at 30 MHz", "icnirp2020-public", 30, false, E, 27.7419},
    {"2020 above 30 MHz", "icnirp2020-public", 30.001, false, E, 27.7},
    {"2020 at 400 MHz", "icnirp2020-public", 400, false, E, 27.7},
    {"2020 at 2 GHz", "icnirp2020-public", 2000, false, E, 61.4919},
    {"2020 above 2 GHz", "icnirp2020-public", 2000.1, false, E, 61.4003},
    {"2020 at 0.1 MHz", "icnirp2020-public", 0.1, false, E, 1503.56},
    {"2020 below 0.1 MHz", "icnirp2020-public", 0.0999, false, E, None},
    {"2020 at 300 GHz", "icnirp2020-public", 3e5, false, S, 10},
    {"2020 above 300 GHz", "icnirp2020-public", 3.001e5, false, S, None},
    {"1998 at 10 MHz", "icnirp1998-public", 10, false, E, 27.5118},
    {"1998 above 10 MHz", "icnirp1998-public", 10.001, false, E, 28},
    {"1998 below 0.15 MHz", "icnirp1998-public", 0.1499, false, E, None},
    {"1998 occ at 2 GHz", "icnirp1998-occupational", 2000, false, E, 134.164},
    {"FCC at 1.34 MHz", "fcc-general", 1.34, false, E, 614},
    {"FCC above 1.34 MHz", "fcc-general", 1.3401, false, E, 614.879},
    {"FCC occ 10 MHz, mW/cm2", "fcc-occupational", 10, false, S, 90},
    {"FCC below 0.3 MHz", "fcc-general", 0.2999, false, E, None},
    {"FCC above 100 GHz", "fcc-general", 1.00001e5, false, S, None},
    // A quantity the band does not give, from the one it gives.
    {"S from E", "icnirp2020-public", 10, false, S, 9.50388},
    {"H from S", "icnirp2020-public", 3000, false, H, 0.162866},
    {"E from S", "fcc-occupational", 900, false, E, 106.348},
    // The lowest over 0.1 MHz - 6 GHz: for ICNIRP at the open lower end of 400-2000 MHz.
    {"most 2020 E", "icnirp2020-public", 900, true, E, 27.5},
    {"most 2020 S", "icnirp2020-public", 900, true, S, 2},
    {"most 2020 occ E", "icnirp2020-occupational", 1, true, E, 60},
    {"most 1998 E", "icnirp1998-public", 900, true, E, 27.5},
    {"most FCC E", "fcc-general", 900, true, E, 27.4591},
    {"no quantity", "fcc-general", 900, true, Quantity::None, None},
};

struct ShareRow {
    const char* name;
    const char* key;
    double mhz;
    bool most;
    double value;
    const char* units;
    double percent;
    double limit; // in the reading's units
};
const ShareRow ShareRows[] = {
    {"2020 900 MHz", "icnirp2020-public", 900, false, 13, "V/m", 9.932, 41.25},
    {"2020 3 GHz", "icnirp2020-public", 3000, false, 13, "V/m", 4.483, 61.4003},
    {"1998 100 MHz", "icnirp1998-public", 100, false, 13, "V/m", 21.556, 28},
    {"1998 k(V/m)2", "icnirp1998-public", 100, false, 0.169, "k(V/m)\u00B2", 21.556, 0.784},
    {"FCC 900 MHz", "fcc-general", 900, false, 13, "V/m", 7.471, 47.5605},
    {"FCC mW/cm2", "fcc-general", 900, false, 0.04483, "mW/cm\u00B2", 7.472, 0.6},
    {"FCC most", "fcc-general", 1, true, 13, "V/m", 22.414, 27.4591},
    {"2020 mA/m", "icnirp2020-public", 900, false, 50, "mA/m", 20.291, 111},
    {"2020 m A/m", "icnirp2020-public", 900, false, 50, "m A/m", 20.291, 111},
    {"2020 m(A/m)2", "icnirp2020-public", 900, false, 2.5, "m(A/m)\u00B2", 20.291, 12.321},
    {"2020 uW/cm2", "icnirp2020-public", 3000, false, 250, "uW/cm\u00B2", 25, 1000},
    {"negative", "icnirp2020-public", 900, false, -3, "V/m", 0, 41.25},
    {"NaN", "icnirp2020-public", 900, false, None, "V/m", 0, 41.25},
    {"current", "icnirp2020-public", 900, false, 13, "mA", None, None},
    {"no units", "icnirp2020-public", 900, false, 13, "", None, None},
    {"no band", "fcc-general", 0.2, false, 13, "V/m", None, None},
};

} // namespace

class ExposureLimitsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void limits_data() {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(LimitRows)); ++i)
            QTest::newRow(LimitRows[i].name) << i;
    }
    void limits() {
        QFETCH(int, row);
        const LimitRow& r = LimitRows[row];
        CompareOptional(LimitOf(r.quantity, Choice(r.key, r.mhz, r.most)), r.limit,
                        std::abs(r.limit) * 1e-5);
    }

    // Which level a quantity takes when a band gives several, or none.
    void limitRoutes() {
        const ReferenceLevels es{10.0, std::nullopt, 1.0}, h{std::nullopt, 0.5, std::nullopt};
        CompareOptional(LimitOf(E, es), 10.0, 1e-9);
        CompareOptional(LimitOf(H, es), std::sqrt(1.0 / 377), 1e-9);
        CompareOptional(LimitOf(Quantity::E2, h), 188.5 * 188.5, 1e-6);
        CompareOptional(LimitOf(S, h), 377 * 0.25, 1e-9);
        CompareOptional(LimitOf(Quantity::H2, ReferenceLevels{}), None, 0);
    }

    void shares_data() {
        QTest::addColumn<int>("row");
        for (int i = 0; i < int(std::size(ShareRows)); ++i)
            QTest::newRow(ShareRows[i].name) << i;
    }
    void shares() {
        QFETCH(int, row);
        const ShareRow& r = ShareRows[row];
        const auto share =
            ShareOfLimit(r.value, QString::fromUtf8(r.units), Choice(r.key, r.mhz, r.most));
        CompareOptional(share ? std::optional(share->percent) : std::nullopt, r.percent, 0.01);
        if (!share) return;
        QCOMPARE_LE(std::abs(share->limit - r.limit), r.limit * 1e-5);
        QCOMPARE_LE(std::abs(share->fieldRatio - std::sqrt(r.percent / 100)), 1e-4);
    }

    void averaging() {
        QCOMPARE(AveragingSeconds(Choice("icnirp2020-occupational", 900)), 1800);
        QCOMPARE(AveragingSeconds(Choice("icnirp1998-public", 10000)), 360);
        QCOMPARE(AveragingSeconds(Choice("icnirp1998-public", 30000)), 115); // 68/30^1.05 min
        QCOMPARE(AveragingSeconds(Choice("icnirp1998-public", 30000, true)), 360);
        QCOMPARE(AveragingSeconds(Choice("fcc-occupational", 900)), 360);
        QCOMPARE(AveragingSeconds(Choice("fcc-general", 900)), 1800);
    }

    void namesAndKeys() {
        QCOMPARE(LimitName(Choice("icnirp2020-public", 900)),
                 QStringLiteral("ICNIRP 2020, general public, 900 MHz"));
        QCOMPARE(LimitName(Choice("icnirp1998-occupational", 2450)),
                 QStringLiteral("ICNIRP 1998, occupational, 2.45 GHz"));
        QCOMPARE(LimitName(Choice("fcc-general", 900, true)),
                 QStringLiteral("FCC, general population, most restrictive 0.1 MHz - 6 GHz"));
        QCOMPARE(LimitKeys().size(), 6);
        for (const QString& key : LimitKeys()) {
            LimitChoice choice;
            QVERIFY(SetLimitKey(key, choice));
            QCOMPARE(LimitKey(choice.standard, choice.population), key);
        }
        LimitChoice choice;
        QVERIFY(!SetLimitKey(QStringLiteral("icnirp"), choice));
        QCOMPARE(FrequencyText(0.15), QStringLiteral("150 kHz"));
        QCOMPARE(FrequencyText(27.12), QStringLiteral("27.12 MHz"));
        QCOMPARE(FrequencyText(999.99), QStringLiteral("1 GHz"));
    }

    void parseFrequency() {
        for (auto [text, mhz] : {std::pair{"900MHz", 900.0},
                                 {"900 MHz", 900.0},
                                 {"900", 900.0},
                                 {"2.45GHz", 2450.0},
                                 {"2.45 ghz", 2450.0},
                                 {"100kHz", 0.1},
                                 {"27e6Hz", 27.0},
                                 {"1.5E3", 1500.0},
                                 {"0", None},
                                 {"-5 MHz", None},
                                 {"", None},
                                 {"MHz", None},
                                 {"900 MHzz", None},
                                 {"nan", None},
                                 {"9 00", None},
                                 {"1e999", None}}) {
            CompareOptional(ParseFrequency(QLatin1String(text)), mhz, 1e-9);
            if (QTest::currentTestFailed()) return qWarning("parsing \"%s\"", text);
        }
    }
};

QTEST_APPLESS_MAIN(ExposureLimitsTest)
#include "tst_exposurelimits.moc"
