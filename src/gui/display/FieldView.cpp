#include "display/FieldView.h"

namespace tessarin {

void FieldView::fit(int width, int height) {
    if (!paintable(width, height)) return;
    // 115 m across leaves room beside the 105 m field; 85 m down leaves room for the header above it.
    const double ratio = static_cast<double>(width) / height;
    scale_ = ratio < 1.4 ? width / 115.0 : height / 85.0;
    fitScale_ = scale_;
    cx_ = static_cast<int>(width * 0.5);
    cy_ = static_cast<int>(height * 46.0 / 85.0);
}

void FieldView::zoom(int px, int py, bool zoomIn, int width, int height) {
    const double wx = ToWorldX(px);
    const double wy = ToWorldY(py);
    const double next = zoomIn ? scale_ * kZoomFactor : scale_ / kZoomFactor;
    // The new centre is computed with the scale before the change, so a zoom about a
    // point off the middle also pans toward it.
    cx_ = static_cast<int>(-wx * scale_ + width / 2);
    cy_ = static_cast<int>(-wy * scale_ + height / 2);
    scale_ = next;
}

void FieldView::pan(int dx, int dy) {
    cx_ += dx;
    cy_ += dy;
}

}  // namespace tessarin
