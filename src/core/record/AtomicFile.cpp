#include "record/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace tessarin {

namespace {

// Attempts at a free temporary name before giving up.
constexpr int kNameAttempts = 100;

std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string fileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// A name that no other writer of this process or of another one picks at the same time.
std::string temporaryName(const std::string& target, int attempt) {
    static std::atomic<unsigned> counter{0};
    const std::string dir = directoryOf(target);
    return (dir == "/" ? std::string() : dir) + "/." + fileNameOf(target) + ".tmp-" + std::to_string(::getpid()) + "-" +
           std::to_string(counter.fetch_add(1) + static_cast<unsigned>(attempt));
}

}  // namespace

AtomicFile::AtomicFile(const std::string& target) : target_(target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        // A device (/dev/null) is written in place; a FIFO would hold the open for ever,
        // and a directory or a socket holds no file.
        if (S_ISCHR(st.st_mode)) {
            file_.open(target, LogFile::Mode::Write);
            return;
        }
        if (!S_ISREG(st.st_mode)) {
            error_ = S_ISDIR(st.st_mode) ? EISDIR : kNotRegularFileError;
            return;
        }
        // Replace what a link points to, not the link itself.
        if (char* resolved = ::realpath(target.c_str(), nullptr)) {
            target_ = resolved;
            std::free(resolved);
        }
    }
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        temporary_ = temporaryName(target_, attempt);
        if (file_.open(temporary_, LogFile::Mode::CreateNew)) break;
        if (file_.error() != EEXIST) break;
    }
    if (!file_.isOpen()) {
        temporary_.clear();
        return;
    }
    // The replacement keeps the permissions of the file it replaces.
    if (S_ISREG(st.st_mode) && ::chmod(temporary_.c_str(), st.st_mode & 07777) != 0) error_ = errno;
}

AtomicFile::~AtomicFile() {
    if (done_) return;
    file_.close();
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

bool AtomicFile::commit() {
    if (done_) return false;
    done_ = true;
    if (temporary_.empty()) {
        const bool ok = file_.isOpen() && file_.close();
        return ok && error_ == 0;
    }
    bool ok = error_ == 0 && file_.sync();
    ok = file_.close() && ok;
    if (ok && ::rename(temporary_.c_str(), target_.c_str()) != 0) {
        error_ = errno;
        ok = false;
    }
    if (!ok) ::unlink(temporary_.c_str());
    return ok;
}

bool writeFileAtomically(const std::string& path, const std::function<bool(LogFile&)>& write, int* error) {
    AtomicFile file(path);
    bool ok = file.isOpen();
    if (ok) ok = write(file.file()) && file.commit();
    if (error) *error = file.error();
    return ok;
}

bool writeFileAtomically(const std::string& path, std::string_view contents, int* error) {
    return writeFileAtomically(
        path, [contents](LogFile& file) { return file.write(contents.data(), contents.size()); }, error);
}

std::FILE* openSideFile(const std::string& path, bool append) {
    const int flags = O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
    int fd = -1;
    do {
        fd = ::open(path.c_str(), flags, 0644);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return nullptr;
    struct stat st {};
    int error = 0;
    if (::fstat(fd, &st) != 0) {
        error = errno;
    } else if (!S_ISREG(st.st_mode)) {
        error = kNotRegularFileError;
    } else if (const int fileFlags = ::fcntl(fd, F_GETFL);
               fileFlags < 0 || ::fcntl(fd, F_SETFL, fileFlags & ~O_NONBLOCK) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::close(fd);
        errno = error;
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, append ? "a" : "w");
    if (!file) ::close(fd);
    return file;
}

bool sameFile(const std::string& input, const std::string& output) {
    struct stat in {};
    struct stat out {};
    const bool inExists = ::stat(input.c_str(), &in) == 0;
    const bool outExists = ::stat(output.c_str(), &out) == 0;
    if (inExists && outExists) return in.st_dev == out.st_dev && in.st_ino == out.st_ino;
    std::error_code ec1;
    std::error_code ec2;
    const auto a = std::filesystem::weakly_canonical(input, ec1);
    const auto b = std::filesystem::weakly_canonical(output, ec2);
    if (ec1 || ec2) return input == output;
    return a == b;
}

}  // namespace tessarin
