#include "record/DecimalText.h"

#include <gtest/gtest.h>

#include <bit>
#include <charconv>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace tessarin {
namespace {

// The quick reader must agree with std::from_chars to the bit: same value, same end,
// same error, for whatever text it is given.
void expectSameReal(const std::string& text) {
    double quick = -1.25;
    double general = -1.25;
    const auto a = readDecimal(text.data(), text.data() + text.size(), quick);
    const auto b = std::from_chars(text.data(), text.data() + text.size(), general);
    ASSERT_EQ(a.ec, b.ec) << '"' << text << '"';
    ASSERT_EQ(a.ptr - text.data(), b.ptr - text.data()) << '"' << text << '"';
    if (a.ec == std::errc()) {
        ASSERT_EQ(std::bit_cast<std::uint64_t>(quick), std::bit_cast<std::uint64_t>(general)) << '"' << text << '"';
    }
}

void expectSameInteger(const std::string& text) {
    long long quick = -7;
    long long general = -7;
    const auto a = readDecimal(text.data(), text.data() + text.size(), quick);
    const auto b = std::from_chars(text.data(), text.data() + text.size(), general);
    ASSERT_EQ(a.ec, b.ec) << '"' << text << '"';
    ASSERT_EQ(a.ptr - text.data(), b.ptr - text.data()) << '"' << text << '"';
    if (a.ec == std::errc()) {
        ASSERT_EQ(quick, general) << '"' << text << '"';
    }
}

TEST(DecimalText, RealsOfEveryFormAgreeWithTheGeneralReader) {
    const std::vector<std::string> forms = {
        // What the server writes, and the forms around the quick path's limits.
        "0",
        "-0",
        "0.0",
        "-0.0",
        "8000",
        "-49.3107",
        "0.0068",
        "130555",
        "0.959812",
        "-89.725",
        "1e-05",
        "2.5e3",
        "1E2",
        "9007199254740992",
        "9007199254740993",
        "9007199254740993.5",
        "0.9007199254740993",
        "1234567890123456789",
        "12345678901234567890",
        "0.1234567890123456789",
        "1.0000000000000000000001",
        "0.0000000000000000000001",
        "0.00000000000000000000001",
        "00000000000000000001.5",
        "1.",
        "-1.",
        ".5",
        "-.5",
        "+1",
        "-",
        "",
        ".",
        "-x",
        "inf",
        "-infinity",
        "nan",
        "1.5.3",
        "2..",
        "3e",
        "4e+",
        "0x9",
        "12ab",
        "7 8",
        "5)",
        "1.25(",
        "-0.000",
        "179769313486231570000000000000000000000",
        "2.2250738585072014e-308",
        "4.9e-324",
        "1e400",
        "-1e400",
        // Halfway cases of the division: the rounding must be IEEE's.
        "0.3",
        "0.7",
        "1.1",
        "2.675",
        "8.0000000000000002",
        "0.30000000000000004",
        "9007199254740991.1",
    };
    for (const auto& text : forms) expectSameReal(text);
}

TEST(DecimalText, RandomDecimalsAgreeWithTheGeneralReader) {
    std::mt19937_64 random(20261210);
    std::uniform_int_distribution<int> length(1, 21);
    std::uniform_int_distribution<int> digit(0, 9);
    std::uniform_int_distribution<int> coin(0, 3);
    for (int n = 0; n < 200000; ++n) {
        std::string text = coin(random) == 0 ? "-" : "";
        const int integerDigits = length(random) - 1;
        for (int i = 0; i < integerDigits; ++i) text += static_cast<char>('0' + digit(random));
        if (coin(random) != 0) {
            text += '.';
            const int fractionDigits = length(random) - 1;
            for (int i = 0; i < fractionDigits; ++i) text += static_cast<char>('0' + digit(random));
        }
        if (coin(random) == 0) text += " 1";
        expectSameReal(text);
        expectSameInteger(text);
    }
}

TEST(DecimalText, IntegersAgreeWithTheGeneralReader) {
    for (const std::string text :
         {"0", "-0", "7", "-7", "000000000000000000012", "999999999999999999", "-999999999999999999",
          "9223372036854775807", "-9223372036854775808", "9223372036854775808", "-9223372036854775809",
          "123456789012345678901234", "", "-", "+3", "0x9", "12.5", "4)", "x"}) {
        expectSameInteger(text);
    }
}

}  // namespace
}  // namespace tessarin
