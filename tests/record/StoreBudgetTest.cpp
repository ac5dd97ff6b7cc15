// The store's budget, and telling a damaged file from a whole one.

#include <gtest/gtest.h>

#include <string>

#include "record/LogFile.h"
#include "record/LogPlayer.h"
#include "support/FakeHost.h"
#include "support/LogBuilder.h"

namespace tessarin {
namespace {

using test::Bytes;
using test::TempDir;

Bytes gzipped(const TempDir& dir, const Bytes& bytes) {
    const std::string path = dir.file("packed.gz");
    LogFile out(path, LogFile::Mode::Write);
    out.startCompression();
    out.write(bytes.data(), bytes.size());
    out.close();
    return test::readFile(path);
}

Bytes textBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

struct Game {
    test::FakeHost host;
    LogPlayer player{host};
    void load(const TempDir& dir, const Bytes& bytes, StoreBudget budget = {}) {
        player.setBudget(budget);
        player.command(kCmdLoad, dir.write("game.rcg", bytes));
        player.waitForParser();
    }
};

TEST(StoreBudget, ACompressedBombStopsAtTheRecordBudgetAndKeepsWhatWasRead) {
    TempDir dir;
    std::string text = "ULG6\n";
    for (int i = 0; i < 200'000; ++i) text += "(show 1)\n";
    const Bytes packed = gzipped(dir, textBytes(text));
    ASSERT_LT(packed.size(), 100'000u) << "a small file";

    Game game;
    StoreBudget budget;
    budget.records = 5000;
    game.load(dir, packed, budget);
    EXPECT_EQ(game.player.size(), 5000u);
    EXPECT_TRUE(game.player.overBudget());
    EXPECT_FALSE(game.player.inputDamaged()) << "a game over the budget is not a damaged one";
    EXPECT_NE(game.player.loadWarning().find("budget of 5000 records"), std::string::npos) << game.player.loadWarning();

    // The next load starts with an empty store and no mark.
    game.load(dir, test::V3LogBuilder().show(1).show(2).bytes());
    EXPECT_EQ(game.player.size(), 2u);
    EXPECT_FALSE(game.player.overBudget());
    EXPECT_EQ(game.player.loadWarning(), "");
}

TEST(StoreBudget, MessagesCountTowardsTheByteBudget) {
    TempDir dir;
    test::V3LogBuilder log;
    const std::string message = "Recv " + std::string(2000, 'm');
    for (int cycle = 1; cycle <= 100; ++cycle) {
        for (int m = 0; m < 10; ++m) log.message(message);
        log.show(cycle);
    }
    Game game;
    StoreBudget budget;
    // Room for ten records with their 20 KB of messages each, not for eleven.
    budget.bytes = 10 * (sizeof(cycle_info_t) + 10 * (message.size() + kMessageSeparator.size())) + 100;
    game.load(dir, log.bytes(), budget);
    EXPECT_EQ(game.player.size(), 10u);
    EXPECT_TRUE(game.player.overBudget());
    EXPECT_EQ(game.player.last()->cycle, 10);
}

TEST(StoreBudget, DecisionEntriesAreBoundedInTotal) {
    TempDir dir;
    // Every cycle's pass block claims 100 entries of 32 bytes.
    Bytes pass = {'P', 'A', 'S'};
    for (int cycle = 0; cycle < 10; ++cycle) {
        test::appendLe32(pass, 100);
        pass.insert(pass.end(), 100 * 32, 0);
    }
    dir.write("s-pass.dec", pass);
    test::FakeHost host;
    LogPlayer player(host);
    StoreBudget budget;
    budget.decisionEntries = 350;
    player.setBudget(budget);
    player.command(kCmdLoad, dir.write("s-game.slh", test::sightV2Log({1, 2, 3, 4, 5, 6, 7, 8, 9, 10})));
    player.waitForParser();
    EXPECT_EQ(player.size(), 3u) << "the fourth cycle's entries would pass the budget";
    EXPECT_EQ(player.decisionCount(DecisionFile::Pass), 3u);
    EXPECT_TRUE(player.overBudget());
    EXPECT_NE(player.loadWarning().find("decision files"), std::string::npos) << player.loadWarning();
}

TEST(InputDamage, OnlyAFileThatCouldNotBeReadToItsEndIsDamaged) {
    TempDir dir;
    test::V3LogBuilder whole;
    whole.teams("L", 0, "R", 0);
    for (int cycle = 1; cycle <= 300; ++cycle) whole.show(test::ShowBuilder(cycle).ball(cycle % 50, 1).build());
    const Bytes good = whole.bytes();
    Game game;

    game.load(dir, good);
    EXPECT_EQ(game.player.size(), 300u);
    EXPECT_FALSE(game.player.inputDamaged());

    Bytes torn = good;
    torn.resize(torn.size() - 100);
    game.load(dir, torn);
    EXPECT_TRUE(game.player.inputDamaged()) << "a record cut off by the end of the file";

    game.load(dir, test::V3LogBuilder(whole).kind(4).show(301).bytes());
    EXPECT_EQ(game.player.size(), 300u);
    EXPECT_TRUE(game.player.inputDamaged()) << "a record of no known kind";

    // One flipped byte inside the compressed member: the shows inflated before the
    // damage are kept, and the load says the input was damaged.
    Bytes flipped = gzipped(dir, good);
    flipped[flipped.size() / 2] ^= 0x10;
    game.load(dir, flipped);
    EXPECT_TRUE(game.player.inputDamaged()) << game.player.size() << " records";

    game.load(dir, gzipped(dir, good));
    EXPECT_EQ(game.player.size(), 300u);
    EXPECT_FALSE(game.player.inputDamaged());

    // Lines of a kind the reader does not know are skipped, not damage.
    game.load(dir, textBytes("ULG6\n(show 1)\n(future_kind 1 2)\n(show 2)\n"));
    EXPECT_EQ(game.player.size(), 2u);
    EXPECT_FALSE(game.player.inputDamaged());
    EXPECT_NE(game.player.loadWarning().find("unknown kind"), std::string::npos);
}

}  // namespace
}  // namespace tessarin
