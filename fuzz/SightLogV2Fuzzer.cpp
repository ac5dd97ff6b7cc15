// Version-2 sight-log reader with its three decision files, all cut from one input.

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessarin::fuzz;
    FuzzedDataProvider input(data, size);
    std::array<Bytes, 3> files;
    std::array<std::optional<std::span<const std::uint8_t>>, 3> decisions;
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (!input.ConsumeBool()) continue;
        files[i] = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 4096));
        decisions[i] = files[i];
    }
    const Bytes rest = input.ConsumeRemainingBytes<std::uint8_t>();
    const Bytes file = withHeader("SLH", rest.data(), rest.size());
    loadAndPlay(file, decisions);
    return 0;
}
