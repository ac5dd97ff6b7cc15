// tessarin-cli autoplay: rounds against the stand-in client, interruption, refusals.

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <thread>

#include "cli/Commands.h"
#include "support/LogBuilder.h"

namespace tessarin::cli {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::string installClient(const test::TempDir& dir) {
    const fs::path client = dir.path() / "client";
    fs::create_symlink(AUTOPLAY_STAND_IN_CLIENT, client);
    return client.string();
}

TEST(AutoplayCommand, RunsTheRoundsAndPrintsEach) {
    test::TempDir dir;
    AutoplayOptions options;
    options.client = installClient(dir);
    options.clientParam = "standin";
    options.rounds = 2;
    options.pauseSeconds = 0;
    std::ostringstream out, err;
    ASSERT_EQ(runAutoplay(options, out, err), 0) << err.str();
    EXPECT_EQ(out.str(),
              "round 1 started: 11 of 11 clients\nround 1 ended\nround 2 started: 11 of 11 clients\nround 2 ended\n");
    EXPECT_TRUE(fs::exists(dir.path() / "client-11.txt"));
}

TEST(AutoplayCommand, AnInterruptEndsTheRunningClients) {
    test::TempDir dir;
    AutoplayOptions options;
    options.client = installClient(dir);
    options.clientParam = "linger";
    std::atomic<bool> interrupted{false};
    options.interrupted = &interrupted;
    std::ostringstream out, err;
    int status = -1;
    std::jthread run([&] { status = runAutoplay(options, out, err); });
    for (int i = 0; i < 3000 && !fs::exists(dir.path() / "client-11.txt"); ++i) std::this_thread::sleep_for(10ms);
    interrupted = true;
    run.join();
    EXPECT_EQ(status, 0);
    EXPECT_EQ(out.str(),
              "round 1 started: 11 of 11 clients\nround 1 stopped: its clients were ended\nautoplay stopped\n");
}

TEST(AutoplayCommand, RefusesAClientThatCannotRun) {
    test::TempDir dir;
    fs::create_directory(dir.path() / "teamdir");
    const std::string plain = dir.write("plain", {'#', '!'});
    const std::pair<std::string, const char*> cases[] = {
        {dir.file("teamdir"), "is a directory"},
        {plain, "is not an executable file"},
        {dir.file("none"), "cannot find client"},
    };
    for (const auto& [client, message] : cases) {
        AutoplayOptions options;
        options.client = client;
        std::ostringstream out, err;
        EXPECT_EQ(runAutoplay(options, out, err), 1) << client;
        EXPECT_NE(err.str().find(message), std::string::npos) << err.str();
        EXPECT_EQ(out.str(), "");
    }
}

}  // namespace
}  // namespace tessarin::cli
