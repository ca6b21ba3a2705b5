#include "measure/RecordTable.h"

namespace measure {

bool RecordTable::Append(float dayFraction, float total, float x, float y, float z) {
    if (RecordCount >= MaxRecords) return true;
    ++RecordCount;
    float* row = &m_rows[std::size_t(RecordCount) * Columns];
    row[0] = dayFraction;
    row[1] = total;
    row[2] = x;
    row[3] = y;
    row[4] = z;
    return RecordCount >= MaxRecords;
}

float RecordTable::At(int row, int column) const {
    if (row < 0 || row > MaxRecords || column < 0 || column >= Columns) return 0.0f;
    return m_rows[std::size_t(row) * Columns + std::size_t(column)];
}

} // namespace measure
