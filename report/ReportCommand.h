#pragma once
// The report program's work: its command line, the pages of a log read from disk, and the
// report written, as `varnex-report` runs it (main.cpp only makes the application).
//
//   varnex-report LOG.csv -o REPORT.pdf [--limit KEY [--frequency F]]
#include "report/SurveyReport.h"

#include <QStringList>
#include <QTextStream>

namespace report {

enum ExitCode : int { Done = 0, NotWritten = 1, BadCommandLine = 2, LogUnreadable = 3 };

struct CommandLine {
    QString logPath;
    QString reportPath;
    std::optional<measure::LimitChoice> limit;
};

// The command line's options (without the program's name); false with why for a bad one.
bool ParseCommandLine(const QStringList& arguments, CommandLine* line, QString* error);

// Every page of the log whose page 1 is at `path` (LOG.csv, LOG_2.csv, ...), the events
// file beside it, as a report describes them; false with why when a page cannot be read or
// the log holds no rows.
struct ReadLogResult {
    bool ok = false;
    SurveyLog log;
    files::EventsFile events;
    QStringList warnings;
    QString error;
};
ReadLogResult ReadLogPages(const QString& path);

// The whole run; messages go to `out` and `err`. Returns an ExitCode.
int RunReport(const QStringList& arguments, const QString& version, QTextStream& out,
              QTextStream& err);

} // namespace report
