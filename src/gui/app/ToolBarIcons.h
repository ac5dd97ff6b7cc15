#pragma once

// Small drawn button images for the tool bars where no standard icon fits.

#include <QIcon>
#include <QString>
#include <functional>

class QColor;
class QPainter;

namespace tessarin {

QIcon drawnIcon(const std::function<void(QPainter&)>& paint);
QIcon playerIcon(const QColor& fill, const QString& text);
QIcon textIcon(const QString& text);
QIcon reverseIcon();
QIcon kickMarginIcon();

}  // namespace tessarin
