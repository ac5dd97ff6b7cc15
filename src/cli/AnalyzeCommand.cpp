#include <filesystem>
#include <set>
#include <system_error>

#include "analysis/BehaviorAnalyzer.h"
#include "analysis/EventReport.h"
#include "analysis/GameAnalysis.h"
#include "analysis/OpponentModel.h"
#include "analysis/PlanRecognition.h"
#include "analysis/PlanRecognitionParameters.h"
#include "analysis/PositionDump.h"
#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "cli/StatsJson.h"
#include "record/AtomicFile.h"
#include "record/OutputSink.h"

namespace tessarin::cli {

namespace fs = std::filesystem;

namespace {

// Where one game's outputs go: DIR itself for a single game; with several games a
// folder per game named after its file, so that their outputs do not overwrite each
// other. A name already taken gets the first free "-2", "-3", ... suffix; a suffixed
// name can equal another file's own name, so every name is checked against all taken.
fs::path gameDirectory(const fs::path& out, const std::string& file, bool several, std::set<std::string>& usedNames) {
    if (!several) return out;
    std::string name = fs::path(file).stem().string();
    if (name.empty() || name == "." || name == "..") name = "game";
    std::string chosen = name;
    for (int n = 2; usedNames.count(chosen) != 0; ++n) {
        // Built piece by piece: GCC 12 at -O3 warns (-Wrestrict, falsely) about a
        // concatenated temporary here.
        chosen = name;
        chosen += '-';
        chosen += std::to_string(n);
    }
    usedNames.insert(chosen);
    return out / chosen;
}

// Refuses an output path that exists and is no directory before any game is read; the
// directory itself is only created once there is something to write into it.
bool checkOutputDirectory(const fs::path& dir, std::ostream& err) {
    std::error_code ec;
    const fs::file_status status = fs::status(dir, ec);
    if (fs::exists(status) && !fs::is_directory(status)) {
        err << "tessarin-cli: cannot create the output directory " << dir.string() << ": not a directory\n";
        return false;
    }
    return true;
}

bool ensureDirectory(const fs::path& dir, std::ostream& err) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec || !fs::is_directory(dir)) {
        err << "tessarin-cli: cannot create the output directory " << dir.string() << ": "
            << (ec ? ec.message() : std::string("not a directory")) << '\n';
        return false;
    }
    return true;
}

std::array<std::string, 2> modelNames(const show_info_t& show) {
    return {toHost(show.team[0]).name, toHost(show.team[1]).name};
}

// What the analysis did when the game's cycle went back.
std::string restartText(const BehaviorAnalyzer& analyzer) {
    const AnalysisRestart& r = analyzer.lastRestart();
    std::string text =
        "the game starts again at cycle " + std::to_string(r.toCycle) + " after cycle " + std::to_string(r.fromCycle);
    if (analyzer.restartCount() > 1) text += " (the last of " + std::to_string(analyzer.restartCount()) + " restarts)";
    return text + "; the analysis covers the game from there, dropping the " + std::to_string(r.droppedEvents) +
           " events of " + std::to_string(r.droppedFrames) + " cycles before it";
}

// The files one game's chosen outputs are written to, by name.
std::vector<std::string> outputNames(const AnalyzeOptions& o) {
    std::vector<std::string> names;
    if (o.events) names.emplace_back("event.txt");
    if (o.statsJson) names.emplace_back("stats.json");
    if (o.plan) names.insert(names.end(), {"concurrent_event.txt", "Trie.txt", "MAPRN.txt"});
    if (o.dumpPositions) {
        names.emplace_back("ball.txt");
        for (int i = 1; i <= kPlayerCount; ++i) names.push_back("player" + std::to_string(i) + ".txt");
    }
    return names;
}

// The first of `names` in `dir` that would replace one of the games being read.
template <typename Names>
std::optional<std::string> outputOverInput(const fs::path& dir, const Names& names,
                                           const std::vector<std::string>& inputs) {
    for (const auto& name : names) {
        const std::string path = (dir / name).string();
        for (const auto& input : inputs) {
            if (sameFile(input, path)) return path;
        }
    }
    return std::nullopt;
}

}  // namespace

int runAnalyze(AnalyzeOptions options, std::ostream& out, std::ostream& err) {
    if (!options.events && !options.statsJson && !options.plan && !options.dumpPositions && !options.opponentModel) {
        options.events = options.statsJson = true;
    }
    const fs::path outDir(options.out.empty() ? "." : options.out);
    if (!checkOutputDirectory(outDir, err)) return 1;

    const bool several = options.files.size() > 1;
    std::set<std::string> usedNames;
    OpponentModel model;
    model.setEnabled(options.opponentModel);
    const PlanRecognitionParameters planParameters =
        options.plan ? PlanRecognitionParameters::Read(kPlanRecognitionParametersFile) : PlanRecognitionParameters{};
    std::optional<show_info_t> lastShow;
    int failures = 0;
    int incompleteInputs = 0;  // damaged, or larger than the budget: analysed as far as read

    for (std::size_t i = 0; i < options.files.size(); ++i) {
        const std::string& file = options.files[i];
        err << "[" << (i + 1) << "/" << options.files.size() << "] " << file << '\n';
        CliHost host(err);
        BehaviorAnalyzer analyzer;
        GameAnalysis analysis(analyzer, &model);
        LogPlayer player(host, &analysis);
        const LoadResult loaded = loadAndWait(player, file, options.maxRecords);
        if (!loaded.ok) {
            err << "tessarin-cli: " << loaded.error << '\n';
            ++failures;
            continue;
        }
        if (!loaded.warning.empty()) err << "tessarin-cli: warning: " << loaded.warning << '\n';
        if (loaded.incomplete) ++incompleteInputs;
        if (const auto last = player.last(); last && last->kind == kShowRecord) lastShow = last->show();

        const fs::path dir = gameDirectory(outDir, file, several, usedNames);
        if (const auto clash = outputOverInput(dir, outputNames(options), options.files)) {
            err << "tessarin-cli: " << *clash << " is a file being read: refusing to write over it\n";
            ++failures;
            continue;
        }
        if (!ensureDirectory(outDir, err) || !ensureDirectory(dir, err)) {
            ++failures;
            continue;
        }
        // Loading has finished: nothing feeds the analyser any more, so it is read directly.
        const std::size_t events = analyzer.Events().empty() ? 0 : analyzer.Events().size() - 1;
        err << "    " << player.size() << " records, " << events << " events\n";
        if (analyzer.restartCount() != 0)
            err << "tessarin-cli: warning: " << file << ": " << restartText(analyzer) << '\n';
        // The report and stats.json both carry the statistics: bring them up to date first
        // (a second call does nothing while they are current).
        if (options.events || options.statsJson) analyzer.ComputeStatistics();
        DirectorySink sink(dir);
        const auto cannotWrite = [&](const std::string& name) {
            err << "tessarin-cli: cannot write " << sink.pathOf(name).string() << errnoText(sink.error()) << '\n';
            ++failures;
        };
        if (options.events && writeEventReport(sink, analyzer.Events(), analyzer.statistics()) != 0) {
            cannotWrite(kEventReportFileName);
        }
        if (options.statsJson) {
            const GameDiscipline discipline = player.withStoreAndCompanions(countDiscipline);
            if (!sink.replace("stats.json", statsJsonText(analyzer, &discipline) + '\n')) {
                cannotWrite("stats.json");
            }
        }
        if (options.plan) {
            PlanRecognition plan(planParameters);
            const PlanRecognitionResult r = plan.RunPlanRecognition(analyzer.Events(), analyzer.Frames(), sink);
            if (r.concurrent_events != 0) cannotWrite(kConcurrentEventFile);
            if (r.trie != 0) cannotWrite(kTrieFile);
            if (r.network != 0) cannotWrite(kNetworkFile);
        }
        if (options.dumpPositions) {
            const PositionDumpResult dump = player.withStore(
                [&](const std::vector<cycle_info_t>& records) { return writePositionDump(records, model, sink); });
            for (const auto& name : dump.failedFiles) {
                err << "tessarin-cli: cannot write " << sink.pathOf(name).string() << errnoText(dump.error) << '\n';
                ++failures;
            }
        }
    }

    if (options.opponentModel) {
        if (!lastShow) {
            err << "tessarin-cli: no show record was read: no opponent model to save\n";
            ++failures;
        } else if (const auto clash =
                       outputOverInput(outDir, opponentModelFileNames(modelNames(*lastShow)), options.files)) {
            err << "tessarin-cli: " << *clash << " is a file being read: refusing to write over it\n";
            ++failures;
        } else if (!ensureDirectory(outDir, err)) {
            ++failures;
        } else {
            const OpponentModelSaveResult saved = model.Save(*lastShow, outDir);
            for (std::size_t side = 0; side < 2; ++side) {
                const std::string path = (outDir / saved.file[side]).string();
                if (saved.team[side] == TeamSaveStatus::Written) {
                    out << "opponent model of \"" << saved.name[side] << "\": " << path << '\n';
                } else {
                    err << "tessarin-cli: cannot write " << path << errnoText(saved.error[side]) << '\n';
                    ++failures;
                }
            }
        }
    }
    out << "analysed " << options.files.size() << " file(s) into " << outDir.string()
        << (failures           ? " with errors (see above)"
            : incompleteInputs ? " from incomplete input (see above)"
                               : "")
        << '\n';
    if (failures != 0) return 1;
    return incompleteInputs != 0 ? kExitIncompleteInput : 0;
}

}  // namespace tessarin::cli
