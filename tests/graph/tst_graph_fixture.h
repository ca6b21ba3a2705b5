#pragma once
// A graph on a surface whose texts measure 100 twips a character and 200 high, so that the
// layout is known to the twip, and which records what is printed.
//
// Layout after Graph on the linear 0-100 scale: labels "90".."10" give LabelMargin 350,
// PlotLeft 480, PlotWidth 4430, PlotRight 4910, Top 100, PlotBottom 3100, DivHeight 300.
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

inline void SetUpGraph(graph::clsGraph& g, FixedTextSurface& s, bool log) {
    g.SetOutputObj(&s);
    g.SetLeft(100);
    g.SetTop(100);
    g.SetWidth(5000);
    g.SetHeight(3390); // plot height 3000
    g.SetBackGround(0x400000);
    g.SetGridLineColor(0x4F4F4F);
    g.SetMark1(0);
    if (log) {
        g.SetGraphType(graph::clsGraph::Logarithmic);
        g.SetNoVerDiv(4);
        g.SetYAxisLogMax(1000);
    } else {
        g.SetGraphType(graph::clsGraph::Linear);
        g.SetNoVerDiv(10);
        g.SetVerUnitsPerDiv(10);
        g.SetVerUnitsOffset(50);
    }
    g.SetSamPerDiv(50);
}
