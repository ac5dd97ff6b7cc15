#pragma once

// The games of a batch summarised for the summary and compare commands.

#include <ostream>
#include <span>
#include <string>
#include <vector>

#include "analysis/GameSummary.h"

namespace tessarin::cli {

struct BatchRun {
    // One row per game found and per path that could not be searched, sorted by path.
    std::vector<GameSummary> games;
    std::size_t failures = 0;  // rows with an error
    std::size_t partial = 0;   // games read only in part: damaged, cut off or over the record budget
};

// The exit status of a command over a batch: 1 when a game could not be read or an output
// not written, else kExitIncompleteInput when a game was read only in part (said on `err`),
// else 0.
int batchStatus(std::span<const BatchRun* const> runs, bool written, std::ostream& err);

// Finds the games under `paths`, tells on `err` which sight logs and how many other
// files were left out, and summarises the games on `jobs` workers, with a progress
// line on `err` when `progress` is set.
BatchRun runBatch(std::span<const std::string> paths, int jobs, bool progress, std::ostream& err);

}  // namespace tessarin::cli
