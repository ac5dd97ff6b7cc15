#include "display/OverlayPainter.h"

#include <QImage>
#include <QPainter>
#include <QPolygon>
#include <QRegion>
#include <QString>
#include <algorithm>
#include <cmath>

#include "display/FieldPainter.h"
#include "record/SightRecords.h"

namespace tessarin {

namespace {

const QColor kLeftAreaColour(0, 0, 255);
const QColor kRightAreaColour(255, 0, 0);
const QColor kTrackColour(255, 255, 10);
const QColor kPointLabelColour(255, 0, 255);
const QColor kMarkLabelColour(255, 255, 0);
// The period of the control areas' hatch, in pixels.
constexpr double kHatchPeriod = 8.0;
// The device rows of one band of a cell's fill.
constexpr double kBandRows = 64.0;

// Positions from files and the analysis may be anything; a pixel far off screen is
// clamped so that integer screen coordinates never overflow.
int clampPixel(double pixel) {
    return static_cast<int>(std::isfinite(pixel) ? std::clamp(pixel, -1.0e6, 1.0e6) : -1.0e6);
}

QPoint toScreen(const FieldView& view, double x, double y) {
    return QPoint(clampPixel(view.ToScreenX(x)), clampPixel(view.ToScreenY(y)));
}
QPoint toScreen(const FieldView& view, Vector v) { return toScreen(view, v.x, v.y); }

void drawDot(QPainter& painter, QPoint at, int r, const QBrush& fill) {
    painter.setBrush(fill);
    painter.drawEllipse(circleBox(at.x(), at.y(), r));
}

}  // namespace

FieldOverlays::FieldOverlays(FieldRenderer& renderer) : renderer_(renderer) {
    renderer_.addOverlay(OverlayStage::OffsideLine, &offside_);
    renderer_.addOverlay(OverlayStage::PassCourse, &courseStage_);
    renderer_.addOverlay(OverlayStage::Decisions, &decisionsStage_);
    renderer_.addOverlay(OverlayStage::Present, &presentStage_);
    renderer_.setPlayerOverlay(&areas_);
}

FieldOverlays::~FieldOverlays() {
    renderer_.setPlayerOverlay(nullptr);
    for (FieldOverlay* stage :
         std::initializer_list<FieldOverlay*>{&offside_, &courseStage_, &decisionsStage_, &presentStage_}) {
        renderer_.removeOverlay(stage);
    }
}

void FieldOverlays::drawOffside(QPainter& painter, const FieldView& view, const FieldScene& scene,
                                const DisplayOptions&) {
    if (!scene.showCurrent()) return;
    const DisplayPalette& palette = renderer_.palette();
    const OffsideLines lines = offsideLines(scene.state);
    for (const OffsideLine& line : {lines.left, lines.right}) {
        painter.setPen(line.offside ? palette.redPen : palette.highlightPen);
        painter.drawLine(toScreen(view, line.x, -34.0), toScreen(view, line.x, 34.0));
    }
}

void FieldOverlays::ControlAreas::beginPlayers(QPainter&, const FieldView& view, const FieldScene& scene) {
    for (int index = 0; index < kPlayerCount; ++index) {
        QPolygon& polygon = cells_[static_cast<std::size_t>(index)];
        polygon.clear();
        // The players drawn are those on the field, and each draws its cell first.
        if (scene.state.player[static_cast<std::size_t>(index)].mode == 0) continue;
        const std::vector<Vector> cell = controlCell(scene.state, index);
        if (cell.size() < 3) continue;
        polygon.reserve(static_cast<qsizetype>(cell.size()));
        for (const Vector& v : cell) polygon << toScreen(view, v);
    }
}

void FieldOverlays::ControlAreas::makeHatch(QSize pixels, qreal ratio) {
    // Qt's diagonal cross pattern repeats every 8 pixels; on a scaled screen it is scaled
    // with the picture, so that the hatch looks as it does unscaled instead of twice as
    // dense. The brushes hold it drawn out once in device pixels as wide rows: a fill then
    // copies long runs instead of expanding an 8 x 8 pattern for every 8 pixels. Where the
    // scaled period is not a whole number of pixels, the rows cover the whole target.
    const double period = kHatchPeriod * ratio;
    const int whole = static_cast<int>(std::lround(period));
    const bool periodic = std::abs(period - whole) < 1e-6;
    const int columns = periodic ? (pixels.width() + whole - 1) / whole * whole : pixels.width();
    const int rows = periodic ? whole : pixels.height();
    for (std::size_t side = 0; side < hatch_.size(); ++side) {
        QImage tile(std::max(columns, 1), std::max(rows, 1), QImage::Format_ARGB32_Premultiplied);
        tile.fill(Qt::transparent);
        QPainter painter(&tile);
        painter.setRenderHint(QPainter::NonCosmeticBrushPatterns, ratio != 1.0);
        painter.scale(ratio, ratio);
        painter.setBrushOrigin(0, 0);
        painter.fillRect(QRectF(0, 0, tile.width() / ratio, tile.height() / ratio),
                         QBrush(side == 0 ? kLeftAreaColour : kRightAreaColour, Qt::DiagCrossPattern));
        painter.end();
        QBrush brush(tile);
        // The painter scales to device pixels; the brush undoes it, so the rows map 1:1.
        brush.setTransform(QTransform::fromScale(1.0 / ratio, 1.0 / ratio));
        hatch_[side] = brush;
    }
    hatchPixels_ = pixels;
    hatchRatio_ = ratio;
}

void FieldOverlays::ControlAreas::drawBeforeBody(QPainter& painter, const FieldView&, const FieldScene&, int index) {
    if (index < 0 || index >= kPlayerCount) return;
    const QPolygon& cell = cells_[static_cast<std::size_t>(index)];
    if (cell.isEmpty()) return;
    const QPaintDevice* device = painter.device();
    const qreal ratio = device && device->devicePixelRatioF() > 0.0 ? device->devicePixelRatioF() : 1.0;
    const QSize size = renderer_.size();
    const QSize pixels(static_cast<int>(std::ceil(size.width() * ratio)),
                       static_cast<int>(std::ceil(size.height() * ratio)));
    if (pixels != hatchPixels_ || ratio != hatchRatio_) makeHatch(pixels, ratio);
    // The hatch on a transparent background, fixed to the window's origin, so that
    // neighbouring cells' lines meet and the field shows between them. The cell's edge is
    // aliased and unshifted in smooth drawing too: blending it would only dim the hatch's
    // outermost pixels.
    painter.resetTransform();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setBrushOrigin(0, 0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(hatch_[index < kPlayersPerSide ? 0 : 1]);
    // Qt's raster engine hands a fill of many rows to its thread pool and waits for it;
    // waking the pool costs more than filling a cell, and on a busy machine much more.
    // Bands of fewer rows are filled on the painting thread. Each band reaches a row into
    // the next, so that no row is lost to rounding on a scaled screen; a row filled twice
    // looks the same, as the hatch's pixels are opaque or transparent.
    const QRect bounds = cell.boundingRect().intersected(QRect(QPoint(0, 0), size));
    const int band = std::max(1, static_cast<int>(kBandRows / ratio));
    const bool clipped = painter.hasClipping();
    const QRegion outer = clipped ? painter.clipRegion() : QRegion();
    for (int top = bounds.top(); top <= bounds.bottom(); top += band) {
        const QRect rows(bounds.left(), top, bounds.width(), band + 1);
        if (clipped) {
            painter.setClipRegion(outer.intersected(rows));
        } else {
            painter.setClipRect(rows);
        }
        painter.drawPolygon(cell);
    }
}

void FieldOverlays::drawCourse(QPainter& painter, const FieldView& view, const FieldScene&, const DisplayOptions&) {
    const DisplayPalette& palette = renderer_.palette();
    for (const BasicBehaviorEvent& event : course_.events()) {
        switch (event.kind) {
            case BB_SHOOT:
                painter.setPen(palette.redPen);
                break;
            case BB_PASS:
            case BB_CLEARBALL:
                painter.setPen(palette.whitePen);
                break;
            default:  // dribble, adjust
                painter.setPen(palette.highlightPen);
                break;
        }
        painter.drawLine(toScreen(view, event.start_pos), toScreen(view, event.end_pos));
    }
}

void FieldOverlays::drawDecisions(QPainter& painter, const FieldView& view, const FieldScene& scene,
                                  const DisplayOptions& options) {
    // The decisions start at the positions of the version-2 sight record they belong to.
    if (!scene.current || scene.current->kind != kSightRecordV2) return;
    const DisplayPalette& palette = renderer_.palette();
    const SightV2View sight = decodeSightRecordV2(*scene.current);
    const std::array<bool, 3>& loaded = decisions_.loaded;

    if ((options.PassInfo || options.DribbleInfo) && loaded[0]) {
        const QPoint ball = toScreen(view, sight.ballX, sight.ballY);
        for (const PASSDECISIONINFO& pass : decisions_.decisions.pass.list) {
            const bool dribble = pass.receiver == 0;
            if (dribble ? !options.DribbleInfo : !options.PassInfo) continue;
            const QPoint target = toScreen(view, pass.target_x, pass.target_y);
            painter.setPen(palette.redPen);
            painter.drawLine(ball, target);
            drawDot(painter, target, 2, dribble ? palette.cyanBrush : palette.yellowBrush);
        }
    }

    if (options.InterceptInfo && loaded[1]) {
        const auto& intercepts = decisions_.decisions.intercept.list;
        painter.setPen(palette.highlightPen);
        for (const INTERCEPTDECISIONINFO& intercept : intercepts) {
            drawDot(painter, toScreen(view, intercept.point_x, intercept.point_y), 2, palette.cyanBrush);
        }
        const int best = greatestGainIndex(intercepts);
        if (best >= 0) {
            const INTERCEPTDECISIONINFO& chosen = intercepts[static_cast<std::size_t>(best)];
            drawDot(painter, toScreen(view, chosen.point_x, chosen.point_y), 3, palette.redBrush);
        }
    }

    if (options.DefenseInfo && loaded[2]) {
        painter.setFont(renderer_.fonts().mode);
        painter.setBackgroundMode(Qt::TransparentMode);
        const QPen thickBlack(QColor(0, 0, 0), 2);
        for (const DEFENSEDECISIONINFO& decision : decisions_.decisions.defense.list) {
            const auto segment = defenseSegment(sight, decision);
            if (!segment) continue;
            const std::string text = defenseLabel(decision);
            const QString label = QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
            const QPoint from = toScreen(view, segment->defender);
            if (segment->point) {
                const QPoint to = toScreen(view, *segment->target);
                painter.setPen(thickBlack);
                painter.drawLine(from, to);
                painter.setPen(palette.bluePen);
                drawDot(painter, to, 6, palette.blackBrush);
                painter.setPen(kPointLabelColour);
                drawLabel(painter, to.x(), to.y(), label);
            } else {
                painter.setPen(palette.highlightPen);
                drawDot(painter, toScreen(view, decision.x, decision.y), 3, palette.magentaBrush);
                // An opponent to mark whom the observer did not see keeps only the circle.
                if (!segment->target) continue;
                const QPoint to = toScreen(view, *segment->target);
                painter.setPen(palette.bluePen);
                painter.drawLine(from, to);
                painter.setPen(kMarkLabelColour);
                drawLabel(painter, (from.x() + to.x()) / 2, (from.y() + to.y()) / 2, label);
            }
        }
    }
    painter.setBrush(Qt::NoBrush);
}

void FieldOverlays::drawPresent(QPainter& painter, const FieldView& view, const FieldScene&, const DisplayOptions&) {
    if (present_.mode == kPresentPosition) {
        // One pixel per analysed cycle: thousands of points, drawn in one call.
        QPolygon points;
        points.reserve(static_cast<qsizetype>(present_.track.size()));
        for (const Vector& v : present_.track) points << toScreen(view, v);
        painter.setPen(QPen(kTrackColour, 1));
        painter.drawPoints(points);
        return;
    }
    if (present_.events.empty()) return;
    painter.setPen(renderer_.palette().highlightPen);
    painter.setBrush(Qt::NoBrush);
    for (const BasicBehaviorEvent& event : present_.events) {
        const QPoint start = toScreen(view, event.start_pos);
        painter.drawLine(start, toScreen(view, event.end_pos));
        painter.drawEllipse(circleBox(start.x(), start.y(), 2));
    }
}

}  // namespace tessarin
