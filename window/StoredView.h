#pragma once
// The stored view of the time-series graph: the whole record in the log table (a log just
// taken, or a file loaded), the zoom into part of it by a drag on the graph, and the way back
// to the whole record with the toolbar's "Zoom Out". The graph reads the rows from the table
// each time it draws them; a long redraw shows its progress in the status bar.
#include "graph/clsGraph.h"
#include "graph/clsGraphZoom.h"
#include "measure/RecordTable.h"
#include "platform/UserDialogs.h"
#include "window/MainControls.h"
#include "window/WindowShell.h"

namespace window {

class GraphControl;

// The log table as the graph reads it: trace t is column t - 1 (the time, total, X, Y, Z).
class LogRows : public graph::StoredSamples {
public:
    explicit LogRows(const measure::RecordTable& table) : m_table(table) {}
    int Count() const override { return m_table.RecordCount(); }
    float Value(int sample, int trace) const override { return m_table.At(sample, trace - 1); }

private:
    const measure::RecordTable& m_table;
};

class StoredView {
public:
    static inline const QString ZoomedText =
        QStringLiteral("Samples %1 to %2 of %3 shown; Zoom Out shows them all.");

    StoredView(const GraphControls& controls, QLabel* LabRecordCnt, graph::clsGraph& graph,
               GraphControl& graphs, const measure::RecordTable& records, WindowShell& shell,
               platform::BusyPointer& busy);

    // The toolbar's "ZoomOut": the whole stored record.
    void tbZoomOut_Click();
    // A file was loaded into the table: its whole record is drawn and named in the caption.
    void ShowLoaded(const QString& fileName);
    // A log started: the table no longer holds a loaded file.
    void NewLog() { m_loadedFileSuffix.clear(); }
    // "    (name)" of the file loaded, or empty.
    QString LoadedFileSuffix() const { return m_loadedFileSuffix; }

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
    LogRows m_rows;
    WindowShell& m_shell;
    graph::ZoomDrag m_zoom;
    QString m_loadedFileSuffix;
};

} // namespace window
