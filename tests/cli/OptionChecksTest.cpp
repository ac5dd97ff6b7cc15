// The checks of the numbers given to the command-line tool's options.

#include "cli/OptionChecks.h"

#include <gtest/gtest.h>

namespace tessarin::cli {
namespace {

TEST(OptionChecks, SecondsMustBeFiniteAndWithinTheirBounds) {
    for (const char* good : {"5", "0.25", "1e3", "3600"}) EXPECT_EQ(checkPositiveSeconds(good, 3600), "") << good;
    for (const char* bad : {"nan", "NaN", "inf", "-inf", "0", "-1", "3600.5", "", "5s", " 5", "1e400"}) {
        const std::string why = checkPositiveSeconds(bad, 3600);
        EXPECT_NE(why, "") << bad;
        EXPECT_LT(why.size(), 80u) << "no bound printed with hundreds of digits: " << why;
    }
    EXPECT_EQ(checkPositiveSeconds("0", 3600), "must be a number of seconds above 0, up to 3600, not 0");
    EXPECT_EQ(checkSecondsFromZero("0", 1e7), "");
    EXPECT_EQ(checkSecondsFromZero("nan", 1e7), "must be a number of seconds from 0 to 10000000, not nan");
}

TEST(OptionChecks, CountsAreWholeNumbersWithinTheirBounds) {
    EXPECT_EQ(checkCount("1", 1, 10), "");
    EXPECT_EQ(checkCount("10", 1, 10), "");
    EXPECT_EQ(checkCount("0", 1, 2147483647), "must be a whole number from 1 to 2147483647, not 0");
    for (const char* bad : {"11", "-1", "1.5", "nan", "", "99999999999999999999"}) {
        EXPECT_NE(checkCount(bad, 1, 10), "") << bad;
    }
}

}  // namespace
}  // namespace tessarin::cli
