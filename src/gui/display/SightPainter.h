#pragma once

// The views of a client's sight records (kinds 1 and 2): the observer with his view
// cone, the players he saw and the ball, drawn in place of a show record's players and ball.

#include <QPainter>

#include "display/DisplayOptions.h"
#include "display/DisplayPalette.h"
#include "display/FieldScene.h"
#include "display/FieldView.h"

namespace tessarin {

// Draws the current record when it is a sight record; does nothing otherwise. The
// outline pen is `pen`, the one the painter would hold at this point of the paint.
void drawSightRecord(QPainter& painter, const FieldView& view, const DisplayPalette& palette, const DisplayFonts& fonts,
                     const FieldScene& scene, const DisplayOptions& options, const QPen& pen);

}  // namespace tessarin
