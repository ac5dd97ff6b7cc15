#include "analysis/PlanRecognitionNetwork.h"

#include <locale>
#include <sstream>
#include <string>

#include "record/AtomicFile.h"

namespace tessarin {

void PlanRecognitionNetwork::Clear() {
    nodes_.clear();
    index_.clear();
}

int PlanRecognitionNetwork::find(const MAPREVENT& behaviour) const {
    const auto it = index_.find(keyOf(behaviour));
    return it == index_.end() ? -1 : it->second;
}

int PlanRecognitionNetwork::findOrAdd(const MAPREVENT& behaviour, int initialCount) {
    const auto [it, added] = index_.try_emplace(keyOf(behaviour), static_cast<int>(nodes_.size()));
    if (added) {
        MAPRNNode node;
        node.kind = behaviour.kind;
        node.player = behaviour.player;
        node.from = behaviour.from;
        node.to = behaviour.to;
        node.count = initialCount;
        nodes_.push_back(std::move(node));
    }
    return it->second;
}

void PlanRecognitionNetwork::addEdge(int owner, std::vector<MAPRNPTR> MAPRNNode::*which, const MAPREVENT& behaviour,
                                     int initialCount) {
    for (MAPRNPTR& edge : nodes_[owner].*which) {
        if (keyOf(nodes_[edge.node]) == keyOf(behaviour)) {
            ++edge.times;
            return;
        }
    }
    // Appending a node may move the nodes: look the owner up again afterwards.
    const int target = findOrAdd(behaviour, initialCount);
    (nodes_[owner].*which).push_back({target, 1});
}

void PlanRecognitionNetwork::Build(const std::vector<ConcurrentGroup>& groups) {
    Clear();
    for (std::size_t p = 0; p < groups.size(); ++p) {
        const ConcurrentGroup& group = groups[p];
        if (group.empty()) continue;
        const MAPREVENT& main = group[0];
        const bool known = find(main) >= 0;
        const int node = findOrAdd(main, 1);
        if (known) ++nodes_[node].count;
        for (std::size_t e = 1; e < group.size(); ++e) addEdge(node, &MAPRNNode::concurrent, group[e], 1);
        if (p + 1 < groups.size()) {
            for (const MAPREVENT& next : groups[p + 1]) addEdge(node, &MAPRNNode::follow, next, 0);
        }
    }
}

int PlanRecognitionNetwork::Write(const std::filesystem::path& file) const {
    DirectorySink sink(file.parent_path());
    return Write(sink, file.filename().string());
}

int PlanRecognitionNetwork::Write(OutputSink& sink, const std::string& name) const {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << "MAPRN:\n";
    for (std::size_t i = 0; i < nodes_.size(); ++i) {
        const MAPRNNode& node = nodes_[i];
        // The chance of an edge, with one added to its count and two to its node's.
        auto chance = [&node](const MAPRNPTR& edge) {
            return static_cast<double>(edge.times + 1) / static_cast<double>(node.count + 2);
        };
        out << "--Node " << i << " --\n";
        out << "event: player " << planPlayerNumber(node.player) << ' ' << behaviorKindName(node.kind) << " from "
            << node.from << " to " << node.to << '\n';
        out << "count: " << node.count << '\n';
        out << "concurrent:\n";
        for (const MAPRNPTR& edge : node.concurrent) {
            out << "node " << edge.node << " cohappen times=" << edge.times << " p=" << chance(edge) << '\n';
        }
        out << "follow:\n";
        for (const MAPRNPTR& edge : node.follow) {
            out << "node " << edge.node << " follow times=" << edge.times << " p=" << chance(edge) << '\n';
        }
        out << std::string(49, '-') << '\n';
    }
    return sink.replace(name, out.view()) ? 0 : -1;
}

}  // namespace tessarin
