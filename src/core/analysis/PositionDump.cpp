#include "analysis/PositionDump.h"

#include <array>
#include <charconv>
#include <cmath>

#include "analysis/OpponentModel.h"
#include "record/AtomicFile.h"

namespace tessarin {

namespace {

inline constexpr int kDumpFileCount = kPlayerCount + 1;
// A player slower than this (metres per cycle) counts as nearly still.
inline constexpr double kStillSpeed = 0.2;

// Appends a real in printf's "%.Nf" form. The formatting does not depend on the
// process's locale, so the decimal point is always '.'.
void appendFixed(std::string& out, double value, int precision) {
    // Room for the largest double in fixed notation (309 digits) and its decimals.
    std::array<char, 400> buffer;
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, precision);
    if (result.ec == std::errc{}) out.append(buffer.data(), result.ptr);
}

// "<cycle>---pos:(x,y) speed:(vx,vy)" with two decimals.
void appendMotion(std::string& out, int cycle, double x, double y, double vx, double vy) {
    out += std::to_string(cycle);
    out += "---pos:(";
    appendFixed(out, x, 2);
    out += ',';
    appendFixed(out, y, 2);
    out += ") speed:(";
    appendFixed(out, vx, 2);
    out += ',';
    appendFixed(out, vy, 2);
    out += ')';
}

// Whether the player stands inside the region of its model record. The record holds
// the team's own direction; the right team's test mirrors it back into field
// coordinates, where the margin of 1 m widens the region instead of narrowing it.
bool insideModelRegion(const RoleRecord& rec, int side, double x, double y) {
    if (side == 0) {
        return rec.back_x + 1.0 < x && x < rec.front_x - 1.0 && rec.low_y + 1.0 < y && y < rec.high_y - 1.0;
    }
    return -rec.front_x - 1.0 < x && x < -rec.back_x + 1.0 && -rec.high_y - 1.0 < y && y < -rec.low_y + 1.0;
}

}  // namespace

std::vector<std::string> positionDumpFileNames() {
    std::vector<std::string> names;
    names.reserve(kDumpFileCount);
    names.emplace_back("ball.txt");
    for (int i = 1; i <= kPlayerCount; ++i) names.push_back("player" + std::to_string(i) + ".txt");
    return names;
}

PositionDumpResult writePositionDump(const std::vector<cycle_info_t>& records, const OpponentModel& model,
                                     const std::filesystem::path& directory) {
    DirectorySink sink(directory);
    return writePositionDump(records, model, sink);
}

PositionDumpResult writePositionDump(const std::vector<cycle_info_t>& records, const OpponentModel& model,
                                     OutputSink& sink) {
    PositionDumpResult result;
    if (records.empty()) return result;
    result.written = true;

    // Each file is built whole and then replaces the old one at once.
    std::array<std::string, kDumpFileCount> texts;
    std::string line;
    for (const cycle_info_t& record : records) {
        if (record.kind != kShowRecord) continue;
        const ShowState show = toHost(record.show());
        const BallState& ball = show.ball;
        appendMotion(texts[0], show.time, ball.x, ball.y, ball.vx, ball.vy);
        texts[0] += '\n';
        for (int i = 0; i < kPlayerCount; ++i) {
            const PlayerState& p = show.player[i];
            const int side = i < kPlayersPerSide ? 0 : 1;
            const int uniform = i % kPlayersPerSide + 1;
            line.clear();
            appendMotion(line, show.time, p.x, p.y, p.vx, p.vy);
            const Vector predicted =
                model.PredictPosition(side, uniform - 1, static_cast<float>(ball.x), static_cast<float>(ball.y));
            const float vx = static_cast<float>(p.vx);
            const float vy = static_cast<float>(p.vy);
            const float speed = std::sqrt(vx * vx + vy * vy);
            if (insideModelRegion(model.roleRecord(side, uniform), side, p.x, p.y) && speed < kStillSpeed) {
                line += "\t---pos from model:(";
                appendFixed(line, predicted.x, 6);
                line += ',';
                appendFixed(line, predicted.y, 6);
                line += ')';
            }
            line += '\n';
            texts[static_cast<std::size_t>(i) + 1] += line;
        }
    }

    const std::vector<std::string> names = positionDumpFileNames();
    for (std::size_t f = 0; f < texts.size(); ++f) {
        if (!sink.replace(names[f], texts[f])) {
            result.failedFiles.push_back(names[f]);
            if (result.error == 0) result.error = sink.error();
        }
    }
    return result;
}

}  // namespace tessarin
