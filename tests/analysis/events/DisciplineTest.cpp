// Cards, fouls and tackles counted from the companions of a game's records.

#include "analysis/Discipline.h"

#include <gtest/gtest.h>

#include "record/Companion.h"
#include "record/LogPlayer.h"
#include "support/FakeHost.h"
#include "support/LogBuilder.h"

namespace tessarin {
namespace {

struct Sequence {
    std::vector<cycle_info_t> records;
    CompanionStore store;
    CycleCompanion companion;

    // Appends a show whose player `index` has `state` and `tackles`; the others keep theirs.
    void add(int index, std::uint32_t state, std::uint32_t tackles) {
        PlayerCompanion& p = companion.players[static_cast<std::size_t>(index)];
        p.state = state;
        p.counters[kTackleCounter] = tackles;
        p.counterCount = 4;
        records.emplace_back();
        store.append(records.size() - 1, &companion);
    }
};

TEST(Discipline, CountsEachCardAndFoulOnceAndEveryTackle) {
    Sequence s;
    // Left 2: a foul held over three cycles, a yellow card, then a second one (red).
    s.add(1, 0x1, 0);
    s.add(1, 0x1 | kStateFoulCharged, 1);
    s.add(1, 0x1 | kStateFoulCharged, 1);
    s.add(1, 0x1 | kStateFoulCharged | kStateYellowCard, 1);
    s.add(1, 0x1 | kStateYellowCard, 3);
    s.add(1, 0x1 | kStateFoulCharged | kStateYellowCard, 3);
    s.add(1, 0x100 | kStateRedCard, 3);
    s.add(1, 0x100 | kStateRedCard, 3);
    // Right 1 reconnects: its counter starts again, and only the rises count.
    s.add(11, 0x9, 4);
    s.add(11, 0x9, 0);
    s.add(11, 0x9, 2);
    const GameDiscipline d = countDiscipline(s.records, s.store);
    ASSERT_TRUE(d.players[1]);
    EXPECT_EQ(d.players[1]->fouls, 2);
    EXPECT_EQ(d.players[1]->yellowCards, 1);
    EXPECT_EQ(d.players[1]->redCards, 1);
    EXPECT_EQ(d.players[1]->tackles, 3);
    ASSERT_TRUE(d.players[11]);
    EXPECT_EQ(d.players[11]->tackles, 6);
    // Nobody told anything of left 1: unknown, not zero.
    EXPECT_FALSE(d.players[0]);
    ASSERT_TRUE(d.teams[0] && d.teams[1]);
    EXPECT_EQ(d.teams[0]->fouls, 2);
    EXPECT_EQ(d.teams[1]->tackles, 6);
    EXPECT_EQ(d.teams[1]->redCards, 0);
}

TEST(Discipline, KnowsNothingOfAVersion3GameAndAllOfARealTextGame) {
    test::FakeHost host;
    LogPlayer v3(host);
    v3.command(kCmdLoad, test::testDataPath("text/v6-short-as-v3.rcg"));
    v3.waitForParser();
    const GameDiscipline none = v3.withStoreAndCompanions(countDiscipline);
    for (const auto& p : none.players) EXPECT_FALSE(p);
    for (const auto& t : none.teams) EXPECT_FALSE(t);

    LogPlayer v6(host);
    v6.command(kCmdLoad, test::testDataPath("text/v6-short.rcg"));
    v6.waitForParser();
    const GameDiscipline d = v6.withStoreAndCompanions(countDiscipline);
    for (const auto& p : d.players) EXPECT_TRUE(p);
    // Counted from the sample's lines: fouls by left 4, left 11 and right 2; tackles by
    // left 11, right 3 and right 10; no cards.
    ASSERT_TRUE(d.teams[0] && d.teams[1]);
    EXPECT_EQ(d.teams[0]->fouls, 2);
    EXPECT_EQ(d.teams[1]->fouls, 1);
    EXPECT_EQ(d.players[3]->fouls, 1);
    EXPECT_EQ(d.teams[0]->tackles, 1);
    EXPECT_EQ(d.teams[1]->tackles, 2);
    EXPECT_EQ(d.players[13]->tackles, 1);
    EXPECT_EQ(d.teams[0]->yellowCards + d.teams[1]->yellowCards + d.teams[0]->redCards + d.teams[1]->redCards, 0);
}

}  // namespace
}  // namespace tessarin
