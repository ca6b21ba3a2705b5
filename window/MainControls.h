#pragma once
// The main window's named controls. frmMain creates them (MainWindowBuild.cpp), gives each its
// name as objectName, and hands this table to the parts of the window that read and set them.
// Menu families are arrays indexed as the program numbers them: the port and link-speed
// entries from 1, the range entries from 0 (0 is "&Auto Range").
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

namespace window {

struct MainControls {
    // Readouts: total, the three axes, and their peak holds.
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

    // Probe state.
    platform::ClickLabel* LabUnits = nullptr;
    platform::ClickLabel* LabRange = nullptr;
    QLabel* LabOverRange = nullptr;
    QLabel* LabUnderRange = nullptr;
    QLabel* LabBarGraph = nullptr;       // percent of full scale
    QLabel* LabPercentOfRange = nullptr; // its caption
    QLabel* LabBattery = nullptr;
    platform::Shape* ShapeBatLevel = nullptr; // battery gauge bar
    platform::Shape* ShapeBatFrame = nullptr; // the gauge's outline
    platform::ClickLabel* LabTempLab = nullptr;
    QLabel* LabTemp = nullptr;
    QLabel* LabSamRate = nullptr;
    QLabel* LabSamRateLab = nullptr;
    QLabel* LabInString = nullptr;

    // Recording and the moving average.
    platform::ClickLabel* LabRecord = nullptr;
    platform::Shape* ShapeRecordInd = nullptr;
    platform::ClickLabel* LabRecordCntLab = nullptr;
    QLabel* LabRecordCnt = nullptr;
    QLabel* LabMinAver = nullptr;
    QLabel* LabElasedTime = nullptr;
    QLabel* LabExposure = nullptr;
    QLabel* LabExposure1 = nullptr;
    platform::Shape* ShaExposure = nullptr;

    // The readout boxes (box colour): total (1) and axes (2), peaks, moving average.
    std::array<platform::Shape*, 3> ShaMain{};
    platform::Shape* ShaPeak = nullptr;
    // Background panels in the form colour (index 1..4).
    std::array<platform::Shape*, 5> ShapeFormColor{};
    // Captions that no procedure changes.
    QLabel* LabXYZLab = nullptr;
    QLabel* LabVerticalScaleLab = nullptr;
    QLabel* LabSamPerDivLab = nullptr;
    QLabel* LabSampleRateLab = nullptr;

    // Graphs and lists.
    platform::SurfaceWidget* Picture1 = nullptr; // time-series graph
    platform::SurfaceWidget* Picture3 = nullptr; // bar graph
    QListWidget* LstHeader = nullptr;
    QComboBox* CmbSampleRate = nullptr;
    QComboBox* cmbSamPerDiv = nullptr;
    QComboBox* CmbVerticalScale = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton* Command1 = nullptr; // takes the keyboard focus after list choices

    // Toolbar (buttons by key) and status bar (panels 1..4).
    QToolBar* tbToolBar = nullptr;
    QAction* tbOpen = nullptr;
    QAction* tbSave = nullptr;
    QAction* tbProperties = nullptr;
    QAction* tbScatter = nullptr;
    QAction* tbBarGraph = nullptr;
    QAction* tbZoomIn = nullptr;
    QAction* tbZoomOut = nullptr;
    QAction* tbRecord = nullptr;
    QAction* tbRecordPause = nullptr;
    QStatusBar* sbStatusBar = nullptr;
    std::array<QLabel*, 5> sbPanel{};

    // File.
    QAction* mnuFileOpen = nullptr;
    QAction* mnuFileSaveAs = nullptr;
    QAction* mnuFileExit = nullptr;

    // View.
    QAction* mnuViewToolbar = nullptr;
    QAction* mnuViewStatusBar = nullptr;
    QAction* mnuViewScatterGraph = nullptr;
    QAction* mnuViewScatterLive = nullptr;
    QAction* mnuViewBarGraph = nullptr;
    QAction* mnuViewExposure = nullptr;
    QAction* mnuViewHeaderNotes = nullptr;
    QAction* mnuViewOptions = nullptr;

    // Probe.
    QAction* mnuProbeRecord = nullptr;
    QAction* mnuProbeRecordPause = nullptr;
    QAction* mnuProbePlay = nullptr;
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
    QAction* mnuProbePlotComposite = nullptr;
    QAction* mnuProbeUpdateNow = nullptr;
    QMenu* mnuProbeUpdateProbeBatt = nullptr; // "Auto Update &Interval"
    QAction* mnuProbeUpdateoff = nullptr;
    QAction* mnuProbeUpdate5 = nullptr;
    QAction* mnuProbeUpdate30 = nullptr;
    QAction* mnuProbeUpdate60 = nullptr;
    QAction* mnuProbeTempCels = nullptr;
    QAction* mnuProbeTempFahr = nullptr;

    // Communication.
    std::array<QAction*, 6> mnucommcomm{}; // 1..5
    std::array<QAction*, 6> mnuCommBaud{}; // 1..5
    QAction* mnuCommARProbe = nullptr;
    QAction* mnuCommARM = nullptr;
    QAction* mnuCommASCII = nullptr;

    // Help.
    QAction* mnuHelpAbout = nullptr;
};

} // namespace window
