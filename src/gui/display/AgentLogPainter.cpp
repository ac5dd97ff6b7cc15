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

// The square on screen around a circle of the field.
QRectF circleRect(const FieldView& view, double x, double y, double r) {
    const double pr = view.ToPixels(r);
    return {view.ToScreenX(x) - pr, view.ToScreenY(y) - pr, 2 * pr, 2 * pr};
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

void drawRecord(QPainter& painter, const FieldView& view, const Record& r) {
    const auto& v = r.values;
    switch (r.type) {
        case 'p': {
            const QPointF p = screen(view, v[0], v[1]);
            painter.fillRect(QRectF(p.x() - 1, p.y() - 1, 3, 3), painter.pen().color());
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
            const QPointF points[] = {screen(view, v[0], v[1]), screen(view, v[2], v[3]), screen(view, v[4], v[5])};
            painter.drawPolygon(points, 3);
            break;
        }
        case 'r':
        case 'R':
            painter.drawRect(QRectF(screen(view, v[0], v[1]), QSizeF(view.ToPixels(v[2]), view.ToPixels(v[3]))));
            break;
        case 's':
        case 'S':
            painter.drawPath(sectorPath(view, r));
            break;
        case 'm':
            painter.drawText(screen(view, v[0], v[1]), QString::fromStdString(r.text));
            break;
        default:
            break;
    }
}

}  // namespace

void AgentLogPainter::draw(QPainter& painter, const FieldView& view, const FieldScene&, const DisplayOptions&) {
    if (drawings_.empty()) return;
    if (fontScale_ != view.scale()) {
        // Texts about 1.2 m high, readable from the smallest window up.
        font_.setPixelSize(std::clamp(static_cast<int>(view.scale() * 1.2), 8, 48));
        fontScale_ = view.scale();
    }
    painter.setFont(font_);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QColor current;
    bool filled = false;
    painter.setBrush(Qt::NoBrush);
    for (const Record& r : drawings_) {
        const QColor colour = colourOf(r);
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
        drawRecord(painter, view, r);
    }
}

}  // namespace tessarin
