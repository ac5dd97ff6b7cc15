// The analysis on any bytes after a version-3 header: behaviour events as the file loads,
// then the statistics with their document and the event report, plan recognition, the
// position dump and the opponent model.

#include <unistd.h>

#include <filesystem>
#include <sstream>
#include <string_view>

#include "FuzzSupport.h"
#include "analysis/BehaviorAnalyzer.h"
#include "analysis/EventReport.h"
#include "analysis/GameAnalysis.h"
#include "analysis/OpponentModel.h"
#include "analysis/PlanRecognition.h"
#include "analysis/PlanRecognitionParameters.h"
#include "analysis/PositionDump.h"
#include "cli/StatsJson.h"

namespace {

// The folder for the files the analysis writes, removed with whatever is left in it when
// the run ends.
struct OutputDirectory {
    OutputDirectory()
        : path(std::filesystem::temp_directory_path() / ("tessarin-fuzz-analysis-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(path);
    }
    ~OutputDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    OutputDirectory(const OutputDirectory&) = delete;
    OutputDirectory& operator=(const OutputDirectory&) = delete;
    std::filesystem::path path;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessarin;
    static const OutputDirectory outputs;
    const fuzz::Bytes file = fuzz::withHeader(std::string_view("ULG\3", 4), data, size);

    // One player and one analysis for the whole run, as the viewer keeps them; each load
    // resets the analysis, while the opponent model learns over every input.
    static fuzz::NullHost host;
    static BehaviorAnalyzer analyzer;
    static OpponentModel model;
    static GameAnalysis analysis(analyzer, &model);
    static LogPlayer player(host, &analysis);
    model.setEnabled(true);
    player.loadMemory(file);
    player.waitForParser();

    analyzer.ComputeStatistics();
    std::ostringstream report;
    writeEventReport(report, analyzer.Events(), analyzer.statistics());
    const std::string json = cli::dumpJson(cli::statsJson(analyzer));

    PlanRecognition plan(PlanRecognitionParameters{});
    plan.RunPlanRecognition(analyzer.Events(), analyzer.Frames(), outputs.path);
    player.withStore(
        [&](const std::vector<cycle_info_t>& records) { return writePositionDump(records, model, outputs.path); });
    if (const auto last = player.last(); last && last->kind == kShowRecord) {
        model.Finish();
        model.Save(last->show(), outputs.path);
    }
    // The next load must not read the bytes of this input any more. "Trie.txt" is
    // appended to, and the model's files are named after the teams: start afresh.
    player.command(kCmdReset);
    for (const auto& entry : std::filesystem::directory_iterator(outputs.path)) {
        std::error_code ignored;
        std::filesystem::remove_all(entry.path(), ignored);
    }
    return 0;
}
