#pragma once
// A surface that records what is printed, and whose texts measure 100 twips a character and 200
// high, so that the layout is known to the twip: on 0-100, labels "90".."10" give LabelMargin
// 350, PlotLeft 480, PlotWidth 4430, PlotRight 4910, Top 100, PlotBottom 3100, DivHeight 300.
#include "graph/VerticalScale.h"
#include "graph/clsGraph.h"
#include "platform/ImageSurface.h"

#include <QStringList>

class FixedTextSurface : public platform::ImageSurface {
public:
    explicit FixedTextSurface(QSize pixels = QSize(400, 260)) : ImageSurface(pixels) {
        SetBackColor(0x000000);
        SetForeColor(0xC0C0C0);
        Cls();
    }
    double TextWidth(const QString& text) const override { return 100.0 * text.size(); }
    double TextHeight(const QString&) const override { return 200.0; }
    void Print(double x, double y, const QString& text) override {
        printed.append(text);
        ImageSurface::Print(x, y, text);
    }
    QStringList printed;
};

// A graph on a vertical scale of the program, set up as the window does, drawing on its own
// surface s; 50 samples a division.
struct GraphOnSurface : graph::clsGraph {
    FixedTextSurface s;
    explicit GraphOnSurface(const QString& scaleText = "0-100") {
        const graph::VerticalScale scale = graph::FindVerticalScale(scaleText).value();
        SetOutputObj(&s);
        SetLeft(100);
        SetTop(100);
        SetWidth(5000);
        SetHeight(3390); // plot height 3000
        SetBackGround(0x400000);
        SetGridLineColor(0x4F4F4F);
        SetMark1(0);
        SetGraphType(scale.log ? Logarithmic : Linear);
        SetNoVerDiv(scale.divisions);
        SetYAxisLogMax(scale.top);
        SetVerUnitsPerDiv(scale.unitsPerDiv);
        SetVerUnitsOffset(scale.centre);
        SetSamPerDiv(50);
    }
};
