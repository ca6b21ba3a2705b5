#include "window/StoredView.h"

#include "platform/SurfaceWidget.h"
#include "window/GraphControl.h"

#include <QLabel>
#include <QProgressBar>

namespace window {

StoredView::StoredView(const GraphControls& controls, QLabel* LabRecordCnt, graph::clsGraph& graph,
                       GraphControl& graphs, const measure::RecordTable& records,
                       WindowShell& shell, platform::BusyPointer& busy)
    : m_ui(controls), m_labRecordCnt(LabRecordCnt), m_graph(graph), m_graphs(graphs),
      m_records(records), m_rows(records), m_shell(shell), m_zoom(graph) {
    m_graph.SetStore(&m_rows);
    platform::SurfaceWidget* picture = m_ui.Picture1;
    QObject::connect(m_ui.tbZoomOut, &QAction::triggered, [this] { tbZoomOut_Click(); });
    QObject::connect(picture, &platform::SurfaceWidget::mousePressed,
                     [this](Qt::MouseButton b, Qt::KeyboardModifiers, double x, double y) {
                         Picture1_MouseDown(b, x, y);
                     });
    QObject::connect(picture, &platform::SurfaceWidget::mouseMoved,
                     [this](Qt::MouseButtons b, Qt::KeyboardModifiers, double x, double y) {
                         Picture1_MouseMove(b, x, y);
                     });
    QObject::connect(picture, &platform::SurfaceWidget::mouseReleased,
                     [this](Qt::MouseButton b, Qt::KeyboardModifiers, double x, double y) {
                         Picture1_MouseUp(b, x, y);
                     });
    // A long redraw of the record shows how far it has come, under the wait cursor.
    QProgressBar* bar = m_ui.ProgressBar1;
    m_graph.SetProgress({[bar, &busy](int maximum) {
                             busy.begin();
                             bar->setRange(0, maximum);
                             bar->setValue(0);
                             bar->setVisible(true);
                         },
                         [bar](int value) { bar->setValue(value); },
                         [bar, &busy] {
                             bar->setVisible(false);
                             busy.end();
                         }});
}

void StoredView::tbZoomOut_Click() {
    m_graph.SetVerUnitsDesc(m_records.RecordUnits());
    showWhole();
}

void StoredView::ShowLoaded(const QString& fileName) {
    m_loadedFileSuffix = QStringLiteral("    (") + fileName + QLatin1Char(')');
    m_shell.SetStatusPanel(1, QStringLiteral("Plotting data please wait ..."));
    m_graphs.SetUpGraphScale();
    showWhole();
    m_labRecordCnt->setText(QString::number(m_graph.DataCnt()));
    m_shell.SetStatusPanel(1, QStringLiteral("Completed"));
    m_ui.tbZoomOut->setEnabled(true);
}

void StoredView::showWhole() {
    m_graphs.ShowStored();
    m_ui.tbZoomIn->setEnabled(true);
    m_shell.SetCaption(AppTitle + m_loadedFileSuffix);
    m_graph.ZoomOut();
    m_graph.Graph(0);
    m_graph.DrawLines();
}

void StoredView::Picture1_MouseDown(Qt::MouseButton button, double x, double y) {
    m_zoom.MouseDown(button, x, y);
    m_ui.Picture1->setBand(m_zoom.Band());
}

void StoredView::Picture1_MouseMove(Qt::MouseButtons buttons, double x, double y) {
    m_zoom.MouseMove(buttons, x, y);
    m_ui.Picture1->setBand(m_zoom.Band());
}

void StoredView::Picture1_MouseUp(Qt::MouseButton button, double x, double y) {
    // The instruction to drag goes with the drag.
    if (m_zoom.MouseUp(button, x, y))
        m_shell.SetStatusPanel(
            1,
            ZoomedText.arg(m_graph.FirstSample()).arg(m_graph.LastSample()).arg(m_graph.DataCnt()));
    m_ui.Picture1->setBand(m_zoom.Band());
}

} // namespace window
