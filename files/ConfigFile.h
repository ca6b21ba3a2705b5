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
#include "files/Config.h"

#include <QString>

namespace files {

using files::Config;

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
// Where the open and save dialogs start until the user has chosen a folder: the user's
// documents folder (the home folder where there is none).
QString DocumentsFolder();

// With part 1 the folder of path (the text before its last '/' or '\', without it), with any
// other part the file name (the text after it). Either separator counts on every platform. A
// path without one has the folder "" and is itself the file name.
QString ParsePathFile(const QString& path, int part);

} // namespace files
