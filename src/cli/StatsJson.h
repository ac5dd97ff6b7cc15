#pragma once

// The statistics document of one analysed game ("stats.json"): event counts by kind,
// both teams' and all 22 players' figures, the set-piece counters and the thirds.

#include <nlohmann/json.hpp>
#include <string>

#include "analysis/BehaviorAnalyzer.h"
#include "analysis/Discipline.h"

namespace tessarin::cli {

// Writes the document, indented by two, from the analyser's events, its statistics as last computed
// (call ComputeStatistics first) and its play-mode counters. Keys keep the order in
// which scripts read them: `events` (sentinel excluded), `events_by_kind`, `teams`
// (left, right), `players` (index order, `side` "l" or "r"), `game_thirds_shares`.
// Teams and players also carry `yellow_cards`, `red_cards`, `fouls` and `tackles` from
// `discipline`, each null where the game does not tell them (a version-3 game; no
// discipline given). The analyser must not be fed meanwhile: call it under the store's
// lock or after loading has finished.
// The text is what `dumpJson` would make of the same document; it is written directly
// because building the document tree first cost several times the text.
std::string statsJsonText(const BehaviorAnalyzer& analyzer, const GameDiscipline* discipline = nullptr);

// A document as text, indented by two. Texts that are not UTF-8 (team names and file
// names come from the files as they are) get U+FFFD in place of invalid bytes instead of
// making the dump throw.
template <typename Json>
std::string dumpJson(const Json& doc) {
    return doc.dump(2, ' ', false, Json::error_handler_t::replace);
}

}  // namespace tessarin::cli
