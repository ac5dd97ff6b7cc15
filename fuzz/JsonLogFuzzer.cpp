// JSON game-log reader: the input after the opening that marks a JSON log, plain,
// gzip-compressed, or as raw bytes that may be a damaged gzip stream or no log at all.

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessarin::fuzz;
    FuzzedDataProvider input(data, size);
    const int how = input.ConsumeIntegralInRange(0, 2);
    const Bytes rest = input.ConsumeRemainingBytes<std::uint8_t>();
    constexpr std::string_view kOpening = "[\n{\"version\"";
    switch (how) {
        case 0:
            loadAndPlay(withHeader(kOpening, rest.data(), rest.size()));
            break;
        case 1:
            loadAndPlay(gzipped(withHeader(kOpening, rest.data(), rest.size())));
            break;
        default:
            loadAndPlay(rest);
            break;
    }
    return 0;
}
