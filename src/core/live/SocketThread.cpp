#include "live/SocketThread.h"

#include <cstring>
#include <string_view>

#include "live/MonitorConnection.h"

namespace tessarin {

namespace {
constexpr std::string_view kDebugPrefix = "(debug";
}

CSocketThread::CSocketThread(CMonitorConnection& owner, const std::string& host, std::uint16_t port) : owner_(owner) {
    opened_ = socket_.Open(host, port);
}

CSocketThread::~CSocketThread() { Stop(); }

bool CSocketThread::start() {
    if (!opened_ || thread_.joinable()) return false;
    thread_ = std::jthread([this] { Run(); });
    return true;
}

void CSocketThread::Stop() {
    running_ = false;
    if (thread_.joinable()) {
        socket_.Shutdown();
        thread_.join();
    }
    socket_.Close();
}

void CSocketThread::Run() {
    std::array<std::uint8_t, kReceiveBufferSize> buffer{};
    std::array<std::uint8_t, kPacketSize> packet{};
    while (running_ && opened_) {
        const std::size_t got = socket_.Receive(buffer.data(), buffer.size());
        if (got == 0) {
            if (!socket_.IsOpen() || !running_) break;
            continue;
        }
        if (!running_) break;
        const std::string_view text(reinterpret_cast<const char*>(buffer.data()), got);
        if (text.starts_with(kDebugPrefix)) {
            // A client's text ends at its first NUL: what follows is not part of it.
            owner_.OnDebugText(std::string(text.substr(0, text.find('\0'))));
        } else if (owner_.textProtocol()) {
            // A text datagram is read whole (the server sends at most the buffer's size).
            owner_.OnDispinfo(buffer.data(), got);
        } else {
            // The packet buffer keeps the bytes of earlier packets beyond a shorter
            // datagram; the parser reads only what the packet's kind needs.
            std::memcpy(packet.data(), buffer.data(), std::min(got, packet.size()));
            owner_.OnDispinfo(packet.data(), std::min(got, packet.size()));
        }
    }
    socket_.Close();
    owner_.Command(kMonitorReceiveEnded);
}

}  // namespace tessarin
