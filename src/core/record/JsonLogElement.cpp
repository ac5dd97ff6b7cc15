#include "record/JsonLogElement.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <span>

#include "record/ByteOrder.h"
#include "record/TextLogParams.h"
#include "record/TextLogParser.h"

namespace tessarin {

enum class JsonElementReader::Field : std::uint8_t {
    Other,  // a name no place knows: its value is skipped
    Attentionto,
    Ball,
    Board,
    Body,
    Capacity,
    Catch,
    ChangeFocus,
    ChangeView,
    Dash,
    Effort,
    Fdir,
    Fdist,
    Fnum,
    Fside,
    Kick,
    L,
    Message,
    Mode,
    Move,
    Name,
    Neck,
    PenMiss,
    PenScore,
    Players,
    Pointto,
    Px,
    Py,
    R,
    Recovery,
    Say,
    Score,
    Side,
    Stamina,
    State,
    Stime,
    Tackle,
    Time,
    Turn,
    TurnNeck,
    Type,
    Unum,
    Vq,
    Vw,
    Vx,
    Vy,
    X,
    Xpm,
    Y,
};

struct JsonElementReader::Value {
    enum class Type { Null, Bool, Number, Integer, String } type;
    double number = 0;  // also of a boolean (0 or 1)
    std::string_view text;
};

namespace {

using Field = JsonElementReader::Field;
using Kind = JsonLogElement::Kind;

// Largest magnitude a fixed-point int32 can hold (2^31 / 65536, less a margin).
constexpr double kMaxFixed = 32767.0;
constexpr double kMaxInt32 = std::numeric_limits<std::int32_t>::max();
constexpr double kMaxUint32 = std::numeric_limits<std::uint32_t>::max();
// More XPM lines than any valid tile has: the tile is broken.
constexpr std::size_t kMaxTileLines = 4096;

struct NamedField {
    std::string_view name;
    Field field;
};

// Every member name of every place, sorted by name.
constexpr NamedField kFields[] = {
    {"attentionto", Field::Attentionto},
    {"ball", Field::Ball},
    {"board", Field::Board},
    {"body", Field::Body},
    {"capacity", Field::Capacity},
    {"catch", Field::Catch},
    {"change_focus", Field::ChangeFocus},
    {"change_view", Field::ChangeView},
    {"dash", Field::Dash},
    {"effort", Field::Effort},
    {"fdir", Field::Fdir},
    {"fdist", Field::Fdist},
    {"fnum", Field::Fnum},
    {"fside", Field::Fside},
    {"kick", Field::Kick},
    {"l", Field::L},
    {"message", Field::Message},
    {"mode", Field::Mode},
    {"move", Field::Move},
    {"name", Field::Name},
    {"neck", Field::Neck},
    {"pen_miss", Field::PenMiss},
    {"pen_score", Field::PenScore},
    {"players", Field::Players},
    {"pointto", Field::Pointto},
    {"px", Field::Px},
    {"py", Field::Py},
    {"r", Field::R},
    {"recovery", Field::Recovery},
    {"say", Field::Say},
    {"score", Field::Score},
    {"side", Field::Side},
    {"stamina", Field::Stamina},
    {"state", Field::State},
    {"stime", Field::Stime},
    {"tackle", Field::Tackle},
    {"time", Field::Time},
    {"turn", Field::Turn},
    {"turn_neck", Field::TurnNeck},
    {"type", Field::Type},
    {"unum", Field::Unum},
    {"vq", Field::Vq},
    {"vw", Field::Vw},
    {"vx", Field::Vx},
    {"vy", Field::Vy},
    {"x", Field::X},
    {"xpm", Field::Xpm},
    {"y", Field::Y},
};

constexpr bool sortedByName() {
    for (std::size_t i = 1; i < std::size(kFields); ++i) {
        if (!(kFields[i - 1].name < kFields[i].name)) return false;
    }
    return true;
}
static_assert(sortedByName());
static_assert(static_cast<std::size_t>(Field::Y) < 64, "a player draft keeps a bit per field");

// Where the names of each first letter start in kFields (they follow one another there),
// so that a name is looked up among the few that share its first letter.
struct Buckets {
    std::array<std::uint8_t, 27> start{};  // 'a'..'z', then the end
};

constexpr Buckets bucketsOfFields() {
    Buckets b;
    std::size_t i = 0;
    for (std::size_t letter = 0; letter < 26; ++letter) {
        while (i < std::size(kFields) && static_cast<std::size_t>(kFields[i].name[0] - 'a') < letter) ++i;
        b.start[letter] = static_cast<std::uint8_t>(i);
    }
    b.start[26] = static_cast<std::uint8_t>(std::size(kFields));
    return b;
}
constexpr Buckets kBuckets = bucketsOfFields();

Field fieldOfName(std::string_view name) {
    if (name.empty() || name[0] < 'a' || name[0] > 'z') return Field::Other;
    const auto letter = static_cast<std::size_t>(name[0] - 'a');
    for (std::size_t i = kBuckets.start[letter]; i < kBuckets.start[letter + 1]; ++i) {
        if (kFields[i].name == name) return kFields[i].field;
    }
    return Field::Other;
}

struct NamedKind {
    std::string_view name;
    Kind kind;
};

constexpr NamedKind kKinds[] = {
    {"msg", Kind::Message},       {"player_param", Kind::PlayerParam}, {"player_type", Kind::PlayerType},
    {"playmode", Kind::PlayMode}, {"server_param", Kind::ServerParam}, {"show", Kind::Show},
    {"team", Kind::Team},         {"team_graphic", Kind::TeamGraphic}, {"timestamp", Kind::Timestamp},
    {"version", Kind::Version},
};

Kind kindOfName(std::string_view name) {
    for (const NamedKind& k : kKinds) {
        if (k.name == name) return k.kind;
    }
    return Kind::Unknown;
}

// The commands counted in a show record, in its order, then the companion's counters.
constexpr Field kRecordCounters[] = {Field::Kick, Field::Dash,     Field::Turn,       Field::Catch,
                                     Field::Move, Field::TurnNeck, Field::ChangeView, Field::Say};
constexpr std::size_t kRecordCounterOffsets[] = {
    offsetof(player_info_t, kick_count),        offsetof(player_info_t, dash_count),
    offsetof(player_info_t, turn_count),        offsetof(player_info_t, catch_count),
    offsetof(player_info_t, move_count),        offsetof(player_info_t, turn_neck_count),
    offsetof(player_info_t, change_view_count), offsetof(player_info_t, say_count),
};
constexpr Field kCompanionCounters[kCompanionCounterCount] = {Field::Tackle, Field::Pointto, Field::Attentionto,
                                                              Field::ChangeFocus};

bool isObjectKind(Kind kind) { return kind != Kind::Version && kind != Kind::Timestamp && kind != Kind::Unknown; }

void storeFixed(std::uint8_t* at, double value) {
    putBe32(at, static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(value * FIXED_SCALE))));
}
// The low 16 bits of an integral value (of at most 32 bits), as the show record keeps counters.
void store16(std::uint8_t* at, double value) {
    putBe16(at, static_cast<std::uint16_t>(static_cast<long long>(value) & 0xffff));
}

double radians(double degrees) { return degrees * (std::numbers::pi / 180.0); }

}  // namespace

bool JsonElementReader::PlayerDraft::has(Field f) const {
    return (present & (std::uint64_t{1} << static_cast<unsigned>(f))) != 0;
}

bool JsonElementReader::read(std::string_view text, JsonLogElement& out) {
    out.kind = Kind::None;
    out_ = &out;
    depth_ = 0;
    skipDepth_ = 0;
    error_.clear();
    const bool ok = json::sax_parse(text.begin(), text.end(), this, json::input_format_t::json, true);
    out_ = nullptr;
    if (ok && out.kind == Kind::None) return fail("an element must name its kind");
    return ok;
}

bool JsonElementReader::fail(std::string why) {
    if (error_.empty()) error_ = std::move(why);
    return false;
}

bool JsonElementReader::push(Place place) {
    if (depth_ == frames_.size()) return fail("nested too deeply");
    frames_[depth_++] = Frame{place, Field::Other};
    return true;
}

bool JsonElementReader::parse_error(std::size_t, const std::string&, const nlohmann::detail::exception& e) {
    // nlohmann-json's texts start with the exception's id in brackets.
    std::string_view what = e.what();
    if (const auto close = what.find("] "); what.starts_with("[json.exception") && close != std::string_view::npos) {
        what.remove_prefix(close + 2);
    }
    return fail(std::string(what));
}

bool JsonElementReader::binary(json::binary_t&) { return fail("binary data in a JSON log"); }

bool JsonElementReader::null() { return value(Value{Value::Type::Null, 0, {}}); }
bool JsonElementReader::boolean(bool v) { return value(Value{Value::Type::Bool, v ? 1.0 : 0.0, {}}); }
bool JsonElementReader::number_integer(json::number_integer_t v) {
    return value(Value{Value::Type::Integer, static_cast<double>(v), {}});
}
bool JsonElementReader::number_unsigned(json::number_unsigned_t v) {
    return value(Value{Value::Type::Integer, static_cast<double>(v), {}});
}
bool JsonElementReader::number_float(json::number_float_t v, const json::string_t&) {
    return value(Value{Value::Type::Number, v, {}});
}
bool JsonElementReader::string(json::string_t& v) { return value(Value{Value::Type::String, 0, v}); }

bool JsonElementReader::key(json::string_t& name) {
    if (skipDepth_ > 0) return true;
    Frame& frame = frames_[depth_ - 1];
    if (frame.place == Place::Element) {
        if (out_->kind != Kind::None) return fail("an element must hold one record");
        out_->kind = kindOfName(name);
        return true;
    }
    const bool params =
        frame.place == Place::Body &&
        (out_->kind == Kind::ServerParam || out_->kind == Kind::PlayerParam || out_->kind == Kind::PlayerType);
    if (params) {
        paramKey_ = name;
        return true;
    }
    frame.field = fieldOfName(name);
    return true;
}

bool JsonElementReader::start_object(std::size_t) {
    if (skipDepth_ > 0) {
        ++skipDepth_;
        return true;
    }
    if (depth_ == 0) return push(Place::Element);
    const Frame frame = frames_[depth_ - 1];
    switch (frame.place) {
        case Place::Element:
            if (isObjectKind(out_->kind)) return openBody() && push(Place::Body);
            break;
        case Place::Body:
            if (out_->kind == Kind::Show && frame.field == Field::Ball) return push(Place::Ball);
            if (out_->kind == Kind::Team && (frame.field == Field::L || frame.field == Field::R)) {
                teamSide_ = frame.field == Field::L ? 0 : 1;
                out_->teams[static_cast<std::size_t>(teamSide_)] = team_info_t{};
                out_->hasTeam[static_cast<std::size_t>(teamSide_)] = true;
                return push(Place::TeamSide);
            }
            if (out_->kind == Kind::Show && frame.field == Field::Players)
                return fail("a show's players must be a list");
            break;
        case Place::Players:
            draft_ = PlayerDraft{};
            return push(Place::Player);
        case Place::Xpm:
            out_->tileBroken = true;
            break;
        default:
            break;
    }
    // A part that no record holds.
    skipDepth_ = 1;
    return true;
}

bool JsonElementReader::start_array(std::size_t) {
    if (skipDepth_ > 0) {
        ++skipDepth_;
        return true;
    }
    if (depth_ == 0) return fail("an element must be an object");
    const Frame frame = frames_[depth_ - 1];
    if (frame.place == Place::Element && isObjectKind(out_->kind)) return fail("a record must be an object");
    if (frame.place == Place::Body && out_->kind == Kind::Show && frame.field == Field::Players) {
        return push(Place::Players);
    }
    if (frame.place == Place::Body && out_->kind == Kind::TeamGraphic && frame.field == Field::Xpm) {
        out_->tile.xpm.clear();
        return push(Place::Xpm);
    }
    if (frame.place == Place::Players || frame.place == Place::Xpm) {
        if (frame.place == Place::Players) return fail("a player must be an object");
        out_->tileBroken = true;
    }
    skipDepth_ = 1;
    return true;
}

bool JsonElementReader::end_object() {
    if (skipDepth_ > 0) {
        --skipDepth_;
        return true;
    }
    const Place place = frames_[--depth_].place;
    if (place == Place::Player) return storePlayer();
    if (place == Place::Body) return finishBody();
    return true;
}

bool JsonElementReader::end_array() {
    if (skipDepth_ > 0) {
        --skipDepth_;
        return true;
    }
    --depth_;
    return true;
}

bool JsonElementReader::openBody() {
    JsonLogElement& e = *out_;
    switch (e.kind) {
        case Kind::Show:
            e.time = -1;
            e.body.fill(0);
            e.players = {};
            break;
        case Kind::PlayMode:
            e.playmodeName.clear();
            break;
        case Kind::Team:
            e.hasTeam = {false, false};
            break;
        case Kind::Message:
            e.message.clear();
            e.hasMessage = false;
            break;
        case Kind::ServerParam:
            e.serverParams = server_param_t{};
            e.seen = {false, false, false, false};
            break;
        case Kind::PlayerParam:
            e.playerParams = player_param_t{};
            break;
        case Kind::PlayerType:
            e.playerType.fill(0);
            e.hasId = false;
            break;
        case Kind::TeamGraphic:
            e.logoSide = -1;
            e.tile = LogoTile{};
            e.tileBroken = false;
            break;
        default:
            break;
    }
    return true;
}

bool JsonElementReader::finishBody() {
    JsonLogElement& e = *out_;
    switch (e.kind) {
        case Kind::Show:
            if (e.time < 0) return fail("a show needs a time");
            break;
        case Kind::PlayMode:
            if (e.playmodeName.empty()) return fail("a play mode needs a mode");
            e.playmode = playModeOfName(e.playmodeName);
            break;
        case Kind::Message:
            if (!e.hasMessage) return fail("a message needs its text");
            break;
        case Kind::PlayerType:
            if (!e.hasId) return fail("a player type needs an id");
            break;
        case Kind::TeamGraphic:
            if (e.logoSide < 0) return fail("a logo tile needs a side");
            if (e.tileBroken) e.tile.xpm.clear();  // reported as an invalid tile
            break;
        default:
            break;
    }
    return true;
}

bool JsonElementReader::value(const Value& v) {
    if (skipDepth_ > 0) return true;
    if (depth_ == 0) return fail("an element must be an object");
    const Frame& frame = frames_[depth_ - 1];
    switch (frame.place) {
        case Place::Element:
            return elementValue(v);
        case Place::Body:
            return bodyValue(v, frame.field);
        case Place::Ball:
            return ballValue(v, frame.field);
        case Place::TeamSide:
            return teamValue(v, frame.field);
        case Place::Player:
            return playerValue(v, frame.field);
        case Place::Players:
            return fail("a player must be an object");
        case Place::Xpm:
            if (v.type != Value::Type::String || out_->tile.xpm.size() == kMaxTileLines) {
                out_->tileBroken = true;
            } else {
                out_->tile.xpm.emplace_back(v.text);
            }
            return true;
    }
    return true;
}

bool JsonElementReader::elementValue(const Value&) {
    if (isObjectKind(out_->kind)) return fail("a record must be an object");
    return true;  // the version and timestamp say nothing the records keep
}

namespace {

std::string_view nameOf(Field field) {
    for (const NamedField& f : kFields) {
        if (f.field == field) return f.name;
    }
    return "member";
}

}  // namespace

bool JsonElementReader::isNumber(const Value& v) {
    return v.type == Value::Type::Integer || v.type == Value::Type::Number;
}

bool JsonElementReader::integerIn(const Value& v, double lo, double hi) {
    return isNumber(v) && std::floor(v.number) == v.number && v.number >= lo && v.number <= hi;
}

bool JsonElementReader::realIn(const Value& v, double lo, double hi) {
    return isNumber(v) && v.number >= lo && v.number <= hi;
}

bool JsonElementReader::bodyValue(const Value& v, Field field) {
    JsonLogElement& e = *out_;
    switch (e.kind) {
        case Kind::ServerParam:
        case Kind::PlayerParam:
        case Kind::PlayerType:
            return paramValue(v);
        case Kind::Show:
            if (field == Field::Time) {
                if (!integerIn(v, 0, kMaxInt32)) return fail("a show's time must be a cycle from 0 to 2147483647");
                e.time = static_cast<long long>(v.number);
            } else if (field == Field::Ball) {
                return fail("a show's ball must be an object");
            } else if (field == Field::Players) {
                return fail("a show's players must be a list");
            }
            return true;
        case Kind::PlayMode:
            if (field == Field::Mode) {
                if (v.type != Value::Type::String || v.text.empty()) return fail("a play mode's mode must be a name");
                e.playmodeName = v.text;
            }
            return true;
        case Kind::Team:
            if (field == Field::L || field == Field::R) return fail("a team must be an object");
            return true;
        case Kind::Message:
            if (field == Field::Board && !integerIn(v, -kMaxInt32 - 1, kMaxInt32)) {
                return fail("a message's board must be a number");
            }
            if (field == Field::Message) {
                if (v.type != Value::Type::String) return fail("a message's text must be a string");
                e.message = v.text;
                e.hasMessage = true;
            }
            return true;
        case Kind::TeamGraphic:
            if (field == Field::Side) {
                if (v.type != Value::Type::String || (v.text != "l" && v.text != "r")) {
                    return fail("a logo tile's side must be l or r");
                }
                e.logoSide = v.text == "l" ? 0 : 1;
            } else if (field == Field::X || field == Field::Y) {
                if (!integerIn(v, 0, 255)) {
                    e.tileBroken = true;
                } else {
                    (field == Field::X ? e.tile.x : e.tile.y) = static_cast<int>(v.number);
                }
            } else if (field == Field::Xpm) {
                e.tileBroken = true;
            }
            return true;
        default:
            return true;
    }
}

bool JsonElementReader::paramValue(const Value& v) {
    JsonLogElement& e = *out_;
    std::span<const ParamField> table;
    std::uint8_t* block = nullptr;
    if (e.kind == Kind::ServerParam) {
        table = serverParamFields();
        block = e.serverParams.bytes.data();
        static constexpr std::string_view kDerivedFrom[] = {"player_size", "control_radius", "kickable_margin",
                                                            "ball_size"};
        for (std::size_t i = 0; i < std::size(kDerivedFrom); ++i) {
            if (paramKey_ == kDerivedFrom[i]) e.seen[i] = true;
        }
    } else if (e.kind == Kind::PlayerParam) {
        table = playerParamFields();
        block = e.playerParams.bytes.data();
    } else {
        table = playerTypeFields();
        block = e.playerType.data();
    }
    // Texts (file names, formats) have no place in the binary blocks.
    if (v.type == Value::Type::String || v.type == Value::Type::Null) return true;
    if (e.kind == Kind::PlayerType && paramKey_ == "id") e.hasId = true;
    if (const ParamField* field = findParamField(table, paramKey_)) storeParamValue(*field, v.number, block);
    return true;
}

bool JsonElementReader::ballValue(const Value& v, Field field) {
    static constexpr Field kOrder[] = {Field::X, Field::Y, Field::Vx, Field::Vy};
    const auto* it = std::find(std::begin(kOrder), std::end(kOrder), field);
    if (it == std::end(kOrder)) return true;
    if (!realIn(v, -kMaxFixed, kMaxFixed)) {
        return fail("the ball's " + std::string(nameOf(field)) + " must be a number from -32767 to 32767");
    }
    const auto offset = offsetof(show_info_t, ball) - kShowBodyOffset + 4 * static_cast<std::size_t>(it - kOrder);
    storeFixed(out_->body.data() + offset, v.number);
    return true;
}

bool JsonElementReader::teamValue(const Value& v, Field field) {
    team_info_t& team = out_->teams[static_cast<std::size_t>(teamSide_)];
    if (field == Field::Name) {
        // The server writes null for a side without a team.
        if (v.type == Value::Type::Null) return true;
        if (v.type != Value::Type::String) return fail("a team's name must be a string");
        std::copy_n(v.text.begin(), std::min<std::size_t>(v.text.size(), kTeamNameLength), team.name.begin());
    } else if (field == Field::Score) {
        if (!integerIn(v, 0, 32767)) return fail("a team's score must be a number from 0 to 32767");
        team.score = hostToNet16(static_cast<std::int16_t>(v.number));
    }
    return true;
}

bool JsonElementReader::playerValue(const Value& v, Field field) {
    if (field == Field::Other) return true;
    if (field == Field::Side || field == Field::Vq || field == Field::Fside) {
        const bool ok = v.type == Value::Type::String && v.text.size() == 1;
        const char c = ok ? v.text.front() : '\0';
        if (field == Field::Side) {
            if (c != 'l' && c != 'r') return fail("a player's side must be l or r");
            draft_.side = c;
        } else if (field == Field::Vq) {
            if (c != 'h' && c != 'l') return fail("a player's view quality must be h or l");
            draft_.quality = c;
        } else if (c == 'l' || c == 'r') {
            draft_.attentionSide = c;
        }
        return true;
    }
    if (!isNumber(v)) return fail("a player's " + std::string(nameOf(field)) + " must be a number");
    draft_.values[static_cast<std::size_t>(field)] = v.number;
    draft_.present |= std::uint64_t{1} << static_cast<unsigned>(field);
    return true;
}

bool JsonElementReader::storePlayer() {
    const PlayerDraft& d = draft_;
    const auto at = [&](Field f) { return d.values[static_cast<std::size_t>(f)]; };
    const auto inRange = [&](Field f, double lo, double hi) {
        return std::floor(at(f)) == at(f) && at(f) >= lo && at(f) <= hi;
    };
    if (d.side == 0 || !d.has(Field::Unum) || !inRange(Field::Unum, 1, kPlayersPerSide)) {
        return fail("a player needs a side and a uniform number from 1 to 11");
    }
    const std::size_t index = static_cast<std::size_t>(at(Field::Unum)) - 1 + (d.side == 'r' ? kPlayersPerSide : 0);
    std::uint8_t* p =
        out_->body.data() + offsetof(show_info_t, player) - kShowBodyOffset + index * sizeof(player_info_t);
    PlayerCompanion& extra = out_->players[index];
    extra = PlayerCompanion{};
    std::fill_n(p, sizeof(player_info_t), std::uint8_t{0});
    if (d.has(Field::Type) && !inRange(Field::Type, -32768, 32767)) return fail("a player's type must be a number");
    if (d.has(Field::State) && !inRange(Field::State, 0, kMaxUint32)) {
        return fail("a player's state must be a number from 0 to 4294967295");
    }
    store16(p + offsetof(player_info_t, type), at(Field::Type));
    store16(p + offsetof(player_info_t, mode), at(Field::State));
    extra.state = static_cast<std::uint32_t>(at(Field::State));

    // Reals of the show record: metres, metres per cycle, degrees turned to radians.
    struct Real {
        Field field;
        std::size_t offset;
        bool degrees;
    };
    static constexpr Real kReals[] = {
        {Field::X, offsetof(player_info_t, x), false},
        {Field::Y, offsetof(player_info_t, y), false},
        {Field::Vx, offsetof(player_info_t, vx), false},
        {Field::Vy, offsetof(player_info_t, vy), false},
        {Field::Body, offsetof(player_info_t, body_angle), true},
        {Field::Neck, offsetof(player_info_t, neck_angle), true},
        {Field::Vw, offsetof(player_info_t, view_width), true},
        {Field::Stamina, offsetof(player_info_t, stamina), false},
        {Field::Effort, offsetof(player_info_t, effort), false},
        {Field::Recovery, offsetof(player_info_t, recovery), false},
    };
    for (const Real& r : kReals) {
        if (!d.has(r.field)) continue;
        const double value = at(r.field);
        if (value < -kMaxFixed || value > kMaxFixed) {
            return fail("a player's " + std::string(nameOf(r.field)) + " must be a number from -32767 to 32767");
        }
        storeFixed(p + r.offset, r.degrees ? radians(value) : value);
    }
    if (d.quality != 0) store16(p + offsetof(player_info_t, view_quality), d.quality == 'h' ? 1 : 0);

    for (std::size_t i = 0; i < std::size(kRecordCounters); ++i) {
        const Field f = kRecordCounters[i];
        if (!d.has(f)) continue;
        if (!inRange(f, 0, kMaxUint32)) return fail("a player's " + std::string(nameOf(f)) + " must be a count");
        store16(p + kRecordCounterOffsets[i], at(f));
    }
    for (std::size_t i = 0; i < kCompanionCounterCount; ++i) {
        const Field f = kCompanionCounters[i];
        if (!d.has(f)) continue;
        if (!inRange(f, 0, kMaxUint32)) return fail("a player's " + std::string(nameOf(f)) + " must be a count");
        extra.counters[i] = static_cast<std::uint32_t>(at(f));
        extra.counterCount = static_cast<std::uint8_t>(i + 1);
    }

    // What the companion keeps in single precision, when it holds the value.
    const auto toFloat = [&](Field f, float& out) {
        const double value = at(f);
        if (!(std::fabs(value) <= std::numeric_limits<float>::max())) return false;
        out = static_cast<float>(value);
        return true;
    };
    if (d.has(Field::Px) && d.has(Field::Py)) {
        if (!realIn(Value{Value::Type::Number, at(Field::Px), {}}, -kMaxFixed, kMaxFixed) ||
            !realIn(Value{Value::Type::Number, at(Field::Py), {}}, -kMaxFixed, kMaxFixed)) {
            return fail("a player's pointing target must be numbers from -32767 to 32767");
        }
        extra.parts |= PlayerCompanion::kPointing;
        extra.pointX = static_cast<float>(at(Field::Px));
        extra.pointY = static_cast<float>(at(Field::Py));
    }
    if (d.has(Field::Capacity) && toFloat(Field::Capacity, extra.capacity)) extra.parts |= PlayerCompanion::kCapacity;
    if (d.has(Field::Fdist) && d.has(Field::Fdir) && toFloat(Field::Fdist, extra.focusDist) &&
        toFloat(Field::Fdir, extra.focusDir)) {
        extra.parts |= PlayerCompanion::kFocusPoint;
    } else {
        extra.focusDist = extra.focusDir = 0;
    }
    if (d.attentionSide != 0 && d.has(Field::Fnum) && inRange(Field::Fnum, 1, kPlayersPerSide)) {
        extra.attentionSide = d.attentionSide;
        extra.attentionUnum = static_cast<std::uint8_t>(at(Field::Fnum));
    }
    return true;
}
}  // namespace tessarin
