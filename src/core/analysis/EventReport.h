#pragma once

// The plain-text report of a game's behaviour events and statistics, "event.txt".

#include <filesystem>
#include <ostream>
#include <vector>

#include "analysis/BasicBehaviorEvent.h"
#include "analysis/Statistics.h"
#include "record/OutputSink.h"

namespace tessarin {

inline constexpr const char* kEventReportFileName = "event.txt";

// The number under which the report prints a player index: 1..11 for the left team,
// 21..31 for the right team (index + 10), 0 for no player.
int reportPlayerNumber(int index);

// Writes the report: the event list in order (sentinel first), twelve lines per player
// and thirteen per team, numbers in the stream's default format.
void writeEventReport(std::ostream& out, const std::vector<BasicBehaviorEvent>& events,
                      const GameStatistics& statistics);
// Creates or truncates the file and writes the report; -1 when it cannot be opened or
// written, else 0.
int writeEventReport(const std::filesystem::path& file, const std::vector<BasicBehaviorEvent>& events,
                     const GameStatistics& statistics);
// The same into `sink` under kEventReportFileName.
int writeEventReport(OutputSink& sink, const std::vector<BasicBehaviorEvent>& events, const GameStatistics& statistics);

}  // namespace tessarin
