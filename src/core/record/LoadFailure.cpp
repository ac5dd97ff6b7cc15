#include "record/LoadFailure.h"

#include <system_error>

#include "record/LogPlayer.h"

namespace tessarin {

std::optional<std::string> loadFailureText(const LogPlayer& player, const std::string& path) {
    switch (player.loadOutcome()) {
        case LoadOutcome::CannotOpen:
            return "cannot read " + path + ": " +
                   (player.loadError() == kNotRegularFileError ? "not a regular file"
                                                               : std::generic_category().message(player.loadError()));
        case LoadOutcome::Empty:
            return path + " is empty";
        case LoadOutcome::UnknownFormat:
            return path +
                   " is not a game log Tessarin can read (expected a \"ULG\" version 3 to 6, \"SLG\" or \"SLH\" "
                   "header, plain or gzip-compressed)";
        case LoadOutcome::NotLoaded:
            return path + " was not loaded";
        case LoadOutcome::Reading:
            break;
    }
    return std::nullopt;
}

}  // namespace tessarin
