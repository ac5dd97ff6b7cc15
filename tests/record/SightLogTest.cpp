// Sight logs, version-2 sight logs with their decision files, and their writers.

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "record/LogPlayer.h"
#include "support/FakeHost.h"
#include "support/LogBuilder.h"

namespace tessarin {
namespace {

using test::Bytes;
using test::FakeHost;
using test::TempDir;

// A decision file: 3-byte header, then per cycle a count and count entries of the given size.
Bytes decisionFile(const std::vector<std::int32_t>& counts, std::size_t entrySize, std::uint8_t fill = 0) {
    Bytes out = {'D', 'E', 'C'};
    for (std::int32_t n : counts) {
        test::appendLe32(out, static_cast<std::uint32_t>(n));
        for (std::int32_t i = 0; i < n; ++i) {
            Bytes entry(entrySize, fill);
            entry[0] = static_cast<std::uint8_t>(i + 1);  // receiver / target: the entry's number
            out.insert(out.end(), entry.begin(), entry.end());
        }
    }
    return out;
}

struct Loaded {
    FakeHost host;
    LogPlayer player{host};
    void load(const std::string& path) {
        player.command(kCmdLoad, path);
        player.waitForParser();
    }
    std::vector<cycle_info_t> records() const {
        return player.withStore([](const std::vector<cycle_info_t>& f) { return f; });
    }
};

TEST(SightLog, StoresEveryCompleteRecordOnceAndDropsATornTail) {
    TempDir dir;
    Bytes file = test::sightLog({10, 11, 12});
    file.resize(file.size() - 100);
    Loaded l;
    l.load(dir.write("sight.slg", file));
    const auto records = l.records();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(l.player.format(), LogFormat::Sight);
    EXPECT_EQ(records[0].kind, kSightRecord);
    EXPECT_EQ(records[1].cycle, 11);
    EXPECT_EQ(records[1].data[647], 0x66);
    EXPECT_EQ(l.player.parseResult(), true);
    EXPECT_TRUE(l.player.droppedTornRecord());
}

TEST(SightLog, SavesAndLoadsBackByteForByte) {
    TempDir dir;
    const Bytes file = test::sightLog({1, 2, 3, 300});
    Loaded l;
    l.load(dir.write("in.slg", file));
    ASSERT_TRUE(l.player.save(dir.file("out.slg")));
    EXPECT_EQ(test::readFile(dir.file("out.slg")), file);
}

TEST(SightLogV2, HeaderAndTypeBlockAloneLoadEighteenTypesAndNoRecords) {
    TempDir dir;
    Loaded l;
    l.load(dir.write("only.slh", test::sightV2Log({})));
    EXPECT_EQ(l.player.size(), 0u);
    EXPECT_EQ(l.player.format(), LogFormat::SightV2);
    const auto types = l.player.player_types();
    ASSERT_EQ(types.size(), 18u);
    const auto five = l.player.player_type(5);
    ASSERT_TRUE(five);
    const PlayerTypeState t = toHost(*five);
    EXPECT_EQ(t.id, 5);
    EXPECT_NEAR(t.player_size, 0.35, 1e-4);
    EXPECT_NEAR(t.player_speed_max, 0.25, 1e-4);
    EXPECT_NEAR(t.effort_min, 10.25, 1e-4);
}

TEST(SightLogV2, RecordsCarryTheirCycleAndTheirDecisionBlocks) {
    TempDir dir;
    const std::string log = dir.write("team-3-game.slh", test::sightV2Log({5, 6, 7}));
    dir.write("team-3-pass.dec", decisionFile({2, 0, 1}, 32));
    dir.write("team-3-behave.dec", decisionFile({1, 1}, 20));  // ends early: cycle 7 gets an empty block
    Loaded l;
    l.load(log);
    EXPECT_TRUE(l.player.decisionsLoaded(DecisionFile::Pass));
    EXPECT_FALSE(l.player.decisionsLoaded(DecisionFile::Intercept));
    EXPECT_TRUE(l.player.decisionsLoaded(DecisionFile::Behave));
    const auto records = l.records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[2].cycle, 7);
    EXPECT_EQ(records[2].kind, kSightRecordV2);
    EXPECT_EQ(l.player.decisionCount(DecisionFile::Pass), 3u);
    EXPECT_EQ(l.player.decisionCount(DecisionFile::Intercept), 0u);

    auto decisions = l.player.currentDecisions();
    ASSERT_EQ(decisions.pass.count, 2);
    ASSERT_EQ(decisions.pass.list.size(), 2u);
    EXPECT_EQ(decisions.pass.list[1].receiver, 2);
    EXPECT_EQ(decisions.defense.count, 1);
    l.player.command(kCmdStepForward);
    l.player.command(kCmdStepForward);
    l.player.current();
    decisions = l.player.currentDecisions();
    EXPECT_EQ(decisions.pass.count, 1);
    EXPECT_EQ(decisions.defense.count, 0);
    EXPECT_TRUE(decisions.defense.list.empty());
}

TEST(SightLogV2, CorruptPassCountStopsReadingPassDecisionsForTheRestOfTheFile) {
    TempDir dir;
    const std::string log = dir.write("a-log.slh", test::sightV2Log({1, 2, 3, 4}));
    Bytes pass = decisionFile({1}, 32);
    test::appendLe32(pass, 10001);
    // What follows would parse as valid blocks, but must not be read any more.
    const Bytes rest = decisionFile({1, 1}, 32);
    pass.insert(pass.end(), rest.begin() + 3, rest.end());
    dir.write("a-pass.dec", pass);
    dir.write("a-intercept.dec", decisionFile({-20000, 1, 1, 1}, 20));  // same bound for the other files
    Loaded l;
    l.load(log);
    ASSERT_EQ(l.player.size(), 4u);
    std::vector<int> passCounts, interceptCounts;
    for (int i = 0; i < 4; ++i) {
        l.player.current();
        const auto d = l.player.currentDecisions();
        passCounts.push_back(d.pass.count);
        interceptCounts.push_back(d.intercept.count);
        l.player.command(kCmdStepForward);
    }
    EXPECT_EQ(passCounts, (std::vector<int>{1, 0, 0, 0}));
    EXPECT_EQ(interceptCounts, (std::vector<int>{0, 0, 0, 0}));
}

TEST(SightLogV2, NegativeSmallCountsHoldNoEntries) {
    TempDir dir;
    const std::string log = dir.write("n-log.slh", test::sightV2Log({1, 2}));
    Bytes pass = {'D', 'E', 'C'};
    test::appendLe32(pass, static_cast<std::uint32_t>(-3));
    const Bytes next = decisionFile({1}, 32);
    pass.insert(pass.end(), next.begin() + 3, next.end());
    dir.write("n-pass.dec", pass);
    Loaded l;
    l.load(log);
    l.player.current();
    EXPECT_EQ(l.player.currentDecisions().pass.count, 0);
    l.player.command(kCmdStepForward);
    l.player.current();
    EXPECT_EQ(l.player.currentDecisions().pass.count, 1);
}

// The prefix comes from the file name alone and stays in the log's folder: a '-' in a
// folder name is no part of it, and a name without '-' finds the files beside the log.
TEST(SightLogV2, DecisionFilesAreLookedForInTheLogsOwnFolder) {
    TempDir dir;
    std::filesystem::create_directories(dir.path() / "my-dir");
    dir.write("my-pass.dec", decisionFile({7}, 32));
    dir.write("my-dir/pass.dec", decisionFile({2}, 32));
    dir.write("my-dir/t-2-behave.dec", decisionFile({1}, 20));
    Loaded l;
    l.load(dir.write("my-dir/game.slh", test::sightV2Log({1})));
    EXPECT_TRUE(l.player.decisionsLoaded(DecisionFile::Pass));
    EXPECT_FALSE(l.player.decisionsLoaded(DecisionFile::Behave));
    EXPECT_EQ(l.player.currentDecisions().pass.count, 2);

    l.load(dir.write("my-dir/t-2-game.slh", test::sightV2Log({1})));
    EXPECT_FALSE(l.player.decisionsLoaded(DecisionFile::Pass));
    EXPECT_TRUE(l.player.decisionsLoaded(DecisionFile::Behave));
}

TEST(SightLogV2, ALogLoadedAfterOneWithDecisionsKeepsNoneOfThem) {
    TempDir dir;
    const std::string first = dir.write("x-log.slh", test::sightV2Log({1, 2}));
    dir.write("x-pass.dec", decisionFile({3, 3}, 32));
    const std::string second = dir.write("ylog.slh", test::sightV2Log({1, 2}));
    Loaded l;
    l.load(first);
    EXPECT_EQ(l.player.currentDecisions().pass.count, 3);
    l.player.command(kCmdReset);
    EXPECT_EQ(l.player.size(), 0u);
    EXPECT_TRUE(l.player.decisionsLoaded(DecisionFile::Pass)) << "reset keeps the decision flags";
    l.load(second);
    EXPECT_FALSE(l.player.decisionsLoaded(DecisionFile::Pass));
    EXPECT_EQ(l.player.decisionCount(DecisionFile::Pass), 0u);
    l.player.current();
    EXPECT_EQ(l.player.currentDecisions().pass.count, 0);
}

TEST(SightLogV2, SavesRecordsAndTypesSoThatTheyLoadBack) {
    TempDir dir;
    const Bytes file = test::sightV2Log({3, 4, 5});
    Loaded l;
    l.load(dir.write("in.slh", file));
    const std::string out = dir.file("out.slh");
    ASSERT_TRUE(l.player.save(out));
    const Bytes saved = test::readFile(out);
    ASSERT_EQ(saved.size(), file.size());
    // Records are written back unchanged.
    EXPECT_TRUE(std::equal(file.begin() + 3 + 864, file.end(), saved.begin() + 3 + 864));
    Loaded again;
    again.load(out);
    ASSERT_EQ(again.records().size(), 3u);
    const auto a = l.player.player_types();
    const auto b = again.player.player_types();
    ASSERT_EQ(b.size(), 18u);
    for (std::size_t i = 0; i < a.size(); ++i) {
        const PlayerTypeState ta = toHost(a[i]), tb = toHost(b[i]);
        EXPECT_EQ(ta.id, tb.id);
        EXPECT_NEAR(ta.player_size, tb.player_size, 1e-4);
        EXPECT_NEAR(ta.effort_max, tb.effort_max, 1e-4);
    }
}

TEST(SightLogV2, ExtremeTypeValuesSaturateInsteadOfOverflowing) {
    TempDir dir;
    Bytes file = test::sightV2Log({1});
    const float huge = 1e30f;
    std::uint32_t bits;
    std::memcpy(&bits, &huge, 4);
    for (int i = 0; i < 4; ++i)
        file[3 + 4 * 5 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bits >> (8 * i));
    Loaded l;
    l.load(dir.write("huge.slh", file));
    EXPECT_GT(toHost(*l.player.player_type(0)).player_size, 32767.0);
}

}  // namespace
}  // namespace tessarin
