#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "record/Companion.h"
#include "record/GameRecords.h"
#include "record/RecordBatch.h"

namespace tessarin {

class LogPlayer;

// Turns one s-expression of the server's text forms into records: a line of a text game
// log ("ULG4" to "ULG6") or a datagram of monitor protocols 3 to 5. Each show becomes the
// record a version-3 log of the same game holds (network order, fixed point), with play
// mode and teams carried into the following shows, "Recv " messages attached to the next
// show, and a companion with what the version-3 record cannot hold (full state words,
// the newer counters, stamina capacity, focus point, attention and pointing targets).
// Parameter blocks and player types go to the log player by name, and so do the team
// logos. A show datagram also carries its play mode "(pm N)" and score "(tm ...)".
class TextLineReader final {
public:
    enum class Result {
        Show,     // a show record was added to the batch
        Ok,       // read; nothing to store yet, or it went to the log player
        Skipped,  // blank, or of a kind nothing here reads (balanced)
        Broken,   // against the grammar; error() says why
    };

    // `startsOpponentModel`: a game file starts the opponent model at its first play-on show.
    TextLineReader(LogPlayer& player, bool startsOpponentModel);

    // Forgets the play mode, teams, pending messages and the started opponent model.
    void reset();
    Result read(std::string_view line, RecordBatch& batch);
    const std::string& error() const { return error_; }
    bool opponentModelStarted() const { return opponentModelStarted_; }

private:
    bool parseShow(std::string_view& rest, RecordBatch& batch);
    bool parsePlayMode(std::string_view& rest);
    bool parseTeam(std::string_view& rest);
    bool parseMessage(std::string_view& rest);
    void parseTeamGraphic(std::string_view kind, std::string_view rest);
    bool parseParams(std::string_view& rest, std::string_view kind);

    LogPlayer& player_;
    const bool startsOpponentModel_;
    cycle_info_t work_;
    CycleCompanion companion_;  // of the show being read
    bool opponentModelStarted_ = false;
    std::string error_;  // what broke the current line
};

// The play mode of a name as the server writes it, or 0 for an unknown name.
int playModeOfName(std::string_view name);

}  // namespace tessarin
