// Parser of the clients' "(debug" messages: any bytes, with and without the prefix.

#include <cstddef>
#include <cstdint>
#include <string>

#include "live/DebugText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string raw(data, data + size);
    tessarin::parseDebugText(raw);
    tessarin::parseDebugText("(debug " + raw);
    return 0;
}
