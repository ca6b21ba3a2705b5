#pragma once
// Figures the benches print.
#include <algorithm>
#include <vector>

namespace bench {

// The middle of the times measured: one slow round (a page fault, a scheduler hiccup) does
// not move it.
inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace bench
