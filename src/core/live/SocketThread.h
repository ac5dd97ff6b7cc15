#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "live/UdpSocket.h"

namespace tessarin {

class CMonitorConnection;

// The monitor connection's receiving thread: owns the UDP endpoint and hands every
// datagram on, dispinfo packets or texts to the connection, "(debug" texts to the display.
// It is stopped cooperatively: Stop() clears `running`, wakes the blocked receive by
// shutting the socket down and joins the thread before the socket is closed.
class CSocketThread final {
public:
    // Opens the socket at once; opened() tells whether that worked.
    CSocketThread(CMonitorConnection& owner, const std::string& host, std::uint16_t port);
    ~CSocketThread();
    CSocketThread(const CSocketThread&) = delete;
    CSocketThread& operator=(const CSocketThread&) = delete;

    bool start();
    // Stops and joins the receiving thread, then closes the socket.
    void Stop();
    bool opened() const { return opened_; }
    bool running() const { return running_; }
    CUdpSocket& socket() { return socket_; }

    static constexpr std::size_t kReceiveBufferSize = 8192;
    static constexpr std::size_t kPacketSize = 2056;

private:
    void Run();

    CMonitorConnection& owner_;
    CUdpSocket socket_;
    std::atomic<bool> running_{true};  // cleared by Stop() on the GUI thread, read by the receiver
    bool opened_ = false;              // set at construction, then only read
    std::jthread thread_;
};

}  // namespace tessarin
