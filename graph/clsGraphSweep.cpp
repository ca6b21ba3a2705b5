// The live sweep: each reading goes to the next slot; at the right edge the sweep starts again
// at the left, erasing one slot ahead of the pen.
#include "graph/clsGraph.h"

#include "graph/clsGraphMath.h"

#include <cmath>

namespace graph {

void clsGraph::ScrollErase(int index) {
    if (index == 1) clearLastPoints();
    const double slots = m_samplesAcross - 1;
    const double sweepX = slots > 0 ? (index - 1) / slots * m_plotWidth + m_plotLeft : m_plotLeft;
    m_sweepX = float(sweepX);
    const double stripRight = double(m_sweepX) + m_twipsPerSample;
    // The last slot, whose strip would reach the right edge, is not erased.
    if (!(stripRight < m_plotRight)) return;
    platform::DrawSurface& out = this->out();
    out.FilledBox(m_sweepX, m_top, stripRight, m_plotBottom, m_backGround);
    if (m_disHorLines != 1) return;
    // The grid lines across the strip, at the rows Graph drew them on.
    for (int i = 1; i < m_noVerDiv; ++i) {
        const int y = CInt(m_top + i * double(m_divHeight));
        out.Line(m_sweepX, y, stripRight, y, m_gridLineColor);
    }
}

void clsGraph::Scroll(int /*index*/, float value, int trace) {
    if (!validTrace(trace) || std::isnan(value)) return;
    const double y = ValueY(clampToScale(value));
    if (!std::isfinite(y)) return;
    if (m_lastX[trace] != 0 && m_lastY[trace] != 0)
        out().Line(m_lastX[trace], m_lastY[trace], m_sweepX, y, m_chanLineColour[trace]);
    m_lastX[trace] = CInt(m_sweepX);
    m_lastY[trace] = CInt(y);
}

} // namespace graph
