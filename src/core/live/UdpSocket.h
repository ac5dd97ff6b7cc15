#pragma once

// The datagram endpoint of the monitor connection and of the trainer.

#include <netinet/in.h>
#include <sys/socket.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>

namespace tessarin {

// An unconnected IPv4 UDP socket bound to a port of the system's choice. Every send goes
// to `peer`: its address is fixed when the socket opens, its port follows the sender of
// the latest datagram received, so that commands answer whoever spoke last. Only the
// peer's host is listened to: datagrams from any other address are dropped unread and
// counted, so that a stranger can neither inject data nor move the peer port.
//
// Threads: one thread receives while others send. The descriptor is guarded by
// `mutex_` for opening, sending and closing; a blocked Receive() is woken by Shutdown()
// and the socket is closed once the receiver has been joined (or by the receiver itself
// when the peer refused a datagram).
class CUdpSocket final {
public:
    CUdpSocket() = default;
    ~CUdpSocket();
    CUdpSocket(const CUdpSocket&) = delete;
    CUdpSocket& operator=(const CUdpSocket&) = delete;

    // Resolves the host (keeping its dotted address), creates and binds the socket.
    bool Open(const std::string& host, std::uint16_t port);
    void Close();
    bool IsOpen() const;
    // Wakes a thread blocked in Receive(); the socket stays open until Close().
    void Shutdown();

    // Bytes sent, 0 when closed or the send failed.
    std::size_t Send(const void* bytes, std::size_t length);
    std::size_t Send(const std::string& text) { return Send(text.data(), text.size()); }
    // Waits for one datagram of at most `size` bytes and returns its length; 0 on failure,
    // when closed or woken by Shutdown(). A longer datagram is a failure (and is dropped).
    // A refused earlier send (ICMP port unreachable) closes the socket.
    std::size_t Receive(void* buffer, std::size_t size);

    // Takes one datagram that has already arrived, without waiting; 0 when none is there.
    std::size_t ReceiveNow(void* buffer, std::size_t size);
    // Whether the peer refused a datagram sent since the socket was opened (the ICMP
    // report that nothing listens at its port came back to a receive or a send).
    bool refused() const { return refused_; }
    // Datagrams dropped since construction because they came from another host.
    std::uint64_t foreignDatagrams() const { return foreignDatagrams_; }

    // The dotted address that Open() resolved the host to.
    const std::string& host() const { return host_; }
    // The port that sends go to, in host order.
    std::uint16_t peerPort() const;
    // The local port the socket is bound to, in host order (0 when closed).
    std::uint16_t localPort() const;

private:
    void closeLocked();  // requires mutex_
    // Whether a datagram came from the peer's address; fills `sender` when it is IPv4.
    bool fromPeerHost(const sockaddr_storage& from, sockaddr_in& sender) const;

    mutable std::mutex mutex_;
    int sock_ = -1;                                   // guarded by mutex_ (Receive reads a copy)
    std::atomic<bool> shutdown_{false};               // set by Shutdown(), read by the receiver
    std::string host_;                                // written by Open() before any receiver starts
    in_addr peerAddress_{};                           // fixed by Open()
    std::atomic<std::uint16_t> peerPort_{0};          // network order; written by the receiver, read by senders
    std::atomic<std::uint64_t> foreignDatagrams_{0};  // counted by the receiver, read by anyone
    std::atomic<bool> refused_{false};                // set by Receive/ReceiveNow/Send, cleared by Open()
};

}  // namespace tessarin
