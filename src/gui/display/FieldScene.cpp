#include "display/FieldScene.h"

#include <cstdio>

#include "record/ByteOrder.h"

namespace tessarin {

namespace {

std::string format(const char* pattern, int value) {
    char text[32];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

}  // namespace

void FieldScene::setCurrent(const std::optional<cycle_info_t>& record) {
    current = record;
    if (current && current->kind == kShowRecord) state = toHost(current->show());
}

void FieldScene::setPlayerTypes(const std::vector<player_type_t>& types, double ballSize) {
    for (std::size_t i = 0; i < state.player.size(); ++i) {
        const auto type = findPlayerType(types, state.player[i].type);
        const PlayerTypeState host = type ? toHost(*type) : PlayerTypeState{};
        kickRange[i] = kickableDistance(host, ballSize);
        playerSize[i] = host.player_size;
    }
}

HeaderTexts headerTexts(const FieldScene& scene) {
    HeaderTexts texts;
    const bool show = scene.showCurrent();
    texts.leftScore = format("%2d", show ? scene.state.team[0].score : 0);
    texts.rightScore = format("%2d", show ? scene.state.team[1].score : 0);
    if (scene.scoreCounters) {
        texts.leftScore = format("%4d", (*scene.scoreCounters)[0]);
        texts.rightScore = format("%4d", (*scene.scoreCounters)[1]);
    }
    texts.leftName = show ? scene.state.team[0].name : std::string("Left");
    texts.rightName = show ? scene.state.team[1].name : std::string("Right");
    texts.playMode = show ? std::string(playModeName(scene.state.playmode)) : std::string();
    const int cycle = scene.current ? recordCycle(*scene.current) : 0;
    int second = 0;
    if (scene.current && scene.current->kind == kSightRecordV2) {
        // The second time counter of a version-2 sight record: little-endian int16 at byte 6.
        second = static_cast<std::int16_t>(le16(scene.current->data.data() + 6));
    }
    if (second >= 1) {
        char text[32];
        std::snprintf(text, sizeof text, "%d : %d", cycle, second);
        texts.time = text;
    } else {
        texts.time = format("%d", cycle);
    }
    return texts;
}

}  // namespace tessarin
