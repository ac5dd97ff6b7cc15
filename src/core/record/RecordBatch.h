#pragma once

#include <cstddef>
#include <vector>

#include "record/GameRecords.h"

namespace tessarin {

class LogPlayer;

// Collects a file reader's records and hands them to the log player a few at a time.
// Taking the lock once per record makes every store into the frame store wait for the
// memory writes of the record before it; in batches the copying overlaps and a game
// loads markedly faster. The first record goes to the log player at once, so that it
// is drawn as soon as it is read. A reader flushes before it changes anything the
// analysis of a record reads (the player types), so each record is analysed with the
// game as it stood when the record was read.
class RecordBatch final {
public:
    explicit RecordBatch(LogPlayer& player);
    ~RecordBatch();
    RecordBatch(const RecordBatch&) = delete;
    RecordBatch& operator=(const RecordBatch&) = delete;

    void add(const cycle_info_t& record);
    void flush();

private:
    static constexpr std::size_t kBatchSize = 32;
    LogPlayer& player_;
    bool first_ = true;
    const int uncaught_;  // exceptions in flight when the batch was made
    std::vector<cycle_info_t> pending_;
};

}  // namespace tessarin
