#pragma once
// The time-series graph: a plot area with vertical value labels, a time axis, grid lines or
// tick marks, the probe's range bracket and the alarm mark, drawn on a DrawSurface in twips.
//
// Data reach the screen in two ways. The live sweep (ScrollErase, Scroll) draws each new
// reading at the next horizontal slot, wrapping at the right edge like an oscilloscope in sweep
// mode and erasing one slot ahead of the pen; it keeps nothing. The stored view (WriteData,
// DrawLines) keeps up to 32000 samples of six traces and redraws the window of them that the
// zoom state selects (FirstSample .. LastSample).
//
// Traces are numbered 1 to 6: 1 holds the time of day of each sample as a fraction of a day,
// 2 the total field, 3 to 5 the X, Y and Z fields; 6 is spare. Coordinates are twips, colours
// 0x00BBGGRR. The owner sets the surface, the layout and the scale, then calls Graph, then feeds
// the live sweep or calls DrawLines on the store it set.
//
// The class is split by concern: clsGraph.cpp (members, scale, store), clsGraphFrame.cpp (the
// empty graph, its labels and marks), clsGraphSweep.cpp (live sweep), clsGraphStored.cpp
// (stored view) and clsGraphZoom.cpp (zoom window, with the mouse drag in clsGraphZoom.h).
#include "graph/StoredSamples.h"
#include "platform/DrawSurface.h"

#include <QString>
#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace graph {

using platform::Colour;

// How a long redraw reports itself to the owner's progress bar and wait cursor. Each member
// may be left empty. advanced() is throttled: it is called only when the bar would visibly move.
struct DrawProgress {
    std::function<void(int maximum)> started; // show the wait cursor and a bar 0..maximum
    std::function<void(int value)> advanced;
    std::function<void()> finished; // hide the bar, restore the cursor
};

class clsGraph {
public:
    static constexpr int MaxSamples = 32000;
    static constexpr int Traces = 6;
    static constexpr int MinVisibleSpan = 10;
    enum Type { Linear = 0, Logarithmic = 3 };
    // The traces: the time of day, the total field and the three axes.
    enum Trace : int { TraceTime = 1, TraceTotal = 2, TraceX = 3, TraceY = 4, TraceZ = 5 };

    clsGraph();

    // --- surface and layout -----------------------------------------------------------------
    // Without a surface the graph computes its layout with texts of no size and draws nothing.
    void SetOutputObj(platform::DrawSurface* surface) { m_out = surface; }
    platform::DrawSurface* OutputObj() const { return m_out; }
    int Top() const { return m_top; }
    void SetTop(int top) { m_top = top; }
    int Left() const { return m_left; }
    void SetLeft(int left) { m_left = left; }
    int Width() const { return m_requestedWidth; }
    void SetWidth(int width) { m_requestedWidth = width; }
    // The plot-area height: setting h keeps room for the time labels below the plot.
    int Height() const { return m_height; }
    void SetHeight(int h);
    // Derived by Graph.
    int LabelMargin() const { return m_labelMargin; }
    int PlotLeft() const { return m_plotLeft; }
    int PlotWidth() const { return m_plotWidth; }
    int PlotRight() const { return m_plotRight; }
    int PlotBottom() const { return m_plotBottom; }
    float DivHeight() const { return m_divHeight; }
    float TwipsPerSample() const { return m_twipsPerSample; }
    int SamplesAcross() const { return m_samplesAcross; }
    float SweepX() const { return m_sweepX; }

    // --- scale --------------------------------------------------------------------------------
    int GraphType() const { return m_graphType; }
    void SetGraphType(int type) { m_graphType = type; }
    bool IsLog() const { return m_graphType >= Logarithmic; }
    // Divisions (linear) or decades (logarithmic), and horizontal divisions; at least 1.
    int NoVerDiv() const { return m_noVerDiv; }
    void SetNoVerDiv(int n);
    int NoHorDiv() const { return m_noHorDiv; }
    void SetNoHorDiv(int n);
    int No_VerMinDiv() const { return m_noVerMinDiv; }
    void SetNo_VerMinDiv(int n) { m_noVerMinDiv = n; }
    int No_HorMinDiv() const { return m_noHorMinDiv; }
    void SetNo_HorMinDiv(int n) { m_noHorMinDiv = n; }
    float VerUnitsPerDiv() const { return m_verUnitsPerDiv; }
    void SetVerUnitsPerDiv(float v) { m_verUnitsPerDiv = v; }
    float VerUnitsOffset() const { return m_verUnitsOffset; }
    void SetVerUnitsOffset(float v) { m_verUnitsOffset = v; }
    float HorUnitsPerDiv() const { return m_horUnitsPerDiv; }
    void SetHorUnitsPerDiv(float v) { m_horUnitsPerDiv = v; }
    float HorUnitsOffset() const { return m_horUnitsOffset; }
    void SetHorUnitsOffset(float v) { m_horUnitsOffset = v; }
    float YAxisLogMax() const { return m_yAxisLogMax; }
    void SetYAxisLogMax(float v) { m_yAxisLogMax = v; }
    float SamPerDiv() const { return m_samPerDiv; }
    void SetSamPerDiv(float v); // also leaves the whole-record view
    QString VerUnitsDesc() const { return m_verUnitsDesc; }
    void SetVerUnitsDesc(const QString& text) { m_verUnitsDesc = text; }
    QString HorUnitsDesc() const { return m_horUnitsDesc; }
    void SetHorUnitsDesc(const QString& text) { m_horUnitsDesc = text; }
    int TimeTrace() const { return m_timeTrace; }
    void SetTimeTrace(int trace) { m_timeTrace = trace; }
    // Derived by GraphInitialize.
    float TopValue() const { return m_topValue; }
    float BottomValue() const { return m_bottomValue; }
    float TwipsPerUnit() const { return m_twipsPerUnit; }
    float LogBottom() const { return m_logBottom; }

    // --- appearance, traces and marks -------------------------------------------------------
    Colour BackGround() const { return m_backGround; }
    void SetBackGround(Colour c) { m_backGround = c; }
    Colour GridLineColor() const { return m_gridLineColor; }
    void SetGridLineColor(Colour c) { m_gridLineColor = c; }
    // 1 grid lines, 2 tick marks (below the plot / left of it), anything else neither.
    int DisVerLines() const { return m_disVerLines; }
    void SetDisVerLines(int v) { m_disVerLines = v; }
    int DisHorLines() const { return m_disHorLines; }
    void SetDisHorLines(int v) { m_disHorLines = v; }
    int ConnectPts() const { return m_connectPts; }
    void SetConnectPts(int v) { m_connectPts = v; }
    int PixelSize() const { return m_pixelSize; }
    void SetPixelSize(int v) { m_pixelSize = v; }
    int LogScaleMinOn() const { return m_logScaleMinOn; }
    void SetLogScaleMinOn(int v) { m_logScaleMinOn = v; }
    Colour MinLineColor() const { return m_minLineColor; }
    void SetMinLineColor(Colour c) { m_minLineColor = c; }
    float Mark1() const { return m_mark1; }
    void SetMark1(float level) { m_mark1 = level; }
    float OverRangeVal() const { return m_overRangeVal; }
    void SetOverRangeVal(float v) { m_overRangeVal = v; }
    float UnderRangeVal() const { return m_underRangeVal; }
    void SetUnderRangeVal(float v) { m_underRangeVal = v; }

    Colour ChanLineColour(int trace) const;
    Colour GetChanLineColour(int trace) const { return ChanLineColour(trace); }
    void SetChanLineColour(int trace, Colour colour);
    void TraceSet(int trace, int bit);
    int TraceQuery(int trace, int bit) const;
    int TraceFlags(int trace) const;
    // Previous point of a trace (0, 0 when there is none).
    int LastX(int trace) const;
    int LastY(int trace) const;

    // --- store ---------------------------------------------------------------------------------
    // The samples of the stored view, kept by the owner; none until one is set.
    void SetStore(const StoredSamples* store) { m_store = store; }
    // Samples in the store, at most MaxSamples.
    int DataCnt() const;
    // Sample 1..DataCnt() of trace 1..Traces; 0 for anything else.
    float ReadData(int sample, int trace) const;
    int MaxNoSamples() const { return MaxSamples; }
    int GetNoSamArray() const { return Traces; }
    float ReTraceCnt() const { return float(m_noHorDiv) * m_samPerDiv; }
    int FirstSample() const { return m_firstSample; }
    void SetFirstSample(int n); // kept within the store; other than 1 leaves the whole record
    int LastSample() const { return m_lastSample; }
    int VisibleSpan() const { return m_visibleSpan; }

    // --- the empty graph (clsGraphFrame.cpp) --------------------------------------------------
    void GraphInitialize();
    // Redraws frame, labels, grid and marks; time labels unless noTimeLabels is non-zero.
    void Graph(int noTimeLabels);
    void Clear();
    void DisplayProbeRange();
    void DisplayMark();
    static QString FormatValue(float value);
    QString FormatTimeStr(int i) const;
    // y of a value on the present scale (not clamped to the plot).
    double ValueY(double value) const;
    // Logarithmic y of a value; none for 0.
    std::optional<double> CalVerLogPos(double value) const;

    // --- live sweep (clsGraphSweep.cpp) --------------------------------------------------------
    void ScrollErase(int index);
    void Scroll(int index, float value, int trace);

    // --- stored view (clsGraphStored.cpp) ------------------------------------------------------
    void DrawLines();
    void PlotPoint(int i, int trace);
    float PlotValue() const { return m_plotValue; }
    void SetPlotValue(float v) { m_plotValue = v; }
    void SetProgress(DrawProgress progress) { m_progress = std::move(progress); }

    // --- zoom (clsGraphZoom.cpp)
    // ------------------------------------------------------------------ 0 idle, 1 armed, 2
    // dragging.
    int ZoomCnt() const { return m_zoomCnt; }
    void SetZoomCnt(int state) { m_zoomCnt = state; }
    // 1 shows the whole record; 0 shows NoHorDiv x SamPerDiv samples from FirstSample.
    int ZoomOff() const { return m_zoomOff; }
    void SetZoomOff(int v) { m_zoomOff = v; }
    // Narrows the window to the part of the plot between the press and release points and
    // redraws; true when it did.
    bool ZoomIn(double x1, double y1, double x2, double y2);
    void ZoomOut();

private:
    static bool validTrace(int trace) { return trace >= 1 && trace <= Traces; }
    float clampToScale(float value) const;
    void clearLastPoints();
    platform::DrawSurface& out() const;
    void printCentred(double x, double y, const QString& text);

    platform::DrawSurface* m_out = nullptr;

    // layout
    int m_left = 100;
    int m_top = 100;
    int m_requestedWidth = 5000;
    int m_height = 6000;
    int m_labelMargin = 0;
    int m_plotLeft = 0;
    int m_plotWidth = 0;
    int m_plotRight = 0;
    int m_plotBottom = 0;
    float m_divHeight = 0.0f;
    float m_twipsPerSample = 0.0f;
    int m_samplesAcross = 0;
    float m_sweepX = 0.0f;

    // scale
    int m_graphType = Logarithmic;
    int m_noVerDiv = 10;
    int m_noHorDiv = 10;
    int m_noVerMinDiv = 5;
    int m_noHorMinDiv = 5;
    float m_horUnitsPerDiv = 100.0f;
    float m_horUnitsOffset = 1000.0f;
    float m_verUnitsPerDiv = 5.0f;
    float m_verUnitsOffset = 0.0f;
    float m_yAxisLogMax = 100.0f;
    float m_samPerDiv = 100.0f;
    QString m_verUnitsDesc;
    QString m_horUnitsDesc;
    float m_topValue = 0.0f;
    float m_bottomValue = 0.0f;
    float m_twipsPerUnit = 0.0f;
    float m_logBottom = 0.0f;
    int m_timeTrace = 1;

    // appearance and marks
    Colour m_backGround = 0x000000;
    Colour m_gridLineColor = 0x808080;
    int m_disVerLines = 1;
    int m_disHorLines = 1;
    int m_connectPts = 1;
    int m_pixelSize = 1;
    int m_logScaleMinOn = 1;
    Colour m_minLineColor = 0x2F2F2F;
    float m_mark1 = 50.0f;
    float m_overRangeVal = 0.0f;
    float m_underRangeVal = 0.0f;
    float m_plotValue = 0.0f;

    // traces
    std::array<int, Traces + 1> m_traceFlags{};
    std::array<Colour, Traces + 1> m_chanLineColour{};
    std::array<int, Traces + 1> m_lastX{};
    std::array<int, Traces + 1> m_lastY{};

    // store
    const StoredSamples* m_store = nullptr;
    int m_firstSample = 1;
    int m_lastSample = 0;
    int m_visibleSpan = MinVisibleSpan;

    // zoom
    int m_zoomCnt = 0;
    int m_zoomOff = 0;

    DrawProgress m_progress;
};

} // namespace graph
