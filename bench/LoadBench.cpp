// Loading the demo game through the log player and its parser thread, next to a plain
// buffered read of the same file in the same run. Goal: loading costs at most three
// times the plain read.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "record/LogPlayer.h"

namespace {

using namespace tessarin;

const std::string kDemo = std::string(TESSARIN_SAMPLES_DIR) + "/helios-left-4-vs-helios-right-1.rcg";

using NullHost = NullPlaybackHost;

void BM_PlainBufferedRead(benchmark::State& state) {
    const auto size = static_cast<std::int64_t>(std::filesystem::file_size(kDemo));
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        std::FILE* f = std::fopen(kDemo.c_str(), "rb");
        if (!f) {
            state.SkipWithError("demo game missing");
            return;
        }
        std::size_t total = 0;
        while (const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), f)) total += got;
        std::fclose(f);
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(state.iterations() * size);
}
BENCHMARK(BM_PlainBufferedRead)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadThroughLogPlayer(benchmark::State& state) {
    const auto size = static_cast<std::int64_t>(std::filesystem::file_size(kDemo));
    NullHost host;
    LogPlayer player(host);
    std::size_t records = 0;
    for (auto _ : state) {
        player.command(kCmdLoad, kDemo);
        player.waitForParser();
        records = player.size();
    }
    if (records == 0) state.SkipWithError("nothing loaded");
    state.SetBytesProcessed(state.iterations() * size);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(records));
    state.counters["records"] = static_cast<double>(records);
}
BENCHMARK(BM_LoadThroughLogPlayer)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
