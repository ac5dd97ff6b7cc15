#pragma once

// The behaviour trie: every run of the left team's actions inserted as sequences, with
// depth statistics, pruned by a chi-square test of each node against its depth.

#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "analysis/PlanRecognitionEvent.h"
#include "record/OutputSink.h"

namespace tessarin {

// One node: a behaviour, how often its path occurred, its chi-square (0 until pruning
// tests it; nodes at depth 1 are never tested), its parent and its children in
// insertion order.
struct TrieNode {
    int kind = BB_NONE;
    int player = -1;
    int from = 0;
    int target = -1;
    int to = 0;
    int count = 0;
    double chi2 = 0.0;
    TrieNode* parent = nullptr;
    std::vector<std::unique_ptr<TrieNode>> children;

    MAPREVENT behaviour() const { return {kind, player, from, target, to}; }
    bool matches(const MAPREVENT& e) const {
        return kind == e.kind && player == e.player && from == e.from && target == e.target && to == e.to;
    }
};

class BehaviourTrie final {
public:
    // The deepest level a sequence reaches: a run longer than this is cut there, which
    // bounds the trie's size and depth and the depth statistics.
    static constexpr int kMaxDepth = 99;

    // Builds the trie anew: for every group whose main behaviour is the left team's,
    // the sequence of main behaviours from there to the end of its run (the next
    // right-team group) is inserted, so every suffix of every run is counted. The root
    // counts the sequences.
    void Build(const std::vector<ConcurrentGroup>& groups);
    // Prunes from the root. Nodes at depth 1 survive only with surviving children; the
    // root without children goes too, leaving the trie empty. Deeper nodes survive
    // when their chi-square against their depth reaches `chi2Threshold`.
    void Prune(double chi2Threshold);
    // Appends the trie to `file` (nothing, not even a file, when the trie is empty).
    // Returns -1 when the file cannot be opened or written, else 0.
    int Write(const std::filesystem::path& file) const;
    int Write(OutputSink& sink, const std::string& name) const;
    void Clear();

    bool empty() const { return !root_; }
    const TrieNode* root() const { return root_.get(); }

    // Depth statistics: insertions at a depth, in all and of one behaviour type (all
    // five fields compared), and the number of distinct types in order of appearance.
    int depthTotal(int depth) const;
    int typeCountAt(const MAPREVENT& type, int depth) const;
    const std::vector<MAPREVENT>& types() const { return types_; }

private:
    using TypeKey = std::tuple<int, int, int, int, int>;
    static TypeKey keyOf(const MAPREVENT& e) { return {e.kind, e.player, e.from, e.target, e.to}; }
    void recordType(const MAPREVENT& type, int depth);
    // Whether the node is to be deleted; its parent removes it.
    bool pruneNode(TrieNode& node, int depth, double threshold);

    std::unique_ptr<TrieNode> root_;
    std::vector<MAPREVENT> types_;
    std::map<TypeKey, std::size_t> typeIndex_;
    std::vector<std::array<int, kMaxDepth + 1>> typeCounts_;  // per type, per depth
    std::array<int, kMaxDepth + 1> depthTotals_{};
};

}  // namespace tessarin
