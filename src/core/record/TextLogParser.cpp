#include "record/TextLogParser.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "record/LogFile.h"
#include "record/LogPlayer.h"

namespace tessarin {

namespace {
constexpr std::size_t kReadChunk = 64 << 10;
}  // namespace

bool CTextLogParser::endOfFile(const std::stop_token& stop, RecordBatch& batch) {
    batch.flush();
    if (stop.stop_requested()) return false;
    if (unknownLines_ > 0) {
        player_.setLoadWarning("skipped " + std::to_string(unknownLines_) + " line" + (unknownLines_ == 1 ? "" : "s") +
                               " of an unknown kind");
    }
    player_.finishOpponentModel();
    return !player_.overBudget();
}

bool CTextLogParser::broken(std::size_t lineNumber, RecordBatch& batch) {
    batch.flush();
    player_.setLoadWarning("line " + std::to_string(lineNumber) + " is not a valid text game log line (" + error_ +
                           "); reading stopped there");
    return false;
}

bool CTextLogParser::readLine(std::string_view line, RecordBatch& batch) {
    const TextLineReader::Result result = reader_.read(line, batch);
    if (result == TextLineReader::Result::Broken) {
        error_ = reader_.error();
        return false;
    }
    // A blank line is skipped silently; a line of a kind nothing reads is counted.
    if (result == TextLineReader::Result::Skipped && line.find('(') != std::string_view::npos) ++unknownLines_;
    return true;
}

bool CTextLogParser::parse(LogFile& file, std::stop_token stop) {
    reader_.reset();
    unknownLines_ = 0;
    RecordBatch batch(player_);

    // The header's four bytes were read; lines start after them. `buffer` holds the
    // unfinished line at its front, then what the last read brought.
    buffer_.resize(kReadChunk + kMaxLineLength);
    std::vector<char>& buffer = buffer_;
    std::size_t filled = 0;
    std::size_t lineNumber = 1;
    bool firstLine = true;  // the rest of the header line
    bool eof = false;
    while (!stop.stop_requested()) {
        if (!eof && filled < buffer.size()) {
            const std::size_t want = std::min(kReadChunk, buffer.size() - filled);
            const std::size_t got = file.read(buffer.data() + filled, want);
            filled += got;
            if (got < want) eof = true;
        }
        std::size_t start = 0;
        for (;;) {
            const char* begin = buffer.data() + start;
            const void* nl = std::memchr(begin, '\n', filled - start);
            if (nl == nullptr) break;
            const auto length = static_cast<std::size_t>(static_cast<const char*>(nl) - begin);
            if (length > kMaxLineLength) {
                error_ = "longer than " + std::to_string(kMaxLineLength) + " bytes";
                return broken(lineNumber, batch);
            }
            const std::string_view line(begin, length);
            start += length + 1;
            if (firstLine) {
                firstLine = false;
                if (!line.empty() && line != "\r") {
                    error_ = "text after the header";
                    return broken(lineNumber, batch);
                }
                ++lineNumber;
                continue;
            }
            if (!readLine(line, batch)) return broken(lineNumber, batch);
            ++lineNumber;
            if (stop.stop_requested() || player_.overBudget()) break;
        }
        std::memmove(buffer.data(), buffer.data() + start, filled - start);
        filled -= start;
        if (stop.stop_requested()) break;
        if (player_.overBudget()) return endOfFile(stop, batch);
        if (filled > kMaxLineLength) {
            error_ = "longer than " + std::to_string(kMaxLineLength) + " bytes";
            return broken(lineNumber, batch);
        }
        if (eof) {
            // A last line without its newline is complete only when it parses; a cut-off
            // show is incomplete and is dropped. After a read error the rest is not looked at.
            if (filled > 0 && !firstLine && file.error() == 0) {
                const std::string_view line(buffer.data(), filled);
                if (!readLine(line, batch)) return broken(lineNumber, batch);
            }
            return endOfFile(stop, batch);
        }
    }
    batch.flush();
    return false;
}

}  // namespace tessarin
