// The rules of the field overlays, without drawing: offside lines, control cells, the
// pass course, the stressed intercept point, defence decisions and the present picks.

#include <gtest/gtest.h>

#include "display/OverlayGeometry.h"
#include "gui/GuiTestSupport.h"
#include "record/LogPlayer.h"

namespace tessarin::test {
namespace {

// Every player off the field (mode 0) unless placed.
DisplayState emptyState() { return DisplayState{}; }

void place(DisplayState& state, int index, double x, double y = 0.0, int mode = 1) {
    state.player[static_cast<std::size_t>(index)].mode = mode;
    state.player[static_cast<std::size_t>(index)].x = x;
    state.player[static_cast<std::size_t>(index)].y = y;
}

TEST(OffsideLineTest, SecondRearmostOrBallNeverBeyondHalfway) {
    DisplayState state = emptyState();
    place(state, 0, -30);
    place(state, 1, -25);
    place(state, 2, -10);
    place(state, 3, -40, 0, 0);  // not on the field: does not count
    state.ball.x = -20;
    EXPECT_DOUBLE_EQ(offsideLines(state).left.x, -25);
    state.ball.x = -28;
    EXPECT_DOUBLE_EQ(offsideLines(state).left.x, -28);
    EXPECT_FALSE(offsideLines(state).left.offside);

    // A right attacker beyond the line turns it red; one off the field does not.
    state.ball.x = -20;
    place(state, 15, -26, 0, 0);
    EXPECT_FALSE(offsideLines(state).left.offside);
    place(state, 15, -26);
    EXPECT_TRUE(offsideLines(state).left.offside);

    DisplayState forward = emptyState();
    for (int i = 0; i < kPlayersPerSide; ++i) place(forward, i, 5 + i);
    forward.ball.x = 10;
    EXPECT_DOUBLE_EQ(offsideLines(forward).left.x, 0.0);
    // The right line mirrors it: the ball at 10 is beyond every right player here.
    EXPECT_DOUBLE_EQ(offsideLines(forward).right.x, 10.0);
    EXPECT_TRUE(offsideLines(forward).right.offside);  // left players at 11..15 are beyond it
}

bool inside(const std::vector<Vector>& polygon, double x, double y) {
    // Convex, either orientation: the point lies on one side of every edge.
    int sign = 0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const Vector a = polygon[i];
        const Vector b = polygon[(i + 1) % polygon.size()];
        const double cross = (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
        const int s = cross > 0 ? 1 : cross < 0 ? -1 : 0;
        if (s == 0) continue;
        if (sign == 0) sign = s;
        if (s != sign) return false;
    }
    return polygon.size() >= 3;
}

TEST(ControlCellTest, OpponentsOffTheFieldStillCut) {
    DisplayState state = emptyState();
    place(state, 0, -10, 0);
    place(state, 11, 10, 0, 0);  // mode 0, still at (10, 0)
    for (int i = 12; i < kPlayerCount; ++i) place(state, i, 45, i - 30);
    const auto cell = controlCell(state, 0);
    EXPECT_TRUE(inside(cell, -1, 0));
    EXPECT_FALSE(inside(cell, 1, 0));
    EXPECT_TRUE(controlCell(state, 22).empty());
}

// On real frames of the demo game, each point of the field lies in a cell of the team
// of its nearest player and in no cell of the other team.
TEST(ControlCellTest, TheTwoTeamsCellsSplitTheFieldByNearestPlayer) {
    NullPlaybackHost host;
    LogPlayer player(host);
    ASSERT_TRUE(player.command(kCmdLoad, demoGamePath()));
    player.waitForParser();
    ASSERT_GT(player.size(), 3000u);
    for (const int cycle : {1, 800, 2400, 5200}) {
        const std::size_t index = player.find(cycle);
        const cycle_info_t record =
            player.withStore([&](const std::vector<cycle_info_t>& frames) { return frames[index]; });
        FieldScene scene;
        scene.setCurrent(record);
        std::array<std::vector<Vector>, kPlayerCount> cells;
        for (int i = 0; i < kPlayerCount; ++i) cells[static_cast<std::size_t>(i)] = controlCell(scene.state, i);
        int checked = 0;
        for (double x = -51.5; x < 52; x += 3.1) {
            for (double y = -33; y < 34; y += 2.9) {
                double leftNearest = 1e9, rightNearest = 1e9;
                bool inLeft = false, inRight = false;
                for (int i = 0; i < kPlayerCount; ++i) {
                    const PlayerState& p = scene.state.player[static_cast<std::size_t>(i)];
                    const double d = std::hypot(p.x - x, p.y - y);
                    const bool in = inside(cells[static_cast<std::size_t>(i)], x, y);
                    if (i < kPlayersPerSide) {
                        leftNearest = std::min(leftNearest, d);
                        inLeft = inLeft || in;
                    } else {
                        rightNearest = std::min(rightNearest, d);
                        inRight = inRight || in;
                    }
                }
                if (std::abs(leftNearest - rightNearest) < 0.05) continue;  // on a bisector
                EXPECT_EQ(inLeft, leftNearest < rightNearest) << cycle << " at " << x << "," << y;
                EXPECT_EQ(inRight, rightNearest < leftNearest) << cycle << " at " << x << "," << y;
                ++checked;
            }
        }
        EXPECT_GT(checked, 700);
    }
}

BasicBehaviorEvent action(int player, int kind, float x) {
    BasicBehaviorEvent e;
    e.player = player;
    e.side = sideOfIndex(player);
    e.kind = kind;
    e.start_pos = {x, 0};
    e.end_pos = {x + 5, 3};
    return e;
}

TEST(PassCourseTest, GrowsWhileOneSideActsAndRestartsWithTheOther) {
    PassCourse course;
    course.append({action(2, BB_PASS, -20), action(3, BB_RECEIVE, -15)});
    course.append({action(5, BB_DRIBBLE, -15)});
    course.append({action(5, BB_DRIBBLE, -15)});  // the same cycle painted again
    ASSERT_EQ(course.events().size(), 2u);
    EXPECT_EQ(course.side(), 1);
    course.append({action(14, BB_CLEARBALL, 10)});
    ASSERT_EQ(course.events().size(), 1u);
    EXPECT_EQ(course.side(), -1);
    EXPECT_EQ(course.events()[0].player, 14);
}

TEST(DecisionRulesTest, GreatestGainAndDefenceSegments) {
    std::vector<INTERCEPTDECISIONINFO> intercepts(3);
    intercepts[0].gain = 0.4f;
    intercepts[1].gain = 0.9f;
    intercepts[2].gain = 0.9f;
    EXPECT_EQ(greatestGainIndex(intercepts), 1);
    intercepts = {INTERCEPTDECISIONINFO{}};
    intercepts[0].gain = -10.0f;
    EXPECT_EQ(greatestGainIndex(intercepts), -1);
    EXPECT_EQ(greatestGainIndex({}), -1);

    SightV2View view;
    view.side = 'l';
    view.number = 4;
    view.x = -20;
    view.y = 10;
    SightV2SeenPlayer mate;
    mate.side = 'l';
    mate.number = 7;
    mate.x = -5;
    SightV2SeenPlayer opponent;
    opponent.side = 'r';
    opponent.number = 9;
    opponent.x = 3;
    opponent.y = -2;
    view.seen = {mate, opponent};

    DEFENSEDECISIONINFO d;
    d.defender = 4;
    d.target = 9;
    auto s = defenseSegment(view, d);
    ASSERT_TRUE(s);
    EXPECT_FLOAT_EQ(s->defender.x, -20);
    ASSERT_TRUE(s->target);
    EXPECT_FLOAT_EQ(s->target->y, -2);
    d.target = 7;  // a teammate of the defender is no opponent to mark: the defender stays
    s = defenseSegment(view, d);
    ASSERT_TRUE(s);
    EXPECT_FALSE(s->target);
    d.defender = 8;  // not seen
    d.target = -1;
    EXPECT_FALSE(defenseSegment(view, d));
    d.defender = 7;
    d.x = 1;
    s = defenseSegment(view, d);
    ASSERT_TRUE(s);
    EXPECT_TRUE(s->point);
    EXPECT_FLOAT_EQ(s->defender.x, -5);
    ASSERT_TRUE(s->target);
    EXPECT_FLOAT_EQ(s->target->x, 1);

    d.label[0] = 'M';
    EXPECT_EQ(defenseLabel(d), "M");
    d.label[1] = 'k';
    EXPECT_EQ(defenseLabel(d), "Mk");
    d.label[0] = 0;
    EXPECT_EQ(defenseLabel(d), "");
}

TEST(PresentPicksTest, SelectedPlayerEventsOfTheModeAndTracks) {
    const std::vector<BasicBehaviorEvent> events = {BasicBehaviorEvent{}, action(3, BB_SHOOT, 30),
                                                    action(3, BB_PASS, 0), action(4, BB_SHOOT, 20),
                                                    action(3, BB_SHOOT, 35)};
    EXPECT_EQ(presentEvents(events, 3, kPresentShot).size(), 2u);
    EXPECT_EQ(presentEvents(events, 3, kPresentPass).size(), 1u);
    EXPECT_TRUE(presentEvents(events, kSelectNothing, kPresentShot).empty());
    EXPECT_TRUE(presentEvents(events, kSelectBall, kPresentShot).empty());
    EXPECT_TRUE(presentEvents(events, 3, kPresentPosition).empty());

    std::vector<PointFrameT> frames(2);
    frames[1].ball = {1, 2};
    frames[1].players[21] = {-3, 4};
    EXPECT_TRUE(presentTrack(frames, kSelectNothing).empty());
    ASSERT_EQ(presentTrack(frames, kSelectBall).size(), 2u);
    EXPECT_FLOAT_EQ(presentTrack(frames, kSelectBall)[1].y, 2);
    EXPECT_FLOAT_EQ(presentTrack(frames, 21)[1].x, -3);
}

}  // namespace
}  // namespace tessarin::test
