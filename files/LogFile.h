#pragma once
// The log file: the text of one page of the log table (header, heading line, one line a row),
// the time stamps as hh:mm:ss and back, and the names of the page files. Pages are single-byte
// Latin-1 text with CR LF line ends; numbers are written the same whatever the locale.
#include "measure/RecordTable.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>

namespace files {

using LogColumns = measure::RecordTable::Layout;

struct LogHeader {
    QString dateText; // the date and time of the save, in the system's formats
    QString timeText;
    int samples = 0; // rows of the whole log
    LogColumns columns = LogColumns::Total;
    QString graphScale;
    measure::AxisValues peaks{}; // total, X, Y, Z
    QString probeType;
    QList<QPair<QString, QString>> notes; // label and value; notes without a value are left out
    QString units;
};

// The date and time of a save as every page header holds them, whichever program writes it:
// the system's short date and the time as hh:mm:ss.
void StampHeader(LogHeader& header, const QDateTime& now);

// hh:mm:ss of a time of day given as a fraction of a day, rounded to the second (halves to
// the even second); a row stamped 23:59:59.6 reads 24:00:00.
QString FormatTimeStr(float dayFraction);
// The fraction of a day of hh:mm:ss.
float UnFormatTime(const QString& text);
// A value or peak as the file holds it: up to 7 significant digits, "." as the decimal point.
QString LogValueText(float value);

// The pages a log of so many rows is written in (at least one).
int PageCount(int records);
// The file of a page: page 1 is the file chosen, page p from 2 on puts "_p" before the file
// name's suffix ("run.csv", "run_2.csv").
QString PageFileName(const QString& chosen, int page);
// The name proposed by the next save: the file chosen without its suffix.
QString SaveFileNameOf(const QString& chosen);

// The header of a page and its heading line.
QByteArray LogHeaderText(const LogHeader& header, int page, int pages, const QString& fileName);
// How many values a row of the layout holds after its time: 1, 4 (total, X, Y, Z) or 2.
int LogValueCount(LogColumns columns);
// One data line: the time and `count` values, CR LF at its end.
void AppendLogRow(QByteArray& out, float dayFraction, const float* values, int count);
// The text of page `page` of `pages` of the log, named fileName (without its folder).
QByteArray LogPageText(const LogHeader& header, const measure::RecordTable& table, int page,
                       int pages, const QString& fileName);

} // namespace files
