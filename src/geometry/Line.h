#pragma once

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

}  // namespace tessarin
