#pragma once

// Helpers of the debug-log tests: sample files, gzip in memory, a source whose reads can
// be held back.

#include <zlib.h>

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <fstream>
#include <mutex>
#include <sstream>
#include <string>

#include "agentlog/ByteSource.h"

namespace tessarin::agentlog::test {

inline std::string dataPath(const std::string& name) {
    return std::string(TESSARIN_TEST_DATA_DIR) + "/agent-debug/" + name;
}

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// One gzip member holding text, flushed into a new deflate block every `blockBytes`.
inline std::string gzipText(const std::string& text, std::size_t blockBytes = 1 << 16) {
    z_stream strm{};
    deflateInit2(&strm, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&strm, static_cast<uLong>(text.size())) + text.size() / 100 + 1024, '\0');
    strm.next_out = reinterpret_cast<Bytef*>(out.data());
    strm.avail_out = static_cast<uInt>(out.size());
    for (std::size_t pos = 0; pos < text.size() || pos == 0;) {
        const std::size_t n = std::min(blockBytes, text.size() - pos);
        strm.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data() + pos));
        strm.avail_in = static_cast<uInt>(n);
        pos += n;
        deflate(&strm, pos >= text.size() ? Z_FINISH : Z_FULL_FLUSH);
        if (pos >= text.size()) break;
    }
    out.resize(strm.total_out);
    deflateEnd(&strm);
    return out;
}

// Reads in memory, but only the first `gate` bytes until open() is called: a read that
// starts there waits, one that would cross it stops short.
class GatedSource final : public ByteSource {
public:
    GatedSource(std::string bytes, std::uint64_t gate) : bytes_(std::move(bytes)), gate_(gate) {}
    std::int64_t readAt(std::uint64_t offset, void* out, std::size_t n) const override {
        if (offset >= gate_) {
            std::unique_lock lock(mutex_);
            opened_.wait(lock, [this] { return open_; });
        } else if (!isOpen()) {
            n = std::min<std::size_t>(n, gate_ - offset);
        }
        if (offset >= bytes_.size()) return 0;
        const std::size_t count = std::min<std::size_t>(n, bytes_.size() - offset);
        std::memcpy(out, bytes_.data() + offset, count);
        return static_cast<std::int64_t>(count);
    }
    std::uint64_t size() const override { return bytes_.size(); }
    bool isOpen() const {
        std::lock_guard lock(mutex_);
        return open_;
    }
    void open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        opened_.notify_all();
    }

private:
    std::string bytes_;
    std::uint64_t gate_;
    mutable std::mutex mutex_;
    mutable std::condition_variable opened_;
    bool open_ = false;  // guarded by mutex_
};

}  // namespace tessarin::agentlog::test
