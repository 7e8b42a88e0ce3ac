// The Markdown export read by other programs: the reference CommonMark parser (cmark) and
// Python-Markdown must each see exactly the map's tree of captions, as nested list items.
// Both run as programs (tests/outline/markdown_list_tree.py turns their HTML into a tree), so
// a parser missing from the system fails these tests: scripts/deps.sh installs them.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "app/outline/outline_export.h"
#include "tests/outline/import_trees.h"
#include "unicode/utf.h"

namespace fs = std::filesystem;

namespace {
// Captions made to be read as markup of every kind, or to be trimmed, expanded or dropped.
const std::u16string kMarkupCaptions[] = {
    u"*emphasis* and __strong__ _under_ **star**",
    u"`code` and ``two ticks``",
    u"[link](http://example.com) [ref] [x]: http://example.com",
    u"![image](a.png) !bang",
    u"<http://auto.link> and <b>bold</b> </i>",
    u"<div>block html</div>",
    u"<!-- comment --> <?php x ?> <![CDATA[y]]>",
    u"&amp; &copy; &#65; &#x41; & alone &",
    u"# heading",
    u"###### six",
    u"#hashtag",
    u"= underline",
    u"===",
    u"---",
    u"- - -",
    u"***",
    u"___",
    u"-",
    u"- dash item",
    u"+ plus item",
    u"* star item",
    u"1. one",
    u"1) one",
    u"2024. a year",
    u"1.5 times",
    u"-1 and +1 and #1",
    u"> quote",
    u">",
    u"\\",
    u"ends with a backslash\\",
    u"\\* escaped already \\_ \\\\",
    u"C:\\path\\new\\table",
    u"~~strike~~ and ~/home",
    u"| table | row |",
    u"```",
    u"~~~ fence",
    u"    indented code",
    u"\tleading tab",
    u"trailing spaces  ",
    u"  both ends  ",
    u" ",
    u"inner  spaces   kept",
    u"tab\tinside",
    u"carriage\rreturn",
    u"a_b_c snake_case_name",
    u"2 * 3 = 6",
    u"{curly} (paren) \"quotes\" 'single' 100%",
    u"[ ] task",
    u"<br> and &#32; written out",
    u"中文 and \U0001F600",
    u"a\\\nb",
};

const std::u16string kBrokenCaptions[] = {
    u"line one\nline two",
    u"\nleading break",
    u"trailing break\n",
    u"two\n\nbreaks",
    u"\n",
    u"\n\n",
    u"  spaced \n  lines  ",
    u"- item\n# heading\n===\n1. one\n> quote",
};

// Runs the parser on the file; its tree, one "depth<TAB>caption" line per item. A parser that
// cannot run yields the empty tree, which no map matches.
std::string parsedTree(const char* parser, const fs::path& file) {
    const std::string python = fs::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3";
    const std::string command =
        python + " '" + MM_MARKDOWN_LIST_TREE + "' " + parser + " '" + file.string() + "' 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
    if (pipe == nullptr) return "cannot run " + command;
    std::string out;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe.get())) out.append(buffer, n);
    const int status = pclose(pipe.release());
    if (status != 0) return parser + std::string(" failed (") + std::to_string(status) + "): " + out;
    return out;
}

// The same lines for the map, as the script escapes captions.
std::string expectedTree(const Node& root) {
    std::string out;
    std::vector<std::pair<const Node*, int>> pending{{&root, 0}};
    while (!pending.empty()) {
        const auto [node, depth] = pending.back();
        pending.pop_back();
        out += std::to_string(depth) + "\t";
        for (const char c : unicode::toUtf8(node->text)) {
            if (c == '\\') {
                out += "\\\\";
            } else if (c == '\n') {
                out += "\\n";
            } else if (c == '\r') {
                out += "\\r";
            } else if (c == '\t') {
                out += "\\t";
            } else {
                out += c;
            }
        }
        out += '\n';
        for (auto it = node->children.rbegin(); it != node->children.rend(); ++it)
            pending.emplace_back(*it, depth + 1);
    }
    return out;
}

class MarkdownParsers : public ::testing::Test {
  protected:
    void SetUp() override {
        file = fs::temp_directory_path() /
               ("mindmap-md-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".md");
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove(file, ignored);
    }

    // Writes the export and expects both parsers to read the map's tree.
    void expectBothRead(const Node& root) {
        const std::string markdown = writeMarkdownOutline(root);
        std::ofstream(file, std::ios::binary) << markdown;
        const std::string want = expectedTree(root);
        for (const char* parser : {"cmark", "python-markdown"}) {
            EXPECT_EQ(parsedTree(parser, file), want) << parser << " read the export differently:\n"
                                                      << markdown;
        }
    }

    fs::path file;
};

TEST_F(MarkdownParsers, MarkupOfEveryKindReadsAsTheCaption) {
    Node root(u"# map *root*", 0, 0);
    Node* branch = nullptr;
    int index = 0;
    for (const std::u16string& caption : kMarkupCaptions) {
        // Alternately an item of its own and the child of the one before, so each caption is
        // read both beside and below another item.
        Node* node = addChild(index % 2 == 0 ? root : *branch, caption);
        if (index % 2 == 0) branch = node;
        ++index;
    }
    expectBothRead(root);
}

TEST_F(MarkdownParsers, EmptyCaptionsStayItemsOfTheirOwn) {
    Node root(u"", 0, 0);  // the top item empty too
    Node* parent = addChild(root, u"parent");
    addChild(*parent, u"");  // a lone empty child: once read as an underline of "parent"
    Node* empty = addChild(root, u"");
    addChild(*addChild(*empty, u""), u"grandchild of empties");
    addChild(*empty, u"");
    addChild(root, u"");
    addChild(root, u"after empties");
    expectBothRead(root);
}

TEST_F(MarkdownParsers, LineBreaksStayInTheirItem) {
    Node root(u"root\nof two lines", 0, 0);
    for (const std::u16string& caption : kBrokenCaptions) addChild(*addChild(root, caption), caption);
    expectBothRead(root);
}

TEST_F(MarkdownParsers, FiftyLevelsDeepKeepTheirNesting) {
    Node root(u"level 0", 0, 0);
    Node* node = &root;
    std::vector<Node*> chain{node};
    for (int level = 1; level < 50; ++level) {
        node = addChild(*node, level % 7 == 0 ? u"" : u"level " + unicode::fromUtf8(std::to_string(level)));
        chain.push_back(node);
    }
    // Back up the chain: siblings at every depth after the deepest item.
    for (int level = 48; level >= 0; level -= 3)
        addChild(*chain[static_cast<std::size_t>(level)], u"- back up");
    expectBothRead(root);
}
}  // namespace
