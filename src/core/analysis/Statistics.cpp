#include "analysis/Statistics.h"

#include <algorithm>
#include <cstddef>

namespace tessarin {

namespace {

CountStatistic* countFor(int kind, PlayerStatistics& p) {
    switch (kind) {
        case BB_SHOOT:
            return &p.shots;
        case BB_PASS:
            return &p.passes;
        case BB_DRIBBLE:
            return &p.dribbles;
        case BB_CLEARBALL:
        case BB_ADJUST:
        case BB_RECEIVE:
        case BB_INTERCEPT:
            return &p.interceptions;
        default:
            return nullptr;
    }
}

CountStatistic* countFor(int kind, TeamStatistics& t) {
    switch (kind) {
        case BB_SHOOT:
            return &t.shots;
        case BB_PASS:
            return &t.passes;
        case BB_DRIBBLE:
            return &t.dribbles;
        case BB_CLEARBALL:
        case BB_ADJUST:
        case BB_RECEIVE:
        case BB_INTERCEPT:
            return &t.interceptions;
        default:
            return nullptr;
    }
}

void count(CountStatistic* c, bool success) {
    if (c == nullptr) return;
    ++c->count;
    if (success) ++c->successes;
}

void setRate(CountStatistic& c) { c.rate = c.count == 0 ? 0.0 : static_cast<double>(c.successes) / c.count; }

bool isTeamSide(int side) { return side == kSideLeft || side == kSideRight; }

void setShares(const std::array<int, kFieldThirds>& cycles, std::array<double, kFieldThirds>& shares) {
    const int sum = cycles[0] + cycles[1] + cycles[2];
    for (std::size_t t = 0; t < shares.size(); ++t) shares[t] = sum == 0 ? 0.0 : static_cast<double>(cycles[t]) / sum;
}

// The last frame of the history with this cycle, or none. Within one game the cycles of
// the history never decrease; a cycle repeats while the clock stands still.
const PointFrameT* frameOfCycle(const std::vector<PointFrameT>& frames, int cycle) {
    const auto it =
        std::upper_bound(frames.begin(), frames.end(), cycle, [](int c, const PointFrameT& f) { return c < f.cycle; });
    if (it == frames.begin()) return nullptr;
    const PointFrameT& f = *std::prev(it);
    return f.cycle == cycle ? &f : nullptr;
}

}  // namespace

int fieldThird(double x) {
    if (x < -kThirdBoundary) return 0;
    if (x >= kThirdBoundary) return 2;
    return 1;
}

GameStatistics computeGameStatistics(const std::vector<BasicBehaviorEvent>& events,
                                     const std::vector<PointFrameT>& frames) {
    GameStatistics s;
    if (events.empty()) return s;

    int runSide = events.front().side;
    int runStart = 0;
    for (std::size_t i = 0; i < events.size(); ++i) {
        const BasicBehaviorEvent& e = events[i];
        if (isTeamSide(e.side)) {
            auto& team = s.teams[static_cast<std::size_t>(e.side)];
            count(countFor(e.kind, team), e.success);
            if (isPlayerIndex(e.player)) {
                count(countFor(e.kind, s.players[static_cast<std::size_t>(e.player)]), e.success);
            }
        }

        if (i == 0) continue;
        const BasicBehaviorEvent& previous = events[i - 1];
        if (const PointFrameT* frame = frameOfCycle(frames, e.start_cycle)) {
            const auto third = static_cast<std::size_t>(fieldThird(frame->ball.x));
            const int d = e.start_cycle - previous.start_cycle;
            if (isTeamSide(previous.side)) s.teams[static_cast<std::size_t>(previous.side)].thirds_cycles[third] += d;
            s.thirds_cycles[third] += d;
        }

        if (e.side != runSide) {
            if (isTeamSide(runSide))
                s.teams[static_cast<std::size_t>(runSide)].possession_cycles += e.start_cycle - runStart;
            runSide = e.side;
            runStart = e.start_cycle;
        }
    }

    for (auto& p : s.players) {
        setRate(p.shots);
        setRate(p.passes);
        setRate(p.interceptions);
        setRate(p.dribbles);
    }
    for (auto& t : s.teams) {
        setRate(t.shots);
        setRate(t.passes);
        setRate(t.interceptions);
        setRate(t.dribbles);
        setShares(t.thirds_cycles, t.thirds_shares);
    }
    setShares(s.thirds_cycles, s.thirds_shares);

    if (!frames.empty()) {
        for (std::size_t j = 0; j < s.players.size(); ++j) {
            double x = 0.0;
            double y = 0.0;
            for (const auto& f : frames) {
                x += f.players[j].x;
                y += f.players[j].y;
            }
            const auto n = static_cast<double>(frames.size());
            s.players[j].mean_position = {static_cast<float>(x / n), static_cast<float>(y / n)};
        }
    }

    const int possession = s.teams[0].possession_cycles + s.teams[1].possession_cycles;
    for (auto& t : s.teams) {
        t.possession_share = possession == 0 ? 0.0 : static_cast<double>(t.possession_cycles) / possession;
    }
    return s;
}

}  // namespace tessarin
