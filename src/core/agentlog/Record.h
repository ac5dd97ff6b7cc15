#pragma once

// One line of a player's debug log, as the base library writes it:
//   CYCLE,STOPPED LEVEL TYPE ARGS...
// the game cycle and the stopped-clock count, a bit mask of topics (-1 sets every bit),
// and a type letter:
//   M  a message: the rest of the line
//   p  point      x y                        l  line      x1 y1 x2 y2
//   a  arc        x y r start span           c/C circle   x y r (C filled)
//   t/T triangle  x1 y1 x2 y2 x3 y3          r/R rectangle left top width height
//   s/S sector    x y min_r max_r start span m  text      x y [(c COLOR)] text
// A drawing may end with a colour, "#rrggbb" or a colour name. Angles are degrees,
// clockwise on the screen as the field's y grows downward. Coordinates are the player's
// own: its team attacks toward +x.

#include <array>
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessarin::agentlog {

struct CycleKey {
    int cycle = 0;
    int stopped = 0;
    auto operator<=>(const CycleKey&) const = default;
};

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// The colour of a drawing that names none.
inline constexpr Rgb kDefaultColour{255, 255, 255};

// Numbers beyond this magnitude (metres or degrees) are not a position on any field:
// such a line is damage and is skipped.
inline constexpr double kMaxMagnitude = 1.0e5;

struct Record {
    CycleKey key;
    std::uint32_t levels = 0;
    char type = 'M';
    // The numbers of a drawing in the order the line gives them; valueCount(type) are used.
    std::array<double, 6> values{};
    std::optional<Rgb> colour;
    // A message's text, or the text drawn at a point.
    std::string text;
};

// How many numbers a type takes; -1 for a letter that is no type.
int valueCount(char type);
// True for the types drawn on the field (every type but 'M').
inline bool isDrawing(char type) { return type != 'M' && valueCount(type) >= 0; }
inline bool isFilled(char type) { return type == 'C' || type == 'T' || type == 'R' || type == 'S'; }

// Reads the cycle and stopped count at the start of a line; on success sets rest to
// the text after the following blank.
bool parseKey(std::string_view line, CycleKey& key, std::string_view& rest);

// Reads a whole line (without its newline; a trailing carriage return is ignored) into
// out. False for a line that breaks the grammar: a bad key or level, an unknown type,
// missing numbers, numbers that are not finite or lie beyond kMaxMagnitude, a negative
// radius or size, or a colour that is no colour. out is unspecified then.
bool parseRecord(std::string_view line, Record& out);

// "#rrggbb", "#rgb" or a colour name as SVG and Qt know them (case ignored).
std::optional<Rgb> parseColour(std::string_view text);

// The record as drawn on the field for a player of the right side, whose own coordinates
// are turned half a circle from the field's: x -> -x, y -> -y, angles + 180 degrees.
Record mirrored(const Record& record);

}  // namespace tessarin::agentlog
