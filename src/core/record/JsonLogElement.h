#pragma once

// One element of a JSON game log read into the records it changes. The server writes
// its JSON log as one array: a version and a timestamp, the server and player
// parameters, the player types, then play modes, teams, shows, messages and logo tiles
// as they happen, each an object of one member named after its kind:
//   {"show":{"time":T,"stime":S,"ball":{"x":…,"y":…,"vx":…,"vy":…},
//            "players":[{"side":"l","unum":1,"type":0,"state":9,"x":…,"y":…,"vx":…,"vy":…,
//                        "body":…,"neck":…,"px":…,"py":…,"vq":"h","vw":…,"stamina":…,
//                        "effort":…,"recovery":…,"capacity":…,"fside":"r","fnum":7,
//                        "kick":…,"dash":…, … ,"change_focus":…}, …]}}
// Angles are degrees, the state word is decimal. The reader takes an element's parse
// events (nlohmann-json's SAX interface) and keeps what it read apart from the game, so
// that an element that turns out bad changes nothing.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "record/Companion.h"
#include "record/GameRecords.h"

namespace tessarin {

struct JsonLogElement {
    enum class Kind {
        None,
        Version,
        Timestamp,
        ServerParam,
        PlayerParam,
        PlayerType,
        PlayMode,
        Team,
        Show,
        Message,
        TeamGraphic,
        Unknown,
    };

    Kind kind = Kind::None;
    long long time = -1;  // of a show (-1 until read)
    // A show's body (ball onward) as the show record holds it, and its companion's players.
    std::array<std::uint8_t, kShowBodySize> body{};
    std::array<PlayerCompanion, kPlayerCount> players{};
    int playmode = 0;
    std::string playmodeName;
    std::array<team_info_t, 2> teams{};
    std::array<bool, 2> hasTeam = {false, false};
    std::string message;
    bool hasMessage = false;
    server_param_t serverParams{};
    player_param_t playerParams{};
    std::array<std::uint8_t, sizeof(player_type_t)> playerType{};
    bool hasId = false;
    // Which of player_size, control_radius, kickable_margin, ball_size were given.
    std::array<bool, 4> seen = {false, false, false, false};
    int logoSide = -1;
    LogoTile tile;
    bool tileBroken = false;
};

// Turns the parse events of one element into a JsonLogElement. Unknown members are
// skipped, as are elements of an unknown kind; a value of the wrong type or out of the
// range its record can hold makes the element bad, and error() says why.
class JsonElementReader final {
public:
    using json = nlohmann::json;

    // Reads `text` (one element); false when it is no valid element.
    bool read(std::string_view text, JsonLogElement& out);
    const std::string& error() const { return error_; }

    // The SAX interface.
    bool null();
    bool boolean(bool value);
    bool number_integer(json::number_integer_t value);
    bool number_unsigned(json::number_unsigned_t value);
    bool number_float(json::number_float_t value, const json::string_t& text);
    bool string(json::string_t& value);
    bool binary(json::binary_t& value);
    bool start_object(std::size_t elements);
    bool key(json::string_t& name);
    bool end_object();
    bool start_array(std::size_t elements);
    bool end_array();
    bool parse_error(std::size_t position, const std::string& token, const nlohmann::detail::exception& e);

    // What a member's name means where it stands; the names of all places in one list.
    enum class Field : std::uint8_t;

private:
    // Where the parse stands: the element's object, its kind's object, and within a show
    // the ball, the players' array and one player; a team's side; a logo's XPM lines.
    enum class Place : std::uint8_t { Element, Body, Ball, Players, Player, TeamSide, Xpm };
    struct Frame {
        Place place;
        Field field;  // of the last member name read in this object
    };
    // One player of a show as read, checked and stored when its object ends.
    struct PlayerDraft {
        std::uint64_t present = 0;  // bit per Field
        std::array<double, 64> values{};
        char side = 0;
        char quality = 0;
        char attentionSide = 0;
        bool has(Field f) const;
    };
    struct Value;

    static bool isNumber(const Value& v);
    static bool integerIn(const Value& v, double lo, double hi);
    static bool realIn(const Value& v, double lo, double hi);

    bool value(const Value& v);
    bool elementValue(const Value& v);
    bool bodyValue(const Value& v, Field field);
    bool paramValue(const Value& v);
    bool ballValue(const Value& v, Field field);
    bool teamValue(const Value& v, Field field);
    bool playerValue(const Value& v, Field field);
    bool openBody();
    bool finishBody();
    bool storePlayer();
    bool push(Place place);
    bool fail(std::string why);

    JsonLogElement* out_ = nullptr;
    std::array<Frame, 8> frames_{};
    std::size_t depth_ = 0;
    std::size_t skipDepth_ = 0;  // levels inside a part that is skipped
    int teamSide_ = 0;
    std::string paramKey_;  // the parameter whose value comes next
    PlayerDraft draft_;
    std::string error_;
};

}  // namespace tessarin
