#pragma once
// The configuration file "Varnex.cfg": every user setting of the main window, read once at
// start-up (LoadCfg) and written once at exit (SaveCfg).
//
// The file is 41 lines in a fixed order, each a key, a comma and a value, ended by CR LF, in
// single-byte Latin-1 text. It is read by position: keys are written for the reader's benefit
// and never compared. Numbers are plain decimal text, Booleans "True" or "False".
//
// Nothing here touches a widget: the main window copies the values into its objects and menus
// after LoadCfg and gathers them back before SaveCfg.
#include <QString>
#include <QtGlobal>

namespace app {

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

struct LoadResult {
    int linesRead = 0;     // lines taken from the file, 0 to 41
    bool complete = false; // false: the caller shows the port dialog
};

// Reads the file into cfg, which holds the defaults on entry. Reading stops at the first line
// that is missing or cannot be read as its type: the lines before keep their read values, the
// rest keep the defaults, and ZetaUnitsCode is left as it was.
//
// Each line is a key field and a value field: the key ends at the first comma, the value at the
// next comma or the end of the line, and leading blanks of the value are skipped. A line
// without a comma cannot be read. Numbers may carry blanks around them but must be whole
// numbers for the integer lines; "True"/"False" are matched without regard to case. Path,
// BaudRate and SaveFileName take the whole rest of the line, so their commas survive. The
// value of line 16 is dropped unread, whatever it says.
LoadResult LoadCfg(const QString& filePath, Config& cfg);

// Writes all 41 lines through a temporary file that replaces the old one only when complete.
// Line breaks inside a text value are written as blanks so that no line can shift, and
// characters beyond Latin-1 as '?'. False with a reason in *error (when given) when the file
// could not be written.
bool SaveCfg(const QString& filePath, const Config& cfg, QString* error = nullptr);

// Where the file lives: in programFolder while a file can be created there, otherwise in
// fallbackFolder (created when missing). Call once at start-up and use the result for both
// reading and writing.
QString ConfigFilePath(const QString& programFolder, const QString& fallbackFolder);
// The same with the user's configuration folder of this application as the fallback.
QString ConfigFilePath(const QString& programFolder);

// With part 1 the folder of path (the text before its last '/' or '\', without it), with any
// other part the file name (the text after it). Either separator counts on every platform. A
// path without one has the folder "" and is itself the file name.
QString ParsePathFile(const QString& path, int part);

} // namespace app
