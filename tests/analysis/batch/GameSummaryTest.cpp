// The summary of one game: the figures the behaviour analysis leaves out (shoot-out,
// players who dropped out, entries into the penalty area), a real game of each log
// version, and files that are no game.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <numeric>

#include "analysis/GameSummary.h"
#include "support/LogBuilder.h"

namespace tessarin {
namespace {

using test::ShowBuilder;
using test::TempDir;
using test::V3LogBuilder;

constexpr int kPlayOn = 3;
constexpr int kKickOffL = 4;

// Every player on the field, away from the centre and from both penalty areas; the
// ball at `ball`; the player at `holder` (an index, or -1) on the ball.
show_info_t scene(int time, int mode, double bx, double by, int holder = -1, int absent = -1) {
    ShowBuilder b(time);
    b.playmode(mode).team(0, "Lefts", 0).team(1, "Rights", 0).ball(bx, by);
    for (int i = 0; i < kPlayerCount; ++i) {
        const double x = i < kPlayersPerSide ? -5.0 - i : 5.0 + i;
        const double y = -30.0 + 2.5 * i;
        if (i == holder) {
            b.player(i, 1, 0, bx + 0.2, by);
        } else {
            b.player(i, i == absent ? 0 : 1, 0, x, y);
        }
    }
    return b.build();
}

GameSummary summarize(const TempDir& dir, const std::string& name, const test::Bytes& bytes) {
    return summarizeGame(dir.write(name, bytes));
}

TEST(GameSummary, CountsEntriesIntoThePenaltyAreaWithTheBall) {
    V3LogBuilder log;
    log.playerType(0, 0.3, 0.7).teams("Lefts", 0, "Rights", 0).playMode(kKickOffL).show(scene(1, kKickOffL, 0, 0));
    log.playMode(kPlayOn);
    log.show(scene(2, kPlayOn, 40, 0, 8));    // left 9 brings the ball into the right team's area: 1
    log.show(scene(3, kPlayOn, 41, 0, 8));    // still inside: no new entry
    log.show(scene(4, kPlayOn, 30, 0, 8));    // out again
    log.show(scene(5, kPlayOn, 45, 5, 8));    // and in: 2
    log.show(scene(6, kPlayOn, -45, 0, 11));  // right 1 in the left team's area: right's first
    log.show(scene(7, kPlayOn, 44, 0, 12));   // a right player on the ball in his own area: nothing
    log.show(scene(8, kPlayOn, 44, 0, 8));    // left wins it there: 3
    log.show(scene(9, kPlayOn, 44, 19, 8));   // moves along inside the area: still 3
    log.show(scene(10, kPlayOn, 44, 25));     // a free ball outside the area
    log.show(scene(11, kPlayOn, 44, 21));     // a free ball at the area's side: nothing
    TempDir dir;
    const GameSummary s = summarize(dir, "entries.rcg", log.bytes());
    ASSERT_TRUE(s.ok()) << s.error;
    EXPECT_EQ(s.sides[0].penaltyAreaEntries, 3);
    EXPECT_EQ(s.sides[1].penaltyAreaEntries, 1);
    EXPECT_EQ(s.sides[0].droppedPlayers, 0);
    EXPECT_EQ(s.cycles, 11);
    EXPECT_EQ(s.format, "v3");
    EXPECT_TRUE(s.warning.empty()) << s.warning;
}

TEST(GameSummary, CountsPlayersWhoLeftAfterKickOffAndTheShootOut) {
    V3LogBuilder log;
    // Left 4 is missing before the kick-off already: he did not drop out.
    log.playerType(0, 0.3, 0.7).teams("Lefts", 0, "Rights", 0).show(scene(1, 1, 0, 0, -1, 3));
    log.playMode(kKickOffL).show(scene(1, kKickOffL, 0, 0)).playMode(kPlayOn).show(scene(2, kPlayOn, 0, 0));
    log.show(scene(3, kPlayOn, 0, 0, -1, 14));  // right 4 leaves
    log.show(scene(4, kPlayOn, 0, 0, -1, 14));
    log.show(scene(5, kPlayOn, 0, 0, -1, 2));  // left 3 leaves and right 4 comes back: both count
    log.teams("Lefts", 1, "Rights", 1);
    // The shoot-out: left scores twice, right once; a mode that lasts several shows counts once.
    for (int mode : {40, 48, 48, 41, 49, 40, 46, 41, 47, 40, 48}) {
        log.playMode(mode);
        log.show(scene(6, mode, 0, 0));
    }
    TempDir dir;
    const GameSummary s = summarize(dir, "shootout.rcg", log.bytes());
    ASSERT_TRUE(s.ok()) << s.error;
    EXPECT_EQ(s.sides[0].droppedPlayers, 1);
    EXPECT_EQ(s.sides[1].droppedPlayers, 1);
    EXPECT_EQ(s.sides[0].goals, 1);
    EXPECT_EQ(s.sides[1].goals, 1);
    EXPECT_EQ(s.sides[0].penaltyGoals, 2);
    EXPECT_EQ(s.sides[1].penaltyGoals, 1);
    EXPECT_EQ(winnerOf(s), 0) << "the shoot-out decides a drawn game";

    // Without a shoot-out the penalty goals are unknown, not zero.
    V3LogBuilder plain;
    plain.playerType(0, 0.3, 0.7).teams("Lefts", 2, "Rights", 2).playMode(kPlayOn).show(scene(1, kPlayOn, 0, 0));
    const GameSummary p = summarize(dir, "plain.rcg", plain.bytes());
    EXPECT_FALSE(p.sides[0].penaltyGoals);
    EXPECT_FALSE(p.sides[1].penaltyGoals);
    EXPECT_EQ(winnerOf(p), -1);
}

TEST(GameSummary, SummarisesRealGamesOfEveryVersion) {
    const GameSummary demo = summarizeGame(test::demoGamePath());
    ASSERT_TRUE(demo.ok()) << demo.error;
    EXPECT_EQ(demo.sides[0].team, "HELIOS_left");
    EXPECT_EQ(demo.sides[1].team, "HELIOS_right");
    EXPECT_EQ(demo.sides[0].goals, 4);
    EXPECT_EQ(demo.sides[1].goals, 1);
    EXPECT_EQ(demo.cycles, 8000);
    EXPECT_EQ(demo.time, "");
    EXPECT_EQ(winnerOf(demo), 0);
    EXPECT_NEAR(demo.sides[0].possession + demo.sides[1].possession, 1.0, 1e-9);
    for (const SideSummary& side : demo.sides) {
        EXPECT_GT(side.passes, 0);
        EXPECT_LE(side.passesCompleted, side.passes);
        EXPECT_LE(side.shotsOnTarget, side.shots);
        const int directed = std::accumulate(side.passesByDirection.begin(), side.passesByDirection.end(), 0);
        EXPECT_GT(directed, 0);
        EXPECT_LE(directed, side.passes) << "only passes that ended have a direction";
        EXPECT_GT(side.passesByDirection[static_cast<int>(PassDirection::Forward)], 0);
        EXPECT_GT(side.penaltyAreaEntries, 0);
    }
    // Goals are entries into the area too: the winner of 4-1 entered at least four times.
    EXPECT_GE(demo.sides[0].penaltyAreaEntries, 4);

    const GameSummary v6 = summarizeGame(test::testDataPath("text/v6-short.rcg.gz"));
    ASSERT_TRUE(v6.ok()) << v6.error;
    EXPECT_EQ(v6.format, "v6");
    EXPECT_EQ(v6.sides[0].team, "HELIOS_L");
    EXPECT_EQ(v6.sides[0].goals, 1);
    EXPECT_EQ(v6.sides[1].goals, 0);
    EXPECT_EQ(v6.cycles, 600);
    // Its binary twin summarises alike, up to the four decimals of the text.
    const GameSummary twin = summarizeGame(test::testDataPath("text/v6-short-as-v3.rcg"));
    ASSERT_TRUE(twin.ok()) << twin.error;
    EXPECT_EQ(twin.sides[0].passes, v6.sides[0].passes);
    EXPECT_EQ(twin.sides[1].shots, v6.sides[1].shots);

    // Cards, fouls and tackles come from the text log; its binary twin cannot tell them.
    EXPECT_EQ(v6.sides[0].yellowCards, 0);
    EXPECT_EQ(v6.sides[0].fouls, 2);
    EXPECT_EQ(v6.sides[1].tackles, 2);
    EXPECT_FALSE(twin.sides[0].fouls);
    EXPECT_FALSE(twin.sides[1].redCards);

    const GameSummary v4 = summarizeGame(test::testDataPath("text/v4-short.rcg"));
    EXPECT_EQ(v4.format, "v4");
    EXPECT_TRUE(v4.ok()) << v4.error;

    // A JSON log whose reader had something to say (texts that were not UTF-8) but read
    // the game whole: no warning, which would count it as read in part.
    const GameSummary json = summarizeGame(test::testDataPath("json/game.json.gz"));
    ASSERT_TRUE(json.ok()) << json.error;
    EXPECT_EQ(json.format, "json");
    EXPECT_EQ(json.sides[1].team, "JsonRight");
    EXPECT_EQ(json.cycles, 100);
    EXPECT_EQ(json.warning, "");
    TempDir dir;
    const std::string text = "ULG6\n(show 1 ((b) 0 0 0 0))\n(draw 1 (line 0 0 1 1))\n(show 2 ((b) 0 0 0 0))\n";
    const GameSummary unknownLine = summarize(dir, "unknown.rcg", test::Bytes(text.begin(), text.end()));
    ASSERT_TRUE(unknownLine.ok()) << unknownLine.error;
    EXPECT_EQ(unknownLine.warning, "");
}

TEST(GameSummary, ReportsFilesThatAreNoGame) {
    TempDir dir;
    EXPECT_NE(summarize(dir, "empty.rcg", {}).error.find("empty"), std::string::npos);
    const std::string text = "just some notes\n";
    const GameSummary notes = summarize(dir, "notes.rcg", test::Bytes(text.begin(), text.end()));
    EXPECT_NE(notes.error.find("not a game log"), std::string::npos) << notes.error;
    EXPECT_FALSE(summarizeGame(dir.file("missing.rcg")).ok());
    EXPECT_FALSE(summarizeGame(dir.path().string()).ok()) << "a folder";
    EXPECT_NE(summarize(dir, "view.slg", test::sightLog({1, 2, 3})).error.find("sight log"), std::string::npos);
    // A FIFO would block a reader that waits for a writer: refused without a wait.
    const std::string fifo = dir.file("pipe.rcg");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_NE(summarizeGame(fifo).error.find("not a regular file"), std::string::npos) << summarizeGame(fifo).error;
    // A header and nothing else.
    EXPECT_NE(summarize(dir, "header.rcg", V3LogBuilder().bytes()).error.find("no show"), std::string::npos);

    // A game cut off in the middle keeps what was read, and says so.
    test::Bytes cut = test::readFile(test::demoGamePath());
    cut.resize(cut.size() / 2 + 7);
    const GameSummary half = summarize(dir, "half.rcg", cut);
    ASSERT_TRUE(half.ok()) << half.error;
    EXPECT_FALSE(half.warning.empty());
    EXPECT_GT(half.cycles, 1000);
    EXPECT_LT(half.cycles, 8000);
}

// A worker keeps one summariser for all its games: nothing of one game may reach the
// next, whatever the one before was (a longer game, a file that is no game, a sight log,
// a game cut off).
TEST(GameSummary, ASummariserUsedAgainGivesWhatAFreshOneGives) {
    TempDir dir;
    const std::string notes = "just some notes\n";
    test::Bytes cut = test::readFile(test::demoGamePath());
    cut.resize(cut.size() / 2 + 7);
    const std::vector<std::string> files = {
        test::demoGamePath(),
        dir.write("notes.rcg", test::Bytes(notes.begin(), notes.end())),
        test::testDataPath("text/v6-short.rcg.gz"),
        dir.write("half.rcg", cut),
        dir.write("view.slg", test::sightLog({1, 2, 3})),
        test::testDataPath("text/v4-short.rcg"),
        dir.write("shootout.rcg", V3LogBuilder()
                                      .show(scene(1, kKickOffL, 0.0, 0.0))
                                      .show(scene(2, 41, 0.0, 0.0))
                                      .show(scene(3, 48, 0.0, 0.0))
                                      .bytes()),
        test::testDataPath("text/v6-short-as-v3.rcg"),
        test::demoGamePath(),
    };
    GameSummarizer summarizer;
    for (const std::string& file : files) {
        EXPECT_EQ(summarizer.summarize(file), summarizeGame(file)) << file;
    }
}

TEST(GameSummary, StartTimeComesFromTheServersFileName) {
    EXPECT_EQ(startTimeFromFileName("20261210040211-HELIOS_L_0-vs-HELIOS_R_0.rcg.gz"), "2026-12-10 04:02:11");
    EXPECT_EQ(startTimeFromFileName("helios-left-4-vs-helios-right-1.rcg"), "");
    EXPECT_EQ(startTimeFromFileName("20261310040211-a.rcg"), "") << "month 13";
    EXPECT_EQ(startTimeFromFileName("2026121004021-a.rcg"), "") << "a digit short";
    EXPECT_EQ(startTimeFromFileName("20261210040211"), "") << "no name after the time";
    const GameSummary s = summarizeGame("/nowhere/20261210040211-A_1-vs-B_0.rcg");
    EXPECT_EQ(s.time, "2026-12-10 04:02:11");
    EXPECT_FALSE(s.ok());
}

}  // namespace
}  // namespace tessarin
