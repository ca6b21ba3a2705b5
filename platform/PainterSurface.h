#pragma once
// The drawing surface on a QPainter: what the graphs draw goes to any paint device as vectors
// (a PDF page, an SVG, a printer), with the same twips and colours as on the screen.
//
// Mapping. A point (x, y) in twips falls on (x / t, y / t) of the painter, where t is the
// twips per unit of the painter's device: 1 on a device of 1440 dots an inch. Nothing is
// clipped but what the painter clips itself; a non-finite coordinate drops the operation.
//
// Pen. Lines, outlines, circles and single points are penWidth() twips wide (15, a pixel at
// 96 dpi, unless set). Connected lines of one colour are gathered into one polyline, and a
// point on the end of that polyline is left out (the line's round cap covers it): a trace of
// thousands of samples becomes one path, not thousands of strokes. Anything else drawn, and
// flush(), ends the polyline; the painter must not be used for anything else in between
// without a flush().
//
// Text is drawn in the surface's font, sized in points like any window text. The surface
// does not own the painter.
#include "platform/DrawSurface.h"

#include <QFont>
#include <QPainter>
#include <QPolygonF>
#include <QSizeF>

namespace platform {

class PainterSurface : public DrawSurface {
public:
    // The surface covers `size` twips from the painter's origin.
    PainterSurface(QPainter& painter, QSizeF size, double twipsPerUnit = 1.0);
    ~PainterSurface() override;
    PainterSurface(const PainterSurface&) = delete;
    PainterSurface& operator=(const PainterSurface&) = delete;

    void setPenWidth(double twips);
    double penWidth() const { return m_penTwips; }
    void setFont(const QFont& font);
    const QFont& font() const { return m_font; }
    // Draws the polyline gathered so far.
    void flush();

    double ScaleWidth() const override { return m_size.width(); }
    double ScaleHeight() const override { return m_size.height(); }
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
    QPointF toDevice(double x, double y) const { return {x / m_twipsPerUnit, y / m_twipsPerUnit}; }
    void stroke(Colour colour);

    QPainter& m_painter;
    QSizeF m_size;
    double m_twipsPerUnit;
    double m_penTwips = 15.0;
    Colour m_fore = 0x000000;
    Colour m_back = 0xFFFFFF;
    QFont m_font;
    QPolygonF m_run; // the polyline gathered, in device units
    Colour m_runColour = 0;
};

} // namespace platform
