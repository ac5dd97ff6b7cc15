// The analysis on any bytes after a version-3 header: behaviour events as the file loads,
// then the statistics with their document and the event report, plan recognition, the
// position dump and the opponent model.

#include <memory>
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
#include "record/OutputSink.h"

namespace {

// Inputs the opponent model learns from before it is made anew.
constexpr std::size_t kModelInputs = 256;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessarin;
    // The outputs are written to memory: the writers run in full, no file is touched
    // (writing files atomically is tested on its own).
    static MemorySink outputs;
    const fuzz::Bytes file = fuzz::withHeader(std::string_view("ULG\3", 4), data, size);

    // One player and one analyser for the whole run, as the viewer keeps them; each load
    // resets the analysis. The opponent model learns over the inputs, as it does over the
    // logs of a session, and is renewed every kModelInputs inputs: fitting grows with its
    // samples, and a model that filled up would slow every later input.
    static fuzz::NullHost host;
    static BehaviorAnalyzer analyzer;
    static std::unique_ptr<OpponentModel> model;
    static std::unique_ptr<GameAnalysis> analysis;
    static LogPlayer player(host);
    static std::size_t inputs = 0;
    if (inputs++ % kModelInputs == 0) {
        player.setAnalysisHooks(nullptr);
        analysis.reset();
        model = std::make_unique<OpponentModel>();
        analysis = std::make_unique<GameAnalysis>(analyzer, model.get());
        player.setAnalysisHooks(analysis.get());
        model->setEnabled(true);
    }
    // Read on this thread: a thread per input would cost more than the input itself.
    player.loadMemory(file, {}, true);

    analyzer.ComputeStatistics();
    std::ostringstream report;
    writeEventReport(report, analyzer.Events(), analyzer.statistics());
    const std::string json = cli::statsJsonText(analyzer);

    PlanRecognition plan(PlanRecognitionParameters{});
    plan.RunPlanRecognition(analyzer.Events(), analyzer.Frames(), outputs);
    player.withStore(
        [&](const std::vector<cycle_info_t>& records) { return writePositionDump(records, *model, outputs); });
    if (const auto last = player.last(); last && last->kind == kShowRecord) {
        const OpponentModelSaveResult saved = model->Save(last->show(), outputs);
        // A name taken from the file never leaves the folder or hides in a dot file.
        for (const auto& name : saved.file) {
            if (name.empty() || name.front() == '.' || name.find('/') != std::string::npos) __builtin_trap();
        }
    }
    // The next load must not read the bytes of this input any more; "Trie.txt" is
    // appended to: start afresh.
    player.command(kCmdReset);
    outputs.clear();
    return 0;
}
