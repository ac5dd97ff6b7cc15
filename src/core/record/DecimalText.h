#pragma once

// Decimal numbers as the server writes them, read quickly: the text forms hold hundreds
// of plain decimals a show ("-49.3107", "0x9" aside), and a live monitor reads one show a
// cycle on its receiving thread.

#include <array>
#include <charconv>
#include <cstdint>
#include <system_error>

namespace tessarin {

namespace decimal_detail {

// 10^0 to 10^22: every one is a double exactly.
inline constexpr std::array<double, 23> kPowersOfTen = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22,
};

// Largest integer below which every integer is a double exactly.
inline constexpr std::uint64_t kExactIntegers = std::uint64_t{1} << 53;

inline bool isDigit(char c) { return static_cast<unsigned char>(c - '0') < 10; }

}  // namespace decimal_detail

// Reads a real as std::from_chars(first, last, out) does, to the same bit, in the same
// places. The plain forms, "[-]DIGITS.DIGITS" with at most 19 digits whose value and
// scale a double holds exactly, are one exact division, correctly rounded as IEEE
// arithmetic rounds it; everything else (exponents, long or odd forms, "inf", "nan")
// goes to std::from_chars.
inline std::from_chars_result readDecimal(const char* first, const char* last, double& out) {
    using namespace decimal_detail;
    const char* p = first;
    const bool negative = p != last && *p == '-';
    if (negative) ++p;
    std::uint64_t mantissa = 0;
    int digits = 0;
    const char* const integerStart = p;
    while (p != last && isDigit(*p) && digits < 19) {
        mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
        ++digits;
        ++p;
    }
    const bool hasInteger = p != integerStart;
    int scale = 0;
    if (p != last && *p == '.') {
        ++p;
        const char* const fractionStart = p;
        while (p != last && isDigit(*p) && digits < 19) {
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(*p - '0');
            ++digits;
            ++p;
        }
        scale = static_cast<int>(p - fractionStart);
        if (scale == 0) return std::from_chars(first, last, out);
    }
    // A 20th digit, an exponent, or no integer part: the general reader decides.
    const bool plainEnd = p == last || (!isDigit(*p) && *p != 'e' && *p != 'E' && *p != '.');
    if (!hasInteger || !plainEnd || mantissa > kExactIntegers || scale >= static_cast<int>(kPowersOfTen.size())) {
        return std::from_chars(first, last, out);
    }
    const double magnitude = static_cast<double>(mantissa) / kPowersOfTen[static_cast<std::size_t>(scale)];
    out = negative ? -magnitude : magnitude;
    return {p, std::errc()};
}

// Reads a decimal integer as std::from_chars(first, last, out) does; up to 18 digits need
// no overflow check, longer ones go to std::from_chars.
inline std::from_chars_result readDecimal(const char* first, const char* last, long long& out) {
    using namespace decimal_detail;
    const char* p = first;
    const bool negative = p != last && *p == '-';
    if (negative) ++p;
    const char* const start = p;
    std::uint64_t value = 0;
    while (p != last && isDigit(*p) && p - start < 18) {
        value = value * 10 + static_cast<std::uint64_t>(*p - '0');
        ++p;
    }
    if (p == start || (p != last && isDigit(*p))) return std::from_chars(first, last, out);
    const auto magnitude = static_cast<long long>(value);
    out = negative ? -magnitude : magnitude;
    return {p, std::errc()};
}

}  // namespace tessarin
