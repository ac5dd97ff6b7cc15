// The trainer's commands, training modes and statistics against a stand-in coach port.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
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
    // Runs one step and returns the texts it sent (`count` of them are waited for).
    std::vector<std::string> step(const ShowState& s, std::size_t count) {
        const std::size_t before = server.received().size();
        coach->Step(s);
        auto all = sent(before + count);
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(before, all.size())), all.end()};
    }
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

TEST_F(OfflineCoachTest, InterceptTurnsThePairToTheRollingBallAndCountsADefenderWin) {
    coach->intercept = true;
    ShowState s = field();
    for (int i = 0; i < kPlayerCount; ++i) s.player[static_cast<std::size_t>(i)].type = 2;
    s.player[0].mode = 1 | 0x0008;  // goalies do not race
    s.player[11].mode = 1 | 0x0008;
    const std::size_t others = 20;  // every present player but the pair is moved aside each step
    step(s, 1 + others + 3);
    ASSERT_EQ(coach->interceptPair(), (std::array<int, 2>{2, 2}));
    for (int phase = 2; phase <= 7; ++phase) step(s, 1 + others + 2);
    ASSERT_EQ(coach->phase(), 8);

    // Phases 8 and 9 face the attacker along the ball's path and the defender at 2d - 90;
    // only phase 8 rolls the ball, down the field at 1.2 to 3 m per cycle.
    const auto directions = [](const std::vector<std::string>& texts) {
        double a = 999, d = 999, x = 0, y = 0;
        for (const auto& t : texts) {
            std::sscanf(t.c_str(), "(move (player Left 2) %lf %lf %lf", &x, &y, &a);
            std::sscanf(t.c_str(), "(move (player Right 2) %lf %lf %lf", &x, &y, &d);
        }
        return std::array<double, 2>{a, d};
    };
    const auto eight = step(s, 1 + others + 3);
    double vy = 0;
    int balls = 0;
    for (const auto& t : eight) balls += std::sscanf(t.c_str(), "(move (ball) 0 30 0 0.00 %lf)", &vy);
    EXPECT_EQ(balls, 1);
    EXPECT_GE(vy, -3.0);
    EXPECT_LE(vy, -1.2);
    const auto [a8, d8] = directions(eight);
    EXPECT_LT(a8, 0.5) << "the ball comes from (0, 30), above the attacker";
    EXPECT_GT(a8, -90.5);
    EXPECT_NEAR(d8, 2 * a8 - 90, 1.5);  // both went out rounded to whole degrees
    const auto nine = step(s, 1 + others + 2);
    for (const auto& t : nine) EXPECT_NE(t.rfind("(move (ball)", 0), 0u) << t;
    EXPECT_EQ(directions(nine), (std::array<double, 2>{a8, d8}));
    ASSERT_EQ(coach->phase(), 10);

    // The defender (right 2) is nearer and within a metre of the ball.
    s.ball = {5, 5, 0, 0};
    s.player[12].x = 5.5;
    s.player[12].y = 5;
    coach->Step(s);
    EXPECT_EQ(coach->defender_wins(), 1);
    EXPECT_EQ(coach->attacker_wins(), 0);
    EXPECT_EQ(coach->phase(), 1);
}

TEST_F(OfflineCoachTest, KickerPlacesANewSceneWhenTheBallStopsStraysOrRollsAway) {
    coach->kicker = true;
    ShowState s = field();
    const auto placed = [&](const std::vector<std::string>& texts) {
        return texts.size() == 3 && texts[0].rfind("(move (ball) ", 0) == 0 &&
               texts[1] == "(move (player Left 1) 0 0 0 0.00 0.00)" && texts[2] == "(change_mode play_on)";
    };
    s.ball = {0.5, 0, 0, 0};  // a ball at rest
    const auto first = step(s, 3);
    EXPECT_TRUE(placed(first));
    double vx = 9, vy = 9;
    ASSERT_EQ(std::sscanf(first[0].c_str(), "(move (ball) %*f %*f 0 %lf %lf)", &vx, &vy), 2);
    EXPECT_LE(std::hypot(vx, vy), 1.5 + 0.01);

    s.ball = {0.5, 0, 1.0, 0};  // rolling near the kicker: left alone
    coach->Step(s);
    s.ball = {2.0, 0, 0.5, 0};  // slow and beyond 1.6 m
    EXPECT_TRUE(placed(step(s, 3)));
    s.ball = {16, 0, 2.0, 0};  // fast but beyond 15 m
    const auto far = step(s, 3);
    EXPECT_TRUE(placed(far));
    EXPECT_EQ(sent(0).size(), 9u) << "the rolling ball near the kicker was left alone";
    EXPECT_EQ(coach->total_kicks(), 0) << "re-placing counts nothing";
}

TEST_F(OfflineCoachTest, ShootPlacesKickerAndGoalieAfterFourStepsOutOfPlay) {
    coach->shoot = true;
    const ShowState stopped = field(PM_PlayOn + 1);
    for (int i = 0; i < 3; ++i) coach->Step(stopped);
    const auto texts = step(stopped, 4);
    ASSERT_EQ(texts.size(), 4u) << "the first three steps only count";
    EXPECT_EQ(texts[0], "(change_mode play_on)");
    double y = 99;
    ASSERT_EQ(std::sscanf(texts[1].c_str(), "(move (player Left 1) 25 %lf 0 0.00 0.00)", &y), 1) << texts[1];
    EXPECT_LE(std::fabs(y), 5.0);
    EXPECT_EQ(texts[2], "(move (player Right 1) 48 0 0 0.00 0.00)");
    EXPECT_EQ(texts[3], "(move (ball) 26 " + texts[1].substr(25, texts[1].find(' ', 25) - 25) + " 0 0.00 0.00)");
    EXPECT_EQ(coach->phase(), 0);
}

TEST_F(OfflineCoachTest, DribbleRecoversEveryStepAndRestartsOnceTheBallPassesThirty) {
    coach->dribble = true;
    ShowState s = field();
    s.ball = {10, 0, 0, 0};
    EXPECT_EQ(step(s, 1), std::vector<std::string>{"(recover)"});
    s.ball.x = 31;
    const auto texts = step(s, 4);
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0], "(recover)");
    EXPECT_EQ(texts[1], "(change_mode play_on)");
    double direction = 999, speed = -1, e = 9;
    ASSERT_EQ(std::sscanf(texts[2].c_str(), "(move (player Left 1) -50 0 %lf %lf 0.00)", &direction, &speed), 2)
        << texts[2];
    EXPECT_LE(std::fabs(direction), 90.0);
    EXPECT_GE(speed, 0.0);
    EXPECT_LE(speed, 1.0);
    ASSERT_EQ(std::sscanf(texts[3].c_str(), "(move (ball) -45 %lf 0 0.00 0.00)", &e), 1) << texts[3];
    EXPECT_LE(std::fabs(e), 1.0);
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

TEST_F(OfflineCoachTest, RefusedCommandsAreReportedOnceAndDisconnect) {
    std::uint16_t freePort = 0;
    {
        test::StandInServer probe;
        freePort = probe.monitorPort();
    }
    COfflineCoach lonely(host, dir.path().string(), freePort);
    lonely.Connect("127.0.0.1");
    ASSERT_TRUE(lonely.connected()) << "a datagram socket opens whether or not anything listens";
    // The refusal of one command comes back to the next.
    for (int i = 0; i < 200 && lonely.connected(); ++i) {
        lonely.ChangeMode("play_on");
        std::this_thread::sleep_for(5ms);
    }
    EXPECT_FALSE(lonely.connected());
    lonely.ChangeMode("play_on");
    lonely.Step(field());
    EXPECT_EQ(host.messages,
              std::vector<std::string>{"No offline coach port at 127.0.0.1:" + std::to_string(freePort)});
}

TEST_F(OfflineCoachTest, ConnectFailureIsShownAndNothingIsSent) {
    // A failed connect also ends the connection to the server that worked before.
    coach->dribble = true;
    coach->Connect("no-such-host.invalid");
    EXPECT_FALSE(coach->connected());
    EXPECT_EQ(host.messages, std::vector<std::string>{"OfflineCoach connect failed!"});
    coach->Step(field());
    coach->MoveBall(0, 0, 0, 0);
    coach->Recover();
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(server.received().empty());
}

}  // namespace
}  // namespace tessarin
