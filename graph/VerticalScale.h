#pragma once
// The vertical-scale texts of the program ("Auto", "0-350", "Log 0.1-1000", ...): the common
// currency of the graphs, the probe's tables and the configuration file.
#include <QString>
#include <optional>

namespace graph {

// One vertical-scale text of the program: a linear scale of `divisions` divisions of
// `unitsPerDiv` around `centre`, or a logarithmic one of `divisions` decades up to `top`.
struct VerticalScale {
    bool log = false;
    int divisions = 10;
    float unitsPerDiv = 1.0f;
    float centre = 0.0f;
    float top = 0.0f;
    // The value at the bottom of the scale.
    float bottom() const;
};

// The scale a text stands for ("Auto", "0-350", "Log 0.1-1000", ...); none for any other text.
std::optional<VerticalScale> FindVerticalScale(const QString& text);
// The linear scale of whole decades ("0-1", "0-10", ... "0-1M") that holds values up to
// `highest`: a stored log drawn with no scale of its own loses nothing off its top.
QString ScaleHolding(float highest);

} // namespace graph
