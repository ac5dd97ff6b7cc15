#include "cli/StatsJson.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "record/ByteOrder.h"
#include "support/LogBuilder.h"

namespace tessarin::test {
namespace {

std::set<std::string> keysOf(const nlohmann::ordered_json& j) {
    std::set<std::string> keys;
    for (const auto& item : j.items()) keys.insert(item.key());
    return keys;
}

// The document as a script reads it; the text must also be exactly what nlohmann would
// write for the same document, layout and numbers alike.
nlohmann::ordered_json statsDoc(const BehaviorAnalyzer& a, const GameDiscipline* d = nullptr) {
    const std::string text = cli::statsJsonText(a, d);
    nlohmann::ordered_json doc = nlohmann::ordered_json::parse(text);
    EXPECT_EQ(text, cli::dumpJson(doc));
    return doc;
}

player_type_t standardType() {
    player_type_t t{};
    t.player_size = hostToNet32(toFixed(0.3));
    t.kickable_margin = hostToNet32(toFixed(0.7));
    return t;
}

// Left #1 passes to left #2, then a corner for the right team.
BehaviorAnalyzer passThenCorner() {
    const std::vector<player_type_t> types = {standardType()};
    auto show = [](int cycle, int mode, double bx, double bvx) {
        ShowBuilder b(cycle);
        b.playmode(mode).team(0, "Lefties", 0).team(1, "Righties", 0).ball(bx, 0, bvx, 0);
        for (int i = 0; i < kPlayerCount; ++i) b.player(i, 1, 0, -44.0 + 4.0 * i, 80.0);
        b.player(0, 1, 0, -10, 0).player(1, 1, 0, 5, 0);
        return b.build();
    };
    BehaviorAnalyzer a;
    a.AnalyzeCycle(show(1, PM_PlayOn, -9.5, 0), types);
    a.AnalyzeCycle(show(2, PM_PlayOn, -8, 1.5), types);
    a.AnalyzeCycle(show(3, PM_PlayOn, 4.5, 0.2), types);
    a.AnalyzeCycle(show(4, 11, 20, 0), types);
    a.AnalyzeCycle(show(5, PM_PlayOn, 20, 0), types);
    return a;
}

TEST(StatsJson, CarriesExactlyTheDocumentedKeys) {
    BehaviorAnalyzer a = passThenCorner();
    ASSERT_EQ(a.ComputeStatistics(), 0);
    const auto doc = statsDoc(a);
    EXPECT_EQ(keysOf(doc),
              (std::set<std::string>{"events", "events_by_kind", "teams", "players", "game_thirds_shares"}));
    ASSERT_EQ(doc["teams"].size(), 2u);
    const std::set<std::string> figures = {"shots",
                                           "successful_shots",
                                           "shot_rate",
                                           "passes",
                                           "successful_passes",
                                           "pass_rate",
                                           "interceptions",
                                           "successful_interceptions",
                                           "interception_rate",
                                           "dribbles",
                                           "successful_dribbles",
                                           "dribble_rate",
                                           "yellow_cards",
                                           "red_cards",
                                           "fouls",
                                           "tackles"};
    std::set<std::string> teamKeys = figures;
    teamKeys.insert({"name", "possession_cycles", "possession_share", "thirds_cycles", "thirds_shares", "offsides",
                     "back_passes", "free_kick_faults", "kick_ins", "corner_kicks", "goal_kicks", "free_kicks"});
    for (const auto& t : doc["teams"]) EXPECT_EQ(keysOf(t), teamKeys);
    std::set<std::string> playerKeys = figures;
    playerKeys.insert({"side", "unum", "mean_position"});
    ASSERT_EQ(doc["players"].size(), 22u);
    for (const auto& p : doc["players"]) EXPECT_EQ(keysOf(p), playerKeys);
    EXPECT_EQ(doc["game_thirds_shares"].size(), 3u);
    EXPECT_EQ(doc["events_by_kind"].size(), 9u);
}

TEST(StatsJson, FiguresComeFromTheAnalysis) {
    BehaviorAnalyzer a = passThenCorner();
    ASSERT_EQ(a.ComputeStatistics(), 0);
    const auto doc = statsDoc(a);
    // INTERCEPT, PASS, RECEIVE; the sentinel is not counted.
    EXPECT_EQ(doc["events"], 3);
    EXPECT_EQ(doc["events_by_kind"]["BB_PASS"], 1);
    EXPECT_EQ(doc["events_by_kind"]["BB_INTERCEPT"], 1);
    EXPECT_EQ(doc["events_by_kind"]["BB_RECEIVE"], 1);
    EXPECT_EQ(doc["events_by_kind"]["BB_NONE"], 0);

    const auto& left = doc["teams"][0];
    const auto& right = doc["teams"][1];
    EXPECT_EQ(left["name"], "Lefties");
    EXPECT_EQ(right["name"], "Righties");
    EXPECT_EQ(left["passes"], 1);
    EXPECT_EQ(left["successful_passes"], 1);
    EXPECT_EQ(left["pass_rate"], 1.0);
    EXPECT_EQ(left["interceptions"], 2);
    // The corner closed the receive as failed.
    EXPECT_EQ(left["successful_interceptions"], 1);
    EXPECT_EQ(left["interception_rate"], 0.5);
    EXPECT_EQ(right["corner_kicks"], 1);
    EXPECT_EQ(left["corner_kicks"], 0);
    EXPECT_EQ(left["thirds_cycles"].size(), 3u);

    const auto& p1 = doc["players"][0];
    EXPECT_EQ(p1["side"], "l");
    EXPECT_EQ(p1["unum"], 1);
    EXPECT_EQ(p1["passes"], 1);
    EXPECT_EQ(p1["mean_position"], (nlohmann::ordered_json{-10.0, 0.0}));
    EXPECT_EQ(doc["players"][1]["interceptions"], 1);
    const auto& r11 = doc["players"][21];
    EXPECT_EQ(r11["side"], "r");
    EXPECT_EQ(r11["unum"], 11);
    EXPECT_EQ(r11["mean_position"], (nlohmann::ordered_json{40.0, 80.0}));
}

TEST(StatsJson, CardsFoulsAndTacklesAreNullUnlessTheGameTellsThem) {
    BehaviorAnalyzer a = passThenCorner();
    ASSERT_EQ(a.ComputeStatistics(), 0);
    const auto unknown = statsDoc(a);
    for (const auto& j : {unknown["teams"][0], unknown["players"][3]}) {
        for (const char* key : {"yellow_cards", "red_cards", "fouls", "tackles"}) EXPECT_TRUE(j[key].is_null()) << key;
    }
    GameDiscipline d;
    d.players[3] = DisciplineFigures{1, 0, 2, 5};
    d.teams[0] = DisciplineFigures{1, 0, 2, 5};
    const auto known = statsDoc(a, &d);
    EXPECT_EQ(known["players"][3]["yellow_cards"], 1);
    EXPECT_EQ(known["players"][3]["red_cards"], 0);
    EXPECT_EQ(known["players"][3]["fouls"], 2);
    EXPECT_EQ(known["players"][3]["tackles"], 5);
    EXPECT_EQ(known["teams"][0]["tackles"], 5);
    EXPECT_TRUE(known["teams"][1]["tackles"].is_null());
    EXPECT_TRUE(known["players"][4]["fouls"].is_null());
}

TEST(StatsJson, FreshAnalyserGivesAnEmptyButCompleteDocument) {
    BehaviorAnalyzer a;
    const auto doc = statsDoc(a);
    EXPECT_EQ(doc["events"], 0);
    EXPECT_EQ(doc["players"].size(), 22u);
    EXPECT_EQ(doc["teams"][0]["possession_share"], 0.0);
    EXPECT_EQ(doc["game_thirds_shares"], (nlohmann::ordered_json{0.0, 0.0, 0.0}));
}

}  // namespace
}  // namespace tessarin::test
