// The graphs: the time series' labels, layout, pixels, live sweep and marks; the stored view,
// its zoom drag and progress report; the bar graph's labels, bar lengths and peaks.
#include "graph/ClsBarGraph.h"
#include "graph/VerticalScale.h"
#include "graph/clsGraph.h"
#include "graph/clsGraphZoom.h"
#include "platform/ImageSurface.h"

#include <QRandomGenerator>
#include <QtTest>
#include <algorithm>
#include <cmath>

using graph::ClsBarGraph;
using graph::clsGraph;
using graph::ZoomDrag;
using platform::Colour;
using platform::PaletteColour;

namespace {

// A surface that records what is printed, and whose texts measure 100 twips a character and 200
// high, so that the layout is known to the twip: on 0-100, labels "90".."10" give LabelMargin
// 350, PlotLeft 480, PlotWidth 4430, PlotRight 4910, Top 100, PlotBottom 3100, DivHeight 300.
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

struct Pixel {
    double x, y;
    Colour colour;
    bool absent = false; // anything but the colour (where a label's glyph may fall, by font)
};

// The colour is at the point or at one of its eight neighbours (which pixel of a slanted line
// is hit near a point depends on the raster walk).
bool Near(const platform::ImageSurface& s, double x, double y, Colour colour) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (s.pixelAt(x + dx * 15.0, y + dy * 15.0) == colour) return true;
    return false;
}

// Samples 1..count of traces 1..5, as a log table keeps them.
struct Rows : graph::StoredSamples {
    std::vector<std::array<float, 6>> rows;
    explicit Rows(int count) : rows(std::size_t(count) + 1) {}
    int Count() const override { return int(rows.size()) - 1; }
    float Value(int sample, int trace) const override {
        return rows[std::size_t(sample)][std::size_t(trace)];
    }
};

// The whole record of count samples, trace 3 shown: times of day from 10:00:00 a second apart
// and a sine on traces 2..5.
struct ShownRecord : GraphOnSurface {
    Rows store;
    explicit ShownRecord(int count) : store(count) {
        for (int i = 1; i <= count; ++i) {
            store.rows[std::size_t(i)][1] = float((36000 + i) / 86400.0);
            for (int trace = 2; trace <= 5; ++trace)
                store.rows[std::size_t(i)][std::size_t(trace)] =
                    float(trace * 12 + 30 * std::sin(i * 0.01 * trace));
        }
        SetStore(&store);
        TraceSet(3, 1);
        ZoomOut();
        Graph(0);
        DrawLines();
    }
    double At(double fraction) const { return PlotLeft() + fraction * PlotWidth(); } // an x
};

// A picture of 6600 x 1500 twips: the scale ends at 6300 and a full bar is 6000 long. It keeps
// each text printed on it with the point its width is centred on.
class Picture : public platform::ImageSurface {
public:
    explicit Picture(int pixelsPerPixel = 1)
        : ImageSurface(QSize(440, 100) * pixelsPerPixel, 15.0 / pixelsPerPixel) {}
    QStringList texts;
    void Print(double x, double y, const QString& text) override {
        texts << QString("%1 at %2,%3").arg(text).arg(x + TextWidth(text) / 2).arg(y);
        ImageSurface::Print(x, y, text);
    }
};

// A bar graph drawing on its own picture.
struct Bars : ClsBarGraph {
    Picture picture;
    explicit Bars(int pixelsPerPixel = 1) : picture(pixelsPerPixel) { SetOutputObj(&picture); }
};

// bottom, units per division, divisions, type: the arguments of DrawScale.
using Scale = QList<double>;

} // namespace

Q_DECLARE_METATYPE(QList<Pixel>)

class TestGraph : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The value texts of the time series' labels and of the bar graph's; the bar graph's
    // logarithm; the time of day under a division (none for a sample at midnight's 0).
    void texts() {
        QStringList texts;
        for (float value : {0.0001f, 0.0005f, 0.0009f,  0.001f,   0.0f,  -5.0f,  0.002f,
                            0.25f,   1.0f,    2.5f,     5.0f,     10.0f, 150.0f, 1000.0f,
                            1500.0f, 9999.0f, 10000.0f, 20000.0f, 1e6f,  1.5e6f})
            texts << clsGraph::FormatValue(value);
        QCOMPARE(texts, QStringList({"0.1m", "0.5m",   "0.9m", "1m",  "0m",   "-5000m", "0.002",
                                     "0.25", "1.0",    "2.5",  "5.0", "10",   "150",    "1.0k",
                                     "1.5k", "9.999k", "10k",  "20k", "1.0M", "1500k"}));
        texts.clear();
        for (double value : {0.0, -5.0, 0.0001, 0.05, 0.999, 1.0, 2.25, 10.0, 1000.0, 2500.0,
                             9999.0, 10000.0, 12500.0, 1e6, 1e7 * double(0.001f)})
            texts << ClsBarGraph::LabelText(value);
        QCOMPARE(texts, QStringList({"0", "-5", "0.0001", "0.05", "0.999", "1.0", "2.3", "10",
                                     "1.0k", "2.5k", "10.0k", "10k", "12.5k", "1.0M", "10k"}));
        QCOMPARE(ClsBarGraph::log10(0.001).value_or(0), -3.0);
        QVERIFY(!ClsBarGraph::log10(0) && !ClsBarGraph::log10(-10));
        clsGraph g;
        Rows times(2);
        g.SetStore(&times);
        g.SetSamPerDiv(1); // window 1..11: division 1 falls on sample 2
        g.GraphInitialize();
        texts.clear();
        for (int seconds : {0, 3725, 86399}) {
            times.rows[2][1] = float(seconds / 86400.0);
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
            {{923, 1750, G}, {2000, 400, G}, {923, 3165, 0}, {415, 400, T, true}, {450, 1750, F}});
        row("tick marks", {2, 2, 0, 0, 0},
            {{923, 1750, P}, {923, 3165, G}, {2000, 400, P}, {415, 400, T}});
        row("neither", {0, 3, 0, 0, 0},
            {{923, 1750, P}, {923, 3165, 0}, {2000, 400, P}, {415, 400, T, true}});
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
            QVERIFY2((g.s.pixelAt(p.x, p.y) == p.colour) != p.absent,
                     qPrintable(QString("%1,%2: %3")
                                    .arg(p.x)
                                    .arg(p.y)
                                    .arg(g.s.pixelAt(p.x, p.y), 6, 16, QChar('0'))));
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

    // At least ten samples are in view, the first at the plot's left edge, and nothing is drawn
    // past the last stored sample (it would read 0, at the bottom edge). Zoomed to 20-60 % of 999
    // samples, then 25-75 % of 400, then a band of no width: still ten samples. The time labels
    // follow the window.
    void theWindowShown() {
        QList<int> spans;
        for (int count : {0, 5, 11, 12}) {
            ShownRecord g(count);
            spans << g.VisibleSpan() << g.LastSample() - g.FirstSample();
            QCOMPARE(g.TwipsPerSample(), float(g.PlotWidth()) / float(g.VisibleSpan()));
            if (count > 0) {
                const double last = g.PlotLeft() + (count - 1) * double(g.TwipsPerSample());
                QVERIFY(Near(g.s, last, g.ValueY(g.ReadData(count, 3)), g.ChanLineColour(3)));
            }
            for (double x = g.At(0.5); x < g.PlotRight(); x += 15)
                QVERIFY(g.s.pixelAt(x, g.PlotBottom()) != g.ChanLineColour(3));
        }
        QCOMPARE(spans, QList<int>({10, 10, 10, 10, 10, 10, 11, 11}));
        ShownRecord g(1000);
        QList<int> windows;
        QStringList times;
        for (const auto& [from, to] : {std::pair{0.2, 0.6}, {0.2512, 0.7512}, {0.5, 0.5}}) {
            QVERIFY(g.ZoomIn(g.At(from), 1000, g.At(to), 2000));
            windows << g.FirstSample() << g.LastSample();
            times << g.FormatTimeStr(5);
        }
        QCOMPARE(windows, QList<int>({200, 600, 300, 500, 400, 410}));
        QCOMPARE(times, QStringList({" 10:06:40", " 10:06:40", " 10:06:45"}));
    }

    void drags_data() {
        QTest::addColumn<QPointF>("press");
        QTest::addColumn<QPointF>("release");
        QTest::addColumn<QList<int>>("after"); // zoom state, first and last sample
        const auto row = [](const char* name, QPointF press, QPointF release, QList<int> after) {
            QTest::newRow(name) << press << release << after;
        };
        // Plot: x 480..4910, y 100..3100; x 1366 and 3138 are at 20 % and 60 % of 999 samples.
        const QPointF at20(1366, 1000), at60(3138, 2000);
        row("drag to the right", at20, at60, {0, 200, 600});
        row("release left of the press", at60, at20, {0, 200, 600});
        row("release left of the plot cancels", at60, {380, 1000}, {0, 1, 1000});
        row("release on the right edge cancels", at20, {4910, 1000}, {0, 1, 1000});
        row("press below the plot", {1366, 3250}, at60, {2, 1, 1000});
        row("release above the plot", at20, {3138, 90}, {2, 1, 1000});
        row("press on the left edge", {480, 1000}, at60, {2, 1, 1000});
    }

    void drags() {
        QFETCH(QPointF, press);
        QFETCH(QPointF, release);
        QFETCH(QList<int>, after);
        ShownRecord g(1000);
        const QImage before = g.s.image().copy();
        ZoomDrag drag(g);
        drag.MouseDown(Qt::LeftButton, press.x(), press.y()); // not armed: nothing starts
        const QRectF unarmed = drag.Band();
        drag.Arm();
        drag.MouseDown(Qt::LeftButton, press.x(), press.y());
        const QRectF pressed = drag.Band();
        drag.MouseMove(Qt::LeftButton, release.x(), release.y());
        QCOMPARE(QList<QRectF>({unarmed, pressed, drag.Band()}),
                 QList<QRectF>({{}, {press, QSizeF(50, 50)}, QRectF(press, release).normalized()}));
        const bool zoomed = drag.MouseUp(Qt::LeftButton, release.x(), release.y());
        QCOMPARE(QList<int>({g.ZoomCnt(), g.FirstSample(), g.LastSample()}), after);
        QCOMPARE(QList<bool>({zoomed, drag.Band().isEmpty(), g.s.image() == before}),
                 QList<bool>({after[1] != 1, true, after[1] == 1}));
        // A refused drag stays armed: the next press starts a new band at once.
        drag.MouseDown(Qt::LeftButton, 2000, 500);
        QCOMPARE(drag.Band().isEmpty(), after[0] == 0);
    }

    // Drags anywhere, zooming out and changing the samples per division between them. Every read
    // of the store by the drawing is checked in debug builds; the window is checked here.
    void randomDragsStayInsideTheStore() {
        ShownRecord g(clsGraph::MaxSamples);
        // A band of no width at the right edge still ends inside the store, ten samples wide.
        QVERIFY(g.ZoomIn(g.PlotRight() - 1, 1000, g.PlotRight() - 1, 1000));
        QCOMPARE(QList<int>({g.FirstSample(), g.LastSample()}),
                 QList<int>({clsGraph::MaxSamples - 10, clsGraph::MaxSamples}));
        ZoomDrag drag(g);
        QRandomGenerator random(20240611);
        const auto x = [&] { return random.bounded(-500.0) + random.bounded(6500.0); };
        const auto y = [&] { return random.bounded(-500.0) + random.bounded(4000.0); };
        const float perDivision[] = {20, 35, 50, 100, 500, 1000};
        for (int n = 0; n < 600; ++n) {
            const int action = random.bounded(20);
            if (action < 5) {
                if (action == 0)
                    g.ZoomOut();
                else
                    g.SetSamPerDiv(perDivision[random.bounded(6)]);
                g.Graph(0);
                g.DrawLines();
            } else {
                drag.Arm();
                drag.MouseDown(Qt::LeftButton, x(), y());
                drag.MouseMove(Qt::LeftButton, x(), y());
                if (!drag.MouseUp(Qt::LeftButton, x(), y())) continue;
                QVERIFY(g.FirstSample() >= 1 && g.LastSample() <= clsGraph::MaxSamples);
                QVERIFY(g.LastSample() - g.FirstSample() >= clsGraph::MinVisibleSpan);
            }
        }
    }

    // Four traces of the whole store: at most a hundred rising reports, within the bar.
    void progressIsReportedSparingly() {
        ShownRecord g(clsGraph::MaxSamples);
        for (int trace = 2; trace <= 5; ++trace)
            g.TraceSet(trace, 1);
        int maximum = -1, finished = 0;
        QList<int> values;
        g.SetProgress(
            {[&](int m) { maximum = m; }, [&](int v) { values.append(v); }, [&] { ++finished; }});
        g.DrawLines();
        QCOMPARE(QList<int>({maximum, finished}), QList<int>({clsGraph::MaxSamples, 1}));
        QVERIFY(!values.isEmpty() && values.size() <= 100 && values.last() <= maximum);
        QVERIFY(std::adjacent_find(values.begin(), values.end(), std::greater_equal<>()) ==
                values.end());
    }

    // Without a surface the scale keeps its default right end: 6200, full bar length 5900. A
    // linear bar is measured from 0, a logarithmic one from the bottom of the scale.
    void calBarLenght() {
        const auto lengths = [](const Scale& scale, const QList<float>& values) {
            ClsBarGraph bars;
            bars.DrawScale(float(scale[0]), float(scale[1]), int(scale[2]), int(scale[3]));
            QList<double> result;
            for (float value : values)
                result << std::round(bars.CalBarLenght(value) * 10) / 10;
            return result;
        };
        QCOMPARE(lengths({0, 50, 7, 0}, {-3, 0, 175, 1e6f}), QList<double>({0, 0, 2950, 5900}));
        QCOMPARE(lengths({10, 10, 5, 0}, {30}), QList<double>({2950}));
        QCOMPARE(lengths({0.1, 1, 4, 1}, {0.1f, 0, 31.622777f, 500, 5000}),
                 QList<double>({0, 0, 3687.5, 5456, 5900}));
        QCOMPARE(lengths({1e-5, 1, 8, 1}, {1e-3f}), QList<double>({1476})); // 738 a decade
    }

    // Labels sit centred on their ticks, even positions above the bars and odd ones below.
    void scaleLabels_data() {
        QTest::addColumn<Scale>("scale");
        QTest::addColumn<QString>("labels");
        const auto row = [](const char* name, const Scale& scale, const char* labels) {
            QTest::newRow(name) << scale << QString::fromLatin1(labels);
        };
        row("0-350", {0, 50, 7, 0}, "0 50 100 150 200 250 300 350");
        row("0-40k", {0, 5000, 8, 0}, "0 5.0k 10k 15k 20k 25k 30k 35k 40k");
        row("Log 0.01m-1000", {1e-5, 1, 8, 1}, "0.00001 0.0001 0.001 0.01 0.1 1.0 10 100 1.0k");
        row("Log 1-1M", {1, 1, 6, 1}, "1.0 10 100 1.0k 10k 100k 1.0M");
    }

    void scaleLabels() {
        QFETCH(Scale, scale);
        QFETCH(QString, labels);
        Bars bars;
        bars.DrawScale(float(scale[0]), float(scale[1]), int(scale[2]), int(scale[3]));
        const QStringList texts = labels.split(u' ');
        QStringList expected;
        for (int i = 0; i < texts.size(); ++i)
            expected << QString("%1 at %2,%3")
                            .arg(texts[i])
                            .arg(300 + i * std::nearbyint(6000.0 / scale[2]))
                            .arg(i % 2 == 0 ? 100 : 1275);
        QCOMPARE(bars.picture.texts, expected);
    }

    // Steps run on the total-field bar of a 0-10 scale: a number is a value, "clear" clears the
    // peaks and "scale20" rescales to 0-20. Each probe is a value on the final scale and what the
    // bar shows there: c bar colour, g grey, b background. The picture has two device pixels per
    // pixel, so that a stray column of one device pixel shows.
    void bars_data() {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QString>("probes");
        const auto row = [](const char* name, const char* steps, const char* probes) {
            QTest::newRow(name) << QString::fromLatin1(steps) << QString::fromLatin1(probes);
        };
        row("at bottom: no bar", "0", "0b 0.1b");
        row("below bottom: no bar", "-2", "0b 0.1b");
        row("rising", "2 6", "0.1c 5.9c 6.1b");
        row("above top: full length", "25", "9.98c");
        row("falling leaves grey", "8 3", "2.9c 3.1g 7.9g 8.1b");
        row("rising into the grey", "8 3 5", "4.9c 5.1g 7.9g 8.1b");
        row("falling to the bottom", "8 0", "0.1g 7.9g 8.1b");
        row("rescale redraws the peak", "2 8 3 scale20", "0.1g 7.9g 8.1b");
        row("rescale, then lower", "8 3 scale20 2", "1.9c 2.1g 7.9g 8.1b");
        row("clear", "8 3 clear", "0.1b 2.9b 7.9b");
        row("clear after full length", "25 clear", "9.98b 10b");
        row("clear, then lower", "8 3 clear 2", "1.9c 2.1b 7.9b");
        row("clear forgets the peak", "8 3 clear scale20", "0.1b 7.9b");
    }

    void bars() {
        QFETCH(QString, steps);
        QFETCH(QString, probes);
        Bars bars(2);
        bars.DrawScale(0, 1, 10, 0);
        for (const QString& step : steps.split(u' ')) {
            if (step == u"clear")
                bars.ClearPeak();
            else if (step == u"scale20")
                bars.DrawScale(0, 2, 10, 0);
            else
                bars.DrawBarXYZ(step.toFloat());
        }
        const QHash<QChar, platform::Colour> shows{
            {u'c', PaletteColour(11)}, {u'g', PaletteColour(7)}, {u'b', PaletteColour(15)}};
        for (const QString& probe : probes.split(u' ')) {
            const double x = 310 + probe.chopped(1).toDouble() * 6000 / bars.TopOfScale();
            QVERIFY2(bars.picture.pixelAt(x, 500) == shows[probe.back()], qPrintable(probe));
        }
    }

    // All four bars in their own colours on "Log 0.1-1000", 1500 twips a decade: each rises to
    // 10^(2.5 - bar/2) and falls a decade, leaving a decade of grey.
    void fourBarsWithPeaks() {
        Bars bars;
        bars.SetBarXYZColor(PaletteColour(12));
        bars.SetBarXColor(PaletteColour(10));
        bars.SetBarYColor(PaletteColour(13));
        bars.SetBarZColor(PaletteColour(14));
        bars.DrawScale(0.1f, 1, 4, 1);
        const std::array draw{&ClsBarGraph::DrawBarXYZ, &ClsBarGraph::DrawBarX,
                              &ClsBarGraph::DrawBarY, &ClsBarGraph::DrawBarZ};
        const std::array<double, 4> rowMiddle{500, 725, 900, 1075};
        QList<platform::Colour> shown, expected;
        for (int bar = 0; bar < 4; ++bar) {
            (bars.*draw[bar])(std::pow(10.0f, 2.5f - bar * 0.5f));
            (bars.*draw[bar])(std::pow(10.0f, 1.5f - bar * 0.5f));
            const double peak = 310 + (3.5 - bar * 0.5) * 1500;
            for (double x : {peak - 1520, peak - 1480, peak - 20, peak + 20})
                shown << bars.picture.pixelAt(x, rowMiddle[bar]);
            expected << PaletteColour(std::array{12, 10, 13, 14}[bar]) << PaletteColour(7)
                     << PaletteColour(7) << PaletteColour(15);
        }
        QCOMPARE(shown, expected);
    }
};

QTEST_MAIN(TestGraph)
#include "tst_graph.moc"
