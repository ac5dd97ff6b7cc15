#include "agentlog/CycleView.h"

#include <algorithm>

namespace tessarin::agentlog {

std::vector<CycleKey> keysForGameRecord(const std::vector<CycleKey>& logKeys, int cycle, int occurrence,
                                        int recordsInCycle) {
    std::vector<CycleKey> keys;
    auto it = std::lower_bound(logKeys.begin(), logKeys.end(), CycleKey{cycle, 0});
    for (; it != logKeys.end() && it->cycle == cycle; ++it) {
        if (it->stopped == occurrence || (occurrence == 0 && it->stopped >= recordsInCycle)) keys.push_back(*it);
    }
    return keys;
}

CycleView makeCycleView(const std::vector<Record>& records, std::uint32_t levels, Side side) {
    CycleView view;
    for (const Record& record : records) {
        if (!(record.levels & levels)) continue;
        if (record.type == 'M') {
            view.messages.push_back(record);
        } else {
            view.drawings.push_back(side == Side::Right ? mirrored(record) : record);
        }
    }
    return view;
}

}  // namespace tessarin::agentlog
