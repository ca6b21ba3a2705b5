#pragma once
// The rounding words of the graph's arithmetic. CInt and CLng round to the nearest integer with
// halves to even; Int rounds down. Results are held inside int; a value that is not a number
// gives 0.
#include <cmath>
#include <limits>

namespace graph {

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

// log10 as the graph uses it: the logarithm of a value of 0 or less is 0.
inline double Log10(double v) {
    return v > 0.0 ? std::log10(v) : 0.0;
}

} // namespace graph
