#pragma once
// The main window: the shell that owns the probe session, the graphs, the port, the six
// timers, the named controls and the parts of the window that work on them, and that runs the
// start-up and shutdown in their fixed order.
//
// The parts reach each other through the accessors below; each keeps its own state. The
// window itself only routes: the probe session's requests (ProbeHost), the polling cycle's
// (PollingView), menu and toolbar commands, and the timers.
#include "app/ConfigFile.h"
#include "graph/ClsBarGraph.h"
#include "graph/clsGraph.h"
#include "platform/Services.h"
#include "probe/PollingCycle.h"
#include "probe/ProbeHost.h"
#include "probe/clsProbe.h"
#include "window/MainControls.h"

#include <QMainWindow>
#include <memory>

namespace measure {
class ClsZeta;
class RecordTable;
} // namespace measure
namespace window {
class BatteryTemp;
class LinkControl;
class SampleProcessing;
class ProbeSetup;
class DisplayTimers;
class GraphControl;
class BarGraphControl;
class MainLayout;
} // namespace window

namespace app {

class HeaderNotes;

class frmMain : public QMainWindow, public probe::ProbeHost, public probe::PollingView {
    Q_OBJECT
public:
    // The product name: window caption, settings-store application and About box title.
    static inline const QString AppTitle = QStringLiteral("Varnex");

    explicit frmMain(platform::Services& services, QWidget* parent = nullptr);
    ~frmMain() override;

    // Form_Load: the start-up sequence (Main), then the placement, caption and peak captions.
    void Form_Load();
    // Form_Unload: the shutdown sequence; safe to call once, and called by closing the window.
    void Form_Unload();

    // --- the objects and parts ------------------------------------------------------------
    window::MainControls& ui() { return m_ui; }
    platform::Services& services() { return m_services; }
    window::Config& config() { return m_config; }
    probe::clsProbe& probe() { return *m_probe; }
    measure::ClsZeta& zeta() { return *m_zeta; }
    graph::clsGraph& graph() { return *m_graph; }
    graph::ClsBarGraph& barGraph() { return *m_barGraph; }
    probe::PollingCycle& cycle() { return *m_cycle; }
    window::BatteryTemp& battery() { return *m_battery; }
    window::LinkControl& link() { return *m_link; }
    measure::RecordTable& records() { return *m_records; }
    window::SampleProcessing& processing() { return *m_processing; }
    window::ProbeSetup& setup() { return *m_setup; }
    window::DisplayTimers& displayTimers() { return *m_displayTimers; }
    window::GraphControl& graphControl() { return *m_graphControl; }
    window::BarGraphControl& barControl() { return *m_barControl; }
    window::MainLayout& layout() { return *m_layout; }
    HeaderNotes& notes() { return *m_notes; }

    // --- the timers -----------------------------------------------------------------------
    platform::HiResTimer& HRTReadProbe() { return *m_readProbe; }
    platform::HiResTimer& HRTCalSamPerSec() { return *m_calSamPerSec; }
    platform::HiResTimer& HRTReadBattTemp() { return *m_readBattTemp; }
    platform::HiResTimer& HRTUpDateText() { return *m_upDateText; }
    platform::HiResTimer& HRTMinAve() { return *m_minAve; }
    platform::HiResTimer& HRTPlay() { return *m_play; }

    // --- shell state ----------------------------------------------------------------------
    bool StartingUp() const { return m_startingUp; }
    // Gives the keyboard focus back to Command1 after a list choice (not during start-up).
    void FocusCommand1();
    // Status-bar panel 1..4; the bar is redrawn.
    void SetStatusPanel(int panel, const QString& text) override;
    QString StatusPanel(int panel) const;
    // Probe identity read at identification, shown by the About box.
    QString ProbeSoftRev, ProbeSerialNo, ProbeCalDate;
    QString AboutModelName;
    bool shutDown() const { return m_shutDown; }

    // --- ProbeHost ------------------------------------------------------------------------
    QByteArray AutoNextCmndS(const QByteArray& code) override;
    void ShowMessage(platform::MsgIcon icon, const QString& text) override;
    void Delay(double ms) override;
    void SetProbeIdentity(const QString& serialNo, const QString& calDate) override;
    void SetProbeSoftRev(const QString& softRev) override;

    // --- PollingView ----------------------------------------------------------------------
    void ProcessData() override;
    void ClearDisplay() override;
    void UncheckHighSpeedEntries() override;
    void CheckPortEntry(int port) override;
    void ShowSampleRate(double perSecond) override;
    void LowBatteryOff() override;
    bool ARProbeChecked() const override;
    void SuperFast2() override;
    void DisableHiSpeed(bool enabled) override;

    // --- commands -------------------------------------------------------------------------
    void mnuFileExit_Click();
    void mnuHelpAbout_Click();
    // Ends a recording (also when the log table is full).
    void StopRecording();
    // The log indicator: "Log", "Pause", "Stop" or "Play".
    void RecordIndicator(const QString& text);
    QString ConfigPath() const { return m_configPath; }
    // A system port to read this run behind the configured port number (not stored).
    void SetRunPort(const QString& name) { m_runPort = name; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Main();
    void buildControls(); // MainWindowBuild.cpp
    void connectCommands();
    void applySettingsAsRead();
    void applyColours();
    void stopTimers();
    void everyHalfSecond();
    void restorePlacement();
    void savePlacement();
    void gatherSettings();
    void Form_Activate();

    platform::Services& m_services;
    window::MainControls m_ui;
    window::Config m_config;
    QString m_configPath;
    QString m_runPort;

    std::unique_ptr<platform::HiResTimer> m_readProbe, m_calSamPerSec, m_readBattTemp, m_upDateText,
        m_minAve, m_play;

    std::unique_ptr<graph::clsGraph> m_graph;
    std::unique_ptr<graph::ClsBarGraph> m_barGraph;
    std::unique_ptr<probe::clsProbe> m_probe;
    std::unique_ptr<measure::ClsZeta> m_zeta;
    std::unique_ptr<probe::PollingCycle> m_cycle;
    std::unique_ptr<window::BatteryTemp> m_battery;
    std::unique_ptr<window::LinkControl> m_link;
    std::unique_ptr<measure::RecordTable> m_records;
    std::unique_ptr<window::SampleProcessing> m_processing;
    std::unique_ptr<window::ProbeSetup> m_setup;
    std::unique_ptr<window::DisplayTimers> m_displayTimers;
    std::unique_ptr<window::GraphControl> m_graphControl;
    std::unique_ptr<window::BarGraphControl> m_barControl;
    std::unique_ptr<window::MainLayout> m_layout;
    std::unique_ptr<HeaderNotes> m_notes;

    bool m_startingUp = false;
    bool m_shutDown = false;
    bool m_activated = false;
};

} // namespace app
