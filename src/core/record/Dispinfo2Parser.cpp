#include "record/Dispinfo2Parser.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "record/ByteOrder.h"
#include "record/LogPlayer.h"

namespace tessarin {

namespace {

// Copies a fixed-size block from the packet's body; false when the packet is too short.
template <typename T>
bool bodyAs(const std::uint8_t* packet, std::size_t size, T& out) {
    if (size < kDispinfoBodyOffset + sizeof(T)) return false;
    std::memcpy(&out, packet + kDispinfoBodyOffset, sizeof(T));
    return true;
}

}  // namespace

CDispinfo2Parser::CDispinfo2Parser(LogPlayer& player) : CDispinfoParser(player) {
    work_.valid = 1;
    work_.kind = kShowRecord;
}

bool CDispinfo2Parser::parse(const std::uint8_t* packet, std::size_t size) {
    if (packet == nullptr || size < kDispinfoBodyOffset) return false;
    switch (static_cast<std::int16_t>(be16(packet))) {
        case kDispShow: {
            if (size < kDispinfoBodyOffset + kCycleDataSize) return false;
            std::memcpy(work_.data.data(), packet + kDispinfoBodyOffset, kCycleDataSize);
            work_.kind = kShowRecord;
            work_.cycle = static_cast<std::int16_t>(recordCycle(work_));
            player_.add(work_);
            work_.messages.clear();
            return true;
        }
        case kDispMessage: {
            // Board (int16), then the text up to its NUL or the end of the packet.
            constexpr std::size_t textOffset = kDispinfoBodyOffset + 2;
            if (size <= textOffset) return false;
            std::string_view text(reinterpret_cast<const char*>(packet + textOffset), size - textOffset);
            text = text.substr(0, std::min(text.find('\0'), kMaxMessageLength));
            if (text.starts_with(kReceivedPrefix) &&
                work_.messages.size() + text.size() + kMessageSeparator.size() <= kMaxPendingMessages) {
                work_.messages += text;
                work_.messages += kMessageSeparator;
            }
            return false;
        }
        case kDispPlayerType: {
            player_type_t type;
            if (bodyAs(packet, size, type)) player_.addPlayerType(type);
            return false;
        }
        case kDispServerParams: {
            server_param_t params;
            if (bodyAs(packet, size, params)) player_.setServerParameters(params);
            return false;
        }
        case kDispPlayerParams: {
            player_param_t params;
            if (bodyAs(packet, size, params)) player_.setPlayerParameters(params);
            return false;
        }
        default:
            return false;
    }
}

}  // namespace tessarin
