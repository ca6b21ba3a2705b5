#include "app/LogLoading.h"

#include "files/LogReading.h"
#include "graph/VerticalScale.h"
#include "window/GraphControl.h"
#include "window/StoredView.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>

namespace app {

LogLoader::LogLoader(const Controls& controls, measure::RecordTable& table, graph::clsGraph& graph,
                     window::GraphControl& graphs, window::StoredView& stored,
                     files::Config& config, files::HeaderNotes& notes, window::WindowShell& shell,
                     platform::UserDialogs& dialogs, platform::BusyPointer& busy,
                     platform::MessageBoxes& boxes, Hooks hooks)
    : m_ui(controls), m_table(table), m_graph(graph), m_graphs(graphs), m_stored(stored),
      m_config(config), m_notes(notes), m_shell(shell), m_dialogs(dialogs), m_busy(busy),
      m_boxes(boxes), m_hooks(std::move(hooks)) {
    QObject::connect(m_ui.mnuFileOpen, &QAction::triggered, [this] { mnuFileOpen(); });
    QObject::connect(m_ui.tbOpen, &QAction::triggered, [this] { mnuFileOpen(); });
}

void LogLoader::mnuFileOpen() {
    if (m_table.Recording() != measure::RecordTable::Idle) {
        m_boxes.inform(platform::MsgIcon::Information,
                       QStringLiteral("Stop the log before opening a file."));
        return;
    }
    if (!m_hooks.mayDiscardLog()) return;
    const QString path = m_dialogs.openFileName(QStringLiteral("File Open"), m_config.Path, Filter);
    if (path.isEmpty()) return;
    m_config.Path = QFileInfo(path).absolutePath();
    m_hooks.stopPlayback();
    LoadData(path);
}

bool LogLoader::LoadData(const QString& path) {
    platform::BusyScope busy(m_busy);
    const QString before = m_shell.StatusPanel(1);
    m_shell.SetStatusPanel(1, QStringLiteral("Loading: ") + QDir::toNativeSeparators(path));
    const QString shown = QDir::toNativeSeparators(path);
    auto refuse = [&](const QString& why) {
        m_shell.SetStatusPanel(1, before);
        m_boxes.inform(platform::MsgIcon::Exclamation, NotLoadedText.arg(shown, why));
        return false;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return refuse(file.errorString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return refuse(file.errorString());
    const files::LogReadResult read = files::ReadLog(bytes);
    if (!read.ok)
        return refuse(read.line > 0 ? QStringLiteral("line %1: %2").arg(read.line).arg(read.error)
                                    : read.error);
    m_loadedPath = path;
    take(read.log, QFileInfo(path).fileName());
    if (!read.log.warnings.isEmpty())
        m_boxes.inform(platform::MsgIcon::Information, read.log.warnings.join(QLatin1Char('\n')));
    return true;
}

void LogLoader::take(const files::LoadedLog& log, const QString& fileName) {
    m_ui.mnuViewScatterGraph->setChecked(true);
    m_ui.Picture1->setVisible(true);
    m_graphs.ShowStored();

    // The table is the one store of the rows: the graph draws them, playback plays them and
    // Save As writes them from there.
    const int rows = int(log.rows.size());
    measure::AxisValues peaks = log.peaks;
    if (!log.hasPeaks) {
        for (const auto& row : log.rows)
            for (int a = 0; a < log.valueColumns; ++a)
                peaks[std::size_t(a)] = std::max(peaks[std::size_t(a)], row[std::size_t(a + 1)]);
    }
    const QString units = log.hasUnits ? log.units : m_table.RecordUnits();
    m_table.LoadLog(log.Layout(), units, log.probeType, peaks, log.rows);
    m_graph.SetVerUnitsDesc(units);
    // The log's own scale, or where it has none (an automatic scale names none) one that
    // holds its values.
    const bool ownScale = log.graphScale != window::GraphControl::AutoText &&
                          graph::FindVerticalScale(log.graphScale);
    float highest = 0.0f;
    for (const auto& row : log.rows)
        for (int c = 1; c <= log.valueColumns; ++c)
            highest = std::max(highest, row[std::size_t(c)]);
    m_graphs.ShowStoredScale(ownScale ? log.graphScale : graph::ScaleHolding(highest));

    m_loadedHeader = log.headerLines;
    m_ui.LstHeader->clear();
    m_ui.LstHeader->addItems(log.headerLines);
    // The test conditions of the file become the values the next save proposes.
    for (const auto& [label, value] : log.fields)
        for (int i = 1; i <= m_notes.NoteCount && i <= files::HeaderNotes::MaxNotes; ++i)
            if (m_notes.HeaderNotes[std::size_t(i)].label == label)
                m_notes.HeaderNotes[std::size_t(i)].value = value;

    m_stored.ShowLoaded(fileName);
    const bool any = rows > 0;
    m_ui.mnuFileSaveAs->setEnabled(any);
    m_ui.tbSave->setEnabled(any);
    m_ui.mnuProbePlay->setEnabled(true);
}

} // namespace app
