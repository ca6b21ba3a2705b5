// Varnex: finds a field probe on a serial port, identifies it and shows its readings.
#include "app/frmMain.h"
#include "files/HeaderNotes.h"
#include "platform/ModalRunner.h"
#include "platform/PortTable.h"
#include "platform/QtChildProgram.h"
#include "platform/QtClock.h"
#include "platform/QtHiResTimer.h"
#include "platform/QtMessageBoxes.h"
#include "platform/QtSettingsStore.h"
#include "platform/QtUserDialogs.h"
#include "platform/SystemSerial.h"
#include "tools/probesim/InProcessProbe.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>

namespace {

// The virtual probe's field: three axes that swing, so that the first look shows a live probe.
const QStringList VirtualProbeField{QStringLiteral("--pattern"), QStringLiteral("sine"),
                                    QStringLiteral("--field"), QStringLiteral("5,8,11")};

#ifndef Q_OS_WIN
// Starts the virtual probe of the named model on a pseudo-terminal and returns the line it
// serves on.
QString startVirtualProbe(platform::ChildProgram& child, const QString& model) {
    const QString program =
        QCoreApplication::applicationDirPath() + QStringLiteral("/varnex-probesim");
    QString error;
    const QString line =
        child.startAndReadLine(program,
                               QStringList{QStringLiteral("--model"), model} + VirtualProbeField +
                                   QStringList{QStringLiteral("--exit-with-parent")},
                               5000, &error);
    if (line.isEmpty()) fprintf(stderr, "The virtual probe did not start: %s\n", qPrintable(error));
    return line;
}
#endif

// The command line's options, the same for the first look and for the run.
struct Options {
    QCommandLineOption port{QStringLiteral("port"),
                            QStringLiteral("Read the probe on the system port NAME this run."),
                            QStringLiteral("NAME")};
    QCommandLineOption simulate{QStringLiteral("simulate"),
                                QStringLiteral("Start the virtual probe MODEL and read it."),
                                QStringLiteral("MODEL")};
    QCommandLineOption quit{QStringLiteral("quit-after"),
                            QStringLiteral("Close the window after S seconds."),
                            QStringLiteral("S")};
    QCommandLineOption screenshot{
        QStringLiteral("screenshot"),
        QStringLiteral("With --quit-after: save a picture of the window to FILE before closing."),
        QStringLiteral("FILE")};
    QCommandLineOption folder{
        QStringLiteral("settings-folder"),
        QStringLiteral("Keep the configuration and notes files in DIR instead of the usual place."),
        QStringLiteral("DIR")};
    QCommandLineOption record{
        QStringLiteral("record"),
        QStringLiteral("Start a log as soon as the probe is read, as the Record button does.")};

    void addTo(QCommandLineParser& parser) const {
        parser.setApplicationDescription(
            QStringLiteral("Varnex: finds a field probe on a serial port and shows its readings."));
        parser.addHelpOption();
        parser.addVersionOption();
        parser.addOptions({port, simulate, quit, screenshot, folder, record});
        parser.addPositionalArgument(QStringLiteral("file"),
                                     QStringLiteral("A saved log to open in the graph."),
                                     QStringLiteral("[file]"));
    }
};

void nameApplication() {
    QCoreApplication::setApplicationName(app::frmMain::AppTitle);
    QCoreApplication::setApplicationVersion(QStringLiteral(VARNEX_VERSION));
}

// The help and the version are printed without a display: the window's application, which
// needs one, is made only for a run. (Its own options, such as -platform, are left to it.)
void answerWithoutDisplay(int argc, char** argv) {
    QCoreApplication core(argc, argv);
    nameApplication();
    const Options options;
    QCommandLineParser parser;
    options.addTo(parser);
    parser.parse(QCoreApplication::arguments());
    if (parser.isSet(QStringLiteral("help"))) parser.showHelp();
    if (parser.isSet(QStringLiteral("version"))) parser.showVersion();
}

} // namespace

int main(int argc, char** argv) {
    answerWithoutDisplay(argc, argv);
    QApplication app(argc, argv);
    nameApplication();

    const Options options;
    QCommandLineParser parser;
    options.addTo(parser);
    parser.process(app);

    platform::QtSettingsStore settings;
    platform::PortTable ports(settings);
    const std::unique_ptr<platform::SerialComm> systemPort =
        platform::CreateSystemSerialComm(ports);
    platform::SerialComm* port = systemPort.get();
    platform::QtClock clock;
    platform::QtMessageBoxes boxes;
    platform::QtModalRunner modal;
    platform::QtChildProgram child;
    platform::QtUserDialogs dialogs;
    platform::QtBusyPointer busy;
    platform::QtBeeper beeper;
    const QString configFile =
        parser.isSet(options.folder)
            ? QDir(parser.value(options.folder)).filePath(QStringLiteral("Varnex.cfg"))
            : files::ConfigFilePath(QCoreApplication::applicationDirPath());

    // Windows has no pseudo-terminals: there the virtual probe is served inside the program,
    // and the run reads it whichever port is chosen.
    QString runPort = parser.value(options.port);
    std::unique_ptr<probesim::InProcessProbe> virtualProbe;
    if (parser.isSet(options.simulate)) {
#ifdef Q_OS_WIN
        QString error;
        virtualProbe = probesim::InProcessProbe::Start(
            QStringList{QStringLiteral("--model"), parser.value(options.simulate)} +
                VirtualProbeField,
            &error);
        if (!virtualProbe) {
            fprintf(stderr, "The virtual probe did not start: %s\n", qPrintable(error));
            return 1;
        }
        port = &virtualProbe->port();
        runPort = virtualProbe->lineName();
#else
        runPort = startVirtualProbe(child, parser.value(options.simulate));
        if (runPort.isEmpty()) return 1;
#endif
    }

    platform::Services services{*port,
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

    // A first run finds the note prompts a log's header asks for.
    files::HeaderNotes::InstallStartingFile(
        QDir(services.dataFolder).filePath(files::HeaderNotes::FileName));

    app::frmMain window(services);
    window.SetRunPort(runPort);
    if (parser.isSet(options.record)) window.StartLogWhenRead();
    const QStringList logs = parser.positionalArguments();
    const bool quit = parser.isSet(options.quit);
    const double quitSeconds = parser.value(options.quit).toDouble();
    const QString picture = parser.value(options.screenshot);
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
