#pragma once
// A picture surface the graphs draw on. Coordinates are twips (1/1440 inch) from the top left
// corner; colours are 0x00BBGGRR values. What is drawn stays until it is drawn over or cleared
// (persistent drawing): showing it again costs nothing.
#include <QString>
#include <QtGlobal>

namespace platform {

using Colour = quint32; // 0x00BBGGRR

// Entry n of the standard 16-colour palette, as 0x00BBGGRR.
Colour PaletteColour(int n);

class DrawSurface {
public:
    virtual ~DrawSurface() = default;

    // Size of the drawable area in twips.
    virtual double ScaleWidth() const = 0;
    virtual double ScaleHeight() const = 0;

    virtual void Line(double x1, double y1, double x2, double y2, Colour colour) = 0;
    // Outline of the box with corners (x1, y1) and (x2, y2).
    virtual void Box(double x1, double y1, double x2, double y2, Colour colour) = 0;
    virtual void FilledBox(double x1, double y1, double x2, double y2, Colour colour) = 0;
    // One pixel at the point; on a high-density screen, a dot the size of a pixel at 96 dpi.
    virtual void PSet(double x, double y, Colour colour) = 0;
    virtual void Circle(double x, double y, double radius, Colour colour) = 0;
    // Text with its top left corner at the point, in the fore colour.
    virtual void Print(double x, double y, const QString& text) = 0;
    virtual double TextWidth(const QString& text) const = 0;
    virtual double TextHeight(const QString& text) const = 0;

    virtual void SetForeColor(Colour colour) = 0;
    virtual Colour ForeColor() const = 0;
    virtual void SetBackColor(Colour colour) = 0;
    virtual Colour BackColor() const = 0;
    // Clears everything to the back colour.
    virtual void Cls() = 0;
};

} // namespace platform
