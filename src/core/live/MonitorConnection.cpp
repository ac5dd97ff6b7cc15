#include "live/MonitorConnection.h"

#include <cmath>
#include <string_view>

#include "record/LogPlayer.h"

namespace tessarin {

int toSixteenths(double metres) { return static_cast<int>(std::trunc(metres * 16.0)); }

SidedUnum sidedUnumOf(int selected) {
    if (selected >= 0 && selected <= 10) return {1, selected + 1};
    if (selected >= 11 && selected <= 21) return {-1, selected - 10};
    if (selected == 22) return {0, 0};
    return {-1, 13};
}

CMonitorConnection::CMonitorConnection(LogPlayer& player, MonitorHost& host) : player_(player), monitorHost_(host) {}

CMonitorConnection::~CMonitorConnection() { Disconnect(true); }

bool CMonitorConnection::Command(int number) {
    switch (number) {
        case kMonitorConnect:
            ConnectWithDialog();
            break;
        case kMonitorDisconnect:
            Disconnect(false);
            break;
        case kMonitorReconnect:
            Reconnect();
            break;
        case kMonitorKickOff:
            SendText("(dispstart)");
            break;
        case kMonitorReceiveEnded:
            connected_ = false;
            if (firstDatagramPending_.exchange(false)) monitorHost_.connectionUnanswered();
            break;
        default:
            break;
    }
    return true;
}

bool CMonitorConnection::Command(int number, int a, int b) {
    int side = 0;
    switch (number) {
        case kMonitorDropBall:
            side = 0;
            break;
        case kMonitorLeftFreekick:
            side = 1;
            break;
        case kMonitorRightFreekick:
            side = -1;
            break;
        case kMonitorDiscardPlayer:
            if ((a == 1 || a == -1) && b >= 1 && b <= 11) {
                SendText("(dispdiscard " + std::to_string(a) + " " + std::to_string(b) + ")");
            }
            return true;
        default:
            return true;
    }
    SendText("(dispfoul " + std::to_string(a) + " " + std::to_string(b) + " " + std::to_string(side) + ")");
    return true;
}

bool CMonitorConnection::Command(int number, int side, int unum, int x, int y) {
    if (number == kMonitorMovePlayer && (side == 1 || side == -1) && unum >= 1 && unum <= 11) {
        SendText("(dispplayer " + std::to_string(side) + " " + std::to_string(unum) + " " + std::to_string(x) + " " +
                 std::to_string(y) + " 0)");
    }
    return true;
}

void CMonitorConnection::ConnectWithDialog() {
    const auto address = monitorHost_.askServer();
    if (!address) return;
    Connect(address->host, address->port, address->protocol);
}

void CMonitorConnection::Connect(const std::string& host, int port, int protocol) {
    host_ = host;
    port_ = static_cast<std::uint16_t>(port);
    protocol_ = protocol >= kMinMonitorProtocol && protocol <= kMaxMonitorProtocol ? protocol : kDefaultMonitorProtocol;
    connect();
}

bool CMonitorConnection::GiveCard(int side, int unum, Card card) {
    if (!canGiveCards() || (side != 1 && side != -1) || unum < 1 || unum > 11 || card == Card::None) {
        return false;
    }
    SendText("(dispcard " + std::to_string(side) + " " + std::to_string(unum) + " " +
             (card == Card::Yellow ? "yellow" : "red") + ")");
    return true;
}

bool CMonitorConnection::silentFor(std::chrono::steady_clock::time_point now) const {
    return thread_ && connected_ && !answered_ && now - connectedAt_ >= kAnswerTimeout;
}

std::string CMonitorConnection::silenceNote() const {
    std::string note = "No answer from " + host_ + ":" + std::to_string(port_) + " to \"(dispinit version " +
                       std::to_string(protocol_) + ")\" within " + std::to_string(kAnswerTimeout.count()) + " s";
    if (protocol_ != kMinMonitorProtocol) note += "; an older server may need protocol 2";
    return note;
}

void CMonitorConnection::connect() {
    Disconnect(false);
    // A thread left from a connection that ended by itself is discarded here.
    thread_.reset();
    // The open game stays until the server answers: a connect to an address where nothing
    // listens must not cost the user the game on screen. Playback stops now; the store is
    // emptied by the first datagram.
    player_.prepareLiveGame();
    monitorHost_.setLogMode(false);
    thread_ = std::make_unique<CSocketThread>(*this, host_, port_);
    if (!thread_->opened()) return;
    firstDatagramPending_ = true;
    answered_ = false;
    fullSaid_ = false;
    connectedAt_ = std::chrono::steady_clock::now();
    // Connected is set before the thread starts: a refused init ends the receive loop at
    // once, and its clearing of the flag must not be overwritten afterwards.
    connected_ = true;
    thread_->start();
    SendText("(dispinit version " + std::to_string(protocol_) + ")");
}

void CMonitorConnection::Reconnect() {
    if (!everReceived_) {
        ConnectWithDialog();
        return;
    }
    if (monitorHost_.askYesNo("Reconnect to server?", "Reconnect")) connect();
}

void CMonitorConnection::Disconnect(bool keepDisplay) {
    // Ending the connection ourselves is not a failure to answer.
    firstDatagramPending_ = false;
    if (thread_ && thread_->socket().IsOpen()) {
        if (connected_) SendText("(dispbye)");
        thread_->Stop();
        thread_.reset();
        connected_ = false;
        monitorHost_.disconnectTrainer();
    } else if (thread_) {
        // The receive loop ended by itself: its thread has finished; join and discard it.
        thread_->Stop();
        thread_.reset();
        connected_ = false;
    }
    if (!keepDisplay) {
        monitorHost_.setLogMode(true);
        monitorHost_.drawLogPlayerRecord();
    }
}

void CMonitorConnection::SendText(const std::string& text) { SendBytes(text.data(), text.size()); }

void CMonitorConnection::SendBytes(const void* bytes, std::size_t length) {
    if (thread_ && thread_->socket().IsOpen()) thread_->socket().Send(bytes, length);
}

void CMonitorConnection::startLiveGame() {
    monitorHost_.setCurrentRecord(std::nullopt);
    player_.clearGame();
    monitorHost_.liveGameStarted();
}

void CMonitorConnection::OnDispinfo(const std::uint8_t* packet, std::size_t size) {
    ++datagrams_;
    answered_ = true;
    // A refusal ("(error no_more_monitor)", "(error illegal_client_version)") is said to
    // the user and is no game: the one that was open stays.
    const std::string_view text(reinterpret_cast<const char*>(packet), size);
    if (text.starts_with("(error") || text.starts_with("(warning")) {
        monitorHost_.serverSaid(std::string(text.substr(0, std::min<std::size_t>(text.find('\0'), 256))));
        return;
    }
    connected_ = true;
    everReceived_ = true;
    if (firstDatagramPending_.exchange(false)) startLiveGame();
    if (!monitorHost_.displayExists()) return;
    const bool show =
        textProtocol() ? player_.parse_monitor_text(packet, size) : player_.parse_monitor_packet(packet, size);
    // Past the budget a show is dropped: the display keeps the last one it drew.
    if (player_.overBudget()) {
        if (!fullSaid_.exchange(true)) monitorHost_.storeFull();
    } else if (show) {
        monitorHost_.setCurrentRecord(player_.last());
    }
}

void CMonitorConnection::OnDebugText(const std::string& text) {
    ++datagrams_;
    answered_ = true;
    monitorHost_.setDebugText(text);
}

bool CMonitorConnection::IsAvailable(int number) const {
    switch (number) {
        case kMonitorConnect:
        case kMonitorReconnect:
            return !connected_;
        case kMonitorDisconnect:
        case kMonitorKickOff:
        case kMonitorDropBall:
        case kMonitorLeftFreekick:
        case kMonitorRightFreekick:
        case kMonitorMovePlayer:
        case kMonitorDiscardPlayer:
            return connected_;
        default:
            return true;
    }
}

std::string CMonitorConnection::socketHost() const { return thread_ ? thread_->socket().host() : std::string(); }

std::uint16_t CMonitorConnection::peerPort() const { return thread_ ? thread_->socket().peerPort() : 0; }

std::uint16_t CMonitorConnection::localPort() const { return thread_ ? thread_->socket().localPort() : 0; }

std::uint64_t CMonitorConnection::foreignDatagrams() const {
    return thread_ ? thread_->socket().foreignDatagrams() : 0;
}

}  // namespace tessarin
