#pragma once

// The drawable content of a client's "(debug" message:
//   (debug T E1 E2 M  [N X Y V]*T  [U O L]*M  NAME (X,Y) [tm U]
// T target points (number, position, value), two counts whose items are empty, M marking
// pairs (own uniform number, opponent's uniform number, one-character label), then a
// free text whose first token names a point, optionally with the own player it concerns.
// The parser reads only the text it is given and keeps whatever was well formed before
// the first item that is not.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tessarin {

struct DebugTargetPoint {
    int number = 0;
    double x = 0, y = 0, value = 0;
};

struct DebugMarking {
    int own = 0;    // uniform number on the sending player's side
    int other = 0;  // uniform number on the other side
    char label = 0;
};

struct DebugNamedPoint {
    std::string name;
    double x = 0, y = 0;
    std::optional<int> teammate;  // the " tm" number, when given
};

struct DebugDrawing {
    std::vector<DebugTargetPoint> targets;
    std::vector<DebugMarking> markings;
    std::optional<DebugNamedPoint> point;
};

// Items of one kind kept at most: a message claiming more is drawn up to this many.
inline constexpr std::size_t kMaxDebugItems = 256;
// Longest point name kept.
inline constexpr std::size_t kMaxDebugNameLength = 64;

// Parses a "(debug" message. The text ends at its first NUL byte; counts below 0 count
// as 0; positions and values must be finite numbers.
DebugDrawing parseDebugText(std::string_view text);

}  // namespace tessarin
