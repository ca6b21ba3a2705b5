#pragma once
// The per-model blocks behind ModelTables: what each Sigma and Kappa model installs, and the
// range limits of the Zeta models. Internal to the probe library.
#include <QString>
#include <array>

namespace probe::detail {

// A cell the model does not set: it keeps whatever the previous probe left there.
constexpr float Keep = -1.0f;

struct UnitsRow {
    std::array<const char*, 5> scale; // ranges 1..5; nullptr keeps the cell
    const char* log;                  // nullptr keeps the cell
    std::array<float, 5> under;       // lower limits of ranges 1..5
    std::array<float, 5> over;        // full scales of ranges 1..5
};

struct MultiplierCell {
    int kind; // 0 ends the list
    int range;
    float value;
};

struct ModelInfo {
    const char* name;
    int unitsCount;
    std::array<int, 5> maxRange; // units 1..5; 0 keeps the cell
    int muxAvail;
    int minReadTime;
    const char* rangeZeroScale; // scale text of range 0 of units 1, or nullptr
};

struct ModelBlock {
    ModelInfo info;
    std::array<UnitsRow, 5> units;             // units 1..5
    std::array<MultiplierCell, 7> multipliers; // the cells that are not 1
};

// Lower limit and full scale of units 1..3 of a Zeta model.
struct ZetaLimits {
    const char* name;
    std::array<float, 3> lower;
    std::array<float, 3> full;
};

const ModelBlock* FindModelBlock(const QString& name);
const ZetaLimits* FindZetaLimits(const QString& name);

} // namespace probe::detail
