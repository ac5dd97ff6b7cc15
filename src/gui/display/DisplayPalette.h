#pragma once

// Brushes, pens and fonts of the field display.

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QPen>

#include "display/LabelGlyphs.h"

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
    // The label font prepared for numbers.
    LabelGlyphs labelGlyphs;

    void make(double scale);
};

// The header's score and name fonts are larger than the glyphs Qt's raster engine keeps
// rendered (64 pixels by default), so without this each of their glyphs is filled as a
// curve outline at every paint, which costs more than the rest of the header. Raises that
// bound, unless the user has set it, so that the header's glyphs are rendered once and
// copied after. Qt reads the bound once, at the first text drawn: call this before that.
void allowLargeCachedGlyphs();

}  // namespace tessarin
