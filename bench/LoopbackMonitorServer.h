#pragma once

// The server's side of a monitor connection on loopback, for benchmarks: it takes the
// client's "(dispinit version N)" on its monitor port and sends the game from a port of
// its own, as the simulation server does. It keeps no record of what it receives.

#include <chrono>
#include <cstddef>
#include <cstdint>

#include <netinet/in.h>

namespace tessarin::bench {

class LoopbackMonitorServer final {
public:
    // Binds both ports on 127.0.0.1; ok() tells whether that worked.
    LoopbackMonitorServer();
    ~LoopbackMonitorServer();
    LoopbackMonitorServer(const LoopbackMonitorServer&) = delete;
    LoopbackMonitorServer& operator=(const LoopbackMonitorServer&) = delete;

    bool ok() const { return monitor_ >= 0 && game_ >= 0; }
    std::uint16_t monitorPort() const { return monitorPort_; }

    // Waits at most `limit` for a client's init and returns its version (0 on time-out or
    // when the datagram is no init); later datagrams go to that client.
    int awaitInit(std::chrono::milliseconds limit);
    // Sends one datagram from the game port to the client; false unless all of it went.
    bool send(const void* bytes, std::size_t length);

private:
    int monitor_ = -1;
    int game_ = -1;
    std::uint16_t monitorPort_ = 0;
    sockaddr_in client_{};
    bool haveClient_ = false;
};

}  // namespace tessarin::bench
