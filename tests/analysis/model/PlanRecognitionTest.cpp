// Plan recognition: parameters and regions, concurrent groups, compaction, the trie and
// its pruning, the network, and the three output files.

#include "analysis/PlanRecognition.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "analysis/BehaviourTrie.h"
#include "support/LogBuilder.h"

namespace tessarin {
namespace {

std::string readText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

BasicBehaviorEvent event(int startCycle, int side, int player, int kind, int target = -1, Vector start = {},
                         Vector end = {}) {
    BasicBehaviorEvent e;
    e.start_cycle = startCycle;
    e.end_cycle = startCycle;
    e.side = side;
    e.player = player;
    e.kind = kind;
    e.target = target;
    e.start_pos = start;
    e.end_pos = end;
    e.success = true;
    return e;
}

std::vector<BasicBehaviorEvent> withSentinel(std::vector<BasicBehaviorEvent> events) {
    events.insert(events.begin(), BasicBehaviorEvent{});
    return events;
}

ConcurrentGroup group(MAPREVENT main, std::vector<MAPREVENT> movements = {}) {
    ConcurrentGroup g{main};
    g.insert(g.end(), movements.begin(), movements.end());
    return g;
}

// Behaviours of the trie cases: A, B, C, D of the left team, R of the right team.
const MAPREVENT A{BB_PASS, 0, 0, 1, 0};
const MAPREVENT B{BB_PASS, 1, 0, 2, 0};
const MAPREVENT C{BB_SHOOT, 2, 0, 2, 0};
const MAPREVENT D{BB_PASS, 3, 0, 2, 0};
const MAPREVENT R{BB_PASS, 11, 0, 12, 0};

std::vector<ConcurrentGroup> groupsOf(std::initializer_list<MAPREVENT> mains) {
    std::vector<ConcurrentGroup> groups;
    for (const MAPREVENT& m : mains) groups.push_back(group(m));
    return groups;
}

TEST(PlanRecognitionParametersTest, ReadsThreeNumbersAndKeepsDefaultsForTheRest) {
    test::TempDir dir;
    const auto file = dir.path() / "params.txt";
    auto read = [&](const std::string& text) {
        writeText(file, text);
        return PlanRecognitionParameters::Read(file);
    };
    const auto missing = PlanRecognitionParameters::Read(dir.path() / "none.txt");
    EXPECT_EQ(missing.cell_width, 200.0);
    EXPECT_EQ(missing.cell_height, 100.0);
    EXPECT_EQ(missing.chi2_threshold, 1.0);

    const auto full = read("10.5\n20\t3.84 trailing words\n");
    EXPECT_EQ(full.cell_width, 10.5);
    EXPECT_EQ(full.cell_height, 20.0);
    EXPECT_EQ(full.chi2_threshold, 3.84);

    const auto one = read("12");
    EXPECT_EQ(one.cell_width, 12.0);
    EXPECT_EQ(one.cell_height, 100.0) << "a short file leaves the rest at their defaults";
    EXPECT_EQ(one.chi2_threshold, 1.0);

    const auto garbage = read("15 wide 7");
    EXPECT_EQ(garbage.cell_width, 15.0);
    EXPECT_EQ(garbage.cell_height, 100.0) << "reading stops at the first text that is not a number";
    EXPECT_EQ(garbage.chi2_threshold, 1.0);

    const auto unusable = read("0 -5 nan");
    EXPECT_EQ(unusable.cell_width, 200.0) << "a zero cell would divide by zero";
    EXPECT_EQ(unusable.cell_height, 100.0);
    EXPECT_EQ(unusable.chi2_threshold, 1.0);

    EXPECT_EQ(read("").cell_width, 200.0);

    // A FIFO under the name would hold a plain read for ever: it is not read at all.
    const auto fifo = dir.path() / "fifo.txt";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(PlanRecognitionParameters::Read(fifo).cell_width, 200.0);
}

TEST(PlanRecognitionParametersTest, RegionsOfTheGrid) {
    const PlanRecognitionParameters defaults;
    EXPECT_EQ(defaults.region(-52.5, -34), 0);
    EXPECT_EQ(defaults.region(52.5, 34), 0) << "with the defaults the whole field is one region";

    PlanRecognitionParameters grid;
    grid.cell_width = 10;
    grid.cell_height = 5;
    EXPECT_EQ(grid.region(-52, -34), 0);
    EXPECT_EQ(grid.region(0, 0), 5 + 1000 * 6);
    EXPECT_EQ(grid.region(-59, -38), 0) << "quotients are truncated toward zero";
    EXPECT_EQ(grid.region(-72, -45), -2 - 1000 * 2);

    PlanRecognitionParameters tiny;
    tiny.cell_width = 1e-300;
    tiny.cell_height = 1e-300;
    const int far = PlanRecognitionParameters::kMaxCellIndex;
    EXPECT_EQ(tiny.region(1, 1), far + 1000 * far) << "no overflow however small the cells";
    EXPECT_EQ(tiny.region(-60, -40), -far - 1000 * far);
}

class ConcurrentGroupTest : public ::testing::Test {
protected:
    void SetUp() override {
        params.cell_width = 10;
        params.cell_height = 10;
        // Frames of cycles 10..16; player l of frame f stands in column f, row l / 10.
        for (int f = 0; f < 7; ++f) {
            PointFrameT frame;
            frame.cycle = 10 + f;
            for (int l = 0; l < kPlayerCount; ++l) {
                frame.players[l] = {-52.0f + 10.0f * f + 0.5f, -34.0f + l + 0.5f};
            }
            frames.push_back(frame);
        }
    }
    static int row(int player) { return 1000 * (player / 10); }

    PlanRecognitionParameters params;
    std::vector<PointFrameT> frames;
};

TEST_F(ConcurrentGroupTest, MainBehavioursAndTheMovementsOfTheRunsPlayers) {
    const auto events = withSentinel({
        event(11, 0, 0, BB_PASS, 1, {-51.5f, -33.5f}, {-41.5f, -23.5f}),
        event(12, 0, 1, BB_DRIBBLE, 7, {-41.5f, -33.5f}, {-31.5f, -33.5f}),
        event(14, 1, 11, BB_INTERCEPT, -1),
        event(15, 1, 12, BB_PASS, 13),
    });
    const auto groups = BuildConcurrentGroups(events, frames, params);
    ASSERT_EQ(groups.size(), 4u) << "one group per event after the sentinel";

    // The pass: its target is the receiver; its teammate of the run moves from the
    // frame of its start (cycle 11) to that of the next event's start (cycle 12).
    EXPECT_EQ(groups[0], (ConcurrentGroup{{BB_PASS, 0, 0, 1, 1001}, {BB_POSITION, 1, 1, 1, 2}}));
    // Other kinds target the actor itself.
    EXPECT_EQ(groups[1], (ConcurrentGroup{{BB_DRIBBLE, 1, 1, 1, 2}, {BB_POSITION, 0, 2, 0, 4}}));
    // The side changed: the run is now the right team's players 11 and 12. The ball
    // positions of these events are the centre spot, region 5 + 1000 × 3.
    const int centre = 3005;
    EXPECT_EQ(groups[2], (ConcurrentGroup{{BB_INTERCEPT, 11, centre, 11, centre},
                                          {BB_POSITION, 12, 4 + row(12), 12, 5 + row(12)}}));
    // The last event measures from its own start to its own start.
    EXPECT_EQ(groups[3],
              (ConcurrentGroup{{BB_PASS, 12, centre, 13, centre}, {BB_POSITION, 11, 5 + row(11), 11, 5 + row(11)}}));
}

TEST_F(ConcurrentGroupTest, NoMovementsWhenAFrameIsMissingOrTheLastOne) {
    const auto events = withSentinel({
        event(16, 0, 0, BB_PASS, 1),   // starts at the last frame
        event(99, 0, 1, BB_PASS, 0),   // no frame of its cycle: the last frame stands in
        event(10, 0, 0, BB_SHOOT, 0),  // frame 0 is never matched: the search starts at 1
        event(12, 0, 1, BB_PASS, 0),   // the next start (cycle 3) has no frame
        event(3, 0, 0, BB_CLEARBALL),
    });
    const auto groups = BuildConcurrentGroups(events, frames, params);
    ASSERT_EQ(groups.size(), 5u);
    for (const auto& g : groups) EXPECT_EQ(g.size(), 1u);

    EXPECT_TRUE(BuildConcurrentGroups(withSentinel({}), frames, params).empty());
    const auto noFrames = BuildConcurrentGroups(events, {}, params);
    ASSERT_EQ(noFrames.size(), 5u);
    EXPECT_EQ(noFrames[0].size(), 1u);
}

TEST(CompactGroupsTest, KeepsShotsPassesClearancesAndDribblesThatLeaveTheirRegion) {
    std::vector<ConcurrentGroup> groups = {
        group({BB_ADJUST, 0, 1, 0, 1}),      group({BB_DRIBBLE, 0, 3, 0, 5}, {{BB_POSITION, 1, 2, 1, 2}}),
        group({BB_DRIBBLE, 0, 5, 0, 7}),     group({BB_DRIBBLE, 0, 7, 0, 7}),  // stays: merged without moving the end
        group({BB_PASS, 0, 7, 1, 8}),        group({BB_RECEIVE, 1, 8, 1, 8}),
        group({BB_DRIBBLE, 1, 8, 1, 8}),  // stays in its region: dropped
        group({BB_INTERCEPT, 12, 8, 12, 8}), group({BB_ADJUST, 12, 8, 12, 8}),
        group({BB_DRIBBLE, 12, 4, 12, 4}),  // the right team's groups are kept as they are
        group({BB_INTERCEPT, 2, 4, 2, 4}),   group({BB_SHOOT, 2, 4, 2, 9}),
        group({BB_CLEARBALL, 3, 1, 3, 2}),
    };
    CompactGroups(groups);
    std::vector<MAPREVENT> mains;
    for (const auto& g : groups) mains.push_back(g[0]);
    const std::vector<MAPREVENT> expected = {
        {BB_DRIBBLE, 0, 3, 0, 7},   {BB_PASS, 0, 7, 1, 8},  {BB_INTERCEPT, 12, 8, 12, 8}, {BB_ADJUST, 12, 8, 12, 8},
        {BB_DRIBBLE, 12, 4, 12, 4}, {BB_SHOOT, 2, 4, 2, 9}, {BB_CLEARBALL, 3, 1, 3, 2},
    };
    EXPECT_EQ(mains, expected);
    EXPECT_EQ(groups[0].size(), 2u) << "the merged dribble keeps its own movements";

    // A left dribble absorbs the dribbles that directly follow it, whichever team's.
    std::vector<ConcurrentGroup> mixed = {group({BB_DRIBBLE, 0, 1, 0, 2}), group({BB_DRIBBLE, 11, 2, 11, 6})};
    CompactGroups(mixed);
    ASSERT_EQ(mixed.size(), 1u);
    EXPECT_EQ(mixed[0][0].to, 6);
}

TEST(BehaviourTrieTest, ARunInsertsEverySuffixAndTheRootCountsThem) {
    BehaviourTrie trie;
    trie.Build(groupsOf({R, A, B, C, R}));
    ASSERT_FALSE(trie.empty());
    const TrieNode* root = trie.root();
    EXPECT_EQ(root->count, 3);
    ASSERT_EQ(root->children.size(), 3u);
    EXPECT_TRUE(root->children[0]->matches(A));
    EXPECT_TRUE(root->children[1]->matches(B));
    EXPECT_TRUE(root->children[2]->matches(C));
    const TrieNode& a = *root->children[0];
    ASSERT_EQ(a.children.size(), 1u);
    ASSERT_TRUE(a.children[0]->matches(B));
    ASSERT_EQ(a.children[0]->children.size(), 1u);
    EXPECT_TRUE(a.children[0]->children[0]->matches(C));
    EXPECT_EQ(a.children[0]->children[0]->parent, a.children[0].get());
    EXPECT_EQ(root->children[1]->children.size(), 1u);
    EXPECT_TRUE(root->children[2]->children.empty());

    EXPECT_EQ(trie.depthTotal(1), 3);
    EXPECT_EQ(trie.depthTotal(2), 2);
    EXPECT_EQ(trie.depthTotal(3), 1);
    EXPECT_EQ(trie.typeCountAt(C, 1), 1);
    EXPECT_EQ(trie.typeCountAt(C, 2), 1);
    EXPECT_EQ(trie.typeCountAt(C, 3), 1);
    EXPECT_EQ(trie.types(), (std::vector<MAPREVENT>{A, B, C}));
}

TEST(BehaviourTrieTest, PrunesByChiSquareAndKeepsDepthOneNodesWithChildren) {
    // Runs A-B, A-B, A-C, D-C. At depth 2 four insertions: B twice, C twice.
    // A-B: a 2, n 3, b 2, c 4: observed 2 1 0 1, expected 1.5 1.5 0.5 0.5.
    // A-C: a 1, n 3: observed 1 2 1 0; D-C: a 1, n 1: observed 1 0 1 2, expected 0.5 0.5 1.5 1.5.
    // Each gives 0.25/1.5 + 0.25/1.5 + 0.25/0.5 + 0.25/0.5 = 4/3.
    BehaviourTrie trie;
    trie.Build(groupsOf({A, B, R, A, B, R, A, C, R, D, C}));
    EXPECT_EQ(trie.root()->count, 8);
    trie.Prune(1.0);
    ASSERT_FALSE(trie.empty());
    const TrieNode* root = trie.root();
    ASSERT_EQ(root->children.size(), 2u) << "B and C at depth 1 have no children and go";
    const TrieNode& a = *root->children[0];
    const TrieNode& d = *root->children[1];
    EXPECT_TRUE(a.matches(A));
    EXPECT_TRUE(d.matches(D));
    EXPECT_EQ(a.chi2, 0.0) << "depth 1 is never tested";
    ASSERT_EQ(a.children.size(), 2u);
    EXPECT_NEAR(a.children[0]->chi2, 4.0 / 3.0, 1e-12);
    EXPECT_NEAR(a.children[1]->chi2, 4.0 / 3.0, 1e-12);
    ASSERT_EQ(d.children.size(), 1u);
    EXPECT_NEAR(d.children[0]->chi2, 4.0 / 3.0, 1e-12);

    BehaviourTrie strict;
    strict.Build(groupsOf({A, B, R, A, B, R, A, C, R, D, C}));
    strict.Prune(1.5);
    EXPECT_TRUE(strict.empty()) << "every depth-2 node fails: the whole trie goes, root included";
}

TEST(BehaviourTrieTest, NodesWithAnEmptyMarginAreDeletedWithoutATest) {
    // c = b: every insertion at depth 2 is B.
    BehaviourTrie allB;
    allB.Build(groupsOf({A, B, R, C, B}));
    allB.Prune(-1e9);
    EXPECT_TRUE(allB.empty());

    // c = n: every insertion at depth 2 went through A.
    BehaviourTrie throughA;
    throughA.Build(groupsOf({A, B, R, A, C}));
    throughA.Prune(-1e9);
    EXPECT_TRUE(throughA.empty());

    BehaviourTrie none;
    none.Build(groupsOf({R, R}));
    EXPECT_EQ(none.root()->count, 0);
    none.Prune(0);
    EXPECT_TRUE(none.empty());
}

TEST(BehaviourTrieTest, LongRunsStopAtTheDeepestLevelAndManyTypesAreAllCounted) {
    std::vector<ConcurrentGroup> groups;
    for (int i = 0; i < 150; ++i) groups.push_back(group({BB_PASS, i % 11, i, (i + 1) % 11, i + 1}));
    BehaviourTrie trie;
    trie.Build(groups);
    EXPECT_EQ(trie.root()->count, 150);
    EXPECT_EQ(trie.types().size(), 150u);
    EXPECT_EQ(trie.depthTotal(BehaviourTrie::kMaxDepth), 150 - BehaviourTrie::kMaxDepth + 1);
    EXPECT_EQ(trie.depthTotal(BehaviourTrie::kMaxDepth + 1), 0);
    EXPECT_EQ(trie.typeCountAt(groups[149][0], 1), 1) << "the 150th type has its own counts";
    EXPECT_EQ(trie.typeCountAt(groups[149][0], BehaviourTrie::kMaxDepth), 1);
    int depth = 0;
    for (const TrieNode* n = trie.root(); !n->children.empty(); n = n->children[0].get()) ++depth;
    EXPECT_EQ(depth, BehaviourTrie::kMaxDepth);
    trie.Prune(1.0);  // walks the deep trie without trouble
}

TEST(BehaviourTrieTest, WritesEveryLeafPathAndAppends) {
    test::TempDir dir;
    const auto file = dir.path() / "Trie.txt";
    BehaviourTrie trie;
    trie.Build(groupsOf({A, B, R, A, B, R, A, C, R, D, C}));
    trie.Prune(1.0);
    ASSERT_EQ(trie.Write(file), 0);
    const std::string tildes(63, '~');
    const std::string stars(28, '*');
    const std::string line(18, '-');
    const std::string expected =
        "Trie:\n" + tildes + "\n" + "BB_PASS--2-to-3--0-to-0  ::c==2  ::chi2==1.33333\n" + line + "\n" +
        "BB_PASS--1-to-2--0-to-0  ::c==3  ::chi2==0\n" + line + "\n" + "#CHI-SQUARE==1.33333   #COUNT==2\n" + stars +
        "\n" + tildes + "\n" + "BB_SHOOT--3-to-3--0-to-0  ::c==1  ::chi2==1.33333\n" + line + "\n" +
        "BB_PASS--1-to-2--0-to-0  ::c==3  ::chi2==0\n" + line + "\n" + "#CHI-SQUARE==1.33333   #COUNT==1\n" + stars +
        "\n" + tildes + "\n" + "BB_SHOOT--3-to-3--0-to-0  ::c==1  ::chi2==1.33333\n" + line + "\n" +
        "BB_PASS--4-to-3--0-to-0  ::c==1  ::chi2==0\n" + line + "\n" + "#CHI-SQUARE==1.33333   #COUNT==1\n" + stars +
        "\n";
    EXPECT_EQ(readText(file), expected);
    ASSERT_EQ(trie.Write(file), 0);
    EXPECT_EQ(readText(file), expected + expected) << "successive passes accumulate";

    BehaviourTrie empty;
    empty.Build(groupsOf({A, B, R, C, B}));
    empty.Prune(1.0);
    EXPECT_EQ(empty.Write(dir.path() / "other.txt"), 0);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "other.txt")) << "an empty trie writes nothing";
    EXPECT_EQ(trie.Write(dir.path() / "missing" / "Trie.txt"), -1);
}

TEST(PlanRecognitionNetworkTest, NodesCountMainBehavioursAndEdgesCountWhatHappenedWithAndAfter) {
    const MAPREVENT move1{BB_POSITION, 1, 0, 1, 3};
    const MAPREVENT move2{BB_POSITION, 2, 0, 2, 4};
    const MAPREVENT aElsewhere{BB_PASS, 0, 9, 7, 0};  // same kind, player and destination as A
    const std::vector<ConcurrentGroup> groups = {
        group(A, {move1, move2}),
        group(B, {move1}),
        group(aElsewhere, {move1}),
        group(R),
    };
    PlanRecognitionNetwork network;
    network.Build(groups);
    const auto& nodes = network.nodes();
    ASSERT_EQ(nodes.size(), 5u);
    // Order of creation: A, its movements, B (a follow of A), R (a follow of A's second group).
    EXPECT_EQ(network.find(A), 0);
    EXPECT_EQ(network.find(aElsewhere), 0) << "from and target are not compared";
    EXPECT_EQ(network.find(move1), 1);
    EXPECT_EQ(network.find(move2), 2);
    EXPECT_EQ(network.find(B), 3);
    EXPECT_EQ(network.find(R), 4);
    EXPECT_EQ(nodes[0].count, 2);
    EXPECT_EQ(nodes[0].from, 0) << "a node keeps the values of the behaviour that created it";
    EXPECT_EQ(nodes[1].count, 1) << "created as a concurrent movement; edges do not count nodes";
    EXPECT_EQ(nodes[3].count, 1) << "created as a follow (0), then counted as a main behaviour";
    EXPECT_EQ(nodes[4].count, 1) << "created as a follow (0), then counted as the last main behaviour";

    ASSERT_EQ(nodes[0].concurrent.size(), 2u);
    EXPECT_EQ(nodes[0].concurrent[0].node, 1);
    EXPECT_EQ(nodes[0].concurrent[0].times, 2);
    EXPECT_EQ(nodes[0].concurrent[1].times, 1);
    ASSERT_EQ(nodes[0].follow.size(), 3u);
    EXPECT_EQ(nodes[0].follow[0].node, 3);  // B and move1 after the first A
    EXPECT_EQ(nodes[0].follow[1].node, 1);
    EXPECT_EQ(nodes[0].follow[1].times, 1);
    EXPECT_EQ(nodes[0].follow[2].node, 4);  // R after the second
    ASSERT_EQ(nodes[3].follow.size(), 2u);  // B is followed by aElsewhere (node 0) and move1
    EXPECT_EQ(nodes[3].follow[0].node, 0);
    EXPECT_TRUE(nodes[4].follow.empty()) << "the last group has no next group";
}

TEST(PlanRecognitionNetworkTest, WritesTheNetworkInItsTextForm) {
    test::TempDir dir;
    PlanRecognitionNetwork network;
    network.Build({group(A, {{BB_POSITION, 1, 0, 1, 3}}), group(R)});
    ASSERT_EQ(network.Write(dir.path() / "MAPRN.txt"), 0);
    const std::string rule(49, '-');
    EXPECT_EQ(readText(dir.path() / "MAPRN.txt"),
              "MAPRN:\n"
              "--Node 0 --\nevent: player 1 BB_PASS from 0 to 0\ncount: 1\nconcurrent:\n"
              "node 1 cohappen times=1 p=0.666667\nfollow:\nnode 2 follow times=1 p=0.666667\n" +
                  rule +
                  "\n"
                  "--Node 1 --\nevent: player 2 BB_POSITION from 0 to 3\ncount: 1\nconcurrent:\nfollow:\n" +
                  rule +
                  "\n"
                  "--Node 2 --\nevent: player 101 BB_PASS from 0 to 0\ncount: 1\nconcurrent:\nfollow:\n" +
                  rule + "\n");
    EXPECT_EQ(network.Write(dir.path() / "missing" / "MAPRN.txt"), -1);
}

TEST(PlanRecognitionTest, ThePassWritesItsThreeFiles) {
    test::TempDir dir;
    PlanRecognition pass;
    // Frame 0 is never matched and the last frame has no movements: cycles 0..4.
    std::vector<PointFrameT> frames(5);
    for (int f = 0; f < 5; ++f) frames[f].cycle = f;
    const auto events = withSentinel({
        event(1, 0, 0, BB_PASS, 1),
        event(2, 0, 1, BB_RECEIVE, 0),
        event(2, 0, 1, BB_SHOOT, 1),
        event(3, 1, 20, BB_INTERCEPT),
    });
    const auto result = pass.RunPlanRecognition(events, frames, dir.path());
    EXPECT_EQ(result.concurrent_events, 0);
    EXPECT_EQ(result.trie, 0);
    EXPECT_EQ(result.network, 0);
    EXPECT_FALSE(result.trie_written) << "pass then shoot: every depth-2 insertion is the shot";
    ASSERT_EQ(pass.groups().size(), 3u) << "the receive is compacted away";

    const std::string rule(27, '-');
    EXPECT_EQ(readText(dir.path() / "concurrent_event.txt"),
              "event queu\n"
              "0%%%%%%%%%%%%%%%%%%%%%%%%%%%\n1-to-2--BB_PASS--0--0\n2-to-2--BB_POSITION--0--0\n" +
                  rule +
                  "\n\n"
                  "1%%%%%%%%%%%%%%%%%%%%%%%%%%%\n2-to-2--BB_SHOOT--0--0\n1-to-1--BB_POSITION--0--0\n" +
                  rule +
                  "\n\n"
                  "2%%%%%%%%%%%%%%%%%%%%%%%%%%%\n110-to-110--BB_INTERCEPT--0--0\n" +
                  rule + "\n\n");
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "Trie.txt"));
    EXPECT_EQ(pass.network().nodes().size(), 5u);
    EXPECT_TRUE(readText(dir.path() / "MAPRN.txt").starts_with("MAPRN:\n--Node 0 --\n"));

    // A second pass starts afresh.
    pass.RunPlanRecognition(withSentinel({event(1, 0, 0, BB_CLEARBALL)}), frames, dir.path());
    EXPECT_EQ(pass.groups().size(), 1u);
    EXPECT_EQ(pass.network().nodes().size(), 1u);
}

TEST(PlanRecognitionTest, UnwritableDirectoryIsReportedAndThePassGoesOn) {
    test::TempDir dir;
    PlanRecognition pass;
    const auto events = withSentinel({event(1, 0, 0, BB_PASS, 1), event(2, 0, 1, BB_PASS, 2),
                                      event(3, 1, 12, BB_PASS, 13), event(4, 0, 0, BB_PASS, 2)});
    const auto result = pass.RunPlanRecognition(events, {}, dir.path() / "missing");
    EXPECT_EQ(result.concurrent_events, -1);
    EXPECT_EQ(result.network, -1);
    EXPECT_EQ(pass.network().nodes().size(), 3u) << "the network is still built: the two passes of 1 share a node";
    EXPECT_EQ(pass.RunPlanRecognition({}, {}, dir.path()).concurrent_events, 0) << "no events at all";
    EXPECT_EQ(readText(dir.path() / "concurrent_event.txt"), "event queu\n");
}

}  // namespace
}  // namespace tessarin
