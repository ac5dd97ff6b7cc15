#pragma once

// The debug logs of one game, as the viewer shows them: the files found (LogFinder),
// each opened and indexed when it is first needed, and the records of the cycle shown,
// read once per log and kept until another cycle is asked for, so that switching levels
// or repainting never reads the file again. Used from one thread (the viewer's); the
// logs index themselves on their own workers.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "agentlog/AgentLog.h"
#include "agentlog/CycleView.h"
#include "agentlog/LogFinder.h"
#include "record/GameRecords.h"

namespace tessarin::agentlog {

// Where a game record stands among the game's records of its cycle.
struct GamePlace {
    int cycle = 0;
    int occurrence = 0;      // 0 for the cycle's first record
    int recordsInCycle = 1;  // the game's records of that cycle
};
// The place of frames[index] (the frames in store order); a cycle's records lie together.
GamePlace gamePlace(const std::vector<cycle_info_t>& frames, std::size_t index);

class AgentLogSet {
public:
    void setEntries(std::vector<LogFileEntry> entries);
    const std::vector<LogFileEntry>& entries() const { return entries_; }
    // The entry of a display selection (0..10 left players, 11..21 right), or -1.
    int entryOfSelection(int selected) const;

    // The log of an entry, opened (and its indexing started) on first use; null with a
    // message when it cannot be opened (the message is kept and given again).
    AgentLog* log(std::size_t entry, std::string* error = nullptr);
    // The records of an entry's log that go with a game record, in file order, and the
    // bad lines met reading them. Cached for the last place asked for.
    const CycleRecords& records(std::size_t entry, const GamePlace& place);
    // True when the records kept for an entry were read before its index was complete:
    // a later read may find more.
    bool stale(std::size_t entry) const;
    // The same filtered by levels and mapped onto the field for the entry's side.
    CycleView view(std::size_t entry, const GamePlace& place, std::uint32_t levels);

private:
    struct Slot {
        std::unique_ptr<AgentLog> log;
        std::string error;
        bool tried = false;
        bool cached = false;
        bool cachedComplete = false;  // read after the index was complete
        GamePlace place;
        CycleRecords records;
    };
    std::vector<LogFileEntry> entries_;
    std::vector<Slot> slots_;
};

}  // namespace tessarin::agentlog
