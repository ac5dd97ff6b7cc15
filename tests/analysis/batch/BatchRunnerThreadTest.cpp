// Finding the games of a folder and summarising them on several threads: the order of
// the results, cancelling, and that two games analysed at once come out exactly as
// one after the other.

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>
#include <thread>

#include "analysis/BatchRunner.h"
#include "analysis/BehaviorAnalyzer.h"
#include "analysis/GameAnalysis.h"
#include "record/LogPlayer.h"
#include "support/LogBuilder.h"

namespace tessarin {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::string fileName(const std::string& path) { return fs::path(path).filename().string(); }

TEST(BatchRunner, FindsGameLogsInFoldersAndLeavesOutTheRest) {
    TempDir dir;
    fs::create_directories(dir.path() / "night" / "deeper");
    fs::copy_file(test::demoGamePath(), dir.path() / "night" / "demo.rcg");
    // A game log under a name that does not say so is found by its header.
    fs::copy_file(test::testDataPath("text/v6-short.rcg.gz"), dir.path() / "night" / "deeper" / "game-log");
    dir.write("night/view.slg", test::sightLog({1, 2}));
    dir.write("night/notes.rcg", test::Bytes{'h', 'i', '\n'});
    dir.write("night/readme.txt", test::Bytes{'h', 'i', '\n'});
    dir.write("night/server.rcl", test::Bytes{});
    // A loop of links: the search must end.
    fs::create_directory_symlink(dir.path() / "night", dir.path() / "night" / "deeper" / "loop");

    const std::vector<std::string> paths = {(dir.path() / "night").string(), dir.file("missing")};
    const BatchFiles found = findGames(paths);
    ASSERT_EQ(found.games.size(), 3u);
    EXPECT_EQ(fileName(found.games[0]), "game-log");
    EXPECT_EQ(fileName(found.games[1]), "demo.rcg");
    EXPECT_EQ(fileName(found.games[2]), "notes.rcg") << "named like a game log: reported, not hidden";
    ASSERT_EQ(found.sightLogs.size(), 1u);
    EXPECT_EQ(fileName(found.sightLogs[0]), "view.slg");
    EXPECT_EQ(found.otherFiles, 2u);
    ASSERT_EQ(found.errors.size(), 1u);
    EXPECT_EQ(found.errors[0].file, dir.file("missing"));
    EXPECT_FALSE(found.errors[0].ok());

    // A file named twice, once through its folder, is one game.
    const std::vector<std::string> twice = {(dir.path() / "night" / "demo.rcg").string(),
                                            (dir.path() / "night" / "demo.rcg").string()};
    EXPECT_EQ(findGames(twice).games.size(), 1u);
}

TEST(BatchRunner, ManyFilesThatAreNoGamesAreCountedQuickly) {
    TempDir dir;
    for (int i = 0; i < 2000; ++i) dir.write("f" + std::to_string(i) + ".dat", test::Bytes{'x'});
    const std::vector<std::string> paths = {dir.path().string()};
    const BatchFiles found = findGames(paths);
    EXPECT_TRUE(found.games.empty());
    EXPECT_EQ(found.otherFiles, 2000u);
}

TEST(BatchRunner, ResultsKeepTheOrderOfTheFilesWhateverFinishesFirst) {
    // The first game finishes only after every other one has: the order of the
    // results must still be that of the files.
    std::mutex m;
    std::condition_variable cv;
    std::vector<std::size_t> doneOrder;  // guarded by m
    const std::vector<std::string> files = {"a", "b", "c", "d", "e"};
    const SummarizeFn slowFirst = [&](const std::string& path) {
        GameSummary s;
        s.file = path;
        if (path == "a") {
            std::unique_lock lock(m);
            EXPECT_TRUE(cv.wait_for(lock, std::chrono::seconds(30), [&] { return doneOrder.size() == 4; }));
        }
        return s;
    };
    const GameDoneFn done = [&](std::size_t index, const GameSummary&, const BatchProgress& p) {
        {
            std::lock_guard lock(m);
            doneOrder.push_back(index);
            EXPECT_EQ(p.total, 5u);
            EXPECT_EQ(p.done, doneOrder.size());
        }
        cv.notify_all();
    };
    const std::vector<GameSummary> out = summarizeGames(files, 2, done, {}, slowFirst);
    ASSERT_EQ(out.size(), 5u);
    for (std::size_t i = 0; i < files.size(); ++i) EXPECT_EQ(out[i].file, files[i]);
    ASSERT_EQ(doneOrder.size(), 5u);
    EXPECT_EQ(doneOrder.back(), 0u) << "the first game did finish last";

    // A summary that throws becomes an error row; the batch goes on.
    const SummarizeFn throwing = [](const std::string& path) -> GameSummary {
        if (path == "c") throw std::runtime_error("broken reader");
        GameSummary s;
        s.file = path;
        return s;
    };
    const std::vector<GameSummary> rows = summarizeGames(files, 3, {}, {}, throwing);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[2].error, "broken reader");
    EXPECT_TRUE(rows[3].ok());
}

TEST(BatchRunner, AStopRequestEndsTheBatchAfterTheGamesInProgress) {
    std::stop_source stop;
    std::vector<std::string> files;
    for (int i = 0; i < 50; ++i) files.push_back("g" + std::to_string(100 + i));
    const SummarizeFn quick = [](const std::string& path) {
        GameSummary s;
        s.file = path;
        return s;
    };
    const GameDoneFn stopAfterThree = [&](std::size_t, const GameSummary&, const BatchProgress& p) {
        if (p.done == 3) stop.request_stop();
    };
    const std::vector<GameSummary> out = summarizeGames(files, 2, stopAfterThree, stop.get_token(), quick);
    // The other worker may have started one more game before it saw the request.
    EXPECT_GE(out.size(), 3u);
    EXPECT_LE(out.size(), 4u);
    for (std::size_t i = 1; i < out.size(); ++i) EXPECT_LT(out[i - 1].file, out[i].file);
}

// The event report of one game analysed by a log player of its own.
std::string eventReport(const std::string& path, const fs::path& outDir) {
    NullPlaybackHost host;
    BehaviorAnalyzer analyzer;
    GameAnalysis analysis(analyzer, nullptr);
    LogPlayer player(host, &analysis);
    player.command(kCmdLoad, path);
    player.waitForParser();
    analyzer.ComputeStatistics();
    fs::create_directories(outDir);
    EXPECT_EQ(analyzer.WriteEventReport(outDir), 0);
    std::ifstream in(outDir / "event.txt", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(BatchRunner, GamesAnalysedAtOnceComeOutAsOneAfterTheOther) {
    const std::vector<std::string> games = {test::demoGamePath(), test::testDataPath("text/v6-short.rcg.gz"),
                                            test::testDataPath("text/v5-short.rcg.gz"),
                                            test::testDataPath("text/v4-short.rcg")};
    const std::vector<GameSummary> alone = summarizeGames(games, 1);
    const std::vector<GameSummary> together = summarizeGames(games, 2);
    ASSERT_EQ(alone.size(), games.size());
    for (const GameSummary& g : alone) EXPECT_TRUE(g.ok()) << g.file << ": " << g.error;
    EXPECT_TRUE(alone == together);

    // The whole event list and statistics, byte for byte: the demo game and a text log
    // on two threads at once, against each alone.
    TempDir dir;
    const std::string demoAlone = eventReport(games[0], dir.path() / "a1");
    const std::string textAlone = eventReport(games[1], dir.path() / "a2");
    std::string demoTogether, textTogether;
    {
        std::jthread first([&] { demoTogether = eventReport(games[0], dir.path() / "t1"); });
        std::jthread second([&] { textTogether = eventReport(games[1], dir.path() / "t2"); });
    }
    EXPECT_GT(demoAlone.size(), 10000u);
    EXPECT_TRUE(demoTogether == demoAlone);
    EXPECT_TRUE(textTogether == textAlone);
}

}  // namespace
}  // namespace tessarin
