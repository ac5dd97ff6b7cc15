#include "record/JsonElementScanner.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "record/LogFile.h"

namespace tessarin {

namespace {

constexpr std::size_t kReadChunk = 64 << 10;

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The bytes that the scanner must look at one by one: outside strings those that open or
// close a string, an object or an array, and line ends; inside strings the quote, the
// backslash, control characters and every byte that is not ASCII.
constexpr std::array<bool, 256> specialBytes(bool inString) {
    std::array<bool, 256> special{};
    if (inString) {
        for (int b = 0; b < 0x20; ++b) special[static_cast<std::size_t>(b)] = true;
        for (int b = 0x80; b < 0x100; ++b) special[static_cast<std::size_t>(b)] = true;
        special['"'] = special['\\'] = true;
    } else {
        for (const char c : {'"', '{', '[', '}', ']', '\n'}) special[static_cast<unsigned char>(c)] = true;
    }
    return special;
}
constexpr std::array<bool, 256> kSpecialOutside = specialBytes(false);
constexpr std::array<bool, 256> kSpecialInString = specialBytes(true);

}  // namespace

void JsonElementScanner::start(LogFile& file, std::string_view opening) {
    file_ = &file;
    const std::size_t size = kMaxElementLength + 2 * kReadChunk + opening.size();
    if (buffer_.size() < size) buffer_.resize(size);
    std::memcpy(buffer_.data(), opening.data(), opening.size());
    filled_ = opening.size();
    pos_ = start_ = scanned_ = firstNewline_ = 0;
    eof_ = ended_ = false;
    depth_ = 0;
    inString_ = escaped_ = false;
    utf8Have_ = utf8Need_ = 0;
    element_.clear();
    why_.clear();
    index_ = 0;
    trailingText_ = cutElement_ = false;
    replacedBytes_ = 0;
}

bool JsonElementScanner::fill() {
    // Keeps the element being scanned, or from pos_ between elements.
    const std::size_t keep = std::min(start_, pos_);
    if (keep > 0) {
        std::memmove(buffer_.data(), buffer_.data() + keep, filled_ - keep);
        filled_ -= keep;
        pos_ -= keep;
        start_ -= keep;
    }
    if (eof_ || filled_ == buffer_.size()) return false;
    const std::size_t want = std::min(kReadChunk, buffer_.size() - filled_);
    const std::size_t got = file_->read(buffer_.data() + filled_, want);
    filled_ += got;
    if (got < want) eof_ = true;
    return got > 0;
}

bool JsonElementScanner::skipLine(std::size_t from) {
    pos_ = from;
    start_ = pos_;
    for (;;) {
        const void* nl = std::memchr(buffer_.data() + pos_, '\n', filled_ - pos_);
        if (nl != nullptr) {
            pos_ = static_cast<std::size_t>(static_cast<const char*>(nl) - buffer_.data()) + 1;
            start_ = pos_;
            return true;
        }
        pos_ = start_ = filled_;
        if (!fill()) return false;
    }
}

void JsonElementScanner::rejectElement() {
    if (firstNewline_ != 0) pos_ = start_ + firstNewline_ + 1;
}

JsonElementScanner::Step JsonElementScanner::next() {
    element_.clear();
    why_.clear();
    for (;;) {
        while (pos_ < filled_ && (isSpace(buffer_[pos_]) || (!ended_ && buffer_[pos_] == ','))) ++pos_;
        start_ = pos_;
        if (pos_ == filled_) {
            if (fill()) continue;
            if (ended_) return Step::End;
            cutElement_ = false;
            return Step::Cut;
        }
        const char c = buffer_[pos_];
        if (ended_) {
            // Something after the closing bracket: not part of this game.
            trailingText_ = true;
            pos_ = start_ = filled_;
            while (fill()) pos_ = start_ = filled_;
            return Step::End;
        }
        if (c == ']') {
            ended_ = true;
            ++pos_;
            continue;
        }
        ++index_;
        if (c != '{' && c != '[') {
            why_ = "not an object";
            skipLine(pos_);
            return Step::Damaged;
        }
        scanned_ = 0;
        firstNewline_ = 0;
        depth_ = 0;
        inString_ = escaped_ = false;
        utf8Have_ = utf8Need_ = 0;
        for (;;) {
            const Scan scan = scanElement();
            if (scan == Scan::Complete) {
                pos_ = start_ + scanned_;
                return Step::Element;
            }
            if (scan == Scan::NeedMore) {
                if (fill()) continue;
                cutElement_ = true;
                return Step::Cut;
            }
            why_ = scan == Scan::TooLong ? "longer than " + std::to_string(kMaxElementLength) + " bytes"
                                         : "nested deeper than " + std::to_string(kMaxDepth) + " levels";
            element_.clear();
            if (firstNewline_ != 0) {
                pos_ = start_ + firstNewline_ + 1;
            } else {
                skipLine(start_ + scanned_);
            }
            return Step::Damaged;
        }
    }
}

JsonElementScanner::Scan JsonElementScanner::scanElement() {
    const char* data = buffer_.data() + start_;
    const std::size_t available = std::min(filled_ - start_, kMaxElementLength);
    std::size_t i = scanned_;
    while (i < available) {
        // Most bytes are copied as they are: a run of them at a time.
        const std::size_t run = i;
        if (!inString_) {
            while (i < available && !kSpecialOutside[static_cast<unsigned char>(data[i])]) ++i;
        } else if (utf8Need_ == 0 && !escaped_) {
            while (i < available && !kSpecialInString[static_cast<unsigned char>(data[i])]) ++i;
        }
        element_.append(data + run, i - run);
        if (i == available) break;
        const auto byte = static_cast<unsigned char>(data[i++]);
        if (byte == '\n' && firstNewline_ == 0) firstNewline_ = i - 1;
        if (inString_) {
            stringByte(byte);
            continue;
        }
        element_.push_back(static_cast<char>(byte));
        if (byte == '"') {
            inString_ = true;
        } else if (byte == '{' || byte == '[') {
            if (++depth_ > kMaxDepth) {
                scanned_ = i;
                return Scan::TooDeep;
            }
        } else if (byte == '}' || byte == ']') {
            if (--depth_ == 0) {
                scanned_ = i;
                return Scan::Complete;
            }
        }
    }
    scanned_ = i;
    if (i == kMaxElementLength && filled_ - start_ > kMaxElementLength) return Scan::TooLong;
    return Scan::NeedMore;
}

void JsonElementScanner::flushBadSequence() {
    element_.append(static_cast<std::size_t>(utf8Have_), '?');
    replacedBytes_ += static_cast<std::size_t>(utf8Have_);
    utf8Have_ = utf8Need_ = 0;
}

void JsonElementScanner::stringByte(unsigned char byte) {
    if (utf8Need_ > 0) {
        if (byte >= utf8Low_ && byte <= utf8High_) {
            utf8Pending_[utf8Have_++] = byte;
            utf8Low_ = 0x80;
            utf8High_ = 0xbf;
            if (--utf8Need_ == 0) {
                element_.append(reinterpret_cast<const char*>(utf8Pending_), static_cast<std::size_t>(utf8Have_));
                utf8Have_ = 0;
            }
            return;
        }
        // The sequence broke off: its bytes were no character; this byte starts afresh.
        flushBadSequence();
    }
    if (escaped_) {
        escaped_ = false;
        if (byte >= 0x20 && byte < 0x80) {
            element_.push_back(static_cast<char>(byte));
            return;
        }
    }
    if (byte == '"') {
        inString_ = false;
        element_.push_back('"');
    } else if (byte == '\\') {
        escaped_ = true;
        element_.push_back('\\');
    } else if (byte < 0x20) {
        static constexpr char kHex[] = "0123456789abcdef";
        const char escape[] = {'\\', 'u', '0', '0', kHex[byte >> 4], kHex[byte & 0xf]};
        element_.append(escape, sizeof escape);
    } else if (byte < 0x80) {
        element_.push_back(static_cast<char>(byte));
    } else {
        // The lead byte of a multi-byte character sets how many continuation bytes follow
        // and, against overlong forms and surrogates, the range of the first of them.
        utf8Low_ = 0x80;
        utf8High_ = 0xbf;
        if (byte >= 0xc2 && byte <= 0xdf) {
            utf8Need_ = 1;
        } else if (byte >= 0xe0 && byte <= 0xef) {
            utf8Need_ = 2;
            if (byte == 0xe0) utf8Low_ = 0xa0;
            if (byte == 0xed) utf8High_ = 0x9f;
        } else if (byte >= 0xf0 && byte <= 0xf4) {
            utf8Need_ = 3;
            if (byte == 0xf0) utf8Low_ = 0x90;
            if (byte == 0xf4) utf8High_ = 0x8f;
        } else {
            element_.push_back('?');
            ++replacedBytes_;
            return;
        }
        utf8Pending_[0] = byte;
        utf8Have_ = 1;
    }
}

}  // namespace tessarin
