#include "live/OfflineCoach.h"

#include <cmath>
#include <cstring>

#include "geometry/Angle.h"
#include "geometry/Random.h"
#include "record/AtomicFile.h"

namespace tessarin {

namespace {

constexpr int kGoalieBit = 0x0008;

bool present(const PlayerState& p) { return p.mode != 0; }
bool goalie(const PlayerState& p) { return (p.mode & kGoalieBit) != 0; }
Vector position(const PlayerState& p) { return {static_cast<float>(p.x), static_cast<float>(p.y)}; }

std::string format(const char* pattern, auto... values) {
    char buffer[256];
    const int n = std::snprintf(buffer, sizeof buffer, pattern, values...);
    return std::string(buffer, n < 0 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(n), sizeof buffer - 1));
}

}  // namespace

std::optional<std::string> changePlaymodeName(int commandId) {
    int mode = 0;
    if (commandId >= 147 && commandId <= 168) {
        mode = commandId - 146;
    } else if (commandId >= 32872 && commandId <= 32898) {
        mode = commandId - 32872 + 23;
    } else {
        return std::nullopt;
    }
    return std::string(playModeName(mode));
}

COfflineCoach::COfflineCoach(TrainerHost& host, std::string directory, int port)
    : host_(host), directory_(std::move(directory)), port_(port) {}

COfflineCoach::~COfflineCoach() {
    if (connected_) Disconnect();
    if (record_file_) std::fclose(record_file_);
}

std::string COfflineCoach::path(const char* name) const {
    if (directory_.empty()) return name;
    return directory_ + "/" + name;
}

void COfflineCoach::Connect(const std::string& monitorHost) {
    Disconnect();
    kick_cycles_ = 0;
    kick_cycles_sum_ = 0;
    good_kicks_ = total_kicks_ = bad_kicks_ = 0;
    phase_ = 0;
    still_cycles_ = 0;
    last_p1_pos_ = {-10, 0};
    warnedNotCoachMode_ = false;
    // A monitor connection that was never used leaves no host: take the monitor's default.
    serverHost_ = monitorHost.empty() ? std::string("localhost") : monitorHost;
    connected_ = socket_.Open(serverHost_, static_cast<std::uint16_t>(port_));
    record_file_ = openSideFile(path("record.txt"), true);
    if (!connected_) host_.showMessage(kTrainerConnectFailedText);
}

std::string COfflineCoach::kickerStatistics() const {
    // Without kicks (or good kicks) the shares and the average are 0 instead of a division by zero.
    const double success = total_kicks_ > 0 ? 100.0 * good_kicks_ / total_kicks_ : 0.0;
    const double bad = total_kicks_ > 0 ? 100.0 * bad_kicks_ / total_kicks_ : 0.0;
    const double average = good_kicks_ > 0 ? kick_cycles_sum_ / good_kicks_ : 0.0;
    return format("Total:%d\nSuccess:%d %.2f\nAverage n:%.2f\nBad kick:%d %.2f", total_kicks_, good_kicks_, success,
                  average, bad_kicks_, bad);
}

void COfflineCoach::Disconnect() {
    socket_.Close();
    connected_ = false;
    if (record_file_) {
        std::fclose(record_file_);
        record_file_ = nullptr;
    }
    if (kicker) {
        if (std::FILE* f = openSideFile(path("kicker_s.txt"), false)) {
            const std::string text = kickerStatistics();
            std::fwrite(text.data(), 1, text.size(), f);
            std::fclose(f);
        }
    }
}

void COfflineCoach::send(const std::string& text) {
    // A refusal of an earlier command is picked up first: nothing more goes to a port
    // where nothing listens.
    readReplies();
    if (!connected_) return;
    socket_.Send(text);
    if (socket_.refused()) reportRefused();
}

void COfflineCoach::reportRefused() {
    const std::string text = "No offline coach port at " + serverHost_ + ":" + std::to_string(port_);
    Disconnect();
    host_.showMessage(text);
}

void COfflineCoach::readReplies() {
    char buffer[1024];
    while (connected_) {
        const std::size_t got = socket_.ReceiveNow(buffer, sizeof buffer);
        if (socket_.refused()) {
            reportRefused();
            return;
        }
        if (got == 0) break;
        if (!warnedNotCoachMode_ && std::string_view(buffer, got).starts_with(kNotCoachModeReply)) {
            warnedNotCoachMode_ = true;
            host_.showMessage(kNotCoachModeText);
        }
    }
}

void COfflineCoach::MovePlayer(int side, int unum, double x, double y, double direction, double vx, double vy) {
    const std::string& team = teamNames_[side == 0 ? 0 : 1];
    if (team.empty()) return;  // no record names the side yet: the server could not place the player
    send(format("(move (player %s %d) %.0f %.0f %.0f %.2f %.2f)", team.c_str(), unum, x, y, direction, vx, vy));
}

void COfflineCoach::MoveBall(double x, double y, double vx, double vy) {
    send(format("(move (ball) %.0f %.0f 0 %.2f %.2f)", x, y, vx, vy));
}

void COfflineCoach::ChangeMode(const std::string& name) { send("(change_mode " + name + ")"); }

void COfflineCoach::Recover() { send("(recover)"); }

void COfflineCoach::ChangePlaymodeCommand(int commandId) {
    const auto name = changePlaymodeName(commandId);
    if (!name) return;
    pending_playmode_ = commandId;
    ChangeMode(*name);
    pending_playmode_ = 0;
}

void COfflineCoach::Step(const std::optional<ShowState>& record) {
    if (!connected_ || !record) return;
    readReplies();
    if (!connected_) return;
    const ShowState& s = *record;
    teamNames_ = {s.team[0].name, s.team[1].name};
    Vector P{static_cast<float>(s.ball.x), static_cast<float>(s.ball.y)};
    Vector V{static_cast<float>(s.ball.vx), static_cast<float>(s.ball.vy)};

    const Vector p1 = position(s.player[0]);
    if (last_p1_pos_.distanceTo(p1) < 0.01f) ++still_cycles_;
    last_p1_pos_ = p1;

    if (intercept && !stepIntercept(s)) return;
    if (kicker && !stepKicker(s, P, V)) return;
    if (shoot) stepShoot(s);
    if (attack) stepAttack(s);
    if (dribble) stepDribble(s);
    prev_ball_pos_ = P;
    prev_ball_vel_ = V;
}

bool COfflineCoach::stepIntercept(const ShowState& s) {
    ChangeMode("play_on");
    if (phase_ == 0) {
        attacker_wins_ = 0;
        defender_wins_ = 0;
        if (pairLeft_ < 0) {
            for (int l = 0; l < kPlayersPerSide && pairLeft_ < 0; ++l) {
                const PlayerState& a = s.player[static_cast<std::size_t>(l)];
                if (!present(a) || goalie(a)) continue;
                for (int r = 0; r < kPlayersPerSide; ++r) {
                    const PlayerState& d = s.player[static_cast<std::size_t>(kPlayersPerSide + r)];
                    if (present(d) && !goalie(d) && d.type == a.type) {
                        pairLeft_ = l + 1;
                        pairRight_ = r + 1;
                        break;
                    }
                }
            }
            if (pairLeft_ < 0) return false;
        }
        phase_ = 1;
    }
    for (int k = 1; k <= kPlayersPerSide; ++k) {
        if (k != pairLeft_ && present(s.player[static_cast<std::size_t>(k - 1)])) {
            MovePlayer(0, k, -50, 5.0 * k - 30, 0, 0, 0);
        }
    }
    for (int k = 1; k <= kPlayersPerSide; ++k) {
        if (k != pairRight_ && present(s.player[static_cast<std::size_t>(kPlayersPerSide + k - 1)])) {
            MovePlayer(1, k, 50, 5.0 * k - 30, 0, 0, 0);
        }
    }
    if (phase_ == 1) {
        MoveBall(0, 30, 0, 0);
        scene_x_ = static_cast<float>(uniform(2, 30));
        scene_y_ = static_cast<float>(uniform(0, 28));
        MovePlayer(0, pairLeft_, scene_x_, scene_y_, 0, 0, 0);
        MovePlayer(1, pairRight_, -scene_x_, scene_y_, 0, 0, 0);
        phase_ = 2;
    } else if (phase_ >= 2 && phase_ <= 7) {
        MovePlayer(0, pairLeft_, scene_x_, scene_y_, 60.0 * phase_, 0, 0);
        MovePlayer(1, pairRight_, -scene_x_, scene_y_, 60.0 * phase_, 0, 0);
        ++phase_;
    } else if (phase_ == 8 || phase_ == 9) {
        if (phase_ == 8) MoveBall(0, 30, 0, -uniform(1.2, 3));
        const double d = AtanDeg((scene_y_ - 30.0f) / scene_x_);
        MovePlayer(0, pairLeft_, scene_x_, scene_y_, d, 0, 0);
        MovePlayer(1, pairRight_, -scene_x_, scene_y_, 2 * d - 90, 0, 0);
        phase_ = phase_ == 8 ? 9 : 10;
    } else if (phase_ == 10) {
        const Vector ball{static_cast<float>(s.ball.x), static_cast<float>(s.ball.y)};
        const float dA = position(s.player[static_cast<std::size_t>(pairLeft_ - 1)]).distanceTo(ball);
        const float dD =
            position(s.player[static_cast<std::size_t>(kPlayersPerSide + pairRight_ - 1)]).distanceTo(ball);
        if (dD > dA) {
            if (dA < 1) {
                ++attacker_wins_;
                phase_ = 1;
            }
        } else if (dD < 1) {
            ++defender_wins_;
            phase_ = 1;
        }
    }
    return true;
}

void COfflineCoach::placeKickerScene(Vector& P, Vector& V) {
    const float r = static_cast<float>(uniform(0.42, 0.95));
    const float a = static_cast<float>(uniform(-180, 180));
    const Vector target = Vector{CosDeg(a), SinDeg(a)} * r;
    const float speed = static_cast<float>(uniform(0, 1.5));
    const float b = static_cast<float>(uniform(-180, 180));
    const Vector vel = Vector{CosDeg(b), SinDeg(b)} * speed;
    const Vector start = target - vel;
    MoveBall(start.x, start.y, vel.x, vel.y);
    MovePlayer(0, 1, 0, 0, 0, 0, 0);
    ChangeMode("play_on");
    P = target;
    V = vel;
}

bool COfflineCoach::stepKicker(const ShowState& s, Vector& P, Vector& V) {
    const PlayerState& p1 = s.player[0];
    if (!present(p1)) return false;
    bool placed = false;
    if (kick_cycles_ > 0) {
        if (p1.mode == 1) {
            ++total_kicks_;
            const float speed = prev_ball_vel_.length();
            const float direction = std::fabs(prev_ball_vel_.direction());
            if (speed < 2.0f || direction > 30.0f) ++bad_kicks_;
            if (speed >= 2.45f && direction < 10.0f) {
                kick_cycles_sum_ += static_cast<float>(kick_cycles_);
                ++good_kicks_;
            }
            kick_cycles_ = 0;
            placeKickerScene(P, V);
            placed = true;
        } else {
            ++kick_cycles_;
        }
    } else if (p1.mode == 3) {
        kick_cycles_ = 1;
    }
    if (!placed && (V.length() < 0.001f || (V.length() < 0.8f && P.length() > 1.6f) || P.length() > 15.0f)) {
        placeKickerScene(P, V);
    }
    return true;
}

void COfflineCoach::stepShoot(const ShowState& s) {
    if (s.playmode != PM_PlayOn || still_cycles_ > 16) {
        ++phase_;
        if (phase_ > 3 || still_cycles_ > 10) {
            still_cycles_ = 0;
            phase_ = 0;
            const double y = uniform(-5, 5);
            ChangeMode("play_on");
            MovePlayer(0, 1, 25, y, 0, 0, 0);
            MovePlayer(1, 1, 48, 0, 0, 0, 0);
            MoveBall(26, y, 0, 0);
        }
    }
}

void COfflineCoach::stepAttack(const ShowState& s) {
    if (s.playmode != PM_PlayOn || (s.ball.x < 0 && attackPrevBallX_ - s.ball.x > 1.5)) {
        ++phase_;
        if (phase_ > 3 || still_cycles_ > 10) {
            still_cycles_ = 0;
            phase_ = 0;
            const double y = uniform(-5, 5);
            ChangeMode("play_on");
            int k = 1;
            for (int u = kPlayersPerSide; u >= 2; --u) {
                if (present(s.player[static_cast<std::size_t>(u - 1)])) {
                    k = u;
                    break;
                }
            }
            MovePlayer(0, k, -21, y, 0, 0, 0);
            MoveBall(-20.3, y, 0, 0);
        }
    }
    attackPrevBallX_ = s.ball.x;
}

void COfflineCoach::stepDribble(const ShowState& s) {
    Recover();
    if (s.playmode != PM_PlayOn || s.ball.x > 30) {
        ChangeMode("play_on");
        const double v = uniform(0, 1);
        const double d = uniform(-90, 90);
        const double e = uniform(-0.8, 0.8);
        MovePlayer(0, 1, -50, 0, d, v, 0);
        MoveBall(-45, e, 0, 0);
    }
}

}  // namespace tessarin
