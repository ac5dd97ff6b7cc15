#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "record/Companion.h"
#include "record/GameRecords.h"
#include "record/LogParser.h"
#include "record/RecordBatch.h"

namespace tessarin {

// Reads a text game log ("ULG4", "ULG5", "ULG6": one s-expression a line) into the
// log player, turning each line into the records a version-3 log of the same game
// holds: show records in network order and fixed point, play modes and teams carried
// into the following shows, "Recv " messages attached to the next show, parameter
// blocks and player types by name. What the version-3 records do not carry goes into
// each show's companion (full state words, the newer counters, stamina capacity, focus
// point, attention and pointing targets) and the game's team logos; unknown names are
// skipped, and so are lines of an unknown kind (they are counted). A line that breaks
// the grammar ends reading there with a warning; a logo tile that cannot be read is
// dropped with a warning.
class CTextLogParser final : public CLogParser {
public:
    using CLogParser::CLogParser;

    // The longest line read, without its line end; a longer one (a runaway or
    // decompression bomb) ends reading.
    static constexpr std::size_t kMaxLineLength = 256 << 10;

    bool parse(LogFile& file, std::stop_token stop) override;

private:
    enum class LineResult { Ok, Skipped, Broken };

    LineResult parseLine(std::string_view line, RecordBatch& batch);
    bool parseShow(std::string_view& rest, RecordBatch& batch);
    bool parsePlayMode(std::string_view& rest);
    bool parseTeam(std::string_view& rest);
    bool parseMessage(std::string_view& rest);
    void parseTeamGraphic(std::string_view kind, std::string_view rest);
    bool parseParams(std::string_view& rest, std::string_view kind);
    bool endOfFile(const std::stop_token& stop, RecordBatch& batch);
    bool broken(std::size_t lineNumber, RecordBatch& batch);

    cycle_info_t work_;
    CycleCompanion companion_;  // of the show being read
    bool opponentModelStarted_ = false;
    std::size_t unknownLines_ = 0;
    std::string error_;         // what broke the current line
    std::vector<char> buffer_;  // the unfinished line, then what the last read brought; kept between loads
};

// The play mode of a name as the server writes it, or 0 for an unknown name.
int playModeOfName(std::string_view name);

}  // namespace tessarin
