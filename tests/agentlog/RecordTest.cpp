#include <gtest/gtest.h>

#include "agentlog/CycleView.h"
#include "agentlog/Levels.h"
#include "agentlog/Record.h"

namespace tessarin::agentlog {
namespace {

Record parsed(std::string_view line) {
    Record record;
    EXPECT_TRUE(parseRecord(line, record)) << line;
    return record;
}

TEST(AgentLogRecord, ReadsTheLinesTheLibraryWrites) {
    const Record message = parsed("0,113 65536 M helios-base/src/player/strategy.cpp: Situation OppSetPlay");
    EXPECT_EQ(message.key, (CycleKey{0, 113}));
    EXPECT_EQ(message.levels, 65536u);
    EXPECT_EQ(message.type, 'M');
    EXPECT_EQ(message.text, "helios-base/src/player/strategy.cpp: Situation OppSetPlay");

    const Record circle = parsed("3,0 65536 c -11.6300 -4.6000 0.5000 #000000");
    EXPECT_EQ(circle.type, 'c');
    EXPECT_DOUBLE_EQ(circle.values[0], -11.63);
    EXPECT_DOUBLE_EQ(circle.values[1], -4.6);
    EXPECT_DOUBLE_EQ(circle.values[2], 0.5);
    EXPECT_EQ(circle.colour, (Rgb{0, 0, 0}));

    // Without a colour the writer leaves a blank where it would stand.
    const Record plain = parsed("7,2 8 C 1.0000 2.0000 3.0000 ");
    EXPECT_TRUE(isFilled(plain.type));
    EXPECT_FALSE(plain.colour.has_value());

    const Record label = parsed("0,0 65536 m -7.3321 -8.2000 (c #0000ff) -1 pass to 7");
    EXPECT_EQ(label.type, 'm');
    EXPECT_DOUBLE_EQ(label.values[0], -7.3321);
    EXPECT_EQ(label.colour, (Rgb{0, 0, 255}));
    EXPECT_EQ(label.text, "-1 pass to 7");

    EXPECT_EQ(parsed("1,0 1 m 1 2 no colour").text, "no colour");
    EXPECT_EQ(parsed("5,0 2 M").text, "");
    EXPECT_EQ(parsed("5,0 2 M text\r").text, "text");
}

TEST(AgentLogRecord, TakesEachShapeWithItsNumbersInOrder) {
    struct Case {
        const char* line;
        std::vector<double> values;
    };
    const Case cases[] = {
        {"1,0 1 p 1 2 red", {1, 2}},
        {"1,0 1 l 1 2 3 4 blue", {1, 2, 3, 4}},
        {"1,0 1 a 1 2 3 -45 90 #ff0000", {1, 2, 3, -45, 90}},
        {"1,0 1 t 1 2 3 4 5 6", {1, 2, 3, 4, 5, 6}},
        {"1,0 1 T 1 2 3 4 5 6 Gold", {1, 2, 3, 4, 5, 6}},
        {"1,0 1 r -10 -5 20 10", {-10, -5, 20, 10}},
        {"1,0 1 R -10 -5 20 10 #abc", {-10, -5, 20, 10}},
        {"1,0 1 s 0 0 1 5 30 60", {0, 0, 1, 5, 30, 60}},
        {"1,0 1 S 0 0 1 5 30 60 navy", {0, 0, 1, 5, 30, 60}},
    };
    for (const Case& c : cases) {
        const Record r = parsed(c.line);
        ASSERT_EQ(valueCount(r.type), static_cast<int>(c.values.size())) << c.line;
        for (std::size_t i = 0; i < c.values.size(); ++i) EXPECT_DOUBLE_EQ(r.values[i], c.values[i]) << c.line;
    }
    EXPECT_EQ(parsed("1,0 1 R -10 -5 20 10 #abc").colour, (Rgb{0xaa, 0xbb, 0xcc}));
    EXPECT_EQ(parsed("1,0 1 T 1 2 3 4 5 6 Gold").colour, (Rgb{255, 215, 0}));
}

TEST(AgentLogRecord, ReadsTheLevelMaskAsTheLibraryPrintsIt) {
    EXPECT_EQ(parsed("1,0 -1 M x").levels, kAllLevels);
    // The training bit is the sign bit of the library's signed mask.
    EXPECT_EQ(parsed("1,0 -2147483648 M x").levels, 0x80000000u);
    EXPECT_EQ(parsed("1,0 2147483648 M x").levels, 0x80000000u);
    Record r;
    EXPECT_FALSE(parseRecord("1,0 4294967296 M x", r));
    EXPECT_FALSE(parseRecord("1,0 -2147483649 M x", r));
}

TEST(AgentLogRecord, RefusesLinesThatBreakTheGrammar) {
    const char* bad[] = {
        "",
        "garbage",
        "5 1 M no stopped count",
        "5,0",
        "5,0 1",
        "5,-1 1 M negative stopped count",
        "5,0 x M level is no number",
        "5,0 1 X 1 2",       // unknown type
        "5,0 1 MM text",     // type of two letters
        "5,0 1 c 1.0 2.0",   // truncated
        "5,0 1 l 1 2 3",     // truncated
        "5,0 1 p nan 2",     // not finite
        "5,0 1 p 1 inf",     // not finite
        "5,0 1 p 1e300 0",   // beyond any field
        "5,0 1 c 0 0 -1",    // negative radius
        "5,0 1 r 0 0 -2 1",  // negative width
        "5,0 1 c 0 0 1 notacolour",
        "5,0 1 c 0 0 1 #12345g",
        "5,0 1 c 0 0 1 red extra",
        "5,0 1 p 1x 2",
        "5,0 1 m 1 2 (c nocolour) text",
        "5,0 1 m 1 2 (c red text",
        "\x01\xff\xfe\x80 binary",
        "99999999999,0 1 M cycle beyond int",
    };
    for (const char* line : bad) {
        Record r;
        EXPECT_FALSE(parseRecord(line, r)) << line;
    }
}

TEST(AgentLogRecord, ReadsColoursByHexAndByName) {
    EXPECT_EQ(parseColour("#0A0b0C"), (Rgb{10, 11, 12}));
    EXPECT_EQ(parseColour("#f80"), (Rgb{255, 136, 0}));
    EXPECT_EQ(parseColour("DarkGreen"), (Rgb{0, 100, 0}));
    EXPECT_EQ(parseColour("grey"), (Rgb{128, 128, 128}));
    EXPECT_EQ(parseColour("yellowgreen"), (Rgb{154, 205, 50}));
    EXPECT_EQ(parseColour("aliceblue"), (Rgb{240, 248, 255}));
    EXPECT_FALSE(parseColour("#12"));
    EXPECT_FALSE(parseColour("redd"));
    EXPECT_FALSE(parseColour(""));
}

TEST(AgentLogLevels, NameTheBitsAsTheLibrarySwitchesDo) {
    // The library's constants: PASS = LEVEL_09, TEAM = LEVEL_17, ACTION_CHAIN = LEVEL_20.
    EXPECT_EQ(levelBit("system"), 0);
    EXPECT_EQ(1u << levelBit("pass"), 0x100u);
    EXPECT_EQ(1u << levelBit("team"), 0x10000u);
    EXPECT_EQ(1u << levelBit("action_chain"), 0x80000u);
    EXPECT_EQ(1u << levelBit("plan"), 0x100000u);
    EXPECT_EQ(1u << levelBit("Training"), 0x80000000u);
    EXPECT_EQ(levelBit("level_22"), 21);
    EXPECT_EQ(levelBit("nosuch"), -1);

    EXPECT_EQ(levelNames(0x100 | 0x20), "kick|pass");
    EXPECT_EQ(levelNames(kAllLevels), "all");
    EXPECT_EQ(parseLevelList("all"), kAllLevels);
    EXPECT_EQ(parseLevelList("pass, kick"), 0x120u);
    EXPECT_FALSE(parseLevelList("pass,nosuch"));
    EXPECT_FALSE(parseLevelList(""));
}

TEST(AgentLogView, MirrorsARightSidePlayersDrawingsOntoTheField) {
    const std::vector<Record> records = {
        parsed("1,0 1 p 10 5"),           parsed("1,0 1 r -10 -5 20 4"), parsed("1,0 1 a 1 2 3 -45 90"),
        parsed("1,0 1 S 1 2 3 4 120 30"), parsed("1,0 1 c 1 2 3"),       parsed("1,0 1 m 7 8 label"),
    };
    const CycleView left = makeCycleView(records, kAllLevels, Side::Left);
    EXPECT_DOUBLE_EQ(left.drawings[0].values[0], 10);
    EXPECT_DOUBLE_EQ(left.drawings[0].values[1], 5);

    const CycleView right = makeCycleView(records, kAllLevels, Side::Right);
    ASSERT_EQ(right.drawings.size(), records.size());
    EXPECT_DOUBLE_EQ(right.drawings[0].values[0], -10);
    EXPECT_DOUBLE_EQ(right.drawings[0].values[1], -5);
    // The rectangle spans x -10..10, y -5..-1 in the player's view; x -10..10, y 1..5 on the field.
    const auto& rect = right.drawings[1].values;
    EXPECT_DOUBLE_EQ(rect[0], -10);
    EXPECT_DOUBLE_EQ(rect[1], 1);
    EXPECT_DOUBLE_EQ(rect[2], 20);
    EXPECT_DOUBLE_EQ(rect[3], 4);
    EXPECT_DOUBLE_EQ(right.drawings[2].values[3], 135);  // start angle turned half a circle
    EXPECT_DOUBLE_EQ(right.drawings[2].values[4], 90);   // span kept
    EXPECT_DOUBLE_EQ(right.drawings[3].values[4], -60);
    EXPECT_DOUBLE_EQ(right.drawings[4].values[2], 3);  // radius kept
    EXPECT_DOUBLE_EQ(right.drawings[5].values[0], -7);
    EXPECT_EQ(right.drawings[5].text, "label");
}

TEST(AgentLogView, ShowsARecordWhileAnyOfItsLevelsIsOn) {
    const std::vector<Record> records = {
        parsed("1,0 256 M pass only"),  parsed("1,0 288 M pass and kick"), parsed("1,0 32 c 0 0 1"),
        parsed("1,0 -1 M every topic"), parsed("1,0 0 M no topic"),
    };
    const CycleView kick = makeCycleView(records, 32, Side::Left);
    ASSERT_EQ(kick.messages.size(), 2u);
    EXPECT_EQ(kick.messages[0].text, "pass and kick");
    EXPECT_EQ(kick.messages[1].text, "every topic");
    EXPECT_EQ(kick.drawings.size(), 1u);

    const CycleView pass = makeCycleView(records, 256, Side::Left);
    EXPECT_EQ(pass.messages.size(), 3u);
    EXPECT_TRUE(pass.drawings.empty());

    const CycleView none = makeCycleView(records, 0, Side::Left);
    EXPECT_TRUE(none.messages.empty());
    EXPECT_TRUE(none.drawings.empty());
}

TEST(AgentLogView, PairsStoppedCountsWithTheGamesRepeatedRecords) {
    const std::vector<CycleKey> keys = {{122, 0}, {123, 0}, {123, 1}, {123, 4}, {124, 0}};
    // The game holds five records of cycle 123: the fifth (occurrence 4) goes with (123, 4).
    EXPECT_EQ(keysForGameRecord(keys, 123, 4, 5), (std::vector<CycleKey>{{123, 4}}));
    EXPECT_EQ(keysForGameRecord(keys, 123, 0, 5), (std::vector<CycleKey>{{123, 0}}));
    EXPECT_TRUE(keysForGameRecord(keys, 123, 2, 5).empty());
    // With only two records of 123 in the game, (123, 4) has none of its own and goes
    // with the cycle's first record.
    EXPECT_EQ(keysForGameRecord(keys, 123, 0, 2), (std::vector<CycleKey>{{123, 0}, {123, 4}}));
    EXPECT_EQ(keysForGameRecord(keys, 123, 1, 2), (std::vector<CycleKey>{{123, 1}}));
    // A cycle the log lacks draws nothing.
    EXPECT_TRUE(keysForGameRecord(keys, 200, 0, 1).empty());
}

}  // namespace
}  // namespace tessarin::agentlog
