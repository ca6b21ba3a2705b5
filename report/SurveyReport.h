#pragma once
// The survey report: a log made into a PDF of one to three A4 pages that can be handed over.
// Page 1 holds the title block (the probe, the log's date, times and rows, its test
// conditions, the program's version), the stored view of the whole log as the window draws it
// (in vectors, on white), a table of each column's figures and the log against the exposure
// limit chosen, with the levels reached; events that do not fit on three pages are counted,
// not listed. Every page carries its number and the file the report was made from.
//
// Writing needs a QGuiApplication (the fonts); it needs no display.
#include "report/SurveyLog.h"

#include <QIODevice>
#include <QString>
#include <optional>
#include <vector>

namespace report {

struct ReportOptions {
    std::optional<measure::LimitChoice> limit; // none: no limit was applied
    // The levels reached while the log was taken, and the limit they were watched against.
    QString eventsLimitName;
    std::vector<measure::ExposureEvent> events;
    QString version; // the program's version
};

// Writes the report to the device as PDF.
void WriteReport(const SurveyLog& log, const ReportOptions& options, QIODevice& device);
// Writes the report to the file through a temporary: nothing is left at `path` unless the
// whole report is. False, with why, when it could not be written.
bool SaveReport(const SurveyLog& log, const ReportOptions& options, const QString& path,
                QString* error);
// How many pages the report of the log takes.
int PageCountOf(const SurveyLog& log, const ReportOptions& options);

} // namespace report
