#include "measure/RecordTable.h"

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
    row[0] = dayFraction;
    row[1] = total;
    row[2] = x;
    row[3] = y;
    row[4] = z;
    return m_count >= MaxRecords;
}

void RecordTable::StartLog(Layout layout, const QString& units, const QString& probeType) {
    m_count = 0;
    m_maxHold = {};
    m_unsaved = false;
    m_layout = layout;
    m_units = units;
    m_probeType = probeType;
}

float RecordTable::At(int row, int column) const {
    if (row < 0 || row > MaxRecords || column < 0 || column >= Columns) return 0.0f;
    return m_rows[std::size_t(row) * Columns + std::size_t(column)];
}

} // namespace measure
