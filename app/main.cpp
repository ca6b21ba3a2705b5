// Varnex: finds a field probe on a serial port, identifies it and shows its readings.
#include "app/frmMain.h"
#include "platform/ModalRunner.h"
#include "platform/PortTable.h"
#include "platform/QtChildProgram.h"
#include "platform/QtClock.h"
#include "platform/QtHiResTimer.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtSerialComm.h"
#include "platform/QtSettingsStore.h"
#include "platform/QtUserDialogs.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

namespace {

// Starts the virtual probe of the named model and returns the line it serves on.
QString startVirtualProbe(platform::ChildProgram& child, const QString& model) {
    QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/varnex-probesim");
#ifdef Q_OS_WIN
    program += QStringLiteral(".exe");
#endif
    QString error;
    const QString line = child.startAndReadLine(
        program,
        {QStringLiteral("--model"), model, QStringLiteral("--pattern"), QStringLiteral("sine"),
         QStringLiteral("--field"), QStringLiteral("5,8,11"), QStringLiteral("--exit-with-parent")},
        5000, &error);
    if (line.isEmpty()) fprintf(stderr, "The virtual probe did not start: %s\n", qPrintable(error));
    return line;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(app::frmMain::AppTitle);
    QApplication::setApplicationVersion(QStringLiteral(VARNEX_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Varnex: finds a field probe on a serial port and shows its readings."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption portOption(
        QStringLiteral("port"), QStringLiteral("Read the probe on the system port NAME this run."),
        QStringLiteral("NAME"));
    const QCommandLineOption simulateOption(
        QStringLiteral("simulate"), QStringLiteral("Start the virtual probe MODEL and read it."),
        QStringLiteral("MODEL"));
    const QCommandLineOption quitOption(QStringLiteral("quit-after"),
                                        QStringLiteral("Close the window after S seconds."),
                                        QStringLiteral("S"));
    const QCommandLineOption screenshotOption(
        QStringLiteral("screenshot"),
        QStringLiteral("With --quit-after: save a picture of the window to FILE before closing."),
        QStringLiteral("FILE"));
    const QCommandLineOption folderOption(
        QStringLiteral("settings-folder"),
        QStringLiteral("Keep the configuration and notes files in DIR instead of the usual place."),
        QStringLiteral("DIR"));
    const QCommandLineOption recordOption(
        QStringLiteral("record"),
        QStringLiteral("Start a log as soon as the probe is read, as the Record button does."));
    parser.addOptions(
        {portOption, simulateOption, quitOption, screenshotOption, folderOption, recordOption});
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("A saved log to open in the graph."),
                                 QStringLiteral("[file]"));
    parser.process(app);

    platform::QtSettingsStore settings;
    platform::PortTable ports(settings);
    platform::QtSerialComm port(ports);
    platform::QtClock clock;
    platform::QtMessageBoxes boxes;
    platform::QtModalRunner modal;
    platform::QtChildProgram child;
    platform::QtUserDialogs dialogs;
    platform::QtBusyPointer busy;
    platform::QtBeeper beeper;
    const QString configFile =
        parser.isSet(folderOption)
            ? QDir(parser.value(folderOption)).filePath(QStringLiteral("Varnex.cfg"))
            : files::ConfigFilePath(QCoreApplication::applicationDirPath());
    platform::Services services{port,
                                clock,
                                boxes,
                                settings,
                                ports,
                                modal,
                                child,
                                [] { return std::make_unique<platform::QtHiResTimer>(); },
                                QFileInfo(configFile).absolutePath(),
                                dialogs,
                                busy,
                                QStandardPaths::writableLocation(QStandardPaths::AppDataLocation),
                                beeper};

    QString runPort = parser.value(portOption);
    if (parser.isSet(simulateOption)) {
        runPort = startVirtualProbe(child, parser.value(simulateOption));
        if (runPort.isEmpty()) return 1;
    }

    app::frmMain window(services);
    window.SetRunPort(runPort);
    if (parser.isSet(recordOption)) window.StartLogWhenRead();
    const QStringList logs = parser.positionalArguments();
    const bool quit = parser.isSet(quitOption);
    const double quitSeconds = parser.value(quitOption).toDouble();
    const QString picture = parser.value(screenshotOption);
    window.Form_Load();
    window.WhenStarted([&window, logs, quit, quitSeconds, picture] {
        window.show();
        if (!logs.isEmpty()) window.OpenLog(QFileInfo(logs.first()).absoluteFilePath());
        if (!quit) return;
        QTimer::singleShot(int(quitSeconds * 1000), &window, [&window, picture] {
            if (!picture.isEmpty() && !window.grab().save(picture))
                fprintf(stderr, "Could not save %s\n", qPrintable(picture));
            window.close();
        });
    });
    const int result = app.exec();
    child.stop();
    return result;
}
