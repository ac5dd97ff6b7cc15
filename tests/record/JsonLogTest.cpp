// Reading the server's JSON game logs: the same records and companions as the text log
// of the same game, detection by content, and damaged input.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "record/LogFile.h"
#include "record/LogPlayer.h"
#include "support/FakeHost.h"
#include "support/LogBuilder.h"

namespace tessarin {
namespace {

using test::FakeHost;
using test::TempDir;
using test::writeGzip;
using test::writeText;

struct Loaded {
    FakeHost host;
    LogPlayer player{host};
    std::vector<cycle_info_t> records;
    std::vector<std::optional<CycleCompanion>> companions;
    explicit Loaded(const std::string& path, const StoreBudget& budget = {}) {
        player.setBudget(budget);
        player.command(kCmdLoad, path);
        player.waitForParser();
        records = player.withStore([](const std::vector<cycle_info_t>& f) { return f; });
        for (std::size_t i = 0; i < records.size(); ++i) companions.push_back(player.companionAt(i));
    }
    std::string warning() const { return player.loadWarning(); }
};

// One player's values, written in both forms below.
struct PlayerValues {
    char side;
    int unum;
    int type;
    unsigned state;
    double x, y, body, neck;
    bool pointing;
    char attentionSide;  // 0 for none
    int attentionUnum;
    int counter;  // every counter is counter + its position
};

PlayerValues playerValues(int i, int cycle) {
    const char side = i < kPlayersPerSide ? 'l' : 'r';
    const int unum = i % kPlayersPerSide + 1;
    // A goalie with a yellow card, a red-carded player, a foul charged.
    const unsigned state = i == 0 ? 0x40009u : i == 5 ? 0x80001u : i == 14 ? 0x20001u : 0x1u;
    return PlayerValues{side,    unum,     i % 3, state,      -i - 0.25 * cycle,
                        i * 0.5, 90.5 - i, -45,   i % 4 == 0, i == 3 ? 'r' : '\0',
                        7,       cycle + i};
}

// A show as the JSON log writes it (no focus point: the server's JSON log leaves it out).
std::string jsonShow(int cycle, double ballX) {
    std::ostringstream s;
    s << "{\"show\":{\"time\":" << cycle << ",\"ball\":{\"x\":" << ballX
      << ",\"y\":0,\"vx\":0.5,\"vy\":-0.25},\"players\":[";
    for (int i = 0; i < kPlayerCount; ++i) {
        const PlayerValues p = playerValues(i, cycle);
        if (i > 0) s << ',';
        s << "{\"side\":\"" << p.side << "\",\"unum\":" << p.unum << ",\"type\":" << p.type << ",\"state\":" << p.state
          << ",\"x\":" << p.x << ",\"y\":" << p.y << ",\"vx\":0,\"vy\":0,\"body\":" << p.body << ",\"neck\":" << p.neck;
        if (p.pointing) s << ",\"px\":10.5,\"py\":-3";
        s << ",\"vq\":\"h\",\"vw\":180,\"stamina\":7000.5,\"effort\":0.9,\"recovery\":1,\"capacity\":130000";
        if (p.attentionSide != 0) s << ",\"fside\":\"" << p.attentionSide << "\",\"fnum\":" << p.attentionUnum;
        static constexpr const char* kCounters[] = {"kick",   "dash",      "turn",        "catch",
                                                    "move",   "turn_neck", "change_view", "say",
                                                    "tackle", "pointto",   "attentionto", "change_focus"};
        for (int c = 0; c < 12; ++c) s << ",\"" << kCounters[c] << "\":" << p.counter + c;
        s << '}';
    }
    s << "]}}";
    return s.str();
}

// The same show as a version-6 text log writes it, without its focus point.
std::string textShow(int cycle, double ballX) {
    std::ostringstream s;
    s << "(show " << cycle << " ((b) " << ballX << " 0 0.5 -0.25)";
    for (int i = 0; i < kPlayerCount; ++i) {
        const PlayerValues p = playerValues(i, cycle);
        s << " ((" << p.side << ' ' << p.unum << ") " << p.type << " 0x" << std::hex << p.state << std::dec << ' '
          << p.x << ' ' << p.y << " 0 0 " << p.body << ' ' << p.neck;
        if (p.pointing) s << " 10.5 -3";
        s << " (v h 180) (s 7000.5 0.9 1 130000)";
        if (p.attentionSide != 0) s << " (f " << p.attentionSide << ' ' << p.attentionUnum << ')';
        s << " (c";
        for (int c = 0; c < 12; ++c) s << ' ' << p.counter + c;
        s << "))";
    }
    s << ')';
    return s.str();
}

const char* const kTile[] = {"8 8 2 1",  "a c #FF0000", "b c None", "aaaaaaaa", "abababab", "aaaaaaaa",
                             "bbbbbbbb", "aaaaaaaa",    "abababab", "aaaaaaaa", "bbbbbbbb"};

// The same game in both forms: parameters, types, a logo tile, teams, play modes,
// messages, and `shows` shows.
struct Twins {
    std::string json;
    std::string text;
};

Twins twinGame(int shows) {
    Twins t;
    std::vector<std::string> json = {
        R"({"version":"19.0.0"})",
        R"({"timestamp":"2026-12-10T12:00:00+0000"})",
        R"({"server_param":{"goal_width":14.02,"player_size":0.3,"control_radius":2,"kickable_margin":0.7,)"
        R"("ball_size":0.085,"simulator_step":100,"send_step":150,"half_time":300,"use_offside":true,)"
        R"("game_log_dir":"./","landmark_file":"~/.rcssserver-landmark.xml","wind_none":false})"
        "}",
        R"({"player_param":{"player_types":18,"subs_max":3,"random_seed":1234567,"allow_mult_default_type":false}})",
        R"({"player_type":{"id":0,"player_speed_max":1.05,"stamina_inc_max":45,"player_decay":0.4,)"
        R"("inertia_moment":5,"dash_power_rate":0.006,"player_size":0.3,"kickable_margin":0.7,"kick_rand":0.1,)"
        R"("extra_stamina":50,"effort_max":1,"effort_min":0.6,"kick_power_rate":0.027,"unum_far_length":20}})",
        R"({"player_type":{"id":1,"player_speed_max":1.2,"stamina_inc_max":40.5,"player_decay":0.45,)"
        R"("inertia_moment":6.25,"dash_power_rate":0.0055,"player_size":0.3,"kickable_margin":0.75,)"
        R"("kick_rand":0.15,"extra_stamina":62.5,"effort_max":0.95,"effort_min":0.55}})",
    };
    std::vector<std::string> text = {
        "(server_param (goal_width 14.02) (player_size 0.3) (control_radius 2) (kickable_margin 0.7) "
        "(ball_size 0.085) (simulator_step 100) (send_step 150) (half_time 300) (use_offside true) "
        "(game_log_dir \"./\") (landmark_file \"~/.rcssserver-landmark.xml\") (wind_none false))",
        "(player_param (player_types 18) (subs_max 3) (random_seed 1234567) (allow_mult_default_type false))",
        "(player_type (id 0) (player_speed_max 1.05) (stamina_inc_max 45) (player_decay 0.4) (inertia_moment 5) "
        "(dash_power_rate 0.006) (player_size 0.3) (kickable_margin 0.7) (kick_rand 0.1) (extra_stamina 50) "
        "(effort_max 1) (effort_min 0.6) (kick_power_rate 0.027) (unum_far_length 20))",
        "(player_type (id 1) (player_speed_max 1.2) (stamina_inc_max 40.5) (player_decay 0.45) "
        "(inertia_moment 6.25) (dash_power_rate 0.0055) (player_size 0.3) (kickable_margin 0.75) "
        "(kick_rand 0.15) (extra_stamina 62.5) (effort_max 0.95) (effort_min 0.55))",
    };
    std::string tileJson = R"({"team_graphic":{"side":"l","x":1,"y":2,"xpm":[)";
    std::string tileText = "(team_graphic_l (1 2";
    for (const char* line : kTile) {
        tileJson += std::string(tileJson.back() == '[' ? "" : ",") + '"' + line + '"';
        tileText += std::string(" \"") + line + '"';
    }
    json.push_back(tileJson + "]}}");
    text.push_back(tileText + "))");
    for (int cycle = 1; cycle <= shows; ++cycle) {
        if (cycle == 1 || cycle == shows / 2) {
            const char* mode = cycle == 1 ? "kick_off_l" : "play_on";
            json.push_back(R"({"playmode":{"time":)" + std::to_string(cycle) + R"(,"mode":")" + mode + "\"}}");
            text.push_back("(playmode " + std::to_string(cycle) + ' ' + mode + ')');
        }
        if (cycle == 1 || cycle == shows - 1) {
            const int score = cycle == 1 ? 0 : 1;
            json.push_back(R"({"team":{"time":)" + std::to_string(cycle) + R"(,"l":{"name":"Left","score":)" +
                           std::to_string(score) + R"(},"r":{"name":"RightTeamNameOf20","score":0}}})");
            text.push_back("(team " + std::to_string(cycle) + " Left RightTeamNameOf20 " + std::to_string(score) +
                           " 0)");
        }
        if (cycle % 3 == 0) {
            const std::string message = "Recv Left_" + std::to_string(cycle % 11 + 1) + ": (say \\\"go\\\")";
            json.push_back(R"({"msg":{"time":)" + std::to_string(cycle) + R"(,"board":1,"message":")" + message +
                           "\"}}");
            text.push_back("(msg " + std::to_string(cycle) + " 1 \"Recv Left_" + std::to_string(cycle % 11 + 1) +
                           ": (say \"go\")\")");
        }
        json.push_back(jsonShow(cycle, cycle * 0.5));
        text.push_back(textShow(cycle, cycle * 0.5));
    }
    t.json = "[\n";
    for (std::size_t i = 0; i < json.size(); ++i) t.json += json[i] + (i + 1 < json.size() ? ",\n" : "\n");
    t.json += "]\n";
    t.text = "ULG6\n";
    for (const std::string& line : text) t.text += line + '\n';
    return t;
}

void expectSameGame(const Loaded& a, const Loaded& b) {
    ASSERT_EQ(a.records.size(), b.records.size());
    for (std::size_t i = 0; i < a.records.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(a.records[i].cycle, b.records[i].cycle);
        ASSERT_EQ(a.records[i].data, b.records[i].data);
        ASSERT_EQ(a.records[i].messages, b.records[i].messages);
        ASSERT_EQ(a.companions[i].has_value(), b.companions[i].has_value());
        if (a.companions[i]) {
            EXPECT_TRUE(a.companions[i]->samePlayers(*b.companions[i]));
        }
    }
    EXPECT_EQ(a.player.server_parameters().bytes, b.player.server_parameters().bytes);
    EXPECT_EQ(a.player.player_parameters().bytes, b.player.player_parameters().bytes);
    const auto typesA = a.player.player_types();
    const auto typesB = b.player.player_types();
    ASSERT_EQ(typesA.size(), typesB.size());
    for (std::size_t i = 0; i < typesA.size(); ++i) {
        EXPECT_EQ(std::memcmp(&typesA[i], &typesB[i], sizeof(player_type_t)), 0) << "type " << i;
    }
    EXPECT_EQ(a.player.teamLogos(), b.player.teamLogos());
}

TEST(JsonLog, ReadsTheSameGameAsItsTextTwin) {
    TempDir dir;
    const Twins twins = twinGame(40);
    Loaded json(writeText(dir, "game.json", twins.json));
    Loaded text(writeText(dir, "game.rcg", twins.text));
    EXPECT_EQ(json.player.format(), LogFormat::Json);
    EXPECT_STREQ(logFormatName(json.player.format()), "json");
    EXPECT_EQ(json.warning(), "");
    EXPECT_EQ(json.player.parseResult(), std::optional<bool>(true));
    EXPECT_FALSE(json.player.inputDamaged());
    ASSERT_EQ(json.records.size(), 40u);
    expectSameGame(json, text);

    // What the twins agree on is what was written.
    const ShowState last = toHost(json.records.back().show());
    EXPECT_EQ(last.team[0].name, "Left");
    EXPECT_EQ(last.team[0].score, 1);
    EXPECT_EQ(last.team[1].name, "RightTeamNameOf2");  // 16 characters kept
    EXPECT_EQ(last.playmode, PM_PlayOn);
    EXPECT_EQ(last.player[0].mode, 0x9);  // the low 16 bits of the state
    EXPECT_NEAR(last.player[0].body_angle, 90.5 * 3.14159265 / 180, 1e-4);
    EXPECT_NE(json.records[2].messages.find("Recv Left_4: (say \"go\")"), std::string::npos);
    const PlayerCompanion& goalie = json.companions.back()->players[0];
    EXPECT_EQ(goalie.card(), Card::Yellow);
    EXPECT_EQ(json.companions.back()->players[5].card(), Card::Red);
    EXPECT_EQ(goalie.counterCount, 4);
    EXPECT_TRUE(goalie.has(PlayerCompanion::kPointing));
    EXPECT_TRUE(goalie.has(PlayerCompanion::kCapacity));
    EXPECT_EQ(json.companions.back()->players[3].attentionSide, 'r');
    EXPECT_EQ(json.player.teamLogos().tiles[0].size(), 1u);
    EXPECT_NEAR(toHost(json.player.player_types()[1]).player_speed_max, 1.2, 1e-4);

    // Compressed, it reads the same.
    Loaded gz(writeGzip(dir, "game.json.gz", twins.json));
    EXPECT_TRUE(gz.player.compressed());
    EXPECT_EQ(gz.player.format(), LogFormat::Json);
    expectSameGame(gz, json);
}

TEST(JsonLog, AServerGameReadsAsTheTextLogOfTheSameGame) {
    // Two runs of the same short game with the server's noise fixed, one logged as JSON,
    // one as version 6 (tests/data/json/README.md).
    Loaded json(test::testDataPath("json/game.json.gz"));
    Loaded text(test::testDataPath("json/game-v6.rcg.gz"));
    EXPECT_EQ(json.player.format(), LogFormat::Json);
    ASSERT_EQ(json.records.size(), 100u);
    ASSERT_EQ(json.records.size(), text.records.size());
    // The server quotes its texts as C++ streams do, control characters and all, and
    // one of its messages carries bytes past its end: they are kept, as '?' where they
    // are no UTF-8.
    EXPECT_NE(json.warning().find("that were not UTF-8"), std::string::npos) << json.warning();
    EXPECT_EQ(json.player.parseResult(), std::optional<bool>(true));
    for (std::size_t i = 0; i < json.records.size(); ++i) {
        SCOPED_TRACE(i);
        ASSERT_EQ(json.records[i].cycle, text.records[i].cycle);
        ASSERT_EQ(json.records[i].data, text.records[i].data);
        ASSERT_TRUE(json.companions[i] && text.companions[i]);
        // The JSON log leaves out the focus point that the text log writes.
        CycleCompanion withoutFocus = *text.companions[i];
        for (PlayerCompanion& p : withoutFocus.players) {
            p.parts &= static_cast<std::uint8_t>(~PlayerCompanion::kFocusPoint);
            p.focusDist = p.focusDir = 0;
        }
        ASSERT_TRUE(json.companions[i]->samePlayers(withoutFocus));
    }
    // The received messages of a cycle arrive in any order, and the server copies each
    // without its terminating NUL, so bytes of an earlier message may trail it: the two
    // runs agree on how many each cycle has, not on their texts.
    const auto count = [](const std::string& messages) {
        std::size_t n = 0;
        for (std::size_t at = messages.find(kMessageSeparator); at != std::string::npos;
             at = messages.find(kMessageSeparator, at + kMessageSeparator.size())) {
            ++n;
        }
        return n;
    };
    std::size_t messages = 0;
    for (std::size_t i = 0; i < json.records.size(); ++i) {
        EXPECT_EQ(count(json.records[i].messages), count(text.records[i].messages)) << i;
        messages += count(json.records[i].messages);
    }
    EXPECT_GT(messages, 1000u);
    EXPECT_EQ(json.player.server_parameters().bytes, text.player.server_parameters().bytes);
    EXPECT_EQ(json.player.player_parameters().bytes, text.player.player_parameters().bytes);
    ASSERT_EQ(json.player.player_types().size(), 18u);
    for (std::size_t i = 0; i < 18; ++i) {
        EXPECT_EQ(std::memcmp(&json.player.player_types()[i], &text.player.player_types()[i], sizeof(player_type_t)),
                  0);
    }
    // The cards the monitor gave at half time.
    const CycleCompanion& last = *json.companions.back();
    EXPECT_EQ(last.players[kPlayersPerSide + 2].card(), Card::Yellow);
    EXPECT_EQ(last.players[3].card(), Card::Red);
}

TEST(JsonLog, IsKnownByItsContentNotItsName) {
    TempDir dir;
    const Twins twins = twinGame(3);
    // The server's layout, the same with other white space, and under any name.
    std::string spaced = twins.json;
    spaced.replace(0, 3, "  \r\n[ \n\t{ ");
    for (const auto& [name, content] : {std::pair{"a.rcg", twins.json}, std::pair{"b.txt", spaced}}) {
        SCOPED_TRACE(name);
        Loaded game(writeText(dir, name, content));
        EXPECT_EQ(game.player.format(), LogFormat::Json);
        EXPECT_EQ(game.records.size(), 3u);
    }
    // JSON that is no game log, and a log whose first element is not the version, are not read.
    for (const std::string& other : {std::string("[1, 2, 3]\n"), std::string("{\"version\":\"19\"}\n"),
                                     std::string("[{\"versio\":1}]"), std::string("[{ \"version\"")}) {
        SCOPED_TRACE(other);
        FakeHost host;
        LogPlayer player(host);
        const bool loaded = player.command(kCmdLoad, writeText(dir, "other.json", other));
        if (other == "[{ \"version\"") {
            // The opening alone is a log that ends before its first element is complete.
            EXPECT_TRUE(loaded);
            player.waitForParser();
            EXPECT_EQ(player.size(), 0u);
            EXPECT_TRUE(player.inputDamaged());
        } else {
            EXPECT_FALSE(loaded);
            EXPECT_EQ(player.loadOutcome(), LoadOutcome::UnknownFormat);
        }
    }
}

TEST(JsonLog, FieldsOfTheMonitorFormAndNewerServersAreKeptOrSkipped) {
    TempDir dir;
    // The focus point (as the monitor form writes it), stoppage time, members and
    // elements no record holds, and a team without a name.
    std::string show = jsonShow(5, 1);
    show.replace(show.find("\"capacity\""), 0, R"("fdist":2.5,"fdir":-30,"future":{"a":[1,{"b":2}]},)");
    show.replace(show.find("\"time\":5"), 8, R"("time":5,"stime":3)");
    const std::string log = R"([{"version":"20.0.0"},)"
                            "\n"
                            R"({"team":{"time":0,"l":{"name":null,"score":0},"r":{"name":"R","score":2,)"
                            R"("pen_score":1,"pen_miss":2}}},)"
                            "\n"
                            R"({"draw":{"line":[1,2,3]}},)"
                            "\n" +
                            show + "\n]\n";
    Loaded game(writeText(dir, "newer.json", log));
    ASSERT_EQ(game.records.size(), 1u);
    EXPECT_EQ(game.player.parseResult(), std::optional<bool>(true));
    EXPECT_NE(game.warning().find("skipped 1 element of an unknown kind"), std::string::npos) << game.warning();
    const PlayerCompanion& p = game.companions[0]->players[0];
    EXPECT_TRUE(p.has(PlayerCompanion::kFocusPoint));
    EXPECT_FLOAT_EQ(p.focusDist, 2.5f);
    EXPECT_FLOAT_EQ(p.focusDir, -30.f);
    EXPECT_FALSE(game.companions[0]->players[1].has(PlayerCompanion::kFocusPoint));
    const ShowState s = toHost(game.records[0].show());
    EXPECT_EQ(s.time, 5);
    EXPECT_EQ(s.team[0].name, "");
    EXPECT_EQ(s.team[1].name, "R");
    EXPECT_EQ(s.team[1].score, 2);
}

// The log of twinGame(6) with one show replaced.
std::string withBadShow(const std::string& bad, int replacedCycle = 4) {
    std::string log = twinGame(6).json;
    const std::string good = jsonShow(replacedCycle, replacedCycle * 0.5);
    const std::size_t at = log.find(good);
    log.replace(at, good.size(), bad);
    return log;
}

TEST(JsonLog, ADamagedElementIsSkippedWithAWarningAndTheRestIsRead) {
    const std::string show = jsonShow(4, 2);
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string s = show;
        s.replace(s.find(from), from.size(), to);
        return s;
    };
    const struct {
        const char* what;
        std::string element;
        const char* says;
    } cases[] = {
        {"a string for a number", replaced(",\"y\":0,\"vx\":0,", ",\"y\":\"left\",\"vx\":0,"),
         "a player's y must be a number"},
        {"a huge number", replaced("\"vx\":0.5", "\"vx\":1e400"), "number overflow"},
        {"out of the record's range", replaced("\"vx\":0.5", "\"vx\":1e30"), "the ball's vx must be"},
        {"a big integer", replaced("\"state\":1", "\"state\":123456789012345678901234567890"), "state"},
        {"a negative count", replaced("\"kick\":", "\"kick\":-"), "kick must be a count"},
        {"uniform number 12", replaced("\"unum\":2", "\"unum\":12"), "uniform number"},
        {"no time", replaced("\"time\":4,", ""), "a show needs a time"},
        {"players not a list", replaced("\"players\":[", "\"players\":{\"p\":[") + "}", "must be a list"},
        {"a scalar element", "42", "not an object"},
        {"two records in one", show.substr(0, show.size() - 1) + ",\"msg\":{}}", "one record"},
        {"a syntax error", replaced(",\"vy\":-0.25", ",\"vy\"-0.25"), "syntax error"},
        {"deep nesting", std::string(5000, '[') + std::string(5000, ']'), "nested deeper"},
        {"a missing brace", show.substr(0, show.size() - 1), "syntax error"},
        {"a NUL byte", replaced("\"vy\":-0.25", std::string("\"vy\":\0", 6)), "syntax error"},
        {"a 1 MB element", "{\"show\":{\"time\":4,\"pad\":\"" + std::string(1 << 20, 'a') + "\"}}", "longer than"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Loaded game(writeText(dir, "bad.json", withBadShow(c.element)));
        ASSERT_EQ(game.records.size(), 5u);  // every show but the damaged one
        EXPECT_EQ(game.records[3].cycle, 5);
        EXPECT_NE(game.warning().find("skipped 1 element that could not be read"), std::string::npos) << game.warning();
        EXPECT_NE(game.warning().find(c.says), std::string::npos) << game.warning();
        EXPECT_EQ(game.player.parseResult(), std::optional<bool>(false));
        EXPECT_TRUE(game.player.inputDamaged());
    }
}

TEST(JsonLog, ACutLogKeepsEveryCompleteElementAndSaysWhereItEnds) {
    TempDir dir;
    const std::string log = twinGame(6).json;
    const std::string lastShow = jsonShow(6, 3);
    const std::size_t at = log.find(lastShow);
    {
        // Inside the last show: the show is dropped as torn.
        Loaded game(writeText(dir, "cut.json", log.substr(0, at + lastShow.size() / 2)));
        EXPECT_EQ(game.records.size(), 5u);
        EXPECT_TRUE(game.player.droppedTornRecord());
        EXPECT_NE(game.warning().find("ends inside an element"), std::string::npos) << game.warning();
        EXPECT_TRUE(game.player.inputDamaged());
    }
    {
        // After it, before the closing bracket (a server that stopped without closing its log).
        Loaded game(writeText(dir, "open.json", log.substr(0, at + lastShow.size())));
        EXPECT_EQ(game.records.size(), 6u);
        EXPECT_FALSE(game.player.droppedTornRecord());
        EXPECT_NE(game.warning().find("ends before its closing ']'"), std::string::npos) << game.warning();
        EXPECT_TRUE(game.player.inputDamaged());
    }
    {
        // Compressed and cut: what inflated is read.
        const std::string gz = [&] {
            std::ifstream in(writeGzip(dir, "g.json.gz", log), std::ios::binary);
            return std::string(std::istreambuf_iterator<char>(in), {});
        }();
        Loaded game(writeText(dir, "cut.json.gz", gz.substr(0, gz.size() * 3 / 4)));
        EXPECT_LT(game.records.size(), 6u);
        EXPECT_TRUE(game.player.inputDamaged());
        EXPECT_NE(game.warning(), "");
    }
    {
        // Text after the closing bracket is not read, and loses nothing of the game.
        Loaded game(writeText(dir, "tail.json", log + "[{\"show\":{}}]\n"));
        EXPECT_EQ(game.records.size(), 6u);
        EXPECT_NE(game.warning().find("after the log's closing ']'"), std::string::npos) << game.warning();
        EXPECT_FALSE(game.player.inputDamaged());
    }
}

TEST(JsonLog, TextsWithRawControlBytesOrBrokenUtf8AreKept) {
    // The server quotes texts without escaping control characters, and a client's
    // message need not be UTF-8.
    TempDir dir;
    std::string log = twinGame(4).json;
    const std::string message = "Recv Left_4: (say \\\"go\\\")";
    const std::size_t at = log.find(message);
    log.replace(at, message.size(), "Recv Left_4: a\tb\nc \xc3\xa9 \xff\xc3 end");
    Loaded game(writeText(dir, "raw.json", log));
    ASSERT_EQ(game.records.size(), 4u);
    EXPECT_NE(game.records[2].messages.find("Recv Left_4: a\tb c \xc3\xa9 ?? end"), std::string::npos)
        << game.records[2].messages;
    EXPECT_NE(game.warning().find("replaced 2 bytes"), std::string::npos) << game.warning();
    EXPECT_EQ(game.player.parseResult(), std::optional<bool>(true));
}

TEST(JsonLog, ReadingStopsAtTheStoreBudget) {
    TempDir dir;
    StoreBudget budget;
    budget.records = 10;
    Loaded game(writeText(dir, "long.json", twinGame(50).json), budget);
    EXPECT_EQ(game.records.size(), 10u);
    EXPECT_TRUE(game.player.overBudget());
    EXPECT_FALSE(game.player.inputDamaged());
    EXPECT_NE(game.warning(), "");
}

}  // namespace
}  // namespace tessarin
