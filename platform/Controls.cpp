#include "platform/Controls.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <cmath>

namespace platform {

ClickLabel::ClickLabel(QWidget* parent) : QLabel(parent) {
    setCursor(Qt::PointingHandCursor);
}

void ClickLabel::setClickTip(const QString& tip) {
    m_clickTip = tip;
    if (m_clickable) setToolTip(tip);
}

void ClickLabel::setClickable(bool clickable, const QString& whyNot) {
    m_clickable = clickable;
    setCursor(clickable ? Qt::PointingHandCursor : Qt::ArrowCursor);
    setToolTip(clickable ? m_clickTip : whyNot);
}

void ClickLabel::mouseReleaseEvent(QMouseEvent* event) {
    QLabel::mouseReleaseEvent(event);
    if (m_clickable && event->button() == Qt::LeftButton &&
        rect().contains(event->position().toPoint()))
        Q_EMIT clicked();
}

Shape::Shape(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void Shape::setFillColor(Colour colour) {
    if (m_fill == colour) return;
    m_fill = colour;
    update();
}

void Shape::setBorderColor(Colour colour) {
    m_border = colour;
    update();
}

void Shape::setBorderVisible(bool visible) {
    m_borderVisible = visible;
    update();
}

void Shape::setRadius(int radius) {
    m_radius = radius;
    update();
}

void Shape::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, m_radius > 0);
    painter.setBrush(ToQColor(m_fill));
    if (m_borderVisible)
        painter.setPen(QPen(ToQColor(m_border), 1));
    else
        painter.setPen(Qt::NoPen);
    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (m_radius > 0)
        painter.drawRoundedRect(r, m_radius, m_radius);
    else
        painter.drawRect(r);
}

void SetForeColor(QWidget* widget, Colour colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, ToQColor(colour));
    palette.setColor(QPalette::Text, ToQColor(colour));
    widget->setPalette(palette);
}

Colour ForeColor(const QWidget* widget) {
    return FromQColor(widget->palette().color(QPalette::WindowText));
}

void SetBackColor(QWidget* widget, Colour colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, ToQColor(colour));
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

Colour BackColor(const QWidget* widget) {
    return FromQColor(widget->palette().color(QPalette::Window));
}

double TwipsPerPixel(const QWidget* widget) {
    const int dpi = widget ? widget->logicalDpiX() : 96;
    return dpi > 0 ? 1440.0 / dpi : 15.0;
}

int ToPixels(const QWidget* widget, double twips) {
    return int(std::lround(twips / TwipsPerPixel(widget)));
}

double ToTwips(const QWidget* widget, int pixels) {
    return pixels * TwipsPerPixel(widget);
}

void SetTwipsGeometry(QWidget* widget, double left, double top, double width, double height) {
    const QWidget* frame = widget->parentWidget() ? widget->parentWidget() : widget;
    widget->setGeometry(ToPixels(frame, left), ToPixels(frame, top),
                        std::max(0, ToPixels(frame, width)), std::max(0, ToPixels(frame, height)));
}

QRectF TwipsGeometry(const QWidget* widget) {
    const QWidget* frame = widget->parentWidget() ? widget->parentWidget() : widget;
    const double t = TwipsPerPixel(frame);
    const QRect g = widget->geometry();
    return QRectF(g.x() * t, g.y() * t, g.width() * t, g.height() * t);
}

double FrameMs(const QWidget* widget) {
    const QScreen* shown = widget ? widget->screen() : nullptr;
    const double rate = shown ? shown->refreshRate() : 0.0;
    return rate >= 20.0 && rate <= 250.0 ? 1000.0 / rate : 1000.0 / 60.0;
}

} // namespace platform
