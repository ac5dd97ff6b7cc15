#pragma once

// Shared pieces of the fuzz targets: a host that does nothing and a scratch directory.

#include <cstdint>
#include <string>
#include <vector>

#include "record/LogPlayer.h"
#include "record/PlaybackHost.h"

namespace tessarin::fuzz {

using NullHost = NullPlaybackHost;

// A directory of this process for the files a target writes, made on first use.
std::string scratchFile(const std::string& name);
void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size);
void removeFile(const std::string& path);

// Loads a file, reads it to the end, then exercises playback and saving on what was stored.
void loadAndPlay(const std::string& path);

}  // namespace tessarin::fuzz
