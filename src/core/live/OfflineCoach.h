#pragma once

// The trainer: Tessarin as the offline coach of the simulation server.

#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

#include "geometry/Vector.h"
#include "live/UdpSocket.h"
#include "record/GameRecords.h"

namespace tessarin {

// What the trainer needs from the program around it.
class TrainerHost {
public:
    virtual ~TrainerHost() = default;
    // A modal message box with the application's title as caption.
    virtual void showMessage(const std::string& text) = 0;
};

inline constexpr int kTrainerPort = 6001;
inline constexpr const char* kTrainerConnectFailedText = "OfflineCoach connect failed!";
inline constexpr const char* kNotCoachModeReply = "(error connected_offline_coach_without_coach_mode)";
inline constexpr const char* kNotCoachModeText =
    "The server does not accept the trainer: it runs without coach mode. Start it with server::coach=true to use "
    "the trainer.";

// Play-mode name of a Change Playmode menu entry (ids 147..168 and 32872..32898), or none.
std::optional<std::string> changePlaymodeName(int commandId);

// Moves players and the ball, changes play modes, restores stamina, and runs the five
// training modes from the display's paint step. One per program, used on the GUI thread.
class COfflineCoach final {
public:
    // Files ("record.txt", "kicker_s.txt") are written into `directory` (empty: the working
    // directory); `port` is the server's offline-coach port.
    explicit COfflineCoach(TrainerHost& host, std::string directory = {}, int port = kTrainerPort);
    ~COfflineCoach();
    COfflineCoach(const COfflineCoach&) = delete;
    COfflineCoach& operator=(const COfflineCoach&) = delete;

    // Connects to port 6001 of the monitor's host; an empty host means "localhost".
    void Connect(const std::string& monitorHost);
    void Disconnect();
    bool connected() const { return connected_; }
    // The server's offline-coach port this trainer sends to.
    int port() const { return port_; }

    void MovePlayer(int side, int unum, double x, double y, double direction, double vx, double vy);
    void MoveBall(double x, double y, double vx, double vy);
    void ChangeMode(const std::string& name);
    void Recover();
    // A Change Playmode menu entry: sends its play mode's name.
    void ChangePlaymodeCommand(int commandId);

    // One paint step on the record the display shows (none: nothing to do).
    void Step(const std::optional<ShowState>& record);

    bool shoot = false, attack = false, intercept = false, dribble = false, kicker = false;

    int attacker_wins() const { return attacker_wins_; }
    int defender_wins() const { return defender_wins_; }
    int phase() const { return phase_; }
    int good_kicks() const { return good_kicks_; }
    int total_kicks() const { return total_kicks_; }
    int bad_kicks() const { return bad_kicks_; }
    int pending_playmode() const { return pending_playmode_; }
    std::array<int, 2> interceptPair() const { return {pairLeft_, pairRight_}; }
    // The local port of the trainer's socket (0 when closed), for tests.
    std::uint16_t localPort() const { return socket_.localPort(); }

    // The "kicker_s.txt" text for the current statistics.
    std::string kickerStatistics() const;

private:
    void send(const std::string& text);
    // Reads what the server answered; a refused command disconnects (reportRefused).
    void readReplies();
    // Says once that nothing listens at the coach port, and disconnects.
    void reportRefused();
    bool stepIntercept(const ShowState& s);
    bool stepKicker(const ShowState& s, Vector& P, Vector& V);
    void placeKickerScene(Vector& P, Vector& V);
    void stepShoot(const ShowState& s);
    void stepAttack(const ShowState& s);
    void stepDribble(const ShowState& s);
    std::string path(const char* name) const;

    TrainerHost& host_;
    std::string directory_;
    // The team names of the record being stepped on: move commands name the side by them.
    std::array<std::string, 2> teamNames_;

    int attacker_wins_ = 0;
    int defender_wins_ = 0;
    int pending_playmode_ = 0;
    bool connected_ = false;
    std::string serverHost_;
    int port_;
    CUdpSocket socket_;
    std::FILE* record_file_ = nullptr;
    bool warnedNotCoachMode_ = false;
    Vector prev_ball_pos_, prev_ball_vel_;
    int kick_cycles_ = 0;
    float kick_cycles_sum_ = 0;
    int good_kicks_ = 0, total_kicks_ = 0, bad_kicks_ = 0;
    int phase_ = 0;
    int still_cycles_ = 0;
    float scene_x_ = 0, scene_y_ = 0;
    Vector last_p1_pos_{-10, 0};

    // Kept for the whole run, across connections.
    int pairLeft_ = -1, pairRight_ = -1;
    double attackPrevBallX_ = 26.0;
};

}  // namespace tessarin
