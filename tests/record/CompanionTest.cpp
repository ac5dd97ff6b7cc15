// What newer text logs carry beyond the version-3 show record: each record's companion
// (state words, newer counters, capacity, focus, attention and pointing), the team logos,
// their compact store, and writing it all back as a version-6 log.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

#include "record/ByteOrder.h"
#include "record/CompanionStore.h"
#include "record/LogPlayer.h"
#include "support/FakeHost.h"
#include "support/LogBuilder.h"

namespace tessarin {
namespace {

using test::FakeHost;
using test::TempDir;
using test::testDataPath;
using test::writeText;

struct Game {
    FakeHost host;
    LogPlayer player{host};
    std::vector<cycle_info_t> records;
    std::vector<std::optional<CycleCompanion>> companions;

    explicit Game(const std::string& path) {
        player.command(kCmdLoad, path);
        player.waitForParser();
        records = player.withStore([](const std::vector<cycle_info_t>& f) { return f; });
        for (std::size_t i = 0; i < records.size(); ++i) companions.push_back(player.companionAt(i));
    }
};

const std::string kV6 = testDataPath("text/v6-short.rcg");

// One left goalie with the given state and extras; the other players stay off the field.
std::string goalieShow(int cycle, const std::string& state, const std::string& extras = "") {
    return "(show " + std::to_string(cycle) + " ((b) 0 0 0 0) ((l 1) 0 " + state +
           " -50 0 0 0 0 0 (v h 180) (s 8000 1 1 130600) " + extras + "(c 1 2 3 4 5 6 7 8 9 10 11 12)))\n";
}

// A valid 8 x 8 tile with two colours, as a coach sends it.
std::string tileText(int x, int y) {
    std::string text = "(" + std::to_string(x) + " " + std::to_string(y) + " \"8 8 2 1\" \"  c None\" \". c #ff0000\"";
    for (int row = 0; row < 8; ++row) text += row % 2 == 0 ? " \"........\"" : " \"..    ..\"";
    return text + ")";
}

int showMode(const cycle_info_t& record, int index) {
    return netToHost16(record.show().player[static_cast<std::size_t>(index)].mode);
}

TEST(Companion, StateWordsKeepCardsAboveTheShowRecordsSixteenBits) {
    TempDir dir;
    const std::string path =
        writeText(dir, "cards.rcg",
                  "ULG6\n" + goalieShow(1, "0x40009") + goalieShow(2, "0x80009") + goalieShow(3, "0xc0001") +
                      goalieShow(4, "0xffffffff") + goalieShow(5, "0x9"));
    Game game(path);
    ASSERT_EQ(game.records.size(), 5u);
    // The show record keeps the low 16 bits: a goalie, as today.
    EXPECT_EQ(showMode(game.records[0], 0), 0x0009);
    ASSERT_TRUE(game.companions[0]);
    const PlayerCompanion& yellow = game.companions[0]->players[0];
    EXPECT_EQ(yellow.state, 0x40009u);
    EXPECT_EQ(yellow.card(), Card::Yellow);
    EXPECT_EQ(game.companions[1]->players[0].card(), Card::Red);
    // Both card bits: the red one counts.
    EXPECT_EQ(game.companions[2]->players[0].card(), Card::Red);
    EXPECT_EQ(game.companions[3]->players[0].state, 0xffffffffu);
    EXPECT_EQ(static_cast<std::uint16_t>(showMode(game.records[3], 0)), 0xffff);
    EXPECT_EQ(game.companions[4]->players[0].card(), Card::None);
    // Players not in the line have an empty companion.
    EXPECT_EQ(game.companions[0]->players[5], PlayerCompanion{});
}

TEST(Companion, TheRealServersLinesFillEveryPart) {
    Game game(kV6);
    ASSERT_EQ(game.records.size(), 739u);
    for (const auto& companion : game.companions) ASSERT_TRUE(companion);
    // (show 3 ...): ((l 1) 0 0x9 ... (fp 0 0) (s 8000 1 1 130555) (f l 3) (c 0 1 139 0 1 141 1 1 0 0 3 0))
    std::size_t at = 0;
    while (game.records[at].cycle != 3) ++at;
    const PlayerCompanion& goalie = game.companions[at]->players[0];
    EXPECT_EQ(goalie.state, 0x9u);
    EXPECT_TRUE(goalie.has(PlayerCompanion::kCapacity));
    EXPECT_FLOAT_EQ(goalie.capacity, 130555.0f);
    EXPECT_TRUE(goalie.has(PlayerCompanion::kFocusPoint));
    EXPECT_FALSE(goalie.has(PlayerCompanion::kPointing));
    EXPECT_EQ(goalie.attentionSide, 'l');
    EXPECT_EQ(goalie.attentionUnum, 3);
    EXPECT_EQ(goalie.counterCount, 4);
    EXPECT_EQ(goalie.counters[kAttentionToCounter], 3u);
    EXPECT_EQ(goalie.counters[kTackleCounter], 0u);
    // ((l 3) ...) has no "(f ...)" in that cycle.
    EXPECT_EQ(game.companions[at]->players[2].attentionSide, 0);
    // The sample holds fouls charged (0x20001) and tackles.
    bool foul = false;
    std::uint32_t tackles = 0;
    for (const auto& companion : game.companions) {
        for (const PlayerCompanion& p : companion->players) {
            foul = foul || (p.state & kStateFoulCharged) != 0;
            tackles = std::max(tackles, p.counters[kTackleCounter]);
        }
    }
    EXPECT_TRUE(foul);
    EXPECT_GT(tackles, 0u);
}

TEST(Companion, OlderVersionsCarryWhatTheyHaveAndVersion3None) {
    Game v4(testDataPath("text/v4-short.rcg"));
    ASSERT_FALSE(v4.records.empty());
    const PlayerCompanion& p = v4.companions.back()->players[0];
    EXPECT_EQ(p.counterCount, 3);
    EXPECT_FALSE(p.has(PlayerCompanion::kCapacity));
    EXPECT_FALSE(p.has(PlayerCompanion::kFocusPoint));
    Game v5(testDataPath("text/v5-short.rcg.gz"));
    EXPECT_TRUE(v5.companions.back()->players[0].has(PlayerCompanion::kCapacity));
    EXPECT_FALSE(v5.companions.back()->players[0].has(PlayerCompanion::kFocusPoint));

    Game v3(testDataPath("text/v6-short-as-v3.rcg"));
    ASSERT_EQ(v3.records.size(), 739u);
    EXPECT_FALSE(v3.player.hasCompanions());
    EXPECT_EQ(v3.player.companionBytes(), 0u);
    const auto current = v3.player.current();
    ASSERT_TRUE(current);
    EXPECT_EQ(current->companion, nullptr);
}

TEST(Companion, HandedOutRecordsCarryTheirCompanionAndTheStoreStaysCompact) {
    Game game(kV6);
    // Stored records carry none; copies handed out carry theirs.
    for (const auto& r : game.records) ASSERT_EQ(r.companion, nullptr);
    game.player.command(kCmdStepForward);
    const auto current = game.player.current();
    ASSERT_TRUE(current && current->companion);
    EXPECT_TRUE(current->companion->samePlayers(*game.companions[1]));
    const auto last = game.player.last();
    ASSERT_TRUE(last && last->companion);
    EXPECT_TRUE(last->companion->samePlayers(*game.companions.back()));
    // A real game's companions take a few bytes a player, far less than they decode to.
    const double perRecord = static_cast<double>(game.player.companionBytes()) / game.records.size();
    EXPECT_LT(perRecord, 160.0);
}

// Random companions, some records without, across several chunks: every record decodes
// to what was appended, by index and front to back.
TEST(CompanionStore, DecodesEveryRecordAsAppended) {
    std::mt19937 random(7);
    const auto pick = [&](std::uint32_t n) { return static_cast<std::uint32_t>(random() % n); };
    std::vector<std::optional<CycleCompanion>> appended;
    CompanionStore store;
    CycleCompanion c;
    for (std::size_t i = 0; i < 5 * CompanionStore::kChunk + 3; ++i) {
        if (i < 2 || pick(10) == 0) {
            store.append(i, nullptr);
            appended.push_back(std::nullopt);
            EXPECT_FALSE(store.at(i)) << i;
            continue;
        }
        for (PlayerCompanion& p : c.players) {
            if (pick(3) == 0) p.state = static_cast<std::uint32_t>(random());
            for (auto& counter : p.counters) counter += pick(3) == 0 ? pick(4) : 0;
            if (pick(50) == 0) p.counters[0] = 0xfffffffe + pick(3);  // wraps
            p.counterCount = static_cast<std::uint8_t>(pick(5));
            p.capacity = pick(2) == 0 ? p.capacity - static_cast<float>(pick(100)) / 7.0f : -0.0f;
            p.parts = static_cast<std::uint8_t>(pick(8));
            p.focusDist = static_cast<float>(pick(40));
            p.focusDir = -static_cast<float>(pick(180)) / 3.0f;
            p.attentionSide = pick(3) == 0 ? 0 : pick(2) == 0 ? 'l' : 'r';
            p.attentionUnum = p.attentionSide == 0 ? 0 : static_cast<std::uint8_t>(1 + pick(11));
            const bool pointing = p.has(PlayerCompanion::kPointing);
            p.pointX = pointing ? static_cast<float>(pick(100)) - 50.5f : 0.0f;
            p.pointY = pointing ? static_cast<float>(pick(60)) - 30.25f : 0.0f;
        }
        store.append(i, &c);
        appended.push_back(c);
        // The record just appended reads back at once, as a live game hands it out.
        const auto latest = store.at(i);
        ASSERT_TRUE(latest) << i;
        EXPECT_TRUE(latest->samePlayers(c)) << i;
    }
    ASSERT_EQ(store.size(), appended.size());
    CompanionStore::Reader reader(store);
    for (std::size_t i = 0; i < appended.size(); ++i) {
        const auto byIndex = store.at(i);
        const auto inTurn = reader.next();
        ASSERT_EQ(byIndex.has_value(), appended[i].has_value()) << i;
        ASSERT_EQ(inTurn.has_value(), appended[i].has_value()) << i;
        if (!appended[i]) continue;
        EXPECT_TRUE(byIndex->samePlayers(*appended[i])) << i;
        EXPECT_TRUE(inTurn->samePlayers(*appended[i])) << i;
        // The sign of a zero capacity is kept too.
        EXPECT_EQ(std::signbit(byIndex->players[3].capacity), std::signbit(appended[i]->players[3].capacity));
    }
    EXPECT_FALSE(store.at(appended.size()));
    // A game without companions costs nothing; a late first one covers the records before.
    CompanionStore late;
    EXPECT_EQ(late.append(0, nullptr), 0u);
    EXPECT_FALSE(late.any());
    late.append(40, &c);
    EXPECT_EQ(late.size(), 41u);
    EXPECT_FALSE(late.at(39));
    ASSERT_TRUE(late.at(40));
    EXPECT_TRUE(late.at(40)->samePlayers(c));
}

TEST(Companion, TeamLogosAreKeptAndBadTilesDroppedWithTheGameKept) {
    TempDir dir;
    std::string text = "ULG6\n";
    // As the server writes them (passed on as messages), and as plain lines.
    text += "(msg 0 1 \"(team_graphic_l " + tileText(0, 0) + ")\")\n";
    text += "(team_graphic_r " + tileText(31, 7) + ")\n";
    text += goalieShow(1, "0x9");
    const std::string good = writeText(dir, "logos.rcg", text);
    Game game(good);
    ASSERT_EQ(game.records.size(), 1u);
    const TeamLogos logos = game.player.teamLogos();
    ASSERT_EQ(logos.tiles[0].size(), 1u);
    ASSERT_EQ(logos.tiles[1].size(), 1u);
    EXPECT_EQ(logos.tiles[1][0].x, 31);
    EXPECT_EQ(logos.tiles[0][0].xpm.size(), 11u);
    EXPECT_EQ(logos.tiles[0][0].xpm[1], "  c None");
    EXPECT_TRUE(game.player.loadWarning().empty());
    const auto current = game.player.current();
    ASSERT_TRUE(current && current->companion && current->companion->logos);
    EXPECT_EQ(*current->companion->logos, logos);

    // Far larger than a logo, yet within a line's bound.
    std::string huge = "(0 0 \"300 300 1 1\" \". c #000000\"";
    for (int row = 0; row < 300; ++row) huge += " \"" + std::string(300, '.') + "\"";
    huge += ")";
    const std::string bad[] = {
        "(team_graphic_l " + tileText(32, 0) + ")",                         // past 256 pixels
        "(team_graphic_l (0 0 \"8 8 2 1\" \"  c None\"))",                  // rows missing
        "(team_graphic_l (0 0 \"8 x 2 1\" \"  c None\" \". c #ff0000\"))",  // header
        "(team_graphic_l (0 0 \"8 1 1 1\" \". c #ff0000\" \"...\"))",       // row too short
        "(team_graphic_l " + huge + ")",                                    // huge
        "(team_graphic_l (0 0 \"8 1 1 1\" \". c #ff0000\" \"........\"",    // unbalanced
        "(team_graphic_l (0 0 \"8 1 1 1\" \". c #ff0000\" \"........\") trailing)",
        "(team_graphic_l (0 0 \"65536 65536 4294967295 1\"))",
    };
    for (const std::string& line : bad) {
        const std::string path =
            writeText(dir, "bad.rcg", "ULG6\n" + line + "\n" + goalieShow(1, "0x9") + goalieShow(2, "0x9"));
        Game loaded(path);
        EXPECT_EQ(loaded.records.size(), 2u) << line.substr(0, 60);
        EXPECT_TRUE(loaded.player.teamLogos().empty()) << line.substr(0, 60);
        EXPECT_NE(loaded.player.loadWarning().find("team logo"), std::string::npos) << line.substr(0, 60);
    }
}

bool sameGame(const Game& a, const Game& b) {
    if (a.records.size() != b.records.size()) return false;
    for (std::size_t i = 0; i < a.records.size(); ++i) {
        const cycle_info_t& x = a.records[i];
        const cycle_info_t& y = b.records[i];
        if (x.cycle != y.cycle || x.kind != y.kind || x.data != y.data || x.messages != y.messages) return false;
        if (a.companions[i].has_value() != b.companions[i].has_value()) return false;
        if (a.companions[i] && !a.companions[i]->samePlayers(*b.companions[i])) return false;
    }
    return true;
}

TEST(Companion, VersionSixWrittenReadsBackWithEveryField) {
    TempDir dir;
    // The sample with a logo, a pointing player and a message added.
    std::ifstream in(kV6, std::ios::binary);
    std::stringstream sample;
    sample << in.rdbuf();
    std::string text = sample.str();
    const std::size_t firstShow = text.find("(show ");
    text.insert(firstShow, "(msg 1 1 \"(team_graphic_r " + tileText(2, 3) + ")\")\n(msg 1 1 \"Recv x_1: (hi)\")\n");
    const std::size_t neck = text.find("(v h", text.find("((r 4)", firstShow));
    text.insert(neck, "12.3456 -7.25 ");
    const std::string source = writeText(dir, "source.rcg", text);

    Game original(source);
    ASSERT_EQ(original.records.size(), 739u);
    ASSERT_TRUE(original.player.loadWarning().empty()) << original.player.loadWarning();
    ASSERT_TRUE(original.companions[0]->players[14].has(PlayerCompanion::kPointing));
    for (const std::string name : {"copy.rcg", "copy.rcg.gz"}) {
        const std::string copy = dir.file(name);
        ASSERT_TRUE(original.player.save(copy, nullptr, SaveFormat::V6));
        Game again(copy);
        EXPECT_EQ(again.player.format(), LogFormat::V6);
        EXPECT_EQ(again.player.compressed(), name.ends_with(".gz"));
        EXPECT_TRUE(again.player.loadWarning().empty()) << again.player.loadWarning();
        EXPECT_TRUE(sameGame(original, again));
        EXPECT_EQ(again.player.teamLogos(), original.player.teamLogos());
        EXPECT_EQ(again.player.server_parameters().bytes, original.player.server_parameters().bytes);
        EXPECT_EQ(again.player.player_parameters().bytes, original.player.player_parameters().bytes);
        const auto types = [](const Game& g) {
            std::vector<std::vector<std::uint8_t>> bytes;
            for (const player_type_t& t : g.player.player_types()) {
                bytes.emplace_back(sizeof t);
                std::memcpy(bytes.back().data(), &t, sizeof t);
            }
            return bytes;
        };
        EXPECT_EQ(types(again), types(original));
    }
}

TEST(Companion, TheSaveCommandWritesVersionSixOrSaysWhatVersionThreeLeftOut) {
    TempDir dir;
    Game game(kV6);
    game.host.savePath = dir.file("saved.rcg");
    ASSERT_TRUE(game.player.command(kCmdSave));
    const auto messages = game.host.shownMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("no room for the cards and fouls"), std::string::npos) << messages[0];
    EXPECT_EQ(probeLogFile(*game.host.savePath), LogFormat::V3);

    game.host.saveVersion6 = true;
    game.host.savePath = dir.file("saved6.rcg");
    ASSERT_TRUE(game.player.command(kCmdSave));
    EXPECT_EQ(game.host.shownMessages().size(), 1u);
    EXPECT_EQ(probeLogFile(*game.host.savePath), LogFormat::V6);
}

TEST(Companion, ThroughVersionThreeOnlyTheCompanionsAreLost) {
    TempDir dir;
    Game original(kV6);
    const std::string v3 = dir.file("game-v3.rcg");
    ASSERT_TRUE(original.player.save(v3));
    Game binary(v3);
    EXPECT_FALSE(binary.player.hasCompanions());
    const std::string v6 = dir.file("game-v6.rcg");
    ASSERT_TRUE(binary.player.save(v6, nullptr, SaveFormat::V6));
    Game back(v6);
    ASSERT_EQ(back.records.size(), original.records.size());
    for (std::size_t i = 0; i < back.records.size(); ++i) {
        ASSERT_EQ(back.records[i].data, original.records[i].data) << i;
        // What was unknown stays unknown: no made-up capacities, counters or cards.
        ASSERT_TRUE(back.companions[i]);
        for (const PlayerCompanion& p : back.companions[i]->players) {
            ASSERT_EQ(p.parts, 0);
            ASSERT_EQ(p.counterCount, 0);
            ASSERT_EQ(p.state & 0xffff0000u, 0u);
        }
    }
}

}  // namespace
}  // namespace tessarin
