#include "tools/probesim/ProbeOptions.h"

#include <QStringList>
#include <algorithm>

namespace probesim {

namespace {

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

ProbeOptions::ProbeOptions()
    : model(QStringLiteral("model"),
            QStringLiteral("Probe model (default PX-5100); see --list-models."),
            QStringLiteral("MODEL"), QStringLiteral("PX-5100")),
      field(QStringLiteral("field"),
            QStringLiteral(
                "Field per axis in V/m: X[,Y,Z] (default 12,18,24), or \"over\" for a field "
                "above every range."),
            QStringLiteral("V/M"), QStringLiteral("12,18,24")),
      pattern(QStringLiteral("pattern"),
              QStringLiteral("How the field moves, per axis: constant, sine, step or ramp (default "
                             "constant); one name for all axes or X,Y,Z."),
              QStringLiteral("NAME"), QStringLiteral("constant")),
      period(QStringLiteral("period"),
             QStringLiteral("Seconds of one sine, step or ramp (default 10)."), QStringLiteral("S"),
             QStringLiteral("10")),
      swing(QStringLiteral("swing"),
            QStringLiteral(
                "Sine amplitude, step height or ramp rise as a share of the field (default "
                "0.5)."),
            QStringLiteral("SHARE"), QStringLiteral("0.5")),
      battery(
          QStringLiteral("battery"),
          QStringLiteral("Battery in percent at the start, and how many percent it loses a minute "
                         "(default 90:0)."),
          QStringLiteral("PERCENT[:DRAIN]"), QStringLiteral("90:0")),
      fault(
          QStringLiteral("fault"),
          QStringLiteral(
              "Misbehave (repeatable): drop:N, garble:N, truncate:N, split:[MS:]N (two halves MS "
              "apart, default 80), late:[MS:]N (MS late, default 250) act on every Nth reply from "
              "the first; silent:AFTER:FOR and unplug:AFTER:FOR in seconds."),
          QStringLiteral("SPEC")),
      logFile(QStringLiteral("log"),
              QStringLiteral("Write every command and reply with a time "
                             "stamp to FILE."),
              QStringLiteral("FILE")),
      link(QStringLiteral("link"),
           QStringLiteral("Name of the line (a link to the pseudo-terminal; "
                          "default: one in the temporary folder)."),
           QStringLiteral("PATH")),
      port(QStringLiteral("port"),
           QStringLiteral("Serve on the serial port NAME, one end of a null-modem pair (two ports "
                          "wired together, or a virtual pair), instead of a pseudo-terminal."),
           QStringLiteral("NAME")),
      speedup(
          QStringLiteral("stream-speedup"),
          QStringLiteral("A streaming probe sends its records N times faster than the line would "
                         "carry them (default 1: the pace of the line)."),
          QStringLiteral("N"), QStringLiteral("1")),
      withParent(
          QStringLiteral("exit-with-parent"),
          QStringLiteral("End when the program that started it ends, even if it was killed.")),
      list(QStringLiteral("list-models"), QStringLiteral("List the models.")) {}

void ProbeOptions::addTo(QCommandLineParser& parser) const {
    parser.addOptions({model, field, pattern, period, swing, battery, fault, logFile, link, port,
                       speedup, withParent, list});
}

bool ProbeOptions::read(const QStringList& arguments, ProbeSetup* setup, QString* error) const {
    QCommandLineParser parser;
    addTo(parser);
    if (!parser.parse(QStringList{QStringLiteral("varnex-probesim")} + arguments)) {
        *error = parser.errorText();
        return false;
    }
    return read(parser, setup, error);
}

bool ProbeOptions::read(const QCommandLineParser& parser, ProbeSetup* setup, QString* error) const {
    ProbeSetup s;
    s.model = parser.value(model);
    s.listModels = parser.isSet(list);
    s.exitWithParent = parser.isSet(withParent);
    s.link = parser.value(link);
    s.port = parser.value(port);
    s.logFile = parser.value(logFile);
    if (!ParseField(parser.value(field), &s.plan, error) ||
        !ParsePatterns(parser.value(pattern), &s.plan, error))
        return false;
    const double periodSeconds = parser.value(period).toDouble();
    const double share = parser.value(swing).toDouble();
    if (periodSeconds <= 0 || share < 0) {
        *error = QStringLiteral("--period must be above 0 and --swing not below 0");
        return false;
    }
    for (auto& axis : s.plan.axes) {
        axis.period = periodSeconds;
        axis.swing = axis.level * share;
    }
    const QStringList batteryParts = parser.value(battery).split(QLatin1Char(':'));
    s.plan.batteryPercent = batteryParts.value(0).toDouble();
    s.plan.batteryDrainPerMinute = batteryParts.value(1, QStringLiteral("0")).toDouble();
    for (const QString& spec : parser.values(fault))
        if (!s.faults.add(spec, error)) return false;
    bool speedupOk = false;
    s.streamSpeedup = parser.value(speedup).toInt(&speedupOk);
    if (!speedupOk || s.streamSpeedup < 1) {
        *error = QStringLiteral("--stream-speedup takes a whole number from 1 up");
        return false;
    }
    *setup = s;
    return true;
}

} // namespace probesim
