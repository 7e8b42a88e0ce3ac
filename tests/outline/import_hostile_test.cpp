// Inputs made to hurt: malformed or bomb-laden XML, nesting past the editor's limit, too many
// items, binary garbage, nothing at all. Each gives one clear line and no tree.
#include <gtest/gtest.h>

#include <random>

#include "app/outline/import_tree_builder.h"
#include "app/outline/map_import.h"
#include "tests/outline/import_trees.h"

namespace {
// Imports bytes that must be refused; answers the reason.
std::string refusal(std::string_view bytes, OutlineFormat format) {
    std::string error;
    const std::unique_ptr<Node> root = importOutline(bytes, format, error);
    EXPECT_EQ(root, nullptr) << "imported: " << (root ? shape(*root) : std::string());
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    return error;
}

std::string nestedNodes(int levels) {
    std::string xml = "<map>";
    for (int i = 0; i < levels; ++i) xml += "<node TEXT=\"n" + std::to_string(i) + "\">";
    for (int i = 0; i < levels; ++i) xml += "</node>";
    return xml + "</map>";
}

std::string tabChain(int levels) {
    std::string text;
    for (int i = 0; i < levels; ++i) text += std::string(static_cast<std::size_t>(i), '\t') + "n\n";
    return text;
}

TEST(ImportHostile, MalformedXmlIsRefusedWithItsPlace) {
    for (const OutlineFormat format : {OutlineFormat::FreeMind, OutlineFormat::Opml}) {
        const std::string open =
            format == OutlineFormat::FreeMind ? "<map><node TEXT=\"a\">" : "<opml><body>";
        EXPECT_NE(refusal(open, format).find("line"), std::string::npos);  // never closed
        refusal(open + "</wrong>", format);
        refusal(open + "<node TEXT=\"unterminated></node>", format);
        refusal(open + "<node TEXT=\"&undefined;\"/>", format);
        refusal(open + "<node TEXT=\"bad \xFF\xFE utf-8\"/>", format);
        refusal("<map></map><map></map>", format);  // two document elements
    }
    EXPECT_NE(refusal("<opml><body/></opml>", OutlineFormat::FreeMind).find("<opml>"), std::string::npos);
    EXPECT_NE(refusal("<map><node TEXT=\"a\"/></map>", OutlineFormat::Opml).find("<map>"), std::string::npos);
}

TEST(ImportHostile, EntityDeclarationsAreRefusedBeforeExpansion) {
    std::string bomb =
        "<?xml version=\"1.0\"?>\n<!DOCTYPE map [\n<!ENTITY a0 \"lollollollollollollollol\">\n";
    for (int i = 1; i < 10; ++i) {
        const std::string previous = "&a" + std::to_string(i - 1) + ";";
        std::string value;
        for (int k = 0; k < 10; ++k) value += previous;
        bomb += "<!ENTITY a" + std::to_string(i) + " \"" + value + "\">\n";
    }
    bomb += "]>\n<map><node TEXT=\"&a9;\"/></map>\n";
    refusal(bomb, OutlineFormat::FreeMind);
    // An external entity must not reach the file system either.
    refusal(
        "<!DOCTYPE opml [<!ENTITY secret SYSTEM \"file:///etc/passwd\">]>"
        "<opml><body><outline text=\"&secret;\"/></body></opml>",
        OutlineFormat::Opml);
}

TEST(ImportHostile, NestingStopsAtTheEditorsDepthLimit) {
    // The deepest node the editor holds is at depth kMaxDepth - 1.
    std::string error;
    EXPECT_NE(importOutline(nestedNodes(kMaxDepth), OutlineFormat::FreeMind, error), nullptr) << error;
    EXPECT_NE(refusal(nestedNodes(kMaxDepth + 1), OutlineFormat::FreeMind).find("deeper"), std::string::npos);
    EXPECT_NE(importOutline(tabChain(kMaxDepth), OutlineFormat::Text, error), nullptr) << error;
    EXPECT_NE(refusal(tabChain(kMaxDepth + 1), OutlineFormat::Text).find("line 4097"), std::string::npos);
    // A second top-level item means a new root above everything: one level more.
    refusal(tabChain(kMaxDepth) + "second top-level item\n", OutlineFormat::Text);

    std::string opml = "<opml><body>";
    for (int i = 0; i <= kMaxDepth; ++i) opml += "<outline text=\"x\">";
    refusal(opml, OutlineFormat::Opml);
    std::string markdown;
    for (int i = 0; i <= kMaxDepth; ++i) markdown += std::string(static_cast<std::size_t>(i), ' ') + "- x\n";
    refusal(markdown, OutlineFormat::Markdown);
}

TEST(ImportHostile, DeeplyNestedForeignElementsDoNotExhaustAnything) {
    // Elements the reader skips may nest far deeper than nodes; either the parser bounds them
    // or the reader skips them, and nothing else breaks.
    std::string xml = "<map><node TEXT=\"kept\">";
    for (int i = 0; i < 100000; ++i) xml += "<x>";
    for (int i = 0; i < 100000; ++i) xml += "</x>";
    xml += "</node></map>";
    std::string error;
    const auto root = importOutline(xml, OutlineFormat::FreeMind, error);
    if (root != nullptr) {
        EXPECT_EQ(shape(*root), "kept");
    } else {
        EXPECT_FALSE(error.empty());
    }
}

TEST(ImportHostile, ItemCountIsBounded) {
    std::string text = "root\n";
    text.reserve(3 * kMaxImportNodes);
    for (std::size_t i = 0; i < kMaxImportNodes; ++i) text += "\tn\n";
    EXPECT_NE(refusal(text, OutlineFormat::Text).find("more than"), std::string::npos);
}

TEST(ImportHostile, EmptyAndGarbageInputs) {
    for (const OutlineFormat format :
         {OutlineFormat::Opml, OutlineFormat::FreeMind, OutlineFormat::Markdown, OutlineFormat::Text}) {
        refusal("", format);
        std::mt19937 random(7);
        std::string garbage(4096, '\0');
        for (char& c : garbage) c = static_cast<char>(random());
        refusal(garbage, format);
    }
    refusal(" \t\n\r\n\n", OutlineFormat::Text);
    refusal("\n---\n\n", OutlineFormat::Markdown);
    refusal("<map/>", OutlineFormat::FreeMind);
    refusal("<opml><head><title>only a title</title></head><body/></opml>", OutlineFormat::Opml);
}

TEST(ImportHostile, LongCaptionsAreKeptWhole) {
    const std::string caption(1 << 20, 'w');
    std::string error;
    const auto fromXml =
        importOutline("<map><node TEXT=\"" + caption + "\"/></map>", OutlineFormat::FreeMind, error);
    ASSERT_NE(fromXml, nullptr) << error;
    EXPECT_EQ(fromXml->text.size(), caption.size());
    const auto fromText = importOutline(caption + "\n", OutlineFormat::Text, error);
    ASSERT_NE(fromText, nullptr) << error;
    EXPECT_EQ(fromText->text.size(), caption.size());
    // Openings of references and comments that never close, each read as text.
    std::string openings;
    for (std::size_t i = 0; i < (1 << 18); ++i) openings += i % 2 == 0 ? "&<!--" : "&#x";
    const auto fromMarkdown = importOutline("- " + openings + "\n", OutlineFormat::Markdown, error);
    ASSERT_NE(fromMarkdown, nullptr) << error;
    EXPECT_EQ(fromMarkdown->text, unicode::fromUtf8(openings));
}
}  // namespace
