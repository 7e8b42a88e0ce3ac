// The file as written: byte for byte, and read back to the same tree.
#include "app/mapformat/map_file_format.h"

#include <gtest/gtest.h>

#include <random>

#include "app/model/mind_map.h"
#include "tests/model/tree_check.h"

namespace {
std::string fromHex(const char* hex) {
    std::string bytes;
    unsigned value = 0;
    int digits = 0;
    for (const char* p = hex; *p != '\0'; ++p) {
        const char c = *p;
        int d = -1;
        if (c >= '0' && c <= '9') d = c - '0';
        if (c >= 'a' && c <= 'f') d = c - 'a' + 10;
        if (d < 0) continue;
        value = value * 16 + static_cast<unsigned>(d);
        if (++digits == 2) {
            bytes.push_back(static_cast<char>(value));
            value = 0;
            digits = 0;
        }
    }
    return bytes;
}

// The example map: the root, "新节点" in light green and a node with awkward text.
void buildExample(MindMap& map) {
    map.addChildNode();
    map.setNodeFillColor(0xB4DCB4);
    map.selectedNode = map.root;
    map.addChildNode();
    map.setNodeFillColor(0xDCB4B4);
    map.setNodeTextColor(0xFFFFFF);
    map.selectedNode->x = 960;
    map.selectedNode->text = u"a\"b\\c\nd";
}

const char* const kExampleHex =
    "ef bb bf 6e 6f 64 65 3a 20 38 30 30 20 33 37 35"
    "20 31 34 30 20 34 35 20 32 32 30 20 32 32 30 20"
    "32 32 30 20 30 20 30 20 30 20 30 20 22 e4 b8 ad"
    "e5 bf 83 e4 b8 bb e9 a2 98 22 0a 20 20 6e 6f 64"
    "65 3a 20 38 30 30 20 34 37 35 20 31 34 30 20 34"
    "35 20 31 38 30 20 32 32 30 20 31 38 30 20 30 20"
    "30 20 30 20 30 20 22 e6 96 b0 e8 8a 82 e7 82 b9"
    "22 0a 20 20 6e 6f 64 65 3a 20 39 36 30 20 34 37"
    "35 20 31 34 30 20 34 35 20 31 38 30 20 31 38 30"
    "20 32 32 30 20 32 35 35 20 32 35 35 20 32 35 35"
    "20 30 20 22 61 5c 22 62 5c 5c 63 5c 6e 64 22 0a";
}  // namespace

TEST(MapFileWriting, WorkedExampleIsByteExact) {
    MindMap map;
    buildExample(map);
    const std::string bytes = map.saveToBytes();
    EXPECT_EQ(bytes.size(), 176u);
    EXPECT_EQ(bytes, fromHex(kExampleHex));
}

TEST(MapFileReading, WorkedExampleGivesTheSameTreeWithRootSelected) {
    MindMap original;
    buildExample(original);
    MindMap map;
    map.addChildNode();
    ASSERT_TRUE(map.loadFromBytes(fromHex(kExampleHex)));
    EXPECT_EQ(dumpTree(map.root), dumpTree(original.root));
    EXPECT_EQ(map.selectedNode, map.root);
    EXPECT_EQ(checkLinks(map.root), 3);
    EXPECT_EQ(map.root->parent, nullptr);
}

TEST(MapFileWriting, NumbersAndFlagsAsPlainDecimal) {
    Node node(u"", -2147483647 - 1, 2147483647);
    node.width = -5;
    node.height = 0;
    node.fillColor = 0xFF123456;  // the unused top byte is not written
    node.collapsed = true;
    EXPECT_EQ(writeMapFile(node), "\xEF\xBB\xBFnode: -2147483648 2147483647 -5 0 86 52 18 0 0 0 1 \"\"\n");
}

TEST(MapFileWriting, OnlyLineFeedQuoteAndBackslashAreEscaped) {
    Node node(u"\r\t\x01\"\\\n", 0, 0);
    EXPECT_EQ(writeMapFile(node),
              std::string("\xEF\xBB\xBFnode: 0 0 140 45 220 220 220 0 0 0 0 \"\r\t\x01\\\"\\\\\\n\"\n"));
}

TEST(MapFileWriting, PreOrderWithTwoSpacesPerLevelAndCollapsedSubtreesIncluded) {
    MindMap map;
    map.addChildNode();
    map.addChildNode();
    map.selectedNode = map.root;
    map.addChildNode();
    map.root->children[0]->collapsed = true;
    const std::string bytes = map.saveToBytes();
    const std::string expected =
        "\xEF\xBB\xBF"
        "node: 800 375 140 45 220 220 220 0 0 0 0 \"中心主题\"\n"
        "  node: 800 475 140 45 220 220 220 0 0 0 1 \"新节点\"\n"
        "    node: 800 575 140 45 220 220 220 0 0 0 0 \"新节点\"\n"
        "  node: 880 475 140 45 220 220 220 0 0 0 0 \"新节点\"\n";
    EXPECT_EQ(bytes, expected);
}

TEST(MapFileWriting, CharactersOutsideTheBasicPlaneAreFourBytes) {
    Node node(u"\U0001F600", 0, 0);
    EXPECT_NE(writeMapFile(node).find("\"\xF0\x9F\x98\x80\""), std::string::npos);
}

namespace {
std::u16string randomText(std::mt19937& rng) {
    static const char16_t kPool[] = u"ab \"\\\n\r\t\x01中心\xFFFD\xD83D\xDE00";
    std::u16string text;
    const int length = static_cast<int>(rng() % 12);
    for (int i = 0; i < length; ++i) text.push_back(kPool[rng() % (sizeof kPool / sizeof kPool[0] - 1)]);
    // Keep surrogates paired: a lone one is written as U+FFFD and would not come back.
    std::u16string paired;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == 0xD83D || text[i] == 0xDE00) {
            paired += u"\xD83D\xDE00";
        } else {
            paired.push_back(text[i]);
        }
    }
    return paired;
}
}  // namespace

TEST(MapFileRoundTrip, RandomTreesComeBackFieldForField) {
    for (unsigned seed = 1; seed <= 50; ++seed) {
        std::mt19937 rng(seed);
        MindMap map;
        std::vector<Node*> nodes{map.root};
        const int count = static_cast<int>(rng() % 200);
        for (int i = 0; i < count; ++i) {
            Node* parent = nodes[rng() % nodes.size()];
            if (nodeDepth(parent) + 1 >= kMaxDepth) continue;
            Node* child =
                new Node(randomText(rng), static_cast<std::int32_t>(rng()), static_cast<std::int32_t>(rng()));
            child->width = static_cast<std::int32_t>(rng());
            child->height = static_cast<std::int32_t>(rng() % 300) - 100;
            child->fillColor = rng() & 0xFFFFFF;
            child->textColor = rng() & 0xFFFFFF;
            child->collapsed = rng() % 2 == 0;
            child->parent = parent;
            parent->children.push_back(child);
            nodes.push_back(child);
        }
        map.root->text = randomText(rng);
        const std::string bytes = map.saveToBytes();
        MindMap loaded;
        ASSERT_TRUE(loaded.loadFromBytes(bytes));
        ASSERT_EQ(dumpTree(loaded.root), dumpTree(map.root)) << "seed " << seed;
        ASSERT_EQ(loaded.saveToBytes(), bytes);
    }
}

TEST(MapFileRoundTrip, LoneSurrogateIsSavedAsReplacementCharacter) {
    MindMap map;
    map.root->text = u"a\xD800z\xDC00";
    MindMap loaded;
    ASSERT_TRUE(loaded.loadFromBytes(map.saveToBytes()));
    EXPECT_EQ(loaded.root->text, u"a\xFFFDz\xFFFD");
}
