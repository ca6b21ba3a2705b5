#pragma once
// Logging as the main window runs it: the recording states (idle, logging, paused, and the
// same for the moving-average log), the commands that start, pause and stop a log, the
// indicator, the controls a running log holds back, and every reading that closes a sample
// going into the log table while logging is on.
#include "graph/clsGraph.h"
#include "measure/Reading.h"
#include "measure/RecordTable.h"
#include "window/MainControls.h"
#include "window/StoredView.h"
#include "window/WindowShell.h"

#include <functional>

namespace engine {
class ProbeEngine;
}

namespace window {

class Recorder : public measure::ReadingSink {
public:
    // What the log indicator shows.
    enum class Indicator { Log, Pause, Stop, Play };
    // The commands of other parts that a running log holds back.
    struct HeldBack {
        QAction* tbZoomIn;
        QAction* tbZoomOut;
        QMenu* mnuProbeUnitsZeta;
        QMenu* mnuProbeUnitsSigma;
        QAction* mnuProbeZero;
        QAction* mnuProbeClearPeak;
        QMenu* mnuProbeUpdateProbeBatt;
        QAction* mnuViewExposure;
        platform::ClickLabel* LabPeak;
    };
    // What starting and stopping a log asks of the rest of the window.
    struct Hooks {
        std::function<void()> clearPeaks;         // the probe's and the bar graph's peaks
        std::function<void(bool)> batteryRefresh; // the battery timer held (false) or resumed
        std::function<bool()> zeroAvailable;      // the probe set-up offered zeroing
        std::function<void(bool)> movingAverage;  // the averaging window starts, or stops
        std::function<bool()> mayDiscardLog;      // a log not saved may go (asks the user)
        std::function<void()> stopPlayback;       // a log that plays ends before one starts
        std::function<bool()> exposureShown;      // the moving-average frame is shown
        std::function<void()> logStarted;         // the exposure limit watched joins the log
    };

    Recorder(const RecordControls& controls, const HeldBack& heldBack,
             measure::RecordTable& records, engine::ProbeEngine& engine, StoredView& stored,
             WindowShell& shell, Hooks hooks);

    void TakeReading(const measure::Reading& reading) override;
    // "&Log Data", the toolbar's "Record" and the click on LabRecord: starts a log, or stops
    // the one running.
    void ToggleRecordOn();
    // "L&og Pause" and the toolbar's "RecordPause".
    void TogglePause();
    // Ends a recording (the menus' part; ToggleRecordOn does the rest).
    void StopRecording();
    // The table is full: the log ends as the user's stop ends it, and the user is told.
    void EndFullLog();
    void RecordIndicator(Indicator shown);
    // A log runs (or is paused).
    bool Recording() const { return m_records.Recording() != measure::RecordTable::Idle; }
    // The count of logged rows shown (the 500 ms tick).
    void ShowRecordCount();
    // The click on LabRecordCntLab: the rows are forgotten.
    void EraseRecords();

    static inline const QString LogFullText =
        QStringLiteral("The log is full (32000 rows): logging stopped. Save it with Save As.");
    static inline const QString UnitsChangedText =
        QStringLiteral("The probe now reads in %1, the log is in %2: logging stopped.");

private:
    void stopped();
    void setPeakHoldPaused(bool paused);

    RecordControls m_ui;
    HeldBack m_held;
    measure::RecordTable& m_records;
    engine::ProbeEngine& m_engine;
    StoredView& m_stored;
    WindowShell& m_shell;
    Hooks m_hooks;
    Indicator m_indicator = Indicator::Stop;
};

} // namespace window
