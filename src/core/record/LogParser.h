#pragma once

// Base classes of the parsers that fill a log player's store: the file parsers run
// on the parser thread, the monitor-packet parser on the monitor's receiving thread.

#include <cstddef>
#include <cstdint>
#include <stop_token>

namespace tessarin {

class LogFile;
class LogPlayer;

// Reads an open game file whose header was already consumed.
class CLogParser {
public:
    explicit CLogParser(LogPlayer& player) : player_(player) {}
    virtual ~CLogParser() = default;
    CLogParser(const CLogParser&) = delete;
    CLogParser& operator=(const CLogParser&) = delete;

    // Reads to the end of the file; true when it got there, false when it stopped at a
    // record it cannot read or because a stop was requested (checked between records).
    virtual bool parse(LogFile& file, std::stop_token stop) = 0;

    // After parse(): a file that failed underneath the reader (a read error, a damaged
    // compressed stream) turns the result into a stop with a warning.
    bool finishReading(const LogFile& file, bool result);

    // Whether the last parse dropped a record that the end of the file cut off. Cleared
    // and set by the thread that parses; read by others only after joining it.
    bool droppedTornRecord() const { return droppedTornRecord_; }
    void clearNotes() { droppedTornRecord_ = false; }

protected:
    void noteTornRecord() { droppedTornRecord_ = true; }

    LogPlayer& player_;

private:
    bool droppedTornRecord_ = false;
};

// Parses one datagram of the monitor protocol.
class CDispinfoParser {
public:
    explicit CDispinfoParser(LogPlayer& player) : player_(player) {}
    virtual ~CDispinfoParser() = default;
    CDispinfoParser(const CDispinfoParser&) = delete;
    CDispinfoParser& operator=(const CDispinfoParser&) = delete;

    // True when the packet was a show packet and a record was stored.
    virtual bool parse(const std::uint8_t* packet, std::size_t size) = 0;

protected:
    LogPlayer& player_;
};

}  // namespace tessarin
