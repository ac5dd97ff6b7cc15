#pragma once

// The display's world-to-screen mapping: pixels per metre and the screen position of
// the centre spot. World x grows toward the right team's goal, y downward on screen.

namespace tessarin {

// Smallest client area that is painted at all.
inline constexpr int kMinPaintWidth = 80;
inline constexpr int kMinPaintHeight = 50;
// Each zoom step multiplies or divides the scale by this.
inline constexpr double kZoomFactor = 1.2;

class FieldView final {
public:
    // Whether a client area of this size is painted.
    static bool paintable(int width, int height) { return width >= kMinPaintWidth && height >= kMinPaintHeight; }

    // Fits the whole field with its header into the client area.
    void fit(int width, int height);
    // Zooms about a client point: the clicked world point moves to the middle of the area.
    void zoom(int px, int py, bool zoomIn, int width, int height);
    // Moves the field by a number of pixels on the screen.
    void pan(int dx, int dy);
    // Whether the scale is larger than the one that fits the whole field.
    bool zoomedIn() const { return scale_ > fitScale_; }

    double scale() const { return scale_; }
    int centreX() const { return cx_; }
    int centreY() const { return cy_; }

    double ToPixels(double metres) const { return metres * scale_; }
    double ToScreenX(double x) const { return cx_ + x * scale_; }
    double ToScreenY(double y) const { return cy_ + y * scale_; }
    double ToWorldX(int px) const { return (px - cx_) / scale_; }
    double ToWorldY(int py) const { return (py - cy_) / scale_; }
    // Pixel positions, truncated toward zero.
    int pixelX(double x) const { return static_cast<int>(ToScreenX(x)); }
    int pixelY(double y) const { return static_cast<int>(ToScreenY(y)); }
    int pixels(double metres) const { return static_cast<int>(ToPixels(metres)); }

private:
    double scale_ = 1.0;
    double fitScale_ = 1.0;  // the scale of the last fit
    int cx_ = 0;
    int cy_ = 0;
};

}  // namespace tessarin
