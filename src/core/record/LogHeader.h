#pragma once

// Recognising a game file by its first bytes, as every loader of game files does.

#include <optional>
#include <string>

namespace tessarin {

class LogFile;

// The readers of game files, by header.
enum class LogFormat { None, V3, V4, V5, V6, Json, Sight, SightV2 };

// "v3" … "v6", "json", "sight", "sight-v2", or "none", as the tools name the formats.
const char* logFormatName(LogFormat format);

// Reads the header of a file just opened ("ULG" with version byte 3 or the digit 4, 5
// or 6, "SLG", "SLH"; a gzip stream is inflated first) and leaves the file at the
// first byte after it. None when the bytes are no known header or too few. A JSON game
// log has no header: it is known by its start, '[' and the first element's
// '{"version"' (white space allowed between), which is what reading it takes.
std::optional<LogFormat> readLogHeader(LogFile& file);

// Opens `path` and reads its header; None when it cannot be opened or is no game file.
std::optional<LogFormat> probeLogFile(const std::string& path);

}  // namespace tessarin
