#include "display/AgentLogPainter.h"

#include <QPolygonF>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <unordered_map>

namespace tessarin {

namespace {

using agentlog::Record;

QColor colourOf(const Record& r) {
    const agentlog::Rgb c = r.colour.value_or(agentlog::kDefaultColour);
    return QColor(c.r, c.g, c.b);
}

QPointF screen(const FieldView& view, double x, double y) { return {view.ToScreenX(x), view.ToScreenY(y)}; }

// Whole pixels: the raster engine draws integer rectangles and ellipses with a thin pen
// faster than the same shapes in fractions of a pixel (lines it draws faster unrounded).
QPoint pixel(const FieldView& view, double x, double y) { return {view.pixelX(x), view.pixelY(y)}; }

// The square on screen around a circle of the field.
QRect circleRect(const FieldView& view, double x, double y, double r) {
    const int pr = view.pixels(r);
    return {view.pixelX(x) - pr, view.pixelY(y) - pr, 2 * pr, 2 * pr};
}

// What a rectangle drawn with a one-pixel pen (and filled, when it is) covers, as
// filled strips one device pixel wide (`pixel` of the painter's units): the raster engine
// fills rectangles far faster than it strokes them.
void addRectangle(const QRect& r, bool filled, double pixel, std::vector<QRectF>& strips) {
    const double left = r.left(), top = r.top(), w = r.width(), h = r.height();
    if (filled || w <= pixel || h <= pixel) {
        strips.emplace_back(left, top, w + pixel, h + pixel);
        return;
    }
    strips.emplace_back(left, top, w + pixel, pixel);
    strips.emplace_back(left, top + h, w + pixel, pixel);
    strips.emplace_back(left, top + pixel, pixel, h - pixel);
    strips.emplace_back(left + w, top + pixel, pixel, h - pixel);
}

// Field angles turn clockwise on the screen, as the field's y grows downward: a point
// at angle a of a circle lies at (x + r cos a, y + r sin a) on the field and on the screen.
// Chords along an arc of the screen, few enough to be cheap and close enough (within a
// quarter of a pixel) to look round; `add` takes each point from the first to the last.
template <typename Add>
void arcPoints(QPointF centre, double radius, double startDegrees, double spanDegrees, Add&& add) {
    constexpr double kSagitta = 0.25;  // pixels a chord may stray from the arc
    constexpr int kMostChords = 720;
    const double step = radius > kSagitta ? 2.0 * std::acos(1.0 - kSagitta / radius) : 2.0 * std::numbers::pi;
    const double span = spanDegrees * std::numbers::pi / 180.0;
    const int chords = std::clamp(static_cast<int>(std::ceil(std::abs(span) / step)), 1, kMostChords);
    const double start = startDegrees * std::numbers::pi / 180.0;
    for (int i = 0; i <= chords; ++i) {
        const double a = start + span * i / chords;
        add(QPointF(centre.x() + radius * std::cos(a), centre.y() + radius * std::sin(a)));
    }
}

// The outline of a sector as a polygon: the outer arc one way, the inner arc (or the
// centre) back.
QPolygonF sectorPolygon(const FieldView& view, const Record& r) {
    const auto& v = r.values;
    const QPointF centre = pixel(view, v[0], v[1]);
    const int outer = view.pixels(std::max(v[2], v[3]));
    const int inner = view.pixels(std::min(v[2], v[3]));
    QPolygonF polygon;
    arcPoints(centre, outer, v[4], v[5], [&](QPointF p) { polygon << p; });
    if (inner > 0) {
        arcPoints(centre, inner, v[4] + v[5], -v[5], [&](QPointF p) { polygon << p; });
    } else {
        polygon << centre;
    }
    return polygon;
}

}  // namespace

void AgentLogPainter::setDrawings(std::vector<agentlog::Record> drawings) {
    drawings_ = std::move(drawings);
    groups_.clear();
    texts_.clear();
    texts_.resize(drawings_.size());
    std::unordered_map<std::uint64_t, std::size_t> groupOf;  // (filled, rgb) -> place in groups_
    for (const bool filled : {true, false}) {
        for (std::size_t i = 0; i < drawings_.size(); ++i) {
            const Record& r = drawings_[i];
            if (agentlog::isFilled(r.type) != filled) continue;
            const QColor colour = colourOf(r);
            const std::uint64_t key = (std::uint64_t{filled} << 32) | colour.rgb();
            const auto [at, added] = groupOf.try_emplace(key, groups_.size());
            if (added) groups_.push_back({colour, filled, {}});
            groups_[at->second].members.push_back(i);
            if (r.type == 'm') {
                texts_[i].setText(QString::fromStdString(r.text));
                texts_[i].setTextFormat(Qt::PlainText);
                texts_[i].setPerformanceHint(QStaticText::AggressiveCaching);
            }
        }
    }
    fontScale_ = 0;  // the new texts are laid out with the font on the next paint
}

void AgentLogPainter::draw(QPainter& painter, const FieldView& view, const FieldScene&, const DisplayOptions&) {
    if (drawings_.empty()) return;
    if (fontScale_ != view.scale()) {
        // Texts about 1.2 m high, readable from the smallest window up.
        font_.setPixelSize(std::clamp(static_cast<int>(view.scale() * 1.2), 8, 48));
        fontScale_ = view.scale();
        ascent_ = QFontMetrics(font_).ascent();
        for (QStaticText& text : texts_) {
            if (!text.text().isEmpty()) text.prepare(QTransform(), font_);
        }
    }
    painter.setFont(font_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const Group& group : groups_) drawGroup(painter, view, group);
}

void AgentLogPainter::drawGroup(QPainter& painter, const FieldView& view, const Group& group) {
    painter.setPen(QPen(group.colour, 0));
    painter.setBrush(group.filled ? QBrush(group.colour) : QBrush(Qt::NoBrush));
    lines_.clear();
    rects_.clear();
    const double devicePixel = painter.device() ? 1.0 / painter.device()->devicePixelRatioF() : 1.0;
    for (const std::size_t i : group.members) {
        const Record& r = drawings_[i];
        const auto& v = r.values;
        switch (r.type) {
            case 'p': {
                const QPoint p = pixel(view, v[0], v[1]);
                painter.fillRect(QRect(p.x() - 1, p.y() - 1, 3, 3), group.colour);
                break;
            }
            case 'l':
                lines_.emplace_back(screen(view, v[0], v[1]), screen(view, v[2], v[3]));
                break;
            case 'a': {
                std::optional<QPointF> last;
                arcPoints(pixel(view, v[0], v[1]), view.pixels(v[2]), v[3], v[4], [&](QPointF p) {
                    if (last) lines_.emplace_back(*last, p);
                    last = p;
                });
                break;
            }
            case 'c':
            case 'C':
                painter.drawEllipse(circleRect(view, v[0], v[1], v[2]));
                break;
            case 't':
            case 'T': {
                const QPoint points[] = {pixel(view, v[0], v[1]), pixel(view, v[2], v[3]), pixel(view, v[4], v[5])};
                painter.drawPolygon(points, 3);
                break;
            }
            case 'r':
            case 'R':
                addRectangle(QRect(pixel(view, v[0], v[1]), QSize(view.pixels(v[2]), view.pixels(v[3]))), r.type == 'R',
                             devicePixel, rects_);
                break;
            case 's':
                painter.drawPolygon(sectorPolygon(view, r));
                break;
            case 'S':
                // Filled without its outline: stroking a polygon costs several times its
                // fill, and in the fill's own colour it only adds the rim's half pixel.
                painter.setPen(Qt::NoPen);
                painter.drawPolygon(sectorPolygon(view, r));
                painter.setPen(QPen(group.colour, 0));
                break;
            case 'm': {
                // A static text is placed by its top left; the library's point is where its baseline starts.
                const QPoint at = pixel(view, v[0], v[1]);
                painter.drawStaticText(QPoint(at.x(), at.y() - ascent_), texts_[i]);
                break;
            }
            default:
                break;
        }
    }
    if (!lines_.empty()) painter.drawLines(lines_.data(), static_cast<int>(lines_.size()));
    for (const QRectF& strip : rects_) painter.fillRect(strip, group.colour);
}

}  // namespace tessarin
