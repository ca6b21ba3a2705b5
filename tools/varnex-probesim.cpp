// varnex-probesim: a virtual field probe on a pseudo-terminal. Prints the name of its line on
// the first line of output, then serves until stopped (Ctrl+C); on the way out it lets the host
// read what is still on the line and reports how many records it streamed.
#include "tools/probesim/LineServer.h"
#include "tools/probesim/VirtualProbe.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QSocketNotifier>
#include <QTextStream>

#include <csignal>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

namespace {

int g_signalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(g_signalPipe[1], &c, 1);
}

bool ParsePatterns(const QString& text, probesim::FieldPlan* plan, QString* error) {
    const QStringList names = text.split(QLatin1Char(','));
    for (int axis = 0; axis < 3; ++axis) {
        const QString name = names.value(std::min<int>(axis, names.size() - 1)).trimmed();
        using Kind = probesim::AxisPattern::Kind;
        Kind kind;
        if (name == QLatin1String("constant"))
            kind = Kind::Constant;
        else if (name == QLatin1String("sine"))
            kind = Kind::Sine;
        else if (name == QLatin1String("step"))
            kind = Kind::Step;
        else if (name == QLatin1String("ramp"))
            kind = Kind::Ramp;
        else {
            *error =
                QStringLiteral("unknown pattern \"%1\" (constant, sine, step, ramp)").arg(name);
            return false;
        }
        plan->axes[axis].kind = kind;
    }
    return true;
}

bool ParseField(const QString& text, probesim::FieldPlan* plan, QString* error) {
    if (text == QLatin1String("over")) {
        for (auto& axis : plan->axes)
            axis.level = 100000.0; // above every range of every model
        return true;
    }
    const QStringList values = text.split(QLatin1Char(','));
    for (int axis = 0; axis < 3; ++axis) {
        bool ok = false;
        const double v = values.value(std::min<int>(axis, values.size() - 1)).toDouble(&ok);
        if (!ok || v < 0) {
            *error = QStringLiteral("--field takes V/m values X[,Y,Z] or \"over\"");
            return false;
        }
        plan->axes[axis].level = v;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("varnex-probesim"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A virtual field probe on a pseudo-terminal. The first line of output is the name of its "
        "line; open it with Varnex (--port NAME) or any serial program."));
    parser.addHelpOption();
    const QCommandLineOption model(
        QStringLiteral("model"),
        QStringLiteral("Probe model (default PX-5100); see --list-models."),
        QStringLiteral("MODEL"), QStringLiteral("PX-5100"));
    const QCommandLineOption field(
        QStringLiteral("field"),
        QStringLiteral("Field per axis in V/m: X[,Y,Z] (default 12,18,24), or \"over\" for a field "
                       "above every range."),
        QStringLiteral("V/M"), QStringLiteral("12,18,24"));
    const QCommandLineOption pattern(
        QStringLiteral("pattern"),
        QStringLiteral("How the field moves, per axis: constant, sine, step or ramp (default "
                       "constant); one name for all axes or X,Y,Z."),
        QStringLiteral("NAME"), QStringLiteral("constant"));
    const QCommandLineOption period(
        QStringLiteral("period"), QStringLiteral("Seconds of one sine, step or ramp (default 10)."),
        QStringLiteral("S"), QStringLiteral("10"));
    const QCommandLineOption swing(
        QStringLiteral("swing"),
        QStringLiteral("Sine amplitude, step height or ramp rise as a share of the field (default "
                       "0.5)."),
        QStringLiteral("SHARE"), QStringLiteral("0.5"));
    const QCommandLineOption battery(
        QStringLiteral("battery"),
        QStringLiteral("Battery in percent at the start, and how many percent it loses a minute "
                       "(default 90:0)."),
        QStringLiteral("PERCENT[:DRAIN]"), QStringLiteral("90:0"));
    const QCommandLineOption fault(
        QStringLiteral("fault"),
        QStringLiteral(
            "Misbehave (repeatable): drop:N, garble:N, truncate:N, split:[MS:]N (two halves MS "
            "apart, default 80), late:[MS:]N (MS late, default 250) act on every Nth reply from "
            "the first; silent:AFTER:FOR and unplug:AFTER:FOR in seconds."),
        QStringLiteral("SPEC"));
    const QCommandLineOption logFile(QStringLiteral("log"),
                                     QStringLiteral("Write every command and reply with a time "
                                                    "stamp to FILE."),
                                     QStringLiteral("FILE"));
    const QCommandLineOption link(QStringLiteral("link"),
                                  QStringLiteral("Name of the line (a link to the pseudo-terminal; "
                                                 "default: one in the temporary folder)."),
                                  QStringLiteral("PATH"));
    const QCommandLineOption speedup(
        QStringLiteral("stream-speedup"),
        QStringLiteral("A streaming probe sends its records N times faster than the line would "
                       "carry them (default 1: the pace of the line)."),
        QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption withParent(
        QStringLiteral("exit-with-parent"),
        QStringLiteral("End when the program that started it ends, even if it was killed."));
    const QCommandLineOption list(QStringLiteral("list-models"),
                                  QStringLiteral("List the models."));
    parser.addOptions({model, field, pattern, period, swing, battery, fault, logFile, link, speedup,
                       withParent, list});
    parser.process(app);
#ifdef __linux__
    // A host that crashes cannot stop its virtual probe: the system ends it instead.
    const pid_t parent = ::getppid();
    if (parser.isSet(withParent) &&
        (::prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || ::getppid() != parent))
        return 1;
#endif

    if (parser.isSet(list)) {
        for (const QString& name : probesim::Models())
            out << name << Qt::endl;
        return 0;
    }

    probesim::FieldPlan plan;
    QString error;
    if (!ParseField(parser.value(field), &plan, &error) ||
        !ParsePatterns(parser.value(pattern), &plan, &error)) {
        err << error << Qt::endl;
        return 2;
    }
    const double periodSeconds = parser.value(period).toDouble();
    const double share = parser.value(swing).toDouble();
    if (periodSeconds <= 0 || share < 0) {
        err << "--period must be above 0 and --swing not below 0" << Qt::endl;
        return 2;
    }
    for (auto& axis : plan.axes) {
        axis.period = periodSeconds;
        axis.swing = axis.level * share;
    }
    const QStringList batteryParts = parser.value(battery).split(QLatin1Char(':'));
    plan.batteryPercent = batteryParts.value(0).toDouble();
    plan.batteryDrainPerMinute = batteryParts.value(1, QStringLiteral("0")).toDouble();

    probesim::Faults faults;
    for (const QString& spec : parser.values(fault)) {
        if (!faults.add(spec, &error)) {
            err << error << Qt::endl;
            return 2;
        }
    }

    bool speedupOk = false;
    const int speedupFactor = parser.value(speedup).toInt(&speedupOk);
    if (!speedupOk || speedupFactor < 1) {
        err << "--stream-speedup takes a whole number from 1 up" << Qt::endl;
        return 2;
    }

    auto probe = probesim::CreateProbe(parser.value(model), plan);
    if (!probe) {
        err << "unknown model \"" << parser.value(model) << "\"; --list-models lists them"
            << Qt::endl;
        return 2;
    }
    const QString description =
        QStringLiteral("%1 (%2 family)").arg(probe->model(), probe->family());
    probesim::LineServer server(std::move(probe), faults);
    server.setStreamSpeedup(speedupFactor);
    if (parser.isSet(logFile) && !server.setLog(parser.value(logFile), &error)) {
        err << "cannot write the log: " << error << Qt::endl;
        return 1;
    }
    if (!server.start(parser.value(link), &error)) {
        err << error << Qt::endl;
        return 1;
    }
    out << server.lineName() << Qt::endl;
    err << "Serving " << description << " on " << server.lineName() << " (" << server.deviceName()
        << "); Ctrl+C stops." << Qt::endl;

    // The first signal lets the host read the rest of a stream; a second one ends at once.
    bool finishing = false;
    if (::pipe(g_signalPipe) == 0) {
        auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, &app, [&] {
            char c;
            [[maybe_unused]] const auto n = ::read(g_signalPipe[0], &c, 1);
            if (finishing) {
                QCoreApplication::quit();
                return;
            }
            finishing = true;
            server.finish([] { QCoreApplication::quit(); });
        });
        std::signal(SIGINT, OnSignal);
        std::signal(SIGTERM, OnSignal);
    }
    const int status = app.exec();
    err << "streamed " << server.recordsStreamed() << " records";
    if (const qint64 unread = server.unreadCharacters(); unread > 0)
        err << "; at least " << unread << " characters were left unread on the line";
    err << Qt::endl;
    return status;
}
