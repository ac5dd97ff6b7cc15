#include "record/RecordBatch.h"

#include <exception>

#include "record/LogPlayer.h"

namespace tessarin {

RecordBatch::RecordBatch(LogPlayer& player) : player_(player), uncaught_(std::uncaught_exceptions()) {
    pending_.reserve(kBatchSize);
}

RecordBatch::~RecordBatch() {
    // While an exception unwinds the reader (memory ran out), the pending records are
    // dropped: storing them could throw again.
    if (std::uncaught_exceptions() == uncaught_) flush();
}

void RecordBatch::add(const cycle_info_t& record) {
    if (first_) {
        first_ = false;
        player_.add(record);
        return;
    }
    pending_.push_back(record);
    if (pending_.size() == kBatchSize) flush();
}

void RecordBatch::flush() {
    if (pending_.empty()) return;
    // Emptied even when storing throws part-way, so that no record is stored twice.
    struct Clear {
        std::vector<cycle_info_t>& pending;
        ~Clear() { pending.clear(); }
    } clear{pending_};
    player_.add(std::span<const cycle_info_t>(pending_));
}

}  // namespace tessarin
