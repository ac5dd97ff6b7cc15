#pragma once

// What the text game logs of newer servers (versions 4 to 6) say about a cycle beyond
// the version-3 show record, whose fixed layout has no room for it: each player's full
// state word (cards and fouls live above its low 16 bits), the newer command counters,
// the stamina capacity, the focus point, the attention target and the pointing target;
// and per game the teams' logos. Records of version-3 and binary logs have none.

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "record/GameRecords.h"

namespace tessarin {

// Bits of a player's state word above the 16 that the show record keeps.
inline constexpr std::uint32_t kStateFoulCharged = 0x20000;
inline constexpr std::uint32_t kStateYellowCard = 0x40000;
inline constexpr std::uint32_t kStateRedCard = 0x80000;
inline constexpr std::uint32_t kStateIllegalDefense = 0x100000;

enum class Card : std::uint8_t { None, Yellow, Red };

// The counters a show line writes after the eight the show record keeps, in its order.
enum CompanionCounter : std::size_t {
    kTackleCounter = 0,
    kPointToCounter = 1,
    kAttentionToCounter = 2,
    kChangeFocusCounter = 3,
};
inline constexpr std::size_t kCompanionCounterCount = 4;

// One player's part of a show line beyond the show record.
struct PlayerCompanion {
    // Which optional parts the line held for this player.
    enum Part : std::uint8_t {
        kCapacity = 1,    // "(s stamina effort recovery capacity)" (version 5 on)
        kFocusPoint = 2,  // "(fp dist dir)" (version 6)
        kPointing = 4,    // the pointing target after the neck angle
    };

    std::uint32_t state = 0;  // the whole state word; its low 16 bits are also in the show record
    std::array<std::uint32_t, kCompanionCounterCount> counters{};
    std::uint8_t counterCount = 0;  // how many of `counters` the line held (0..4)
    std::uint8_t parts = 0;
    char attentionSide = 0;  // 'l' or 'r' when the player attends to someone ("(f SIDE UNUM)"), else 0
    std::uint8_t attentionUnum = 0;
    float capacity = 0;   // stamina capacity
    float focusDist = 0;  // metres
    float focusDir = 0;   // degrees, as written
    float pointX = 0;     // pointing target, field metres; 0 without kPointing
    float pointY = 0;

    bool has(Part part) const { return (parts & part) != 0; }
    // Whether the line told the whole state word and the newer counters, so that cards,
    // fouls and tackles are known: every server that writes the newer counters writes
    // the whole state word too, and a line written from a version-3 record has neither.
    bool knowsNewerFields() const { return counterCount > 0; }
    bool hasCounter(CompanionCounter which) const { return which < counterCount; }
    // A red card wins over a yellow one.
    Card card() const;
    bool operator==(const PlayerCompanion&) const = default;
};

// One team's logo: tiles of XPM text at tile positions (8 pixels a step), as the server
// passes on what a coach sent.
struct LogoTile {
    int x = 0;                     // tile column, 0..31
    int y = 0;                     // tile row, 0..7
    std::vector<std::string> xpm;  // header, colours, pixel rows, each without quotes
    bool operator==(const LogoTile&) const = default;
};

// Largest logo drawn or kept, in pixels; a tile that reaches beyond is not a logo's.
inline constexpr int kLogoWidth = 256;
inline constexpr int kLogoHeight = 64;
inline constexpr int kLogoTileStep = 8;

struct TeamLogos {
    std::array<std::vector<LogoTile>, 2> tiles;  // left, right; each tile position once
    bool empty() const { return tiles[0].empty() && tiles[1].empty(); }
    bool operator==(const TeamLogos&) const = default;
};

// Whether the lines form an XPM image that fits a logo when placed at tile (x, y): a
// header "WIDTH HEIGHT COLOURS CHARS_PER_PIXEL" of sane numbers, that many colour lines
// and pixel rows of the right length, and nothing beyond.
bool isValidLogoTile(int x, int y, const std::vector<std::string>& xpm);

// The companion of one show record.
struct CycleCompanion {
    std::array<PlayerCompanion, kPlayerCount> players{};
    // The game's logos as they stood when the record was handed out (none while the
    // game has none); not part of the record's own fields.
    std::shared_ptr<const TeamLogos> logos;

    // Whether the per-player fields agree (the logos are not compared).
    bool samePlayers(const CycleCompanion& other) const { return players == other.players; }
};

}  // namespace tessarin
