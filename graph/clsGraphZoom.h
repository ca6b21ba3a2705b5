#pragma once
// The mouse side of zooming into the stored view. The window forwards the toolbar's "Zoom In"
// and the mouse events of the graph surface (in twips) and shows band() as the rubber band;
// everything that maps the mouse onto samples happens here and in clsGraph::ZoomIn.
//
// States (clsGraph::ZoomCnt): 0 idle, 1 armed by the toolbar, 2 dragging. A press with the left
// button while armed starts a drag with a 50-twip band at the press point; the band follows the
// mouse from the press point; the release zooms to the samples between the two points, in
// either order. A release outside the plot horizontally cancels; a press outside the plot, or
// a press or release above or below it, leaves the drag armed, so that the user can drag again
// at once.
#include "graph/clsGraph.h"

#include <QRectF>
#include <Qt>

namespace graph {

class ZoomDrag {
public:
    explicit ZoomDrag(clsGraph& graph) : m_graph(graph) {}

    void Arm() { m_graph.SetZoomCnt(1); }
    void MouseDown(Qt::MouseButton button, double x, double y);
    void MouseMove(Qt::MouseButtons buttons, double x, double y);
    // True when the graph was zoomed (and redrawn).
    bool MouseUp(Qt::MouseButton button, double x, double y);

    // The rubber band in twips; empty while no drag is shown.
    QRectF Band() const { return m_bandShown ? m_band : QRectF(); }
    double ZoomX0() const { return m_x0; }
    double ZoomY0() const { return m_y0; }

private:
    clsGraph& m_graph;
    double m_x0 = 0.0;
    double m_y0 = 0.0;
    QRectF m_band;
    bool m_bandShown = false;
};

} // namespace graph
