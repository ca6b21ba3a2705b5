#include "graph/ClsBarGraph.h"
#include "graph/clsGraphMath.h"

#include <algorithm>
#include <cmath>

namespace graph {

namespace {

constexpr int LightGrey = 7;
constexpr int LightCyan = 11;

// A number with at least minDecimals and at most maxDecimals decimals, rounded half away from
// zero at the last decimal ("0" is 0,0; "0.0#" is 1,2; "#.0" is 1,1; "0.######" is 0,6).
QString Decimals(double value, int minDecimals, int maxDecimals) {
    const double scale = std::pow(10.0, maxDecimals);
    double rounded = std::round(value * scale) / scale;
    if (rounded == 0.0) rounded = 0.0; // no "-0"
    QString text = QString::number(rounded, 'f', maxDecimals);
    if (maxDecimals > minDecimals) {
        int cut = int(text.size());
        for (int kept = maxDecimals; kept > minDecimals && text.at(cut - 1) == u'0'; --kept)
            --cut;
        if (text.at(cut - 1) == u'.') --cut;
        text.truncate(cut);
    }
    return text;
}

// True when t is a whole number; the tolerance only absorbs single-precision noise.
bool IsWhole(double t) {
    return std::abs(t - std::round(t)) <= 1e-6 * std::max(1.0, std::abs(t));
}

} // namespace

ClsBarGraph::ClsBarGraph() {
    m_colour.fill(platform::PaletteColour(LightCyan));
}

void ClsBarGraph::DrawScale(float bottom, float unitsPerDiv, int noOfDiv, int graphType) {
    m_bottomOfScale = bottom;
    m_unitsPerDiv = unitsPerDiv;
    m_noOfDiv = noOfDiv;
    m_graphType = graphType;
    DrawScale2();
}

void ClsBarGraph::DrawScale2() {
    const platform::Colour grey = platform::PaletteColour(LightGrey);
    if (m_surface) m_scaleRight = CInt(m_surface->ScaleWidth()) - 300;
    m_barFullLength = m_scaleRight - 300;
    m_barExtent.fill(BarStart);
    // What was drawn is gone, so the next value draws its bar afresh.
    m_barLast.fill(0.0f);

    const int divs = divisions();
    if (m_graphType == 1) {
        m_logBottom = float(log10(m_bottomOfScale).value_or(0.0));
        m_topOfScale = float(std::pow(10.0, divs) * m_bottomOfScale);
    } else {
        m_topOfScale = float(divs) * m_unitsPerDiv + m_bottomOfScale;
    }
    m_divLength = CInt(double(m_barFullLength) / divs);

    if (!m_surface) return;
    platform::DrawSurface& s = *m_surface;
    s.Cls();
    s.Line(ScaleLeft, 350, ScaleLeft, 1300, grey);
    s.Line(ScaleLeft, 1200, m_scaleRight, 1200, grey);
    s.Line(ScaleLeft, 350, m_scaleRight, 350, grey);

    const int spacing = CInt(double(m_scaleRight - ScaleLeft) / divs);
    for (int i = 0; i <= divs; ++i) {
        const float value = m_graphType == 1 ? float(std::pow(10.0, i) * m_bottomOfScale)
                                             : float(i) * m_unitsPerDiv + m_bottomOfScale;
        const QString text = LabelText(value);
        const double x = double(i) * spacing + ScaleLeft;
        s.Print(x - s.TextWidth(text) / 2.0, i % 2 == 0 ? 100 : 1275, text);
        s.Line(x, 1250, x, 1200, grey);
        s.Line(x, 300, x, 350, grey);
    }

    for (int bar = 0; bar < BarCount; ++bar) {
        const double length = m_barPeak[bar] > 0.0f ? CalBarLenght(m_barPeak[bar]) : 0.0;
        if (length > 0.0) fill(BarStart, Rows[bar].top, BarStart + length, Rows[bar].bottom, grey);
    }
}

void ClsBarGraph::DrawBar(int bar, float value) {
    if (!validBar(bar)) return;
    const Row row = Rows[bar];
    const int end = value > m_bottomOfScale ? BarStart + CInt(CalBarLenght(value)) : BarStart;
    if (value >= m_barLast[bar]) {
        if (end > BarStart) fill(BarStart, row.top, end, row.bottom, m_colour[bar]);
    } else if (end != m_barExtent[bar]) {
        // Falling: the stretch between the new end and the furthest extent turns grey.
        fill(m_barExtent[bar], row.top, end, row.bottom, platform::PaletteColour(LightGrey));
    }
    // The peak is the largest value the bar has shown, whichever way it got there, so that
    // a rescale redraws the shadow as far as the bar really went.
    if (value > m_barPeak[bar]) m_barPeak[bar] = value;
    m_barLast[bar] = value;
    if (end > m_barExtent[bar]) m_barExtent[bar] = end;
}

double ClsBarGraph::CalBarLenght(float value) const {
    if (value <= m_bottomOfScale) return 0.0;
    if (value >= m_topOfScale) return std::max(0, m_barFullLength);
    double length;
    if (m_graphType == 1)
        length = (log10(value).value_or(0.0) - double(m_logBottom)) * m_divLength;
    else
        length = double(m_barFullLength) * value / m_topOfScale; // measured from 0
    return std::max(0.0, std::min(length, double(m_barFullLength)));
}

void ClsBarGraph::ClearPeak() {
    // Up to the furthest a full-length bar reaches (ScaleRight + 10), as DrawScale2 erases.
    if (m_surface)
        fill(BarStart, Rows.front().top, m_scaleRight + 20, Rows.back().bottom,
             m_surface->BackColor());
    m_barExtent.fill(BarStart);
    m_barPeak.fill(0.0f);
    m_barLast.fill(0.0f);
}

std::optional<double> ClsBarGraph::log10(double value) {
    if (!(value > 0.0)) return std::nullopt;
    return std::log10(value);
}

QString ClsBarGraph::LabelText(double value) {
    if (value >= 1000000.0) return Decimals(value / 1000000.0, 1, 2) + u'M';
    if (value >= 1000.0) {
        const double t = value / 1000.0;
        if (!IsWhole(t)) return Decimals(t, 1, 2) + u'k';
        const QString whole = Decimals(std::round(t), 0, 0);
        return value >= 10000.0 ? whole + u'k' : whole + QStringLiteral(".0k");
    }
    if (value >= 10.0) return Decimals(value, 0, 0);
    if (value >= 1.0) return Decimals(value, 1, 1);
    return Decimals(value, 0, 6);
}

void ClsBarGraph::fill(double x1, double y1, double x2, double y2, platform::Colour colour) {
    if (m_surface) m_surface->FilledBox(x1, y1, x2, y2, colour);
}

} // namespace graph
