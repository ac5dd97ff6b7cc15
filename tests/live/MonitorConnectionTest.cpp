// The monitor connection against a stand-in server on loopback.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "live/FakeMonitorHost.h"
#include "live/MonitorConnection.h"
#include "live/StandInServer.h"
#include "record/LogPlayer.h"
#include "support/Eventually.h"
#include "support/FakeHost.h"
#include "support/LogBuilder.h"

namespace tessarin {
namespace {

using namespace std::chrono_literals;
using test::StandInServer;

using test::eventually;

class MonitorConnectionTest : public ::testing::Test {
protected:
    void connect() {
        connection.Connect("127.0.0.1", server.monitorPort(), 2);
        ASSERT_TRUE(connection.connected());
        ASSERT_TRUE(server.waitForInit());
    }
    std::vector<std::string> textsAt(std::uint16_t port) const {
        std::vector<std::string> out;
        for (const auto& r : server.received()) {
            if (r.atPort == port) out.push_back(r.text);
        }
        return out;
    }

    StandInServer server;
    test::FakeHost playbackHost;
    LogPlayer player{playbackHost};
    test::FakeMonitorHost host;
    CMonitorConnection connection{player, host};
};

TEST_F(MonitorConnectionTest, ASessionStoresEveryShowOnceInOrderWithItsMessages) {
    player.command(kCmdLoad, test::demoGamePath());
    player.waitForParser();
    const std::size_t loaded = player.size();
    connect();
    EXPECT_EQ(player.size(), loaded) << "the open game stays until the server answers";
    EXPECT_EQ(host.liveGames, 0);
    EXPECT_FALSE(host.logMode);
    server.sendParameters();
    constexpr int kShows = 50;
    for (int c = 1; c <= kShows; ++c) {
        if (c % 10 == 0) server.sendMessage("Recv cycle " + std::to_string(c));
        server.sendShow(test::ShowBuilder(c).playmode(PM_PlayOn).team(0, "Live", 0).build());
        std::this_thread::sleep_for(200us);
    }
    ASSERT_TRUE(eventually([&] { return player.size() == static_cast<std::size_t>(kShows); })) << player.size();
    const auto records = player.withStore([](const std::vector<cycle_info_t>& f) { return f; });
    for (int i = 0; i < kShows; ++i) {
        ASSERT_EQ(records[static_cast<std::size_t>(i)].cycle, i + 1);
        const bool carries = (i + 1) % 10 == 0;
        EXPECT_EQ(records[static_cast<std::size_t>(i)].messages,
                  carries ? "Recv cycle " + std::to_string(i + 1) + "\t\t\t" : "");
    }
    EXPECT_EQ(player.player_types().size(), 18u);
    EXPECT_TRUE(player.hasServerParameters());
    EXPECT_TRUE(connection.everReceived());
    EXPECT_EQ(host.shown(), kShows);
    EXPECT_EQ(host.liveGames, 1) << "only the first datagram replaces the game";
    EXPECT_EQ(host.unanswered, 0);

    connection.Disconnect(false);
    EXPECT_TRUE(server.waitForText("(dispbye)"));
    EXPECT_FALSE(connection.connected());
    EXPECT_TRUE(host.logMode);
    EXPECT_EQ(host.trainerDisconnects, 1);
    EXPECT_EQ(textsAt(server.gamePort()), std::vector<std::string>{"(dispbye)"})
        << "commands follow the port the game came from";
}

TEST_F(MonitorConnectionTest, CommandsAreSentByteForByteToTheLatestSender) {
    connect();
    EXPECT_EQ(textsAt(server.monitorPort()), std::vector<std::string>{"(dispinit version 2)"});
    connection.Command(kMonitorKickOff);
    ASSERT_TRUE(server.waitForText("(dispstart)"));
    EXPECT_EQ(textsAt(server.monitorPort()).back(), "(dispstart)") << "no datagram came back yet";

    server.sendShow(test::ShowBuilder(1).build());
    ASSERT_TRUE(eventually([&] { return player.size() == 1; }));
    connection.Command(kMonitorDropBall, toSixteenths(0.99), toSixteenths(-0.99));
    const SidedUnum left5 = sidedUnumOf(4);
    connection.Command(kMonitorMovePlayer, left5.side, left5.unum, toSixteenths(-10.5), toSixteenths(3.2));
    const SidedUnum ball = sidedUnumOf(22);
    connection.Command(kMonitorMovePlayer, ball.side, ball.unum, 0, 0);
    const SidedUnum none = sidedUnumOf(23);
    connection.Command(kMonitorMovePlayer, none.side, none.unum, 0, 0);
    const SidedUnum right11 = sidedUnumOf(21);
    connection.Command(kMonitorDiscardPlayer, right11.side, right11.unum);
    connection.Command(kMonitorRightFreekick, -16, 32);
    ASSERT_TRUE(server.waitForText("(dispfoul -16 32 -1)"));
    EXPECT_EQ(textsAt(server.gamePort()), (std::vector<std::string>{"(dispfoul 15 -15 0)", "(dispplayer 1 5 -168 51 0)",
                                                                    "(dispdiscard -1 11)", "(dispfoul -16 32 -1)"}));

    server.sendDebug("(debug hello from a player)");
    ASSERT_TRUE(eventually([&] { return host.debugCount() == 1; }));
    EXPECT_EQ(host.lastDebugText(), "(debug hello from a player)");
    server.sendDebug(std::string("(debug cut here\0and not stored", 30));
    ASSERT_TRUE(eventually([&] { return host.debugCount() == 2; }));
    EXPECT_EQ(host.lastDebugText(), "(debug cut here") << "the text ends at its first NUL";
    connection.SendText("(disponestep)");
    ASSERT_TRUE(server.waitForText("(disponestep)"));
    EXPECT_EQ(textsAt(server.debugPort()), std::vector<std::string>{"(disponestep)"});
}

TEST(MonitorCoordinates, SixteenthsTruncateTowardZeroAndSelectionsMapToSides) {
    EXPECT_EQ(toSixteenths(0.99), 15);
    EXPECT_EQ(toSixteenths(-0.99), -15);
    EXPECT_EQ(toSixteenths(-10.5), -168);
    EXPECT_EQ(toSixteenths(3.2), 51);
    EXPECT_EQ(sidedUnumOf(0).side, 1);
    EXPECT_EQ(sidedUnumOf(10).unum, 11);
    EXPECT_EQ(sidedUnumOf(11).side, -1);
    EXPECT_EQ(sidedUnumOf(11).unum, 1);
    EXPECT_EQ(sidedUnumOf(22).side, 0);
    EXPECT_EQ(sidedUnumOf(23).unum, 13);
    EXPECT_EQ(sidedUnumOf(99).unum, 13);
}

TEST_F(MonitorConnectionTest, NoServerListeningEndsTheConnectionAndEnablesConnectAgain) {
    // A port that was just free: nothing listens there, so the init is refused.
    std::uint16_t freePort = 0;
    {
        StandInServer probe;
        freePort = probe.monitorPort();
    }
    player.command(kCmdLoad, test::demoGamePath());
    player.waitForParser();
    const std::size_t loaded = player.size();
    connection.Connect("127.0.0.1", freePort, 2);
    ASSERT_TRUE(eventually([&] { return !connection.connected(); }));
    EXPECT_EQ(host.unanswered, 1);
    EXPECT_EQ(player.size(), loaded) << "a connect that nobody answered keeps the game";
    EXPECT_EQ(host.cleared, 0);
    EXPECT_TRUE(connection.IsAvailable(kMonitorConnect));
    EXPECT_TRUE(connection.IsAvailable(kMonitorReconnect));
    EXPECT_FALSE(connection.IsAvailable(kMonitorDisconnect));
    EXPECT_FALSE(connection.IsAvailable(kMonitorKickOff));
    connection.Disconnect(false);
    EXPECT_EQ(host.trainerDisconnects, 0) << "an ended connection only switches the display back";
    EXPECT_TRUE(host.logMode);
    // A disconnect of one's own is no failure to answer.
    connection.Connect("127.0.0.1", server.monitorPort(), 2);
    ASSERT_TRUE(server.waitForInit());
    connection.Disconnect(false);
    EXPECT_EQ(host.unanswered, 1);
}

TEST_F(MonitorConnectionTest, PortsHostsAndUnresolvableNames) {
    connection.Connect("localhost", 70000);
    EXPECT_EQ(connection.port(), 4464);
    EXPECT_EQ(connection.host(), "localhost");
    EXPECT_EQ(connection.socketHost(), "127.0.0.1");
    connection.Disconnect(false);
    connection.Connect("no-such-host.invalid", 6000);
    EXPECT_FALSE(connection.connected());
    EXPECT_TRUE(connection.IsAvailable(kMonitorConnect));
    connection.Command(kMonitorKickOff);  // dropped: no socket
}

TEST_F(MonitorConnectionTest, ReconnectOpensTheDialogUntilAPacketArrivedThenAsks) {
    host.server = test::ServerAddressFor(server.monitorPort());
    connection.Command(kMonitorReconnect);
    EXPECT_EQ(host.dialogs, 1);
    ASSERT_TRUE(server.waitForInit());
    server.sendShow(test::ShowBuilder(1).build());
    ASSERT_TRUE(eventually([&] { return connection.everReceived(); }));
    connection.Command(kMonitorDisconnect);
    host.yes = false;
    connection.Command(kMonitorReconnect);
    EXPECT_EQ(host.asked, "Reconnect to server?|Reconnect");
    EXPECT_EQ(host.dialogs, 1);
    EXPECT_FALSE(connection.connected());
    host.yes = true;
    connection.Command(kMonitorReconnect);
    EXPECT_TRUE(connection.connected());
    EXPECT_TRUE(server.waitFor([](const auto& r) {
        int inits = 0;
        for (const auto& x : r) inits += x.text == "(dispinit version 2)";
        return inits == 2;
    }));
}

TEST_F(MonitorConnectionTest, DisconnectSendsByeOnlyWhileConnected) {
    connection.Disconnect(false);
    EXPECT_TRUE(host.logMode);
    EXPECT_EQ(host.logRedraws, 1);
    connect();
    connection.Disconnect(true);
    EXPECT_TRUE(server.waitForText("(dispbye)"));
    connection.Disconnect(false);
    std::this_thread::sleep_for(50ms);
    int byes = 0;
    for (const auto& r : server.received()) byes += r.text == "(dispbye)";
    EXPECT_EQ(byes, 1);
}

TEST_F(MonitorConnectionTest, DatagramsOfAnySizeNeverCorruptTheStore) {
    connect();
    server.sendShow(test::ShowBuilder(5).build());
    ASSERT_TRUE(eventually([&] { return player.size() == 1; }));
    using Bytes = std::vector<std::uint8_t>;
    server.sendRaw(Bytes{0, 1});                              // a show kind with no body
    server.sendRaw(Bytes{0});                                 // one byte
    server.sendRaw(Bytes(2055, 0));                           // kind 0, almost full size
    server.sendRaw(test::dispinfoPacket(1, Bytes(1000, 0)));  // a torn show
    Bytes message = test::dispinfoPacket(2, Bytes{0, 1});
    message.insert(message.end(), 3000, 'R');  // a message with no NUL
    server.sendRaw(message);
    std::string junk = "(debug";
    for (int i = 0; i < 300; ++i) junk += static_cast<char>(i % 256);
    server.sendDebug(junk);
    server.sendDebug(std::string(8192, 'd').replace(0, 6, "(debug"));
    server.sendDebug(std::string(8193, 'e').replace(0, 6, "(debug"));
    server.sendRaw(Bytes(65507, 0xFF));
    server.sendShow(test::ShowBuilder(6).build());
    ASSERT_TRUE(eventually([&] { return player.size() == 2; }));
    std::this_thread::sleep_for(20ms);
    EXPECT_EQ(player.size(), 2u);
    EXPECT_EQ(player.last()->cycle, 6);
    EXPECT_EQ(host.lastDebugText().size(), 8192u) << "the 8193-byte datagram is dropped whole";
    EXPECT_EQ(host.debugCount(), 2);
}

TEST_F(MonitorConnectionTest, DatagramsFromAnotherHostAreDroppedAndCounted) {
    connect();
    server.sendShow(test::ShowBuilder(1).build());
    ASSERT_TRUE(eventually([&] { return player.size() == 1; }));
    // A stranger on 127.0.0.2 sends a show and a debug text to the client's port.
    server.sendFromOtherHost(test::showDatagram(test::ShowBuilder(2).build()));
    const std::string debug = "(debug from a stranger)";
    server.sendFromOtherHost({debug.begin(), debug.end()});
    ASSERT_TRUE(eventually([&] { return connection.foreignDatagrams() == 2; }));
    EXPECT_EQ(player.size(), 1u);
    EXPECT_EQ(host.debugCount(), 0);
    EXPECT_EQ(connection.peerPort(), server.gamePort()) << "the stranger does not move the peer port";

    // Commands still reach the server, and the connection carries on.
    connection.Command(kMonitorKickOff);
    ASSERT_TRUE(server.waitForText("(dispstart)"));
    EXPECT_EQ(textsAt(server.gamePort()), std::vector<std::string>{"(dispstart)"});
    server.sendShow(test::ShowBuilder(3).build());
    ASSERT_TRUE(eventually([&] { return player.size() == 2; }));
    EXPECT_TRUE(connection.connected());
}

TEST_F(MonitorConnectionTest, WithoutADisplayPacketsAreDropped) {
    host.display = false;
    connect();
    server.sendShow(test::ShowBuilder(1).build());
    ASSERT_TRUE(eventually([&] { return connection.everReceived(); }));
    EXPECT_EQ(player.size(), 0u);
}

TEST_F(MonitorConnectionTest, FullSpeedReceptionWhileTheGuiTicksAndDisconnects) {
    for (int round = 0; round < 3; ++round) {
        connect();
        std::atomic<bool> stop{false};
        std::thread feeder([&] {
            for (int c = 1; c <= 400 && !stop; ++c) server.sendShow(test::ShowBuilder(c).build());
        });
        player.command(kCmdPlay);
        for (int i = 0; i < 2000; ++i) {
            player.timerTick();
            if (!player.running()) player.command(kCmdPlay);
            connection.IsAvailable(kMonitorKickOff);
        }
        connection.Disconnect(false);
        stop = true;
        feeder.join();
        EXPECT_FALSE(connection.connected());
    }
}

}  // namespace
}  // namespace tessarin
