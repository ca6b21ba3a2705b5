#include "report/SurveyLog.h"

#include "files/LogFile.h"
#include "measure/ExposureLevels.h"

#include <algorithm>
#include <cmath>

namespace report {

namespace {

// The header lines the program writes itself: everything else is a test condition.
bool WrittenByProgram(const QString& label) {
    static const char* const Labels[] = {"File",   "Date",       "Time",       "Samples", "Columns",
                                         "Page",   "GraphScale", "Field Peak", "X Peak",  "Y Peak",
                                         "Z Peak", "Probe Type", "Units"};
    for (const char* known : Labels)
        if (label == QLatin1String(known)) return true;
    return false;
}

bool IsSerialLabel(const QString& label) {
    return label.trimmed().startsWith(QLatin1String("serial"), Qt::CaseInsensitive);
}

bool IsCalibrationLabel(const QString& label) {
    const QString l = label.trimmed();
    return l.startsWith(QLatin1String("calibration"), Qt::CaseInsensitive) ||
           l.startsWith(QLatin1String("cal date"), Qt::CaseInsensitive) ||
           l.startsWith(QLatin1String("cal. date"), Qt::CaseInsensitive);
}

} // namespace

QStringList SurveyLog::ColumnNames() const {
    if (valueColumns >= 4)
        return {QStringLiteral("Total"), QStringLiteral("X"), QStringLiteral("Y"),
                QStringLiteral("Z")};
    if (valueColumns == 2) return {QStringLiteral("Total"), QStringLiteral("Moving average")};
    return {QStringLiteral("Total")};
}

std::vector<double> SurveyLog::ElapsedSeconds() const {
    std::vector<double> elapsed;
    elapsed.reserve(rows.size());
    double day = 0.0;
    double previous = 0.0;
    double first = 0.0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        double t = std::nearbyint(double(rows[i][0]) * 86400.0 * 1000.0) / 1000.0 + day;
        if (i == 0) {
            first = t;
        } else if (t < previous - 43200.0) {
            // Half a day back: the log ran past midnight.
            day += 86400.0;
            t += 86400.0;
        }
        t = std::max(t, previous); // a clock set back a little does not run the time back
        previous = t;
        elapsed.push_back(t - first);
    }
    return elapsed;
}

SurveyLog FromHeader(const QList<QPair<QString, QString>>& fields, std::vector<Row> rows,
                     int valueColumns, const QString& sourceFile) {
    SurveyLog log;
    log.sourceFile = sourceFile;
    // As the log table lays the columns out: three values are read as the total and two axes.
    log.valueColumns = valueColumns >= 3 ? 4 : std::max(valueColumns, 1);
    log.rows = std::move(rows);
    for (const auto& [label, value] : fields) {
        if (label == QLatin1String("Probe Type"))
            log.model = value.trimmed();
        else if (label == QLatin1String("Date"))
            log.date = value.trimmed();
        else if (label == QLatin1String("Units"))
            log.units = value.trimmed();
        else if (label == QLatin1String("GraphScale"))
            log.graphScale = value.trimmed();
        else if (IsSerialLabel(label))
            log.serialNo = value.trimmed();
        else if (IsCalibrationLabel(label))
            log.calibrationDate = value.trimmed();
        else if (!WrittenByProgram(label))
            log.notes.append({label, value});
    }
    return log;
}

SurveyLog FromPages(const std::vector<files::LoadedLog>& pages, const QString& sourceFile) {
    if (pages.empty()) return FromHeader({}, {}, 1, sourceFile);
    std::size_t count = 0;
    for (const files::LoadedLog& page : pages)
        count += page.rows.size();
    std::vector<Row> rows;
    rows.reserve(count);
    for (const files::LoadedLog& page : pages)
        rows.insert(rows.end(), page.rows.begin(), page.rows.end());
    const files::LoadedLog& first = pages.front();
    SurveyLog log = FromHeader(first.fields, std::move(rows), first.valueColumns, sourceFile);
    if (first.hasUnits) log.units = first.units;
    return log;
}

SurveyLog FromTable(const measure::RecordTable& table, const QList<QPair<QString, QString>>& fields,
                    const QString& sourceFile) {
    std::vector<Row> rows(std::size_t(table.RecordCount()));
    for (int r = 1; r <= table.RecordCount(); ++r)
        for (int c = 0; c < measure::RecordTable::Columns; ++c)
            rows[std::size_t(r - 1)][std::size_t(c)] = table.At(r, c);
    const int columns = files::LogValueCount(table.RecordColumns());
    SurveyLog log = FromHeader(fields, std::move(rows), columns, sourceFile);
    if (log.model.isEmpty()) log.model = table.ProbeType();
    if (log.units.isEmpty()) log.units = table.RecordUnits();
    return log;
}

std::vector<ColumnStats> Statistics(const SurveyLog& log) {
    std::vector<ColumnStats> all;
    const QStringList names = log.ColumnNames();
    for (int c = 1; c <= int(names.size()); ++c) {
        ColumnStats s;
        s.name = names[c - 1];
        double sum = 0.0;
        double squares = 0.0;
        for (const Row& row : log.rows) {
            const float v = row[std::size_t(c)];
            if (!std::isfinite(v)) continue;
            if (s.count == 0 || v < s.minimum) s.minimum = v;
            if (s.count == 0 || v > s.maximum) {
                s.maximum = v;
                s.maximumTime = row[0];
            }
            sum += v;
            squares += double(v) * v;
            ++s.count;
        }
        if (s.count > 0) {
            s.mean = sum / s.count;
            s.rms = std::sqrt(squares / s.count);
        }
        all.push_back(s);
    }
    return all;
}

LimitFigures AgainstLimit(const SurveyLog& log, const measure::LimitChoice& choice) {
    LimitFigures f;
    f.name = measure::LimitName(choice);
    f.averagingSeconds = measure::AveragingSeconds(choice);
    const std::optional<measure::LimitShare> unit = measure::ShareOfLimit(1.0, log.units, choice);
    if (!unit) return f;
    f.applies = true;
    f.limit = unit->limit;

    measure::ExposureAverage average;
    average.Start(f.averagingSeconds);
    const std::vector<double> elapsed = log.ElapsedSeconds();
    // Each second of the rows' times closes when a row of a later second comes, as the window's
    // one-second tick closes it. The highest average is that of a full window, taken at its
    // last row; a log shorter than the window has the average of all of it.
    const auto close = [&](float time) {
        average.Tick();
        const std::optional<double> percent = average.Percent();
        if (!percent || average.SecondsCovered() < f.averagingSeconds) return;
        if (!f.highestAveraged || *percent > *f.highestAveraged) {
            f.highestAveraged = percent;
            f.highestAveragedTime = time;
            f.secondsCovered = average.SecondsCovered();
        }
    };
    bool any = false;
    for (std::size_t i = 0; i < log.rows.size(); ++i) {
        const Row& row = log.rows[i];
        if (i > 0 && std::floor(elapsed[i]) != std::floor(elapsed[i - 1]))
            close(log.rows[i - 1][0]);
        const std::optional<measure::LimitShare> share =
            measure::ShareOfLimit(row[1], log.units, choice);
        if (!share) continue;
        average.Add(share->percent);
        if (!any || share->percent > f.highestPercent) {
            f.highestPercent = share->percent;
            f.highestTime = row[0];
            f.highestValue = row[1];
            any = true;
        }
    }
    if (log.rows.empty()) return f;
    close(log.rows.back()[0]);
    if (!f.highestAveraged && average.Percent()) {
        f.highestAveraged = average.Percent();
        f.highestAveragedTime = log.rows.back()[0];
        f.secondsCovered = average.SecondsCovered();
    }
    return f;
}

QString ValueText(double value) {
    if (!std::isfinite(value)) return QStringLiteral("-");
    if (std::fabs(value) < 5.0e-7) return QStringLiteral("0");
    // Four significant digits as fixed decimals: 0.001234, 12.35, 1235, 123457.
    const int exponent = int(std::floor(std::log10(std::fabs(value))));
    const int decimals = std::clamp(3 - exponent, 0, 6);
    return QString::number(value, 'f', decimals);
}

} // namespace report
