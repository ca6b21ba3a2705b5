#pragma once
// A log as a survey report sees it, whichever front end holds it: the header's fields and
// notes, the probe, the rows with their times and units; and the figures the report gives of
// it (each column's statistics, the share of an exposure limit over time).
#include "files/ExposureEvents.h"
#include "files/LogReading.h"
#include "measure/ExposureLimits.h"
#include "measure/RecordTable.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace report {

using Row = std::array<float, 5>; // time of day as a fraction of a day, then the values

struct SurveyLog {
    QString sourceFile; // what the report names as its source (page 1's file name)
    QString model;      // "PX-5100", "PX-9100", ...
    QString serialNo;   // a Zeta probe's, when the header has it
    QString calibrationDate;
    QString date; // the date of the save, as the header has it
    QString units;
    QString graphScale; // the header's vertical scale; empty or "Auto" for none of its own
    QList<QPair<QString, QString>> notes; // the test conditions
    // 1 (the total), 2 (the total and its moving average) or 4 (the total, X, Y, Z).
    int valueColumns = 1;
    std::vector<Row> rows;

    bool IsZeta() const { return model.startsWith(QLatin1String("PX-9")); }
    QStringList ColumnNames() const;
    // Seconds from the first row to row i; the time of day runs on past midnight.
    std::vector<double> ElapsedSeconds() const;
};

// The log of its pages, page 1 first: the header of page 1 and the rows of all of them.
SurveyLog FromPages(const std::vector<files::LoadedLog>& pages, const QString& sourceFile);
// The log of a header's "label,value" lines (as a loaded file has them; the notes are those
// not written by the program itself) and the rows taken.
SurveyLog FromHeader(const QList<QPair<QString, QString>>& fields, std::vector<Row> rows,
                     int valueColumns, const QString& sourceFile);
// The log in a log table, with the header's fields; the table's probe and units stand in for
// those the fields do not name.
SurveyLog FromTable(const measure::RecordTable& table, const QList<QPair<QString, QString>>& fields,
                    const QString& sourceFile);

struct ColumnStats {
    QString name;
    int count = 0; // rows with a value; none: no figures
    float minimum = 0.0f;
    float maximum = 0.0f;
    float maximumTime = 0.0f; // time of day of the first row at the maximum
    double mean = 0.0;
    double rms = 0.0;
};

// One entry a value column of the log, in its order.
std::vector<ColumnStats> Statistics(const SurveyLog& log);

// The total field against a limit.
struct LimitFigures {
    QString name; // standard, population and frequency
    // Units the limit does not apply to (a current, units not known): nothing else is given.
    bool applies = false;
    double limit = 0.0; // in the log's units
    double highestPercent = 0.0;
    float highestTime = 0.0f;
    double highestValue = 0.0;
    int averagingSeconds = 0;
    // The highest average over a full averaging time, or over the whole log when it is
    // shorter (secondsCovered tells); none without a row.
    std::optional<double> highestAveraged;
    float highestAveragedTime = 0.0f;
    int secondsCovered = 0;
};

// The share of the limit, row by row and averaged over the standard's averaging time, fed
// second by second as the rows' times pass.
LimitFigures AgainstLimit(const SurveyLog& log, const measure::LimitChoice& choice);

// A value as the report shows it: four significant digits, "." as the decimal point.
QString ValueText(double value);

} // namespace report
