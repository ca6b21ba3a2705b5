#include "files/LogJournal.h"
#include "platform/System.h"

#include <QDir>
#include <QFileInfo>
#include <QTime>
#include <algorithm>
#include <array>
#include <optional>


namespace files {

namespace {

constexpr qint64 SyncMs = 100;
const QByteArray Magic = QByteArrayLiteral("Varnex log journal 1");

QByteArray Number(float v) {
    return QByteArray::number(double(v), 'g', 9);
}

// The first line: what the log is, and when it was started.
QByteArray HeadLine(measure::RecordTable::Layout layout, const QString& units,
                    const QString& probeType, const QString& startedAt) {
    return Magic + '\t' + QByteArray::number(int(layout)) + '\t' + units.toUtf8() + '\t' +
           probeType.toUtf8() + '\t' + startedAt.toUtf8() + '\n';
}

// A row: time, the four values and the four peak holds.
QByteArray RowLine(const std::array<float, 9>& fields) {
    QByteArray line = Number(fields[0]);
    for (std::size_t c = 1; c < fields.size(); ++c)
        line += '\t' + Number(fields[c]);
    return line + '\n';
}

// The limit watched: "L", the limit's name.
QByteArray LimitLine(const QString& name) {
    return "L\t" + name.toUtf8() + '\n';
}

// A level reached, as it began or ended: "E", level, start, end (0 while it lasts, ms since
// 1970), the peak share and value, the units.
QByteArray EventLine(const measure::ExposureEvent& e) {
    return "E\t" + QByteArray::number(int(e.level)) + '\t' + QByteArray::number(e.startMs) + '\t' +
           QByteArray::number(e.endMs) + '\t' + QByteArray::number(e.peakPercent, 'g', 9) + '\t' +
           QByteArray::number(e.peakValue, 'g', 9) + '\t' + e.units.toUtf8() + '\n';
}

std::optional<measure::ExposureEvent> ParseEvent(const QList<QByteArray>& fields) {
    if (fields.size() != 7) return std::nullopt;
    bool ok[5] = {};
    measure::ExposureEvent e;
    const int level = fields[1].toInt(&ok[0]);
    e.startMs = fields[2].toLongLong(&ok[1]);
    e.endMs = fields[3].toLongLong(&ok[2]);
    e.peakPercent = fields[4].toDouble(&ok[3]);
    e.peakValue = fields[5].toDouble(&ok[4]);
    e.units = QString::fromUtf8(fields[6]);
    if (!std::all_of(std::begin(ok), std::end(ok), [](bool b) { return b; })) return std::nullopt;
    if (level != int(measure::ExposureLevel::Warning) &&
        level != int(measure::ExposureLevel::Alarm))
        return std::nullopt;
    e.level = measure::ExposureLevel(level);
    return e;
}

struct Parsed {
    bool ok = false;
    measure::RecordTable::Layout layout = measure::RecordTable::Layout::Total;
    QString units, probeType, startedAt;
    QList<std::array<float, 9>> rows; // time, four values, four peaks
    std::optional<QString> limitName;
    QList<measure::ExposureEvent> events; // as begun and ended, in order
};

Parsed Parse(const QByteArray& data) {
    Parsed p;
    const QList<QByteArray> lines = data.split('\n');
    // The last piece follows the last line end: empty, or a row cut short.
    if (lines.size() < 2) return p;
    const QList<QByteArray> head = lines.first().split('\t');
    if (head.size() != 5 || head[0] != Magic) return p;
    p.layout = measure::RecordTable::Layout(std::clamp(head[1].toInt(), 0, 2));
    p.units = QString::fromUtf8(head[2]);
    p.probeType = QString::fromUtf8(head[3]);
    p.startedAt = QString::fromUtf8(head[4]);
    for (qsizetype i = 1; i + 1 < lines.size(); ++i) {
        const QList<QByteArray> fields = lines[i].split('\t');
        if (fields.first() == "L" && fields.size() == 2) {
            p.limitName = QString::fromUtf8(fields[1]);
            continue;
        }
        if (fields.first() == "E") {
            const std::optional<measure::ExposureEvent> event = ParseEvent(fields);
            if (!event) break;
            p.events.append(*event);
            continue;
        }
        if (fields.size() != 9) break;
        std::array<float, 9> row{};
        bool whole = true;
        for (std::size_t f = 0; f < row.size() && whole; ++f)
            row[f] = fields[qsizetype(f)].toFloat(&whole);
        if (!whole) break;
        p.rows.append(row);
    }
    p.ok = true;
    return p;
}

} // namespace

LogJournal::LogJournal(const QString& folder, platform::Clock& clock)
    : m_path(QDir(folder).filePath(FileName)), m_clock(clock) {}

void LogJournal::LogStarted(const measure::RecordTable& table) {
    if (!open()) return;
    write(HeadLine(table.RecordColumns(), table.RecordUnits(), table.ProbeType(),
                   m_clock.now().time().toString(QStringLiteral("HH:mm:ss"))));
}

bool LogJournal::open() {
    m_file.close();
    QDir().mkpath(QFileInfo(m_path).absolutePath());
    m_file.setFileName(m_path);
    return m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered);
}

void LogJournal::RowAppended(const measure::RecordTable& table, int row) {
    if (!m_file.isOpen()) return;
    const measure::AxisValues& peaks = table.RecordMaxHold();
    write(RowLine({table.At(row, 0), table.At(row, 1), table.At(row, 2), table.At(row, 3),
                   table.At(row, 4), peaks[0], peaks[1], peaks[2], peaks[3]}));
}

// Each line goes to the system at once (a crash of the program loses nothing written); the
// file is forced to the disk at most every 100 ms while rows come.
void LogJournal::write(const QByteArray& line) {
    m_file.write(line);
    const qint64 now = m_clock.monotonicMs();
    if (m_syncedMs < 0 || now - m_syncedMs >= SyncMs) {
        platform::SyncToDisk(m_file);
        m_syncedMs = now;
    }
}

void LogJournal::LimitNamed(const measure::RecordTable& table) {
    if (m_file.isOpen()) write(LimitLine(table.LimitName()));
}

void LogJournal::EventLogged(const measure::ExposureEvent& event) {
    if (m_file.isOpen()) write(EventLine(event));
}

void LogJournal::LogSettled() {
    Remove();
}

void LogJournal::Remove() {
    m_file.close();
    QFile::remove(m_path);
}

LogJournal::Found LogJournal::LeftBehind() const {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    const Parsed p = Parse(file.readAll());
    if (!p.ok || p.rows.isEmpty()) return {};
    return {int(p.rows.size()), p.startedAt};
}

bool LogJournal::Recover(measure::RecordTable& table) {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const Parsed p = Parse(file.readAll());
    file.close();
    if (!p.ok || p.rows.isEmpty()) return false;
    table.SetJournal(nullptr);
    table.StartLog(p.layout, p.units, p.probeType);
    for (const std::array<float, 9>& r : p.rows)
        table.Restore(r[0], {r[1], r[2], r[3], r[4]}, {r[5], r[6], r[7], r[8]});
    if (p.limitName) table.SetLimitName(*p.limitName);
    for (const measure::ExposureEvent& e : p.events)
        table.LogEvent(e);
    table.SetJournal(this);
    // Whatever is cut short at the end goes; the rows and events recovered stay in the journal.
    QByteArray kept = HeadLine(p.layout, p.units, p.probeType, p.startedAt);
    if (p.limitName) kept += LimitLine(*p.limitName);
    for (const measure::ExposureEvent& e : table.Events())
        kept += EventLine(e);
    for (const std::array<float, 9>& r : p.rows)
        kept += RowLine(r);
    if (open()) write(kept);
    return true;
}

} // namespace files
