#pragma once

// Builders for synthetic game files and monitor packets, written byte by byte
// independently of the program's own writers, plus a temporary directory.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "record/GameRecords.h"

namespace tessarin::test {

using Bytes = std::vector<std::uint8_t>;

// A show record with network-order fields, built from host values.
class ShowBuilder {
public:
    explicit ShowBuilder(int time);
    ShowBuilder& playmode(int mode);
    ShowBuilder& team(int side, const std::string& name, int score);
    ShowBuilder& ball(double x, double y, double vx = 0, double vy = 0);
    ShowBuilder& player(int index, int mode, int type, double x, double y);
    show_info_t build() const { return show_; }

private:
    show_info_t show_{};
};

std::int32_t toFixed(double value);
void appendBe16(Bytes& out, int value);
void appendBe32(Bytes& out, std::int32_t value);
void appendLe32(Bytes& out, std::uint32_t value);
void appendLeF32(Bytes& out, float value);

// A version-3 game log, record by record.
class V3LogBuilder {
public:
    explicit V3LogBuilder(int version = 3);
    V3LogBuilder& serverParams(double ballSize);
    V3LogBuilder& playerParams();
    V3LogBuilder& playerType(int id, double playerSize, double kickableMargin);
    V3LogBuilder& playMode(int mode);
    V3LogBuilder& teams(const std::string& left, int leftScore, const std::string& right, int rightScore);
    V3LogBuilder& message(const std::string& text, int board = 1);
    // The show body of a show record (ball onward) for this show.
    V3LogBuilder& show(const show_info_t& show);
    V3LogBuilder& show(int time) { return show(ShowBuilder(time).build()); }
    V3LogBuilder& kind(int kind);
    V3LogBuilder& raw(const Bytes& bytes);
    const Bytes& bytes() const { return bytes_; }

private:
    Bytes bytes_;
};

// A version-2 sight log: header, type block with player_size = 0.3 + id / 100, records.
Bytes sightV2Log(const std::vector<int>& cycles, bool withTypeBlock = true);
// A sight log with 648-byte records whose first two bytes hold the cycle.
Bytes sightLog(const std::vector<int>& cycles);

// A monitor packet: kind, padding, body.
Bytes dispinfoPacket(int kind, const Bytes& body);
Bytes dispinfoShow(const show_info_t& show);
Bytes dispinfoMessage(const std::string& text, bool terminate = true);

// A directory under the system's temporary directory, removed with its contents.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::string write(const std::string& name, const Bytes& bytes) const;

private:
    std::filesystem::path path_;
};

// Writes `text` as it is, or gzip-compressed through the log file's compressing writer,
// into the folder; returns the path.
std::string writeText(const TempDir& dir, const std::string& name, const std::string& text);
std::string writeGzip(const TempDir& dir, const std::string& name, const std::string& text);

// While it lives, this process may write files of at most `bytes` bytes (RLIMIT_FSIZE),
// and a write past that fails instead of raising SIGXFSZ. The old limit and handler come
// back when it ends, also when a test stops early.
class FileSizeLimit {
public:
    explicit FileSizeLimit(unsigned long bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    // Whether the limit was set.
    bool active() const { return active_; }

private:
    bool active_ = false;
    unsigned long oldCurrent_ = 0;
    void (*oldHandler_)(int) = nullptr;
};

Bytes readFile(const std::string& path);
std::string demoGamePath();
// A file of tests/data, e.g. "text/v6-short.rcg".
std::string testDataPath(const std::string& name);

}  // namespace tessarin::test
