#pragma once

// Restart points into a gzip stream, so that a byte far into the inflated text is reached
// without inflating from the start. A deflate stream can be entered at the start of any of
// its blocks, given the bit at which the block starts and the 32 KiB of text that precede
// it (the window its back-references may reach into). The sequential decoder records such
// points while it inflates the whole file once; a read then starts at the nearest point
// before the wanted offset. Windows are kept deflated: a window of log text shrinks to a
// few KiB, which keeps the points within a small share of the file.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "agentlog/ByteSource.h"

namespace tessarin::agentlog {

inline constexpr std::size_t kDeflateWindow = 32768;

struct GzipPoint {
    std::uint64_t out = 0;              // offset in the inflated text
    std::uint64_t in = 0;               // offset in the file of the first whole byte of the block
    int bits = 0;                       // bits of the block in the byte before `in` (0..7)
    std::vector<unsigned char> window;  // the preceding text, up to 32 KiB, deflated
    std::size_t windowSize = 0;         // its inflated length
};

// The points of one file. The indexing worker adds points while readers read: every
// member is guarded by mutex_.
class GzipAccess {
public:
    // Adds a point; window holds the windowSize bytes of text just before it, of which the
    // last 32 KiB are kept.
    void add(std::uint64_t out, std::uint64_t in, int bits, const unsigned char* window, std::size_t windowSize);
    std::size_t pointCount() const;
    // Bytes held by the points, windows included.
    std::size_t memoryBytes() const;
    // Inflated offset of the last point, 0 when there is none.
    std::uint64_t lastOut() const;

    // Reads len bytes of the inflated text at offset into out (fewer at the end of the
    // stream, or where a damaged or cut-off stream stops, with a message in error). False
    // when the offset itself cannot be reached.
    bool read(const ByteSource& source, std::uint64_t offset, std::size_t len, std::string& out,
              std::string& error) const;

private:
    mutable std::mutex mutex_;
    std::vector<GzipPoint> points_;  // guarded by mutex_; in order of `out`
    std::size_t memory_ = 0;         // guarded by mutex_
};

}  // namespace tessarin::agentlog
