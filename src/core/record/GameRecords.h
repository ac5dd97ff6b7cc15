#pragma once

// The records of one simulation cycle and of a game's parameter blocks, laid out
// byte for byte as the simulation server's monitor protocol (version 2) and its
// version-3 game logs carry them. Integer members hold the stored (network-order)
// bit pattern; reals are fixed-point values scaled by 65536. Nothing is converted
// on arrival: consumers convert through the toHost accessors below.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tessarin {

inline constexpr int kTeamNameLength = 16;
inline constexpr int kPlayersPerSide = 11;
inline constexpr int kPlayerCount = 22;
inline constexpr std::size_t kCycleDataSize = 1468;
inline constexpr std::size_t kSightRecordSize = 648;
inline constexpr std::size_t kSightRecordV2Size = 1332;

// One team entry: NUL-padded name (not terminated when all 16 bytes are used), score.
struct team_info_t {
    std::array<char, kTeamNameLength> name;
    std::int16_t score;
};
static_assert(sizeof(team_info_t) == 18);
static_assert(offsetof(team_info_t, score) == 16);

// Ball position (metres) and velocity (metres per cycle), fixed point.
struct ball_info_t {
    std::int32_t x;
    std::int32_t y;
    std::int32_t vx;
    std::int32_t vy;
};
static_assert(sizeof(ball_info_t) == 16);

// One player as the server reports it. `mode` 0 means not on the field; bit 0x0008 marks the goalie.
struct player_info_t {
    std::int16_t mode;
    std::int16_t type;
    std::int32_t x;
    std::int32_t y;
    std::int32_t vx;
    std::int32_t vy;
    std::int32_t body_angle;
    std::int32_t neck_angle;
    std::int32_t view_width;
    std::int16_t view_quality;
    std::int16_t padding;
    std::int32_t stamina;
    std::int32_t effort;
    std::int32_t recovery;
    std::int16_t kick_count;
    std::int16_t dash_count;
    std::int16_t turn_count;
    std::int16_t say_count;
    std::int16_t turn_neck_count;
    std::int16_t catch_count;
    std::int16_t move_count;
    std::int16_t change_view_count;
};
static_assert(sizeof(player_info_t) == 64);
static_assert(offsetof(player_info_t, type) == 2);
static_assert(offsetof(player_info_t, x) == 4);
static_assert(offsetof(player_info_t, body_angle) == 20);
static_assert(offsetof(player_info_t, view_width) == 28);
static_assert(offsetof(player_info_t, view_quality) == 32);
static_assert(offsetof(player_info_t, stamina) == 36);
static_assert(offsetof(player_info_t, recovery) == 44);
static_assert(offsetof(player_info_t, kick_count) == 48);
static_assert(offsetof(player_info_t, change_view_count) == 62);

// A whole show record: play mode, both teams, ball, 22 players (0..10 left, 11..21 right), time.
struct show_info_t {
    std::uint8_t playmode;
    std::uint8_t padding1;
    std::array<team_info_t, 2> team;
    std::array<std::uint8_t, 2> padding2;
    ball_info_t ball;
    std::array<player_info_t, kPlayerCount> player;
    std::int16_t time;
    std::int16_t padding3;
};
static_assert(sizeof(show_info_t) == kCycleDataSize);
static_assert(offsetof(show_info_t, team) == 2);
static_assert(offsetof(show_info_t, ball) == 40);
static_assert(offsetof(show_info_t, player) == 56);
static_assert(offsetof(show_info_t, time) == 1464);

// Byte offset of the part of a show record that a game log's show body carries (ball onward).
inline constexpr std::size_t kShowBodyOffset = offsetof(show_info_t, ball);
inline constexpr std::size_t kShowBodySize = 1428;
static_assert(kShowBodyOffset + kShowBodySize == sizeof(show_info_t));

// A heterogeneous player type: id, eleven fixed-point values, ten spare values kept as read.
struct player_type_t {
    std::int16_t id;
    std::int16_t padding;
    std::int32_t player_speed_max;
    std::int32_t stamina_inc_max;
    std::int32_t player_decay;
    std::int32_t inertia_moment;
    std::int32_t dash_power_rate;
    std::int32_t player_size;
    std::int32_t kickable_margin;
    std::int32_t kick_rand;
    std::int32_t extra_stamina;
    std::int32_t effort_max;
    std::int32_t effort_min;
    std::array<std::int32_t, 10> spare;
};
static_assert(sizeof(player_type_t) == 88);
static_assert(offsetof(player_type_t, player_speed_max) == 4);
static_assert(offsetof(player_type_t, effort_min) == 44);
static_assert(offsetof(player_type_t, spare) == 48);

// The server's parameter block, kept as received. Only the ball size is read from it.
struct server_param_t {
    std::array<std::uint8_t, 396> bytes;
};
static_assert(sizeof(server_param_t) == 396);
inline constexpr std::size_t kServerParamBallSizeOffset = 104;

// The server's player parameter block, kept as received and written back unchanged.
struct player_param_t {
    std::array<std::uint8_t, 132> bytes;
};
static_assert(sizeof(player_param_t) == 132);

// Kinds of record in the store.
enum RecordKind : std::int32_t {
    kShowRecord = 0,
    kSightRecord = 1,
    kSightRecordV2 = 2,
};

struct CycleCompanion;

// One simulation cycle as stored, played back and drawn. Copied by value; never
// changed once stored.
struct cycle_info_t {
    std::int16_t cycle = 0;
    std::uint8_t valid = 0;
    std::int32_t kind = kShowRecord;
    std::array<std::uint8_t, kCycleDataSize> data{};
    // The cycle's "Recv " messages, each followed by the separator "\t\t\t".
    std::string messages;
    // What a newer game log said of this cycle beyond the show record (record/Companion.h);
    // null when it said nothing more. The frame store keeps companions apart, compactly,
    // and sets this on the copies it hands out.
    std::shared_ptr<const CycleCompanion> companion;

    // The show record held in `data` (meaningful for kind 0).
    show_info_t show() const;
    void setShow(const show_info_t& show);
};

// Separator that ends every message in cycle_info_t::messages.
inline constexpr std::string_view kMessageSeparator = "\t\t\t";
// Longest text kept of one message; the excess of a longer one is dropped, so that
// whatever is stored can be written to a game log and read back unchanged.
inline constexpr std::size_t kMaxMessageLength = 2048;
// Only received messages with this prefix are kept with a cycle.
inline constexpr std::string_view kReceivedPrefix = "Recv ";

// The cycle number read from a record's data by kind, for records whose `cycle`
// field is not trusted: kind 1 the little-endian int16 at byte 0, kind 2 the one at
// byte 4, kind 0 the show's `time` in network order.
int recordCycle(const cycle_info_t& record);

// Play modes: the referee's modes 0..49, which the trainer can also set, and the
// modes of newer servers that logs may hold.
inline constexpr int kPlayModeCount = 50;
inline constexpr int kNamedPlayModeCount = 52;
inline constexpr int PM_PlayOn = 3;
// The play mode's name as the display and trainer use it; empty for 0 and out-of-range numbers.
std::string_view playModeName(int playmode);

// Host forms of the stored records.
struct TeamState {
    std::string name;
    int score = 0;
};

struct BallState {
    double x = 0, y = 0, vx = 0, vy = 0;
};

struct PlayerState {
    int mode = 0;
    int type = 0;
    double x = 0, y = 0, vx = 0, vy = 0;
    double body_angle = 0, neck_angle = 0, view_width = 0;
    int view_quality = 0;
    double stamina = 0, effort = 0, recovery = 0;
    int kick_count = 0, dash_count = 0, turn_count = 0, say_count = 0;
    int turn_neck_count = 0, catch_count = 0, move_count = 0, change_view_count = 0;
};

struct ShowState {
    int playmode = 0;
    int time = 0;
    std::array<TeamState, 2> team;
    BallState ball;
    std::array<PlayerState, kPlayerCount> player;
};

struct PlayerTypeState {
    int id = 0;
    double player_speed_max = 1.0;
    double stamina_inc_max = 0;
    double player_decay = 0;
    double inertia_moment = 0;
    double dash_power_rate = 0;
    double player_size = 0.3;
    double kickable_margin = 0.7;
    double kick_rand = 0;
    double extra_stamina = 0;
    double effort_max = 0;
    double effort_min = 0;
};

// Defaults for a consumer whose player type or server parameters are missing.
inline constexpr double kDefaultPlayerSize = 0.3;
inline constexpr double kDefaultKickableMargin = 0.7;
inline constexpr double kDefaultPlayerSpeedMax = 1.0;
inline constexpr double kDefaultBallSize = 0.085;

TeamState toHost(const team_info_t& team);
BallState toHost(const ball_info_t& ball);
PlayerState toHost(const player_info_t& player);
ShowState toHost(const show_info_t& show);
PlayerTypeState toHost(const player_type_t& type);

// The team name, at most 16 characters, without the NUL padding.
std::string teamName(const team_info_t& team);

// The first type with this id, in arrival order, or none.
std::optional<player_type_t> findPlayerType(const std::vector<player_type_t>& types, int id);

// findPlayerType in constant time for a list that grows by appending (the store's):
// only entries appended since the last call are indexed. A list that is not the one
// indexed (other memory, fewer entries, another first entry) is indexed anew.
class PlayerTypeIndex final {
public:
    const player_type_t* find(const std::vector<player_type_t>& types, int id);

private:
    const player_type_t* data_ = nullptr;
    std::size_t indexed_ = 0;
    player_type_t first_{};
    std::unordered_map<int, std::size_t> byId_;  // id -> first entry with that id
};

// Ball size (metres) from a received server parameter block.
double ballSizeOf(const server_param_t& params);

// Reach of a player: player_size + kickable_margin + ball size.
double kickableDistance(const PlayerTypeState& type, double ballSize);

}  // namespace tessarin
