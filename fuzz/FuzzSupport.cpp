#include "FuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace tessarin::fuzz {

std::string scratchFile(const std::string& name) {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() / ("tessarin-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return (dir / name).string();
}

void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

void removeFile(const std::string& path) { std::remove(path.c_str()); }

void loadAndPlay(const std::string& path) {
    // One player for the whole run, as the viewer keeps one: every load replaces the last
    // game, which also exercises that path, and the store's room is reserved only once.
    static NullHost host;
    static LogPlayer player(host);
    player.command(kCmdLoad, path);
    player.waitForParser();
    player.command(kCmdPlay);
    for (int i = 0; i < 4; ++i) player.current();
    player.find(player.last_cycle() / 2);
    player.currentDecisions();
    const std::string saved = scratchFile("saved");
    player.save(saved);
    removeFile(saved);
}

}  // namespace tessarin::fuzz
