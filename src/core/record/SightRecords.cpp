#include "record/SightRecords.h"

#include <algorithm>

#include "record/ByteOrder.h"

namespace tessarin {

namespace {

double f32(const cycle_info_t& record, std::size_t offset) { return lef32(record.data.data() + offset); }
int u8(const cycle_info_t& record, std::size_t offset) { return record.data[offset]; }
int s8(const cycle_info_t& record, std::size_t offset) { return static_cast<std::int8_t>(record.data[offset]); }
int s32(const cycle_info_t& record, std::size_t offset) {
    return static_cast<std::int32_t>(le32(record.data.data() + offset));
}

}  // namespace

SightView decodeSightRecord(const cycle_info_t& record) {
    using namespace sight1;
    SightView v;
    v.x = f32(record, kOwnX);
    v.y = f32(record, kOwnY);
    v.confidence = f32(record, kOwnConfidence);
    v.velocityConfidence = f32(record, kOwnVelocityConfidence);
    v.speed = f32(record, kOwnSpeed);
    v.body = f32(record, kBodyDirection);
    v.neck = f32(record, kNeckDirection);
    v.viewWidth = f32(record, kViewWidth);
    v.ballConfidence = f32(record, kBallConfidence);
    v.ballX = f32(record, kBallX);
    v.ballY = f32(record, kBallY);
    v.ballVelocityConfidence = f32(record, kBallVelocityConfidence);
    v.ballSpeed = f32(record, kBallSpeed);
    v.seen.resize(kSeenCount);
    for (std::size_t i = 0; i < kSeenCount; ++i) {
        const std::size_t base = kSeen + i * kSeenSize;
        SightSeenPlayer& p = v.seen[i];
        p.side = static_cast<char>(record.data[base + kSeenSide]);
        p.number = s8(record, base + kSeenNumber);
        p.x = f32(record, base + kSeenX);
        p.y = f32(record, base + kSeenY);
        p.confidence = f32(record, base + kSeenConfidence);
    }
    return v;
}

SightV2View decodeSightRecordV2(const cycle_info_t& record) {
    using namespace sight2;
    SightV2View v;
    v.storedCount = s32(record, kSeenCountField);
    v.side = static_cast<char>(record.data[kOwnSide]);
    v.number = u8(record, kOwnNumber);
    v.viewWidthClass = u8(record, kViewWidthClass);
    v.x = f32(record, kOwnX);
    v.y = f32(record, kOwnY);
    v.confidence = f32(record, kOwnConfidence);
    v.vx = f32(record, kOwnVx);
    v.vy = f32(record, kOwnVy);
    v.velocityConfidence = f32(record, kOwnVelocityConfidence);
    v.body = f32(record, kBodyDirection);
    v.neck = f32(record, kNeckDirection);
    v.stamina = f32(record, kOwnStamina);
    v.ballX = f32(record, kBallX);
    v.ballY = f32(record, kBallY);
    v.ballConfidence = f32(record, kBallConfidence);
    v.ballVx = f32(record, kBallVx);
    v.ballVy = f32(record, kBallVy);
    v.ballVelocityConfidence = f32(record, kBallVelocityConfidence);
    // The count comes from the file: only the entries inside the record's bytes are read.
    const int count = std::clamp(v.storedCount, 0, kMaxSeen);
    v.seen.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        const std::size_t base = sightV2SeenOffset(i);
        SightV2SeenPlayer& p = v.seen[static_cast<std::size_t>(i)];
        p.x = f32(record, base + kSeenX);
        p.y = f32(record, base + kSeenY);
        p.confidence = f32(record, base + kSeenConfidence);
        p.vx = f32(record, base + kSeenVx);
        p.vy = f32(record, base + kSeenVy);
        p.velocityConfidence = f32(record, base + kSeenVelocityConfidence);
        p.side = static_cast<char>(record.data[base + kSeenSide]);
        p.number = u8(record, base + kSeenNumber);
        p.tackle = u8(record, base + kSeenTackle);
        p.type = u8(record, base + kSeenType);
        p.stamina = s32(record, base + kSeenStamina);
        p.body = f32(record, base + kSeenBody);
        p.bodyConfidence = f32(record, base + kSeenBodyConfidence);
        p.neck = f32(record, base + kSeenNeck);
        p.neckConfidence = f32(record, base + kSeenNeckConfidence);
    }
    return v;
}

}  // namespace tessarin
