#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "record/LogParser.h"
#include "record/RecordBatch.h"
#include "record/TextLineReader.h"

namespace tessarin {

// Reads a text game log ("ULG4", "ULG5", "ULG6": one s-expression a line) into the
// log player, each line through a TextLineReader; unknown names are skipped, and so are
// lines of an unknown kind (they are counted). A line that breaks
// the grammar ends reading there with a warning; a logo tile that cannot be read is
// dropped with a warning.
class CTextLogParser final : public CLogParser {
public:
    explicit CTextLogParser(LogPlayer& player) : CLogParser(player), reader_(player, true) {}

    // The longest line read, without its line end; a longer one (a runaway or
    // decompression bomb) ends reading.
    static constexpr std::size_t kMaxLineLength = 256 << 10;

    bool parse(LogFile& file, std::stop_token stop) override;

private:
    // False when the line breaks the grammar (error_ says why).
    bool readLine(std::string_view line, RecordBatch& batch);
    bool endOfFile(const std::stop_token& stop, RecordBatch& batch);
    bool broken(std::size_t lineNumber, RecordBatch& batch);

    TextLineReader reader_;
    std::size_t unknownLines_ = 0;
    std::string error_;         // what broke the current line
    std::vector<char> buffer_;  // the unfinished line, then what the last read brought; kept between loads
};

}  // namespace tessarin
