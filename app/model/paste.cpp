// Pasting a branch: it goes in as one more child, placed where a new child would go.
#include <memory>
#include <utility>
#include <vector>

#include "app/model/mind_map.h"
#include "app/model/wrap_int32.h"

namespace {
// Levels below top (0 for a leaf), walked without recursion.
int branchDepth(const Node& top) {
    int deepest = 0;
    std::vector<std::pair<const Node*, int>> pending{{&top, 0}};
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        if (depth > deepest) deepest = depth;
        for (const Node* child : node->children) pending.emplace_back(child, depth + 1);
    }
    return deepest;
}

// Moves every node of the branch by (dx, dy), so it keeps its shape.
void shiftBranch(Node& top, std::int64_t dx, std::int64_t dy) {
    std::vector<Node*> pending{&top};
    while (!pending.empty()) {
        Node* node = pending.back();
        pending.pop_back();
        node->x = wrapToInt32(node->x + dx);
        node->y = wrapToInt32(node->y + dy);
        pending.insert(pending.end(), node->children.begin(), node->children.end());
    }
}
}  // namespace

bool MindMap::pasteBranch(std::unique_ptr<Node> branch) {
    if (branch == nullptr) return false;
    Node* parent = selectedNode != nullptr ? selectedNode : root;
    // The deepest pasted node must stay above the deepest level a map may hold.
    if (static_cast<std::int64_t>(nodeDepth(parent)) + 1 + branchDepth(*branch) >= kMaxDepth) return false;
    const std::int64_t n = static_cast<std::int64_t>(parent->children.size());
    shiftBranch(*branch, std::int64_t{wrapToInt32(parent->x + kChildStepX * n)} - branch->x,
                std::int64_t{wrapToInt32(parent->y + std::int64_t{kChildStepY})} - branch->y);
    branch->parent = parent;
    parent->children.push_back(branch.get());
    selectedNode = branch.release();
    // Undo takes the whole branch away; redo puts the very same nodes back.
    recordInsertion(parent, parent->children.size() - 1, selectedNode);
    noteChange();
    return true;
}
