#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "agentlog/LogFinder.h"

namespace tessarin::agentlog {
namespace {

namespace fs = std::filesystem;

class AgentLogFinder : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("tessarin-finder-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(root_);
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }
    void touch(const fs::path& path) {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "1,0 1 M x\n";
    }
    fs::path root_;
};

TEST_F(AgentLogFinder, ReadsTeamAndNumberFromTheFileName) {
    const LogFileName player = parseLogFileName("HELIOS_L-6.log");
    EXPECT_EQ(player.team, "HELIOS_L");
    EXPECT_EQ(player.unum, 6);
    EXPECT_FALSE(player.gzip);

    // A team name may hold dashes; the number follows the last one.
    const LogFileName dashed = parseLogFileName("my-team-11.log.gz");
    EXPECT_EQ(dashed.team, "my-team");
    EXPECT_EQ(dashed.unum, 11);
    EXPECT_TRUE(dashed.gzip);

    const LogFileName coach = parseLogFileName("HELIOS_R-coach.log");
    EXPECT_TRUE(coach.coach);
    EXPECT_EQ(coach.team, "HELIOS_R");

    for (const char* unreadable : {"HELIOS-12.log", "HELIOS-0.log", "HELIOS.log", "-3.log", "HELIOS-3x.log"}) {
        EXPECT_EQ(parseLogFileName(unreadable).team, "") << unreadable;
    }
    LogFileEntry entry;
    entry.fileName = "strange.log";
    entry.name = parseLogFileName(entry.fileName);
    EXPECT_EQ(entry.label(), "strange.log");
    entry.name = parseLogFileName("HELIOS-7.log");
    EXPECT_EQ(entry.label(), "HELIOS 7");
}

TEST_F(AgentLogFinder, FindsBothTeamsLogsBesideAGame) {
    const fs::path game = root_ / "20261210-A-vs-B.rcg";
    touch(game);
    touch(root_ / "A-1.log");
    touch(root_ / "debug" / "A-2.log.gz");
    touch(root_ / "log" / "B-7.log");
    touch(root_ / "log" / "B-coach.log");
    touch(root_ / "C-3.log");                   // a team that did not play
    touch(root_ / "log" / "A-1.log");           // the game's own folder wins
    fs::create_directories(root_ / "A-5.log");  // a folder under a log's name

    const std::vector<LogFileEntry> found = findGameLogs(game.string(), "A", "B");
    ASSERT_EQ(found.size(), 4u);
    EXPECT_EQ(found[0].path, (root_ / "A-1.log").string());
    EXPECT_EQ(found[0].side, Side::Left);
    EXPECT_EQ(found[1].name.unum, 2);
    EXPECT_TRUE(found[1].name.gzip);
    EXPECT_EQ(found[2].side, Side::Right);
    EXPECT_EQ(found[2].name.unum, 7);
    EXPECT_TRUE(found[3].name.coach);
    EXPECT_EQ(findEntry(found, Side::Right, 7), &found[2]);
    EXPECT_EQ(findEntry(found, Side::Right, 0), &found[3]);
    EXPECT_EQ(findEntry(found, Side::Left, 7), nullptr);
}

TEST_F(AgentLogFinder, ListsAFolderOfManyFilesQuicklyAndBounded) {
    const fs::path folder = root_ / "many";
    fs::create_directories(folder);
    for (int i = 0; i < 10000; ++i) std::ofstream(folder / ("T" + std::to_string(i) + "-1.log"));
    std::ofstream(folder / "notes.txt");
    std::ofstream(folder / "odd name.log");

    const std::vector<LogFileEntry> all = listLogFolder(folder.string(), "T1", "T2", 20000);
    EXPECT_EQ(all.size(), 10001u);
    const std::vector<LogFileEntry> bounded = listLogFolder(folder.string(), "T1", "T2", 100);
    EXPECT_EQ(bounded.size(), 100u);
    const LogFileEntry* left = findEntry(all, Side::Left, 1);
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(left->fileName, "T1-1.log");
    const auto odd =
        std::find_if(all.begin(), all.end(), [](const LogFileEntry& e) { return e.fileName == "odd name.log"; });
    ASSERT_NE(odd, all.end());
    EXPECT_EQ(odd->label(), "odd name.log");
    EXPECT_TRUE(listLogFolder((root_ / "missing").string(), "", "").empty());
}

}  // namespace
}  // namespace tessarin::agentlog
