#pragma once

#include <atomic>
#include <stop_token>
#include <thread>

namespace tessarin {

class CLogParser;
class LogFile;

// The worker that reads one loaded file with its parser, so that the first cycles can
// be drawn while the rest is still read. It stops cooperatively: a stop request is
// checked by the parser between records, never inside the log player's lock, and the
// owner joins the thread before it touches the file or the store again.
class CParserThread final {
public:
    CParserThread(LogFile& file, CLogParser& parser);
    // Requests a stop and joins.
    ~CParserThread();
    CParserThread(const CParserThread&) = delete;
    CParserThread& operator=(const CParserThread&) = delete;

    bool start();
    // Reads the file on the calling thread instead, returning when it is read (for
    // callers that wait for the whole file anyway and want no thread per load).
    void runInCaller();
    // Requests a stop and waits until the thread has ended.
    void stop();
    // Waits until the thread has read its file.
    void wait();
    // The running mark: set while the parser works.
    bool running() const { return running_.load(std::memory_order_acquire); }
    // Whether the parser read to the end of the file; meaningful once finished() is true.
    bool result() const { return result_.load(std::memory_order_acquire); }
    bool finished() const { return finished_.load(std::memory_order_acquire); }
    // Whether the parser dropped a record cut off by the end of the file; meaningful once finished.
    bool droppedTornRecord() const { return droppedTornRecord_.load(std::memory_order_acquire); }
    // Whether memory ran out while reading: reading stopped there and what was stored
    // stays; meaningful once finished.
    bool ranOutOfMemory() const { return outOfMemory_.load(std::memory_order_acquire); }

private:
    void run(std::stop_token stop);

    LogFile& file_;                               // owned by the log player; used by this thread until it is joined
    CLogParser& parser_;                          // owned by the log player
    std::atomic<bool> running_{false};            // written by the worker, read by the GUI thread
    std::atomic<bool> finished_{false};           // written by the worker, read by the GUI thread
    std::atomic<bool> result_{false};             // written by the worker before finished_
    std::atomic<bool> droppedTornRecord_{false};  // written by the worker before finished_
    std::atomic<bool> outOfMemory_{false};        // written by the worker before finished_
    std::jthread thread_;
};

}  // namespace tessarin
