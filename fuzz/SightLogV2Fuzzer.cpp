// Version-2 sight-log reader with its three decision files, all cut from one input.

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessarin::fuzz;
    FuzzedDataProvider input(data, size);
    const char* const names[] = {"f-pass.dec", "f-intercept.dec", "f-behave.dec"};
    std::vector<std::string> written;
    for (const char* name : names) {
        if (!input.ConsumeBool()) continue;
        const auto bytes = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 4096));
        const std::string path = scratchFile(name);
        writeFile(path, bytes.data(), bytes.size());
        written.push_back(path);
    }
    std::vector<std::uint8_t> file = {'S', 'L', 'H'};
    const auto rest = input.ConsumeRemainingBytes<std::uint8_t>();
    file.insert(file.end(), rest.begin(), rest.end());
    const std::string path = scratchFile("f-log.slh");
    writeFile(path, file.data(), file.size());
    loadAndPlay(path);
    for (const auto& p : written) removeFile(p);
    return 0;
}
