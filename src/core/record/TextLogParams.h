#pragma once

// Where the named values of a text game log's parameter lines go in the binary
// parameter blocks and player types: one table per block, each entry the name the
// server writes, the byte offset in the block and how the value is stored.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "record/GameRecords.h"

namespace tessarin {

enum class ParamStorage : std::uint8_t {
    Fixed32,  // a real, network-order int32 scaled by 65536
    Int16,    // an integer (or boolean), network-order int16
    Int32,    // an integer, network-order int32 (not scaled)
};

struct ParamField {
    std::string_view name;
    std::uint16_t offset;
    ParamStorage storage;
};

// The fields of server_param_t, player_param_t and player_type_t by name, sorted by name.
std::span<const ParamField> serverParamFields();
std::span<const ParamField> playerParamFields();
std::span<const ParamField> playerTypeFields();

// The field of that name in a table, or nullptr.
const ParamField* findParamField(std::span<const ParamField> table, std::string_view name);

// Stores a value read for `field` into its block in network order; a value the field
// cannot hold (out of the fixed-point or integer range) is left out.
void storeParamValue(const ParamField& field, double value, std::uint8_t* block);

// Fills the server block's values that the server derives from others: the control
// radius width when player_size and control_radius were given, the kickable area when
// player_size, kickable_margin and ball_size were, and the least common multiple of the
// step intervals.
void deriveServerParams(server_param_t& params, bool radiusWidth, bool kickableArea);

// Byte offsets of the server block's values derived from others (they have no name of their own).
inline constexpr std::size_t kServerParamPlayerSizeOffset = 8;
inline constexpr std::size_t kServerParamKickableMarginOffset = 136;
inline constexpr std::size_t kServerParamControlRadiusOffset = 140;
inline constexpr std::size_t kServerParamControlRadiusWidthOffset = 144;
inline constexpr std::size_t kServerParamKickableAreaOffset = 204;
inline constexpr std::size_t kServerParamLcmStepOffset = 264;
// Offsets of the step intervals whose least common multiple is the lcm step.
inline constexpr std::size_t kServerParamStepOffsets[] = {256, 258, 260, 262, 334};

}  // namespace tessarin
