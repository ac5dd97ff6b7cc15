#include "support/LogBuilder.h"

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "record/ByteOrder.h"
#include "record/LogFile.h"

namespace tessarin::test {

namespace {

std::int16_t net16(int v) {
    const auto u = static_cast<std::uint16_t>(v);
    const std::uint8_t b[2] = {static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u)};
    std::int16_t out;
    std::memcpy(&out, b, 2);
    return out;
}

std::int32_t net32(std::int32_t v) {
    const auto u = static_cast<std::uint32_t>(v);
    const std::uint8_t b[4] = {static_cast<std::uint8_t>(u >> 24), static_cast<std::uint8_t>(u >> 16),
                               static_cast<std::uint8_t>(u >> 8), static_cast<std::uint8_t>(u)};
    std::int32_t out;
    std::memcpy(&out, b, 4);
    return out;
}

template <typename T>
void appendStruct(Bytes& out, const T& value) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(&value);
    out.insert(out.end(), p, p + sizeof(T));
}

}  // namespace

std::int32_t toFixed(double value) { return static_cast<std::int32_t>(std::lround(value * 65536.0)); }

void appendBe16(Bytes& out, int value) {
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
}

void appendBe32(Bytes& out, std::int32_t value) {
    const auto u = static_cast<std::uint32_t>(value);
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(u >> shift));
}

void appendLe32(Bytes& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void appendLeF32(Bytes& out, float value) {
    std::uint32_t u;
    std::memcpy(&u, &value, 4);
    appendLe32(out, u);
}

ShowBuilder::ShowBuilder(int time) { show_.time = net16(time); }

ShowBuilder& ShowBuilder::playmode(int mode) {
    show_.playmode = static_cast<std::uint8_t>(mode);
    return *this;
}

ShowBuilder& ShowBuilder::team(int side, const std::string& name, int score) {
    auto& t = show_.team[static_cast<std::size_t>(side)];
    t.name.fill('\0');
    std::memcpy(t.name.data(), name.data(), std::min(name.size(), t.name.size()));
    t.score = net16(score);
    return *this;
}

ShowBuilder& ShowBuilder::ball(double x, double y, double vx, double vy) {
    show_.ball = {net32(toFixed(x)), net32(toFixed(y)), net32(toFixed(vx)), net32(toFixed(vy))};
    return *this;
}

ShowBuilder& ShowBuilder::player(int index, int mode, int type, double x, double y) {
    auto& p = show_.player[static_cast<std::size_t>(index)];
    p.mode = net16(mode);
    p.type = net16(type);
    p.x = net32(toFixed(x));
    p.y = net32(toFixed(y));
    return *this;
}

V3LogBuilder::V3LogBuilder(int version) { bytes_ = {'U', 'L', 'G', static_cast<std::uint8_t>(version)}; }

V3LogBuilder& V3LogBuilder::serverParams(double ballSize) {
    appendBe16(bytes_, 8);
    Bytes block(396, 0);
    Bytes size;
    appendBe32(size, toFixed(ballSize));
    std::copy(size.begin(), size.end(), block.begin() + 104);
    block[0] = 0x5A;  // a marker byte, to see the block written back unchanged
    bytes_.insert(bytes_.end(), block.begin(), block.end());
    return *this;
}

V3LogBuilder& V3LogBuilder::playerParams() {
    appendBe16(bytes_, 9);
    Bytes block(132, 0);
    block[131] = 0xA5;
    bytes_.insert(bytes_.end(), block.begin(), block.end());
    return *this;
}

V3LogBuilder& V3LogBuilder::playerType(int id, double playerSize, double kickableMargin) {
    appendBe16(bytes_, 7);
    player_type_t t{};
    t.id = net16(id);
    t.player_speed_max = net32(toFixed(1.2));
    t.player_size = net32(toFixed(playerSize));
    t.kickable_margin = net32(toFixed(kickableMargin));
    t.spare[9] = net32(0x01020304);
    appendStruct(bytes_, t);
    return *this;
}

V3LogBuilder& V3LogBuilder::playMode(int mode) {
    appendBe16(bytes_, 5);
    bytes_.push_back(static_cast<std::uint8_t>(mode));
    return *this;
}

V3LogBuilder& V3LogBuilder::teams(const std::string& left, int leftScore, const std::string& right, int rightScore) {
    appendBe16(bytes_, 6);
    const show_info_t s = ShowBuilder(0).team(0, left, leftScore).team(1, right, rightScore).build();
    appendStruct(bytes_, s.team);
    return *this;
}

V3LogBuilder& V3LogBuilder::message(const std::string& text, int board) {
    appendBe16(bytes_, 2);
    appendBe16(bytes_, board);
    appendBe16(bytes_, static_cast<int>(text.size()));
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    return *this;
}

V3LogBuilder& V3LogBuilder::show(const show_info_t& show) {
    appendBe16(bytes_, 1);
    Bytes all;
    appendStruct(all, show);
    bytes_.insert(bytes_.end(), all.begin() + 40, all.begin() + 1466);
    bytes_.push_back(0);
    bytes_.push_back(0);
    return *this;
}

V3LogBuilder& V3LogBuilder::kind(int kind) {
    appendBe16(bytes_, kind);
    return *this;
}

V3LogBuilder& V3LogBuilder::raw(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

Bytes sightV2Log(const std::vector<int>& cycles, bool withTypeBlock) {
    Bytes out = {'S', 'L', 'H'};
    if (withTypeBlock) {
        for (int p = 0; p < 18; ++p) {
            for (int v = 0; v < 12; ++v) {
                float value = static_cast<float>(v) + 0.25f;
                if (v == 5) value = 0.3f + static_cast<float>(p) / 100.0f;
                appendLeF32(out, value);
            }
        }
    }
    for (int c : cycles) {
        Bytes record(1332, 0);
        record[4] = static_cast<std::uint8_t>(c & 0xFF);
        record[5] = static_cast<std::uint8_t>((c >> 8) & 0xFF);
        record[1331] = 0x77;
        out.insert(out.end(), record.begin(), record.end());
    }
    return out;
}

Bytes sightLog(const std::vector<int>& cycles) {
    Bytes out = {'S', 'L', 'G'};
    for (int c : cycles) {
        Bytes record(648, 0);
        record[0] = static_cast<std::uint8_t>(c & 0xFF);
        record[1] = static_cast<std::uint8_t>((c >> 8) & 0xFF);
        record[647] = 0x66;
        out.insert(out.end(), record.begin(), record.end());
    }
    return out;
}

Bytes dispinfoPacket(int kind, const Bytes& body) {
    // Sized once and filled in place: GCC 12 at -O3 warns falsely about an insert here.
    Bytes out(4 + body.size(), 0);
    putBe16(out.data(), static_cast<std::uint16_t>(kind));
    std::copy(body.begin(), body.end(), out.begin() + 4);
    return out;
}

Bytes dispinfoShow(const show_info_t& show) {
    Bytes body;
    appendStruct(body, show);
    return dispinfoPacket(1, body);
}

Bytes dispinfoMessage(const std::string& text, bool terminate) {
    Bytes body;
    appendBe16(body, 1);
    body.insert(body.end(), text.begin(), text.end());
    if (terminate) body.push_back(0);
    return dispinfoPacket(2, body);
}

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessarin-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& name, const Bytes& bytes) const {
    const std::string p = file(name);
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return p;
}

std::string writeText(const TempDir& dir, const std::string& name, const std::string& text) {
    const std::string path = dir.file(name);
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string writeGzip(const TempDir& dir, const std::string& name, const std::string& text) {
    const std::string path = dir.file(name);
    LogFile out(path, LogFile::Mode::Write);
    out.startCompression();
    out.write(text.data(), text.size());
    out.close();
    return path;
}

FileSizeLimit::FileSizeLimit(unsigned long bytes) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0) return;
    oldCurrent_ = limit.rlim_cur;
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = bytes;
    active_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

FileSizeLimit::~FileSizeLimit() {
    rlimit limit{};
    if (active_ && ::getrlimit(RLIMIT_FSIZE, &limit) == 0) {
        limit.rlim_cur = oldCurrent_;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (oldHandler_ != nullptr) std::signal(SIGXFSZ, oldHandler_);
}

Bytes readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string demoGamePath() { return std::string(TESSARIN_SAMPLES_DIR) + "/helios-left-4-vs-helios-right-1.rcg"; }

std::string testDataPath(const std::string& name) { return std::string(TESSARIN_TEST_DATA_DIR) + "/" + name; }

}  // namespace tessarin::test
