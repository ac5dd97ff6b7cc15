#pragma once

// Writers of the three game-file formats; each produces exactly what its reader reads.

#include <string_view>
#include <vector>

#include "record/GameRecords.h"

namespace tessarin {

class LogFile;

// The messages of a record, each without its separator and cut to kMaxMessageLength.
// Only a separator that ends the text or is followed by the next "Recv " message
// separates two messages: a message that itself holds "\t\t\t" comes back whole.
// Text after the last separator is not a message.
std::vector<std::string_view> splitMessages(std::string_view messages);

// A version-3 game log: header, parameter blocks, player types, then per show record
// its play-mode change, team change, messages and show body. Records of other kinds
// are skipped. False when a write failed.
bool writeV3Log(LogFile& file, const std::vector<cycle_info_t>& records, const server_param_t& serverParams,
                const player_param_t& playerParams, const std::vector<player_type_t>& types);

// A sight log: "SLG" and the 648-byte records of kind 1.
bool writeSightLog(LogFile& file, const std::vector<cycle_info_t>& records);

// A version-2 sight log: "SLH", the 18-entry type block, and the 1332-byte records of kind 2.
// Entry p of the type block holds the first stored type with id p; an id with no stored
// type gets the defaults for a missing type (speed 1.0, size 0.3, kickable margin 0.7,
// the rest zero). The twelfth value of each entry is zero.
bool writeSightLogV2(LogFile& file, const std::vector<cycle_info_t>& records, const std::vector<player_type_t>& types);

}  // namespace tessarin
