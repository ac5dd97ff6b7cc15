// Game-log reader: any bytes after a version-3 header.

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessarin::fuzz;
    const Bytes file = withHeader(std::string_view("ULG\3", 4), data, size);
    loadAndPlay(file);
    return 0;
}
