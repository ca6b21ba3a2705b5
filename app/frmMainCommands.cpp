// Commands of the main window's File and View menus: the graphs exported as pictures; the
// options, the dialog made on first use with what Apply changes, the note prompts kept and read
// again, and the prompts file opened in the user's editor.
#include "app/frmMain.h"
#include "files/HeaderNotes.h"
#include "platform/SurfaceWidget.h"
#include "window/LimitMonitor.h"
#include "window/frmOptions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace app {

bool frmMain::mnuFileExport_Click() {
    const QString chosen = m_services.dialogs.saveFileName(
        QStringLiteral("Export graph picture"), m_config.Path, QStringLiteral("graph"),
        QStringLiteral("PNG Images (*.png)"), QStringLiteral("png"));
    if (chosen.isEmpty()) return false;
    m_config.Path = QFileInfo(chosen).absolutePath();
    // The pictures are the graphs' own drawings, pixel for pixel; the bar graph goes beside the
    // time-series graph with "_bars" added to the name.
    QStringList failed;
    const auto save = [&failed](const platform::SurfaceWidget* surface, const QString& path) {
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || !surface->image().save(&file, "PNG") ||
            !file.commit())
            failed << QDir::toNativeSeparators(path) + QStringLiteral(": ") + file.errorString();
    };
    save(m_ui.graphs.Picture1, chosen);
    if (m_ui.graphs.Picture3->isVisible()) {
        const QFileInfo info(chosen);
        save(m_ui.graphs.Picture3,
             info.dir().filePath(info.completeBaseName() + QStringLiteral("_bars.png")));
    }
    if (!failed.isEmpty()) {
        m_services.boxes.inform(platform::MsgIcon::Exclamation,
                                QStringLiteral("The picture could not be saved to ") +
                                    failed.join(QStringLiteral("; ")));
        return false;
    }
    SetStatusPanel(1, QStringLiteral("Graph saved as ") + QDir::toNativeSeparators(chosen));
    return true;
}

void frmMain::mnuViewOptions_Click() {
    if (!m_options) {
        using window::frmOptions;
        m_options = std::make_unique<frmOptions>(
            frmOptions::Targets{m_config, *m_graph, *m_barGraph, *m_graphControl, *m_barControl,
                                *m_displayTimers, *m_exposure, *m_readouts, *m_layout, *m_engine,
                                [this] { reloadNotes(); }, [this] { editNotes(); },
                                [this] { applyColours(); }, [this] { return m_limit->Settings(); },
                                [this](const files::LimitSettings& limits) {
                                    files::WriteLimitSettings(m_services.settings, AppTitle,
                                                              limits);
                                    m_limit->SetSettings(limits);
                                }},
            m_services.dialogs, this);
    }
    m_options->Form_Load();
    m_services.modal.run(*m_options);
}

QString frmMain::notesPath() const {
    return QDir(m_services.dataFolder).filePath(files::HeaderNotes::FileName);
}

// The prompts read again if the file was edited; the values entered this session are kept.
void frmMain::reloadNotes() {
    m_notes->RefreshNoteQuery();
}

void frmMain::editNotes() {
    const QString path = notesPath();
    // The editor shows the values entered this session (an edit made meanwhile is kept).
    m_notes->SaveNoteQuery(path);
    QString error;
    if (!files::HeaderNotes::InstallStartingFile(path, &error)) {
        m_services.boxes.inform(platform::MsgIcon::Exclamation,
                                QStringLiteral("The note prompts file %1 could not be made: %2")
                                    .arg(QDir::toNativeSeparators(path), error));
        return;
    }
    if (!m_services.dialogs.openInEditor(path))
        m_services.boxes.inform(platform::MsgIcon::Exclamation,
                                QStringLiteral("No text editor could be started for %1.")
                                    .arg(QDir::toNativeSeparators(path)));
}

} // namespace app
