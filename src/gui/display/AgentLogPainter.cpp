#include "display/AgentLogPainter.h"

#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

namespace tessarin {

namespace {

using agentlog::Record;

QColor colourOf(const Record& r) {
    const agentlog::Rgb c = r.colour.value_or(agentlog::kDefaultColour);
    return QColor(c.r, c.g, c.b);
}

QPointF screen(const FieldView& view, double x, double y) { return {view.ToScreenX(x), view.ToScreenY(y)}; }

// Whole pixels: the raster engine draws integer rectangles and ellipses with a thin pen
// faster than the same shapes in fractions of a pixel (lines it draws faster unrounded).
QPoint pixel(const FieldView& view, double x, double y) { return {view.pixelX(x), view.pixelY(y)}; }

// The square on screen around a circle of the field.
QRect circleRect(const FieldView& view, double x, double y, double r) {
    const int pr = view.pixels(r);
    return {view.pixelX(x) - pr, view.pixelY(y) - pr, 2 * pr, 2 * pr};
}

// Field angles turn clockwise on the screen (y grows downward); Qt's turn the other way,
// in sixteenths of a degree.
int qtAngle(double degrees) { return static_cast<int>(std::lround(-degrees * 16.0)); }

QPainterPath sectorPath(const FieldView& view, const Record& r) {
    const auto& v = r.values;
    const QRectF outer = circleRect(view, v[0], v[1], std::max(v[2], v[3]));
    const QRectF inner = circleRect(view, v[0], v[1], std::min(v[2], v[3]));
    QPainterPath path;
    path.arcMoveTo(outer, -v[4]);
    path.arcTo(outer, -v[4], -v[5]);
    if (inner.width() > 0) {
        path.arcTo(inner, -(v[4] + v[5]), v[5]);
    } else {
        path.lineTo(screen(view, v[0], v[1]));
    }
    path.closeSubpath();
    return path;
}

void drawRecord(QPainter& painter, const FieldView& view, const Record& r, const QStaticText& text, int ascent) {
    const auto& v = r.values;
    switch (r.type) {
        case 'p': {
            const QPoint p = pixel(view, v[0], v[1]);
            painter.fillRect(QRect(p.x() - 1, p.y() - 1, 3, 3), painter.pen().color());
            break;
        }
        case 'l':
            painter.drawLine(screen(view, v[0], v[1]), screen(view, v[2], v[3]));
            break;
        case 'a':
            painter.drawArc(circleRect(view, v[0], v[1], v[2]), qtAngle(v[3]), qtAngle(v[4]));
            break;
        case 'c':
        case 'C':
            painter.drawEllipse(circleRect(view, v[0], v[1], v[2]));
            break;
        case 't':
        case 'T': {
            const QPoint points[] = {pixel(view, v[0], v[1]), pixel(view, v[2], v[3]), pixel(view, v[4], v[5])};
            painter.drawPolygon(points, 3);
            break;
        }
        case 'r':
        case 'R':
            painter.drawRect(QRect(pixel(view, v[0], v[1]), QSize(view.pixels(v[2]), view.pixels(v[3]))));
            break;
        case 's':
        case 'S':
            painter.drawPath(sectorPath(view, r));
            break;
        case 'm': {
            // A static text is placed by its top left; the library's point is where its baseline starts.
            const QPoint at = pixel(view, v[0], v[1]);
            painter.drawStaticText(QPoint(at.x(), at.y() - ascent), text);
            break;
        }
        default:
            break;
    }
}

}  // namespace

void AgentLogPainter::setDrawings(std::vector<agentlog::Record> drawings) {
    drawings_ = std::move(drawings);
    colours_.clear();
    texts_.clear();
    colours_.reserve(drawings_.size());
    texts_.resize(drawings_.size());
    for (std::size_t i = 0; i < drawings_.size(); ++i) {
        colours_.push_back(colourOf(drawings_[i]));
        if (drawings_[i].type == 'm') {
            texts_[i].setText(QString::fromStdString(drawings_[i].text));
            texts_[i].setTextFormat(Qt::PlainText);
            texts_[i].setPerformanceHint(QStaticText::AggressiveCaching);
        }
    }
    fontScale_ = 0;  // the new texts are laid out with the font on the next paint
}

void AgentLogPainter::draw(QPainter& painter, const FieldView& view, const FieldScene&, const DisplayOptions&) {
    if (drawings_.empty()) return;
    if (fontScale_ != view.scale()) {
        // Texts about 1.2 m high, readable from the smallest window up.
        font_.setPixelSize(std::clamp(static_cast<int>(view.scale() * 1.2), 8, 48));
        fontScale_ = view.scale();
        ascent_ = QFontMetrics(font_).ascent();
        for (QStaticText& text : texts_) {
            if (!text.text().isEmpty()) text.prepare(QTransform(), font_);
        }
    }
    painter.setFont(font_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QColor current;
    bool filled = false;
    painter.setBrush(Qt::NoBrush);
    for (std::size_t i = 0; i < drawings_.size(); ++i) {
        const Record& r = drawings_[i];
        const QColor& colour = colours_[i];
        const bool fill = agentlog::isFilled(r.type);
        if (colour != current) {
            painter.setPen(QPen(colour, 0));
            current = colour;
            if (filled) painter.setBrush(colour);
        }
        if (fill != filled) {
            painter.setBrush(fill ? QBrush(colour) : QBrush(Qt::NoBrush));
            filled = fill;
        }
        drawRecord(painter, view, r, texts_[i], ascent_);
    }
}

}  // namespace tessarin
