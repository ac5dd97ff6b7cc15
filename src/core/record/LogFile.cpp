#include "record/LogFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tessarin {

namespace {

constexpr std::uint8_t kGzipMagic0 = 0x1f;
constexpr std::uint8_t kGzipMagic1 = 0x8b;
// zlib's window bits for a gzip wrapper (15 bits of window, +16 selects gzip).
constexpr int kGzipWindowBits = 15 + 16;
constexpr int kCompressionLevel = 6;

std::string zlibText(const z_stream& stream, int code) {
    if (stream.msg != nullptr) return stream.msg;
    return "zlib error " + std::to_string(code);
}

}  // namespace

// The inflating side of a compressed file: raw bytes in `input` (or straight from the
// memory source), inflated into the file's buffer. Several gzip members one after
// another read as one stream.
struct LogFile::Inflater {
    z_stream stream{};
    std::vector<std::uint8_t> input;  // raw bytes read from a descriptor
    bool inMember = true;             // inside a gzip member whose end has not been seen yet
    bool initialised = false;

    Inflater() { initialised = inflateInit2(&stream, kGzipWindowBits) == Z_OK; }
    ~Inflater() {
        if (initialised) inflateEnd(&stream);
    }
    Inflater(const Inflater&) = delete;
    Inflater& operator=(const Inflater&) = delete;
};

// The deflating side of a file written compressed.
struct LogFile::Deflater {
    z_stream stream{};
    std::vector<std::uint8_t> output;
    bool initialised = false;
    bool finished = false;  // the end of the stream was written

    Deflater() : output(kBufferSize) {
        initialised =
            deflateInit2(&stream, kCompressionLevel, Z_DEFLATED, kGzipWindowBits, 8, Z_DEFAULT_STRATEGY) == Z_OK;
    }
    ~Deflater() {
        if (initialised) deflateEnd(&stream);
    }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;
};

LogFile::LogFile() = default;

LogFile::LogFile(const std::string& path, Mode mode) { open(path, mode); }

LogFile::~LogFile() { close(); }

void LogFile::reset() {
    close();
    error_ = 0;
    failure_.clear();
    compressed_ = false;
    sizeHint_ = 0;
    written_ = false;
    begin_ = end_ = 0;
    inflater_.reset();
    deflater_.reset();
}

void LogFile::fail(int error, std::string why) {
    if (error_ != 0) return;
    error_ = error;
    failure_ = std::move(why);
}

bool LogFile::open(const std::string& path, Mode mode) {
    reset();
    mode_ = mode;
    // A read never blocks in open(): a FIFO without a writer would hold the open (and
    // so the load) for ever. Only regular files are read.
    // Neither does a write: a FIFO is refused (see keepRegularFileOnly).
    int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC;
    if (mode == Mode::Write) flags = O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC;
    if (mode == Mode::CreateNew) flags = O_WRONLY | O_CREAT | O_EXCL | O_NONBLOCK | O_CLOEXEC;
    do {
        fd_ = ::open(path.c_str(), flags, 0644);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) {
        error_ = errno;
        return false;
    }
    if (!keepRegularFileOnly()) return false;
    buffer_.resize(kBufferSize);
    if (mode == Mode::Read) detectCompression();
    return true;
}

bool LogFile::keepRegularFileOnly() {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        error_ = errno;
    } else if (!S_ISREG(st.st_mode) && !(mode_ != Mode::Read && S_ISCHR(st.st_mode))) {
        error_ = S_ISDIR(st.st_mode) ? EISDIR : kNotRegularFileError;
    } else {
        sizeHint_ = static_cast<std::uint64_t>(st.st_size);
        const int flags = ::fcntl(fd_, F_GETFL);
        if (flags >= 0 && ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) == 0) return true;
        error_ = errno;
    }
    ::close(fd_);
    fd_ = -1;
    return false;
}

bool LogFile::startCompression() {
    if (fd_ < 0 || mode_ == Mode::Read || error_ != 0 || written_ || deflater_) return false;
    deflater_ = std::make_unique<Deflater>();
    compressed_ = true;
    if (deflater_->initialised) return true;
    fail(ENOMEM, "cannot start the compressor");
    return false;
}

bool LogFile::openMemory(const std::uint8_t* data, std::size_t size) {
    reset();
    mode_ = Mode::Read;
    static const std::uint8_t kEmpty = 0;
    memory_ = data != nullptr ? data : &kEmpty;
    memorySize_ = data != nullptr ? size : 0;
    memoryPos_ = 0;
    sizeHint_ = memorySize_;
    // A small buffer is read in few steps; only inflating needs the full one.
    buffer_.resize(std::clamp<std::size_t>(memorySize_, 2, kBufferSize));
    detectCompression();
    if (inflater_) buffer_.resize(kBufferSize);
    return true;
}

std::size_t LogFile::readRaw(std::uint8_t* out, std::size_t n) {
    if (memory_ != nullptr) {
        const std::size_t take = std::min(n, memorySize_ - memoryPos_);
        std::memcpy(out, memory_ + memoryPos_, take);
        memoryPos_ += take;
        return take;
    }
    for (;;) {
        const ssize_t got = ::read(fd_, out, n);
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) {
            fail(errno, std::string());
            return 0;
        }
    }
}

void LogFile::detectCompression() {
    // Gather at least the two bytes of the magic (a short read can return fewer).
    while (end_ < 2) {
        const std::size_t got = readRaw(buffer_.data() + end_, buffer_.size() - end_);
        if (got == 0) break;
        end_ += got;
    }
    if (end_ < 2 || buffer_[0] != kGzipMagic0 || buffer_[1] != kGzipMagic1) return;
    inflater_ = std::make_unique<Inflater>();
    compressed_ = true;
    readGzipLength();
    if (!inflater_->initialised) {
        fail(ENOMEM, "cannot start the decompressor");
        return;
    }
    if (memory_ != nullptr) {
        // Inflate straight from memory, from its first byte again.
        memoryPos_ = 0;
    } else {
        inflater_->input.resize(kBufferSize);
        std::memcpy(inflater_->input.data(), buffer_.data(), end_);
        inflater_->stream.next_in = inflater_->input.data();
        inflater_->stream.avail_in = static_cast<uInt>(end_);
    }
    begin_ = end_ = 0;
}

void LogFile::readGzipLength() {
    // The last four bytes of a gzip member hold its inflated length, little-endian.
    std::uint8_t tail[4] = {0, 0, 0, 0};
    bool got = false;
    if (sizeHint_ >= 18 && memory_ != nullptr) {
        std::memcpy(tail, memory_ + memorySize_ - 4, 4);
        got = true;
    } else if (sizeHint_ >= 18 && fd_ >= 0) {
        got = ::pread(fd_, tail, 4, static_cast<off_t>(sizeHint_ - 4)) == 4;
    }
    if (!got) return;
    const std::uint64_t length = std::uint64_t{tail[0]} | (std::uint64_t{tail[1]} << 8) |
                                 (std::uint64_t{tail[2]} << 16) | (std::uint64_t{tail[3]} << 24);
    sizeHint_ = std::max(sizeHint_, length);
}

bool LogFile::refillInflated() {
    Inflater& in = *inflater_;
    z_stream& z = in.stream;
    while (end_ == 0) {
        if (z.avail_in == 0) {
            std::size_t got = 0;
            if (memory_ != nullptr) {
                got = std::min<std::size_t>(memorySize_ - memoryPos_, 1u << 30);
                z.next_in = const_cast<Bytef*>(memory_ + memoryPos_);  // zlib only reads through next_in
                memoryPos_ += got;
            } else {
                got = readRaw(in.input.data(), in.input.size());
                z.next_in = in.input.data();
            }
            if (got == 0) {
                if (error_ == 0 && in.inMember) fail(EIO, "the compressed data ends early");
                return false;
            }
            z.avail_in = static_cast<uInt>(got);
        }
        if (!in.inMember) {
            // Another gzip member may follow the last; anything else is not ours to read.
            if (z.next_in[0] != kGzipMagic0) {
                fail(EIO, "unexpected data after the compressed stream");
                return false;
            }
            inflateReset(&z);
            in.inMember = true;
        }
        z.next_out = buffer_.data();
        z.avail_out = static_cast<uInt>(buffer_.size());
        const int rc = inflate(&z, Z_NO_FLUSH);
        end_ = buffer_.size() - z.avail_out;
        if (rc == Z_STREAM_END) {
            in.inMember = false;
        } else if (rc != Z_OK && rc != Z_BUF_ERROR) {
            fail(EIO, "the compressed data is corrupt (" + zlibText(z, rc) + ")");
            return end_ > 0;
        }
    }
    return true;
}

bool LogFile::refill() {
    if (!isOpen() || mode_ != Mode::Read || error_ != 0) return false;
    begin_ = end_ = 0;
    if (inflater_) return refillInflated();
    end_ = readRaw(buffer_.data(), buffer_.size());
    return end_ > 0;
}

std::size_t LogFile::read(void* out, std::size_t n) {
    auto* dst = static_cast<std::uint8_t*>(out);
    std::size_t done = 0;
    while (done < n) {
        if (begin_ == end_ && !refill()) break;
        const std::size_t take = std::min(n - done, end_ - begin_);
        std::memcpy(dst + done, buffer_.data() + begin_, take);
        begin_ += take;
        done += take;
    }
    return done;
}

std::size_t LogFile::skip(std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
        if (begin_ == end_ && !refill()) break;
        const std::size_t take = std::min(n - done, end_ - begin_);
        begin_ += take;
        done += take;
    }
    return done;
}

bool LogFile::atEnd() {
    if (mode_ != Mode::Read) return true;
    return begin_ == end_ && !refill();
}

bool LogFile::writeRaw(const std::uint8_t* bytes, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
        const ssize_t put = ::write(fd_, bytes + done, n - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            fail(errno, std::string());
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    return true;
}

bool LogFile::flush(bool finish) {
    const std::size_t pending = end_;
    end_ = 0;
    if (!deflater_) return writeRaw(buffer_.data(), pending);
    if (deflater_->finished) {
        if (pending == 0) return true;
        fail(EIO, "written after the end of the compressed stream");
        return false;
    }
    z_stream& z = deflater_->stream;
    z.next_in = buffer_.data();
    z.avail_in = static_cast<uInt>(pending);
    for (;;) {
        z.next_out = deflater_->output.data();
        z.avail_out = static_cast<uInt>(deflater_->output.size());
        const int rc = deflate(&z, finish ? Z_FINISH : Z_NO_FLUSH);
        if (rc == Z_STREAM_ERROR) {
            fail(EIO, "the compressor failed");
            return false;
        }
        const std::size_t produced = deflater_->output.size() - z.avail_out;
        if (!writeRaw(deflater_->output.data(), produced)) return false;
        // Without finishing, a full output buffer means more output may be pending.
        if (finish && rc == Z_STREAM_END) {
            deflater_->finished = true;
            return true;
        }
        if (!finish && z.avail_out != 0) return true;
    }
}

bool LogFile::write(const void* bytes, std::size_t n) {
    if (fd_ < 0 || mode_ == Mode::Read || error_ != 0) return false;
    written_ = true;
    const auto* src = static_cast<const std::uint8_t*>(bytes);
    while (n > 0) {
        if (end_ == buffer_.size() && !flush(false)) return false;
        const std::size_t take = std::min(n, buffer_.size() - end_);
        std::memcpy(buffer_.data() + end_, src, take);
        end_ += take;
        src += take;
        n -= take;
    }
    return true;
}

bool LogFile::writeBe16(std::uint16_t value) {
    const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(value >> 8), static_cast<std::uint8_t>(value)};
    return write(bytes, sizeof bytes);
}

bool LogFile::sync() {
    if (fd_ < 0 || mode_ == Mode::Read || error_ != 0) return false;
    if (!flush(true)) return false;
    while (::fsync(fd_) != 0) {
        if (errno == EINTR) continue;
        fail(errno, std::string());
        return false;
    }
    return true;
}

bool LogFile::close() {
    if (memory_ != nullptr) {
        memory_ = nullptr;
        memorySize_ = memoryPos_ = 0;
    }
    if (fd_ >= 0) {
        if (mode_ != Mode::Read && error_ == 0) {
            // A compressed file ends with what is pending and the end of the gzip stream.
            flush(true);
        }
        if (::close(fd_) != 0 && error_ == 0) error_ = errno;
        fd_ = -1;
    }
    begin_ = end_ = 0;
    buffer_.clear();
    buffer_.shrink_to_fit();
    inflater_.reset();
    deflater_.reset();
    return error_ == 0;
}

}  // namespace tessarin
