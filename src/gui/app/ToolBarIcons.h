#pragma once

// Small drawn button images for the tool bars where no standard icon fits. Each picture
// says what its command does; the actions carry the words as tool tips.

#include <QIcon>
#include <QString>
#include <functional>

class QColor;
class QPainter;

namespace tessarin {

QIcon drawnIcon(const std::function<void(QPainter&)>& paint);
QIcon playerIcon(const QColor& fill, const QString& text);
QIcon reverseIcon();
QIcon kickMarginIcon();
// A table of rows and columns: the player types.
QIcon typeTableIcon();
// A card of text lines beside a player: the selected object's details.
QIcon detailsIcon();
// Three bars of a chart: the statistics.
QIcon statisticsIcon();
// A pass drawn over the field: the present overlay.
QIcon presentIcon();
// A slider with its thumb: jump to a cycle.
QIcon jumpIcon();
// A gauge whose needle leans right (faster) or left (slower).
QIcon speedIcon(bool faster);
// A shield: the defence decisions.
QIcon defenseIcon();
// A pencil: the drawing tools.
QIcon drawingToolsIcon();
// A ring around a ball: the 9.15 m circle.
QIcon circleIcon();
// A magnifier with a plus or a minus.
QIcon zoomIcon(bool in);
// A whistle-less trainer: a cone and a ball, with a plug when `connect`.
QIcon trainerIcon(bool connect);

}  // namespace tessarin
