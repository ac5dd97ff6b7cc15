#include "display/OverlayGeometry.h"

#include <algorithm>
#include <array>

#include "analysis/BehaviorAnalyzer.h"
#include "geometry/ConvexPolygon.h"

namespace tessarin {

namespace {

bool onField(const PlayerState& player) { return player.mode != 0; }

// Side code of the pass course for an analysis side.
int sideCode(int side) { return side == kSideLeft ? 1 : -1; }

bool sameAction(const BasicBehaviorEvent& a, const BasicBehaviorEvent& b) {
    return a.player == b.player && a.kind == b.kind && a.start_pos.x == b.start_pos.x &&
           a.start_pos.y == b.start_pos.y && a.end_pos.x == b.end_pos.x && a.end_pos.y == b.end_pos.y;
}

std::optional<Vector> seenPlayer(const SightV2View& view, bool ownSide, int number) {
    for (const SightV2SeenPlayer& seen : view.seen) {
        if ((seen.side == view.side) == ownSide && seen.number == number) {
            return Vector{static_cast<float>(seen.x), static_cast<float>(seen.y)};
        }
    }
    return std::nullopt;
}

}  // namespace

OffsideLines offsideLines(const DisplayState& state) {
    OffsideLines lines;
    // The two rearmost players of each team, both starting at the halfway line, so that
    // players in the opponents' half never count.
    double smallest = 0.0;
    double secondSmallest = 0.0;
    double largest = 0.0;
    double secondLargest = 0.0;
    for (int i = 0; i < kPlayerCount; ++i) {
        const PlayerState& p = state.player[static_cast<std::size_t>(i)];
        if (!onField(p)) continue;
        if (i < kPlayersPerSide) {
            if (p.x < smallest) {
                secondSmallest = smallest;
                smallest = p.x;
            } else if (p.x < secondSmallest) {
                secondSmallest = p.x;
            }
        } else {
            if (p.x > largest) {
                secondLargest = largest;
                largest = p.x;
            } else if (p.x > secondLargest) {
                secondLargest = p.x;
            }
        }
    }
    const double ball = state.ball.x;
    lines.left.x = std::min(secondSmallest, ball < 0 ? ball : 0.0);
    lines.right.x = std::max(secondLargest, ball > 0 ? ball : 0.0);
    for (int i = 0; i < kPlayerCount; ++i) {
        const PlayerState& p = state.player[static_cast<std::size_t>(i)];
        if (!onField(p)) continue;
        if (i < kPlayersPerSide) {
            if (p.x > lines.right.x) lines.right.offside = true;
        } else if (p.x < lines.left.x) {
            lines.left.offside = true;
        }
    }
    return lines;
}

std::vector<Vector> controlCell(const DisplayState& state, int index) {
    if (index < 0 || index >= kPlayerCount) return {};
    const auto at = [&](int i) {
        const PlayerState& p = state.player[static_cast<std::size_t>(i)];
        return Vector{static_cast<float>(p.x), static_cast<float>(p.y)};
    };
    std::array<Vector, kPlayersPerSide> opponents;
    const int first = index < kPlayersPerSide ? kPlayersPerSide : 0;
    for (int k = 0; k < kPlayersPerSide; ++k) opponents[static_cast<std::size_t>(k)] = at(first + k);
    return ControlArea(at(index), opponents).Vertices();
}

void PassCourse::append(const std::vector<BasicBehaviorEvent>& events) {
    for (const BasicBehaviorEvent& event : events) {
        if (!isCourseKind(event.kind)) continue;
        const int code = sideCode(event.side);
        if (code != side_) {
            events_.clear();
            side_ = code;
        }
        const auto known = [&](const BasicBehaviorEvent& e) { return sameAction(e, event); };
        if (std::none_of(events_.begin(), events_.end(), known)) events_.push_back(event);
    }
}

void PassCourse::clear() {
    events_.clear();
    side_ = 0;
}

std::vector<BasicBehaviorEvent> courseEventsAt(const BehaviorAnalyzer& analyzer, int cycle) {
    std::vector<BasicBehaviorEvent> events;
    for (const int code : {1, -1}) {
        for (int unum = 1; unum <= kPlayersPerSide; ++unum) {
            BasicBehaviorEvent event = analyzer.BehaviourAt(cycle, code, unum);
            if (isCourseKind(event.kind)) events.push_back(event);
        }
    }
    return events;
}

int greatestGainIndex(const std::vector<INTERCEPTDECISIONINFO>& decisions) {
    int best = -1;
    float gain = -10.0f;
    for (std::size_t i = 0; i < decisions.size(); ++i) {
        if (decisions[i].gain > gain) {
            gain = decisions[i].gain;
            best = static_cast<int>(i);
        }
    }
    return best;
}

std::optional<DefenseSegment> defenseSegment(const SightV2View& view, const DEFENSEDECISIONINFO& decision) {
    DefenseSegment segment;
    if (decision.defender == view.number) {
        segment.defender = Vector{static_cast<float>(view.x), static_cast<float>(view.y)};
    } else if (const auto seen = seenPlayer(view, true, decision.defender)) {
        segment.defender = *seen;
    } else {
        return std::nullopt;
    }
    const Vector point{decision.x, decision.y};
    if (decision.target == -1) {
        segment.point = true;
        segment.target = point;
    } else if (decision.target == 0) {
        segment.target = point;
    } else {
        segment.target = seenPlayer(view, false, decision.target);
    }
    return segment;
}

std::string defenseLabel(const DEFENSEDECISIONINFO& decision) {
    // A C string of at most two characters: it ends at the first 0.
    const std::size_t length = decision.label[0] == 0 ? 0 : decision.label[1] == 0 ? 1 : 2;
    return std::string(decision.label, length);
}

int presentKind(int mode) {
    switch (mode) {
        case kPresentShot:
            return BB_SHOOT;
        case kPresentDribble:
            return BB_DRIBBLE;
        case kPresentPass:
            return BB_PASS;
        case kPresentIntercept:
            return BB_INTERCEPT;
        default:
            return BB_NONE;
    }
}

std::vector<BasicBehaviorEvent> presentEvents(const std::vector<BasicBehaviorEvent>& events, int selected, int mode) {
    const int kind = presentKind(mode);
    std::vector<BasicBehaviorEvent> picked;
    if (kind == BB_NONE || !isPlayerIndex(selected)) return picked;
    for (const BasicBehaviorEvent& event : events) {
        if (event.player == selected && event.kind == kind) picked.push_back(event);
    }
    return picked;
}

std::vector<Vector> presentTrack(const std::vector<PointFrameT>& frames, int selected) {
    std::vector<Vector> track;
    if (selected != kSelectBall && !isPlayerIndex(selected)) return track;
    track.reserve(frames.size());
    for (const PointFrameT& frame : frames) {
        track.push_back(selected == kSelectBall ? frame.ball : frame.players[static_cast<std::size_t>(selected)]);
    }
    return track;
}

}  // namespace tessarin
