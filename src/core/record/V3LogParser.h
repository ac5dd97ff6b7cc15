#pragma once

#include "record/LogParser.h"
#include "record/RecordBatch.h"

namespace tessarin {

// Reads the records of a version-3 game log ("ULG" + 3) into the log player.
class CV3LogParser final : public CLogParser {
public:
    using CLogParser::CLogParser;
    bool parse(LogFile& file, std::stop_token stop) override;

private:
    // The file ended: finish the opponent model unless stopped.
    bool endOfFile(const std::stop_token& stop, RecordBatch& batch);
    // The file ends inside a record: the record is dropped, noted, and the file ends there.
    bool tornRecord(const std::stop_token& stop, RecordBatch& batch);
};

// Record kinds of a version-3 game log.
enum V3RecordKind : int {
    kV3Show = 1,
    kV3Message = 2,
    kV3PlayMode = 5,
    kV3Teams = 6,
    kV3PlayerType = 7,
    kV3ServerParams = 8,
    kV3PlayerParams = 9,
};

}  // namespace tessarin
