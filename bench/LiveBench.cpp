// The live receive path: dispinfo packets parsed and stored by the log player, next to
// the server's normal rate of 10 packets per second (and its fast modes, which run a
// cycle as soon as every client is ready: hundreds per second); and the text shows of
// monitor protocol 5 against the binary packets of protocol 2 for the same game, parsed
// and stored alone and received whole: over loopback by a real monitor connection, its
// receiving thread, the sender check, the parse, the store and the hand-over to the display.

#include <benchmark/benchmark.h>
#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <ctime>
#include <fstream>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "LoopbackMonitorServer.h"
#include "analysis/BehaviorAnalyzer.h"
#include "analysis/GameAnalysis.h"
#include "live/MonitorConnection.h"
#include "record/LogPlayer.h"

namespace {

using namespace tessarin;
using tessarin::bench::LoopbackMonitorServer;

const std::string kDemo = std::string(TESSARIN_SAMPLES_DIR) + "/helios-left-4-vs-helios-right-1.rcg";
// A server-19 game (version-6 text log): its shows are what protocol 5 sends.
const std::string kTextGame = std::string(TESSARIN_TEST_DATA_DIR) + "/text/v6-short.rcg";

using NullHost = NullPlaybackHost;

// A game's shows as the 2056-byte datagrams a server sends.
std::vector<std::vector<std::uint8_t>> demoPackets(const std::string& game = kDemo) {
    NullHost host;
    LogPlayer player(host);
    player.command(kCmdLoad, game);
    player.waitForParser();
    return player.withStore([](const std::vector<cycle_info_t>& frames) {
        std::vector<std::vector<std::uint8_t>> packets;
        for (const auto& f : frames) {
            std::vector<std::uint8_t> p(2056, 0);
            p[1] = 1;
            std::memcpy(p.data() + 4, f.data.data(), f.data.size());
            packets.push_back(std::move(p));
        }
        return packets;
    });
}

void storePackets(benchmark::State& state, GameAnalysisHooks* hooks) {
    const auto packets = demoPackets();
    if (packets.empty()) {
        state.SkipWithError("demo game missing");
        return;
    }
    NullHost host;
    LogPlayer player(host, hooks);
    for (auto _ : state) {
        player.command(kCmdReset);
        for (const auto& p : packets) player.parse_monitor_packet(p.data(), p.size());
        benchmark::DoNotOptimize(player.size());
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(packets.size()));
    state.counters["times_normal_server_rate"] =
        benchmark::Counter(static_cast<double>(state.iterations() * static_cast<std::int64_t>(packets.size())) / 10.0,
                           benchmark::Counter::kIsRate);
}

void BM_StoreDispinfoPackets(benchmark::State& state) { storePackets(state, nullptr); }
BENCHMARK(BM_StoreDispinfoPackets)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StoreAndAnalyseDispinfoPackets(benchmark::State& state) {
    BehaviorAnalyzer analyzer;
    GameAnalysis analysis(analyzer, nullptr);
    storePackets(state, &analysis);
}
BENCHMARK(BM_StoreAndAnalyseDispinfoPackets)->Unit(benchmark::kMillisecond)->UseRealTime();

// The text game's shows as protocol-5 datagrams: the log's show line with the play mode
// and score that a monitor's show carries, ending in a NUL.
std::vector<std::string> textShowDatagrams() {
    std::vector<std::string> datagrams;
    std::ifstream in(kTextGame);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.starts_with("(show ")) continue;
        const std::size_t afterCycle = line.find(' ', 6);
        if (afterCycle == std::string::npos) continue;
        line.insert(afterCycle, " (pm 2) (tm HELIOS_left HELIOS_right 1 0)");
        line.push_back('\0');
        datagrams.push_back(std::move(line));
    }
    return datagrams;
}

// Parsing and storing one game's shows, per datagram: binary (protocol 2) and text (5).
void BM_StoreProtocol2Shows(benchmark::State& state) {
    const auto packets = demoPackets(kTextGame);
    if (packets.empty()) {
        state.SkipWithError("text game missing");
        return;
    }
    NullHost host;
    LogPlayer player(host);
    for (auto _ : state) {
        player.command(kCmdReset);
        for (const auto& p : packets) player.parse_monitor_packet(p.data(), p.size());
        benchmark::DoNotOptimize(player.size());
    }
    if (player.size() != packets.size()) state.SkipWithError("not every packet was stored");
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(packets.size()));
}
BENCHMARK(BM_StoreProtocol2Shows)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StoreProtocol5Shows(benchmark::State& state) {
    const auto datagrams = textShowDatagrams();
    if (datagrams.empty()) {
        state.SkipWithError("text game missing");
        return;
    }
    NullHost host;
    LogPlayer player(host);
    for (auto _ : state) {
        player.command(kCmdReset);
        for (const auto& d : datagrams) {
            player.parse_monitor_text(reinterpret_cast<const std::uint8_t*>(d.data()), d.size());
        }
        benchmark::DoNotOptimize(player.size());
    }
    if (player.size() != datagrams.size()) state.SkipWithError("not every text show was stored");
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(datagrams.size()));
}
BENCHMARK(BM_StoreProtocol5Shows)->Unit(benchmark::kMillisecond)->UseRealTime();

double cpuSeconds(clockid_t clock) {
    timespec now{};
    if (::clock_gettime(clock, &now) != 0) return -1.0;
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// The display's share of a live show as the viewer does it: under the display's lock the
// record is copied with its host-order state, then a repaint is requested, which wakes the
// display's thread unless a request is still pending (the viewer's queued repaint wakes its
// event loop the same way). The bench's own thread plays the display's thread. The host
// also learns the receiving thread's CPU clock at the first datagram, which runs on it.
class ReceivingHost final : public MonitorHost {
public:
    bool displayExists() const override { return true; }
    void setCurrentRecord(const std::optional<cycle_info_t>& record) override {
        bool wake = false;
        {
            std::lock_guard lock(mutex_);
            current_ = record;
            if (current_ && current_->kind == kShowRecord) state_ = toHost(current_->show());
            if (record) ++shows_;
            wake = !std::exchange(repaintPending_, true);
            if (wake) ++wakes_;
        }
        if (wake) repaint_.notify_one();
    }
    void setLogMode(bool) override {}
    void drawLogPlayerRecord() override {}
    void setDebugText(const std::string&) override {}
    std::optional<ServerAddress> askServer() override { return std::nullopt; }
    bool askYesNo(const std::string&, const std::string&) override { return false; }
    void disconnectTrainer() override {}
    void liveGameStarted() override {
        clockid_t clock{};
        if (::pthread_getcpuclockid(::pthread_self(), &clock) != 0) return;
        receiverClock_ = clock;
        haveClock_.store(true, std::memory_order_release);
    }

    // Takes repaint requests until `count` shows have been handed over since the start;
    // false when `limit` passes first.
    bool waitForShows(std::uint64_t count, std::chrono::milliseconds limit) {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        std::unique_lock lock(mutex_);
        while (shows_ < count) {
            repaintPending_ = false;
            if (!repaint_.wait_until(lock, deadline, [this] { return repaintPending_; })) return shows_ >= count;
        }
        repaintPending_ = false;
        return true;
    }
    std::uint64_t shows() {
        std::lock_guard lock(mutex_);
        return shows_;
    }
    // Repaint requests that woke the display's thread.
    std::uint64_t wakes() {
        std::lock_guard lock(mutex_);
        return wakes_;
    }
    // CPU seconds the receiving thread has run (user and system), while it runs; -1 before
    // the first datagram.
    double receiverCpuSeconds() const {
        return haveClock_.load(std::memory_order_acquire) ? cpuSeconds(receiverClock_) : -1.0;
    }

private:
    std::mutex mutex_;
    std::condition_variable repaint_;
    std::optional<cycle_info_t> current_;  // guarded by mutex_
    ShowState state_;                      // guarded by mutex_
    std::uint64_t shows_ = 0;              // guarded by mutex_
    std::uint64_t wakes_ = 0;              // guarded by mutex_
    bool repaintPending_ = false;          // guarded by mutex_
    clockid_t receiverClock_{};            // written by the receiver before it sets haveClock_
    std::atomic<bool> haveClock_{false};
};

// The receiving thread's work without the socket and the thread: each show parsed, stored
// and handed to the same host as the connection does it, on the bench's thread.
template <class Datagrams>
void handOverShows(benchmark::State& state, int protocol, const Datagrams& datagrams) {
    NullHost playbackHost;
    LogPlayer player(playbackHost);
    ReceivingHost host;
    std::uint64_t handedOver = 0;
    for (auto _ : state) {
        player.clearGame();
        for (const auto& d : datagrams) {
            const auto* bytes = reinterpret_cast<const std::uint8_t*>(d.data());
            const bool show = protocol >= 3 ? player.parse_monitor_text(bytes, d.size())
                                            : player.parse_monitor_packet(bytes, d.size());
            if (show) host.setCurrentRecord(player.last());
        }
        handedOver += datagrams.size();
        if (host.shows() != handedOver) {
            state.SkipWithError("not every show was handed over");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(datagrams.size()));
}

void BM_HandOverProtocol2Shows(benchmark::State& state) { handOverShows(state, 2, demoPackets(kTextGame)); }
BENCHMARK(BM_HandOverProtocol2Shows)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HandOverProtocol5Shows(benchmark::State& state) { handOverShows(state, 5, textShowDatagrams()); }
BENCHMARK(BM_HandOverProtocol5Shows)->Unit(benchmark::kMillisecond)->UseRealTime();

// Longest wait for a burst: a datagram still missing by then was lost.
constexpr std::chrono::milliseconds kBurstLimit{2000};

// Sends one game's datagrams in bursts of `burst` and waits after each until the host has
// taken every show; a message when something failed, empty otherwise.
template <class Datagrams>
std::string receiveGame(LoopbackMonitorServer& server, LogPlayer& player, ReceivingHost& host,
                        const Datagrams& datagrams, std::size_t burst, std::uint64_t& handedOver) {
    player.clearGame();
    for (std::size_t first = 0; first < datagrams.size(); first += burst) {
        const std::size_t end = std::min(datagrams.size(), first + burst);
        for (std::size_t i = first; i < end; ++i) {
            if (!server.send(datagrams[i].data(), datagrams[i].size())) return "a send failed";
        }
        handedOver += end - first;
        if (!host.waitForShows(handedOver, kBurstLimit)) {
            return "a datagram was lost: " + std::to_string(host.shows()) + " shows taken of " +
                   std::to_string(handedOver) + " sent in all";
        }
    }
    if (player.size() != datagrams.size()) return "the store does not hold every show";
    return {};
}

// A game's shows sent over loopback to a monitor connection speaking `protocol`, `burst`
// datagrams at a time (range 0). Besides the wall time, the counters give per datagram the
// receiving thread's CPU time and the bench thread's (sending, loopback delivery in the
// kernel, which runs in the sender's system call, and the waits).
template <class Datagrams>
void receiveShows(benchmark::State& state, int protocol, const Datagrams& datagrams) {
    if (datagrams.empty()) {
        state.SkipWithError("text game missing");
        return;
    }
    LoopbackMonitorServer server;
    if (!server.ok()) {
        state.SkipWithError("no loopback socket");
        return;
    }
    NullHost playbackHost;
    LogPlayer player(playbackHost);
    ReceivingHost host;
    CMonitorConnection connection(player, host);
    connection.Connect("127.0.0.1", server.monitorPort(), protocol);
    if (server.awaitInit(kBurstLimit) != protocol) {
        state.SkipWithError("no init from the connection");
        return;
    }
    // The first datagram starts the live game on the receiving thread.
    std::uint64_t handedOver = 1;
    if (!server.send(datagrams[0].data(), datagrams[0].size()) || !host.waitForShows(handedOver, kBurstLimit) ||
        host.receiverCpuSeconds() < 0.0) {
        state.SkipWithError("the connection took no first show");
        return;
    }
    const auto burst = static_cast<std::size_t>(state.range(0));
    const double receiverStart = host.receiverCpuSeconds();
    const std::uint64_t wakesStart = host.wakes();
    const double senderStart = cpuSeconds(CLOCK_THREAD_CPUTIME_ID);
    const auto wallStart = std::chrono::steady_clock::now();
    for (auto _ : state) {
        const std::string failure = receiveGame(server, player, host, datagrams, burst, handedOver);
        if (!failure.empty()) {
            state.SkipWithError(failure.c_str());
            break;
        }
    }
    const std::chrono::duration<double> wall = std::chrono::steady_clock::now() - wallStart;
    const double receiver = host.receiverCpuSeconds() - receiverStart;
    const double sender = cpuSeconds(CLOCK_THREAD_CPUTIME_ID) - senderStart;
    const auto count = state.iterations() * static_cast<std::int64_t>(datagrams.size());
    state.SetItemsProcessed(count);
    if (count == 0 || state.error_occurred()) return;
    const double perDatagram = 1e6 / static_cast<double>(count);
    state.counters["wall_us"] = wall.count() * perDatagram;
    state.counters["recv_cpu_us"] = receiver * perDatagram;
    state.counters["send_cpu_us"] = sender * perDatagram;
    state.counters["display_wakes"] = static_cast<double>(host.wakes() - wakesStart) / static_cast<double>(count);
}

// Bursts of one make every datagram wake the receiving thread, as the server's cycles do
// (the wall time is then a round trip: the bench thread is woken before it sends the next);
// bursts of 16 let it take datagrams back to back. Sixteen text shows are some 55 KB, well
// inside the usual default receive buffer of 208 KB; a datagram the socket drops ends the
// bench with an error.
void BM_ReceiveProtocol2Shows(benchmark::State& state) { receiveShows(state, 2, demoPackets(kTextGame)); }
BENCHMARK(BM_ReceiveProtocol2Shows)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReceiveProtocol5Shows(benchmark::State& state) { receiveShows(state, 5, textShowDatagrams()); }
BENCHMARK(BM_ReceiveProtocol5Shows)->Arg(1)->Arg(16)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
