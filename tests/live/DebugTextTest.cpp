// The parser of the clients' "(debug" messages: the well-formed form, and what is kept of
// messages that break it.

#include <gtest/gtest.h>

#include <string>

#include "live/DebugText.h"

namespace tessarin::test {
namespace {

TEST(DebugTextTest, ReadsTargetsMarkingsAndTheNamedPoint) {
    const DebugDrawing d =
        parseDebugText("(debug 2 0 0 1 3 10.50 -4.25 0.75 7 -1.00 2.00 0.10 4 9 A shoot (30.00,-2.50) tm 9.00)");
    ASSERT_EQ(d.targets.size(), 2u);
    EXPECT_EQ(d.targets[0].number, 3);
    EXPECT_DOUBLE_EQ(d.targets[0].x, 10.5);
    EXPECT_DOUBLE_EQ(d.targets[0].y, -4.25);
    EXPECT_DOUBLE_EQ(d.targets[1].value, 0.1);
    ASSERT_EQ(d.markings.size(), 1u);
    EXPECT_EQ(d.markings[0].own, 4);
    EXPECT_EQ(d.markings[0].other, 9);
    EXPECT_EQ(d.markings[0].label, 'A');
    ASSERT_TRUE(d.point);
    EXPECT_EQ(d.point->name, "shoot");
    EXPECT_DOUBLE_EQ(d.point->x, 30.0);
    EXPECT_DOUBLE_EQ(d.point->y, -2.5);
    EXPECT_EQ(d.point->teammate, 9);

    const DebugDrawing plain = parseDebugText("(debug 0 0 0 0 pass (1.00,2.00)");
    ASSERT_TRUE(plain.point);
    EXPECT_FALSE(plain.point->teammate);
}

TEST(DebugTextTest, KeepsWhatWasWellFormedBeforeTheFirstBreak) {
    // More targets claimed than present: the two present are kept, nothing after them.
    const DebugDrawing more = parseDebugText("(debug 5 0 0 0 1 1.00 2.00 3.00 2 4.00 5.00 6.00");
    EXPECT_EQ(more.targets.size(), 2u);
    EXPECT_FALSE(more.point);
    // A non-number ends the targets; negative counts are none.
    EXPECT_EQ(parseDebugText("(debug 2 0 0 0 1 1.00 x 3.00 2 4 5 6").targets.size(), 0u);
    const DebugDrawing negative = parseDebugText("(debug -3 0 0 -2 p (1.00,1.00)");
    EXPECT_TRUE(negative.targets.empty());
    EXPECT_TRUE(negative.markings.empty());
    ASSERT_TRUE(negative.point);
    // Missing parentheses, non-finite values and a NUL byte.
    EXPECT_FALSE(parseDebugText("(debug 0 0 0 0 p 1.00,1.00)").point);
    EXPECT_FALSE(parseDebugText("(debug 0 0 0 0 p (1.00,1.00").point);
    EXPECT_EQ(parseDebugText("(debug 1 0 0 0 1 nan 2.00 3.00").targets.size(), 0u);
    EXPECT_EQ(parseDebugText(std::string("(debug 1 0 0 0 1 1.00\0 2.00 3.00", 33)).targets.size(), 0u);
    EXPECT_TRUE(parseDebugText("(debu 1 0 0 0 1 1 1 1").targets.empty());
    EXPECT_TRUE(parseDebugText("").targets.empty());
    // A huge claimed count over 8 KB of junk stops at the junk.
    std::string junk = "(debug 2147483647 0 0 2147483647 1 1 1 1 ";
    junk.append(8192, '#');
    const DebugDrawing garbage = parseDebugText(junk);
    EXPECT_EQ(garbage.targets.size(), 1u);
    EXPECT_TRUE(garbage.markings.empty());
    // However many items a message holds, at most kMaxDebugItems are kept.
    std::string many = "(debug 1000 0 0 0";
    for (int i = 0; i < 1000; ++i) many += " 1 1.00 1.00 1.00";
    EXPECT_EQ(parseDebugText(many).targets.size(), kMaxDebugItems);
}

}  // namespace
}  // namespace tessarin::test
