// File > "Export Report...": the log the window holds (taken, or loaded from a file) made into
// a survey report with the limit in force, saved as the pictures are, through a temporary.
#include "app/LogLoading.h"
#include "app/frmMain.h"
#include "files/ExposureEvents.h"
#include "files/HeaderNotes.h"
#include "files/LogFile.h"
#include "report/SurveyReport.h"
#include "window/LimitMonitor.h"
#include "window/MainControls.h"
#include "window/StoredView.h"

#include <QDir>
#include <QFileInfo>

namespace app {

bool frmMain::mnuFileReport_Click() {
    if (m_records.RecordCount() == 0) {
        m_services.boxes.inform(platform::MsgIcon::Information,
                                QStringLiteral("There is no log to report on: take a log or "
                                               "open one first."));
        return false;
    }
    // A loaded log brings its own header and events file; a log taken here has the notes as
    // they are and the events the table kept. The report is proposed under the log's name.
    const bool loaded = !m_storedView->LoadedFileSuffix().isEmpty();
    const QString proposed =
        loaded ? QFileInfo(m_loader->LoadedPath()).completeBaseName() : QStringLiteral("report");
    const QString chosen =
        m_services.dialogs.saveFileName(QStringLiteral("Export Report"), m_config.Path, proposed,
                                        QStringLiteral("PDF Files (*.pdf)"), QStringLiteral("pdf"));
    if (chosen.isEmpty()) return false;
    m_config.Path = QFileInfo(chosen).absolutePath();
    platform::BusyScope busy(m_services.busy);

    QList<QPair<QString, QString>> fields;
    QString source;
    report::ReportOptions options;
    if (loaded) {
        for (const QString& line : m_loader->LoadedHeader()) {
            const qsizetype comma = line.indexOf(u',');
            if (comma > 0) fields.append({line.left(comma), line.mid(comma + 1)});
        }
        source = QFileInfo(m_loader->LoadedPath()).fileName();
        const files::EventsFile events =
            files::ReadEventsFile(files::EventsFileName(m_loader->LoadedPath()));
        options.events = events.events;
        options.eventsLimitName = events.limitName;
    } else {
        files::LogHeader header;
        files::StampHeader(header, m_services.clock.now());
        fields.append({QStringLiteral("Date"), header.dateText});
        fields.append({QStringLiteral("GraphScale"), m_config.GraphScaleStr});
        for (int i = 1; i <= m_notes->NoteCount && i <= files::HeaderNotes::MaxNotes; ++i) {
            const files::HeaderNotes::Note& note = m_notes->HeaderNotes[std::size_t(i)];
            if (!note.label.isEmpty() && !note.value.isEmpty())
                fields.append({note.label, note.value});
        }
        source = QStringLiteral("the log taken in the window");
        options.events = m_records.Events();
        options.eventsLimitName = m_records.LimitName();
    }
    if (m_limit->Settings().on) options.limit = m_limit->Settings().choice;
    options.version = QStringLiteral(VARNEX_VERSION);

    QString error;
    if (!report::SaveReport(report::FromTable(m_records, fields, source), options, chosen,
                            &error)) {
        m_services.boxes.inform(platform::MsgIcon::Exclamation,
                                QStringLiteral("The report could not be saved to %1: %2")
                                    .arg(QDir::toNativeSeparators(chosen), error));
        return false;
    }
    SetStatusPanel(1, QStringLiteral("Report saved as ") + QDir::toNativeSeparators(chosen));
    return true;
}

} // namespace app
