#include "analysis/BehaviorAnalyzer.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <new>

#include "analysis/EventReport.h"

namespace tessarin {

namespace {

// Ball size used for the reach of a player when finding who controls the ball, metres.
constexpr double kOwnerBallSize = 0.085;
// A kick counts as a shot when its chance exceeds this.
constexpr double kShotThreshold = 0.15;
// Half length and half width of the field, metres.
constexpr double kHalfLength = 52.5;
constexpr double kHalfWidth = 34.0;
// The ball's speed decays by this factor per cycle; a player's reach grows by 0.8 m per cycle.
constexpr double kBallDecay = 0.94;
constexpr double kReachPerCycle = 0.8;
// The ball either leaves the field or somebody reaches it after about 160 cycles for any
// player on or near the field; players placed absurdly far off cannot keep the search
// going for longer than this.
constexpr int kMaxInterceptSteps = 1000;

// Whether the point (dx, dy) lies so far beyond `bound` from the origin that the exact
// distance test (std::hypot, then the comparison) cannot come out otherwise: the square
// costs a fraction of std::hypot, and most players are far from the ball's path. The
// micrometre of slack is far above what rounding can move either figure.
bool certainlyBeyond(double dx, double dy, double bound) {
    constexpr double kSlack = 1e-6;
    if (!(bound >= 0.0)) return false;
    const double limit = bound + kSlack;
    return dx * dx + dy * dy > limit * limit;
}

constexpr int kModeTimeOver = 2;
constexpr int kModeKickOffL = 4;
constexpr int kModeKickOffR = 5;
constexpr int kModeKickInL = 6;
constexpr int kModeKickInR = 7;
constexpr int kModeFreeKickL = 8;
constexpr int kModeFreeKickR = 9;
constexpr int kModeCornerKickL = 10;
constexpr int kModeCornerKickR = 11;
constexpr int kModeGoalKickL = 12;
constexpr int kModeGoalKickR = 13;
constexpr int kModeOffsideL = 17;
constexpr int kModeOffsideR = 18;
constexpr int kModeBackPassL = 32;
constexpr int kModeBackPassR = 33;
constexpr int kModeFreeKickFaultL = 34;
constexpr int kModeFreeKickFaultR = 35;

// Index of a player from a side code (1 left, anything else right) and a uniform number.
int indexOf(int sideCode, int unum) {
    if (unum < 1 || unum > kPlayersPerSide) return -1;
    return sideCode == 1 ? unum - 1 : unum + kPlayersPerSide - 1;
}

std::size_t teamSlot(int sideCode) { return sideCode == 1 ? 0 : 1; }

Vector toVector(double x, double y) { return {static_cast<float>(x), static_cast<float>(y)}; }

}  // namespace

BehaviorAnalyzer::BehaviorAnalyzer() { events_.push_back(BasicBehaviorEvent{}); }

int BehaviorAnalyzer::AnalyzeCycle(const cycle_info_t& record, const std::vector<player_type_t>& playerTypes) {
    if (record.kind != kShowRecord) return 0;
    return AnalyzeCycle(record.show(), playerTypes);
}

void BehaviorAnalyzer::ReserveFrames(std::size_t cycles) {
    if (cycles <= frames_.capacity()) return;
    try {
        frames_.reserve(cycles);
    } catch (const std::bad_alloc&) {
        // The frames grow as cycles arrive instead.
    }
}

int BehaviorAnalyzer::AnalyzeCycle(const show_info_t& show, const std::vector<player_type_t>& playerTypes) {
    decode(show);
    for (std::size_t i = 0; i < players_.size(); ++i) {
        const player_type_t* type = typeIndex_.find(playerTypes, players_[i].type);
        typeKnown_[i] = type != nullptr;
        types_[i] = type ? toHost(*type) : PlayerTypeState{};
    }

    // The record holds the cycle in 16 bits: the step from the last record is taken
    // modulo 2^16, so that a counter that wraps (32767 to -32768) counts on past it.
    const int raw = cycle_;
    if (seenCycle_) cycle_ = lastSeenCycle_ + static_cast<std::int16_t>(raw - lastRawCycle_);
    lastRawCycle_ = raw;
    if (!seenCycle_ || cycle_ < lastSeenCycle_) {
        const AnalysisRestart restart{lastSeenCycle_, raw, events_.size() - 1, frames_.size()};
        ResetCounters(true);
        ResetEvents();
        if (seenCycle_) {
            ++restartCount_;
            lastRestart_ = restart;
        }
        cycle_ = raw;
    }
    seenCycle_ = true;
    lastSeenCycle_ = cycle_;

    PointFrameT frame;
    frame.cycle = cycle_;
    frame.ball = ballVector();
    for (std::size_t i = 0; i < players_.size(); ++i) frame.players[i] = toVector(players_[i].x, players_[i].y);
    frames_.push_back(frame);

    prevOwner_ = owner_;
    prevBallKickable_ = ballKickable_;
    prevOwnerSide_ = ownerSide_;
    prevPlaymode_ = playmode_;
    prevScores_ = scores_;
    playmode_ = readPlaymode_;
    scores_ = readScores_;
    findOwner();

    if (playmode_ != prevPlaymode_ && !applyPlayModeRules()) {
        // The last event was amended and a frame added: statistics computed before are
        // stale even though the step ends here.
        statsCurrent_ = false;
        return 0;
    }

    detectBehaviours();
    if (ballKickable_) {
        lastHolder_ = owner_;
        lastHolderSide_ = ownerSide_;
    }
    attributeGoals();
    statsCurrent_ = false;
    hasData_ = true;
    return 0;
}

void BehaviorAnalyzer::decode(const show_info_t& show) {
    const ShowState s = toHost(show);
    cycle_ = s.time;
    readPlaymode_ = s.playmode;
    teams_ = s.team;
    readScores_ = {s.team[0].score, s.team[1].score};
    ball_ = s.ball;
    players_ = s.player;
}

void BehaviorAnalyzer::ResetCounters(bool all) {
    statistics_ = GameStatistics{};
    if (all) playModeCounters_ = {};
}

void BehaviorAnalyzer::clearRestarts() {
    seenCycle_ = false;
    lastSeenCycle_ = 65536;
    lastRawCycle_ = 0;
    restartCount_ = 0;
    lastRestart_ = AnalysisRestart{};
}

void BehaviorAnalyzer::ResetEvents() {
    events_.clear();
    events_.push_back(BasicBehaviorEvent{});
    ballKickable_ = false;
    prevBallKickable_ = false;
    owner_ = -1;
    prevOwner_ = -1;
    lastHolder_ = -1;
    prevOwnerSide_ = kSideNone;
    ownerSide_ = kSideLeft;
    lastHolderSide_ = kSideLeft;
    playmode_ = 1;
    prevPlaymode_ = 1;
    scores_ = {};
    prevScores_ = {};
    statsCurrent_ = false;
    hasData_ = false;
    frames_.clear();
}

const PlayerTypeState* BehaviorAnalyzer::typeOf(int index) const {
    const auto i = static_cast<std::size_t>(index);
    return typeKnown_[i] ? &types_[i] : nullptr;
}

Vector BehaviorAnalyzer::ballVector() const { return toVector(ball_.x, ball_.y); }

Vector BehaviorAnalyzer::previousBall() const {
    return frames_.size() >= 2 ? frames_[frames_.size() - 2].ball : Vector{};
}

void BehaviorAnalyzer::findOwner() {
    double best = 1024.0;
    int winner = -1;
    bool complete = true;
    for (int i = 0; i < kPlayerCount; ++i) {
        const PlayerTypeState* type = typeOf(i);
        if (type == nullptr) {
            complete = false;
            break;
        }
        const auto& p = players_[static_cast<std::size_t>(i)];
        const double dx = ball_.x - p.x;
        const double dy = ball_.y - p.y;
        const double reach = type->player_size + type->kickable_margin + kOwnerBallSize;
        if (certainlyBeyond(dx, dy, reach)) continue;
        const double d = std::hypot(dx, dy);
        if (reach > d && d < best) {
            best = d;
            winner = i;
        }
    }
    // An unknown player type leaves the previous cycle's owner in force.
    if (complete) {
        if (winner >= 0) {
            owner_ = winner;
            ballKickable_ = true;
        } else {
            owner_ = predictInterceptor(-1, false);
            ballKickable_ = false;
        }
    }
    ownerSide_ = ballKickable_ ? sideOfIndex(owner_) : kSideNone;
}

int BehaviorAnalyzer::predictInterceptor(int player, bool teammatesOnly) const {
    if (teammatesOnly && !isPlayerIndex(player)) return -1;
    double x = ball_.x;
    double y = ball_.y;
    double vx = ball_.vx;
    double vy = ball_.vy;
    for (int k = 1; k <= kMaxInterceptSteps; ++k) {
        x += vx;
        y += vy;
        for (int j = 0; j < kPlayerCount; ++j) {
            if (teammatesOnly && !areTeammates(j, player)) continue;
            const PlayerTypeState* type = typeOf(j);
            if (type == nullptr) return -1;
            const auto& p = players_[static_cast<std::size_t>(j)];
            const double dx = x - p.x;
            const double dy = y - p.y;
            const double reach = type->player_size + type->kickable_margin;
            if (certainlyBeyond(dx, dy, reach + kReachPerCycle * k)) continue;
            const double d = std::hypot(dx, dy);
            if (reach > d - kReachPerCycle * k) return j;
        }
        if (!(std::fabs(x) < kHalfLength && std::fabs(y) < kHalfWidth)) return -1;
        vx *= kBallDecay;
        vy *= kBallDecay;
    }
    return -1;
}

BehaviorAnalyzer::ShotChance BehaviorAnalyzer::shotChance(int kicker) const {
    ShotChance result;
    result.goalX = kicker <= 10 ? 52.0 : -52.0;
    const double gx = result.goalX;
    if (ball_.vx * gx < 0 || std::fabs(ball_.vx) < 0.01) return result;
    const double dist = std::hypot(ball_.x - gx, ball_.y);
    if (dist > 30.0) return result;
    const double yc = ball_.y + (gx - ball_.x) * ball_.vy / ball_.vx;
    result.crossingY = yc;
    const double speed = std::hypot(ball_.vx, ball_.vy);
    const double r = (30.0 - dist) * speed / 90.0;
    const double ayc = std::fabs(yc);
    double t = 0.0;
    if (ayc > 14.6) {
        t = 1.0;
    } else if (ayc >= 7.3) {
        t = (ayc - 7.3) / 14.6;
    }
    result.chance = (1.0 - t) * r;
    return result;
}

bool BehaviorAnalyzer::applyPlayModeRules() {
    auto& left = playModeCounters_[0];
    auto& right = playModeCounters_[1];
    switch (playmode_) {
        case kModeTimeOver:
            closeLastAsFailed(false);
            return false;
        case kModeKickOffL:
        case kModeKickOffR:
            closeLastAsFailed(true);
            return false;
        case kModeKickInL:
            ++left.kick_ins;
            return true;
        case kModeKickInR:
            ++right.kick_ins;
            return true;
        case kModeFreeKickL:
            ++left.free_kicks;
            return true;
        case kModeFreeKickR:
            ++right.free_kicks;
            return true;
        case kModeCornerKickL:
            ++left.corner_kicks;
            break;
        case kModeCornerKickR:
            ++right.corner_kicks;
            break;
        case kModeGoalKickL:
            ++left.goal_kicks;
            break;
        case kModeGoalKickR:
            ++right.goal_kicks;
            break;
        case kModeOffsideL:
            ++left.offsides;
            break;
        case kModeOffsideR:
            ++right.offsides;
            break;
        case kModeBackPassL:
            ++left.back_passes;
            break;
        case kModeBackPassR:
            ++right.back_passes;
            break;
        case kModeFreeKickFaultL:
            ++left.free_kick_faults;
            break;
        case kModeFreeKickFaultR:
            ++right.free_kick_faults;
            break;
        default:
            return true;
    }
    closeLastAsFailed(false);
    return false;
}

void BehaviorAnalyzer::closeLastAsFailed(bool keepShot) {
    BasicBehaviorEvent& e = last();
    if (!keepShot || e.kind != BB_SHOOT) e.success = false;
    e.end_pos = previousBall();
    e.end_cycle = cycle_;
}

BasicBehaviorEvent& BehaviorAnalyzer::add(BasicBehaviorEvent event) {
    events_.push_back(event);
    return events_.back();
}

void BehaviorAnalyzer::closePrevious(Vector position) {
    BasicBehaviorEvent& e = beforeLast();
    if (events_.size() >= 2 && e.success) {
        e.end_pos = position;
        e.end_cycle = cycle_;
    }
}

void BehaviorAnalyzer::detectBehaviours() {
    const int now = cycle_;
    const Vector ball = ballVector();
    const Vector prevBall = previousBall();
    // Copied: adding events may move the list.
    const BasicBehaviorEvent lastEvent = last();

    auto make = [&](int start, int side, int player, int kind, Vector startPos) {
        BasicBehaviorEvent e;
        e.start_cycle = start;
        e.end_cycle = now;
        e.side = side;
        e.player = player;
        e.kind = kind;
        e.start_pos = startPos;
        e.success = true;
        return e;
    };

    if (ballKickable_ && prevBallKickable_) {
        if (lastEvent.side == ownerSide_ && lastHolder_ != owner_) {
            BasicBehaviorEvent pass = make(now - 1, prevOwnerSide_, prevOwner_, BB_PASS, prevBall);
            pass.target = owner_;
            add(pass);
            closePrevious(ball);
            BasicBehaviorEvent receive = make(now, prevOwnerSide_, owner_, BB_RECEIVE, prevBall);
            receive.target = lastHolder_;
            add(receive);
            closePrevious(ball);
        } else if (lastEvent.side == ownerSide_) {
            if (playmode_ == kModeFreeKickL || playmode_ == kModeFreeKickR) return;
            if (lastEvent.player == owner_) {
                if (lastEvent.kind == BB_ADJUST) {
                    last().kind = BB_DRIBBLE;
                } else if (lastEvent.kind != BB_DRIBBLE) {
                    add(make(now, ownerSide_, owner_, BB_ADJUST, prevBall));
                    closePrevious(ball);
                }
            } else {
                add(make(now, ownerSide_, owner_, BB_ADJUST, ball));
                closePrevious(ball);
            }
        } else {
            const int k = prevOwner_;
            const ShotChance shot = shotChance(k);
            if (shot.chance > kShotThreshold) {
                BasicBehaviorEvent e = make(now - 1, prevOwnerSide_, k, BB_SHOOT, prevBall);
                e.end_pos = ball;
                e.success = false;
                add(e);
                closePrevious(ball);
            } else {
                const int r = predictInterceptor(k, true);
                if (r != -1) {
                    BasicBehaviorEvent e = make(now - 1, prevOwnerSide_, k, r == k ? BB_DRIBBLE : BB_PASS, prevBall);
                    e.end_pos = ball;
                    e.target = r;
                    add(e);
                    BasicBehaviorEvent& before = beforeLast();
                    if (before.success && before.kind != BB_SHOOT) {
                        before.end_pos = prevBall;
                        before.end_cycle = now;
                    }
                }
            }
            add(make(now, ownerSide_, owner_, BB_INTERCEPT, ball));
            BasicBehaviorEvent& before = beforeLast();
            if (before.kind != BB_INTERCEPT && !(before.kind == BB_SHOOT && before.success)) before.success = false;
        }
    } else if (ballKickable_) {
        if (lastEvent.side == ownerSide_ && lastHolder_ == owner_) {
            BasicBehaviorEvent& e = last();
            e.kind = BB_DRIBBLE;
            if (e.success) {
                e.end_pos = ball;
                e.end_cycle = now;
            } else {
                BasicBehaviorEvent receive = make(now, ownerSide_, owner_, BB_RECEIVE, ball);
                receive.target = lastHolder_;
                add(receive);
            }
        } else if (lastEvent.side == ownerSide_) {
            BasicBehaviorEvent receive = make(now, ownerSide_, owner_, BB_RECEIVE, ball);
            receive.target = lastHolder_;
            add(receive);
            closePrevious(ball);
            BasicBehaviorEvent& before = beforeLast();
            before.kind = BB_PASS;
            before.target = owner_;
            before.success = true;
        } else {
            add(make(now, ownerSide_, owner_, BB_INTERCEPT, ball));
            BasicBehaviorEvent& before = beforeLast();
            const bool atKickOffSpot = ball_.x == 0.0 && ball_.y == 0.0;
            if (before.success && !(before.kind == BB_SHOOT && atKickOffSpot)) {
                before.end_pos = ball;
                before.end_cycle = now;
                before.success = false;
            }
        }
    } else if (prevBallKickable_) {
        const int k = prevOwner_;
        BasicBehaviorEvent e = make(now - 1, prevOwnerSide_, k, BB_CLEARBALL, prevBall);
        const ShotChance shot = shotChance(k);
        if (shot.chance > kShotThreshold) {
            e.kind = BB_SHOOT;
            e.end_pos = toVector(shot.goalX, shot.crossingY);
        } else {
            const int r = predictInterceptor(k, true);
            if (r != -1) {
                e.kind = r == k ? BB_DRIBBLE : BB_PASS;
                e.target = r;
            }
        }
        add(e);
        BasicBehaviorEvent& before = beforeLast();
        if (before.success) {
            before.end_pos = prevBall;
            before.end_cycle = now;
        }
    }
}

void BehaviorAnalyzer::attributeGoals() {
    for (int side = kSideLeft; side <= kSideRight; ++side) {
        const auto s = static_cast<std::size_t>(side);
        if (scores_[s] <= prevScores_[s]) continue;
        for (std::size_t i = events_.size() - 1; i >= 1; --i) {
            if (events_[i].kind == BB_SHOOT && events_[i].side == side) {
                events_[i].success = true;
                break;
            }
        }
    }
}

BasicBehaviorEvent BehaviorAnalyzer::BehaviourAt(int cycle, int sideCode, int unum) const {
    BasicBehaviorEvent result;
    result.start_cycle = cycle;
    result.side = sideCode == 1 ? kSideLeft : kSideRight;
    result.player = indexOf(sideCode, unum);
    result.kind = BB_NONE;
    if (result.player < 0) return result;

    const std::size_t lastIndex = events_.size() - 1;
    std::size_t i = 0;
    while (i < lastIndex && events_[i].start_cycle < cycle) ++i;

    auto copyFrom = [&](const BasicBehaviorEvent& e) {
        if (e.player == result.player) {
            result.kind = e.kind;
            result.start_pos = e.start_pos;
            result.target = e.target;
            result.end_pos = e.end_pos;
            result.success = e.success;
        } else {
            result.kind = BB_POSITION;
        }
    };

    const BasicBehaviorEvent& e = events_[i];
    if (i == lastIndex && e.start_cycle < cycle) return result;
    if (e.start_cycle == cycle) {
        copyFrom(e);
    } else if (i >= 1) {
        copyFrom(events_[i - 1]);
    }
    return result;
}

int BehaviorAnalyzer::ComputeStatistics() {
    if (!hasData_ || statsCurrent_) return -1;
    statsCurrent_ = true;
    ResetCounters(false);
    statistics_ = computeGameStatistics(events_, frames_);
    return 0;
}

PlayerStatistics BehaviorAnalyzer::playerStatistics(int sideCode, int unum) const {
    const int index = indexOf(sideCode, unum);
    if (index < 0) return {};
    return statistics_.players[static_cast<std::size_t>(index)];
}

TeamStatistics BehaviorAnalyzer::teamStatistics(int sideCode) const { return statistics_.teams[teamSlot(sideCode)]; }

PlayModeCounters BehaviorAnalyzer::playModeCounters(int sideCode) const {
    return playModeCounters_[teamSlot(sideCode)];
}

std::string BehaviorAnalyzer::teamName(int sideCode) const { return teams_[teamSlot(sideCode)].name; }

int BehaviorAnalyzer::WriteEventReport(const std::filesystem::path& directory) const {
    return writeEventReport(directory / kEventReportFileName, events_, statistics_);
}

}  // namespace tessarin
