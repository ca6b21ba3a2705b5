// Poses the window for pictures of the README: a zoomed stored view (a log opened, "Zoom In"
// pressed and a drag across the graph with the mouse, as a user would), one tab of the options
// dialog, or the graphs of an opened log exported as the File menu exports them.
//
//   pose-stored-view LOG.csv FROM TO PICTURE.png     (FROM and TO: shares of the plot, 0..1)
//   pose-stored-view --options TAB PICTURE.png       (TAB: 0, 1 or 2)
//   pose-stored-view --export LOG.csv PICTURE.png    (the bars beside it, as PICTURE_bars.png)
#include "bench/WindowBench.h"
#include "window/frmOptions.h"

#include <QApplication>
#include <QTabWidget>
#include <QTest>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc == 4 && QByteArray(argv[1]) == "--options") {
        bench::WindowRun run(QStringLiteral("/nonexistent"), QStringLiteral("15"));
        run.window().ui().frame.tbProperties->trigger();
        window::frmOptions* options = run.window().options();
        options->SSTab1->setCurrentIndex(atoi(argv[2]));
        options->show();
        QTest::qWait(300);
        return options->grab().save(QString::fromLocal8Bit(argv[3])) ? 0 : 1;
    }
    if (argc == 4 && QByteArray(argv[1]) == "--export") {
        bench::WindowRun run(QStringLiteral("/nonexistent"), QStringLiteral("15"));
        run.window().resize(1000, 640);
        QTest::qWait(500);
        run.window().OpenLog(QString::fromLocal8Bit(argv[2]));
        run.dialogs().queueFile(QString::fromLocal8Bit(argv[3]));
        return run.window().mnuFileExport_Click() ? 0 : 1;
    }
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
