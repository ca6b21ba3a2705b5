#include "files/LogFile.h"

#include "probe/Readings.h"

#include <QFileInfo>
#include <QLocale>
#include <charconv>
#include <cmath>

namespace files {

namespace {

constexpr int RowsPerPage = measure::RecordTable::MaxRecords;

QString TwoDigits(qint64 n) {
    return QString::number(n).rightJustified(2, QLatin1Char('0'));
}

// One line of the header or a data line: line breaks inside a value become blanks, so that
// nothing the user typed can end the line early.
void AddLine(QString& text, QString line) {
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    text += line + QLatin1String("\r\n");
}

} // namespace

void StampHeader(LogHeader& header, const QDateTime& now) {
    header.dateText = QLocale::system().toString(now.date(), QLocale::ShortFormat);
    header.timeText = now.time().toString(QStringLiteral("HH:mm:ss"));
}

QString FormatTimeStr(float dayFraction) {
    const qint64 s = qint64(std::nearbyint(double(dayFraction) * 86400.0));
    return TwoDigits(s / 3600) + QLatin1Char(':') + TwoDigits(s % 3600 / 60) + QLatin1Char(':') +
           TwoDigits(s % 60);
}

float UnFormatTime(const QString& text) {
    const double hours = probe::Val(text.mid(0, 2));
    const double minutes = probe::Val(text.mid(3, 2));
    const double seconds = probe::Val(text.mid(6, 2));
    return float((hours * 3600.0 + minutes * 60.0 + seconds) / 86400.0);
}

QString LogValueText(float value) {
    return QString::number(double(value), 'g', 7);
}

int PageCount(int records) {
    return records <= RowsPerPage ? 1 : (records + RowsPerPage - 1) / RowsPerPage;
}

QString PageFileName(const QString& chosen, int page) {
    if (page <= 1) return chosen;
    const QFileInfo file(chosen);
    const QString suffix = file.suffix();
    const QString stem = suffix.isEmpty() ? chosen : chosen.chopped(suffix.size() + 1);
    return stem + QLatin1Char('_') + QString::number(page) +
           (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
}

QString SaveFileNameOf(const QString& chosen) {
    const QString suffix = QFileInfo(chosen).suffix();
    return suffix.isEmpty() ? chosen : chosen.chopped(suffix.size() + 1);
}

QByteArray LogHeaderText(const LogHeader& h, int page, int pages, const QString& fileName) {
    static const char* const ColumnCounts[] = {"2", "5", "3"};
    const int kind = int(h.columns);
    QString text;
    AddLine(text, QStringLiteral("Header"));
    AddLine(text, QStringLiteral("File,") + fileName);
    AddLine(text, QStringLiteral("Date,") + h.dateText);
    AddLine(text, QStringLiteral("Time,") + h.timeText);
    AddLine(text, QStringLiteral("Samples,") + QString::number(h.samples));
    AddLine(text, QStringLiteral("Columns,") + QLatin1String(ColumnCounts[kind]));
    AddLine(text, QStringLiteral("Page,%1 of %2").arg(page).arg(pages));
    AddLine(text, QStringLiteral("GraphScale,") + h.graphScale);
    AddLine(text, QStringLiteral("Field Peak,") + LogValueText(h.peaks[0]));
    if (h.columns == LogColumns::Axes) {
        AddLine(text, QStringLiteral("X Peak,") + LogValueText(h.peaks[1]));
        AddLine(text, QStringLiteral("Y Peak,") + LogValueText(h.peaks[2]));
        AddLine(text, QStringLiteral("Z Peak,") + LogValueText(h.peaks[3]));
    }
    AddLine(text, QStringLiteral("Probe Type,") + h.probeType);
    for (const auto& [label, value] : h.notes)
        if (!value.isEmpty()) AddLine(text, label + QLatin1Char(',') + value);
    AddLine(text, QStringLiteral("Units,") + h.units);
    AddLine(text, QStringLiteral("EndHeader"));

    QString heading = QStringLiteral("Time ,Field ") + h.units;
    if (h.columns == LogColumns::Axes) {
        for (const char* axis : {",X ", ",Y ", ",Z "})
            heading += QLatin1String(axis) + h.units;
    } else if (h.columns == LogColumns::MovingAverage) {
        heading += QStringLiteral(",Moving Ave") + h.units;
    }
    AddLine(text, heading);
    return text.toLatin1();
}

int LogValueCount(LogColumns columns) {
    return columns == LogColumns::Axes ? 4 : columns == LogColumns::MovingAverage ? 2 : 1;
}

void AppendLogRow(QByteArray& out, float dayFraction, const float* values, int count) {
    out += FormatTimeStr(dayFraction).toLatin1();
    char number[32];
    for (int c = 0; c < count; ++c) {
        out += ',';
        const auto end = std::to_chars(number, number + sizeof number, double(values[c]),
                                       std::chars_format::general, 7)
                             .ptr;
        out.append(number, end - number);
    }
    out += "\r\n";
}

QByteArray LogPageText(const LogHeader& h, const measure::RecordTable& table, int page, int pages,
                       const QString& fileName) {
    QByteArray out = LogHeaderText(h, page, pages, fileName);
    const int values = LogValueCount(h.columns);
    const int first = RowsPerPage * (page - 1) + 1;
    const int last = std::min(RowsPerPage * page, table.RecordCount());
    // The data lines go straight into the bytes: a full page is 32000 of them.
    out.reserve(out.size() + qsizetype(std::max(0, last - first + 1)) * (10 + 14 * values));
    float row[4];
    for (int r = first; r <= last; ++r) {
        for (int c = 0; c < values; ++c)
            row[c] = table.At(r, c + 1);
        AppendLogRow(out, table.At(r, 0), row, values);
    }
    return out;
}

} // namespace files
