#include "platform/PainterSurface.h"

#include "platform/ImageSurface.h"

#include <QFontMetricsF>
#include <QPen>
#include <cmath>

namespace platform {

namespace {

bool Finite(double a, double b) {
    return std::isfinite(a) && std::isfinite(b);
}

} // namespace

PainterSurface::PainterSurface(QPainter& painter, QSizeF size, double twipsPerUnit)
    : m_painter(painter), m_size(size), m_twipsPerUnit(twipsPerUnit > 0.0 ? twipsPerUnit : 1.0),
      m_font(painter.font()) {}

PainterSurface::~PainterSurface() {
    flush();
}

void PainterSurface::setPenWidth(double twips) {
    flush();
    if (twips > 0.0 && std::isfinite(twips)) m_penTwips = twips;
}

void PainterSurface::setFont(const QFont& font) {
    m_font = font;
}

void PainterSurface::stroke(Colour colour) {
    QPen pen(ToQColor(colour), m_penTwips / m_twipsPerUnit, Qt::SolidLine, Qt::RoundCap,
             Qt::RoundJoin);
    m_painter.setPen(pen);
    m_painter.setBrush(Qt::NoBrush);
}

void PainterSurface::flush() {
    if (m_run.isEmpty()) return;
    stroke(m_runColour);
    if (m_run.size() == 1)
        m_painter.drawPoint(m_run.front());
    else
        m_painter.drawPolyline(m_run);
    m_run.clear();
}

void PainterSurface::Line(double x1, double y1, double x2, double y2, Colour colour) {
    if (!Finite(x1, y1) || !Finite(x2, y2)) return;
    const QPointF from = toDevice(x1, y1);
    const QPointF to = toDevice(x2, y2);
    if (m_run.isEmpty() || m_runColour != colour || m_run.back() != from) {
        flush();
        m_run.append(from);
        m_runColour = colour;
    }
    m_run.append(to);
}

void PainterSurface::Box(double x1, double y1, double x2, double y2, Colour colour) {
    if (!Finite(x1, y1) || !Finite(x2, y2)) return;
    flush();
    stroke(colour);
    m_painter.drawRect(QRectF(toDevice(x1, y1), toDevice(x2, y2)).normalized());
}

void PainterSurface::FilledBox(double x1, double y1, double x2, double y2, Colour colour) {
    if (!Finite(x1, y1) || !Finite(x2, y2)) return;
    flush();
    m_painter.fillRect(QRectF(toDevice(x1, y1), toDevice(x2, y2)).normalized(), ToQColor(colour));
}

void PainterSurface::PSet(double x, double y, Colour colour) {
    if (!Finite(x, y)) return;
    const QPointF point = toDevice(x, y);
    // The end of the line just drawn: its cap already covers the point.
    if (!m_run.isEmpty() && m_runColour == colour && m_run.back() == point) return;
    flush();
    m_run.append(point);
    m_runColour = colour;
}

void PainterSurface::Circle(double x, double y, double radius, Colour colour) {
    if (!Finite(x, y) || !std::isfinite(radius)) return;
    flush();
    stroke(colour);
    const double r = std::fabs(radius) / m_twipsPerUnit;
    m_painter.drawEllipse(toDevice(x, y), r, r);
}

void PainterSurface::Print(double x, double y, const QString& text) {
    if (text.isEmpty() || !Finite(x, y)) return;
    flush();
    m_painter.setFont(m_font);
    m_painter.setPen(ToQColor(m_fore));
    const QFontMetricsF metrics(m_font, m_painter.device());
    m_painter.drawText(toDevice(x, y) + QPointF(0.0, metrics.ascent()), text);
}

double PainterSurface::TextWidth(const QString& text) const {
    return QFontMetricsF(m_font, m_painter.device()).horizontalAdvance(text) * m_twipsPerUnit;
}

double PainterSurface::TextHeight(const QString& text) const {
    Q_UNUSED(text);
    return QFontMetricsF(m_font, m_painter.device()).height() * m_twipsPerUnit;
}

void PainterSurface::Cls() {
    m_run.clear();
    m_painter.fillRect(QRectF(toDevice(0.0, 0.0), toDevice(m_size.width(), m_size.height())),
                       ToQColor(m_back));
}

} // namespace platform
