// The autoplay loop: command lines, the clients it starts and reaps, and stopping it.

#include <signal.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <mutex>

#include "live/AutoplayThread.h"
#include "support/LogBuilder.h"

namespace tessarin {
namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

// Records what the loop reports, for the test thread to wait on.
class RecordingObserver final : public AutoplayObserver {
public:
    void clientFailed(const std::string& commandLine, int error) override {
        std::lock_guard lock(mutex_);
        failures_.push_back(clientStartFailureText(commandLine, error));
    }
    void clientStarted(int /*round*/, int n) override {
        std::lock_guard lock(mutex_);
        clientStarts_.push_back({n, std::chrono::steady_clock::now()});
    }
    void roundStarted(int round, int clientsStarted) override {
        std::lock_guard lock(mutex_);
        started_.push_back({round, clientsStarted});
    }
    void roundEnded(int round, bool stopped) override {
        {
            std::lock_guard lock(mutex_);
            ended_.push_back({round, stopped});
        }
        changed_.notify_all();
    }
    bool waitForRoundsEnded(std::size_t n) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, 60s, [&] { return ended_.size() >= n; });
    }
    std::vector<std::string> failures() const {
        std::lock_guard lock(mutex_);
        return failures_;
    }
    std::vector<std::pair<int, int>> started() const {
        std::lock_guard lock(mutex_);
        return started_;
    }
    std::vector<std::pair<int, bool>> ended() const {
        std::lock_guard lock(mutex_);
        return ended_;
    }
    std::vector<std::pair<int, std::chrono::steady_clock::time_point>> clientStarts() const {
        std::lock_guard lock(mutex_);
        return clientStarts_;
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> failures_;                                                // guarded by mutex_
    std::vector<std::pair<int, int>> started_;                                         // guarded by mutex_
    std::vector<std::pair<int, bool>> ended_;                                          // guarded by mutex_
    std::vector<std::pair<int, std::chrono::steady_clock::time_point>> clientStarts_;  // guarded by mutex_
};

// What one stand-in client wrote about itself.
struct ClientReport {
    int pid = 0;
    std::string directory;
    std::vector<std::string> argv;
};

std::optional<ClientReport> readReport(const fs::path& file) {
    std::ifstream in(file);
    if (!in) return std::nullopt;
    ClientReport report;
    std::string line;
    if (!std::getline(in, line)) return std::nullopt;
    report.pid = std::stoi(line);
    std::getline(in, report.directory);
    while (std::getline(in, line)) report.argv.push_back(line);
    return report;
}

// Waits (bounded) until all eleven clients have written their reports.
std::vector<ClientReport> waitForReports(const fs::path& dir) {
    std::vector<ClientReport> reports;
    for (int attempt = 0; attempt < 3000 && reports.size() < kAutoplayClients; ++attempt) {
        reports.clear();
        for (int n = 1; n <= kAutoplayClients; ++n) {
            if (auto r = readReport(dir / ("client-" + std::to_string(n) + ".txt"))) reports.push_back(*r);
        }
        if (reports.size() < kAutoplayClients) std::this_thread::sleep_for(10ms);
    }
    return reports;
}

AutoplayTiming timing(std::chrono::milliseconds pause, std::optional<int> rounds,
                      std::chrono::milliseconds grace = 2000ms, std::chrono::milliseconds goalieLead = 0ms) {
    AutoplayTiming t;
    t.pause = pause;
    t.rounds = rounds;
    t.grace = grace;
    t.goalie_lead = goalieLead;
    return t;
}

bool processGone(int pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

// Gone, or a zombie that whoever adopted it has yet to reap (in a container the first
// process may never reap).
bool processEnded(int pid) {
    if (processGone(pid)) return true;
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t close = text.rfind(')');
    return close != std::string::npos && close + 2 < text.size() && text[close + 2] == 'Z';
}

// Waits (bounded) for a condition that another process brings about.
bool eventually(const std::function<bool()>& condition) {
    for (int attempt = 0; attempt < 1000; ++attempt) {
        if (condition()) return true;
        std::this_thread::sleep_for(10ms);
    }
    return condition();
}

// A client program at <dir>/bin/client: a link to the stand-in.
std::string installClient(const test::TempDir& dir) {
    fs::create_directory(dir.path() / "bin");
    const fs::path client = dir.path() / "bin" / "client";
    fs::create_symlink(AUTOPLAY_STAND_IN_CLIENT, client);
    return client.string();
}

AutoplaySettings settingsFor(const std::string& clientPath, const std::string& mode) {
    AutoplaySettings s;
    s.host = "127.0.0.1";
    s.port = 6000;
    s.client_path = clientPath;
    s.client_param = mode + " -team Tess";
    s.goalie_param = "-goalie";
    s.goalie_num = 1;
    return s;
}

TEST(AutoplayCommandLine, GoalieParameterOnlyForTheGoalie) {
    AutoplaySettings s;
    s.client_param = "./player -team T";
    s.goalie_param = "-goalie";
    s.goalie_num = 1;
    EXPECT_EQ(autoplayCommandLine(s, 1), "./player -team T -host localhost -port 6000 -UNum 1 -goalie");
    EXPECT_EQ(autoplayCommandLine(s, 2), "./player -team T -host localhost -port 6000 -UNum 2 ");
    for (const int none : {0, 12}) {
        s.goalie_num = none;
        for (int n = 1; n <= kAutoplayClients; ++n) {
            EXPECT_EQ(autoplayCommandLine(s, n).find("-goalie"), std::string::npos) << none << " " << n;
        }
    }
    EXPECT_EQ(splitCommandLine("  a  b\tc "), (std::vector<std::string>{"a", "b", "c"}));
    // Without a client parameter the first word of the line becomes the client's argv[0].
    EXPECT_EQ(splitCommandLine(autoplayCommandLine(AutoplaySettings{}, 3)).front(), "-host");

    EXPECT_EQ(clientWorkingDirectory("teams/alpha/start"), "teams/alpha");
    EXPECT_EQ(clientWorkingDirectory("/start"), "/");
    EXPECT_EQ(clientWorkingDirectory("start"), "");
}

TEST(AutoplayThread, OneRoundStartsElevenClientsInTheirDirectoryAndReapsThem) {
    test::TempDir dir;
    const AutoplaySettings settings = settingsFor(installClient(dir), "standin");
    RecordingObserver observer;
    CAutoplayThread autoplay(settings, &observer, timing(0ms, 1));
    autoplay.start();
    ASSERT_TRUE(autoplay.waitFinished(60s));

    const std::vector<ClientReport> reports = waitForReports(dir.path() / "bin");
    ASSERT_EQ(reports.size(), 11u);
    for (int n = 1; n <= kAutoplayClients; ++n) {
        const ClientReport& r = reports[static_cast<std::size_t>(n - 1)];
        EXPECT_EQ(r.argv, splitCommandLine(autoplayCommandLine(settings, n))) << n;
        EXPECT_EQ(fs::path(r.directory), fs::canonical(dir.path() / "bin")) << n;
        EXPECT_TRUE(processGone(r.pid)) << "client " << n << " was not reaped";
    }
    EXPECT_EQ(reports[0].argv.back(), "-goalie");
    EXPECT_TRUE(observer.failures().empty());
    EXPECT_EQ(observer.started(), (std::vector<std::pair<int, int>>{{1, 11}}));
    EXPECT_EQ(observer.ended(), (std::vector<std::pair<int, bool>>{{1, false}}));
}

TEST(AutoplayThread, TheGoaliesClientStartsFirstAndTheOthersAfterTheLead) {
    EXPECT_EQ(autoplayStartOrder(5), (std::vector<int>{5, 1, 2, 3, 4, 6, 7, 8, 9, 10, 11}));
    EXPECT_EQ(autoplayStartOrder(11), (std::vector<int>{11, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    for (const int none : {0, 12, -1}) {
        EXPECT_EQ(autoplayStartOrder(none), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11})) << none;
    }

    test::TempDir dir;
    AutoplaySettings settings = settingsFor(installClient(dir), "standin");
    settings.goalie_num = 5;
    RecordingObserver observer;
    CAutoplayThread autoplay(settings, &observer, timing(0ms, 1, 2000ms, 300ms));
    autoplay.start();
    ASSERT_TRUE(autoplay.waitFinished(60s));
    const auto starts = observer.clientStarts();
    ASSERT_EQ(starts.size(), 11u);
    std::vector<int> order;
    for (const auto& start : starts) order.push_back(start.first);
    EXPECT_EQ(order, autoplayStartOrder(5));
    EXPECT_GE(starts[1].second - starts[0].second, 300ms);
    const std::vector<ClientReport> reports = waitForReports(dir.path() / "bin");
    ASSERT_EQ(reports.size(), 11u);
    EXPECT_EQ(reports[4].argv.back(), "-goalie");
}

TEST(AutoplayThread, AClientThatCannotStartIsReportedAndTheRoundsGoOn) {
    test::TempDir dir;
    RecordingObserver observer;
    CAutoplayThread autoplay(settingsFor(dir.file("missing"), "standin"), &observer, timing(0ms, 2));
    autoplay.start();
    ASSERT_TRUE(autoplay.waitFinished(60s));
    const auto failures = observer.failures();
    ASSERT_EQ(failures.size(), 22u);
    EXPECT_EQ(failures[1], "cannot start client \"standin -team Tess -host 127.0.0.1 -port 6000 -UNum 2 \": " +
                               std::string(std::strerror(ENOENT)));
    EXPECT_EQ(observer.started(), (std::vector<std::pair<int, int>>{{1, 0}, {2, 0}}));
    EXPECT_EQ(observer.ended().size(), 2u);
}

TEST(AutoplayThread, StoppingDuringThePauseReturnsAtOnce) {
    test::TempDir dir;
    RecordingObserver observer;
    CAutoplayThread autoplay(settingsFor(installClient(dir), "standin"), &observer, timing(600s, std::nullopt));
    autoplay.start();
    ASSERT_TRUE(observer.waitForRoundsEnded(1));
    const auto before = std::chrono::steady_clock::now();
    autoplay.stop();
    // Far less than the 600 s pause: the stop cut the pause short.
    EXPECT_LT(std::chrono::steady_clock::now() - before, 60s);
    EXPECT_TRUE(autoplay.finished());
    EXPECT_EQ(observer.started().size(), 1u);
}

TEST(AutoplayThread, StoppingWhileClientsRunEndsAndReapsThem) {
    // "linger" ends on SIGTERM; "stubborn" ignores it and gets SIGKILL after the grace.
    for (const std::string mode : {"linger", "stubborn"}) {
        test::TempDir dir;
        RecordingObserver observer;
        CAutoplayThread autoplay(settingsFor(installClient(dir), mode), &observer, timing(600s, std::nullopt, 300ms));
        autoplay.start();
        const std::vector<ClientReport> reports = waitForReports(dir.path() / "bin");
        ASSERT_EQ(reports.size(), 11u) << mode;
        for (const auto& r : reports) EXPECT_FALSE(processGone(r.pid)) << mode;
        autoplay.stop();
        for (const auto& r : reports) EXPECT_TRUE(processGone(r.pid)) << mode << " client " << r.pid;
        EXPECT_EQ(observer.ended(), (std::vector<std::pair<int, bool>>{{1, true}})) << mode;
    }
}

TEST(AutoplayThread, WhatAClientLeftRunningEndsWithItsRound) {
    test::TempDir dir;
    RecordingObserver observer;
    // Each client starts a child that ignores SIGTERM and exits at once; the round is
    // over then, and the children must not outlive it.
    CAutoplayThread autoplay(settingsFor(installClient(dir), "forker"), &observer, timing(0ms, 1, 300ms));
    autoplay.start();
    ASSERT_TRUE(autoplay.waitFinished(30s));
    std::vector<int> children;
    ASSERT_TRUE(eventually([&] {
        children.clear();
        for (int n = 1; n <= kAutoplayClients; ++n) {
            if (auto r = readReport(dir.path() / "bin" / ("child-" + std::to_string(n) + ".txt"))) {
                children.push_back(r->pid);
            }
        }
        return children.size() == kAutoplayClients;
    }));
    for (const int pid : children) EXPECT_TRUE(eventually([pid] { return processEnded(pid); })) << "child " << pid;
    EXPECT_EQ(observer.ended(), (std::vector<std::pair<int, bool>>{{1, false}}));
}

}  // namespace
}  // namespace tessarin
