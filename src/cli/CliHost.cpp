#include "cli/CliHost.h"

#include <cstring>

#include "record/LoadFailure.h"

namespace tessarin::cli {

void CliHost::showMessage(const std::string& text) { messages_ << text << '\n'; }

LoadResult loadAndWait(LogPlayer& player, const std::string& path, std::size_t maxRecords) {
    LoadResult result;
    StoreBudget budget = player.budget();
    budget.records = maxRecords;
    player.setBudget(budget);
    player.command(kCmdLoad, path);
    player.waitForParser();
    if (auto failure = loadFailureText(player, path)) {
        result.error = std::move(*failure);
        return result;
    }
    result.ok = true;
    result.incomplete = player.inputDamaged() || player.overBudget();
    const std::string warning = player.loadWarning();
    if (player.ranOutOfMemory()) {
        result.warning = "reading of " + path + " stopped: out of memory after " + std::to_string(player.size()) +
                         " records (they are kept)";
    } else if (!warning.empty()) {
        result.warning = path + ": " + warning + " (" + std::to_string(player.size()) + " records kept)";
        if (player.overBudget()) result.warning += "; --max-records sets the budget";
    } else if (player.parseResult() == false) {
        result.warning = "reading of " + path + " stopped at a record that cannot be read after " +
                         std::to_string(player.size()) + " records";
    } else if (player.droppedTornRecord()) {
        result.warning = "the last record of " + path +
                         " cannot be read: the file ends inside it; it was dropped after " +
                         std::to_string(player.size()) + " records";
    }
    if (const std::size_t dropped = player.droppedPlayerTypes(); dropped != 0) {
        if (!result.warning.empty()) result.warning += "; ";
        result.warning += path + " holds " + std::to_string(dropped) + " player type" + (dropped == 1 ? "" : "s") +
                          " beyond the first " + std::to_string(kMaxPlayerTypes) + ", which were dropped";
    }
    return result;
}

std::string errnoText(int error) {
    if (error == 0) return {};
    if (error == kNotRegularFileError) return ": not a regular file";
    return std::string(": ") + std::strerror(error);
}

}  // namespace tessarin::cli
