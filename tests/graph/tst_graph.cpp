// The time-series graph: label texts, layout and scales, and the pixels of the empty graph, the
// live sweep and the marks.
#include "tst_graph_fixture.h"

#include <QtTest>
#include <functional>

using graph::clsGraph;
using platform::Colour;
using platform::PaletteColour;

namespace {

struct Pixel {
    double x, y;
    Colour colour;
};

// The colour is at the point or at one of its eight neighbours (lines land to the pixel, but
// which pixel of a slanted line is hit near a point depends on the raster walk).
bool Near(const platform::ImageSurface& s, double x, double y, Colour colour) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (s.pixelAt(x + dx * 15.0, y + dy * 15.0) == colour) return true;
    return false;
}

} // namespace

using Setup = std::function<void(clsGraph&)>;
Q_DECLARE_METATYPE(QList<Pixel>)
Q_DECLARE_METATYPE(Setup)

class TestGraph : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void formatValue_data() {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        const QList<QPair<float, const char*>> rows = {
            {0.0001f, "0.1m"}, {0.0005f, "0.5m"}, {0.0009f, "0.9m"}, {0.001f, "1m"},
            {0.0f, "0m"},      {-5.0f, "-5000m"}, {0.002f, "0.002"}, {0.25f, "0.25"},
            {1.0f, "1.0"},     {2.5f, "2.5"},     {5.0f, "5.0"},     {10.0f, "10"},
            {150.0f, "150"},   {1000.0f, "1.0k"}, {1500.0f, "1.5k"}, {9999.0f, "9.999k"},
            {10000.0f, "10k"}, {20000.0f, "20k"}, {1e6f, "1.0M"},    {1.5e6f, "1500k"}};
        for (const auto& [value, text] : rows)
            QTest::newRow(qPrintable(QString::number(value))) << value << QString(text);
    }

    void formatValue() {
        QFETCH(float, value);
        QTEST(clsGraph::FormatValue(value), "text");
    }

    void formatTimeStr() {
        clsGraph g;
        g.SetSamPerDiv(1); // window 1..11: division 1 falls on sample 2
        g.GraphInitialize();
        const QList<QPair<int, QString>> rows = {{0, ""}, {3725, " 1:02:05"}, {86399, " 23:59:59"}};
        for (const auto& [seconds, text] : rows) {
            g.WriteData(2, 1, float(seconds / 86400.0));
            QCOMPARE(g.FormatTimeStr(1), text);
        }
    }

    // Texts measure 100 twips a character: the widest label or caption + 150 is the label margin.
    void labelsAndLayout_data() {
        QTest::addColumn<bool>("log");
        QTest::addColumn<int>("divisions");
        QTest::addColumn<float>("unitsOrTop");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<int>("plotLeft");
        QTest::addColumn<float>("divHeight");
        const QStringList tens{"90", "80", "70", "60", "50", "40", "30", "20", "10"};
        QTest::newRow("0-100") << false << 10 << 10.0f << "V/m" << tens << 480 << 300.0f;
        QTest::newRow("0-100, caption widest")
            << false << 10 << 10.0f << "mW/cm2" << tens << 880 << 300.0f;
        QTest::newRow("0-0.3") << false << 6 << 0.05f << ""
                               << QStringList{"0.25", "0.2", "0.15", "0.1", "0.05"} << 680
                               << 500.0f;
        QTest::newRow("0-0.001") << false << 10 << 0.0001f << ""
                                 << QStringList{"0.9m", "0.8m", "0.7m", "0.6m", "0.5m",
                                                "0.4m", "0.3m", "0.2m", "0.1m"}
                                 << 680 << 300.0f;
        QTest::newRow("Log 0.1-1000")
            << true << 4 << 1000.0f << "" << QStringList{"100", "10", "1.0"} << 580 << 750.0f;
        QTest::newRow("Log 0.01m-1000")
            << true << 8 << 1000.0f << ""
            << QStringList{"100", "10", "1.0", "0.1", "0.01", "1m", "0.1m"} << 680 << 375.0f;
    }

    void labelsAndLayout() {
        QFETCH(bool, log);
        QFETCH(int, divisions);
        QFETCH(float, unitsOrTop);
        QFETCH(QString, caption);
        QFETCH(QStringList, labels);
        QFETCH(int, plotLeft);
        FixedTextSurface s;
        clsGraph g;
        SetUpGraph(g, s, log);
        g.SetNoVerDiv(divisions);
        g.SetYAxisLogMax(unitsOrTop);
        g.SetVerUnitsPerDiv(unitsOrTop);
        g.SetVerUnitsOffset(divisions * unitsOrTop / 2);
        g.SetVerUnitsDesc(caption);
        g.Graph(0);
        QCOMPARE(s.printed.mid(0, labels.size()), labels);
        QCOMPARE(g.Height(), 3000);
        QCOMPARE(g.PlotLeft(), plotLeft);
        const int plotWidth = 5000 - (plotLeft - 130) - 220;
        QCOMPARE(g.PlotWidth(), plotWidth);
        QCOMPARE(g.PlotRight(), plotLeft + plotWidth);
        QCOMPARE(g.PlotBottom(), 3100);
        QTEST(g.DivHeight(), "divHeight");
        QCOMPARE(g.VisibleSpan(), 500);
        QCOMPARE(g.TwipsPerSample(), float(plotWidth) / 500.0f);
        QCOMPARE(g.SamplesAcross(), 500);
    }

    void valueToY_data() {
        QTest::addColumn<bool>("log");
        QTest::addColumn<float>("value");
        QTest::addColumn<int>("y");
        QTest::newRow("linear middle") << false << 50.0f << 1600;
        QTest::newRow("linear 33.3: 998.99997 twips up, down to 998") << false << 33.3f << 2102;
        QTest::newRow("linear top") << false << 100.0f << 100;
        QTest::newRow("linear above, clamped") << false << 150.0f << 100;
        QTest::newRow("linear below, clamped") << false << -5.0f << 3100;
        QTest::newRow("log 10") << true << 10.0f << 1600;
        QTest::newRow("log above, clamped") << true << 5000.0f << 100;
        QTest::newRow("log bottom") << true << 0.1f << 3100;
        QTest::newRow("log 0, clamped") << true << 0.0f << 3100;
        QTest::newRow("log negative, clamped") << true << -3.0f << 3100;
    }

    void valueToY() {
        QFETCH(bool, log);
        QFETCH(float, value);
        FixedTextSurface s;
        clsGraph g;
        SetUpGraph(g, s, log);
        g.Graph(1);
        g.ScrollErase(2);
        g.Scroll(2, value, 3);
        QTEST(g.LastY(3), "y");
        if (!log) return;
        // The logarithm of 0 or less counts as 0: such a value sits where 1 would.
        QVERIFY(!g.CalVerLogPos(0.0).has_value());
        QCOMPARE(*g.CalVerLogPos(-1.0), 2350.0);
        QCOMPARE(*g.CalVerLogPos(1.0), 2350.0);
    }

    void pixelsOfTheEmptyGraph_data() {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<QList<Pixel>>("pixels");
        // Vertical grid at x 923 (first division), horizontal at y 400; ticks below at y 3165, left
        // at x 415. The range bracket stands at x 395 with ticks to x 425; the mark runs from x 360
        // to 425. Values: 80 at y 700, 50 at 1600, 10 at 2800.
        const Colour grid = 0x4F4F4F, plot = 0x400000, fore = 0xC0C0C0, white = PaletteColour(15),
                     red = PaletteColour(12), yellow = PaletteColour(14);
        const auto lines = [](int ver, int hor) {
            return Setup([=](clsGraph& g) {
                g.SetDisVerLines(ver);
                g.SetDisHorLines(hor);
            });
        };
        const auto range = [](float over, float under, float mark) {
            return Setup([=](clsGraph& g) {
                g.SetOverRangeVal(over);
                g.SetUnderRangeVal(under);
                g.SetMark1(mark);
            });
        };
        const auto row = [](const char* name, Setup setup, QList<Pixel> pixels) {
            QTest::newRow(name) << setup << pixels;
        };
        row("grid lines", lines(1, 1),
            {{923, 1750, grid},
             {2000, 400, grid},
             {923, 3165, 0},
             {415, 400, 0},
             {450, 1750, fore}});
        row("tick marks", lines(2, 2),
            {{923, 1750, plot},
             {923, 3165, grid},
             {2000, 400, plot},
             {415, 400, PaletteColour(8)}});
        row("neither", lines(0, 3),
            {{923, 1750, plot}, {923, 3165, 0}, {2000, 400, plot}, {415, 400, 0}});
        row("range and mark", range(80, 10, 50),
            {{395, 1200, white},
             {420, 700, white},
             {420, 2800, white},
             {395, 400, 0},
             {370, 1600, yellow}});
        row("over range above the plot", range(150, 10, 0),
            {{395, 200, red}, {420, 2800, red}, {420, 98, 0}});
        row("under range below the plot", range(80, -10, 0),
            {{395, 3000, red}, {420, 700, red}, {420, 3102, 0}, {370, 1600, 0}});
        row("no range, mark on the top edge", range(0, 10, 100),
            {{395, 1200, 0}, {370, 100, yellow}});
    }

    void pixelsOfTheEmptyGraph() {
        QFETCH(Setup, setup);
        QFETCH(QList<Pixel>, pixels);
        FixedTextSurface s;
        clsGraph g;
        SetUpGraph(g, s, false);
        setup(g);
        g.Graph(1);
        for (const Pixel& p : pixels)
            QVERIFY2(s.pixelAt(p.x, p.y) == p.colour,
                     qPrintable(QString("%1,%2").arg(p.x).arg(p.y)));
    }

    // Ten slots 492.2 twips apart from x 480; a value of 50 is at y 1600, 80 at y 700.
    void sweepJoinsButNotAcrossTheWrap() {
        FixedTextSurface s;
        clsGraph g;
        SetUpGraph(g, s, false);
        g.SetSamPerDiv(1);
        g.Graph(1);
        const Colour trace = g.ChanLineColour(3);
        for (int index = 1; index <= 10; ++index) {
            g.ScrollErase(index);
            g.Scroll(index, index == 2 ? 80.0f : 50.0f, 3);
        }
        QVERIFY(Near(s, 726, 1150, trace)); // halfway between slots 1 and 2
        QVERIFY(Near(s, 4660, 1600, trace));
        g.ScrollErase(1);
        g.Scroll(1, 90.0f, 3);
        QCOMPARE(g.LastX(3), 480);
        QVERIFY(!Near(s, 2695, 1000, trace)); // halfway along a line from slot 10 back to slot 1
    }

    void scrollEraseClearsOneSlotAhead() {
        FixedTextSurface s;
        clsGraph g;
        SetUpGraph(g, s, false);
        g.SetSamPerDiv(1);
        g.Graph(1);
        for (int index = 1; index <= 10; ++index) {
            g.ScrollErase(index);
            g.Scroll(index, 45.0f, 3); // y 1750
            g.Scroll(index, 50.0f, 4); // y 1600, over a grid line
        }
        const Colour trace = g.ChanLineColour(3);
        // The last slot's strip would reach the right edge: nothing is erased.
        g.ScrollErase(10);
        QCOMPARE(s.pixelAt(4800, 1750), trace);
        g.ScrollErase(9);
        QCOMPARE(s.pixelAt(4600, 1750), Colour(0x400000));
        // Slot 5 runs from x 2449 to 2892: the strip is cleared and its grid line redrawn; the
        // trace before it stays.
        g.ScrollErase(5);
        QCOMPARE(s.pixelAt(2670, 1750), Colour(0x400000));
        QCOMPARE(s.pixelAt(2670, 1600), Colour(0x4F4F4F));
        QCOMPARE(s.pixelAt(2300, 1750), trace);
        QCOMPARE(s.pixelAt(2300, 1600), g.ChanLineColour(4));
    }
};

QTEST_MAIN(TestGraph)
#include "tst_graph.moc"
