#include "agentlog/ByteSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tessarin::agentlog {

std::unique_ptr<FileSource> FileSource::open(const std::string& path, std::string& error) {
    // Non-blocking, so that opening a FIFO does not wait for a writer; it is refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        error = S_ISDIR(st.st_mode) ? path + " is a directory" : path + " is not a regular file";
        ::close(fd);
        return nullptr;
    }
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
    return std::unique_ptr<FileSource>(new FileSource(fd, static_cast<std::uint64_t>(st.st_size)));
}

FileSource::~FileSource() { ::close(fd_); }

std::int64_t FileSource::readAt(std::uint64_t offset, void* out, std::size_t n) const {
    auto* dst = static_cast<char*>(out);
    std::size_t done = 0;
    while (done < n) {
        const ssize_t got = ::pread(fd_, dst + done, n - done, static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<std::int64_t>(done);
}

MemorySource::MemorySource(const void* data, std::size_t size)
    : bytes_(static_cast<const unsigned char*>(data), static_cast<const unsigned char*>(data) + size) {}

std::int64_t MemorySource::readAt(std::uint64_t offset, void* out, std::size_t n) const {
    if (offset >= bytes_.size()) return 0;
    const std::size_t count = std::min<std::size_t>(n, bytes_.size() - static_cast<std::size_t>(offset));
    std::memcpy(out, bytes_.data() + offset, count);
    return static_cast<std::int64_t>(count);
}

bool startsWithGzipMagic(const ByteSource& source) {
    unsigned char magic[2] = {0, 0};
    return source.readAt(0, magic, 2) == 2 && magic[0] == 0x1f && magic[1] == 0x8b;
}

}  // namespace tessarin::agentlog
