#include "cli/JsonTextWriter.h"

#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>

namespace tessarin::cli {

namespace {

// nlohmann writes a number in fixed notation while its decimal point falls within these
// places of its digits, else in exponent notation.
constexpr int kFixedFirstPlace = -4;
constexpr int kFixedLastPlace = 15;

void appendExponent(std::string& out, int e) {
    out += e < 0 ? '-' : '+';
    const int magnitude = std::abs(e);
    if (magnitude < 10) out += '0';
    char digits[8];
    const auto written = std::to_chars(digits, digits + sizeof digits, magnitude);
    out.append(digits, written.ptr);
}

}  // namespace

void appendJsonNumber(std::string& out, double v) {
    if (!std::isfinite(v)) {
        out += "null";
        return;
    }
    if (std::signbit(v)) out += '-';
    v = std::fabs(v);
    if (v == 0.0) {
        out += "0.0";
        return;
    }
    // The shortest digits that read back as v, as "d.ddde±x".
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, v, std::chars_format::scientific);
    const std::string_view scientific(text, static_cast<std::size_t>(written.ptr - text));
    const std::size_t e = scientific.find('e');
    char digitBuffer[24];
    std::size_t count = 0;
    for (std::size_t i = 0; i < e; ++i) {
        if (scientific[i] != '.') digitBuffer[count++] = scientific[i];
    }
    const std::string_view digits(digitBuffer, count);
    int exponent = 0;
    std::from_chars(scientific.data() + e + 1 + (scientific[e + 1] == '+' ? 1 : 0),
                    scientific.data() + scientific.size(), exponent);

    const int k = static_cast<int>(count);
    const int n = exponent + 1;  // the place of the decimal point after the first digit
    if (k <= n && n <= kFixedLastPlace) {
        out += digits;
        out.append(static_cast<std::size_t>(n - k), '0');
        out += ".0";
    } else if (0 < n && n <= kFixedLastPlace) {
        out += digits.substr(0, static_cast<std::size_t>(n));
        out += '.';
        out += digits.substr(static_cast<std::size_t>(n));
    } else if (kFixedFirstPlace < n && n <= 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-n), '0');
        out += digits;
    } else {
        out += digits[0];
        if (k > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += 'e';
        appendExponent(out, n - 1);
    }
}

void JsonTextWriter::key(std::string_view name) {
    beforeValue();
    out_ += '"';
    out_ += name;
    out_ += "\": ";
    afterKey_ = true;
}

void JsonTextWriter::value(double v) {
    beforeValue();
    appendJsonNumber(out_, v);
}

void JsonTextWriter::value(std::string_view text) {
    beforeValue();
    out_ += nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void JsonTextWriter::null() {
    beforeValue();
    out_ += "null";
}

void JsonTextWriter::open(char bracket, bool object) {
    beforeValue();
    out_ += bracket;
    levels_.push_back(Level{object, true});
}

void JsonTextWriter::close(char bracket) {
    if (levels_.empty()) return;
    const bool empty = levels_.back().empty;
    levels_.pop_back();
    if (!empty) newLine();
    out_ += bracket;
}

// Called before anything that takes a place in the current container: a member's name,
// or an element of an array. A value after its name takes the name's place.
void JsonTextWriter::beforeValue() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (levels_.empty()) return;
    Level& level = levels_.back();
    if (!level.empty) out_ += ',';
    level.empty = false;
    newLine();
}

void JsonTextWriter::newLine() {
    out_ += '\n';
    out_.append(2 * levels_.size(), ' ');
}

}  // namespace tessarin::cli
