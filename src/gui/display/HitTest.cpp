#include "display/HitTest.h"

#include <cmath>

#include "record/SightRecords.h"

namespace tessarin {

namespace {

// Whether the point lies in the square of half side e about (x, y) in world metres:
// left and top edges included, right and bottom excluded.
bool inSquare(const FieldView& view, double x, double y, int e, QPoint point) {
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    const double sx = view.ToScreenX(x);
    const double sy = view.ToScreenY(y);
    if (std::abs(sx) > 1.0e9 || std::abs(sy) > 1.0e9) return false;
    const int px = static_cast<int>(sx);
    const int py = static_cast<int>(sy);
    return point.x() >= px - e && point.x() < px + e && point.y() >= py - e && point.y() < py + e;
}

// Within 3 pixels of the pixel of a world point (its screen position truncated toward
// zero, as it is drawn): the squared pixel distance is below 9.
bool near(const FieldView& view, double x, double y, QPoint point) {
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    const double sx = view.ToScreenX(x);
    const double sy = view.ToScreenY(y);
    if (std::abs(sx) > 1.0e9 || std::abs(sy) > 1.0e9) return false;
    const double dx = point.x() - std::trunc(sx);
    const double dy = point.y() - std::trunc(sy);
    return dx * dx + dy * dy < 9;
}

}  // namespace

int hitTestScene(const FieldScene& scene, const FieldView& view, double playerScale, QPoint point) {
    if (!scene.current) return -1;
    if (scene.current->kind == kShowRecord) {
        for (int i = 0; i < kPlayerCount; ++i) {
            const auto index = static_cast<std::size_t>(i);
            const PlayerState& p = scene.state.player[index];
            if (p.mode == 0) continue;
            const double size = scene.playerSize[index] > 0 ? scene.playerSize[index] : kDefaultPlayerSize;
            if (inSquare(view, p.x, p.y, view.pixels(size * playerScale), point)) return i;
        }
        return -1;
    }
    if (scene.current->kind != kSightRecordV2) return -1;
    const SightV2View v = decodeSightRecordV2(*scene.current);
    const int e = view.pixels(playerScale * kDefaultPlayerSize);
    if (v.confidence != 0 && inSquare(view, v.x, v.y, e, point)) return v.observerIndex();
    for (std::size_t j = 0; j < v.seen.size(); ++j) {
        const SightV2SeenPlayer& p = v.seen[j];
        if (p.confidence != 0 && inSquare(view, p.x, p.y, e, point)) return static_cast<int>(j);
    }
    return -1;
}

std::optional<QString> passDecisionHint(const cycle_pass_info& decisions, const FieldView& view, QPoint point) {
    for (const PASSDECISIONINFO& d : decisions.list) {
        if (!near(view, d.target_x, d.target_y, point)) continue;
        return QString::asprintf("Receiver:%d Angle:%.1f Ball speed:%.2f Success rate:%.3f Utility:%.4f Gain:%.4f",
                                 d.receiver, static_cast<double>(d.angle), static_cast<double>(d.ball_speed),
                                 static_cast<double>(d.success_rate), static_cast<double>(d.utility),
                                 static_cast<double>(d.gain));
    }
    return std::nullopt;
}

std::optional<QString> interceptDecisionHint(const cycle_intercept_info& decisions, const FieldView& view,
                                             QPoint point) {
    for (const INTERCEPTDECISIONINFO& d : decisions.list) {
        if (!near(view, d.point_x, d.point_y, point)) continue;
        return QString::asprintf("Success rate:%.3f Utility:%.4f Gain:%.4f", static_cast<double>(d.success_rate),
                                 static_cast<double>(d.utility), static_cast<double>(d.gain));
    }
    return std::nullopt;
}

}  // namespace tessarin
