#include "display/DisplayPalette.h"

#include <algorithm>

namespace tessarin {

namespace {

QPen solidPen(int r, int g, int b, int width = 1) {
    QPen pen(QColor(r, g, b));
    pen.setWidth(width);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

// Font sizes are given in tenths of a point and laid out at 96 dots per inch, so the
// picture does not depend on the screen's resolution.
QFont pointFont(const QString& face, QFont::StyleHint hint, int tenths) {
    QFont font(face);
    font.setStyleHint(hint);
    font.setPixelSize(std::max(1, tenths * 96 / 720));
    return font;
}

}  // namespace

DisplayPalette::DisplayPalette()
    : blackBrush(QColor(0, 0, 0)),
      redBrush(QColor(200, 0, 0)),
      whiteBrush(QColor(255, 255, 255)),
      highlightBrush(QColor(213, 117, 117)),
      yellowBrush(QColor(255, 255, 10)),
      cyanBrush(QColor(128, 255, 255)),
      magentaBrush(QColor(255, 0, 255)),
      blackPen(solidPen(0, 0, 0)),
      redPen(solidPen(200, 0, 0)),
      whitePen(solidPen(255, 255, 255)),
      highlightPen(solidPen(213, 117, 117)),
      yellowPen(solidPen(255, 255, 0)),
      pinkPen(solidPen(255, 128, 255)),
      bluePen(solidPen(0, 0, 255, 2)) {}

void DisplayFonts::make(double scale) {
    // Text of a far zoomed-out view would be too small to make a font of; clamp it.
    const int u = std::clamp(static_cast<int>(3.0 * std::min(scale, 1.0e6)), 1, 100000);
    const QString serif = QStringLiteral("Times New Roman");
    name = pointFont(serif, QFont::Serif, 10 * u);
    score = pointFont(QStringLiteral("System"), QFont::SansSerif, 20 * u);
    mode = pointFont(serif, QFont::Serif, 8 * u);
    label = pointFont(serif, QFont::Serif, 5 * u);
    texts.clear();
}

}  // namespace tessarin
