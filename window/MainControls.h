#pragma once
// The main window's named controls, grouped by the part of the window that owns them: a part
// is built with its own group and reaches another part's controls only through that part.
// BuildMainControls (MainWindowBuild.cpp) creates them and gives each its name as objectName;
// MainLayout places all of them. Menu families are arrays indexed as the program numbers them:
// the port and link-speed entries from 1, the range entries from 0 (0 is "&Auto Range").
#include "platform/Controls.h"
#include "platform/SurfaceWidget.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolBar>
#include <array>

class QMainWindow;

namespace window {

// Readouts: total, the three axes and their peak holds, the axis switches and marks, the
// range flags, the share of the range and the sample rate.
struct ReadoutControls {
    QLabel* LabXYZField = nullptr;
    QLabel* LabXField = nullptr;
    QLabel* LabYField = nullptr;
    QLabel* LabZField = nullptr;
    QLabel* LabMaxXYZ = nullptr;
    QLabel* LabMaxX = nullptr;
    QLabel* LabMaxY = nullptr;
    QLabel* LabMaxZ = nullptr;
    platform::ClickLabel* LabPeak = nullptr; // "Peak" caption, click clears the holds
    QLabel* LabXLab = nullptr;               // axis captions beside the readouts
    QLabel* LabYLab = nullptr;
    QLabel* LabZLab = nullptr;
    platform::ClickLabel* LabXAxis = nullptr; // axis switches, grey while an axis is off
    platform::ClickLabel* LabYAxis = nullptr;
    platform::ClickLabel* LabZAxis = nullptr;
    platform::Shape* ShapeX = nullptr; // trace colour marks of the axes
    platform::Shape* ShapeY = nullptr;
    platform::Shape* ShapeZ = nullptr;
    platform::Shape* ShaMain2 = nullptr; // the box of the axis readouts
    QLabel* LabOverRange = nullptr;
    QLabel* LabUnderRange = nullptr;
    QLabel* LabBarGraph = nullptr;       // percent of full scale
    QLabel* LabPercentOfRange = nullptr; // its caption
    QLabel* LabSamRate = nullptr;
};

// Battery and temperature.
struct BatteryControls {
    QAction* mnuProbeUpdateNow = nullptr;
    QMenu* mnuProbeUpdateProbeBatt = nullptr; // "Auto Update &Interval"
    QAction* mnuProbeUpdateoff = nullptr;
    QAction* mnuProbeUpdate5 = nullptr;
    QAction* mnuProbeUpdate30 = nullptr;
    QAction* mnuProbeUpdate60 = nullptr;
    QAction* mnuProbeTempCels = nullptr;
    QAction* mnuProbeTempFahr = nullptr;
    platform::ClickLabel* LabTempLab = nullptr;
    QLabel* LabTemp = nullptr;
    QLabel* LabBattery = nullptr;
    platform::Shape* ShapeBatLevel = nullptr; // battery gauge bar
    platform::Shape* ShapeBatFrame = nullptr; // the gauge's outline
};

// The link: sample rate, ports, link speeds and communication modes.
struct LinkControls {
    QComboBox* CmbSampleRate = nullptr;
    std::array<QAction*, 6> mnucommcomm{}; // 1..5
    std::array<QAction*, 6> mnuCommBaud{}; // 1..5
    QAction* mnuCommARProbe = nullptr;
    QAction* mnuCommARM = nullptr;
    QAction* mnuCommASCII = nullptr;
    QLabel* LabInString = nullptr;
    QLabel* sbLineHealth = nullptr; // status bar: identification progress, the line's figure
};

// The probe's units, ranges, axes, zero, peaks and alarm.
struct ProbeMenuControls {
    QMenu* mnuProbeUnitsSigma = nullptr;
    std::array<QAction*, 4> mnuProbeUnitsOld{}; // 1..3
    QMenu* mnuProbeUnitsZeta = nullptr;
    QAction* mnuProbeUnitsVPM = nullptr;
    QAction* mnuProbeUnitsV2M2 = nullptr;
    QAction* mnuProbeUnitsMWPCM = nullptr;
    QMenu* mnuProbeRangeTop = nullptr;
    std::array<QAction*, 6> mnuProbeRange{}; // 0 automatic, 1..5
    QAction* mnuProbe3AxisData = nullptr;
    QAction* mnuProbeZero = nullptr;
    QAction* mnuProbeClearPeak = nullptr;
    QAction* mnuprobeAlarm = nullptr;
    QAction* mnuprobeAlarmSet = nullptr;
    platform::ClickLabel* LabUnits = nullptr;
    platform::ClickLabel* LabRange = nullptr;
};

// The time-series graph, the bar graph and their lists and menus.
struct GraphControls {
    platform::SurfaceWidget* Picture1 = nullptr; // time-series graph
    platform::SurfaceWidget* Picture3 = nullptr; // bar graph
    QComboBox* cmbSamPerDiv = nullptr;
    QComboBox* CmbVerticalScale = nullptr;
    QAction* mnuProbePlotComposite = nullptr;
    QAction* mnuViewScatterGraph = nullptr;
    QAction* mnuViewScatterLive = nullptr;
    QAction* mnuViewBarGraph = nullptr;
    QAction* mnuProbePlay = nullptr;
    QAction* tbScatter = nullptr;
    QAction* tbBarGraph = nullptr;
    QAction* tbZoomIn = nullptr;
    QAction* tbZoomOut = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
};

// Logging: the commands, the indicator and the count.
struct RecordControls {
    QAction* mnuProbeRecord = nullptr;
    QAction* mnuProbeRecordPause = nullptr;
    QAction* mnuFileSaveAs = nullptr;
    QAction* tbSave = nullptr;
    QAction* tbRecord = nullptr;
    QAction* tbRecordPause = nullptr;
    platform::ClickLabel* LabRecord = nullptr;
    platform::Shape* ShapeRecordInd = nullptr;
    platform::ClickLabel* LabRecordCntLab = nullptr;
    QLabel* LabRecordCnt = nullptr;
};

// The moving average (human exposure) panel.
struct ExposureControls {
    QAction* mnuViewExposure = nullptr;
    QLabel* LabMinAver = nullptr;
    QLabel* LabElasedTime = nullptr;
    QLabel* LabExposure = nullptr;
    QLabel* LabExposure1 = nullptr;
    platform::Shape* ShaExposure = nullptr;
};

// The exposure against the limit: the panel beside the readouts.
struct LimitControls {
    platform::Shape* ShaLimit = nullptr;
    QLabel* LabLimitLab = nullptr;
    platform::ClickLabel* LabLimit = nullptr; // the reading's share of the limit
    QLabel* LabLimitAvgLab = nullptr;
    QLabel* LabLimitAvg = nullptr; // the share averaged over the standard's time
    QLabel* LabLimitCovered = nullptr;
    QLabel* sbLimit = nullptr; // the status bar's panel naming a level reached
};

// The frame of the window: file, view and help menus, toolbar, status bar, the boxes and
// captions that no part changes, the header list and the focus button.
struct FrameControls {
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileExport = nullptr; // the graphs as pictures
    QAction* mnuFileReport = nullptr; // the log as a survey report (PDF)
    QAction* mnuFileExit = nullptr;
    QAction* mnuViewToolbar = nullptr;
    QAction* mnuViewStatusBar = nullptr;
    QAction* mnuViewHeaderNotes = nullptr;
    QAction* mnuViewOptions = nullptr;
    QAction* mnuHelpAbout = nullptr;
    QToolBar* tbToolBar = nullptr;
    QAction* tbOpen = nullptr;
    QAction* tbProperties = nullptr;
    QStatusBar* sbStatusBar = nullptr;
    std::array<QLabel*, 5> sbPanel{}; // 1..4
    // The readout boxes in the box colour: total (ShaMain 1) and peaks.
    platform::Shape* ShaMain1 = nullptr;
    platform::Shape* ShaPeak = nullptr;
    // Background panels in the form colour (index 1..4).
    std::array<platform::Shape*, 5> ShapeFormColor{};
    QLabel* LabXYZLab = nullptr;
    QLabel* LabSamRateLab = nullptr;
    QLabel* LabVerticalScaleLab = nullptr;
    QLabel* LabSamPerDivLab = nullptr;
    QLabel* LabSampleRateLab = nullptr;
    QListWidget* LstHeader = nullptr;
    QPushButton* Command1 = nullptr; // takes the keyboard focus after list choices
};

struct MainControls {
    ReadoutControls readouts;
    BatteryControls battery;
    LinkControls link;
    ProbeMenuControls probe;
    GraphControls graphs;
    RecordControls record;
    ExposureControls exposure;
    LimitControls limit;
    FrameControls frame;
};

// Creates every control of the window, its menus, toolbar and status bar, and names them.
MainControls BuildMainControls(QMainWindow& window);

} // namespace window
