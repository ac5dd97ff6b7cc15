// Monitor-packet reader: a sequence of datagrams cut from one input.

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessarin;
    FuzzedDataProvider input(data, size);
    static fuzz::NullHost host;
    static LogPlayer player(host);
    player.command(kCmdReset);
    while (input.remaining_bytes() > 0) {
        const auto packet = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 2200));
        player.parse_monitor_packet(packet.data(), packet.size());
    }
    player.command(kCmdPlay);
    player.current();
    player.save(fuzz::kDiscardPath);
    return 0;
}
