#pragma once

// What the log player needs from the program around it: the playback timer, the
// drawing of a record, the file and jump dialogs, message boxes and the link to
// the clients for replays. The GUI's main frame implements it; tests and the
// command-line tool implement it with fakes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "record/GameRecords.h"

namespace tessarin {

// Where a save goes and whether as a version-6 text log (else in the game's own format).
struct SaveTarget {
    std::string path;
    bool textVersion6 = false;
};

class PlaybackHost {
public:
    virtual ~PlaybackHost() = default;

    // Starts (or restarts) the playback timer with this period in milliseconds.
    virtual void startTimer(int periodMs) = 0;
    virtual void stopTimer() = 0;

    // Draws a record at once. Called on the GUI thread or, for the first record of a
    // game, on the producer's thread while the log player's lock is held: it must copy
    // the record and return, never block, and never call back into the log player.
    virtual void drawRecord(const cycle_info_t& record) = 0;

    // Modal dialogs; none when the user cancels.
    virtual std::optional<std::string> askOpenPath() = 0;
    virtual std::optional<std::string> askSavePath() = 0;
    virtual std::optional<int> askJumpCycle(int firstCycle, int lastCycle, int currentCycle) = 0;
    // The save dialog with the choice of format; by default the path alone.
    virtual std::optional<SaveTarget> askSaveTarget() {
        auto path = askSavePath();
        if (!path) return std::nullopt;
        return SaveTarget{std::move(*path), false};
    }

    // An information message box. May be called from the parser thread: the GUI
    // queues it to its own thread.
    virtual void showMessage(const std::string& text) = 0;

    // Sends a replay packet to the clients over the monitor connection; dropped when
    // the connection is closed.
    virtual void sendReplayPacket(const std::vector<std::uint8_t>& packet) = 0;
};

// A host for batch use (tools, benchmarks, fuzzing): no timer, no drawing, no dialogs
// (every question is answered with a cancel), messages and replay packets dropped.
class NullPlaybackHost : public PlaybackHost {
public:
    void startTimer(int) override {}
    void stopTimer() override {}
    void drawRecord(const cycle_info_t&) override {}
    std::optional<std::string> askOpenPath() override { return std::nullopt; }
    std::optional<std::string> askSavePath() override { return std::nullopt; }
    std::optional<int> askJumpCycle(int, int, int) override { return std::nullopt; }
    void showMessage(const std::string&) override {}
    void sendReplayPacket(const std::vector<std::uint8_t>&) override {}
};

// What the log player tells the analysis of a game. Every call but the opponent-model
// start and finish comes with the log player's lock held, on the producer's thread.
class GameAnalysisHooks {
public:
    virtual ~GameAnalysisHooks() = default;

    // The frame store was emptied (reset, or a new game starts loading).
    virtual void storeCleared() {}
    // The store made room for this many records of the game being loaded, so that the
    // analysis can make room for its own per-record data at once instead of growing it.
    virtual void storeReserved(std::size_t records) { (void)records; }
    // A show record was appended; `playerTypes` are the game's types so far (read under
    // the same lock: the hook must not call back into the log player).
    virtual void analyzeShow(const cycle_info_t& record, const std::vector<player_type_t>& playerTypes) = 0;
    // A record of any kind was appended (the opponent model's sampling).
    virtual void feedOpponentModel(const cycle_info_t& record) = 0;

    // The opponent model's on/off switch, read on the parser thread.
    virtual bool opponentModelEnabled() const = 0;
    // The first play-on show of a game log.
    virtual void startOpponentModel(const show_info_t& show) = 0;
    // The end of a game log that was read to its end.
    virtual void finishOpponentModel() = 0;
};

}  // namespace tessarin
