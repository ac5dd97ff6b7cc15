#include "record/TextLogParams.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "record/ByteOrder.h"
#include "record/GameRecords.h"

namespace tessarin {

namespace {

using enum ParamStorage;

// server_param_t: 4-byte values on 4-byte boundaries, 2-byte values packed, as the
// server lays out its block; offsets checked against version-3 logs of the same game.
constexpr ParamField kServerParams[] = {
    {"audio_cut_dist", 288, ParamStorage::Fixed32},
    {"ball_accel_max", 124, ParamStorage::Fixed32},
    {"ball_decay", 108, ParamStorage::Fixed32},
    {"ball_rand", 112, ParamStorage::Fixed32},
    {"ball_size", 104, ParamStorage::Fixed32},
    {"ball_speed_max", 120, ParamStorage::Fixed32},
    {"ball_stuck_area", 352, ParamStorage::Fixed32},
    {"ball_weight", 116, ParamStorage::Fixed32},
    {"catch_ban_cycle", 274, ParamStorage::Int16},
    {"catch_probability", 216, ParamStorage::Fixed32},
    {"catchable_area_l", 208, ParamStorage::Fixed32},
    {"catchable_area_w", 212, ParamStorage::Fixed32},
    {"ckick_margin", 224, ParamStorage::Fixed32},
    {"clang_advice_win", 246, ParamStorage::Int16},
    {"clang_define_win", 242, ParamStorage::Int16},
    {"clang_info_win", 248, ParamStorage::Int16},
    {"clang_mess_delay", 250, ParamStorage::Int16},
    {"clang_mess_per_cycle", 252, ParamStorage::Int16},
    {"clang_meta_win", 244, ParamStorage::Int16},
    {"clang_win_size", 240, ParamStorage::Int16},
    {"coach", 328, ParamStorage::Int16},
    {"coach_w_referee", 330, ParamStorage::Int16},
    {"control_radius", 140, ParamStorage::Fixed32},
    {"dash_power_rate", 128, ParamStorage::Fixed32},
    {"drop_ball_time", 384, ParamStorage::Int16},
    {"effort_dec", 68, ParamStorage::Fixed32},
    {"effort_dec_thr", 60, ParamStorage::Fixed32},
    {"effort_inc", 76, ParamStorage::Fixed32},
    {"effort_inc_thr", 72, ParamStorage::Fixed32},
    {"effort_init", 56, ParamStorage::Fixed32},
    {"effort_min", 64, ParamStorage::Fixed32},
    {"extra_stamina", 360, ParamStorage::Fixed32},
    {"forbid_kick_off_offside", 280, ParamStorage::Int16},
    {"fullstate_l", 380, ParamStorage::Int16},
    {"fullstate_r", 382, ParamStorage::Int16},
    {"goal_width", 0, ParamStorage::Fixed32},
    {"goalie_max_moves", 220, ParamStorage::Int16},
    {"half_time", 254, ParamStorage::Int16},
    {"hear_decay", 272, ParamStorage::Int16},
    {"hear_inc", 270, ParamStorage::Int16},
    {"hear_max", 268, ParamStorage::Int16},
    {"inertia_moment", 4, ParamStorage::Fixed32},
    {"keepaway_length", 344, ParamStorage::Fixed32},
    {"keepaway_width", 348, ParamStorage::Fixed32},
    {"kick_power_rate", 132, ParamStorage::Fixed32},
    {"kick_rand", 80, ParamStorage::Fixed32},
    {"kick_rand_factor_l", 96, ParamStorage::Fixed32},
    {"kick_rand_factor_r", 100, ParamStorage::Fixed32},
    {"kickable_margin", 136, ParamStorage::Fixed32},
    {"maxmoment", 156, ParamStorage::Fixed32},
    {"maxneckang", 172, ParamStorage::Fixed32},
    {"maxneckmoment", 164, ParamStorage::Fixed32},
    {"maxpower", 148, ParamStorage::Fixed32},
    {"minmoment", 160, ParamStorage::Fixed32},
    {"minneckang", 176, ParamStorage::Fixed32},
    {"minneckmoment", 168, ParamStorage::Fixed32},
    {"minpower", 152, ParamStorage::Fixed32},
    {"offside_active_area_size", 228, ParamStorage::Fixed32},
    {"offside_kick_margin", 284, ParamStorage::Fixed32},
    {"old_coach_hear", 332, ParamStorage::Int16},
    {"player_accel_max", 28, ParamStorage::Fixed32},
    {"player_decay", 12, ParamStorage::Fixed32},
    {"player_rand", 16, ParamStorage::Fixed32},
    {"player_size", 8, ParamStorage::Fixed32},
    {"player_speed_max", 24, ParamStorage::Fixed32},
    {"player_speed_max_min", 356, ParamStorage::Fixed32},
    {"player_weight", 20, ParamStorage::Fixed32},
    {"point_to_ban", 392, ParamStorage::Int16},
    {"point_to_duration", 394, ParamStorage::Int16},
    {"prand_factor_l", 88, ParamStorage::Fixed32},
    {"prand_factor_r", 92, ParamStorage::Fixed32},
    {"quantize_step", 292, ParamStorage::Fixed32},
    {"quantize_step_l", 296, ParamStorage::Fixed32},
    {"recover_dec", 52, ParamStorage::Fixed32},
    {"recover_dec_thr", 44, ParamStorage::Fixed32},
    {"recover_init", 40, ParamStorage::Fixed32},
    {"recover_min", 48, ParamStorage::Fixed32},
    {"recv_step", 260, ParamStorage::Int16},
    {"say_coach_cnt_max", 236, ParamStorage::Int16},
    {"say_coach_msg_size", 238, ParamStorage::Int16},
    {"say_msg_size", 266, ParamStorage::Int16},
    {"send_step", 258, ParamStorage::Int16},
    {"send_vi_step", 334, ParamStorage::Int16},
    {"sense_body_step", 262, ParamStorage::Int16},
    {"simulator_step", 256, ParamStorage::Int16},
    {"slow_down_factor", 276, ParamStorage::Int16},
    {"slowness_on_top_for_left_team", 336, ParamStorage::Fixed32},
    {"slowness_on_top_for_right_team", 340, ParamStorage::Fixed32},
    {"stamina_inc_max", 36, ParamStorage::Fixed32},
    {"stamina_max", 32, ParamStorage::Fixed32},
    {"start_goal_l", 376, ParamStorage::Int16},
    {"start_goal_r", 378, ParamStorage::Int16},
    {"synch_micro_sleep", 390, ParamStorage::Int16},
    {"synch_mode", 386, ParamStorage::Int16},
    {"synch_offset", 388, ParamStorage::Int16},
    {"team_actuator_noise", 84, ParamStorage::Int16},
    {"use_offside", 278, ParamStorage::Int16},
    {"visible_angle", 180, ParamStorage::Fixed32},
    {"visible_distance", 184, ParamStorage::Fixed32},
    {"wind_ang", 196, ParamStorage::Fixed32},
    {"wind_dir", 188, ParamStorage::Fixed32},
    {"wind_force", 192, ParamStorage::Fixed32},
    {"wind_none", 232, ParamStorage::Int16},
    {"wind_rand", 200, ParamStorage::Fixed32},
    {"wind_random", 234, ParamStorage::Int16},
};

// player_param_t; the random seed is an integer, stored unscaled.
constexpr ParamField kPlayerParams[] = {
    {"dash_power_rate_delta_max", 36, ParamStorage::Fixed32},
    {"dash_power_rate_delta_min", 32, ParamStorage::Fixed32},
    {"effort_max_delta_factor", 64, ParamStorage::Fixed32},
    {"effort_min_delta_factor", 68, ParamStorage::Fixed32},
    {"extra_stamina_delta_max", 60, ParamStorage::Fixed32},
    {"extra_stamina_delta_min", 56, ParamStorage::Fixed32},
    {"inertia_moment_delta_factor", 28, ParamStorage::Fixed32},
    {"kick_rand_delta_factor", 52, ParamStorage::Fixed32},
    {"kickable_margin_delta_max", 48, ParamStorage::Fixed32},
    {"kickable_margin_delta_min", 44, ParamStorage::Fixed32},
    {"new_dash_power_rate_delta_max", 80, ParamStorage::Fixed32},
    {"new_dash_power_rate_delta_min", 76, ParamStorage::Fixed32},
    {"new_stamina_inc_max_delta_factor", 84, ParamStorage::Fixed32},
    {"player_decay_delta_max", 24, ParamStorage::Fixed32},
    {"player_decay_delta_min", 20, ParamStorage::Fixed32},
    {"player_size_delta_factor", 40, ParamStorage::Fixed32},
    {"player_speed_max_delta_max", 12, ParamStorage::Fixed32},
    {"player_speed_max_delta_min", 8, ParamStorage::Fixed32},
    {"player_types", 0, ParamStorage::Int16},
    {"pt_max", 4, ParamStorage::Int16},
    {"random_seed", 72, ParamStorage::Int32},
    {"stamina_inc_max_delta_factor", 16, ParamStorage::Fixed32},
    {"subs_max", 2, ParamStorage::Int16},
};

// player_type_t; the ten spare values are not named in text logs.
constexpr ParamField kPlayerTypes[] = {
    {"dash_power_rate", 20, ParamStorage::Fixed32},
    {"effort_max", 40, ParamStorage::Fixed32},
    {"effort_min", 44, ParamStorage::Fixed32},
    {"extra_stamina", 36, ParamStorage::Fixed32},
    {"id", 0, ParamStorage::Int16},
    {"inertia_moment", 16, ParamStorage::Fixed32},
    {"kick_rand", 32, ParamStorage::Fixed32},
    {"kickable_margin", 28, ParamStorage::Fixed32},
    {"player_decay", 12, ParamStorage::Fixed32},
    {"player_size", 24, ParamStorage::Fixed32},
    {"player_speed_max", 4, ParamStorage::Fixed32},
    {"stamina_inc_max", 8, ParamStorage::Fixed32},
};

template <std::size_t N>
constexpr bool sortedByName(const ParamField (&table)[N]) {
    for (std::size_t i = 1; i < N; ++i) {
        if (!(table[i - 1].name < table[i].name)) return false;
    }
    return true;
}

template <std::size_t N>
constexpr bool fitsIn(const ParamField (&table)[N], std::size_t size) {
    for (const auto& f : table) {
        if (f.offset + (f.storage == Int16 ? 2u : 4u) > size) return false;
    }
    return true;
}

static_assert(sortedByName(kServerParams) && sortedByName(kPlayerParams) && sortedByName(kPlayerTypes));
static_assert(fitsIn(kServerParams, sizeof(server_param_t)) && fitsIn(kPlayerParams, sizeof(player_param_t)) &&
              fitsIn(kPlayerTypes, offsetof(player_type_t, spare)));

}  // namespace

std::span<const ParamField> serverParamFields() { return kServerParams; }
std::span<const ParamField> playerParamFields() { return kPlayerParams; }
std::span<const ParamField> playerTypeFields() { return kPlayerTypes; }

const ParamField* findParamField(std::span<const ParamField> table, std::string_view name) {
    const auto it = std::lower_bound(table.begin(), table.end(), name,
                                     [](const ParamField& f, std::string_view n) { return f.name < n; });
    return it != table.end() && it->name == name ? &*it : nullptr;
}

void storeParamValue(const ParamField& field, double value, std::uint8_t* block) {
    // Largest magnitude a fixed-point int32 can hold (2^31 / 65536, less a margin).
    constexpr double kMaxFixed = 32767.0;
    std::uint8_t* at = block + field.offset;
    switch (field.storage) {
        case ParamStorage::Fixed32:
            if (value >= -kMaxFixed && value <= kMaxFixed) {
                putBe32(at, static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(value * FIXED_SCALE))));
            }
            break;
        case ParamStorage::Int16:
            if (value >= -32768 && value <= 32767)
                putBe16(at, static_cast<std::uint16_t>(std::llround(value) & 0xffff));
            break;
        case ParamStorage::Int32:
            if (value >= -2147483648.0 && value <= 4294967295.0) {
                putBe32(at, static_cast<std::uint32_t>(std::llround(value) & 0xffffffff));
            }
            break;
    }
}

void deriveServerParams(server_param_t& params, bool radiusWidth, bool kickableArea) {
    std::uint8_t* b = params.bytes.data();
    const auto fixedAt = [&](std::size_t offset) { return static_cast<std::int32_t>(be32(b + offset)); };
    if (radiusWidth) {
        // control_radius - player_size
        putBe32(b + kServerParamControlRadiusWidthOffset,
                static_cast<std::uint32_t>(fixedAt(kServerParamControlRadiusOffset) -
                                           fixedAt(kServerParamPlayerSizeOffset)));
    }
    if (kickableArea) {
        // kickable_margin + ball_size + player_size
        putBe32(
            b + kServerParamKickableAreaOffset,
            static_cast<std::uint32_t>(fixedAt(kServerParamKickableMarginOffset) + fixedAt(kServerParamBallSizeOffset) +
                                       fixedAt(kServerParamPlayerSizeOffset)));
    }
    long long lcm = 0;
    for (const std::size_t offset : kServerParamStepOffsets) {
        const auto step = static_cast<std::int16_t>(be16(b + offset));
        if (step <= 0) continue;
        lcm = lcm == 0 ? step : std::lcm(lcm, static_cast<long long>(step));
        if (lcm > 32767) return;
    }
    if (lcm > 0) putBe16(b + kServerParamLcmStepOffset, static_cast<std::uint16_t>(lcm));
}

}  // namespace tessarin
