#include "record/SightLogParser.h"

#include "record/LogFile.h"
#include "record/LogPlayer.h"

namespace tessarin {

bool CSightLogParser::parse(LogFile& file, std::stop_token stop) {
    cycle_info_t work;
    work.kind = kSightRecord;
    work.valid = 1;
    while (!stop.stop_requested() && !player_.overBudget()) {
        const std::size_t got = file.read(work.data.data(), kSightRecordSize);
        if (got != kSightRecordSize) {
            if (got != 0) noteTornRecord();
            return true;
        }
        work.cycle = static_cast<std::int16_t>(recordCycle(work));
        player_.add(work);
    }
    return false;
}

}  // namespace tessarin
