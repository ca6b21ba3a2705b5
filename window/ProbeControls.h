#pragma once
// The user's commands to the probe: the units and ranges from the Probe menu and the readout
// labels, zero, the peak holds cleared and the axis switches. A field-reporting probe is sent a
// command and the window follows its answer; a Zeta probe's units and zero are the program's
// own. A units or range command the probe refuses leaves the window as it was and says so.
#include "files/Config.h"
#include "measure/RecordTable.h"
#include "platform/HiResTimer.h"
#include "window/MainControls.h"
#include "window/WindowShell.h"

#include <functional>

namespace engine {
class ProbeEngine;
}

namespace window {

class BarGraphControl;
class GraphControl;

class ProbeControls {
public:
    struct Parts {
        GraphControl& graphs;
        BarGraphControl& bars;
    };

    ProbeControls(const ProbeMenuControls& controls, const ReadoutControls& readouts,
                  engine::ProbeEngine& engine, const measure::RecordTable& records,
                  files::Config& config, const platform::HiResTimer& HRTMinAve, WindowShell& shell,
                  const Parts& parts, std::function<void()> clearPeakHolds);

    // A Zeta probe's units: "V/m", "V2/m2" or "mW/cm2" (not while logging).
    void ChangeUnits(const QString& unitText);
    void mnuProbeUnitsVPM() { ChangeUnits(QStringLiteral("V/m")); }
    void mnuProbeUnitsV2M2() { ChangeUnits(QStringLiteral("V2/m2")); }
    void mnuProbeUnitsMWPCM() { ChangeUnits(QStringLiteral("mW/cm2")); }
    // A field-reporting probe's units n of its table.
    void mnuProbeUnitsOld(int index);
    // The next units.
    void LabUnits_Click();
    // 0: ranging by the program; 1..5 the range.
    void mnuProbeRange(int index);
    // The next range, then automatic ranging, then the range in use by hand again.
    void LabRange_Click();
    void mnuProbeZero();
    void SetRef();
    void ClearRef();
    // The peak holds of the probe, the bars and a playback (not while logging).
    void mnuProbeClearPeak();
    // Axis 1, 2 or 3 on or off.
    void LabAxis_Click(int axis);

    // A Zeta probe identified: the units kept from the last run in force (ranges, scales,
    // menus and readouts); another probe than the last has no zero reference.
    void ZetaIdentified(bool anotherProbe);
    // The probe refused a units or range command (its text).
    void CommandRefused(const QString& command);
    // The range menu follows automatic ranging: its entry alone ticked when on, unticked when
    // off (the range's own entry is ticked when the probe reports it).
    void ShowAutoRanging(bool on);
    // The zero entry offers what the zero reference allows next.
    void ShowZeroReference(bool on);
    // The probe reported its range, or is gone: a range asked for is no longer awaited.
    void RangeShown() { m_awaitingRange = false; }

    static inline const QString NotDuringLoggingText =
        QStringLiteral("Not allowed during logging.");
    static inline const QString RefusedText =
        QStringLiteral("The probe refused \"%1\"; it keeps its units and range.");

private:
    void checkRange(int index);
    void showAutoRange();
    bool logging() const { return m_records.Recording() != measure::RecordTable::Idle; }

    ProbeMenuControls m_ui;
    ReadoutControls m_readouts;
    engine::ProbeEngine& m_engine;
    const measure::RecordTable& m_records;
    files::Config& m_config;
    const platform::HiResTimer& m_minAve;
    WindowShell& m_shell;
    Parts m_parts;
    std::function<void()> m_clearPeakHolds;
    // What the range menu showed before a range was asked for, put back if it is refused.
    int m_rangeCheckedBefore = -1;
    int m_autoRangeBefore = 0;
    // A fixed range was asked for while the program ranged, and the probe has not reported it
    // yet (the label still shows the automatic range).
    bool m_awaitingRange = false;
};

} // namespace window
