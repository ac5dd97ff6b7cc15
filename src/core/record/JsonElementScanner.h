#pragma once

// Splits the top-level array of a JSON game log into its elements, one at a time, so
// that no more than one element is ever held in memory however long the game.
//
// The server writes strings with C++ stream quoting, which escapes only quotes and
// backslashes: a message may hold raw control characters, and the bytes a client sent
// need not be UTF-8. A JSON parser rejects both, so inside strings the scanner writes
// control characters as \u00XX escapes and replaces each byte that is not part of valid
// UTF-8 with '?' (counted), and an element the server wrote is valid JSON again.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tessarin {

class LogFile;

class JsonElementScanner final {
public:
    // The longest element kept (a show takes some 7 KiB, the server parameters some
    // 12 KiB); a longer one is skipped as damaged.
    static constexpr std::size_t kMaxElementLength = 256 << 10;
    // The deepest nesting of objects and arrays in an element (a show needs 4).
    static constexpr int kMaxDepth = 32;

    enum class Step {
        Element,  // element() holds the next element
        Damaged,  // bytes that are no element were skipped; why() says what they were
        End,      // the array's closing ']' was read; trailingText() says whether more followed
        Cut,      // the file ended before the closing ']'; cutElement() says whether inside an element
    };

    // Starts reading `file` from just after its opening: `opening` are the bytes of the
    // first element that reading the header took (they are scanned first). The buffers
    // are kept from one file to the next, so a load does not allocate them again.
    void start(LogFile& file, std::string_view opening);

    Step next();

    // The element found by the last next(), cleaned as said above.
    const std::string& element() const { return element_; }
    // Ordinal of the last element or damaged stretch in the array, from 1.
    std::size_t index() const { return index_; }
    const std::string& why() const { return why_; }
    bool trailingText() const { return trailingText_; }
    bool cutElement() const { return cutElement_; }
    // Bytes replaced with '?' because they were not UTF-8.
    std::size_t replacedBytes() const { return replacedBytes_; }

    // The last element could not be read: when it spanned lines, a bracket may be
    // missing and it may have swallowed the elements after it, so scanning goes on at
    // the line after its first (the server writes one element a line).
    void rejectElement();

private:
    enum class Scan { Complete, NeedMore, TooLong, TooDeep };

    // Scans the element that starts at start_ from scanned_ on, appending to element_.
    Scan scanElement();
    // Appends one byte that sits inside a string.
    void stringByte(unsigned char byte);
    void flushBadSequence();
    // Makes room and reads more; false at the end of the file.
    bool fill();
    // Skips to just after the next newline at or after `from`; false at the end of the file.
    bool skipLine(std::size_t from);

    LogFile* file_ = nullptr;
    std::vector<char> buffer_;
    std::size_t filled_ = 0;
    std::size_t pos_ = 0;           // next byte to look at between elements
    std::size_t start_ = 0;         // first byte of the element being scanned
    std::size_t scanned_ = 0;       // bytes of it scanned so far
    std::size_t firstNewline_ = 0;  // offset from start_ of its first newline, 0 for none
    bool eof_ = false;
    bool ended_ = false;  // the closing ']' was read

    // The state of the element being scanned.
    int depth_ = 0;
    bool inString_ = false;
    bool escaped_ = false;
    unsigned char utf8Pending_[4] = {0, 0, 0, 0};  // a multi-byte sequence not yet complete
    int utf8Have_ = 0;
    int utf8Need_ = 0;
    unsigned char utf8Low_ = 0x80;  // range of the next continuation byte
    unsigned char utf8High_ = 0xbf;

    std::string element_;
    std::string why_;
    std::size_t index_ = 0;
    bool trailingText_ = false;
    bool cutElement_ = false;
    std::size_t replacedBytes_ = 0;
};

}  // namespace tessarin
