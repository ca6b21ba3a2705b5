#include "measure/ExposureLimits.h"

#include <QRegularExpression>
#include <QStringView>
#include <algorithm>
#include <array>
#include <cmath>
#include <span>

namespace measure {

namespace {

// The impedance of free space the standards take for the plane-wave equivalents, in ohms.
constexpr double Z0 = 377.0;

// One level of a band: k·f^p with f in MHz, or absent.
struct Term {
    double k = 0.0;
    double p = 0.0;
    bool given = false;
};
constexpr Term L(double k, double p = 0.0) {
    return {k, p, true};
}
constexpr Term NA{};

// A band runs from above lowMHz up to highMHz inclusive; the first band of a table also holds
// its lower end. E in V/m, H in A/m, S in W/m².
struct Band {
    double lowMHz;
    double highMHz;
    Term e, h, s;
};

constexpr double GHz = 1000.0;
constexpr double mWcm2 = 10.0; // W/m² in 1 mW/cm²

// ---- The reference levels (whole body, unperturbed rms values) ------------------------------

// ICNIRP, Guidelines for limiting exposure to electromagnetic fields (100 kHz to 300 GHz),
// Health Phys. 118(5):483-524, 2020; Table 5, averaged over 30 min.
constexpr std::array Icnirp2020Occupational{
    Band{0.1, 30, L(660, -0.7), L(4.9, -1), NA},
    Band{30, 400, L(61), L(0.16), L(10)},
    Band{400, 2 * GHz, L(3, 0.5), L(0.008, 0.5), L(1.0 / 40, 1)},
    Band{2 * GHz, 300 * GHz, NA, NA, L(50)},
};
constexpr std::array Icnirp2020Public{
    Band{0.1, 30, L(300, -0.7), L(2.2, -1), NA},
    Band{30, 400, L(27.7), L(0.073), L(2)},
    Band{400, 2 * GHz, L(1.375, 0.5), L(0.0037, 0.5), L(1.0 / 200, 1)},
    Band{2 * GHz, 300 * GHz, NA, NA, L(10)},
};

// ICNIRP, Guidelines for limiting exposure to time-varying electric, magnetic, and
// electromagnetic fields (up to 300 GHz), Health Phys. 74(4):494-522, 1998; Table 6
// (occupational) and Table 7 (general public, the same as Council Recommendation 1999/519/EC,
// Annex III), the part from 65 kHz and 150 kHz up.
constexpr std::array Icnirp1998Occupational{
    Band{0.065, 1, L(610), L(1.6, -1), NA},
    Band{1, 10, L(610, -1), L(1.6, -1), NA},
    Band{10, 400, L(61), L(0.16), L(10)},
    Band{400, 2 * GHz, L(3, 0.5), L(0.008, 0.5), L(1.0 / 40, 1)},
    Band{2 * GHz, 300 * GHz, L(137), L(0.36), L(50)},
};
constexpr std::array Icnirp1998Public{
    Band{0.15, 1, L(87), L(0.73, -1), NA},
    Band{1, 10, L(87, -0.5), L(0.73, -1), NA},
    Band{10, 400, L(28), L(0.073), L(2)},
    Band{400, 2 * GHz, L(1.375, 0.5), L(0.0037, 0.5), L(1.0 / 200, 1)},
    Band{2 * GHz, 300 * GHz, L(61), L(0.16), L(10)},
};

// 47 CFR 1.1310, Table 1: limits for maximum permissible exposure, given in mW/cm²; where a
// field is given the density is the plane-wave equivalent. (A) occupational/controlled, 6 min;
// (B) general population/uncontrolled, 30 min.
constexpr std::array FccOccupational{
    Band{0.3, 3, L(614), L(1.63), L(100 * mWcm2)},
    Band{3, 30, L(1842, -1), L(4.89, -1), L(900 * mWcm2, -2)},
    Band{30, 300, L(61.4), L(0.163), L(1.0 * mWcm2)},
    Band{300, 1500, NA, NA, L(mWcm2 / 300, 1)},
    Band{1500, 100 * GHz, NA, NA, L(5 * mWcm2)},
};
constexpr std::array FccGeneral{
    Band{0.3, 1.34, L(614), L(1.63), L(100 * mWcm2)},
    Band{1.34, 30, L(824, -1), L(2.19, -1), L(180 * mWcm2, -2)},
    Band{30, 300, L(27.5), L(0.073), L(0.2 * mWcm2)},
    Band{300, 1500, NA, NA, L(mWcm2 / 1500, 1)},
    Band{1500, 100 * GHz, NA, NA, L(1.0 * mWcm2)},
};

// The span a source of unknown frequency is taken to lie in.
constexpr double WidestLowMHz = 0.1;
constexpr double WidestHighMHz = 6 * GHz;

// ---------------------------------------------------------------------------------------------

std::span<const Band> TableOf(LimitStandard standard, Population population) {
    const bool occupational = population == Population::Occupational;
    switch (standard) {
    case LimitStandard::Icnirp2020:
        if (occupational) return Icnirp2020Occupational;
        return Icnirp2020Public;
    case LimitStandard::Icnirp1998:
        if (occupational) return Icnirp1998Occupational;
        return Icnirp1998Public;
    case LimitStandard::Fcc:
        if (occupational) return FccOccupational;
        return FccGeneral;
    }
    return {};
}

std::optional<double> ValueOf(const Term& term, double f) {
    if (!term.given) return std::nullopt;
    return term.p == 0.0 ? term.k : term.k * std::pow(f, term.p);
}

ReferenceLevels LevelsOf(const Band& band, double f) {
    return {ValueOf(band.e, f), ValueOf(band.h, f), ValueOf(band.s, f)};
}

std::optional<double> FieldLimit(Quantity quantity, const ReferenceLevels& levels) {
    const auto& [e, h, s] = levels;
    if (quantity == Quantity::E) {
        if (e) return *e;
        if (s) return std::sqrt(Z0 * *s);
        if (h) return Z0 * *h;
    } else if (quantity == Quantity::H) {
        if (h) return *h;
        if (s) return std::sqrt(*s / Z0);
        if (e) return *e / Z0;
    } else if (quantity == Quantity::S) {
        if (s) return *s;
        if (e) return *e * *e / Z0;
        if (h) return Z0 * *h * *h;
    }
    return std::nullopt;
}

// The lowest limit over the widest span: within a band each level is monotonic in f, so the
// lowest is at one end of the band's part inside the span (at the open lower end, the value
// the band's formula tends to).
std::optional<double> LowestLimit(Quantity quantity, std::span<const Band> table) {
    std::optional<double> lowest;
    for (const Band& band : table) {
        const double low = std::max(band.lowMHz, WidestLowMHz);
        const double high = std::min(band.highMHz, WidestHighMHz);
        if (low > high) continue;
        for (double f : {low, high})
            if (auto limit = LimitOf(quantity, LevelsOf(band, f)))
                lowest = lowest ? std::min(*lowest, *limit) : *limit;
    }
    return lowest;
}

struct UnitsEntry {
    QStringView text;
    Quantity quantity;
    double toSi;
};
const UnitsEntry UnitsTable[] = {
    {u"V/m", Quantity::E, 1.0},
    {u"k(V/m)", Quantity::E, 1000.0},
    {u"(V/m)\u00B2", Quantity::E2, 1.0},
    {u"k(V/m)\u00B2", Quantity::E2, 1000.0},
    {u"A/m", Quantity::H, 1.0},
    {u"mA/m", Quantity::H, 0.001},
    {u"m A/m", Quantity::H, 0.001},
    {u"(A/m)\u00B2", Quantity::H2, 1.0},
    {u"m(A/m)\u00B2", Quantity::H2, 0.001},
    {u"W/m\u00B2", Quantity::S, 1.0},
    {u"mW/cm\u00B2", Quantity::S, 10.0},
    {u"W/cm\u00B2", Quantity::S, 1e4},
    {u"uW/cm\u00B2", Quantity::S, 0.01},
};

const std::array<const char*, 6> Keys{"icnirp2020-public", "icnirp2020-occupational",
                                      "icnirp1998-public", "icnirp1998-occupational",
                                      "fcc-general",       "fcc-occupational"};

} // namespace

std::optional<ReferenceLevels> LevelsAt(LimitStandard standard, Population population,
                                        double frequencyMHz) {
    const std::span<const Band> table = TableOf(standard, population);
    for (std::size_t i = 0; i < table.size(); ++i) {
        const Band& band = table[i];
        const bool aboveLow = frequencyMHz > band.lowMHz || (i == 0 && frequencyMHz == band.lowMHz);
        if (aboveLow && frequencyMHz <= band.highMHz) return LevelsOf(band, frequencyMHz);
    }
    return std::nullopt;
}

UnitsQuantity QuantityOfUnits(const QString& units) {
    for (const UnitsEntry& entry : UnitsTable)
        if (units == entry.text) return {entry.quantity, entry.toSi};
    return {};
}

std::optional<double> LimitOf(Quantity quantity, const ReferenceLevels& levels) {
    const bool squared = quantity == Quantity::E2 || quantity == Quantity::H2;
    const Quantity field = quantity == Quantity::E2   ? Quantity::E
                           : quantity == Quantity::H2 ? Quantity::H
                                                      : quantity;
    const std::optional<double> limit = FieldLimit(field, levels);
    if (limit && squared) return *limit * *limit;
    return limit;
}

std::optional<double> LimitOf(Quantity quantity, const LimitChoice& choice) {
    if (quantity == Quantity::None) return std::nullopt;
    if (choice.mostRestrictive)
        return LowestLimit(quantity, TableOf(choice.standard, choice.population));
    const auto levels = LevelsAt(choice.standard, choice.population, choice.frequencyMHz);
    if (!levels) return std::nullopt;
    return LimitOf(quantity, *levels);
}

std::optional<LimitShare> ShareOfLimit(double value, const QString& units,
                                       const LimitChoice& choice) {
    const UnitsQuantity uq = QuantityOfUnits(units);
    const std::optional<double> limit = LimitOf(uq.quantity, choice);
    if (!limit || !(*limit > 0.0)) return std::nullopt;
    const double si = value > 0.0 ? value * uq.toSi : 0.0; // NaN and negative read as 0
    const double ratio = si / *limit;
    const bool field = uq.quantity == Quantity::E || uq.quantity == Quantity::H;
    LimitShare share;
    share.percent = 100.0 * (field ? ratio * ratio : ratio);
    share.fieldRatio = std::sqrt(share.percent / 100.0);
    share.limit = *limit / uq.toSi;
    return share;
}

int AveragingSeconds(const LimitChoice& choice) {
    switch (choice.standard) {
    case LimitStandard::Icnirp2020: return 30 * 60;
    case LimitStandard::Icnirp1998: {
        // 6 min up to 10 GHz; above, 68/f^1.05 min with f in GHz, shorter as the depth the
        // field reaches into the body falls.
        const double fGHz = choice.frequencyMHz / GHz;
        if (choice.mostRestrictive || !(fGHz > 10.0)) return 6 * 60;
        return static_cast<int>(std::lround(60.0 * 68.0 / std::pow(fGHz, 1.05)));
    }
    case LimitStandard::Fcc:
        return choice.population == Population::Occupational ? 6 * 60 : 30 * 60;
    }
    return 6 * 60;
}

QString LimitName(const LimitChoice& choice) {
    const bool occupational = choice.population == Population::Occupational;
    QString name;
    switch (choice.standard) {
    case LimitStandard::Icnirp2020: name = QStringLiteral("ICNIRP 2020"); break;
    case LimitStandard::Icnirp1998: name = QStringLiteral("ICNIRP 1998"); break;
    case LimitStandard::Fcc: name = QStringLiteral("FCC"); break;
    }
    if (occupational)
        name += QStringLiteral(", occupational");
    else if (choice.standard == LimitStandard::Fcc)
        name += QStringLiteral(", general population");
    else
        name += QStringLiteral(", general public");
    return name + QStringLiteral(", ") +
           (choice.mostRestrictive ? QStringLiteral("most restrictive 0.1 MHz - 6 GHz")
                                   : FrequencyText(choice.frequencyMHz));
}

QStringList LimitKeys() {
    QStringList keys;
    for (const char* key : Keys)
        keys << QLatin1String(key);
    return keys;
}

QString LimitKey(LimitStandard standard, Population population) {
    const int index =
        static_cast<int>(standard) * 2 + (population == Population::Occupational ? 1 : 0);
    return QLatin1String(Keys[static_cast<std::size_t>(index)]);
}

bool SetLimitKey(const QString& key, LimitChoice& choice) {
    for (std::size_t i = 0; i < Keys.size(); ++i) {
        if (key != QLatin1String(Keys[i])) continue;
        choice.standard = static_cast<LimitStandard>(i / 2);
        choice.population = i % 2 ? Population::Occupational : Population::General;
        return true;
    }
    return false;
}

std::optional<double> ParseFrequency(const QString& text) {
    static const QRegularExpression pattern(
        QStringLiteral(R"(^([+-]?(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?)\s*(hz|khz|mhz|ghz)?$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = pattern.match(text.trimmed());
    if (!match.hasMatch()) return std::nullopt;
    bool ok = false;
    const double number = match.captured(1).toDouble(&ok); // always the C locale
    if (!ok || !std::isfinite(number) || !(number > 0.0)) return std::nullopt;
    const QString unit = match.captured(2).toLower();
    const double toMHz = unit == QLatin1String("hz")    ? 1e-6
                         : unit == QLatin1String("khz") ? 1e-3
                         : unit == QLatin1String("ghz") ? 1e3
                                                        : 1.0;
    const double mhz = number * toMHz;
    if (!std::isfinite(mhz) || !(mhz > 0.0)) return std::nullopt;
    return mhz;
}

QString ShareText(double percent) {
    return QString::number(percent, 'f', percent < 10.0 ? 2 : 1) + QStringLiteral(" %");
}

QString FrequencyText(double frequencyMHz) {
    // Rounded to four significant digits first, so that 999.99 MHz shows as 1 GHz.
    const double f = QString::number(frequencyMHz, 'g', 4).toDouble();
    const auto text = [](double v, const char* unit) {
        const QString digits =
            std::abs(v) < 1e4 ? QString::number(v, 'g', 4) : QString::number(v, 'f', 0);
        return digits + QLatin1Char(' ') + QLatin1String(unit);
    };
    if (f < 1.0) return text(f * 1000.0, "kHz");
    if (f >= 1000.0) return text(f / 1000.0, "GHz");
    return text(f, "MHz");
}

} // namespace measure
