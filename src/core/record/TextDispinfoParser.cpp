#include "record/TextDispinfoParser.h"

#include <cstring>
#include <string_view>

namespace tessarin {

CTextDispinfoParser::CTextDispinfoParser(LogPlayer& player)
    : CDispinfoParser(player), reader_(player, false), batch_(player) {}

bool CTextDispinfoParser::parse(const std::uint8_t* packet, std::size_t size) {
    if (packet == nullptr) return false;
    // The server ends each datagram with a NUL; what follows it is not part of the text.
    const void* nul = std::memchr(packet, '\0', size);
    const std::size_t length = nul ? static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - packet) : size;
    const std::string_view text(reinterpret_cast<const char*>(packet), length);
    const TextLineReader::Result result = reader_.read(text, batch_);
    // Every show is stored before the next datagram is read: the display follows the game.
    batch_.flush();
    if (result == TextLineReader::Result::Broken) ++rejected_;
    return result == TextLineReader::Result::Show;
}

}  // namespace tessarin
