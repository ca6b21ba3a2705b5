#pragma once
// The log table: single-precision rows 0..32000 of five columns (time of day as a fraction of a
// day, total, X, Y, Z), the index of the last stored row, the recording state and the peak
// holds of the last logged reading. Preallocated once; nothing is allocated per sample.
#include "measure/ExposureLevels.h"
#include "measure/Reading.h"

#include <array>
#include <vector>

namespace measure {

class RecordTable;

// Follows a log as it grows, so that a copy survives the program (see files/LogJournal).
class RecordJournal {
public:
    virtual ~RecordJournal() = default;
    virtual void LogStarted(const RecordTable& table) = 0;
    virtual void RowAppended(const RecordTable& table, int row) = 0;
    // The log was saved or let go: its copy is no longer needed.
    virtual void LogSettled() = 0;
    // The exposure limit watched, and a level reached or cleared, while the log runs.
    virtual void LimitNamed(const RecordTable& table) { static_cast<void>(table); }
    virtual void EventLogged(const ExposureEvent& event) { static_cast<void>(event); }
};

class RecordTable {
public:
    static constexpr int MaxRecords = 32000;
    static constexpr int Columns = 5;
    enum State : int { Idle = 0, Logging = 1, Paused = 2, ExposureLogging = 3, ExposurePaused = 4 };
    // What a row holds besides its time: the total; the total and X, Y, Z; the total and the
    // moving average.
    enum class Layout : int { Total = 0, Axes = 1, MovingAverage = 2 };

    RecordTable() : m_rows(std::size_t(MaxRecords + 1) * Columns, 0.0f) {}

    // Stores the reading as the next row and keeps its peak holds. Returns true when the count
    // has reached MaxRecords, at which point the caller stops the recording (the row is stored
    // all the same). Past MaxRecords nothing is stored and true is returned.
    bool Append(const Reading& reading);
    bool Append(float dayFraction, float total, float x, float y, float z);

    float At(int row, int column) const;
    int RecordCount() const { return m_count; }
    // Logging goes on after `count` rows (0 starts a new log).
    void SetRecordCount(int count) {
        m_count = count < 0 ? 0 : (count > MaxRecords ? MaxRecords : count);
    }
    State Recording() const { return m_state; }
    void SetRecording(State state) { m_state = state; }
    const AxisValues& RecordMaxHold() const { return m_maxHold; }

    // A new log: no rows, no peaks, the layout of its rows, the units text shown and the
    // probe it is taken with.
    void StartLog(Layout layout, const QString& units, const QString& probeType);
    Layout RecordColumns() const { return m_layout; }
    // Rows were logged since the log was started, saved or its rows were let go.
    bool Unsaved() const { return m_unsaved && m_count > 0; }
    void MarkSaved() {
        m_unsaved = false;
        if (m_journal) m_journal->LogSettled();
    }
    void SetJournal(RecordJournal* journal) { m_journal = journal; }
    // A log read back from a file: its rows (time and four values) replace the table's, with
    // its peaks, and count as saved.
    void LoadLog(Layout layout, const QString& units, const QString& probeType,
                 const AxisValues& peaks, const std::vector<std::array<float, 5>>& rows);
    // A recovered row with the peak holds of its time.
    void Restore(float dayFraction, const AxisValues& values, const AxisValues& peaks);
    QString RecordUnits() const { return m_units; }
    // The units of a log begun before the probe told its own: those of its first row.
    void SetRecordUnits(const QString& units) { m_units = units; }
    QString ProbeType() const { return m_probeType; }

    // The exposure limit watched while the log runs (empty: none) and the levels reached: an
    // event is kept as it begins and replaced as it ends. A new or loaded log has none.
    void SetLimitName(const QString& name);
    QString LimitName() const { return m_limitName; }
    void LogEvent(const ExposureEvent& event);
    const std::vector<ExposureEvent>& Events() const { return m_events; }

private:
    std::vector<float> m_rows;
    int m_count = 0;
    State m_state = Idle;
    AxisValues m_maxHold{};
    Layout m_layout = Layout::Total;
    bool m_unsaved = false;
    RecordJournal* m_journal = nullptr;
    QString m_units;
    QString m_probeType;
    QString m_limitName;
    std::vector<ExposureEvent> m_events;
};

} // namespace measure
