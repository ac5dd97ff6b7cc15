#include "cli/CliHost.h"

#include <cstring>

namespace tessarin::cli {

void CliHost::showMessage(const std::string& text) { messages_ << text << '\n'; }

LoadResult loadAndWait(LogPlayer& player, const std::string& path) {
    LoadResult result;
    player.command(kCmdLoad, path);
    player.waitForParser();
    switch (player.loadOutcome()) {
        case LoadOutcome::CannotOpen:
            result.error =
                "cannot read " + path + ": " +
                (player.loadError() == kNotRegularFileError ? "not a regular file" : std::strerror(player.loadError()));
            return result;
        case LoadOutcome::Empty:
            result.error = path + " is empty";
            return result;
        case LoadOutcome::UnknownFormat:
            result.error = path +
                           " is not a known game file (expected a \"ULG\" version 3 to 6, \"SLG\" or \"SLH\" header, "
                           "plain or gzip-compressed)";
            return result;
        case LoadOutcome::NotLoaded:
            result.error = path + " was not loaded";
            return result;
        case LoadOutcome::Reading:
            break;
    }
    result.ok = true;
    const std::string warning = player.loadWarning();
    if (player.ranOutOfMemory()) {
        result.warning = "reading of " + path + " stopped: out of memory after " + std::to_string(player.size()) +
                         " records (they are kept)";
    } else if (!warning.empty()) {
        result.warning = path + ": " + warning + " (" + std::to_string(player.size()) + " records kept)";
    } else if (player.parseResult() == false) {
        result.warning = "reading of " + path + " stopped at a record that cannot be read after " +
                         std::to_string(player.size()) + " records";
    } else if (player.droppedTornRecord()) {
        result.warning = "the last record of " + path +
                         " cannot be read: the file ends inside it; it was dropped after " +
                         std::to_string(player.size()) + " records";
    }
    return result;
}

const char* formatName(LogFormat format) {
    switch (format) {
        case LogFormat::V3:
            return "v3";
        case LogFormat::V4:
            return "v4";
        case LogFormat::V5:
            return "v5";
        case LogFormat::V6:
            return "v6";
        case LogFormat::Sight:
            return "sight";
        case LogFormat::SightV2:
            return "sight-v2";
        case LogFormat::None:
            break;
    }
    return "none";
}

}  // namespace tessarin::cli
