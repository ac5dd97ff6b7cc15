#pragma once

#include <cstddef>

#include "record/LogParser.h"

namespace tessarin {

// Reads a version-2 sight log ("SLH"): the block of 18 player types, then 1332-byte
// records as kind-2 records, each with its decision blocks from the decision files.
class CSightLogV2Parser final : public CLogParser {
public:
    using CLogParser::CLogParser;
    bool parse(LogFile& file, std::stop_token stop) override;
};

inline constexpr int kSightTypeCount = 18;
inline constexpr std::size_t kSightTypeEntrySize = 48;
inline constexpr std::size_t kSightTypeBlockSize = kSightTypeCount * kSightTypeEntrySize;

}  // namespace tessarin
