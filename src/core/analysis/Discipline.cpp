#include "analysis/Discipline.h"

#include "record/Companion.h"

namespace tessarin {

namespace {

// Sets of a state bit count once, while it stays set through the following cycles.
int rose(std::uint32_t before, std::uint32_t now, std::uint32_t bit) { return (now & bit) != 0 && (before & bit) == 0; }

}  // namespace

GameDiscipline countDiscipline(const std::vector<cycle_info_t>& records, const CompanionStore& companions) {
    GameDiscipline game;
    std::array<std::uint32_t, kPlayerCount> lastState{};
    std::array<std::optional<std::uint32_t>, kPlayerCount> lastTackles;
    CompanionStore::Reader reader(companions);
    for (std::size_t r = 0; r < records.size(); ++r) {
        const std::optional<CycleCompanion> companion = reader.next();
        if (!companion || records[r].kind != kShowRecord) continue;
        for (std::size_t i = 0; i < kPlayerCount; ++i) {
            const PlayerCompanion& p = companion->players[i];
            if (!p.knowsNewerFields()) continue;
            DisciplineFigures& f = game.players[i] ? *game.players[i] : game.players[i].emplace();
            f.yellowCards += rose(lastState[i], p.state, kStateYellowCard);
            f.redCards += rose(lastState[i], p.state, kStateRedCard);
            f.fouls += rose(lastState[i], p.state, kStateFoulCharged);
            lastState[i] = p.state;
            if (!p.hasCounter(kTackleCounter)) continue;
            // The counter runs from the player's connection; a reconnected player's
            // starts again, and only its rises count.
            const std::uint32_t tackles = p.counters[kTackleCounter];
            if (!lastTackles[i]) {
                f.tackles += tackles;
            } else if (tackles > *lastTackles[i]) {
                f.tackles += tackles - *lastTackles[i];
            }
            lastTackles[i] = tackles;
        }
    }
    for (std::size_t i = 0; i < kPlayerCount; ++i) {
        if (!game.players[i]) continue;
        std::optional<DisciplineFigures>& team = game.teams[i < kPlayersPerSide ? 0 : 1];
        DisciplineFigures& t = team ? *team : team.emplace();
        t.yellowCards += game.players[i]->yellowCards;
        t.redCards += game.players[i]->redCards;
        t.fouls += game.players[i]->fouls;
        t.tackles += game.players[i]->tackles;
    }
    return game;
}

}  // namespace tessarin
