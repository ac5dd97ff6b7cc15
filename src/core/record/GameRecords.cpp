#include "record/GameRecords.h"

#include <cstring>

#include "record/ByteOrder.h"

namespace tessarin {

namespace {

constexpr std::array<std::string_view, kNamedPlayModeCount> kPlayModeNames = {
    "",
    "before_kick_off",
    "time_over",
    "play_on",
    "kick_off_l",
    "kick_off_r",
    "kick_in_l",
    "kick_in_r",
    "free_kick_l",
    "free_kick_r",
    "corner_kick_l",
    "corner_kick_r",
    "goal_kick_l",
    "goal_kick_r",
    "goal_l",
    "goal_r",
    "drop_ball",
    "offside_l",
    "offside_r",
    "penalty_kick_l",
    "penalty_kick_r",
    "first_half_over",
    "pause",
    "human_judge",
    "foul_charge_l",
    "foul_charge_r",
    "foul_push_l",
    "foul_push_r",
    "foul_multiple_attack_l",
    "foul_multiple_attack_r",
    "foul_ballout_l",
    "foul_ballout_r",
    "back_pass_l",
    "back_pass_r",
    "free_kick_fault_l",
    "free_kick_fault_r",
    "catch_fault_l",
    "catch_fault_r",
    "indirect_free_kick_l",
    "indirect_free_kick_r",
    "penalty_setup_l",
    "penalty_setup_r",
    "penalty_ready_l",
    "penalty_ready_r",
    "penalty_taken_l",
    "penalty_taken_r",
    "penalty_miss_l",
    "penalty_miss_r",
    "penalty_score_l",
    "penalty_score_r",
    "illegal_defense_l",
    "illegal_defense_r",
};

double real(std::int32_t stored) { return fixed_to_double(stored); }
int int16(std::int16_t stored) { return netToHost16(stored); }

}  // namespace

show_info_t cycle_info_t::show() const {
    show_info_t s;
    std::memcpy(&s, data.data(), sizeof s);
    return s;
}

void cycle_info_t::setShow(const show_info_t& s) { std::memcpy(data.data(), &s, sizeof s); }

int recordCycle(const cycle_info_t& record) {
    switch (record.kind) {
        case kSightRecord:
            return static_cast<std::int16_t>(le16(record.data.data()));
        case kSightRecordV2:
            return static_cast<std::int16_t>(le16(record.data.data() + 4));
        default:
            return static_cast<std::int16_t>(be16(record.data.data() + offsetof(show_info_t, time)));
    }
}

std::string_view playModeName(int playmode) {
    if (playmode < 0 || playmode >= kNamedPlayModeCount) return {};
    return kPlayModeNames[static_cast<std::size_t>(playmode)];
}

std::string teamName(const team_info_t& team) {
    std::size_t n = 0;
    while (n < team.name.size() && team.name[n] != '\0') ++n;
    return std::string(team.name.data(), n);
}

TeamState toHost(const team_info_t& team) { return {teamName(team), int16(team.score)}; }

BallState toHost(const ball_info_t& ball) { return {real(ball.x), real(ball.y), real(ball.vx), real(ball.vy)}; }

PlayerState toHost(const player_info_t& p) {
    PlayerState s;
    s.mode = int16(p.mode);
    s.type = int16(p.type);
    s.x = real(p.x);
    s.y = real(p.y);
    s.vx = real(p.vx);
    s.vy = real(p.vy);
    s.body_angle = real(p.body_angle);
    s.neck_angle = real(p.neck_angle);
    s.view_width = real(p.view_width);
    s.view_quality = int16(p.view_quality);
    s.stamina = real(p.stamina);
    s.effort = real(p.effort);
    s.recovery = real(p.recovery);
    s.kick_count = int16(p.kick_count);
    s.dash_count = int16(p.dash_count);
    s.turn_count = int16(p.turn_count);
    s.say_count = int16(p.say_count);
    s.turn_neck_count = int16(p.turn_neck_count);
    s.catch_count = int16(p.catch_count);
    s.move_count = int16(p.move_count);
    s.change_view_count = int16(p.change_view_count);
    return s;
}

ShowState toHost(const show_info_t& show) {
    ShowState s;
    s.playmode = show.playmode;
    s.time = int16(show.time);
    for (std::size_t i = 0; i < 2; ++i) s.team[i] = toHost(show.team[i]);
    s.ball = toHost(show.ball);
    for (std::size_t i = 0; i < kPlayerCount; ++i) s.player[i] = toHost(show.player[i]);
    return s;
}

PlayerTypeState toHost(const player_type_t& t) {
    PlayerTypeState s;
    s.id = int16(t.id);
    s.player_speed_max = real(t.player_speed_max);
    s.stamina_inc_max = real(t.stamina_inc_max);
    s.player_decay = real(t.player_decay);
    s.inertia_moment = real(t.inertia_moment);
    s.dash_power_rate = real(t.dash_power_rate);
    s.player_size = real(t.player_size);
    s.kickable_margin = real(t.kickable_margin);
    s.kick_rand = real(t.kick_rand);
    s.extra_stamina = real(t.extra_stamina);
    s.effort_max = real(t.effort_max);
    s.effort_min = real(t.effort_min);
    return s;
}

std::optional<player_type_t> findPlayerType(const std::vector<player_type_t>& types, int id) {
    for (const auto& t : types) {
        if (int16(t.id) == id) return t;
    }
    return std::nullopt;
}

const player_type_t* PlayerTypeIndex::find(const std::vector<player_type_t>& types, int id) {
    const bool sameList = types.data() == data_ && types.size() >= indexed_ &&
                          (indexed_ == 0 || std::memcmp(&types.front(), &first_, sizeof first_) == 0);
    if (!sameList) {
        byId_.clear();
        indexed_ = 0;
        data_ = types.data();
    }
    if (indexed_ == 0 && !types.empty()) first_ = types.front();
    for (; indexed_ < types.size(); ++indexed_) byId_.try_emplace(int16(types[indexed_].id), indexed_);
    const auto found = byId_.find(id);
    return found == byId_.end() ? nullptr : &types[found->second];
}

double ballSizeOf(const server_param_t& params) {
    const auto stored = static_cast<std::int32_t>(be32(params.bytes.data() + kServerParamBallSizeOffset));
    return stored / FIXED_SCALE;
}

double kickableDistance(const PlayerTypeState& type, double ballSize) {
    return type.player_size + type.kickable_margin + ballSize;
}

}  // namespace tessarin
