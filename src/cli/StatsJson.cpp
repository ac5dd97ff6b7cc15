#include "cli/StatsJson.h"

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "cli/JsonTextWriter.h"

namespace tessarin::cli {

namespace {

void putCounts(JsonTextWriter& w, const char* plural, const char* successful, const char* rate,
               const CountStatistic& c) {
    w.key(plural);
    w.value(c.count);
    w.key(successful);
    w.value(c.successes);
    w.key(rate);
    w.value(c.rate);
}

template <typename Stats>
void putBehaviourFigures(JsonTextWriter& w, const Stats& s) {
    putCounts(w, "shots", "successful_shots", "shot_rate", s.shots);
    putCounts(w, "passes", "successful_passes", "pass_rate", s.passes);
    putCounts(w, "interceptions", "successful_interceptions", "interception_rate", s.interceptions);
    putCounts(w, "dribbles", "successful_dribbles", "dribble_rate", s.dribbles);
}

void putCountOrNull(JsonTextWriter& w, const char* name, bool known, std::int64_t count) {
    w.key(name);
    if (known) {
        w.value(count);
    } else {
        w.null();
    }
}

void putDiscipline(JsonTextWriter& w, const std::optional<DisciplineFigures>& figures) {
    const DisciplineFigures f = figures.value_or(DisciplineFigures{});
    putCountOrNull(w, "yellow_cards", figures.has_value(), f.yellowCards);
    putCountOrNull(w, "red_cards", figures.has_value(), f.redCards);
    putCountOrNull(w, "fouls", figures.has_value(), f.fouls);
    putCountOrNull(w, "tackles", figures.has_value(), f.tackles);
}

template <typename Range>
void putArray(JsonTextWriter& w, const char* name, const Range& values) {
    w.key(name);
    w.beginArray();
    for (const auto& v : values) w.value(v);
    w.endArray();
}

// Mean positions are single-precision metres; a tenth of a millimetre is all they carry.
double metres(float v) { return std::round(static_cast<double>(v) * 1e4) / 1e4; }

void putTeam(JsonTextWriter& w, const BehaviorAnalyzer& analyzer, int slot, const TeamStatistics& t,
             const std::optional<DisciplineFigures>& discipline) {
    const int sideCode = slot == 0 ? 1 : -1;
    const PlayModeCounters c = analyzer.playModeCounters(sideCode);
    w.beginObject();
    w.key("name");
    w.value(analyzer.teamName(sideCode));
    putBehaviourFigures(w, t);
    w.key("possession_cycles");
    w.value(t.possession_cycles);
    w.key("possession_share");
    w.value(t.possession_share);
    putArray(w, "thirds_cycles", t.thirds_cycles);
    putArray(w, "thirds_shares", t.thirds_shares);
    const std::pair<const char*, int> counters[] = {
        {"offsides", c.offsides},     {"back_passes", c.back_passes},   {"free_kick_faults", c.free_kick_faults},
        {"kick_ins", c.kick_ins},     {"corner_kicks", c.corner_kicks}, {"goal_kicks", c.goal_kicks},
        {"free_kicks", c.free_kicks},
    };
    for (const auto& [name, count] : counters) {
        w.key(name);
        w.value(count);
    }
    putDiscipline(w, discipline);
    w.endObject();
}

void putPlayer(JsonTextWriter& w, int i, const PlayerStatistics& p,
               const std::optional<DisciplineFigures>& discipline) {
    w.beginObject();
    w.key("side");
    w.value(i < kPlayersPerSide ? "l" : "r");
    w.key("unum");
    w.value(i % kPlayersPerSide + 1);
    putBehaviourFigures(w, p);
    w.key("mean_position");
    w.beginArray();
    w.value(metres(p.mean_position.x));
    w.value(metres(p.mean_position.y));
    w.endArray();
    putDiscipline(w, discipline);
    w.endObject();
}

// The document's text is about 14 KB; room for it at once.
constexpr std::size_t kTextBytes = 16 * 1024;

}  // namespace

std::string statsJsonText(const BehaviorAnalyzer& analyzer, const GameDiscipline* discipline) {
    const GameDiscipline unknown;
    const GameDiscipline& d = discipline ? *discipline : unknown;
    const auto& events = analyzer.Events();
    const GameStatistics& s = analyzer.statistics();

    std::array<int, kBehaviorKindCount> byKind{};
    for (std::size_t i = 1; i < events.size(); ++i) {
        const int kind = events[i].kind;
        if (kind >= 0 && kind < kBehaviorKindCount) ++byKind[static_cast<std::size_t>(kind)];
    }

    std::string text;
    text.reserve(kTextBytes);
    JsonTextWriter w(text);
    w.beginObject();
    w.key("events");
    w.value(events.empty() ? std::size_t{0} : events.size() - 1);
    w.key("events_by_kind");
    w.beginObject();
    for (int k = 0; k < kBehaviorKindCount; ++k) {
        w.key(behaviorKindName(k));
        w.value(byKind[static_cast<std::size_t>(k)]);
    }
    w.endObject();

    w.key("teams");
    w.beginArray();
    for (int slot = 0; slot < 2; ++slot) {
        const auto at = static_cast<std::size_t>(slot);
        putTeam(w, analyzer, slot, s.teams[at], d.teams[at]);
    }
    w.endArray();

    w.key("players");
    w.beginArray();
    for (int i = 0; i < kPlayerCount; ++i) {
        const auto at = static_cast<std::size_t>(i);
        putPlayer(w, i, s.players[at], d.players[at]);
    }
    w.endArray();
    putArray(w, "game_thirds_shares", s.thirds_shares);
    w.endObject();
    return text;
}

}  // namespace tessarin::cli
