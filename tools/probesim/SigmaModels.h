#pragma once
// What each Sigma model answers: its units in the probe's own order, the ranges of each units
// with their full scales, and the units code its data replies carry in each range. The codes
// also say in which quantity the reported number is written, so a model whose host multiplies
// the number of a range by 1000 reports that range in the kilo (or the milli-less) form.
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>

namespace probesim {

// The quantity behind a units code.
struct Quantity {
    enum class Kind { Electric, Magnetic, ElectricSquared, MagneticSquared, PowerDensity, Current };
    Kind kind = Kind::Electric;
    double scale = 1.0; // size of one reported unit in the base unit of the kind
    bool known = false;
};
// Base units: V/m, A/m, (V/m)², (A/m)², mW/cm², mA. " V " is V/m and "KV " kV/m; " A " A/m
// and "MA " mA/m; " V2" (V/m)² and "KV2" 1000 (V/m)²; " A2" (A/m)² and "MA2" 0.001 (A/m)²;
// "MW2" mW/cm², " W2" W/cm² and "UW2" µW/cm²; " M " mA and three blanks A.
Quantity QuantityOf(const QByteArray& code);

// A field of the given strength in V/m written in the quantity of the code.
double InQuantity(double fieldVm, const QByteArray& code);

// Field strengths combine as the root of the sum of squares, squared fields and power
// densities as the plain sum.
bool AddsUp(const QByteArray& code);

struct SigmaUnits {
    // Code of the quantity the host shows for these units: the full scales are written in it.
    const char* shown = nullptr;
    std::array<double, 5> fullScale{}; // per range 1..5; 0: the range does not exist
    std::array<const char*, 5> codes{};
};

struct SigmaModel {
    const char* name = nullptr;
    int unitsCount = 3;
    // One isotropic sensor: axis commands are acknowledged but the probe goes on reading (and
    // reporting) all three.
    bool singleAxis = false;
    double batteryEmpty = 3.5; // volts at 0 %; each percent adds 0.006 V
    std::array<SigmaUnits, 3> units{};

    int maxRange(int units) const;
};

const SigmaModel* FindSigmaModel(const QString& name);
QStringList SigmaModelNames();

} // namespace probesim
