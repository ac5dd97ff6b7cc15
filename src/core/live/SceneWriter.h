#pragma once

// Scenes: one show record turned into a small version-2 sight log ("SLH"), the world as
// one chosen player would see it with perfect sight. Debug-enabled clients replay such
// a file offline; the viewer loads it like any version-2 sight log.
//
// The file is the header, the 18-entry type block, and the same sight record three
// times with the cycles 0, 1 and 2.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "record/GameRecords.h"
#include "record/SightLogV2Parser.h"

namespace tessarin {

inline constexpr int kSceneRecordCount = 3;
inline constexpr std::size_t kSceneFileSize = 3 + kSightTypeBlockSize + kSceneRecordCount * kSightRecordV2Size;
// The ball size in a scene's kickable distance; the server parameters are not consulted.
inline constexpr double kSceneBallSize = 0.085;

// SelfNum as typed in the editor: a decimal number 1..22 (1..11 the left team's players,
// 12..22 the right team's), blanks around it allowed. None for anything else.
std::optional<int> parseSelfNum(std::string_view text);

// The type block of a scene: entry j from the type with id j, the speed limited to what
// the type can reach, the kickable distance as twelfth value. None when a type id 0..17
// is not among `types`; `missingId` then names the first one missing.
std::optional<std::array<std::uint8_t, kSightTypeBlockSize>> sceneTypeBlock(const std::vector<player_type_t>& types,
                                                                            int* missingId = nullptr);

// The sight record of `show` as player `selfNum` (1..22) sees it, with the given cycle.
std::array<std::uint8_t, kSightRecordV2Size> sceneRecord(const show_info_t& show, int selfNum, int cycle);

// A whole scene file, or why there is none.
struct SceneFile {
    std::vector<std::uint8_t> bytes;  // kSceneFileSize bytes when error is empty
    std::string error;
};
// The scene of `record`, which must be a show record.
SceneFile buildScene(const cycle_info_t& record, int selfNum, const std::vector<player_type_t>& types);

// Writes the scene of `record` to `path`, replacing a file there. The bytes go to a
// temporary file beside `path` that is renamed over it once complete, so a failure
// leaves neither a new file nor a half-written one. Returns the error text, empty on
// success.
std::string writeScene(const std::string& path, const cycle_info_t& record, int selfNum,
                       const std::vector<player_type_t>& types);

}  // namespace tessarin
