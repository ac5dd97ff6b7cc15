#include "geometry/Vector.h"

#include <cmath>

#include "geometry/Angle.h"

namespace tessarin {

Vector Vector::FromPolar(float r, float d) { return {r * CosDeg(d), r * SinDeg(d)}; }

float Vector::length() const { return std::sqrt(squaredLength()); }

float Vector::squaredDistanceTo(Vector other) const { return (*this - other).squaredLength(); }

float Vector::distanceTo(Vector other) const { return (*this - other).length(); }

float Vector::direction() const { return Atan2Deg(y, x); }

}  // namespace tessarin
