#pragma once

// What the display draws from a record's companion (see record/Companion.h): a card mark
// beside a player's body, the attention target and focus point of the selected player,
// and the teams' logos beside their names in the header. A record without a companion
// (a version-3 game) draws none of it.

#include <QImage>
#include <QPainter>
#include <array>
#include <memory>
#include <vector>

#include "display/FieldScene.h"
#include "display/FieldView.h"
#include "display/HeaderLayout.h"
#include "record/Companion.h"

namespace tessarin {

inline const QColor kYellowCardColour{255, 230, 0};
inline const QColor kRedCardColour{230, 0, 0};
inline const QColor kAttentionColour{0, 160, 255};

// A small upright card beside the top left of a body of radius r at (sx, sy), in the
// card's colour with a black edge; nothing for no card.
void drawCardMark(QPainter& painter, int sx, int sy, int r, Card card);
// The box drawCardMark fills, for the same arguments.
QRect cardMarkBox(int sx, int sy, int r);

// For player `index` of the scene's show: a thin line to the player it attends to (when
// that one is on the field) and a small cross at its focus point (when it lies off the
// player). Uses the companion of the scene's current record.
void drawAttention(QPainter& painter, const FieldView& view, const FieldScene& scene, int index);

// A team's logo tiles laid out in one transparent 256 x 64 image; tiles Qt cannot read
// are left out. A null image when no tile could be read.
QImage composeLogo(const std::vector<LogoTile>& tiles);

// The logos of the game last drawn, composed once per set of logos.
class TeamLogoCache final {
public:
    // The left and right logos for `logos` (null images where a team has none).
    const std::array<QImage, 2>& images(const std::shared_ptr<const TeamLogos>& logos);

private:
    std::shared_ptr<const TeamLogos> source_;
    std::array<QImage, 2> images_;
};

// Each logo in the header band after its team's name (left team) or before it (right
// team), scaled to at most 0.6 of the band's height and to the room left before the
// play mode or after the cycle; a logo with less than 4 pixels of height is not drawn.
// Returns where each was drawn (empty where not).
std::array<QRect, 2> drawTeamLogos(QPainter& painter, const FieldView& view, const HeaderLayout& header,
                                   const std::array<QImage, 2>& logos);

}  // namespace tessarin
