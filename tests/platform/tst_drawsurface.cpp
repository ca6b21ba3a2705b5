// The drawing surface on a QImage (exact pixels) and on the screen widget (backing image at the
// device pixel ratio; this test runs at a ratio of 2).
#include "platform/ImageSurface.h"
#include "platform/SurfaceWidget.h"

#include <QSignalSpy>
#include <QtTest>
#include <functional>

using namespace platform;

using Draw = std::function<void(DrawSurface&)>;
Q_DECLARE_METATYPE(Draw)

class TestDrawSurface : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void primitivesHitExactPixels_data() {
        QTest::addColumn<Draw>("draw");
        QTest::addColumn<QList<QPoint>>("drawn");
        QTest::addColumn<QList<QPoint>>("untouched");
        const Colour c = 0x0000FF;
        QTest::newRow("line includes both ends")
            << Draw([c](DrawSurface& s) { s.Line(150, 150, 300, 150, c); })
            << QList<QPoint>{{10, 10}, {15, 10}, {20, 10}} << QList<QPoint>{{9, 10}, {21, 10}};
        QTest::newRow("diagonal line")
            << Draw([c](DrawSurface& s) { s.Line(0, 0, 75, 75, c); })
            << QList<QPoint>{{0, 0}, {2, 2}, {5, 5}} << QList<QPoint>{{1, 0}, {6, 6}};
        QTest::newRow("box is an outline")
            << Draw([c](DrawSurface& s) { s.Box(300, 150, 150, 300, c); })
            << QList<QPoint>{{10, 10}, {20, 20}, {10, 15}, {15, 20}}
            << QList<QPoint>{{15, 15}, {21, 21}};
        QTest::newRow("filled box, corners either way")
            << Draw([c](DrawSurface& s) { s.FilledBox(300, 300, 150, 150, c); })
            << QList<QPoint>{{10, 10}, {15, 15}, {20, 20}} << QList<QPoint>{{9, 15}, {21, 15}};
        QTest::newRow("a pixel is floor(twips / 15)")
            << Draw([c](DrawSurface& s) { s.PSet(29.99, 30, c); }) << QList<QPoint>{{1, 2}}
            << QList<QPoint>{{2, 2}, {1, 1}};
        QTest::newRow("left of the image") << Draw([c](DrawSurface& s) { s.PSet(-1, 15, c); })
                                           << QList<QPoint>{} << QList<QPoint>{{0, 1}};
        QTest::newRow("single pixel") << Draw([c](DrawSurface& s) { s.PSet(44, 44, c); })
                                      << QList<QPoint>{{2, 2}} << QList<QPoint>{{3, 2}, {2, 3}};
        QTest::newRow("circle ring") << Draw([c](DrawSurface& s) { s.Circle(300, 300, 75, c); })
                                     << QList<QPoint>{{25, 20}, {15, 20}, {20, 15}, {20, 25}}
                                     << QList<QPoint>{{20, 20}, {26, 20}};
        QTest::newRow("line from far outside is clipped")
            << Draw([c](DrawSurface& s) { s.Line(-1e12, 150, 1e12, 150, c); })
            << QList<QPoint>{{0, 10}, {39, 10}} << QList<QPoint>{{0, 9}};
        QTest::newRow("not a number draws nothing")
            << Draw([c](DrawSurface& s) { s.Line(qQNaN(), 0, 150, 150, c); }) << QList<QPoint>{}
            << QList<QPoint>{{10, 10}, {0, 0}};
    }

    void primitivesHitExactPixels() {
        QFETCH(Draw, draw);
        QFETCH(QList<QPoint>, drawn);
        QFETCH(QList<QPoint>, untouched);
        ImageSurface s(QSize(40, 40));
        s.SetBackColor(0);
        s.Cls();
        draw(s);
        for (const QPoint& p : drawn)
            QVERIFY2(s.image().pixel(p) == qRgb(255, 0, 0),
                     qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
        for (const QPoint& p : untouched)
            QVERIFY2(s.image().pixel(p) == qRgb(0, 0, 0),
                     qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
    }

    void coloursAreBgrAtTheBoundaryOnly() {
        QCOMPARE(PaletteColour(1), Colour(0x800000));
        QCOMPARE(PaletteColour(8), Colour(0x808080));
        QCOMPARE(PaletteColour(12), Colour(0x0000FF));
        QCOMPARE(PaletteColour(14), Colour(0x00FFFF));
        QCOMPARE(ToQColor(0x123456), QColor(0x56, 0x34, 0x12));
        QCOMPARE(FromQColor(QColor(0x56, 0x34, 0x12)), Colour(0x123456));

        ImageSurface s(QSize(10, 10));
        s.SetBackColor(0x123456);
        s.Cls();
        QCOMPARE(s.image().pixel(3, 3), qRgb(0x56, 0x34, 0x12));
        QCOMPARE(s.pixelAt(45, 45), Colour(0x123456));
        QCOMPARE(s.pixelAt(150, 0), NoColour);
    }

    void textIsMeasuredInTwipsWhateverTheDensity() {
        ImageSurface normal(QSize(200, 50), 15.0);
        ImageSurface dense(QSize(400, 100), 7.5);
        const QString text = QStringLiteral("0.25m");
        QVERIFY(normal.TextHeight(text) > 100.0);
        QVERIFY(normal.TextWidth("WWW") > normal.TextWidth("i"));
        QVERIFY(qAbs(dense.TextWidth(text) - normal.TextWidth(text)) <
                0.1 * normal.TextWidth(text));

        // Text lands inside its measured box, below and right of the point, in the fore colour.
        normal.SetBackColor(0);
        normal.SetForeColor(0xFFFFFF);
        normal.Cls();
        normal.Print(300, 150, text);
        const QRect box = QRectF(20, 10, normal.TextWidth(text) / 15, normal.TextHeight(text) / 15)
                              .toAlignedRect();
        int inside = 0;
        for (int y = 0; y < 50; ++y)
            for (int x = 0; x < 200; ++x) {
                if (normal.image().pixel(x, y) == qRgb(0, 0, 0)) continue;
                QVERIFY2(box.adjusted(-1, -1, 1, 1).contains(x, y), "text outside its box");
                ++inside;
            }
        QVERIFY(inside > 10);
    }

    void widgetKeepsDrawingAtDevicePixels() {
        SurfaceWidget w;
        w.resize(100, 60);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.devicePixelRatioF(), 2.0);
        QCOMPARE(w.image().size(), QSize(200, 120));
        QCOMPARE(w.ScaleWidth(), 1500.0);

        w.SetBackColor(0);
        w.Cls();
        w.Line(150, 150, 600, 150, 0x00FF00); // logical pixel 10, device pixel 20, pen of 2
        QCOMPARE(w.image().pixel(20, 20), qRgb(0, 255, 0));
        QCOMPARE(w.image().pixel(20, 21), qRgb(0, 255, 0));
        QCOMPARE(w.image().pixel(20, 22), qRgb(0, 0, 0));

        // What the screen shows is the backing image, also after a repaint and a resize.
        w.repaint();
        QTRY_COMPARE(w.grab().toImage().pixel(30, 20), qRgb(0, 255, 0));
        w.resize(120, 80);
        QCOMPARE(w.image().size(), QSize(240, 160));
        QCOMPARE(w.image().pixel(30, 20), qRgb(0, 255, 0));
        QCOMPARE(w.image().pixel(230, 150), qRgb(0, 0, 0));

        QSignalSpy pressed(&w, &SurfaceWidget::mousePressed);
        QTest::mousePress(&w, Qt::LeftButton, {}, QPoint(10, 20));
        QCOMPARE(pressed.size(), 1);
        QCOMPARE(pressed[0][2].toDouble(), 150.0);
        QCOMPARE(pressed[0][3].toDouble(), 300.0);
    }
};

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestDrawSurface test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_drawsurface.moc"
