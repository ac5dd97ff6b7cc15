#pragma once

// Detection of basic behaviours (shoot, pass, dribble, clear, adjust, receive,
// intercept) from the movement of the ball between players, cycle by cycle, with the
// set-piece counters and the statistics derived from the resulting event list.

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "analysis/BasicBehaviorEvent.h"
#include "analysis/Statistics.h"
#include "record/GameRecords.h"

namespace tessarin {

// A cycle lower than the one before it: the analysis took it for a new game and began
// again there, dropping what it had found before.
struct AnalysisRestart {
    int fromCycle = 0;  // the last cycle before the restart
    int toCycle = 0;    // the cycle it restarted at
    std::size_t droppedEvents = 0;
    std::size_t droppedFrames = 0;
};

// Watches a game one show record at a time, in arrival order, and keeps the event
// list, the frame history, the play-mode counters and the statistics.
//
// Threads: the analyser has no lock of its own. Every member, the statistics and their
// accessors included, is guarded by the lock of the store that feeds it (the log
// player's mutex, held while AnalyzeCycle runs in the store's add). A reader on another
// thread calls these members inside LogPlayer::withStore, or takes the snapshots there
// and works on the copies after releasing the lock. Events() and Frames() hand out
// references and are only for callers that hold the lock for as long as they use them.
class BehaviorAnalyzer final {
public:
    BehaviorAnalyzer();

    // The per-cycle step for one show record (kind 0; other kinds are ignored).
    // `playerTypes` are the store's player types in arrival order, looked up by id; a
    // player whose type id is missing stops the owner search, and the previous cycle's
    // owner stays in force. Returns 0.
    int AnalyzeCycle(const cycle_info_t& record, const std::vector<player_type_t>& playerTypes);
    int AnalyzeCycle(const show_info_t& show, const std::vector<player_type_t>& playerTypes);

    // Zeroes every statistic; with `all` also the play-mode counters.
    void ResetCounters(bool all);
    // Empties the event list down to its sentinel and the frame history, and puts the
    // ownership state back to its start values.
    void ResetEvents();

    // The event list (sentinel first) and the frame history, one frame per analysed cycle.
    const std::vector<BasicBehaviorEvent>& Events() const { return events_; }
    const std::vector<PointFrameT>& Frames() const { return frames_; }
    // The restarts since the last clearRestarts(): how many, and the latest. A record's
    // 16-bit cycle that wraps past 32767 is counted on (32768, 32769, ...), not taken
    // for a new game.
    std::size_t restartCount() const { return restartCount_; }
    const AnalysisRestart& lastRestart() const { return lastRestart_; }
    // A new game is loaded: forgets the restarts and the cycle counting of the last one.
    void clearRestarts();

    // Makes room for the frames of this many cycles, so that a game of that length is
    // analysed without moving them (a move holds the old and the new copy at once).
    void ReserveFrames(std::size_t cycles);
    // Copies for readers on another thread; take them under the feeding store's lock.
    std::vector<BasicBehaviorEvent> eventsSnapshot() const { return events_; }
    std::vector<PointFrameT> framesSnapshot() const { return frames_; }

    // The behaviour of one player at one cycle. `sideCode` 1 selects the left team, any
    // other value the right; `unum` is the uniform number 1..11. The result carries the
    // queried cycle, the analysis side (0 left, 1 right) and the player index; it is
    // BB_NONE for a uniform number outside 1..11.
    BasicBehaviorEvent BehaviourAt(int cycle, int sideCode, int unum) const;

    // Derives the statistics from the event list and the frame history. Returns -1 and
    // changes nothing when no cycle was analysed or the statistics are already current;
    // otherwise 0.
    int ComputeStatistics();
    bool statisticsCurrent() const { return statsCurrent_; }
    bool hasData() const { return hasData_; }

    // Statistics as last computed, by value except statistics(). Side codes as for
    // BehaviourAt; a uniform number outside 1..11 yields zero figures.
    const GameStatistics& statistics() const { return statistics_; }
    PlayerStatistics playerStatistics(int sideCode, int unum) const;
    TeamStatistics teamStatistics(int sideCode) const;
    std::array<double, kFieldThirds> gameThirdsShares() const { return statistics_.thirds_shares; }
    PlayModeCounters playModeCounters(int sideCode) const;
    // The team names of the last analysed cycle.
    std::string teamName(int sideCode) const;

    // Writes the event list and the statistics to "event.txt" in `directory`. Returns -1
    // when the file cannot be opened, else 0.
    int WriteEventReport(const std::filesystem::path& directory = ".") const;

    // How likely the current ball movement is a shot by `kicker` at the goal it attacks
    // (a kick counts as a shot above 0.15), and where its path crosses that goal line.
    struct ShotChance {
        double chance = 0.0;
        double goalX = 0.0;
        double crossingY = 0.0;
    };
    ShotChance shotChance(int kicker) const;
    // The first player (restricted to teammates of `player` when `teammatesOnly`) who can
    // reach the ball as it rolls on from the current cycle, or -1.
    int predictInterceptor(int player, bool teammatesOnly) const;

    // Ownership state of the last analysed cycle.
    int owner() const { return owner_; }
    bool ballKickable() const { return ballKickable_; }
    int ownerSide() const { return ownerSide_; }
    int lastHolder() const { return lastHolder_; }
    int lastHolderSide() const { return lastHolderSide_; }

private:
    void decode(const show_info_t& show);
    void findOwner();
    // Applies the rule of a changed play mode; false when the step ends here.
    bool applyPlayModeRules();
    void closeLastAsFailed(bool keepShot);
    void detectBehaviours();
    void attributeGoals();
    void closePrevious(Vector position);
    BasicBehaviorEvent& add(BasicBehaviorEvent event);
    BasicBehaviorEvent& last() { return events_.back(); }
    // The event before the last; the sentinel stands in when the list holds one event.
    BasicBehaviorEvent& beforeLast() { return events_[events_.size() >= 2 ? events_.size() - 2 : 0]; }
    Vector ballVector() const;
    Vector previousBall() const;
    const PlayerTypeState* typeOf(int index) const;

    // Decoded current cycle.
    int cycle_ = 0;
    int playmode_ = 1;
    int readPlaymode_ = 1;
    std::array<TeamState, 2> teams_{};
    std::array<int, 2> readScores_{};
    BallState ball_;
    std::array<PlayerState, kPlayerCount> players_{};
    // Types of the 22 players of the current cycle; unknown ids are left unset.
    std::array<PlayerTypeState, kPlayerCount> types_{};
    std::array<bool, kPlayerCount> typeKnown_{};
    PlayerTypeIndex typeIndex_;  // over the list of types AnalyzeCycle is given

    // Ownership state.
    int owner_ = -1;
    bool ballKickable_ = false;
    int ownerSide_ = kSideNone;
    int prevOwner_ = -1;
    bool prevBallKickable_ = false;
    int prevOwnerSide_ = kSideNone;
    int prevPlaymode_ = 1;
    std::array<int, 2> scores_{};
    std::array<int, 2> prevScores_{};
    int lastHolder_ = -1;
    int lastHolderSide_ = kSideLeft;
    int lastSeenCycle_ = 65536;
    bool seenCycle_ = false;  // a cycle was analysed since the last clearRestarts()
    int lastRawCycle_ = 0;    // the last cycle as the record holds it (16 bits)
    std::size_t restartCount_ = 0;
    AnalysisRestart lastRestart_;

    std::vector<BasicBehaviorEvent> events_;
    std::vector<PointFrameT> frames_;

    GameStatistics statistics_;
    std::array<PlayModeCounters, 2> playModeCounters_{};
    bool statsCurrent_ = false;
    bool hasData_ = false;
};

}  // namespace tessarin
