#include "tools/probesim/SigmaModels.h"

namespace probesim {

namespace {

constexpr double Impedance = 377.0;   // V/m per A/m in free space
constexpr double PowerDivisor = 3770; // (V/m)² per mW/cm²

using K = Quantity::Kind;

struct CodeRow {
    const char* code;
    K kind;
    double scale;
};
constexpr std::array<CodeRow, 13> Codes{{
    {" V ", K::Electric, 1},
    {"KV ", K::Electric, 1000},
    {" A ", K::Magnetic, 1},
    {"MA ", K::Magnetic, 0.001},
    {" V2", K::ElectricSquared, 1},
    {"KV2", K::ElectricSquared, 1000},
    {" A2", K::MagneticSquared, 1},
    {"MA2", K::MagneticSquared, 0.001},
    {"MW2", K::PowerDensity, 1},
    {" W2", K::PowerDensity, 1000},
    {"UW2", K::PowerDensity, 0.001},
    {" M ", K::Current, 1},
    {"   ", K::Current, 1000},
}};

// Units rows: the shown quantity, full scales of ranges 1..5, codes of ranges 1..5.
constexpr SigmaUnits Vm(double r1, double r2, double r3, double r4, const char* c3 = " V ",
                        const char* c4 = " V ") {
    return {" V ", {r1, r2, r3, r4, 0}, {" V ", " V ", c3, c4, nullptr}};
}
constexpr SigmaUnits Same(const char* code, double r1, double r2, double r3, double r4 = 0) {
    return {code, {r1, r2, r3, r4, 0}, {code, code, code, r4 > 0 ? code : nullptr, nullptr}};
}
constexpr SigmaUnits Split(const char* shown, std::array<double, 4> full,
                           std::array<const char*, 4> codes) {
    return {
        shown, {full[0], full[1], full[2], full[3], 0}, {codes[0], codes[1], codes[2], codes[3]}};
}

// Power density and squared field of the probes whose first units are 10 to 316.2 V/m.
constexpr SigmaUnits Power316 = Same("MW2", 0.027, 0.265, 2.653, 26.53);
constexpr SigmaUnits Squared316 = Split(" V2", {100, 1000, 1e4, 1e5}, {" V2", "KV2", "KV2", "KV2"});

// The codes are chosen so that the characterisation replies of each model meet the rule that
// names it: the code at units 1 range 1 (step 8) and range 2 (step 10), at units 2 range 1
// (step 13) and range 2 (step 15), at units 3 range 3 (step 18) and at units 1 range 4 (step
// 21), whether a fourth range exists (step 20) and whether the axis commands are followed.
const std::array<SigmaModel, 14> Models{{
    {"PX-2100",
     1,
     true,
     3.5,
     {{{" M ", {10, 31.62, 100, 316.2, 1000}, {" M ", " M ", " M ", "   ", "   "}}}}},
    {"PX-2200",
     1,
     true,
     9.333,
     {{{" V ", {4, 40, 400, 4000, 40000}, {" V ", " V ", "KV ", "KV ", "KV "}}}}},
    {"PX-5100", 3, false, 3.5, {{Vm(10, 31.62, 100, 316.2), Power316, Squared316}}},
    {"PX-5200 RA",
     3,
     false,
     3.5,
     {{Split("MA ", {316.2, 1000, 3162, 1e4}, {"MA ", " A ", " A ", " A "}),
       Split("MA2", {100, 1000, 1e4, 1e5}, {"MA2", " A2", " A2", " A2"}),
       Split("MW2", {3.77, 37.7, 377, 3770}, {"MW2", "MW2", "MW2", " W2"})}}},
    {"PX-5200 RBE", 3, false, 3.5, {{Vm(10, 31.62, 100, 316.2), Squared316, Power316}}},
    {"PX-5200 RCE",
     3,
     false,
     3.5,
     {{Split("MA ", {100, 316.2, 1000, 3162}, {"MA ", "MA ", " A ", " A "}),
       Split("MA2", {10, 100, 1000, 1e4}, {"MA2", "MA2", " A2", " A2"}),
       Same("MW2", 0.377, 3.77, 37.7, 377)}}},
    {"PX-5200 RDE", 2, false, 3.5, {{Vm(1, 3.162, 10, 31.62), Same(" V2", 1, 10, 100, 1000)}}},
    {"PX-5200 REE",
     3,
     false,
     3.5,
     {{Same(" A ", 1, 3.162, 10, 31.62), Same(" A2", 1, 10, 100, 1000),
       Split("MW2", {37.7, 377, 3770, 3.77e4}, {"MW2", "MW2", " W2", " W2"})}}},
    {"PX-5200 RFE",
     3,
     false,
     3.5,
     {{Vm(31.62, 100, 316.2, 1000, " V ", "KV "),
       Split("KV2", {1, 10, 100, 1000}, {" V2", "KV2", "KV2", "KV2"}),
       Same("MW2", 0.265, 2.653, 26.53, 265.3)}}},
    {"PX-5200 RGE",
     3,
     false,
     3.5,
     {{Vm(100, 316.2, 1000, 3162, "KV ", "KV "), Same("KV2", 10, 100, 1000),
       Split("MW2", {2.653, 26.53, 265.3, 2653}, {"MW2", "MW2", "MW2", " W2"})}}},
    {"PX-5530",
     3,
     false,
     3.5,
     {{Vm(10, 31.62, 100, 316.2), Split(" V2", {100, 1000, 1e4, 1e5}, {" V2", " V2", "KV2", "KV2"}),
       Power316}}},
    {"PX-5500/5505", 3, true, 3.5, {{Vm(10, 31.62, 100, 316.2), Power316, Squared316}}},
    {"PX-5560",
     3,
     true,
     3.5,
     {{{" V ", {100, 316.2, 1000, 0, 0}, {" V ", " V ", "KV ", nullptr, nullptr}},
       Same("MW2", 2.653, 26.53, 265.3),
       Same("KV2", 10, 100, 1000)}}},
    {"PX-5570",
     3,
     true,
     3.5,
     {{Split("MA ", {83.89, 265.3, 838.9, 2653}, {"MA ", "MA ", " A ", " A "}),
       Same("MW2", 0.265, 2.653, 26.53, 265.3),
       Split("MA2", {7.037, 70.37, 703.7, 7037}, {"MA2", "MA2", " A2", " A2"})}}},
}};

} // namespace

Quantity QuantityOf(const QByteArray& code) {
    for (const CodeRow& row : Codes)
        if (code == row.code) return {row.kind, row.scale, true};
    return {};
}

double InQuantity(double fieldVm, const QByteArray& code) {
    const Quantity q = QuantityOf(code);
    double base = fieldVm;
    switch (q.kind) {
    case K::Electric:
    case K::Current: break; // a current probe reads the plan's level as milliamperes
    case K::Magnetic: base = fieldVm / Impedance; break;
    case K::ElectricSquared: base = fieldVm * fieldVm; break;
    case K::MagneticSquared: base = (fieldVm / Impedance) * (fieldVm / Impedance); break;
    case K::PowerDensity: base = fieldVm * fieldVm / PowerDivisor; break;
    }
    return base / q.scale;
}

bool AddsUp(const QByteArray& code) {
    const K kind = QuantityOf(code).kind;
    return kind == K::ElectricSquared || kind == K::MagneticSquared || kind == K::PowerDensity;
}

int SigmaModel::maxRange(int unitsNo) const {
    if (unitsNo < 1 || unitsNo > unitsCount) return 0;
    int n = 0;
    for (const double full : units[unitsNo - 1].fullScale)
        if (full > 0) ++n;
    return n;
}

const SigmaModel* FindSigmaModel(const QString& name) {
    for (const SigmaModel& model : Models)
        if (name == QLatin1String(model.name)) return &model;
    return nullptr;
}

QStringList SigmaModelNames() {
    QStringList names;
    for (const SigmaModel& model : Models)
        names.append(QLatin1String(model.name));
    return names;
}

} // namespace probesim
