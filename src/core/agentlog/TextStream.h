#pragma once

// A debug log read front to back as text: plain files as they are, gzip files inflated
// (several members one after another too), and lines split out of the pieces read.

#include <zlib.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stop_token>
#include <string>
#include <string_view>
#include <vector>

#include "agentlog/ByteSource.h"
#include "agentlog/GzipAccess.h"

namespace tessarin::agentlog {

// The longest line read as a record. The library cuts a message at 2 KiB; anything far
// longer is damage (or binary data) and is skipped without being held in memory.
inline constexpr std::size_t kMaxLineLength = 64 * 1024;

class TextStream {
public:
    // With points, a gzip file's restart points are recorded while it is inflated.
    explicit TextStream(const ByteSource& source, GzipAccess* points = nullptr);
    ~TextStream();
    TextStream(const TextStream&) = delete;
    TextStream& operator=(const TextStream&) = delete;

    bool compressed() const { return gzip_; }
    // Once a stop is requested, next() gives nothing more: a worker stops within one piece
    // even in a file whose lines never end.
    void setStop(std::stop_token stop) { stop_ = std::move(stop); }
    // The next piece of text, valid until the next call; empty at the end or after an error.
    std::string_view next();
    // Bytes of the file consumed so far (for progress).
    std::uint64_t consumed() const { return gzip_ ? inNext_ - strm_.avail_in : textOffset_; }
    // Empty unless the file could not be read or its compressed stream is damaged or cut off.
    const std::string& error() const { return error_; }

private:
    std::string_view nextPlain();
    std::string_view nextGzip();
    bool refillInput();
    void considerPoint(const unsigned char* outEnd, std::size_t history);

    const ByteSource& source_;
    GzipAccess* points_;
    std::stop_token stop_;
    bool gzip_ = false;
    bool ended_ = false;
    std::string error_;
    // Left uninitialised (every byte is written before it is read): a stream is opened for
    // each pass over a log, and clearing its buffers cost more than reading a short one.
    std::unique_ptr<unsigned char[]> buffer_;  // for gzip: 32 KiB of history, then the new text
    std::size_t bufferSize_ = 0;
    std::unique_ptr<unsigned char[]> input_;
    std::size_t inputSize_ = 0;
    std::size_t piece_ = 0;         // the most text one piece holds
    std::size_t history_ = 0;       // bytes of history at the front of buffer_
    std::size_t lastPiece_ = 0;     // bytes of the piece last returned, after the history
    std::uint64_t textOffset_ = 0;  // text offset of the start of the next piece
    std::uint64_t inNext_ = 0;      // file offset of the next input read
    std::uint64_t lastPoint_ = 0;
    bool havePoint_ = false;
    bool memberOpen_ = false;
    z_stream strm_{};
    bool inflating_ = false;
};

// One line of the text: its offset, its bytes without the newline, and the bytes it
// takes in the text with its newline. A line longer than kMaxLineLength comes with
// tooLong set and no text.
struct TextLine {
    std::uint64_t offset = 0;
    std::string_view text;
    std::uint64_t length = 0;
    bool tooLong = false;
};

// Calls f(const TextLine&) for every line of the stream, in order; f returns false to
// stop early. Returns false when stopped.
template <class F>
bool forEachLine(TextStream& stream, F&& f) {
    std::string carry;
    bool carrying = false;
    bool carryTooLong = false;
    std::uint64_t carryOffset = 0;
    std::uint64_t pos = 0;
    for (std::string_view chunk = stream.next(); !chunk.empty(); chunk = stream.next()) {
        std::size_t i = 0;
        while (i < chunk.size()) {
            const void* found = std::memchr(chunk.data() + i, '\n', chunk.size() - i);
            const std::size_t end =
                found ? static_cast<std::size_t>(static_cast<const char*>(found) - chunk.data()) : chunk.size();
            const std::string_view piece = chunk.substr(i, end - i);
            if (!carrying && found) {
                const bool tooLong = piece.size() > kMaxLineLength;
                if (!f(TextLine{pos + i, tooLong ? std::string_view{} : piece, end + 1 - i, tooLong})) return false;
            } else {
                if (!carrying) {
                    carrying = true;
                    carryOffset = pos + i;
                }
                if (!carryTooLong && carry.size() + piece.size() > kMaxLineLength) {
                    carryTooLong = true;
                    carry.clear();
                    carry.shrink_to_fit();
                }
                if (!carryTooLong) carry.append(piece);
                if (found) {
                    const std::uint64_t length = pos + end + 1 - carryOffset;
                    if (!f(TextLine{carryOffset, carryTooLong ? std::string_view{} : carry, length, carryTooLong}))
                        return false;
                    carry.clear();
                    carrying = carryTooLong = false;
                }
            }
            i = end + 1;
        }
        pos += chunk.size();
    }
    if (carrying)
        return f(TextLine{carryOffset, carryTooLong ? std::string_view{} : carry, pos - carryOffset, carryTooLong});
    return true;
}

}  // namespace tessarin::agentlog
