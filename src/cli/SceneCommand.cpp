#include <optional>

#include "cli/CliHost.h"
#include "cli/Commands.h"
#include "live/SceneWriter.h"
#include "record/AtomicFile.h"

namespace tessarin::cli {

int runScene(const SceneOptions& options, std::ostream& out, std::ostream& err) {
    if (options.self < 1 || options.self > kPlayerCount) {
        err << "tessarin-cli: --self must be 1..22 (1..11 the left team's players, 12..22 the right team's), not "
            << options.self << '\n';
        return 1;
    }
    if (sameFile(options.file, options.out)) {
        err << "tessarin-cli: " << options.out << " is the file being read: refusing to write over it\n";
        return 1;
    }
    CliHost host(err);
    LogPlayer player(host);
    const LoadResult loaded = loadAndWait(player, options.file, options.maxRecords);
    if (!loaded.ok) {
        err << "tessarin-cli: " << loaded.error << '\n';
        return 1;
    }
    if (!loaded.warning.empty()) err << "tessarin-cli: warning: " << loaded.warning << '\n';

    const std::optional<cycle_info_t> record =
        player.withStore([&](const std::vector<cycle_info_t>& frames) -> std::optional<cycle_info_t> {
            for (const auto& f : frames) {
                if (f.cycle == options.cycle) return f;
            }
            return std::nullopt;
        });
    if (!record) {
        err << "tessarin-cli: " << options.file << " holds no record of cycle " << options.cycle << '\n';
        return 1;
    }
    const std::string error = writeScene(options.out, *record, options.self, player.player_types());
    if (!error.empty()) {
        err << "tessarin-cli: " << error << '\n';
        return 1;
    }
    const bool left = options.self <= kPlayersPerSide;
    out << "wrote the scene of cycle " << options.cycle << " seen by " << (left ? "left" : "right") << " player "
        << (left ? options.self : options.self - kPlayersPerSide) << " to " << options.out << '\n';
    // The file was damaged or not read to its end: the cycle's record may not be what the game held.
    return loaded.incomplete ? kExitIncompleteInput : 0;
}

}  // namespace tessarin::cli
