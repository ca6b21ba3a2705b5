// The stored view: the window FirstSample .. LastSample of the store, redrawn as a whole.
#include "graph/clsGraph.h"

#include "graph/clsGraphMath.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace graph {

namespace {

// Reports progress to the owner at most every hundredth of the bar, and only once the drawing
// since the last report has taken four times as long as that report did: however slow the
// owner's bar is to repaint, reporting takes at most a fifth of the redraw.
class ProgressReport {
public:
    using Clock = std::chrono::steady_clock;

    ProgressReport(const DrawProgress& progress, int maximum)
        : m_progress(progress), m_maximum(maximum), m_step(std::max(maximum / 100, 1)),
          m_next(m_step), m_lastEnd(Clock::now()) {
        if (m_progress.started) m_progress.started(m_maximum);
    }
    ~ProgressReport() {
        if (m_progress.finished) m_progress.finished();
    }
    ProgressReport(const ProgressReport&) = delete;
    ProgressReport& operator=(const ProgressReport&) = delete;

    void pointsDrawn(int points) {
        const int value = points / 4;
        if (value < m_next || !m_progress.advanced) return;
        m_next = value + m_step;
        const Clock::time_point start = Clock::now();
        if (start - m_lastEnd < 4 * m_lastCost) return;
        m_progress.advanced(std::min(value, m_maximum));
        m_lastEnd = Clock::now();
        m_lastCost = m_lastEnd - start;
    }

private:
    const DrawProgress& m_progress;
    int m_maximum;
    int m_step;
    int m_next;
    Clock::time_point m_lastEnd;
    Clock::duration m_lastCost{0};
};

} // namespace

void clsGraph::DrawLines() {
    ProgressReport report(m_progress, m_visibleSpan + 1);
    const int count = DataCnt();
    int drawn = 0;
    for (int trace = 1; trace <= Traces; ++trace) {
        m_lastX[trace] = 0;
        m_lastY[trace] = 0;
        if (TraceQuery(trace, 1) != 1) continue;
        // Point i (from 1, at the plot's left edge) is sample FirstSample + i - 1.
        for (int i = 1; i <= m_visibleSpan + 1; ++i) {
            const int sample = m_firstSample + i - 1;
            if (sample > count) break;
            if (sample < 1) continue;
            m_plotValue = m_store->Value(sample, trace);
            PlotPoint(i, trace);
            report.pointsDrawn(++drawn);
        }
    }
    clearLastPoints();
}

void clsGraph::PlotPoint(int i, int trace) {
    if (!validTrace(trace) || std::isnan(m_plotValue)) return;
    m_plotValue = clampToScale(m_plotValue);
    const int x = m_plotLeft + Int((i - 1) * double(m_twipsPerSample));
    const double y = ValueY(m_plotValue);
    if (x < m_plotLeft || x > m_plotRight || !std::isfinite(y)) return;
    platform::DrawSurface& out = this->out();
    const Colour colour = m_chanLineColour[trace];
    if (m_connectPts == 1 && m_lastX[trace] != 0 && m_lastY[trace] != 0)
        out.Line(m_lastX[trace], m_lastY[trace], x, y, colour);
    m_lastX[trace] = x;
    m_lastY[trace] = CInt(y);
    if (m_pixelSize < 5) {
        out.PSet(x, y, colour);
        return;
    }
    for (int radius = 5; radius <= m_pixelSize; radius += 5)
        out.Circle(x, y, radius, colour);
}

} // namespace graph
