#pragma once

// Convex areas filled with a diagonal-cross hatch on a transparent background, drawn one
// by one between other drawings, as the control areas are drawn each just before its
// player. All areas share one hatch fixed to the painter's origin, so a hatch pixel that a later
// area covers is drawn again by that area, whatever came between: each area needs to
// draw only its part that no later area covers. Over 22 areas that together cover the
// field several times, that writes each hatch pixel of the field once instead of once
// per area, and the pixels between the hatch lines are not touched at all.

#include <QColor>
#include <QPainter>
#include <QPolygon>
#include <QRect>
#include <array>
#include <cstdint>
#include <vector>

namespace tessarin {

// The rows of an 8x8 diagonal-cross hatch as Qt draws it: bit x of row y is set where
// the pattern draws pixel (x, y) modulo 8 of its origin.
std::array<std::uint8_t, 8> diagonalCrossRows();

// The ways a run of one hatch row can be written: a pixel at a time, or eight or sixteen
// at a time where the processor has AVX2 or AVX-512. All set the same pixels.
enum class HatchWrites { Scalar, Avx2, Avx512 };
// The fastest way this processor has.
HatchWrites fastestHatchWrites();
// Sets to `colour` the pixels of out[0, count) whose column, counted from `phase`, has its
// bit set in the row's pattern `bits`; it changes no other pixel and reads or writes none
// outside out[0, count). `form` must be one this processor has: fastestHatchWrites() or
// a slower one.
void writeHatchRun(HatchWrites form, QRgb* out, int phase, int count, unsigned bits, QRgb colour);

// The pixels a convex polygon with these vertices covers in each row: those whose centre
// lies inside, a centre on the boundary counting in on the right and out on the left.
// The raster engine's own fill gives the same in most rows; where the boundary passes
// through a centre it may differ by that pixel at either end of the row.
// Only the rows and columns of `bounds` are computed.
struct PolygonSpans {
    int top = 0;                             // first row
    std::vector<std::pair<int, int>> spans;  // per row from `top`: [left, right)
};
PolygonSpans convexSpans(const QPolygon& polygon, const QRect& bounds);
// The same into `result`, reusing its room.
void convexSpans(const QPolygon& polygon, const QRect& bounds, PolygonSpans& result);

class AreaHatch final {
public:
    // The areas of one paint in the order they are drawn, and the part of the surface that
    // may be written directly (empty when the painter allows no direct access: each area
    // is then filled whole). Replaces those of the previous paint.
    void prepare(std::vector<QPolygon> areas, std::vector<QColor> colours, const QRect& bounds);
    // Draws area `index` with `painter`: when the painter allows direct pixel access and
    // the bounds were given, only its part that no later area covers, otherwise the whole
    // area through a pattern brush. Drawn in the prepared order, between any other
    // drawings, the areas give the picture of each area filled whole in turn.
    void draw(QPainter& painter, std::size_t index) const;

private:
    struct Run {
        int y;
        int left;
        int right;
    };
    std::vector<QPolygon> areas_;
    std::vector<QColor> colours_;
    bool worked_ = false;                    // whether visible_ was worked out
    std::vector<std::vector<Run>> visible_;  // per area, the runs no later area covers
    // An area whose rows hold the row being worked out.
    struct Active {
        std::size_t area;
        int top;                          // its first row
        int end;                          // its row after the last
        const std::pair<int, int>* rows;  // its span of each row from `top`
    };
    // Room kept from paint to paint.
    std::vector<PolygonSpans> spans_;
    std::vector<std::size_t> starts_;  // the areas with rows, by their first row
    std::vector<Active> active_;
    std::vector<std::pair<int, int>> covered_;
};

}  // namespace tessarin
