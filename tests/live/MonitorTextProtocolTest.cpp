// Monitor protocols 3 to 5 (text datagrams) against a stand-in server on loopback, and
// protocol 2 against the same stand-in.

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "live/FakeMonitorHost.h"
#include "live/MonitorConnection.h"
#include "live/StandInServer.h"
#include "record/ByteOrder.h"
#include "record/LogPlayer.h"
#include "support/Eventually.h"
#include "support/FakeHost.h"

namespace tessarin {
namespace {

using test::eventually;
using test::StandInServer;

double fixedToDouble(std::int32_t networkValue) { return netToHost32(networkValue) / 65536.0; }

class MonitorTextProtocolTest : public ::testing::Test {
protected:
    void connect(int protocol) {
        connection.Connect("127.0.0.1", server.monitorPort(), protocol);
        ASSERT_TRUE(connection.connected());
        ASSERT_TRUE(server.waitForText("(dispinit version " + std::to_string(protocol) + ")"));
        ASSERT_EQ(server.initVersion(), protocol);
    }
    std::vector<std::string> textsAt(std::uint16_t port) const {
        std::vector<std::string> out;
        for (const auto& r : server.received()) {
            if (r.atPort == port) out.push_back(r.text);
        }
        return out;
    }
    // The record of this cycle and its companion, from the store.
    std::pair<cycle_info_t, std::optional<CycleCompanion>> stored(int cycle) const {
        const std::size_t index = player.find(cycle);
        auto companion = player.companionAt(index);
        auto record = player.withStore([&](const std::vector<cycle_info_t>& frames) { return frames.at(index); });
        return {record, companion};
    }

    StandInServer server;
    test::FakeHost playbackHost;
    LogPlayer player{playbackHost};
    test::FakeMonitorHost host;
    CMonitorConnection connection{player, host};
};

TEST_F(MonitorTextProtocolTest, Version5ShowsParametersAndMessagesAreStoredWithTheirCompanions) {
    connect(5);
    server.sendText("(server_param (ball_size 0.5) (player_size 0.3) (goal_width 14.02) (log_dir \"./\"))");
    server.sendText("(player_param (player_types 18) (pt_max 1))");
    for (int id = 0; id < 3; ++id) {
        server.sendText("(player_type (id " + std::to_string(id) + ") (player_speed_max 1.05) (kickable_margin 0.7))");
    }
    server.sendText("(team 0 Live null 0 0)");
    server.sendText("(playmode 0 before_kick_off)");
    server.sendText("(msg 99 1 \"Recv Live_1: hello\")");
    for (int cycle = 98; cycle <= 100; ++cycle) server.sendGameShow(cycle);
    // The referee shows left 1 a yellow card in cycle 100; the show of 101 carries it.
    server.sendGameShow(101, 0x40001);
    ASSERT_TRUE(eventually([&] { return player.size() == 4; }));

    EXPECT_EQ(host.liveGames, 1);
    EXPECT_EQ(host.shown(), 4);
    EXPECT_DOUBLE_EQ(player.ball_size(), 0.5);
    EXPECT_EQ(player.player_types().size(), 3u);
    ASSERT_TRUE(player.player_type(2));
    EXPECT_NEAR(fixedToDouble(player.player_type(2)->player_speed_max), 1.05, 1e-4);

    const auto [first, firstCompanion] = stored(98);
    const show_info_t& show = first.show();
    EXPECT_EQ(first.cycle, 98);
    EXPECT_EQ(show.playmode, PM_PlayOn) << "the show's own (pm 3)";
    EXPECT_STREQ(show.team[0].name.data(), "Live");
    EXPECT_EQ(netToHost16(show.team[0].score), 1);
    EXPECT_EQ(show.team[1].name[0], '\0') << "null is no team";
    EXPECT_NEAR(fixedToDouble(show.ball.x), 9.8, 1e-4);
    EXPECT_NEAR(fixedToDouble(show.player[0].x), -10, 1e-4);
    EXPECT_NEAR(fixedToDouble(show.player[11].y), -5, 1e-4);
    EXPECT_NE(first.messages.find("Recv Live_1: hello"), std::string::npos);
    ASSERT_TRUE(firstCompanion);
    EXPECT_FLOAT_EQ(firstCompanion->players[0].capacity, 120000);
    EXPECT_EQ(firstCompanion->players[0].attentionSide, 'l');
    EXPECT_EQ(firstCompanion->players[0].counterCount, 4);
    EXPECT_EQ(firstCompanion->players[0].card(), Card::None);

    const auto [before, beforeCompanion] = stored(100);
    ASSERT_TRUE(beforeCompanion);
    EXPECT_EQ(beforeCompanion->players[0].card(), Card::None);
    const auto [carded, cardedCompanion] = stored(101);
    ASSERT_TRUE(cardedCompanion);
    EXPECT_EQ(cardedCompanion->players[0].card(), Card::Yellow);
    EXPECT_EQ(cardedCompanion->players[0].state, 0x40001u);
    EXPECT_EQ(netToHost16(carded.show().player[0].mode), 1) << "the record keeps the state's low 16 bits";
    EXPECT_EQ(player.rejectedMonitorTexts(), 0u);
}

TEST_F(MonitorTextProtocolTest, TheSameStandInSpeaksBinaryToProtocol2) {
    connect(2);
    EXPECT_EQ(textsAt(server.monitorPort()), std::vector<std::string>{"(dispinit version 2)"});
    server.sendParameters(4);
    for (int cycle = 1; cycle <= 3; ++cycle) server.sendGameShow(cycle);
    ASSERT_TRUE(eventually([&] { return player.size() == 3; }));
    const auto [record, companion] = stored(2);
    EXPECT_NEAR(fixedToDouble(record.show().ball.x), 0.2, 1e-4);
    EXPECT_FALSE(companion) << "a binary packet has no companion";
    EXPECT_EQ(player.player_types().size(), 4u);
}

TEST_F(MonitorTextProtocolTest, Protocols3And4AskForTheirVersionAndReadTheirShows) {
    for (const int protocol : {3, 4}) {
        connect(protocol);
        EXPECT_EQ(connection.protocol(), protocol);
        server.sendText(
            "(show 7 (pm 3) (tm A B 0 0) ((b) 1 2 0 0) ((l 1) 0 0x1 -10 5 0 0 0 0 (v h 90) (s 7000 1 1)"
            " (c 0 0 0 0 0 0 0 0 0 0 0)))");
        ASSERT_TRUE(eventually([&] { return player.size() == 1; }));
        EXPECT_EQ(player.last()->cycle, 7);
        connection.Disconnect(true);
    }
}

TEST_F(MonitorTextProtocolTest, RefereeCardsAndCommandsUnderTextProtocols) {
    connect(5);
    EXPECT_FALSE(connection.GiveCard(1, 4, Card::Yellow)) << "the server has not answered yet";
    server.sendGameShow(1);
    ASSERT_TRUE(eventually([&] { return player.size() == 1; }));
    EXPECT_TRUE(connection.GiveCard(1, 4, Card::Yellow));
    EXPECT_TRUE(connection.GiveCard(-1, 11, Card::Red));
    EXPECT_FALSE(connection.GiveCard(0, 4, Card::Red)) << "the ball gets no card";
    EXPECT_FALSE(connection.GiveCard(1, 12, Card::Red));
    EXPECT_FALSE(connection.GiveCard(1, 4, Card::None));
    connection.Command(kMonitorKickOff);
    connection.Command(kMonitorDropBall, toSixteenths(1.5), toSixteenths(-2));
    ASSERT_TRUE(server.waitForText("(dispfoul 24 -32 0)"));
    EXPECT_EQ(textsAt(server.gamePort()), (std::vector<std::string>{"(dispcard 1 4 yellow)", "(dispcard -1 11 red)",
                                                                    "(dispstart)", "(dispfoul 24 -32 0)"}));
    // Debug clients' texts still reach the display under a text protocol.
    server.sendDebug("(debug (line 0 0 1 1))");
    ASSERT_TRUE(eventually([&] { return host.debugCount() == 1; }));
    EXPECT_EQ(player.size(), 1u);

    connection.Disconnect(false);
    connect(2);
    EXPECT_FALSE(connection.GiveCard(1, 4, Card::Yellow)) << "protocol 2 has no cards";
}

TEST_F(MonitorTextProtocolTest, BadDatagramsAreDroppedAndGoodOnesAroundThemKept) {
    connect(5);
    server.sendGameShow(1);
    ASSERT_TRUE(eventually([&] { return player.size() == 1; }));
    const std::vector<std::string> bad = {
        "",
        "(",
        ")",
        "(show",
        "(show 2 ((b) 1 2 3))",
        "(show 2 (pm 3) ((l 12) 0 0x1 0 0 0 0 0 0))",
        "(show 2 (pm 999))",
        "(show 2 (tm A))",
        "(show -5)",
        "(show 2 ((b) 1 2 3 4)) trailing",
        "(msg 1 1 unquoted)",
        "(server_param (ball_size))",
        "(player_type (player_speed_max 1))",
        "(unknown datagram (kind))",
        "(team_graphic_l (0 0 \"8 8 1 1\" \"a c #ffffff\"",
        std::string(8191, '('),
        "(show 3 ((b) 1e400 0 0 0))",
    };
    for (const auto& text : bad) server.sendText(text);
    std::vector<std::uint8_t> binary(2056, 0xff);
    server.sendRaw(binary);
    server.sendGameShow(2);
    ASSERT_TRUE(eventually([&] { return player.size() == 2; }));
    EXPECT_EQ(player.last()->cycle, 2);
    EXPECT_EQ(player.rejectedMonitorTexts(), 14u);
    EXPECT_TRUE(connection.connected());
}

TEST_F(MonitorTextProtocolTest, AShowDroppedAtTheBudgetIsSaidOncePerConnection) {
    StoreBudget budget = player.budget();
    budget.records = 2;
    player.setBudget(budget);
    connect(5);
    for (int cycle = 1; cycle <= 5; ++cycle) server.sendGameShow(cycle);
    ASSERT_TRUE(eventually([&] { return host.fullStore == 1; }));
    EXPECT_EQ(player.size(), 2u);
    EXPECT_EQ(host.shown(), 2);
    server.sendGameShow(6);
    ASSERT_TRUE(eventually([&] { return connection.datagramsReceived() == 6; }));
    EXPECT_EQ(host.fullStore, 1) << "said once";
}

TEST_F(MonitorTextProtocolTest, AForeignSenderIsDroppedUnderProtocol5) {
    connect(5);
    server.sendGameShow(1);
    ASSERT_TRUE(eventually([&] { return player.size() == 1; }));
    const std::string show = "(show 9 ((b) 0 0 0 0))";
    server.sendFromOtherHost({show.begin(), show.end()});
    ASSERT_TRUE(eventually([&] { return connection.foreignDatagrams() == 1; }));
    EXPECT_EQ(player.size(), 1u);
    EXPECT_EQ(connection.peerPort(), server.gamePort());
    server.sendGameShow(2);
    ASSERT_TRUE(eventually([&] { return player.size() == 2; }));
}

TEST_F(MonitorTextProtocolTest, ARefusalKeepsTheOpenGameAndIsSaid) {
    connect(5);
    server.sendText("(error illegal_client_version)");
    ASSERT_TRUE(eventually([&] { return connection.datagramsReceived() == 1; }));
    EXPECT_EQ(host.liveGames, 0) << "an error answer is no game";
    EXPECT_EQ(host.said(), "(error illegal_client_version)");
}

TEST_F(MonitorTextProtocolTest, SilenceIsNoticedAfterTheAnswerTimeOut) {
    connect(5);
    const auto now = std::chrono::steady_clock::now();
    EXPECT_FALSE(connection.silentFor(now));
    EXPECT_TRUE(connection.silentFor(now + CMonitorConnection::kAnswerTimeout));
    EXPECT_NE(connection.silenceNote().find("(dispinit version 5)"), std::string::npos);
    EXPECT_NE(connection.silenceNote().find("protocol 2"), std::string::npos);
    server.sendGameShow(1);
    ASSERT_TRUE(eventually([&] { return player.size() == 1; }));
    EXPECT_FALSE(connection.silentFor(now + CMonitorConnection::kAnswerTimeout));
}

}  // namespace
}  // namespace tessarin
