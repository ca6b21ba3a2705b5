#pragma once
// Human exposure to RF fields against the reference levels of the public standards (whole
// body, far field): the levels of ICNIRP 2020, ICNIRP 1998 (the EU recommendation 1999/519/EC
// for the public) and FCC 47 CFR 1.1310 at a frequency, and a reading's share of the level
// that applies, in power terms. The tables are in ExposureLimits.cpp with their sources.
#include <QString>
#include <QStringList>
#include <optional>

namespace measure {

enum class LimitStandard { Icnirp2020, Icnirp1998, Fcc };
// General public (FCC: general population/uncontrolled) or occupational (FCC: controlled).
enum class Population { General, Occupational };

struct LimitChoice {
    LimitStandard standard = LimitStandard::Icnirp2020;
    Population population = Population::General;
    double frequencyMHz = 900.0;
    // The source's frequency is not known: the lowest level over 0.1 MHz - 6 GHz applies.
    bool mostRestrictive = false;
};

// The reference levels of one band at one frequency; a quantity the standard does not give
// there is absent.
struct ReferenceLevels {
    std::optional<double> e; // V/m
    std::optional<double> h; // A/m
    std::optional<double> s; // W/m²
};

// The levels at the frequency, none where the standard has no band (below its first).
std::optional<ReferenceLevels> LevelsAt(LimitStandard standard, Population population,
                                        double frequencyMHz);

// What a probe's units measure, and the factor that takes a value to V/m, (V/m)², A/m, (A/m)²
// or W/m². Current ("mA", "A") and units not known measure nothing a level applies to.
enum class Quantity { None, E, E2, H, H2, S };
struct UnitsQuantity {
    Quantity quantity = Quantity::None;
    double toSi = 1.0;
};
UnitsQuantity QuantityOfUnits(const QString& units);

// The limit of a quantity in the SI terms of QuantityOfUnits (E and H as fields, E2 and H2 as
// their squares, S as power density): the level the standard gives for that quantity, or the
// plane-wave equivalent where it gives another one only (S = E²/377 Ω = 377 Ω·H²).
std::optional<double> LimitOf(Quantity quantity, const ReferenceLevels& levels);
// The limit for the choice: at its frequency, or the lowest over 0.1 MHz - 6 GHz.
std::optional<double> LimitOf(Quantity quantity, const LimitChoice& choice);

// A reading against the limit.
struct LimitShare {
    double percent = 0.0;    // in power terms: (E/E_lim)², (H/H_lim)² or S/S_lim, x 100
    double fieldRatio = 0.0; // E/E_lim, H/H_lim, or the square root of S/S_lim
    double limit = 0.0;      // the limit, in the reading's own units
};
// None for units that measure nothing a level applies to, or where the standard has no level.
std::optional<LimitShare> ShareOfLimit(double value, const QString& units,
                                       const LimitChoice& choice);

// The standard's averaging time in seconds: ICNIRP 2020 30 min; ICNIRP 1998 6 min up to
// 10 GHz and 68/f_GHz^1.05 min above; FCC 6 min occupational, 30 min general population.
int AveragingSeconds(const LimitChoice& choice);

// "ICNIRP 2020, general public, 900 MHz"; "..., most restrictive 0.1 MHz - 6 GHz".
QString LimitName(const LimitChoice& choice);
// The command line's and the settings' names of the six standard-and-population pairs:
// "icnirp2020-public", "icnirp2020-occupational", "icnirp1998-public",
// "icnirp1998-occupational", "fcc-general", "fcc-occupational".
QStringList LimitKeys();
QString LimitKey(LimitStandard standard, Population population);
// Sets standard and population from a key; false for a key not known.
bool SetLimitKey(const QString& key, LimitChoice& choice);
// "900MHz", "900 MHz", "2.45GHz", "100kHz", "27e6Hz" in MHz; none for anything else, 0 or
// negative.
std::optional<double> ParseFrequency(const QString& text);
// A frequency as the settings and the name show it: "900 MHz", "2.45 GHz", "150 kHz".
QString FrequencyText(double frequencyMHz);
// A share of the limit as the program shows it: "9.93 %" below 10, "12.3 %" from there.
QString ShareText(double percent);

} // namespace measure
