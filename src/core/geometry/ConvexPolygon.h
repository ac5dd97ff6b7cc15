#pragma once

#include <span>
#include <vector>

#include "geometry/DoubleLinked_Soft_List.h"
#include "geometry/Line.h"
#include "geometry/Vector.h"

namespace tessarin {

// Convex region of the field, starting as the field rectangle and shrunk by straight cuts
// that keep the side of the reference point. Vertices are kept in boundary order.
struct ConvexPolygon {
    Vector reference;
    DoubleLinked_Soft_List vertices;

    // The field rectangle (-52.4, -33.9)–(52.6, 34.0) around the reference point (0, 0).
    ConvexPolygon();
    // The field rectangle around the given reference point, which should lie inside it.
    explicit ConvexPolygon(Vector referencePoint);

    // Cuts away the part of the region on the other side of line from the reference point.
    // Returns true when the region changed; a line that crosses the boundary fewer than
    // twice, or that would leave nothing, changes nothing.
    bool Cut(const Line& line);
    // The vertices in boundary order, from the list head.
    std::vector<Vector> Vertices() const;
};

// The part of the field around player that is nearer to player than to each opponent:
// the field rectangle cut by the perpendicular bisector of player and every opponent.
// Each cut can add one vertex, so up to 11 opponents fit the vertex capacity.
ConvexPolygon ControlArea(Vector player, std::span<const Vector> opponents);

}  // namespace tessarin
