#pragma once

// Brushes, pens and fonts of the field display.

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPen>

#include "display/StaticTextCache.h"

namespace tessarin {

struct DisplayPalette {
    DisplayPalette();

    QBrush blackBrush;
    QBrush redBrush;
    QBrush whiteBrush;
    QBrush highlightBrush;
    QBrush yellowBrush;
    QBrush cyanBrush;
    QBrush magentaBrush;
    QPen blackPen;
    QPen redPen;
    QPen whitePen;
    QPen highlightPen;
    QPen yellowPen;
    QPen pinkPen;
    QPen bluePen;
};

inline const QColor kFieldColour{0, 96, 0};
inline const QColor kBallLabelColour{55, 255, 255};

// The four text fonts, sized from the scale: with u the pixels of 3 m, the name font
// is u points, the score font 2u, the mode font 0.8u and the label font 0.5u.
struct DisplayFonts {
    QFont name;
    QFont score;
    QFont mode;
    QFont label;
    // The labels drawn with these fonts, laid out once and kept from paint to paint.
    // Painting happens on the GUI thread only, so the cache needs no lock.
    mutable StaticTextCache texts;

    void make(double scale);
};

}  // namespace tessarin
