#pragma once

// Where the header's six texts go. Each has its place in the band above the field (the
// scores at the field's ends, the team names beside them, the play mode and the cycle
// either side of the halfway line); where a text would run into its neighbour at some
// size (a long team name beside a long play mode, a two-digit score beside the name),
// the team name starts after the score and is set smaller until it fits, and any text
// that still has no room is set smaller, then cut short. Texts never overlap.

#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QRect>
#include <QString>
#include <array>

#include "display/DisplayPalette.h"
#include "display/FieldScene.h"
#include "display/FieldView.h"

namespace tessarin {

enum HeaderSlot : int { kLeftScore, kLeftName, kPlayMode, kTime, kRightName, kRightScore };
inline constexpr std::size_t kHeaderSlotCount = 6;

// One header text as drawn: the text (possibly cut short), its font (possibly smaller
// than the display's) and the box of its line, from its start to its advance and from
// the line's top to its bottom. An empty text has an empty box.
struct HeaderItem {
    QString text;
    QFont font;
    QRect box;
};
using HeaderLayout = std::array<HeaderItem, kHeaderSlotCount>;

HeaderLayout layoutHeader(const FieldView& view, const DisplayFonts& fonts, const HeaderTexts& texts);

// The header as last drawn: its layout, made again only when a text or the view changes,
// and each text but the cycle rendered once into a pixmap at the device's pixel ratio.
// The scores and names are larger than the glyphs Qt keeps rendered (64 pixels), so
// drawn as text they would be filled from their outlines on every paint. The cycle
// changes on every paint and its glyphs are small enough for Qt's own cache.
class HeaderCache final {
public:
    // Draws the header's texts in black; leaves the painter's font as it was.
    void draw(QPainter& painter, const FieldView& view, const DisplayFonts& fonts, const HeaderTexts& texts);
    // Where the texts went in the last draw.
    const HeaderLayout& layout() const { return layout_; }

private:
    struct Rendered {
        QString text;
        QFont font;
        qreal ratio = 0.0;
        QPixmap pixmap;
        QPoint offset;  // of the pixmap's top-left from the top-left of the text's line
    };
    void render(Rendered& rendered, const HeaderItem& item, qreal ratio);

    bool laidOut_ = false;
    HeaderTexts texts_;
    double scale_ = 0.0;
    int cx_ = 0;
    int cy_ = 0;
    HeaderLayout layout_;
    std::array<Rendered, kHeaderSlotCount> rendered_;
};

}  // namespace tessarin
