#pragma once

// What the monitor connection needs from the program around it: the field display,
// the connect dialog, a yes/no question and the trainer. The GUI's main frame
// implements it; the command-line recorder and the tests implement it with fakes.

#include <cstdint>
#include <optional>
#include <string>

#include "record/GameRecords.h"

namespace tessarin {

// The monitor protocol spoken unless the user chooses another: servers 17 to 19 speak
// it; 2 (binary) is for older servers, 3 and 4 for what lies between.
inline constexpr int kDefaultMonitorProtocol = 5;
inline constexpr int kMinMonitorProtocol = 2;
inline constexpr int kMaxMonitorProtocol = 5;

struct ServerAddress {
    std::string host;
    int port = 0;  // as typed; the connection uses it modulo 65536
    int protocol = kDefaultMonitorProtocol;
};

class MonitorHost {
public:
    virtual ~MonitorHost() = default;

    // Whether a field display exists; without one, packets and referee commands are dropped.
    virtual bool displayExists() const = 0;
    // Hands a record to the display (none clears it). Called on the receiving thread
    // for every stored show: it must copy the record and queue a repaint, never block.
    virtual void setCurrentRecord(const std::optional<cycle_info_t>& record) = 0;
    // The display's mode: log-player mode (true) or monitor mode (false).
    virtual void setLogMode(bool logMode) = 0;
    // Draws the log player's current record again (after the display left monitor mode).
    virtual void drawLogPlayerRecord() = 0;
    // The last "(debug" message from a client, replacing the previous one. Called on the
    // receiving thread; the display keeps it whole (no torn message).
    virtual void setDebugText(const std::string& text) = 0;

    // The modal "Connect to server" dialog; none when cancelled.
    virtual std::optional<ServerAddress> askServer() = 0;
    // A Yes/No message box; true for Yes.
    virtual bool askYesNo(const std::string& text, const std::string& caption) = 0;
    // Ends the trainer's connection (its socket closes and its statistics are written).
    virtual void disconnectTrainer() = 0;

    // The first datagram of a connection has arrived and the game it replaces is gone.
    // Called on the receiving thread; it must not block or call back.
    virtual void liveGameStarted() {}
    // The connection ended before any datagram arrived (nothing listens at the address):
    // the game that was open is still there. Called on the receiving thread, once per
    // connection; it must not block or call back.
    virtual void connectionUnanswered() {}
    // The server answered with an error or warning text ("(error illegal_client_version)")
    // instead of the game. Called on the receiving thread; it must not block or call back.
    virtual void serverSaid(const std::string& /*text*/) {}
    // The store reached its budget and dropped a show: no later show is drawn, so the
    // program must say so without waiting for one. Called on the receiving thread, once
    // per connection; it must not block or call back.
    virtual void storeFull() {}
};

}  // namespace tessarin
