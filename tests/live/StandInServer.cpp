#include "live/StandInServer.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "support/Eventually.h"
#include "support/LogBuilder.h"

namespace tessarin::test {

std::vector<std::uint8_t> paddedDispinfo(int kind, const std::vector<std::uint8_t>& body) {
    auto packet = dispinfoPacket(kind, body);
    if (packet.size() < 2056) packet.resize(2056, 0);
    return packet;
}

StandInServer::StandInServer() {
    for (int i = 0; i < kSocketCount; ++i) {
        sockets_[i] = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (sockets_[i] < 0) throw std::runtime_error("socket failed");
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(i == kOtherHost ? INADDR_LOOPBACK + 1 : INADDR_LOOPBACK);
        sockaddr a;
        std::memcpy(&a, &address, sizeof address);
        if (::bind(sockets_[i], &a, sizeof address) != 0) throw std::runtime_error("bind failed");
        socklen_t length = sizeof a;
        ::getsockname(sockets_[i], &a, &length);
        std::memcpy(&address, &a, sizeof address);
        ports_[i] = ntohs(address.sin_port);
    }
    thread_ = std::thread([this] { run(); });
}

StandInServer::~StandInServer() {
    stop_ = true;
    thread_.join();
    for (int s : sockets_) ::close(s);
}

void StandInServer::run() {
    std::vector<char> buffer(70000);
    while (!stop_) {
        pollfd fds[3];
        for (int i = 0; i < 3; ++i) fds[i] = {sockets_[i], POLLIN, 0};
        if (::poll(fds, 3, 20) <= 0) continue;
        for (int i = 0; i < 3; ++i) {
            if (!(fds[i].revents & POLLIN)) continue;
            sockaddr_in from{};
            sockaddr a{};
            socklen_t length = sizeof a;
            const ssize_t got = ::recvfrom(sockets_[i], buffer.data(), buffer.size(), 0, &a, &length);
            if (got < 0) continue;
            std::memcpy(&from, &a, sizeof from);
            std::lock_guard lock(mutex_);
            received_.push_back({ports_[i], std::string(buffer.data(), static_cast<std::size_t>(got))});
            if (i == kMonitor) lastSender_ = from;
            int version = 0;
            if (i == kMonitor && std::sscanf(received_.back().text.c_str(), "(dispinit version %d)", &version) == 1) {
                client_ = from;
                haveClient_ = true;
                initVersion_ = version;
            }
        }
    }
}

bool StandInServer::waitFor(const std::function<bool(const std::vector<Received>&)>& done,
                            std::chrono::milliseconds limit) {
    return eventually(
        [&] {
            std::lock_guard lock(mutex_);
            return done(received_);
        },
        limit);
}

bool StandInServer::waitForInit(std::chrono::milliseconds limit) {
    return waitFor([this](const std::vector<Received>&) { return haveClient_; }, limit);
}

bool StandInServer::waitForText(const std::string& text, std::chrono::milliseconds limit) {
    return waitFor(
        [&](const std::vector<Received>& r) {
            for (const auto& x : r) {
                if (x.text == text) return true;
            }
            return false;
        },
        limit);
}

std::vector<StandInServer::Received> StandInServer::received() const {
    std::lock_guard lock(mutex_);
    return received_;
}

void StandInServer::sendFrom(int socketIndex, const std::vector<std::uint8_t>& datagram) {
    sockaddr_in to{};
    {
        std::lock_guard lock(mutex_);
        if (!haveClient_) return;
        to = client_;
    }
    sockaddr a;
    std::memcpy(&a, &to, sizeof to);
    ::sendto(sockets_[socketIndex], datagram.data(), datagram.size(), 0, &a, sizeof to);
}

void StandInServer::sendParameters(int playerTypes) {
    std::vector<std::uint8_t> server(396, 0);
    const auto ballSize = static_cast<std::uint32_t>(toFixed(0.085));
    for (int i = 0; i < 4; ++i)
        server[104 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(ballSize >> (24 - 8 * i));
    sendRaw(paddedDispinfo(8, server));
    sendRaw(paddedDispinfo(9, std::vector<std::uint8_t>(132, 0)));
    for (int id = 0; id < playerTypes; ++id) {
        std::vector<std::uint8_t> type(88, 0);
        type[1] = static_cast<std::uint8_t>(id);
        sendRaw(paddedDispinfo(7, type));
    }
}

std::vector<std::uint8_t> showDatagram(const show_info_t& show) {
    std::vector<std::uint8_t> body(sizeof show);
    std::memcpy(body.data(), &show, sizeof show);
    return paddedDispinfo(1, body);
}

void StandInServer::sendShow(const show_info_t& show) { sendRaw(showDatagram(show)); }

void StandInServer::sendMessage(const std::string& text) {
    std::vector<std::uint8_t> body;
    appendBe16(body, 1);
    body.insert(body.end(), text.begin(), text.end());
    body.push_back(0);
    sendRaw(paddedDispinfo(2, body));
}

void StandInServer::sendRaw(const std::vector<std::uint8_t>& datagram) { sendFrom(kGame, datagram); }

void StandInServer::sendText(const std::string& text) {
    std::vector<std::uint8_t> datagram(text.begin(), text.end());
    datagram.push_back(0);
    sendRaw(datagram);
}

int StandInServer::initVersion() const {
    std::lock_guard lock(mutex_);
    return initVersion_;
}

void StandInServer::sendGameShow(int cycle, std::uint32_t leftOneState) {
    const double ballX = cycle / 10.0;
    if (initVersion() < 3) {
        sendShow(ShowBuilder(cycle)
                     .playmode(PM_PlayOn)
                     .team(0, "Live", 1)
                     .ball(ballX, -2)
                     .player(0, static_cast<int>(leftOneState & 0xffff), 0, -10, 5)
                     .player(11, 1, 0, 10, -5)
                     .build());
        return;
    }
    char head[96];
    std::snprintf(head, sizeof head, "((b) %g -2 0 0) ((l 1) 0 0x%x", ballX, static_cast<unsigned>(leftOneState));
    sendText("(show " + std::to_string(cycle) + " (pm 3) (tm Live null 1 0) " + head +
             " -10 5 0 0 0 0 (v h 90) (s 7000 1 1 120000) (f l 2) (c 1 2 3 4 5 6 7 8 9 10 11 12))" +
             " ((r 1) 0 0x1 10 -5 0 0 180 0 (v h 90) (s 8000 1 1 130000) (c 0 0 0 0 0 0 0 0 0 0 0 0)))");
}

void StandInServer::replyToLastSender(const std::string& text) { replyFrom(kMonitor, text); }

void StandInServer::replyFrom(int socketIndex, const std::string& text) {
    sockaddr_in to{};
    {
        std::lock_guard lock(mutex_);
        to = lastSender_;
    }
    sockaddr a;
    std::memcpy(&a, &to, sizeof to);
    ::sendto(sockets_[socketIndex], text.data(), text.size(), 0, &a, sizeof to);
}

void StandInServer::sendFromOtherHost(const std::vector<std::uint8_t>& datagram) { sendFrom(kOtherHost, datagram); }

void StandInServer::replyFromOtherHost(const std::string& text) { replyFrom(kOtherHost, text); }

void StandInServer::sendDebug(const std::string& text) {
    sendFrom(kDebug, std::vector<std::uint8_t>(text.begin(), text.end()));
}

}  // namespace tessarin::test
