#pragma once

// Why a load of a game file read nothing, in the words that the viewer and the
// command-line tool both use.

#include <optional>
#include <string>

namespace tessarin {

class LogPlayer;

// The reason the last load of `path` failed, or none when it is being read.
std::optional<std::string> loadFailureText(const LogPlayer& player, const std::string& path);

}  // namespace tessarin
