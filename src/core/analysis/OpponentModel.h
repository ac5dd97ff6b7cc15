#pragma once

// The opponent model: where each player of both teams stands as a function of where
// the ball is, learnt from recorded games and kept as one 960-byte block per team.

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "geometry/Vector.h"
#include "record/GameRecords.h"
#include "record/OutputSink.h"

namespace tessarin {

// One player's record of a saved block: 80 bytes, little-endian on disk. Positions and
// limits are in the team's own attacking direction (the right team's are mirrored).
struct RoleRecord {
    std::int32_t role = 7;  // 0..3 by depth of the home position
    std::int32_t lane = 3;  // 0..6 by width of the home position
    std::int32_t reserved1 = 0;
    float home_x = 0;
    float home_y = 0;
    float slope_x_pos = 0;
    float slope_x_neg = 0;
    float slope_y_pos = 0;
    float slope_y_neg = 0;
    std::int32_t defender = 0;  // 1 once the player's role has been 1
    float front_x = 0;
    float back_x = 0;
    float high_y = 0;
    float low_y = 0;
    std::array<std::uint8_t, 24> reserved2{};

    bool operator==(const RoleRecord&) const = default;
};
static_assert(sizeof(RoleRecord) == 80);
static_assert(offsetof(RoleRecord, role) == 0);
static_assert(offsetof(RoleRecord, lane) == 4);
static_assert(offsetof(RoleRecord, reserved1) == 8);
static_assert(offsetof(RoleRecord, home_x) == 12);
static_assert(offsetof(RoleRecord, home_y) == 16);
static_assert(offsetof(RoleRecord, slope_x_pos) == 20);
static_assert(offsetof(RoleRecord, slope_x_neg) == 24);
static_assert(offsetof(RoleRecord, slope_y_pos) == 28);
static_assert(offsetof(RoleRecord, slope_y_neg) == 32);
static_assert(offsetof(RoleRecord, defender) == 36);
static_assert(offsetof(RoleRecord, front_x) == 40);
static_assert(offsetof(RoleRecord, back_x) == 44);
static_assert(offsetof(RoleRecord, high_y) == 48);
static_assert(offsetof(RoleRecord, low_y) == 52);
static_assert(offsetof(RoleRecord, reserved2) == 56);

inline constexpr std::size_t kRoleRecordSize = sizeof(RoleRecord);
// Records per team block: record r (1..11) belongs to uniform number r; record 0 keeps its defaults.
inline constexpr std::size_t kRoleRecordsPerBlock = 12;
inline constexpr std::size_t kRoleBlockSize = kRoleRecordsPerBlock * kRoleRecordSize;
static_assert(kRoleBlockSize == 960);

using RoleBlock = std::array<RoleRecord, kRoleRecordsPerBlock>;
using RoleBlockBytes = std::array<std::uint8_t, kRoleBlockSize>;

// The on-disk form of one record (little-endian) and back.
void encodeRoleRecord(const RoleRecord& record, std::uint8_t* out);
RoleRecord decodeRoleRecord(const std::uint8_t* in);
RoleBlockBytes encodeRoleBlock(const RoleBlock& block);
RoleBlock decodeRoleBlock(const RoleBlockBytes& bytes);

// Role by the depth of a home x in the team's own direction, lane by the width of its home y.
int roleOfHomeX(double homeX);
int laneOfHomeY(double homeY);

// Suffix of every saved block's file name.
inline constexpr std::string_view kOpponentModelSuffix = ".opm";

// The file names the two teams' blocks are saved under (left first). A team name comes
// from the game file, so it never chooses the file as it stands: ASCII letters, digits,
// '-', '_', '+' and a '.' that does not lead are kept, every other byte becomes "%XX"
// (its value in upper-case hex, '%' itself included), an empty name becomes "unnamed",
// and ".opm" is appended. The result has no separator, no control byte, no leading dot
// and cannot be one of the analysis' other outputs; different names give different
// files. When both teams still come out the same (a game against itself), they are
// saved as "NAME-left.opm" and "NAME-right.opm".
std::array<std::string, 2> opponentModelFileNames(const std::array<std::string, 2>& teamNames);

// The extent of a player's sampled positions, in field coordinates.
struct SampleExtent {
    float min_x = 0, max_x = 0, min_y = 0, max_y = 0;
};

// One least-squares fit of the player's position on the ball's.
struct PositionFit {
    double slope_x_pos = 0, slope_x_neg = 0, slope_y_pos = 0, slope_y_neg = 0;
    double home_x = 0, home_y = 0;  // field coordinates
};

// What Save did with one team's block.
enum class TeamSaveStatus { Written, Disabled, Failed };

struct OpponentModelSaveResult {
    std::array<TeamSaveStatus, 2> team{TeamSaveStatus::Disabled, TeamSaveStatus::Disabled};
    std::array<std::string, 2> name;  // the team names as the record holds them
    std::array<std::string, 2> file;  // the file names derived from them
    std::array<int, 2> error{};       // the errno of a failed write
};

// Learns home positions, roles and lanes of both teams from the show records of one or
// more game logs. Samples, limits and fits accumulate over every log since creation.
//
// Threads: Start, Feed and Finish run on the producer's thread (Feed under the log
// player's lock), Save, Toggle and PredictPosition on the GUI thread. `mutex_` guards
// all model data so that a save during a finish never reads a half-built block; it is
// taken last and nothing is called while it is held.
class OpponentModel final {
public:
    // Samples kept per player; later samples of a full player are dropped.
    static constexpr std::size_t kMaxSamples = 12000;
    // A player moving faster than this (metres per cycle) is not sampled.
    static constexpr double kStillSpeed = 0.2;
    // Samples closer than this (metres) to the edge of a player's extent are left out of the fit.
    static constexpr double kEdgeMargin = 1.0;

    OpponentModel() = default;
    OpponentModel(const OpponentModel&) = delete;
    OpponentModel& operator=(const OpponentModel&) = delete;

    // The on/off switch, off at creation; read on the parser thread without the lock.
    bool enabled() const { return enabled_.load(std::memory_order_relaxed); }
    void setEnabled(bool on) { enabled_.store(on, std::memory_order_relaxed); }
    void Toggle();

    // The first play-on show of a log: records the 22 players' type ids. Resets nothing.
    void Start(const show_info_t& show);
    // Samples the still players of a show record (kind 0; other kinds are ignored) when
    // modelling is on and somebody controls the ball (ownerSide 0 or 1, −1 for nobody).
    void Feed(const cycle_info_t& record, int ownerSide);
    // Fits every player on all samples so far and rebuilds both blocks (only when enabled).
    void Finish();
    // Writes the two blocks into `directory` (empty: the working directory), each to the
    // file opponentModelFileNames() derives from its team's name in `shown`. Nothing when
    // modelling is off.
    OpponentModelSaveResult Save(const show_info_t& shown, const std::filesystem::path& directory = {}) const;
    // The same with the files as outputs of `sink`.
    OpponentModelSaveResult Save(const show_info_t& shown, OutputSink& sink) const;

    // The expected position (field coordinates) of player 0..10 of team 0 (left) or 1
    // (right) for this ball position, clamped to the player's sampled extent.
    Vector PredictPosition(int team, int player, float ballX, float ballY) const;

    // Copies for the position dump, the CLI and tests.
    RoleRecord roleRecord(int team, int uniformNumber) const;
    RoleBlock block(int team) const;
    std::size_t sampleCount(int team, int player) const;
    std::optional<SampleExtent> extent(int team, int player) const;
    PositionFit fit(int team, int player) const;
    std::array<int, kPlayerCount> typeIds() const;

private:
    struct Sample {
        double ball_x, ball_y, x, y;
    };
    struct PlayerModel {
        std::vector<Sample> samples;
        std::optional<SampleExtent> extent;
        PositionFit fit;
    };

    static bool validIndex(int team, int player) {
        return team >= 0 && team < 2 && player >= 0 && player < kPlayersPerSide;
    }
    void fitPlayer(PlayerModel& model) const;
    void rebuildBlock(int team);

    std::atomic<bool> enabled_{false};  // written on the GUI thread, read on the parser thread

    mutable std::mutex mutex_;
    // Guarded by mutex_:
    std::array<std::array<PlayerModel, kPlayersPerSide>, 2> players_;
    std::array<RoleBlock, 2> blocks_{};
    std::array<int, kPlayerCount> typeIds_{};
};

}  // namespace tessarin
