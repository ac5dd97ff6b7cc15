#include "LoopbackMonitorServer.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstring>

namespace tessarin::bench {

namespace {

// A UDP socket bound to a port of the system's choice on 127.0.0.1; -1 on failure.
int bindLoopback(std::uint16_t& port) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    sockaddr address{};
    std::memcpy(&address, &local, sizeof local);
    socklen_t length = sizeof local;
    if (::bind(fd, &address, sizeof local) != 0 || ::getsockname(fd, &address, &length) != 0) {
        ::close(fd);
        return -1;
    }
    std::memcpy(&local, &address, sizeof local);
    port = ntohs(local.sin_port);
    return fd;
}

}  // namespace

LoopbackMonitorServer::LoopbackMonitorServer() {
    std::uint16_t gamePort = 0;
    monitor_ = bindLoopback(monitorPort_);
    game_ = bindLoopback(gamePort);
}

LoopbackMonitorServer::~LoopbackMonitorServer() {
    if (monitor_ >= 0) ::close(monitor_);
    if (game_ >= 0) ::close(game_);
}

int LoopbackMonitorServer::awaitInit(std::chrono::milliseconds limit) {
    if (!ok()) return 0;
    pollfd ready{monitor_, POLLIN, 0};
    if (::poll(&ready, 1, static_cast<int>(limit.count())) <= 0) return 0;
    std::array<char, 256> text{};
    sockaddr address{};
    socklen_t length = sizeof address;
    const ssize_t got = ::recvfrom(monitor_, text.data(), text.size() - 1, MSG_DONTWAIT, &address, &length);
    if (got <= 0 || address.sa_family != AF_INET) return 0;
    int version = 0;
    if (std::sscanf(text.data(), "(dispinit version %d)", &version) != 1) return 0;
    std::memcpy(&client_, &address, sizeof client_);
    haveClient_ = true;
    return version;
}

bool LoopbackMonitorServer::send(const void* bytes, std::size_t length) {
    if (!haveClient_) return false;
    sockaddr address{};
    std::memcpy(&address, &client_, sizeof client_);
    const ssize_t sent = ::sendto(game_, bytes, length, 0, &address, sizeof client_);
    return sent >= 0 && static_cast<std::size_t>(sent) == length;
}

}  // namespace tessarin::bench
