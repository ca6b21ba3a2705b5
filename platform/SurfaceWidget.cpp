#include "platform/SurfaceWidget.h"

#include "platform/Controls.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <cmath>

namespace platform {

namespace {

QSize DeviceSize(QSize logical, double ratio) {
    return QSize(std::max(1, int(std::lround(logical.width() * ratio))),
                 std::max(1, int(std::lround(logical.height() * ratio))));
}

} // namespace

SurfaceWidget::SurfaceWidget(QWidget* parent)
    : QWidget(parent), m_surface(DeviceSize(size(), devicePixelRatioF())) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_frame.setSingleShot(true);
    connect(&m_frame, &QTimer::timeout, this, &SurfaceWidget::flush);
    rebuild(false);
}

double SurfaceWidget::twipsPerLogicalPixel() const {
    const int dpi = logicalDpiX();
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

void SurfaceWidget::rebuild(bool keepScale) {
    const double ratio = devicePixelRatioF();
    const QImage old = m_surface.image();
    const double oldRatio = m_ratio;
    ImageSurface fresh(DeviceSize(size(), ratio), twipsPerLogicalPixel() / ratio);
    fresh.SetForeColor(m_surface.ForeColor());
    fresh.SetBackColor(m_surface.BackColor());
    fresh.Cls();
    fresh.setPenWidth(int(std::lround(ratio)));
    fresh.setFont(font());
    if (keepScale) {
        QPainter painter(&fresh.image());
        if (ratio == oldRatio) {
            painter.drawImage(QPoint(0, 0), old);
        } else {
            const QSizeF target = QSizeF(old.size()) * (ratio / oldRatio);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(QRectF(QPointF(0, 0), target), old);
        }
    }
    fresh.takeDirty();
    m_surface = fresh;
    m_ratio = ratio;
    m_pending = QRect();
    update();
}

QRectF SurfaceWidget::toLogical(const QRect& device) const {
    return QRectF(device.x() / m_ratio, device.y() / m_ratio, device.width() / m_ratio,
                  device.height() / m_ratio);
}

void SurfaceWidget::changed() {
    const QRect dirty = m_surface.takeDirty();
    if (dirty.isEmpty()) return;
    m_pending |= dirty;
    if (m_frame.isActive()) return;
    // One repaint for whatever is drawn within a frame of the screen: at once after a quiet
    // spell, and no sooner than a frame after the previous repaint while drawing goes on.
    const qint64 since = m_lastFlush.isValid() ? m_lastFlush.elapsed() : qint64(FrameMs(this));
    m_frame.start(int(std::max(0.0, FrameMs(this) - double(since))));
}

void SurfaceWidget::flush() {
    m_lastFlush.start();
    if (!m_pending.isEmpty()) update(toLogical(m_pending).toAlignedRect());
    m_pending = QRect();
}

void SurfaceWidget::setBand(const QRectF& twips) {
    const double t = twipsPerLogicalPixel();
    const auto onScreen = [t](const QRectF& r) {
        return QRectF(r.x() / t, r.y() / t, r.width() / t, r.height() / t)
            .toAlignedRect()
            .adjusted(-2, -2, 2, 2);
    };
    if (!m_band.isEmpty()) update(onScreen(m_band));
    m_band = twips;
    if (!m_band.isEmpty()) update(onScreen(m_band));
}

double SurfaceWidget::ScaleWidth() const {
    return width() * twipsPerLogicalPixel();
}

double SurfaceWidget::ScaleHeight() const {
    return height() * twipsPerLogicalPixel();
}

void SurfaceWidget::Line(double x1, double y1, double x2, double y2, Colour colour) {
    fitImage();
    m_surface.Line(x1, y1, x2, y2, colour);
    changed();
}

void SurfaceWidget::Box(double x1, double y1, double x2, double y2, Colour colour) {
    fitImage();
    m_surface.Box(x1, y1, x2, y2, colour);
    changed();
}

void SurfaceWidget::FilledBox(double x1, double y1, double x2, double y2, Colour colour) {
    fitImage();
    m_surface.FilledBox(x1, y1, x2, y2, colour);
    changed();
}

void SurfaceWidget::PSet(double x, double y, Colour colour) {
    fitImage();
    m_surface.PSet(x, y, colour);
    changed();
}

void SurfaceWidget::Circle(double x, double y, double radius, Colour colour) {
    fitImage();
    m_surface.Circle(x, y, radius, colour);
    changed();
}

void SurfaceWidget::Print(double x, double y, const QString& text) {
    fitImage();
    m_surface.Print(x, y, text);
    changed();
}

void SurfaceWidget::Cls() {
    fitImage();
    m_surface.Cls();
    changed();
}

void SurfaceWidget::fitImage() {
    // A widget that is not shown yet gets its resize event only when it is shown; drawing in
    // the meantime must already land on an image of the widget's size.
    if (m_surface.image().size() != DeviceSize(size(), devicePixelRatioF())) rebuild(true);
}

void SurfaceWidget::paintEvent(QPaintEvent* event) {
    if (devicePixelRatioF() != m_ratio) {
        rebuild(true);
        QTimer::singleShot(0, this, &SurfaceWidget::resolutionChanged);
    }
    QPainter painter(this);
    const QRect area = event->rect();
    const QRectF source(area.x() * m_ratio, area.y() * m_ratio, area.width() * m_ratio,
                        area.height() * m_ratio);
    painter.drawImage(QRectF(area), m_surface.image(), source);
    if (!m_band.isEmpty()) {
        const double t = twipsPerLogicalPixel();
        painter.setPen(QPen(ToQColor(m_surface.ForeColor()), 0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(
            QRectF(m_band.x() / t, m_band.y() / t, m_band.width() / t, m_band.height() / t));
    }
}

void SurfaceWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    rebuild(true);
}

void SurfaceWidget::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) m_surface.setFont(font());
}

void SurfaceWidget::mousePressEvent(QMouseEvent* event) {
    const double t = twipsPerLogicalPixel();
    Q_EMIT mousePressed(event->button(), event->modifiers(), event->position().x() * t,
                        event->position().y() * t);
}

void SurfaceWidget::mouseMoveEvent(QMouseEvent* event) {
    const double t = twipsPerLogicalPixel();
    Q_EMIT mouseMoved(event->buttons(), event->modifiers(), event->position().x() * t,
                      event->position().y() * t);
}

void SurfaceWidget::mouseReleaseEvent(QMouseEvent* event) {
    const double t = twipsPerLogicalPixel();
    Q_EMIT mouseReleased(event->button(), event->modifiers(), event->position().x() * t,
                         event->position().y() * t);
}

} // namespace platform
