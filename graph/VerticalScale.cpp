#include "graph/VerticalScale.h"

#include <QLatin1String>
#include <array>
#include <cmath>

namespace graph {

namespace {

struct LinearRow {
    const char* text;
    int divisions;
    float unitsPerDiv;
    float centre;
};

struct LogRow {
    const char* text;
    int decades;
    float top;
};

constexpr std::array<LinearRow, 26> LinearScales{{
    {"Auto", 10, 1.0f, 5.0f},
    {"0-0.001", 10, 0.0001f, 0.0005f},
    {"0-0.1", 10, 0.01f, 0.05f},
    {"0-1", 10, 0.1f, 0.5f},
    {"0-10", 10, 1.0f, 5.0f},
    {"0-100", 10, 10.0f, 50.0f},
    {"0-1000", 10, 100.0f, 500.0f},
    {"0-10k", 10, 1000.0f, 5000.0f},
    {"0-100k", 10, 10000.0f, 50000.0f},
    {"0-1M", 10, 100000.0f, 500000.0f},
    {"0-3.5", 7, 0.5f, 1.75f},
    {"0-35", 7, 5.0f, 17.5f},
    {"0-350", 7, 50.0f, 175.0f},
    {"0-3500", 7, 500.0f, 1750.0f},
    {"0-0.03", 6, 0.005f, 0.015f},
    {"0-0.3", 6, 0.05f, 0.15f},
    {"0-3", 6, 0.5f, 1.5f},
    {"0-30", 6, 5.0f, 15.0f},
    {"0-300", 6, 50.0f, 150.0f},
    {"0-3000", 6, 500.0f, 1500.0f},
    {"0-0.4", 8, 0.05f, 0.2f},
    {"0-4", 8, 0.5f, 2.0f},
    {"0-40", 8, 5.0f, 20.0f},
    {"0-400", 8, 50.0f, 200.0f},
    {"0-4k", 8, 500.0f, 2000.0f},
    {"0-40k", 8, 5000.0f, 20000.0f},
}};

constexpr std::array<LogRow, 16> LogScales{{
    {"Log 0.01m-1000", 8, 1000.0f},
    {"Log 0.001-100", 5, 100.0f},
    {"Log 0.001-1000", 6, 1000.0f},
    {"Log 0.01-1000", 5, 1000.0f},
    {"Log 0.01-1M", 8, 1000000.0f},
    {"Log 0.1-100", 3, 100.0f},
    {"Log 0.1-1000", 4, 1000.0f},
    {"Log 0.1-10k", 5, 10000.0f},
    {"Log 0.1-100k", 6, 100000.0f},
    {"Log 0.1-1M", 7, 1000000.0f},
    {"Log 1-1000", 3, 1000.0f},
    {"Log 1-10k", 4, 10000.0f},
    {"Log 1-100k", 5, 100000.0f},
    {"Log 1-1M", 6, 1000000.0f},
    {"Log 10-10k", 3, 10000.0f},
    {"Log 10-100k", 4, 100000.0f},
}};

} // namespace

float VerticalScale::bottom() const {
    if (log) return float(double(top) / std::pow(10.0, divisions));
    return centre - float(divisions) / 2.0f * unitsPerDiv;
}

std::optional<VerticalScale> FindVerticalScale(const QString& text) {
    for (const LinearRow& row : LinearScales)
        if (text == QLatin1String(row.text))
            return VerticalScale{false, row.divisions, row.unitsPerDiv, row.centre, 0.0f};
    for (const LogRow& row : LogScales)
        if (text == QLatin1String(row.text))
            return VerticalScale{true, row.decades, 1.0f, 0.0f, row.top};
    return std::nullopt;
}

QString ScaleHolding(float highest) {
    for (const char* text : {"0-1", "0-10", "0-100", "0-1000", "0-10k", "0-100k"}) {
        const std::optional<VerticalScale> scale = FindVerticalScale(QLatin1String(text));
        if (highest <= scale->centre * 2.0f) return QLatin1String(text);
    }
    return QStringLiteral("0-1M");
}

} // namespace graph
