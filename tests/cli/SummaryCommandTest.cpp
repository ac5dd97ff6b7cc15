// The summary and compare commands over folders of games: rows, skipped and broken
// files, a team's view, the CSV and JSON outputs.

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstdio>
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

Ran summary(const SummaryOptions& options) {
    std::ostringstream out, err;
    Ran r;
    r.status = runSummary(options, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

nlohmann::json readJson(const std::string& path) {
    std::ifstream in(path);
    return nlohmann::json::parse(in);
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(SummaryCommand, AFolderOfGamesWithASightLogAndATextFile) {
    TempDir dir;
    fs::create_directory(dir.path() / "games");
    fs::copy_file(test::demoGamePath(), dir.path() / "games" / "demo.rcg");
    fs::copy_file(test::testDataPath("text/v6-short.rcg.gz"), dir.path() / "games" / "v6.rcg.gz");
    dir.write("games/view.slg", test::sightLog({1, 2, 3}));
    dir.write("games/notes.rcg", test::Bytes{'n', 'o', 't', 'e', 's', '\n'});

    SummaryOptions o;
    o.paths = {(dir.path() / "games").string()};
    o.json = dir.file("summary.json");
    o.csv = dir.file("summary.csv");
    o.jobs = 2;
    const Ran r = summary(o);
    EXPECT_EQ(r.status, 1) << "a file could not be read";
    EXPECT_NE(r.err.find("skipped sight log"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("1 game(s) could not be read"), std::string::npos) << r.err;

    const auto doc = readJson(o.json);
    ASSERT_EQ(doc["games"].size(), 3u);
    const auto& demo = doc["games"][0];
    EXPECT_EQ(fs::path(demo["file"].get<std::string>()).filename(), "demo.rcg");
    EXPECT_EQ(demo["left"], "HELIOS_left");
    EXPECT_EQ(demo["right"], "HELIOS_right");
    EXPECT_EQ(demo["left_goals"], 4);
    EXPECT_EQ(demo["right_goals"], 1);
    EXPECT_TRUE(demo["left_penalty_goals"].is_null());
    EXPECT_EQ(demo["cycles"], 8000);
    EXPECT_EQ(demo["time"], "");
    EXPECT_EQ(demo["error"], "");
    EXPECT_EQ(demo["winner"], "left");
    const auto& notes = doc["games"][1];
    EXPECT_EQ(fs::path(notes["file"].get<std::string>()).filename(), "notes.rcg");
    EXPECT_NE(notes["error"].get<std::string>().find("not a game log"), std::string::npos);
    EXPECT_TRUE(notes["left"].is_null());
    EXPECT_EQ(doc["games"][2]["left"], "HELIOS_L");

    // One aggregate per team, with the fixed names.
    ASSERT_EQ(doc["teams"].size(), 4u);
    for (const char* key : {"team", "games", "wins", "draws", "losses", "points", "goals_for", "goals_against",
                            "goal_difference_mean", "goal_difference_ci95", "win_rate", "win_rate_ci95"}) {
        EXPECT_TRUE(doc["teams"][0].contains(key)) << key;
    }
    // The table names the broken file and its reason.
    EXPECT_NE(r.out.find("notes.rcg"), std::string::npos);
    EXPECT_NE(r.out.find("HELIOS_left"), std::string::npos);

    // The CSV holds the same rows after its header.
    const std::string csv = readText(o.csv);
    EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 4);
    EXPECT_EQ(
        csv.rfind("file,time,format,left,right,left_goals,right_goals,left_penalty_goals,right_penalty_goals,cycles",
                  0),
        0u);
}

TEST(SummaryCommand, AGameReadOnlyInPartEndsWithItsOwnStatus) {
    TempDir dir;
    fs::create_directory(dir.path() / "games");
    fs::copy_file(test::demoGamePath(), dir.path() / "games" / "demo.rcg");
    // The compressed game cut off past its first shows: what was read is summarised, with a warning.
    std::string cut = readText(test::testDataPath("text/v6-short.rcg.gz"));
    cut.resize(cut.size() * 3 / 5);
    dir.write("games/cut.rcg.gz", test::Bytes(cut.begin(), cut.end()));

    SummaryOptions o;
    o.paths = {(dir.path() / "games").string()};
    o.json = dir.file("summary.json");
    const Ran r = summary(o);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find("1 game(s) were read only in part (exit status 2)"), std::string::npos) << r.err;
    const auto doc = readJson(o.json);
    ASSERT_EQ(doc["games"].size(), 2u);
    EXPECT_EQ(doc["games"][0]["error"], "");
    EXPECT_NE(doc["games"][0]["warning"].get<std::string>(), "");
    EXPECT_EQ(doc["games"][1]["warning"], "") << "the whole demo game was read";

    // A game that cannot be read at all still outranks one read in part.
    dir.write("games/notes.rcg", test::Bytes{'n', 'o', 't', 'e', 's', '\n'});
    EXPECT_EQ(summary(o).status, 1);
}

TEST(SummaryCommand, ATeamsViewOfItsGames) {
    TempDir dir;
    fs::copy_file(test::demoGamePath(), dir.path() / "a.rcg");
    fs::copy_file(test::demoGamePath(), dir.path() / "b.rcg");
    fs::copy_file(test::testDataPath("text/v4-short.rcg"), dir.path() / "c.rcg");
    SummaryOptions o;
    o.paths = {dir.path().string()};
    o.team = "HELIOS_right";
    o.json = dir.file("team.json");
    const Ran r = summary(o);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto doc = readJson(o.json);
    ASSERT_EQ(doc["games"].size(), 3u);
    const auto& first = doc["games"][0];
    EXPECT_EQ(first["team"], "HELIOS_right");
    EXPECT_EQ(first["opponent"], "HELIOS_left");
    EXPECT_EQ(first["side"], "r");
    EXPECT_EQ(first["goals_for"], 1);
    EXPECT_EQ(first["goals_against"], 4);
    EXPECT_EQ(first["result"], "loss");
    EXPECT_TRUE(first.contains("our_possession"));
    EXPECT_TRUE(first.contains("opp_passes"));
    EXPECT_EQ(doc["games"][2]["result"], "skipped") << "a game the team did not play";

    ASSERT_EQ(doc["teams"].size(), 1u);
    const auto& team = doc["teams"][0];
    EXPECT_EQ(team["games"], 2);
    EXPECT_EQ(team["losses"], 2);
    EXPECT_EQ(team["points"], 0);
    EXPECT_EQ(team["goal_difference_mean"], -3.0);
    EXPECT_EQ(team["goal_difference_ci95"], nlohmann::json::array({-3.0, -3.0}));
    EXPECT_EQ(team["win_rate"], 0.0);
    EXPECT_NE(r.out.find("loss"), std::string::npos);
    EXPECT_NE(r.out.find("skipped"), std::string::npos);
}

TEST(SummaryCommand, AProgressLineOnlyWhenAskedFor) {
    SummaryOptions o;
    o.paths = {test::testDataPath("text/v6-short.rcg.gz"), test::testDataPath("text/v4-short.rcg")};
    const Ran quiet = summary(o);
    ASSERT_EQ(quiet.status, 0) << quiet.err;
    EXPECT_EQ(quiet.err.find('\r'), std::string::npos) << quiet.err;
    o.progress = true;
    const Ran shown = summary(o);
    EXPECT_NE(shown.err.find("\r  2/2 games"), std::string::npos) << shown.err;
    EXPECT_NE(shown.err.find(" s left"), std::string::npos) << shown.err;
    EXPECT_EQ(shown.out, quiet.out) << "the progress goes to stderr only";
}

// Runs Python's csv module over a file and returns its rows as JSON, or nothing when
// there is no Python.
std::optional<nlohmann::json> readWithPython(const std::string& csvPath) {
    const std::string command =
        "python3 -c 'import csv, json, sys; print(json.dumps(list(csv.reader(open(sys.argv[1], "
        "newline=\"\", encoding=\"latin-1\")))))' '" +
        csvPath + "' 2>/dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return std::nullopt;
    std::string text;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) text.append(buffer, n);
    if (::pclose(pipe) != 0) return std::nullopt;
    return nlohmann::json::parse(text);
}

TEST(SummaryCommand, PythonsCsvModuleReadsBackEveryField) {
    TempDir dir;
    test::V3LogBuilder log;
    log.playerType(0, 0.3, 0.7).teams("Comma,Team", 2, "Say \"hi\"", 3).playMode(3).show(5);
    dir.write("odd-names.rcg", log.bytes());
    dir.write("broken, \"quoted\".rcg", test::Bytes{'x'});
    SummaryOptions o;
    o.paths = {dir.path().string()};
    o.csv = dir.file("rows.csv");
    o.json = dir.file("rows.json");
    const Ran r = summary(o);
    EXPECT_EQ(r.status, 1);

    const auto rows = readWithPython(o.csv);
    if (!rows) GTEST_SKIP() << "python3 is not available";
    const auto doc = readJson(o.json);
    ASSERT_EQ(rows->size(), 3u);
    const auto& header = (*rows)[0];
    for (std::size_t i = 1; i < rows->size(); ++i) {
        const auto& row = (*rows)[i];
        ASSERT_EQ(row.size(), header.size());
        const auto& expected = doc["games"][i - 1];
        for (std::size_t c = 0; c < header.size(); ++c) {
            const auto& value = expected[header[c].get<std::string>()];
            const std::string field = row[c];
            if (value.is_null()) {
                EXPECT_EQ(field, "") << header[c];
            } else if (value.is_string()) {
                EXPECT_EQ(field, value.get<std::string>()) << header[c];
            } else {
                EXPECT_DOUBLE_EQ(std::stod(field), value.get<double>()) << header[c];
            }
        }
    }
    EXPECT_EQ((*rows)[2][3], "Comma,Team");
    EXPECT_EQ((*rows)[2][4], "Say \"hi\"");
    EXPECT_EQ(fs::path((*rows)[1][0].get<std::string>()).filename(), "broken, \"quoted\".rcg");
}

TEST(SummaryCommand, TeamNamesWithAnyBytesReachNoTerminalAsControls) {
    TempDir dir;
    test::V3LogBuilder log;
    log.playerType(0, 0.3, 0.7).teams("\x1b[2J\x01", 1, "\xff\xfe", 0).playMode(3).show(5);
    dir.write("odd.rcg", log.bytes());
    SummaryOptions o;
    o.paths = {dir.path().string()};
    o.json = dir.file("odd.json");
    const Ran r = summary(o);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find('\x1b'), std::string::npos);
    EXPECT_NE(r.out.find("?[2J?"), std::string::npos) << r.out;
    // The JSON stays valid UTF-8: bytes that are not become U+FFFD.
    const auto doc = readJson(o.json);
    EXPECT_EQ(doc["games"][0]["left"], "\x1b[2J\x01");
    EXPECT_EQ(doc["games"][0]["right"], "\xef\xbf\xbd\xef\xbf\xbd");
}

Ran compare(const CompareOptions& options) {
    std::ostringstream out, err;
    Ran r;
    r.status = runCompare(options, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

TEST(CompareCommand, ABatchAgainstItselfAndAgainstAList) {
    TempDir dir;
    fs::create_directory(dir.path() / "a");
    // Two different games of HELIOS_L, so that the batch has a spread.
    fs::copy_file(test::testDataPath("text/v6-short.rcg.gz"), dir.path() / "a" / "one.rcg.gz");
    fs::copy_file(test::testDataPath("text/v4-short.rcg"), dir.path() / "a" / "two.rcg");
    fs::copy_file(test::testDataPath("text/v5-short.rcg.gz"), dir.path() / "a" / "three.rcg.gz");
    CompareOptions o;
    o.a = o.b = (dir.path() / "a").string();
    o.team = "HELIOS_L";
    o.json = dir.file("cmp.json");
    const Ran r = compare(o);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto doc = readJson(o.json);
    EXPECT_EQ(doc["games_a"], 3);
    EXPECT_EQ(doc["games_b"], 3);
    ASSERT_EQ(doc["figures"][0]["name"], "goal_difference");
    for (const auto& figure : doc["figures"]) {
        ASSERT_TRUE(figure["p_value"].is_number()) << figure["name"];
        EXPECT_NEAR(figure["p_value"].get<double>(), 1.0, 1e-12) << figure["name"];
        EXPECT_EQ(figure["difference"], 0.0);
    }
    EXPECT_NE(r.out.find("does not differ from A at the 5 % level"), std::string::npos) << r.out;

    // B as a list of paths, relative to the list's folder, with a comment.
    std::ofstream(dir.file("b.txt")) << "# the second night\na/one.rcg.gz\n\n" << test::demoGamePath() << "\n";
    o.b = dir.file("b.txt");
    o.team = "HELIOS_L";
    const Ran listed = compare(o);
    EXPECT_EQ(listed.status, 0) << listed.err;
    EXPECT_EQ(readJson(o.json)["games_b"], 1);

    o.team = "Nobody";
    EXPECT_EQ(compare(o).status, 1);
}

}  // namespace
}  // namespace tessarin::cli
