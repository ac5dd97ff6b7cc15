#include "display/DebugTextOverlay.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <optional>

#include "display/FieldPainter.h"
#include "live/DebugText.h"
#include "record/SightRecords.h"

namespace tessarin {

namespace {

const QColor kTargetText(255, 255, 10);
const QColor kMarkingText(255, 255, 0);
const QColor kPointText(255, 0, 255);

// Screen pixel of a world point, or none when it lies far off any screen.
std::optional<QPoint> screen(const FieldView& view, double x, double y) {
    const double sx = view.ToScreenX(x);
    const double sy = view.ToScreenY(y);
    if (!std::isfinite(sx) || !std::isfinite(sy) || std::abs(sx) > 1.0e6 || std::abs(sy) > 1.0e6) return std::nullopt;
    return QPoint(static_cast<int>(sx), static_cast<int>(sy));
}

struct Position {
    double x, y;
};

// Where the current record puts a player of a side (0 left, 1 right) with a uniform number.
std::optional<Position> playerPosition(const FieldScene& scene, int side, int number) {
    if (!scene.current || number < 1) return std::nullopt;
    if (scene.current->kind == kShowRecord) {
        if (number > kPlayersPerSide) return std::nullopt;
        const PlayerState& p = scene.state.player[static_cast<std::size_t>(side * kPlayersPerSide + number - 1)];
        if (p.mode == 0) return std::nullopt;
        return Position{p.x, p.y};
    }
    if (scene.current->kind != kSightRecordV2) return std::nullopt;
    const SightV2View v = decodeSightRecordV2(*scene.current);
    const char wanted = side == 0 ? 'l' : 'r';
    if (v.side == wanted && v.number == number) return Position{v.x, v.y};
    for (const SightV2SeenPlayer& p : v.seen) {
        if (p.side == wanted && p.number == number) return Position{p.x, p.y};
    }
    return std::nullopt;
}

// The side of the client that sent the message: the observer's in a version-2 sight
// record, otherwise the side of the selected player (the one being debugged), left
// when no player is selected.
int sendingSide(const FieldScene& scene) {
    if (scene.current && scene.current->kind == kSightRecordV2) {
        return decodeSightRecordV2(*scene.current).side == 'r' ? 1 : 0;
    }
    return scene.selected >= kPlayersPerSide && scene.selected < kPlayerCount ? 1 : 0;
}

}  // namespace

void DebugTextOverlay::draw(QPainter& painter, const FieldView& view, const FieldScene& scene,
                            const DisplayOptions& options) {
    if (!options.debug || scene.debugText.empty()) return;
    const DebugDrawing drawing = parseDebugText(scene.debugText);
    const DisplayPalette& palette = renderer_.palette();
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setFont(renderer_.fonts().label);

    for (const DebugTargetPoint& t : drawing.targets) {
        const auto p = screen(view, t.x, t.y);
        if (!p) continue;
        painter.setPen(palette.blackPen);
        painter.setBrush(palette.yellowBrush);
        painter.drawEllipse(circleBox(p->x(), p->y(), 3));
        painter.setPen(kTargetText);
        drawLabel(painter, p->x() + 3, p->y() - 3, QString::asprintf("%.2f", t.value));
    }

    const int own = sendingSide(scene);
    for (const DebugMarking& m : drawing.markings) {
        const auto from = playerPosition(scene, own, m.own);
        const auto to = playerPosition(scene, 1 - own, m.other);
        if (!from || !to) continue;
        const auto a = screen(view, from->x, from->y);
        const auto b = screen(view, to->x, to->y);
        if (!a || !b) continue;
        painter.setPen(palette.bluePen);
        painter.drawLine(*a, *b);
        painter.setPen(kMarkingText);
        drawLabel(painter, (a->x() + b->x()) / 2, (a->y() + b->y()) / 2, QString(QLatin1Char(m.label)));
    }

    if (drawing.point) {
        const auto p = screen(view, drawing.point->x, drawing.point->y);
        if (!p) return;
        if (drawing.point->teammate) {
            if (const auto mate = playerPosition(scene, own, *drawing.point->teammate)) {
                if (const auto m = screen(view, mate->x, mate->y)) {
                    painter.setPen(palette.highlightPen);
                    painter.drawLine(*m, *p);
                }
            }
        }
        painter.setPen(palette.whitePen);
        painter.setBrush(palette.magentaBrush);
        painter.drawEllipse(circleBox(p->x(), p->y(), 3));
        painter.setPen(kPointText);
        drawLabel(painter, p->x() + 4, p->y() - 4,
                  QString::fromLatin1(drawing.point->name.data(), static_cast<qsizetype>(drawing.point->name.size())));
    }
}

}  // namespace tessarin
