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

std::string LogPlayer::droppedByVersion3() const {
    std::lock_guard lock(mutex_);
    bool cards = false, counters = false, capacity = false, focus = false, attention = false, pointing = false;
    CompanionStore::Reader reader(companions_);
    for (std::size_t i = 0; i < companions_.size(); ++i) {
        const auto companion = reader.next();
        if (!companion) continue;
        for (const PlayerCompanion& p : companion->players) {
            cards = cards || (p.state & 0xffff0000u) != 0;
            counters = counters || p.counterCount > 0;
            capacity = capacity || p.has(PlayerCompanion::kCapacity);
            focus = focus || p.has(PlayerCompanion::kFocusPoint);
            attention = attention || p.attentionSide != 0;
            pointing = pointing || p.has(PlayerCompanion::kPointing);
        }
    }
    std::vector<std::string> parts;
    if (cards) parts.emplace_back("cards and fouls");
    if (counters) parts.emplace_back("tackle, point-to, attention-to and focus-change counts");
    if (capacity) parts.emplace_back("stamina capacities");
    if (focus) parts.emplace_back("focus points");
    if (attention) parts.emplace_back("attention targets");
    if (pointing) parts.emplace_back("pointing targets");
    if (!logos_.empty()) parts.emplace_back("team logos");
    std::string text;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) text += i + 1 == parts.size() ? " and " : ", ";
        text += parts[i];
    }
    return text;
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
