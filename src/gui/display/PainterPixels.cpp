#include "display/PainterPixels.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QRegion>
#include <QTransform>
#include <cmath>

namespace tessarin {

PainterPixels::PainterPixels(QPainter& painter) {
    if (!painter.isActive() || painter.hasClipping() || painter.opacity() < 1.0 ||
        painter.compositionMode() != QPainter::CompositionMode_SourceOver) {
        return;
    }
    QPaintEngine* engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster) return;
    // A widget's painter is redirected to the backing store's image: the engine's device
    // is that image, and the transform carries the widget's offset inside it.
    QPaintDevice* device = engine->paintDevice();
    if (!device || device->devType() != QInternal::Image) return;
    auto* image = static_cast<QImage*>(device);
    switch (image->format()) {
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32:
        case QImage::Format_ARGB32_Premultiplied:
            break;
        default:
            return;
    }
    // A shared image would be copied by the first write access, away from the buffer
    // the engine paints into.
    if (!image->isDetached()) return;
    const QTransform transform = painter.deviceTransform();
    if (transform.type() > QTransform::TxTranslate) return;
    if (transform.dx() != std::floor(transform.dx()) || transform.dy() != std::floor(transform.dy())) return;
    dx_ = static_cast<int>(transform.dx());
    dy_ = static_cast<int>(transform.dy());

    const QRect imageRect = image->rect();
    device_ = imageRect.translated(-dx_, -dy_);
    const QRegion system = engine->systemClip();
    const QRegion writable = system.isEmpty() ? QRegion(imageRect) : system.intersected(imageRect);
    for (const QRect& rect : writable) {
        clip_.push_back(rect.translated(-dx_, -dy_));
        bounds_ = bounds_.united(clip_.back());
    }
    if (clip_.empty()) return;
    first_ = clip_.front();
    premultiplied_ = image->format() != QImage::Format_ARGB32;
    bits_ = image->bits();
    stride_ = image->bytesPerLine();
}

void PainterPixels::fillInEveryRect(int x, int y, int length, QRgb colour) const {
    for (const QRect& rect : clip_) {
        if (y < rect.top() || y > rect.bottom()) continue;
        const int from = std::max(x, rect.left());
        const int to = std::min(x + length, rect.right() + 1);
        if (from < to) std::fill(row(y) + dx_ + from, row(y) + dx_ + to, colour);
    }
}

void PainterPixels::setInOtherRects(int x, int y, QRgb colour) const {
    for (const QRect& rect : clip_) {
        if (rect.contains(x, y)) {
            row(y)[x + dx_] = colour;
            return;
        }
    }
}

}  // namespace tessarin
