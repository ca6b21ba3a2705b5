#pragma once
// Small window controls and helpers that the main window and its dialogs share: labels that
// report clicks, filled shapes, fore and back colours as 0x00BBGGRR values, and placement in
// twips through the screen's resolution.
#include "platform/DrawSurface.h"
#include "platform/ImageSurface.h"

#include <QLabel>
#include <QWidget>

namespace platform {

// A label that reports a left-button click. While a click would do nothing (the probe cannot,
// or a log holds it back) it is not clickable: a plain pointer, the reason as its tooltip, and
// no click reported; the text keeps its colour.
class ClickLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickLabel(QWidget* parent = nullptr);
    void setClickTip(const QString& tip); // the tooltip while clickable
    void setClickable(bool clickable, const QString& whyNot = QString());
    bool isClickable() const { return m_clickable; }
Q_SIGNALS:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_clickable = true;
    QString m_clickTip;
};

// A filled rectangle with an optional border: gauges, colour marks and background panels.
class Shape : public QWidget {
    Q_OBJECT
public:
    explicit Shape(QWidget* parent = nullptr);
    void setFillColor(Colour colour);
    Colour fillColor() const { return m_fill; }
    void setBorderColor(Colour colour);
    void setBorderVisible(bool visible);
    // Rounded corners, in logical pixels (0 for square ones).
    void setRadius(int radius);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Colour m_fill = 0xFFFFFF;
    Colour m_border = 0;
    bool m_borderVisible = false;
    int m_radius = 0;
};

// The text colour of a label (or any widget's foreground).
void SetForeColor(QWidget* widget, Colour colour);
Colour ForeColor(const QWidget* widget);
void SetBackColor(QWidget* widget, Colour colour);
Colour BackColor(const QWidget* widget);

// Twips per logical pixel of the screen the widget is on (15 at 96 dpi).
double TwipsPerPixel(const QWidget* widget);
// How long a frame of the screen the widget is on lasts, in milliseconds (a screen that
// reports no plausible refresh rate is taken as 60 frames a second).
double FrameMs(const QWidget* widget);
int ToPixels(const QWidget* widget, double twips);
double ToTwips(const QWidget* widget, int pixels);
// Geometry of a child widget, in twips of its parent.
void SetTwipsGeometry(QWidget* widget, double left, double top, double width, double height);
QRectF TwipsGeometry(const QWidget* widget);

} // namespace platform
