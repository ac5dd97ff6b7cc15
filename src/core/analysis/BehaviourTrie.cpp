#include "analysis/BehaviourTrie.h"

#include <fstream>
#include <iterator>
#include <locale>
#include <sstream>
#include <string>

#include "record/AtomicFile.h"

namespace tessarin {

void BehaviourTrie::Clear() {
    root_.reset();
    types_.clear();
    typeIndex_.clear();
    typeCounts_.clear();
    depthTotals_.fill(0);
}

void BehaviourTrie::recordType(const MAPREVENT& type, int depth) {
    const auto [it, added] = typeIndex_.try_emplace(keyOf(type), types_.size());
    if (added) {
        types_.push_back(type);
        typeCounts_.emplace_back().fill(0);
    }
    ++typeCounts_[it->second][depth];
    ++depthTotals_[depth];
}

void BehaviourTrie::Build(const std::vector<ConcurrentGroup>& groups) {
    Clear();
    root_ = std::make_unique<TrieNode>();
    for (std::size_t s = 0; s < groups.size(); ++s) {
        if (groups[s].empty() || !isLeftTeamBehaviour(groups[s][0])) continue;
        ++root_->count;
        TrieNode* current = root_.get();
        int depth = 0;
        for (std::size_t g = s; g < groups.size() && depth < kMaxDepth; ++g) {
            if (groups[g].empty()) continue;
            const MAPREVENT& behaviour = groups[g][0];
            if (!isLeftTeamBehaviour(behaviour)) break;
            TrieNode* child = nullptr;
            for (const auto& c : current->children) {
                if (c->matches(behaviour)) {
                    child = c.get();
                    break;
                }
            }
            if (child) {
                ++child->count;
            } else {
                auto node = std::make_unique<TrieNode>();
                node->kind = behaviour.kind;
                node->player = behaviour.player;
                node->from = behaviour.from;
                node->target = behaviour.target;
                node->to = behaviour.to;
                node->count = 1;
                node->parent = current;
                child = node.get();
                current->children.push_back(std::move(node));
            }
            current = child;
            ++depth;
            recordType(behaviour, depth);
        }
    }
}

int BehaviourTrie::depthTotal(int depth) const {
    if (depth < 0 || depth > kMaxDepth) return 0;
    return depthTotals_[depth];
}

int BehaviourTrie::typeCountAt(const MAPREVENT& type, int depth) const {
    if (depth < 0 || depth > kMaxDepth) return 0;
    const auto it = typeIndex_.find(keyOf(type));
    return it == typeIndex_.end() ? 0 : typeCounts_[it->second][depth];
}

bool BehaviourTrie::pruneNode(TrieNode& node, int depth, double threshold) {
    auto pruneChildren = [&] {
        for (std::size_t i = 0; i < node.children.size();) {
            if (pruneNode(*node.children[i], depth + 1, threshold)) {
                node.children.erase(node.children.begin() + static_cast<std::ptrdiff_t>(i));
            } else {
                ++i;
            }
        }
    };
    if (depth <= 1) {
        pruneChildren();
        return node.children.empty();
    }
    // Pearson's chi-square of the 2 × 2 table: this path against the others through the
    // parent, and this node's type against all insertions at this depth.
    const double a = node.count;
    const double n = node.parent->count;
    const double b = typeCountAt(node.behaviour(), depth);
    const double c = depthTotal(depth);
    // Every insertion at this depth is of this type, or went through the parent: the
    // table has an empty margin and tells nothing.
    if (c == b || c == n) return true;
    const double observed[4] = {a, n - a, b - a, (c - b) - (n - a)};
    const double expected[4] = {n * b / c, n * (c - b) / c, (c - n) * b / c, (c - n) * (c - b) / c};
    double chi2 = 0;
    for (int k = 0; k < 4; ++k) chi2 += (observed[k] - expected[k]) * (observed[k] - expected[k]) / expected[k];
    if (!(chi2 >= threshold)) return true;
    node.chi2 = chi2;
    pruneChildren();
    return false;
}

void BehaviourTrie::Prune(double chi2Threshold) {
    if (root_ && pruneNode(*root_, 0, chi2Threshold)) root_.reset();
}

namespace {

void writeLeaves(std::ostream& out, const TrieNode& node) {
    if (!node.children.empty()) {
        for (const auto& child : node.children) writeLeaves(out, *child);
        return;
    }
    out << std::string(63, '~') << '\n';
    for (const TrieNode* n = &node; n && n->parent; n = n->parent) {
        out << behaviorKindName(n->kind) << "--" << planPlayerNumber(n->player) << "-to-" << planPlayerNumber(n->target)
            << "--" << n->from << "-to-" << n->to << "  ::c==" << n->count << "  ::chi2==" << n->chi2 << '\n';
        out << std::string(18, '-') << '\n';
    }
    out << "#CHI-SQUARE==" << node.chi2 << "   #COUNT==" << node.count << '\n';
    out << std::string(28, '*') << '\n';
}

}  // namespace

int BehaviourTrie::Write(const std::filesystem::path& file) const {
    DirectorySink sink(file.parent_path());
    return Write(sink, file.filename().string());
}

int BehaviourTrie::Write(OutputSink& sink, const std::string& name) const {
    if (!root_) return 0;
    // The trie is appended to what the output already holds; the whole output is then
    // replaced at once, so that a failed write never leaves half a trie behind.
    const std::optional<std::string> old = sink.contents(name);
    if (!old) return -1;
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << *old << "Trie:\n";
    writeLeaves(out, *root_);
    return sink.replace(name, out.view()) ? 0 : -1;
}

}  // namespace tessarin
