#include "analysis/StatisticTables.h"

#include <cstdint>
#include <cstdio>
#include <utility>

#include "record/ByteOrder.h"

namespace tessarin {

namespace {

std::string format(const char* pattern, auto value) {
    char text[64];
    const int n = std::snprintf(text, sizeof text, pattern, value);
    return n < 0 ? std::string() : std::string(text);
}

// The fixed-point fields of a player type in their stored order, column 1 onward.
std::int32_t fixedField(const player_type_t& type, int column) {
    switch (column) {
        case 1:
            return type.player_speed_max;
        case 2:
            return type.stamina_inc_max;
        case 3:
            return type.player_decay;
        case 4:
            return type.inertia_moment;
        case 5:
            return type.dash_power_rate;
        case 6:
            return type.player_size;
        case 7:
            return type.kickable_margin;
        case 8:
            return type.kick_rand;
        case 9:
            return type.extra_stamina;
        case 10:
            return type.effort_max;
        default:
            return type.effort_min;
    }
}

}  // namespace

StatTable statTable(const GameStatistics& statistics, int team) {
    StatTable table{};
    const std::size_t first = team == 0 ? 0 : static_cast<std::size_t>(kStatRows);
    for (std::size_t r = 0; r < table.size(); ++r) {
        const PlayerStatistics& p = statistics.players[first + r];
        table[r] = {static_cast<int>(r) + 1, p.passes.count,        p.passes.successes,
                    p.shots.count,           p.shots.successes,     p.dribbles.count,
                    p.dribbles.successes,    p.interceptions.count, p.interceptions.successes};
    }
    return table;
}

void sortStatTable(StatTable& table, int column, bool descending) {
    if (column < 0 || column >= kStatColumns) return;
    const auto c = static_cast<std::size_t>(column);
    const auto cell = [c](const StatRow& row) { return static_cast<unsigned>(row[c]); };
    for (std::size_t i = 0; i + 1 < table.size(); ++i) {
        for (std::size_t j = i + 1; j < table.size(); ++j) {
            const bool swap = descending ? cell(table[i]) < cell(table[j]) : cell(table[j]) < cell(table[i]);
            if (swap) std::swap(table[i], table[j]);
        }
    }
}

std::string percentText(const CountStatistic& figure) {
    if (figure.count == 0) return "0";
    return format("%d%%", figure.successes * 100 / figure.count);
}

std::string shareText(double share) { return format("%.0f%%", share * 100.0); }

std::string playerTypeText(const player_type_t& type, int column) {
    if (column == 0) return format("%d", static_cast<int>(netToHost16(type.id)));
    if (column < 0 || column >= kTypeColumns) return {};
    return format("%.3f", fixed_to_double(fixedField(type, column)));
}

double playerTypeKey(const player_type_t& type, int column) {
    if (column == 0) return static_cast<std::uint16_t>(netToHost16(type.id));
    if (column < 0 || column >= kTypeColumns) return -1.0;
    return fixed_to_double(fixedField(type, column));
}

void sortPlayerTypes(std::vector<player_type_t>& types, int column, bool descending) {
    for (std::size_t i = 0; i + 1 < types.size(); ++i) {
        for (std::size_t k = i + 1; k < types.size(); ++k) {
            const double a = playerTypeKey(types[i], column);
            const double b = playerTypeKey(types[k], column);
            if (descending ? a < b : a > b) std::swap(types[i], types[k]);
        }
    }
}

}  // namespace tessarin
