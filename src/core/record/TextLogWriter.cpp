#include "record/TextLogWriter.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <numbers>
#include <optional>
#include <string_view>

#include "record/ByteOrder.h"
#include "record/LogFile.h"
#include "record/LogWriters.h"
#include "record/TextLogParams.h"

namespace tessarin {

namespace {

// The message board the server writes messages to.
constexpr int kMessageBoard = 1;
constexpr double kDegreesPerRadian = 180.0 / std::numbers::pi;

std::int32_t hostFixed(const std::uint8_t* at) { return static_cast<std::int32_t>(be32(at)); }

void appendInt(std::string& out, long long value) {
    char text[24];
    const auto [end, ec] = std::to_chars(text, text + sizeof text, value);
    out.append(text, end);
}

// Appends `value` with the fewest decimals, from `firstDecimals` on, that `readsBack`
// accepts; trailing zeros are dropped, as the server's streams drop them.
template <typename ReadsBack>
void appendExact(std::string& out, double value, int firstDecimals, ReadsBack&& readsBack) {
    char text[96];
    for (int decimals = firstDecimals; decimals <= 20; ++decimals) {
        auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
        if (ec != std::errc()) break;
        if (decimals > 0) {
            while (end[-1] == '0') --end;
            if (end[-1] == '.') --end;
        }
        double parsed = 0;
        std::from_chars(text, end, parsed);
        if (!readsBack(parsed)) continue;
        if (end - text == 2 && text[0] == '-' && text[1] == '0') {
            out += '0';
        } else {
            out.append(text, end);
        }
        return;
    }
    appendInt(out, std::lround(value));
}

// A stored fixed-point real (host order), as the reader turns the text back into it.
void appendFixed(std::string& out, std::int32_t fixed, int firstDecimals = 4) {
    appendExact(out, fixed / FIXED_SCALE, firstDecimals,
                [fixed](double v) { return std::lround(v * FIXED_SCALE) == fixed; });
}

// A stored fixed-point angle in radians, written in degrees.
void appendDegrees(std::string& out, std::int32_t fixed) {
    appendExact(out, fixed / FIXED_SCALE * kDegreesPerRadian, 3,
                [fixed](double v) { return std::lround(v * (std::numbers::pi / 180.0) * FIXED_SCALE) == fixed; });
}

void appendFloat(std::string& out, float value) {
    char text[64];
    auto [end, ec] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed);
    double parsed = 0;
    std::from_chars(text, end, parsed);
    // The reader parses a double and narrows it; in the rare case where that lands on
    // a neighbour, nine significant digits always come back to the same float.
    if (ec != std::errc() ||
        std::bit_cast<std::uint32_t>(static_cast<float>(parsed)) != std::bit_cast<std::uint32_t>(value)) {
        end = std::to_chars(text, text + sizeof text, value, std::chars_format::general, 9).ptr;
    }
    out.append(text, end);
}

// A team name as one symbol of the line: characters the grammar reserves become '_'.
std::string teamSymbol(const team_info_t& team) {
    std::string name = teamName(team);
    if (name.empty()) return "null";
    for (char& c : name) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= ' ' || u >= 0x7f || c == '(' || c == ')' || c == '"') c = '_';
    }
    return name;
}

void appendParams(std::string& out, std::string_view kind, std::span<const ParamField> table,
                  const std::uint8_t* block) {
    out += '(';
    out += kind;
    for (const ParamField& field : table) {
        out += " (";
        out += field.name;
        out += ' ';
        const std::uint8_t* at = block + field.offset;
        switch (field.storage) {
            case ParamStorage::Fixed32:
                appendFixed(out, hostFixed(at), 0);
                break;
            case ParamStorage::Int16:
                appendInt(out, static_cast<std::int16_t>(be16(at)));
                break;
            case ParamStorage::Int32:
                appendInt(out, static_cast<std::int32_t>(be32(at)));
                break;
        }
        out += ')';
    }
    out += ")\n";
}

void appendMessage(std::string& out, long long cycle, std::string_view text) {
    out += "(msg ";
    appendInt(out, cycle);
    out += ' ';
    appendInt(out, kMessageBoard);
    out += " \"";
    for (const char c : text) out += c == '\n' ? ' ' : c;
    out += "\")\n";
}

void appendLogos(std::string& out, const TeamLogos& logos, long long cycle) {
    for (std::size_t side = 0; side < 2; ++side) {
        for (const LogoTile& tile : logos.tiles[side]) {
            std::string text = side == 0 ? "(team_graphic_l (" : "(team_graphic_r (";
            appendInt(text, tile.x);
            text += ' ';
            appendInt(text, tile.y);
            for (const std::string& line : tile.xpm) {
                text += " \"";
                text += line;
                text += '"';
            }
            text += "))";
            appendMessage(out, cycle, text);
        }
    }
}

bool playerPresent(const std::uint8_t* p, const PlayerCompanion* extra) {
    if (extra != nullptr && !(*extra == PlayerCompanion{})) return true;
    for (std::size_t i = 0; i < sizeof(player_info_t); ++i) {
        if (p[i] != 0) return true;
    }
    return false;
}

void appendPlayer(std::string& out, const std::uint8_t* p, int index, const PlayerCompanion* extra) {
    const auto at = [p](std::size_t offset) { return hostFixed(p + offset); };
    const auto count = [p](std::size_t offset) { return be16(p + offset); };
    out += index < kPlayersPerSide ? " ((l " : " ((r ";
    appendInt(out, index % kPlayersPerSide + 1);
    out += ") ";
    appendInt(out, static_cast<std::int16_t>(be16(p + offsetof(player_info_t, type))));
    std::uint32_t state = be16(p + offsetof(player_info_t, mode));
    if (extra != nullptr) state |= extra->state & 0xffff0000u;
    char hex[16];
    const auto [hexEnd, ec] = std::to_chars(hex, hex + sizeof hex, state, 16);
    out += state == 0 ? " " : " 0x";
    out.append(hex, hexEnd);
    for (const std::size_t offset : {offsetof(player_info_t, x), offsetof(player_info_t, y),
                                     offsetof(player_info_t, vx), offsetof(player_info_t, vy)}) {
        out += ' ';
        appendFixed(out, at(offset));
    }
    out += ' ';
    appendDegrees(out, at(offsetof(player_info_t, body_angle)));
    out += ' ';
    appendDegrees(out, at(offsetof(player_info_t, neck_angle)));
    if (extra != nullptr && extra->has(PlayerCompanion::kPointing)) {
        out += ' ';
        appendFloat(out, extra->pointX);
        out += ' ';
        appendFloat(out, extra->pointY);
    }
    out += count(offsetof(player_info_t, view_quality)) == 1 ? " (v h " : " (v l ";
    appendDegrees(out, at(offsetof(player_info_t, view_width)));
    out += ')';
    if (extra != nullptr && extra->has(PlayerCompanion::kFocusPoint)) {
        out += " (fp ";
        appendFloat(out, extra->focusDist);
        out += ' ';
        appendFloat(out, extra->focusDir);
        out += ')';
    }
    out += " (s ";
    appendFixed(out, at(offsetof(player_info_t, stamina)));
    out += ' ';
    appendFixed(out, at(offsetof(player_info_t, effort)), 6);
    out += ' ';
    appendFixed(out, at(offsetof(player_info_t, recovery)), 6);
    if (extra != nullptr && extra->has(PlayerCompanion::kCapacity)) {
        out += ' ';
        appendFloat(out, extra->capacity);
    }
    out += ')';
    if (extra != nullptr && extra->attentionSide != 0) {
        out += " (f ";
        out += extra->attentionSide;
        out += ' ';
        appendInt(out, extra->attentionUnum);
        out += ')';
    }
    // kick dash turn catch move turn_neck change_view say, then the companion's.
    out += " (c";
    for (const std::size_t offset : {offsetof(player_info_t, kick_count), offsetof(player_info_t, dash_count),
                                     offsetof(player_info_t, turn_count), offsetof(player_info_t, catch_count),
                                     offsetof(player_info_t, move_count), offsetof(player_info_t, turn_neck_count),
                                     offsetof(player_info_t, change_view_count), offsetof(player_info_t, say_count)}) {
        out += ' ';
        appendInt(out, count(offset));
    }
    for (std::size_t i = 0; extra != nullptr && i < extra->counterCount && i < kCompanionCounterCount; ++i) {
        out += ' ';
        appendInt(out, extra->counters[i]);
    }
    out += "))";
}

void appendShow(std::string& out, const cycle_info_t& record, const CycleCompanion* companion) {
    const std::uint8_t* data = record.data.data();
    out += "(show ";
    appendInt(out, be16(data + offsetof(show_info_t, time)));
    out += " ((b)";
    const std::uint8_t* ball = data + offsetof(show_info_t, ball);
    for (int i = 0; i < 4; ++i) {
        out += ' ';
        appendFixed(out, hostFixed(ball + 4 * i));
    }
    out += ')';
    for (int i = 0; i < kPlayerCount; ++i) {
        const std::uint8_t* p =
            data + offsetof(show_info_t, player) + static_cast<std::size_t>(i) * sizeof(player_info_t);
        const PlayerCompanion* extra = companion ? &companion->players[static_cast<std::size_t>(i)] : nullptr;
        if (playerPresent(p, extra)) appendPlayer(out, p, i, extra);
    }
    out += ')';
}

}  // namespace

std::string showLine(const cycle_info_t& record, const CycleCompanion* companion) {
    std::string line;
    appendShow(line, record, companion);
    return line;
}

bool writeV6Log(LogFile& file, const std::vector<cycle_info_t>& records, const CompanionStore& companions,
                const TextLogGame& game) {
    std::string out = "ULG6\n";
    appendParams(out, "server_param", serverParamFields(), game.serverParams.bytes.data());
    appendParams(out, "player_param", playerParamFields(), game.playerParams.bytes.data());
    for (const player_type_t& type : game.types) {
        std::array<std::uint8_t, sizeof(player_type_t)> bytes;
        std::memcpy(bytes.data(), &type, sizeof type);
        appendParams(out, "player_type", playerTypeFields(), bytes.data());
    }
    bool ok = true;
    const auto flush = [&] {
        ok = file.write(out.data(), out.size()) && ok;
        out.clear();
    };

    CompanionStore::Reader reader(companions);
    bool logosWritten = false;
    std::uint8_t lastMode = 0;
    std::array<std::string, 2> lastNames = {"null", "null"};
    std::array<std::int16_t, 2> lastScores = {0, 0};
    for (const cycle_info_t& record : records) {
        const std::optional<CycleCompanion> companion = reader.next();
        if (record.kind != kShowRecord) continue;
        const show_info_t show = record.show();
        const long long cycle = be16(record.data.data() + offsetof(show_info_t, time));
        if (!logosWritten) {
            appendLogos(out, game.logos, cycle);
            logosWritten = true;
        }
        if (show.playmode != lastMode) {
            const std::string_view name = playModeName(show.playmode);
            out += "(playmode ";
            appendInt(out, cycle);
            out += ' ';
            // A mode without a name reads back as mode 0, as any unknown name does.
            out += name.empty() ? std::string_view("unknown") : name;
            out += ")\n";
            lastMode = show.playmode;
        }
        const std::array<std::string, 2> names = {teamSymbol(show.team[0]), teamSymbol(show.team[1])};
        const std::array<std::int16_t, 2> scores = {netToHost16(show.team[0].score), netToHost16(show.team[1].score)};
        if (names != lastNames || scores != lastScores) {
            out += "(team ";
            appendInt(out, cycle);
            for (const std::string& name : names) out += ' ' + name;
            // A negative score (a damaged binary log) has no text form.
            for (const std::int16_t score : scores) {
                out += ' ';
                appendInt(out, std::max<std::int16_t>(score, 0));
            }
            out += ")\n";
            lastNames = names;
            lastScores = scores;
        }
        for (const std::string_view message : splitMessages(record.messages)) appendMessage(out, cycle, message);
        appendShow(out, record, companion ? &*companion : nullptr);
        out += '\n';
        if (out.size() >= (64 << 10)) flush();
    }
    flush();
    return ok;
}

}  // namespace tessarin
