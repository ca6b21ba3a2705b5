#pragma once
// The window set up for the identified probe: the units menu and label, the zero and range
// entries and the range label, the sample-rate list (SetUpSigma for Sigma and Kappa probes,
// SetUpZeta for Zeta probes), and the 3-axis menu entry.
#include "files/Config.h"
#include "measure/RecordTable.h"
#include "window/MainControls.h"
#include "window/WindowShell.h"

namespace engine {
class ProbeEngine;
}

namespace window {

class BatteryTemp;
class GraphControl;
class LinkControl;
class Readouts;

class ProbeSetup {
public:
    // The parts of the window that follow the probe.
    struct Parts {
        Readouts& readouts;
        BatteryTemp& battery;
        LinkControl& link;
        GraphControl& graphs;
    };

    ProbeSetup(const ProbeMenuControls& controls, engine::ProbeEngine& engine,
               files::Config& config, const Parts& parts, const measure::RecordTable& records,
               WindowShell& shell);

    void SetUpSigma();
    void SetUpZeta();
    // The 3-axis entry: reads the axes in turn, or all together again. Ignored while logging.
    void mnuProbe3AxisData_Click();
    bool ZeroAvailable() const { return m_zeroAvailable; }
    // The 3-axis entry and the setting follow the engine's preference.
    void ShowMultiplexPreference(bool axisByAxis);

    // The units the probe reported: label, range captions and the units entry ticked. Returns
    // whether the label changed.
    bool ShowUnits();
    // The range the probe reported (its digit): label and range entries. Returns whether the
    // graph scale follows (a range chosen by hand).
    bool ShowRange(const QString& digit);
    // The probe is gone: the units label reads "units", the range label is blank.
    void ClearProbeLabels();
    // The menus and labels of the family in service.
    void ShowFamily(bool sigma);

private:
    void uncheckRanges();

    ProbeMenuControls m_ui;
    engine::ProbeEngine& m_engine;
    const probe::clsProbe& m_probe; // the engine's session, read only
    files::Config& m_config;
    Parts m_parts;
    const measure::RecordTable& m_records;
    WindowShell& m_shell;
    bool m_zeroAvailable = false;
    QString m_unitsShown; // the units the label shows
};

} // namespace window
