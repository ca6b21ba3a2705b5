#pragma once
// The log table: single-precision rows 0..32000 of five columns (time of day as a fraction of a
// day, total, X, Y, Z), the index of the last stored row, the recording state and the peak
// holds at the last logged sample. Preallocated once; nothing is allocated per sample.
#include <array>
#include <vector>

namespace measure {

class RecordTable {
public:
    static constexpr int MaxRecords = 32000;
    static constexpr int Columns = 5;
    enum State : int { Idle = 0, Logging = 1, Paused = 2, ExposureLogging = 3, ExposurePaused = 4 };

    RecordTable() : m_rows(std::size_t(MaxRecords + 1) * Columns, 0.0f) {}

    // Stores the next row. Returns true when the count has reached MaxRecords, at which point
    // the caller stops the recording (the row is stored all the same). Past MaxRecords nothing
    // is stored and true is returned.
    bool Append(float dayFraction, float total, float x, float y, float z);

    float At(int row, int column) const;
    int RecordCount = 0;
    int Recording = Idle;
    std::array<float, 4> RecordMaxHold{};
    std::array<float, 4> PlayPeakHold{};

private:
    std::vector<float> m_rows;
};

} // namespace measure
