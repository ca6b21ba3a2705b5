#include "logger/LoggerOptions.h"

#include "files/LogFile.h"
#include "logger/RowStream.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

namespace logger {

qint64 ParseDuration(const QString& text) {
    static const QRegularExpression form(QStringLiteral("^([0-9]{1,9})([smhd])$"));
    const QRegularExpressionMatch m = form.match(text);
    if (!m.hasMatch()) return -1;
    const qint64 n = m.captured(1).toLongLong();
    const QChar unit = m.captured(2).at(0);
    const qint64 perUnit = unit == u's'   ? 1000
                           : unit == u'm' ? 60000
                           : unit == u'h' ? 3600000
                                          : 86400000;
    return n > 0 ? n * perUnit : -1;
}

namespace {

bool IntIn(const QString& text, int low, int high, int* value) {
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < low || v > high) return false;
    *value = v;
    return true;
}

// A share of the limit in %, for --warn and --alarm.
bool PercentIn(const QString& text, double* value) {
    bool ok = false;
    const double v = text.toDouble(&ok);
    if (!ok || !(v > 0.0) || v > 10000.0) return false;
    *value = v;
    return true;
}

// "key=value": the key and value go into the stream's lines as they are (escaped), so neither
// may be empty or hold a line end, nor may a key take a name of the stream's own.
QString AddTag(const QString& text, StreamTags& tags) {
    const qsizetype equals = text.indexOf(u'=');
    if (equals < 0) return QStringLiteral("--tag \"%1\" is not key=value.").arg(text);
    const QString key = text.left(equals);
    const QString value = text.mid(equals + 1);
    if (key.isEmpty() || value.isEmpty())
        return QStringLiteral("--tag \"%1\" needs a key and a value.").arg(text);
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return QStringLiteral("--tag \"%1\" holds a control character.").arg(text);
    if (StreamKeys().contains(key))
        return QStringLiteral("--tag \"%1\": \"%2\" is a name of the stream's own; these are: "
                              "%3.")
            .arg(text, key, StreamKeys().join(QStringLiteral(", ")));
    // InfluxDB keeps names that begin with "_" for itself.
    if (key.startsWith(u'_'))
        return QStringLiteral("--tag \"%1\": a key may not begin with \"_\".").arg(text);
    for (const auto& tag : tags)
        if (tag.first == key)
            return QStringLiteral("--tag \"%1\": the key \"%2\" is given twice.").arg(text, key);
    tags.append({key, value});
    return {};
}

} // namespace

QString LoggerUsage() {
    const QString text = QStringLiteral(
        "Usage: varnex-logger (--port NAME | --simulate MODEL) --out FILE.csv [options]\n"
        "Logs a field probe without a window, page after page in the window's log format.\n\n"
        "  --port NAME          the serial port of the probe\n"
        "  --simulate MODEL     a virtual probe of that model instead\n"
        "  --probe-option ARG   passed on to the virtual probe (repeatable)\n"
        "  --out FILE.csv       page 1; the next pages are FILE_2.csv, FILE_3.csv, ...\n"
        "  --overwrite          replace pages that are there already\n"
        "  --duration T         90s, 45m, 8h or 3d; until interrupted when absent\n"
        "  --rate N|max         samples a second asked of the probe, or every reply at once\n"
        "  --units N            units 1..3 asked of the probe once it is found\n"
        "  --range N|auto       range 1..5, or automatic ranging\n"
        "  --average PERIOD     exposure rows: total and moving average, one a second\n"
        "                       (\"10 Second\" .. \"30 Minute\", as the options dialog offers)\n"
        "  --notes FILE         lines \"label,value\" for the pages' headers\n"
        "  --baud N             link speed: 9600, 19200, or 38400, 57600, 115200 (Zeta stream)\n"
        "  --format csv|jsonl|influx  also one line a row on standard output\n"
        "  --tag KEY=VALUE      a tag of every JSON and line protocol line (repeatable)\n"
        "  --find-timeout T     how long to wait for a probe at the start (default 30s)\n\n"
        "The exposure limit, its warning and alarm levels (each page gets FILE_events.csv\n"
        "beside it with the levels reached while it was open):\n"
        "  --limit KEY          each row's share of the limit and its average over the\n"
        "                       standard's time; KEY is one of\n"
        "%1\n"
        "  --frequency F        the source's frequency: 900MHz, 2.45GHz, 150kHz (a bare number\n"
        "                       is MHz); without it the lowest level over 0.1 MHz - 6 GHz applies\n"
        "  --warn PCT           the warning level in % of the limit (default 50)\n"
        "  --alarm PCT          the alarm level in % of the limit (default 100)\n\n"
        "Exit codes: 0 done, 1 a file could not be written, 2 bad command line,\n"
        "3 the port cannot be opened, 4 no probe found, 5 a probe was found but less\n"
        "than half the rows its pace allows were logged.\n");
    // Two keys a line, a standard's two populations.
    const QStringList keys = measure::LimitKeys();
    QStringList lines;
    for (qsizetype i = 0; i < keys.size(); i += 2)
        lines << QString(23, u' ') + keys.mid(i, 2).join(QStringLiteral(", "));
    return text.arg(lines.join(QStringLiteral(",\n")));
}

QString ParseLoggerArguments(const QStringList& arguments, const QStringList& models,
                             const QStringList& periods, LoggerOptions& o) {
    QString limitPart; // the first option that means nothing without --limit
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& name = arguments[i];
        if (name == u"--overwrite") {
            o.overwrite = true;
            continue;
        }
        if (!name.startsWith(u"--")) return QStringLiteral("Unexpected argument \"%1\".").arg(name);
        if (i + 1 >= arguments.size()) return QStringLiteral("%1 needs a value.").arg(name);
        const QString value = arguments[++i];
        if (name == u"--port") {
            o.port = value;
        } else if (name == u"--simulate") {
            if (!models.contains(value))
                return QStringLiteral("Unknown probe model \"%1\"; the models are: %2.")
                    .arg(value, models.join(QStringLiteral(", ")));
            o.simulate = value;
        } else if (name == u"--probe-option") {
            o.probeArguments << value;
        } else if (name == u"--out") {
            o.out = value;
        } else if (name == u"--duration" || name == u"--find-timeout") {
            const qint64 ms = ParseDuration(value);
            if (ms < 0)
                return QStringLiteral("%1 \"%2\" is not a time such as 90s, 45m, 8h or 3d.")
                    .arg(name, value);
            (name == u"--duration" ? o.durationMs : o.findTimeoutMs) = ms;
        } else if (name == u"--rate") {
            if (value == u"max")
                o.maxRate = true;
            else if (!IntIn(value, 1, 1000, &o.rate))
                return QStringLiteral("--rate \"%1\" is neither a number of samples a second nor "
                                      "\"max\".")
                    .arg(value);
        } else if (name == u"--units") {
            if (!IntIn(value, 1, 3, &o.units))
                return QStringLiteral("--units \"%1\" is not 1, 2 or 3.").arg(value);
        } else if (name == u"--range") {
            if (value == u"auto")
                o.range = 0;
            else if (!IntIn(value, 1, 5, &o.range))
                return QStringLiteral("--range \"%1\" is neither 1 to 5 nor \"auto\".").arg(value);
        } else if (name == u"--average") {
            if (!periods.contains(value))
                return QStringLiteral("--average \"%1\" is not one of: %2.")
                    .arg(value, periods.join(QStringLiteral(", ")));
            o.average = value;
        } else if (name == u"--notes") {
            o.notesFile = value;
        } else if (name == u"--baud") {
            static const QList<int> speeds{9600, 19200, 38400, 57600, 115200};
            bool ok = false;
            o.baud = value.toInt(&ok);
            if (!ok || !speeds.contains(o.baud))
                return QStringLiteral("--baud \"%1\" is not 9600, 19200, 38400, 57600 or 115200.")
                    .arg(value);
        } else if (name == u"--format") {
            if (value == u"csv")
                o.format = StreamFormat::Csv;
            else if (value == u"jsonl")
                o.format = StreamFormat::Jsonl;
            else if (value == u"influx")
                o.format = StreamFormat::Influx;
            else
                return QStringLiteral("--format \"%1\" is not csv, jsonl or influx.").arg(value);
        } else if (name == u"--tag") {
            const QString error = AddTag(value, o.tags);
            if (!error.isEmpty()) return error;
        } else if (name == u"--limit") {
            if (!measure::SetLimitKey(value, o.limit))
                return QStringLiteral("--limit \"%1\" is not one of: %2.")
                    .arg(value, measure::LimitKeys().join(QStringLiteral(", ")));
            o.limitOn = true;
        } else if (name == u"--frequency") {
            const std::optional<double> mhz = measure::ParseFrequency(value);
            if (!mhz)
                return QStringLiteral("--frequency \"%1\" is not a frequency such as 900MHz, "
                                      "2.45GHz or 150kHz.")
                    .arg(value);
            o.limit.frequencyMHz = *mhz;
            o.limit.mostRestrictive = false;
            if (limitPart.isEmpty()) limitPart = name;
        } else if (name == u"--warn" || name == u"--alarm") {
            if (!PercentIn(value, name == u"--warn" ? &o.warnPercent : &o.alarmPercent))
                return QStringLiteral("%1 \"%2\" is not a share of the limit above 0 and up to "
                                      "10000 (%).")
                    .arg(name, value);
            if (limitPart.isEmpty()) limitPart = name;
        } else {
            return QStringLiteral("Unknown option %1.").arg(name);
        }
    }
    if (o.port.isEmpty() == o.simulate.isEmpty())
        return QStringLiteral("Give either --port NAME or --simulate MODEL.");
    if (o.out.isEmpty()) return QStringLiteral("Give the file to log to with --out FILE.csv.");
    if (!o.limitOn && !limitPart.isEmpty())
        return QStringLiteral("%1 needs --limit KEY.").arg(limitPart);
    if (o.limitOn && !o.limit.mostRestrictive &&
        !measure::LevelsAt(o.limit.standard, o.limit.population, o.limit.frequencyMHz))
        return QStringLiteral("--limit %1 has no level at %2.")
            .arg(measure::LimitKey(o.limit.standard, o.limit.population),
                 measure::FrequencyText(o.limit.frequencyMHz));
    if (o.warnPercent > o.alarmPercent)
        return QStringLiteral("The warning level (%1 %) is above the alarm level (%2 %).")
            .arg(o.warnPercent)
            .arg(o.alarmPercent);
    return {};
}

QString CheckLoggerFiles(const LoggerOptions& o) {
    const QFileInfo out(o.out);
    const QDir folder = out.absoluteDir();
    if (out.fileName().isEmpty() || out.isDir())
        return QStringLiteral("--out \"%1\" is a folder, not a file.").arg(o.out);
    if (!folder.exists())
        return QStringLiteral("The folder \"%1\" does not exist.")
            .arg(QDir::toNativeSeparators(folder.path()));
    QTemporaryFile probe(folder.filePath(QStringLiteral(".varnex-logger-XXXXXX")));
    if (!probe.open())
        return QStringLiteral("The folder \"%1\" cannot be written: %2")
            .arg(QDir::toNativeSeparators(folder.path()), probe.errorString());
    if (!o.overwrite) {
        for (int page = 1; page <= 2; ++page) {
            const QString name = files::PageFileName(out.absoluteFilePath(), page);
            if (QFileInfo::exists(name))
                return QStringLiteral("\"%1\" is there already; give --overwrite to replace it.")
                    .arg(QDir::toNativeSeparators(name));
        }
    }
    if (!o.notesFile.isEmpty()) {
        QFile notes(o.notesFile);
        if (!notes.open(QIODevice::ReadOnly))
            return QStringLiteral("The notes file \"%1\" cannot be read: %2")
                .arg(o.notesFile, notes.errorString());
    }
    return {};
}

} // namespace logger
