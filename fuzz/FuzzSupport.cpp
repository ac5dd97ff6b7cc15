#include "FuzzSupport.h"

#include <zlib.h>

namespace tessarin::fuzz {

void loadAndPlay(std::span<const std::uint8_t> game,
                 const std::array<std::optional<std::span<const std::uint8_t>>, 3>& decisions) {
    // One player for the whole run, as the viewer keeps one: every load replaces the last
    // game, which also exercises that path, and the store's room is reserved only once.
    static NullHost host;
    static LogPlayer player(host);
    // Read on this thread: a thread per input would cost more than most inputs' parse.
    player.loadMemory(game, decisions, true);
    player.command(kCmdPlay);
    for (int i = 0; i < 4; ++i) player.current();
    player.find(player.last_cycle() / 2);
    player.currentDecisions();
    player.save(kDiscardPath);
    // The next load must not read the bytes of this input any more.
    player.command(kCmdReset);
}

Bytes withHeader(std::string_view header, const std::uint8_t* data, std::size_t size) {
    Bytes file(header.begin(), header.end());
    file.insert(file.end(), data, data + size);
    return file;
}

Bytes gzipped(std::span<const std::uint8_t> bytes) {
    z_stream z{};
    Bytes out(compressBound(static_cast<uLong>(bytes.size())) + 32);
    // A small window and little memory: inputs are short, and allocating zlib's full
    // state for each would cost more than the load.
    if (deflateInit2(&z, 1, Z_DEFLATED, 9 + 16, 1, Z_DEFAULT_STRATEGY) != Z_OK) return {};
    z.next_in = const_cast<Bytef*>(bytes.data());  // zlib's interface is not const; it only reads
    z.avail_in = static_cast<uInt>(bytes.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

}  // namespace tessarin::fuzz
