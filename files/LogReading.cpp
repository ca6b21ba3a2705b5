#include "files/LogReading.h"

#include <QByteArrayView>
#include <charconv>
#include <cmath>

namespace files {

namespace {

using Rows = measure::RecordTable;

QByteArrayView Trimmed(QByteArrayView v) {
    while (!v.isEmpty() && (v.front() == ' ' || v.front() == '\t'))
        v = v.sliced(1);
    while (!v.isEmpty() && (v.back() == ' ' || v.back() == '\t'))
        v.chop(1);
    return v;
}

bool Number(QByteArrayView text, float* value) {
    text = Trimmed(text);
    if (text.startsWith('+')) text = text.sliced(1);
    if (text.isEmpty()) return false;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, *value);
    return ec == std::errc() && ptr == end && std::isfinite(*value);
}

// The file's lines without their line ends; text before the first line end of a file that has
// none is its only line.
class Lines {
public:
    explicit Lines(QByteArrayView bytes) : m_rest(bytes) {}
    bool next(QByteArrayView* line) {
        if (m_rest.isEmpty()) return false;
        ++m_number;
        const qsizetype end = m_rest.indexOf('\n');
        *line = end < 0 ? m_rest : m_rest.first(end);
        m_rest = end < 0 ? QByteArrayView() : m_rest.sliced(end + 1);
        m_terminated = end >= 0;
        if (line->endsWith('\r')) line->chop(1);
        return true;
    }
    int number() const { return m_number; }
    // The line last read ended with a line end (only the file's last line may not).
    bool terminated() const { return m_terminated; }

private:
    QByteArrayView m_rest;
    int m_number = 0;
    bool m_terminated = true;
};

LogReadResult Failed(int line, const QString& error) {
    LogReadResult r;
    r.line = line;
    r.error = error;
    return r;
}

} // namespace

measure::RecordTable::Layout LoadedLog::Layout() const {
    if (valueColumns <= 1) return Rows::Layout::Total;
    return valueColumns == 2 ? Rows::Layout::MovingAverage : Rows::Layout::Axes;
}

bool ParseLogTime(QStringView text, float* dayFraction) {
    const QByteArray bytes = text.toLatin1();
    const QList<QByteArray> parts = bytes.split(':');
    if (parts.size() != 3) return false;
    double hms[3];
    for (int i = 0; i < 3; ++i) {
        const QByteArrayView part = Trimmed(parts[i]);
        if (part.isEmpty()) return false;
        float v = 0;
        // Hours and minutes are whole numbers; seconds may carry a fraction.
        if (i < 2 && part.contains('.')) return false;
        if (!Number(part, &v) || v < 0) return false;
        hms[i] = v;
    }
    const double seconds = hms[0] * 3600.0 + hms[1] * 60.0 + hms[2];
    if (hms[1] >= 60 || hms[2] >= 60 || seconds > 86400.0) return false;
    *dayFraction = float(seconds / 86400.0);
    return true;
}

LogReadResult ReadLog(const QByteArray& bytes) {
    QByteArrayView data(bytes);
    const bool utf8 = data.startsWith("\xEF\xBB\xBF");
    if (utf8) data = data.sliced(3);
    auto decode = [utf8](QByteArrayView v) {
        return utf8 ? QString::fromUtf8(v) : QString::fromLatin1(v);
    };
    if (Trimmed(data).isEmpty()) return Failed(0, QStringLiteral("the file is empty."));

    LogReadResult result;
    LoadedLog& log = result.log;
    Lines lines(data);
    QByteArrayView line;
    auto text = [](QByteArrayView v) {
        for (const char c : v)
            if (uchar(c) < 0x20 && c != '\t') return false;
        return true;
    };

    lines.next(&line);
    if (!text(line)) return Failed(1, QStringLiteral("this is not a text file."));
    int fieldsPerRow = 1 + LoadedLog::MaxValueColumns;
    if (line == "Header") {
        log.hasHeader = true;
        log.headerLines << QStringLiteral("Header");
        for (;;) {
            if (!lines.next(&line) || lines.number() > LoadedLog::MaxHeaderLines)
                return Failed(1, QStringLiteral("\"Header\" has no \"EndHeader\" within %1 lines.")
                                     .arg(LoadedLog::MaxHeaderLines));
            if (!text(line)) return Failed(lines.number(), QStringLiteral("this is not text."));
            const QString header = decode(line);
            log.headerLines << header;
            if (header == QLatin1String("EndHeader")) break;
            const qsizetype comma = header.indexOf(QLatin1Char(','));
            if (comma < 0) continue;
            const QString label = header.left(comma);
            const QString value = header.mid(comma + 1);
            log.fields.append({label, value});
            if (label == QLatin1String("GraphScale")) {
                log.graphScale = value;
            } else if (label == QLatin1String("Units")) {
                log.units = value;
                log.hasUnits = true;
            } else if (label == QLatin1String("Probe Type")) {
                log.probeType = value;
            } else {
                static const char* const Peaks[] = {"Field Peak", "X Peak", "Y Peak", "Z Peak"};
                for (int a = 0; a < 4; ++a) {
                    float v = 0;
                    if (label == QLatin1String(Peaks[a]) && Number(line.sliced(comma + 1), &v)) {
                        log.peaks[std::size_t(a)] = v;
                        log.hasPeaks = true;
                    }
                }
            }
        }
        // The heading line decides how many values a row has.
        do {
            if (!lines.next(&line))
                return Failed(lines.number(),
                              QStringLiteral("the heading line after \"EndHeader\" is missing."));
        } while (Trimmed(line).isEmpty());
        if (!text(line)) return Failed(lines.number(), QStringLiteral("this is not text."));
        fieldsPerRow = int(line.count(',')) + 1;
        if (fieldsPerRow < 2)
            return Failed(lines.number(), QStringLiteral("the heading line names no values."));
    }
    const int valuesInFile = fieldsPerRow - 1;
    log.valueColumns = std::min(valuesInFile, LoadedLog::MaxValueColumns);
    log.rows.reserve(std::size_t(std::min<qsizetype>(data.size() / 12 + 1, Rows::MaxRecords)));

    // What is wrong with a data line; empty when it is a row.
    const auto readRow = [&](QByteArrayView line, std::array<float, 5>& row) -> QString {
        if (!text(line)) return QStringLiteral("this is not text.");
        const qsizetype fields = line.count(',') + 1;
        if (fields > fieldsPerRow)
            return QStringLiteral("%1 fields where the heading line has %2 (a file written "
                                  "with a comma as the decimal point has more).")
                .arg(fields)
                .arg(fieldsPerRow);
        if (fields < fieldsPerRow)
            return QStringLiteral("%1 fields where the heading line has %2.")
                .arg(fields)
                .arg(fieldsPerRow);
        QByteArrayView rest = line;
        for (int f = 0; f <= log.valueColumns; ++f) {
            const qsizetype comma = rest.indexOf(',');
            const QByteArrayView field = comma < 0 ? rest : rest.first(comma);
            rest = comma < 0 ? QByteArrayView() : rest.sliced(comma + 1);
            if (f == 0) {
                if (!ParseLogTime(QString::fromLatin1(field), &row[0]))
                    return QStringLiteral("\"%1\" is not a time of day (hh:mm:ss).")
                        .arg(decode(field));
            } else if (!Number(field, &row[std::size_t(f)])) {
                return QStringLiteral("field %1, \"%2\", is not a number.")
                    .arg(f + 1)
                    .arg(decode(Trimmed(field)));
            }
        }
        return {};
    };

    int rowsInFile = 0;
    while (lines.next(&line)) {
        if (Trimmed(line).isEmpty()) continue;
        ++rowsInFile;
        if (rowsInFile > Rows::MaxRecords) continue;
        std::array<float, 5> row{};
        const QString wrong = readRow(line, row);
        if (!wrong.isEmpty()) {
            // A log still being written, or cut off by a crash, may end inside a row: the rows
            // before it are whole.
            if (!lines.terminated()) {
                --rowsInFile;
                log.warnings << QStringLiteral("The last line is cut short; it was left out.");
                break;
            }
            return Failed(lines.number(), wrong);
        }
        log.rows.push_back(row);
    }

    if (rowsInFile > Rows::MaxRecords)
        log.warnings << QStringLiteral("The file holds %1 rows; the first %2 were loaded.")
                            .arg(rowsInFile)
                            .arg(Rows::MaxRecords);
    if (valuesInFile > LoadedLog::MaxValueColumns)
        log.warnings << QStringLiteral("The file holds %1 value columns; the first %2 were loaded.")
                            .arg(valuesInFile)
                            .arg(LoadedLog::MaxValueColumns);
    result.ok = true;
    return result;
}

} // namespace files
