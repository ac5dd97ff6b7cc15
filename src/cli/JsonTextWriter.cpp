#include "cli/JsonTextWriter.h"

#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>

namespace tessarin::cli {

// Text gathered on the stack and appended to the document at once: the statistics are
// some 1,500 short tokens, and one append for each with what goes before it is what
// keeps writing them cheap.
class JsonTextPiece {
public:
    explicit JsonTextPiece(std::string& out) : out_(out) {}
    JsonTextPiece(const JsonTextPiece&) = delete;
    JsonTextPiece& operator=(const JsonTextPiece&) = delete;
    ~JsonTextPiece() { flush(); }

    void add(char c) {
        if (size_ == sizeof text_) flush();
        text_[size_++] = c;
    }
    void add(std::string_view s) {
        if (s.size() > sizeof text_ - size_) flush();
        if (s.size() > sizeof text_) {
            out_ += s;
            return;
        }
        s.copy(text_ + size_, s.size());
        size_ += s.size();
    }
    void spaces(std::size_t n) {
        for (std::size_t i = 0; i < n; ++i) add(' ');
    }

private:
    void flush() {
        out_.append(text_, size_);
        size_ = 0;
    }

    std::string& out_;
    char text_[128];
    std::size_t size_ = 0;
};

namespace {

// nlohmann writes a number in fixed notation while its decimal point falls within these
// places of its digits, else in exponent notation.
constexpr int kFixedFirstPlace = -4;
constexpr int kFixedLastPlace = 15;

void addExponent(JsonTextPiece& out, int e) {
    out.add(e < 0 ? '-' : '+');
    const int magnitude = std::abs(e);
    if (magnitude < 10) out.add('0');
    char digits[8];
    const auto written = std::to_chars(digits, digits + sizeof digits, magnitude);
    out.add(std::string_view(digits, static_cast<std::size_t>(written.ptr - digits)));
}

void addNumber(JsonTextPiece& out, double v) {
    if (!std::isfinite(v)) {
        out.add("null");
        return;
    }
    if (std::signbit(v)) out.add('-');
    v = std::fabs(v);
    if (v == 0.0) {
        out.add("0.0");
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
        out.add(digits);
        for (int i = k; i < n; ++i) out.add('0');
        out.add(".0");
    } else if (0 < n && n <= kFixedLastPlace) {
        out.add(digits.substr(0, static_cast<std::size_t>(n)));
        out.add('.');
        out.add(digits.substr(static_cast<std::size_t>(n)));
    } else if (kFixedFirstPlace < n && n <= 0) {
        out.add("0.");
        for (int i = n; i < 0; ++i) out.add('0');
        out.add(digits);
    } else {
        out.add(digits[0]);
        if (k > 1) {
            out.add('.');
            out.add(digits.substr(1));
        }
        out.add('e');
        addExponent(out, n - 1);
    }
}

}  // namespace

void appendJsonNumber(std::string& out, double v) {
    JsonTextPiece piece(out);
    addNumber(piece, v);
}

void JsonTextWriter::key(std::string_view name) {
    JsonTextPiece piece(out_);
    beforeValue(piece);
    piece.add('"');
    piece.add(name);
    piece.add("\": ");
    afterKey_ = true;
}

void JsonTextWriter::addInteger(std::string_view digits) {
    JsonTextPiece piece(out_);
    beforeValue(piece);
    piece.add(digits);
}

void JsonTextWriter::value(double v) {
    JsonTextPiece piece(out_);
    beforeValue(piece);
    addNumber(piece, v);
}

void JsonTextWriter::value(std::string_view text) {
    {
        JsonTextPiece piece(out_);
        beforeValue(piece);
    }
    out_ += nlohmann::json(std::string(text)).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void JsonTextWriter::null() {
    JsonTextPiece piece(out_);
    beforeValue(piece);
    piece.add("null");
}

void JsonTextWriter::open(char bracket) {
    JsonTextPiece piece(out_);
    beforeValue(piece);
    piece.add(bracket);
    levelEmpty_.push_back(true);
}

void JsonTextWriter::close(char bracket) {
    if (levelEmpty_.empty()) return;
    const bool empty = levelEmpty_.back();
    levelEmpty_.pop_back();
    JsonTextPiece piece(out_);
    if (!empty) {
        piece.add('\n');
        piece.spaces(2 * levelEmpty_.size());
    }
    piece.add(bracket);
}

// Called before anything that takes a place in the current container: a member's name,
// or an element of an array. A value after its name takes the name's place.
void JsonTextWriter::beforeValue(JsonTextPiece& piece) {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (levelEmpty_.empty()) return;
    if (!levelEmpty_.back()) piece.add(',');
    levelEmpty_.back() = false;
    piece.add('\n');
    piece.spaces(2 * levelEmpty_.size());
}

}  // namespace tessarin::cli
