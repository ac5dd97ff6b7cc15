#include "agentlog/Summary.h"

#include "agentlog/Levels.h"
#include "agentlog/Record.h"
#include "agentlog/TextStream.h"

namespace tessarin::agentlog {

LogSummary summarize(const ByteSource& source, std::stop_token stop) {
    LogSummary summary;
    TextStream stream(source);
    summary.compressed = stream.compressed();
    Record record;
    std::size_t lines = 0;
    forEachLine(stream, [&](const TextLine& line) {
        if ((++lines & 0xfff) == 0 && stop.stop_requested()) return false;
        if (line.tooLong || !parseRecord(line.text, record)) {
            // An empty last line (a file ending in a blank line) is no damage.
            if (!line.tooLong && line.text.find_first_not_of(" \t\r") == std::string_view::npos) return true;
            ++summary.badLines;
            return true;
        }
        ++summary.records;
        ++summary.types[record.type];
        if (!summary.firstCycle || record.key.cycle < *summary.firstCycle) summary.firstCycle = record.key.cycle;
        if (!summary.lastCycle || record.key.cycle > *summary.lastCycle) summary.lastCycle = record.key.cycle;
        if (record.levels == kAllLevels) {
            ++summary.allLevels;
        } else {
            for (int bit = 0; bit < 32; ++bit) {
                if (record.levels & (1u << bit)) ++summary.levels[static_cast<std::size_t>(bit)];
            }
        }
        return true;
    });
    summary.error = stream.error();
    return summary;
}

bool looksLikeAgentLog(const ByteSource& source) {
    TextStream stream(source);
    bool looks = false;
    Record record;
    std::size_t seen = 0;
    forEachLine(stream, [&](const TextLine& line) {
        if (!line.tooLong && line.text.find_first_not_of(" \t\r") == std::string_view::npos && ++seen < 16) return true;
        looks = !line.tooLong && parseRecord(line.text, record);
        return false;
    });
    return looks;
}

}  // namespace tessarin::agentlog
