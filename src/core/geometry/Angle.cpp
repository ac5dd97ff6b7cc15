#include "geometry/Angle.h"

#include <cmath>

namespace tessarin {

namespace {

double toRadians(float degrees) { return static_cast<double>(degrees) * kPi / 180.0; }

float toDegrees(double radians) { return static_cast<float>(radians * 180.0 / kPi); }

}  // namespace

float Deg2Rad(float d) { return static_cast<float>(toRadians(d)); }

float Rad2Deg(float r) { return toDegrees(r); }

float SinDeg(float d) { return static_cast<float>(std::sin(toRadians(d))); }

float CosDeg(float d) { return static_cast<float>(std::cos(toRadians(d))); }

float AtanDeg(float t) { return toDegrees(std::atan(static_cast<double>(t))); }

float Atan2Deg(float y, float x) {
    // atan2(±0, ±0) is ±0 or ±180 depending on the zero signs; the zero vector has direction 0.
    if (y == 0.0f && x == 0.0f) return 0.0f;
    const float degrees = toDegrees(std::atan2(static_cast<double>(y), static_cast<double>(x)));
    // atan2 answers -π for y = -0 on the negative x axis (and rounding can reach -180 from
    // just below the axis); that direction is reported as +180.
    return degrees <= -180.0f ? degrees + 360.0f : degrees;
}

float AsinDeg(float s) {
    if (s >= 1.0f) return 90.0f;
    if (s <= -1.0f) return -90.0f;
    return toDegrees(std::asin(static_cast<double>(s)));
}

}  // namespace tessarin
