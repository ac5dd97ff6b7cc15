#include "analysis/PlanRecognition.h"

#include <array>
#include <locale>
#include <sstream>
#include <string>

#include "analysis/BehaviourTrie.h"
#include "record/AtomicFile.h"

namespace tessarin {

namespace {

// The first frame from `start` on whose cycle is `cycle`, else the last frame.
std::size_t frameOfCycle(const std::vector<PointFrameT>& frames, std::size_t start, int cycle) {
    for (std::size_t f = start; f < frames.size(); ++f) {
        if (frames[f].cycle == cycle) return f;
    }
    return frames.size() - 1;
}

}  // namespace

std::vector<ConcurrentGroup> BuildConcurrentGroups(const std::vector<BasicBehaviorEvent>& events,
                                                   const std::vector<PointFrameT>& frames,
                                                   const PlanRecognitionParameters& params) {
    std::vector<ConcurrentGroup> groups;
    if (events.size() < 2) return groups;
    groups.reserve(events.size() - 1);

    // The players of the current run: those who act in the events from the run's start
    // for as long as the side stays the same.
    std::array<bool, kPlayerCount> inRun{};
    auto fillRun = [&](std::size_t start, int side) {
        inRun.fill(false);
        for (std::size_t k = start; k < events.size() && events[k].side == side; ++k) {
            if (isPlayerIndex(events[k].player)) inRun[static_cast<std::size_t>(events[k].player)] = true;
        }
    };
    int runSide = events[1].side;
    fillRun(1, runSide);

    for (std::size_t i = 1; i < events.size(); ++i) {
        const BasicBehaviorEvent& event = events[i];
        if (event.side != runSide) {
            runSide = 1 - runSide;
            fillRun(i, runSide);
        }
        ConcurrentGroup group;
        group.push_back({event.kind, event.player, params.region(event.start_pos.x, event.start_pos.y),
                         event.kind == BB_PASS ? event.target : event.player,
                         params.region(event.end_pos.x, event.end_pos.y)});
        if (!frames.empty()) {
            const std::size_t last = frames.size() - 1;
            const std::size_t j = frameOfCycle(frames, 1, event.start_cycle);
            const int nextStart = i + 1 < events.size() ? events[i + 1].start_cycle : event.start_cycle;
            const std::size_t k = frameOfCycle(frames, j, nextStart);
            // Without both frames inside the history there is no movement to report.
            if (j != last && k != last) {
                for (int l = 0; l < kPlayerCount; ++l) {
                    if (!inRun[static_cast<std::size_t>(l)] || l == event.player) continue;
                    const Vector a = frames[j].players[static_cast<std::size_t>(l)];
                    const Vector b = frames[k].players[static_cast<std::size_t>(l)];
                    group.push_back({BB_POSITION, l, params.region(a.x, a.y), l, params.region(b.x, b.y)});
                }
            }
        }
        groups.push_back(std::move(group));
    }
    return groups;
}

void CompactGroups(std::vector<ConcurrentGroup>& groups) {
    std::vector<ConcurrentGroup> kept;
    kept.reserve(groups.size());
    std::size_t i = 0;
    while (i < groups.size()) {
        ConcurrentGroup& group = groups[i];
        if (group.empty() || !isLeftTeamBehaviour(group[0])) {
            kept.push_back(std::move(group));
            ++i;
            continue;
        }
        switch (group[0].kind) {
            case BB_DRIBBLE: {
                ++i;
                if (group[0].from == group[0].to) break;
                // The dribbles that directly follow, of either team, extend this one.
                while (i < groups.size() && !groups[i].empty() && groups[i][0].kind == BB_DRIBBLE) {
                    if (groups[i][0].from != groups[i][0].to) group[0].to = groups[i][0].to;
                    ++i;
                }
                kept.push_back(std::move(group));
                break;
            }
            case BB_ADJUST:
            case BB_RECEIVE:
            case BB_INTERCEPT:
                ++i;
                break;
            default:
                kept.push_back(std::move(group));
                ++i;
                break;
        }
    }
    groups = std::move(kept);
}

int WriteConcurrentEvents(const std::vector<ConcurrentGroup>& groups, const std::filesystem::path& file) {
    DirectorySink sink(file.parent_path());
    return WriteConcurrentEvents(groups, sink, file.filename().string());
}

int WriteConcurrentEvents(const std::vector<ConcurrentGroup>& groups, OutputSink& sink, const std::string& name) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << "event queu\n";
    for (std::size_t g = 0; g < groups.size(); ++g) {
        out << g << std::string(27, '%') << '\n';
        for (const MAPREVENT& e : groups[g]) {
            out << planPlayerNumber(e.player) << "-to-" << planPlayerNumber(e.target) << "--"
                << behaviorKindName(e.kind) << "--" << e.from << "--" << e.to << '\n';
        }
        out << std::string(27, '-') << "\n\n";
    }
    return sink.replace(name, out.view()) ? 0 : -1;
}

PlanRecognitionResult PlanRecognition::RunPlanRecognition(const std::vector<BasicBehaviorEvent>& events,
                                                          const std::vector<PointFrameT>& frames,
                                                          const std::filesystem::path& directory) {
    DirectorySink sink(directory);
    return RunPlanRecognition(events, frames, sink);
}

PlanRecognitionResult PlanRecognition::RunPlanRecognition(const std::vector<BasicBehaviorEvent>& events,
                                                          const std::vector<PointFrameT>& frames, OutputSink& sink) {
    PlanRecognitionResult result;
    groups_.clear();
    network_.Clear();
    groups_ = BuildConcurrentGroups(events, frames, params_);
    CompactGroups(groups_);
    result.concurrent_events = WriteConcurrentEvents(groups_, sink, kConcurrentEventFile);

    BehaviourTrie trie;
    trie.Build(groups_);
    trie.Prune(params_.chi2_threshold);
    result.trie_written = !trie.empty();
    result.trie = trie.Write(sink, kTrieFile);

    network_.Build(groups_);
    result.network = network_.Write(sink, kNetworkFile);
    return result;
}

}  // namespace tessarin
