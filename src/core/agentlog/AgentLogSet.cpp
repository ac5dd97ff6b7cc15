#include "agentlog/AgentLogSet.h"

namespace tessarin::agentlog {

GamePlace gamePlace(const std::vector<cycle_info_t>& frames, std::size_t index) {
    GamePlace place;
    if (index >= frames.size()) return place;
    place.cycle = frames[index].cycle;
    std::size_t first = index;
    while (first > 0 && frames[first - 1].cycle == place.cycle) --first;
    std::size_t last = index;
    while (last + 1 < frames.size() && frames[last + 1].cycle == place.cycle) ++last;
    place.occurrence = static_cast<int>(index - first);
    place.recordsInCycle = static_cast<int>(last - first + 1);
    return place;
}

void AgentLogSet::setEntries(std::vector<LogFileEntry> entries) {
    slots_.clear();
    entries_ = std::move(entries);
    slots_.resize(entries_.size());
}

int AgentLogSet::entryOfSelection(int selected) const {
    if (selected < 0 || selected > 21) return -1;
    const Side side = selected < 11 ? Side::Left : Side::Right;
    const int unum = selected < 11 ? selected + 1 : selected - 10;
    const LogFileEntry* entry = findEntry(entries_, side, unum);
    return entry ? static_cast<int>(entry - entries_.data()) : -1;
}

AgentLog* AgentLogSet::log(std::size_t entry, std::string* error) {
    if (entry >= slots_.size()) return nullptr;
    Slot& slot = slots_[entry];
    if (!slot.tried) {
        slot.tried = true;
        slot.log = AgentLog::open(entries_[entry].path, slot.error);
    }
    if (error) *error = slot.error;
    return slot.log.get();
}

const CycleRecords& AgentLogSet::records(std::size_t entry, const GamePlace& place) {
    static const CycleRecords kNone;
    AgentLog* const file = log(entry);
    if (!file) return kNone;
    Slot& slot = slots_[entry];
    const bool same = slot.cached && slot.place.cycle == place.cycle && slot.place.occurrence == place.occurrence &&
                      slot.place.recordsInCycle == place.recordsInCycle;
    // While the index grows, a cycle read earlier may gain a later run: read it again.
    if (same && slot.cachedComplete) return slot.records;
    const bool complete = file->progress().finished;
    CycleRecords merged;
    for (const CycleKey key : keysForGameRecord(file->keys(), place.cycle, place.occurrence, place.recordsInCycle)) {
        CycleRecords part = file->read(key);
        merged.badLines += part.badLines;
        if (merged.error.empty()) merged.error = part.error;
        for (Record& r : part.records) merged.records.push_back(std::move(r));
    }
    slot.cached = true;
    slot.cachedComplete = complete;
    slot.place = place;
    slot.records = std::move(merged);
    return slot.records;
}

bool AgentLogSet::stale(std::size_t entry) const {
    return entry < slots_.size() && slots_[entry].cached && !slots_[entry].cachedComplete;
}

CycleView AgentLogSet::view(std::size_t entry, const GamePlace& place, std::uint32_t levels) {
    if (entry >= entries_.size()) return {};
    return makeCycleView(records(entry, place).records, levels, entries_[entry].side);
}

}  // namespace tessarin::agentlog
