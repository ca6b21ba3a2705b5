#pragma once
// The events file kept beside a saved log page ("run.csv" → "run_events.csv"): the levels
// reached while the page's rows were taken, one line each, in the page's line ends and code
// page. The page itself does not change. Written by the window's save, read back for a report.
#include "measure/ExposureLevels.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace files {

QString EventsFileName(const QString& pagePath);

// The file's text:
//   Events,<LimitName>\r\n
//   Level,Start,End,Peak % of limit,Peak value,Units\r\n
//   Warning,2026-12-07 12:00:01,2026-12-07 12:00:09,63.2,13.45,V/m\r\n
// Times are local, to the second; an event still lasting has an empty End. Percentages have
// one decimal, values four significant digits; units in Latin-1 (178 is the superscript two).
QByteArray EventsFileText(const QString& limitName,
                          const std::vector<measure::ExposureEvent>& events);

struct EventsFile {
    bool found = false; // the file was there and began with its "Events," line
    QString limitName;
    std::vector<measure::ExposureEvent> events;
    int skipped = 0; // lines that were no event (damaged), left out
};

// The events of a file's text; lines that are no event are counted and left out.
EventsFile ParseEventsText(const QByteArray& text);
// The events file at `path`; a missing or unreadable file is one without events (found false).
EventsFile ReadEventsFile(const QString& path);

} // namespace files
