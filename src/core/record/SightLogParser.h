#pragma once

#include "record/LogParser.h"

namespace tessarin {

// Reads the 648-byte records of a sight log ("SLG") as kind-1 records.
class CSightLogParser final : public CLogParser {
public:
    using CLogParser::CLogParser;
    bool parse(LogFile& file, std::stop_token stop) override;
};

}  // namespace tessarin
