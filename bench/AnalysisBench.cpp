// The analysis of a game: loading the demo game with the behaviour analysis and the
// opponent model fed from the store against loading it without, per cycle, and the
// plan-recognition pass over the same game.

#include <benchmark/benchmark.h>

#include "analysis/BehaviorAnalyzer.h"
#include "analysis/GameAnalysis.h"
#include "analysis/OpponentModel.h"
#include "analysis/PlanRecognition.h"
#include "record/LogPlayer.h"

namespace {

using namespace tessarin;

const std::string kDemo = std::string(TESSARIN_SAMPLES_DIR) + "/helios-left-4-vs-helios-right-1.rcg";

using NullHost = NullPlaybackHost;

void load(benchmark::State& state, GameAnalysisHooks* hooks) {
    NullHost host;
    LogPlayer player(host, hooks);
    std::size_t records = 0;
    for (auto _ : state) {
        player.command(kCmdLoad, kDemo);
        player.waitForParser();
        records = player.size();
    }
    if (records == 0) state.SkipWithError("demo game missing");
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(records));
    state.counters["ns_per_cycle"] =
        benchmark::Counter(static_cast<double>(state.iterations() * static_cast<std::int64_t>(records)),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}

void BM_LoadWithoutAnalysis(benchmark::State& state) { load(state, nullptr); }
BENCHMARK(BM_LoadWithoutAnalysis)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadWithAnalysis(benchmark::State& state) {
    BehaviorAnalyzer analyzer;
    OpponentModel model;
    model.setEnabled(true);
    GameAnalysis analysis(analyzer, &model);
    load(state, &analysis);
}
BENCHMARK(BM_LoadWithAnalysis)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PlanRecognitionPass(benchmark::State& state) {
    BehaviorAnalyzer analyzer;
    GameAnalysis analysis(analyzer, nullptr);
    NullHost host;
    LogPlayer player(host, &analysis);
    player.command(kCmdLoad, kDemo);
    player.waitForParser();
    const auto dir = std::filesystem::temp_directory_path() / "tessarin-plan-bench";
    std::filesystem::create_directories(dir);
    for (auto _ : state) {
        std::filesystem::remove(dir / "Trie.txt");  // appended by every pass
        PlanRecognition plan;
        benchmark::DoNotOptimize(plan.RunPlanRecognition(analyzer.Events(), analyzer.Frames(), dir));
    }
    state.counters["events"] = static_cast<double>(analyzer.Events().size());
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_PlanRecognitionPass)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
