#include "agentlog/LogSearch.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "agentlog/TextStream.h"

namespace tessarin::agentlog {

namespace {

char lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool containsLower(std::string_view text, const std::string& needle) {
    const auto it = std::search(text.begin(), text.end(), needle.begin(), needle.end(),
                                [](char a, char b) { return lower(a) == b; });
    return it != text.end();
}

}  // namespace

LogSearch::LogSearch(std::shared_ptr<const ByteSource> source, std::string needle, std::uint32_t levels)
    : source_(std::move(source)), needle_(std::move(needle)), levels_(levels) {
    worker_ = std::jthread([this](std::stop_token stop) { run(stop); });
}

LogSearch::~LogSearch() {
    worker_.request_stop();
    if (worker_.joinable()) worker_.join();
}

void LogSearch::run(std::stop_token stop) {
    std::map<CycleKey, std::size_t> where;  // cycle -> its place in hits_
    const bool complete = searchRecords(*source_, needle_, levels_, stop, &done_, [&](const Record& record) {
        std::lock_guard lock(mutex_);
        const auto [it, fresh] = where.try_emplace(record.key, hits_.size());
        if (fresh) {
            if (hits_.size() >= kMaxHits) return false;
            hits_.push_back(SearchHit{record.key, 0, record.text});
        }
        ++hits_[it->second].count;
        return true;
    });
    std::lock_guard lock(mutex_);
    finished_ = true;
    incomplete_ = !complete;
    changed_.notify_all();
}

bool searchRecords(const ByteSource& source, std::string_view needle, std::uint32_t levels, std::stop_token stop,
                   std::atomic<std::uint64_t>* done, const std::function<bool(const Record&)>& found) {
    std::string lowered;
    for (char c : needle) lowered += lower(c);
    if (lowered.empty()) return true;
    TextStream stream(source);
    stream.setStop(stop);
    Record record;
    std::size_t lines = 0;
    const bool complete = forEachLine(stream, [&](const TextLine& line) {
        if ((++lines & 0x3ff) == 0) {
            if (done) done->store(stream.consumed(), std::memory_order_relaxed);
            if (stop.stop_requested()) return false;
        }
        // The cheap test on the raw line first; only a line that holds the text is parsed.
        if (line.tooLong || !containsLower(line.text, lowered)) return true;
        if (!parseRecord(line.text, record) || !(record.levels & levels)) return true;
        if (record.type != 'M' && record.type != 'm') return true;
        if (!containsLower(record.text, lowered)) return true;
        return found(record);
    });
    if (done) done->store(stream.consumed());
    return complete && !stop.stop_requested();
}

bool LogSearch::finished() const {
    std::lock_guard lock(mutex_);
    return finished_;
}

bool LogSearch::incomplete() const {
    std::lock_guard lock(mutex_);
    return incomplete_;
}

double LogSearch::progress() const {
    const std::uint64_t total = source_->size();
    if (total == 0) return finished() ? 1.0 : 0.0;
    return std::min(1.0, static_cast<double>(done_.load()) / static_cast<double>(total));
}

std::vector<SearchHit> LogSearch::hits() const {
    std::lock_guard lock(mutex_);
    return hits_;
}

bool LogSearch::waitFinished(std::chrono::milliseconds timeout) const {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, timeout, [this] { return finished_; });
}

}  // namespace tessarin::agentlog
