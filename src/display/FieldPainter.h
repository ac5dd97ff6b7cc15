#pragma once

// The painters of the field: markings, header, players and ball of a show record.
// All of them draw through one FieldView and leave the painter's state as they found it
// except for the pen, which the ball's outline takes over from the last player drawn.

#include <QPainter>

#include "display/DisplayOptions.h"
#include "display/DisplayPalette.h"
#include "display/FieldScene.h"
#include "display/FieldView.h"

namespace tessarin {

// pi as the display converts angles.
inline constexpr double kDisplayPi = 3.1415926538;

// An angle brought into (-pi, pi].
double normalizeAngle(double radians);

// Fills the area with the field colour and draws the markings.
void drawFieldMarkings(QPainter& painter, const FieldView& view, const DisplayPalette& palette, int width, int height);
void drawHeader(QPainter& painter, const FieldView& view, const DisplayFonts& fonts, const FieldScene& scene);
// Draws the players of the current show record; returns the outline pen of the last one
// drawn (the black pen when none was).
QPen drawPlayers(QPainter& painter, const FieldView& view, const DisplayPalette& palette, const DisplayFonts& fonts,
                 const FieldScene& scene, const DisplayOptions& options);
void drawBall(QPainter& painter, const FieldView& view, const DisplayFonts& fonts, const FieldScene& scene,
              const DisplayOptions& options, const QPen& pen);

// What a player is drawn with, by its mode bits, side and selection.
struct PlayerLook {
    QBrush fill;
    QPen outline;
    QColor text;
};
PlayerLook playerLook(const DisplayPalette& palette, int index, int mode, int selected);
// Body radius in pixels: the kickable distance scaled by PlayerScale / 5.
int bodyRadius(const FieldView& view, double kickRange, double playerScale);

}  // namespace tessarin
