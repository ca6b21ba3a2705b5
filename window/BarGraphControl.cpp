// The bar graph as the main window drives it.
#include "window/BarGraphControl.h"

#include "graph/VerticalScale.h"

#include <QEvent>

namespace window {

using measure::Reading;

namespace {

const QString AutoText = QStringLiteral("Auto");

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

BarGraphControl::BarGraphControl(graph::ClsBarGraph& bars, platform::SurfaceWidget* picture,
                                 const measure::RecordTable& records,
                                 std::function<QString()> scaleInForce,
                                 std::function<void()> clearHolds)
    : m_bars(bars), m_records(records), m_scaleInForce(std::move(scaleInForce)),
      m_clearHolds(std::move(clearHolds)) {
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

BarGraphControl::~BarGraphControl() = default;

void BarGraphControl::SetUpBarGraph() {
    m_scaleText = m_scaleInForce();
    const std::optional<graph::VerticalScale> scale = graph::FindVerticalScale(m_scaleText);
    if (!scale) return;
    if (scale->log)
        m_bars.DrawScale(scale->bottom(), 1.0f, scale->divisions, 1);
    else if (m_scaleText == AutoText)
        m_bars.DrawScale(0.0f, 1.0f, 10, 0);
    else
        m_bars.DrawScale(0.0f, scale->unitsPerDiv, scale->divisions, 0);
}

void BarGraphControl::TakeReading(const Reading& reading) {
    if (!m_on) return;
    if (reading.family == measure::Family::Zeta)
        BarGraphZeta(reading);
    else
        BarGraphSigma(reading);
}

// A probe read axis by axis moves the bar of the axis it reported, and the total; a row that
// holds all three axes moves them all.
void BarGraphControl::BarGraphSigma(const Reading& r) {
    if (r.axesReported && r.axis == 0) {
        DrawBars(r.instant);
        return;
    }
    switch (r.axis) {
    case measure::X: m_bars.DrawBarX(r.instant[measure::X]); break;
    case measure::Y: m_bars.DrawBarY(r.instant[measure::Y]); break;
    case measure::Z: m_bars.DrawBarZ(r.instant[measure::Z]); break;
    default: break;
    }
    m_bars.DrawBarXYZ(r.instant[measure::Total]);
}

void BarGraphControl::BarGraphZeta(const Reading& r) {
    DrawBars(r.instant);
}

void BarGraphControl::DrawBars(const measure::AxisValues& values) {
    m_bars.DrawBarXYZ(values[measure::Total]);
    m_bars.DrawBarX(values[measure::X]);
    m_bars.DrawBarY(values[measure::Y]);
    m_bars.DrawBarZ(values[measure::Z]);
}

void BarGraphControl::ZeroBars() {
    m_bars.DrawBarXYZ(0.0f);
    ZeroAxisBars();
}

void BarGraphControl::ZeroAxisBars() {
    m_bars.DrawBarX(0.0f);
    m_bars.DrawBarY(0.0f);
    m_bars.DrawBarZ(0.0f);
}

void BarGraphControl::Picture3_Click() {
    if (m_records.Recording() != measure::RecordTable::Idle) return;
    m_bars.ClearPeak();
    m_clearHolds();
}

} // namespace window
