// Reading rules for hand-edited, damaged and hostile files.
#include <gtest/gtest.h>

#include <random>

#include "app/mapformat/map_file_format.h"
#include "app/model/mind_map.h"
#include "tests/mapformat/stream_reference_reader.h"
#include "tests/model/tree_check.h"
#include "unicode/utf.h"

namespace {
const std::string kBom = "\xEF\xBB\xBF";

std::string line(const std::string& indent, const std::string& text,
                 const std::string& numbers = "0 0 140 45 1 2 3 4 5 6 0") {
    return indent + "node: " + numbers + " \"" + text + "\"\n";
}

// Node captions of the tree as "text(child child ...)".
std::string shape(const Node* node) {
    std::string out = unicode::toUtf8(node->text);
    if (!node->children.empty()) {
        out += "(";
        for (std::size_t i = 0; i < node->children.size(); ++i) {
            if (i > 0) out += " ";
            out += shape(node->children[i]);
        }
        out += ")";
    }
    return out;
}

std::string shapeOf(const std::string& bytes) {
    std::unique_ptr<Node> root = readMapFile(bytes);
    return root ? shape(root.get()) : "<none>";
}
}  // namespace

TEST(MapFileReading, WithoutByteOrderMarkFromTheFirstByte) {
    EXPECT_EQ(shapeOf(line("", "r") + line("  ", "c")), "r(c)");
    EXPECT_EQ(shapeOf(kBom + line("", "r") + line("  ", "c")), "r(c)");
}

TEST(MapFileReading, TooShortOrEmptyFilesHoldNoNode) {
    EXPECT_EQ(shapeOf(""), "<none>");
    EXPECT_EQ(shapeOf("no"), "<none>");
    EXPECT_EQ(shapeOf(kBom), "<none>");
    EXPECT_EQ(shapeOf(kBom + "\n" + line("", "r")), "<none>");
}

TEST(MapFileReading, ChildIsAnyDeeperLineOfTheOpenSubtree) {
    const std::string bytes = line("", "r") + line(" ", "a") + line("   ", "a1") + line("       ", "a11") +
                              line("   ", "a2") + line("  ", "b") + line(" ", "c");
    EXPECT_EQ(shapeOf(bytes), "r(a(a1(a11) a2 b) c)");
}

TEST(MapFileReading, BlankLineOrSecondTopLevelNodeEndsTheTree) {
    EXPECT_EQ(shapeOf(line("", "r") + line("  ", "a") + "\n" + line("  ", "b")), "r(a)");
    EXPECT_EQ(shapeOf(line("", "r") + line("  ", "a") + line("", "second") + line("  ", "b")), "r(a)");
    EXPECT_EQ(shapeOf(line("  ", "r") + line(" ", "sibling") + line("   ", "a")), "r");
}

TEST(MapFileReading, MalformedLinesAreDroppedAndEndTheCurrentChildList) {
    // Below "a": the bad line ends a's list; the next line goes to r.
    EXPECT_EQ(shapeOf(line("", "r") + line("  ", "a") + line("    ", "a1") + "    garbage\n" +
                      line("      ", "x") + line("  ", "b")),
              "r(a(a1) x b)");
    // Directly below the root: the rest of the file is ignored.
    EXPECT_EQ(shapeOf(line("", "r") + line("  ", "a") + "  node: 1 2\n" + line("  ", "b")), "r(a)");
    EXPECT_EQ(shapeOf(line("", "r") + "\tnode: 0 0 0 0 0 0 0 0 0 0 0 \"t\"\n"), "r");
}

TEST(MapFileReading, NotANodeLine) {
    const std::string ten = "0 0 140 45 1 2 3 4 5 6";
    for (const std::string& bad :
         {"node: " + ten + " \"x\"", "node: " + ten + " 0 x\"", "node: " + ten + " a \"x\"",
          "node: " + ten + " 0", "node: " + ten + " 2147483648 \"x\"", "node: " + ten + " -2147483649 \"x\"",
          "nod: " + ten + " 0 \"x\"", "\tnode: " + ten + " 0 \"x\"", "node: " + ten + " - 0 \"x\""}) {
        EXPECT_EQ(shapeOf(bad + "\n"), "<none>") << bad;
    }
}

TEST(MapFileReading, NumbersAsFormattedStreamInputReadsThem) {
    std::unique_ptr<Node> root = readMapFile("node:+7-2\t140\v45 300 -1 256 0 0 0 5\"x\"\n");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->x, 7);
    EXPECT_EQ(root->y, -2);
    EXPECT_EQ(root->fillColor, 44u | 255u << 8 | 0u << 16);
    EXPECT_TRUE(root->collapsed);
    EXPECT_EQ(root->text, u"x");
    root = readMapFile("node: -2147483648 2147483647 000000000000000000000140 45 1 2 3 4 5 6 0 \"\"");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->x, -2147483647 - 1);
    EXPECT_EQ(root->y, 2147483647);
    EXPECT_EQ(root->width, 140);
}

TEST(MapFileReading, TextEscapesAndUnterminatedText) {
    auto textOf = [](const std::string& quoted) {
        std::unique_ptr<Node> root = readMapFile("node: 0 0 0 0 0 0 0 0 0 0 0 " + quoted + "\n");
        return root ? root->text : u"<none>";
    };
    EXPECT_EQ(textOf("\"a\\qb\\\"c\\\\d\\ne\""), u"aqb\"c\\d\ne");
    EXPECT_EQ(textOf("\"abc"), u"abc");
    EXPECT_EQ(textOf("\"abc\\"), u"abc");
    EXPECT_EQ(textOf("\"\""), u"");
    EXPECT_EQ(textOf("\"ab\"trailing \"junk"), u"ab");
    EXPECT_EQ(textOf("\"ab\"\r"), u"ab");
    EXPECT_EQ(textOf("\"a\rb\""), u"a\rb");
    EXPECT_EQ(textOf(std::string("\"a\0b\"", 5)), std::u16string(u"a\0b", 3));
}

TEST(MapFileReading, CarriageReturnLineEndsDoNoHarm) {
    EXPECT_EQ(shapeOf(kBom + "node: 0 0 1 1 0 0 0 0 0 0 0 \"r\"\r\n  node: 0 0 1 1 0 0 0 0 0 0 0 \"a\"\r\n"),
              "r(a)");
}

TEST(MapFileReading, LastLineWithoutLineFeedIsRead) {
    EXPECT_EQ(shapeOf(line("", "r") + "  node: 0 0 1 1 0 0 0 0 0 0 0 \"a\""), "r(a)");
}

TEST(MapFileReading, InvalidUtf8BecomesReplacementCharactersAndTheLineIsKept) {
    std::unique_ptr<Node> root = readMapFile("node: 0 0 0 0 0 0 0 0 0 0 0 \"a\xFF\xC3(b\xE4\xB8\"\n");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->text, u"a\xFFFD\xFFFD(b\xFFFD");
}

TEST(MapFileReading, LinesBeyondTheDepthLimitAreMalformed) {
    std::string bytes;
    for (int depth = 0; depth < kMaxDepth + 5; ++depth) bytes += line(std::string(depth, ' '), "d");
    bytes += line(" ", "after");
    std::unique_ptr<Node> root = readMapFile(bytes);
    ASSERT_NE(root, nullptr);
    int levels = 1;
    const Node* n = root.get();
    while (!n->children.empty()) {
        n = n->children.front();
        ++levels;
    }
    // The first too-deep line is dropped and ends the deepest list; the following deeper lines
    // go to the level above, one by one, and then the last line to the root.
    EXPECT_EQ(levels, kMaxDepth);
    EXPECT_EQ(root->children.back()->text, u"after");
    EXPECT_EQ(shapeOf(bytes), shape(root.get()));
}

TEST(MapFileReading, HugeNestingIsBoundedAndDoesNotExhaustTheStack) {
    std::string bytes;
    for (int depth = 0; depth < kMaxDepth + 1000; ++depth)
        bytes += std::string(depth, ' ') + "node:0 0 0 0 0 0 0 0 0 0 0\"\"\n";
    std::unique_ptr<Node> root = readMapFile(bytes);
    ASSERT_NE(root, nullptr);
    int maxDepth = 0;
    std::vector<std::pair<const Node*, int>> pending{{root.get(), 0}};
    while (!pending.empty()) {
        auto [n, d] = pending.back();
        pending.pop_back();
        maxDepth = std::max(maxDepth, d);
        for (const Node* c : n->children) pending.emplace_back(c, d + 1);
    }
    EXPECT_EQ(maxDepth, kMaxDepth - 1);
}

TEST(MapFileOpen, NoValidFirstLineGivesAFreshSelectedRoot) {
    MindMap map;
    map.addChildNode();
    map.undo();
    EXPECT_FALSE(map.loadFromBytes("hello\n"));
    EXPECT_EQ(map.root->text, u"中心主题");
    EXPECT_EQ(map.root->x, 800);
    EXPECT_EQ(map.root->y, 375);
    EXPECT_TRUE(map.root->children.empty());
    EXPECT_EQ(map.selectedNode, map.root);
    EXPECT_EQ(map.redoStack.size(), 1u);  // an open leaves the histories alone
}

namespace {
// Lines near the format, with the mistakes people and programs make.
std::string randomNearMapFile(std::mt19937& rng) {
    auto pick = [&rng](std::initializer_list<const char*> options) {
        return std::string(options.begin()[rng() % options.size()]);
    };
    std::string bytes = rng() % 4 != 0 ? "\xEF\xBB\xBF" : "";
    const int lines = static_cast<int>(rng() % 30);
    for (int i = 0; i < lines; ++i) {
        if (rng() % 25 == 0) {
            bytes += pick({"\n", "garbage\n", "\r\n", "  \n", "node:\n"});
            continue;
        }
        bytes += std::string(rng() % 9, ' ');
        if (rng() % 20 == 0) bytes += pick({"\t", "x", "\xC2\xA0"});
        bytes += pick({"node: ", "node:", "node:  ", "node:\t", "Node: ", "node"});
        const int numbers = rng() % 15 == 0 ? static_cast<int>(rng() % 13) : 11;
        for (int k = 0; k < numbers; ++k) {
            bytes += rng() % 12 == 0
                         ? pick({"+5", "-0", "99999999999", "2147483647", "-2147483648", "2147483648", "x",
                                 "1-2", "0x10", "007", "-", "+", "1.5", "300", "-1"})
                         : std::to_string(rng() % 1000);
            bytes += rng() % 15 == 0 ? pick({"", "\t", "  ", "\v"}) : " ";
        }
        bytes += rng() % 15 == 0 ? pick({"", "'", "x\"", " \""}) : "\"";
        const int textLength = static_cast<int>(rng() % 8);
        for (int k = 0; k < textLength; ++k) {
            bytes += pick({"a", "\\", "\\n", "\\\"", "\"", "\r", "\xE4\xB8\xAD", "\xFF", "\xC3", " ", "\t"});
        }
        bytes += rng() % 10 == 0 ? pick({"", "\\", " tail", "\r"}) : "\"";
        if (i + 1 < lines || rng() % 3 != 0) bytes += "\n";
    }
    return bytes;
}

std::string referenceShape(const ReferenceNode* node) {
    std::string out;
    for (int v : node->numbers) out += std::to_string(v) + ",";
    out += unicode::toUtf8(unicode::fromUtf8(node->text));
    if (!node->children.empty()) {
        out += "(";
        for (const auto& c : node->children) out += referenceShape(c.get()) + " ";
        out += ")";
    }
    return out;
}

std::string fullShape(const Node* node) {
    std::string out;
    for (std::int64_t v : {std::int64_t{node->x}, std::int64_t{node->y}, std::int64_t{node->width},
                           std::int64_t{node->height}}) {
        out += std::to_string(v) + ",";
    }
    for (Colour c : {node->fillColor, node->textColor}) {
        for (int shift : {0, 8, 16}) out += std::to_string((c >> shift) & 0xFF) + ",";
    }
    out += std::to_string(node->collapsed ? 1 : 0) + ",";
    out += unicode::toUtf8(node->text);
    if (!node->children.empty()) {
        out += "(";
        for (const Node* c : node->children) out += fullShape(c) + " ";
        out += ")";
    }
    return out;
}

// The reference keeps raw numbers; reduce them as the reader does (colours to 8 bits,
// collapsed to 0 or 1).
void reduceReference(ReferenceNode* node) {
    for (int i = 4; i < 10; ++i) node->numbers[i] &= 0xFF;
    node->numbers[10] = node->numbers[10] != 0 ? 1 : 0;
    for (auto& c : node->children) reduceReference(c.get());
}
}  // namespace

TEST(MapFileReading, SameTreeAsReadingTheStreamLineByLine) {
    std::mt19937 rng(12345);
    int nonTrivial = 0;
    for (int round = 0; round < 20000; ++round) {
        const std::string bytes = randomNearMapFile(rng);
        std::unique_ptr<ReferenceNode> expected = referenceReadMap(bytes);
        std::unique_ptr<Node> actual = readMapFile(bytes);
        ASSERT_EQ(expected == nullptr, actual == nullptr) << bytes;
        if (!expected) continue;
        reduceReference(expected.get());
        ASSERT_EQ(fullShape(actual.get()), referenceShape(expected.get())) << bytes;
        if (!actual->children.empty()) ++nonTrivial;
    }
    EXPECT_GT(nonTrivial, 500);  // the generator does produce real trees
}
