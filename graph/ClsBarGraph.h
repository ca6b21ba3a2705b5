#pragma once
// The bar graph: four horizontal bars (total field, X, Y, Z) against a linear or logarithmic
// scale whose labels are printed above and below the bars. Each bar shows the latest value in
// its colour and, in light grey beyond it, the furthest extent reached since the last peak
// clear, so the grey part of a bar is a peak hold.
//
// The graph draws on the surface handed to SetOutputObj; it owns no widget. Coordinates are
// twips of that surface, colours 0x00BBGGRR. Without a surface the graph keeps its state and
// draws nothing.
#include "platform/DrawSurface.h"

#include <QString>
#include <array>
#include <optional>

namespace graph {

class ClsBarGraph {
public:
    // Bar slots, in the program's axis order.
    enum Bar : int { BarTotal = 0, BarAxisX = 1, BarAxisY = 2, BarAxisZ = 3 };
    static constexpr int BarCount = 4;

    static constexpr int ScaleLeft = 300; // x of the scale's left end
    static constexpr int BarStart = 310;  // x where every bar begins

    ClsBarGraph();

    // The surface to draw on; nullptr detaches it.
    void SetOutputObj(platform::DrawSurface* surface) { m_surface = surface; }
    platform::DrawSurface* OutputObj() const { return m_surface; }

    // Stores the scale (graphType 0 linear, 1 logarithmic; noOfDiv divisions or decades) and
    // redraws it.
    void DrawScale(float bottom, float unitsPerDiv, int noOfDiv, int graphType);
    // Redraws the whole surface for the stored scale and the present surface width: axis
    // lines, ticks, labels and the grey peak shadows. The bars themselves reappear with the
    // next values. Peaks survive; only ClearPeak forgets them.
    void DrawScale2();

    void DrawBarXYZ(float value) { DrawBar(BarTotal, value); }
    void DrawBarX(float value) { DrawBar(BarAxisX, value); }
    void DrawBarY(float value) { DrawBar(BarAxisY, value); }
    void DrawBarZ(float value) { DrawBar(BarAxisZ, value); }

    // Bar length in twips for a value: 0 at or below the bottom of the scale, the full length
    // at or above its top.
    double CalBarLenght(float value) const;
    // Erases the bars and forgets the peaks.
    void ClearPeak();

    // Decimal logarithm; empty for values at or below 0.
    static std::optional<double> log10(double value);
    // The text of a scale label, such as "0.05", "5.0", "350", "2.5k", "20k" or "1.0M".
    static QString LabelText(double value);

    // Scale members; the program sets them through DrawScale.
    float UnitsPerDiv() const { return m_unitsPerDiv; }
    void SetUnitsPerDiv(float value) { m_unitsPerDiv = value; }
    int GraphType() const { return m_graphType; }
    void SetGraphType(int value) { m_graphType = value; }
    int NoOfDiv() const { return m_noOfDiv; }
    void SetNoOfDiv(int value) { m_noOfDiv = value; }
    float BottomOfScale() const { return m_bottomOfScale; }
    void SetBottomOfScale(float value) { m_bottomOfScale = value; }

    void SetBarXYZColor(platform::Colour colour) { m_colour[BarTotal] = colour; }
    void SetBarXColor(platform::Colour colour) { m_colour[BarAxisX] = colour; }
    void SetBarYColor(platform::Colour colour) { m_colour[BarAxisY] = colour; }
    void SetBarZColor(platform::Colour colour) { m_colour[BarAxisZ] = colour; }
    platform::Colour BarColor(int bar) const { return validBar(bar) ? m_colour[bar] : 0; }

    // Derived layout and bar state, as the last DrawScale2 and bar updates left them. BarPeak
    // is the largest value a bar has shown since the last ClearPeak, BarLast the value it
    // shows now (0 after a redraw or a clear), BarExtent the furthest x drawn.
    float TopOfScale() const { return m_topOfScale; }
    float LogBottom() const { return m_logBottom; }
    int ScaleRight() const { return m_scaleRight; }
    int BarFullLength() const { return m_barFullLength; }
    int DivLength() const { return m_divLength; }
    int BarExtent(int bar) const { return validBar(bar) ? m_barExtent[bar] : BarStart; }
    float BarPeak(int bar) const { return validBar(bar) ? m_barPeak[bar] : 0.0f; }
    float BarLast(int bar) const { return validBar(bar) ? m_barLast[bar] : 0.0f; }

private:
    struct Row {
        int top;
        int bottom;
    };
    static constexpr std::array<Row, BarCount> Rows{
        {{400, 600}, {675, 775}, {850, 950}, {1025, 1125}}};

    static bool validBar(int bar) { return bar >= 0 && bar < BarCount; }
    void DrawBar(int bar, float value);
    void fill(double x1, double y1, double x2, double y2, platform::Colour colour);
    int divisions() const { return m_noOfDiv > 0 ? m_noOfDiv : 1; }

    platform::DrawSurface* m_surface = nullptr;

    float m_bottomOfScale = 0.0f;
    float m_unitsPerDiv = 1.0f;
    int m_graphType = 0;
    int m_noOfDiv = 5;
    float m_topOfScale = 5.0f;
    float m_logBottom = 0.0f;
    int m_scaleRight = 6200;
    int m_barFullLength = 5900;
    int m_divLength = 1180;

    std::array<int, BarCount> m_barExtent{BarStart, BarStart, BarStart, BarStart};
    std::array<float, BarCount> m_barPeak{};
    std::array<float, BarCount> m_barLast{};
    std::array<platform::Colour, BarCount> m_colour{};
};

} // namespace graph
