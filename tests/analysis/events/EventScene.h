#pragma once

// A small field scene for the behaviour tests: every player parked well off the field
// unless a test places it, one player type (size 0.3, margin 0.7), and the show record
// of the scene at a cycle.

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "analysis/BehaviorAnalyzer.h"
#include "record/ByteOrder.h"
#include "record/GameRecords.h"
#include "support/LogBuilder.h"

namespace tessarin::test {

inline player_type_t makePlayerType(int id, double size, double margin) {
    player_type_t t{};
    t.id = hostToNet16(static_cast<std::int16_t>(id));
    t.player_size = hostToNet32(toFixed(size));
    t.kickable_margin = hostToNet32(toFixed(margin));
    t.player_speed_max = hostToNet32(toFixed(1.0));
    return t;
}

struct Scene {
    int playmode = PM_PlayOn;
    std::array<int, 2> scores{};
    double bx = 0, by = 0, bvx = 0, bvy = 0;
    std::array<std::pair<double, double>, kPlayerCount> pos{};
    std::array<int, kPlayerCount> type{};

    // Players parked 80 m below the field, 4 m apart, so that none of them controls or
    // reaches a ball on the field unless a test moves it there.
    Scene() {
        for (int i = 0; i < kPlayerCount; ++i) pos[static_cast<std::size_t>(i)] = {-44.0 + 4.0 * i, 80.0};
    }
    Scene& ball(double x, double y, double vx = 0, double vy = 0) {
        bx = x;
        by = y;
        bvx = vx;
        bvy = vy;
        return *this;
    }
    Scene& player(int index, double x, double y) {
        pos[static_cast<std::size_t>(index)] = {x, y};
        return *this;
    }
    Scene& mode(int m) {
        playmode = m;
        return *this;
    }
    Scene& score(int left, int right) {
        scores = {left, right};
        return *this;
    }
    show_info_t at(int cycle) const {
        ShowBuilder b(cycle);
        b.playmode(playmode).team(0, "Lefties", scores[0]).team(1, "Righties", scores[1]).ball(bx, by, bvx, bvy);
        for (int i = 0; i < kPlayerCount; ++i) {
            const auto& p = pos[static_cast<std::size_t>(i)];
            b.player(i, 1, type[static_cast<std::size_t>(i)], p.first, p.second);
        }
        return b.build();
    }
};

// An event that starts and ends at `start` (the cycles the statistics and the report read).
inline BasicBehaviorEvent event(int start, int side, int player, int kind, bool success, int target = -1) {
    BasicBehaviorEvent e;
    e.start_cycle = start;
    e.end_cycle = start;
    e.side = side;
    e.player = player;
    e.kind = kind;
    e.success = success;
    e.target = target;
    return e;
}

inline std::vector<player_type_t> defaultTypes() { return {makePlayerType(0, 0.3, 0.7)}; }

// Feeds scenes to an analyser with the default player types.
struct Feeder {
    BehaviorAnalyzer analyzer;
    std::vector<player_type_t> types = defaultTypes();
    void feed(const Scene& scene, int cycle) { analyzer.AnalyzeCycle(scene.at(cycle), types); }
    const std::vector<BasicBehaviorEvent>& events() const { return analyzer.Events(); }
};

}  // namespace tessarin::test
