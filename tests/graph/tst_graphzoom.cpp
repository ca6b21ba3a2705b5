// The stored view and its zoom: the sample window, the mouse drag and the progress report.
#include "graph/clsGraphZoom.h"
#include "tst_graph_fixture.h"

#include <QRandomGenerator>
#include <QtTest>
#include <algorithm>
#include <cmath>

using graph::clsGraph;
using graph::ZoomDrag;

namespace {

// The whole record of count samples, trace 3 shown: times of day from 10:00:00 a second apart
// and a sine on traces 2..5.
struct ShownRecord : GraphOnSurface {
    explicit ShownRecord(int count) {
        for (int i = 1; i <= count; ++i) {
            WriteData(i, 1, float((36000 + i) / 86400.0));
            for (int trace = 2; trace <= 5; ++trace)
                WriteData(i, trace, float(trace * 12 + 30 * std::sin(i * 0.01 * trace)));
        }
        TraceSet(3, 1);
        ZoomOut();
        Graph(0);
        DrawLines();
    }
    double At(double fraction) const { return PlotLeft() + fraction * PlotWidth(); } // an x
};

} // namespace

class TestGraphZoom : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // At least ten samples are in view, and nothing is drawn past the last stored sample (it
    // would read 0, at the bottom edge).
    void visibleSpanIsAtLeastTen() {
        QList<int> spans;
        for (int count : {0, 5, 11, 12}) {
            ShownRecord g(count);
            spans << g.VisibleSpan() << g.LastSample() - g.FirstSample();
            QCOMPARE(g.TwipsPerSample(), float(g.PlotWidth()) / float(g.VisibleSpan()));
            for (double x = g.At(0.5); x < g.PlotRight(); x += 15)
                QVERIFY(g.s.pixelAt(x, g.PlotBottom()) != g.ChanLineColour(3));
        }
        QCOMPARE(spans, QList<int>({10, 10, 10, 10, 10, 10, 11, 11}));
    }

    // 20-60 % of 999 samples, then 25-75 % of 400, then a band of no width: still ten samples.
    // The time labels follow the window.
    void zoomingTwiceNarrowsTheCurrentWindow() {
        ShownRecord g(1000);
        QList<int> windows;
        QStringList times;
        const std::pair<double, double> bands[] = {{0.2, 0.6}, {0.2512, 0.7512}, {0.5, 0.5}};
        for (const auto& [from, to] : bands) {
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
};

QTEST_MAIN(TestGraphZoom)
#include "tst_graphzoom.moc"
