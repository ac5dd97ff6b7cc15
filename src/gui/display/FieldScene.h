#pragma once

// Everything one paint of the field draws: a copy of the current record, the host-order
// copy of the last show record, what each player reaches, and the display's selection.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "record/Companion.h"
#include "record/GameRecords.h"

namespace tessarin {

// The display's host-order copy of a show record.
using DisplayState = ShowState;

// Selection indices: 0..10 left players, 11..21 right players.
inline constexpr int kSelectBall = 22;
inline constexpr int kSelectNothing = 23;

struct FieldScene {
    // The record being shown, copied: the store it came from may grow and move.
    std::optional<cycle_info_t> current;
    // The last show record made current; records of other kinds leave it as it was.
    DisplayState state;
    // Per player: kickable distance (player size + kickable margin + ball size) and
    // player size of its type, in metres.
    std::array<double, kPlayerCount> kickRange{};
    std::array<double, kPlayerCount> playerSize{};
    int selected = kSelectBall;
    bool drawCircle = false;
    // Counters shown in the header in place of the two scores (the trainer's Intercept mode).
    std::optional<std::array<int, 2>> scoreCounters;
    // The last "(debug" message of a client, drawn while the Debug option is on.
    std::string debugText;

    // Makes `record` current (none allowed); a show record also refreshes `state`.
    void setCurrent(const std::optional<cycle_info_t>& record);
    // Fills kickRange and playerSize from the players' types; a missing type uses the defaults.
    void setPlayerTypes(const std::vector<player_type_t>& types, double ballSize);
    bool showCurrent() const { return current && current->kind == kShowRecord; }
    // The companion of the current show record, or null (none for a version-3 game).
    const CycleCompanion* companion() const { return showCurrent() ? current->companion.get() : nullptr; }
};

// The header's six texts.
struct HeaderTexts {
    std::string leftScore;
    std::string rightScore;
    std::string leftName;
    std::string rightName;
    std::string playMode;
    std::string time;
    bool operator==(const HeaderTexts&) const = default;
};

HeaderTexts headerTexts(const FieldScene& scene);

}  // namespace tessarin
