#include "live/UdpSocket.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tessarin {

namespace {

// Resolves a host name to the dotted text of its first IPv4 address; a dotted address
// that does not resolve by name is taken as it is.
bool resolve(const std::string& host, std::string& dotted) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* result = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &result) == 0 && result != nullptr) {
        sockaddr_in address{};
        std::memcpy(&address, result->ai_addr, std::min<std::size_t>(sizeof address, result->ai_addrlen));
        ::freeaddrinfo(result);
        char text[INET_ADDRSTRLEN] = {};
        if (::inet_ntop(AF_INET, &address.sin_addr, text, sizeof text) == nullptr) return false;
        dotted = text;
        return true;
    }
    if (result != nullptr) ::freeaddrinfo(result);
    in_addr parsed{};
    if (::inet_pton(AF_INET, host.c_str(), &parsed) == 1) {
        dotted = host;
        return true;
    }
    return false;
}

}  // namespace

CUdpSocket::~CUdpSocket() { Close(); }

bool CUdpSocket::Open(const std::string& host, std::uint16_t port) {
    std::lock_guard lock(mutex_);
    closeLocked();
    shutdown_ = false;
    refused_ = false;
    std::string dotted;
    if (!resolve(host, dotted)) return false;
    host_ = dotted;
    if (::inet_pton(AF_INET, host_.c_str(), &peerAddress_) != 1) return false;
    peerPort_ = htons(port);

    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    local.sin_port = 0;
    sockaddr address;
    std::memcpy(&address, &local, sizeof local);
    if (::bind(fd, &address, sizeof local) != 0) {
        ::close(fd);
        return false;
    }
    // Ask for the ICMP reports of datagrams that reached no listening port: they come
    // back as ECONNREFUSED from the next receive, which ends the connection.
    const int on = 1;
    ::setsockopt(fd, IPPROTO_IP, IP_RECVERR, &on, sizeof on);
    sock_ = fd;
    return true;
}

void CUdpSocket::closeLocked() {
    if (sock_ >= 0) {
        ::close(sock_);
        sock_ = -1;
    }
}

void CUdpSocket::Close() {
    std::lock_guard lock(mutex_);
    closeLocked();
}

bool CUdpSocket::IsOpen() const {
    std::lock_guard lock(mutex_);
    return sock_ >= 0;
}

void CUdpSocket::Shutdown() {
    std::lock_guard lock(mutex_);
    shutdown_ = true;
    if (sock_ >= 0) ::shutdown(sock_, SHUT_RDWR);
}

std::size_t CUdpSocket::Send(const void* bytes, std::size_t length) {
    std::lock_guard lock(mutex_);
    if (sock_ < 0) return 0;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr = peerAddress_;
    to.sin_port = peerPort_.load();
    sockaddr address;
    std::memcpy(&address, &to, sizeof to);
    const ssize_t sent = ::sendto(sock_, bytes, length, MSG_NOSIGNAL, &address, sizeof to);
    if (sent < 0 && errno == ECONNREFUSED) refused_ = true;
    return sent > 0 ? static_cast<std::size_t>(sent) : 0;
}

bool CUdpSocket::fromPeerHost(const sockaddr_storage& from, sockaddr_in& sender) const {
    if (from.ss_family != AF_INET) return false;
    std::memcpy(&sender, &from, sizeof sender);
    return sender.sin_addr.s_addr == peerAddress_.s_addr;
}

std::size_t CUdpSocket::Receive(void* buffer, std::size_t size) {
    for (;;) {
        int fd = -1;
        {
            std::lock_guard lock(mutex_);
            fd = sock_;
        }
        if (fd < 0 || shutdown_) return 0;
        sockaddr_storage from{};
        socklen_t fromLength = sizeof from;
        sockaddr* fromAddress = reinterpret_cast<sockaddr*>(&from);
        // MSG_TRUNC makes the call report the datagram's real length, so that a datagram
        // longer than the buffer is recognised and dropped rather than cut.
        const ssize_t got = ::recvfrom(fd, buffer, size, MSG_TRUNC, fromAddress, &fromLength);
        if (got < 0) {
            if (errno == ECONNREFUSED) {
                refused_ = true;
                Close();
            }
            return 0;
        }
        if (shutdown_) return 0;
        sockaddr_in sender{};
        if (!fromPeerHost(from, sender)) {
            // Another host: neither its data nor its port is taken; wait for the next one.
            ++foreignDatagrams_;
            continue;
        }
        if (got == 0 || static_cast<std::size_t>(got) > size) return 0;
        peerPort_ = sender.sin_port;
        return static_cast<std::size_t>(got);
    }
}

std::size_t CUdpSocket::ReceiveNow(void* buffer, std::size_t size) {
    std::lock_guard lock(mutex_);
    if (sock_ < 0) return 0;
    for (;;) {
        sockaddr_storage from{};
        socklen_t fromLength = sizeof from;
        sockaddr* fromAddress = reinterpret_cast<sockaddr*>(&from);
        const ssize_t got = ::recvfrom(sock_, buffer, size, MSG_DONTWAIT | MSG_TRUNC, fromAddress, &fromLength);
        if (got < 0 && errno == ECONNREFUSED) refused_ = true;
        if (got <= 0) return 0;
        sockaddr_in sender{};
        if (!fromPeerHost(from, sender)) {
            ++foreignDatagrams_;
            continue;
        }
        if (static_cast<std::size_t>(got) > size) return 0;
        return static_cast<std::size_t>(got);
    }
}

std::uint16_t CUdpSocket::peerPort() const { return ntohs(peerPort_.load()); }

std::uint16_t CUdpSocket::localPort() const {
    std::lock_guard lock(mutex_);
    if (sock_ < 0) return 0;
    sockaddr_in local{};
    socklen_t length = sizeof local;
    sockaddr address{};
    if (::getsockname(sock_, &address, &length) != 0) return 0;
    std::memcpy(&local, &address, sizeof local);
    return ntohs(local.sin_port);
}

}  // namespace tessarin
