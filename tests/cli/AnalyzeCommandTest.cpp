// The batch analysis of the command-line tool.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/Commands.h"
#include "support/LogBuilder.h"

namespace tessarin::cli {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

struct Ran {
    int status = 0;
    std::string out, err;
};

Ran analyze(AnalyzeOptions options) {
    std::ostringstream out, err;
    Ran r;
    r.status = runAnalyze(std::move(options), out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

TEST(AnalyzeCommand, WritesEveryChosenOutputOfTheDemoGame) {
    TempDir dir;
    AnalyzeOptions o;
    o.files = {test::demoGamePath()};
    o.out = dir.file("out");
    o.events = o.statsJson = o.plan = o.dumpPositions = o.opponentModel = true;
    const Ran r = analyze(o);
    ASSERT_EQ(r.status, 0) << r.err;
    for (const char* name :
         {"event.txt", "stats.json", "concurrent_event.txt", "MAPRN.txt", "ball.txt", "player1.txt", "player22.txt"}) {
        EXPECT_TRUE(fs::exists(fs::path(o.out) / name)) << name;
    }
    EXPECT_EQ(fs::file_size(fs::path(o.out) / "HELIOS_left.opm"), 960u);
    EXPECT_EQ(fs::file_size(fs::path(o.out) / "HELIOS_right.opm"), 960u);
    std::ifstream in(fs::path(o.out) / "stats.json");
    const auto doc = nlohmann::json::parse(in);
    EXPECT_EQ(doc["teams"].size(), 2u);
    EXPECT_EQ(doc["players"].size(), 22u);
    EXPECT_EQ(doc["teams"][0]["name"], "HELIOS_left");
    EXPECT_GT(doc["events"].get<int>(), 0);
    EXPECT_NE(r.err.find("[1/1]"), std::string::npos) << "progress is reported";

    // The report carries the same team figures as stats.json, not the zeros of
    // statistics that were never computed.
    std::ifstream report(fs::path(o.out) / "event.txt");
    const std::string text((std::istreambuf_iterator<char>(report)), std::istreambuf_iterator<char>());
    const std::string teamPasses = "team 0 's pass success rate == ";
    const auto team = text.find(teamPasses);
    ASSERT_NE(team, std::string::npos);
    const std::string countLabel = "pass count\t\t== ";
    const auto count = text.find(countLabel, team);
    ASSERT_NE(count, std::string::npos);
    const int passes = doc["teams"][0]["passes"].get<int>();
    EXPECT_GT(passes, 0);
    EXPECT_EQ(std::stoi(text.substr(count + countLabel.size())), passes);
}

TEST(AnalyzeCommand, SeveralGamesGetAFolderEachAndTheModelSpansThemAll) {
    TempDir dir;
    const std::string small = dir.write(
        "game.rcg", test::V3LogBuilder().playMode(3).teams("Small", 0, "Other", 0).show(1).show(2).show(3).bytes());
    fs::create_directories(dir.path() / "again");
    const std::string same = dir.write("again/game.rcg", test::readFile(small));
    AnalyzeOptions o;
    o.files = {test::demoGamePath(), small, same, dir.file("missing.rcg")};
    o.out = dir.file("out");
    o.opponentModel = true;
    o.events = true;
    const Ran r = analyze(o);
    EXPECT_EQ(r.status, 1) << "the missing file is an error";
    EXPECT_NE(r.err.find("missing.rcg"), std::string::npos);
    EXPECT_TRUE(fs::exists(fs::path(o.out) / "helios-left-4-vs-helios-right-1" / "event.txt"));
    EXPECT_TRUE(fs::exists(fs::path(o.out) / "game" / "event.txt"));
    EXPECT_TRUE(fs::exists(fs::path(o.out) / "game-2" / "event.txt"));
    // The blocks are saved at the end under the names of the last game read.
    EXPECT_TRUE(fs::exists(fs::path(o.out) / "Small.opm"));
}

TEST(AnalyzeCommand, NoOutputReplacesAGameBeingRead) {
    TempDir dir;
    const test::Bytes game = test::readFile(test::demoGamePath());
    AnalyzeOptions o;
    o.files = {dir.write("event.txt", game)};
    o.out = dir.path().string();
    const Ran r = analyze(o);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("event.txt is a file being read"), std::string::npos) << r.err;
    EXPECT_EQ(test::readFile(o.files[0]), game);

    // The opponent model's file is checked as well.
    o.files = {dir.write("HELIOS_left.opm", game)};
    o.opponentModel = true;
    const Ran model = analyze(o);
    EXPECT_EQ(model.status, 1);
    EXPECT_NE(model.err.find("HELIOS_left.opm is a file being read"), std::string::npos) << model.err;
    EXPECT_EQ(test::readFile(o.files[0]), game);
}

TEST(AnalyzeCommand, ADamagedInputIsAnalysedAsFarAsReadAndEndsWithStatusTwo) {
    TempDir dir;
    test::Bytes torn = test::readFile(test::demoGamePath());
    torn.resize(torn.size() - 100);
    AnalyzeOptions o;
    o.files = {test::demoGamePath(), dir.write("torn.rcg", torn)};
    o.out = dir.file("out");
    const Ran r = analyze(o);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_TRUE(fs::exists(fs::path(o.out) / "torn" / "event.txt"));
    EXPECT_NE(r.out.find("from incomplete input"), std::string::npos) << r.out;

    o.files.push_back(dir.file("missing.rcg"));
    EXPECT_EQ(analyze(o).status, 1) << "a failure outweighs a damaged input";
}

TEST(AnalyzeCommand, ARestartOfTheAnalysisIsSaid) {
    TempDir dir;
    // The demo game with one stray show of cycle 1 after its last one.
    test::Bytes game = test::readFile(test::demoGamePath());
    const test::Bytes stray = test::V3LogBuilder().show(1).bytes();
    game.insert(game.end(), stray.begin() + 4, stray.end());
    AnalyzeOptions o;
    o.files = {dir.write("stray.rcg", game)};
    o.out = dir.file("out");
    const Ran r = analyze(o);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("the game starts again at cycle 1 after cycle 8000"), std::string::npos) << r.err;
}

TEST(AnalyzeCommand, DefaultsAndBadOutputDirectories) {
    TempDir dir;
    AnalyzeOptions o;
    o.files = {test::demoGamePath()};
    o.out = dir.file("plain");
    ASSERT_EQ(analyze(o).status, 0);
    EXPECT_TRUE(fs::exists(fs::path(o.out) / "event.txt"));
    EXPECT_TRUE(fs::exists(fs::path(o.out) / "stats.json"));
    EXPECT_FALSE(fs::exists(fs::path(o.out) / "ball.txt"));

    o.out = dir.write("a-file", {'x'});
    const Ran r = analyze(o);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot create the output directory"), std::string::npos) << r.err;

    AnalyzeOptions model;
    model.files = {dir.write("sight.slg", test::sightLog({1, 2}))};
    model.out = dir.file("model");
    model.opponentModel = true;
    const Ran noShows = analyze(model);
    EXPECT_EQ(noShows.status, 1);
    EXPECT_NE(noShows.err.find("no show record"), std::string::npos);
}

TEST(AnalyzeCommand, GameFoldersNeverClashAndNoOutputIsCreatedWhenEveryInputFails) {
    TempDir dir;
    const test::Bytes small = test::V3LogBuilder().playMode(3).teams("S", 0, "O", 0).show(1).show(2).bytes();
    fs::create_directories(dir.path() / "a");
    fs::create_directories(dir.path() / "b");
    AnalyzeOptions o;
    o.files = {dir.write("x-2.rcg", small), dir.write("a/x.rcg", small), dir.write("b/x.rcg", small)};
    o.out = dir.file("out");
    o.events = true;
    ASSERT_EQ(analyze(o).status, 0);
    std::vector<std::string> folders;
    for (const auto& e : fs::directory_iterator(o.out)) folders.push_back(e.path().filename().string());
    std::sort(folders.begin(), folders.end());
    EXPECT_EQ(folders, (std::vector<std::string>{"x", "x-2", "x-3"}));

    o.files = {dir.file("missing.rcg"), dir.write("empty.rcg", {})};
    o.out = dir.file("never");
    o.opponentModel = true;
    EXPECT_EQ(analyze(o).status, 1);
    EXPECT_FALSE(fs::exists(o.out));
}

TEST(AnalyzeCommand, TeamNamesThatAreNotUtf8StillGiveAValidStatisticsDocument) {
    TempDir dir;
    const std::string bad(16, '\xff');
    const std::string game =
        dir.write("bad.rcg", test::V3LogBuilder().playMode(3).teams(bad, 0, "Right", 0).show(1).show(2).bytes());
    AnalyzeOptions o;
    o.files = {game};
    o.out = dir.file("out");
    const Ran r = analyze(o);
    ASSERT_EQ(r.status, 0) << r.err;
    std::ifstream in(fs::path(o.out) / "stats.json");
    const auto doc = nlohmann::json::parse(in);
    EXPECT_EQ(doc["teams"][0]["name"].get<std::string>().rfind("\xef\xbf\xbd", 0), 0u) << "U+FFFD stands in";
    EXPECT_EQ(doc["teams"][1]["name"], "Right");
}

// An analysis whose writes fail halfway leaves the outputs of an earlier run as they were.
TEST(AnalyzeCommand, OutputsCutOffByTheFileSizeLimitKeepTheEarlierOnes) {
    TempDir dir;
    AnalyzeOptions o;
    o.files = {test::demoGamePath()};
    o.out = dir.file("out");
    o.events = o.dumpPositions = true;
    ASSERT_EQ(analyze(o).status, 0);
    const test::Bytes events = test::readFile(dir.file("out/event.txt"));
    const test::Bytes ball = test::readFile(dir.file("out/ball.txt"));
    ASSERT_GT(events.size(), 4096u);
    ASSERT_GT(ball.size(), 4096u);

    Ran r;
    {
        const test::FileSizeLimit limit(4096);
        ASSERT_TRUE(limit.active());
        r = analyze(o);
    }

    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
    EXPECT_EQ(test::readFile(dir.file("out/event.txt")), events);
    EXPECT_EQ(test::readFile(dir.file("out/ball.txt")), ball);
    for (const auto& e : fs::directory_iterator(o.out)) {
        EXPECT_NE(e.path().filename().string().front(), '.') << "left behind: " << e.path();
    }
}

}  // namespace
}  // namespace tessarin::cli
