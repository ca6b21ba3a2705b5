#pragma once
// The drawing surface on screen: a widget with a backing image that everything is drawn into.
// The image survives repaints, and a repaint only copies the part of it that changed, so showing
// the drawing again costs next to nothing. However fast the drawing comes, the widget repaints
// at most once a frame of the screen.
//
// Twips map to the screen through its logical resolution (15 twips a logical pixel at 96 dpi).
// The backing image has the screen's device pixels (logical size times the device pixel ratio),
// with a pen of that many device pixels, so the drawing is as crisp on a high-density screen as
// the screen allows. A resize keeps what is drawn at the top left and fills new room with the
// back colour; a change of pixel ratio rescales the picture and reports resolutionChanged(), on
// which the owner redraws.
//
// Text uses the widget's font. Mouse events are reported in twips. A rubber-band rectangle
// (setBand) is shown over the drawing without becoming part of it.
#include "platform/ImageSurface.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

namespace platform {

class SurfaceWidget : public QWidget, public DrawSurface {
    Q_OBJECT
public:
    explicit SurfaceWidget(QWidget* parent = nullptr);

    // Twips per logical pixel of the screen the widget is on.
    double twipsPerLogicalPixel() const;
    const ImageSurface& surface() const { return m_surface; }
    const QImage& image() const { return m_surface.image(); }

    // The rubber band, in twips; an empty rectangle hides it.
    void setBand(const QRectF& twips);
    QRectF band() const { return m_band; }

    double ScaleWidth() const override;
    double ScaleHeight() const override;
    void Line(double x1, double y1, double x2, double y2, Colour colour) override;
    void Box(double x1, double y1, double x2, double y2, Colour colour) override;
    void FilledBox(double x1, double y1, double x2, double y2, Colour colour) override;
    void PSet(double x, double y, Colour colour) override;
    void Circle(double x, double y, double radius, Colour colour) override;
    void Print(double x, double y, const QString& text) override;
    double TextWidth(const QString& text) const override { return m_surface.TextWidth(text); }
    double TextHeight(const QString& text) const override { return m_surface.TextHeight(text); }
    void SetForeColor(Colour colour) override { m_surface.SetForeColor(colour); }
    Colour ForeColor() const override { return m_surface.ForeColor(); }
    void SetBackColor(Colour colour) override { m_surface.SetBackColor(colour); }
    Colour BackColor() const override { return m_surface.BackColor(); }
    void Cls() override;

Q_SIGNALS:
    void mousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, double x, double y);
    void mouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, double x, double y);
    void mouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, double x, double y);
    void resolutionChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void rebuild(bool keepScale);
    void fitImage();
    void changed();
    void flush();
    QRectF toLogical(const QRect& device) const;

    ImageSurface m_surface;
    double m_ratio = 1.0;
    QRect m_pending; // device pixels waiting for a repaint
    QTimer m_frame;  // runs while a repaint waits for the next frame
    QElapsedTimer m_lastFlush;
    QRectF m_band;
};

} // namespace platform
