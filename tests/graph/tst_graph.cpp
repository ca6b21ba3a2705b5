// The time-series graph: label texts, layout and scales, and the pixels of the empty graph, the
// live sweep and the marks.
#include "tst_graph_fixture.h"

#include <QtTest>

using graph::clsGraph;
using platform::Colour;
using platform::PaletteColour;

namespace {

struct Pixel {
    double x, y;
    Colour colour;
};

// The colour is at the point or at one of its eight neighbours (which pixel of a slanted line
// is hit near a point depends on the raster walk).
bool Near(const platform::ImageSurface& s, double x, double y, Colour colour) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (s.pixelAt(x + dx * 15.0, y + dy * 15.0) == colour) return true;
    return false;
}

} // namespace

Q_DECLARE_METATYPE(QList<Pixel>)

class TestGraph : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void formatValue() {
        QStringList texts;
        for (float value : {0.0001f, 0.0005f, 0.0009f,  0.001f,   0.0f,  -5.0f,  0.002f,
                            0.25f,   1.0f,    2.5f,     5.0f,     10.0f, 150.0f, 1000.0f,
                            1500.0f, 9999.0f, 10000.0f, 20000.0f, 1e6f,  1.5e6f})
            texts << clsGraph::FormatValue(value);
        QCOMPARE(texts, QStringList({"0.1m", "0.5m",   "0.9m", "1m",  "0m",   "-5000m", "0.002",
                                     "0.25", "1.0",    "2.5",  "5.0", "10",   "150",    "1.0k",
                                     "1.5k", "9.999k", "10k",  "20k", "1.0M", "1500k"}));
    }

    void formatTimeStr() {
        clsGraph g;
        g.SetSamPerDiv(1); // window 1..11: division 1 falls on sample 2
        g.GraphInitialize();
        QStringList texts;
        for (int seconds : {0, 3725, 86399}) {
            g.WriteData(2, 1, float(seconds / 86400.0));
            texts << g.FormatTimeStr(1);
        }
        QCOMPARE(texts, QStringList({"", " 1:02:05", " 23:59:59"}));
    }

    // Texts measure 100 twips a character: the widest label or caption + 150 is the label margin,
    // and the plot is as wide as the graph less the margin and 220 twips.
    void labelsAndLayout_data() {
        QTest::addColumn<QString>("scale");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("labels");
        QTest::addColumn<int>("plotLeft");
        QTest::addColumn<double>("divHeight");
        const auto row = [](const char* scale, const char* caption, const char* labels,
                            int plotLeft, double divHeight) {
            QTest::addRow("%s %s", scale, caption)
                << QString(scale) << QString(caption) << QString(labels) << plotLeft << divHeight;
        };
        row("0-100", "V/m", "90 80 70 60 50 40 30 20 10", 480, 300);
        row("0-100", "mW/cm2", "90 80 70 60 50 40 30 20 10", 880, 300);
        row("0-0.3", "", "0.25 0.2 0.15 0.1 0.05", 680, 500);
        row("0-0.001", "", "0.9m 0.8m 0.7m 0.6m 0.5m 0.4m 0.3m 0.2m 0.1m", 680, 300);
        row("Log 0.1-1000", "", "100 10 1.0", 580, 750);
        row("Log 0.01m-1000", "", "100 10 1.0 0.1 0.01 1m 0.1m", 680, 375);
    }

    void labelsAndLayout() {
        QFETCH(QString, scale);
        QFETCH(QString, caption);
        QFETCH(QString, labels);
        QFETCH(int, plotLeft);
        QFETCH(double, divHeight);
        GraphOnSurface g(scale);
        g.SetVerUnitsDesc(caption);
        g.Graph(0);
        const QStringList expected = labels.split(u' ');
        QCOMPARE(g.s.printed.mid(0, expected.size()), expected);
        const double w = 5000 - (plotLeft - 130) - 220;
        QCOMPARE(
            QList<double>({double(g.Height()), double(g.PlotLeft()), double(g.PlotWidth()),
                           double(g.PlotRight()), g.DivHeight(), g.TwipsPerSample()}),
            QList<double>({3000, double(plotLeft), w, plotLeft + w, divHeight, float(w) / 500}));
    }

    // Where a value lands, clamped to the plot; 33.3 is 998.99997 twips up, truncated to 998.
    void valueToY() {
        for (const bool log : {false, true}) {
            GraphOnSurface g(log ? "Log 0.1-1000" : "0-100");
            g.Graph(1);
            g.ScrollErase(2);
            QList<int> ys;
            for (float value : log ? QList<float>{10, 5000, 0.1f, 0, -3}
                                   : QList<float>{50, 33.3f, 100, 150, -5}) {
                g.Scroll(2, value, 3);
                ys << g.LastY(3);
            }
            QCOMPARE(ys, (log ? QList<int>{1600, 100, 3100, 3100, 3100}
                              : QList<int>{1600, 2102, 100, 100, 3100}));
            if (!log) continue;
            // The logarithm of 0 or less counts as 0: such a value sits where 1 would.
            QVERIFY(!g.CalVerLogPos(0.0));
            QCOMPARE(QList<double>({g.CalVerLogPos(-1.0).value_or(0), *g.CalVerLogPos(1.0)}),
                     QList<double>({2350, 2350}));
        }
    }

    void pixelsOfTheEmptyGraph_data() {
        QTest::addColumn<QList<float>>("settings"); // vertical and horizontal lines, range, mark
        QTest::addColumn<QList<Pixel>>("pixels");
        // Vertical grid at x 923 (first division), horizontal at y 400; ticks below at y 3165, left
        // at x 415. The range bracket stands at x 395 with ticks to x 425; the mark runs from x 360
        // to 425. Values: 80 at y 700, 50 at 1600, 10 at 2800.
        const Colour G = 0x4F4F4F, P = 0x400000, F = 0xC0C0C0, W = PaletteColour(15),
                     R = PaletteColour(12), Y = PaletteColour(14), T = PaletteColour(8);
        const auto row = [](const char* name, QList<float> settings, QList<Pixel> pixels) {
            QTest::newRow(name) << settings << pixels;
        };
        row("grid lines", {1, 1, 0, 0, 0},
            {{923, 1750, G}, {2000, 400, G}, {923, 3165, 0}, {415, 400, 0}, {450, 1750, F}});
        row("tick marks", {2, 2, 0, 0, 0},
            {{923, 1750, P}, {923, 3165, G}, {2000, 400, P}, {415, 400, T}});
        row("neither", {0, 3, 0, 0, 0},
            {{923, 1750, P}, {923, 3165, 0}, {2000, 400, P}, {415, 400, 0}});
        row("range and mark", {1, 1, 80, 10, 50},
            {{395, 1200, W}, {420, 700, W}, {420, 2800, W}, {395, 400, 0}, {370, 1600, Y}});
        row("over range above the plot", {1, 1, 150, 10, 0},
            {{395, 200, R}, {420, 2800, R}, {420, 98, 0}});
        row("under range below the plot", {1, 1, 80, -10, 0},
            {{395, 3000, R}, {420, 700, R}, {420, 3102, 0}, {370, 1600, 0}});
        row("no range, mark on the top edge", {1, 1, 0, 10, 100}, {{395, 1200, 0}, {370, 100, Y}});
    }

    void pixelsOfTheEmptyGraph() {
        QFETCH(QList<float>, settings);
        QFETCH(QList<Pixel>, pixels);
        GraphOnSurface g;
        g.SetDisVerLines(int(settings[0]));
        g.SetDisHorLines(int(settings[1]));
        g.SetOverRangeVal(settings[2]);
        g.SetUnderRangeVal(settings[3]);
        g.SetMark1(settings[4]);
        g.Graph(1);
        for (const Pixel& p : pixels)
            QVERIFY2(g.s.pixelAt(p.x, p.y) == p.colour,
                     qPrintable(QString("%1,%2").arg(p.x).arg(p.y)));
    }

    // Ten slots 492.2 twips apart from x 480: trace 3 at 45 (y 1750) but 80 (y 700) in slot 2,
    // trace 4 at 50 (y 1600, over a grid line).
    void liveSweep() {
        GraphOnSurface g;
        g.SetSamPerDiv(1);
        g.Graph(1);
        const Colour plot = 0x400000, trace3 = g.ChanLineColour(3), trace4 = g.ChanLineColour(4);
        for (int index = 1; index <= 10; ++index) {
            g.ScrollErase(index);
            g.Scroll(index, index == 2 ? 80.0f : 45.0f, 3);
            g.Scroll(index, 50.0f, 4);
        }
        QVERIFY(Near(g.s, 726, 1225, trace3)); // halfway between slots 1 and 2
        QVERIFY(Near(g.s, 4660, 1750, trace3));
        // The sweep starts again at the left without a line back from the right edge.
        g.ScrollErase(1);
        g.Scroll(1, 90.0f, 3);
        QCOMPARE(g.LastX(3), 480);
        QVERIFY(!Near(g.s, 2695, 1075, trace3));
        // The last slot's strip would reach the right edge: nothing is erased there. Slot 5 runs
        // from x 2449 to 2892: its strip is cleared and its grid line redrawn; slot 4 stays.
        g.ScrollErase(10);
        const Colour lastSlot = g.s.pixelAt(4800, 1750);
        g.ScrollErase(9);
        g.ScrollErase(5);
        QCOMPARE(QList<Colour>({lastSlot, g.s.pixelAt(4600, 1750), g.s.pixelAt(2670, 1750),
                                g.s.pixelAt(2670, 1600), g.s.pixelAt(2300, 1750),
                                g.s.pixelAt(2300, 1600)}),
                 QList<Colour>({trace3, plot, plot, 0x4F4F4F, trace3, trace4}));
    }
};

QTEST_MAIN(TestGraph)
#include "tst_graph.moc"
