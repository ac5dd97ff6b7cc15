#pragma once

// A buffered binary file for the game-file readers and writers: large reads and
// writes through POSIX descriptors, no system call per field. A file that starts with
// the gzip magic is inflated on the fly while it is read, so every reader sees the
// decompressed bytes; a file opened for writing with compression is deflated as it is
// written. Reading can also run over a byte buffer in memory (fuzzers, tests).

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <memory>
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

    LogFile();
    LogFile(const std::string& path, Mode mode);
    ~LogFile();
    LogFile(const LogFile&) = delete;
    LogFile& operator=(const LogFile&) = delete;

    bool open(const std::string& path, Mode mode);
    // Reads from `size` bytes at `data`, which must stay valid while the file is open.
    bool openMemory(const std::uint8_t* data, std::size_t size);
    bool isOpen() const { return fd_ >= 0 || memory_ != nullptr; }
    // The errno of the failed open or of the first failed read or write; 0 when none failed.
    // A corrupt or cut-off compressed stream reports EIO; failure() says what was wrong.
    int error() const { return error_; }
    // What went wrong with the compressed stream, or empty. Kept after close().
    const std::string& failure() const { return failure_; }
    // How many bytes a read of the whole file yields, as far as the file tells: its size,
    // or for a gzip stream the larger of its size and the length its trailer records
    // (which is modulo 2^32, and that of the last member only). 0 when unknown.
    std::uint64_t sizeHint() const { return sizeHint_; }
    // True when the bytes read are inflated from a gzip stream, or written deflated. Kept after close().
    bool compressed() const { return compressed_; }

    // Reads up to n bytes; returns how many were read (fewer only at the end of the file).
    std::size_t read(void* out, std::size_t n);
    // Skips up to n bytes; returns how many were skipped.
    std::size_t skip(std::size_t n);
    // True when no byte is left to read (also for a file that is not open).
    bool atEnd();

    // Makes a file just opened for writing a gzip stream: what is written from now on
    // is deflated. False when the file is not open for writing or was written to.
    bool startCompression();
    // Writes n bytes; false once any write has failed.
    bool write(const void* bytes, std::size_t n);
    // Writes a 16-bit value in network order.
    bool writeBe16(std::uint16_t value);
    // Flushes (ending a compressed stream) and has the system write the data to the
    // disk; false when that failed. Nothing can be written after it to a compressed file.
    bool sync();
    // Flushes and closes; false when a write or the close failed.
    bool close();

private:
    struct Inflater;
    struct Deflater;

    void reset();
    // After an open: closes the descriptor unless it is a regular file (or, written, a
    // character device such as /dev/null), and clears the non-blocking flag.
    bool keepRegularFileOnly();
    // Reads raw bytes from the descriptor or the memory buffer; 0 at the end or on error.
    std::size_t readRaw(std::uint8_t* out, std::size_t n);
    bool writeRaw(const std::uint8_t* bytes, std::size_t n);
    // Fills the first raw bytes and switches to inflating when they are the gzip magic.
    void detectCompression();
    void readGzipLength();
    bool refill();
    bool refillInflated();
    // Writes what is pending; `finish` also ends a compressed stream.
    bool flush(bool finish);
    void fail(int error, std::string why);

    static constexpr std::size_t kBufferSize = 64 << 10;

    int fd_ = -1;
    const std::uint8_t* memory_ = nullptr;  // memory source, when reading from a buffer
    std::size_t memorySize_ = 0;
    std::size_t memoryPos_ = 0;
    Mode mode_ = Mode::Read;
    int error_ = 0;
    std::string failure_;
    bool compressed_ = false;
    std::uint64_t sizeHint_ = 0;
    std::vector<std::uint8_t> buffer_;
    std::size_t begin_ = 0;  // read position in buffer_
    std::size_t end_ = 0;    // bytes valid in buffer_ (read) or pending (write)
    bool written_ = false;   // a write mode's first bytes were handed over
    std::unique_ptr<Inflater> inflater_;
    std::unique_ptr<Deflater> deflater_;
};

}  // namespace tessarin
