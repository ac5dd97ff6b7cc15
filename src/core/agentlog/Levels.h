#pragma once

// The topics of the base library's debug output, one bit each, named as its
// "--debug_<name>" switches name them. Bits the library gives no topic are named
// "level_N" after its LEVEL_N constants (bit N-1).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tessarin::agentlog {

inline constexpr std::uint32_t kAllLevels = 0xffffffffu;

// The name of bit 0..31.
std::string_view levelName(int bit);
// The bit of a name (case ignored), or -1.
int levelBit(std::string_view name);
// "all" for every bit; otherwise the names of the bits set, joined by '|'.
std::string levelNames(std::uint32_t levels);
// "all", or names separated by commas ("pass,kick"); nullopt when a name is unknown or
// the list is empty.
std::optional<std::uint32_t> parseLevelList(std::string_view list);

}  // namespace tessarin::agentlog
