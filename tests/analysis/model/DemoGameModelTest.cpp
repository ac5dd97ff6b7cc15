// The opponent model, the position dump and the plan-recognition pass over the bundled
// demo game, checked for what must hold whatever the details of the detection.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>

#include "analysis/BehaviorAnalyzer.h"
#include "analysis/OpponentModel.h"
#include "analysis/PlanRecognition.h"
#include "analysis/PositionDump.h"
#include "record/LogPlayer.h"
#include "support/FakeHost.h"
#include "support/LogBuilder.h"

namespace tessarin {
namespace {

std::size_t lineCount(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::size_t n = 0;
    for (std::string line; std::getline(in, line);) ++n;
    return n;
}

class DemoGameModelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        test::FakeHost host;
        LogPlayer player(host);
        player.command(kCmdLoad, test::demoGamePath());
        player.waitForParser();
        records_ = new std::vector<cycle_info_t>(player.withStore([](const auto& frames) { return frames; }));
        types_ = new std::vector<player_type_t>(player.player_types());
    }
    static void TearDownTestSuite() {
        delete records_;
        delete types_;
    }
    static const std::vector<cycle_info_t>& records() { return *records_; }

    // Feeds the analysis and the model in arrival order, as the store's add does.
    void analyse() {
        model.setEnabled(true);
        bool started = false;
        for (const auto& record : records()) {
            if (!started && record.show().playmode == PM_PlayOn) {
                model.Start(record.show());
                started = true;
            }
            analyzer.AnalyzeCycle(record, *types_);
            model.Feed(record, analyzer.ownerSide());
        }
        model.Finish();
    }

    static std::vector<cycle_info_t>* records_;
    static std::vector<player_type_t>* types_;
    BehaviorAnalyzer analyzer;
    OpponentModel model;
    test::TempDir dir;
};

std::vector<cycle_info_t>* DemoGameModelTest::records_ = nullptr;
std::vector<player_type_t>* DemoGameModelTest::types_ = nullptr;

TEST_F(DemoGameModelTest, ModelIsFiniteAndWithinTheSampledExtent) {
    ASSERT_GT(records().size(), 1000u);
    analyse();
    std::size_t sampled = 0;
    for (int team = 0; team < 2; ++team) {
        const RoleBlock block = model.block(team);
        EXPECT_EQ(block[0], RoleRecord{});
        for (int r = 1; r <= kPlayersPerSide; ++r) {
            const RoleRecord& rec = block[r];
            SCOPED_TRACE(testing::Message() << "team " << team << " player " << r);
            EXPECT_GE(rec.role, 0);
            EXPECT_LE(rec.role, 3);
            EXPECT_GE(rec.lane, 0);
            EXPECT_LE(rec.lane, 6);
            EXPECT_EQ(rec.defender == 1, rec.role == 1) << "one game: defender exactly when the role is 1";
            for (float v :
                 {rec.home_x, rec.home_y, rec.slope_x_pos, rec.slope_x_neg, rec.slope_y_pos, rec.slope_y_neg}) {
                EXPECT_TRUE(std::isfinite(v));
            }
            const std::size_t n = model.sampleCount(team, r - 1);
            EXPECT_LE(n, OpponentModel::kMaxSamples);
            if (n == 0) continue;
            ++sampled;
            EXPECT_LE(rec.back_x, rec.front_x);
            EXPECT_LE(rec.low_y, rec.high_y);
            const auto e = *model.extent(team, r - 1);
            for (float bx : {-50.0f, -5.0f, 0.0f, 5.0f, 50.0f}) {
                const Vector p = model.PredictPosition(team, r - 1, bx, -bx / 2);
                EXPECT_GE(p.x, e.min_x);
                EXPECT_LE(p.x, e.max_x);
                EXPECT_GE(p.y, e.min_y);
                EXPECT_LE(p.y, e.max_y);
            }
        }
    }
    EXPECT_GT(sampled, 15u) << "most players stand still at some moment while the ball is controlled";

    const auto saved = model.Save(records().back().show(), dir.path());
    for (int t = 0; t < 2; ++t) {
        ASSERT_EQ(saved.team[t], TeamSaveStatus::Written) << saved.name[t];
        EXPECT_EQ(test::readFile((dir.path() / saved.file[t]).string()).size(), kRoleBlockSize);
    }
}

TEST_F(DemoGameModelTest, PositionDumpHasOneLinePerShowAndSomeModelParts) {
    analyse();
    const auto result = writePositionDump(records(), model, dir.path());
    ASSERT_TRUE(result.written);
    EXPECT_TRUE(result.failedFiles.empty());
    for (const auto& name : positionDumpFileNames()) EXPECT_EQ(lineCount(dir.path() / name), records().size()) << name;
    std::ifstream in(dir.path() / "player2.txt");
    std::size_t withModel = 0;
    for (std::string line; std::getline(in, line);)
        withModel += line.find("\t---pos from model:(") != std::string::npos;
    EXPECT_GT(withModel, 0u);
    EXPECT_LT(withModel, records().size());
}

TEST_F(DemoGameModelTest, PlanRecognitionOverTheGame) {
    analyse();
    PlanRecognitionParameters params;
    params.cell_width = 15;
    params.cell_height = 17;
    PlanRecognition pass(params);
    const auto& events = analyzer.Events();
    const auto result = pass.RunPlanRecognition(events, analyzer.Frames(), dir.path());
    EXPECT_EQ(result.concurrent_events, 0);
    EXPECT_EQ(result.trie, 0);
    EXPECT_EQ(result.network, 0);
    ASSERT_GT(events.size(), 100u);
    EXPECT_LT(pass.groups().size(), events.size());
    for (const auto& g : pass.groups()) {
        const MAPREVENT& m = g[0];
        if (isLeftTeamBehaviour(m)) {
            EXPECT_NE(m.kind, BB_ADJUST);
            EXPECT_NE(m.kind, BB_RECEIVE);
            EXPECT_NE(m.kind, BB_INTERCEPT);
        }
        for (std::size_t e = 1; e < g.size(); ++e) EXPECT_EQ(g[e].kind, BB_POSITION);
    }
    int nodeCount = 0;
    for (const auto& node : pass.network().nodes()) nodeCount += node.count;
    EXPECT_GE(nodeCount, static_cast<int>(pass.groups().size())) << "every group's main behaviour is counted once";
    if (result.trie_written) {
        std::ifstream trie(dir.path() / "Trie.txt");
        std::string first;
        std::getline(trie, first);
        EXPECT_EQ(first, "Trie:");
    }
}

}  // namespace
}  // namespace tessarin
