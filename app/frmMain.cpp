#include "app/frmMain.h"

#include "app/HeaderNotes.h"
#include "app/frmAbout.h"
#include "app/frmSplash.h"
#include "measure/ClsZeta.h"
#include "measure/RecordTable.h"
#include "window/BarGraphControl.h"
#include "window/BatteryTemp.h"
#include "window/DisplayTimers.h"
#include "window/GraphControl.h"
#include "window/LinkControl.h"
#include "window/MainLayout.h"
#include "window/ProbeSetup.h"
#include "window/SampleProcessing.h"
#include "window/frmPort.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QScreen>

namespace app {

namespace {
const QString SettingsSection = QStringLiteral("Settings");
constexpr double DefaultWidth = 11535, DefaultHeight = 7590;

QString numberText(double value) {
    return QString::number(double(float(value)), 'g', 7);
}
} // namespace

frmMain::frmMain(platform::Services& services, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_config(services.dataFolder) {
    buildControls();
    m_configPath = QDir(services.dataFolder).filePath(QStringLiteral("Varnex.cfg"));

    m_readProbe = services.makeTimer();
    m_readProbe->setInterval(66);
    m_calSamPerSec = services.makeTimer();
    m_calSamPerSec->setInterval(500);
    m_calSamPerSec->setOnTimer([this] { everyHalfSecond(); });
    m_readBattTemp = services.makeTimer();
    m_readBattTemp->setInterval(60000);
    m_upDateText = services.makeTimer();
    m_minAve = services.makeTimer();
    m_minAve->setInterval(1000);
    m_play = services.makeTimer();

    m_zeta = std::make_unique<measure::ClsZeta>(*this);
    m_graph = std::make_unique<graph::clsGraph>();
    m_barGraph = std::make_unique<graph::ClsBarGraph>();
    m_probe = std::make_unique<probe::clsProbe>(*this);
    m_cycle = std::make_unique<probe::PollingCycle>(*m_probe, services.port, *m_readProbe,
                                                    services.boxes, *this);
    m_battery = std::make_unique<window::BatteryTemp>(*this);
    m_link = std::make_unique<window::LinkControl>(*this);
    m_records = std::make_unique<measure::RecordTable>();
    m_processing = std::make_unique<window::SampleProcessing>(*this);
    m_setup = std::make_unique<window::ProbeSetup>(*this);
    m_displayTimers = std::make_unique<window::DisplayTimers>(*this);
    m_graphControl = std::make_unique<window::GraphControl>(*this);
    m_barControl = std::make_unique<window::BarGraphControl>(*this);
    m_layout = std::make_unique<window::MainLayout>(*this);
    m_notes = std::make_unique<HeaderNotes>();

    m_layout->PlaceControls();
    connectCommands();
    m_battery->connectControls();
    m_link->connectControls();
    m_setup->connectControls();
    m_displayTimers->connectControls();
    m_graphControl->connectControls();
    m_barControl->connectControls();
    m_layout->connectControls();
    centralWidget()->installEventFilter(this);

    setWindowTitle(AppTitle);
    resize(platform::ToPixels(this, DefaultWidth), platform::ToPixels(this, DefaultHeight));
}

void frmMain::stopTimers() {
    for (platform::HiResTimer* t : {m_readProbe.get(), m_calSamPerSec.get(), m_readBattTemp.get(),
                                    m_upDateText.get(), m_minAve.get(), m_play.get()})
        t->setEnabled(false);
}

frmMain::~frmMain() {
    // Timers and the port must not call into parts that are going away.
    stopTimers();
    m_services.port.setOnComm({});
}

void frmMain::connectCommands() {
    connect(m_ui.mnuFileExit, &QAction::triggered, this, [this] { mnuFileExit_Click(); });
    connect(m_ui.mnuHelpAbout, &QAction::triggered, this, [this] { mnuHelpAbout_Click(); });
    connect(m_ui.mnuViewHeaderNotes, &QAction::triggered, this, [this] {
        // The action has flipped its own tick already.
        m_ui.LstHeader->setVisible(!m_ui.LstHeader->isVisible());
    });
}

// --- start-up ----------------------------------------------------------------------------

void frmMain::Form_Load() {
    Main();
    restorePlacement();
    setWindowTitle(AppTitle);
    for (QLabel* peak : {m_ui.LabMaxX, m_ui.LabMaxY, m_ui.LabMaxZ, m_ui.LabMaxXYZ})
        peak->setText(QStringLiteral("0.0"));
}

void frmMain::Main() {
    m_startingUp = true;
    m_layout->SkipNextResize = 1;
    m_graph->SetOutputObj(m_ui.Picture1);
    m_barGraph->SetOutputObj(m_ui.Picture3);

    m_config = Config(m_services.dataFolder);
    m_config.ZetaUnitsCode = m_zeta->Units();
    const LoadResult loaded = LoadCfg(m_configPath, m_config);
    m_zeta->SetUnits(m_config.ZetaUnitsCode);
    applySettingsAsRead();
    // A port named for this run needs no choosing.
    if (!loaded.complete && m_runPort.isEmpty()) {
        window::frmPort dialog(
            m_services.ports, m_config.CommPortNo, [this](int port) { m_config.CommPortNo = port; },
            this);
        m_services.modal.run(dialog);
    }
    if (!m_runPort.isEmpty()) m_services.ports.setRunOverride(m_config.CommPortNo, m_runPort);

    {
        frmSplash splash;
        splash.show();
        Delay(3000);
        splash.close();
    }

    m_graphControl->SetUpGraphCls();
    applyColours();
    m_ui.mnuprobeAlarmSet->setText(QStringLiteral("Set Alarm Value ...       Value = ") +
                                   numberText(m_config.AlarmValue));

    m_link->SetUpBaudMenu(m_config.BaudRate);
    m_zeta->SetAveraging(m_config.Averaging);
    m_probe->SetAverage(m_config.Averaging);
    m_probe->SetBaudRatePerfered(m_config.BaudRate);
    m_probe->SetMultiplexPrefered(m_config.Multiplex ? 1 : 0);
    m_probe->SetTypeZeta(probe::StateIdentifying);
    m_probe->SetLostComm(1);
    m_ui.mnuProbeTempCels->setChecked(m_probe->UseCelsiusTemp() == 1);
    m_ui.mnuProbeTempFahr->setChecked(m_probe->UseCelsiusTemp() != 1);

    m_link->SetSampleRate(m_config.SampleRate);
    m_battery->SetUpReadBattTemp(m_config.BattUpdateMinutes);

    m_graphControl->FillLists();
    m_setup->FillSampleRates(true);

    m_notes->LoadNoteQuery(QDir(m_services.dataFolder).filePath(HeaderNotes::FileName));

    m_processing->ChanColorIndicator();
    m_cycle->OpenCommPort(m_config.CommPortNo);
    m_config.TextUpdatePerSecond =
        m_displayTimers->SetTextUpdateTimer(m_config.TextUpdatePerSecond);
    m_displayTimers->SetMinuteAverTime();
    m_graphControl->SetPlotComp(m_config.PlotComposite);
    // The first tick sends at once. At the sample rate "Max" a tick sends only when no reply
    // is marked handled, so the mark would keep the first command from ever going out.
    m_cycle->RespReceived = m_cycle->AutoNext ? 0 : 1;
    m_graphControl->SweepLength = int(m_graph->ReTraceCnt());
    m_layout->ZetaLayoutShown = 2;
    m_graphControl->ScatterGraphOn = true;
    m_graphControl->BarGraphOn = true;
    m_processing->ClearDisplay();

    for (QAction* off :
         {m_ui.tbSave, m_ui.tbZoomIn, m_ui.tbZoomOut, m_ui.tbRecordPause, m_ui.mnuFileSaveAs})
        off->setEnabled(false);

    if (m_cycle->PortOpened == 1) m_readProbe->setEnabled(true);
    m_calSamPerSec->setEnabled(true);
    m_startingUp = false;
}

void frmMain::applySettingsAsRead() {
    const Config& c = m_config;
    m_graph->SetDisHorLines(c.HorizontalLinesOn);
    m_ui.mnuViewExposure->setChecked(c.ExposureFrame);
    m_layout->ToggleExposure(c.ExposureFrame ? QStringLiteral("True") : QStringLiteral("False"));
    m_ui.mnuViewStatusBar->setChecked(c.StatusBar);
    m_ui.sbStatusBar->setVisible(c.StatusBar);
    m_ui.mnuProbe3AxisData->setChecked(c.Multiplex);
    m_probe->SetAutoRangeOn(c.AutoRange);
    m_ui.mnuProbeRange[0]->setChecked(c.AutoRange == 1);
    m_graph->SetBackGround(platform::Colour(c.GraphBackGroundColor));
    m_graph->SetGridLineColor(platform::Colour(c.GraphGridLineColor));
    m_graph->SetChanLineColour(2, platform::Colour(c.GraphXYZaxisColor));
    m_graph->SetChanLineColour(3, platform::Colour(c.GraphXaxisColor));
    m_graph->SetChanLineColour(4, platform::Colour(c.GraphYaxisColor));
    m_graph->SetChanLineColour(5, platform::Colour(c.GraphZaxisColor));
    m_probe->SetUseCelsiusTemp(c.TemperatureCelsius);
    m_ui.mnuprobeAlarm->setChecked(c.AlarmEnable != 0);
    m_graph->SetMark1(c.AlarmValue);
    m_ui.Picture1->SetForeColor(platform::Colour(c.GraphTextColor));
    m_layout->ChangeTextColor(platform::Colour(c.GraphTextColor));
    m_graph->SetLogScaleMinOn(c.LogScaleMinDivOn);
    m_graph->SetMinLineColor(platform::Colour(c.MinDivColor));
}

void frmMain::applyColours() {
    const Config& c = m_config;
    const auto box = platform::Colour(c.BoxColor);
    const auto text = platform::Colour(c.GraphTextColor);
    m_ui.Picture1->SetBackColor(box);
    m_ui.Picture1->SetForeColor(text);
    m_ui.Picture3->SetBackColor(box);
    m_ui.Picture3->SetForeColor(text);
    // The bars take the traces' colours (total, X, Y, Z are traces 2 to 5), or the text colour.
    const bool match = c.MatchBarGraphToScatt == 1;
    auto barColour = [&](int trace) { return match ? m_graph->GetChanLineColour(trace) : text; };
    m_barGraph->SetBarXYZColor(barColour(2));
    m_barGraph->SetBarXColor(barColour(3));
    m_barGraph->SetBarYColor(barColour(4));
    m_barGraph->SetBarZColor(barColour(5));
    const auto form = platform::Colour(c.FormBackColor);
    platform::SetBackColor(centralWidget(), form);
    for (int i = 1; i <= 4; ++i) {
        m_ui.ShapeFormColor[i]->setFillColor(form);
        m_ui.ShapeFormColor[i]->setBorderColor(
            platform::FromQColor(platform::ToQColor(form).darker(118)));
    }
    for (platform::Shape* s : {m_ui.ShaMain[1], m_ui.ShaMain[2], m_ui.ShaPeak, m_ui.ShaExposure})
        s->setFillColor(box);
    // Captions on the form itself stay readable on light and dark form colours alike.
    const bool darkForm = platform::ToQColor(form).lightnessF() < 0.5;
    for (QLabel* l : std::initializer_list<QLabel*>{m_ui.LabVerticalScaleLab, m_ui.LabSamPerDivLab,
                                                    m_ui.LabSampleRateLab, m_ui.LabRecordCntLab,
                                                    m_ui.LabRecordCnt})
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
    if (!SaveCfg(m_configPath, m_config, &error))
        qWarning("The settings could not be saved: %s", qPrintable(error));
    savePlacement();
    m_graph->SetOutputObj(nullptr);
    m_barGraph->SetOutputObj(nullptr);
    m_notes->SaveNoteQuery(QDir(m_services.dataFolder).filePath(HeaderNotes::FileName));
}

void frmMain::gatherSettings() {
    Config& c = m_config;
    c.HorizontalLinesOn = m_graph->DisHorLines();
    c.ExposureFrame = m_ui.mnuViewExposure->isChecked();
    c.StatusBar = m_ui.mnuViewStatusBar->isChecked();
    c.Multiplex = m_ui.mnuProbe3AxisData->isChecked();
    c.AutoRange = m_probe->AutoRangeOn();
    c.GraphBackGroundColor = qint32(m_graph->BackGround());
    c.GraphGridLineColor = qint32(m_graph->GridLineColor());
    c.GraphXYZaxisColor = qint32(m_graph->GetChanLineColour(2));
    c.GraphXaxisColor = qint32(m_graph->GetChanLineColour(3));
    c.GraphYaxisColor = qint32(m_graph->GetChanLineColour(4));
    c.GraphZaxisColor = qint32(m_graph->GetChanLineColour(5));
    c.TemperatureCelsius = m_probe->UseCelsiusTemp();
    c.LogScaleMinDivOn = m_graph->LogScaleMinOn();
    c.MinDivColor = qint32(m_graph->MinLineColor());
    c.CommPortNo = m_cycle->CommPortNo;
    c.BattUpdateMinutes = m_battery->BattUpdateMinutes;
}

void frmMain::mnuFileExit_Click() {
    close();
}

void frmMain::closeEvent(QCloseEvent* event) {
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
    if (!m_ui.mnuViewExposure->isChecked() ||
        m_records->Recording != measure::RecordTable::ExposureLogging)
        m_ui.LabMinAver->setText(m_config.Exposure);
    m_ui.Command1->setFocus();
}

void frmMain::FocusCommand1() {
    if (!m_startingUp) m_ui.Command1->setFocus();
}

void frmMain::SetStatusPanel(int panel, const QString& text) {
    if (panel < 1 || panel > 4) return;
    m_ui.sbPanel[panel]->setText(text);
}

QString frmMain::StatusPanel(int panel) const {
    return panel >= 1 && panel <= 4 ? m_ui.sbPanel[panel]->text() : QString();
}

void frmMain::everyHalfSecond() {
    m_cycle->CalSamPerSecTick();
    m_battery->BlinkTick();
    m_ui.LabRecordCnt->setText(QString::number(m_records->RecordCount));
    const QDateTime now = m_services.clock.now();
    SetStatusPanel(3, QLocale().toString(now.date(), QLocale::ShortFormat));
    SetStatusPanel(4, QLocale().toString(now.time(), QLocale::ShortFormat));
}

void frmMain::mnuHelpAbout_Click() {
    AboutModelName = m_probe->GetModel();
    frmAbout about(AppTitle, {AboutModelName, ProbeSoftRev, ProbeCalDate, ProbeSerialNo}, this);
    m_services.modal.run(about);
}

// --- recording ---------------------------------------------------------------------------

void frmMain::StopRecording() {
    m_ui.mnuProbeRecordPause->setEnabled(false);
    m_ui.mnuProbeRecordPause->setChecked(false);
    m_records->Recording = measure::RecordTable::Idle;
    m_ui.mnuProbeRecord->setChecked(false);
    RecordIndicator(QStringLiteral("Stop"));
}

void frmMain::RecordIndicator(const QString& text) {
    struct Look {
        const char* key;
        const char* caption;
        platform::Colour captionColour, fill;
    };
    static const Look looks[] = {{"Log", "Log", 0xFFFFFF, 255},
                                 {"Pause", " Pause", 0, 65535},
                                 {"Stop", "Log", 0xFFFFFF, 0x808080},
                                 {"Play", "Play", 0, 0xFFFF00}};
    for (const Look& look : looks) {
        if (text != QLatin1String(look.key)) continue;
        m_ui.LabRecord->setText(QString::fromLatin1(look.caption));
        platform::SetForeColor(m_ui.LabRecord, look.captionColour);
        m_ui.ShapeRecordInd->setFillColor(look.fill);
    }
}

// --- the probe session's requests --------------------------------------------------------

QByteArray frmMain::AutoNextCmndS(const QByteArray& code) {
    QByteArray answer = QByteArrayLiteral("S\r");
    m_cycle->SetRthreshold(19);
    m_readProbe->setInterval(100);
    platform::SerialComm& port = m_services.port;
    struct Speed {
        const char* code;
        const char* panel;
        const char* settings;
        bool streams;
    };
    static const Speed speeds[] = {{":F1", "9600 Baud", "9600,o,7,1", false},
                                   {":F2", "19.2 kBaud", "19200,o,7,1", false},
                                   {":F3", "38.4 kBaud", "38400,o,7,1", true},
                                   {":F4", "57.6 kBaud", "57600,o,7,1", true},
                                   {":F5", "115.2 kBaud", "115200,o,7,1", true}};
    for (const Speed& speed : speeds) {
        if (code != speed.code) continue;
        SetStatusPanel(2, QString::fromLatin1(speed.panel));
        if (speed.streams) {
            port.setRThreshold(19);
            port.setInputLen(19);
        }
        port.setSettings(QString::fromLatin1(speed.settings));
        if (speed.streams) {
            m_cycle->HighSpeedState = 2;
            m_readProbe->setEnabled(false);
            m_cycle->EventReceive = 1;
        }
        return answer;
    }
    if (code == ":M0") {
        // The calibration reply of a Zeta probe, still whole in InString.
        m_zeta->ParseCoeff(m_cycle->InString);
        answer =
            m_probe->UseCelsiusTemp() == 1 ? QByteArrayLiteral("TC\r") : QByteArrayLiteral("TF\r");
        m_cycle->SetRthreshold(8);
        m_readProbe->setInterval(1000);
    }
    return answer;
}

void frmMain::ShowMessage(platform::MsgIcon icon, const QString& text) {
    m_services.boxes.inform(icon, text, AppTitle);
}

void frmMain::Delay(double ms) {
    m_services.clock.delay(ms);
}

void frmMain::SetProbeIdentity(const QString& serialNo, const QString& calDate) {
    ProbeSerialNo = serialNo;
    ProbeCalDate = calDate;
}

void frmMain::SetProbeSoftRev(const QString& softRev) {
    ProbeSoftRev = softRev;
}

// --- the polling cycle's requests --------------------------------------------------------

void frmMain::ProcessData() {
    m_processing->ProcessData();
}

void frmMain::ClearDisplay() {
    m_processing->ClearDisplay();
}

void frmMain::UncheckHighSpeedEntries() {
    for (int i = 3; i <= 5; ++i)
        m_ui.mnuCommBaud[i]->setChecked(false);
}

void frmMain::CheckPortEntry(int port) {
    m_link->CheckPortEntry(port);
}

void frmMain::ShowSampleRate(double perSecond) {
    m_ui.LabSamRate->setText(QString::number(perSecond));
}

void frmMain::LowBatteryOff() {
    m_battery->LowBatteryOff();
}

bool frmMain::ARProbeChecked() const {
    return m_ui.mnuCommARProbe->isChecked();
}

void frmMain::SuperFast2() {
    m_link->SuperFast2();
}

void frmMain::DisableHiSpeed(bool enabled) {
    m_link->DisableHiSpeed(enabled);
    if (enabled) m_link->StreamEnded();
}

} // namespace app
