#include "logger/RowStream.h"

#include "files/LogFile.h"

#include <QDateTime>
#include <charconv>
#include <utility>

namespace logger {

namespace {

QByteArray Number(float value) {
    char text[32];
    const auto end =
        std::to_chars(text, text + sizeof text, double(value), std::chars_format::general, 7).ptr;
    return QByteArray(text, end - text);
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

} // namespace

QByteArray InfluxTag(const QString& text) {
    QByteArray out;
    for (const char c : text.toUtf8()) {
        if (c == ',' || c == '=' || c == ' ' || c == '\\') out += '\\';
        out += c;
    }
    return out;
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
        // The values with the seven digits the pages hold, not the float's binary tail.
        QByteArray line = "{\"time\":\"" + Iso(row.epochMs) + '"' +
                          ",\"model\":" + JsonText(row.model) +
                          ",\"serial\":" + JsonText(row.serialNo) +
                          ",\"units\":" + JsonText(row.units) + ",\"total\":" + Number(row.total);
        const std::pair<const char*, std::optional<float>> more[] = {
            {"x", row.x}, {"y", row.y}, {"z", row.z}, {"average", row.average}};
        for (const auto& [name, v] : more)
            if (v) line += ",\"" + QByteArray(name) + "\":" + Number(*v);
        return line + "}\n";
    }
    case StreamFormat::Influx: {
        QByteArray line = "varnex,model=" + InfluxTag(row.model);
        if (!row.serialNo.isEmpty()) line += ",serial=" + InfluxTag(row.serialNo);
        line += " total=" + Number(row.total);
        if (row.x) line += ",x=" + Number(*row.x);
        if (row.y) line += ",y=" + Number(*row.y);
        if (row.z) line += ",z=" + Number(*row.z);
        if (row.average) line += ",average=" + Number(*row.average);
        return line + ' ' + QByteArray::number(row.epochMs * 1000000) + '\n';
    }
    case StreamFormat::None: break;
    }
    return {};
}

} // namespace logger
