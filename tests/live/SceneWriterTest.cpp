// Scenes: the sight record seen by one player, the type block, the file and its reading back.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "geometry/Angle.h"
#include "live/SceneWriter.h"
#include "record/ByteOrder.h"
#include "record/LogPlayer.h"
#include "support/FakeHost.h"
#include "support/LogBuilder.h"

namespace tessarin {
namespace {

using test::Bytes;

std::int32_t fixed(double v) { return hostToNet32(test::toFixed(v)); }

// Left player 3 (index 2) and right player 3 (index 13) fully described, the right goalie
// number 5 (index 15), everyone else present at distinct places but player index 20 absent.
show_info_t sceneShow() {
    test::ShowBuilder b(321);
    b.ball(-7.5, 3.25, 1.5, -0.75);
    for (int i = 0; i < kPlayerCount; ++i) {
        if (i != 20) b.player(i, 1, i % 7, i - 11.0, i / 2.0);
    }
    b.player(15, 1 | 0x0008, 4, 40, 0);
    show_info_t show = b.build();
    for (const int i : {2, 13}) {
        player_info_t& p = show.player[static_cast<std::size_t>(i)];
        p.type = hostToNet16(static_cast<std::int16_t>(i == 2 ? 5 : 260));  // 260: only the low byte is written
        p.x = fixed(i == 2 ? 10.5 : -20.25);
        p.y = fixed(-5.25);
        p.vx = fixed(0.5);
        p.vy = fixed(-0.25);
        p.body_angle = fixed(kPi / 2);
        p.neck_angle = fixed(-kPi / 4);
        p.view_width = fixed(1.9);
        p.stamina = fixed(3500.5);
    }
    return show;
}

float f32(const std::uint8_t* record, std::size_t offset) { return lef32(record + offset); }

player_type_t type(int id, double speed, double effortMax, double dashPowerRate, double decay) {
    player_type_t t{};
    t.id = hostToNet16(static_cast<std::int16_t>(id));
    t.player_speed_max = fixed(speed);
    t.effort_max = fixed(effortMax);
    t.dash_power_rate = fixed(dashPowerRate);
    t.player_decay = fixed(decay);
    t.player_size = fixed(0.3);
    t.kickable_margin = fixed(0.7 + id / 100.0);
    t.effort_min = fixed(0.6);
    return t;
}

std::vector<player_type_t> allTypes() {
    std::vector<player_type_t> types;
    // In an order other than by id, to see each entry found by its id.
    for (int id = kSightTypeCount - 1; id >= 0; --id) types.push_back(type(id, 1.0, 1.0, 0.007, 0.4));
    types[17 - 5] = type(5, 1.2, 1.0, 0.006, 0.4);
    return types;
}

cycle_info_t showRecord(const show_info_t& show) {
    cycle_info_t r;
    r.kind = kShowRecord;
    r.valid = 1;
    r.cycle = 321;
    r.setShow(show);
    return r;
}

TEST(SceneRecord, SelfBlockSideNumberAndSeenPlayers) {
    const show_info_t show = sceneShow();

    const auto left = sceneRecord(show, 3, 0);
    const std::uint8_t* r = left.data();
    EXPECT_EQ(le32(r), 22u);
    EXPECT_EQ(le16(r + 8), 5);  // the right goalie's number
    EXPECT_EQ(r[12], 'l');
    EXPECT_EQ(r[13], 3);
    EXPECT_EQ(r[14], 5);
    EXPECT_EQ(r[15], 1);  // 1.9 radians truncated
    EXPECT_FLOAT_EQ(f32(r, 16), 10.5f);
    EXPECT_FLOAT_EQ(f32(r, 20), -5.25f);
    EXPECT_FLOAT_EQ(f32(r, 24), 1.0f);
    EXPECT_FLOAT_EQ(f32(r, 28), 0.5f);
    EXPECT_FLOAT_EQ(f32(r, 32), -0.25f);
    EXPECT_FLOAT_EQ(f32(r, 36), 1.0f);
    EXPECT_NEAR(f32(r, 40), 90.0f, 1e-3);
    EXPECT_NEAR(f32(r, 44), -45.0f, 1e-3);
    EXPECT_FLOAT_EQ(f32(r, 48), 3500.5f);
    EXPECT_FLOAT_EQ(f32(r, 52), -7.5f);
    EXPECT_FLOAT_EQ(f32(r, 56), 3.25f);
    EXPECT_FLOAT_EQ(f32(r, 64), 1.5f);
    EXPECT_FLOAT_EQ(f32(r, 68), -0.75f);
    EXPECT_FLOAT_EQ(f32(r, 60), 1.0f);
    EXPECT_FLOAT_EQ(f32(r, 72), 1.0f);
    EXPECT_FLOAT_EQ(f32(r, 1316), -100.0f);

    const auto right = sceneRecord(show, 14, 0);
    r = right.data();
    EXPECT_EQ(r[12], 'r');
    EXPECT_EQ(r[13], 14);
    EXPECT_EQ(r[14], 260 & 0xFF);
    EXPECT_FLOAT_EQ(f32(r, 16), -20.25f);
    // The same player's seen entry carries his number within his team.
    const std::uint8_t* self = r + 84 + 56 * 13;
    EXPECT_EQ(self[32], 'r');
    EXPECT_EQ(self[33], 3);
    EXPECT_EQ(self[35], 260 & 0xFF);
    EXPECT_FLOAT_EQ(f32(self, 0), -20.25f);
    EXPECT_FLOAT_EQ(f32(self, 12), 0.5f);
    EXPECT_FLOAT_EQ(f32(self, 16), -0.25f);
    EXPECT_NEAR(f32(self, 40), 90.0f, 1e-3);
    EXPECT_NEAR(f32(self, 48), -45.0f, 1e-3);
    for (const std::size_t confidence : {8u, 20u, 44u, 52u}) EXPECT_FLOAT_EQ(f32(self, confidence), 1.0f);

    const std::uint8_t* leftSeven = r + 84 + 56 * 6;
    EXPECT_EQ(leftSeven[32], 'l');
    EXPECT_EQ(leftSeven[33], 7);
    EXPECT_FLOAT_EQ(f32(leftSeven, 0), -5.0f);
    // An absent player's entry holds zero confidences and nothing else.
    const std::uint8_t* absent = r + 84 + 56 * 20;
    EXPECT_TRUE(std::all_of(absent, absent + 56, [](std::uint8_t b) { return b == 0; }));
}

TEST(SceneRecord, AnAbsentObserverOrNoRightGoalieLeavesZeros) {
    show_info_t show = sceneShow();
    show.player[15].mode = hostToNet16(1);
    show.player[2].mode = 0;
    const auto bytes = sceneRecord(show, 3, 2);
    EXPECT_EQ(le16(bytes.data() + 4), 2);
    EXPECT_EQ(le16(bytes.data() + 8), 0);
    EXPECT_TRUE(std::all_of(bytes.begin() + 12, bytes.begin() + 52, [](std::uint8_t b) { return b == 0; }));
    EXPECT_FLOAT_EQ(f32(bytes.data(), 52), -7.5f);  // the ball is still there
}

TEST(SceneTypeBlock, LimitsTheSpeedAndAddsTheKickableDistance) {
    const auto block = sceneTypeBlock(allTypes());
    ASSERT_TRUE(block);
    const std::uint8_t* five = block->data() + 5 * 48;
    EXPECT_NEAR(f32(five, 0), 1.0f, 1e-3);  // 100 * 0.006 / 0.6
    EXPECT_NEAR(f32(five, 4 * 4), 0.006f, 1e-5);
    EXPECT_NEAR(f32(five, 6 * 4), 0.75f, 1e-4);
    EXPECT_NEAR(f32(five, 11 * 4), 0.3f + 0.75f + 0.085f, 1e-4);
    const std::uint8_t* zero = block->data();
    EXPECT_FLOAT_EQ(f32(zero, 0), 1.0f);  // 1.0 is below the reachable 100 * 0.007 / 0.6
    EXPECT_NEAR(f32(zero, 10 * 4), 0.6f, 1e-4);

    std::vector<player_type_t> some = allTypes();
    some.erase(some.begin() + (17 - 9));
    int missing = -1;
    EXPECT_FALSE(sceneTypeBlock(some, &missing));
    EXPECT_EQ(missing, 9);
}

TEST(SceneFile, ThreeRecordsDifferingInTheCycleThatLoadBackAsASightLog) {
    const SceneFile file = buildScene(showRecord(sceneShow()), 14, allTypes());
    ASSERT_TRUE(file.error.empty()) << file.error;
    ASSERT_EQ(file.bytes.size(), 3u + 864 + 3 * 1332);
    EXPECT_EQ(std::string(file.bytes.begin(), file.bytes.begin() + 3), "SLH");
    const std::uint8_t* first = file.bytes.data() + 3 + 864;
    for (int k = 0; k < 3; ++k) {
        const std::uint8_t* rec = first + 1332 * k;
        EXPECT_EQ(le16(rec + 4), k);
        for (std::size_t i = 0; i < 1332; ++i) {
            if (i == 4 || i == 5) continue;
            ASSERT_EQ(rec[i], first[i]) << "record " << k << " byte " << i;
        }
    }

    test::TempDir dir;
    const std::string path = dir.file("scene.slh");
    ASSERT_EQ(writeScene(path, showRecord(sceneShow()), 14, allTypes()), "");
    EXPECT_EQ(test::readFile(path), file.bytes);

    test::FakeHost host;
    LogPlayer player(host);
    ASSERT_TRUE(player.command(kCmdLoad, path));
    player.waitForParser();
    EXPECT_EQ(player.format(), LogFormat::SightV2);
    EXPECT_EQ(player.player_types().size(), 18u);
    ASSERT_EQ(player.size(), 3u);
    const cycle_info_t loaded = *player.current();
    EXPECT_EQ(loaded.kind, kSightRecordV2);
    EXPECT_EQ(loaded.cycle, 0);
    const ShowState shown = toHost(sceneShow());
    const std::uint8_t* d = loaded.data.data();
    EXPECT_FLOAT_EQ(f32(d, 16), static_cast<float>(shown.player[13].x));
    EXPECT_FLOAT_EQ(f32(d, 52), static_cast<float>(shown.ball.x));
    EXPECT_EQ(le32(d), 22u);
    for (int i = 0; i < kPlayerCount; ++i) {
        const std::uint8_t* seen = d + 84 + 56 * i;
        EXPECT_FLOAT_EQ(f32(seen, 0), static_cast<float>(shown.player[static_cast<std::size_t>(i)].x)) << i;
        EXPECT_FLOAT_EQ(f32(seen, 4), static_cast<float>(shown.player[static_cast<std::size_t>(i)].y)) << i;
    }
    // The type with id 5 reads back with its limited speed.
    EXPECT_NEAR(toHost(*player.player_type(5)).player_speed_max, 1.0, 1e-3);
}

TEST(SceneFile, BadInputWritesNothing) {
    for (const char* bad : {"", "x", "99", "0", "-3", "3x", "23", " "}) EXPECT_FALSE(parseSelfNum(bad)) << bad;
    EXPECT_EQ(parseSelfNum(" 7 "), 7);
    EXPECT_EQ(parseSelfNum("22"), 22);

    test::TempDir dir;
    const cycle_info_t show = showRecord(sceneShow());
    cycle_info_t sight;
    sight.kind = kSightRecordV2;
    const std::string path = dir.file("scene.slh");
    EXPECT_NE(writeScene(path, sight, 3, allTypes()).find("not a show record"), std::string::npos);
    EXPECT_NE(writeScene(path, show, 23, allTypes()).find("1..22"), std::string::npos);
    EXPECT_NE(writeScene(path, show, 3, {}).find("player type 0"), std::string::npos);
    EXPECT_EQ(writeScene("", show, 3, allTypes()), "no file name given");
    EXPECT_NE(writeScene(dir.file("missing/scene.slh"), show, 3, allTypes()).find("cannot write"), std::string::npos);
    // A directory in the way: the rename fails and the temporary file goes again.
    std::filesystem::create_directory(dir.file("taken"));
    EXPECT_NE(writeScene(dir.file("taken"), show, 3, allTypes()).find("cannot write"), std::string::npos);
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        left.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(left, std::vector<std::string>{"taken"});

    // An existing file is replaced whole.
    dir.write("old.slh", Bytes(10000, 0xEE));
    ASSERT_EQ(writeScene(dir.file("old.slh"), show, 3, allTypes()), "");
    EXPECT_EQ(test::readFile(dir.file("old.slh")).size(), kSceneFileSize);
}

}  // namespace
}  // namespace tessarin
