// varnex-probesim: a virtual field probe on a pseudo-terminal, or on a serial port of a null-modem
// pair (--port). Prints the name of its line on the first line of output, then serves until stopped
// (Ctrl+C); on the way out it lets the host read what is still on the line and reports how many
// records it streamed.
#include "platform/SerialProbeLine.h"
#include "platform/System.h"
#include "tools/probesim/LineServer.h"
#include "tools/probesim/ProbeOptions.h"
#include "tools/probesim/VirtualProbe.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("varnex-probesim"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A virtual field probe on a pseudo-terminal (or, with --port, on one end of a null-modem "
        "pair). The first line of output is the name of its line; open it (or the pair's other "
        "end) with Varnex (--port NAME) or any serial program."));
    parser.addHelpOption();
    const probesim::ProbeOptions options;
    options.addTo(parser);
    parser.process(app);

    probesim::ProbeSetup setup;
    QString error;
    if (!options.read(parser, &setup, &error)) {
        err << error << Qt::endl;
        return 2;
    }
    // A host that crashes cannot stop its virtual probe: the system ends it instead.
    if (setup.exitWithParent && !platform::EndWithParent()) return 1;
    if (setup.listModels) {
        for (const QString& name : probesim::Models())
            out << name << Qt::endl;
        return 0;
    }
    auto probe = probesim::CreateProbe(setup.model, setup.plan);
    if (!probe) {
        err << "unknown model \"" << setup.model << "\"; --list-models lists them" << Qt::endl;
        return 2;
    }
    const QString description =
        QStringLiteral("%1 (%2 family)").arg(probe->model(), probe->family());
    probesim::LineServer server(std::move(probe), setup.faults);
    server.setStreamSpeedup(setup.streamSpeedup);
    if (!setup.logFile.isEmpty() && !server.setLog(setup.logFile, &error)) {
        err << "cannot write the log: " << error << Qt::endl;
        return 1;
    }
    const bool started =
        setup.port.isEmpty()
            ? server.start(setup.link, &error)
            : server.start(std::make_unique<platform::SerialProbeLine>(setup.port), &error);
    if (!started) {
#ifdef Q_OS_WIN
        if (setup.port.isEmpty())
            error = QStringLiteral("Windows has no pseudo-terminals: serve on one end of a "
                                   "null-modem pair with --port COMn, or read a virtual probe with "
                                   "varnex --simulate MODEL.");
#endif
        err << error << Qt::endl;
        return 1;
    }
    out << server.lineName() << Qt::endl;
    err << "Serving " << description << " on " << server.lineName() << " (" << server.deviceName()
        << "); Ctrl+C stops." << Qt::endl;

    // The first request to stop lets the host read the rest of a stream; a second one ends at
    // once.
    bool finishing = false;
    platform::StopRequests stop([&] {
        if (finishing) {
            QCoreApplication::quit();
            return;
        }
        finishing = true;
        server.finish([] { QCoreApplication::quit(); });
    });
    const int status = app.exec();
    err << "streamed " << server.recordsStreamed() << " records";
    if (const qint64 unread = server.unreadCharacters(); unread > 0)
        err << "; at least " << unread << " characters were left unread on the line";
    err << Qt::endl;
    return status;
}
