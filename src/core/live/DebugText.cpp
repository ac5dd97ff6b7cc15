#include "live/DebugText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace tessarin {

namespace {

// A cursor over the text with the scanf-like reads the grammar needs. Every read skips
// leading blanks first and fails without moving past the end.
class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    bool literal(std::string_view word) {
        skipBlanks();
        if (text_.substr(pos_, word.size()) != word) return false;
        pos_ += word.size();
        return true;
    }
    std::optional<int> integer() {
        skipBlanks();
        skipPlus();
        int value = 0;
        const char* first = text_.data() + pos_;
        const auto [end, error] = std::from_chars(first, text_.data() + text_.size(), value);
        if (error != std::errc{}) return std::nullopt;
        pos_ += static_cast<std::size_t>(end - first);
        return value;
    }
    std::optional<double> real() {
        skipBlanks();
        skipPlus();
        double value = 0;
        const char* first = text_.data() + pos_;
        const auto [end, error] =
            std::from_chars(first, text_.data() + text_.size(), value, std::chars_format::general);
        if (error != std::errc{} || !std::isfinite(value)) return std::nullopt;
        pos_ += static_cast<std::size_t>(end - first);
        return value;
    }
    std::optional<char> character() {
        skipBlanks();
        if (pos_ >= text_.size()) return std::nullopt;
        return text_[pos_++];
    }
    // The next run of non-blank characters, up to `limit` kept.
    std::optional<std::string> token(std::size_t limit) {
        skipBlanks();
        const std::size_t start = pos_;
        while (pos_ < text_.size() && !blank(text_[pos_])) ++pos_;
        if (pos_ == start) return std::nullopt;
        return std::string(text_.substr(start, std::min(limit, pos_ - start)));
    }
    // Moves back to a position taken with mark().
    std::size_t mark() const { return pos_; }
    void reset(std::size_t position) { pos_ = position; }

private:
    static bool blank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
    void skipBlanks() {
        while (pos_ < text_.size() && blank(text_[pos_])) ++pos_;
    }
    void skipPlus() {
        if (pos_ + 1 < text_.size() && text_[pos_] == '+' && text_[pos_ + 1] != '-') ++pos_;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

int count(std::optional<int> value) { return value && *value > 0 ? *value : 0; }

std::optional<DebugNamedPoint> namedPoint(Reader& in) {
    DebugNamedPoint point;
    auto name = in.token(kMaxDebugNameLength);
    if (!name) return std::nullopt;
    // The name ends where its point begins, when they are not parted by a blank.
    if (const auto open = name->find('('); open != std::string::npos && open > 0) {
        return std::nullopt;
    }
    point.name = std::move(*name);
    if (!in.literal("(")) return std::nullopt;
    const auto x = in.real();
    if (!x || !in.literal(",")) return std::nullopt;
    const auto y = in.real();
    if (!y || !in.literal(")")) return std::nullopt;
    point.x = *x;
    point.y = *y;
    const std::size_t before = in.mark();
    if (in.literal("tm")) {
        const auto number = in.real();
        if (number && *number >= 0 && *number <= 100) {
            point.teammate = static_cast<int>(*number);
        } else {
            in.reset(before);
        }
    }
    return point;
}

}  // namespace

DebugDrawing parseDebugText(std::string_view text) {
    if (const auto nul = text.find('\0'); nul != std::string_view::npos) text = text.substr(0, nul);
    DebugDrawing drawing;
    Reader in(text);
    if (!in.literal("(debug")) return drawing;
    const int targets = count(in.integer());
    const auto empty1 = in.integer();
    const auto empty2 = in.integer();
    const auto markings = in.integer();
    if (!empty1 || !empty2 || !markings) return drawing;
    for (int i = 0; i < targets; ++i) {
        DebugTargetPoint t;
        const auto number = in.integer();
        const auto x = number ? in.real() : std::nullopt;
        const auto y = x ? in.real() : std::nullopt;
        const auto value = y ? in.real() : std::nullopt;
        if (!value) return drawing;
        t.number = *number;
        t.x = *x;
        t.y = *y;
        t.value = *value;
        if (drawing.targets.size() < kMaxDebugItems) drawing.targets.push_back(t);
    }
    for (int i = 0; i < count(markings); ++i) {
        DebugMarking m;
        const auto own = in.integer();
        const auto other = own ? in.integer() : std::nullopt;
        const auto label = other ? in.character() : std::nullopt;
        if (!label) return drawing;
        m.own = *own;
        m.other = *other;
        m.label = *label;
        if (drawing.markings.size() < kMaxDebugItems) drawing.markings.push_back(m);
    }
    drawing.point = namedPoint(in);
    return drawing;
}

}  // namespace tessarin
