#pragma once
// The command line of varnex-logger, read and checked before anything is opened: every bad
// argument is refused with a message that says what is wrong.
#include "measure/ExposureLimits.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

namespace logger {

enum class StreamFormat { None, Csv, Jsonl, Influx };

// "key=value" pairs that name the logger in the stream (a site, a mast), in the order given.
using StreamTags = QList<QPair<QString, QString>>;

struct LoggerOptions {
    QString port;               // a serial port, or
    QString simulate;           // the model of a virtual probe
    QStringList probeArguments; // more for the virtual probe (faults, speed-up)
    QString out;                // page 1; the next pages are named after it
    qint64 durationMs = 0;      // 0: until interrupted
    bool maxRate = false;       // every reply answered at once
    int rate = 0;               // samples a second asked of the probe; 0: the probe's own
    int units = 0;              // 1..3 sent after identification; 0: as the probe is
    int range = -1;             // 1..5, 0 for automatic ranging; -1: as the probe is
    QString average;            // moving-average period ("6 Minute"); empty: none
    QString notesFile;          // "label,value" lines for the header
    int baud = 0;               // link speed; 0: 9600
    StreamFormat format = StreamFormat::None;
    bool overwrite = false;
    qint64 findTimeoutMs = 30000;
    // The exposure limit watched (--limit); without --frequency, the most restrictive level.
    bool limitOn = false;
    measure::LimitChoice limit{measure::LimitStandard::Icnirp2020, measure::Population::General,
                               900.0, true};
    double warnPercent = 50.0;
    double alarmPercent = 100.0;
    StreamTags tags;
};

// Exit codes. NoProbe: no probe was found within the find timeout (the message tells whether
// anything answered at all). ShortLog: a probe was found, but the run logged less than half
// the rows its pace allows.
enum Exit : int {
    Done = 0,
    Failed = 1,
    BadCommandLine = 2,
    PortNotOpened = 3,
    NoProbe = 4,
    ShortLog = 5,
};

// "90s", "45m", "8h", "3d" in milliseconds; -1 when the text is none of these.
qint64 ParseDuration(const QString& text);

// Reads the arguments (without the program's name). `models` are the virtual probe's models,
// `periods` the moving-average periods. Returns the error, or an empty text when all is well.
QString ParseLoggerArguments(const QStringList& arguments, const QStringList& models,
                             const QStringList& periods, LoggerOptions& options);
// What must hold of the files before the port is opened: the folder of the pages exists and
// takes a file, no page is there yet (unless overwriting), the notes file can be read.
QString CheckLoggerFiles(const LoggerOptions& options);

QString LoggerUsage();

} // namespace logger
