#pragma once

// Where each cycle of a debug log lies: runs of consecutive lines that share a cycle and
// stopped count ("segments"), by byte offset in the log's text. A cycle usually is one
// segment; a log whose cycles come out of order (a restarted clock, two files joined)
// gives a cycle several, read in file order.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

#include "agentlog/Record.h"

namespace tessarin::agentlog {

struct Segment {
    CycleKey key;
    std::uint64_t begin = 0;  // offset of the first line in the text
    std::uint64_t end = 0;    // offset just past the last line's newline
};

// Filled by the indexing worker while readers look cycles up: every member is guarded
// by mutex_.
class CycleIndex {
public:
    void append(const Segment& segment);
    // Called once the whole file is indexed: merges what waits and gives back the room
    // the growing lists held in reserve.
    void finish();
    // The segments of a cycle, in file order (those found so far while indexing runs).
    std::vector<Segment> find(CycleKey key) const;
    // Every cycle found, sorted, each once.
    std::vector<CycleKey> keys() const;
    // The cycle of the first segment in the file.
    std::optional<CycleKey> firstKey() const;
    std::size_t segmentCount() const;
    std::size_t memoryBytes() const;

private:
    bool lessLocked(std::uint32_t a, std::uint32_t b) const;
    void mergePendingLocked();

    mutable std::mutex mutex_;
    std::vector<Segment> segments_;       // guarded by mutex_; file order
    std::vector<std::uint32_t> sorted_;   // guarded by mutex_; by cycle, then file order
    std::vector<std::uint32_t> pending_;  // guarded by mutex_; out of order, not merged yet
};

}  // namespace tessarin::agentlog
