#pragma once

// Random access to the bytes of a debug log as they lie on disk (or in memory for the
// fuzzers and tests). Reads at an offset never share a file position, so any number of
// threads may read one source at once.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tessarin::agentlog {

class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to n bytes at offset into out; returns how many were read (0 at or past
    // the end), or -1 when the read failed.
    virtual std::int64_t readAt(std::uint64_t offset, void* out, std::size_t n) const = 0;
    virtual std::uint64_t size() const = 0;
};

// A regular file, read with pread. Not a FIFO, device or directory: those are refused,
// so that opening a log can never block on a pipe nor read a device without end.
class FileSource final : public ByteSource {
public:
    // Null with a message in error when the file cannot be opened or is not a regular file.
    static std::unique_ptr<FileSource> open(const std::string& path, std::string& error);
    ~FileSource() override;
    FileSource(const FileSource&) = delete;
    FileSource& operator=(const FileSource&) = delete;

    std::int64_t readAt(std::uint64_t offset, void* out, std::size_t n) const override;
    std::uint64_t size() const override { return size_; }

private:
    FileSource(int fd, std::uint64_t size) : fd_(fd), size_(size) {}
    int fd_;
    std::uint64_t size_;
};

// Bytes held in memory (a copy, so the source owns what it reads).
class MemorySource final : public ByteSource {
public:
    MemorySource(const void* data, std::size_t size);
    std::int64_t readAt(std::uint64_t offset, void* out, std::size_t n) const override;
    std::uint64_t size() const override { return bytes_.size(); }

private:
    std::vector<unsigned char> bytes_;
};

// True when the bytes at the start of source are a gzip member's magic.
bool startsWithGzipMagic(const ByteSource& source);

}  // namespace tessarin::agentlog
