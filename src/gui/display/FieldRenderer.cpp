#include "display/FieldRenderer.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "display/FieldPainter.h"
#include "display/SightPainter.h"

namespace tessarin {

namespace {

// Bounds of the zoomed scale, in pixels per metre: beyond them a zoom does nothing, so
// that screen coordinates stay well inside the range of an int.
constexpr double kMinScale = 0.05;
constexpr double kMaxScale = 2000.0;

}  // namespace

bool FieldRenderer::prepare(int width, int height) {
    if (!FieldView::paintable(width, height)) return false;
    if (size_ == QSize(width, height)) return true;
    size_ = QSize(width, height);
    view_.fit(width, height);
    fonts_.make(view_.scale());
    return true;
}

void FieldRenderer::zoom(int px, int py, bool zoomIn) {
    if (size_.isEmpty()) return;
    const double next = zoomIn ? view_.scale() * kZoomFactor : view_.scale() / kZoomFactor;
    if (next < kMinScale || next > kMaxScale) return;
    view_.zoom(px, py, zoomIn, size_.width(), size_.height());
    fonts_.make(view_.scale());
}

void FieldRenderer::pan(int dx, int dy) {
    if (size_.isEmpty() || !view_.zoomedIn() || (dx == 0 && dy == 0)) return;
    view_.pan(dx, dy);
}

void FieldRenderer::addOverlay(OverlayStage stage, FieldOverlay* overlay) {
    overlays_[static_cast<std::size_t>(stage)].push_back(overlay);
}

void FieldRenderer::removeOverlay(FieldOverlay* overlay) {
    for (auto& list : overlays_) std::erase(list, overlay);
}

void FieldRenderer::drawStage(OverlayStage stage, QPainter& painter, const FieldScene& scene,
                              const DisplayOptions& options) {
    for (FieldOverlay* overlay : overlays_[static_cast<std::size_t>(stage)]) {
        painter.save();
        overlay->draw(painter, view_, scene, options);
        painter.restore();
    }
}

void setSmoothDrawing(QPainter& painter, bool smooth) {
    painter.setRenderHint(QPainter::Antialiasing, smooth);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    // Anti-aliased, a one-pixel line along whole coordinates would straddle two pixels and
    // show as two of half the colour; half a pixel over, it covers the pixel that the
    // aliased line sets, and stays sharp.
    if (smooth) painter.translate(0.5, 0.5);
}

const QPixmap& FieldRenderer::markings(qreal ratio, bool smooth) {
    const MarkingsKey key{size_, view_.scale(), view_.centreX(), view_.centreY(), ratio, smooth};
    if (key == markingsKey_ && !markings_.isNull()) return markings_;
    const QSize pixels(static_cast<int>(std::ceil(size_.width() * ratio)),
                       static_cast<int>(std::ceil(size_.height() * ratio)));
    if (markings_.size() != pixels) markings_ = QPixmap(pixels);
    markings_.setDevicePixelRatio(ratio);
    if (!markings_.isNull()) {
        markings_.fill(kFieldColour);
        QPainter painter(&markings_);
        setSmoothDrawing(painter, smooth);
        drawFieldMarkings(painter, view_, palette_, size_.width(), size_.height());
    }
    markingsKey_ = key;
    ++markingsDrawn_;
    return markings_;
}

void FieldRenderer::paint(QPainter& painter, const FieldScene& scene, const DisplayOptions& options) {
    const QPaintDevice* device = painter.device();
    const qreal ratio = device ? device->devicePixelRatioF() : 1.0;
    const QPixmap* background = cacheMarkings_ ? &markings(ratio, options.SmoothDrawing) : nullptr;
    if (background && !background->isNull()) {
        painter.drawPixmap(0, 0, *background);
    } else {
        painter.save();
        setSmoothDrawing(painter, options.SmoothDrawing);
        drawFieldMarkings(painter, view_, palette_, size_.width(), size_.height());
        painter.restore();
    }
    setSmoothDrawing(painter, options.SmoothDrawing);
    drawHeader(painter, view_, fonts_, scene, header_);
    if (const CycleCompanion* extra = scene.companion(); extra && extra->logos) {
        drawTeamLogos(painter, view_, header_.layout(), logos_.images(extra->logos));
    }
    if (options.OffsideLine) drawStage(OverlayStage::OffsideLine, painter, scene, options);
    if (options.ControlCourse) drawStage(OverlayStage::PassCourse, painter, scene, options);
    drawStage(OverlayStage::Decisions, painter, scene, options);
    std::function<void(int)> beforeBody;
    if (options.ControlArea && playerOverlay_ && scene.showCurrent()) {
        playerOverlay_->beginPlayers(painter, view_, scene);
        beforeBody = [&](int index) {
            painter.save();
            playerOverlay_->drawBeforeBody(painter, view_, scene, index);
            painter.restore();
        };
    }
    const QPen pen = drawPlayers(painter, view_, palette_, fonts_, scene, options, beforeBody);
    drawBall(painter, view_, fonts_, scene, options, pen);
    drawSightRecord(painter, view_, palette_, fonts_, scene, options, pen);
    drawStage(OverlayStage::DebugLog, painter, scene, options);
    drawStage(OverlayStage::VisualObjects, painter, scene, options);
    drawStage(OverlayStage::Present, painter, scene, options);
}

QImage FieldRenderer::compose(const FieldScene& scene, const DisplayOptions& options, qreal ratio) {
    QImage image(static_cast<int>(std::ceil(size_.width() * ratio)),
                 static_cast<int>(std::ceil(size_.height() * ratio)), QImage::Format_RGB32);
    if (image.isNull() || size_.isEmpty()) return image;
    image.setDevicePixelRatio(ratio);
    // Smooth markings are drawn half a pixel over: their edges blend with what lies under
    // them, which must be the field as in the cached layer, not the image's unset memory.
    image.fill(kFieldColour);
    QPainter painter(&image);
    paint(painter, scene, options);
    painter.end();
    return image;
}

QImage renderField(const FieldScene& scene, const DisplayOptions& options, int width, int height) {
    FieldRenderer renderer;
    renderer.setCacheMarkings(false);
    if (!renderer.prepare(width, height)) {
        QImage empty(std::max(1, width), std::max(1, height), QImage::Format_RGB32);
        empty.fill(kFieldColour);
        return empty;
    }
    return renderer.compose(scene, options);
}

}  // namespace tessarin
