// Poses the window for the README's picture of a zoomed stored view: opens a log, presses
// "Zoom In" and drags across the graph with the mouse, as a user would, then saves the window.
//
//   pose-stored-view LOG.csv FROM TO PICTURE.png     (FROM and TO: shares of the plot, 0..1)
#include "bench/WindowBench.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 5) {
        std::fprintf(stderr, "usage: pose-stored-view LOG.csv FROM TO PICTURE.png\n");
        return 2;
    }
    bench::WindowRun run(QStringLiteral("/nonexistent"), QStringLiteral("15"));
    app::frmMain& window = run.window();
    window.resize(1000, 640);
    QTest::qWait(500);
    window.OpenLog(QString::fromLocal8Bit(argv[1]));
    window.ui().graphs.tbZoomIn->trigger();
    platform::SurfaceWidget* picture = window.ui().graphs.Picture1;
    const graph::clsGraph& g = window.graph();
    const double perPixel = picture->twipsPerLogicalPixel();
    const auto at = [&](double share, double height) {
        return QPoint(int((g.PlotLeft() + share * g.PlotWidth()) / perPixel),
                      int((g.Top() + height * (g.PlotBottom() - g.Top())) / perPixel));
    };
    QTest::mousePress(picture, Qt::LeftButton, {}, at(atof(argv[2]), 0.2));
    QMouseEvent move(QEvent::MouseMove, at(atof(argv[3]), 0.8),
                     picture->mapToGlobal(at(atof(argv[3]), 0.8)), Qt::NoButton, Qt::LeftButton,
                     {});
    QApplication::sendEvent(picture, &move);
    QTest::mouseRelease(picture, Qt::LeftButton, {}, at(atof(argv[3]), 0.8));
    QTest::qWait(300);
    return window.grab().save(QString::fromLocal8Bit(argv[4])) ? 0 : 1;
}
