// The history's frozen copies: entries share every subtree that did not change, no change is
// ever missed, restoring keeps the nodes that are still as recorded, and every walk survives
// any depth.
#include "app/model/frozen_node.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/model/mind_map.h"
#include "tests/model/tree_check.h"

namespace {
// Three main topics with a few levels below each; every caption different.
void buildBranches(MindMap& map) {
    int n = 0;
    for (int topic = 0; topic < 3; ++topic) {
        Node* t = addChildOf(map, map.root);
        t->text = u"topic " + std::u16string(1, static_cast<char16_t>(u'0' + topic));
        for (int point = 0; point < 3; ++point) {
            Node* p = addChildOf(map, t);
            p->text = u"point " + std::u16string(1, static_cast<char16_t>(u'a' + n++));
            addChildOf(map, p)->text = u"detail " + std::u16string(1, static_cast<char16_t>(u'a' + n++));
        }
    }
    map.undoStack.clear();
    map.selectedNode = map.root;
}

// Every distinct frozen node reachable from the lists.
std::set<const FrozenNode*> reachable(const std::vector<const FrozenChildren*>& lists) {
    std::set<const FrozenNode*> seen;
    std::vector<const FrozenNode*> pending;
    for (const FrozenChildren* list : lists) {
        for (const auto& f : *list) pending.push_back(f.get());
    }
    while (!pending.empty()) {
        const FrozenNode* f = pending.back();
        pending.pop_back();
        if (!seen.insert(f).second) continue;
        for (const auto& c : f->children) pending.push_back(c.get());
    }
    return seen;
}

void recordAtRoot(MindMap& map) {
    map.selectedNode = map.root;
    map.addChildNode();
}

// The tree's dump with every node's identity.
std::string withIds(const Node* root) {
    std::string ids;
    std::vector<const Node*> pending{root};
    while (!pending.empty()) {
        const Node* node = pending.back();
        pending.pop_back();
        ids += std::to_string(node->id) + ' ';
        pending.insert(pending.end(), node->children.rbegin(), node->children.rend());
    }
    return dumpTree(root) + ids;
}

Node* grandchild(MindMap& map) {
    return map.root->children[1]->children[2]->children[0];
}
}  // namespace

TEST(HistorySharing, SuccessiveRecordingsAtTheRootShareEverySubtreeThatStayed) {
    MindMap map;
    buildBranches(map);
    recordAtRoot(map);
    const std::size_t first = reachable({&map.undoStack[0].children}).size();
    EXPECT_EQ(first,
              static_cast<std::size_t>(checkLinks(map.root) - 2));  // all but the root and the new child
    recordAtRoot(map);
    const FrozenChildren& a = map.undoStack[0].children;
    const FrozenChildren& b = map.undoStack[1].children;
    ASSERT_EQ(a.size() + 1, b.size());
    for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i], b[i]) << i;
    // The second recording made a frozen node for the one node the first add put in, no more.
    EXPECT_EQ(reachable({&a, &b}).size(), first + 1);
}

TEST(HistorySharing, AChangeDeepDownCopiesOnlyItsPathAndSharesTheSiblings) {
    MindMap map;
    buildBranches(map);
    recordAtRoot(map);
    grandchild(map)->text = u"renamed";
    recordAtRoot(map);
    const FrozenChildren& a = map.undoStack[0].children;
    const FrozenChildren& b = map.undoStack[1].children;
    EXPECT_EQ(a[0], b[0]);
    EXPECT_EQ(a[2], b[2]);
    ASSERT_NE(a[1], b[1]);
    EXPECT_EQ(a[1]->children[0], b[1]->children[0]);
    EXPECT_EQ(a[1]->children[1], b[1]->children[1]);
    EXPECT_NE(a[1]->children[2], b[1]->children[2]);
    EXPECT_EQ(b[1]->children[2]->children[0]->text, u"renamed");
    // The path (topic, point, detail) and the node the first add put in.
    const std::size_t first = reachable({&a}).size();
    EXPECT_EQ(reachable({&a, &b}).size(), first + 4);
}

// Each unrecorded write to a deep node, of any field or of the order of its children, between
// two recordings: the second recording holds it, and undo goes back to each in turn.
TEST(HistorySharing, NoWriteBetweenTwoRecordingsIsMissed) {
    const std::vector<std::pair<const char*, std::function<void(Node&)>>> writes = {
        {"text", [](Node& n) { n.text = u"renamed"; }},
        {"text of equal length", [](Node& n) { n.text.back() = u'!'; }},
        {"x", [](Node& n) { n.x += 1; }},
        {"y", [](Node& n) { n.y -= 1; }},
        {"width", [](Node& n) { n.width = 7; }},
        {"height", [](Node& n) { n.height = 9; }},
        {"fill", [](Node& n) { n.fillColor = 0x123456; }},
        {"text colour", [](Node& n) { n.textColor = 0x654321; }},
        {"collapsed", [](Node& n) { n.collapsed = !n.collapsed; }},
        {"identity", [](Node& n) { n.id = Node(u"", 0, 0).id; }},
        {"order of its parent and the parent's siblings",
         [](Node& n) {
             std::vector<Node*>& list = n.parent->parent->children;
             std::swap(list.front(), list.back());
         }},
        {"a child put in",
         [](Node& n) {
             n.children.push_back(new Node(u"extra", 0, 0));
             n.children.back()->parent = &n;
         }},
        {"itself taken away",
         [](Node& n) {
             n.parent->children.pop_back();
             delete &n;
         }},
    };
    for (bool afterUndo : {false, true}) {
        for (const auto& [name, write] : writes) {
            MindMap map;
            buildBranches(map);
            if (afterUndo) {
                // The map's nodes are then the ones a restore kept or built.
                recordAtRoot(map);
                map.undo();
                map.selectedNode = map.root;
            }
            const std::string before = withIds(map.root);
            recordAtRoot(map);
            write(*grandchild(map));
            const std::string written = withIds(map.root);
            ASSERT_NE(written, before) << name;
            const std::string where = std::string(name) + (afterUndo ? " after an undo" : "");
            recordAtRoot(map);
            map.undo();
            EXPECT_EQ(withIds(map.root), written) << where;
            map.undo();
            EXPECT_EQ(withIds(map.root), before) << where;
            map.redo();
            EXPECT_EQ(withIds(map.root), written) << where;
            EXPECT_GT(checkLinks(map.root), 0) << where;
        }
    }
}

TEST(HistorySharing, UndoKeepsTheNodesThatAreAsRecordedAndRebuildsTheRest) {
    MindMap map;
    buildBranches(map);
    const std::vector<Node*> topics = map.root->children;
    Node* edited = topics[2]->children[0];
    const std::u16string caption = edited->text;
    recordAtRoot(map);
    const std::uint64_t addedId = map.selectedNode->id;
    edited->text = u"edited since";
    map.undo();
    ASSERT_EQ(map.root->children.size(), 3u);
    EXPECT_EQ(map.root->children[0], topics[0]);
    EXPECT_EQ(map.root->children[1], topics[1]);
    // The edited node's own object is kept and given its recorded caption back.
    EXPECT_EQ(map.root->children[2], topics[2]);
    EXPECT_EQ(topics[2]->children[0], edited);
    EXPECT_EQ(edited->text, caption);
    map.redo();
    ASSERT_EQ(map.root->children.size(), 4u);
    EXPECT_EQ(map.root->children[0], topics[0]);
    EXPECT_EQ(map.root->children[3]->id, addedId);  // built anew with its identity
    EXPECT_EQ(edited->text, u"edited since");
    EXPECT_EQ(checkLinks(map.root), 23);

    // Children found in another order are still kept.
    std::swap(map.root->children[0], map.root->children[3]);
    map.undo();
    EXPECT_EQ(map.root->children, topics);
}

// A node a restore kept or built remembers the copy it matches, so recording again right away
// copies nothing.
TEST(HistorySharing, RecordingRightAfterAnUndoReusesWhatTheUndoRestored) {
    MindMap map;
    buildBranches(map);
    recordAtRoot(map);
    recordAtRoot(map);
    const FrozenChildren kept = map.undoStack[1].children;
    map.undo();
    recordAtRoot(map);
    EXPECT_EQ(map.undoStack[1].children, kept);

    // A topic gone without the history's knowledge is built anew from its copy.
    map.undoStack.clear();
    recordAtRoot(map);
    const FrozenChildren rebuilt = map.undoStack[0].children;
    delete map.root->children[0];
    map.root->children.erase(map.root->children.begin());
    map.undo();
    recordAtRoot(map);
    EXPECT_EQ(map.undoStack[0].children, rebuilt);
}

TEST(HistorySharing, DeleteAndItsUndoMoveTheSubtreeItselfAndKeepItsCopies) {
    MindMap map;
    buildBranches(map);
    recordAtRoot(map);
    Node* doomed = map.root->children[1];
    map.selectedNode = doomed;
    map.deleteSelectedNode();
    map.undo();
    EXPECT_EQ(map.root->children[1], doomed);
    EXPECT_EQ(doomed->frozen, map.undoStack[0].children[1]);  // still matches: shared on
    map.selectedNode = map.root;
    map.addChildNode();
    EXPECT_EQ(map.undoStack[1].children[1], map.undoStack[0].children[1]);
}

TEST(FrozenDestruction, AChainFarDeeperThanAnyMapIsFreedWithoutRecursion) {
    std::shared_ptr<const FrozenNode> head;
    std::shared_ptr<const FrozenNode> middle;
    constexpr int kLength = 1000000;
    for (int i = 0; i < kLength; ++i) {
        auto node = std::make_shared<FrozenNode>();
        node->id = static_cast<std::uint64_t>(i);
        if (head != nullptr) node->children.push_back(std::move(head));
        head = std::move(node);
        if (i == kLength / 2) middle = head;
    }
    head.reset();
    // What someone else still holds is left whole.
    int length = 0;
    for (const FrozenNode* f = middle.get(); f != nullptr;
         f = f->children.empty() ? nullptr : f->children[0].get())
        ++length;
    EXPECT_EQ(length, kLength / 2 + 1);
}

namespace {
// A chain far deeper than kMaxDepth, so any walk that recursed would run out of stack.
constexpr int kDeepChain = 300000;

Node* chainTip(Node* node) {
    while (!node->children.empty()) node = node->children[0];
    return node;
}

void growChain(Node& top, int length) {
    Node* tip = &top;
    for (int i = 0; i < length; ++i) {
        Node* next = new Node(u"", i, -i);
        next->parent = tip;
        tip->children.push_back(next);
        tip = next;
    }
}
}  // namespace

TEST(FrozenWalks, FreezeAndRestoreAChainFarDeeperThanAnyMap) {
    Node top(u"top", 0, 0);
    growChain(top, kDeepChain);
    const FrozenChildren frozen = freezeChildren(top);
    chainTip(&top)->text = u"changed at the tip";

    // Restoring into the same nodes: every level is kept and the tip gets its caption back.
    const FrozenChildren present = replaceChildren(top, frozen);
    EXPECT_EQ(chainTip(&top)->text, u"");
    EXPECT_NE(present[0], frozen[0]);

    // Restoring into an empty node builds the chain anew, identities and all.
    Node other(u"other", 0, 0);
    replaceChildren(other, present);
    const Node* a = &top;
    const Node* b = &other;
    int depth = 0;
    for (; !a->children.empty() && !b->children.empty(); ++depth) {
        a = a->children[0];
        b = b->children[0];
        ASSERT_EQ(a->id, b->id) << depth;
        ASSERT_EQ(b->x, depth) << depth;
        ASSERT_EQ(b->parent->children[0], b);
    }
    EXPECT_EQ(depth, kDeepChain);
    EXPECT_TRUE(a->children.empty() && b->children.empty());
    EXPECT_EQ(b->text, u"changed at the tip");
}

TEST(FrozenWalks, RecordingAndUndoAtTheRootOfAChainAtTheDeepestLevel) {
    MindMap map;
    for (int i = 0; i < kMaxDepth; ++i) map.addChildNode();
    Node* tip = map.selectedNode;
    ASSERT_EQ(nodeDepth(tip), kMaxDepth - 1);
    tip->text = u"tip";
    recordAtRoot(map);
    tip->text = u"renamed tip";
    recordAtRoot(map);
    map.undo();
    map.undo();
    EXPECT_EQ(map.root->children.size(), 1u);
    EXPECT_EQ(chainTip(map.root)->text, u"tip");
    EXPECT_EQ(chainTip(map.root), tip);  // every level kept, the tip given its caption back
    map.redo();
    EXPECT_EQ(chainTip(map.root)->text, u"renamed tip");
    map.undoStack.clear();
    map.redoStack.clear();
    map.selectedNode = map.root;
    map.addChildNode();
    map.undo();
    EXPECT_EQ(nodeDepth(chainTip(map.root)), kMaxDepth - 1);
}
