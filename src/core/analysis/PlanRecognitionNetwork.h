#pragma once

// The plan-recognition network: one node per distinct behaviour (kind, player,
// destination region), with weighted edges to what happened at the same time and to
// what came next.

#include <filesystem>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "analysis/PlanRecognitionEvent.h"
#include "record/OutputSink.h"

namespace tessarin {

// An edge: the node's position in the network and how often the edge was seen.
struct MAPRNPTR {
    int node = 0;
    int times = 0;
};

// A node, carrying the values of the behaviour that created it.
struct MAPRNNode {
    int kind = BB_NONE;
    int player = -1;
    int from = 0;
    int to = 0;
    int count = 0;
    std::vector<MAPRNPTR> concurrent;
    std::vector<MAPRNPTR> follow;
};

class PlanRecognitionNetwork final {
public:
    // Builds the network anew from the group list: each group's main behaviour is a
    // node (counted), its movements are concurrent edges, and the elements of the next
    // group are follow edges.
    void Build(const std::vector<ConcurrentGroup>& groups);
    void Clear();
    // Writes "MAPRN:" and every node with its edges to `file`, created anew. Returns -1
    // when the file cannot be opened or written, else 0.
    int Write(const std::filesystem::path& file) const;
    int Write(OutputSink& sink, const std::string& name) const;

    const std::vector<MAPRNNode>& nodes() const { return nodes_; }
    // The node of a behaviour (same kind, player and destination), or -1.
    int find(const MAPREVENT& behaviour) const;

private:
    using Key = std::tuple<int, int, int>;
    static Key keyOf(const MAPREVENT& e) { return {e.kind, e.player, e.to}; }
    static Key keyOf(const MAPRNNode& n) { return {n.kind, n.player, n.to}; }
    // The node of a behaviour, appended with `initialCount` when there is none.
    int findOrAdd(const MAPREVENT& behaviour, int initialCount);
    // Counts the edge from node `owner` (in the list `which`) to the node of `behaviour`.
    void addEdge(int owner, std::vector<MAPRNPTR> MAPRNNode::*which, const MAPREVENT& behaviour, int initialCount);

    std::vector<MAPRNNode> nodes_;
    // Nodes are unique by key, so the index finds the same node as a search in order.
    std::map<Key, int> index_;
};

}  // namespace tessarin
