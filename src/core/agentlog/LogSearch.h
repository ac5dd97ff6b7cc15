#pragma once

// Finding a text in every cycle of a debug log: a worker reads the whole log and lists
// the cycles whose messages or drawn texts contain it (ASCII case ignored), with the
// first such text of each. It reports progress, can be cancelled, and is stopped and
// joined when destroyed.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "agentlog/ByteSource.h"
#include "agentlog/Record.h"

namespace tessarin::agentlog {

struct SearchHit {
    CycleKey key;
    std::size_t count = 0;  // matching records in the cycle
    std::string firstText;
};

// The search itself, on the caller's thread: calls found(record) for every message or
// drawn text whose levels meet `levels` and that holds the needle (ASCII case ignored),
// in file order, until found returns false or a stop is requested. done, when given,
// follows the bytes of the file read. Returns false when it ended early.
bool searchRecords(const ByteSource& source, std::string_view needle, std::uint32_t levels, std::stop_token stop,
                   std::atomic<std::uint64_t>* done, const std::function<bool(const Record&)>& found);

class LogSearch {
public:
    // At most this many cycles are listed; the search ends there and says so.
    static constexpr std::size_t kMaxHits = 100000;

    // Starts searching records whose levels meet `levels`; an empty needle finds nothing.
    LogSearch(std::shared_ptr<const ByteSource> source, std::string needle, std::uint32_t levels);
    ~LogSearch();
    LogSearch(const LogSearch&) = delete;
    LogSearch& operator=(const LogSearch&) = delete;

    void cancel() { worker_.request_stop(); }
    bool finished() const;
    // True when the search ended before the end of the log (cancelled, or too many hits).
    bool incomplete() const;
    // Share of the file read, 0..1.
    double progress() const;
    // The cycles found so far, in file order (a cycle met again later keeps its first place).
    std::vector<SearchHit> hits() const;
    bool waitFinished(std::chrono::milliseconds timeout) const;

private:
    void run(std::stop_token stop);

    std::shared_ptr<const ByteSource> source_;
    std::string needle_;
    std::uint32_t levels_;
    std::atomic<std::uint64_t> done_{0};

    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    std::vector<SearchHit> hits_;  // guarded by mutex_
    bool finished_ = false;        // guarded by mutex_
    bool incomplete_ = false;      // guarded by mutex_

    std::jthread worker_;  // last: it starts once everything above is made
};

}  // namespace tessarin::agentlog
