#include "analysis/EventReport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "analysis/BehaviorAnalyzer.h"
#include "analysis/events/EventScene.h"
#include "support/LogBuilder.h"

namespace tessarin::test {
namespace {

std::vector<BasicBehaviorEvent> smallGame() {
    return {
        BasicBehaviorEvent{},
        event(1, 0, 0, BB_INTERCEPT, true),
        event(2, 0, 0, BB_ADJUST, true),
        event(4, 0, 0, BB_RECEIVE, false, 12),
        event(6, 1, 12, BB_PASS, true, 13),
        event(7, 1, 12, BB_SHOOT, false),
        event(9, 0, 1, BB_DRIBBLE, true),
        event(10, 0, 1, BB_CLEARBALL, false),
        event(11, 0, 1, BB_POSITION, false),
    };
}

std::string zeroPlayer(int i) {
    return "player " + std::to_string(i) +
           " 's pass success rate == 0\n"
           "             shot success rate == 0\n"
           "             pass count\t\t  == 0\n"
           "             success pass cnt  == 0\n"
           "             shot count\t\t  == 0\n"
           "             success shot cnt  == 0\n"
           "             intercep count    == 0\n"
           "\t           success inte cnt  == 0\n"
           "\t           inte success rate == 0\n"
           "\t           dribble count     == 0\n"
           "\t           success drib cnt  == 0\n"
           "\t           drib success rate == 0\n";
}

std::string expectedSmallReport() {
    std::string r =
        "event queu\n"
        "\n-------------------------------------\nat time 0 :\n  player 0 was doing  FAIL\n\n"
        "\n-------------------------------------\nat time 1 :\n  player 1 was doing BB_INTERCEPT SUCCEED\n\n"
        "\n-------------------------------------\nat time 2 :\n  player 1 was doing BB_ADJUST SUCCEED\n\n"
        "\n-------------------------------------\nat time 4 :\n  player 1 was doing BB_RECEIVE from 22 FAIL\n\n"
        "\n-------------------------------------\nat time 6 :\n  player 22 was doing BB_PASS to 23 SUCCEED\n\n"
        "\n-------------------------------------\nat time 7 :\n  player 22 was doing BB_SHOOT FAIL\n\n"
        "\n-------------------------------------\nat time 9 :\n  player 2 was doing BB_DRIBBLE SUCCEED\n\n"
        "\n-------------------------------------\nat time 10 :\n  player 2 was doing BB_CLEARBALL FAIL\n\n"
        "\n-------------------------------------\nat time 11 :\n  player 2 was doing  FAIL\n\n";
    r += "player 0 's pass success rate == 0\n"
         "             shot success rate == 0\n"
         "             pass count\t\t  == 0\n"
         "             success pass cnt  == 0\n"
         "             shot count\t\t  == 0\n"
         "             success shot cnt  == 0\n"
         "             intercep count    == 3\n"
         "\t           success inte cnt  == 2\n"
         "\t           inte success rate == 0.666667\n"
         "\t           dribble count     == 0\n"
         "\t           success drib cnt  == 0\n"
         "\t           drib success rate == 0\n";
    r += "player 1 's pass success rate == 0\n"
         "             shot success rate == 0\n"
         "             pass count\t\t  == 0\n"
         "             success pass cnt  == 0\n"
         "             shot count\t\t  == 0\n"
         "             success shot cnt  == 0\n"
         "             intercep count    == 1\n"
         "\t           success inte cnt  == 0\n"
         "\t           inte success rate == 0\n"
         "\t           dribble count     == 1\n"
         "\t           success drib cnt  == 1\n"
         "\t           drib success rate == 1\n";
    for (int i = 2; i < 12; ++i) r += zeroPlayer(i);
    r += "player 12 's pass success rate == 1\n"
         "             shot success rate == 0\n"
         "             pass count\t\t  == 1\n"
         "             success pass cnt  == 1\n"
         "             shot count\t\t  == 1\n"
         "             success shot cnt  == 0\n"
         "             intercep count    == 0\n"
         "\t           success inte cnt  == 0\n"
         "\t           inte success rate == 0\n"
         "\t           dribble count     == 0\n"
         "\t           success drib cnt  == 0\n"
         "\t           drib success rate == 0\n";
    for (int i = 13; i < 22; ++i) r += zeroPlayer(i);
    r += "team 0 's pass success rate == 0\n"
         "          pass count\t\t== 0\n"
         "       \t  success pass cnt  == 0\n"
         "          shot success rate == 0\n"
         "          shot count\t\t== 0\n"
         "       \t  success shot cnt  == 0\n"
         "           with ball cycles  == 5\n"
         "\t         inte count\t\t== 4\n"
         "           success inte cnt  == 2\n"
         "           inte success rate == 0.5\n"
         "           drib count\t\t== 1\n"
         "           success drib cnt  == 1\n"
         "           drib success rate == 1\n"
         "team 1 's pass success rate == 1\n"
         "          pass count\t\t== 1\n"
         "       \t  success pass cnt  == 1\n"
         "          shot success rate == 0\n"
         "          shot count\t\t== 1\n"
         "       \t  success shot cnt  == 0\n"
         "           with ball cycles  == 3\n"
         "\t         inte count\t\t== 0\n"
         "           success inte cnt  == 0\n"
         "           inte success rate == 0\n"
         "           drib count\t\t== 0\n"
         "           success drib cnt  == 0\n"
         "           drib success rate == 0\n";
    return r;
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(EventReport, SmallGameByteForByte) {
    const auto events = smallGame();
    const GameStatistics stats = computeGameStatistics(events, {});
    std::ostringstream out;
    writeEventReport(out, events, stats);
    EXPECT_EQ(out.str(), expectedSmallReport());
}

TEST(EventReport, FileIsCreatedAnewAndReportsFailure) {
    TempDir dir;
    const std::string path = dir.file(kEventReportFileName);
    {
        std::ofstream old(path);
        old << std::string(100000, 'x');
    }
    const auto events = smallGame();
    EXPECT_EQ(writeEventReport(path, events, computeGameStatistics(events, {})), 0);
    EXPECT_EQ(slurp(path), expectedSmallReport());
    EXPECT_EQ(writeEventReport(dir.file("missing/event.txt"), events, GameStatistics{}), -1);
}

TEST(EventReport, AnalyzerWritesIntoTheGivenDirectory) {
    TempDir dir;
    Feeder f;
    Scene s;
    s.player(0, -10, 0).ball(-9.5, 0);
    f.feed(s, 1);
    ASSERT_EQ(f.analyzer.ComputeStatistics(), 0);
    ASSERT_EQ(f.analyzer.WriteEventReport(dir.path()), 0);
    const std::string text = slurp(dir.file("event.txt"));
    EXPECT_EQ(text.rfind("event queu\n\n-------------------------------------\nat time 0 :\n", 0), 0u);
    EXPECT_NE(text.find("at time 1 :\n  player 1 was doing BB_INTERCEPT SUCCEED\n\n"), std::string::npos);
    EXPECT_NE(text.find("           with ball cycles  == 0\n"), std::string::npos);
    EXPECT_EQ(f.analyzer.WriteEventReport(dir.path() / "no" / "such"), -1);
}

TEST(EventReport, PlayerNumbers) {
    EXPECT_EQ(reportPlayerNumber(-1), 0);
    EXPECT_EQ(reportPlayerNumber(0), 1);
    EXPECT_EQ(reportPlayerNumber(10), 11);
    EXPECT_EQ(reportPlayerNumber(11), 21);
    EXPECT_EQ(reportPlayerNumber(21), 31);
}

}  // namespace
}  // namespace tessarin::test
