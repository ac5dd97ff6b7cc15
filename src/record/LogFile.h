#pragma once

// A buffered binary file for the game-file readers and writers: large reads and
// writes through POSIX descriptors, no system call per field.

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tessarin {

// The error of a read open of something that is neither a regular file nor a directory
// (a FIFO, a device, a socket); a directory gives EISDIR.
inline constexpr int kNotRegularFileError = ENODEV;

// An open file read or written front to back. A file that could not be opened
// reads nothing and is at its end; writes to it fail. Only regular files are opened
// for reading.
class LogFile final {
public:
    // Write creates or truncates; CreateNew creates a file that must not exist yet.
    enum class Mode { Read, Write, CreateNew };

    LogFile() = default;
    LogFile(const std::string& path, Mode mode);
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    bool open(const std::string& path, Mode mode);
    bool isOpen() const { return fd_ >= 0; }
    // The errno of the failed open or of the first failed read or write; 0 when none failed.
    int error() const { return error_; }

    // Reads up to n bytes; returns how many were read (fewer only at the end of the file).
    std::size_t read(void* out, std::size_t n);
    // Skips up to n bytes; returns how many were skipped.
    std::size_t skip(std::size_t n);
    // True when no byte is left to read (also for a file that is not open).
    bool atEnd();

    // Writes n bytes; false once any write has failed.
    bool write(const void* bytes, std::size_t n);
    // Writes a 16-bit value in network order.
    bool writeBe16(std::uint16_t value);
    // Flushes and has the system write the data to the disk; false when that failed.
    bool sync();
    // Flushes and closes; false when a write or the close failed.
    bool close();

private:
    // After a read open: closes the descriptor unless it is a regular file, and clears
    // the non-blocking flag of a regular one.
    bool keepRegularFileOnly();
    bool refill();
    bool flush();

    static constexpr std::size_t kBufferSize = 64 << 10;

    int fd_ = -1;
    Mode mode_ = Mode::Read;
    int error_ = 0;
    std::vector<std::uint8_t> buffer_;
    std::size_t begin_ = 0;  // read position in buffer_
    std::size_t end_ = 0;    // bytes valid in buffer_ (read) or pending (write)
};

}  // namespace tessarin
