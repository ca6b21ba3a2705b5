#include "app/frmMain.h"

#include "app/LogLoading.h"
#include "app/LogSaving.h"
#include "app/frmAbout.h"
#include "app/frmSplash.h"
#include "files/HeaderNotes.h"
#include "files/LogJournal.h"
#include "window/Alarm.h"
#include "window/BarGraphControl.h"
#include "window/BatteryTemp.h"
#include "window/DisplayTimers.h"
#include "window/Exposure.h"
#include "window/GraphControl.h"
#include "window/LimitMonitor.h"
#include "window/LinkControl.h"
#include "window/MainLayout.h"
#include "window/Player.h"
#include "window/ProbeControls.h"
#include "window/ProbeSetup.h"
#include "window/Readouts.h"
#include "window/Recorder.h"
#include "window/SampleProcessing.h"
#include "window/StoredView.h"
#include "window/frmOptions.h"
#include "window/frmPort.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QScreen>

namespace app {

namespace {
const QString SettingsSection = QStringLiteral("Settings");
constexpr double DefaultWidth = 11535, DefaultHeight = 7590;
// The smallest window in which every readout, the lists strip and the graph stay whole.
constexpr double MinimumWidth = 11000, MinimumHeight = 6300;

QString numberText(double value) {
    return QString::number(double(float(value)), 'g', 7);
}
} // namespace

frmMain::frmMain(platform::Services& services, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_ui(window::BuildMainControls(*this)),
      m_config(files::DocumentsFolder()) {
    m_configPath = QDir(services.dataFolder).filePath(QStringLiteral("Varnex.cfg"));

    m_calSamPerSec = services.makeTimer();
    m_calSamPerSec->setInterval(500);
    m_calSamPerSec->setOnTimer([this] { everyHalfSecond(); });
    m_readBattTemp = services.makeTimer();
    m_readBattTemp->setInterval(60000);
    m_upDateText = services.makeTimer();
    m_minAve = services.makeTimer();
    m_play = services.makeTimer();
    m_limitTick = services.makeTimer();

    m_graph = std::make_unique<graph::clsGraph>();
    m_barGraph = std::make_unique<graph::ClsBarGraph>();
    m_engine = std::make_unique<engine::ProbeEngine>(
        services.port, services.clock, services.boxes, [&services] { return services.makeTimer(); },
        m_readings);
    makeParts();
    m_notes = std::make_unique<files::HeaderNotes>();
    m_journal = std::make_unique<files::LogJournal>(m_services.journalFolder, m_services.clock);
    m_records.SetJournal(m_journal.get());
    m_saver = std::make_unique<LogSaver>(m_records, m_config, *m_notes, *this, m_services.dialogs,
                                         m_services.busy, m_services.boxes, m_services.clock);
    m_loader = std::make_unique<LogLoader>(
        LogLoader::Controls{m_ui.frame.mnuFileOpen, m_ui.frame.tbOpen, m_ui.graphs.mnuProbePlay,
                            m_ui.graphs.mnuViewScatterGraph, m_ui.record.mnuFileSaveAs,
                            m_ui.record.tbSave, m_ui.graphs.Picture1, m_ui.frame.LstHeader},
        m_records, *m_graph, *m_graphControl, *m_storedView, m_config, *m_notes, *this,
        m_services.dialogs, m_services.busy, m_services.boxes,
        LogLoader::Hooks{[this] { return m_saver->MayDiscardLog(); },
                         [this] { m_player->StopPlayback(); }});

    m_layout->PlaceControls();
    connectCommands();
    centralWidget()->installEventFilter(this);

    setWindowTitle(AppTitle);
    setMinimumSize(platform::ToPixels(this, MinimumWidth), platform::ToPixels(this, MinimumHeight));
    resize(platform::ToPixels(this, DefaultWidth), platform::ToPixels(this, DefaultHeight));
}

// The parts, each with the few things it works on; a part is made after the parts it calls.
void frmMain::makeParts() {
    using namespace window;
    platform::Services& s = m_services;
    m_displayTimers = std::make_unique<DisplayTimers>(*m_upDateText, s.boxes);
    m_battery = std::make_unique<BatteryTemp>(m_ui.battery, *m_engine, *m_readBattTemp);
    m_barControl = std::make_unique<BarGraphControl>(
        *m_barGraph, m_ui.graphs.Picture3, m_records,
        [this] { return m_graphControl->ScaleInForce(); }, [this] { clearPeakHolds(); });
    m_graphControl = std::make_unique<GraphControl>(m_ui.graphs, *m_graph, m_config, *m_engine,
                                                    *m_barControl, s.boxes, *this);
    m_readouts = std::make_unique<Readouts>(m_ui.readouts, m_engine->probe(), *m_displayTimers,
                                            *m_barControl, *m_graph, s.clock);
    m_storedView = std::make_unique<StoredView>(m_ui.graphs, m_ui.record.LabRecordCnt, *m_graph,
                                                *m_graphControl, m_records, *this, s.busy);
    m_recorder = std::make_unique<Recorder>(
        m_ui.record,
        Recorder::HeldBack{m_ui.graphs.tbZoomIn, m_ui.graphs.tbZoomOut,
                           m_ui.probe.mnuProbeUnitsZeta, m_ui.probe.mnuProbeUnitsSigma,
                           m_ui.probe.mnuProbeZero, m_ui.probe.mnuProbeClearPeak,
                           m_ui.battery.mnuProbeUpdateProbeBatt, m_ui.exposure.mnuViewExposure,
                           m_ui.readouts.LabPeak},
        m_records, *m_engine, *m_storedView, *this,
        Recorder::Hooks{
            [this] {
                m_barGraph->ClearPeak();
                clearPeakHolds();
            },
            [this](bool resume) {
                m_readBattTemp->setEnabled(resume && m_battery->BattUpdateMinutes() != 0);
            },
            [this] { return m_setup->ZeroAvailable(); },
            [this](bool on) {
                if (on)
                    m_exposure->StartWindow();
                else
                    m_exposure->Stop();
            },
            [this] { return m_saver->MayDiscardLog(); }, [this] { m_player->StopPlayback(); },
            [this] { return m_layout->ExposureShown(); }, [this] { m_limit->LogStarted(); }});
    m_player = std::make_unique<Player>(
        Player::Controls{m_ui.graphs.mnuProbePlay, m_ui.link.CmbSampleRate, m_ui.record.tbRecord,
                         m_ui.graphs.tbZoomIn, m_ui.graphs.tbZoomOut, m_ui.probe.LabUnits},
        m_readings, *m_engine,
        Player::Parts{*m_graphControl, *m_barControl, *m_recorder, m_records},
        Player::Timers{*m_play}, s.boxes);
    m_exposure =
        std::make_unique<Exposure>(m_ui.exposure, *m_minAve, s.clock, s.beeper, m_records,
                                   m_engine->cycle(), m_config, *m_displayTimers, *m_recorder);
    m_limit = std::make_unique<LimitMonitor>(
        m_ui.limit, *m_limitTick, s.clock, s.beeper, *this, m_records,
        [this](bool shown) { m_layout->ShowLimitPanel(shown); });
    m_link = std::make_unique<LinkControl>(m_ui.link, *m_engine, m_config, *m_play, *m_battery,
                                           *this, [this] { m_setup->SetUpZeta(); });
    m_probeControls = std::make_unique<ProbeControls>(
        m_ui.probe, m_ui.readouts, *m_engine, m_records, m_config, *m_minAve, *this,
        ProbeControls::Parts{*m_graphControl, *m_barControl}, [this] { clearPeakHolds(); });
    m_alarm = std::make_unique<Alarm>(Alarm::Controls{m_ui.probe.mnuprobeAlarm,
                                                      m_ui.probe.mnuprobeAlarmSet,
                                                      m_ui.readouts.LabXYZField},
                                      m_config, *m_graph, *m_graphControl, s.dialogs, s.boxes,
                                      [this] { m_services.beeper.Beep(); });
    m_setup = std::make_unique<ProbeSetup>(
        m_ui.probe, *m_engine, m_config,
        ProbeSetup::Parts{*m_readouts, *m_battery, *m_link, *m_graphControl}, m_records, *this);
    m_layout = std::make_unique<MainLayout>(
        m_ui, *this, *m_graph,
        MainLayout::Parts{*m_readouts, *m_setup, *m_link, *m_graphControl, *m_barControl},
        m_records);
    // Every reading goes to the readouts, the time-series graph, the bar graph, the log and the
    // moving average.
    m_readings.Add(*m_readouts);
    m_readings.Add(*m_graphControl);
    m_readings.Add(*m_barControl);
    m_readings.Add(*m_recorder);
    m_readings.Add(*m_exposure);
    m_readings.Add(*m_limit);
    m_processing = std::make_unique<SampleProcessing>(
        *m_engine,
        SampleProcessing::Parts{*m_readouts, *m_battery, *m_setup, *m_graphControl, *m_barControl,
                                *m_link, *m_layout, *m_probeControls},
        *this, s.boxes, [this](int) {
            // The log starts after the first whole sample, when the probe has told its units.
            if (!m_logWhenRead) return;
            m_logWhenRead = false;
            if (m_records.Recording() == measure::RecordTable::Idle) m_recorder->ToggleRecordOn();
        });
    m_engine->SetEvents(*m_processing);
    m_limit->SetSettings(files::ReadLimitSettings(s.settings, AppTitle));
}

void frmMain::clearPeakHolds() {
    m_engine->ClearPeaks();
    if (m_player) m_player->ClearPlayPeakHold();
}

void frmMain::stopTimers() {
    // The window goes: what is still on the line is not read into parts that are closing.
    m_engine->HRTReadProbe().setEnabled(false);
    if (m_splashTimer) m_splashTimer->setEnabled(false);
    for (platform::HiResTimer* t : {m_calSamPerSec.get(), m_readBattTemp.get(), m_upDateText.get(),
                                    m_minAve.get(), m_play.get(), m_limitTick.get()})
        t->setEnabled(false);
}

frmMain::~frmMain() {
    // Timers and the port must not call into parts that are going away.
    stopTimers();
}

void frmMain::connectCommands() {
    const window::FrameControls& f = m_ui.frame;
    connect(f.mnuFileExit, &QAction::triggered, this, [this] { mnuFileExit_Click(); });
    connect(f.mnuHelpAbout, &QAction::triggered, this, [this] { mnuHelpAbout_Click(); });
    connect(f.mnuFileExport, &QAction::triggered, this, [this] { mnuFileExport_Click(); });
    connect(f.mnuFileReport, &QAction::triggered, this, [this] { mnuFileReport_Click(); });
    for (QAction* options : {f.mnuViewOptions, f.tbProperties})
        connect(options, &QAction::triggered, this, [this] { mnuViewOptions_Click(); });
    for (QAction* saveAs : {m_ui.record.mnuFileSaveAs, m_ui.record.tbSave})
        connect(saveAs, &QAction::triggered, this, [this] { m_saver->mnuFileSaveAs(); });
    connect(f.mnuViewHeaderNotes, &QAction::triggered, this, [this] {
        // The action has flipped its own tick already.
        m_ui.frame.LstHeader->setVisible(!m_ui.frame.LstHeader->isVisible());
    });
}

// --- start-up ----------------------------------------------------------------------------

void frmMain::Form_Load() {
    Main();
}

void frmMain::WhenStarted(std::function<void()> then) {
    if (m_started)
        then();
    else
        m_whenStarted.push_back(std::move(then));
}

void frmMain::Main() {
    m_startingUp = true;
    m_layout->SkipNextResize();
    m_graph->SetOutputObj(m_ui.graphs.Picture1);
    m_barGraph->SetOutputObj(m_ui.graphs.Picture3);

    m_config = files::Config(files::DocumentsFolder());
    m_config.ZetaUnitsCode = m_engine->zeta().Units();
    const files::LoadResult loaded = files::LoadCfg(m_configPath, m_config);
    m_engine->SetZetaUnitsCode(m_config.ZetaUnitsCode);
    applySettingsAsRead();
    // A port named for this run needs no choosing.
    if (!loaded.complete && m_runPort.isEmpty()) {
        window::frmPort dialog(
            m_services.ports, m_config.CommPortNo, [this](int port) { m_config.CommPortNo = port; },
            this);
        m_services.modal.run(dialog);
    }
    if (!m_runPort.isEmpty()) m_services.ports.setRunOverride(m_config.CommPortNo, m_runPort);

    // The splash stands for three seconds; the start-up goes on from its timer.
    m_splash = std::make_unique<frmSplash>();
    m_splash->show();
    m_splashTimer = m_services.makeTimer();
    m_splashTimer->setInterval(3000);
    m_splashTimer->setOnTimer([this] {
        m_splashTimer->setEnabled(false);
        m_splash->close();
        m_splash.reset();
        MainAfterSplash();
    });
    m_splashTimer->setEnabled(true);
}

void frmMain::MainAfterSplash() {
    m_graphControl->SetUpGraphCls();
    applyColours();
    m_ui.probe.mnuprobeAlarmSet->setText(QStringLiteral("Set Alarm Value ...       Value = ") +
                                         numberText(m_config.AlarmValue));

    m_link->SetUpBaudMenu(m_config.BaudRate);
    m_engine->SetAveraging(m_config.Averaging);
    m_engine->SetPreferredSpeed(m_config.BaudRate);
    m_engine->SetMultiplexPreferred(m_config.Multiplex);
    m_engine->BeginSearch();
    m_ui.battery.mnuProbeTempCels->setChecked(m_engine->probe().UseCelsiusTemp() == 1);
    m_ui.battery.mnuProbeTempFahr->setChecked(m_engine->probe().UseCelsiusTemp() != 1);

    m_link->SetSampleRate(m_config.SampleRate);
    m_battery->SetUpReadBattTemp(m_config.BattUpdateMinutes);

    m_graphControl->FillLists();
    m_link->FillSampleRates(true);

    m_notes->LoadNoteQuery(QDir(m_services.dataFolder).filePath(files::HeaderNotes::FileName));

    m_readouts->ChanColorIndicator();
    m_engine->OpenPort(m_config.CommPortNo);
    m_config.TextUpdatePerSecond =
        m_displayTimers->SetTextUpdateTimer(m_config.TextUpdatePerSecond);
    m_displayTimers->SetMinuteAverTime(m_config.Exposure);
    m_graphControl->SetPlotComp(m_config.PlotComposite);
    m_graphControl->InitSweep();
    m_layout->ResetLayoutShown();
    m_processing->ClearDisplay();

    for (QAction* off : {m_ui.record.tbSave, m_ui.graphs.tbZoomIn, m_ui.graphs.tbZoomOut,
                         m_ui.record.tbRecordPause, m_ui.record.mnuFileSaveAs})
        off->setEnabled(false);
    offerRecovery();

    m_engine->StartPolling();
    m_calSamPerSec->setEnabled(true);
    m_startingUp = false;

    restorePlacement();
    setWindowTitle(AppTitle);
    m_readouts->ResetPeaks();
    m_started = true;
    for (const std::function<void()>& then : std::exchange(m_whenStarted, {}))
        then();
}

void frmMain::applySettingsAsRead() {
    const files::Config& c = m_config;
    m_graph->SetDisHorLines(c.HorizontalLinesOn);
    m_layout->ToggleExposure(c.ExposureFrame);
    m_layout->ShowStatusBar(c.StatusBar);
    m_engine->SetAutoRange(c.AutoRange == 1);
    m_graph->SetBackGround(platform::Colour(c.GraphBackGroundColor));
    m_graph->SetGridLineColor(platform::Colour(c.GraphGridLineColor));
    m_graph->SetChanLineColour(graph::clsGraph::TraceTotal, platform::Colour(c.GraphXYZaxisColor));
    m_graph->SetChanLineColour(graph::clsGraph::TraceX, platform::Colour(c.GraphXaxisColor));
    m_graph->SetChanLineColour(graph::clsGraph::TraceY, platform::Colour(c.GraphYaxisColor));
    m_graph->SetChanLineColour(graph::clsGraph::TraceZ, platform::Colour(c.GraphZaxisColor));
    m_engine->SetUseCelsius(c.TemperatureCelsius == 1);
    m_alarm->ShowState();
    m_graph->SetMark1(c.AlarmValue);
    m_ui.graphs.Picture1->SetForeColor(platform::Colour(c.GraphTextColor));
    m_layout->ChangeTextColor(platform::Colour(c.GraphTextColor));
    m_graph->SetLogScaleMinOn(c.LogScaleMinDivOn);
    m_graph->SetMinLineColor(platform::Colour(c.MinDivColor));
}

void frmMain::applyColours() {
    const files::Config& c = m_config;
    const auto box = platform::Colour(c.BoxColor);
    const auto text = platform::Colour(c.GraphTextColor);
    m_ui.graphs.Picture1->SetBackColor(box);
    m_ui.graphs.Picture1->SetForeColor(text);
    m_ui.graphs.Picture3->SetBackColor(box);
    m_ui.graphs.Picture3->SetForeColor(text);
    // The bars take the traces' colours, or the text colour.
    const bool match = c.MatchBarGraphToScatt == 1;
    auto barColour = [&](int trace) { return match ? m_graph->GetChanLineColour(trace) : text; };
    m_barGraph->SetBarXYZColor(barColour(graph::clsGraph::TraceTotal));
    m_barGraph->SetBarXColor(barColour(graph::clsGraph::TraceX));
    m_barGraph->SetBarYColor(barColour(graph::clsGraph::TraceY));
    m_barGraph->SetBarZColor(barColour(graph::clsGraph::TraceZ));
    const auto form = platform::Colour(c.FormBackColor);
    platform::SetBackColor(centralWidget(), form);
    for (int i = 1; i <= 4; ++i) {
        m_ui.frame.ShapeFormColor[i]->setFillColor(form);
        m_ui.frame.ShapeFormColor[i]->setBorderColor(
            platform::FromQColor(platform::ToQColor(form).darker(118)));
    }
    for (platform::Shape* s : {m_ui.frame.ShaMain1, m_ui.readouts.ShaMain2, m_ui.frame.ShaPeak,
                               m_ui.exposure.ShaExposure, m_ui.limit.ShaLimit})
        s->setFillColor(box);
    // Captions on the form itself stay readable on light and dark form colours alike.
    const bool darkForm = platform::ToQColor(form).lightnessF() < 0.5;
    for (QLabel* l : std::initializer_list<QLabel*>{
             m_ui.frame.LabVerticalScaleLab, m_ui.frame.LabSamPerDivLab,
             m_ui.frame.LabSampleRateLab, m_ui.record.LabRecordCntLab, m_ui.record.LabRecordCnt})
        platform::SetForeColor(l, darkForm ? 0xFFFFFF : 0x202020);
}

void frmMain::restorePlacement() {
    platform::SettingsStore& store = m_services.settings;
    auto read = [&](const QString& key, double fallback) {
        bool ok = false;
        const double value =
            store.GetSetting(AppTitle, SettingsSection, key, numberText(fallback)).toDouble(&ok);
        return ok ? value : fallback;
    };
    const double left = read(QStringLiteral("MainLeft"), 1);
    const double top = read(QStringLiteral("MainTop"), 1);
    const double width = read(QStringLiteral("MainWidth"), DefaultWidth);
    const double height = read(QStringLiteral("MainHeight"), DefaultHeight);
    const int state = int(read(QStringLiteral("WindowState"), 0));
    move(platform::ToPixels(this, left), platform::ToPixels(this, top));
    resize(std::max(200, platform::ToPixels(this, width)),
           std::max(150, platform::ToPixels(this, height)));
    // The resize that placing the window causes is the one the layout skips; the window lays
    // itself out when it is shown.
    m_layout->ResizeForm();
    if (state == 2)
        setWindowState(Qt::WindowMaximized);
    else if (state == 1)
        setWindowState(Qt::WindowMinimized);
}

void frmMain::savePlacement() {
    platform::SettingsStore& store = m_services.settings;
    const Qt::WindowStates state = windowState();
    if (state & Qt::WindowMinimized) return;
    if (state & Qt::WindowMaximized) {
        store.SaveSetting(AppTitle, SettingsSection, QStringLiteral("WindowState"),
                          QStringLiteral("2"));
        return;
    }
    store.SaveSetting(AppTitle, SettingsSection, QStringLiteral("MainLeft"),
                      numberText(platform::ToTwips(this, x())));
    store.SaveSetting(AppTitle, SettingsSection, QStringLiteral("MainTop"),
                      numberText(platform::ToTwips(this, y())));
    store.SaveSetting(AppTitle, SettingsSection, QStringLiteral("MainWidth"),
                      numberText(platform::ToTwips(this, width())));
    store.SaveSetting(AppTitle, SettingsSection, QStringLiteral("MainHeight"),
                      numberText(platform::ToTwips(this, height())));
    store.SaveSetting(AppTitle, SettingsSection, QStringLiteral("WindowState"),
                      QStringLiteral("0"));
}

// A log that a crash or a power cut left unsaved is offered back.
void frmMain::OpenLog(const QString& path) {
    if (!m_saver->MayDiscardLog()) return;
    m_config.Path = QFileInfo(path).absolutePath();
    m_loader->LoadData(path);
}

void frmMain::offerRecovery() {
    const files::LogJournal::Found found = m_journal->LeftBehind();
    if (found.rows == 0) {
        m_journal->Remove();
        return;
    }
    if (!m_services.boxes.askYesNo(
            platform::MsgIcon::Question,
            files::LogJournal::RecoverText.arg(found.rows).arg(found.startedAt))) {
        m_journal->Remove();
        return;
    }
    m_journal->Recover(m_records);
    m_recorder->ShowRecordCount();
    m_ui.record.mnuFileSaveAs->setEnabled(true);
    m_ui.record.tbSave->setEnabled(true);
}

// --- shutdown ----------------------------------------------------------------------------

void frmMain::Form_Unload() {
    if (m_shutDown) return;
    m_shutDown = true;
    // Other windows of the program, the most recent first.
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (auto it = windows.crbegin(); it != windows.crend(); ++it) {
        if (*it != this && (*it)->isVisible()) (*it)->close();
    }
    stopTimers();
    if (m_services.port.portOpen()) m_services.port.setPortOpen(false);
    gatherSettings();
    QString error;
    if (!files::SaveCfg(m_configPath, m_config, &error))
        qWarning("The settings could not be saved: %s", qPrintable(error));
    savePlacement();
    m_graph->SetOutputObj(nullptr);
    m_barGraph->SetOutputObj(nullptr);
    m_notes->SaveNoteQuery(QDir(m_services.dataFolder).filePath(files::HeaderNotes::FileName));
}

void frmMain::gatherSettings() {
    files::Config& c = m_config;
    c.HorizontalLinesOn = m_graph->DisHorLines();
    c.ExposureFrame = m_layout->ExposureShown();
    c.StatusBar = m_layout->StatusBarShown();
    c.AutoRange = m_engine->probe().AutoRangeOn();
    c.GraphBackGroundColor = qint32(m_graph->BackGround());
    c.GraphGridLineColor = qint32(m_graph->GridLineColor());
    c.GraphXYZaxisColor = qint32(m_graph->GetChanLineColour(graph::clsGraph::TraceTotal));
    c.GraphXaxisColor = qint32(m_graph->GetChanLineColour(graph::clsGraph::TraceX));
    c.GraphYaxisColor = qint32(m_graph->GetChanLineColour(graph::clsGraph::TraceY));
    c.GraphZaxisColor = qint32(m_graph->GetChanLineColour(graph::clsGraph::TraceZ));
    c.TemperatureCelsius = m_engine->probe().UseCelsiusTemp();
    c.LogScaleMinDivOn = m_graph->LogScaleMinOn();
    c.MinDivColor = qint32(m_graph->MinLineColor());
    c.CommPortNo = m_engine->cycle().CommPortNo();
    c.BattUpdateMinutes = m_battery->BattUpdateMinutes();
}

void frmMain::mnuFileExit_Click() {
    close();
}

void frmMain::closeEvent(QCloseEvent* event) {
    // A log not saved is offered first; Cancel keeps the window open.
    if (!m_shutDown && !m_saver->MayDiscardLog()) {
        event->ignore();
        return;
    }
    Form_Unload();
    event->accept();
}

// --- window events -----------------------------------------------------------------------

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == centralWidget() && event->type() == QEvent::Resize && !m_shutDown)
        m_layout->ResizeForm();
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) Form_Activate();
}

void frmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!m_activated) Form_Activate();
}

void frmMain::Form_Activate() {
    m_activated = true;
    const window::ExposureControls& e = m_ui.exposure;
    if (!m_layout->ExposureShown() ||
        m_records.Recording() != measure::RecordTable::ExposureLogging)
        e.LabMinAver->setText(m_config.Exposure);
    m_ui.frame.Command1->setFocus();
}

void frmMain::FocusCommand1() {
    if (!m_startingUp) m_ui.frame.Command1->setFocus();
}

void frmMain::SetStatusPanel(int panel, const QString& text) {
    if (panel < 1 || panel > 4) return;
    m_ui.frame.sbPanel[std::size_t(panel)]->setText(text);
}

QString frmMain::StatusPanel(int panel) const {
    return panel >= 1 && panel <= 4 ? m_ui.frame.sbPanel[std::size_t(panel)]->text() : QString();
}

void frmMain::everyHalfSecond() {
    m_engine->HalfSecondTick();
    const probe::clsProbe& p = m_engine->probe();
    m_alarm->CheckAlarm(p.TypeZeta() == probe::StateZeta ? m_engine->zeta().XYZ() : p.XYZAxis(),
                        p.LostComm() == 1);
    m_battery->BlinkTick();
    m_recorder->ShowRecordCount();
    const QDateTime now = m_services.clock.now();
    SetStatusPanel(3, QLocale().toString(now.date(), QLocale::ShortFormat));
    SetStatusPanel(4, QLocale().toString(now.time(), QLocale::ShortFormat));
}

void frmMain::mnuHelpAbout_Click() {
    frmAbout about(AppTitle,
                   {m_engine->probe().GetModel(), identity().SoftRev(), identity().CalDate(),
                    identity().SerialNo()},
                   this);
    m_services.modal.run(about);
}

} // namespace app
