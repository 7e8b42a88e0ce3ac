#include "bench/idle/idle_map.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/model/mind_map.h"

namespace {

// The same map on every run and system: a fixed linear congruential sequence.
class Sequence {
  public:
    std::uint32_t next(std::uint32_t bound) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state >> 33) % bound;
    }

  private:
    std::uint64_t state = 0x1D1E;
};

constexpr std::array<const char16_t*, 12> kTopics = {u"计划", u"预算",   u"会议",  u"设计",
                                                     u"测试", u"发布",   u"客户",  u"文档",
                                                     u"招聘", u"Review", u"Ideas", u"Notes"};
constexpr std::array<const char16_t*, 8> kDetails = {u"草稿",  u"第二轮",    u"待定", u"已完成",
                                                     u"draft", u"next week", u"问题", u"总结"};

std::u16string numberText(int value) {
    std::u16string text;
    const std::string digits = std::to_string(value);
    for (char c : digits) text.push_back(static_cast<char16_t>(c));
    return text;
}

}  // namespace

bool reachesLane(int x, int y, int width, int height) {
    return x < kLaneRight && x + width > kLaneLeft && y < kLaneBottom && y + height > kLaneTop;
}

bool writeIdleBenchMap(int nodeCount, const std::string& path, IdleMapKind kind) {
    MindMap map;
    Sequence random;
    std::vector<Node*> nodes{map.root};
    for (int i = 1; i < nodeCount - 1; ++i) {
        // Mostly under a recent node, sometimes under an old one: deep branches and wide ones.
        const auto recent = static_cast<std::uint32_t>(std::min<std::size_t>(nodes.size(), 40));
        Node* parent = random.next(4) == 0 ? nodes[random.next(static_cast<std::uint32_t>(nodes.size()))]
                                           : nodes[nodes.size() - 1 - random.next(recent)];
        std::u16string caption = kTopics[random.next(kTopics.size())];
        caption += u" ";
        caption += numberText(i);
        if (random.next(3) == 0) {
            caption += u" ";
            caption += kDetails[random.next(kDetails.size())];
        }
        // Right of the panel: over the whole canvas and up to a window's width beyond it, or
        // within the canvas above the status bar.
        const bool spread = kind == IdleMapKind::Spread;
        const auto width = static_cast<std::int32_t>(120 + random.next(100));
        std::int32_t x = 0;
        std::int32_t y = 0;
        do {
            x = static_cast<std::int32_t>(240 + random.next(spread ? 2400 : 1130 - width));
            y = static_cast<std::int32_t>(random.next(spread ? 1500 : 640));
        } while (reachesLane(x, y, width, 45));
        Node* node = new Node(caption, x, y);
        node->width = width;
        node->parent = parent;
        parent->children.push_back(node);
        nodes.push_back(node);
    }
    if (nodeCount > 1) {
        Node* laneNode = new Node(u"拖动 lane", kLaneNodeX, kLaneNodeY);
        laneNode->width = kLaneNodeWidth;
        laneNode->parent = map.root;
        map.root->children.push_back(laneNode);
    }
    std::u16string widePath;
    for (char c : path) widePath.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return map.saveToFile(widePath);
}
