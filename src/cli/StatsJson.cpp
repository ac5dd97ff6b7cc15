#include "cli/StatsJson.h"

#include <array>
#include <cmath>
#include <cstddef>

namespace tessarin::cli {

namespace {

using Json = nlohmann::ordered_json;

// An empty object with room for `keys` members, or an empty array with room for
// `elements`: the document is rebuilt for every game, and growing its members one by
// one was most of the cost of building it.
Json objectFor(std::size_t keys) {
    Json j = Json::object();
    j.get_ref<Json::object_t&>().reserve(keys);
    return j;
}

Json arrayFor(std::size_t elements) {
    Json j = Json::array();
    j.get_ref<Json::array_t&>().reserve(elements);
    return j;
}

// Members of a team's object and of a player's.
constexpr std::size_t kTeamKeys = 28;
constexpr std::size_t kPlayerKeys = 19;

void putCounts(Json& j, const char* plural, const char* successful, const char* rate, const CountStatistic& c) {
    j[plural] = c.count;
    j[successful] = c.successes;
    j[rate] = c.rate;
}

template <typename Stats>
void putBehaviourFigures(Json& j, const Stats& s) {
    putCounts(j, "shots", "successful_shots", "shot_rate", s.shots);
    putCounts(j, "passes", "successful_passes", "pass_rate", s.passes);
    putCounts(j, "interceptions", "successful_interceptions", "interception_rate", s.interceptions);
    putCounts(j, "dribbles", "successful_dribbles", "dribble_rate", s.dribbles);
}

void putDiscipline(Json& j, const std::optional<DisciplineFigures>& figures) {
    j["yellow_cards"] = figures ? Json(figures->yellowCards) : Json(nullptr);
    j["red_cards"] = figures ? Json(figures->redCards) : Json(nullptr);
    j["fouls"] = figures ? Json(figures->fouls) : Json(nullptr);
    j["tackles"] = figures ? Json(figures->tackles) : Json(nullptr);
}

// Mean positions are single-precision metres; a tenth of a millimetre is all they carry.
double metres(float v) { return std::round(static_cast<double>(v) * 1e4) / 1e4; }

}  // namespace

nlohmann::ordered_json statsJson(const BehaviorAnalyzer& analyzer, const GameDiscipline* discipline) {
    const GameDiscipline unknown;
    const GameDiscipline& d = discipline ? *discipline : unknown;
    const auto& events = analyzer.Events();
    const GameStatistics& s = analyzer.statistics();

    std::array<int, kBehaviorKindCount> byKind{};
    for (std::size_t i = 1; i < events.size(); ++i) {
        const int kind = events[i].kind;
        if (kind >= 0 && kind < kBehaviorKindCount) ++byKind[static_cast<std::size_t>(kind)];
    }

    Json doc = objectFor(5);
    doc["events"] = events.empty() ? 0 : events.size() - 1;
    Json kinds = objectFor(kBehaviorKindCount);
    for (int k = 0; k < kBehaviorKindCount; ++k)
        kinds[std::string(behaviorKindName(k))] = byKind[static_cast<std::size_t>(k)];
    doc["events_by_kind"] = kinds;

    Json teams = arrayFor(2);
    for (int slot = 0; slot < 2; ++slot) {
        const int sideCode = slot == 0 ? 1 : -1;
        const TeamStatistics& t = s.teams[static_cast<std::size_t>(slot)];
        const PlayModeCounters c = analyzer.playModeCounters(sideCode);
        Json j = objectFor(kTeamKeys);
        j["name"] = analyzer.teamName(sideCode);
        putBehaviourFigures(j, t);
        j["possession_cycles"] = t.possession_cycles;
        j["possession_share"] = t.possession_share;
        j["thirds_cycles"] = t.thirds_cycles;
        j["thirds_shares"] = t.thirds_shares;
        j["offsides"] = c.offsides;
        j["back_passes"] = c.back_passes;
        j["free_kick_faults"] = c.free_kick_faults;
        j["kick_ins"] = c.kick_ins;
        j["corner_kicks"] = c.corner_kicks;
        j["goal_kicks"] = c.goal_kicks;
        j["free_kicks"] = c.free_kicks;
        putDiscipline(j, d.teams[static_cast<std::size_t>(slot)]);
        teams.push_back(std::move(j));
    }
    doc["teams"] = std::move(teams);

    Json players = arrayFor(kPlayerCount);
    for (int i = 0; i < kPlayerCount; ++i) {
        const PlayerStatistics& p = s.players[static_cast<std::size_t>(i)];
        Json j = objectFor(kPlayerKeys);
        j["side"] = i < kPlayersPerSide ? "l" : "r";
        j["unum"] = i % kPlayersPerSide + 1;
        putBehaviourFigures(j, p);
        j["mean_position"] = {metres(p.mean_position.x), metres(p.mean_position.y)};
        putDiscipline(j, d.players[static_cast<std::size_t>(i)]);
        players.push_back(std::move(j));
    }
    doc["players"] = std::move(players);
    doc["game_thirds_shares"] = s.thirds_shares;
    return doc;
}

}  // namespace tessarin::cli
