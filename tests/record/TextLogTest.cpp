// Reading the server's text game logs (versions 4 to 6), plain and gzip-compressed.

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "record/ByteOrder.h"
#include "record/LogFile.h"
#include "record/LogPlayer.h"
#include "record/TextLogParser.h"
#include "support/FakeHost.h"
#include "support/LogBuilder.h"

namespace tessarin {
namespace {

using test::FakeHost;
using test::TempDir;
using test::testDataPath;
using test::writeGzip;
using test::writeText;

struct Loaded {
    FakeHost host;
    LogPlayer player{host};
    std::vector<cycle_info_t> records;
    explicit Loaded(const std::string& path) {
        player.command(kCmdLoad, path);
        player.waitForParser();
        records = player.withStore([](const std::vector<cycle_info_t>& f) { return f; });
    }
};

std::string textFile(const std::string& name) { return testDataPath("text/" + name); }

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

bool sameRecords(const std::vector<cycle_info_t>& a, const std::vector<cycle_info_t>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i].cycle != b[i].cycle || a[i].kind != b[i].kind || a[i].data != b[i].data ||
            a[i].messages != b[i].messages) {
            return false;
        }
    }
    return true;
}

// A show line with the ball at (x, 0) and every player standing at (-i, i) in a v6 layout.
std::string showLine(int cycle, double ballX = 0) {
    std::ostringstream s;
    s << "(show " << cycle << " ((b) " << ballX << " 0 0.5 -0.25)";
    for (int i = 0; i < kPlayerCount; ++i) {
        const char side = i < kPlayersPerSide ? 'l' : 'r';
        s << " ((" << side << ' ' << (i % kPlayersPerSide) + 1 << ") " << i % 3 << " 0x" << (i == 0 ? "9" : "1") << ' '
          << -i << ' ' << i << " 0 0 90 -45 (v h 180) (fp 1 2) (s 7000.5 0.9 1 130000) (c 1 2 3 4 5 6 7 8 9 10 11 12))";
    }
    s << ")\n";
    return s.str();
}

TEST(TextLog, V6AgreesWithItsVersion3Twin) {
    Loaded text(textFile("v6-short.rcg"));
    Loaded twin(textFile("v6-short-as-v3.rcg"));
    EXPECT_EQ(text.player.format(), LogFormat::V6);
    EXPECT_FALSE(text.player.compressed());
    EXPECT_EQ(text.player.loadWarning(), "");
    ASSERT_EQ(text.records.size(), 739u);
    ASSERT_EQ(text.records.size(), twin.records.size());

    constexpr double kPosition = 1e-4;              // printed with 4 decimals
    constexpr double kAngle = 1e-3 * 3.1416 / 180;  // degrees printed with 3 decimals
    for (std::size_t i = 0; i < text.records.size(); ++i) {
        SCOPED_TRACE(i);
        const ShowState a = toHost(text.records[i].show());
        const ShowState b = toHost(twin.records[i].show());
        ASSERT_EQ(text.records[i].cycle, twin.records[i].cycle);
        ASSERT_EQ(a.time, b.time);
        ASSERT_EQ(a.playmode, b.playmode);
        for (std::size_t t = 0; t < 2; ++t) {
            ASSERT_EQ(a.team[t].name, b.team[t].name);
            ASSERT_EQ(a.team[t].score, b.team[t].score);
        }
        EXPECT_NEAR(a.ball.x, b.ball.x, kPosition);
        EXPECT_NEAR(a.ball.y, b.ball.y, kPosition);
        EXPECT_NEAR(a.ball.vx, b.ball.vx, kPosition);
        EXPECT_NEAR(a.ball.vy, b.ball.vy, kPosition);
        for (std::size_t p = 0; p < kPlayerCount; ++p) {
            const PlayerState& x = a.player[p];
            const PlayerState& y = b.player[p];
            ASSERT_EQ(x.mode, y.mode);
            ASSERT_EQ(x.type, y.type);
            ASSERT_EQ(x.view_quality, y.view_quality);
            EXPECT_NEAR(x.x, y.x, kPosition);
            EXPECT_NEAR(x.y, y.y, kPosition);
            EXPECT_NEAR(x.vx, y.vx, kPosition);
            EXPECT_NEAR(x.vy, y.vy, kPosition);
            EXPECT_NEAR(x.body_angle, y.body_angle, kAngle);
            EXPECT_NEAR(x.neck_angle, y.neck_angle, kAngle);
            EXPECT_NEAR(x.view_width, y.view_width, kAngle);
            EXPECT_NEAR(x.stamina, y.stamina, 0.01);
            EXPECT_NEAR(x.effort, y.effort, 1e-5);
            EXPECT_NEAR(x.recovery, y.recovery, 1e-5);
            ASSERT_EQ(std::tie(x.kick_count, x.dash_count, x.turn_count, x.say_count, x.turn_neck_count, x.catch_count,
                               x.move_count, x.change_view_count),
                      std::tie(y.kick_count, y.dash_count, y.turn_count, y.say_count, y.turn_neck_count, y.catch_count,
                               y.move_count, y.change_view_count));
        }
    }
    // "(show 24 ((b) -0.3528 -2.0462 -0.3317 -1.9234) ..." is the 24th show of the file.
    EXPECT_NEAR(toHost(text.records[23].show()).ball.vy, -1.9234, kPosition);

    const auto types = text.player.player_types();
    const auto twinTypes = twin.player.player_types();
    ASSERT_EQ(types.size(), 18u);
    ASSERT_EQ(types.size(), twinTypes.size());
    for (std::size_t i = 0; i < types.size(); ++i) {
        const PlayerTypeState a = toHost(types[i]);
        const PlayerTypeState b = toHost(twinTypes[i]);
        EXPECT_EQ(a.id, b.id);
        for (auto field :
             {&PlayerTypeState::player_speed_max, &PlayerTypeState::stamina_inc_max, &PlayerTypeState::player_decay,
              &PlayerTypeState::inertia_moment, &PlayerTypeState::dash_power_rate, &PlayerTypeState::player_size,
              &PlayerTypeState::kickable_margin, &PlayerTypeState::kick_rand, &PlayerTypeState::extra_stamina,
              &PlayerTypeState::effort_max, &PlayerTypeState::effort_min}) {
            EXPECT_NEAR(a.*field, b.*field, 1e-4) << "type " << i;
        }
    }
    // The server block agrees with the twin's over its named part (offsets 0..355), derived
    // values included; the twin's padding at 282 and its spare values at the end hold junk.
    const auto ours = text.player.server_parameters();
    const auto theirs = twin.player.server_parameters();
    EXPECT_TRUE(std::equal(ours.bytes.begin(), ours.bytes.begin() + 282, theirs.bytes.begin()));
    EXPECT_TRUE(std::equal(ours.bytes.begin() + 284, ours.bytes.begin() + 356, theirs.bytes.begin() + 284));
    EXPECT_DOUBLE_EQ(text.player.ball_size(), twin.player.ball_size());
    const auto pp = text.player.player_parameters();
    const auto twinPp = twin.player.player_parameters();
    EXPECT_TRUE(std::equal(pp.bytes.begin(), pp.bytes.begin() + 88, twinPp.bytes.begin()));
}

TEST(TextLog, EveryVersionLoadsPlainOrCompressed) {
    Loaded plain(textFile("v6-short.rcg"));
    Loaded gz(textFile("v6-short.rcg.gz"));
    EXPECT_TRUE(gz.player.compressed());
    EXPECT_EQ(gz.player.format(), LogFormat::V6);
    EXPECT_TRUE(sameRecords(plain.records, gz.records));

    Loaded v5(textFile("v5-short.rcg.gz"));
    EXPECT_EQ(v5.player.format(), LogFormat::V5);
    EXPECT_TRUE(v5.player.compressed());
    ASSERT_EQ(v5.records.size(), 689u);
    Loaded v4(textFile("v4-short.rcg"));
    EXPECT_EQ(v4.player.format(), LogFormat::V4);
    ASSERT_EQ(v4.records.size(), 679u);
    for (const Loaded* game : {&v5, &v4}) {
        EXPECT_EQ(game->player.loadWarning(), "");
        EXPECT_EQ(game->records.front().cycle, 1);
        EXPECT_EQ(game->records.back().cycle, 600);
        EXPECT_EQ(game->player.player_types().size(), 18u);
    }
    EXPECT_EQ(toHost(v5.records.back().show()).team[0].score, 0);
    EXPECT_EQ(toHost(v4.records.back().show()).team[0].score, 1);

    // A binary log compressed reads as the plain one; so does a sight log.
    TempDir dir;
    const std::string demo = readText(test::demoGamePath());
    Loaded demoPlain(test::demoGamePath());
    Loaded demoGz(writeGzip(dir, "demo.rcg.gz", demo));
    EXPECT_EQ(demoGz.player.format(), LogFormat::V3);
    EXPECT_TRUE(sameRecords(demoPlain.records, demoGz.records));
    const auto sight = test::sightLog({5, 6, 7});
    Loaded sightGz(writeGzip(dir, "s.slg.gz", std::string(sight.begin(), sight.end())));
    EXPECT_EQ(sightGz.player.format(), LogFormat::Sight);
    EXPECT_EQ(sightGz.records.size(), 3u);
}

TEST(TextLog, ConvertedToVersion3ReadsBackTheSameRecords) {
    Loaded text(textFile("v6-short.rcg"));
    TempDir dir;
    for (const char* name : {"out.rcg", "out.rcg.gz"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(text.player.save(dir.file(name)));
        Loaded back(dir.file(name));
        EXPECT_EQ(back.player.format(), LogFormat::V3);
        EXPECT_EQ(back.player.compressed(), std::string_view(name).ends_with(".gz"));
        EXPECT_TRUE(sameRecords(text.records, back.records));
        const auto a = text.player.player_types();
        const auto b = back.player.player_types();
        ASSERT_EQ(a.size(), b.size());
        for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(std::memcmp(&a[i], &b[i], sizeof a[i]), 0);
        EXPECT_EQ(text.player.server_parameters().bytes, back.player.server_parameters().bytes);
    }
}

TEST(TextLog, ACutShowLineKeepsEveryCompleteRecordOnceAndWarns) {
    const std::string all = readText(textFile("v6-short.rcg"));
    // Cut inside the 101st show line at ten places.
    std::size_t lineStart = 0;
    int shows = 0;
    while (shows < 101) {
        lineStart = all.find("\n(show ", lineStart) + 1;
        ++shows;
    }
    const std::size_t lineEnd = all.find('\n', lineStart);
    TempDir dir;
    for (int k = 1; k <= 10; ++k) {
        const std::size_t cut = lineStart + (lineEnd - lineStart) * static_cast<std::size_t>(k) / 11;
        SCOPED_TRACE(cut);
        Loaded cutLog(writeText(dir, "cut.rcg", all.substr(0, cut)));
        ASSERT_EQ(cutLog.records.size(), 100u);
        for (std::size_t i = 1; i < cutLog.records.size(); ++i) {
            EXPECT_GE(cutLog.records[i].cycle, cutLog.records[i - 1].cycle);
        }
        EXPECT_NE(cutLog.player.loadWarning(), "");
        EXPECT_EQ(cutLog.player.parseResult(), std::optional<bool>(false));
    }
    // Cut right after a complete line: nothing to warn about.
    Loaded whole(writeText(dir, "whole.rcg", all.substr(0, lineStart)));
    EXPECT_EQ(whole.records.size(), 100u);
    EXPECT_EQ(whole.player.loadWarning(), "");
}

TEST(TextLog, ToleratesWhatNewerAndOlderServersWrite) {
    // CRLF line ends, extra blanks, unknown parameter names and line kinds, no
    // player_param line, penalty counts on the team line, a newer play mode.
    std::string log = "ULG6\r\n";
    log += "(server_param (ball_size 0.1)( brand_new_name 7 )(game_log_dir \"a (b) \\\" c\")(half_time 30))\r\n";
    log += "(player_type (id 3)(player_speed_max 1.2)(unknown_thing 4)(player_size 0.25))\r\n";
    log += "  (team   1 Alpha  null 2 3 1 0 2 1 )\r\n";
    log += "(playmode 1 illegal_defense_l)\r\n";
    log += "(draw 1 (line 0 0 1 1))\r\n";
    log += "(msg 1 1 \"Recv Alpha_3: (say \"hi\")\")\r\n";
    log += "(msg 1 1 \"(result 1 2)\")\r\n";
    log += showLine(1, 3.5);
    log += "\r\n";
    log += showLine(2);
    TempDir dir;
    Loaded game(writeText(dir, "tolerant.rcg", log));
    ASSERT_EQ(game.records.size(), 2u);
    EXPECT_EQ(game.player.loadWarning(), "skipped 1 line of an unknown kind");
    EXPECT_EQ(game.player.parseResult(), std::optional<bool>(true));
    const ShowState s = toHost(game.records[0].show());
    EXPECT_EQ(s.playmode, 50);
    EXPECT_EQ(playModeName(s.playmode), "illegal_defense_l");
    EXPECT_EQ(s.team[0].name, "Alpha");
    EXPECT_EQ(s.team[1].name, "");
    EXPECT_EQ(s.team[1].score, 3);
    EXPECT_DOUBLE_EQ(s.ball.x, 3.5);
    EXPECT_DOUBLE_EQ(s.ball.vy, -0.25);
    EXPECT_EQ(game.records[0].messages, std::string("Recv Alpha_3: (say \"hi\")") + std::string(kMessageSeparator));
    EXPECT_EQ(game.records[1].messages, "");
    const PlayerState& goalie = s.player[0];
    EXPECT_EQ(goalie.mode, 9);
    EXPECT_NEAR(goalie.body_angle, 3.14159265 / 2, 1e-4);
    EXPECT_NEAR(goalie.neck_angle, -3.14159265 / 4, 1e-4);
    EXPECT_EQ(goalie.view_quality, 1);
    EXPECT_NEAR(goalie.stamina, 7000.5, 1e-4);
    // kick dash turn catch move turn_neck change_view say ...
    EXPECT_EQ(goalie.kick_count, 1);
    EXPECT_EQ(goalie.turn_count, 3);
    EXPECT_EQ(goalie.catch_count, 4);
    EXPECT_EQ(goalie.move_count, 5);
    EXPECT_EQ(goalie.turn_neck_count, 6);
    EXPECT_EQ(goalie.change_view_count, 7);
    EXPECT_EQ(goalie.say_count, 8);
    EXPECT_EQ(s.player[21].x, -21);
    EXPECT_DOUBLE_EQ(game.player.ball_size(), std::round(0.1 * 65536) / 65536);
    ASSERT_EQ(game.player.player_types().size(), 1u);
    EXPECT_NEAR(toHost(game.player.player_types()[0]).player_speed_max, 1.2, 1e-4);
    EXPECT_EQ(game.player.player_parameters().bytes, player_param_t{}.bytes);
}

TEST(TextLog, BadInputStopsWithAWarningAndKeepsWhatCameBefore) {
    const std::string head = "ULG5\n" + showLine(1) + showLine(2);
    std::string show = showLine(3);
    const auto replaced = [&](const std::string& from, const std::string& to) {
        std::string s = show;
        s.replace(s.find(from), from.size(), to);
        return s;
    };
    const std::string nul("(show 3 \0 ((b) 0 0 0 0))\n", 25);
    const struct {
        const char* what;
        std::string line;
    } cases[] = {
        {"unbalanced", "(show 3 ((b) 0 0 0 0)\n"},
        {"unbalanced unknown kind", "(draw 3 (line 0 0 1 1)\n"},
        {"not a list", "show 3\n"},
        {"uniform number 99", replaced("((l 2)", "((l 99)")},
        {"side x", replaced("((l 2)", "((x 2)")},
        {"cycle 10^12", replaced("(show 3", "(show 1000000000000")},
        {"NaN", replaced("(b) 0 0", "(b) nan 0")},
        {"huge number", replaced("(b) 0 0", "(b) 1e300 0")},
        {"hex state junk", replaced("0x1", "0xZZ")},
        {"NUL bytes", nul},
        {"a 1 MB line", "(show 3 " + std::string(1 << 20, ' ') + ")\n"},
        {"text after the list", show.substr(0, show.size() - 1) + " junk\n"},
    };
    TempDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Loaded game(writeText(dir, "bad.rcg", head + c.line + showLine(4)));
        EXPECT_EQ(game.records.size(), 2u);
        EXPECT_NE(game.player.loadWarning(), "");
        EXPECT_EQ(game.player.parseResult(), std::optional<bool>(false));
    }
}

TEST(TextLog, DamagedCompressedStreamsKeepWhatInflated) {
    TempDir dir;
    std::string log = "ULG6\n";
    for (int cycle = 1; cycle <= 200; ++cycle) log += showLine(cycle);
    const std::string gz = readText(writeGzip(dir, "good.rcg.gz", log));
    {
        // Cut off halfway: the complete lines inflated before the cut are kept.
        Loaded game(writeText(dir, "cut.rcg.gz", gz.substr(0, gz.size() / 2)));
        EXPECT_GT(game.records.size(), 10u);
        EXPECT_LT(game.records.size(), 200u);
        EXPECT_NE(game.player.loadWarning().find("ends early"), std::string::npos) << game.player.loadWarning();
    }
    {
        std::string corrupt = gz;
        for (std::size_t i = gz.size() / 2; i < gz.size() / 2 + 64; ++i) corrupt[i] = static_cast<char>(~corrupt[i]);
        Loaded game(writeText(dir, "corrupt.rcg.gz", corrupt));
        EXPECT_LT(game.records.size(), 200u);
        EXPECT_NE(game.player.loadWarning(), "");
    }
    {
        // Two members one after another read as one stream.
        const std::string second = readText(writeGzip(dir, "tail.gz", showLine(201)));
        Loaded game(writeText(dir, "two.rcg.gz", gz + second));
        EXPECT_EQ(game.records.size(), 201u);
        EXPECT_EQ(game.player.loadWarning(), "");
    }
    {
        // A bomb: 64 MB of blanks without a line end inflate from a small file and are
        // refused at the line bound, not held in memory.
        const std::string bomb = "ULG6\n" + showLine(1) + std::string(64 << 20, ' ');
        Loaded game(writeGzip(dir, "bomb.rcg.gz", bomb));
        EXPECT_EQ(game.records.size(), 1u);
        EXPECT_NE(game.player.loadWarning().find("longer than"), std::string::npos);
    }
    {
        // An empty .gz file is an empty file; a compressed empty stream holds no game.
        Loaded empty(writeText(dir, "empty.rcg.gz", ""));
        EXPECT_EQ(empty.player.loadOutcome(), LoadOutcome::Empty);
        Loaded nothing(writeGzip(dir, "nothing.rcg.gz", ""));
        EXPECT_EQ(nothing.player.loadOutcome(), LoadOutcome::Empty);
        EXPECT_TRUE(nothing.records.empty());
    }
}

TEST(TextLog, ReadsFromMemoryAsFromAFile) {
    const std::string text = "ULG6\nxyz";
    LogFile file;
    ASSERT_TRUE(file.openMemory(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    EXPECT_FALSE(file.compressed());
    char bytes[16] = {};
    EXPECT_EQ(file.read(bytes, sizeof bytes), text.size());
    EXPECT_EQ(std::string(bytes, text.size()), text);
    EXPECT_TRUE(file.atEnd());

    TempDir dir;
    const std::string gz = readText(writeGzip(dir, "m.gz", text));
    ASSERT_TRUE(file.openMemory(reinterpret_cast<const std::uint8_t*>(gz.data()), gz.size()));
    EXPECT_TRUE(file.compressed());
    EXPECT_EQ(file.read(bytes, sizeof bytes), text.size());
    EXPECT_EQ(std::string(bytes, text.size()), text);
    EXPECT_EQ(file.error(), 0);

    // The log player loads a game held in memory exactly as the file.
    const std::string v6 = readText(textFile("v6-short.rcg.gz"));
    Loaded fromFile(textFile("v6-short.rcg.gz"));
    FakeHost host;
    LogPlayer player(host);
    player.loadMemory(std::span(reinterpret_cast<const std::uint8_t*>(v6.data()), v6.size()));
    player.waitForParser();
    EXPECT_TRUE(player.compressed());
    EXPECT_TRUE(sameRecords(fromFile.records, player.withStore([](const auto& f) { return f; })));
}

}  // namespace
}  // namespace tessarin

namespace tessarin {
namespace {

TEST(TextLog, LinesAreBoundedAtExactlyTheDocumentedLength) {
    TempDir dir;
    const auto withLineOf = [&](std::size_t length) {
        // A show padded with blanks to `length` bytes, without its line end.
        const std::string line = "(show 2" + std::string(length - 8, ' ') + ")";
        return writeText(dir, "long.rcg", "ULG6\n(show 1)\n" + line + "\n(show 3)\n");
    };
    Loaded longest(withLineOf(CTextLogParser::kMaxLineLength));
    EXPECT_EQ(longest.records.size(), 3u) << longest.player.loadWarning();
    Loaded tooLong(withLineOf(CTextLogParser::kMaxLineLength + 1));
    EXPECT_EQ(tooLong.records.size(), 1u);
    EXPECT_NE(tooLong.player.loadWarning().find("line 3"), std::string::npos) << tooLong.player.loadWarning();
    EXPECT_NE(tooLong.player.loadWarning().find("longer than 262144 bytes"), std::string::npos);
}

TEST(TextLog, CyclesBeyondSixteenBitsWrapAsInAVersion3Log) {
    TempDir dir;
    Loaded game(writeText(dir, "long-game.rcg", "ULG6\n(show 32767)\n(show 32768)\n(show 60000)\n"));
    ASSERT_EQ(game.records.size(), 3u) << game.player.loadWarning();
    EXPECT_EQ(game.records[1].cycle, -32768);
    EXPECT_EQ(recordCycle(game.records[2]), static_cast<std::int16_t>(60000));
}

}  // namespace
}  // namespace tessarin
