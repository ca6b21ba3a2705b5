#pragma once
// The drawing surface on a plain QImage: what the screen widget draws into, what the tests read
// pixels from and what a picture is exported from.
//
// Mapping. A point (x, y) in twips falls on device pixel (floor(x / t), floor(y / t)), where t
// is the twips per device pixel (15 at 96 dpi and a device pixel ratio of 1). Lines, outlines
// and filled boxes include both end points; nothing is antialiased except text, so the pixels
// of everything but text are exact. Drawing outside the image is clipped; a non-finite
// coordinate drops the operation.
//
// Pen. Lines, outlines, circles and single points are penWidth() device pixels thick (1 unless
// set): a screen with two device pixels per logical pixel draws with a pen of two, so the
// drawing keeps its proportions and stays crisp.
//
// Text is drawn in the surface's font (the application font unless set), sized in points like
// any window text, so its size in twips does not depend on the pixel density. Text needs a
// QGuiApplication; without one, Print draws nothing and texts measure 0.
#include "platform/DrawSurface.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>

namespace platform {

// No colour: what pixelAt reports outside the image.
inline constexpr Colour NoColour = 0xFFFFFFFFu;

QColor ToQColor(Colour colour);
Colour FromQColor(const QColor& colour);

class ImageSurface : public DrawSurface {
public:
    explicit ImageSurface(QSize pixels, double twipsPerPixel = 15.0);

    const QImage& image() const { return m_image; }
    QImage& image() { return m_image; }
    double twipsPerPixel() const { return m_twipsPerPixel; }
    QPoint toPixel(double xTwips, double yTwips) const;
    // The colour of the pixel under the point, as 0x00BBGGRR; NoColour outside the image.
    Colour pixelAt(double xTwips, double yTwips) const;
    bool save(const QString& pngPath) const;

    void setPenWidth(int devicePixels);
    int penWidth() const { return m_pen; }
    void setFont(const QFont& font);
    const QFont& font() const { return m_font; }
    // Device pixels touched since the last call (empty when nothing was drawn); the screen
    // widget repaints just these.
    QRect takeDirty();

    double ScaleWidth() const override { return m_image.width() * m_twipsPerPixel; }
    double ScaleHeight() const override { return m_image.height() * m_twipsPerPixel; }
    void Line(double x1, double y1, double x2, double y2, Colour colour) override;
    void Box(double x1, double y1, double x2, double y2, Colour colour) override;
    void FilledBox(double x1, double y1, double x2, double y2, Colour colour) override;
    void PSet(double x, double y, Colour colour) override;
    void Circle(double x, double y, double radius, Colour colour) override;
    void Print(double x, double y, const QString& text) override;
    double TextWidth(const QString& text) const override;
    double TextHeight(const QString& text) const override;
    void SetForeColor(Colour colour) override { m_fore = colour; }
    Colour ForeColor() const override { return m_fore; }
    void SetBackColor(Colour colour) override { m_back = colour; }
    Colour BackColor() const override { return m_back; }
    void Cls() override;

private:
    bool toDevice(double x, double y, int& px, int& py) const;
    void fillRect(int x1, int y1, int x2, int y2, quint32 argb);
    void dot(int x, int y, quint32 argb);
    void rasterLine(int x0, int y0, int x1, int y1, quint32 argb);
    void touch(int x1, int y1, int x2, int y2);

    QImage m_image;
    double m_twipsPerPixel;
    int m_pen = 1;
    Colour m_fore = 0x000000;
    Colour m_back = 0xFFFFFF;
    QFont m_font;
    bool m_hasFont = false;
    QRect m_dirty;
};

} // namespace platform
