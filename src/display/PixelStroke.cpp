#include "display/PixelStroke.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

#include "display/PainterPixels.h"

namespace tessarin {

namespace {

constexpr int kCapBegin = 1;
constexpr int kCapEnd = 2;

// A device coordinate in 26.6 fixed point, truncated as the engine truncates it.
int fixed26(double v) { return static_cast<int>(v * 64.0); }

// a / b in 16.16 fixed point, rounded toward zero.
std::int64_t fixedDiv(std::int64_t a, std::int64_t b) { return a * 65536 / b; }

int swapCaps(int caps) { return ((caps & kCapBegin) << 1) | ((caps & kCapEnd) >> 1); }

}  // namespace

PixelStroke::PixelStroke(const QPainter& painter, const PainterPixels& pixels) : pixels_(pixels) {
    if (!pixels.available()) return;
    const QPen& pen = painter.pen();
    if (pen.style() != Qt::SolidLine || pen.capStyle() != Qt::FlatCap || pen.widthF() != 1.0) return;
    if (pen.brush().style() != Qt::SolidPattern || pen.color().alpha() != 255) return;
    if (painter.testRenderHint(QPainter::Antialiasing)) return;
    colour_ = pen.color().rgba();
    dx_ = pixels.origin().x();
    dy_ = pixels.origin().y();
    const QRect device = pixels.device().translated(dx_, dy_);
    width_ = device.width();
    height_ = device.height();
    xmin_ = -1;
    xmax_ = width_ - 1 + 2;
    ymin_ = -1;
    ymax_ = height_ - 1 + 2;
    const QRect first = pixels.clip().front().translated(dx_, dy_);
    clipLeft_ = first.left();
    clipTop_ = first.top();
    clipRight_ = first.right() + 1;
    clipBottom_ = first.bottom() + 1;
    singleClip_ = pixels.clip().size() == 1;
    usable_ = true;
}

void PixelStroke::plotClipped(int x, int y) const {
    // x and y are device pixels; the clip is in the painter's.
    pixels_.set(x - dx_, y - dy_, colour_);
}

bool PixelStroke::clip(double& x1, double& y1, double& x2, double& y2) {
    if (x1 < xmin_) {
        if (x2 <= xmin_) return lastPixel_.x = -1, false;
        y1 += (y2 - y1) / (x2 - x1) * (xmin_ - x1);
        x1 = xmin_;
    } else if (x1 > xmax_) {
        if (x2 >= xmax_) return lastPixel_.x = -1, false;
        y1 += (y2 - y1) / (x2 - x1) * (xmax_ - x1);
        x1 = xmax_;
    }
    if (x2 < xmin_) {
        lastPixel_.x = -1;
        y2 += (y2 - y1) / (x2 - x1) * (xmin_ - x2);
        x2 = xmin_;
    } else if (x2 > xmax_) {
        lastPixel_.x = -1;
        y2 += (y2 - y1) / (x2 - x1) * (xmax_ - x2);
        x2 = xmax_;
    }
    if (y1 < ymin_) {
        if (y2 <= ymin_) return lastPixel_.x = -1, false;
        x1 += (x2 - x1) / (y2 - y1) * (ymin_ - y1);
        y1 = ymin_;
    } else if (y1 > ymax_) {
        if (y2 >= ymax_) return lastPixel_.x = -1, false;
        x1 += (x2 - x1) / (y2 - y1) * (ymax_ - y1);
        y1 = ymax_;
    }
    if (y2 < ymin_) {
        lastPixel_.x = -1;
        x2 += (x2 - x1) / (y2 - y1) * (ymin_ - y2);
        y2 = ymin_;
    } else if (y2 > ymax_) {
        lastPixel_.x = -1;
        x2 += (x2 - x1) / (y2 - y1) * (ymax_ - y2);
        y2 = ymax_;
    }
    return true;
}

void PixelStroke::lastPointOf(double rx1, double ry1, double rx2, double ry2) {
    lastPixel_ = Pixel{};
    if (!clip(rx1, ry1, rx2, ry2)) return;
    std::int64_t a1 = fixed26(rx1), b1 = fixed26(ry1), a2 = fixed26(rx2), b2 = fixed26(ry2);
    // a runs along the major axis, b across it.
    const bool vertical = std::llabs(a2 - a1) < std::llabs(b2 - b1);
    if (vertical) {
        std::swap(a1, b1);
        std::swap(a2, b2);
    } else if (a1 == a2) {
        return;
    }
    const bool swapped = a1 > a2;
    if (swapped) {
        std::swap(a1, a2);
        std::swap(b1, b2);
    }
    const std::int64_t inc = fixedDiv(b2 - b1, a2 - a1);
    std::int64_t b = b1 * 1024;
    const std::int64_t a = (a1 + 32) >> 6;
    const std::int64_t as = (a2 + 32) >> 6;
    if (a == as) return;
    b += (((a * 64) + (inc > 0 ? 32 : 0) - a1) * inc) >> 6;
    const std::int64_t major = swapped ? a : as - 1;
    const std::int64_t minor = swapped ? b >> 16 : (b + (as - a - 1) * inc) >> 16;
    lastPixel_ = vertical ? Pixel{static_cast<int>(minor), static_cast<int>(major)}
                          : Pixel{static_cast<int>(major), static_cast<int>(minor)};
    lastDir_ = vertical ? (swapped ? Up : Down) : (swapped ? Left : Right);
    lastAxisAligned_ = std::llabs(inc) < (1 << 14);
}

bool PixelStroke::segment(double rx1, double ry1, double rx2, double ry2) {
    if (!clip(rx1, ry1, rx2, ry2)) return false;
    std::int64_t a1 = fixed26(rx1), b1 = fixed26(ry1), a2 = fixed26(rx2), b2 = fixed26(ry2);
    const bool vertical = std::llabs(a2 - a1) < std::llabs(b2 - b1);
    if (vertical) {
        std::swap(a1, b1);
        std::swap(a2, b2);
    } else if (a1 == a2) {
        return true;
    }
    Pixel last = lastPixel_;
    int caps = 0;
    int dir = vertical ? Down : Right;
    const bool swapped = a1 > a2;
    if (swapped) {
        std::swap(a1, a2);
        std::swap(b1, b2);
        caps = swapCaps(caps);
        dir = vertical ? Up : Left;
    }
    const std::int64_t inc = fixedDiv(b2 - b1, a2 - a1);
    std::int64_t b = b1 * 1024;
    // Turning back on the same axis, the line gets half a pixel more at the turn.
    if ((lastDir_ ^ (vertical ? Vertical : Horizontal)) == dir) caps |= swapped ? kCapEnd : kCapBegin;
    if (caps & kCapBegin) {
        a1 -= 32;
        b -= inc >> 1;
    }
    if (caps & kCapEnd) a2 += 32;

    std::int64_t a = (a1 + 32) >> 6;
    std::int64_t as = (a2 + 32) >> 6;
    if (a != as) {
        b += (((a * 64) + (inc > 0 ? 32 : 0) - a1) * inc) >> 6;
        auto pixel = [vertical](std::int64_t major, std::int64_t minor) {
            return vertical ? Pixel{static_cast<int>(minor), static_cast<int>(major)}
                            : Pixel{static_cast<int>(major), static_cast<int>(minor)};
        };
        Pixel first = pixel(a, b >> 16);
        last = pixel(as - 1, (b + (as - a - 1) * inc) >> 16);
        if (swapped) std::swap(first, last);

        // Where this segment meets the one before: the shared pixel is set once, and a
        // pixel is added where the two would leave a gap at a change of direction.
        const bool axisAligned = std::llabs(inc) < (1 << 14);
        if (lastPixel_.x >= 0) {
            if (first.x == lastPixel_.x && first.y == lastPixel_.y) {
                if (swapped) {
                    --as;
                } else {
                    ++a;
                    b += inc;
                }
            } else if (lastDir_ != dir &&
                       (((axisAligned && lastAxisAligned_) && lastPixel_.x != first.x && lastPixel_.y != first.y) ||
                        (std::abs(lastPixel_.x - first.x) > 1 || std::abs(lastPixel_.y - first.y) > 1))) {
                if (swapped) {
                    ++as;
                } else {
                    --a;
                    b -= inc;
                }
            }
        }
        lastDir_ = dir;
        lastAxisAligned_ = axisAligned;

        do {
            const Pixel p = pixel(a, b >> 16);
            plot(p.x, p.y);
            b += inc;
        } while (++a < as);
    }
    lastPixel_ = last;
    return true;
}

void PixelStroke::path(const QPoint* points, int count, bool implicitClose) {
    auto at = [&](int i) { return QPointF(points[i].x() + dx_, points[i].y() + dy_); };
    lastPixel_ = Pixel{};
    lastDir_ = None;
    QPointF p = at(0);
    const QPointF movedTo = p;
    // A closed outline starts as if its closing segment had just been drawn: the
    // segment back to the first point, or the last one when the points close it.
    if (count > 2 && points[0] == points[count - 1]) {
        const QPointF from = at(count - 2);
        const QPointF end = at(count - 1);
        lastPointOf(from.x(), from.y(), end.x(), end.y());
    } else if (implicitClose) {
        const QPointF end = at(count - 1);
        lastPointOf(end.x(), end.y(), p.x(), p.y());
    }
    for (int i = 1; i < count; ++i) {
        const QPointF p2 = at(i);
        segment(p.x(), p.y(), p2.x(), p2.y());
        p = p2;
    }
    if (implicitClose) segment(p.x(), p.y(), movedTo.x(), movedTo.y());
}

void PixelStroke::polyline(const QPoint* points, int count) {
    if (usable_ && count > 0) path(points, count, false);
}

bool PixelStroke::polygon(const QPoint* points, int count) {
    if (!usable_ || count <= 0) return false;
    // The engine cuts an outline that leaves the device to it before stroking it, which
    // moves the ends of the cut segments; such outlines are left to it.
    const QRect device(-dx_, -dy_, width_, height_);
    for (int i = 0; i < count; ++i) {
        if (!device.contains(points[i])) return false;
    }
    path(points, count, true);
    return true;
}

void PixelStroke::line(QPoint a, QPoint b) {
    if (!usable_) return;
    if (a == b) {
        plot(a.x() + dx_, a.y() + dy_);
        return;
    }
    lastPixel_ = Pixel{};
    lastDir_ = None;
    segment(a.x() + dx_, a.y() + dy_, b.x() + dx_, b.y() + dy_);
}

namespace {

void span(const PainterPixels& pixels, int x, int y, int length, QRgb colour) {
    if (length > 0) pixels.fill(x, y, length, colour);
}

// The runs of an ellipse row pair: the outline runs at the row `y` above the centre and
// its mirror below, `length` pixels from x outward (x and y from the centre), and the
// fill between them.
struct EllipseRows {
    const PainterPixels& pixels;
    QRect rect;
    QRgb pen;
    bool fill;
    QRgb brush;

    void pair(int x, int y, int length) const {
        if (length == 0) return;
        const int midx = rect.x() + (rect.width() + 1) / 2;
        const int midy = rect.y() + (rect.height() + 1) / 2;
        const int right = x + midx;
        const int top = midy - y;
        const int left = midx + (midx - right) - (length - 1) - (rect.width() & 1);
        const int leftLength = std::min(length, right - left);
        const int bottom = midy + (midy - top) - (rect.height() & 1);
        if (fill && left + leftLength < right) {
            const int from = left + leftLength - 1;
            span(pixels, from, top, std::max(0, right - from), brush);
            if (top < bottom) span(pixels, from, bottom, std::max(0, right - from), brush);
        }
        span(pixels, left, top, leftLength, pen);
        span(pixels, right, top, length, pen);
        if (top < bottom) {
            span(pixels, left, bottom, leftLength, pen);
            span(pixels, right, bottom, length, pen);
        }
    }
};

}  // namespace

bool drawPixelEllipse(const QPainter& painter, const PainterPixels& pixels, const QRect& rect) {
    const PixelStroke stroke(painter, pixels);
    // The engine draws larger ellipses as curves, not by midpoint rows.
    constexpr int kMidpointLimit = 16384;
    if (!stroke.usable() || rect.width() <= 0 || rect.height() <= 0) return false;
    if (std::max(rect.width(), rect.height()) >= kMidpointLimit) return false;
    const QBrush& brush = painter.brush();
    const bool fill = brush.style() == Qt::SolidPattern;
    if (!fill && brush.style() != Qt::NoBrush) return false;
    if (fill && brush.color().alpha() != 255) return false;
    const EllipseRows rows{pixels, rect, painter.pen().color().rgba(), fill, fill ? brush.color().rgba() : QRgb{0}};

    // Midpoint steps over the first quadrant, from the top of the ellipse outward: first
    // where it is flatter than 45 degrees, a run of pixels per row, then a pixel per row.
    const double a = rect.width() / 2.0;
    const double b = rect.height() / 2.0;
    double d = b * b - a * a * b + 0.25 * a * a;
    int x = 0;
    int y = (rect.height() + 1) / 2;
    int start = x;
    while (a * a * (2 * y - 1) > 2 * b * b * (x + 1)) {
        if (d < 0) {
            d += b * b * (2 * x + 3);
            ++x;
        } else {
            d += b * b * (2 * x + 3) + a * a * (-2 * y + 2);
            rows.pair(start, y, x - start + 1);
            start = ++x;
            --y;
        }
    }
    rows.pair(start, y, x - start + 1);
    d = b * b * (x + 0.5) * (x + 0.5) + a * a * ((y - 1) * (y - 1) - b * b);
    const int lowest = rect.height() & 1;
    while (y > lowest) {
        if (d < 0) {
            d += b * b * (2 * x + 2) + a * a * (-2 * y + 3);
            ++x;
        } else {
            d += a * a * (-2 * y + 3);
        }
        --y;
        rows.pair(x, y, 1);
    }
    return true;
}

void directLine(QPainter& painter, const PainterPixels* direct, QPoint a, QPoint b) {
    if (direct) {
        if (PixelStroke stroke(painter, *direct); stroke.usable()) return stroke.line(a, b);
    }
    painter.drawLine(a, b);
}

void directPolyline(QPainter& painter, const PainterPixels* direct, const QPoint* points, int count) {
    if (direct) {
        if (PixelStroke stroke(painter, *direct); stroke.usable()) return stroke.polyline(points, count);
    }
    painter.drawPolyline(points, count);
}

void directEllipse(QPainter& painter, const PainterPixels* direct, const QRect& rect) {
    if (!direct || !drawPixelEllipse(painter, *direct, rect)) painter.drawEllipse(rect);
}

void directFill(QPainter& painter, const PainterPixels* direct, const QRect& rect, const QColor& colour) {
    if (!direct || !direct->available() || colour.alpha() != 255) return painter.fillRect(rect, colour);
    const QRgb value = colour.rgba();
    const QRect r = rect.normalized();
    for (const QRect& clip : direct->clip()) {
        const QRect part = r.intersected(clip);
        if (part.isEmpty()) continue;
        for (int y = part.top(); y <= part.bottom(); ++y) {
            QRgb* line = direct->row(y) + direct->origin().x();
            std::fill(line + part.left(), line + part.right() + 1, value);
        }
    }
}

}  // namespace tessarin
