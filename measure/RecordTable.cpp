#include "measure/RecordTable.h"

#include <algorithm>

namespace measure {

bool RecordTable::Append(const Reading& reading) {
    m_maxHold = reading.peak;
    return Append(reading.dayFraction, reading.value[Total], reading.value[X], reading.value[Y],
                  reading.value[Z]);
}

bool RecordTable::Append(float dayFraction, float total, float x, float y, float z) {
    m_unsaved = true;
    if (m_count >= MaxRecords) return true;
    ++m_count;
    float* row = &m_rows[std::size_t(m_count) * Columns];
    // Columns the log does not use stay empty.
    const int used = m_layout == Layout::Axes ? 4 : m_layout == Layout::MovingAverage ? 2 : 1;
    const float values[] = {total, x, y, z};
    row[0] = dayFraction;
    for (int c = 1; c < Columns; ++c)
        row[c] = c <= used ? values[c - 1] : 0.0f;
    if (m_journal) m_journal->RowAppended(*this, m_count);
    return m_count >= MaxRecords;
}

void RecordTable::Restore(float dayFraction, const AxisValues& values, const AxisValues& peaks) {
    if (m_count >= MaxRecords) return;
    ++m_count;
    float* row = &m_rows[std::size_t(m_count) * Columns];
    row[0] = dayFraction;
    for (int c = 1; c < Columns; ++c)
        row[c] = values[std::size_t(c - 1)];
    m_maxHold = peaks;
    m_unsaved = true;
}

void RecordTable::StartLog(Layout layout, const QString& units, const QString& probeType) {
    m_limitName.clear();
    m_events.clear();
    m_count = 0;
    m_maxHold = {};
    m_unsaved = false;
    m_layout = layout;
    m_units = units;
    m_probeType = probeType;
    if (m_journal) m_journal->LogStarted(*this);
}

void RecordTable::LoadLog(Layout layout, const QString& units, const QString& probeType,
                          const AxisValues& peaks, const std::vector<std::array<float, 5>>& rows) {
    m_limitName.clear();
    m_events.clear();
    m_layout = layout;
    m_units = units;
    m_probeType = probeType;
    m_maxHold = peaks;
    m_unsaved = false;
    m_count = int(std::min<std::size_t>(rows.size(), MaxRecords));
    for (int r = 1; r <= m_count; ++r)
        std::copy(rows[std::size_t(r - 1)].begin(), rows[std::size_t(r - 1)].end(),
                  &m_rows[std::size_t(r) * Columns]);
}

void RecordTable::SetLimitName(const QString& name) {
    m_limitName = name;
    if (m_journal) m_journal->LimitNamed(*this);
}

void RecordTable::LogEvent(const ExposureEvent& event) {
    const auto same = [&event](const ExposureEvent& e) {
        return e.level == event.level && e.startMs == event.startMs;
    };
    const auto found = std::find_if(m_events.begin(), m_events.end(), same);
    if (found != m_events.end())
        *found = event;
    else
        m_events.push_back(event);
    m_unsaved = true;
    if (m_journal) m_journal->EventLogged(event);
}

float RecordTable::At(int row, int column) const {
    if (row < 0 || row > MaxRecords || column < 0 || column >= Columns) return 0.0f;
    return m_rows[std::size_t(row) * Columns + std::size_t(column)];
}

} // namespace measure
