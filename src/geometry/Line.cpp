#include "geometry/Line.h"

#include <cmath>

namespace tessarin {

Line Line::Through(Vector p1, Vector p2) {
    Line line;
    const float dx = p2.x - p1.x;
    if (std::fabs(dx) < kGeometryTolerance) {
        line.a = 1.0f;
        line.b = 0.0f;
    } else {
        line.a = -(p2.y - p1.y) / dx;
        line.b = 1.0f;
    }
    line.c = -(line.a * p2.x + line.b * p2.y);
    return line;
}

Line Line::PerpendicularThrough(Vector p) const { return {b, -a, a * p.y - b * p.x}; }

float Line::YAt(float x) const {
    if (b == 0.0f) return 0.0f;
    return (-a * x - c) / b;
}

float Line::XAt(float y) const {
    if (a == 0.0f) return 0.0f;
    return (-b * y - c) / a;
}

bool Line::IsParallel(const Line& other) const {
    if (std::fabs(b) < kGeometryTolerance && std::fabs(other.b) < kGeometryTolerance) return true;
    // Otherwise a line with b = 0 has no slope to compare; it is not parallel to the other.
    if (b == 0.0f || other.b == 0.0f) return false;
    return std::fabs(a / b - other.a / other.b) < kGeometryTolerance;
}

Vector Line::Intersection(const Line& other) const {
    if (IsParallel(other)) return {};
    // On a line with b = 0, x is the same at every y, so XAt(0) is -c / a (and 0, not a
    // division by zero, for the degenerate a = b = 0).
    if (b != 0.0f) {
        const float x = other.b != 0.0f ? (other.b * c - b * other.c) / (b * other.a - other.b * a) : other.XAt(0.0f);
        return {x, YAt(x)};
    }
    const float x = XAt(0.0f);
    return {x, other.YAt(x)};
}

Vector Line::Foot(Vector p) const { return Intersection(PerpendicularThrough(p)); }

bool Line::OnSegment(Vector p, Vector s1, Vector s2) const {
    const Vector foot = Foot(p);
    const float limit = s1.squaredDistanceTo(s2) + kGeometryTolerance;
    return foot.squaredDistanceTo(s1) < limit && foot.squaredDistanceTo(s2) < limit;
}

bool Line::SameSide(Vector p, Vector q) const {
    const Line joining = Through(p, q);
    if (joining.IsParallel(*this)) return true;
    const Vector crossing = joining.Intersection(*this);
    // In each coordinate the product is positive when the crossing lies strictly between p
    // and q, and at most 0 when it lies beyond either end or at an end.
    return (crossing.x - p.x) * (q.x - crossing.x) <= 0.0f && (crossing.y - p.y) * (q.y - crossing.y) <= 0.0f;
}

}  // namespace tessarin
