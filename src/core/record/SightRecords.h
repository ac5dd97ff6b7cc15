#pragma once

// The fields of the two sight records that the display draws and the details window
// lists, decoded from a record's little-endian bytes. The layouts are described once
// here as byte offsets; everything else in a record is kept as read and never looked at.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "record/GameRecords.h"
#include "record/SightRecordV2.h"

namespace tessarin {

// Sight record (kind 1, 648 bytes). Reals are IEEE single precision.
namespace sight1 {
inline constexpr std::size_t kOwnX = 4;
inline constexpr std::size_t kOwnY = 8;
inline constexpr std::size_t kOwnConfidence = 12;
inline constexpr std::size_t kOwnVelocityConfidence = 16;
inline constexpr std::size_t kOwnSpeed = 20;
inline constexpr std::size_t kBodyDirection = 24;  // radians
inline constexpr std::size_t kNeckDirection = 28;  // radians, relative to the body
inline constexpr std::size_t kViewWidth = 32;      // radians
inline constexpr std::size_t kBallConfidence = 36;
inline constexpr std::size_t kBallX = 40;
inline constexpr std::size_t kBallY = 44;
inline constexpr std::size_t kBallVelocityConfidence = 48;
inline constexpr std::size_t kBallSpeed = 56;
inline constexpr std::size_t kSeen = 60;
inline constexpr std::size_t kSeenSize = 28;
inline constexpr std::size_t kSeenCount = 21;
// Offsets within one seen player.
inline constexpr std::size_t kSeenSide = 0;
inline constexpr std::size_t kSeenNumber = 1;  // signed 8-bit
inline constexpr std::size_t kSeenX = 4;
inline constexpr std::size_t kSeenY = 8;
inline constexpr std::size_t kSeenConfidence = 12;
static_assert(kSeen + kSeenCount * kSeenSize == kSightRecordSize);
}  // namespace sight1

// Version-2 sight record (kind 2): the layout of SightRecordV2.h. Directions are in degrees.
namespace sight2 {
inline constexpr std::size_t kSeenCountField = offsetof(sight_record_v2_t, seen_count);  // int32
inline constexpr std::size_t kOwnSide = offsetof(sight_record_v2_t, side);
inline constexpr std::size_t kOwnNumber = offsetof(sight_record_v2_t, unum);
inline constexpr std::size_t kViewWidthClass = offsetof(sight_record_v2_t, view_width);  // width = class * pi / 3
inline constexpr std::size_t kOwnX = offsetof(sight_record_v2_t, x);
inline constexpr std::size_t kOwnY = offsetof(sight_record_v2_t, y);
inline constexpr std::size_t kOwnConfidence = offsetof(sight_record_v2_t, position_confidence);
inline constexpr std::size_t kOwnVx = offsetof(sight_record_v2_t, vx);
inline constexpr std::size_t kOwnVy = offsetof(sight_record_v2_t, vy);
inline constexpr std::size_t kOwnVelocityConfidence = offsetof(sight_record_v2_t, velocity_confidence);
inline constexpr std::size_t kBodyDirection = offsetof(sight_record_v2_t, body_angle);
inline constexpr std::size_t kNeckDirection = offsetof(sight_record_v2_t, neck_angle);  // relative to the body
inline constexpr std::size_t kOwnStamina = offsetof(sight_record_v2_t, stamina);
inline constexpr std::size_t kBallX = offsetof(sight_record_v2_t, ball_x);
inline constexpr std::size_t kBallY = offsetof(sight_record_v2_t, ball_y);
inline constexpr std::size_t kBallConfidence = offsetof(sight_record_v2_t, ball_confidence);
inline constexpr std::size_t kBallVx = offsetof(sight_record_v2_t, ball_vx);
inline constexpr std::size_t kBallVy = offsetof(sight_record_v2_t, ball_vy);
inline constexpr std::size_t kBallVelocityConfidence = offsetof(sight_record_v2_t, ball_velocity_confidence);
inline constexpr std::size_t kSeenSize = sizeof(sight_seen_player_v2_t);
// Seen players that fit in the record, whatever its count says.
inline constexpr int kMaxSeen = kSightV2SeenPlayers;
static_assert(sightV2SeenOffset(kMaxSeen) <= kSightRecordV2Size);
// Offsets within one seen player.
inline constexpr std::size_t kSeenX = offsetof(sight_seen_player_v2_t, x);
inline constexpr std::size_t kSeenY = offsetof(sight_seen_player_v2_t, y);
inline constexpr std::size_t kSeenConfidence = offsetof(sight_seen_player_v2_t, position_confidence);
inline constexpr std::size_t kSeenVx = offsetof(sight_seen_player_v2_t, vx);
inline constexpr std::size_t kSeenVy = offsetof(sight_seen_player_v2_t, vy);
inline constexpr std::size_t kSeenVelocityConfidence = offsetof(sight_seen_player_v2_t, velocity_confidence);
inline constexpr std::size_t kSeenSide = offsetof(sight_seen_player_v2_t, side);
inline constexpr std::size_t kSeenNumber = offsetof(sight_seen_player_v2_t, unum);
inline constexpr std::size_t kSeenTackle = offsetof(sight_seen_player_v2_t, tackle);
inline constexpr std::size_t kSeenType = offsetof(sight_seen_player_v2_t, type);
inline constexpr std::size_t kSeenStamina = offsetof(sight_seen_player_v2_t, stamina);  // int32
inline constexpr std::size_t kSeenBody = offsetof(sight_seen_player_v2_t, body_angle);
inline constexpr std::size_t kSeenBodyConfidence = offsetof(sight_seen_player_v2_t, body_confidence);
inline constexpr std::size_t kSeenNeck = offsetof(sight_seen_player_v2_t, neck_angle);
inline constexpr std::size_t kSeenNeckConfidence = offsetof(sight_seen_player_v2_t, neck_confidence);
}  // namespace sight2

struct SightSeenPlayer {
    char side = 0;
    int number = 0;  // signed 8-bit
    double x = 0, y = 0, confidence = 0;
};

// A kind-1 record: the observer's own estimates and the 21 seen-player slots.
struct SightView {
    double x = 0, y = 0, confidence = 0, velocityConfidence = 0, speed = 0;
    double body = 0, neck = 0, viewWidth = 0;  // radians
    double ballConfidence = 0, ballX = 0, ballY = 0, ballVelocityConfidence = 0, ballSpeed = 0;
    std::vector<SightSeenPlayer> seen;  // always 21 entries
};

struct SightV2SeenPlayer {
    double x = 0, y = 0, confidence = 0, vx = 0, vy = 0, velocityConfidence = 0;
    char side = 0;
    int number = 0, tackle = 0, type = 0;  // unsigned 8-bit each
    int stamina = 0;
    double body = 0, bodyConfidence = 0, neck = 0, neckConfidence = 0;  // degrees
};

// A kind-2 record. `seen` holds the entries that the record's count names and its
// bytes hold: a negative count gives none, a count above kMaxSeen gives kMaxSeen.
struct SightV2View {
    int storedCount = 0;  // the count as the record says it
    char side = 0;
    int number = 0;
    int viewWidthClass = 0;
    double x = 0, y = 0, confidence = 0, vx = 0, vy = 0, velocityConfidence = 0;
    double body = 0, neck = 0;  // degrees
    double stamina = 0;
    double ballX = 0, ballY = 0, ballConfidence = 0, ballVx = 0, ballVy = 0, ballVelocityConfidence = 0;
    std::vector<SightV2SeenPlayer> seen;

    // The index of the observer in the selection: the number of seen players drawn.
    int observerIndex() const { return static_cast<int>(seen.size()); }
};

// Decodes the record's data; meaningful for records of kind 1 and 2 respectively.
SightView decodeSightRecord(const cycle_info_t& record);
SightV2View decodeSightRecordV2(const cycle_info_t& record);

}  // namespace tessarin
