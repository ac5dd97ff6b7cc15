#pragma once

// Where the header's six texts go. Each has its place in the band above the field (the
// scores at the field's ends, the team names beside them, the play mode and the cycle
// either side of the halfway line); where a text would run into its neighbour at some
// size (a long team name beside a long play mode, a two-digit score beside the name),
// the team name starts after the score and is set smaller until it fits, and any text
// that still has no room is set smaller, then cut short. Texts never overlap.

#include <QFont>
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

}  // namespace tessarin
