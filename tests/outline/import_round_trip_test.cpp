// Export to another editor's format and import back: the same tree and captions, and the
// colours and collapsed states the format carries, for captions made to break each format.
#include <gtest/gtest.h>

#include "app/outline/map_import.h"
#include "app/outline/outline_export.h"
#include "tests/outline/import_trees.h"

namespace {
const std::u16string kCaptions[] = {
    u"say \"hi\" <b> & 'x' > y",
    u"line one\nline two\n\nafter a blank line",
    u"carriage\rreturn and\ttab",
    u"\U0001F600 emoji and 中文",
    u"   ",
    u"",
    u"  spaces around  ",
    u"\t",
    u"- looks like an item",
    u"# looks like a heading",
    u"1. numbered",
    u"2) numbered",
    u"+ plus",
    u"= equals",
    u"> quote",
    u"C:\\path\\new\\table",
    u"trailing backslash\\",
    u"\\s\\e\\n\\\\ escapes written out",
    u"&amp; &#32; <br> written out",
    u"**bold** _it_ `code` [link](x) ~~s~~ | cell |",
    u"```",
    u"---",
    u"#hashtag 100",
    u"\n",
    u"\nleading and trailing breaks\n",
    u"=",
    u"-",
    u"*",
    u"===",
    u"<!-- comment -->",
    u"~~strike~~ ~/home",
    u"&copy; &#65; &#x41;",
    u"\uFEFFbegins with a byte-order mark",
};

// A root with every caption spread over three levels, colours varied, some subtrees collapsed.
std::unique_ptr<Node> trickyTree() {
    auto root = std::make_unique<Node>(u"中心主题", 800, 375);
    Node* branch = nullptr;
    int index = 0;
    for (const std::u16string& caption : kCaptions) {
        Node* parent = index % 4 == 0 ? root.get() : branch;
        Node* node = addChild(*parent, caption);
        if (index % 4 == 0) branch = node;
        if (index % 4 == 2) addChild(*node, u"leaf " + caption);
        node->fillColor = 0x00B4DCB4u + static_cast<Colour>(index);
        node->textColor = index % 2 == 0 ? 0xFFFFFFu : 0x0000FFu;
        ++index;
    }
    for (Node* node : root->children) node->collapsed = node->children.size() > 1;
    return root;
}

void expectRoundTrip(const std::string& bytes, OutlineFormat format, Carried carried) {
    const auto original = trickyTree();
    std::string error;
    const auto imported = importOutline(bytes, format, error);
    ASSERT_NE(imported, nullptr) << error << "\n" << bytes;
    EXPECT_EQ(firstDifference(*original, *imported, carried), "") << bytes;
}

TEST(ImportRoundTrip, FreeMindKeepsCaptionsColoursAndFolds) {
    if (!xmlKeepsAttributeBreaks()) GTEST_SKIP() << kXmlLosesAttributeBreaks;
    expectRoundTrip(writeFreeMind(*trickyTree()), OutlineFormat::FreeMind, {true, true});
}

TEST(ImportRoundTrip, OpmlKeepsCaptionsColoursAndFolds) {
    if (!xmlKeepsAttributeBreaks()) GTEST_SKIP() << kXmlLosesAttributeBreaks;
    expectRoundTrip(writeOpml(*trickyTree()), OutlineFormat::Opml, {true, true});
}

TEST(ImportRoundTrip, MarkdownKeepsTreeAndCaptions) {
    expectRoundTrip(writeMarkdownOutline(*trickyTree()), OutlineFormat::Markdown, {});
}

TEST(ImportRoundTrip, MarkdownKeepsEmptyCaptionsAtEveryDepth) {
    // A chain far deeper than any list a person writes, every third caption empty, with
    // siblings on the way back up so that each depth is left and entered again.
    auto root = std::make_unique<Node>(u"", 0, 0);
    std::vector<Node*> chain{root.get()};
    for (int level = 1; level < 300; ++level) {
        chain.push_back(
            addChild(*chain.back(), level % 3 == 0 ? u"" : u"- " + unicode::fromUtf8(std::to_string(level))));
    }
    for (std::size_t level = 298; level < chain.size(); level -= 7)
        addChild(*chain[level], level % 2 ? u"" : u"1. up");
    std::string error;
    const auto imported = importOutline(writeMarkdownOutline(*root), OutlineFormat::Markdown, error);
    ASSERT_NE(imported, nullptr) << error;
    EXPECT_EQ(firstDifference(*root, *imported, {}), "");
}

TEST(ImportRoundTrip, TextKeepsTreeAndCaptions) {
    expectRoundTrip(writeTextOutline(*trickyTree()), OutlineFormat::Text, {});
}

TEST(ImportRoundTrip, EveryCaptionAloneAsTheRoot) {
    if (!xmlKeepsAttributeBreaks()) GTEST_SKIP() << kXmlLosesAttributeBreaks;
    // A caption at the root of a one-node map meets each writer's top-level case.
    for (const std::u16string& caption : kCaptions) {
        Node root(caption, 0, 0);
        std::string error;
        for (const auto& [bytes, format] : {std::pair{writeFreeMind(root), OutlineFormat::FreeMind},
                                            std::pair{writeOpml(root), OutlineFormat::Opml},
                                            std::pair{writeMarkdownOutline(root), OutlineFormat::Markdown},
                                            std::pair{writeTextOutline(root), OutlineFormat::Text}}) {
            const auto imported = importOutline(bytes, format, error);
            ASSERT_NE(imported, nullptr) << error << "\n" << bytes;
            EXPECT_EQ(imported->text, caption) << bytes;
            EXPECT_TRUE(imported->children.empty()) << bytes;
        }
    }
}
}  // namespace
