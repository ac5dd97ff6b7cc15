#include "cli/OptionChecks.h"

#include <charconv>
#include <cmath>
#include <sstream>
#include <system_error>

namespace tessarin::cli {

namespace {

// A bound in the shortest form that reads back the same: 10000000, 0.5, 1e+30.
std::string boundText(double value) {
    std::ostringstream out;
    out.precision(15);
    out << value;
    return out.str();
}

// The whole text as one number; false for anything else (blanks, trailing words).
bool parseNumber(const std::string& text, double& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc{} && ptr == end;
}

std::string checkSeconds(const std::string& text, double highest, bool zeroAllowed) {
    double value = 0;
    const std::string range = zeroAllowed ? "from 0 to " + boundText(highest) : "above 0, up to " + boundText(highest);
    if (!parseNumber(text, value) || !std::isfinite(value) || value < 0 || (!zeroAllowed && value == 0) ||
        value > highest) {
        return "must be a number of seconds " + range + ", not " + text;
    }
    return {};
}

}  // namespace

std::string checkPositiveSeconds(const std::string& text, double highest) { return checkSeconds(text, highest, false); }

std::string checkSecondsFromZero(const std::string& text, double highest) { return checkSeconds(text, highest, true); }

std::string checkCount(const std::string& text, long long lowest, long long highest) {
    long long value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc{} || ptr != end || value < lowest || value > highest) {
        return "must be a whole number from " + std::to_string(lowest) + " to " + std::to_string(highest) + ", not " +
               text;
    }
    return {};
}

}  // namespace tessarin::cli
