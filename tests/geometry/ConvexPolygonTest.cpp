#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "geometry/ConvexPolygon.h"

namespace tessarin {
namespace {

const std::vector<Vector> kField{{-52.4f, -33.9f}, {52.6f, -33.9f}, {52.6f, 34.0f}, {-52.4f, 34.0f}};

void expectVertices(const ConvexPolygon& polygon, const std::vector<Vector>& expected) {
    const std::vector<Vector> actual = polygon.Vertices();
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        EXPECT_NEAR(actual[i].x, expected[i].x, 1e-4f) << "vertex " << i;
        EXPECT_NEAR(actual[i].y, expected[i].y, 1e-4f) << "vertex " << i;
    }
}

// Least distance of p inside the edges (negative outside) of a counter-clockwise region, as
// the field rectangle is. Edges under 1 cm, left by cuts passing near a vertex, are skipped:
// their direction is noise in single precision.
float depthInside(const std::vector<Vector>& vertices, Vector p) {
    float depth = std::numeric_limits<float>::max();
    for (std::size_t i = 0; i < vertices.size(); ++i) {
        const Vector a = vertices[i];
        const Vector b = vertices[(i + 1) % vertices.size()];
        const float length = a.distanceTo(b);
        const float cross = (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
        if (length > 0.01f) depth = std::min(depth, cross / length);
    }
    return depth;
}

TEST(ConvexPolygonTest, CutKeepsTheReferenceSideInBoundaryOrder) {
    ConvexPolygon right;
    EXPECT_TRUE(right.Cut({1.0f, 0.0f, -10.0f}));
    expectVertices(right, {{-52.4f, -33.9f}, {10.0f, -33.9f}, {10.0f, 34.0f}, {-52.4f, 34.0f}});
    // The head is cut away and the removed run wraps round past the tail.
    ConvexPolygon left;
    EXPECT_TRUE(left.Cut({1.0f, 0.0f, 10.0f}));
    expectVertices(left, {{52.6f, -33.9f}, {52.6f, 34.0f}, {-10.0f, 34.0f}, {-10.0f, -33.9f}});
    // The head is cut away and the run ends before the tail.
    ConvexPolygon bottom;
    EXPECT_TRUE(bottom.Cut({0.0f, 1.0f, 10.0f}));
    expectVertices(bottom, {{52.6f, 34.0f}, {-52.4f, 34.0f}, {-52.4f, -10.0f}, {52.6f, -10.0f}});
    ConvexPolygon corner;
    EXPECT_TRUE(corner.Cut(Line::Through({40.0f, 34.0f}, {52.6f, 20.0f})));
    expectVertices(corner, {{-52.4f, -33.9f}, {52.6f, -33.9f}, {52.6f, 20.0f}, {40.0f, 34.0f}, {-52.4f, 34.0f}});
}

TEST(ConvexPolygonTest, CutsThatCannotApplyChangeNothing) {
    ConvexPolygon polygon;
    EXPECT_FALSE(polygon.Cut({1.0f, 0.0f, -60.0f}));                               // misses
    EXPECT_FALSE(polygon.Cut(Line::Through({52.6f, 34.0f}, {62.6f, 24.0f})));      // one corner
    EXPECT_FALSE(polygon.Cut(Line::Through({-52.4f, -33.9f}, {-62.4f, -23.9f})));  // head corner
    EXPECT_FALSE(polygon.Cut({1.0f, 0.0f, -52.6f}));                               // along an edge
    expectVertices(polygon, kField);
    // A NaN reference (a corrupt position) is on no side: every vertex would go.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    ConvexPolygon lost({nan, nan});
    EXPECT_FALSE(lost.Cut({1.0f, 0.0f, -10.0f}));
    expectVertices(lost, kField);
}

TEST(ConvexPolygonTest, CrossingOfASteepEdgeLiesOnTheCutLine) {
    // This edge rises 67.9 m over 2 mm (a ≈ -34000, c ≈ 1.4e6, floats there 0.125 apart).
    ConvexPolygon polygon;
    ASSERT_TRUE(polygon.Cut(Line::Through({40.0f, -33.9f}, {40.002f, 34.0f})));
    const Line cut = Line::Through({-52.4f, 0.0f}, {52.6f, 19.95f});
    ASSERT_TRUE(polygon.Cut(cut));
    const std::vector<Vector> vertices = polygon.Vertices();
    ASSERT_EQ(vertices.size(), 4u);
    EXPECT_NEAR(vertices[2].x, 40.0015f, 1e-4f);
    EXPECT_NEAR(vertices[2].y, cut.YAt(vertices[2].x), 0.001f);
}

// The control area must be the part of the field nearer to the player than to every
// opponent: checked on its vertices and on a grid of field points clear of the bisectors.
void checkControlArea(Vector player, const std::vector<Vector>& opponents) {
    const std::vector<Vector> vertices = ControlArea(player, opponents).Vertices();
    ASSERT_GE(vertices.size(), 3u);
    EXPECT_GT(depthInside(vertices, player), 0.0f);
    for (const Vector v : vertices) {
        EXPECT_GT(depthInside(vertices, v), -0.001f) << "not convex at " << v.x << ", " << v.y;
        for (const Vector o : opponents) EXPECT_GT(v.distanceTo(o) - v.distanceTo(player), -0.005f);
    }
    for (float x = -51.9f; x < 52.6f; x += 2.0f) {
        for (float y = -33.4f; y < 34.0f; y += 2.0f) {
            const Vector q{x, y};
            float margin = std::numeric_limits<float>::max();
            for (const Vector o : opponents) margin = std::min(margin, q.distanceTo(o) - q.distanceTo(player));
            if (std::fabs(margin) < 0.02f) continue;  // too near a bisector to judge
            EXPECT_EQ(depthInside(vertices, q) > 0.0f, margin > 0.0f) << x << ", " << y;
        }
    }
}

TEST(ConvexPolygonTest, ControlAreasInAKickOffFormationAndScattered) {
    const std::vector<Vector> formation{{50.0f, 0.0f},  {35.0f, -20.0f}, {36.0f, -7.0f}, {36.0f, 7.0f},
                                        {35.0f, 20.0f}, {20.0f, -25.0f}, {22.0f, -8.0f}, {22.0f, 8.0f},
                                        {20.0f, 25.0f}, {9.5f, -3.0f},   {9.5f, 3.0f}};
    checkControlArea({-0.3f, 0.1f}, formation);
    checkControlArea({30.0f, -3.0f}, formation);

    // Engine output is fixed by the standard (the standard distributions are not).
    std::mt19937 engine(20240611u);
    auto uniformIn = [&engine](float low, float high) {
        return low + (high - low) * static_cast<float>(engine() >> 8) / 16777216.0f;
    };
    for (int trial = 0; trial < 200 && !HasFailure(); ++trial) {
        const Vector player{uniformIn(-52.0f, 52.0f), uniformIn(-33.5f, 33.5f)};
        std::vector<Vector> opponents;
        for (int i = 0; i < 11; ++i) opponents.push_back({uniformIn(-52.0f, 52.0f), uniformIn(-33.5f, 33.5f)});
        SCOPED_TRACE(trial);
        checkControlArea(player, opponents);
    }
}

}  // namespace
}  // namespace tessarin

namespace tessarin {
namespace {

struct Point {
    double x, y;
};

double area(const std::vector<Point>& polygon) {
    double twice = 0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Point& a = polygon[i];
        const Point& b = polygon[(i + 1) % polygon.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return twice / 2;
}

// Independent oracle: clip the polygon to the half plane a·x + b·y + c ≥ 0 (or ≤ 0) that
// holds the reference point, in double precision.
std::vector<Point> clip(const std::vector<Point>& polygon, double a, double b, double c, Point reference) {
    const double sign = a * reference.x + b * reference.y + c >= 0 ? 1.0 : -1.0;
    const auto value = [&](Point p) { return sign * (a * p.x + b * p.y + c); };
    std::vector<Point> out;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Point p = polygon[i];
        const Point q = polygon[(i + 1) % polygon.size()];
        const double vp = value(p), vq = value(q);
        if (vp >= 0) out.push_back(p);
        if ((vp >= 0) != (vq >= 0)) {
            const double t = vp / (vp - vq);
            out.push_back({p.x + t * (q.x - p.x), p.y + t * (q.y - p.y)});
        }
    }
    return out;
}

std::vector<Point> pointsOf(const ConvexPolygon& polygon) {
    std::vector<Point> out;
    for (const Vector& v : polygon.Vertices()) out.push_back({v.x, v.y});
    return out;
}

TEST(ConvexPolygonCut, LinesThroughAVertexCutTheRightPieceInBoundaryOrder) {
    // Through the corner (52.6, -33.9) and (0, 34): the far corner (52.6, 34) goes.
    ConvexPolygon region;
    ASSERT_TRUE(region.Cut(Line::Through({52.6f, -33.9f}, {0.0f, 34.0f})));
    const double fieldArea = 105.0 * 67.9;
    EXPECT_NEAR(area(pointsOf(region)), fieldArea - 0.5 * 52.6 * 67.9, 0.05);

    // Through the head corner (-52.4, -33.9) at 60 degrees.
    ConvexPolygon head;
    const float slope = std::tan(60.0f * 3.1415926538f / 180.0f);
    ASSERT_TRUE(head.Cut(Line::Through({-52.4f, -33.9f}, {-52.4f + 10.0f, -33.9f + 10.0f * slope})));
    const double a = -slope, b = 1, c = -(a * (-52.4) + b * (-33.9));
    const auto expected = clip(pointsOf(ConvexPolygon()), a, b, c, {0, 0});
    EXPECT_NEAR(area(pointsOf(head)), area(expected), 0.05);
}

TEST(ConvexPolygonCut, RandomCutsMatchAnExactClip) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(-60, 60);
    std::uniform_real_distribution<double> angle(0, 180);
    std::uniform_int_distribution<int> corner(0, 3);
    const std::vector<Point> field = pointsOf(ConvexPolygon());
    for (int trial = 0; trial < 2000; ++trial) {
        SCOPED_TRACE(trial);
        // Half of the lines pass exactly through a corner, the others anywhere.
        Point through = trial % 2 ? field[static_cast<std::size_t>(corner(random))]
                                  : Point{coordinate(random) * 0.8, coordinate(random) * 0.5};
        const double degrees = angle(random);
        const Vector p1{static_cast<float>(through.x), static_cast<float>(through.y)};
        const Vector p2{static_cast<float>(through.x + 10 * std::cos(degrees * M_PI / 180)),
                        static_cast<float>(through.y + 10 * std::sin(degrees * M_PI / 180))};
        const Line cut = Line::Through(p1, p2);
        ConvexPolygon region;
        region.Cut(cut);
        const auto expected = clip(field, cut.a, cut.b, cut.c, {0, 0});
        ASSERT_NEAR(area(pointsOf(region)), area(expected), 0.05);
        ASSERT_GT(area(pointsOf(region)), 0) << "boundary order kept (counter-clockwise in these axes)";
    }
}

}  // namespace
}  // namespace tessarin
