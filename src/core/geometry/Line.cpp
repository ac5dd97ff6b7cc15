#include "geometry/Line.h"

#include <cmath>

namespace tessarin {

Vector Line::Foot(Vector p) const { return Intersection(PerpendicularThrough(p)); }

bool Line::OnSegment(Vector p, Vector s1, Vector s2) const {
    const Vector foot = Foot(p);
    const float limit = s1.squaredDistanceTo(s2) + kGeometryTolerance;
    return foot.squaredDistanceTo(s1) < limit && foot.squaredDistanceTo(s2) < limit;
}

}  // namespace tessarin
