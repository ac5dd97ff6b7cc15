// The trainer's commands, training modes and statistics against a stand-in coach port.

#include <gtest/gtest.h>

#include <cmath>
#include <thread>

#include "live/OfflineCoach.h"
#include "live/StandInServer.h"
#include "support/LogBuilder.h"

namespace tessarin {
namespace {

using namespace std::chrono_literals;

class RecordingTrainerHost final : public TrainerHost {
public:
    void showMessage(const std::string& text) override { messages.push_back(text); }
    std::vector<std::string> messages;
};

ShowState field(int playmode = PM_PlayOn) {
    ShowState s;
    s.playmode = playmode;
    s.team[0].name = "Left";
    s.team[1].name = "Right";
    for (int i = 0; i < kPlayerCount; ++i) {
        auto& p = s.player[static_cast<std::size_t>(i)];
        p.mode = 1;
        p.type = 0;
        p.x = i < 11 ? -10.0 - i : 10.0 + i;
    }
    return s;
}

class OfflineCoachTest : public ::testing::Test {
protected:
    void SetUp() override {
        coach = std::make_unique<COfflineCoach>(host, dir.path().string(), server.monitorPort());
        coach->Connect("127.0.0.1");
        ASSERT_TRUE(coach->connected());
    }
    std::vector<std::string> sent(std::size_t atLeast) {
        server.waitFor([&](const auto& r) { return r.size() >= atLeast; }, 2s);
        std::vector<std::string> out;
        for (const auto& r : server.received()) out.push_back(r.text);
        return out;
    }

    test::StandInServer server;
    test::TempDir dir;
    RecordingTrainerHost host;
    std::unique_ptr<COfflineCoach> coach;
};

TEST_F(OfflineCoachTest, CommandsRoundPositionsToWholeMetresAndKeepTwoDecimalsOfVelocity) {
    coach->Step(field());  // takes the team names from the record
    coach->MovePlayer(0, 3, 25.6, -20.3, 59.5, 0.125, -1.0);
    coach->MoveBall(-20.3, 0.4, 1.0 / 3, 0);
    coach->ChangeMode("play_on");
    coach->Recover();
    coach->ChangePlaymodeCommand(32872);
    coach->ChangePlaymodeCommand(147);
    EXPECT_EQ(coach->pending_playmode(), 0);
    const auto texts = sent(6);
    EXPECT_EQ(texts, (std::vector<std::string>{"(move (player Left 3) 26 -20 60 0.12 -1.00)",
                                               "(move (ball) -20 0 0 0.33 0.00)", "(change_mode play_on)", "(recover)",
                                               "(change_mode human_judge)", "(change_mode before_kick_off)"}));
}

TEST(ChangePlaymode, EntriesMapToTheirPlayModeNames) {
    EXPECT_EQ(changePlaymodeName(147), "before_kick_off");
    EXPECT_EQ(changePlaymodeName(149), "play_on");
    EXPECT_EQ(changePlaymodeName(168), "pause");
    EXPECT_EQ(changePlaymodeName(32872), "human_judge");
    EXPECT_EQ(changePlaymodeName(32898), "penalty_score_r");
    EXPECT_FALSE(changePlaymodeName(169));
    EXPECT_FALSE(changePlaymodeName(32871));
}

TEST_F(OfflineCoachTest, KickerCountsGoodBadAndInBetweenKicksByTheirLastBallVelocity) {
    coach->kicker = true;
    const auto kick = [&](double vx, double vy) {
        ShowState s = field();
        s.ball = {0.5, 0, 0.5, 0};
        s.player[0].mode = 3;  // the kick starts
        coach->Step(s);
        s.player[0].mode = 5;
        s.ball = {1.0, 0, vx, vy};
        coach->Step(s);
        s.player[0].mode = 1;  // the kick has ended
        coach->Step(s);
    };
    kick(2.2, 0);
    EXPECT_EQ(coach->total_kicks(), 1);
    EXPECT_EQ(coach->good_kicks(), 0);
    EXPECT_EQ(coach->bad_kicks(), 0);
    kick(2.5 * std::cos(5 * M_PI / 180), 2.5 * std::sin(5 * M_PI / 180));
    EXPECT_EQ(coach->good_kicks(), 1);
    kick(0, 1.9);
    kick(1.9, 0);
    EXPECT_EQ(coach->total_kicks(), 4);
    EXPECT_EQ(coach->bad_kicks(), 2);
    coach->Disconnect();
    const auto text = test::readFile(dir.file("kicker_s.txt"));
    EXPECT_EQ(std::string(text.begin(), text.end()), "Total:4\nSuccess:1 25.00\nAverage n:2.00\nBad kick:2 50.00");
}

TEST_F(OfflineCoachTest, KickerJustTurnedOnWritesZerosInsteadOfDividingByZero) {
    coach->kicker = true;
    coach->Disconnect();
    const auto text = test::readFile(dir.file("kicker_s.txt"));
    EXPECT_EQ(std::string(text.begin(), text.end()), "Total:0\nSuccess:0 0.00\nAverage n:0.00\nBad kick:0 0.00");
    EXPECT_TRUE(std::filesystem::exists(dir.file("record.txt")));
}

TEST_F(OfflineCoachTest, InterceptFindsAPairOfTheSameTypeOrStaysInPhaseZero) {
    coach->intercept = true;
    ShowState none = field();
    for (int i = 0; i < kPlayersPerSide; ++i) none.player[static_cast<std::size_t>(i)].type = 1;
    for (int i = kPlayersPerSide; i < kPlayerCount; ++i) none.player[static_cast<std::size_t>(i)].type = 2;
    coach->Step(none);
    coach->Step(none);
    EXPECT_EQ(coach->phase(), 0);
    EXPECT_EQ(coach->interceptPair(), (std::array<int, 2>{-1, -1}));

    ShowState s = none;
    s.player[0].mode = 1 | 0x0008;  // left goalie
    s.player[0].type = 2;
    s.player[1].type = 2;            // left 2 is the first field player ...
    s.player[11].mode = 1 | 0x0008;  // ... the right goalie does not count
    s.player[11].type = 2;
    s.player[14].type = 1;
    coach->Step(s);
    EXPECT_EQ(coach->interceptPair(), (std::array<int, 2>{2, 2}));
    EXPECT_EQ(coach->phase(), 2);
    for (int i = 0; i < 8; ++i) coach->Step(s);
    EXPECT_EQ(coach->phase(), 10);
    // The attacker reaches the ball first.
    s.ball = {5, 5, 0, 0};
    s.player[1].x = 5.5;
    s.player[1].y = 5;
    coach->Step(s);
    EXPECT_EQ(coach->attacker_wins(), 1);
    EXPECT_EQ(coach->phase(), 1);
}

TEST_F(OfflineCoachTest, AttackPlacesItsSceneOnceThePlayHasStoppedLongEnough) {
    coach->attack = true;
    ShowState s = field(PM_PlayOn + 1);
    for (int i = 0; i < 3; ++i) coach->Step(s);
    std::this_thread::sleep_for(20ms);
    EXPECT_TRUE(server.received().empty()) << "three steps out of play only count";
    coach->Step(s);
    const auto texts = sent(3);
    EXPECT_EQ(texts.size(), 3u);
    bool ballPlaced = false;
    for (const auto& t : texts) ballPlaced |= t.rfind("(move (ball) -20 ", 0) == 0;
    EXPECT_TRUE(ballPlaced);
    bool playerPlaced = false;
    for (const auto& t : texts) playerPlaced |= t.rfind("(move (player Left 11) -21 ", 0) == 0;
    EXPECT_TRUE(playerPlaced);
}

TEST_F(OfflineCoachTest, ServerWithoutCoachModeIsReportedOnceAndNotFromAnotherHost) {
    coach->Recover();
    ASSERT_TRUE(server.waitForText("(recover)"));
    server.replyFromOtherHost(kNotCoachModeReply);
    std::this_thread::sleep_for(50ms);
    coach->Step(field());
    EXPECT_TRUE(host.messages.empty()) << "only the server's host is listened to";
    server.replyToLastSender(kNotCoachModeReply);
    server.replyToLastSender(kNotCoachModeReply);
    std::this_thread::sleep_for(50ms);
    coach->Step(field());
    coach->Step(field());
    EXPECT_EQ(host.messages, std::vector<std::string>{kNotCoachModeText});
}

TEST(OfflineCoach, ConnectFailureIsShownAndNothingIsSent) {
    RecordingTrainerHost host;
    test::TempDir dir;
    COfflineCoach coach(host, dir.path().string());
    coach.Connect("no-such-host.invalid");
    EXPECT_FALSE(coach.connected());
    EXPECT_EQ(host.messages, std::vector<std::string>{"OfflineCoach connect failed!"});
    coach.Step(field());
    coach.MoveBall(0, 0, 0, 0);
}

}  // namespace
}  // namespace tessarin
