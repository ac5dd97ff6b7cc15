#include "display/AgentLogPainter.h"

#include <QPainter>
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

// Whether a box of the screen (its edges inclusive) meets an area.
bool meets(const QRect& area, int left, int top, int right, int bottom) {
    return left <= area.right() && right >= area.left() && top <= area.bottom() && bottom >= area.top();
}

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
// The points turn by one rotation from the first, so that an arc costs two sines and
// cosines whatever its length.
template <typename Add>
void arcPoints(QPointF centre, double radius, double startDegrees, double spanDegrees, Add&& add) {
    constexpr double kSagitta = 0.25;  // pixels a chord may stray from the arc
    constexpr int kMostChords = 720;
    // The angle of a chord whose middle strays kSagitta from the arc is 2 acos(1 - s/r),
    // a little more than 2 sqrt(2 s/r): the root gives a few chords more, and costs less.
    const double step = 2.0 * std::sqrt(2.0 * kSagitta / std::max(radius, kSagitta));
    const double span = spanDegrees * std::numbers::pi / 180.0;
    const int chords = std::clamp(static_cast<int>(std::ceil(std::abs(span) / step)), 1, kMostChords);
    const double start = startDegrees * std::numbers::pi / 180.0;
    const double turnCos = std::cos(span / chords), turnSin = std::sin(span / chords);
    double dx = radius * std::cos(start), dy = radius * std::sin(start);
    for (int i = 0; i <= chords; ++i) {
        add(QPointF(centre.x() + dx, centre.y() + dy));
        const double nx = dx * turnCos - dy * turnSin;
        dy = dx * turnSin + dy * turnCos;
        dx = nx;
    }
}

// The outline of a sector as a polygon: the outer arc one way, the inner arc (or the
// centre) back, into `polygon`.
void sectorPolygon(const FieldView& view, const Record& r, std::vector<QPointF>& polygon) {
    const auto& v = r.values;
    const QPointF centre = pixel(view, v[0], v[1]);
    const int outer = view.pixels(std::max(v[2], v[3]));
    const int inner = view.pixels(std::min(v[2], v[3]));
    polygon.clear();
    arcPoints(centre, outer, v[4], v[5], [&](QPointF p) { polygon.push_back(p); });
    if (inner > 0) {
        arcPoints(centre, inner, v[4] + v[5], -v[5], [&](QPointF p) { polygon.push_back(p); });
    } else {
        polygon.push_back(centre);
    }
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
    sprites_.trim();
    paints_ = 0;
    textsMetOnce_.clear();
}

void AgentLogPainter::draw(QPainter& painter, const FieldView& view, const FieldScene&, const DisplayOptions&) {
    if (drawings_.empty()) return;
    if (fontScale_ != view.scale()) {
        // Texts about 1.2 m high, readable from the smallest window up.
        font_.setPixelSize(std::clamp(static_cast<int>(view.scale() * 1.2), 8, 48));
        fontScale_ = view.scale();
        const QFontMetrics metrics(font_);
        ascent_ = metrics.ascent();
        descent_ = metrics.descent();
    }
    painter.save();
    // What the painter can reach, in its own units, a pixel to spare. Drawings wholly
    // outside it are skipped; the rest are clipped to it, which also lets the raster engine
    // set the pixels of a one-pixel line straight, where it would otherwise blend them a
    // span at a time against the device's own bounds.
    QRect visible = painter.worldTransform().inverted().mapRect(QRectF(painter.window())).toAlignedRect();
    visible.adjust(-1, -1, 1, 1);
    if (painter.hasClipping()) visible &= painter.clipBoundingRect().toAlignedRect().adjusted(-1, -1, 1, 1);
    painter.setClipRect(visible, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    visible_ = visible;
    // Sprites are drawn for whole device pixels; under a scale or a fractional shift the
    // shapes are drawn as they are.
    const QTransform device = painter.deviceTransform();
    useSprites_ = device.type() <= QTransform::TxTranslate && device.dx() == std::trunc(device.dx()) &&
                  device.dy() == std::trunc(device.dy());
    painter.setFont(font_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (const Group& group : groups_) drawGroup(painter, view, group);
    painter.restore();
    ++paints_;
    textsMetOnce_.clear();
}

bool AgentLogPainter::drawSprite(QPainter& painter, const SpriteCache::Key& key, QPoint at, const QRect& bounds,
                                 const SpriteCache::Draw& content) {
    if (!useSprites_) return false;
    const SpriteCache::Sprite* sprite = sprites_.find(key, bounds, content);
    if (!sprite) return false;
    painter.drawImage(at + sprite->offset, sprite->image);
    return true;
}

void AgentLogPainter::drawGroup(QPainter& painter, const FieldView& view, const Group& group) {
    const QPen pen(group.colour, 0);
    painter.setPen(pen);
    painter.setBrush(group.filled ? QBrush(group.colour) : QBrush(Qt::NoBrush));
    lines_.clear();
    rects_.clear();
    const double devicePixel = painter.device() ? 1.0 / painter.device()->devicePixelRatioF() : 1.0;
    const QRect& area = visible_;
    for (const std::size_t i : group.members) {
        const Record& r = drawings_[i];
        const auto& v = r.values;
        switch (r.type) {
            case 'p': {
                const QPoint p = pixel(view, v[0], v[1]);
                if (meets(area, p.x() - 1, p.y() - 1, p.x() + 1, p.y() + 1)) {
                    painter.fillRect(QRect(p.x() - 1, p.y() - 1, 3, 3), group.colour);
                }
                break;
            }
            case 'l': {
                const QPointF a = screen(view, v[0], v[1]), b = screen(view, v[2], v[3]);
                if (meets(area, static_cast<int>(std::floor(std::min(a.x(), b.x()))),
                          static_cast<int>(std::floor(std::min(a.y(), b.y()))),
                          static_cast<int>(std::ceil(std::max(a.x(), b.x()))),
                          static_cast<int>(std::ceil(std::max(a.y(), b.y()))))) {
                    lines_.emplace_back(a, b);
                }
                break;
            }
            case 'a': {
                const QPoint centre = pixel(view, v[0], v[1]);
                const int radius = view.pixels(v[2]);
                if (!meets(area, centre.x() - radius, centre.y() - radius, centre.x() + radius, centre.y() + radius)) {
                    break;
                }
                std::optional<QPointF> last;
                arcPoints(centre, radius, v[3], v[4], [&](QPointF p) {
                    if (last) lines_.emplace_back(*last, p);
                    last = p;
                });
                break;
            }
            case 'c':
            case 'C':
                drawCircle(painter, circleRect(view, v[0], v[1], v[2]), r.type, group);
                break;
            case 't':
            case 'T': {
                const QPoint points[] = {pixel(view, v[0], v[1]), pixel(view, v[2], v[3]), pixel(view, v[4], v[5])};
                const auto [left, right] = std::minmax({points[0].x(), points[1].x(), points[2].x()});
                const auto [top, bottom] = std::minmax({points[0].y(), points[1].y(), points[2].y()});
                if (meets(area, left, top, right, bottom)) painter.drawPolygon(points, 3);
                break;
            }
            case 'r':
            case 'R': {
                const QRect box(pixel(view, v[0], v[1]), QSize(view.pixels(v[2]), view.pixels(v[3])));
                if (meets(area, box.left(), box.top(), box.left() + box.width(), box.top() + box.height())) {
                    addRectangle(box, r.type == 'R', devicePixel, rects_);
                }
                break;
            }
            case 's':
            case 'S': {
                const QPoint centre = pixel(view, v[0], v[1]);
                const int radius = view.pixels(std::max(v[2], v[3]));
                if (!meets(area, centre.x() - radius, centre.y() - radius, centre.x() + radius, centre.y() + radius)) {
                    break;
                }
                // Filled without its outline: stroking a polygon costs several times its
                // fill, and in the fill's own colour it only adds the rim's half pixel.
                if (r.type == 'S') painter.setPen(Qt::NoPen);
                sectorPolygon(view, r, polygon_);
                painter.drawPolygon(polygon_.data(), static_cast<int>(polygon_.size()));
                if (r.type == 'S') painter.setPen(pen);
                break;
            }
            case 'm':
                drawText(painter, view, group, i);
                break;
            default:
                break;
        }
    }
    if (!lines_.empty()) painter.drawLines(lines_.data(), static_cast<int>(lines_.size()));
    for (const QRectF& strip : rects_) painter.fillRect(strip, group.colour);
}

void AgentLogPainter::drawCircle(QPainter& painter, const QRect& box, char type, const Group& group) {
    if (!meets(visible_, box.left(), box.top(), box.right() + 1, box.bottom() + 1)) return;
    const int radius = box.width() / 2;
    if (radius <= kMostSpriteRadius &&
        drawSprite(painter, {type, radius, group.colour.rgb(), {}}, box.topLeft() + QPoint(radius, radius),
                   QRect(-radius, -radius, 2 * radius + 1, 2 * radius + 1), [&](QPainter& p) {
                       p.setPen(painter.pen());
                       p.setBrush(painter.brush());
                       p.drawEllipse(QRect(-radius, -radius, 2 * radius, 2 * radius));
                   })) {
        return;
    }
    painter.drawEllipse(box);
}

void AgentLogPainter::drawText(QPainter& painter, const FieldView& view, const Group& group, std::size_t i) {
    const Record& r = drawings_[i];
    // The library's point is where the text's baseline starts.
    const QPoint at = pixel(view, r.values[0], r.values[1]);
    const QString& text = texts_[i].text();
    const SpriteCache::Key key{'m', font_.pixelSize(), group.colour.rgb(), text};
    // A text met for the first time is drawn as it is, since making its sprite would lay it
    // out and draw it twice: it gets one when it comes again, in this paint or the next.
    const SpriteCache::Sprite* sprite = useSprites_ ? sprites_.held(key) : nullptr;
    if (!sprite && useSprites_ && !sprites_.refusing() && (paints_ > 0 || textsMetOnce_.contains(key))) {
        // Every pixel the glyphs cover about the start of the baseline, and a margin for
        // the smoothing of their edges.
        const QRect bounds = QFontMetrics(font_).boundingRect(text).adjusted(-2, -2, 2, 2);
        sprite = sprites_.find(key, bounds, [&](QPainter& p) {
            p.setFont(font_);
            p.setPen(group.colour);
            p.drawText(QPoint(0, 0), text);
        });
    }
    if (sprite) {
        const QRect box = sprite->image.rect().translated(at + sprite->offset);
        if (meets(visible_, box.left(), box.top(), box.right(), box.bottom())) {
            painter.drawImage(at + sprite->offset, sprite->image);
        }
        return;
    }
    if (useSprites_ && paints_ == 0) textsMetOnce_.insert(key);
    // Unmeasured, a text is skipped only when its line lies wholly beside the area or it
    // starts right of it: its width is not known.
    if (at.x() > visible_.right() || at.y() - ascent_ > visible_.bottom() || at.y() + descent_ < visible_.top()) {
        return;
    }
    // A static text is placed by its top left.
    painter.drawStaticText(QPoint(at.x(), at.y() - ascent_), texts_[i]);
}

}  // namespace tessarin
