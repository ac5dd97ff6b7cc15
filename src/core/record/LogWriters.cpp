#include "record/LogWriters.h"

#include <array>
#include <cstring>
#include <string_view>

#include "record/ByteOrder.h"
#include "record/LogFile.h"
#include "record/SightLogV2Parser.h"
#include "record/V3LogParser.h"

namespace tessarin {

namespace {

template <typename T>
bool writeBlock(LogFile& file, std::uint16_t kind, const T& block) {
    std::array<std::uint8_t, sizeof(T)> bytes;
    std::memcpy(bytes.data(), &block, sizeof(T));
    return file.writeBe16(kind) && file.write(bytes.data(), bytes.size());
}

bool writeMessages(LogFile& file, std::string_view messages) {
    bool ok = true;
    for (const std::string_view piece : splitMessages(messages)) {
        ok = file.writeBe16(kV3Message) && file.writeBe16(1) &&
             file.writeBe16(static_cast<std::uint16_t>(piece.size())) && file.write(piece.data(), piece.size()) && ok;
    }
    return ok;
}

}  // namespace

std::vector<std::string_view> splitMessages(std::string_view messages) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    std::size_t from = 0;
    for (;;) {
        const std::size_t sep = messages.find(kMessageSeparator, from);
        if (sep == std::string_view::npos) break;
        const std::size_t next = sep + kMessageSeparator.size();
        if (next != messages.size() && !messages.substr(next).starts_with(kReceivedPrefix)) {
            from = sep + 1;
            continue;
        }
        pieces.push_back(messages.substr(start, std::min(sep - start, kMaxMessageLength)));
        start = from = next;
    }
    return pieces;
}

bool writeV3Log(LogFile& file, const std::vector<cycle_info_t>& records, const server_param_t& serverParams,
                const player_param_t& playerParams, const std::vector<player_type_t>& types) {
    bool ok = file.write("ULG\x03", 4);
    ok = writeBlock(file, kV3ServerParams, serverParams) && ok;
    ok = writeBlock(file, kV3PlayerParams, playerParams) && ok;
    for (const auto& type : types) ok = writeBlock(file, kV3PlayerType, type) && ok;

    std::uint8_t lastMode = 0;
    std::array<std::string, 2> lastNames;
    std::array<std::int16_t, 2> lastScores = {0, 0};
    for (const auto& record : records) {
        if (record.kind != kShowRecord) continue;
        const show_info_t show = record.show();
        if (show.playmode != lastMode) {
            ok = file.writeBe16(kV3PlayMode) && file.write(&show.playmode, 1) && ok;
            lastMode = show.playmode;
        }
        const std::array<std::string, 2> names = {teamName(show.team[0]), teamName(show.team[1])};
        if (names != lastNames || show.team[0].score != lastScores[0] || show.team[1].score != lastScores[1]) {
            ok = file.writeBe16(kV3Teams) &&
                 file.write(record.data.data() + offsetof(show_info_t, team), 2 * sizeof(team_info_t)) && ok;
            lastNames = names;
            lastScores = {show.team[0].score, show.team[1].score};
        }
        ok = writeMessages(file, record.messages) && ok;
        const std::uint8_t zero[2] = {0, 0};
        ok = file.writeBe16(kV3Show) && file.write(record.data.data() + kShowBodyOffset, kShowBodySize - 2) &&
             file.write(zero, 2) && ok;
    }
    return ok;
}

bool writeSightLog(LogFile& file, const std::vector<cycle_info_t>& records) {
    bool ok = file.write("SLG", 3);
    for (const auto& record : records) {
        if (record.kind == kSightRecord) ok = file.write(record.data.data(), kSightRecordSize) && ok;
    }
    return ok;
}

bool writeSightLogV2(LogFile& file, const std::vector<cycle_info_t>& records, const std::vector<player_type_t>& types) {
    bool ok = file.write("SLH", 3);
    std::array<std::uint8_t, kSightTypeBlockSize> block{};
    for (int p = 0; p < kSightTypeCount; ++p) {
        const PlayerTypeState t = [&] {
            auto found = findPlayerType(types, p);
            return found ? toHost(*found) : PlayerTypeState{};
        }();
        const double values[] = {t.player_speed_max, t.stamina_inc_max, t.player_decay,    t.inertia_moment,
                                 t.dash_power_rate,  t.player_size,     t.kickable_margin, t.kick_rand,
                                 t.extra_stamina,    t.effort_max,      t.effort_min};
        std::uint8_t* entry = block.data() + static_cast<std::size_t>(p) * kSightTypeEntrySize;
        for (std::size_t i = 0; i < std::size(values); ++i) putLef32(entry + 4 * i, static_cast<float>(values[i]));
    }
    ok = file.write(block.data(), block.size()) && ok;
    for (const auto& record : records) {
        if (record.kind == kSightRecordV2) ok = file.write(record.data.data(), kSightRecordV2Size) && ok;
    }
    return ok;
}

}  // namespace tessarin
