#pragma once

// One-pixel lines written straight into a painter's pixels, the same pixels the raster
// engine sets for an aliased, solid, opaque pen of width 1 with flat caps: the same
// fixed-point steps along the major axis, the same clipping to the device before the
// steps, and the same handling of the pixel where two segments of a polyline meet. The
// engine sends each pixel of such a line through its span and clip machinery on its
// own, which makes the view cone's long arcs and the players' short strokes cost far
// more than the pixels they set. GUI thread only, like the painter.

#include <QPainter>
#include <QPoint>
#include <QRgb>

#include "display/PainterPixels.h"

namespace tessarin {

class PixelStroke final {
public:
    // Usable when `pixels` is available and the painter's pen is such a pen.
    PixelStroke(const QPainter& painter, const PainterPixels& pixels);

    bool usable() const { return usable_; }

    // As QPainter::drawLine(a, b): a line from a to b without its last pixel, or the one
    // pixel when a equals b.
    void line(QPoint a, QPoint b);
    // As QPainter::drawPolyline: open, each segment's last pixel left to the next one.
    void polyline(const QPoint* points, int count);
    // As the outline QPainter::drawPolygon strokes: closed from the last point back to
    // the first. Only for outlines within the device; false, drawing nothing, otherwise.
    bool polygon(const QPoint* points, int count);

    struct Pixel {
        int x = -1;
        int y = -1;
    };

private:
    enum Direction { None = 0, Down = 1, Up = 2, Vertical = 3, Right = 4, Left = 8, Horizontal = 12 };

    void path(const QPoint* points, int count, bool implicitClose);
    // Cuts a segment to the device with a pixel to spare; false when nothing is left.
    bool clip(double& x1, double& y1, double& x2, double& y2);
    bool clipAxis(double& u1, double& v1, double& u2, double& v2, double low, double high);
    bool segment(double x1, double y1, double x2, double y2);
    // The last pixel and direction a segment would leave, without drawing it: what the
    // closing segment of a closed outline leaves for the first one.
    void lastPointOf(double x1, double y1, double x2, double y2);
    // x and y are device pixels; the clip is in the painter's.
    void plot(int x, int y) const { pixels_.set(x - dx_, y - dy_, colour_); }

    const PainterPixels& pixels_;
    bool usable_ = false;
    QRgb colour_ = 0;
    // The device in device pixels, and the painter's offset in it.
    int width_ = 0;
    int height_ = 0;
    int dx_ = 0;
    int dy_ = 0;
    // The bounds a segment is cut to before it is stepped, in device pixels.
    double xmin_ = 0, xmax_ = 0, ymin_ = 0, ymax_ = 0;

    Pixel lastPixel_;
    int lastDir_ = None;
    bool lastAxisAligned_ = false;
};

// As QPainter::drawEllipse(rect) with the painter's pen and brush, for an integer
// rectangle: the engine's midpoint rows of outline and fill, written directly. Only for
// a pen PixelStroke can draw and a solid opaque brush or none; false, drawing nothing,
// otherwise.
bool drawPixelEllipse(const QPainter& painter, const PainterPixels& pixels, const QRect& rect);

// QPainter's drawLine, drawPolyline and drawEllipse with the painter's pen and brush,
// the pixels written directly where `direct` (which may be null) allows it.
void directLine(QPainter& painter, const PainterPixels* direct, QPoint a, QPoint b);
void directPolyline(QPainter& painter, const PainterPixels* direct, const QPoint* points, int count);
void directEllipse(QPainter& painter, const PainterPixels* direct, const QRect& rect);
// QPainter::fillRect with an opaque colour.
void directFill(QPainter& painter, const PainterPixels* direct, const QRect& rect, const QColor& colour);

}  // namespace tessarin
