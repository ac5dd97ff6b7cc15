// Reading and writing version-3 game logs through the log player.

#include <gtest/gtest.h>

#include "record/ByteOrder.h"
#include "record/LogFile.h"
#include "record/LogPlayer.h"
#include "record/V3LogParser.h"
#include "support/FakeHost.h"
#include "support/LogBuilder.h"

namespace tessarin {
namespace {

using test::Bytes;
using test::FakeHooks;
using test::FakeHost;
using test::ShowBuilder;
using test::TempDir;
using test::V3LogBuilder;

std::vector<cycle_info_t> loadRecords(LogPlayer& player, const std::string& path) {
    player.command(kCmdLoad, path);
    player.waitForParser();
    return player.withStore([](const std::vector<cycle_info_t>& f) { return f; });
}

struct Loaded {
    FakeHost host;
    FakeHooks hooks;
    LogPlayer player{host, &hooks};
    std::vector<cycle_info_t> records;
    explicit Loaded(const std::string& path, bool opponentModel = false) {
        hooks.enabled = opponentModel;
        records = loadRecords(player, path);
    }
};

// Counts the show records of a version-3 file by walking its records independently.
std::size_t countShowRecords(const Bytes& file) {
    std::size_t pos = 4, shows = 0;
    while (pos + 2 <= file.size()) {
        const int kind = be16(file.data() + pos);
        pos += 2;
        switch (kind) {
            case 1:
                pos += 1428;
                ++shows;
                break;
            case 2:
                pos += 4 + be16(file.data() + pos + 2);
                break;
            case 5:
                pos += 1;
                break;
            case 6:
                pos += 36;
                break;
            case 7:
                pos += 88;
                break;
            case 8:
                pos += 396;
                break;
            case 9:
                pos += 132;
                break;
            default:
                return shows;
        }
    }
    return shows;
}

TEST(V3LogReader, DemoGameStoresOneRecordPerShowWithItsTeamsAndModes) {
    const Bytes file = test::readFile(test::demoGamePath());
    ASSERT_FALSE(file.empty()) << "demo game missing";
    Loaded l(test::demoGamePath());
    EXPECT_EQ(l.player.format(), LogFormat::V3);
    EXPECT_EQ(l.player.parseResult(), true);
    ASSERT_EQ(l.records.size(), countShowRecords(file));
    EXPECT_EQ(l.player.player_types().size(), 18u);
    EXPECT_TRUE(l.player.hasServerParameters());
    EXPECT_NEAR(l.player.ball_size(), 0.085, 1e-4);

    const ShowState first = toHost(l.records.front().show());
    const ShowState last = toHost(l.records.back().show());
    EXPECT_EQ(l.records.front().cycle, first.time);
    EXPECT_EQ(first.team[0].name, "HELIOS_left");
    EXPECT_EQ(first.team[1].name, "HELIOS_right");
    EXPECT_EQ(last.team[0].score, 4);
    EXPECT_EQ(last.team[1].score, 1);
    EXPECT_EQ(last.time, 8000);
    for (const auto& r : l.records) {
        ASSERT_EQ(r.valid, 1);
        ASSERT_EQ(r.kind, kShowRecord);
        ASSERT_EQ(r.cycle, recordCycle(r));
        ASSERT_LT(r.data[0], kPlayModeCount);
    }
    // Every show record was analysed and fed to the opponent model exactly once.
    EXPECT_EQ(l.hooks.shows, static_cast<int>(l.records.size()));
    EXPECT_EQ(l.hooks.feeds, static_cast<int>(l.records.size()));
    EXPECT_EQ(l.hooks.starts, 1);
}

TEST(V3LogReader, PlayModeTeamsAndReceivedMessagesBelongToTheFollowingShow) {
    TempDir dir;
    V3LogBuilder b;
    b.show(1)  // before any mode or team record
        .playMode(3)
        .teams("Alpha", 0, "Beta", 0)
        .message("Recv hello")
        .message("(referee something)")
        .message("Recv world")
        .show(2)
        .show(3)
        .playMode(14)
        .teams("Alpha", 1, "Beta", 0)
        .show(4);
    Loaded l(dir.write("game.rcg", b.bytes()));
    ASSERT_EQ(l.records.size(), 4u);
    const ShowState s1 = toHost(l.records[0].show());
    EXPECT_EQ(s1.playmode, 0);
    EXPECT_EQ(s1.team[0].name, "");
    EXPECT_EQ(l.records[0].messages, "");
    const ShowState s2 = toHost(l.records[1].show());
    EXPECT_EQ(s2.playmode, 3);
    EXPECT_EQ(s2.team[1].name, "Beta");
    EXPECT_EQ(l.records[1].messages, "Recv hello\t\t\tRecv world\t\t\t");
    EXPECT_EQ(l.records[2].messages, "");
    EXPECT_EQ(toHost(l.records[2].show()).playmode, 3);
    const ShowState s4 = toHost(l.records[3].show());
    EXPECT_EQ(s4.playmode, 14);
    EXPECT_EQ(s4.team[0].score, 1);
}

TEST(V3LogReader, MessageTextEndsAtNulAndLongBodiesStayInStep) {
    TempDir dir;
    std::string withNul = std::string("Recv ab") + '\0' + "hidden";
    const std::string longText = "Recv " + std::string(5000, 'x');
    V3LogBuilder b;
    b.message(withNul).show(1).message(longText).show(2).show(3);
    Loaded l(dir.write("game.rcg", b.bytes()));
    ASSERT_EQ(l.records.size(), 3u) << "a long message must not end or derail reading";
    EXPECT_EQ(l.records[0].messages, "Recv ab\t\t\t");
    EXPECT_EQ(l.records[1].messages, longText.substr(0, kMaxMessageLength) + "\t\t\t");
    EXPECT_EQ(l.records[2].cycle, 3);
}

TEST(V3LogReader, FileEndingInsideARecordKeepsEveryCompleteRecordOnce) {
    TempDir dir;
    V3LogBuilder b;
    b.serverParams(0.1).playMode(3).teams("A", 0, "B", 0);
    for (int c = 1; c <= 5; ++c) b.message("Recv m" + std::to_string(c)).show(c);
    const Bytes full = b.bytes();
    const std::size_t showRecord = 2 + 1428;
    const std::size_t messageRecord = 2 + 4 + 7;
    const std::size_t header = 4 + 2 + 396 + 2 + 1 + 2 + 36;
    // Cut at every interesting place of the last two cycles: inside a kind, a message, a show.
    const std::size_t lastCycleStart = header + 4 * (messageRecord + showRecord);
    for (std::size_t cut : {lastCycleStart + 1, lastCycleStart + 5, lastCycleStart + messageRecord + 1,
                            lastCycleStart + messageRecord + 700, full.size() - 1}) {
        SCOPED_TRACE(cut);
        Loaded l(dir.write("cut.rcg", Bytes(full.begin(), full.begin() + static_cast<long>(cut))));
        ASSERT_EQ(l.records.size(), 4u);
        EXPECT_EQ(l.records.back().cycle, 4);
        EXPECT_EQ(l.records.back().messages, "Recv m4\t\t\t");
        EXPECT_EQ(l.player.parseResult(), true);
        EXPECT_TRUE(l.player.droppedTornRecord()) << "the dropped record is noted for a warning";
    }
    Loaded whole(dir.write("whole.rcg", full));
    EXPECT_EQ(whole.records.size(), 5u);
    EXPECT_FALSE(whole.player.droppedTornRecord());
}

TEST(V3LogReader, UnknownRecordKindsEndLoadingQuietlyWithWhatWasRead) {
    TempDir dir;
    for (int kind : {0, 3, 4, 10, -1}) {
        SCOPED_TRACE(kind);
        V3LogBuilder b;
        b.playMode(3).show(1).show(2).kind(kind).raw(Bytes(2000, 0)).show(3);
        Loaded l(dir.write("game.rcg", b.bytes()), true);
        EXPECT_EQ(l.records.size(), 2u);
        EXPECT_EQ(l.player.parseResult(), false);
        // Reading stopped early: the opponent model is not finished and nothing is shown.
        EXPECT_EQ(l.hooks.starts, 1);
        EXPECT_EQ(l.hooks.finishes, 0);
        EXPECT_TRUE(l.host.shownMessages().empty());
    }
}

// Asks the reader to stop as soon as a record is drawn.
class StopOnDraw final : public NullPlaybackHost {
public:
    explicit StopOnDraw(std::stop_source& stop) : stop_(stop) {}
    void drawRecord(const cycle_info_t&) override { stop_.request_stop(); }

private:
    std::stop_source& stop_;
};

TEST(V3LogReader, TheFirstShowIsDrawnAtOnceAndEachIsAnalysedWithTheTypesReadBeforeIt) {
    TempDir dir;
    V3LogBuilder b;
    b.playMode(3).show(1).playerType(0, 0.3, 0.7).show(2).show(3).playerType(1, 0.3, 0.7);
    for (int cycle = 4; cycle <= 40; ++cycle) b.show(cycle);
    const std::string path = dir.write("game.rcg", b.bytes());

    std::stop_source stop;
    StopOnDraw host(stop);
    LogPlayer player(host);
    CV3LogParser parser(player);
    LogFile file(path, LogFile::Mode::Read);
    ASSERT_EQ(file.skip(4), 4u);
    EXPECT_FALSE(parser.parse(file, stop.get_token()));
    EXPECT_EQ(player.size(), 1u) << "the first show is drawn before the next is read";

    Loaded l(path);
    ASSERT_EQ(l.hooks.typesPerShow.size(), 40u);
    EXPECT_EQ(l.hooks.typesPerShow[0], 0u);
    EXPECT_EQ(l.hooks.typesPerShow[1], 1u);
    EXPECT_EQ(l.hooks.typesPerShow[2], 1u);
    EXPECT_EQ(l.hooks.typesPerShow[3], 2u);
    EXPECT_EQ(l.hooks.typesPerShow.back(), 2u);
}

TEST(V3LogReader, OtherHeadersAndVersionsLoadNothing) {
    TempDir dir;
    const std::vector<Bytes> files = {V3LogBuilder(2).show(1).bytes(), V3LogBuilder(4).show(1).bytes(),
                                      Bytes{'U', 'L', 'G'}, Bytes{'X', 'Y', 'Z', 3, 0, 1}, Bytes{'U'}};
    for (const auto& f : files) {
        FakeHost host;
        LogPlayer player(host);
        const auto records = loadRecords(player, dir.write("f.rcg", f));
        EXPECT_TRUE(records.empty());
        EXPECT_EQ(player.loadOutcome(), LoadOutcome::UnknownFormat);
        EXPECT_EQ(player.format(), LogFormat::None);
    }
}

TEST(V3LogReader, OpponentModelStartsOnFirstPlayOnAndFinishesOnlyWhenEnabled) {
    TempDir dir;
    V3LogBuilder b;
    b.playMode(1).show(1).playMode(3).show(2).show(3).playMode(6).show(4).playMode(3).show(5);
    const std::string path = dir.write("game.rcg", b.bytes());
    {
        Loaded l(path);
        EXPECT_EQ(l.hooks.starts, 1);
        EXPECT_EQ(l.hooks.startTime, hostToNet16(2));
        EXPECT_EQ(l.hooks.finishes, 0);
        EXPECT_TRUE(l.host.shownMessages().empty());
    }
    FakeHost host;
    FakeHooks hooks;
    hooks.enabled = true;
    LogPlayer player(host, &hooks);
    loadRecords(player, path);
    EXPECT_EQ(hooks.finishes, 1);
    EXPECT_EQ(host.shownMessages(), std::vector<std::string>{"Opponent Model Recognization done!!"});

    // A game that never reaches play_on never starts the model, but still finishes it.
    const std::string noPlayOn = dir.write("before.rcg", V3LogBuilder().playMode(1).show(1).show(2).bytes());
    loadRecords(player, noPlayOn);
    EXPECT_EQ(hooks.starts, 1);
    EXPECT_EQ(hooks.finishes, 2);
}

TEST(V3LogWriter, SavingAndLoadingTheDemoGameKeepsEveryRecordByteForByte) {
    TempDir dir;
    Loaded original(test::demoGamePath());
    ASSERT_FALSE(original.records.empty());
    const std::string saved = dir.file("saved.rcg");
    ASSERT_TRUE(original.player.save(saved));

    Loaded again(saved);
    ASSERT_EQ(again.records.size(), original.records.size());
    for (std::size_t i = 0; i < original.records.size(); ++i) {
        const auto& a = original.records[i];
        const auto& b = again.records[i];
        ASSERT_EQ(a.cycle, b.cycle) << i;
        ASSERT_EQ(a.kind, b.kind) << i;
        ASSERT_EQ(a.data, b.data) << "record " << i;
        ASSERT_EQ(a.messages, b.messages) << i;
    }
    const auto typesA = original.player.player_types();
    const auto typesB = again.player.player_types();
    ASSERT_EQ(typesA.size(), typesB.size());
    EXPECT_EQ(std::memcmp(typesA.data(), typesB.data(), typesA.size() * sizeof(player_type_t)), 0);
    EXPECT_EQ(original.player.server_parameters().bytes, again.player.server_parameters().bytes);
    EXPECT_EQ(original.player.player_parameters().bytes, again.player.player_parameters().bytes);

    const std::string savedTwice = dir.file("saved2.rcg");
    ASSERT_TRUE(again.player.save(savedTwice));
    EXPECT_EQ(test::readFile(saved), test::readFile(savedTwice));
}

TEST(V3LogWriter, WritesModeTeamMessageAndShowInThatOrderOnlyOnChange) {
    TempDir dir;
    V3LogBuilder b;
    b.serverParams(0.085)
        .playerParams()
        .playerType(0, 0.3, 0.7)
        .playMode(3)
        .teams("A", 0, "B", 0)
        .message("Recv one")
        .show(1)
        .show(2)
        .teams("A", 1, "B", 0)
        .show(3);
    Loaded l(dir.write("in.rcg", b.bytes()));
    const std::string out = dir.file("out.rcg");
    ASSERT_TRUE(l.player.save(out));
    // Our writer puts the blocks first: the input above was written in that same order,
    // so the saved file must be identical to it.
    EXPECT_EQ(test::readFile(out), b.bytes());
}

// The store separates messages with "\t\t\t"; a message holding that text itself must
// come back whole, not split into a piece without "Recv " that the reader drops.
TEST(V3LogWriter, MessagesHoldingTheSeparatorAreWrittenBackWhole) {
    TempDir dir;
    V3LogBuilder b;
    b.serverParams(0.085).playerParams().playMode(3).teams("A", 0, "B", 0);
    b.message("Recv a\t\t\tb").message("Recv c").message("Recv d\t\t\t").message("Recv \t\t\tRecvx").show(1);
    Loaded l(dir.write("in.rcg", b.bytes()));
    ASSERT_EQ(l.records.size(), 1u);
    EXPECT_EQ(l.records[0].messages, "Recv a\t\t\tb\t\t\tRecv c\t\t\tRecv d\t\t\t\t\t\tRecv \t\t\tRecvx\t\t\t");
    const std::string out = dir.file("out.rcg");
    ASSERT_TRUE(l.player.save(out));
    EXPECT_EQ(test::readFile(out), b.bytes());
}

TEST(V3LogWriter, ReportsWriteFailures) {
    Loaded l(test::demoGamePath());
    EXPECT_FALSE(l.player.save("/dev/full"));
    EXPECT_FALSE(l.player.save("/nonexistent-dir/x.rcg"));
    FakeHost host;
    LogPlayer empty(host);
    TempDir dir;
    EXPECT_FALSE(empty.save(dir.file("empty.rcg")));
}

}  // namespace
}  // namespace tessarin
