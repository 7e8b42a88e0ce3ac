// The outline writers: every node on its own line or element in pre-order, nesting kept, and
// captions that would break the format (quotes, markup, line breaks, emoji, blanks) escaped so
// that reading them back gives the caption again.
#include "app/outline/outline_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/model/node.h"
#include "unicode/utf.h"

namespace {

const std::u16string kAwkward[] = {
    u"say \"hi\" & <b>",
    u"two\nlines",
    u"emoji 😀 and 中文",
    u"   ",
    u"",
    u"# not a heading",
    u"- not an item",
    u"1. not numbered",
    u"back\\slash\ttab",
    u" edges ",
    u"*em* _u_ [l](x) `c` | ~s~",
    u"line\r\nfeed",
    u"&#32; literal",
};

// A root with every awkward caption as a child, the third of them holding a grandchild, one
// collapsed; recoloured here and there.
std::unique_ptr<Node> awkwardTree() {
    auto root = std::make_unique<Node>(u"root", 0, 0);
    for (const std::u16string& caption : kAwkward) {
        Node* child = new Node(caption, 0, 0);
        child->parent = root.get();
        root->children.push_back(child);
    }
    Node* third = root->children[2];
    Node* grandchild = new Node(u"deep <&>", 0, 0);
    grandchild->parent = third;
    third->children.push_back(grandchild);
    third->collapsed = true;
    third->fillColor = 0xB4DCB4;
    grandchild->textColor = 0x123456;
    return root;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The plain-text escapes, read back.
std::u16string decodeTextCaption(const std::string& field) {
    if (field == "\\e") return u"";
    std::string bytes;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '\\' || i + 1 == field.size()) {
            bytes += field[i];
            continue;
        }
        const char next = field[++i];
        bytes += next == 'n' ? '\n' : next == 'r' ? '\r' : next == 't' ? '\t' : next == 's' ? ' ' : next;
    }
    return unicode::fromUtf8(bytes);
}

// The Markdown escapes, read back: backslash escapes, <br>, &amp; &lt; &gt; and numeric
// references.
std::u16string decodeMarkdownCaption(const std::string& field) {
    std::string bytes;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 1 < field.size()) {
            bytes += field[++i];
        } else if (field.compare(i, 4, "<br>") == 0) {
            bytes += '\n';
            i += 3;
        } else if (field.compare(i, 5, "&amp;") == 0 || field.compare(i, 4, "&lt;") == 0 ||
                   field.compare(i, 4, "&gt;") == 0) {
            bytes += field[i + 1] == 'a' ? '&' : field[i + 1] == 'l' ? '<' : '>';
            i = field.find(';', i);
        } else if (field.compare(i, 2, "&#") == 0) {
            const std::size_t end = field.find(';', i);
            bytes += static_cast<char>(std::stoi(field.substr(i + 2, end - i - 2)));
            i = end;
        } else {
            bytes += field[i];
        }
    }
    return unicode::fromUtf8(bytes);
}

// Captions in pre-order, as the tree holds them.
std::vector<std::u16string> captions(const Node& root) {
    std::vector<std::u16string> all{root.text};
    for (const Node* child : root.children) {
        for (const std::u16string& caption : captions(*child)) all.push_back(caption);
    }
    return all;
}

TEST(TextOutline, OneLinePerNodeIndentedByTabsAndCaptionsReadBack) {
    const auto root = awkwardTree();
    const std::vector<std::string> lines = linesOf(writeTextOutline(*root));
    const std::vector<std::u16string> expected = captions(*root);
    ASSERT_EQ(lines.size(), expected.size());
    const std::vector<std::size_t> depths = {0, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t tabs = lines[i].find_first_not_of('\t');
        ASSERT_NE(tabs, std::string::npos) << "line " << i << " holds only indentation";
        EXPECT_EQ(tabs, depths[i]) << "line " << i;
        // Nothing an outline reader would take for indentation or trim away.
        EXPECT_NE(lines[i][tabs], ' ') << "line " << i;
        EXPECT_NE(lines[i].back(), ' ') << "line " << i;
        EXPECT_EQ(lines[i].find('\r'), std::string::npos);
        EXPECT_EQ(decodeTextCaption(lines[i].substr(tabs)), expected[i]) << "line " << i;
    }
}

TEST(MarkdownOutline, NestedItemsWhoseCaptionsAreNeitherMarkupNorBroken) {
    const auto root = awkwardTree();
    const std::vector<std::string> lines = linesOf(writeMarkdownOutline(*root));
    const std::vector<std::u16string> expected = captions(*root);
    ASSERT_EQ(lines.size(), expected.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::size_t indent = lines[i].find('-');
        ASSERT_NE(indent, std::string::npos);
        EXPECT_EQ(indent, i == 0 ? 0u : i == 4 ? 8u : 4u) << "line " << i;  // four spaces a level
        EXPECT_EQ(lines[i].find_first_not_of(' '), indent) << "line " << i;
        const std::string item = lines[i].substr(indent + 1);
        if (expected[i].empty()) {
            EXPECT_EQ(item, " <!-- -->");
            continue;
        }
        ASSERT_EQ(item[0], ' ');
        const std::string field = item.substr(1);
        // A caption starting with a block marker or blank would change the list's structure.
        EXPECT_EQ(std::string("#-+=* \t").find(field[0]), std::string::npos) << field;
        EXPECT_EQ(field.find('\r'), std::string::npos);
        EXPECT_EQ(decodeMarkdownCaption(field), expected[i]) << field;
    }
    EXPECT_NE(lines[9].find("1\\. not"), std::string::npos) << lines[9];
}

// Attribute values, element by element, for the XML formats: each start tag on a line.
std::vector<std::string> attributeValues(const std::string& xml, const std::string& name) {
    std::vector<std::string> values;
    const std::string key = " " + name + "=\"";
    for (std::size_t at = xml.find(key); at != std::string::npos; at = xml.find(key, at + 1)) {
        const std::size_t start = at + key.size();
        values.push_back(xml.substr(start, xml.find('"', start) - start));
    }
    return values;
}

std::u16string decodeXmlAttribute(const std::string& value) {
    std::string bytes;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '&') {
            bytes += value[i];
            continue;
        }
        const std::size_t end = value.find(';', i);
        const std::string entity = value.substr(i + 1, end - i - 1);
        if (entity == "amp")
            bytes += '&';
        else if (entity == "lt")
            bytes += '<';
        else if (entity == "gt")
            bytes += '>';
        else if (entity == "quot")
            bytes += '"';
        else if (entity[0] == '#')
            bytes += static_cast<char>(std::stoi(entity.substr(1)));
        else
            ADD_FAILURE() << "unknown entity " << entity;
        i = end;
    }
    return unicode::fromUtf8(bytes);
}

TEST(XmlOutlines, CaptionsColoursAndFoldingInEveryElement) {
    const auto root = awkwardTree();
    const std::vector<std::u16string> expected = captions(*root);
    struct Format {
        std::string xml;
        const char* caption;
        const char* fill;
        const char* text;
        const char* folded;
        const char* element;
    };
    const Format formats[] = {
        {writeOpml(*root), "text", "fillColor", "textColor", "collapsed=\"true\"", "<outline "},
        {writeFreeMind(*root), "TEXT", "BACKGROUND_COLOR", "COLOR", "FOLDED=\"true\"", "<node "},
    };
    for (const Format& format : formats) {
        SCOPED_TRACE(format.element);
        // No raw line break or control character inside any attribute: one start tag a line.
        for (const std::string& line : linesOf(format.xml)) {
            EXPECT_LE(std::count(line.begin(), line.end(), '<'), 2) << line;
        }
        const std::vector<std::string> texts = attributeValues(format.xml, format.caption);
        ASSERT_EQ(texts.size(), expected.size());
        for (std::size_t i = 0; i < texts.size(); ++i) {
            EXPECT_EQ(texts[i].find_first_of("<>\n\t"), std::string::npos) << texts[i];
            EXPECT_EQ(decodeXmlAttribute(texts[i]), expected[i]);
        }
        const std::vector<std::string> fills = attributeValues(format.xml, format.fill);
        const std::vector<std::string> textColours = attributeValues(format.xml, format.text);
        ASSERT_EQ(fills.size(), expected.size());
        ASSERT_EQ(textColours.size(), expected.size());
        EXPECT_EQ(fills[0], "#dcdcdc");
        EXPECT_EQ(fills[3], "#b4dcb4");  // 0xB4DCB4 is red 180, green 220, blue 180
        EXPECT_EQ(textColours[4], "#563412");
        // Exactly one collapsed node; elements balanced: as many closing tags as parents.
        std::size_t folded = 0;
        for (std::size_t at = format.xml.find(format.folded); at != std::string::npos;
             at = format.xml.find(format.folded, at + 1))
            ++folded;
        EXPECT_EQ(folded, 1u);
        const std::string tag = std::string(format.element).substr(1, std::string(format.element).size() - 2);
        std::size_t closings = 0;
        for (std::size_t at = format.xml.find("</" + tag + ">"); at != std::string::npos;
             at = format.xml.find("</" + tag + ">", at + 1))
            ++closings;
        EXPECT_EQ(closings, 2u);  // the root and the third child
    }
}

TEST(XmlOutlines, CharactersXmlCannotHoldBecomeReplacementCharacters) {
    Node root(std::u16string(u"a\x01"
                             u"b\xFFFF") +
                  u"c" + char16_t(0xD800),
              0, 0);
    const std::string value = attributeValues(writeFreeMind(root), "TEXT").at(0);
    EXPECT_EQ(unicode::fromUtf8(value), u"a\uFFFDb\uFFFDc\uFFFD");
}

TEST(Outlines, DeepChainsAreWrittenWithoutRecursion) {
    auto root = std::make_unique<Node>(u"0", 0, 0);
    Node* last = root.get();
    for (int depth = 1; depth < kMaxDepth; ++depth) {
        Node* child = new Node(u"n", 0, 0);
        child->parent = last;
        last->children.push_back(child);
        last = child;
    }
    const std::string text = writeTextOutline(*root);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), kMaxDepth);
    const std::string mm = writeFreeMind(*root);
    std::size_t closings = 0;
    for (std::size_t at = mm.find("</node>"); at != std::string::npos; at = mm.find("</node>", at + 1))
        ++closings;
    EXPECT_EQ(closings, static_cast<std::size_t>(kMaxDepth - 1));
    const std::string markdown = writeMarkdownOutline(*root);
    EXPECT_EQ(std::count(markdown.begin(), markdown.end(), '\n'), kMaxDepth);
}

}  // namespace
