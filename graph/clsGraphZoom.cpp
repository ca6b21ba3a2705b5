// Zooming into the stored view: the sample window chosen by a drag across the plot, and the
// return to the whole record.
#include "graph/clsGraphZoom.h"

#include "graph/clsGraphMath.h"

#include <algorithm>
#include <utility>

namespace graph {

bool clsGraph::ZoomIn(double x1, double y1, double x2, double y2) {
    const auto withinHeight = [this](double y) { return y >= m_top && y <= m_plotBottom; };
    const auto acrossPlot = [this](double x) { return x > m_plotLeft && x < m_plotRight; };
    if (!withinHeight(y1) || !withinHeight(y2) || !acrossPlot(x1)) return false;
    if (!acrossPlot(x2)) {
        m_zoomCnt = 0;
        return false;
    }
    // A release left of the press selects the same samples as the mirrored drag.
    if (x2 < x1) std::swap(x1, x2);
    const double span = m_lastSample - m_firstSample;
    const int offset = Int(span * (x1 - m_plotLeft) / m_plotWidth);
    int first = CInt(m_firstSample + double(offset));
    int last = CInt(Int(span * (x2 - m_plotLeft) / m_plotWidth) + double(first) - offset);
    // The window stays inside the store, with room for the ten samples always in view.
    first = std::clamp(first, 1, MaxSamples - MinVisibleSpan);
    last = std::clamp(last, first, MaxSamples);
    m_firstSample = first;
    m_lastSample = last;
    m_samPerDiv = float(last - first) / float(m_noHorDiv);
    m_zoomOff = 0;
    Graph(0);
    DrawLines();
    m_zoomCnt = 0;
    return true;
}

void clsGraph::ZoomOut() {
    m_zoomOff = 1;
    m_firstSample = 1;
    m_lastSample = DataCnt();
}

void ZoomDrag::MouseDown(Qt::MouseButton button, double x, double y) {
    if (button != Qt::LeftButton) return;
    m_x0 = x;
    m_y0 = y;
    // Armed, or still dragging after a release that was refused: a new band starts here.
    if (m_graph.ZoomCnt() == 1 || m_graph.ZoomCnt() == 2) {
        m_band = QRectF(x, y, 50.0, 50.0);
        m_bandShown = true;
        m_graph.SetZoomCnt(2);
    }
}

void ZoomDrag::MouseMove(Qt::MouseButtons buttons, double x, double y) {
    if (!(buttons & Qt::LeftButton) || m_graph.ZoomCnt() != 2 || !m_bandShown) return;
    m_band = QRectF(QPointF(std::min(m_x0, x), std::min(m_y0, y)),
                    QPointF(std::max(m_x0, x), std::max(m_y0, y)));
}

bool ZoomDrag::MouseUp(Qt::MouseButton button, double x, double y) {
    if (button != Qt::LeftButton || m_graph.ZoomCnt() != 2) return false;
    m_bandShown = false;
    return m_graph.ZoomIn(m_x0, m_y0, x, y);
}

} // namespace graph
