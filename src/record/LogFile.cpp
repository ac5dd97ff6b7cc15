#include "record/LogFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tessarin {

LogFile::LogFile(const std::string& path, Mode mode) { open(path, mode); }

LogFile::~LogFile() { close(); }

bool LogFile::open(const std::string& path, Mode mode) {
    close();
    mode_ = mode;
    error_ = 0;
    begin_ = end_ = 0;
    // A read never blocks in open(): a FIFO without a writer would hold the open (and
    // so the load) for ever. Only regular files are read.
    int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC;
    if (mode == Mode::Write) flags = O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC;
    if (mode == Mode::CreateNew) flags = O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC;
    do {
        fd_ = ::open(path.c_str(), flags, 0644);
    } while (fd_ < 0 && errno == EINTR);
    if (fd_ < 0) {
        error_ = errno;
        return false;
    }
    if (mode == Mode::Read && !keepRegularFileOnly()) return false;
    buffer_.resize(kBufferSize);
    return true;
}

bool LogFile::keepRegularFileOnly() {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        error_ = errno;
    } else if (!S_ISREG(st.st_mode)) {
        error_ = S_ISDIR(st.st_mode) ? EISDIR : kNotRegularFileError;
    } else {
        const int flags = ::fcntl(fd_, F_GETFL);
        if (flags >= 0 && ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) == 0) return true;
        error_ = errno;
    }
    ::close(fd_);
    fd_ = -1;
    return false;
}

bool LogFile::refill() {
    if (fd_ < 0 || mode_ != Mode::Read || error_ != 0) return false;
    begin_ = end_ = 0;
    for (;;) {
        const ssize_t got = ::read(fd_, buffer_.data(), buffer_.size());
        if (got > 0) {
            end_ = static_cast<std::size_t>(got);
            return true;
        }
        if (got == 0) return false;
        if (errno != EINTR) {
            error_ = errno;
            return false;
        }
    }
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

bool LogFile::flush() {
    std::size_t done = 0;
    while (done < end_) {
        const ssize_t put = ::write(fd_, buffer_.data() + done, end_ - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            error_ = errno;
            end_ = 0;
            return false;
        }
        done += static_cast<std::size_t>(put);
    }
    end_ = 0;
    return true;
}

bool LogFile::write(const void* bytes, std::size_t n) {
    if (fd_ < 0 || mode_ == Mode::Read || error_ != 0) return false;
    const auto* src = static_cast<const std::uint8_t*>(bytes);
    while (n > 0) {
        if (end_ == buffer_.size() && !flush()) return false;
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
    if (!flush()) return false;
    while (::fsync(fd_) != 0) {
        if (errno == EINTR) continue;
        error_ = errno;
        return false;
    }
    return true;
}

bool LogFile::close() {
    if (fd_ < 0) return error_ == 0;
    if (mode_ != Mode::Read && error_ == 0) flush();
    if (::close(fd_) != 0 && error_ == 0) error_ = errno;
    fd_ = -1;
    begin_ = end_ = 0;
    buffer_.clear();
    buffer_.shrink_to_fit();
    return error_ == 0;
}

}  // namespace tessarin
