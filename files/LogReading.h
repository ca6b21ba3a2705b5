#pragma once
// Reading a log file back: the header, the heading line that decides the value columns, and
// the data rows, all checked before anything of the window changes. Reads the program's own
// pages (Latin-1, CR LF) as well as LF line ends, a UTF-8 byte order mark and headerless files
// (first line skipped, four value columns).
#include "measure/RecordTable.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace files {

struct LoadedLog {
    static constexpr int MaxValueColumns = 4;
    static constexpr int MaxHeaderLines = 200;

    bool hasHeader = false;
    QStringList headerLines; // "Header" to "EndHeader", as the file has them
    QString graphScale;      // empty when the header names none
    QString units;
    bool hasUnits = false;
    QString probeType;
    QList<QPair<QString, QString>> fields; // every "label,value" line of the header
    measure::AxisValues peaks{};           // "Field Peak", "X Peak", ...
    bool hasPeaks = false;
    int valueColumns = 0;                   // as kept: at most MaxValueColumns
    std::vector<std::array<float, 5>> rows; // time of day as a day fraction, values
    QStringList warnings; // what was left out (rows past the table, columns past the fourth)

    measure::RecordTable::Layout Layout() const;
};

struct LogReadResult {
    bool ok = false;
    LoadedLog log;
    int line = 0;  // where a file that cannot be read went wrong (1-based; 0: the file as such)
    QString error; // what is wrong there
};

LogReadResult ReadLog(const QByteArray& bytes);

// "h:m:s" (hours, minutes and whole or decimal seconds, split at the colons) as a fraction of
// a day; false when the text is no time of day.
bool ParseLogTime(QStringView text, float* dayFraction);

} // namespace files
