#include "bench/render/bench_map.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "app/model/scene_layout.h"

namespace {

// A small deterministic generator: the same map in every run.
class Lcg {
  public:
    std::uint32_t next(std::uint32_t bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    }

  private:
    std::uint32_t state = 12345u;
};

}  // namespace

std::unique_ptr<MindMap> buildBenchMap(int nodeCount) {
    auto map = std::make_unique<MindMap>();
    std::vector<Node*> nodes{map->root};
    Lcg random;
    while (static_cast<int>(nodes.size()) < nodeCount) {
        Node* parent = nodes[random.next(static_cast<std::uint32_t>(nodes.size()))];
        map->selectNodeAt(parent->x + 2, parent->y + 40);
        if (map->selectedNode != parent) map->selectedNode = parent;  // covered by a later box
        map->addChildNode();
        Node* child = map->selectedNode;
        // Somewhere on the canvas, 10 pixels clear of the panel and the top, not under the
        // status bar (the 20 rows at the bottom).
        const int left = kPanelWidth + 10;
        const int bottom = kWindowHeight - 20;
        const int x =
            left + static_cast<int>(random.next(static_cast<std::uint32_t>(kWindowWidth - left - 150)));
        const int y = 10 + static_cast<int>(random.next(static_cast<std::uint32_t>(bottom - 10 - 50)));
        map->startDrag(child->x, child->y);
        map->dragTo(x, y);
        map->endDrag();
        nodes.push_back(child);
    }
    map->selectNodeAt(nodes.back()->x + 1, nodes.back()->y + 1);
    return map;
}

namespace {

// Common characters of everyday captions.
constexpr std::u16string_view kHanzi =
    u"的一是在不了有和人这中大为上个国我以要他时来用们生到作地于出就分对成会可也你能而子那得"
    u"下自之年过发后学同现方当没动起看定天还进样理心都事好本想意么明问力只做主实家已点从所新"
    u"计划项目会议报告市场产品设计开发测试用户需求预算团队目标风险客户数据分析总结资料阅读旅行"
    u"购物健身读书学习工作生活周末假期预约电影音乐朋友家庭孩子老师课程考试复习笔记整理安排";
constexpr std::u16string_view kLatinWords[] = {
    u"plan",   u"review", u"budget", u"Q3",   u"launch", u"notes", u"API",     u"draft", u"team",
    u"ideas",  u"sprint", u"goals",  u"risk", u"design", u"test",  u"email",   u"call",  u"data",
    u"report", u"travel", u"books",  u"gym",  u"UI",     u"v2",    u"meeting", u"todo",  u"research"};

std::u16string latinCaption(Lcg& random, std::size_t length) {
    std::u16string text;
    while (text.size() < length) {
        if (!text.empty()) text.push_back(u' ');
        text.append(kLatinWords[random.next(std::size(kLatinWords))]);
    }
    text.resize(length);
    if (text.back() == u' ') text.back() = u'x';
    return text;
}

std::u16string hanziCaption(Lcg& random, std::size_t length) {
    std::u16string text;
    for (std::size_t i = 0; i < length; ++i)
        text.push_back(kHanzi[random.next(static_cast<std::uint32_t>(kHanzi.size()))]);
    return text;
}

std::u16string mixedCaption(Lcg& random, std::size_t length) {
    const std::size_t latin = 1 + random.next(static_cast<std::uint32_t>(length - 1));
    std::u16string text = hanziCaption(random, length - latin);
    const std::u16string tail = latinCaption(random, latin);
    return random.next(2) ? text + tail : tail + text;
}

// A caption no other node has.
std::u16string distinctCaption(Lcg& random, std::set<std::u16string>& used) {
    for (;;) {
        const std::size_t length = 2 + random.next(19);
        std::u16string text;
        switch (random.next(5)) {
            case 0:
            case 1:
                text = hanziCaption(random, length);
                break;
            case 2:
                text = latinCaption(random, length);
                break;
            default:
                text = mixedCaption(random, length);
                break;
        }
        if (used.insert(text).second) return text;
    }
}

}  // namespace

std::unique_ptr<MindMap> buildRealisticMap(int nodeCount) {
    auto map = std::make_unique<MindMap>();
    std::vector<Node*> nodes{map->root};
    std::vector<std::size_t> parentOf{0};
    std::set<std::u16string> used{map->root->text};
    Lcg random;
    // A fifth of the window's size beyond each edge, so about half the nodes are on screen.
    const int marginX = kWindowWidth / 5, marginY = kWindowHeight / 5;
    const int left = kPanelWidth - marginX, top = -marginY;
    const int spanX = kWindowWidth + marginX - left, spanY = kWindowHeight + marginY - top;
    static constexpr Colour kFills[] = {0xDCDCDC, 0xDCDCDC, 0xDCDCDC, 0xB4DCB4, 0xDCB4B4};
    while (static_cast<int>(nodes.size()) < nodeCount) {
        // Recent nodes are likelier parents: branches grow deeper than a uniform pick would.
        const std::uint32_t count = static_cast<std::uint32_t>(nodes.size());
        const std::uint32_t recent = std::min<std::uint32_t>(count, 64);
        const std::size_t parentIndex = random.next(3) ? count - 1 - random.next(recent) : random.next(count);
        Node* parent = nodes[parentIndex];
        const int x = left + static_cast<int>(random.next(static_cast<std::uint32_t>(spanX)));
        const int y = top + static_cast<int>(random.next(static_cast<std::uint32_t>(spanY)));
        Node* child = new Node(distinctCaption(random, used), x, y);
        child->parent = parent;
        child->fillColor = kFills[random.next(std::size(kFills))];
        if (random.next(10) == 0) child->textColor = 0xFFFFFF;
        parent->children.push_back(child);
        map->updateNodeWidth(child);
        nodes.push_back(child);
        parentOf.push_back(parentIndex);
    }
    // Some small subtrees folded away, as people fold what they are not working on; about a
    // tenth of the nodes end up hidden. Parents come before their children in `nodes`.
    std::vector<int> subtree(nodes.size(), 1);
    for (std::size_t i = nodes.size() - 1; i > 0; --i) {
        Node* n = nodes[i];
        if (!n->children.empty() && subtree[i] <= 12 && random.next(4) == 0) n->collapsed = true;
        subtree[parentOf[i]] += subtree[i];
    }
    map->selectedNode = map->root;
    return map;
}
