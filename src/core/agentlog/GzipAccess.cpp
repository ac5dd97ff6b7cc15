#include "agentlog/GzipAccess.h"

#include <zlib.h>

#include <algorithm>
#include <array>

namespace tessarin::agentlog {

namespace {

constexpr std::size_t kInputChunk = 64 * 1024;

std::vector<unsigned char> deflateWindow(const unsigned char* data, std::size_t size) {
    uLongf length = compressBound(static_cast<uLong>(size));
    std::vector<unsigned char> packed(length);
    if (compress2(packed.data(), &length, data, static_cast<uLong>(size), 1) != Z_OK) return {};
    packed.resize(length);
    packed.shrink_to_fit();
    return packed;
}

// Feeds a raw inflate from the source, from a given file offset on.
struct Input {
    Input(const ByteSource& from, std::uint64_t offset) : source(from), next(offset) {}

    const ByteSource& source;
    std::uint64_t next;
    // Not cleared: refill() writes what it hands to the stream.
    std::array<unsigned char, kInputChunk> buffer;

    // Refills the stream's input when it is empty; false when the file has no more bytes.
    bool refill(z_stream& strm) {
        if (strm.avail_in > 0) return true;
        const std::int64_t got = source.readAt(next, buffer.data(), buffer.size());
        if (got <= 0) return false;
        next += static_cast<std::uint64_t>(got);
        strm.next_in = buffer.data();
        strm.avail_in = static_cast<uInt>(got);
        return true;
    }
    // Drops n input bytes (a member's trailer).
    bool skip(z_stream& strm, std::size_t n) {
        while (n > 0) {
            if (!refill(strm)) return false;
            const std::size_t step = std::min<std::size_t>(n, strm.avail_in);
            strm.next_in += step;
            strm.avail_in -= static_cast<uInt>(step);
            n -= step;
        }
        return true;
    }
};

}  // namespace

void GzipAccess::add(std::uint64_t out, std::uint64_t in, int bits, const unsigned char* window,
                     std::size_t windowSize) {
    GzipPoint point;
    point.out = out;
    point.in = in;
    point.bits = bits;
    if (windowSize > kDeflateWindow) {
        window += windowSize - kDeflateWindow;
        windowSize = kDeflateWindow;
    }
    if (windowSize > 0) {
        point.window = deflateWindow(window, windowSize);
        point.windowSize = point.window.empty() ? 0 : windowSize;
    }
    const std::size_t bytes = sizeof(GzipPoint) + point.window.capacity();
    std::lock_guard lock(mutex_);
    memory_ += bytes;
    points_.push_back(std::move(point));
}

std::size_t GzipAccess::pointCount() const {
    std::lock_guard lock(mutex_);
    return points_.size();
}

std::size_t GzipAccess::memoryBytes() const {
    std::lock_guard lock(mutex_);
    return memory_ + (points_.capacity() - points_.size()) * sizeof(GzipPoint);
}

std::uint64_t GzipAccess::lastOut() const {
    std::lock_guard lock(mutex_);
    return points_.empty() ? 0 : points_.back().out;
}

bool GzipAccess::read(const ByteSource& source, std::uint64_t offset, std::size_t len, std::string& out,
                      std::string& error) const {
    out.clear();
    GzipPoint point;
    {
        std::lock_guard lock(mutex_);
        auto it = std::upper_bound(points_.begin(), points_.end(), offset,
                                   [](std::uint64_t value, const GzipPoint& p) { return value < p.out; });
        if (it == points_.begin()) {
            error = "no restart point before the offset";
            return false;
        }
        point = *std::prev(it);
    }
    std::vector<unsigned char> window(point.windowSize);
    if (point.windowSize > 0) {
        uLongf length = static_cast<uLongf>(window.size());
        if (uncompress(window.data(), &length, point.window.data(), static_cast<uLong>(point.window.size())) != Z_OK ||
            length != window.size()) {
            error = "damaged restart point";
            return false;
        }
    }

    z_stream strm{};
    if (inflateInit2(&strm, -15) != Z_OK) {
        error = "out of memory";
        return false;
    }
    struct End {
        z_stream& s;
        ~End() { inflateEnd(&s); }
    } end{strm};
    Input input{source, point.in - (point.bits ? 1 : 0)};
    if (point.bits) {
        unsigned char byte = 0;
        if (source.readAt(point.in - 1, &byte, 1) != 1) {
            error = "cannot read the compressed file";
            return false;
        }
        input.next = point.in;
        inflatePrime(&strm, point.bits, byte >> (8 - point.bits));
    }
    if (!window.empty()) inflateSetDictionary(&strm, window.data(), static_cast<uInt>(window.size()));

    std::uint64_t skip = offset - point.out;
    std::array<unsigned char, 64 * 1024> scratch;  // written by inflate before it is read
    // The span asked for may reach far beyond the end of the text (a reader's cache asks
    // for half a megabyte of a log that may hold a few kilobytes): room for the first
    // scratchful, and the string grows with what is really there.
    out.reserve(std::min(len, scratch.size()));
    while (out.size() < len) {
        if (!input.refill(strm)) {
            // A cut-off file still gives what it holds from the offset on.
            error = "the compressed stream is cut off";
            return skip == 0;
        }
        const bool discarding = skip > 0;
        const std::size_t room = discarding ? static_cast<std::size_t>(std::min<std::uint64_t>(skip, scratch.size()))
                                            : std::min<std::size_t>(len - out.size(), scratch.size());
        strm.next_out = scratch.data();
        strm.avail_out = static_cast<uInt>(room);
        const uInt availIn = strm.avail_in;
        const int ret = inflate(&strm, Z_NO_FLUSH);
        const std::size_t produced = room - strm.avail_out;
        if (ret == Z_BUF_ERROR && produced == 0 && strm.avail_in == availIn) {
            error = "damaged compressed stream";
            return skip == 0;
        }
        if (discarding) {
            skip -= produced;
        } else {
            out.append(reinterpret_cast<const char*>(scratch.data()), produced);
        }
        if (ret == Z_STREAM_END) {
            // The end of one member: its 8-byte trailer, then perhaps another member,
            // whose own header the reset inflate reads.
            if (!input.skip(strm, 8) || !input.refill(strm)) return true;
            if (inflateReset2(&strm, 15 + 16) != Z_OK) return true;
            continue;
        }
        if (ret != Z_OK && ret != Z_BUF_ERROR) {
            error = strm.msg ? strm.msg : "damaged compressed stream";
            return skip == 0;
        }
    }
    return true;
}

}  // namespace tessarin::agentlog
