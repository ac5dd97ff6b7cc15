#include "record/LogHeader.h"

#include <cstring>
#include <string_view>

#include "record/LogFile.h"

namespace tessarin {

namespace {

// Reads on from the `have` bytes already read for the start of a JSON game log; true
// when the file starts as one does. Looks at a bounded number of bytes only.
bool readJsonOpening(LogFile& file, const char* have, std::size_t haveCount) {
    static constexpr std::string_view kExpected = "[{\"version\"";
    constexpr std::size_t kMostSpace = 256;
    std::size_t used = 0;
    std::size_t matched = 0;
    std::size_t spaces = 0;
    while (matched < kExpected.size()) {
        char c = 0;
        if (used < haveCount) {
            c = have[used++];
        } else if (file.read(&c, 1) != 1) {
            return false;
        }
        // White space may stand before the bracket and the first element, not inside a name.
        if ((c == ' ' || c == '\t' || c == '\r' || c == '\n') && matched < 3) {
            if (++spaces > kMostSpace) return false;
            continue;
        }
        if (c != kExpected[matched]) return false;
        ++matched;
    }
    return true;
}

}  // namespace

std::optional<LogFormat> readLogHeader(LogFile& file) {
    char magic[4] = {0, 0, 0, 0};
    if (file.read(magic, 3) != 3) return std::nullopt;
    if (std::memcmp(magic, "ULG", 3) == 0) {
        if (file.read(magic + 3, 1) != 1) return std::nullopt;
        // Version 3 is binary (the byte 3); 4, 5 and 6 are text logs (a digit).
        static constexpr LogFormat kTextFormats[] = {LogFormat::V4, LogFormat::V5, LogFormat::V6};
        if (magic[3] == 3) return LogFormat::V3;
        if (magic[3] >= '4' && magic[3] <= '6') return kTextFormats[magic[3] - '4'];
        return std::nullopt;
    }
    if (std::memcmp(magic, "SLG", 3) == 0) return LogFormat::Sight;
    if (std::memcmp(magic, "SLH", 3) == 0) return LogFormat::SightV2;
    if (readJsonOpening(file, magic, 3)) return LogFormat::Json;
    return std::nullopt;
}

std::optional<LogFormat> probeLogFile(const std::string& path) {
    LogFile file(path, LogFile::Mode::Read);
    if (!file.isOpen()) return std::nullopt;
    return readLogHeader(file);
}

const char* logFormatName(LogFormat format) {
    switch (format) {
        case LogFormat::V3:
            return "v3";
        case LogFormat::V4:
            return "v4";
        case LogFormat::V5:
            return "v5";
        case LogFormat::V6:
            return "v6";
        case LogFormat::Json:
            return "json";
        case LogFormat::Sight:
            return "sight";
        case LogFormat::SightV2:
            return "sight-v2";
        case LogFormat::None:
            break;
    }
    return "none";
}

}  // namespace tessarin
