#pragma once
// Playback of the log in the log table, as if its probe delivered the rows again: one row a tick
// of HRTPlay at the pace of the chosen sample rate, made into the reading its probe gave (with
// peak holds of playback's own) and handed to the readings' fan-out, so the readouts, the live
// sweep and the bars show it as they show a live reading. Polling waits while a log plays and
// the log indicator reads "Play"; the end of the rows, the user (P&lay again) or a log being
// started end it, and everything it held back comes back.
#include "measure/Reading.h"
#include "measure/RecordTable.h"
#include "platform/HiResTimer.h"
#include "platform/MessageBoxes.h"
#include "window/MainControls.h"

#include <QString>

namespace engine {
class ProbeEngine;
}

namespace window {

class BarGraphControl;
class GraphControl;
class Recorder;

class Player {
public:
    // The command, the list that sets the pace, and the buttons held back while a log plays.
    struct Controls {
        QAction* mnuProbePlay;
        QComboBox* CmbSampleRate;
        QAction* tbRecord;
        QAction* tbZoomIn;
        QAction* tbZoomOut;
        QLabel* LabUnits; // the log's units while it plays
    };
    struct Parts {
        GraphControl& graphs; // the sweep the rows take
        BarGraphControl& bars;
        Recorder& recorder;                  // the log indicator
        const measure::RecordTable& records; // the rows, their units and probe
    };
    struct Timers {
        platform::HiResTimer& HRTPlay;
    };

    static constexpr double MaxRatePlayMs = 14.0;
    static inline const QString ProbeAnsweringText = QStringLiteral(
        "Unable to play data while communicating with a probe.  Turn probe off and retry");
    // Asked when a polled probe answers: it is left unread while the log plays.
    static inline const QString PauseProbeText =
        QStringLiteral("A probe is being read. Pause reading it while the log plays?");
    static inline const QString LogRunningText =
        QStringLiteral("Unable to play data while a log is running. Stop the log and retry.");
    static inline const QString NoSampleRateText =
        QStringLiteral("The sample rate must be set before proceeding.");
    static inline const QString NothingToPlayText =
        QStringLiteral("There are no logged values to play. Open a log file that holds data.");

    // Makes mnuProbePlay checkable (ticked while a log plays), connects it and gives HRTPlay
    // its handler.
    Player(const Controls& controls, measure::ReadingSink& readings, engine::ProbeEngine& engine,
           Parts parts, Timers timers, platform::MessageBoxes& boxes);

    // "P&lay": starts playback from the first row, or stops the playback running.
    void mnuProbePlay_Click();
    // One row of the log.
    void HRTPlay_Tick();
    // Ends a running playback; nothing when none runs.
    void StopPlayback();

    bool Playing() const { return m_playing; }
    // The row shown by the last tick; 0 before the first.
    int PlayIndex() const { return m_playIndex; }
    // Peaks of total, X, Y and Z over the rows played.
    const measure::AxisValues& PlayPeakHold() const { return m_playPeakHold; }
    void ClearPlayPeakHold() { m_playPeakHold.fill(0.0f); }

private:
    // The message that refuses playback, or an empty text when the log may play.
    QString refusal() const;
    // Milliseconds a row from the sample-rate list; 0 when no rate is chosen.
    double rowInterval() const;
    void PlayData();

    Controls m_ui;
    measure::ReadingSink& m_readings;
    engine::ProbeEngine& m_engine;
    Parts m_parts;
    Timers m_timers;
    platform::MessageBoxes& m_boxes;

    bool m_playing = false;
    int m_playIndex = 0;
    measure::AxisValues m_playPeakHold{};
    // What playback held back, as it found it.
    bool m_pausedProbe = false; // reading the probe was paused for the playback
    QString m_unitsBefore;      // the units label before the playback
    measure::Family m_family = measure::Family::Sigma; // of the log's probe
    bool m_recordWasOn = false;
    bool m_zoomInWasOn = false;
    bool m_zoomOutWasOn = false;
};

} // namespace window
