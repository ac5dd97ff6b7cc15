// The live receive path: dispinfo packets parsed and stored by the log player, next to
// the server's normal rate of 10 packets per second (and its fast modes, which run a
// cycle as soon as every client is ready: hundreds per second); and the text shows of
// monitor protocol 5 against the binary packets of protocol 2 for the same game.

#include <benchmark/benchmark.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "analysis/BehaviorAnalyzer.h"
#include "analysis/GameAnalysis.h"
#include "record/LogPlayer.h"

namespace {

using namespace tessarin;

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

}  // namespace

BENCHMARK_MAIN();
