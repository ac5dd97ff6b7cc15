#pragma once

// Finding the games of a batch (files and folders searched recursively) and
// summarising them on several worker threads, one game per worker at a time, so that
// memory is bounded by the workers and never by the batch.

#include <cstddef>
#include <functional>
#include <span>
#include <stop_token>
#include <string>
#include <vector>

#include "analysis/GameSummary.h"

namespace tessarin {

struct BatchFiles {
    // Files to summarise, sorted by path, each once. A file named on the command line is
    // always one (so that a wrong one is reported); in a folder, a file whose name ends in
    // ".rcg" or ".rcg.gz" or whose first bytes are a game log's header.
    std::vector<std::string> games;
    // Paths that could not be searched (missing, unreadable folders), with the reason.
    std::vector<GameSummary> errors;
    // Sight logs found and left out: they hold one player's view, not a game.
    std::vector<std::string> sightLogs;
    // Other files in the folders, neither named nor made like a game log.
    std::size_t otherFiles = 0;
};

// Searches the paths: a file is taken as it is, a folder recursively. Symbolic links to
// files are followed, links to folders are not (so a loop of links ends the search of
// that branch rather than running for ever).
BatchFiles findGames(std::span<const std::string> paths);

struct BatchProgress {
    std::size_t done = 0;
    std::size_t total = 0;
    double elapsedSeconds = 0.0;
};

// Called once per finished game, serialised (never two at once) but on any worker
// thread: `index` is the game's place in the list given.
using GameDoneFn = std::function<void(std::size_t index, const GameSummary& summary, const BatchProgress& progress)>;
using SummarizeFn = std::function<GameSummary(const std::string& path)>;

// Summarises every file on `workers` threads (the hardware threads when 0 or less) and
// returns the summaries in the order of `files`, whatever finished first. A stop
// request ends the batch after the games in progress; games not started are left out
// of the result. `summarize` stands in for summarizeGame (tests).
std::vector<GameSummary> summarizeGames(std::span<const std::string> files, int workers,
                                        const GameDoneFn& gameDone = {}, std::stop_token stop = {},
                                        const SummarizeFn& summarize = {});

// The workers a batch uses when none are asked for.
int defaultWorkerCount();

}  // namespace tessarin
