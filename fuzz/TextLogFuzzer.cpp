// Text game-log reader (versions 4 to 6), plain, gzip-compressed, or as raw bytes that
// may be a damaged gzip stream.

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessarin::fuzz;
    FuzzedDataProvider input(data, size);
    const int how = input.ConsumeIntegralInRange(0, 2);
    const char version = static_cast<char>('4' + input.ConsumeIntegralInRange(0, 2));
    const Bytes rest = input.ConsumeRemainingBytes<std::uint8_t>();
    const std::string header = std::string("ULG") + version;
    switch (how) {
        case 0:
            loadAndPlay(withHeader(header, rest.data(), rest.size()));
            break;
        case 1:
            loadAndPlay(gzipped(withHeader(header, rest.data(), rest.size())));
            break;
        default:
            loadAndPlay(rest);
            break;
    }
    return 0;
}
