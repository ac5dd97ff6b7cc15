#include "live/SceneWriter.h"

#include <charconv>
#include <cmath>
#include <cstring>

#include "geometry/Angle.h"
#include "record/AtomicFile.h"
#include "record/ByteOrder.h"
#include "record/SightRecordV2.h"

namespace tessarin {

namespace {

constexpr int kGoalieModeBit = 0x0008;
constexpr float kFullConfidence = 1.0f;
// The value the clients' own writer leaves at byte 1316 of a record.
constexpr float kSceneMarker1316 = -100.0f;

float degrees(double radians) { return static_cast<float>(radians * 180.0 / kPi); }

void putFloat(std::uint8_t* record, std::size_t offset, double value) {
    putLef32(record + offset, static_cast<float>(value));
}

// The view width in radians, truncated to an integer and kept within the 8-bit field.
std::uint8_t viewWidthByte(double radians) {
    const double truncated = std::trunc(radians);
    if (!(truncated >= 0.0)) return 0;
    if (truncated >= 255.0) return 255;
    return static_cast<std::uint8_t>(truncated);
}

std::uint8_t lowByte(int value) { return static_cast<std::uint8_t>(static_cast<unsigned>(value) & 0xFFu); }

}  // namespace

std::optional<int> parseSelfNum(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    if (text.empty() || text.size() > 4) return std::nullopt;
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size()) return std::nullopt;
    if (value < 1 || value > kPlayerCount) return std::nullopt;
    return value;
}

std::optional<std::array<std::uint8_t, kSightTypeBlockSize>> sceneTypeBlock(const std::vector<player_type_t>& types,
                                                                            int* missingId) {
    std::array<std::uint8_t, kSightTypeBlockSize> block{};
    for (int j = 0; j < kSightTypeCount; ++j) {
        const std::optional<player_type_t> found = findPlayerType(types, j);
        if (!found) {
            if (missingId) *missingId = j;
            return std::nullopt;
        }
        const PlayerTypeState t = toHost(*found);
        double speed = t.player_speed_max;
        // The speed a full dash reaches once the decay balances it; a decay of 1 or more
        // has no such limit.
        if (t.player_decay < 1.0) {
            const double reachable = t.effort_max * 100.0 * t.dash_power_rate / (1.0 - t.player_decay);
            if (speed > reachable) speed = reachable;
        }
        const double values[] = {speed,
                                 t.stamina_inc_max,
                                 t.player_decay,
                                 t.inertia_moment,
                                 t.dash_power_rate,
                                 t.player_size,
                                 t.kickable_margin,
                                 t.kick_rand,
                                 t.extra_stamina,
                                 t.effort_max,
                                 t.effort_min,
                                 t.player_size + t.kickable_margin + kSceneBallSize};
        std::uint8_t* entry = block.data() + static_cast<std::size_t>(j) * kSightTypeEntrySize;
        for (std::size_t i = 0; i < std::size(values); ++i) putFloat(entry, 4 * i, values[i]);
    }
    return block;
}

std::array<std::uint8_t, kSightRecordV2Size> sceneRecord(const show_info_t& show, int selfNum, int cycle) {
    using R = sight_record_v2_t;
    using S = sight_seen_player_v2_t;
    std::array<std::uint8_t, kSightRecordV2Size> bytes{};
    std::uint8_t* r = bytes.data();
    const ShowState state = toHost(show);

    putLe32(r + offsetof(R, seen_count), kSightV2SeenPlayers);
    putLe16(r + offsetof(R, cycle), static_cast<std::uint16_t>(cycle));
    for (int i = kPlayersPerSide; i < kPlayerCount; ++i) {
        if (state.player[static_cast<std::size_t>(i)].mode & kGoalieModeBit) {
            putLe16(r + offsetof(R, right_goalie), static_cast<std::uint16_t>(i - kPlayersPerSide + 1));
            break;
        }
    }

    for (int i = 0; i < kPlayerCount; ++i) {
        const PlayerState& p = state.player[static_cast<std::size_t>(i)];
        std::uint8_t* seen = r + sightV2SeenOffset(i);
        if (p.mode == 0) continue;  // absent: confidences 0, all else 0
        const bool left = i < kPlayersPerSide;
        putFloat(seen, offsetof(S, x), p.x);
        putFloat(seen, offsetof(S, y), p.y);
        putFloat(seen, offsetof(S, position_confidence), kFullConfidence);
        putFloat(seen, offsetof(S, vx), p.vx);
        putFloat(seen, offsetof(S, vy), p.vy);
        putFloat(seen, offsetof(S, velocity_confidence), kFullConfidence);
        seen[offsetof(S, side)] = static_cast<std::uint8_t>(left ? 'l' : 'r');
        seen[offsetof(S, unum)] = static_cast<std::uint8_t>(left ? i + 1 : i - kPlayersPerSide + 1);
        seen[offsetof(S, type)] = lowByte(p.type);
        putFloat(seen, offsetof(S, body_angle), degrees(p.body_angle));
        putFloat(seen, offsetof(S, body_confidence), kFullConfidence);
        putFloat(seen, offsetof(S, neck_angle), degrees(p.neck_angle));
        putFloat(seen, offsetof(S, neck_confidence), kFullConfidence);

        if (i != selfNum - 1) continue;
        r[offsetof(R, side)] = static_cast<std::uint8_t>(selfNum <= kPlayersPerSide ? 'l' : 'r');
        r[offsetof(R, unum)] = static_cast<std::uint8_t>(selfNum);
        r[offsetof(R, type)] = lowByte(p.type);
        r[offsetof(R, view_width)] = viewWidthByte(p.view_width);
        putFloat(r, offsetof(R, x), p.x);
        putFloat(r, offsetof(R, y), p.y);
        putFloat(r, offsetof(R, position_confidence), kFullConfidence);
        putFloat(r, offsetof(R, vx), p.vx);
        putFloat(r, offsetof(R, vy), p.vy);
        putFloat(r, offsetof(R, velocity_confidence), kFullConfidence);
        putFloat(r, offsetof(R, body_angle), degrees(p.body_angle));
        putFloat(r, offsetof(R, neck_angle), degrees(p.neck_angle));
        putFloat(r, offsetof(R, stamina), p.stamina);
    }

    putFloat(r, offsetof(R, ball_x), state.ball.x);
    putFloat(r, offsetof(R, ball_y), state.ball.y);
    putFloat(r, offsetof(R, ball_confidence), kFullConfidence);
    putFloat(r, offsetof(R, ball_vx), state.ball.vx);
    putFloat(r, offsetof(R, ball_vy), state.ball.vy);
    putFloat(r, offsetof(R, ball_velocity_confidence), kFullConfidence);
    putFloat(r, offsetof(R, spare1316), kSceneMarker1316);
    return bytes;
}

SceneFile buildScene(const cycle_info_t& record, int selfNum, const std::vector<player_type_t>& types) {
    SceneFile file;
    if (record.kind != kShowRecord) {
        file.error = "the record of cycle " + std::to_string(recordCycle(record)) +
                     " is a sight record, not a show record: a scene is made of a show record";
        return file;
    }
    if (selfNum < 1 || selfNum > kPlayerCount) {
        file.error = "the observing player must be 1..22 (12..22 are the right team's players 1..11), not " +
                     std::to_string(selfNum);
        return file;
    }
    int missing = 0;
    const auto block = sceneTypeBlock(types, &missing);
    if (!block) {
        file.error = "the game holds no player type " + std::to_string(missing) + ", which a scene needs (ids 0..17)";
        return file;
    }
    file.bytes.reserve(kSceneFileSize);
    const std::string_view header = "SLH";
    file.bytes.insert(file.bytes.end(), header.begin(), header.end());
    file.bytes.insert(file.bytes.end(), block->begin(), block->end());
    const show_info_t show = record.show();
    for (int cycle = 0; cycle < kSceneRecordCount; ++cycle) {
        const auto bytes = sceneRecord(show, selfNum, cycle);
        file.bytes.insert(file.bytes.end(), bytes.begin(), bytes.end());
    }
    return file;
}

std::string writeScene(const std::string& path, const cycle_info_t& record, int selfNum,
                       const std::vector<player_type_t>& types) {
    if (path.empty()) return "no file name given";
    const SceneFile file = buildScene(record, selfNum, types);
    if (!file.error.empty()) return file.error;
    int error = 0;
    const auto write = [&file](LogFile& out) { return out.write(file.bytes.data(), file.bytes.size()); };
    if (!writeFileAtomically(path, write, &error)) {
        return "cannot write " + path + ": " + (error != 0 ? std::strerror(error) : "write failed");
    }
    return {};
}

}  // namespace tessarin
