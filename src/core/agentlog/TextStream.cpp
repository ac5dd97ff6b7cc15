#include "agentlog/TextStream.h"

#include <algorithm>

namespace tessarin::agentlog {

namespace {

constexpr std::size_t kPiece = 1 << 20;
constexpr std::size_t kInput = 256 * 1024;
// Restart points lie at least this far apart in the text, and their windows take at
// most kPointShare of the compressed bytes read so far (plus kPointFloor), so that the
// points of a large file stay within a small share of it.
constexpr std::uint64_t kMinSpan = 1 << 20;
constexpr double kPointShare = 0.004;
constexpr std::size_t kPointFloor = 64 * 1024;

}  // namespace

TextStream::TextStream(const ByteSource& source, GzipAccess* points) : source_(source), points_(points) {
    gzip_ = startsWithGzipMagic(source);
    // A small file gets small buffers: a piece never needs to be larger than the file
    // (or, inflated, than a generous multiple of it).
    const std::uint64_t size = source.size();
    if (gzip_) {
        piece_ = static_cast<std::size_t>(std::clamp<std::uint64_t>(size * 16, 4096, kPiece));
        bufferSize_ = kDeflateWindow + piece_;
        buffer_ = std::make_unique_for_overwrite<unsigned char[]>(bufferSize_);
        inputSize_ = static_cast<std::size_t>(std::clamp<std::uint64_t>(size, 1, kInput));
        input_ = std::make_unique_for_overwrite<unsigned char[]>(inputSize_);
        // 15 + 32: a zlib or gzip header, detected by inflate itself.
        if (inflateInit2(&strm_, 15 + 32) != Z_OK) {
            error_ = "out of memory";
            ended_ = true;
        } else {
            inflating_ = true;
            memberOpen_ = true;
        }
    } else {
        piece_ = static_cast<std::size_t>(std::clamp<std::uint64_t>(size, 1, kPiece));
        bufferSize_ = piece_;
        buffer_ = std::make_unique_for_overwrite<unsigned char[]>(bufferSize_);
    }
}

TextStream::~TextStream() {
    if (inflating_) inflateEnd(&strm_);
}

std::string_view TextStream::next() {
    if (ended_ || stop_.stop_requested()) return {};
    return gzip_ ? nextGzip() : nextPlain();
}

std::string_view TextStream::nextPlain() {
    const std::int64_t got = source_.readAt(textOffset_, buffer_.get(), bufferSize_);
    if (got < 0) error_ = "cannot read the file";
    if (got <= 0) {
        ended_ = true;
        return {};
    }
    textOffset_ += static_cast<std::uint64_t>(got);
    return {reinterpret_cast<const char*>(buffer_.get()), static_cast<std::size_t>(got)};
}

bool TextStream::refillInput() {
    const std::int64_t got = source_.readAt(inNext_, input_.get(), inputSize_);
    if (got < 0) error_ = "cannot read the file";
    if (got <= 0) return false;
    inNext_ += static_cast<std::uint64_t>(got);
    strm_.next_in = input_.get();
    strm_.avail_in = static_cast<uInt>(got);
    return true;
}

void TextStream::considerPoint(const unsigned char* outEnd, std::size_t available) {
    const std::uint64_t here = textOffset_ + static_cast<std::uint64_t>(outEnd - (buffer_.get() + history_));
    if (havePoint_ && here - lastPoint_ < kMinSpan) return;
    const std::uint64_t in = consumed();
    if (havePoint_ && points_->memoryBytes() > kPointFloor + static_cast<std::size_t>(kPointShare * in)) return;
    const std::size_t window = std::min(available, kDeflateWindow);
    points_->add(here, in, strm_.data_type & 7, outEnd - window, window);
    lastPoint_ = here;
    havePoint_ = true;
}

std::string_view TextStream::nextGzip() {
    // Keep the last 32 KiB of text before the new piece: a restart point needs the
    // window that precedes it.
    const std::size_t have = history_ + lastPiece_;
    const std::size_t keep = std::min(have, kDeflateWindow);
    std::memmove(buffer_.get(), buffer_.get() + have - keep, keep);
    history_ = keep;
    textOffset_ += lastPiece_;
    unsigned char* const start = buffer_.get() + history_;
    strm_.next_out = start;
    strm_.avail_out = static_cast<uInt>(piece_);

    while (strm_.avail_out > 0) {
        if (strm_.avail_in == 0 && !refillInput()) {
            if (memberOpen_ && error_.empty()) error_ = "the compressed stream is cut off";
            ended_ = true;
            break;
        }
        const int ret = inflate(&strm_, Z_BLOCK);
        if (ret == Z_STREAM_END) {
            // Another member may follow; anything after the last member that is not one
            // is ignored, as gzip itself does with trailing zeros.
            memberOpen_ = false;
            unsigned char magic[2] = {0, 0};
            if (source_.readAt(consumed(), magic, 2) != 2 || magic[0] != 0x1f || magic[1] != 0x8b) {
                ended_ = true;
                break;
            }
            inflateReset(&strm_);
            memberOpen_ = true;
            continue;
        }
        if (ret != Z_OK && ret != Z_BUF_ERROR) {
            error_ = strm_.msg ? strm_.msg : "damaged compressed stream";
            ended_ = true;
            break;
        }
        // At the end of a block (or of a header), and not after the last block of a member.
        if (points_ && (strm_.data_type & 128) && !(strm_.data_type & 64)) {
            considerPoint(strm_.next_out, static_cast<std::size_t>(strm_.next_out - buffer_.get()));
        }
    }
    lastPiece_ = static_cast<std::size_t>(strm_.next_out - start);
    if (lastPiece_ == 0) ended_ = true;
    return {reinterpret_cast<const char*>(start), lastPiece_};
}

}  // namespace tessarin::agentlog
