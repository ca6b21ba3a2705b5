#pragma once
// The second stream of rows, on standard output, for a collector to take up: one line a row as
// CSV, as JSON, or in InfluxDB's line protocol (measurement "varnex", tags model and serial
// number, fields total, x, y, z and average, the time in nanoseconds since 1970).
#include "logger/LoggerOptions.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>
#include <optional>

namespace logger {

struct StreamRow {
    qint64 epochMs = 0; // when it was taken
    QString model, serialNo, units;
    float total = 0;
    std::optional<float> x, y, z, average;
};

// The line of a row with its line end; the CSV stream begins with HeadingLine.
QByteArray RowLine(StreamFormat format, const StreamRow& row);
QByteArray HeadingLine(StreamFormat format, const StreamRow& first);
// A tag key or value of the line protocol: commas, equals signs and blanks escaped.
QByteArray InfluxTag(const QString& text);

} // namespace logger
