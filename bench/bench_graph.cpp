// Times the time-series graph on a 1600 x 600 pixel surface: the whole stored view (Graph and
// DrawLines over 32000 samples of four traces), the same with a progress bar attached, and one
// point of the live sweep, on the plain image and on the screen widget with its repaints.
// Targets: the stored view in under 100 ms, a live-sweep point in under 50 microseconds.
#include "bench/Figures.h"
#include "graph/clsGraph.h"
#include "platform/ImageSurface.h"
#include "platform/SurfaceWidget.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProgressBar>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int Samples = 32000;

void SetUp(graph::clsGraph& g, platform::DrawSurface& surface, bool log) {
    g.SetOutputObj(&surface);
    g.SetLeft(100);
    g.SetTop(100);
    g.SetWidth(int(surface.ScaleWidth()) - 100);
    g.SetHeight(int(surface.ScaleHeight()) - 100);
    g.SetDisVerLines(2);
    g.SetDisHorLines(1);
    g.SetHorUnitsDesc("Time");
    for (int trace = 2; trace <= 5; ++trace)
        g.TraceSet(trace, 1);
    if (log) {
        g.SetGraphType(graph::clsGraph::Logarithmic);
        g.SetNoVerDiv(4);
        g.SetYAxisLogMax(1000.0f);
    } else {
        g.SetGraphType(graph::clsGraph::Linear);
        g.SetNoVerDiv(7);
        g.SetVerUnitsPerDiv(50.0f);
        g.SetVerUnitsOffset(175.0f);
    }
    g.SetSamPerDiv(50.0f);
}

// Samples 1..Samples of the time, total, X, Y and Z, as a log table holds them.
class Rows : public graph::StoredSamples {
public:
    Rows() : m_rows(Samples + 1) {
        for (int i = 1; i <= Samples; ++i) {
            const double t = i * 0.01;
            auto& row = m_rows[std::size_t(i)];
            row[1] = float((36000.0 + i / 10.0) / 86400.0);
            row[3] = float(60.0 + 40.0 * std::sin(t) + (i * 7919LL % 13));
            row[4] = float(30.0 + 25.0 * std::sin(t * 1.7) + (i * 104729LL % 11));
            row[5] = float(10.0 + 8.0 * std::cos(t * 0.3) + (i * 1299709LL % 5));
            row[2] = row[3] + row[4] + row[5];
        }
    }
    int Count() const override { return Samples; }
    float Value(int sample, int trace) const override {
        return m_rows[std::size_t(sample)][std::size_t(trace)];
    }

private:
    std::vector<std::array<float, 6>> m_rows;
};

double StoredViewMs(graph::clsGraph& g, int runs) {
    std::vector<double> ms;
    QElapsedTimer timer;
    for (int r = 0; r < runs; ++r) {
        g.ZoomOut();
        timer.start();
        g.Graph(0);
        g.DrawLines();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    return bench::Median(ms);
}

double SweepUsPerPoint(graph::clsGraph& g, int points, bool repaintEach) {
    g.Graph(1);
    const int across = g.SamplesAcross();
    QElapsedTimer timer;
    timer.start();
    int index = 0;
    for (int n = 0; n < points; ++n) {
        index = index >= across ? 1 : index + 1;
        g.ScrollErase(index);
        const float v = float(50.0 + 40.0 * std::sin(n * 0.05));
        g.Scroll(index, v * 1.5f, 2);
        g.Scroll(index, v, 3);
        g.Scroll(index, v * 0.7f, 4);
        g.Scroll(index, v * 0.3f, 5);
        if (repaintEach) QCoreApplication::processEvents();
    }
    return timer.nsecsElapsed() / 1e3 / points;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    platform::ImageSurface image(QSize(1600, 600));
    image.SetBackColor(0);
    image.SetForeColor(0xFFFF00);
    const Rows rows;
    for (bool log : {true, false}) {
        graph::clsGraph g;
        SetUp(g, image, log);
        g.SetStore(&rows);
        std::printf("stored view, %s scale, %d samples x 4 traces, Graph + DrawLines: %.1f ms "
                    "(target < 100 ms)\n",
                    log ? "log" : "linear", Samples, StoredViewMs(g, 9));
        if (!log) continue;

        QProgressBar bar;
        bar.resize(300, 20);
        bar.show();
        QCoreApplication::processEvents();
        int reports = 0;
        graph::DrawProgress progress;
        progress.started = [&](int maximum) { bar.setRange(0, maximum); };
        progress.advanced = [&](int value) {
            bar.setValue(value);
            ++reports;
        };
        g.SetProgress(progress);
        QElapsedTimer timer;
        std::vector<double> barMs;
        for (int r = 0; r < 5; ++r) {
            timer.start();
            for (int k = 0; k < 100; ++k)
                bar.setValue(k % 2 ? bar.maximum() / 3 : bar.maximum() / 2);
            barMs.push_back(timer.nsecsElapsed() / 1e6 / 100.0);
        }
        const int runs = 9;
        const double withBar = StoredViewMs(g, runs);
        std::printf("  with a progress bar attached: %.1f ms, %.0f reports a redraw, %.3f ms per "
                    "bar update\n",
                    withBar, double(reports) / runs, bench::Median(barMs));
        g.SetProgress({});

        std::printf("live sweep on the image, per point (4 traces): %.2f us (target < 50 us)\n",
                    SweepUsPerPoint(g, 200000, false));
    }

    platform::SurfaceWidget widget;
    widget.resize(1600, 600);
    widget.SetBackColor(0);
    widget.SetForeColor(0xFFFF00);
    widget.show();
    QCoreApplication::processEvents();
    graph::clsGraph g;
    SetUp(g, widget, true);
    std::printf("live sweep on the screen widget, per point: %.2f us without repaints, "
                "%.2f us with a repaint after every point\n",
                SweepUsPerPoint(g, 100000, false), SweepUsPerPoint(g, 20000, true));
    return 0;
}
