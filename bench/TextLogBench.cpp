// Loading the text game logs: the v6 sample plain and gzip-compressed, next to the
// version-3 load of its binary twin, a plain read of the text file and the inflate of
// the .gz alone, all in one run. Goals: text parsing at 200 MB/s or more on one core
// (bytes of text per CPU second of the plain load), and the .gz load costing no more
// than the plain load plus the inflate. The loads are timed in CPU seconds of the whole
// process (the parser runs on its own thread), so a busy machine stretches them less.

#include <benchmark/benchmark.h>

#include <time.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include "record/LogFile.h"
#include "record/LogPlayer.h"

namespace {

using namespace tessarin;

const std::string kText = std::string(TESSARIN_TEST_DATA_DIR) + "/text/v6-short.rcg";
const std::string kGzip = kText + ".gz";
const std::string kTwin = std::string(TESSARIN_TEST_DATA_DIR) + "/text/v6-short-as-v3.rcg";

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

std::int64_t textSize() { return static_cast<std::int64_t>(std::filesystem::file_size(kText)); }

void BM_PlainReadOfTheText(benchmark::State& state) {
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        std::FILE* f = std::fopen(kText.c_str(), "rb");
        if (!f) {
            state.SkipWithError("sample missing");
            return;
        }
        std::size_t total = 0;
        while (const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), f)) total += got;
        std::fclose(f);
        benchmark::DoNotOptimize(total);
    }
    state.SetBytesProcessed(state.iterations() * textSize());
}
BENCHMARK(BM_PlainReadOfTheText)->Unit(benchmark::kMillisecond)->UseRealTime();

// zlib alone, through the log file's reader (which inflates as it reads).
void BM_InflateOnly(benchmark::State& state) {
    std::vector<char> buffer(1 << 16);
    for (auto _ : state) {
        const double start = processCpuSeconds();
        LogFile file(kGzip, LogFile::Mode::Read);
        std::size_t total = 0;
        while (const std::size_t got = file.read(buffer.data(), buffer.size())) total += got;
        benchmark::DoNotOptimize(total);
        state.SetIterationTime(processCpuSeconds() - start);
    }
    state.SetBytesProcessed(state.iterations() * textSize());
}
BENCHMARK(BM_InflateOnly)->Unit(benchmark::kMillisecond)->UseManualTime();

void load(benchmark::State& state, const std::string& path, std::int64_t bytes) {
    NullPlaybackHost host;
    LogPlayer player(host);
    std::size_t records = 0;
    for (auto _ : state) {
        const double start = processCpuSeconds();
        player.command(kCmdLoad, path);
        player.waitForParser();
        state.SetIterationTime(processCpuSeconds() - start);
        records = player.size();
    }
    if (records == 0) state.SkipWithError("nothing loaded");
    state.SetBytesProcessed(state.iterations() * bytes);
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(records));
}

void BM_LoadTextV6(benchmark::State& state) { load(state, kText, textSize()); }
BENCHMARK(BM_LoadTextV6)->Unit(benchmark::kMillisecond)->UseManualTime();

// Bytes counted are those of the text, so the rates compare with the plain load.
void BM_LoadTextV6Gzip(benchmark::State& state) { load(state, kGzip, textSize()); }
BENCHMARK(BM_LoadTextV6Gzip)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_LoadBinaryTwin(benchmark::State& state) {
    load(state, kTwin, static_cast<std::int64_t>(std::filesystem::file_size(kTwin)));
}
BENCHMARK(BM_LoadBinaryTwin)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace

BENCHMARK_MAIN();
