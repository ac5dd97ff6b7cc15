#include "record/TextLineReader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <vector>

#include "record/ByteOrder.h"
#include "record/DecimalText.h"
#include "record/Dispinfo2Parser.h"
#include "record/LogPlayer.h"
#include "record/TextLogParams.h"

namespace tessarin {

namespace {

// Largest magnitude a fixed-point int32 can hold (2^31 / 65536, less a margin).
constexpr double kMaxFixed = 32767.0;

// The character classes of the s-expressions: blanks, and what ends a symbol or number.
enum CharClass : std::uint8_t { kSpaceClass = 1, kDelimiterClass = 2 };

constexpr std::array<std::uint8_t, 256> kCharClasses = [] {
    std::array<std::uint8_t, 256> classes{};
    for (const char c : {' ', '\t', '\r', '\n', '\v', '\f'}) {
        classes[static_cast<unsigned char>(c)] = kSpaceClass | kDelimiterClass;
    }
    for (const char c : {'(', ')', '"'}) classes[static_cast<unsigned char>(c)] = kDelimiterClass;
    return classes;
}();

bool isSpace(char c) { return (kCharClasses[static_cast<unsigned char>(c)] & kSpaceClass) != 0; }
bool isDelimiter(char c) { return (kCharClasses[static_cast<unsigned char>(c)] & kDelimiterClass) != 0; }

// A cursor over one line: the small tokenizer of the s-expressions. Every read checks
// what is left; nothing allocates. It reads a view of its own and hands what is left back
// to the caller's view when it goes, so one cursor at a time reads a line.
class Cursor {
public:
    explicit Cursor(std::string_view& text) : origin_(text), p_(text.data()), end_(text.data() + text.size()) {}
    ~Cursor() { origin_ = std::string_view(p_, static_cast<std::size_t>(end_ - p_)); }
    Cursor(const Cursor&) = delete;
    Cursor& operator=(const Cursor&) = delete;

    void skipSpace() {
        while (p_ != end_ && isSpace(*p_)) ++p_;
    }
    char peek() {
        skipSpace();
        return p_ == end_ ? '\0' : *p_;
    }
    bool accept(char c) {
        if (peek() != c) return false;
        ++p_;
        return true;
    }
    std::string_view symbol() {
        skipSpace();
        const char* const first = p_;
        while (p_ != end_ && !isDelimiter(*p_)) ++p_;
        return {first, static_cast<std::size_t>(p_ - first)};
    }
    // A finite real number ending at a delimiter.
    bool real(double& out) {
        skipSpace();
        const char* first = p_;
        if (first != end_ && *first == '+') ++first;
        const auto [ptr, ec] = readDecimal(first, end_, out);
        return ec == std::errc() && endsToken(ptr) && std::isfinite(out);
    }
    // An integer in [lo, hi] ending at a delimiter; base 16 takes an optional "0x".
    bool integer(long long& out, long long lo, long long hi, int base = 10) {
        skipSpace();
        const char* first = p_;
        if (base == 16 && end_ - first > 2 && first[0] == '0' && (first[1] == 'x' || first[1] == 'X')) first += 2;
        const auto [ptr, ec] = base == 10 ? readDecimal(first, end_, out) : std::from_chars(first, end_, out, base);
        return ec == std::errc() && endsToken(ptr) && out >= lo && out <= hi;
    }
    // Skips the rest of a list whose '(' was read, nested lists and quoted text included.
    bool skipList() {
        int depth = 1;
        bool quoted = false;
        for (; p_ != end_ && depth > 0; ++p_) {
            const char c = *p_;
            if (quoted) {
                if (c == '\\') {
                    if (++p_ == end_) break;
                } else if (c == '"') {
                    quoted = false;
                }
            } else if (c == '"') {
                quoted = true;
            } else if (c == '(') {
                ++depth;
            } else if (c == ')') {
                --depth;
            }
        }
        return depth == 0;
    }
    bool atEnd() {
        skipSpace();
        return p_ == end_;
    }
    // A quoted text as the server's streams quote it (a backslash escapes the next
    // character), without its quotes.
    bool quoted(std::string& out) {
        if (peek() != '"') return false;
        out.clear();
        for (const char* q = p_ + 1; q != end_; ++q) {
            char ch = *q;
            if (ch == '"') {
                p_ = q + 1;
                return true;
            }
            if (ch == '\\') {
                if (++q == end_) break;
                ch = *q;
            }
            out += ch;
        }
        return false;
    }

private:
    // Whether a number read up to `end` ends its token; if so, consumes it.
    bool endsToken(const char* end) {
        if (end == p_ || (end != end_ && !isDelimiter(*end))) return false;
        p_ = end;
        return true;
    }

    std::string_view& origin_;
    const char* p_;
    const char* end_;
};

std::int32_t toFixed(double value) { return static_cast<std::int32_t>(std::lround(value * FIXED_SCALE)); }

bool fixedInRange(double value) { return value >= -kMaxFixed && value <= kMaxFixed; }

// Stores a network-order value into a record's bytes.
void storeFixed(std::uint8_t* at, double value) { putBe32(at, static_cast<std::uint32_t>(toFixed(value))); }
void store16(std::uint8_t* at, long long value) { putBe16(at, static_cast<std::uint16_t>(value & 0xffff)); }

double radians(double degrees) { return degrees * (std::numbers::pi / 180.0); }

// A real as the companion keeps it, when single precision holds it.
bool toFloat(double value, float& out) {
    if (!(std::fabs(value) <= std::numeric_limits<float>::max())) return false;
    out = static_cast<float>(value);
    return true;
}

constexpr std::string_view kTeamGraphicPrefix = "team_graphic_";

// Reads one "(name value)" entry's value into a block at its field; unknown names and
// values the field cannot hold are skipped. The list's '(' and name were read.
bool readParamValue(Cursor& c, const ParamField* field, std::uint8_t* block) {
    // A quoted text (a file name, a format) has no place in the binary block.
    if (c.peek() == '"') return c.skipList();
    const std::string_view value = c.symbol();
    if (!c.accept(')')) return false;
    if (field == nullptr || value.empty()) return true;
    double real = 0;
    if (value == "true" || value == "on") {
        real = 1;
    } else if (value == "false" || value == "off") {
        real = 0;
    } else {
        const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), real);
        if (ec != std::errc() || ptr != value.data() + value.size() || !std::isfinite(real)) return true;
    }
    storeParamValue(*field, real, block);
    return true;
}

// Reads "NAME NAME SCORE SCORE [penalty counts])" of a team line or of a show's "(tm"
// into the record's teams; the closing parenthesis is read too.
bool readTeams(Cursor& c, cycle_info_t& work, std::string& error) {
    long long scores[2] = {0, 0};
    const std::string_view names[2] = {c.symbol(), c.symbol()};
    if (names[0].empty() || names[1].empty() || !c.integer(scores[0], 0, 32767) || !c.integer(scores[1], 0, 32767)) {
        error = "a team line needs a cycle, two names and two scores";
        return false;
    }
    // Penalty shoot-out counts follow in later versions; the binary record has no room for them.
    while (c.peek() != ')') {
        long long extra = 0;
        if (!c.integer(extra, 0, std::numeric_limits<std::int32_t>::max())) {
            error = "a team line's penalty counts must be counts";
            return false;
        }
    }
    c.accept(')');
    for (std::size_t side = 0; side < 2; ++side) {
        team_info_t team{};
        team.name.fill('\0');
        // The server writes "null" for a side without a team.
        const std::string_view name = names[side] == "null" ? std::string_view() : names[side];
        std::copy_n(name.begin(), std::min<std::size_t>(name.size(), kTeamNameLength), team.name.begin());
        team.score = hostToNet16(static_cast<std::int16_t>(scores[side]));
        std::memcpy(work.data.data() + offsetof(show_info_t, team) + side * sizeof(team_info_t), &team, sizeof team);
    }
    return true;
}

}  // namespace

int playModeOfName(std::string_view name) {
    for (int mode = 1; mode < kNamedPlayModeCount; ++mode) {
        if (playModeName(mode) == name) return mode;
    }
    return 0;
}

TextLineReader::TextLineReader(LogPlayer& player, bool startsOpponentModel)
    : player_(player), startsOpponentModel_(startsOpponentModel) {
    reset();
}

void TextLineReader::reset() {
    work_ = cycle_info_t{};
    work_.valid = 1;
    work_.kind = kShowRecord;
    companion_ = {};
    opponentModelStarted_ = false;
    error_.clear();
}

TextLineReader::Result TextLineReader::read(std::string_view line, RecordBatch& batch) {
    std::string_view kind;
    {
        Cursor c(line);
        if (c.atEnd()) return Result::Skipped;
        if (!c.accept('(')) {
            error_ = "a line must start with '('";
            return Result::Broken;
        }
        kind = c.symbol();
    }
    bool ok = false;
    if (kind == "show") {
        if (!parseShow(line, batch)) return Result::Broken;
        return Result::Show;
    } else if (kind == "playmode") {
        ok = parsePlayMode(line);
    } else if (kind == "team") {
        ok = parseTeam(line);
    } else if (kind == "msg") {
        ok = parseMessage(line);
    } else if (kind.starts_with(kTeamGraphicPrefix)) {
        // A logo tile that cannot be read is dropped, never the game.
        parseTeamGraphic(kind, line);
        return Result::Ok;
    } else if (kind == "server_param" || kind == "player_param" || kind == "player_type") {
        // The shows read so far are analysed with the types they were read with.
        if (kind == "player_type") batch.flush();
        ok = parseParams(line, kind);
    } else {
        Cursor c(line);
        if (!c.skipList() || !c.atEnd()) {
            error_ = "unbalanced parentheses";
            return Result::Broken;
        }
        return Result::Skipped;
    }
    if (!ok) return Result::Broken;
    if (!Cursor(line).atEnd()) {
        error_ = "text after the closing parenthesis";
        return Result::Broken;
    }
    return Result::Ok;
}

bool TextLineReader::parseShow(std::string_view& rest, RecordBatch& batch) {
    Cursor c(rest);
    long long cycle = 0;
    // The record keeps the cycle in 16 bits, as a version-3 log does; a longer game
    // wraps there, and the analysis counts on across the wrap.
    if (!c.integer(cycle, 0, std::numeric_limits<std::int32_t>::max())) {
        error_ = "a show needs a cycle from 0 to 2147483647";
        return false;
    }
    // The show body (ball and players) is replaced whole; play mode and teams carry over.
    std::fill(work_.data.begin() + kShowBodyOffset, work_.data.end(), std::uint8_t{0});
    companion_.players = {};
    std::uint8_t* data = work_.data.data();
    store16(data + offsetof(show_info_t, time), cycle);
    const auto fail = [&](const char* why) {
        error_ = why;
        return false;
    };
    while (!c.accept(')')) {
        if (!c.accept('(')) return fail("expected an object of the show");
        if (!c.accept('(')) {
            // A monitor's show carries its play mode and score: "(pm N)", "(tm ...)".
            const std::string_view part = c.symbol();
            long long mode = 0;
            if (part == "pm") {
                if (!c.integer(mode, 0, 255) || !c.accept(')')) return fail("a show's play mode must be 0 to 255");
                data[offsetof(show_info_t, playmode)] = static_cast<std::uint8_t>(mode);
            } else if (part != "tm" || !readTeams(c, work_, error_)) {
                return part == "tm" ? false : fail("expected an object of the show");
            }
            continue;
        }
        const std::string_view who = c.symbol();
        if (who == "b") {
            if (!c.accept(')')) return fail("expected ')' after the ball's name");
            double v[4];
            for (double& x : v) {
                if (!c.real(x) || !fixedInRange(x)) return fail("the ball needs four numbers");
            }
            std::uint8_t* ball = data + offsetof(show_info_t, ball);
            for (int i = 0; i < 4; ++i) storeFixed(ball + 4 * i, v[i]);
            if (!c.accept(')')) return fail("expected ')' after the ball");
            continue;
        }
        if (who != "l" && who != "r") return fail("a player's side must be l or r");
        long long unum = 0;
        if (!c.integer(unum, 1, kPlayersPerSide) || !c.accept(')')) {
            return fail("a player's uniform number must be 1 to 11");
        }
        const std::size_t index = static_cast<std::size_t>(unum - 1) + (who == "r" ? kPlayersPerSide : 0);
        std::uint8_t* p = data + offsetof(show_info_t, player) + index * sizeof(player_info_t);
        long long type = 0;
        long long state = 0;
        if (!c.integer(type, -32768, 32767)) return fail("a player needs a type");
        if (!c.integer(state, 0, std::numeric_limits<std::uint32_t>::max(), 16)) {
            return fail("a player needs a hexadecimal state");
        }
        // x y vx vy body neck, then the pointing target (x y) in later versions.
        double v[8];
        int count = 0;
        for (char next = c.peek(); next != '(' && next != ')' && next != '\0'; next = c.peek()) {
            if (count == 8 || !c.real(v[count]) || !fixedInRange(v[count])) {
                return fail("a player needs six or eight numbers after its state");
            }
            ++count;
        }
        if (count != 6 && count != 8) return fail("a player needs six or eight numbers after its state");
        store16(p + offsetof(player_info_t, mode), state);
        store16(p + offsetof(player_info_t, type), type);
        PlayerCompanion& extra = companion_.players[index];
        extra.state = static_cast<std::uint32_t>(state);
        if (count == 8) {
            extra.parts |= PlayerCompanion::kPointing;
            extra.pointX = static_cast<float>(v[6]);
            extra.pointY = static_cast<float>(v[7]);
        }
        for (int i = 0; i < 4; ++i) storeFixed(p + offsetof(player_info_t, x) + 4 * i, v[i]);
        storeFixed(p + offsetof(player_info_t, body_angle), radians(v[4]));
        storeFixed(p + offsetof(player_info_t, neck_angle), radians(v[5]));
        while (c.accept('(')) {
            const std::string_view key = c.symbol();
            if (key == "v") {
                const std::string_view quality = c.symbol();
                double width = 0;
                if ((quality != "h" && quality != "l") || !c.real(width) || !fixedInRange(width) || !c.accept(')')) {
                    return fail("a view needs h or l and a width");
                }
                store16(p + offsetof(player_info_t, view_quality), quality == "h" ? 1 : 0);
                storeFixed(p + offsetof(player_info_t, view_width), radians(width));
            } else if (key == "s") {
                double s[3];
                for (double& x : s) {
                    if (!c.real(x) || !fixedInRange(x)) return fail("stamina needs stamina, effort and recovery");
                }
                storeFixed(p + offsetof(player_info_t, stamina), s[0]);
                storeFixed(p + offsetof(player_info_t, effort), s[1]);
                storeFixed(p + offsetof(player_info_t, recovery), s[2]);
                double capacity = 0;
                if (c.peek() != ')' && c.real(capacity) && toFloat(capacity, extra.capacity)) {
                    extra.parts |= PlayerCompanion::kCapacity;
                }
                if (!c.skipList()) return fail("unbalanced parentheses");
            } else if (key == "c") {
                // kick dash turn catch move turn_neck change_view say, then counters of
                // commands that the binary record does not keep.
                static constexpr std::size_t kCounterOffsets[] = {
                    offsetof(player_info_t, kick_count),        offsetof(player_info_t, dash_count),
                    offsetof(player_info_t, turn_count),        offsetof(player_info_t, catch_count),
                    offsetof(player_info_t, move_count),        offsetof(player_info_t, turn_neck_count),
                    offsetof(player_info_t, change_view_count), offsetof(player_info_t, say_count),
                };
                std::size_t n = 0;
                while (c.peek() != ')') {
                    long long counter = 0;
                    if (!c.integer(counter, 0, std::numeric_limits<std::uint32_t>::max())) {
                        return fail("a counter must be a count");
                    }
                    if (n < std::size(kCounterOffsets)) {
                        store16(p + kCounterOffsets[n], counter);
                    } else if (n < std::size(kCounterOffsets) + kCompanionCounterCount) {
                        extra.counters[n - std::size(kCounterOffsets)] = static_cast<std::uint32_t>(counter);
                        extra.counterCount = static_cast<std::uint8_t>(n + 1 - std::size(kCounterOffsets));
                    }
                    ++n;
                }
                c.accept(')');
            } else if (key == "fp") {
                double dist = 0;
                double dir = 0;
                if (c.real(dist) && c.real(dir) && toFloat(dist, extra.focusDist) && toFloat(dir, extra.focusDir) &&
                    c.accept(')')) {
                    extra.parts |= PlayerCompanion::kFocusPoint;
                } else {
                    extra.focusDist = extra.focusDir = 0;
                    if (!c.skipList()) return fail("unbalanced parentheses");
                }
            } else if (key == "f") {
                const std::string_view side = c.symbol();
                long long target = 0;
                if ((side == "l" || side == "r") && c.integer(target, 1, kPlayersPerSide) && c.accept(')')) {
                    extra.attentionSide = side.front();
                    extra.attentionUnum = static_cast<std::uint8_t>(target);
                } else if (!c.skipList()) {
                    return fail("unbalanced parentheses");
                }
            } else if (!key.empty() || c.peek() != ')') {
                // Parts that neither the show record nor its companion hold.
                if (!c.skipList()) return fail("unbalanced parentheses");
            } else {
                return fail("an empty list in a player");
            }
        }
        if (!c.accept(')')) return fail("expected ')' after a player");
    }
    if (!c.atEnd()) return fail("text after the closing parenthesis");
    work_.cycle = static_cast<std::int16_t>(cycle);
    if (startsOpponentModel_ && !opponentModelStarted_ && work_.data[offsetof(show_info_t, playmode)] == PM_PlayOn) {
        batch.flush();
        player_.startOpponentModel(work_.show());
        opponentModelStarted_ = true;
    }
    work_.companion = std::make_shared<const CycleCompanion>(companion_);
    batch.add(work_);
    work_.companion.reset();
    work_.messages.clear();
    return true;
}

bool TextLineReader::parsePlayMode(std::string_view& rest) {
    Cursor c(rest);
    long long cycle = 0;
    const bool ok = c.integer(cycle, 0, std::numeric_limits<std::int32_t>::max());
    const std::string_view name = c.symbol();
    if (!ok || name.empty() || !c.accept(')')) {
        error_ = "a play mode needs a cycle and a name";
        return false;
    }
    work_.data[offsetof(show_info_t, playmode)] = static_cast<std::uint8_t>(playModeOfName(name));
    return true;
}

bool TextLineReader::parseTeam(std::string_view& rest) {
    Cursor c(rest);
    long long cycle = 0;
    if (!c.integer(cycle, 0, std::numeric_limits<std::int32_t>::max())) {
        error_ = "a team line needs a cycle, two names and two scores";
        return false;
    }
    return readTeams(c, work_, error_);
}

bool TextLineReader::parseMessage(std::string_view& rest) {
    // (msg CYCLE BOARD "text"): the text runs from the first quote to the last one.
    {
        Cursor c(rest);
        long long cycle = 0;
        long long board = 0;
        if (!c.integer(cycle, 0, std::numeric_limits<std::int32_t>::max()) ||
            !c.integer(board, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()) ||
            c.peek() != '"') {
            error_ = "a message needs a cycle, a board and a quoted text";
            return false;
        }
    }
    const std::size_t open = rest.find('"');
    const std::size_t close = rest.rfind('"');
    if (close == open || rest.substr(close + 1).find(')') == std::string_view::npos) {
        error_ = "a message's text must be quoted";
        return false;
    }
    std::string_view text = rest.substr(open + 1, close - open - 1);
    std::string_view after = rest.substr(close + 1);
    if (!Cursor(after).accept(')')) {
        error_ = "expected ')' after a message";
        return false;
    }
    rest = after;
    // The server passes a team's logo on as a message to the message board.
    if (text.starts_with("(") && text.substr(1).starts_with(kTeamGraphicPrefix)) {
        std::string_view body = text.substr(1);
        const std::string_view kind = Cursor(body).symbol();
        parseTeamGraphic(kind, body);
        return true;
    }
    text = text.substr(0, std::min(text.find('\0'), kMaxMessageLength));
    // A peer that sends messages but no shows cannot make the pending text grow without bound.
    if (text.starts_with(kReceivedPrefix) &&
        work_.messages.size() + text.size() + kMessageSeparator.size() <= kMaxPendingMessages) {
        work_.messages += text;
        work_.messages += kMessageSeparator;
    }
    return true;
}

void TextLineReader::parseTeamGraphic(std::string_view kind, std::string_view rest) {
    // (team_graphic_SIDE (X Y "xpm line" ...)): the tile at column X, row Y.
    const std::string_view side = kind.substr(std::min(kind.size(), kTeamGraphicPrefix.size()));
    Cursor c(rest);
    long long x = 0;
    long long y = 0;
    LogoTile tile;
    bool ok = (side == "l" || side == "r") && c.accept('(') && c.integer(x, 0, 255) && c.integer(y, 0, 255);
    std::string line;
    while (ok && c.peek() == '"') {
        // More lines than any valid tile has: the tile is broken.
        ok = tile.xpm.size() < 4096 && c.quoted(line);
        if (ok) tile.xpm.push_back(line);
    }
    ok = ok && c.accept(')') && c.accept(')') && c.atEnd();
    tile.x = static_cast<int>(x);
    tile.y = static_cast<int>(y);
    if (!ok) tile.xpm.clear();  // reported as an invalid tile
    player_.addLogoTile(side == "l" ? 0 : side == "r" ? 1 : -1, std::move(tile));
}

bool TextLineReader::parseParams(std::string_view& rest, std::string_view kind) {
    Cursor c(rest);
    std::span<const ParamField> table;
    std::uint8_t* block = nullptr;
    server_param_t server{};
    player_param_t playerParams{};
    std::array<std::uint8_t, sizeof(player_type_t)> typeBytes{};
    if (kind == "server_param") {
        table = serverParamFields();
        block = server.bytes.data();
    } else if (kind == "player_param") {
        table = playerParamFields();
        block = playerParams.bytes.data();
    } else {
        table = playerTypeFields();
        block = typeBytes.data();
    }
    // Which of player_size, ball_size, kickable_margin, control_radius were given (derived values).
    bool seen[4] = {false, false, false, false};
    bool hasId = false;
    while (!c.accept(')')) {
        if (!c.accept('(')) {
            error_ = "expected a (name value) entry";
            return false;
        }
        const std::string_view name = c.symbol();
        if (name.empty()) {
            error_ = "an entry needs a name";
            return false;
        }
        const ParamField* field = findParamField(table, name);
        if (!readParamValue(c, field, block)) {
            error_ = "an entry needs one value";
            return false;
        }
        if (name == "id") hasId = true;
        if (kind == "server_param") {
            if (name == "player_size") seen[0] = true;
            if (name == "control_radius") seen[1] = true;
            if (name == "kickable_margin") seen[2] = true;
            if (name == "ball_size") seen[3] = true;
        }
    }
    if (kind == "server_param") {
        deriveServerParams(server, seen[0] && seen[1], seen[0] && seen[2] && seen[3]);
        player_.setServerParameters(server);
    } else if (kind == "player_param") {
        player_.setPlayerParameters(playerParams);
    } else {
        if (!hasId) {
            error_ = "a player type needs an id";
            return false;
        }
        player_type_t type;
        std::memcpy(&type, typeBytes.data(), sizeof type);
        player_.addPlayerType(type);
    }
    return true;
}

}  // namespace tessarin
