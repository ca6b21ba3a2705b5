#pragma once
// Opening a log: the open dialog, the file read and checked as a whole, and only then the
// graph, the log table, the header list, the scale, the units and the notes taken from it.
// A file that cannot be read changes nothing and says which line is wrong.
#include "files/Config.h"
#include "files/HeaderNotes.h"
#include "graph/clsGraph.h"
#include "measure/RecordTable.h"
#include "platform/MessageBoxes.h"
#include "platform/UserDialogs.h"
#include "window/MainControls.h"
#include "window/WindowShell.h"

#include <functional>

namespace window {
class GraphControl;
class StoredView;
} // namespace window

namespace files {
struct LoadedLog;
}

namespace app {

class LogLoader {
public:
    // What opening a file asks of the rest of the window.
    struct Hooks {
        std::function<bool()> mayDiscardLog; // a log not saved may go (asks the user)
        std::function<void()> stopPlayback;  // a playback running ends first
    };
    struct Controls {
        QAction* mnuFileOpen;
        QAction* tbOpen;
        QAction* mnuProbePlay;
        QAction* mnuViewScatterGraph;
        QAction* mnuFileSaveAs;
        QAction* tbSave;
        QWidget* Picture1;
        QListWidget* LstHeader;
    };

    LogLoader(const Controls& controls, measure::RecordTable& table, graph::clsGraph& graph,
              window::GraphControl& graphs, window::StoredView& stored, files::Config& config,
              files::HeaderNotes& notes, window::WindowShell& shell, platform::UserDialogs& dialogs,
              platform::BusyPointer& busy, platform::MessageBoxes& boxes, Hooks hooks);

    // "&Open...": asks for a file and loads it. A log not saved is offered first.
    void mnuFileOpen();
    // Reads the file; true when it was loaded and drawn. A file that cannot be read is
    // refused with a message and leaves everything as it was.
    bool LoadData(const QString& path);
    // The file last loaded (empty before one was).
    QString LoadedPath() const { return m_loadedPath; }
    // The header lines of the file loaded last ("Header" .. "EndHeader").
    const QStringList& LoadedHeader() const { return m_loadedHeader; }

    static inline const QString Filter =
        QStringLiteral("CSV Files (*.csv);;Text Files (*.txt);;All Files (*)");
    static inline const QString NotLoadedText = QStringLiteral("%1 was not loaded: %2");

private:
    void take(const files::LoadedLog& log, const QString& fileName);

    Controls m_ui;
    measure::RecordTable& m_table;
    graph::clsGraph& m_graph;
    window::GraphControl& m_graphs;
    window::StoredView& m_stored;
    files::Config& m_config;
    files::HeaderNotes& m_notes;
    window::WindowShell& m_shell;
    platform::UserDialogs& m_dialogs;
    platform::BusyPointer& m_busy;
    platform::MessageBoxes& m_boxes;
    Hooks m_hooks;
    QString m_loadedPath;
    QStringList m_loadedHeader;
};

} // namespace app
