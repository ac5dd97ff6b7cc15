#pragma once

// The painters of the field: markings, header, players and ball of a show record.
// All of them draw through one FieldView and leave the painter's state as they found it
// except for the pen, which the ball's outline takes over from the last player drawn.

#include <QPainter>
#include <functional>

#include "display/DisplayOptions.h"
#include "display/DisplayPalette.h"
#include "display/FieldScene.h"
#include "display/FieldView.h"
#include "display/HeaderLayout.h"

namespace tessarin {

// pi as the display converts angles.
inline constexpr double kDisplayPi = 3.1415926538;

// An angle brought into (-pi, pi].
double normalizeAngle(double radians);

// Fills the area with the field colour and draws the markings.
void drawFieldMarkings(QPainter& painter, const FieldView& view, const DisplayPalette& palette, int width, int height);
// The header's texts, drawn through `cache`, which keeps what it can from the last paint.
void drawHeader(QPainter& painter, const FieldView& view, const DisplayFonts& fonts, const FieldScene& scene,
                HeaderCache& cache);
// Draws the players of the current show record; returns the outline pen of the last one
// drawn (the black pen when none was). `beforeBody`, when set, draws first for each
// player drawn, with the player's index.
QPen drawPlayers(QPainter& painter, const FieldView& view, const DisplayPalette& palette, const DisplayFonts& fonts,
                 const FieldScene& scene, const DisplayOptions& options,
                 const std::function<void(int)>& beforeBody = {});
void drawBall(QPainter& painter, const FieldView& view, const DisplayFonts& fonts, const FieldScene& scene,
              const DisplayOptions& options, const QPen& pen);

// Shared pieces of the players, the ball and the sight-record views.
// The outline of a circle of radius r about (x, y), inside the box (x - r, y - r) to
// (x + r, y + r) with its right and bottom edges excluded.
QRect circleBox(int x, int y, int r);
// A one-line text with its top-left corner at (x, y), in the painter's font and pen.
void drawLabel(QPainter& painter, int x, int y, const QString& text);
// The view of a player facing `face` with view width `width` (radians), with the black pen.
void drawViewCone(QPainter& painter, const FieldView& view, const DisplayPalette& palette, int sx, int sy, double face,
                  double width);
// The grey of a stamina: the low 8 bits of the integer part of 255 - stamina * 0.031875.
int staminaGrey(double stamina);
// Fills the back half of a body of radius r facing `body` (radians) with `colour`,
// outlined with the painter's pen.
void drawBackHalf(QPainter& painter, int sx, int sy, int r, double body, const QColor& colour);
// A ball at a screen point, outlined with `pen`; returns its radius in pixels.
int drawBallAt(QPainter& painter, const FieldView& view, int sx, int sy, const QPen& pen);
// The 9.15 m circle around the ball.
void drawBallCircle(QPainter& painter, const FieldView& view, int sx, int sy, const QPen& pen);

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
