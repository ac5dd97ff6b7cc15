#include "record/LogPlayer.h"

#include <utility>

namespace tessarin {

cycle_info_t LogPlayer::handOutLocked(std::size_t index) const {
    cycle_info_t record = frames_[index];
    if (auto companion = companions_.at(index)) {
        companion->logos = sharedLogos_;
        record.companion = std::make_shared<const CycleCompanion>(std::move(*companion));
    }
    return record;
}

void LogPlayer::addLogoTile(int side, LogoTile tile) {
    std::lock_guard lock(mutex_);
    if (side < 0 || side > 1) return;
    const auto dropped = [&](const char* why) {
        if (loadWarning_.empty()) loadWarning_ = std::string("dropped a tile of a team logo: ") + why;
    };
    if (!isValidLogoTile(tile.x, tile.y, tile.xpm)) return dropped("not a valid XPM tile of at most 256 x 64 pixels");
    std::vector<LogoTile>& tiles = logos_.tiles[static_cast<std::size_t>(side)];
    const auto textBytes = [](const LogoTile& t) {
        std::size_t n = 0;
        for (const std::string& line : t.xpm) n += line.size();
        return n;
    };
    std::size_t total = textBytes(tile);
    auto same = tiles.end();
    for (auto it = tiles.begin(); it != tiles.end(); ++it) {
        if (it->x == tile.x && it->y == tile.y) {
            same = it;
        } else {
            total += textBytes(*it);
        }
    }
    if (total > kMaxLogoBytes) return dropped("the logo would be too large");
    if (same != tiles.end()) {
        *same = std::move(tile);
    } else {
        tiles.push_back(std::move(tile));
    }
    sharedLogos_ = std::make_shared<const TeamLogos>(logos_);
}

TeamLogos LogPlayer::teamLogos() const {
    std::lock_guard lock(mutex_);
    return logos_;
}

std::optional<CycleCompanion> LogPlayer::companionAt(std::size_t index) const {
    std::lock_guard lock(mutex_);
    auto companion = companions_.at(index);
    if (companion) companion->logos = sharedLogos_;
    return companion;
}

bool LogPlayer::hasCompanions() const {
    std::lock_guard lock(mutex_);
    return companions_.any();
}

std::size_t LogPlayer::companionBytes() const {
    std::lock_guard lock(mutex_);
    return companions_.bytes();
}

}  // namespace tessarin
