#pragma once
// Logging as the main window shows it: every reading that closes a sample goes into the log
// table while logging is on, the indicator shows the state, and a full table ends the log.
#include "measure/Reading.h"
#include "measure/RecordTable.h"
#include "window/MainControls.h"

namespace window {

class Recorder : public measure::ReadingSink {
public:
    // What the log indicator shows.
    enum class Indicator { Log, Pause, Stop, Play };

    Recorder(const RecordControls& controls, measure::RecordTable& records);

    void TakeReading(const measure::Reading& reading) override;
    // Ends a recording (also when the log table is full).
    void StopRecording();
    void RecordIndicator(Indicator shown);
    // The count of logged rows shown (the 500 ms tick).
    void ShowRecordCount();

private:
    RecordControls m_ui;
    measure::RecordTable& m_records;
};

} // namespace window
