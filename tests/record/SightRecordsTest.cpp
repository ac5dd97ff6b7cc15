// Decoding of the sight records' drawn fields, and the bound on a version-2 record's count.

#include <gtest/gtest.h>

#include <climits>

#include "record/ByteOrder.h"
#include "record/SightRecords.h"

namespace tessarin::test {
namespace {

cycle_info_t v2Record(std::int32_t count) {
    cycle_info_t record;
    record.kind = kSightRecordV2;
    putLe32(record.data.data(), static_cast<std::uint32_t>(count));
    // Bytes past the record's 1332 are not the record's: mark them to see they are not read.
    std::fill(record.data.begin() + kSightRecordV2Size, record.data.end(), std::uint8_t{0xEE});
    return record;
}

TEST(SightRecordsTest, FieldsAreReadAtTheirOffsets) {
    cycle_info_t one;
    one.kind = kSightRecord;
    putLef32(one.data.data() + 4, 12.5f);
    putLef32(one.data.data() + 56, 1.75f);
    const std::size_t last = 60 + 20 * 28;
    one.data[last] = 'r';
    one.data[last + 1] = 0xFE;  // -2
    putLef32(one.data.data() + last + 12, 0.5f);
    const SightView v1 = decodeSightRecord(one);
    EXPECT_DOUBLE_EQ(v1.x, 12.5);
    EXPECT_DOUBLE_EQ(v1.ballSpeed, 1.75);
    ASSERT_EQ(v1.seen.size(), 21u);
    EXPECT_EQ(v1.seen[20].side, 'r');
    EXPECT_EQ(v1.seen[20].number, -2);
    EXPECT_DOUBLE_EQ(v1.seen[20].confidence, 0.5);

    cycle_info_t two = v2Record(2);
    two.data[13] = 7;
    two.data[15] = 2;
    putLef32(two.data.data() + 48, 6000.0f);
    putLef32(two.data.data() + 72, 0.25f);
    two.data[84 + 56 + 33] = 200;  // unsigned
    putLe32(two.data.data() + 84 + 56 + 36, static_cast<std::uint32_t>(-5));
    putLef32(two.data.data() + 84 + 56 + 52, 0.75f);
    const SightV2View v2 = decodeSightRecordV2(two);
    EXPECT_EQ(v2.number, 7);
    EXPECT_EQ(v2.viewWidthClass, 2);
    EXPECT_DOUBLE_EQ(v2.stamina, 6000.0);
    EXPECT_DOUBLE_EQ(v2.ballVelocityConfidence, 0.25);
    ASSERT_EQ(v2.seen.size(), 2u);
    EXPECT_EQ(v2.observerIndex(), 2);
    EXPECT_EQ(v2.seen[1].number, 200);
    EXPECT_EQ(v2.seen[1].stamina, -5);
    EXPECT_DOUBLE_EQ(v2.seen[1].neckConfidence, 0.75);
}

TEST(SightRecordsTest, SeenCountNeverReachesPastTheRecord) {
    for (const std::int32_t count : {-1, INT_MIN, 0}) {
        const SightV2View v = decodeSightRecordV2(v2Record(count));
        EXPECT_TRUE(v.seen.empty()) << count;
        EXPECT_EQ(v.observerIndex(), 0);
        EXPECT_EQ(v.storedCount, count);
    }
    for (const std::int32_t count : {22, 23, INT_MAX}) {
        const SightV2View v = decodeSightRecordV2(v2Record(count));
        ASSERT_EQ(v.seen.size(), 22u) << count;
        // The last entry that fits ends at byte 1316, inside the record.
        EXPECT_EQ(v.seen.back().stamina, 0);
        EXPECT_EQ(v.observerIndex(), 22);
    }
}

}  // namespace
}  // namespace tessarin::test
