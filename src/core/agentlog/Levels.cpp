#include "agentlog/Levels.h"

#include <array>
#include <cctype>

namespace tessarin::agentlog {

namespace {

constexpr std::array<std::string_view, 32> kLevelNames = {
    "system",   "sensor",        "world",    "action",       "intercept", "kick",     "hold",        "dribble",
    "pass",     "cross",         "shoot",    "clear",        "block",     "mark",     "positioning", "role",
    "team",     "communication", "analyzer", "action_chain", "plan",      "level_22", "level_23",    "level_24",
    "level_25", "level_26",      "level_27", "level_28",     "level_29",  "level_30", "level_31",    "training",
};

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

}  // namespace

std::string_view levelName(int bit) {
    if (bit < 0 || bit >= 32) return {};
    return kLevelNames[static_cast<std::size_t>(bit)];
}

int levelBit(std::string_view name) {
    for (std::size_t i = 0; i < kLevelNames.size(); ++i) {
        if (equalsIgnoringCase(name, kLevelNames[i])) return static_cast<int>(i);
    }
    return -1;
}

std::string levelNames(std::uint32_t levels) {
    if (levels == kAllLevels) return "all";
    std::string names;
    for (int bit = 0; bit < 32; ++bit) {
        if (!(levels & (1u << bit))) continue;
        if (!names.empty()) names += '|';
        names += levelName(bit);
    }
    return names;
}

std::optional<std::uint32_t> parseLevelList(std::string_view list) {
    if (equalsIgnoringCase(trimmed(list), "all")) return kAllLevels;
    std::uint32_t levels = 0;
    bool any = false;
    while (!list.empty()) {
        const std::size_t comma = list.find(',');
        const std::string_view name = trimmed(list.substr(0, comma));
        list = comma == std::string_view::npos ? std::string_view{} : list.substr(comma + 1);
        const int bit = levelBit(name);
        if (bit < 0) return std::nullopt;
        levels |= 1u << bit;
        any = true;
    }
    if (!any) return std::nullopt;
    return levels;
}

}  // namespace tessarin::agentlog
