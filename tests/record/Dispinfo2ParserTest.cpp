// Monitor packets turned into records.

#include <gtest/gtest.h>

#include "record/ByteOrder.h"
#include "record/LogPlayer.h"
#include "support/FakeHost.h"
#include "support/LogBuilder.h"

namespace tessarin {
namespace {

using test::Bytes;

class Dispinfo2ParserTest : public ::testing::Test {
protected:
    bool send(const Bytes& packet) { return player.parse_monitor_packet(packet.data(), packet.size()); }
    std::vector<cycle_info_t> records() const {
        return player.withStore([](const std::vector<cycle_info_t>& f) { return f; });
    }
    test::FakeHost host;
    LogPlayer player{host};
};

TEST_F(Dispinfo2ParserTest, MessagesBelongToTheNextShowAndShowsAreStoredWhole) {
    EXPECT_FALSE(send(test::dispinfoMessage("Recv hi")));
    EXPECT_FALSE(send(test::dispinfoMessage("ignored: no prefix")));
    const show_info_t show = test::ShowBuilder(77).playmode(3).team(0, "L", 1).ball(1, 2).build();
    EXPECT_TRUE(send(test::dispinfoShow(show)));
    EXPECT_TRUE(send(test::dispinfoShow(test::ShowBuilder(78).build())));
    const auto r = records();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].cycle, 77);
    EXPECT_EQ(r[0].kind, kShowRecord);
    EXPECT_EQ(r[0].valid, 1);
    EXPECT_EQ(r[0].messages, "Recv hi\t\t\t");
    EXPECT_EQ(std::memcmp(r[0].data.data(), &show, sizeof show), 0);
    EXPECT_EQ(r[1].messages, "");
    EXPECT_EQ(host.drawnCycles(), std::vector<int>{77});
}

TEST_F(Dispinfo2ParserTest, TypesAndParameterBlocksGoToTheStore) {
    Bytes type(88, 0);
    type[1] = 9;  // id 9, network order
    send(test::dispinfoPacket(7, type));
    Bytes params(396, 0);
    putBe32(params.data() + 104, static_cast<std::uint32_t>(test::toFixed(0.5)));
    send(test::dispinfoPacket(8, params));
    send(test::dispinfoPacket(9, Bytes(132, 1)));
    EXPECT_TRUE(player.player_type(9));
    EXPECT_DOUBLE_EQ(player.ball_size(), 0.5);
    EXPECT_EQ(player.player_parameters().bytes[131], 1);
    EXPECT_EQ(player.size(), 0u);
}

TEST_F(Dispinfo2ParserTest, ShortUnknownAndUnterminatedPacketsAreHandledSafely) {
    EXPECT_FALSE(send({}));
    EXPECT_FALSE(send({0, 1}));
    EXPECT_FALSE(send(test::dispinfoPacket(1, Bytes(100, 0)))) << "a torn show is not stored";
    EXPECT_FALSE(send(test::dispinfoPacket(7, Bytes(87, 0))));
    EXPECT_FALSE(send(test::dispinfoPacket(8, Bytes(10, 0))));
    EXPECT_FALSE(send(test::dispinfoPacket(42, Bytes(2000, 0xFF))));
    EXPECT_FALSE(send(test::dispinfoPacket(2, Bytes(1, 0))));
    EXPECT_FALSE(send(test::dispinfoMessage("Recv no end", false)));
    EXPECT_FALSE(send(test::dispinfoMessage("Recv " + std::string(60000, 'y'))));
    EXPECT_TRUE(send(test::dispinfoShow(test::ShowBuilder(1).build())));
    const auto r = records();
    ASSERT_EQ(r.size(), 1u);
    EXPECT_TRUE(player.player_types().empty());
    EXPECT_FALSE(player.hasServerParameters());
    EXPECT_EQ(r[0].messages, "Recv no end\t\t\tRecv " + std::string(kMaxMessageLength - 5, 'y') + "\t\t\t");
}

TEST_F(Dispinfo2ParserTest, PendingMessagesAreBoundedWithoutShows) {
    const Bytes message = test::dispinfoMessage("Recv " + std::string(1000, 'z'));
    for (int i = 0; i < 3000; ++i) send(message);
    send(test::dispinfoShow(test::ShowBuilder(1).build()));
    EXPECT_LE(records()[0].messages.size(), kMaxPendingMessages);
    EXPECT_GT(records()[0].messages.size(), kMaxPendingMessages - 2000);
}

TEST_F(Dispinfo2ParserTest, LiveGameSavedAsGameLogLoadsBackTheSame) {
    test::TempDir dir;
    for (int c = 1; c <= 5; ++c) {
        send(test::dispinfoMessage("Recv cycle " + std::to_string(c)));
        send(test::dispinfoShow(test::ShowBuilder(c).playmode(c < 3 ? 1 : 3).team(0, "A", c / 4).build()));
    }
    ASSERT_TRUE(player.save(dir.file("live.rcg")));
    test::FakeHost other;
    LogPlayer loaded(other);
    loaded.command(kCmdLoad, dir.file("live.rcg"));
    loaded.waitForParser();
    const auto a = records();
    const auto b = loaded.withStore([](const std::vector<cycle_info_t>& f) { return f; });
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].data, b[i].data);
        EXPECT_EQ(a[i].messages, b[i].messages);
    }
}

}  // namespace
}  // namespace tessarin
