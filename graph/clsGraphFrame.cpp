// The empty graph: scale labels, frame, grid or ticks, time labels, and the marks left of the
// plot (range bracket, alarm level).
#include "graph/clsGraph.h"

#include "graph/clsGraphMath.h"

#include <cmath>

namespace graph {

namespace {

// Decimal text of a single-precision value: up to 7 significant digits, no trailing zeros, a
// zero before the point of a value below 1.
QString DecimalText(float value) {
    if (value == 0.0f) return QStringLiteral("0");
    if (!std::isfinite(value)) return QString::number(value);
    const double v = value;
    const int exponent = int(std::floor(std::log10(std::fabs(v))));
    QString text = QString::number(v, 'f', std::max(0, 6 - exponent));
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.'))) text.chop(1);
    }
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

bool IsWhole(float value) {
    return value == std::floor(value);
}

// A linear label value with the noise of repeated float steps rounded away.
float RoundedLabel(float value) {
    const double v = value;
    if (std::fabs(v) > 0.001) {
        if (std::fabs(v) < 1.0) return float(CInt(v * 1000.0) / 1000.0);
        return float(Int(v * 1000.0 + 0.01) / 1000.0);
    }
    return float(CInt(v * 1000000.0) / 1000000.0);
}

} // namespace

QString clsGraph::FormatValue(float value) {
    if (value == 1000000.0f) return QStringLiteral("1.0M");
    if (value >= 10000.0f) return DecimalText(value / 1000.0f) + QLatin1Char('k');
    if (value >= 1000.0f) {
        const float t = value / 1000.0f;
        return DecimalText(t) + (IsWhole(t) ? QStringLiteral(".0k") : QStringLiteral("k"));
    }
    if (value == 0.0001f) return QStringLiteral("0.1m");
    if (value <= 0.001f) return DecimalText(value * 1000.0f) + QLatin1Char('m');
    if (value < 1.0f) return DecimalText(value);
    if (value < 10.0f && IsWhole(value)) return DecimalText(value) + QStringLiteral(".0");
    return DecimalText(value);
}

QString clsGraph::FormatTimeStr(int i) const {
    const double perDivision = double(m_lastSample - m_firstSample + 1) / m_noHorDiv;
    const int sample = Int(i * perDivision) + m_firstSample;
    const double seconds = std::nearbyint(double(ReadData(sample, m_timeTrace)) * 86400.0);
    if (!(seconds > 0.0) || seconds > 1.0e9) return {};
    const long s = long(seconds);
    return QStringLiteral(" %1:%2:%3")
        .arg(s / 3600)
        .arg((s % 3600) / 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

void clsGraph::printCentred(double x, double y, const QString& text) {
    out().Print(x - out().TextWidth(text) / 2.0, y, text);
}

void clsGraph::Graph(int noTimeLabels) {
    // The surfaces keep their drawing between repaints by themselves.
    GraphInitialize();
    m_divHeight = float(double(m_height) / m_noVerDiv);
    m_plotBottom = m_top + m_height;
    platform::DrawSurface& out = this->out();
    out.FilledBox(m_left, m_top - 130, m_left + m_requestedWidth, m_plotBottom + 300,
                  out.BackColor());

    // Value labels between the top and bottom edges.
    m_labelMargin = 0;
    for (int i = 1; i < m_noVerDiv; ++i) {
        const int y = CInt(m_top + i * double(m_divHeight));
        const float value = IsLog() ? float(m_yAxisLogMax / std::pow(10.0, i))
                                    : RoundedLabel(m_topValue - float(i) * m_verUnitsPerDiv);
        const QString text = FormatValue(value);
        out.Print(m_left, y - out.TextHeight(text) / 2.0, text);
        m_labelMargin = std::max(m_labelMargin, CInt(out.TextWidth(text) + 150.0));
    }
    const double captionWidth = out.TextWidth(m_verUnitsDesc);
    if (captionWidth > m_labelMargin) m_labelMargin = CInt(captionWidth + 150.0);

    m_plotLeft = m_left + m_labelMargin + 30;
    m_plotWidth = m_requestedWidth - m_labelMargin - 220;
    m_plotRight = m_plotLeft + m_plotWidth;
    const float divWidth = float(m_plotWidth) / float(m_noHorDiv);
    m_twipsPerSample = float(m_plotWidth) / float(m_visibleSpan);
    m_samplesAcross = CInt(double(m_noHorDiv) * m_samPerDiv);

    out.FilledBox(m_plotLeft, m_top, m_plotRight, m_plotBottom, m_backGround);
    out.Box(m_plotLeft - 30, m_top - 30, m_plotRight + 30, m_plotBottom + 30, out.ForeColor());
    DisplayProbeRange();
    DisplayMark();

    for (int i = 1; i < m_noHorDiv; ++i) {
        const int x = m_plotLeft + CInt(i * double(divWidth));
        if (m_disVerLines == 1)
            out.Line(x, m_top, x, m_plotBottom, m_gridLineColor);
        else if (m_disVerLines == 2)
            out.Line(x, m_plotBottom + 30, x, m_plotBottom + 100, m_gridLineColor);
    }
    for (int i = 1; i < m_noVerDiv; ++i) {
        const int y = CInt(m_top + i * double(m_divHeight));
        if (m_disHorLines == 1)
            out.Line(m_plotLeft, y, m_plotRight, y, m_gridLineColor);
        else if (m_disHorLines == 2)
            out.Line(m_plotLeft - 100, y, m_plotLeft - 30, y, platform::PaletteColour(8));
    }

    if (noTimeLabels == 0) {
        for (int i = 1; i < m_noHorDiv; ++i) {
            const QString text = FormatTimeStr(i);
            if (text.isEmpty() || text == QLatin1String("0")) continue;
            printCentred(m_plotLeft + CInt(i * double(divWidth)), m_plotBottom + 100, text);
        }
    } else {
        m_verUnitsDesc.clear();
    }
    out.Print(m_left, m_top - 80, m_verUnitsDesc);
    out.Print(m_plotLeft - 200, m_plotBottom + 100, m_horUnitsDesc);
}

void clsGraph::Clear() {
    out().FilledBox(m_left, m_top - 130, m_left + m_requestedWidth, m_plotBottom + 300,
                    out().BackColor());
}

void clsGraph::DisplayProbeRange() {
    if (m_overRangeVal == 0.0f) return;
    platform::DrawSurface& out = this->out();
    double yOver = ValueY(m_overRangeVal);
    double yUnder = ValueY(m_underRangeVal);
    Colour colour = platform::PaletteColour(15);
    out.FilledBox(m_plotLeft - 100, m_top - 85, m_plotLeft - 50, m_plotBottom + 85,
                  out.BackColor());
    out.Line(m_plotLeft - 30, m_top - 30, m_plotLeft - 30, m_plotBottom + 30, out.ForeColor());
    // A limit beyond the plot is drawn just outside its edge, in light red.
    if (yOver < m_top) {
        yOver = m_top - 2;
        colour = platform::PaletteColour(12);
    }
    if (yUnder > m_plotBottom) {
        yUnder = m_plotBottom + 2;
        colour = platform::PaletteColour(12);
    }
    if (yUnder < m_top || yOver > m_plotBottom) return;
    if (yOver + 1 > m_top) out.Line(m_plotLeft - 85, yOver, m_plotLeft - 55, yOver, colour);
    if (yUnder - 1 < m_plotBottom)
        out.Line(m_plotLeft - 85, yUnder, m_plotLeft - 55, yUnder, colour);
    out.Line(m_plotLeft - 85, yOver, m_plotLeft - 85, yUnder, colour);
}

void clsGraph::DisplayMark() {
    if (m_mark1 == 0.0f) return;
    const double y = ValueY(m_mark1);
    if (m_top <= y && y - 1 < m_plotBottom)
        out().Line(m_plotLeft - 120, y, m_plotLeft - 55, y, platform::PaletteColour(14));
}

} // namespace graph
