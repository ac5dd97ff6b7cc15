#include "record/V3LogParser.h"

#include <array>
#include <cstring>
#include <string_view>

#include "record/ByteOrder.h"
#include "record/LogFile.h"
#include "record/LogPlayer.h"

namespace tessarin {

namespace {

template <typename T>
bool readExact(LogFile& file, T& out) {
    std::array<std::uint8_t, sizeof(T)> bytes;
    if (file.read(bytes.data(), bytes.size()) != bytes.size()) return false;
    std::memcpy(&out, bytes.data(), sizeof(T));
    return true;
}

// Reads a record's kind; `got` is how many of its two bytes the file still held.
bool readKind(LogFile& file, std::uint16_t& out, std::size_t& got) {
    std::uint8_t bytes[2];
    got = file.read(bytes, 2);
    if (got != 2) return false;
    out = be16(bytes);
    return true;
}

bool readBe16(LogFile& file, std::uint16_t& out) {
    std::uint8_t bytes[2];
    if (file.read(bytes, 2) != 2) return false;
    out = be16(bytes);
    return true;
}

// Reads a message body: board, length, text. The length is a byte count (taken as
// unsigned); at most kMaxMessageLength bytes are kept and the excess is skipped so
// that reading stays in step with the records. False when the file ends inside it.
bool readMessage(LogFile& file, std::string& text) {
    std::uint16_t board = 0;
    std::uint16_t length = 0;
    if (!readBe16(file, board) || !readBe16(file, length)) return false;
    std::array<char, kMaxMessageLength> buffer;
    const std::size_t kept = std::min<std::size_t>(length, buffer.size());
    if (file.read(buffer.data(), kept) != kept) return false;
    if (file.skip(length - kept) != length - kept) return false;
    const std::size_t end = std::string_view(buffer.data(), kept).find('\0');
    text.assign(buffer.data(), end == std::string_view::npos ? kept : end);
    return true;
}

}  // namespace

bool CV3LogParser::endOfFile(const std::stop_token& stop, RecordBatch& batch) {
    batch.flush();
    if (stop.stop_requested()) return false;
    player_.finishOpponentModel();
    return !player_.overBudget();
}

bool CV3LogParser::tornRecord(const std::stop_token& stop, RecordBatch& batch) {
    noteTornRecord();
    return endOfFile(stop, batch);
}

bool CV3LogParser::parse(LogFile& file, std::stop_token stop) {
    cycle_info_t work;
    work.valid = 1;
    work.kind = kShowRecord;
    bool opponentModelStarted = false;
    RecordBatch batch(player_);

    while (!stop.stop_requested() && !player_.overBudget()) {
        std::uint16_t rawKind = 0;
        std::size_t got = 0;
        if (!readKind(file, rawKind, got)) {
            if (got != 0) return tornRecord(stop, batch);
            break;
        }
        switch (static_cast<std::int16_t>(rawKind)) {
            case kV3Show: {
                // A torn body only spoils the work record, which is then never stored.
                if (file.read(work.data.data() + kShowBodyOffset, kShowBodySize) != kShowBodySize) {
                    return tornRecord(stop, batch);
                }
                work.cycle = static_cast<std::int16_t>(recordCycle(work));
                if (!opponentModelStarted && work.data[offsetof(show_info_t, playmode)] == PM_PlayOn) {
                    batch.flush();
                    player_.startOpponentModel(work.show());
                    opponentModelStarted = true;
                }
                batch.add(work);
                work.messages.clear();
                break;
            }
            case kV3Message: {
                std::string text;
                if (!readMessage(file, text)) return tornRecord(stop, batch);
                if (text.starts_with(kReceivedPrefix)) {
                    work.messages += text;
                    work.messages += kMessageSeparator;
                }
                break;
            }
            case kV3PlayMode: {
                std::uint8_t mode = 0;
                if (file.read(&mode, 1) != 1) return tornRecord(stop, batch);
                work.data[offsetof(show_info_t, playmode)] = mode;
                break;
            }
            case kV3Teams: {
                std::array<std::uint8_t, 2 * sizeof(team_info_t)> teams;
                if (file.read(teams.data(), teams.size()) != teams.size()) return tornRecord(stop, batch);
                std::memcpy(work.data.data() + offsetof(show_info_t, team), teams.data(), teams.size());
                break;
            }
            case kV3PlayerType: {
                player_type_t type;
                if (!readExact(file, type)) return tornRecord(stop, batch);
                // The shows read so far are analysed with the types they were read with.
                batch.flush();
                player_.addPlayerType(type);
                break;
            }
            case kV3ServerParams: {
                server_param_t params;
                if (!readExact(file, params)) return tornRecord(stop, batch);
                player_.setServerParameters(params);
                break;
            }
            case kV3PlayerParams: {
                player_param_t params;
                if (!readExact(file, params)) return tornRecord(stop, batch);
                player_.setPlayerParameters(params);
                break;
            }
            default:
                // Kinds 0, 3, 4 and above 9 have no known body: the game ends here.
                batch.flush();
                return false;
        }
    }
    return endOfFile(stop, batch);
}

}  // namespace tessarin
