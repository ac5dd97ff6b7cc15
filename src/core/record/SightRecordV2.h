#pragma once

// The 1332-byte version-2 sight record that the team's clients write, one per cycle:
// what one player believed about himself, the ball and the players he saw. Stored
// little-endian, reals as IEEE single-precision values.
//
// The structs below describe the byte layout only. Records are never accessed through
// them: fields are read and written at offsetof(...) with the little-endian accessors
// of ByteOrder.h, so the layout holds whatever the host's byte order.

#include <array>
#include <cstddef>
#include <cstdint>

#include "record/GameRecords.h"

namespace tessarin {

inline constexpr int kSightV2SeenPlayers = 22;

// One seen player of a version-2 sight record.
struct sight_seen_player_v2_t {
    float x;
    float y;
    float position_confidence;
    float vx;
    float vy;
    float velocity_confidence;
    std::array<float, 2> spare24;
    char side;            // 'l', 'r' or other
    std::uint8_t unum;    // uniform number
    std::uint8_t tackle;  // tackle flag
    std::uint8_t type;    // player type id
    std::int32_t stamina;
    float body_angle;  // degrees
    float body_confidence;
    float neck_angle;  // degrees, relative to the body
    float neck_confidence;
};
static_assert(sizeof(sight_seen_player_v2_t) == 56);
static_assert(offsetof(sight_seen_player_v2_t, position_confidence) == 8);
static_assert(offsetof(sight_seen_player_v2_t, vx) == 12);
static_assert(offsetof(sight_seen_player_v2_t, velocity_confidence) == 20);
static_assert(offsetof(sight_seen_player_v2_t, side) == 32);
static_assert(offsetof(sight_seen_player_v2_t, unum) == 33);
static_assert(offsetof(sight_seen_player_v2_t, tackle) == 34);
static_assert(offsetof(sight_seen_player_v2_t, type) == 35);
static_assert(offsetof(sight_seen_player_v2_t, stamina) == 36);
static_assert(offsetof(sight_seen_player_v2_t, body_angle) == 40);
static_assert(offsetof(sight_seen_player_v2_t, body_confidence) == 44);
static_assert(offsetof(sight_seen_player_v2_t, neck_angle) == 48);
static_assert(offsetof(sight_seen_player_v2_t, neck_confidence) == 52);

// A whole version-2 sight record.
struct sight_record_v2_t {
    std::int32_t seen_count;    // players in `seen` that are meant to be read
    std::int16_t cycle;         // cycle number
    std::int16_t second_time;   // the second time counter within a stopped cycle
    std::int16_t right_goalie;  // uniform number of the right team's goalie, 0 for none
    std::int16_t padding10;
    char side;                // own side, 'l' or 'r'
    std::uint8_t unum;        // own uniform number as the file's writer numbers it
    std::uint8_t type;        // own player type id
    std::uint8_t view_width;  // own view width class
    float x;                  // own position, metres
    float y;
    float position_confidence;
    float vx;  // own velocity, metres per cycle
    float vy;
    float velocity_confidence;
    float body_angle;  // degrees
    float neck_angle;  // degrees, relative to the body
    float stamina;
    float ball_x;  // ball position, metres
    float ball_y;
    float ball_confidence;
    float ball_vx;  // ball velocity, metres per cycle
    float ball_vy;
    float ball_velocity_confidence;
    std::array<std::int32_t, 2> spare76;
    std::array<sight_seen_player_v2_t, kSightV2SeenPlayers> seen;
    float spare1316;
    std::array<std::int32_t, 3> spare1320;
};
static_assert(sizeof(sight_record_v2_t) == kSightRecordV2Size);
static_assert(offsetof(sight_record_v2_t, cycle) == 4);
static_assert(offsetof(sight_record_v2_t, second_time) == 6);
static_assert(offsetof(sight_record_v2_t, right_goalie) == 8);
static_assert(offsetof(sight_record_v2_t, side) == 12);
static_assert(offsetof(sight_record_v2_t, unum) == 13);
static_assert(offsetof(sight_record_v2_t, type) == 14);
static_assert(offsetof(sight_record_v2_t, view_width) == 15);
static_assert(offsetof(sight_record_v2_t, x) == 16);
static_assert(offsetof(sight_record_v2_t, position_confidence) == 24);
static_assert(offsetof(sight_record_v2_t, vx) == 28);
static_assert(offsetof(sight_record_v2_t, velocity_confidence) == 36);
static_assert(offsetof(sight_record_v2_t, body_angle) == 40);
static_assert(offsetof(sight_record_v2_t, neck_angle) == 44);
static_assert(offsetof(sight_record_v2_t, stamina) == 48);
static_assert(offsetof(sight_record_v2_t, ball_x) == 52);
static_assert(offsetof(sight_record_v2_t, ball_confidence) == 60);
static_assert(offsetof(sight_record_v2_t, ball_vx) == 64);
static_assert(offsetof(sight_record_v2_t, ball_velocity_confidence) == 72);
static_assert(offsetof(sight_record_v2_t, spare76) == 76);
static_assert(offsetof(sight_record_v2_t, seen) == 84);
static_assert(offsetof(sight_record_v2_t, spare1316) == 1316);
static_assert(offsetof(sight_record_v2_t, spare1320) == 1320);

// Offset of seen player i within the record.
constexpr std::size_t sightV2SeenOffset(int i) {
    return offsetof(sight_record_v2_t, seen) + static_cast<std::size_t>(i) * sizeof(sight_seen_player_v2_t);
}

}  // namespace tessarin
