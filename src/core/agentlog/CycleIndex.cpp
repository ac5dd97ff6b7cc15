#include "agentlog/CycleIndex.h"

#include <algorithm>

namespace tessarin::agentlog {

namespace {

// Out-of-order segments wait in a small list and are merged in bulk once the list
// reaches an eighth of the sorted ones, so a log in any order is indexed in
// O(n log n) and lookups scan at most that list besides their binary search.
constexpr std::size_t kMinPending = 4096;

}  // namespace

bool CycleIndex::lessLocked(std::uint32_t a, std::uint32_t b) const {
    const CycleKey& ka = segments_[a].key;
    const CycleKey& kb = segments_[b].key;
    return ka < kb || (ka == kb && a < b);
}

void CycleIndex::mergePendingLocked() {
    std::sort(pending_.begin(), pending_.end(), [this](std::uint32_t a, std::uint32_t b) { return lessLocked(a, b); });
    const std::size_t middle = sorted_.size();
    sorted_.insert(sorted_.end(), pending_.begin(), pending_.end());
    std::inplace_merge(sorted_.begin(), sorted_.begin() + static_cast<std::ptrdiff_t>(middle), sorted_.end(),
                       [this](std::uint32_t a, std::uint32_t b) { return lessLocked(a, b); });
    pending_.clear();
}

void CycleIndex::append(const Segment& segment) {
    std::lock_guard lock(mutex_);
    const auto index = static_cast<std::uint32_t>(segments_.size());
    segments_.push_back(segment);
    if (sorted_.empty() || !(segment.key < segments_[sorted_.back()].key)) {
        sorted_.push_back(index);
        return;
    }
    pending_.push_back(index);
    if (pending_.size() >= std::max(kMinPending, sorted_.size() / 8)) mergePendingLocked();
}

void CycleIndex::finish() {
    std::lock_guard lock(mutex_);
    if (!pending_.empty()) mergePendingLocked();
    pending_.shrink_to_fit();
    segments_.shrink_to_fit();
    sorted_.shrink_to_fit();
}

std::vector<Segment> CycleIndex::find(CycleKey key) const {
    std::lock_guard lock(mutex_);
    std::vector<std::uint32_t> hits;
    const auto range = std::equal_range(sorted_.begin(), sorted_.end(), key, [this](const auto& a, const auto& b) {
        if constexpr (std::is_same_v<std::decay_t<decltype(a)>, CycleKey>) {
            return a < segments_[b].key;
        } else {
            return segments_[a].key < b;
        }
    });
    hits.assign(range.first, range.second);
    for (const std::uint32_t i : pending_) {
        if (segments_[i].key == key) hits.push_back(i);
    }
    std::sort(hits.begin(), hits.end());
    std::vector<Segment> found;
    found.reserve(hits.size());
    for (const std::uint32_t i : hits) found.push_back(segments_[i]);
    return found;
}

std::vector<CycleKey> CycleIndex::keys() const {
    std::lock_guard lock(mutex_);
    std::vector<CycleKey> keys;
    keys.reserve(sorted_.size() + pending_.size());
    for (const std::uint32_t i : sorted_) {
        if (keys.empty() || keys.back() != segments_[i].key) keys.push_back(segments_[i].key);
    }
    if (!pending_.empty()) {
        for (const std::uint32_t i : pending_) keys.push_back(segments_[i].key);
        std::sort(keys.begin(), keys.end());
        keys.erase(std::unique(keys.begin(), keys.end()), keys.end());
    }
    return keys;
}

std::optional<CycleKey> CycleIndex::firstKey() const {
    std::lock_guard lock(mutex_);
    if (segments_.empty()) return std::nullopt;
    return segments_.front().key;
}

std::size_t CycleIndex::segmentCount() const {
    std::lock_guard lock(mutex_);
    return segments_.size();
}

std::size_t CycleIndex::memoryBytes() const {
    std::lock_guard lock(mutex_);
    return segments_.capacity() * sizeof(Segment) + (sorted_.capacity() + pending_.capacity()) * sizeof(std::uint32_t);
}

}  // namespace tessarin::agentlog
