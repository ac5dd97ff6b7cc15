#pragma once

// The position dump: the ball's and every player's position and velocity, cycle by
// cycle, as 23 text files, with the opponent model's expected position of each player
// who stands well inside its usual region and is nearly still.

#include <filesystem>
#include <string>
#include <vector>

#include "record/GameRecords.h"
#include "record/OutputSink.h"

namespace tessarin {

class OpponentModel;

// Names of the dump's files: "ball.txt", then "player1.txt" .. "player22.txt" (left
// players 1..11, then right players 1..11).
std::vector<std::string> positionDumpFileNames();

struct PositionDumpResult {
    // False when the store was empty: no file was created.
    bool written = false;
    // Files that could not be written; an old file of that name is kept as it was.
    std::vector<std::string> failedFiles;
    int error = 0;  // the errno of the first failed file
};

// Writes the dump of `records` (sight records are skipped) into `directory` (empty:
// the working directory). The caller stops the playback timer around it.
PositionDumpResult writePositionDump(const std::vector<cycle_info_t>& records, const OpponentModel& model,
                                     const std::filesystem::path& directory = {});
PositionDumpResult writePositionDump(const std::vector<cycle_info_t>& records, const OpponentModel& model,
                                     OutputSink& sink);

}  // namespace tessarin
