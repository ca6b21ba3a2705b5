#include "graph/clsGraph.h"

#include "graph/clsGraphMath.h"

#include <algorithm>

namespace graph {

namespace {

// Stands in for a missing surface.
class NullSurface : public platform::DrawSurface {
public:
    double ScaleWidth() const override { return 0.0; }
    double ScaleHeight() const override { return 0.0; }
    void Line(double, double, double, double, Colour) override {}
    void Box(double, double, double, double, Colour) override {}
    void FilledBox(double, double, double, double, Colour) override {}
    void PSet(double, double, Colour) override {}
    void Circle(double, double, double, Colour) override {}
    void Print(double, double, const QString&) override {}
    double TextWidth(const QString&) const override { return 0.0; }
    double TextHeight(const QString&) const override { return 0.0; }
    void SetForeColor(Colour) override {}
    Colour ForeColor() const override { return 0; }
    void SetBackColor(Colour) override {}
    Colour BackColor() const override { return 0; }
    void Cls() override {}
};

} // namespace

platform::DrawSurface& clsGraph::out() const {
    static NullSurface none;
    return m_out ? *m_out : none;
}

clsGraph::clsGraph() {
    for (int trace = 1; trace <= Traces; ++trace)
        m_chanLineColour[trace] = platform::PaletteColour(8 + trace);
}

void clsGraph::SetHeight(int h) {
    m_height = CInt(h - 190 - out().TextHeight(QStringLiteral("h")));
}

void clsGraph::SetNoVerDiv(int n) {
    m_noVerDiv = std::clamp(n, 1, 255);
}

void clsGraph::SetNoHorDiv(int n) {
    m_noHorDiv = std::clamp(n, 1, 255);
}

void clsGraph::SetSamPerDiv(float v) {
    m_samPerDiv = v;
    m_zoomOff = 0;
}

void clsGraph::SetFirstSample(int n) {
    m_firstSample = std::clamp(n, 0, MaxSamples);
    if (n != 1) m_zoomOff = 0;
}

// --- traces ------------------------------------------------------------------------------------

Colour clsGraph::ChanLineColour(int trace) const {
    return validTrace(trace) ? m_chanLineColour[trace] : 0;
}

void clsGraph::SetChanLineColour(int trace, Colour colour) {
    if (validTrace(trace)) m_chanLineColour[trace] = colour;
}

void clsGraph::TraceSet(int trace, int bit) {
    if (!validTrace(trace) || bit < 1 || bit > 15) return;
    m_traceFlags[trace] |= 1 << (bit - 1);
    if (bit < 5) m_traceFlags[trace] |= 32;
}

int clsGraph::TraceQuery(int trace, int bit) const {
    if (!validTrace(trace) || bit < 1 || bit > 15) return 0;
    return (m_traceFlags[trace] & (1 << (bit - 1))) ? 1 : 0;
}

int clsGraph::TraceFlags(int trace) const {
    return validTrace(trace) ? m_traceFlags[trace] : 0;
}

int clsGraph::LastX(int trace) const {
    return validTrace(trace) ? m_lastX[trace] : 0;
}

int clsGraph::LastY(int trace) const {
    return validTrace(trace) ? m_lastY[trace] : 0;
}

void clsGraph::clearLastPoints() {
    m_lastX.fill(0);
    m_lastY.fill(0);
}

// --- store -------------------------------------------------------------------------------------

int clsGraph::DataCnt() const {
    return m_store ? std::clamp(m_store->Count(), 0, MaxSamples) : 0;
}

float clsGraph::ReadData(int sample, int trace) const {
    if (sample < 1 || sample > DataCnt() || !validTrace(trace)) return 0.0f;
    return m_store->Value(sample, trace);
}

// --- scale -------------------------------------------------------------------------------------

void clsGraph::GraphInitialize() {
    if (!IsLog()) {
        m_bottomValue = m_verUnitsOffset - float(m_noVerDiv) / 2.0f * m_verUnitsPerDiv;
        m_topValue = float(m_noVerDiv) / 2.0f * m_verUnitsPerDiv + m_verUnitsOffset;
        const double units = (double(m_topValue) - m_verUnitsOffset) * 2.0;
        m_twipsPerUnit = units != 0.0 ? float(m_height / units) : 0.0f;
    } else {
        m_topValue = m_yAxisLogMax;
        m_bottomValue = float(m_yAxisLogMax / std::pow(10.0, m_noVerDiv));
        m_logBottom = float(Log10(m_bottomValue));
    }
    if (m_zoomOff != 1) {
        m_lastSample = CInt(m_firstSample + double(m_noHorDiv) * m_samPerDiv);
    } else {
        m_lastSample = DataCnt();
        m_firstSample = 1;
    }
    m_zoomCnt = 0;
    // At least ten samples are in view. The window widens with the view, so that the time
    // labels and the mouse map onto the samples actually drawn.
    m_visibleSpan = m_lastSample - m_firstSample;
    if (m_visibleSpan < MinVisibleSpan) {
        m_visibleSpan = MinVisibleSpan;
        m_lastSample = m_firstSample + MinVisibleSpan;
    }
    clearLastPoints();
}

float clsGraph::clampToScale(float value) const {
    value = std::max(value, m_bottomValue);
    return std::min(value, m_topValue);
}

double clsGraph::ValueY(double value) const {
    if (!IsLog()) return m_plotBottom - Int((value - m_bottomValue) * double(m_twipsPerUnit));
    return m_plotBottom - (Log10(value) - m_logBottom) * (double(m_height) / m_noVerDiv);
}

std::optional<double> clsGraph::CalVerLogPos(double value) const {
    if (value == 0.0) return std::nullopt;
    return m_plotBottom - (Log10(value) - m_logBottom) * (double(m_height) / m_noVerDiv);
}

} // namespace graph
