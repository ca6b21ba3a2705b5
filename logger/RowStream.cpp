#include "logger/RowStream.h"

#include "files/LogFile.h"

#include <QDateTime>
#include <algorithm>
#include <charconv>
#include <utility>
#include <vector>

namespace logger {

namespace {

// A value with the seven digits the pages hold, not the float's binary tail; a share of the
// limit with four, as the window shows it at most.
QByteArray Number(double value, int digits = 7) {
    char text[32];
    const auto end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits).ptr;
    return QByteArray(text, end - text);
}
QByteArray Percent(double value) {
    return Number(value, 4);
}

// A JSON string: quotes, backslashes and control characters escaped, the rest as UTF-8.
QByteArray JsonText(const QString& text) {
    QByteArray out = "\"";
    for (const char c : text.toUtf8()) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (uchar(c) < 0x20) {
            out += "\\u00";
            out += "0123456789abcdef"[uchar(c) >> 4];
            out += "0123456789abcdef"[uchar(c) & 15];
        } else {
            out += c;
        }
    }
    return out + '"';
}

// The time in UTC, to the millisecond ("2024-12-06T12:00:00.123Z").
QByteArray Iso(qint64 epochMs) {
    return QDateTime::fromMSecsSinceEpoch(epochMs, Qt::UTC).toString(Qt::ISODateWithMs).toLatin1();
}

// The user's tags as JSON keys after the line's own.
void AddJsonTags(QByteArray& line, const StreamTags& tags) {
    for (const auto& [key, value] : tags)
        line += ',' + JsonText(key) + ':' + JsonText(value);
}

// A tag key or value in UTF-8, its commas, equals signs, blanks and backslashes escaped as
// the line protocol has it.
QByteArray InfluxEscaped(const QByteArray& text) {
    QByteArray out;
    for (const char c : text) {
        if (c == ',' || c == '=' || c == ' ' || c == '\\') out += '\\';
        out += c;
    }
    return out;
}

// The tags of a line protocol line, the line's own and the user's, sorted by key (their
// UTF-8 bytes), the order InfluxDB takes fastest. A tag without a value is left out: the
// protocol has no empty tag values.
QByteArray InfluxTags(std::vector<std::pair<QByteArray, QString>> tags, const StreamTags& more) {
    for (const auto& [key, value] : more)
        tags.emplace_back(key.toUtf8(), value);
    std::sort(tags.begin(), tags.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    QByteArray out;
    for (const auto& [key, value] : tags)
        if (!value.isEmpty()) out += ',' + InfluxEscaped(key) + '=' + InfluxEscaped(value.toUtf8());
    return out;
}

QByteArray Nanoseconds(qint64 epochMs) {
    return QByteArray::number(epochMs * 1000000);
}

} // namespace

QStringList StreamKeys() {
    return QStringLiteral("time model serial units total x y z average limit_percent "
                          "limit_percent_avg limit_pct limit_pct_avg event level state "
                          "peak_percent peak_pct peak_value")
        .split(u' ');
}

QByteArray HeadingLine(StreamFormat format, const StreamRow& first) {
    if (format != StreamFormat::Csv) return {};
    QByteArray line = "Time,Field " + first.units.toUtf8();
    if (first.x)
        line += ",X " + first.units.toUtf8() + ",Y " + first.units.toUtf8() + ",Z " +
                first.units.toUtf8();
    if (first.average) line += ",Moving Ave" + first.units.toUtf8();
    return line + '\n';
}

QByteArray RowLine(StreamFormat format, const StreamRow& row) {
    switch (format) {
    case StreamFormat::Csv: {
        QByteArray line = Iso(row.epochMs) + ',' + Number(row.total);
        for (const auto& v : {row.x, row.y, row.z, row.average})
            if (v) line += ',' + Number(*v);
        return line + '\n';
    }
    case StreamFormat::Jsonl: {
        QByteArray line = "{\"time\":\"" + Iso(row.epochMs) + '"' +
                          ",\"model\":" + JsonText(row.model) +
                          ",\"serial\":" + JsonText(row.serialNo) +
                          ",\"units\":" + JsonText(row.units) + ",\"total\":" + Number(row.total);
        const std::pair<const char*, std::optional<float>> more[] = {
            {"x", row.x}, {"y", row.y}, {"z", row.z}, {"average", row.average}};
        for (const auto& [name, v] : more)
            if (v) line += ",\"" + QByteArray(name) + "\":" + Number(*v);
        if (row.limitPercent) line += ",\"limit_percent\":" + Percent(*row.limitPercent);
        if (row.limitPercentAvg) line += ",\"limit_percent_avg\":" + Percent(*row.limitPercentAvg);
        AddJsonTags(line, row.tags);
        return line + "}\n";
    }
    case StreamFormat::Influx: {
        QByteArray line =
            "varnex" +
            InfluxTags({{"model", row.model}, {"serial", row.serialNo}, {"units", row.units}},
                       row.tags) +
            " total=" + Number(row.total);
        if (row.x) line += ",x=" + Number(*row.x);
        if (row.y) line += ",y=" + Number(*row.y);
        if (row.z) line += ",z=" + Number(*row.z);
        if (row.average) line += ",average=" + Number(*row.average);
        if (row.limitPercent) line += ",limit_pct=" + Percent(*row.limitPercent);
        if (row.limitPercentAvg) line += ",limit_pct_avg=" + Percent(*row.limitPercentAvg);
        return line + ' ' + Nanoseconds(row.epochMs) + '\n';
    }
    case StreamFormat::None: break;
    }
    return {};
}

QByteArray EventLine(StreamFormat format, const measure::ExposureEvent& event, bool ended,
                     const StreamRow& source) {
    const QByteArray level = event.level == measure::ExposureLevel::Alarm ? "alarm" : "warning";
    const QByteArray state = ended ? "end" : "begin";
    const qint64 at = ended ? event.endMs : event.startMs;
    switch (format) {
    case StreamFormat::Jsonl: {
        QByteArray line =
            "{\"time\":\"" + Iso(at) + "\",\"model\":" + JsonText(source.model) +
            ",\"serial\":" + JsonText(source.serialNo) + ",\"event\":\"" + level +
            "\",\"state\":\"" + state + "\",\"peak_percent\":" + Percent(event.peakPercent) +
            ",\"peak_value\":" + Number(event.peakValue) + ",\"units\":" + JsonText(event.units);
        AddJsonTags(line, source.tags);
        return line + "}\n";
    }
    case StreamFormat::Influx:
        return "varnex_alarm" +
               InfluxTags({{"level", QString::fromLatin1(level)},
                           {"model", source.model},
                           {"serial", source.serialNo},
                           {"units", event.units}},
                          source.tags) +
               " state=\"" + state + "\",peak_pct=" + Percent(event.peakPercent) +
               ",peak_value=" + Number(event.peakValue) + ' ' + Nanoseconds(at) + '\n';
    case StreamFormat::Csv:
    case StreamFormat::None: break;
    }
    return {};
}

} // namespace logger
