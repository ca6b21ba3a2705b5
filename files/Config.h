#pragma once
// The main window's settings in memory, from start-up to shutdown: one member per line of the
// configuration file "Varnex.cfg" (read and written by files/ConfigFile), holding the defaults
// that stand when the file is missing or stops early.
#include <QString>
#include <QtGlobal>

namespace files {

// One member per line of the file, in file order, holding the defaults that stand when the file
// is missing or stops early. Colours are 0x00BBGGRR.
struct Config {
    explicit Config(const QString& programFolder = QString()) : Path(programFolder) {}

    QString ProbeUnits = QStringLiteral("V/m");      // 1 units text of the Zeta family
    QString GraphScaleStr = QStringLiteral("Auto");  // 2 vertical-scale text
    int LogScaleOn = 0;                              // 3
    int Averaging = 1;                               // 4 ClsZeta.Averaging, clsProbe.Average
    int CommPortNo = 2;                              // 5 serial port 1 to 5
    int SamPerDivSetting = 50;                       // 6 graph samples per division
    int TextUpdatePerSecond = 7;                     // 7 readout refreshes per second
    QString Exposure = QStringLiteral("6 Minute");   // 8 moving-average period text
    int HorizontalLinesOn = 1;                       // 9 clsGraph.DisHorLines
    QString Path;                                    // 10 folder of the open and save dialogs
    QString BaudRate = QStringLiteral("9600,o,7,1"); // 11 serial settings text
    int PlotComposite = 1;                           // 12
    bool ExposureFrame = false;                      // 13 tick of mnuViewExposure
    bool StatusBar = true;                           // 14 tick of mnuViewStatusBar
    bool MaxSpeed = false;                           // 15 highest-speed preference
    bool UpdateBattTempTick = true;                  // 16 written only; never read back
    bool Multiplex = true;                           // 17 axes in turn, mnuProbe3AxisData
    int AutoRange = 1;                               // 18 clsProbe.AutoRangeOn
    qint32 GraphBackGroundColor = 0x400000;          // 19 clsGraph.BackGround
    qint32 GraphGridLineColor = 0x4F4F4F;            // 20 clsGraph.GridLineColor
    qint32 GraphXYZaxisColor = 0x0000FF;             // 21 trace 2, light red
    qint32 GraphXaxisColor = 0x00FF00;               // 22 trace 3, light green
    qint32 GraphYaxisColor = 0xFF00FF;               // 23 trace 4, light magenta
    qint32 GraphZaxisColor = 0x00FFFF;               // 24 trace 5, yellow
    int ReadTimer = 50;                              // 25 probe read interval, ms
    quint8 RthresEnabled = 0;                        // 26 range-threshold flag
    QString SampleRate = QStringLiteral("15");       // 27 a number or "Max"
    int BattUpdateMinutes = 30;                      // 28 0 off, 5, 30 or 60
    int GraphScaleAuto = 0;                          // 29
    int TemperatureCelsius = 0;                      // 30 clsProbe.UseCelsiusTemp; 0 Fahrenheit
    int AlarmEnable = 0;                             // 31
    float AlarmValue = 25.0f;                        // 32 alarm level
    qint32 GraphTextColor = 0xFFFF00;                // 33 graph surface and readouts text
    qint32 BoxColor = 0;                             // 34 frame colour
    int MatchBarGraphToScatt = 0;                    // 35 bars take the trace colours
    qint32 FormBackColor = 0xB1CDD6;                 // 36 window background
    int LogScaleMinDivOn = 0;                        // 37 clsGraph.LogScaleMinOn
    qint32 MinDivColor = 0x2F2F2F;                   // 38 clsGraph.MinLineColor
    QString SaveFileName = QStringLiteral("Test1");  // 39 last saved log, no extension
    int PeriodicInterval = 60;                       // 40 periodic logging interval, minutes
    int PeriodicIntervalEnabled = 0;                 // 41

    // Not a line of the file: the unit code for ClsZeta.Units (0 V/m, 1 mW/cm2, 2 V2/m2). The
    // caller starts it at ClsZeta's current code; a complete LoadCfg maps ProbeUnits onto it
    // and leaves it alone for a units text it does not know.
    int ZetaUnitsCode = 0;
};

} // namespace files
