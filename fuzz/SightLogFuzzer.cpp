// Sight-log reader: any bytes after an "SLG" header.

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessarin::fuzz;
    const Bytes file = withHeader("SLG", data, size);
    loadAndPlay(file);
    return 0;
}
