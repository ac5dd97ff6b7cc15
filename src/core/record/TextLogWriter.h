#pragma once

// The writer of the version-6 text game log, the server's own default format: one
// s-expression a line, as the text-log reader reads it.

#include <string>
#include <vector>

#include "record/Companion.h"
#include "record/CompanionStore.h"
#include "record/GameRecords.h"

namespace tessarin {

class LogFile;

// What a game's parameter blocks and logos are; the records and their companions are
// passed apart.
struct TextLogGame {
    const server_param_t& serverParams;
    const player_param_t& playerParams;
    const std::vector<player_type_t>& types;
    const TeamLogos& logos;
};

// Writes "ULG6", the parameter lines with the values the blocks hold, the player types,
// the logos as the server passes them on (messages to the message board), then per show
// record its play-mode and team changes, its messages and the show line with what its
// companion holds. A part the companion lacks (a record read from a version-3 log has
// none) is left out of the line rather than made up, so that it reads back as unknown.
// Every real is written with the fewest decimals that read back to the stored value.
// Records of other kinds are skipped. False when a write failed.
bool writeV6Log(LogFile& file, const std::vector<cycle_info_t>& records, const CompanionStore& companions,
                const TextLogGame& game);

// One show line (without its line end) as writeV6Log writes it; for tests and tools.
std::string showLine(const cycle_info_t& record, const CycleCompanion* companion);

}  // namespace tessarin
