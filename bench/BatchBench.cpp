// Summaries of many games: one summary of the demo game against loading it with the
// behaviour analysis (what analyze does before it writes), and a batch of 100 copies
// of the demo game on one and on two workers, reported as games per second. The copies
// are made at run time in a temporary folder and removed at the end.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "analysis/BatchRunner.h"
#include "analysis/BehaviorAnalyzer.h"
#include "analysis/GameAnalysis.h"
#include "record/LogPlayer.h"

namespace {

using namespace tessarin;
namespace fs = std::filesystem;

const std::string kDemo = std::string(TESSARIN_SAMPLES_DIR) + "/helios-left-4-vs-helios-right-1.rcg";
constexpr int kCopies = 100;

// The folder of copies, made on first use.
class Copies {
public:
    Copies() : dir_(fs::temp_directory_path() / ("tessarin-batch-bench-" + std::to_string(::getpid()))) {
        fs::create_directories(dir_);
        for (int i = 0; i < kCopies; ++i) {
            const fs::path target = dir_ / ("game" + std::to_string(1000 + i) + ".rcg");
            fs::copy_file(kDemo, target, fs::copy_options::overwrite_existing);
            files_.push_back(target.string());
        }
    }
    ~Copies() {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    const std::vector<std::string>& files() const { return files_; }

private:
    fs::path dir_;
    std::vector<std::string> files_;
};

const Copies& copies() {
    static const Copies c;
    return c;
}

void BM_AnalyzeOneGame(benchmark::State& state) {
    NullPlaybackHost host;
    for (auto _ : state) {
        BehaviorAnalyzer analyzer;
        GameAnalysis analysis(analyzer, nullptr);
        LogPlayer player(host, &analysis);
        player.command(kCmdLoad, kDemo);
        player.waitForParser();
        analyzer.ComputeStatistics();
        benchmark::DoNotOptimize(analyzer.Events().size());
    }
}
BENCHMARK(BM_AnalyzeOneGame)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SummarizeOneGame(benchmark::State& state) {
    for (auto _ : state) {
        const GameSummary s = summarizeGame(kDemo);
        if (!s.ok()) state.SkipWithError(s.error.c_str());
        benchmark::DoNotOptimize(s.sides[0].passes);
    }
}
BENCHMARK(BM_SummarizeOneGame)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SummarizeHundredGames(benchmark::State& state) {
    const auto& files = copies().files();
    for (auto _ : state) {
        const std::vector<GameSummary> out = summarizeGames(files, static_cast<int>(state.range(0)));
        if (out.size() != files.size() || !out.back().ok()) state.SkipWithError("a copy was not summarised");
    }
    state.counters["games_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations() * kCopies), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SummarizeHundredGames)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
