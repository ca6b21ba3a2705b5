#pragma once
// The main window: the shell that owns the probe session, the graphs, the port, the six
// timers, the named controls and the parts of the window (window/), and that runs the start-up
// and shutdown in their fixed order.
//
// The shell only routes: the probe engine's reports go to the parts they concern (through
// SampleProcessing), and each reading goes from the engine to the readouts, the time-series
// graph, the bar graph and the log, in that order.
#include "engine/ProbeEngine.h"
#include "files/ConfigFile.h"
#include "graph/ClsBarGraph.h"
#include "graph/clsGraph.h"
#include "measure/ClsZeta.h"
#include "measure/Reading.h"
#include "measure/RecordTable.h"
#include "platform/Services.h"
#include "window/MainControls.h"
#include "window/WindowShell.h"

#include <QMainWindow>
#include <functional>
#include <memory>
#include <vector>

namespace window {
class Alarm;
class BarGraphControl;
class BatteryTemp;
class DisplayTimers;
class Exposure;
class GraphControl;
class LimitMonitor;
class LinkControl;
class MainLayout;
class Player;
class ProbeControls;
class ProbeSetup;
class Readouts;
class Recorder;
class SampleProcessing;
class frmOptions;
class StoredView;
} // namespace window

namespace files {
class HeaderNotes;
class LogJournal;
} // namespace files

namespace app {

class LogSaver;
class LogLoader;

class frmMain : public QMainWindow, public window::WindowShell {
    Q_OBJECT
public:
    static inline const QString AppTitle = window::AppTitle;

    explicit frmMain(platform::Services& services, QWidget* parent = nullptr);
    ~frmMain() override;

    // Form_Load: the start-up sequence (Main), then the placement, caption and peak captions.
    // The splash stands for its three seconds while the program runs on; the start-up goes on
    // from its timer, and what was handed to WhenStarted runs at its end.
    void Form_Load();
    bool Started() const { return m_started; }
    // Runs `then` once the start-up is over (at once when it is).
    void WhenStarted(std::function<void()> then);
    // Form_Unload: the shutdown sequence; safe to call once, and called by closing the window.
    void Form_Unload();

    // --- what the window holds (for the program's tests and benches) ----------------------
    window::MainControls& ui() { return m_ui; }
    files::Config& config() { return m_config; }
    engine::ProbeEngine& engine() { return *m_engine; }
    probe::clsProbe& probe() { return m_engine->session(); }
    measure::ClsZeta& zeta() { return m_engine->zetaSession(); }
    graph::clsGraph& graph() { return *m_graph; }
    graph::ClsBarGraph& barGraph() { return *m_barGraph; }
    probe::PollingCycle& cycle() { return m_engine->polling(); }
    measure::RecordTable& records() { return m_records; }
    files::HeaderNotes& notes() { return *m_notes; }
    const probe::ProbeIdentity& identity() const { return m_engine->identity(); }
    window::BatteryTemp& battery() { return *m_battery; }
    window::LinkControl& link() { return *m_link; }
    window::Readouts& readouts() { return *m_readouts; }
    window::SampleProcessing& processing() { return *m_processing; }
    window::ProbeSetup& setup() { return *m_setup; }
    window::ProbeControls& probeControls() { return *m_probeControls; }
    window::Alarm& alarm() { return *m_alarm; }
    window::DisplayTimers& displayTimers() { return *m_displayTimers; }
    window::GraphControl& graphControl() { return *m_graphControl; }
    window::BarGraphControl& barControl() { return *m_barControl; }
    window::MainLayout& layout() { return *m_layout; }
    window::Recorder& recorder() { return *m_recorder; }
    window::Exposure& exposure() { return *m_exposure; }
    window::LimitMonitor& limit() { return *m_limit; }
    platform::HiResTimer& HRTLimit() { return *m_limitTick; }
    window::StoredView& storedView() { return *m_storedView; }
    LogLoader& loader() { return *m_loader; }
    window::Player& player() { return *m_player; }
    // The readings of the window pass through here; more sinks may be added.
    measure::ReadingFanOut& readings() { return m_readings; }

    // --- the timers -----------------------------------------------------------------------
    platform::HiResTimer& HRTReadProbe() { return m_engine->HRTReadProbe(); }
    platform::HiResTimer& HRTCalSamPerSec() { return *m_calSamPerSec; }
    platform::HiResTimer& HRTReadBattTemp() { return *m_readBattTemp; }
    platform::HiResTimer& HRTUpDateText() { return *m_upDateText; }
    platform::HiResTimer& HRTMinAve() { return *m_minAve; }
    platform::HiResTimer& HRTPlay() { return *m_play; }

    // --- WindowShell ----------------------------------------------------------------------
    void SetStatusPanel(int panel, const QString& text) override;
    QString StatusPanel(int panel) const override;
    void FocusCommand1() override;
    bool StartingUp() const override { return m_startingUp; }
    void SetCaption(const QString& caption) override { setWindowTitle(caption); }
    bool shutDown() const { return m_shutDown; }

    // --- commands -------------------------------------------------------------------------
    void mnuFileExit_Click();
    // "&Export graph picture...": the graphs as they are drawn, as PNG; true when saved.
    bool mnuFileExport_Click();
    // "Export &Report...": the log loaded or held as a survey report (PDF); true when saved.
    bool mnuFileReport_Click();
    // "&Options..." and the toolbar's "Properties".
    void mnuViewOptions_Click();
    window::frmOptions* options() { return m_options.get(); }
    void offerRecovery();
    void mnuHelpAbout_Click();
    QString ConfigPath() const { return m_configPath; }
    // A system port to read this run behind the configured port number (not stored).
    void SetRunPort(const QString& name) { m_runPort = name; }
    // Opens a saved log into the graph, as File > Open would with that file chosen.
    void OpenLog(const QString& path);
    // Starts a log with the first reading of the probe, as the Record button would.
    void StartLogWhenRead() { m_logWhenRead = true; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Main();
    void MainAfterSplash();
    void makeParts();
    void connectCommands();
    void applySettingsAsRead();
    void applyColours();
    QString notesPath() const;
    void reloadNotes();
    void editNotes();
    void clearPeakHolds();
    void stopTimers();
    void everyHalfSecond();
    void restorePlacement();
    void savePlacement();
    void gatherSettings();
    void Form_Activate();

    platform::Services& m_services;
    window::MainControls m_ui;
    files::Config m_config;
    QString m_configPath;
    QString m_runPort;

    std::unique_ptr<platform::HiResTimer> m_calSamPerSec, m_readBattTemp, m_upDateText, m_minAve,
        m_play, m_limitTick;

    std::unique_ptr<graph::clsGraph> m_graph;
    std::unique_ptr<graph::ClsBarGraph> m_barGraph;
    measure::RecordTable m_records;
    measure::ReadingFanOut m_readings;
    std::unique_ptr<engine::ProbeEngine> m_engine;

    std::unique_ptr<window::DisplayTimers> m_displayTimers;
    std::unique_ptr<window::BatteryTemp> m_battery;
    std::unique_ptr<window::BarGraphControl> m_barControl;
    std::unique_ptr<window::GraphControl> m_graphControl;
    std::unique_ptr<window::Readouts> m_readouts;
    std::unique_ptr<window::StoredView> m_storedView;
    std::unique_ptr<window::Recorder> m_recorder;
    std::unique_ptr<window::Player> m_player;
    std::unique_ptr<window::Exposure> m_exposure;
    std::unique_ptr<window::LimitMonitor> m_limit;
    std::unique_ptr<window::LinkControl> m_link;
    std::unique_ptr<window::ProbeControls> m_probeControls;
    std::unique_ptr<window::Alarm> m_alarm;
    std::unique_ptr<window::ProbeSetup> m_setup;
    std::unique_ptr<window::MainLayout> m_layout;
    std::unique_ptr<window::SampleProcessing> m_processing;
    std::unique_ptr<files::HeaderNotes> m_notes;
    std::unique_ptr<LogSaver> m_saver;
    std::unique_ptr<LogLoader> m_loader;
    std::unique_ptr<window::frmOptions> m_options;
    std::unique_ptr<files::LogJournal> m_journal;

    bool m_startingUp = false;
    bool m_started = false;
    std::unique_ptr<QWidget> m_splash;
    std::unique_ptr<platform::HiResTimer> m_splashTimer;
    std::vector<std::function<void()>> m_whenStarted;
    bool m_logWhenRead = false;
    bool m_shutDown = false;
    bool m_activated = false;
};

} // namespace app
