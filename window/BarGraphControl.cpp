// The bar graph as the main window drives it.
#include "window/BarGraphControl.h"

#include "app/frmMain.h"
#include "measure/ClsZeta.h"
#include "measure/RecordTable.h"
#include "window/GraphControl.h"

#include <QComboBox>
#include <QEvent>
#include <functional>

namespace window {

namespace {

// Calls back after every resize of the watched widget. The widget's drawing surface already
// has the new size when the event arrives, so the callback may draw at once.
class ResizeWatch : public QObject {
public:
    explicit ResizeWatch(std::function<void()> resized) : m_resized(std::move(resized)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Resize) m_resized();
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> m_resized;
};

} // namespace

BarGraphControl::BarGraphControl(app::frmMain& main) : m_main(main) {}

BarGraphControl::~BarGraphControl() = default;

void BarGraphControl::connectControls() {
    platform::SurfaceWidget* picture = m_main.ui().Picture3;
    QObject::connect(
        picture, &platform::SurfaceWidget::mouseReleased, picture,
        [this, picture](Qt::MouseButton button, Qt::KeyboardModifiers, double x, double y) {
            // A click is a left-button release over the picture.
            if (button != Qt::LeftButton) return;
            if (x < 0.0 || y < 0.0 || x >= picture->ScaleWidth() || y >= picture->ScaleHeight())
                return;
            Picture3_Click();
        });
    m_resizeWatch = std::make_unique<ResizeWatch>([this] { SetUpBarGraph(); });
    picture->installEventFilter(m_resizeWatch.get());
}

void BarGraphControl::SetUpBarGraph() {
    m_main.graphControl().FollowProbeScale();
    BarScaleStr = m_main.config().GraphScaleStr;
    const std::optional<graph::VerticalScale> scale = graph::FindVerticalScale(BarScaleStr);
    if (!scale) return;
    graph::ClsBarGraph& bars = m_main.barGraph();
    if (scale->log)
        bars.DrawScale(scale->bottom(), 1.0f, scale->divisions, 1);
    else if (BarScaleStr == GraphControl::AutoText)
        bars.DrawScale(0.0f, 1.0f, 10, 0);
    else
        bars.DrawScale(0.0f, scale->unitsPerDiv, scale->divisions, 0);
}

void BarGraphControl::BarGraphSigma() {
    const probe::clsProbe& p = m_main.probe();
    graph::ClsBarGraph& bars = m_main.barGraph();
    if (p.MultiplexOn() != 1) {
        bars.DrawBarXYZ(p.XYZNA());
        return;
    }
    switch (p.GetMultiCurrAxis()) {
    case 1: bars.DrawBarX(p.XNA()); break;
    case 2: bars.DrawBarY(p.YNA()); break;
    case 3: bars.DrawBarZ(p.ZNA()); break;
    default: break;
    }
    bars.DrawBarXYZ(p.XYZNA());
}

void BarGraphControl::BarGraphZeta() {
    const measure::ClsZeta& z = m_main.zeta();
    graph::ClsBarGraph& bars = m_main.barGraph();
    bars.DrawBarXYZ(z.XYZNA());
    bars.DrawBarX(z.XNA());
    bars.DrawBarY(z.YNA());
    bars.DrawBarZ(z.ZNA());
}

void BarGraphControl::ZeroBars() {
    graph::ClsBarGraph& bars = m_main.barGraph();
    bars.DrawBarXYZ(0.0f);
    bars.DrawBarX(0.0f);
    bars.DrawBarY(0.0f);
    bars.DrawBarZ(0.0f);
}

void BarGraphControl::Picture3_Click() {
    if (m_main.records().Recording != measure::RecordTable::Idle) return;
    m_main.barGraph().ClearPeak();
    m_main.zeta().ClearMaxHold();
    m_main.probe().ClearMaxHold();
}

} // namespace window
