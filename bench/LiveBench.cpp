// The live receive path: dispinfo packets parsed and stored by the log player, next to
// the server's normal rate of 10 packets per second (and its fast modes, which run a
// cycle as soon as every client is ready: hundreds per second).

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "analysis/BehaviorAnalyzer.h"
#include "analysis/GameAnalysis.h"
#include "record/LogPlayer.h"

namespace {

using namespace tessarin;

const std::string kDemo = std::string(TESSARIN_SAMPLES_DIR) + "/helios-left-4-vs-helios-right-1.rcg";

using NullHost = NullPlaybackHost;

// The demo game's shows as the 2056-byte datagrams a server sends.
std::vector<std::vector<std::uint8_t>> demoPackets() {
    NullHost host;
    LogPlayer player(host);
    player.command(kCmdLoad, kDemo);
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

}  // namespace

BENCHMARK_MAIN();
