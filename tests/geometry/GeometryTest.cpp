#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "geometry/Angle.h"
#include "geometry/DoubleLinked_Soft_List.h"
#include "geometry/Line.h"

namespace tessarin {
namespace {

void expectNear(Vector actual, Vector expected) {
    EXPECT_NEAR(actual.x, expected.x, 1e-4f);
    EXPECT_NEAR(actual.y, expected.y, 1e-4f);
}

TEST(AngleTest, DegreeHelpersAndTheirEdges) {
    EXPECT_FLOAT_EQ(Deg2Rad(180.0f), 3.1415926538f);
    EXPECT_NEAR(SinDeg(30.0f), 0.5f, 1e-6f);
    EXPECT_NEAR(AtanDeg(1.0f), 45.0f, 1e-5f);
    EXPECT_EQ(Atan2Deg(0.0f, 0.0f), 0.0f);
    EXPECT_EQ(Atan2Deg(-0.0f, -0.0f), 0.0f);
    EXPECT_FLOAT_EQ(Atan2Deg(-0.0f, -1.0f), 180.0f);
    EXPECT_FLOAT_EQ(Atan2Deg(-1.0f, -1.0f), -135.0f);
    EXPECT_EQ(AsinDeg(1.2f), 90.0f);
    EXPECT_EQ(AsinDeg(-3.0f), -90.0f);
    EXPECT_NEAR(AsinDeg(0.5f), 30.0f, 1e-5f);
}

TEST(VectorTest, PolarRoundTripKeepsLengthAndDirection) {
    for (const float degrees : {0.0f, 30.0f, 180.0f, -45.0f, -135.0f}) {
        const Vector v = Vector::FromPolar(3.0f, degrees);
        EXPECT_NEAR(v.length(), 3.0f, 1e-5f) << degrees;
        EXPECT_NEAR(v.direction(), degrees, 1e-4f) << degrees;
    }
}

TEST(LineTest, ThroughAndParallelism) {
    const Line slanted = Line::Through({1.0f, 1.0f}, {3.0f, 5.0f});
    EXPECT_EQ(slanted.a, -2.0f);
    EXPECT_EQ(slanted.b, 1.0f);
    EXPECT_EQ(slanted.c, 1.0f);
    // Less than 1 mm apart in x: the vertical line through the second point.
    const Line vertical = Line::Through({2.0f, -3.0f}, {2.0005f, 7.0f});
    EXPECT_EQ(vertical.a, 1.0f);
    EXPECT_EQ(vertical.b, 0.0f);
    EXPECT_FLOAT_EQ(vertical.c, -2.0005f);
    EXPECT_EQ(vertical.YAt(1.0f), 0.0f);

    EXPECT_TRUE(slanted.IsParallel({-2.0005f, 1.0f, 5.0f}));
    EXPECT_FALSE(slanted.IsParallel({-2.002f, 1.0f, 5.0f}));
    EXPECT_TRUE(vertical.IsParallel({1.0f, 0.0f, 8.0f}));
    // Exactly one line with b = 0: not parallel, whichever asks, however steep the other.
    EXPECT_FALSE(vertical.IsParallel({-2000.0f, 1.0f, 0.0f}));
    EXPECT_FALSE(slanted.IsParallel(vertical));
    // A tiny non-zero b still has a slope (-2000 here).
    EXPECT_TRUE((Line{1.0f, 0.0005f, 0.0f}.IsParallel({2000.0f, 1.0f, 3.0f})));
}

TEST(LineTest, IntersectionAndFootInEveryOrientation) {
    const Line diagonal = Line::Through({0.0f, 0.0f}, {2.0f, 2.0f});
    const Line falling = Line::Through({0.0f, 4.0f}, {4.0f, 0.0f});
    const Line vertical{2.0f, 0.0f, -6.0f};  // x = 3
    expectNear(diagonal.Intersection(falling), {2.0f, 2.0f});
    expectNear(falling.Intersection(diagonal), {2.0f, 2.0f});
    expectNear(diagonal.Intersection(vertical), {3.0f, 3.0f});
    expectNear(vertical.Intersection(diagonal), {3.0f, 3.0f});
    expectNear(diagonal.Intersection({-1.0f, 1.0f, 5.0f}), {0.0f, 0.0f});  // parallel
    expectNear(diagonal.Foot({0.0f, 5.0f}), {2.5f, 2.5f});
    expectNear(vertical.Foot({-1.0f, 5.0f}), {3.0f, 5.0f});
}

TEST(LineTest, OnSegmentToleranceIsOnSquaredDistances) {
    const Line axis{0.0f, 1.0f, 0.0f};
    EXPECT_TRUE(axis.OnSegment({0.5f, 3.0f}, {0.0f, 0.0f}, {1.0f, 0.0f}));
    // 0.1 mm past the end is 1.0002 m² from the far end: on. 1 cm past is 1.0201 m²: off.
    EXPECT_TRUE(axis.OnSegment({1.0001f, 0.0f}, {0.0f, 0.0f}, {1.0f, 0.0f}));
    EXPECT_FALSE(axis.OnSegment({1.01f, 0.0f}, {0.0f, 0.0f}, {1.0f, 0.0f}));
    EXPECT_FALSE(axis.OnSegment({-0.01f, 0.0f}, {0.0f, 0.0f}, {1.0f, 0.0f}));
}

TEST(LineTest, SameSideTellsWhetherTheSegmentCrossesTheLine) {
    const Line vertical{1.0f, 0.0f, -10.0f};
    EXPECT_TRUE(vertical.SameSide({0.0f, 0.0f}, {5.0f, 3.0f}));
    EXPECT_FALSE(vertical.SameSide({0.0f, 0.0f}, {20.0f, 3.0f}));
    EXPECT_FALSE(vertical.SameSide({20.0f, 3.0f}, {0.0f, 0.0f}));
    EXPECT_FALSE(vertical.SameSide({0.0f, 0.0f}, {20.0f, 0.0f}));  // y product 0, x decides
    EXPECT_TRUE(vertical.SameSide({0.0f, 0.0f}, {0.0f, 9.0f}));    // parallel to the line
    EXPECT_TRUE(vertical.SameSide({0.0f, 0.0f}, {10.0f, 3.0f}));   // an end on the line
    const Line slanted = Line::Through({0.0f, 2.0f}, {4.0f, 0.0f});
    EXPECT_TRUE(slanted.SameSide({0.0f, 0.0f}, {1.0f, -3.0f}));
    EXPECT_FALSE(slanted.SameSide({0.0f, 0.0f}, {3.0f, 3.0f}));
}

// Node indices from the head round the circle, checking that Prev mirrors Next.
std::vector<std::int32_t> walk(const DoubleLinked_Soft_List& list) {
    std::vector<std::int32_t> indices;
    std::int32_t current = list.Head();
    for (std::int32_t step = 0; step < list.Count(); ++step) {
        indices.push_back(current);
        EXPECT_EQ(list.Prev(list.Next(current)), current);
        current = list.Next(current);
    }
    EXPECT_TRUE(list.Count() == 0 || current == list.Head()) << "the circle must close";
    return indices;
}

TEST(SoftListTest, FullListAndIndicesNotInTheListChangeNothing) {
    DoubleLinked_Soft_List list;
    for (std::int32_t i = 0; i < 15; ++i) ASSERT_EQ(list.Add({static_cast<float>(i), 0.0f}), i);
    EXPECT_EQ(list.Add({99.0f, 0.0f}), -1);
    EXPECT_EQ(list.InsertAfter(3, {99.0f, 0.0f}), -1);
    list.Remove(14);
    for (const std::int32_t bad : {-1, 14, 15, 1000}) {
        list.Remove(bad);
        EXPECT_EQ(list.Next(bad), -1) << bad;
        EXPECT_EQ(list.Prev(bad), -1) << bad;
        EXPECT_EQ(list.Item(bad).x, 0.0f) << bad;
        EXPECT_EQ(list.InsertAfter(bad, {5.0f, 5.0f}), -1) << bad;
    }
    EXPECT_EQ(list.Count(), 14);
    EXPECT_EQ(list.Tail(), 13);
    EXPECT_EQ(walk(list), (std::vector<std::int32_t>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13}));
}

TEST(SoftListTest, RemoveMovesHeadAndTailAndFreedNodesAreReused) {
    DoubleLinked_Soft_List list;
    for (int i = 0; i < 5; ++i) list.Add({static_cast<float>(i), 0.0f});
    list.Remove(0);
    list.Remove(4);
    list.Remove(2);
    EXPECT_EQ(list.Head(), 1);
    EXPECT_EQ(list.Tail(), 3);
    EXPECT_EQ(walk(list), (std::vector<std::int32_t>{1, 3}));
    // The first free node in array order is taken: 0, then 2.
    EXPECT_EQ(list.InsertAfter(1, {10.0f, 0.0f}), 0);
    EXPECT_EQ(list.InsertAfter(3, {30.0f, 0.0f}), 2);
    EXPECT_EQ(list.Tail(), 2);
    EXPECT_EQ(walk(list), (std::vector<std::int32_t>{1, 0, 3, 2}));
    EXPECT_EQ(list.Item(0).x, 10.0f);

    for (const std::int32_t i : {1, 0, 3, 2}) list.Remove(i);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.Next(list.Head()), -1);
    EXPECT_EQ(list.Add({3.0f, 3.0f}), 0);
    EXPECT_EQ(walk(list), (std::vector<std::int32_t>{0}));
}

}  // namespace
}  // namespace tessarin
