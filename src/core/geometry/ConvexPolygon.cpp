#include "geometry/ConvexPolygon.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace tessarin {

namespace {

// Common point of an edge's line and the cut line. Either order of Line::Intersection gives
// the same point in exact arithmetic, but y comes from YAt of the receiving line, and on a
// steep line (ends only millimetres apart in x give |a| in the thousands) -a·x - c cancels
// badly in single precision and loses centimetres; so the flatter line supplies y.
Vector crossingPoint(const Line& edge, const Line& cut) {
    return std::fabs(edge.a * cut.b) < std::fabs(cut.a * edge.b) ? edge.Intersection(cut) : cut.Intersection(edge);
}

}  // namespace

ConvexPolygon::ConvexPolygon() : ConvexPolygon(Vector{}) {}

ConvexPolygon::ConvexPolygon(Vector referencePoint) : reference(referencePoint) {
    // The field corners are not symmetric about (0, 0).
    vertices.Add({-52.4f, -33.9f});
    vertices.Add({52.6f, -33.9f});
    vertices.Add({52.6f, 34.0f});
    vertices.Add({-52.4f, 34.0f});
}

bool ConvexPolygon::Cut(const Line& line) {
    const std::int32_t n = vertices.Count();
    if (n == 0) return false;

    // A vertex stays when it lies on the reference point's side of the cut line or on the
    // line itself. The decision is taken against the cut line, not against a chord through
    // two crossings found first: when the line passes through a vertex, both edges at that
    // vertex report it as a crossing and such a chord points anywhere.
    std::array<bool, DoubleLinked_Soft_List::kCapacity> keep{};
    std::int32_t keptCount = 0;
    std::int32_t current = vertices.Head();
    for (std::int32_t step = 0; step < n; ++step) {
        keep[current] = line.SameSide(reference, vertices.Item(current));
        if (keep[current]) ++keptCount;
        current = vertices.Next(current);
    }
    // A line that misses the region or only touches it keeps every vertex; one that would
    // remove every vertex (a reference point outside the region) is refused.
    if (keptCount == n || keptCount == 0) return false;

    // The region is convex, so the removed vertices form one run: it is entered by the edge
    // from the last kept vertex before it and left by the edge to the first kept one after it.
    // Each of those edges meets the cut line once; that point takes the run's place.
    std::int32_t lastKept = -1;
    Vector entry{}, exit{};
    current = vertices.Head();
    for (std::int32_t step = 0; step < n; ++step) {
        const std::int32_t next = vertices.Next(current);
        if (keep[current] != keep[next]) {
            const Vector from = vertices.Item(current);
            const Vector to = vertices.Item(next);
            const Line edge = Line::Through(from, to);
            const Vector crossing = edge.IsParallel(line) ? (keep[current] ? from : to) : crossingPoint(edge, line);
            if (keep[current]) {
                lastKept = current;
                entry = crossing;
            } else {
                exit = crossing;
            }
        }
        current = next;
    }

    current = vertices.Head();
    for (std::int32_t step = 0; step < n; ++step) {
        const std::int32_t next = vertices.Next(current);
        if (!keep[current]) vertices.Remove(current);
        current = next;
    }
    // Boundary order after the cut: last kept vertex, entry point, exit point, first kept
    // vertex after the run. An insert into a full list is dropped.
    vertices.InsertAfter(lastKept, exit);
    vertices.InsertAfter(lastKept, entry);
    return true;
}

std::vector<Vector> ConvexPolygon::Vertices() const {
    std::vector<Vector> result;
    result.reserve(static_cast<std::size_t>(vertices.Count()));
    std::int32_t current = vertices.Head();
    for (std::int32_t step = 0; step < vertices.Count(); ++step) {
        result.push_back(vertices.Item(current));
        current = vertices.Next(current);
    }
    return result;
}

ConvexPolygon ControlArea(Vector player, std::span<const Vector> opponents) {
    ConvexPolygon area(player);
    for (const Vector& opponent : opponents) {
        area.Cut(Line::Through(opponent, player).PerpendicularThrough((opponent + player) / 2.0f));
    }
    return area;
}

}  // namespace tessarin
