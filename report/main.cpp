// varnex-report: a log made into a PDF report, without a window or a display.
#include "report/ReportCommand.h"

#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    // Fonts need a QGuiApplication, a display does not: with none named, none is asked for.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("varnex-report"));
    QGuiApplication::setApplicationVersion(QStringLiteral(VARNEX_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return report::RunReport(QGuiApplication::arguments().mid(1), QStringLiteral(VARNEX_VERSION),
                             out, err);
}
