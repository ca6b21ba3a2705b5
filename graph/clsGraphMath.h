#pragma once
// The graph's arithmetic: the program's rounding words and the graph's logarithm.
#include "probe/Rounding.h"

#include <cmath>

namespace graph {

using probe::CInt;
using probe::Int;

// log10 as the graph uses it: the logarithm of a value of 0 or less is 0.
inline double Log10(double v) {
    return v > 0.0 ? std::log10(v) : 0.0;
}

} // namespace graph
