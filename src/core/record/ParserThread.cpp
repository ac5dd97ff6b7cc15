#include "record/ParserThread.h"

#include <new>

#include "record/LogFile.h"
#include "record/LogParser.h"

namespace tessarin {

CParserThread::CParserThread(LogFile& file, CLogParser& parser) : file_(file), parser_(parser) {}

CParserThread::~CParserThread() { stop(); }

bool CParserThread::start() {
    if (thread_.joinable()) return false;
    running_.store(true, std::memory_order_release);
    thread_ = std::jthread([this](std::stop_token stop) { run(std::move(stop)); });
    return true;
}

void CParserThread::runInCaller() {
    if (thread_.joinable()) return;
    running_.store(true, std::memory_order_release);
    run(std::stop_token());
}

void CParserThread::stop() {
    if (!thread_.joinable()) return;
    thread_.request_stop();
    thread_.join();
}

void CParserThread::wait() {
    if (thread_.joinable()) thread_.join();
}

void CParserThread::run(std::stop_token stop) {
    parser_.clearNotes();
    bool result = false;
    try {
        result = parser_.finishReading(file_, parser_.parse(file_, stop));
    } catch (const std::bad_alloc&) {
        // A huge or hostile file can exhaust memory; the records stored so far stay and
        // the program goes on.
        outOfMemory_.store(true, std::memory_order_release);
    }
    droppedTornRecord_.store(parser_.droppedTornRecord(), std::memory_order_release);
    result_.store(result, std::memory_order_release);
    file_.close();
    running_.store(false, std::memory_order_release);
    finished_.store(true, std::memory_order_release);
}

}  // namespace tessarin
