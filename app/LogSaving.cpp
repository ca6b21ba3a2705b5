#include "app/LogSaving.h"

#include "files/ExposureEvents.h"
#include "files/LogFile.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSaveFile>

namespace app {

bool LogSaver::mnuFileSaveAs() {
    // The prompts as the file has them now: the user may have edited it since it was read.
    m_notes.RefreshNoteQuery();
    // The answers count only once every prompt was answered.
    auto notes = m_notes.HeaderNotes;
    for (int i = 1; i <= m_notes.NoteCount && i <= files::HeaderNotes::MaxNotes; ++i) {
        files::HeaderNotes::Note& note = notes[std::size_t(i)];
        if (note.label.isEmpty()) continue;
        const std::optional<QString> answer =
            m_dialogs.inputBox(note.label, QStringLiteral("Test Conditions"), note.value);
        if (!answer) return false;
        note.value = *answer;
    }
    m_notes.HeaderNotes = notes;

    const QString chosen = m_dialogs.saveFileName(
        QStringLiteral("File Save as"), m_config.Path, m_config.SaveFileName,
        QStringLiteral("CSV Files (*.csv);;Text Files (*.txt);;All Files (*)"),
        QStringLiteral("csv"));
    if (chosen.isEmpty()) return false;
    m_config.SaveFileName = chosen;
    m_config.Path = QFileInfo(chosen).absolutePath();
    const bool saved = SaveData(chosen);
    m_config.SaveFileName = files::SaveFileNameOf(chosen);
    return saved;
}

bool LogSaver::SaveData(const QString& name) {
    platform::BusyScope busy(m_busy);
    const QDateTime now = m_clock.now();
    files::LogHeader header;
    files::StampHeader(header, now);
    header.samples = m_table.RecordCount();
    header.columns = m_table.RecordColumns();
    header.graphScale = m_config.GraphScaleStr;
    header.peaks = m_table.RecordMaxHold();
    header.probeType = m_table.ProbeType();
    header.units = m_table.RecordUnits();
    for (int i = 1; i <= m_notes.NoteCount && i <= files::HeaderNotes::MaxNotes; ++i) {
        const files::HeaderNotes::Note& note = m_notes.HeaderNotes[std::size_t(i)];
        if (!note.label.isEmpty()) header.notes.append({note.label, note.value});
    }

    const auto save = [this](const QString& path, const QByteArray& text) {
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly) && file.write(text) >= 0 && file.commit()) return true;
        m_boxes.inform(platform::MsgIcon::Exclamation,
                       QStringLiteral("The log could not be saved to %1: %2")
                           .arg(QDir::toNativeSeparators(path), file.errorString()));
        return false;
    };
    const int pages = files::PageCount(header.samples);
    for (int page = 1; page <= pages; ++page) {
        const QString path = files::PageFileName(name, page);
        if (!save(path,
                  files::LogPageText(header, m_table, page, pages, QFileInfo(path).fileName())))
            return false;
        // The levels reached while a limit was watched go beside the page.
        if (!m_table.LimitName().isEmpty() &&
            !save(files::EventsFileName(path),
                  files::EventsFileText(m_table.LimitName(), m_table.Events())))
            return false;
    }
    m_table.MarkSaved();
    m_shell.SetStatusPanel(1, QStringLiteral("Saved %1 data points.").arg(header.samples));
    return true;
}

bool LogSaver::MayDiscardLog() {
    if (!m_table.Unsaved()) return true;
    switch (m_dialogs.askSaveDiscardCancel(UnsavedText.arg(m_table.RecordCount()),
                                           QStringLiteral("Varnex"))) {
    case platform::SaveChoice::Save: return mnuFileSaveAs();
    case platform::SaveChoice::Discard: m_table.MarkSaved(); return true;
    case platform::SaveChoice::Cancel: break;
    }
    return false;
}

} // namespace app
