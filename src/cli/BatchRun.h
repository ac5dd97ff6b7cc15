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
};

// Finds the games under `paths`, tells on `err` which sight logs and how many other
// files were left out, and summarises the games on `jobs` workers, with a progress
// line on `err` when `progress` is set.
BatchRun runBatch(std::span<const std::string> paths, int jobs, bool progress, std::ostream& err);

}  // namespace tessarin::cli
