#pragma once

// The monitor client of the simulation server: connects, receives the game, referees.

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "live/MonitorHost.h"
#include "live/SocketThread.h"
#include "record/Companion.h"

namespace tessarin {

class LogPlayer;

// Monitor operations.
enum MonitorCommand : int {
    kMonitorConnect = 0,
    kMonitorDisconnect = 1,
    kMonitorReconnect = 2,
    kMonitorKickOff = 3,
    kMonitorDropBall = 4,
    kMonitorLeftFreekick = 5,
    kMonitorRightFreekick = 6,
    kMonitorMovePlayer = 7,
    kMonitorDiscardPlayer = 8,
    kMonitorReceiveEnded = 9,
};

inline constexpr const char* kDefaultServerHost = "localhost";
inline constexpr int kDefaultServerPort = 6000;

// A field coordinate in metres as the monitor protocol's sixteenths, truncated toward zero.
int toSixteenths(double metres);

// Side (1 left, −1 right, 0 ball) and uniform number of a selection index
// (0..10 left players, 11..21 right players, 22 the ball, 23 nothing: side −1, number 13).
struct SidedUnum {
    int side = -1;
    int unum = 13;
};
SidedUnum sidedUnumOf(int selected);

// Controller of the live connection: keeps the server address, runs the connect and
// disconnect sequences, and formats and sends every command. Commands come from the GUI
// thread; OnDispinfo(), OnDebugText() and Command(9) come from the receiving thread.
class CMonitorConnection final {
public:
    CMonitorConnection(LogPlayer& player, MonitorHost& host);
    // Disconnects keeping the display as it is.
    ~CMonitorConnection();
    CMonitorConnection(const CMonitorConnection&) = delete;
    CMonitorConnection& operator=(const CMonitorConnection&) = delete;

    bool Command(int number);
    bool Command(int number, int a, int b);
    bool Command(int number, int side, int unum, int x, int y);

    void ConnectWithDialog();
    // Connects to this host and port (the port as typed, used modulo 65536) with a
    // monitor protocol from 2 to 5 (others are taken as the default).
    void Connect(const std::string& host, int port, int protocol = kDefaultMonitorProtocol);
    // "(dispcard SIDE UNUM yellow|red)" for a player (side 1 left, -1 right) when
    // canGiveCards() and the card is yellow or red; false (nothing sent) otherwise.
    bool GiveCard(int side, int unum, Card card);
    // Connected with protocol 3 to 5 and answered: before the server's first datagram a
    // command would reach its init port, which refuses everything but an init.
    bool canGiveCards() const { return connected_ && answered_ && textProtocol(); }
    void Reconnect();
    void Disconnect(bool keepDisplay);

    void SendText(const std::string& text);
    void SendBytes(const void* bytes, std::size_t length);

    // A datagram that is not a debug text: a dispinfo packet (protocol 2) or a text.
    void OnDispinfo(const std::uint8_t* packet, std::size_t size);
    bool textProtocol() const { return protocol_ >= 3; }
    void OnDebugText(const std::string& text);

    bool IsAvailable(int number) const;
    bool connected() const { return connected_; }
    int protocol() const { return protocol_; }
    // Whether the open connection has been waiting longer than kAnswerTimeout for the
    // server's first datagram; silenceNote() then says so for the user.
    bool silentFor(std::chrono::steady_clock::time_point now) const;
    std::string silenceNote() const;
    static constexpr std::chrono::seconds kAnswerTimeout{3};
    // Whether the last connect resolved the host and opened its socket (true also when the
    // connection has ended since, for example because nothing listened).
    bool socketOpened() const { return thread_ && thread_->opened(); }
    bool everReceived() const { return everReceived_; }
    // Datagrams handed on (dispinfo packets and debug texts) since construction; a
    // watcher sees from it whether the server still speaks.
    std::uint64_t datagramsReceived() const { return datagrams_; }
    const std::string& host() const { return host_; }
    std::uint16_t port() const { return port_; }
    // The dotted address and the current destination port of the open socket, for tests
    // and the status line; empty and 0 when there is none.
    std::string socketHost() const;
    std::uint16_t peerPort() const;
    std::uint16_t localPort() const;
    // Datagrams from hosts other than the server that the open socket dropped.
    std::uint64_t foreignDatagrams() const;

private:
    void connect();
    // On the receiving thread, at the first datagram: the live game replaces the open one.
    void startLiveGame();

    LogPlayer& player_;
    MonitorHost& monitorHost_;
    std::string host_;                                    // GUI thread only
    std::uint16_t port_ = 0;                              // GUI thread only
    std::atomic<int> protocol_{kDefaultMonitorProtocol};  // set by the GUI thread before the receiver starts
    std::chrono::steady_clock::time_point connectedAt_;   // GUI thread only
    std::atomic<bool> answered_{false};                   // cleared at connect, set by the receiver
    std::atomic<bool> fullSaid_{false};                   // cleared at connect, set by the receiver
    std::atomic<bool> connected_{false};                  // written by both threads
    std::atomic<bool> everReceived_{false};               // written by the receiver, read by the GUI thread
    std::atomic<std::uint64_t> datagrams_{0};             // counted by the receiver, read by anyone
    // Set by connect() while the game that was open is still kept; the receiver's first
    // datagram (which then empties the store) or the end of an unanswered connection
    // takes it, and so does a disconnect: whoever exchanges it first acts on it.
    std::atomic<bool> firstDatagramPending_{false};
    std::unique_ptr<CSocketThread> thread_;  // created and destroyed on the GUI thread
};

}  // namespace tessarin
