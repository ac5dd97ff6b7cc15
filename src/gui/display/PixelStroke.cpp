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
    usable_ = true;
}

bool PixelStroke::clipAxis(double& u1, double& v1, double& u2, double& v2, double low, double high) {
    // u runs along the axis cut to [low, high], v across it.
    if (u1 < low) {
        if (u2 <= low) return lastPixel_.x = -1, false;
        v1 += (v2 - v1) / (u2 - u1) * (low - u1);
        u1 = low;
    } else if (u1 > high) {
        if (u2 >= high) return lastPixel_.x = -1, false;
        v1 += (v2 - v1) / (u2 - u1) * (high - u1);
        u1 = high;
    }
    // A cut end has no last pixel for the next segment to meet.
    if (u2 < low || u2 > high) {
        const double bound = u2 < low ? low : high;
        lastPixel_.x = -1;
        v2 += (v2 - v1) / (u2 - u1) * (bound - u2);
        u2 = bound;
    }
    return true;
}

bool PixelStroke::clip(double& x1, double& y1, double& x2, double& y2) {
    return clipAxis(x1, y1, x2, y2, xmin_, xmax_) && clipAxis(y1, x1, y2, x2, ymin_, ymax_);
}

namespace {

// A segment in 26.6 fixed point, turned so that a runs along its major axis from the
// smaller end and b across it, with the step of b per pixel of a in 16.16.
struct Steps {
    bool vertical = false;  // y is the major axis
    bool swapped = false;   // the segment runs toward smaller a
    std::int64_t a1 = 0, a2 = 0;
    std::int64_t b = 0;  // b at a1, in 16.16
    std::int64_t inc = 0;
};

// False for a segment of no length along a major axis x, which sets no pixel.
bool steps(double x1, double y1, double x2, double y2, Steps& s) {
    std::int64_t a1 = fixed26(x1), b1 = fixed26(y1), a2 = fixed26(x2), b2 = fixed26(y2);
    s.vertical = std::llabs(a2 - a1) < std::llabs(b2 - b1);
    if (s.vertical) {
        std::swap(a1, b1);
        std::swap(a2, b2);
    } else if (a1 == a2) {
        return false;
    }
    s.swapped = a1 > a2;
    if (s.swapped) {
        std::swap(a1, a2);
        std::swap(b1, b2);
    }
    s.a1 = a1;
    s.a2 = a2;
    s.inc = fixedDiv(b2 - b1, a2 - a1);
    s.b = b1 * 1024;
    return true;
}

// The pixel at major coordinate `major` and minor `minor` (16.16) of a segment.
PixelStroke::Pixel pixelAt(bool vertical, std::int64_t major, std::int64_t minor) {
    const int m = static_cast<int>(major);
    const int n = static_cast<int>(minor >> 16);
    return vertical ? PixelStroke::Pixel{n, m} : PixelStroke::Pixel{m, n};
}

// b at the first pixel centre of a, the engine's rounding: half a pixel in only when b grows.
std::int64_t firstMinor(const Steps& s, std::int64_t a, std::int64_t a1, std::int64_t b) {
    return b + ((((a * 64) + (s.inc > 0 ? 32 : 0) - a1) * s.inc) >> 6);
}

}  // namespace

void PixelStroke::lastPointOf(double rx1, double ry1, double rx2, double ry2) {
    lastPixel_ = Pixel{};
    Steps s;
    if (!clip(rx1, ry1, rx2, ry2) || !steps(rx1, ry1, rx2, ry2, s)) return;
    const std::int64_t a = (s.a1 + 32) >> 6;
    const std::int64_t as = (s.a2 + 32) >> 6;
    if (a == as) return;
    const std::int64_t b = firstMinor(s, a, s.a1, s.b);
    lastPixel_ = s.swapped ? pixelAt(s.vertical, a, b) : pixelAt(s.vertical, as - 1, b + (as - a - 1) * s.inc);
    lastDir_ = s.vertical ? (s.swapped ? Up : Down) : (s.swapped ? Left : Right);
    lastAxisAligned_ = std::llabs(s.inc) < (1 << 14);
}

bool PixelStroke::segment(double rx1, double ry1, double rx2, double ry2) {
    if (!clip(rx1, ry1, rx2, ry2)) return false;
    Steps s;
    if (!steps(rx1, ry1, rx2, ry2, s)) return true;
    const bool vertical = s.vertical;
    const bool swapped = s.swapped;
    const std::int64_t inc = s.inc;
    std::int64_t a1 = s.a1;
    std::int64_t a2 = s.a2;
    std::int64_t b = s.b;
    Pixel last = lastPixel_;
    const int dir = vertical ? (swapped ? Up : Down) : (swapped ? Left : Right);
    // Turning back on the same axis, the line gets half a pixel more at the turn.
    int caps = 0;
    if ((lastDir_ ^ (vertical ? Vertical : Horizontal)) == dir) caps |= swapped ? kCapEnd : kCapBegin;
    if (caps & kCapBegin) {
        a1 -= 32;
        b -= inc >> 1;
    }
    if (caps & kCapEnd) a2 += 32;

    std::int64_t a = (a1 + 32) >> 6;
    std::int64_t as = (a2 + 32) >> 6;
    if (a != as) {
        b = firstMinor(s, a, a1, b);
        auto pixel = [vertical](std::int64_t major, std::int64_t minor) { return pixelAt(vertical, major, minor); };
        Pixel first = pixel(a, b);
        last = pixel(as - 1, b + (as - a - 1) * inc);
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
            const Pixel p = pixel(a, b);
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
            pixels.fill(from, top, std::max(0, right - from), brush);
            if (top < bottom) pixels.fill(from, bottom, std::max(0, right - from), brush);
        }
        pixels.fill(left, top, leftLength, pen);
        pixels.fill(right, top, length, pen);
        if (top < bottom) {
            pixels.fill(left, bottom, leftLength, pen);
            pixels.fill(right, bottom, length, pen);
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
    // Each row is cut to the clip by the pixels' own run fill.
    const QRect r = rect.normalized().intersected(direct->bounds());
    for (int y = r.top(); y <= r.bottom(); ++y) direct->fill(r.left(), y, r.width(), colour.rgba());
}

}  // namespace tessarin
