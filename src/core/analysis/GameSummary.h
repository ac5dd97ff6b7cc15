#pragma once

// The summary of one game for batch work: who played, the result, and per side the
// figures a team developer compares across games (possession, shots, passes by
// direction, set pieces, entries into the penalty area, players that dropped out).

#include <array>
#include <cstddef>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace tessarin {

// Passes by the direction of the ball's travel from the kick to where the pass ended,
// seen from the passing team (forward = toward the goal it attacks, left = its left
// hand while attacking).
enum class PassDirection { Forward, Back, Left, Right };

struct SideSummary {
    std::string team;
    int goals = 0;
    // Goals of the penalty shoot-out; none when the game had no shoot-out.
    std::optional<int> penaltyGoals;
    // Share of both teams' possession, 0..1.
    double possession = 0.0;
    int shots = 0;
    int shotsOnTarget = 0;
    int passes = 0;
    int passesCompleted = 0;
    std::array<int, 4> passesByDirection{};  // indexed by PassDirection
    int dribbles = 0;
    // Times the side won the ball from the other side (interceptions in the narrow sense).
    int interceptions = 0;
    int cornerKicks = 0;
    int freeKicks = 0;
    int offsides = 0;
    // Times the side's player brought the ball under control inside the other side's
    // penalty area during play, counted once until the ball leaves the area again.
    int penaltyAreaEntries = 0;
    // Players present at kick-off and off the field at some later show.
    int droppedPlayers = 0;
    // Cards, fouls charged and tackles of the side's players, where the log tells them
    // (text logs of newer servers); none for a version-3 game, never a false zero.
    std::optional<int> yellowCards;
    std::optional<int> redCards;
    std::optional<int> fouls;
    std::optional<int> tackles;

    bool operator==(const SideSummary&) const = default;
};

struct GameSummary {
    std::string file;
    // Start time from a server-made file name "YYYYMMDDhhmmss-...", as "YYYY-MM-DD hh:mm:ss"; else empty.
    std::string time;
    // "v3", "v4", "v5", "v6", "json"; empty when nothing was read.
    std::string format;
    // Cycle of the last show record.
    int cycles = 0;
    std::array<SideSummary, 2> sides;  // left, right
    // Why the game could not be read; empty when it was.
    std::string error;
    // Reading stopped early (a damaged or cut-off file); the rest describes what was read.
    std::string warning;

    bool ok() const { return error.empty(); }
    bool operator==(const GameSummary&) const = default;
};

// 0 when the left side won, 1 the right side, -1 a draw; goals first, then the goals of
// a penalty shoot-out where one was played.
int winnerOf(const GameSummary& game);

// The start time in a server-made log name, or empty.
std::string startTimeFromFileName(std::string_view fileName);

// Loads the game log at `path` as the viewer does, analyses it, and summarises it.
// Never throws for a bad file: the reason is in `error`. A sight log is refused with an
// error too (a batch leaves those out before it gets here). Re-entrant: several games
// may be summarised at once on different threads.
GameSummary summarizeGame(const std::string& path);

// Summarises games one after another as summarizeGame does, keeping its log player and
// analyser from one game to the next: the room of the store stays mapped, so a worker of a
// batch does not make the system supply and clear a game's worth of fresh pages for every
// game. One thread at a time.
class GameSummarizer {
public:
    GameSummarizer();
    ~GameSummarizer();
    GameSummarizer(const GameSummarizer&) = delete;
    GameSummarizer& operator=(const GameSummarizer&) = delete;

    GameSummary summarize(const std::string& path);

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;  // made anew after a game that threw
};

// One figure per side, by name, for the tables and for the aggregates over games.
// Names are fixed: scripts read them (prefixed by left_/right_ or our_/opp_).
struct SideFigure {
    std::string_view name;
    // The figure, or NaN where the game does not tell it (see known()).
    double (*value)(const SideSummary&);
    // Whether the figure is a share (printed with its fraction) rather than a count.
    bool share = false;

    // Games that do not tell a figure are left out of its means and tests, and their
    // cell is left empty.
    static bool known(double value) { return value == value; }
};
std::span<const SideFigure> sideFigures();

}  // namespace tessarin
