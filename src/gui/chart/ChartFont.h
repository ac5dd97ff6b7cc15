#pragma once

#include <QFont>

namespace tessarin {

// The chart's texts are in "Arial"; where it is not installed, font matching picks a sans face.
inline QFont chartFont(int pointSize, bool bold = false) {
    QFont font(QStringLiteral("Arial"), pointSize, bold ? QFont::Bold : QFont::Normal);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

}  // namespace tessarin
