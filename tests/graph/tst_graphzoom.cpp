// The stored view and its zoom: the sample window, the mouse drag, the progress report, and
// pictures of stored records written next to the test program.
#include "graph/clsGraphZoom.h"
#include "tst_graph_fixture.h"

#include <QRandomGenerator>
#include <QtTest>
#include <cmath>

using graph::clsGraph;
using graph::ZoomDrag;

namespace {

// Samples 1..count: time of day from 10:00:00 a second apart, a sine on traces 2..5.
void Record(clsGraph& g, int count) {
    g.EraseData();
    for (int i = 1; i <= count; ++i) {
        g.WriteData(i, 1, float((36000 + i) / 86400.0));
        for (int trace = 2; trace <= 5; ++trace)
            g.WriteData(i, trace, float(trace * 12 + 30 * std::sin(i * 0.01 * trace)));
    }
}

// A stored view of count samples on trace 3.
void ShowRecord(clsGraph& g, FixedTextSurface& s, int count) {
    SetUpGraph(g, s, false);
    g.TraceSet(3, 1);
    Record(g, count);
    g.ZoomOut();
    g.Graph(0);
    g.DrawLines();
}

// x at a fraction of the plot's width.
double At(const clsGraph& g, double fraction) {
    return g.PlotLeft() + fraction * g.PlotWidth();
}

} // namespace

class TestGraphZoom : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void visibleSpanIsAtLeastTen_data() {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("span");
        QTest::newRow("empty") << 0 << 10;
        QTest::newRow("5") << 5 << 10;
        QTest::newRow("11") << 11 << 10;
        QTest::newRow("12") << 12 << 11;
    }

    void visibleSpanIsAtLeastTen() {
        QFETCH(int, count);
        QFETCH(int, span);
        FixedTextSurface s;
        clsGraph g;
        ShowRecord(g, s, count);
        QCOMPARE(g.VisibleSpan(), span);
        QCOMPARE(g.LastSample() - g.FirstSample(), span);
        QCOMPARE(g.TwipsPerSample(), float(g.PlotWidth()) / float(span));
        // Nothing is drawn past the last stored sample (it would read 0, at the bottom edge).
        for (double x = At(g, 0.5); x < g.PlotRight(); x += 15)
            QVERIFY(s.pixelAt(x, g.PlotBottom()) != g.ChanLineColour(3));
    }

    void zoomingTwiceNarrowsTheCurrentWindow() {
        FixedTextSurface s;
        clsGraph g;
        ShowRecord(g, s, 1000);
        QVERIFY(g.ZoomIn(At(g, 0.2), 1000, At(g, 0.6), 2000)); // 999 samples across
        QCOMPARE(g.FirstSample(), 200);
        QCOMPARE(g.LastSample(), 600);
        QCOMPARE(g.ZoomOff(), 0);
        QCOMPARE(g.FormatTimeStr(5), " 10:06:40");                   // sample 400
        QVERIFY(g.ZoomIn(At(g, 0.2512), 1000, At(g, 0.7512), 2000)); // 400 across
        QCOMPARE(g.FirstSample(), 300);
        QCOMPARE(g.LastSample(), 500);
        // A band of no width still shows ten samples.
        QVERIFY(g.ZoomIn(At(g, 0.5), 1000, At(g, 0.5), 2000));
        QCOMPARE(g.FirstSample(), 400);
        QCOMPARE(g.VisibleSpan(), 10);
        QCOMPARE(g.LastSample(), 410);
    }

    void drags_data() {
        QTest::addColumn<QPointF>("press");
        QTest::addColumn<QPointF>("release");
        QTest::addColumn<int>("zoomCnt");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        // Plot: x 480..4910, y 100..3100; x 1366 and 3138 are at 20 % and 60 % of 999 samples.
        const QPointF at20(1366, 1000), at60(3138, 2000);
        QTest::newRow("drag to the right") << at20 << at60 << 0 << 200 << 600;
        QTest::newRow("release left of the press") << at60 << at20 << 0 << 200 << 600;
        QTest::newRow("release left of the plot cancels")
            << at60 << QPointF(380, 1000) << 0 << 1 << 1000;
        QTest::newRow("release on the right edge cancels")
            << at20 << QPointF(4910, 1000) << 0 << 1 << 1000;
        QTest::newRow("press below the plot") << QPointF(1366, 3250) << at60 << 2 << 1 << 1000;
        QTest::newRow("release above the plot") << at20 << QPointF(3138, 90) << 2 << 1 << 1000;
        QTest::newRow("press on the left edge") << QPointF(480, 1000) << at60 << 2 << 1 << 1000;
    }

    void drags() {
        QFETCH(QPointF, press);
        QFETCH(QPointF, release);
        QFETCH(int, zoomCnt);
        QFETCH(int, first);
        QFETCH(int, last);
        FixedTextSurface s;
        clsGraph g;
        ShowRecord(g, s, 1000);
        const QImage before = s.image().copy();
        ZoomDrag drag(g);
        drag.MouseDown(Qt::LeftButton, press.x(), press.y()); // not armed: nothing starts
        QVERIFY(drag.Band().isEmpty());
        drag.Arm();
        drag.MouseDown(Qt::LeftButton, press.x(), press.y());
        QCOMPARE(drag.Band(), QRectF(press, QSizeF(50, 50)));
        drag.MouseMove(Qt::LeftButton, release.x(), release.y());
        QCOMPARE(drag.Band(), QRectF(press, release).normalized());
        QCOMPARE(drag.MouseUp(Qt::LeftButton, release.x(), release.y()), first != 1);
        QVERIFY(drag.Band().isEmpty());
        QCOMPARE(g.ZoomCnt(), zoomCnt);
        QCOMPARE(g.FirstSample(), first);
        QCOMPARE(g.LastSample(), last);
        QCOMPARE(s.image() == before, first == 1);
        // A refused drag stays armed: the next press starts a new band at once.
        drag.MouseDown(Qt::LeftButton, 2000, 500);
        QCOMPARE(drag.Band().isEmpty(), zoomCnt == 0);
    }

    // Drags anywhere, zooming out and changing the samples per division between them. Every read
    // of the store by the drawing is checked in debug builds; the window is checked here.
    void randomDragsStayInsideTheStore() {
        FixedTextSurface s;
        clsGraph g;
        ShowRecord(g, s, clsGraph::MaxSamples);
        ZoomDrag drag(g);
        QRandomGenerator random(20240611);
        const auto x = [&] { return random.bounded(-500.0) + random.bounded(6500.0); };
        const auto y = [&] { return random.bounded(-500.0) + random.bounded(4000.0); };
        const float perDivision[] = {20, 35, 50, 100, 500, 1000};
        for (int n = 0; n < 600; ++n) {
            const int action = random.bounded(20);
            if (action == 0) {
                g.ZoomOut();
                g.Graph(0);
            } else if (action < 5) {
                g.SetSamPerDiv(perDivision[random.bounded(6)]);
                g.Graph(0);
                g.DrawLines();
            } else {
                drag.Arm();
                drag.MouseDown(Qt::LeftButton, x(), y());
                drag.MouseMove(Qt::LeftButton, x(), y());
                if (!drag.MouseUp(Qt::LeftButton, x(), y())) continue;
                QVERIFY(g.FirstSample() >= 1);
                QVERIFY(g.LastSample() <= clsGraph::MaxSamples);
                QVERIFY(g.LastSample() - g.FirstSample() >= clsGraph::MinVisibleSpan);
            }
        }
    }

    void progressIsReportedSparingly() {
        FixedTextSurface s;
        clsGraph g;
        ShowRecord(g, s, clsGraph::MaxSamples);
        for (int trace = 2; trace <= 5; ++trace)
            g.TraceSet(trace, 1);
        int maximum = -1, finished = 0;
        QList<int> values;
        g.SetProgress(
            {[&](int m) { maximum = m; }, [&](int v) { values.append(v); }, [&] { ++finished; }});
        g.DrawLines();
        QCOMPARE(maximum, clsGraph::MaxSamples);
        QCOMPARE(finished, 1);
        QVERIFY(!values.isEmpty());
        QVERIFY(values.size() <= 100);
        for (qsizetype i = 1; i < values.size(); ++i)
            QVERIFY(values[i] > values[i - 1]);
        QVERIFY(values.last() <= maximum);
    }

    void picturesOfStoredRecords() {
        for (const bool log : {false, true}) {
            FixedTextSurface s(QSize(900, 450));
            clsGraph g;
            SetUpGraph(g, s, log);
            g.SetWidth(900 * 15 - 100);
            g.SetHeight(450 * 15 - 100);
            g.SetDisVerLines(2);
            g.SetHorUnitsDesc("Time");
            g.SetVerUnitsDesc("V/m");
            for (int trace = 2; trace <= 5; ++trace)
                g.TraceSet(trace, 1);
            Record(g, 3000);
            g.ZoomOut();
            g.Graph(0);
            g.DrawLines();
            const QString path = QCoreApplication::applicationDirPath() +
                                 (log ? "/graph-log.png" : "/graph-linear.png");
            QVERIFY(s.save(path));
            const QImage saved(path);
            QCOMPARE(saved.size(), QSize(900, 450));
            int traced = 0;
            for (int y = 0; y < saved.height(); ++y)
                for (int x = 0; x < saved.width(); ++x)
                    traced += saved.pixel(x, y) == platform::ToQColor(g.ChanLineColour(5)).rgb();
            QVERIFY2(traced > 800, qPrintable(QString::number(traced)));
        }
    }
};

QTEST_MAIN(TestGraphZoom)
#include "tst_graphzoom.moc"
