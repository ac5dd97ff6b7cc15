#include <charconv>
#include <iostream>

#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "geometry/Angle.h"
#include "record/AtomicFile.h"

namespace tessarin::cli {

namespace {

constexpr const char* kPlayerFields[] = {"type",
                                         "mode",
                                         "x",
                                         "y",
                                         "vx",
                                         "vy",
                                         "body",
                                         "neck",
                                         "stamina",
                                         "effort",
                                         "recovery",
                                         "kick_count",
                                         "dash_count",
                                         "turn_count",
                                         "say_count",
                                         "turn_neck_count",
                                         "catch_count",
                                         "move_count",
                                         "change_view_count"};

// Rows are gathered up to this size before they are written.
constexpr std::size_t kChunkBytes = 1 << 20;

std::string header() {
    std::string h = "cycle,playmode,left_score,right_score,ball_x,ball_y,ball_vx,ball_vy";
    for (int i = 0; i < kPlayerCount; ++i) {
        const std::string prefix = (i < kPlayersPerSide ? "l" : "r") + std::to_string(i % kPlayersPerSide + 1) + "_";
        for (const char* field : kPlayerFields) {
            h += ',';
            h += prefix;
            h += field;
        }
    }
    return h + "\r\n";
}

// A real with four decimals at most, trailing zeros dropped, '.' whatever the locale:
// the records hold 1/65536 steps, text logs four decimals.
void putReal(std::string& out, double v) {
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, v, std::chars_format::fixed, 4);
    std::string_view s(buffer, static_cast<std::size_t>(r.ptr - buffer));
    while (s.back() == '0') s.remove_suffix(1);
    if (s.back() == '.') s.remove_suffix(1);
    if (s == "-0") s = "0";
    out += ',';
    out += s;
}

void putInt(std::string& out, int v) {
    out += ',';
    out += std::to_string(v);
}

double degrees(double radians) { return radians * 180.0 / kPi; }

void putRow(std::string& out, const show_info_t& stored) {
    const ShowState s = toHost(stored);
    out += std::to_string(s.time);
    out += ',';
    // Play mode names are plain identifiers; a number without a name is written as a number.
    const std::string_view name = playModeName(s.playmode);
    out += name.empty() ? std::to_string(s.playmode) : std::string(name);
    putInt(out, s.team[0].score);
    putInt(out, s.team[1].score);
    for (double v : {s.ball.x, s.ball.y, s.ball.vx, s.ball.vy}) putReal(out, v);
    for (const PlayerState& p : s.player) {
        putInt(out, p.type);
        putInt(out, p.mode);
        for (double v :
             {p.x, p.y, p.vx, p.vy, degrees(p.body_angle), degrees(p.neck_angle), p.stamina, p.effort, p.recovery})
            putReal(out, v);
        for (int c : {p.kick_count, p.dash_count, p.turn_count, p.say_count, p.turn_neck_count, p.catch_count,
                      p.move_count, p.change_view_count})
            putInt(out, c);
    }
    out += "\r\n";
}

// Writes the header and every show record through `put`, a chunk at a time.
template <typename Put>
bool writeRows(const std::vector<cycle_info_t>& records, Put&& put) {
    std::string chunk = header();
    for (const cycle_info_t& record : records) {
        if (record.kind != kShowRecord) continue;
        putRow(chunk, record.show());
        if (chunk.size() >= kChunkBytes) {
            if (!put(chunk)) return false;
            chunk.clear();
        }
    }
    return put(chunk);
}

}  // namespace

int runExportCsv(const ExportCsvOptions& options, std::ostream& out, std::ostream& err) {
    CliHost host(err);
    LogPlayer player(host);
    const LoadResult loaded = loadAndWait(player, options.file);
    if (!loaded.ok) {
        err << "tessarin-cli: " << loaded.error << '\n';
        return 1;
    }
    if (player.format() == LogFormat::Sight || player.format() == LogFormat::SightV2) {
        err << "tessarin-cli: " << options.file << " is a sight log; only game logs have show records to export\n";
        return 1;
    }
    if (!loaded.warning.empty()) err << "tessarin-cli: warning: " << loaded.warning << '\n';

    // Loading has finished: the store no longer changes, and is read under its lock.
    return player.withStore([&](const std::vector<cycle_info_t>& records) {
        if (options.out.empty()) {
            const bool ok = writeRows(records, [&](const std::string& chunk) { return bool(out << chunk); });
            return ok ? 0 : 1;
        }
        const bool ok = writeFileAtomically(options.out, [&](LogFile& file) {
            return writeRows(records, [&](const std::string& chunk) { return file.write(chunk.data(), chunk.size()); });
        });
        if (!ok) err << "tessarin-cli: cannot write " << options.out << '\n';
        return ok ? 0 : 1;
    });
}

}  // namespace tessarin::cli
