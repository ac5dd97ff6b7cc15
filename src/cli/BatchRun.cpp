#include "cli/BatchRun.h"

#include <algorithm>
#include <cmath>

#include "analysis/BatchRunner.h"
#include "cli/CliHost.h"

namespace tessarin::cli {

namespace {

// "\r  12/100 games  3.4 games/s  26 s left", rewritten in place.
void printProgress(std::ostream& err, const BatchProgress& p) {
    const double rate = p.elapsedSeconds > 0 ? static_cast<double>(p.done) / p.elapsedSeconds : 0.0;
    err << "\r  " << p.done << '/' << p.total << " games";
    if (rate > 0) {
        const auto left = static_cast<long>(std::ceil(static_cast<double>(p.total - p.done) / rate));
        err << "  " << std::round(rate * 10) / 10 << " games/s  " << left << " s left";
    }
    err << "   " << std::flush;
}

}  // namespace

BatchRun runBatch(std::span<const std::string> paths, int jobs, bool progress, std::ostream& err) {
    BatchFiles files = findGames(paths);
    for (const std::string& sight : files.sightLogs) err << "tessarin-cli: skipped sight log " << sight << '\n';
    if (files.otherFiles > 0) {
        err << "tessarin-cli: left out " << files.otherFiles << " other file(s) that are not game logs\n";
    }
    GameDoneFn done;
    if (progress) done = [&err](std::size_t, const GameSummary&, const BatchProgress& p) { printProgress(err, p); };
    BatchRun run;
    run.games = summarizeGames(files.games, jobs, done);
    if (progress && !files.games.empty()) err << '\n';
    for (GameSummary& e : files.errors) run.games.push_back(std::move(e));
    std::stable_sort(run.games.begin(), run.games.end(),
                     [](const GameSummary& a, const GameSummary& b) { return a.file < b.file; });
    run.failures = static_cast<std::size_t>(
        std::count_if(run.games.begin(), run.games.end(), [](const GameSummary& g) { return !g.ok(); }));
    run.partial = static_cast<std::size_t>(std::count_if(
        run.games.begin(), run.games.end(), [](const GameSummary& g) { return g.ok() && !g.warning.empty(); }));
    return run;
}

int batchStatus(std::span<const BatchRun* const> runs, bool written, std::ostream& err) {
    std::size_t failures = 0;
    std::size_t partial = 0;
    for (const BatchRun* run : runs) {
        failures += run->failures;
        partial += run->partial;
    }
    if (failures > 0 || !written) return 1;
    if (partial == 0) return 0;
    err << "tessarin-cli: " << partial << " game(s) were read only in part (exit status " << kExitIncompleteInput
        << ")\n";
    return kExitIncompleteInput;
}

}  // namespace tessarin::cli
