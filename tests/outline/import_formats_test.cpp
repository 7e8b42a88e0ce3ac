// Reading each outline format: structure, captions, colours and collapsed states as the
// format carries them.
#include <gtest/gtest.h>

#include "app/outline/map_import.h"
#include "tests/outline/import_trees.h"

namespace {
std::unique_ptr<Node> importOk(std::string_view bytes, OutlineFormat format) {
    std::string error;
    std::unique_ptr<Node> root = importOutline(bytes, format, error);
    EXPECT_NE(root, nullptr) << error;
    return root;
}

TEST(ImportFreeMind, TreeCaptionsColoursAndFoldedStates) {
    if (!xmlKeepsAttributeBreaks()) GTEST_SKIP() << kXmlLosesAttributeBreaks;
    const auto root = importOk(
        "<map version=\"1.0.1\">\n"
        "<node TEXT=\"Root &amp; &lt;co&gt;\" BACKGROUND_COLOR=\"#ff8000\" COLOR=\"#0000FF\">\n"
        "  <icon BUILTIN=\"idea\"/><font NAME=\"x\"><node TEXT=\"inside font: skipped\"/></font>\n"
        "  <node TEXT=\"line one&#xa;line two\" FOLDED=\"true\"><node TEXT=\"hidden\"/></node>\n"
        "  <node TEXT=\"\xF0\x9F\x98\x80 \xE4\xB8\xAD\" COLOR=\"#12345\" BACKGROUND_COLOR=\"red\"/>\n"
        "</node>\n</map>\n",
        OutlineFormat::FreeMind);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(shape(*root), "Root & <co>(line one\nline two(hidden) \xF0\x9F\x98\x80 \xE4\xB8\xAD)");
    EXPECT_EQ(root->fillColor, 0x0080FFu);  // red in the low byte
    EXPECT_EQ(root->textColor, 0xFF0000u);
    EXPECT_FALSE(root->collapsed);
    EXPECT_TRUE(root->children[0]->collapsed);
    // Colours the reader cannot read leave the defaults.
    EXPECT_EQ(root->children[1]->fillColor, kDefaultNodeFill);
    EXPECT_EQ(root->children[1]->textColor, kDefaultNodeText);
    EXPECT_EQ(root->parent, nullptr);
}

TEST(ImportFreeMind, RichCaptionsReadAsTheirText) {
    const auto root = importOk(
        "<map><node><richcontent TYPE=\"NODE\"><html><head><style>p {}</style></head><body>\n"
        "  <p>\n    first   paragraph\n  </p>\n  <p>second<br/>third</p>\n</body></html></richcontent>\n"
        "<richcontent TYPE=\"NOTE\"><html><body><p>a note</p></body></html></richcontent>\n"
        "<node TEXT=\"plain\"/></node></map>",
        OutlineFormat::FreeMind);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(shape(*root), "first paragraph\nsecond\nthird(plain)");
}

TEST(ImportOpml, OutlinesTitleAndColours) {
    const char* opml =
        "<?xml version=\"1.0\"?>\n<opml version=\"2.0\"><head><title>Plans &amp; ideas</title></head>\n"
        "<body>\n<outline text=\"one\" fillColor=\"#b4dcb4\" collapsed=\"true\"><outline text=\"1a\"/>"
        "<outline title=\"no text\"/></outline>\n<outline text=\"two\" textColor=\"#FFFFFF\"/></body></opml>";
    const auto root = importOk(opml, OutlineFormat::Opml);
    ASSERT_NE(root, nullptr);
    // Two top-level outlines: the document's title becomes their root.
    EXPECT_EQ(shape(*root), "Plans & ideas(one(1a ) two)");
    EXPECT_EQ(root->children[0]->fillColor, 0xB4DCB4u);
    EXPECT_TRUE(root->children[0]->collapsed);
    EXPECT_EQ(root->children[1]->textColor, 0xFFFFFFu);
    EXPECT_FALSE(root->children[1]->collapsed);

    const auto untitled =
        importOk("<opml><body><outline text=\"a\"/><outline text=\"b\"/></body></opml>", OutlineFormat::Opml);
    ASSERT_NE(untitled, nullptr);
    EXPECT_EQ(untitled->text, u"中心主题");
}

TEST(ImportText, IndentationByTabsOrSpacesNestsUnderTheNearestShallowerLine) {
    const auto tabs =
        importOk("root\n\tchild 1\n\t\tgrandchild\n\n\tchild 2\r\n\t\t\t\tdeep jump\n", OutlineFormat::Text);
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(shape(*tabs), "root(child 1(grandchild) child 2(deep jump))");

    const auto spaces = importOk("a\n   b\n      c\n  d\n e\nf\n", OutlineFormat::Text);
    ASSERT_NE(spaces, nullptr);
    // d is indented less than b but more than a: a sibling of b; e likewise.
    EXPECT_EQ(shape(*spaces), "中心主题(a(b(c) d e) f)");
}

TEST(ImportText, EscapesAndEncodings) {
    const auto root = importOk("\xEF\xBB\xBFtop\n\tline\\nbreak\\ttab\\\\\n\t\\s\\s\n\t\\e\n\tC:\\data\\x\n",
                               OutlineFormat::Text);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(shape(*root), "top(line\nbreak\ttab\\     C:\\data\\x)");

    // UTF-16 with its mark, as Windows editors save it; invalid UTF-8 reads as U+FFFD.
    const std::string utf16(
        "\xFF\xFE"
        "a\0\n\0\t\0"
        "b\0",
        10);
    const auto wide = importOk(utf16, OutlineFormat::Text);
    ASSERT_NE(wide, nullptr);
    EXPECT_EQ(shape(*wide), "a(b)");
    const auto invalid = importOk("ok\xFF\n", OutlineFormat::Text);
    ASSERT_NE(invalid, nullptr);
    EXPECT_EQ(invalid->text, u"ok\uFFFD");
}

TEST(ImportMarkdown, HeadingsListsAndParagraphs) {
    const auto root = importOk(
        "# Trip\n\nSome words\nmore words\n\n## Days\n- Monday\n  - morning\n  - evening\n"
        "- Tuesday\n\n   1. first\n   2) second\n## Costs ##\n* food\n---\n### Deep\n",
        OutlineFormat::Markdown);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(shape(*root),
              "Trip(Some words\nmore words Days(Monday(morning evening) Tuesday(first second)) Costs(food "
              "Deep))");
}

TEST(ImportMarkdown, EscapesReferencesAndBreaks) {
    const auto root = importOk(
        "- \\# not a heading \\*x\\* a\\\\b\n"
        "  - &#32;&#32;\n"
        "  -\n"
        "  - one<br>two&amp;&lt;&#x1F600;\n"
        "  - 1\\. not a list\n"
        "  - lazy\n  continued\n"
        "  - ```\n",
        OutlineFormat::Markdown);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(shape(*root),
              "# not a heading *x* a\\b(    one\ntwo&<\xF0\x9F\x98\x80 1. not a list lazy\ncontinued ```)");
}

TEST(ImportMarkdown, UnderlinedHeadingsNestLikeHashHeadings) {
    // The same outline twice: underlined headings among lists and paragraphs, then # headings.
    const std::string underlined =
        "Title\n=====\nintro\nstill intro\n\nSection\n-------\n- a\n  - a1\n- b\n\n"
        "### Deeper\ntext\n\nTwo-line\nsection\n---\n- c\n\nNext title\n=\n\nLast\n-\n";
    const std::string hashes =
        "# Title\nintro\nstill intro\n\n## Section\n- a\n  - a1\n- b\n\n"
        "### Deeper\ntext\n\n## Two-line<br>section\n- c\n\n# Next title\n\n## Last\n";
    const auto fromUnderlined = importOk(underlined, OutlineFormat::Markdown);
    const auto fromHashes = importOk(hashes, OutlineFormat::Markdown);
    ASSERT_NE(fromUnderlined, nullptr);
    ASSERT_NE(fromHashes, nullptr);
    EXPECT_EQ(shape(*fromUnderlined), shape(*fromHashes));
    EXPECT_EQ(shape(*fromUnderlined),
              "\xE4\xB8\xAD\xE5\xBF\x83\xE4\xB8\xBB\xE9\xA2\x98(Title(intro\nstill intro "
              "Section(a(a1) b Deeper(text)) Two-line\nsection(c)) Next title(Last))");
}

TEST(ImportMarkdown, WhenALineOfDashesUnderlinesBreaksOrListsAsCommonMarkSays) {
    struct Case {
        const char* markdown;
        std::string shape;
    } cases[] = {
        // Directly under a paragraph: an underline, whatever its length.
        {"# H\npara\n---\nx\n", "H(para(x))"},
        {"# H\npara\n-\n", "H(para)"},
        {"# H\npara\n   ==   \n", "\xE4\xB8\xAD\xE5\xBF\x83\xE4\xB8\xBB\xE9\xA2\x98(H para)"},
        // After a blank line, or spaced out, or of stars: a thematic break, skipped.
        {"# H\npara\n\n---\nx\n", "H(para x)"},
        {"# H\npara\n- - -\nx\n", "H(para x)"},
        {"# H\npara\n***\nx\n", "H(para x)"},
        // Indented four columns: no underline but more of the paragraph.
        {"# H\npara\n    ---\n", "H(para\n---)"},
        // = with nothing to underline is text; under a list item (lazily) too.
        {"# H\n===\n", "H(===)"},
        {"# H\n- item\n===\n", "H(item\n===)"},
        // Under a list item a line of dashes ends the list; it never makes the item a heading.
        {"# H\n- item\n---\nx\n", "H(item x)"},
        // Only an item with text, numbered from 1 if numbered, interrupts a paragraph.
        {"# H\npara\n- item\n", "H(para item)"},
        {"# H\npara\n1. item\n", "H(para item)"},
        {"# H\npara\n2. two\n", "H(para\n2. two)"},
        {"# H\npara\n*\n", "H(para\n*)"},
        {"# H\n\n-\n", "H()"},
        // A heading stays a heading when what follows could underline it.
        {"# H\n---\nx\n", "H(x)"},
    };
    for (const Case& c : cases) {
        const auto root = importOk(c.markdown, OutlineFormat::Markdown);
        ASSERT_NE(root, nullptr) << c.markdown;
        EXPECT_EQ(shape(*root), c.shape) << c.markdown;
    }
}

TEST(ImportMarkdown, FencedCodeIsOneItem) {
    const auto root =
        importOk("# Code\n```cpp\n# not a heading\n- not an item\n```\n- after\n", OutlineFormat::Markdown);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(shape(*root), "Code(# not a heading\n- not an item after)");
}

TEST(ImportFormats, ChosenByExtensionInAnyCase) {
    OutlineFormat format = OutlineFormat::Text;
    ASSERT_TRUE(outlineFormatForPath(u"/tmp/Map.MM", format));
    EXPECT_EQ(format, OutlineFormat::FreeMind);
    ASSERT_TRUE(outlineFormatForPath(u"notes.markdown", format));
    EXPECT_EQ(format, OutlineFormat::Markdown);
    ASSERT_TRUE(outlineFormatForPath(u"大纲.Opml", format));
    EXPECT_EQ(format, OutlineFormat::Opml);
    ASSERT_TRUE(outlineFormatForPath(u"a.txt", format));
    EXPECT_EQ(format, OutlineFormat::Text);
    EXPECT_FALSE(outlineFormatForPath(u"a.mind", format));
    EXPECT_FALSE(outlineFormatForPath(u"mm", format));
    EXPECT_FALSE(outlineFormatForPath(u"a.txt.bak", format));
}
}  // namespace
