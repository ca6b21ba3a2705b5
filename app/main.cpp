#include "app/ConsoleFront.h"

#include <QCommandLineParser>
#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Varnex"));
    QCoreApplication::setApplicationVersion(QStringLiteral(VARNEX_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Varnex: finds a field probe on a serial port and shows its readings."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption portOption(QStringLiteral("port"),
                                        QStringLiteral("Use the system port NAME for this run."),
                                        QStringLiteral("NAME"));
    const QCommandLineOption commOption(QStringLiteral("comm"),
                                        QStringLiteral("Port number 1 to 5 (default 1)."),
                                        QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption secondsOption(
        QStringLiteral("seconds"), QStringLiteral("Stop after S seconds (default: run on)."),
        QStringLiteral("S"), QStringLiteral("0"));
    const QCommandLineOption simulateOption(
        QStringLiteral("simulate"),
        QStringLiteral("Start the virtual probe MODEL and read it on port 1."),
        QStringLiteral("MODEL"));
    const QCommandLineOption singleAxisOption(QStringLiteral("single-axis"),
                                              QStringLiteral("Read the total field only."));
    parser.addOptions({portOption, commOption, secondsOption, simulateOption, singleAxisOption});
    parser.process(app);

    ConsoleFront::Options options;
    bool ok = false;
    options.portNo = parser.value(commOption).toInt(&ok);
    if (!ok || options.portNo < 1 || options.portNo > 5) {
        fprintf(stderr, "--comm takes a port number from 1 to 5\n");
        return 2;
    }
    options.portName = parser.value(portOption);
    options.seconds = parser.value(secondsOption).toInt();
    options.simulate = parser.value(simulateOption);
    options.threeAxis = !parser.isSet(singleAxisOption);

    ConsoleFront front(options);
    if (!front.start()) return 1;
    return app.exec();
}
