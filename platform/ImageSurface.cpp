#include "platform/ImageSurface.h"

#include <QCoreApplication>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// Device coordinates are kept well inside int; anything further out is off the image anyway.
constexpr double FarOut = 1.0e7;

quint32 ToArgb(Colour c) {
    return 0xFF000000u | ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

Colour FromArgb(quint32 argb) {
    return ((argb >> 16) & 0xFFu) | (argb & 0xFF00u) | ((argb & 0xFFu) << 16);
}

} // namespace

QColor ToQColor(Colour colour) {
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

Colour FromQColor(const QColor& colour) {
    const QColor rgb = colour.toRgb();
    return Colour(rgb.red()) | (Colour(rgb.green()) << 8) | (Colour(rgb.blue()) << 16);
}

ImageSurface::ImageSurface(QSize pixels, double twipsPerPixel)
    : m_image(pixels.expandedTo(QSize(1, 1)), QImage::Format_RGB32),
      m_twipsPerPixel(twipsPerPixel > 0.0 ? twipsPerPixel : 15.0) {
    m_image.fill(ToArgb(m_back));
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        setFont(QGuiApplication::font());
}

QPoint ImageSurface::toPixel(double xTwips, double yTwips) const {
    int px = 0;
    int py = 0;
    toDevice(xTwips, yTwips, px, py);
    return {px, py};
}

Colour ImageSurface::pixelAt(double xTwips, double yTwips) const {
    int px = 0;
    int py = 0;
    if (!toDevice(xTwips, yTwips, px, py) || !m_image.rect().contains(px, py)) return NoColour;
    return FromArgb(m_image.pixel(px, py));
}

bool ImageSurface::save(const QString& pngPath) const {
    return m_image.save(pngPath, "PNG");
}

void ImageSurface::setPenWidth(int devicePixels) {
    m_pen = std::clamp(devicePixels, 1, 16);
}

void ImageSurface::setFont(const QFont& font) {
    m_font = font;
    // Points to device pixels through twips: a point is 20 twips.
    if (font.pointSizeF() > 0)
        m_font.setPixelSize(
            std::max(1, int(std::lround(font.pointSizeF() * 20.0 / m_twipsPerPixel))));
    m_hasFont = true;
}

QRect ImageSurface::takeDirty() {
    const QRect dirty = m_dirty.intersected(m_image.rect());
    m_dirty = QRect();
    return dirty;
}

bool ImageSurface::toDevice(double x, double y, int& px, int& py) const {
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    px = int(std::clamp(std::floor(x / m_twipsPerPixel), -FarOut, FarOut));
    py = int(std::clamp(std::floor(y / m_twipsPerPixel), -FarOut, FarOut));
    return true;
}

void ImageSurface::touch(int x1, int y1, int x2, int y2) {
    m_dirty |= QRect(QPoint(std::min(x1, x2) - m_pen, std::min(y1, y2) - m_pen),
                     QPoint(std::max(x1, x2) + m_pen, std::max(y1, y2) + m_pen));
}

void ImageSurface::fillRect(int x1, int y1, int x2, int y2, quint32 argb) {
    const int left = std::max(std::min(x1, x2), 0);
    const int right = std::min(std::max(x1, x2), m_image.width() - 1);
    const int top = std::max(std::min(y1, y2), 0);
    const int bottom = std::min(std::max(y1, y2), m_image.height() - 1);
    if (left > right || top > bottom) return;
    // One detach for the whole box, not one a row.
    uchar* const bits = m_image.bits();
    const qsizetype stride = m_image.bytesPerLine();
    for (int y = top; y <= bottom; ++y) {
        auto* line = reinterpret_cast<quint32*>(bits + y * stride);
        std::fill(line + left, line + right + 1, argb);
    }
}

void ImageSurface::dot(int x, int y, quint32 argb) {
    if (m_pen == 1) {
        if (x >= 0 && y >= 0 && x < m_image.width() && y < m_image.height())
            reinterpret_cast<quint32*>(m_image.scanLine(y))[x] = argb;
        return;
    }
    const int before = (m_pen - 1) / 2;
    fillRect(x - before, y - before, x - before + m_pen - 1, y - before + m_pen - 1, argb);
}

void ImageSurface::rasterLine(int x0, int y0, int x1, int y1, quint32 argb) {
    // Segments reaching far off the image are clipped first (Liang-Barsky), so that the walk
    // below stays short.
    const int lo = -m_pen;
    const int hiX = m_image.width() + m_pen;
    const int hiY = m_image.height() + m_pen;
    const auto outside = [&](int x, int y) { return x < lo || y < lo || x > hiX || y > hiY; };
    if (outside(x0, y0) || outside(x1, y1)) {
        const double dx = x1 - x0;
        const double dy = y1 - y0;
        double t0 = 0.0;
        double t1 = 1.0;
        const double p[4] = {-dx, dx, -dy, dy};
        const double q[4] = {double(x0 - lo), double(hiX - x0), double(y0 - lo), double(hiY - y0)};
        for (int k = 0; k < 4; ++k) {
            if (p[k] == 0.0) {
                if (q[k] < 0.0) return;
                continue;
            }
            const double r = q[k] / p[k];
            if (p[k] < 0.0)
                t0 = std::max(t0, r);
            else
                t1 = std::min(t1, r);
            if (t0 > t1) return;
        }
        const int cx0 = int(std::lround(x0 + t0 * dx));
        const int cy0 = int(std::lround(y0 + t0 * dy));
        x1 = int(std::lround(x0 + t1 * dx));
        y1 = int(std::lround(y0 + t1 * dy));
        x0 = cx0;
        y0 = cy0;
    }
    const int dx = std::abs(x1 - x0);
    const int dy = -std::abs(y1 - y0);
    const int sx = x0 < x1 ? 1 : -1;
    const int sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    for (;;) {
        dot(x0, y0, argb);
        if (x0 == x1 && y0 == y1) break;
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void ImageSurface::Line(double x1, double y1, double x2, double y2, Colour colour) {
    int ax = 0, ay = 0, bx = 0, by = 0;
    if (!toDevice(x1, y1, ax, ay) || !toDevice(x2, y2, bx, by)) return;
    rasterLine(ax, ay, bx, by, ToArgb(colour));
    touch(ax, ay, bx, by);
}

void ImageSurface::Box(double x1, double y1, double x2, double y2, Colour colour) {
    int ax = 0, ay = 0, bx = 0, by = 0;
    if (!toDevice(x1, y1, ax, ay) || !toDevice(x2, y2, bx, by)) return;
    const quint32 argb = ToArgb(colour);
    rasterLine(ax, ay, bx, ay, argb);
    rasterLine(bx, ay, bx, by, argb);
    rasterLine(bx, by, ax, by, argb);
    rasterLine(ax, by, ax, ay, argb);
    touch(ax, ay, bx, by);
}

void ImageSurface::FilledBox(double x1, double y1, double x2, double y2, Colour colour) {
    int ax = 0, ay = 0, bx = 0, by = 0;
    if (!toDevice(x1, y1, ax, ay) || !toDevice(x2, y2, bx, by)) return;
    fillRect(ax, ay, bx, by, ToArgb(colour));
    touch(ax, ay, bx, by);
}

void ImageSurface::PSet(double x, double y, Colour colour) {
    int px = 0, py = 0;
    if (!toDevice(x, y, px, py)) return;
    dot(px, py, ToArgb(colour));
    touch(px, py, px, py);
}

void ImageSurface::Circle(double x, double y, double radius, Colour colour) {
    int cx = 0, cy = 0;
    if (!toDevice(x, y, cx, cy) || !std::isfinite(radius)) return;
    const quint32 argb = ToArgb(colour);
    const int r = int(std::min(std::lround(std::fabs(radius) / m_twipsPerPixel), 100000L));
    // Midpoint circle: one octant walked, eight plotted.
    int px = r;
    int py = 0;
    int err = 1 - r;
    while (px >= py) {
        dot(cx + px, cy + py, argb);
        dot(cx + py, cy + px, argb);
        dot(cx - py, cy + px, argb);
        dot(cx - px, cy + py, argb);
        dot(cx - px, cy - py, argb);
        dot(cx - py, cy - px, argb);
        dot(cx + py, cy - px, argb);
        dot(cx + px, cy - py, argb);
        ++py;
        if (err < 0) {
            err += 2 * py + 1;
        } else {
            --px;
            err += 2 * (py - px) + 1;
        }
    }
    touch(cx - r, cy - r, cx + r, cy + r);
}

void ImageSurface::Print(double x, double y, const QString& text) {
    int px = 0, py = 0;
    if (!m_hasFont || text.isEmpty() || !toDevice(x, y, px, py)) return;
    const QFontMetricsF metrics(m_font);
    QPainter painter(&m_image);
    painter.setFont(m_font);
    painter.setPen(ToQColor(m_fore));
    painter.drawText(QPointF(px, py + metrics.ascent()), text);
    touch(px, py, px + int(std::ceil(metrics.horizontalAdvance(text))),
          py + int(std::ceil(metrics.height())));
}

double ImageSurface::TextWidth(const QString& text) const {
    if (!m_hasFont) return 0.0;
    return QFontMetricsF(m_font).horizontalAdvance(text) * m_twipsPerPixel;
}

double ImageSurface::TextHeight(const QString& text) const {
    if (!m_hasFont) return 0.0;
    Q_UNUSED(text);
    return QFontMetricsF(m_font).height() * m_twipsPerPixel;
}

void ImageSurface::Cls() {
    m_image.fill(ToArgb(m_back));
    m_dirty = m_image.rect();
}

} // namespace platform
