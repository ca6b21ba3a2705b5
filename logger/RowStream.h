#pragma once
// The second stream of rows, on standard output, for a collector to take up: one line a row as
// CSV, as JSON, or in InfluxDB's line protocol (measurement "varnex", tags model, serial number,
// units and the user's tags, fields total, x, y, z, average, limit_pct and limit_pct_avg, the
// time in nanoseconds since 1970). With a limit watched, each warning or alarm that begins or
// ends is a line of its own (measurement "varnex_alarm"; in JSON the key "event"); CSV has rows
// only.
#include "logger/LoggerOptions.h"
#include "measure/ExposureLevels.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <optional>

namespace logger {

struct StreamRow {
    qint64 epochMs = 0; // when it was taken
    QString model, serialNo, units;
    float total = 0;
    std::optional<float> x, y, z, average;
    // The total's share of the limit and its average over the standard's time, in %: none
    // without a limit, or for units no limit applies to.
    std::optional<double> limitPercent, limitPercentAvg;
    StreamTags tags;
};

// The line of a row with its line end; the CSV stream begins with HeadingLine.
QByteArray RowLine(StreamFormat format, const StreamRow& row);
QByteArray HeadingLine(StreamFormat format, const StreamRow& first);
// The line of a level reached (ended false: at its start) or cleared (at its end), with the
// model, serial number and tags of `source`; nothing in CSV.
QByteArray EventLine(StreamFormat format, const measure::ExposureEvent& event, bool ended,
                     const StreamRow& source);
// The keys and names the lines use themselves, in any format: a tag may take none of them.
QStringList StreamKeys();

} // namespace logger
