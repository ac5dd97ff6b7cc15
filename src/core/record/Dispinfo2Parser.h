#pragma once

#include "record/GameRecords.h"
#include "record/LogParser.h"

namespace tessarin {

// Parses the dispinfo datagrams of monitor protocol version 2: a network-order
// 16-bit kind, two bytes of padding, then the body. Show packets become records;
// messages wait for the next show; types and parameter blocks go to the store.
// Used on the monitor connection's receiving thread only.
class CDispinfo2Parser final : public CDispinfoParser {
public:
    explicit CDispinfo2Parser(LogPlayer& player);
    bool parse(const std::uint8_t* packet, std::size_t size) override;

private:
    cycle_info_t work_;
};

enum DispinfoKind : int {
    kDispShow = 1,
    kDispMessage = 2,
    kDispPlayerType = 7,
    kDispServerParams = 8,
    kDispPlayerParams = 9,
};

// Most text that may wait for the next show packet; a peer that sends messages but no
// shows cannot make the pending text grow without bound. Further messages are dropped.
inline constexpr std::size_t kMaxPendingMessages = 1 << 20;

// Offset of a dispinfo packet's body.
inline constexpr std::size_t kDispinfoBodyOffset = 4;

}  // namespace tessarin
