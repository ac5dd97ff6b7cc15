#pragma once

// A stand-in for the simulation server on loopback: it takes "(dispinit version N)" on
// its monitor port, answers from a port of its own with dispinfo packets or texts, can
// send "(debug" datagrams from a third port, and records every datagram it receives.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <netinet/in.h>

#include "record/GameRecords.h"

namespace tessarin::test {

class StandInServer {
public:
    struct Received {
        std::uint16_t atPort = 0;  // the server port the datagram reached
        std::string text;
    };

    StandInServer();
    ~StandInServer();
    StandInServer(const StandInServer&) = delete;
    StandInServer& operator=(const StandInServer&) = delete;

    std::uint16_t monitorPort() const { return ports_[kMonitor]; }
    std::uint16_t gamePort() const { return ports_[kGame]; }
    std::uint16_t debugPort() const { return ports_[kDebug]; }

    // Waits until a client sent "(dispinit version N)"; false on time-out.
    bool waitForInit(std::chrono::milliseconds limit = std::chrono::seconds(5));
    // Waits until a received datagram satisfies the predicate.
    bool waitFor(const std::function<bool(const std::vector<Received>&)>& done,
                 std::chrono::milliseconds limit = std::chrono::seconds(5));
    bool waitForText(const std::string& text, std::chrono::milliseconds limit = std::chrono::seconds(5));
    std::vector<Received> received() const;

    // Sends to the client from the game port: parameter blocks, types, shows, messages, raw bytes.
    void sendParameters(int playerTypes = 18);
    void sendShow(const show_info_t& show);
    void sendMessage(const std::string& text);
    void sendRaw(const std::vector<std::uint8_t>& datagram);
    // A text datagram ending in a NUL, as the server sends them.
    void sendText(const std::string& text);
    // The version of the latest "(dispinit version N)", 0 before any.
    int initVersion() const;
    // A play-on show of this cycle in the form the client asked for (binary below version
    // 3, text from 3): the ball at (cycle / 10, -2), left 1 at (-10, 5) with this state
    // word (only its low 16 bits in binary) and right 1 at (10, -5).
    void sendGameShow(int cycle, std::uint32_t leftOneState = 1);
    // Answers the latest sender to the monitor port (the trainer's replies), from that port.
    void replyToLastSender(const std::string& text);
    // Sends a datagram to the client from the debug port.
    void sendDebug(const std::string& text);
    // A stranger on another loopback address (127.0.0.2): sends to the client, or to the
    // latest sender to the monitor port (the trainer).
    void sendFromOtherHost(const std::vector<std::uint8_t>& datagram);
    void replyFromOtherHost(const std::string& text);

private:
    // The first three are polled for what the client sends; the stranger only sends.
    enum { kMonitor = 0, kGame = 1, kDebug = 2, kOtherHost = 3, kSocketCount = 4 };
    void run();
    void sendFrom(int socketIndex, const std::vector<std::uint8_t>& datagram);
    void replyFrom(int socketIndex, const std::string& text);

    int sockets_[kSocketCount] = {-1, -1, -1, -1};
    std::uint16_t ports_[kSocketCount] = {0, 0, 0, 0};
    std::atomic<bool> stop_{false};
    mutable std::mutex mutex_;
    std::vector<Received> received_;  // guarded by mutex_
    sockaddr_in client_{};            // guarded by mutex_
    bool haveClient_ = false;         // guarded by mutex_
    int initVersion_ = 0;             // guarded by mutex_
    sockaddr_in lastSender_{};        // guarded by mutex_
    std::thread thread_;
};

// A dispinfo datagram padded to the 2056 bytes the server sends.
std::vector<std::uint8_t> paddedDispinfo(int kind, const std::vector<std::uint8_t>& body);
// The dispinfo datagram of a show.
std::vector<std::uint8_t> showDatagram(const show_info_t& show);

}  // namespace tessarin::test
