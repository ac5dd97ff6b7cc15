#include "record/RecordBatch.h"

#include "record/LogPlayer.h"

namespace tessarin {

RecordBatch::RecordBatch(LogPlayer& player) : player_(player) { pending_.reserve(kBatchSize); }

RecordBatch::~RecordBatch() { flush(); }

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
    player_.add(std::span<const cycle_info_t>(pending_));
    pending_.clear();
}

}  // namespace tessarin
