#include "agentlog/AgentLog.h"

#include <algorithm>

#include "agentlog/TextStream.h"

namespace tessarin::agentlog {

namespace {

// A gzip read inflates at least this much around the wanted cycle and keeps it, so that
// the following cycles come from memory.
constexpr std::size_t kCacheSpan = 512 * 1024;
// A cycle larger than this is read only so far: a damaged log must not fill the memory.
constexpr std::uint64_t kMaxCycleBytes = 64ull << 20;

}  // namespace

std::unique_ptr<AgentLog> AgentLog::open(const std::string& path, std::string& error) {
    auto source = FileSource::open(path, error);
    if (!source) return nullptr;
    return std::make_unique<AgentLog>(std::move(source));
}

AgentLog::AgentLog(std::unique_ptr<ByteSource> source, Indexing indexing) : source_(std::move(source)) {
    compressed_ = startsWithGzipMagic(*source_);
    if (indexing == Indexing::Inline) {
        run({});
    } else {
        worker_ = std::jthread([this](std::stop_token stop) { run(stop); });
    }
}

AgentLog::~AgentLog() {
    worker_.request_stop();
    if (worker_.joinable()) worker_.join();
}

void AgentLog::run(std::stop_token stop) {
    TextStream stream(*source_, compressed_ ? &points_ : nullptr);
    stream.setStop(stop);
    std::optional<Segment> open;
    const auto close = [&] {
        if (!open) return;
        index_.append(*open);
        open.reset();
        std::lock_guard lock(mutex_);
        if (!hasFirst_) {
            hasFirst_ = true;
            changed_.notify_all();
        }
    };
    std::size_t lines = 0;
    forEachLine(stream, [&](const TextLine& line) {
        CycleKey key;
        std::string_view rest;
        if (line.tooLong || !parseKey(line.text, key, rest)) {
            // A line without a cycle ends the run it interrupts: the next cycle starts
            // afresh, and reading a cycle never takes in a stretch of garbage.
            ++unplaced_;
            close();
        } else if (open && open->key == key) {
            open->end = line.offset + line.length;
        } else {
            close();
            open = Segment{key, line.offset, line.offset + line.length};
        }
        if ((++lines & 0xfff) == 0) {
            done_.store(stream.consumed(), std::memory_order_relaxed);
            if (stop.stop_requested()) return false;
        }
        return true;
    });
    close();
    index_.finish();
    done_.store(stream.consumed());
    std::lock_guard lock(mutex_);
    finished_ = true;
    hasFirst_ = true;
    error_ = stream.error();
    changed_.notify_all();
}

IndexProgress AgentLog::progress() const {
    IndexProgress p;
    p.done = done_.load();
    p.total = source_->size();
    std::lock_guard lock(mutex_);
    p.finished = finished_;
    p.error = error_;
    return p;
}

bool AgentLog::waitUntilIndexed(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return finished_; });
}

bool AgentLog::waitForFirstCycle(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return hasFirst_; });
}

bool AgentLog::readText(std::uint64_t begin, std::uint64_t length, std::string& out, std::string& error) const {
    if (!compressed_) {
        out.resize(static_cast<std::size_t>(length));
        const std::int64_t got = source_->readAt(begin, out.data(), out.size());
        if (got < 0) {
            error = "cannot read the file";
            return false;
        }
        out.resize(static_cast<std::size_t>(got));
        return true;
    }
    std::lock_guard lock(cacheMutex_);
    if (begin < cacheBegin_ || begin + length > cacheBegin_ + cache_.size()) {
        const std::size_t span = static_cast<std::size_t>(std::max<std::uint64_t>(length, kCacheSpan));
        std::string text;
        std::string damage;  // beyond the indexed text only: the index stops where the stream does
        if (!points_.read(*source_, begin, span, text, damage)) {
            error = damage;
            cache_.clear();
            return false;
        }
        cacheBegin_ = begin;
        cache_ = std::move(text);
    }
    const std::size_t from = static_cast<std::size_t>(begin - cacheBegin_);
    out.assign(cache_, from, static_cast<std::size_t>(std::min<std::uint64_t>(length, cache_.size() - from)));
    return true;
}

CycleRecords AgentLog::read(CycleKey key) const {
    CycleRecords result;
    std::uint64_t budget = kMaxCycleBytes;
    std::string text;
    for (const Segment& segment : index_.find(key)) {
        const std::uint64_t length = std::min(segment.end - segment.begin, budget);
        budget -= length;
        if (!readText(segment.begin, length, text, result.error)) break;
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t end = text.find('\n', pos);
            if (end == std::string::npos) end = text.size();
            Record record;
            if (parseRecord(std::string_view(text).substr(pos, end - pos), record)) {
                result.records.push_back(std::move(record));
            } else {
                ++result.badLines;
            }
            pos = end + 1;
        }
        if (budget == 0) {
            result.error = "the cycle is too large; only its start is read";
            break;
        }
    }
    return result;
}

}  // namespace tessarin::agentlog
