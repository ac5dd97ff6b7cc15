#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>

#include "record/LogParser.h"
#include "record/RecordBatch.h"
#include "record/TextLineReader.h"

namespace tessarin {

// Parses the datagrams of monitor protocols 3 to 5: each is one s-expression of text
// ending at its first NUL ("(show ...)", "(msg ...)", "(playmode ...)", "(team ...)",
// the parameter blocks and player types), read by the same TextLineReader as the text
// game logs and stored as the binary packets are. A datagram that cannot be read is
// dropped and counted; the records already stored stay. Used on the monitor
// connection's receiving thread only.
class CTextDispinfoParser final : public CDispinfoParser {
public:
    explicit CTextDispinfoParser(LogPlayer& player);
    bool parse(const std::uint8_t* packet, std::size_t size) override;
    // Forgets what earlier datagrams left (play mode, teams, pending messages).
    void reset() { reader_.reset(); }
    // Datagrams that broke the grammar since construction.
    std::uint64_t rejected() const { return rejected_.load(std::memory_order_relaxed); }

private:
    TextLineReader reader_;
    RecordBatch batch_;
    std::atomic<std::uint64_t> rejected_{0};  // counted by the receiver, read by anyone
};

}  // namespace tessarin
