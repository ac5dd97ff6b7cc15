#pragma once

// The fields of the two sight records that the display draws and the details window
// lists, decoded from a record's little-endian bytes. The layouts are described once
// here as byte offsets; everything else in a record is kept as read and never looked at.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "record/GameRecords.h"

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

// Version-2 sight record (kind 2, 1332 bytes). Directions are in degrees.
namespace sight2 {
inline constexpr std::size_t kSeenCountField = 0;  // int32
inline constexpr std::size_t kOwnSide = 12;
inline constexpr std::size_t kOwnNumber = 13;
inline constexpr std::size_t kViewWidthClass = 15;  // view width = class * pi / 3
inline constexpr std::size_t kOwnX = 16;
inline constexpr std::size_t kOwnY = 20;
inline constexpr std::size_t kOwnConfidence = 24;
inline constexpr std::size_t kOwnVx = 28;
inline constexpr std::size_t kOwnVy = 32;
inline constexpr std::size_t kOwnVelocityConfidence = 36;
inline constexpr std::size_t kBodyDirection = 40;
inline constexpr std::size_t kNeckDirection = 44;  // relative to the body
inline constexpr std::size_t kOwnStamina = 48;
inline constexpr std::size_t kBallX = 52;
inline constexpr std::size_t kBallY = 56;
inline constexpr std::size_t kBallConfidence = 60;
inline constexpr std::size_t kBallVx = 64;
inline constexpr std::size_t kBallVy = 68;
inline constexpr std::size_t kBallVelocityConfidence = 72;
inline constexpr std::size_t kSeen = 84;
inline constexpr std::size_t kSeenSize = 56;
// Seen players that fit in the record, whatever its count says.
inline constexpr int kMaxSeen = static_cast<int>((kSightRecordV2Size - kSeen) / kSeenSize);
static_assert(kMaxSeen == 22);
// Offsets within one seen player.
inline constexpr std::size_t kSeenX = 0;
inline constexpr std::size_t kSeenY = 4;
inline constexpr std::size_t kSeenConfidence = 8;
inline constexpr std::size_t kSeenVx = 12;
inline constexpr std::size_t kSeenVy = 16;
inline constexpr std::size_t kSeenVelocityConfidence = 20;
inline constexpr std::size_t kSeenSide = 32;
inline constexpr std::size_t kSeenNumber = 33;
inline constexpr std::size_t kSeenTackle = 34;
inline constexpr std::size_t kSeenType = 35;
inline constexpr std::size_t kSeenStamina = 36;  // int32
inline constexpr std::size_t kSeenBody = 40;
inline constexpr std::size_t kSeenBodyConfidence = 44;
inline constexpr std::size_t kSeenNeck = 48;
inline constexpr std::size_t kSeenNeckConfidence = 52;
static_assert(kSeenNeckConfidence + 4 == kSeenSize);
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
