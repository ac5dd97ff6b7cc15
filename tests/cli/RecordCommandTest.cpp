// The headless recorder against the stand-in server.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include "cli/Commands.h"
#include "live/StandInServer.h"
#include "record/Companion.h"
#include "record/LogPlayer.h"
#include "support/FakeHost.h"
#include "support/LogBuilder.h"

namespace tessarin::cli {
namespace {

TEST(RecordCommand, SavesWhatArrivesAsAGameLogThatLoadsBack) {
    test::StandInServer server;
    test::TempDir dir;
    std::jthread game([&] {
        if (!server.waitForInit()) return;
        server.sendParameters(3);
        for (int c = 1; c <= 30; ++c) {
            if (c == 7) server.sendMessage("Recv hello");
            server.sendShow(test::ShowBuilder(c).playmode(c < 3 ? 1 : 3).team(0, "Rec", c / 20).build());
            std::this_thread::sleep_for(std::chrono::microseconds(300));
        }
    });
    RecordOptions options;
    options.host = "127.0.0.1";
    options.port = server.monitorPort();
    options.protocol = 2;  // the stand-in's binary packets
    options.out = dir.file("live.rcg");
    options.cycles = 30;
    options.seconds = 20;
    std::ostringstream out, err;
    ASSERT_EQ(runRecord(options, out, err), 0) << err.str();
    EXPECT_NE(out.str().find("recorded 30 records"), std::string::npos) << out.str();
    EXPECT_TRUE(server.waitForText("(dispbye)"));

    test::FakeHost host;
    LogPlayer player(host);
    player.command(kCmdLoad, options.out);
    player.waitForParser();
    ASSERT_EQ(player.size(), 30u);
    EXPECT_EQ(player.player_types().size(), 3u);
    const auto records = player.withStore([](const std::vector<cycle_info_t>& f) { return f; });
    EXPECT_EQ(records[6].messages, "Recv hello\t\t\t");
    EXPECT_EQ(toHost(records.back().show()).team[0].score, 1);
}

TEST(RecordCommand, AGameLargerThanTheBudgetStopsTheRecordingAndSaysSo) {
    test::StandInServer server;
    test::TempDir dir;
    std::jthread game([&] {
        if (!server.waitForInit()) return;
        for (int c = 1; c <= 40; ++c) server.sendShow(test::ShowBuilder(c).build());
    });
    RecordOptions options;
    options.host = "127.0.0.1";
    options.port = server.monitorPort();
    options.protocol = 2;  // the stand-in's binary packets
    options.out = dir.file("budget.rcg");
    options.seconds = 30;
    options.budget.records = 5;
    std::ostringstream out, err;
    ASSERT_EQ(runRecord(options, out, err), 2) << err.str();
    EXPECT_NE(out.str().find("recorded 5 records"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("budget of 5 records"), std::string::npos) << out.str();
    EXPECT_NE(err.str().find("stopped at the store's budget"), std::string::npos) << err.str();
    EXPECT_TRUE(std::filesystem::exists(options.out));
}

TEST(RecordCommand, SavesAVersionSixTextLogOnRequest) {
    test::StandInServer server;
    test::TempDir dir;
    std::jthread game([&] {
        if (!server.waitForInit()) return;
        for (int c = 1; c <= 5; ++c) server.sendShow(test::ShowBuilder(c).playmode(3).team(0, "Rec", 0).build());
    });
    RecordOptions options;
    options.host = "127.0.0.1";
    options.port = server.monitorPort();
    options.protocol = 2;  // the stand-in's binary packets
    options.out = dir.file("live.rcg");
    options.cycles = 5;
    options.seconds = 20;
    options.format = "v6";
    std::ostringstream out, err;
    ASSERT_EQ(runRecord(options, out, err), 0) << err.str();
    EXPECT_EQ(probeLogFile(options.out), LogFormat::V6);
    test::FakeHost host;
    LogPlayer player(host);
    player.command(kCmdLoad, options.out);
    player.waitForParser();
    EXPECT_EQ(player.size(), 5u);
    EXPECT_EQ(player.last_cycle(), 5);
}

TEST(RecordCommand, AServerThatFallsSilentEndsTheRecordingAfterTheIdleTime) {
    test::StandInServer server;
    test::TempDir dir;
    std::jthread game([&] {
        if (!server.waitForInit()) return;
        for (int c = 1; c <= 10; ++c) server.sendShow(test::ShowBuilder(c).build());
        // Then nothing more, as from a server that has exited.
    });
    RecordOptions options;
    options.host = "127.0.0.1";
    options.port = server.monitorPort();
    options.protocol = 2;  // the stand-in's binary packets
    options.out = dir.file("idle.rcg");
    options.seconds = 30;
    options.idle = 0.3;
    std::ostringstream out, err;
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(runRecord(options, out, err), 0) << err.str();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(15)) << "not the time limit";
    EXPECT_NE(out.str().find("recorded 10 records"), std::string::npos) << out.str();
    EXPECT_NE(out.str().find("nothing arrived for 0.3 s"), std::string::npos) << out.str();
    EXPECT_TRUE(std::filesystem::exists(options.out));
}

TEST(RecordCommand, NothingListeningOrInterruptedBeforeAnyShowWritesNothing) {
    test::TempDir dir;
    std::uint16_t freePort = 0;
    {
        test::StandInServer probe;
        freePort = probe.monitorPort();
    }
    RecordOptions options;
    options.host = "127.0.0.1";
    options.port = freePort;
    options.out = dir.file("none.rcg");
    options.seconds = 5;
    std::ostringstream out, err;
    EXPECT_NE(runRecord(options, out, err), 0);
    EXPECT_NE(err.str().find("no show record"), std::string::npos) << err.str();
    EXPECT_FALSE(std::filesystem::exists(options.out));

    test::StandInServer silent;
    std::atomic<bool> interrupted{true};
    options.port = silent.monitorPort();
    options.interrupted = &interrupted;
    EXPECT_NE(runRecord(options, out, err), 0);
    options.host = "no-such-host.invalid";
    EXPECT_NE(runRecord(options, out, err), 0);
    EXPECT_NE(err.str().find("cannot reach"), std::string::npos);
}

TEST(RecordCommand, Protocol5IsTheDefaultAndItsCardsReachAVersionSixLog) {
    test::StandInServer server;
    test::TempDir dir;
    std::jthread game([&] {
        if (!server.waitForInit()) return;
        for (int c = 1; c <= 6; ++c) server.sendGameShow(c, c >= 4 ? 0x80001 : 0x1);
    });
    RecordOptions options;
    options.host = "127.0.0.1";
    options.port = server.monitorPort();
    options.out = dir.file("live5.rcg");
    options.cycles = 6;
    options.seconds = 20;
    options.format = "v6";
    std::ostringstream out, err;
    ASSERT_EQ(runRecord(options, out, err), 0) << err.str();
    EXPECT_EQ(server.initVersion(), 5);
    test::FakeHost host;
    LogPlayer player(host);
    player.command(kCmdLoad, options.out);
    player.waitForParser();
    ASSERT_EQ(player.size(), 6u);
    ASSERT_TRUE(player.companionAt(2) && player.companionAt(3));
    EXPECT_EQ(player.companionAt(2)->players[0].card(), Card::None);
    EXPECT_EQ(player.companionAt(3)->players[0].card(), Card::Red);
    EXPECT_FLOAT_EQ(player.companionAt(3)->players[11].capacity, 130000);
}

TEST(RecordCommand, ASilentOrRefusingServerEndsTheRecordingWithANote) {
    test::TempDir dir;
    RecordOptions options;
    options.host = "127.0.0.1";
    options.out = dir.file("silent.rcg");
    options.seconds = 30;
    {
        test::StandInServer silent;  // takes the request and never answers
        options.port = silent.monitorPort();
        std::ostringstream out, err;
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(runRecord(options, out, err), 1);
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20)) << "not the time limit";
        EXPECT_NE(err.str().find("No answer from 127.0.0.1"), std::string::npos) << err.str();
        EXPECT_NE(err.str().find("protocol 2"), std::string::npos) << err.str();
    }
    test::StandInServer refusing;
    std::jthread answer([&] {
        if (refusing.waitForInit()) refusing.sendText("(error illegal_client_version)");
    });
    options.port = refusing.monitorPort();
    std::ostringstream out, err;
    EXPECT_EQ(runRecord(options, out, err), 1);
    EXPECT_NE(err.str().find("the server answered (error illegal_client_version)"), std::string::npos) << err.str();
    EXPECT_FALSE(std::filesystem::exists(options.out));
}

TEST(RecordCommand, AnOutputThatCannotBeCreatedFailsBeforeConnecting) {
    test::TempDir dir;
    test::StandInServer server;
    RecordOptions options;
    options.host = "127.0.0.1";
    options.port = server.monitorPort();
    options.protocol = 2;  // the stand-in's binary packets
    options.seconds = 20;
    for (const std::string& bad : {dir.file("missing/live.rcg"), dir.path().string()}) {
        options.out = bad;
        std::ostringstream out, err;
        EXPECT_EQ(runRecord(options, out, err), 1);
        EXPECT_NE(err.str().find("cannot write " + bad), std::string::npos) << err.str();
    }
    EXPECT_FALSE(server.waitForInit(std::chrono::milliseconds(200))) << "nothing was sent to the server";
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), std::filesystem::directory_iterator{}), 0)
        << "the probe left no file";
}

}  // namespace
}  // namespace tessarin::cli
