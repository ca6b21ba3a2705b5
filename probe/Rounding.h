#pragma once
// The rounding words shared by the whole program: CInt rounds to the nearest integer with
// halves to even, Int rounds down. Results are held inside int; a value that is not a number
// gives 0.
#include <cmath>
#include <limits>

namespace probe {

inline int ToIntRange(double v) {
    if (std::isnan(v)) return 0;
    constexpr double lo = std::numeric_limits<int>::min();
    constexpr double hi = std::numeric_limits<int>::max();
    return static_cast<int>(v < lo ? lo : (v > hi ? hi : v));
}

inline int CInt(double v) {
    return ToIntRange(std::nearbyint(v));
}

inline int Int(double v) {
    return ToIntRange(std::floor(v));
}

} // namespace probe
