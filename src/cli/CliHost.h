#pragma once

// The command-line tool's stand-in for the GUI around the log player: no timer, no
// drawing, no dialogs; message boxes become lines on stderr.

#include <optional>
#include <ostream>
#include <string>

#include "record/LogPlayer.h"
#include "record/PlaybackHost.h"

namespace tessarin::cli {

class CliHost final : public NullPlaybackHost {
public:
    explicit CliHost(std::ostream& messages) : messages_(messages) {}

    void showMessage(const std::string& text) override;

private:
    std::ostream& messages_;  // written from the parser thread only while the caller waits for it
};

// The exit status of a command that wrote its outputs from an input that was damaged or
// not read to its end (the budget): what was read is kept, but it is not the whole game.
inline constexpr int kExitIncompleteInput = 2;

// The outcome of loading a file as the program does.
struct LoadResult {
    bool ok = false;
    std::string error;    // why nothing was loaded, when !ok
    std::string warning;  // set when reading stopped at a record that cannot be read
    // Reading ended before the end of the file: the file is damaged, or the game is
    // larger than the store's budget.
    bool incomplete = false;
};

// Loads a file through the log player (format from its header, parser thread) with a
// store of at most `maxRecords` records, and waits until it is read.
LoadResult loadAndWait(LogPlayer& player, const std::string& path,
                       std::size_t maxRecords = StoreBudget::kDefaultRecords);

// ": " and the system's text for an errno, or nothing for 0 (a failure with no errno).
std::string errnoText(int error);

}  // namespace tessarin::cli
