#pragma once

// The plan-recognition pass: turns the event list and frame history of a game into
// concurrent groups, a behaviour trie and a plan-recognition network, and writes
// "concurrent_event.txt", "Trie.txt" (appended) and "MAPRN.txt".

#include <filesystem>
#include <vector>

#include "analysis/BasicBehaviorEvent.h"
#include "analysis/PlanRecognitionEvent.h"
#include "analysis/PlanRecognitionNetwork.h"
#include "analysis/PlanRecognitionParameters.h"
#include "record/OutputSink.h"

namespace tessarin {

inline constexpr const char* kConcurrentEventFile = "concurrent_event.txt";
inline constexpr const char* kTrieFile = "Trie.txt";
inline constexpr const char* kNetworkFile = "MAPRN.txt";

// One group per event from index 1 of the list (index 0 is the sentinel): the event
// reduced to regions, plus the movement from the event's start to the next event's
// start of every other player of the acting side's current run.
std::vector<ConcurrentGroup> BuildConcurrentGroups(const std::vector<BasicBehaviorEvent>& events,
                                                   const std::vector<PointFrameT>& frames,
                                                   const PlanRecognitionParameters& params);
// Drops the left team's adjusts, receives, intercepts and dribbles that stay in their
// region, and merges a left-team dribble with the dribbles that directly follow it.
void CompactGroups(std::vector<ConcurrentGroup>& groups);
// Writes the group list to `file`, created anew. Returns -1 when it cannot be opened
// or written, else 0.
int WriteConcurrentEvents(const std::vector<ConcurrentGroup>& groups, const std::filesystem::path& file);
int WriteConcurrentEvents(const std::vector<ConcurrentGroup>& groups, OutputSink& sink, const std::string& name);

// What each writer of a pass returned: 0, or -1 for a file that could not be written.
struct PlanRecognitionResult {
    int concurrent_events = 0;
    int trie = 0;
    int network = 0;
    // Whether pruning left a trie to write.
    bool trie_written = false;
};

// Holds the parameters, and the group list and network of the last pass until the next.
class PlanRecognition final {
public:
    explicit PlanRecognition(PlanRecognitionParameters params = {}) : params_(params) {}

    // The whole pass; the files go to `directory` (empty: the working directory). A file
    // that cannot be written is skipped and the pass goes on.
    PlanRecognitionResult RunPlanRecognition(const std::vector<BasicBehaviorEvent>& events,
                                             const std::vector<PointFrameT>& frames,
                                             const std::filesystem::path& directory = {});
    // The same with the files as outputs of `sink`.
    PlanRecognitionResult RunPlanRecognition(const std::vector<BasicBehaviorEvent>& events,
                                             const std::vector<PointFrameT>& frames, OutputSink& sink);

    const PlanRecognitionParameters& parameters() const { return params_; }
    const std::vector<ConcurrentGroup>& groups() const { return groups_; }
    const PlanRecognitionNetwork& network() const { return network_; }

private:
    PlanRecognitionParameters params_;
    std::vector<ConcurrentGroup> groups_;
    PlanRecognitionNetwork network_;
};

}  // namespace tessarin
