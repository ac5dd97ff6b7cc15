// Opponent model: sampling, limits, fits, roles and lanes, the saved blocks, prediction.

#include "analysis/OpponentModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>

#include "record/ByteOrder.h"
#include "record/LogPlayer.h"
#include "support/FakeHost.h"
#include "support/LogBuilder.h"

namespace tessarin {
namespace {

using test::ShowBuilder;

void setVelocity(show_info_t& show, int index, double vx, double vy) {
    show.player[index].vx = hostToNet32(test::toFixed(vx));
    show.player[index].vy = hostToNet32(test::toFixed(vy));
}

// Sets every player but `index` running, so that only that one is sampled.
show_info_t onlyStill(show_info_t show, int index) {
    for (int j = 0; j < kPlayerCount; ++j) {
        if (j != index) setVelocity(show, j, 1.0, 0.0);
    }
    return show;
}

cycle_info_t asRecord(const show_info_t& show) {
    cycle_info_t r;
    r.valid = 1;
    r.kind = kShowRecord;
    r.cycle = netToHost16(show.time);
    r.setShow(show);
    return r;
}

// Feeds one show per ball position on a grid; `place` puts player `index` for a ball at (bx, by).
void feedGrid(OpponentModel& model, int index, const std::function<std::pair<double, double>(double, double)>& place) {
    int time = 1;
    for (int bx = -40; bx <= 40; bx += 10) {
        for (int by = -30; by <= 30; by += 10) {
            const auto [x, y] = place(bx, by);
            const show_info_t show =
                onlyStill(ShowBuilder(time++).ball(bx, by).player(index, 1, 0, x, y).build(), index);
            model.Feed(asRecord(show), 0);
        }
    }
}

TEST(OpponentModelTest, SamplesOnlyWhenEnabledSomebodyHasTheBallAndTheRecordIsAShow) {
    OpponentModel model;
    const show_info_t show = ShowBuilder(5).ball(1, 2).player(0, 1, 0, -10, 3).build();
    model.Feed(asRecord(show), 0);
    EXPECT_EQ(model.sampleCount(0, 0), 0u) << "modelling is off at creation";

    model.Toggle();
    ASSERT_TRUE(model.enabled());
    model.Feed(asRecord(show), -1);
    EXPECT_EQ(model.sampleCount(0, 0), 0u) << "nobody controls the ball";

    cycle_info_t sight = asRecord(show);
    sight.kind = kSightRecord;
    model.Feed(sight, 0);
    sight.kind = kSightRecordV2;
    model.Feed(sight, 1);
    EXPECT_EQ(model.sampleCount(0, 0), 0u) << "a sight record's bytes are not a show";

    model.Feed(asRecord(show), 1);
    EXPECT_EQ(model.sampleCount(0, 0), 1u);
    model.setEnabled(false);
    model.Finish();
    EXPECT_EQ(model.block(0), RoleBlock{}) << "finishing with modelling off changes nothing";
    model.setEnabled(true);
    EXPECT_EQ(model.sampleCount(1, 10), 1u) << "every still player is sampled, right team included";
    model.Toggle();
    EXPECT_FALSE(model.enabled());
}

TEST(OpponentModelTest, FastPlayersAreSkippedAndLimitsFollowTheStillOnes) {
    OpponentModel model;
    model.setEnabled(true);
    show_info_t a = ShowBuilder(1).player(0, 1, 0, -10, 3).player(11, 1, 0, 12, -4).build();
    setVelocity(a, 11, 0.15, 0.15);  // speed 0.21
    setVelocity(a, 6, 0.3, 0);
    show_info_t b = ShowBuilder(2).player(0, 1, 0, -20, 8).player(11, 1, 0, 30, -9).build();
    setVelocity(b, 0, 0.1, -0.1);  // speed 0.14: still enough
    setVelocity(b, 11, 0.0, 0.19);
    setVelocity(b, 6, 0, -0.3);
    model.Feed(asRecord(a), 0);
    model.Feed(asRecord(b), 0);

    EXPECT_EQ(model.sampleCount(0, 0), 2u);
    EXPECT_EQ(model.sampleCount(1, 0), 1u);
    EXPECT_EQ(model.sampleCount(0, 5), 2u) << "still at the centre spot in both records";
    const auto left = model.extent(0, 0);
    ASSERT_TRUE(left);
    EXPECT_FLOAT_EQ(left->min_x, -20);
    EXPECT_FLOAT_EQ(left->max_x, -10);
    EXPECT_FLOAT_EQ(left->min_y, 3);
    EXPECT_FLOAT_EQ(left->max_y, 8);
    const auto right = model.extent(1, 0);
    ASSERT_TRUE(right);
    EXPECT_FLOAT_EQ(right->min_x, 30);
    EXPECT_FLOAT_EQ(right->max_x, 30);

    // Left player 7 ran in both records: no samples, no extent, a neutral fit.
    model.Finish();
    EXPECT_EQ(model.sampleCount(0, 6), 0u);
    EXPECT_FALSE(model.extent(0, 6));
    const RoleRecord moving = model.roleRecord(0, 7);
    EXPECT_EQ(moving.home_x, 0);
    EXPECT_EQ(moving.slope_x_pos, 0);
    EXPECT_EQ(moving.role, 2);
    EXPECT_EQ(moving.lane, 3);
}

TEST(OpponentModelTest, FitsPiecewiseLinesAndDerivesRoleAndLaneOfTheExamples) {
    OpponentModel model;
    model.setEnabled(true);
    // Left player 1 stands around (-45, 0); right player 1 around (20, -12) in field coordinates.
    feedGrid(model, 0, [](double bx, double by) { return std::pair{-45 + (bx > 0 ? 0.1 : 0.05) * bx, 0.2 * by}; });
    feedGrid(model, 11, [](double bx, double by) { return std::pair{20 + 0.1 * bx, -12 + (by > 0 ? 0.1 : 0.3) * by}; });
    model.Finish();

    const PositionFit left = model.fit(0, 0);
    EXPECT_NEAR(left.slope_x_pos, 0.1, 1e-4);
    EXPECT_NEAR(left.slope_x_neg, 0.05, 1e-4);
    EXPECT_NEAR(left.slope_y_pos, 0.2, 1e-4);
    EXPECT_NEAR(left.home_x, -45, 1e-3);
    EXPECT_NEAR(left.home_y, 0, 1e-3);
    const RoleRecord l = model.roleRecord(0, 1);
    EXPECT_EQ(l.role, 0);
    EXPECT_EQ(l.lane, 3);
    EXPECT_EQ(l.defender, 0);
    EXPECT_FLOAT_EQ(l.front_x, -41);
    EXPECT_FLOAT_EQ(l.back_x, -47);

    const RoleRecord r = model.roleRecord(1, 1);
    EXPECT_NEAR(r.home_x, -20, 1e-3);
    EXPECT_NEAR(r.home_y, 12, 1e-3);
    EXPECT_EQ(r.role, 1);
    EXPECT_EQ(r.defender, 1);
    EXPECT_EQ(r.lane, 1);
    EXPECT_NEAR(r.slope_x_pos, 0.1, 1e-4) << "slopes are kept as fitted, not mirrored";
    EXPECT_NEAR(r.slope_y_neg, 0.3, 1e-4);
    EXPECT_FLOAT_EQ(r.front_x, -16);  // the right team attacks toward -x: its front is its smallest x
    EXPECT_FLOAT_EQ(r.back_x, -24);
    EXPECT_FLOAT_EQ(r.high_y, 21);
    EXPECT_FLOAT_EQ(r.low_y, 9);

    for (int team = 0; team < 2; ++team) EXPECT_EQ(model.block(team)[0], RoleRecord{}) << team;
}

TEST(OpponentModelTest, FinishRefitsOnAllSamplesAndTheDefenderMarkStays) {
    OpponentModel model;
    model.setEnabled(true);
    feedGrid(model, 0, [](double bx, double by) { return std::pair{-20 + 0.1 * bx, 0.1 * by}; });
    model.Finish();
    EXPECT_EQ(model.roleRecord(0, 1).role, 1);
    // Three more games with the player 20 m further up: the fit moves most of the way.
    for (int game = 0; game < 3; ++game) {
        feedGrid(model, 0, [](double bx, double by) { return std::pair{0.1 * bx, 0.1 * by}; });
    }
    model.Finish();
    const RoleRecord later = model.roleRecord(0, 1);
    EXPECT_GT(later.home_x, -10);
    EXPECT_LT(later.home_x, 0);
    EXPECT_EQ(later.role, 2);
    EXPECT_EQ(later.defender, 1) << "once a defender, always marked";
}

TEST(OpponentModelTest, SamplesNearTheEdgeOfTheExtentAreLeftOutOfTheFit) {
    OpponentModel model;
    model.setEnabled(true);
    // A straight line through the middle, plus one outlier on the edge that would tilt it.
    feedGrid(model, 2, [](double bx, double by) { return std::pair{-20 + 0.1 * bx, 0.1 * by}; });
    model.Feed(asRecord(ShowBuilder(99).ball(40, 0).player(2, 1, 0, 10, 0).build()), 0);
    model.Finish();
    EXPECT_NEAR(model.fit(0, 2).slope_x_pos, 0.1, 1e-4);
    EXPECT_NEAR(model.fit(0, 2).home_x, -20, 1e-3);
    EXPECT_FLOAT_EQ(model.extent(0, 2)->max_x, 10) << "the outlier still widens the extent";
}

TEST(OpponentModelTest, FitsWithoutDistinctBallValuesStayFinite) {
    OpponentModel model;
    model.setEnabled(true);
    // The ball never moves: every line has a single u value.
    int time = 1;
    for (double x : {-10.0, -6.0, -4.0, 0.0}) {
        for (double y : {-10.0, -6.0, -4.0, 0.0}) {
            model.Feed(asRecord(onlyStill(ShowBuilder(time++).ball(10, 10).player(3, 1, 0, x, y).build(), 3)), 0);
        }
    }
    // A player who always stands on one spot keeps no sample inside its extent.
    for (int t = 0; t < 5; ++t) model.Feed(asRecord(onlyStill(ShowBuilder(t).player(4, 1, 0, -30, 8).build(), 4)), 0);
    model.Finish();

    const PositionFit f = model.fit(0, 3);
    EXPECT_EQ(f.slope_x_pos, 0);
    EXPECT_EQ(f.slope_x_neg, 0);
    EXPECT_DOUBLE_EQ(f.home_x, -5) << "the mean of the kept samples";
    EXPECT_DOUBLE_EQ(f.home_y, -5);
    const Vector p = model.PredictPosition(0, 3, -20, -20);
    EXPECT_FLOAT_EQ(p.x, -5);
    EXPECT_FLOAT_EQ(p.y, -5);

    const RoleRecord still = model.roleRecord(0, 5);
    EXPECT_FLOAT_EQ(still.home_x, -30) << "no kept sample: the mean position stands in";
    EXPECT_FLOAT_EQ(still.home_y, 8);
    EXPECT_EQ(still.role, 1);
    EXPECT_EQ(still.lane, 2);
}

TEST(OpponentModelTest, PredictionPicksTheSlopeBySignAndClampsToTheExtent) {
    OpponentModel model;
    model.setEnabled(true);
    feedGrid(model, 11, [](double bx, double by) {
        return std::pair{10 + (bx > 0 ? 0.2 : 0.1) * bx, -5 + (by > 0 ? 0.3 : 0.1) * by};
    });
    model.Finish();
    Vector p = model.PredictPosition(1, 0, 20, 10);
    EXPECT_NEAR(p.x, 14, 1e-3);
    EXPECT_NEAR(p.y, -2, 1e-3);
    p = model.PredictPosition(1, 0, -20, -10);
    EXPECT_NEAR(p.x, 8, 1e-3);
    EXPECT_NEAR(p.y, -6, 1e-3);
    // Far outside the sampled ball range: the player's extent bounds the answer.
    p = model.PredictPosition(1, 0, 200, -300);
    EXPECT_FLOAT_EQ(p.x, model.extent(1, 0)->max_x);
    EXPECT_FLOAT_EQ(p.y, model.extent(1, 0)->min_y);
    p = model.PredictPosition(1, 0, -200, 300);
    EXPECT_FLOAT_EQ(p.x, model.extent(1, 0)->min_x);
    EXPECT_FLOAT_EQ(p.y, model.extent(1, 0)->max_y);

    EXPECT_FLOAT_EQ(model.PredictPosition(2, 0, 1, 1).x, 0) << "no such team";
    EXPECT_FLOAT_EQ(model.PredictPosition(0, 11, 1, 1).x, 0) << "no such player";
}

TEST(OpponentModelTest, SampleStorageStopsAtItsCapacity) {
    OpponentModel model;
    model.setEnabled(true);
    cycle_info_t record = asRecord(ShowBuilder(1).player(0, 1, 0, -5, 5).build());
    for (std::size_t i = 0; i < OpponentModel::kMaxSamples; ++i) model.Feed(record, 0);
    EXPECT_EQ(model.sampleCount(0, 0), OpponentModel::kMaxSamples);
    model.Feed(asRecord(ShowBuilder(2).player(0, 1, 0, 40, -30).build()), 0);
    EXPECT_EQ(model.sampleCount(0, 0), OpponentModel::kMaxSamples);
    EXPECT_FLOAT_EQ(model.extent(0, 0)->max_x, -5) << "a dropped sample does not widen the extent";
    EXPECT_EQ(model.sampleCount(0, 1), OpponentModel::kMaxSamples) << "the other still players filled up too";
}

TEST(RoleRecordTest, EncodesLittleEndianAtTheFixedOffsetsAndBack) {
    RoleRecord r;
    r.role = 0x01020304;
    r.lane = 5;
    r.home_x = -20.5f;
    r.slope_y_neg = 0.25f;
    r.defender = 1;
    r.low_y = 9.0f;
    RoleBlock block;
    block[3] = r;
    const RoleBlockBytes bytes = encodeRoleBlock(block);
    const std::uint8_t* p = bytes.data() + 3 * kRoleRecordSize;
    EXPECT_EQ(p[0], 0x04);
    EXPECT_EQ(p[3], 0x01);
    EXPECT_EQ(le32(p + 4), 5u);
    EXPECT_EQ(lef32(p + 12), -20.5f);
    EXPECT_EQ(lef32(p + 32), 0.25f);
    EXPECT_EQ(le32(p + 36), 1u);
    EXPECT_EQ(lef32(p + 52), 9.0f);
    EXPECT_EQ(le32(bytes.data()), 7u) << "a default record's role";
    EXPECT_EQ(le32(bytes.data() + 4), 3u) << "a default record's lane";
    EXPECT_EQ(decodeRoleBlock(bytes), block);
}

TEST(RoleRecordTest, RoleAndLaneBoundaries) {
    EXPECT_EQ(roleOfHomeX(-40.01), 0);
    EXPECT_EQ(roleOfHomeX(-40), 1);
    EXPECT_EQ(roleOfHomeX(-10), 2);
    EXPECT_EQ(roleOfHomeX(9.99), 2);
    EXPECT_EQ(roleOfHomeX(10), 3);
    EXPECT_EQ(laneOfHomeY(15.01), 0);
    EXPECT_EQ(laneOfHomeY(15), 1);
    EXPECT_EQ(laneOfHomeY(10), 2);
    EXPECT_EQ(laneOfHomeY(5), 3);
    EXPECT_EQ(laneOfHomeY(-5), 4);
    EXPECT_EQ(laneOfHomeY(-10), 5);
    EXPECT_EQ(laneOfHomeY(-15), 6);
}

class OpponentModelSaveTest : public ::testing::Test {
protected:
    show_info_t shown(const std::string& left, const std::string& right) {
        return ShowBuilder(1).team(0, left, 0).team(1, right, 0).build();
    }
    std::size_t filesIn() const {
        std::size_t n = 0;
        for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path())) ++n;
        return n;
    }
    test::TempDir dir;
};

TEST_F(OpponentModelSaveTest, WritesEachTeamsBlockToAFileNamedAfterIt) {
    OpponentModel model;
    model.setEnabled(true);
    feedGrid(model, 11, [](double bx, double by) { return std::pair{20 + 0.1 * bx, -12 + 0.1 * by}; });
    model.Finish();
    const auto result = model.Save(shown("Lefties", "ABCDEFGHIJKLMNOP"), dir.path());
    EXPECT_EQ(result.team[0], TeamSaveStatus::Written);
    EXPECT_EQ(result.team[1], TeamSaveStatus::Written);

    const auto leftBytes = test::readFile(dir.file("Lefties.opm"));
    ASSERT_EQ(leftBytes.size(), kRoleBlockSize);
    const auto rightBytes = test::readFile(dir.file("ABCDEFGHIJKLMNOP.opm"));
    ASSERT_EQ(rightBytes.size(), kRoleBlockSize) << "a 16-character name is the whole stem";
    RoleBlockBytes raw;
    std::copy(rightBytes.begin(), rightBytes.end(), raw.begin());
    const RoleBlock saved = decodeRoleBlock(raw);
    EXPECT_EQ(saved, model.block(1));
    EXPECT_EQ(saved[0], RoleRecord{});
    EXPECT_EQ(saved[1].role, 1);
    EXPECT_EQ(saved[1].lane, 1);
}

TEST_F(OpponentModelSaveTest, WritesNothingWhenModellingIsOff) {
    OpponentModel model;
    const auto result = model.Save(shown("A", "B"), dir.path());
    EXPECT_EQ(result.team[0], TeamSaveStatus::Disabled);
    EXPECT_EQ(result.team[1], TeamSaveStatus::Disabled);
    EXPECT_EQ(filesIn(), 0u);
}

TEST(OpponentModelFileNames, ANameFromTheFileNeverPicksAnArbitraryFile) {
    using Names = std::array<std::string, 2>;
    EXPECT_EQ(opponentModelFileNames({"HELIOS.base", "Opp-1_x+"}), (Names{"HELIOS.base.opm", "Opp-1_x+.opm"}));
    // Dot files, separators, control bytes, '%' and bytes beyond ASCII are spelt out.
    EXPECT_EQ(opponentModelFileNames({".bashrc", "../up"}), (Names{"%2Ebashrc.opm", "%2E.%2Fup.opm"}));
    EXPECT_EQ(opponentModelFileNames({"a\\b\nc", "50%\xc3\xa9"}), (Names{"a%5Cb%0Ac.opm", "50%25%C3%A9.opm"}));
    EXPECT_EQ(opponentModelFileNames({"", "."}), (Names{"unnamed.opm", "%2E.opm"}));
    // The analysis' own outputs are never chosen.
    EXPECT_EQ(opponentModelFileNames({"stats.json", "event.txt"}), (Names{"stats.json.opm", "event.txt.opm"}));
    // Two teams that map to one file get one each; a spelt-out name differs from the name it spells.
    EXPECT_EQ(opponentModelFileNames({"Self", "Self"}), (Names{"Self-left.opm", "Self-right.opm"}));
    EXPECT_EQ(opponentModelFileNames({"", "unnamed"}), (Names{"unnamed-left.opm", "unnamed-right.opm"}));
    EXPECT_EQ(opponentModelFileNames({"a b", "a%20b"}), (Names{"a%20b.opm", "a%2520b.opm"}));
}

TEST_F(OpponentModelSaveTest, HostileTeamNamesReplaceNoFileOfTheFolder) {
    OpponentModel model;
    model.setEnabled(true);
    const std::vector<std::uint8_t> precious = {'k', 'e', 'e', 'p'};
    for (const char* existing : {".bashrc", "stats.json", "event.txt", "MAPRN.txt", "ball.txt"}) {
        dir.write(existing, precious);
    }
    for (const auto& [left, right] : std::vector<std::pair<std::string, std::string>>{
             {".bashrc", "stats.json"}, {"event.txt", "MAPRN.txt"}, {"ball.txt", "../escaped"}}) {
        const auto result = model.Save(shown(left, right), dir.path());
        EXPECT_EQ(result.team[0], TeamSaveStatus::Written) << left;
        EXPECT_EQ(result.team[1], TeamSaveStatus::Written) << right;
        for (const auto& file : result.file) EXPECT_EQ(test::readFile(dir.file(file)).size(), kRoleBlockSize);
    }
    for (const char* existing : {".bashrc", "stats.json", "event.txt", "MAPRN.txt", "ball.txt"}) {
        EXPECT_EQ(test::readFile(dir.file(existing)), precious) << existing;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path().parent_path() / "escaped.opm"));

    const auto twins = model.Save(shown("Twin", "Twin"), dir.path());
    EXPECT_EQ(twins.file, (std::array<std::string, 2>{"Twin-left.opm", "Twin-right.opm"}));
    EXPECT_EQ(test::readFile(dir.file("Twin-left.opm")).size(), kRoleBlockSize);
    EXPECT_EQ(test::readFile(dir.file("Twin-right.opm")).size(), kRoleBlockSize);
}

TEST_F(OpponentModelSaveTest, AFileThatCannotBeCreatedIsReportedAndSkipped) {
    OpponentModel model;
    model.setEnabled(true);
    const auto result = model.Save(shown("A", "B"), dir.path() / "missing");
    EXPECT_EQ(result.team[0], TeamSaveStatus::Failed);
    EXPECT_EQ(result.team[1], TeamSaveStatus::Failed);
}

// Forwards the log player's calls to a model the way the program's analysis does,
// with the ball always controlled.
class ModelHooks final : public GameAnalysisHooks {
public:
    explicit ModelHooks(OpponentModel& model) : model_(model) {}
    void analyzeShow(const cycle_info_t&, const std::vector<player_type_t>&) override {}
    void feedOpponentModel(const cycle_info_t& record) override { model_.Feed(record, 0); }
    bool opponentModelEnabled() const override { return model_.enabled(); }
    void startOpponentModel(const show_info_t& show) override { model_.Start(show); }
    void finishOpponentModel() override { model_.Finish(); }

private:
    OpponentModel& model_;
};

class OpponentModelLoadTest : public ::testing::Test {
protected:
    void load(const std::string& path) {
        player.command(kCmdLoad, path);
        player.waitForParser();
    }
    std::string writeGame(const std::string& name, int firstCycle, double x) {
        test::V3LogBuilder log;
        log.teams("L", 0, "R", 0).playMode(PM_PlayOn);
        for (int c = firstCycle; c < firstCycle + 10; ++c) {
            log.show(ShowBuilder(c).playmode(PM_PlayOn).ball(c, 0).player(0, 1, 2, x, 0).build());
        }
        return dir.write(name, log.bytes());
    }

    test::TempDir dir;
    test::FakeHost host;
    OpponentModel model;
    ModelHooks hooks{model};
    LogPlayer player{host, &hooks};
};

TEST_F(OpponentModelLoadTest, AccumulatesOverLogsAndAnnouncesEachFinish) {
    model.setEnabled(true);
    load(writeGame("one.rcg", 1, -30));
    EXPECT_EQ(model.sampleCount(0, 0), 10u);
    EXPECT_EQ(model.typeIds()[0], 2);
    load(writeGame("two.rcg", 1, -20));
    EXPECT_EQ(model.sampleCount(0, 0), 20u) << "a second log adds to the first";
    EXPECT_FLOAT_EQ(model.extent(0, 0)->min_x, -30);
    EXPECT_FLOAT_EQ(model.extent(0, 0)->max_x, -20);
    const auto messages = host.shownMessages();
    EXPECT_EQ(std::count(messages.begin(), messages.end(), std::string(kOpponentModelDoneText)), 2);
}

TEST_F(OpponentModelLoadTest, ModellingOffSamplesNothingAndSaysNothing) {
    load(writeGame("one.rcg", 1, -30));
    EXPECT_EQ(model.sampleCount(0, 0), 0u);
    EXPECT_TRUE(host.shownMessages().empty());
}

TEST_F(OpponentModelLoadTest, SightLogsAreNotSampled) {
    model.setEnabled(true);
    load(dir.write("s.slh", test::sightV2Log({1, 2, 3, 4})));
    ASSERT_GT(player.size(), 0u);
    for (int team = 0; team < 2; ++team) {
        for (int p = 0; p < kPlayersPerSide; ++p) EXPECT_EQ(model.sampleCount(team, p), 0u);
    }
}

}  // namespace
}  // namespace tessarin
