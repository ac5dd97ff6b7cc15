// Game-log reader: any bytes after a version-3 header.

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessarin::fuzz;
    std::vector<std::uint8_t> file = {'U', 'L', 'G', 3};
    file.insert(file.end(), data, data + size);
    const std::string path = scratchFile("game.rcg");
    writeFile(path, file.data(), file.size());
    loadAndPlay(path);
    return 0;
}
