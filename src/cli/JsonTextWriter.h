#pragma once

// JSON text written straight into a string, laid out exactly as nlohmann's
// `dump(2, ' ', false, error_handler_t::replace)` lays out the same document: members and
// elements one per line, indented by two, empty containers as "{}" and "[]", numbers as
// nlohmann writes them, non-finite numbers as null. It is for documents of a fixed shape
// that are written often (the statistics of every analysed game), where building a
// document tree first costs far more than the text itself.

#include <charconv>
#include <concepts>
#include <string>
#include <string_view>
#include <vector>

namespace tessarin::cli {

class JsonTextPiece;

class JsonTextWriter {
public:
    explicit JsonTextWriter(std::string& out) : out_(out) {}

    void beginObject() { open('{'); }
    void endObject() { close('}'); }
    void beginArray() { open('['); }
    void endArray() { close(']'); }

    // A member's name; names are the program's own, plain ASCII with nothing to escape.
    void key(std::string_view name);

    template <std::integral T>
    void value(T v) {
        char digits[24];
        const auto written = std::to_chars(digits, digits + sizeof digits, v);
        addInteger(std::string_view(digits, static_cast<std::size_t>(written.ptr - digits)));
    }
    void value(double v);
    // Texts from files go through nlohmann's own escaping: invalid UTF-8 becomes U+FFFD.
    void value(std::string_view text);
    void value(const char* text) { value(std::string_view(text)); }
    void null();

private:
    void open(char bracket);
    void close(char bracket);
    void addInteger(std::string_view digits);
    void beforeValue(JsonTextPiece& piece);

    std::string& out_;
    // Per open container, innermost last: whether nothing has been written into it yet.
    std::vector<bool> levelEmpty_;
    bool afterKey_ = false;
};

// A double as nlohmann writes it: the shortest digits that read back as the same value,
// fixed notation from 1e-4 up to below 1e15 with ".0" on whole numbers, else "1.5e+20".
// Appends "null" for NaN and the infinities.
void appendJsonNumber(std::string& out, double v);

}  // namespace tessarin::cli
