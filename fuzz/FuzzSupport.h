#pragma once

// Shared pieces of the fuzz targets: a host that does nothing and a load from memory.

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "record/LogPlayer.h"
#include "record/PlaybackHost.h"

namespace tessarin::fuzz {

using NullHost = NullPlaybackHost;
using Bytes = std::vector<std::uint8_t>;

// Where the targets save what they stored: the writers run, nothing reaches a disk.
inline constexpr const char* kDiscardPath = "/dev/null";

// Loads a game from memory (with the decision files given), reads it to the end, then
// exercises playback and saving on what was stored.
void loadAndPlay(std::span<const std::uint8_t> game,
                 const std::array<std::optional<std::span<const std::uint8_t>>, 3>& decisions = {});

// `header` followed by the input's bytes.
Bytes withHeader(std::string_view header, const std::uint8_t* data, std::size_t size);

// The bytes as one gzip member.
Bytes gzipped(std::span<const std::uint8_t> bytes);

}  // namespace tessarin::fuzz
