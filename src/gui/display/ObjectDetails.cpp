#include "display/ObjectDetails.h"

#include <cstdio>

#include "record/SightRecords.h"

namespace tessarin {

namespace {

constexpr double kRadiansToDegrees = 180.0 / 3.1415926538;

std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string formatInt(const char* pattern, int value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

void set(DetailTexts& t, int row, const char* left, double l, const char* right, double r) {
    t.lines[static_cast<std::size_t>(row - 1)][0] = format(left, l);
    t.lines[static_cast<std::size_t>(row - 1)][1] = format(right, r);
}

void showPlayer(DetailTexts& t, const ShowState& s, int index) {
    const PlayerState& p = s.player[static_cast<std::size_t>(index)];
    if (p.mode == 0) return;
    const BallState& b = s.ball;
    set(t, 1, "X:%.2f", p.x, "Y:%.2f", p.y);
    set(t, 2, "DeltaX:%.2f", p.vx, "DeltaY:%.2f", p.vy);
    set(t, 3, "BallRelX:%.2f", b.x - p.x, "BallRelY:%.2f", b.y - p.y);
    set(t, 4, "BallRDX:%.2f", b.vx - p.vx, "BallRDY:%.2f", b.vy - p.vy);
    set(t, 5, "BodyAngle:%.2f", p.body_angle * kRadiansToDegrees, "HeadAngle:%.2f", p.neck_angle * kRadiansToDegrees);
    set(t, 6, "Stamina:%.2f", p.stamina, "Recovery:%.2f", p.recovery);
    set(t, 7, "Effort:%.2f", p.effort, "ViewWidth:%.2f", p.view_width);
    t.lines[7][0] = formatInt("ViewQuality:%d", p.view_quality);
    t.lines[7][1] = formatInt("Type:%d", p.type);
    t.lines[8][0] = formatInt("Mode:%d", p.mode);
}

const char* cardName(Card card) {
    switch (card) {
        case Card::Yellow:
            return "yellow";
        case Card::Red:
            return "red";
        default:
            return "none";
    }
}

// Rows 10 and 11 from the companion of the record: what the line told, "N/A" for what not.
void showCompanion(DetailTexts& t, const PlayerCompanion& p) {
    t.lines[9][0] = p.has(PlayerCompanion::kCapacity) ? format("Capacity:%.0f", static_cast<double>(p.capacity))
                                                      : std::string("Capacity:") + kNotAvailable;
    const bool known = p.knowsNewerFields();
    t.lines[9][1] = std::string("Card:") + (known ? cardName(p.card()) : kNotAvailable);
    t.lines[10][0] = p.hasCounter(kTackleCounter)
                         ? formatInt("Tackles:%d", static_cast<int>(p.counters[kTackleCounter]))
                         : std::string("Tackles:") + kNotAvailable;
    t.lines[10][1] = std::string("Foul:") + (!known                               ? kNotAvailable
                                             : (p.state & kStateFoulCharged) != 0 ? "charged"
                                                                                  : "none");
}

void sightOne(DetailTexts& t, const cycle_info_t& record) {
    const SightView v = decodeSightRecord(record);
    set(t, 1, "X:%.2f", v.x, "Y:%.2f", v.y);
    set(t, 2, "Speed:%.2f", v.speed, "VelConf:%.2f", v.velocityConfidence);
    set(t, 3, "BodyAngle:%.2f", v.body * kRadiansToDegrees, "HeadAngle:%.2f", v.neck * kRadiansToDegrees);
    set(t, 4, "BallX:%.2f", v.ballX, "BallY:%.2f", v.ballY);
    set(t, 5, "BallSpeed:%.2f", v.ballSpeed, "BallVelConf:%.2f", v.ballVelocityConfidence);
    set(t, 6, "MyConf:%.2f", v.confidence, "BallConf:%.2f", v.ballConfidence);
}

void sightTwo(DetailTexts& t, const cycle_info_t& record, int selected) {
    const SightV2View v = decodeSightRecordV2(record);
    const int n = v.observerIndex();
    if (selected == n) {
        set(t, 1, "X:%.2f", v.x, "Y:%.2f", v.y);
        set(t, 2, "VelX:%.2f", v.vx, "VelY:%.2f", v.vy);
        set(t, 3, "BodyAngle:%.2f", v.body, "HeadAngle:%.2f", v.neck);
        set(t, 4, "BallX:%.2f", v.ballX, "BallY:%.2f", v.ballY);
        set(t, 5, "BallVX:%.2f", v.ballVx, "BallVY:%.2f", v.ballVy);
        set(t, 6, "MyConf:%.2f", v.confidence, "MyVConf:%.2f", v.velocityConfidence);
        set(t, 7, "BallConf:%.2f", v.ballConfidence, "BallVConf:%.2f", v.ballVelocityConfidence);
        set(t, 8, "BallRelX:%.2f", v.ballX - v.x, "BallRelY:%.2f", v.ballY - v.y);
        set(t, 9, "BallRDX:%.2f", v.ballVx - v.vx, "BallRDY:%.2f", v.ballVy - v.vy);
    } else if (selected >= 0 && selected < n) {
        const SightV2SeenPlayer& p = v.seen[static_cast<std::size_t>(selected)];
        set(t, 1, "X:%.2f", p.x, "Y:%.2f", p.y);
        set(t, 2, "VelX:%.2f", p.vx, "VelY:%.2f", p.vy);
        set(t, 3, "BodyAngle:%.2f", p.body, "BAConf:%.2f", p.bodyConfidence);
        set(t, 4, "HeadAngle:%.2f", p.neck, "HAConf:%.2f", p.neckConfidence);
        set(t, 5, "Conf:%.2f", p.confidence, "VelConf:%.2f", p.velocityConfidence);
        char side[16];
        std::snprintf(side, sizeof side, "Side:%c", p.side);
        t.lines[5][0] = side;
        t.lines[5][1] = formatInt("Num:%d", p.number);
        t.lines[6][0] = formatInt("Type:%d", p.type);
        t.lines[6][1] = formatInt("Tackle:%d", p.tackle);
    }
}

}  // namespace

DetailTexts::DetailTexts() {
    for (auto& row : lines) row = {kNotAvailable, kNotAvailable};
}

std::string receivedMessages(const std::string& messages, const std::string& team, int number) {
    std::string box = kNotAvailable;
    const std::string pattern = "Recv " + team + "_" + std::to_string(number) + ": (";
    std::size_t from = 0;
    while (true) {
        const std::size_t found = messages.find(pattern, from);
        if (found == std::string::npos) break;
        box += "\r\n";
        std::size_t i = found + pattern.size() - 1;  // the opening parenthesis
        bool fraction = false;
        int digits = 0;
        for (; i < messages.size(); ++i) {
            const char c = messages[i];
            // A message ends at a line feed, or at the separator that ends every stored message.
            if (c == '\n' || messages.compare(i, kMessageSeparator.size(), kMessageSeparator) == 0) break;
            if (fraction && c >= '0' && c <= '9') {
                if (digits++ < 2) box += c;
                continue;
            }
            fraction = c == '.';
            digits = 0;
            box += c;
        }
        from = i;
    }
    return box;
}

std::optional<DetailTexts> detailTexts(const FieldScene& scene) {
    if (!scene.current) return std::nullopt;
    DetailTexts t;
    const int selected = scene.selected;
    switch (scene.current->kind) {
        case kShowRecord:
            if (selected >= 0 && selected < kPlayerCount) {
                showPlayer(t, scene.state, selected);
                if (const CycleCompanion* extra = scene.companion();
                    extra && scene.state.player[static_cast<std::size_t>(selected)].mode != 0) {
                    showCompanion(t, extra->players[static_cast<std::size_t>(selected)]);
                }
                const int side = selected < kPlayersPerSide ? 0 : 1;
                const int number = selected < kPlayersPerSide ? selected + 1 : selected - 10;
                t.messages = receivedMessages(scene.current->messages,
                                              scene.state.team[static_cast<std::size_t>(side)].name, number);
            } else if (selected == kSelectBall) {
                const BallState& b = scene.state.ball;
                set(t, 1, "X:%.2f", b.x, "Y:%.2f", b.y);
                set(t, 2, "DeltaX:%.2f", b.vx, "DeltaY:%.2f", b.vy);
            }
            break;
        case kSightRecord:
            sightOne(t, *scene.current);
            break;
        case kSightRecordV2:
            sightTwo(t, *scene.current, selected);
            break;
        default:
            break;
    }
    return t;
}

}  // namespace tessarin
