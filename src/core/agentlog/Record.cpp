#include "agentlog/Record.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "record/DecimalText.h"

namespace tessarin::agentlog {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view skipBlanks(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && isBlank(s[i])) ++i;
    return s.substr(i);
}

template <class T>
bool readInteger(std::string_view& s, T& value) {
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc{} || end == s.data()) return false;
    s.remove_prefix(static_cast<std::size_t>(end - s.data()));
    return true;
}

// Reads a blank-separated number that must end at a blank or the end of the line.
bool readNumber(std::string_view& s, double& value) {
    s = skipBlanks(s);
    const auto [end, ec] = readDecimal(s.data(), s.data() + s.size(), value);
    if (ec != std::errc{} || end == s.data()) return false;
    s.remove_prefix(static_cast<std::size_t>(end - s.data()));
    if (!s.empty() && !isBlank(s.front())) return false;
    return std::isfinite(value) && std::fabs(value) <= kMaxMagnitude;
}

// Which of a type's numbers are lengths that cannot be negative.
bool sizesValid(char type, const std::array<double, 6>& v) {
    switch (type) {
        case 'a':
        case 'c':
        case 'C':
            return v[2] >= 0;
        case 'r':
        case 'R':
            return v[2] >= 0 && v[3] >= 0;
        case 's':
        case 'S':
            return v[2] >= 0 && v[3] >= 0;
        default:
            return true;
    }
}

double turnedHalf(double degrees) { return degrees >= 0 ? degrees - 180.0 : degrees + 180.0; }

}  // namespace

int valueCount(char type) {
    switch (type) {
        case 'M':
            return 0;
        case 'p':
        case 'm':
            return 2;
        case 'c':
        case 'C':
            return 3;
        case 'l':
        case 'r':
        case 'R':
            return 4;
        case 'a':
            return 5;
        case 't':
        case 'T':
        case 's':
        case 'S':
            return 6;
        default:
            return -1;
    }
}

bool parseKey(std::string_view line, CycleKey& key, std::string_view& rest) {
    if (!readInteger(line, key.cycle) || line.empty() || line.front() != ',') return false;
    line.remove_prefix(1);
    if (!readInteger(line, key.stopped) || key.stopped < 0 || line.empty() || !isBlank(line.front())) return false;
    rest = skipBlanks(line);
    return true;
}

bool parseRecord(std::string_view line, Record& out) {
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    std::string_view s;
    if (!parseKey(line, out.key, s)) return false;
    // The library prints the mask as a signed 32-bit number; accept its unsigned spelling too.
    std::int64_t level = 0;
    if (!readInteger(s, level) || level < std::numeric_limits<std::int32_t>::min() ||
        level > std::numeric_limits<std::uint32_t>::max() || s.empty() || !isBlank(s.front())) {
        return false;
    }
    out.levels = static_cast<std::uint32_t>(level);
    s = skipBlanks(s);
    if (s.empty() || (s.size() > 1 && !isBlank(s[1]))) return false;
    out.type = s.front();
    const int count = valueCount(out.type);
    if (count < 0) return false;
    s.remove_prefix(1);
    out.colour.reset();
    out.text.clear();
    if (out.type == 'M') {
        if (!s.empty()) s.remove_prefix(1);
        out.text.assign(s);
        return true;
    }
    for (int i = 0; i < count; ++i) {
        if (!readNumber(s, out.values[static_cast<std::size_t>(i)])) return false;
    }
    if (!sizesValid(out.type, out.values)) return false;
    s = skipBlanks(s);
    if (out.type == 'm') {
        if (s.starts_with("(c ")) {
            const std::size_t close = s.find(')');
            if (close == std::string_view::npos) return false;
            out.colour = parseColour(skipBlanks(s.substr(3, close - 3)));
            if (!out.colour) return false;
            s = skipBlanks(s.substr(close + 1));
        }
        out.text.assign(s);
        return true;
    }
    if (s.empty()) return true;
    std::size_t end = 0;
    while (end < s.size() && !isBlank(s[end])) ++end;
    out.colour = parseColour(s.substr(0, end));
    return out.colour.has_value() && skipBlanks(s.substr(end)).empty();
}

Record mirrored(const Record& record) {
    Record m = record;
    auto& v = m.values;
    switch (record.type) {
        case 'r':
        case 'R':
            // The corner (left, top) turns into the right bottom one.
            v[0] = -(record.values[0] + record.values[2]);
            v[1] = -(record.values[1] + record.values[3]);
            break;
        case 'c':
        case 'C':
            v[0] = -v[0];
            v[1] = -v[1];
            break;
        case 'a':
            v[0] = -v[0];
            v[1] = -v[1];
            v[3] = turnedHalf(v[3]);
            break;
        case 's':
        case 'S':
            v[0] = -v[0];
            v[1] = -v[1];
            v[4] = turnedHalf(v[4]);
            break;
        default: {
            const int count = valueCount(record.type);
            for (int i = 0; i < count; ++i) v[static_cast<std::size_t>(i)] = -v[static_cast<std::size_t>(i)];
            break;
        }
    }
    return m;
}

}  // namespace tessarin::agentlog
