#pragma once

#include <cmath>

#include "geometry/Vector.h"

namespace tessarin {

// Tolerance of every geometric comparison: metres for coordinate differences, slope units
// for slopes and square metres for squared distances.
inline constexpr float kGeometryTolerance = 0.001f;

// The line of the points (x, y) with a·x + b·y + c = 0. Lines made by Through have either
// b = 1 (a is minus the slope) or a = 1, b = 0 (vertical).
struct Line {
    float a = 0.0f;
    float b = 0.0f;
    float c = 0.0f;

    // Line through p1 and p2; points closer than the tolerance in x give the vertical
    // line x = p2.x.
    static Line Through(Vector p1, Vector p2);
    // The line through p at right angles to this one.
    Line PerpendicularThrough(Vector p) const;
    // y of the line's point at x; 0 for a line with b = 0.
    float YAt(float x) const;
    // x of the line's point at y; 0 for a line with a = 0.
    float XAt(float y) const;
    // Slopes equal within the tolerance, or both lines (nearly) vertical: |b| below the
    // tolerance. A line with b = 0 is parallel to no line with a slope.
    bool IsParallel(const Line& other) const;
    // Common point of the two lines; (0, 0) when they are parallel.
    Vector Intersection(const Line& other) const;
    // Foot of the perpendicular dropped from p onto the line.
    Vector Foot(Vector p) const;
    // Whether the foot of p lies on the segment s1–s2: both squared distances from the foot
    // to the ends are below the segment's squared length plus the tolerance.
    bool OnSegment(Vector p, Vector s1, Vector s2) const;
    // Whether the segment from p to q does not cross the line (an end on the line counts
    // as not crossing).
    bool SameSide(Vector p, Vector q) const;
};

// The operations the control areas' cuts repeat thousands of times in every paint are
// defined here, so that they are inlined into their callers.

inline Line Line::Through(Vector p1, Vector p2) {
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

inline Line Line::PerpendicularThrough(Vector p) const { return {b, -a, a * p.y - b * p.x}; }

inline float Line::YAt(float x) const {
    if (b == 0.0f) return 0.0f;
    return (-a * x - c) / b;
}

inline float Line::XAt(float y) const {
    if (a == 0.0f) return 0.0f;
    return (-b * y - c) / a;
}

inline bool Line::IsParallel(const Line& other) const {
    if (std::fabs(b) < kGeometryTolerance && std::fabs(other.b) < kGeometryTolerance) return true;
    // Otherwise a line with b = 0 has no slope to compare; it is not parallel to the other.
    if (b == 0.0f || other.b == 0.0f) return false;
    return std::fabs(a / b - other.a / other.b) < kGeometryTolerance;
}

inline Vector Line::Intersection(const Line& other) const {
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

inline bool Line::SameSide(Vector p, Vector q) const {
    const Line joining = Through(p, q);
    if (joining.IsParallel(*this)) return true;
    const Vector crossing = joining.Intersection(*this);
    // In each coordinate the product is positive when the crossing lies strictly between p
    // and q, and at most 0 when it lies beyond either end or at an end.
    return (crossing.x - p.x) * (q.x - crossing.x) <= 0.0f && (crossing.y - p.y) * (q.y - crossing.y) <= 0.0f;
}

}  // namespace tessarin
