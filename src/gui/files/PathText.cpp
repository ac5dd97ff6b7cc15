#include "files/PathText.h"

#include <iterator>

namespace tessarin {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;  // + a byte 0x80..0xFF that is not part of UTF-8

// Length of the well-formed UTF-8 sequence at `at` and its code point, or 0.
std::size_t utf8Sequence(std::string_view bytes, std::size_t at, char32_t& codePoint) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        codePoint = lead;
        return 1;
    }
    // Sequences of two, three and four bytes: lead pattern, payload bits, smallest code point.
    struct Form {
        unsigned char mask, pattern, payload;
        char32_t minimum;
    };
    constexpr Form kForms[] = {{0xE0, 0xC0, 0x1F, 0x80}, {0xF0, 0xE0, 0x0F, 0x800}, {0xF8, 0xF0, 0x07, 0x10000}};
    std::size_t length = 0;
    char32_t minimum = 0;
    for (std::size_t f = 0; f < std::size(kForms); ++f) {
        if ((lead & kForms[f].mask) == kForms[f].pattern) {
            length = f + 2;
            codePoint = lead & kForms[f].payload;
            minimum = kForms[f].minimum;
        }
    }
    if (length == 0) return 0;
    if (at + length > bytes.size()) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (byte(at + i) & 0x3F);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < minimum || codePoint > 0x10FFFF || surrogate) return 0;
    return length;
}

}  // namespace

QString pathText(std::string_view bytes) {
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (std::size_t at = 0; at < bytes.size();) {
        char32_t codePoint = 0;
        const std::size_t length = utf8Sequence(bytes, at, codePoint);
        if (length == 0) {
            text += QChar(static_cast<char16_t>(kEscapeBase + static_cast<unsigned char>(bytes[at])));
            ++at;
            continue;
        }
        if (QChar::requiresSurrogates(codePoint)) {
            text += QChar(QChar::highSurrogate(codePoint));
            text += QChar(QChar::lowSurrogate(codePoint));
        } else {
            text += QChar(static_cast<char16_t>(codePoint));
        }
        at += length;
    }
    return text;
}

std::string pathBytes(const QString& text) {
    std::string bytes;
    qsizetype runStart = 0;
    const auto flushRun = [&](qsizetype end) {
        if (end > runStart) bytes += QStringView(text).mid(runStart, end - runStart).toUtf8().toStdString();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        const bool escaped =
            unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF && !(i > 0 && text[i - 1].isHighSurrogate());
        if (!escaped) continue;
        flushRun(i);
        bytes += static_cast<char>(unit - kEscapeBase);
        runStart = i + 1;
    }
    flushRun(text.size());
    return bytes;
}

}  // namespace tessarin
