#pragma once

// Per-cycle decision records that the team's own players write beside a
// version-2 sight log ("pass.dec", "intercept.dec", "behave.dec"). The files are
// little-endian; entries are decoded field by field into host values.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tessarin {

// A pass (receiver > 0) or dribble (receiver 0) the player considered.
struct PASSDECISIONINFO {
    std::int32_t receiver = 0;
    float angle = 0, ball_speed = 0, target_x = 0, target_y = 0;
    float success_rate = 0, utility = 0, gain = 0;
};
inline constexpr std::size_t kPassDecisionSize = 32;

// An interception point the player considered.
struct INTERCEPTDECISIONINFO {
    float success_rate = 0, utility = 0, gain = 0, point_x = 0, point_y = 0;
};
inline constexpr std::size_t kInterceptDecisionSize = 20;

// A marking decision: target −1 or 0 covers a point, otherwise the opponent's uniform number.
struct DEFENSEDECISIONINFO {
    std::int32_t target = 0;
    std::int32_t defender = 0;
    char label[2] = {0, 0};
    float x = 0, y = 0;
};
inline constexpr std::size_t kDefenseDecisionSize = 20;

PASSDECISIONINFO decodePassDecision(const std::uint8_t* bytes);
INTERCEPTDECISIONINFO decodeInterceptDecision(const std::uint8_t* bytes);
DEFENSEDECISIONINFO decodeDefenseDecision(const std::uint8_t* bytes);
void encodePassDecision(const PASSDECISIONINFO& d, std::uint8_t* bytes);
void encodeInterceptDecision(const INTERCEPTDECISIONINFO& d, std::uint8_t* bytes);
void encodeDefenseDecision(const DEFENSEDECISIONINFO& d, std::uint8_t* bytes);

// The decisions of one cycle; `count` always equals list.size().
struct cycle_pass_info {
    std::int32_t count = 0;
    std::vector<PASSDECISIONINFO> list;
};
struct cycle_intercept_info {
    std::int32_t count = 0;
    std::vector<INTERCEPTDECISIONINFO> list;
};
struct cycle_defense_info {
    std::int32_t count = 0;
    std::vector<DEFENSEDECISIONINFO> list;
};

// Largest count of entries a decision block may hold; a block that claims more
// (in magnitude) is corrupt and ends reading of that file.
inline constexpr std::int32_t kMaxDecisionCount = 10000;
// Bytes skipped at the start of every decision file.
inline constexpr std::size_t kDecisionHeaderSize = 3;

}  // namespace tessarin
