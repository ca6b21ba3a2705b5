#pragma once
// The stored view of the time-series graph: the whole record held by the graph (a log just
// taken, or a file loaded), the zoom into part of it by a drag on the graph, and the way back
// to the whole record with the toolbar's "Zoom Out". A log taken is copied into the graph the
// first time it is shown; a long redraw shows its progress in the status bar.
#include "graph/clsGraph.h"
#include "graph/clsGraphZoom.h"
#include "measure/RecordTable.h"
#include "platform/UserDialogs.h"
#include "window/MainControls.h"
#include "window/WindowShell.h"

namespace window {

class GraphControl;

class StoredView {
public:
    static inline const QString ZoomedText =
        QStringLiteral("Samples %1 to %2 of %3 shown; Zoom Out shows them all.");

    StoredView(const GraphControls& controls, QLabel* LabRecordCnt, graph::clsGraph& graph,
               GraphControl& graphs, const measure::RecordTable& records, WindowShell& shell,
               platform::BusyPointer& busy);

    // The toolbar's "ZoomOut": the whole stored record, the log taken copied in first.
    void tbZoomOut_Click();
    // A file was loaded into the graph: its whole record is drawn and named in the caption.
    void ShowLoaded(const QString& fileName);
    // A log ended: its rows are copied into the graph when the stored view is next shown.
    void RecordingStopped() { m_recordingNotCopied = true; }
    // A log started: the graph no longer holds a loaded file.
    void NewLog() {
        m_loadedFileSuffix.clear();
        m_recordingNotCopied = false;
    }
    // "    (name)" of the file loaded, or empty.
    QString LoadedFileSuffix() const { return m_loadedFileSuffix; }
    bool RecordingNotCopied() const { return m_recordingNotCopied; }

    void Picture1_MouseDown(Qt::MouseButton button, double x, double y);
    void Picture1_MouseMove(Qt::MouseButtons buttons, double x, double y);
    void Picture1_MouseUp(Qt::MouseButton button, double x, double y);

private:
    // The stored record from its first sample to its last, with the units and caption.
    void showWhole();

    GraphControls m_ui;
    QLabel* m_labRecordCnt;
    graph::clsGraph& m_graph;
    GraphControl& m_graphs;
    const measure::RecordTable& m_records;
    WindowShell& m_shell;
    graph::ZoomDrag m_zoom;
    QString m_loadedFileSuffix;
    bool m_recordingNotCopied = false;
};

} // namespace window
