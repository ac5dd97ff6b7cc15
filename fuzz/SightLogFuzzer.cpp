// Sight-log reader: any bytes after an "SLG" header.

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessarin::fuzz;
    std::vector<std::uint8_t> file = {'S', 'L', 'G'};
    file.insert(file.end(), data, data + size);
    const std::string path = scratchFile("sight.slg");
    writeFile(path, file.data(), file.size());
    loadAndPlay(path);
    return 0;
}
