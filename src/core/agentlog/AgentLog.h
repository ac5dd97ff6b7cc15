#pragma once

// One player's (or coach's) debug log, opened for reading cycle by cycle. A worker thread
// reads the whole file once and indexes it by cycle (CycleIndex), recording restart points
// in a gzip file on the way (GzipAccess); the cycles it has passed can be read while it
// goes on, so the first cycle is at hand long before a large log is indexed. A cycle's
// records are read from disk when asked for; nothing but the index is kept.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "agentlog/ByteSource.h"
#include "agentlog/CycleIndex.h"
#include "agentlog/GzipAccess.h"
#include "agentlog/Record.h"

namespace tessarin::agentlog {

struct IndexProgress {
    std::uint64_t done = 0;   // bytes of the file read
    std::uint64_t total = 0;  // the file's size
    bool finished = false;
    std::string error;  // a read failure or a damaged compressed stream; what came before is indexed
};

struct CycleRecords {
    std::vector<Record> records;  // file order
    std::size_t badLines = 0;     // lines of the cycle that broke the grammar, skipped
    std::string error;            // the log could not be read there
};

class AgentLog {
public:
    // Opens a file and starts indexing it; null with a message when it cannot be opened.
    static std::unique_ptr<AgentLog> open(const std::string& path, std::string& error);
    // Where the index is made: on a worker of the log's own, or at once on the caller's
    // thread (the constructor returns with the index complete).
    enum class Indexing { Worker, Inline };
    // Indexes bytes from any source (memory, for tests and fuzzing).
    explicit AgentLog(std::unique_ptr<ByteSource> source, Indexing indexing = Indexing::Worker);
    // Stops the worker and waits for it.
    ~AgentLog();
    AgentLog(const AgentLog&) = delete;
    AgentLog& operator=(const AgentLog&) = delete;

    bool compressed() const { return compressed_; }
    IndexProgress progress() const;
    // Wait for the whole index, or for its first cycle; true when it is there.
    bool waitUntilIndexed(std::chrono::milliseconds timeout) const;
    bool waitForFirstCycle(std::chrono::milliseconds timeout) const;

    std::optional<CycleKey> firstKey() const { return index_.firstKey(); }
    std::vector<CycleKey> keys() const { return index_.keys(); }
    // The records of one cycle as far as the index has reached; none for a cycle the log lacks.
    CycleRecords read(CycleKey key) const;

    // Lines the indexer could not place in a cycle (no readable cycle, or far too long).
    std::size_t unplacedLines() const { return unplaced_.load(); }
    // Memory held by the index and the restart points.
    std::size_t indexMemoryBytes() const { return index_.memoryBytes() + points_.memoryBytes(); }
    std::size_t restartPoints() const { return points_.pointCount(); }
    const ByteSource& source() const { return *source_; }
    // The file, for a search that runs beside the reader.
    std::shared_ptr<const ByteSource> sharedSource() const { return source_; }

private:
    void run(std::stop_token stop);
    bool readText(std::uint64_t begin, std::uint64_t length, std::string& out, std::string& error) const;

    std::shared_ptr<const ByteSource> source_;
    bool compressed_ = false;
    CycleIndex index_;
    GzipAccess points_;
    std::atomic<std::uint64_t> done_{0};
    std::atomic<std::size_t> unplaced_{0};

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool finished_ = false;  // guarded by mutex_
    bool hasFirst_ = false;  // guarded by mutex_
    std::string error_;      // guarded by mutex_

    // The text last inflated from a gzip file: stepping through the cycles reads the
    // same stretch again and again. Guarded by cacheMutex_.
    mutable std::mutex cacheMutex_;
    mutable std::uint64_t cacheBegin_ = 0;
    mutable std::string cache_;

    std::jthread worker_;  // last: it starts once everything above is made
};

}  // namespace tessarin::agentlog
