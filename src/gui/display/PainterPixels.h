#pragma once

// Direct writes into the pixels a QPainter paints on, for drawings made of very many
// single pixels (hatch patterns, an object's track) that the paint engine would put
// through its span and blend machinery one pixel at a time. Only available while the
// painter draws straight into a 32-bit image of its own, with an integer translation
// for its transform, full opacity, source-over and no clip beyond the system clip;
// callers draw through the painter otherwise. GUI thread only, like the painter.

#include <QImage>
#include <QPainter>
#include <QRect>
#include <algorithm>
#include <vector>

namespace tessarin {

class PainterPixels final {
public:
    explicit PainterPixels(QPainter& painter);

    bool available() const { return bits_ != nullptr; }
    // Whether the pixels are premultiplied (or opaque), so that a colour can be blended
    // into them by coverage as the engine blends it.
    bool premultiplied() const { return premultiplied_; }
    // The parts of the device that may be written, in the painter's coordinates; each
    // write must lie inside one of them. Empty when not available.
    const std::vector<QRect>& clip() const { return clip_; }
    QRect bounds() const { return bounds_; }
    // The whole device, in the painter's coordinates: the engine clips the lines it
    // strokes to it before it rasterises them.
    QRect device() const { return device_; }
    // The device pixels of painter row `y`; painter column x is at index x + origin().x().
    // Only the columns of a clip rectangle that holds the row may be written.
    QRgb* row(int y) const {
        // Rows of a 32-bit image are 32-bit aligned arrays of QRgb.
        return reinterpret_cast<QRgb*>(bits_ + (y + dy_) * stride_);
    }
    // The device position of painter (0, 0).
    QPoint origin() const { return QPoint(dx_, dy_); }
    // Sets the pixel at (x, y) to an opaque colour when it lies inside the clip.
    void set(int x, int y, QRgb colour) const {
        if (x >= first_.left() && x <= first_.right() && y >= first_.top() && y <= first_.bottom()) {
            row(y)[x + dx_] = colour;
        } else if (clip_.size() > 1) {
            setInOtherRects(x, y, colour);
        }
    }

    // Sets the run of `length` pixels from (x, y) to an opaque colour where it lies inside
    // the clip.
    void fill(int x, int y, int length, QRgb colour) const {
        if (clip_.size() == 1) {
            if (y < first_.top() || y > first_.bottom()) return;
            const int from = std::max(x, first_.left());
            const int to = std::min(x + length, first_.right() + 1);
            if (from < to) std::fill(row(y) + dx_ + from, row(y) + dx_ + to, colour);
        } else {
            fillInEveryRect(x, y, length, colour);
        }
    }

private:
    void setInOtherRects(int x, int y, QRgb colour) const;
    void fillInEveryRect(int x, int y, int length, QRgb colour) const;

    uchar* bits_ = nullptr;
    qsizetype stride_ = 0;
    int dx_ = 0;
    int dy_ = 0;
    bool premultiplied_ = false;
    std::vector<QRect> clip_;
    QRect first_;  // clip_'s first rectangle, the whole clip in the common case
    QRect bounds_;
    QRect device_;
};

}  // namespace tessarin
