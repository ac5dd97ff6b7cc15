// Monitor text datagrams (protocols 3 to 5): a sequence of datagrams cut from one input,
// each fed to the text parser as the receiving thread feeds it; then what was stored is
// played and saved in both formats.

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tessarin;
    FuzzedDataProvider input(data, size);
    static fuzz::NullHost host;
    static LogPlayer player(host);
    player.command(kCmdReset);
    player.prepareLiveGame();
    player.clearGame();
    while (input.remaining_bytes() > 0) {
        const auto datagram = input.ConsumeBytes<std::uint8_t>(input.ConsumeIntegralInRange<std::size_t>(0, 8192));
        player.parse_monitor_text(datagram.data(), datagram.size());
    }
    player.command(kCmdPlay);
    player.current();
    player.save(fuzz::kDiscardPath);
    player.save(fuzz::kDiscardPath, nullptr, SaveFormat::V6);
    return 0;
}
