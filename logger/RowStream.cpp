#include "logger/RowStream.h"

#include "app/LogFile.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <charconv>

namespace logger {

namespace {

QByteArray Number(float value) {
    char text[32];
    const auto end =
        std::to_chars(text, text + sizeof text, double(value), std::chars_format::general, 7).ptr;
    return QByteArray(text, end - text);
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
        QByteArray line = row.time.toString(Qt::ISODateWithMs).toLatin1() + ',' + Number(row.total);
        for (const auto& v : {row.x, row.y, row.z, row.average})
            if (v) line += ',' + Number(*v);
        return line + '\n';
    }
    case StreamFormat::Jsonl: {
        QJsonObject o{{QStringLiteral("time"), row.time.toUTC().toString(Qt::ISODateWithMs)},
                      {QStringLiteral("model"), row.model},
                      {QStringLiteral("serial"), row.serialNo},
                      {QStringLiteral("units"), row.units},
                      {QStringLiteral("total"), double(row.total)}};
        if (row.x) o.insert(QStringLiteral("x"), double(*row.x));
        if (row.y) o.insert(QStringLiteral("y"), double(*row.y));
        if (row.z) o.insert(QStringLiteral("z"), double(*row.z));
        if (row.average) o.insert(QStringLiteral("average"), double(*row.average));
        return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
    }
    case StreamFormat::Influx: {
        QByteArray line = "varnex,model=" + InfluxTag(row.model);
        if (!row.serialNo.isEmpty()) line += ",serial=" + InfluxTag(row.serialNo);
        line += " total=" + Number(row.total);
        if (row.x) line += ",x=" + Number(*row.x);
        if (row.y) line += ",y=" + Number(*row.y);
        if (row.z) line += ",z=" + Number(*row.z);
        if (row.average) line += ",average=" + Number(*row.average);
        return line + ' ' + QByteArray::number(row.time.toMSecsSinceEpoch() * 1000000) + '\n';
    }
    case StreamFormat::None: break;
    }
    return {};
}

} // namespace logger
