#pragma once

// The drawings of players' debug logs (circles, lines, arcs, sectors, texts...) on the
// field, through the display's world-to-screen mapping. The painter keeps the drawings
// it was given, already on the field's coordinates (a right-side player's mirrored), and
// draws them on every paint until it is given others: reading and parsing happen once
// per shown cycle, never per paint.

#include <QColor>
#include <QFont>
#include <QSet>
#include <QStaticText>
#include <vector>

#include "agentlog/Record.h"
#include "display/FieldRenderer.h"
#include "display/SpriteCache.h"

namespace tessarin {

class AgentLogPainter final : public FieldOverlay {
public:
    // Takes the drawings of a cycle; their colours and texts are prepared here, once.
    void setDrawings(std::vector<agentlog::Record> drawings);
    const std::vector<agentlog::Record>& drawings() const { return drawings_; }
    void clear() { setDrawings({}); }

    void draw(QPainter& painter, const FieldView& view, const FieldScene& scene,
              const DisplayOptions& options) override;

private:
    // Drawings of one colour, filled or not, in file order: drawn with one pen and brush.
    struct Group {
        QColor colour;
        bool filled = false;
        std::vector<std::size_t> members;  // places in drawings_
    };
    void drawGroup(QPainter& painter, const FieldView& view, const Group& group);
    // A circle in the square `box` of the screen, in the painter's pen and brush.
    void drawCircle(QPainter& painter, const QRect& box, char type, const Group& group);
    void drawText(QPainter& painter, const FieldView& view, const Group& group, std::size_t i);
    // Draws the sprite of `key` with its point at `at`, drawing it first when needed; false
    // when no sprite can be drawn, and the caller draws the shape itself.
    bool drawSprite(QPainter& painter, const SpriteCache::Key& key, QPoint at, const QRect& bounds,
                    const SpriteCache::Draw& content);

    // Circles up to this radius in pixels are drawn from sprites; a larger one costs more to
    // copy than to stroke, and repeats less.
    static constexpr int kMostSpriteRadius = 24;

    std::vector<agentlog::Record> drawings_;
    // Filled shapes first, then outlines, lines, points and texts; within each, one group per
    // colour in the order the colours first occur. Switching the pen costs more than most
    // shapes, so a cycle of many colours is drawn a colour at a time; shapes of one colour
    // keep their order among themselves.
    std::vector<Group> groups_;
    std::vector<QStaticText> texts_;  // one per drawing; the text of 'm', empty otherwise
    // Texts and small circles already drawn, kept from cycle to cycle while they fit.
    SpriteCache sprites_;
    // Reused by every paint: the lines (arcs as their chords) and the rectangles' strips of a
    // group, and the outline of a sector.
    std::vector<QLineF> lines_;
    std::vector<QRectF> rects_;
    std::vector<QPointF> polygon_;
    QFont font_;
    double fontScale_ = 0;  // the view scale font_ was made for
    int ascent_ = 0;        // of font_
    int descent_ = 0;       // of font_
    int paints_ = 0;        // of the drawings held
    // Texts drawn without a sprite so far by the first paint of the drawings held.
    QSet<SpriteCache::Key> textsMetOnce_;
    // Of the paint under way: the area the painter reaches, and whether sprites can be used.
    QRect visible_;
    bool useSprites_ = false;
};

}  // namespace tessarin
