// Loading the server's JSON game log beside the version-6 text log of the same game
// (tests/data/json), both inflated to plain files first. The JSON is some 2.5 times the
// size of the text for the same records, so the figures to compare are records per CPU
// second; bytes per second says how fast the JSON itself is read. The loads are timed in
// CPU seconds of the whole process (the parser runs on its own thread).

#include <benchmark/benchmark.h>

#include <time.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "record/LogFile.h"
#include "record/LogPlayer.h"

namespace {

using namespace tessarin;

double processCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The sample inflated into a plain file in the system's temporary folder, once per run.
std::string inflated(const std::string& name) {
    const std::string from = std::string(TESSARIN_TEST_DATA_DIR) + "/json/" + name + ".gz";
    const std::string to = (std::filesystem::temp_directory_path() / ("tessarin-bench-" + name)).string();
    LogFile in(from, LogFile::Mode::Read);
    std::ofstream out(to, std::ios::binary);
    std::vector<char> buffer(1 << 16);
    while (const std::size_t got = in.read(buffer.data(), buffer.size())) out.write(buffer.data(), got);
    return to;
}

const std::string& jsonLog() {
    static const std::string path = inflated("game.json");
    return path;
}
const std::string& textTwin() {
    static const std::string path = inflated("game-v6.rcg");
    return path;
}

void load(benchmark::State& state, const std::string& path) {
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
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(path)));
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(records));
}

void BM_LoadJson(benchmark::State& state) { load(state, jsonLog()); }
BENCHMARK(BM_LoadJson)->Unit(benchmark::kMillisecond)->UseManualTime();

void BM_LoadTextTwin(benchmark::State& state) { load(state, textTwin()); }
BENCHMARK(BM_LoadTextTwin)->Unit(benchmark::kMillisecond)->UseManualTime();

}  // namespace

BENCHMARK_MAIN();
