#include "record/LogHeader.h"

#include <cstring>

#include "record/LogFile.h"

namespace tessarin {

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
