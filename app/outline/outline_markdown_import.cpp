// Markdown outlines (.md): headings, ATX (# to ######) or underlined (setext: a paragraph over
// a line of = for level 1 or of - for level 2), nest by level; list items ("-", "*", "+", "1."
// or "1)") nest by indentation below the heading above them, and a paragraph becomes one item
// below its heading. Lines that follow an item or paragraph without a blank line, or indented
// past an item after one, continue its caption on a new line; so does <br>. As in CommonMark,
// a line of - under a paragraph underlines it rather than being a thematic break or an empty
// item, and neither an empty item nor a numbered one not starting at 1 interrupts a paragraph.
// Backslash escapes of punctuation and character references (&#32; &#x20; &amp; ...) are read
// as CommonMark reads them, HTML comments are dropped (<!-- --> is an empty caption); other
// markup (emphasis, links) is kept as text. A fenced code block is one item holding its
// lines; thematic breaks are skipped.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/outline/import_tree_builder.h"
#include "app/outline/outline_readers.h"
#include "app/outline/outline_text_lines.h"
#include "unicode/utf.h"

namespace {
constexpr std::size_t kTabWidth = 4;

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isAsciiPunctuation(char c) {
    return (c >= '!' && c <= '/') || (c >= ':' && c <= '@') || (c >= '[' && c <= '`') ||
           (c >= '{' && c <= '~');
}

std::string_view trimLeadingZeros(std::string_view digits) {
    while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
    return digits;
}

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Decodes "&#N;", "&#xH;" and the common named references at text[i]; false if none is there.
bool readCharacterReference(std::string_view text, std::size_t& i, std::string& out) {
    // Looked for only as far as the longest reference read, so that a line of '&' is linear.
    const std::size_t semicolon = text.substr(i, 11).find(';');
    if (semicolon == std::string_view::npos) return false;
    const std::size_t end = i + semicolon;
    const std::string_view name = text.substr(i + 1, end - i - 1);
    char32_t cp = 0;
    if (name.size() >= 2 && name[0] == '#') {
        const bool hex = name[1] == 'x' || name[1] == 'X';
        const std::string_view digits = name.substr(hex ? 2 : 1);
        if (digits.empty()) return false;
        for (const char c : digits) {
            int digit = -1;
            if (isDigit(c)) digit = c - '0';
            if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
            if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
            if (digit < 0) return false;
            cp = cp * (hex ? 16 : 10) + static_cast<char32_t>(digit);
        }
        if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = unicode::kReplacement;
    } else if (name == "amp") {
        cp = '&';
    } else if (name == "lt") {
        cp = '<';
    } else if (name == "gt") {
        cp = '>';
    } else if (name == "quot") {
        cp = '"';
    } else if (name == "apos") {
        cp = '\'';
    } else if (name == "nbsp") {
        cp = 0xA0;
    } else {
        return false;
    }
    unicode::appendCodePoint(out, cp);
    i = end;
    return true;
}

bool startsWithLineBreakTag(std::string_view text) {
    for (const std::string_view tag : {"<br>", "<br/>", "<br />", "<BR>"}) {
        if (text.substr(0, tag.size()) == tag) return true;
    }
    return false;
}

std::string decodeInline(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool commentsClose = true;  // false once a comment was seen to run to the end of the text
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        std::size_t commentEnd = std::string_view::npos;
        if (c == '<' && commentsClose && text.substr(i, 4) == "<!--") {
            commentEnd = text.find("-->", i + 4);
            commentsClose = commentEnd != std::string_view::npos;
        }
        if (c == '\\' && i + 1 < text.size() && isAsciiPunctuation(text[i + 1])) {
            out.push_back(text[++i]);
        } else if (c == '&' && readCharacterReference(text, i, out)) {
        } else if (commentEnd != std::string_view::npos) {
            i = commentEnd + 2;
        } else if (c == '<' && startsWithLineBreakTag(text.substr(i))) {
            out.push_back('\n');
            i = text.find('>', i);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

// Leading blanks as columns, a tab reaching the next multiple of kTabWidth.
std::size_t indentation(std::string_view line, std::size_t& first) {
    std::size_t column = 0;
    for (first = 0; first < line.size() && isBlank(line[first]); ++first) {
        column = line[first] == '\t' ? (column / kTabWidth + 1) * kTabWidth : column + 1;
    }
    return column;
}

// "# Title" at most three columns in: the level (1 to 6) and the title without a closing run
// of #; 0 when the line is no heading.
int headingLevel(std::string_view rest, std::size_t column, std::string_view& title) {
    if (column > 3) return 0;
    std::size_t level = 0;
    while (level < rest.size() && rest[level] == '#') ++level;
    if (level == 0 || level > 6 || (level < rest.size() && !isBlank(rest[level]))) return 0;
    title = trimBlanks(rest.substr(level));
    std::size_t closing = title.size();
    while (closing > 0 && title[closing - 1] == '#') --closing;
    if (closing == 0 || isBlank(title[closing - 1])) title = trimBlanks(title.substr(0, closing));
    return static_cast<int>(level);
}

// "- item", "* item", "+ item", "12. item" or "12) item": the caption after the marker, or
// false when the line is no list item. interrupts: whether the item may end a paragraph (it
// holds text and, numbered, starts at 1).
bool listItem(std::string_view rest, std::string_view& caption, bool& interrupts) {
    std::size_t marker = 0;
    bool numberedFromOne = true;
    if (!rest.empty() && (rest[0] == '-' || rest[0] == '*' || rest[0] == '+')) {
        marker = 1;
    } else {
        while (marker < rest.size() && marker < 9 && isDigit(rest[marker])) ++marker;
        if (marker == 0 || marker >= rest.size() || (rest[marker] != '.' && rest[marker] != ')'))
            return false;
        numberedFromOne = trimLeadingZeros(rest.substr(0, marker)) == "1";
        ++marker;
    }
    if (marker < rest.size() && !isBlank(rest[marker])) return false;
    caption = trimBlanks(rest.substr(marker));
    interrupts = !caption.empty() && numberedFromOne;
    return true;
}

// A setext underline: a run of = (level 1) or of - (level 2), blanks only after it; else 0.
int underlineLevel(std::string_view trimmed) {
    if (trimmed.empty() || (trimmed[0] != '=' && trimmed[0] != '-')) return 0;
    if (trimmed.find_first_not_of(trimmed[0]) != std::string_view::npos) return 0;
    return trimmed[0] == '=' ? 1 : 2;
}

// Three or more of one of - * _ and nothing else but blanks.
bool isThematicBreak(std::string_view rest) {
    if (rest.empty() || (rest[0] != '-' && rest[0] != '*' && rest[0] != '_')) return false;
    std::size_t marks = 0;
    for (const char c : rest) {
        if (c == rest[0]) {
            ++marks;
        } else if (!isBlank(c)) {
            return false;
        }
    }
    return marks >= 3;
}

// Where the caption of a hard line break ("two spaces" or a backslash at the end) stops.
std::string_view withoutHardBreak(std::string_view line) {
    if (!line.empty() && line.back() == '\\') line.remove_suffix(1);
    return line;
}
}  // namespace

namespace {
class MarkdownReader {
  public:
    bool readLine(std::string_view line, std::size_t number) {
        if (!fence_.empty()) {
            readFencedLine(line);
            return true;
        }
        std::size_t first = 0;
        const std::size_t column = indentation(line, first);
        const std::string_view rest = line.substr(first);
        const std::string_view trimmed = trimBlanks(rest);
        if (trimmed.empty()) {
            afterBlank_ = true;
            return flushParagraph();
        }
        const bool wasAfterBlank = afterBlank_;
        afterBlank_ = false;
        std::string_view text;
        // Indented four columns, a line cannot interrupt a paragraph: it is more of it.
        if (hasParagraph_ && column > 3) return continueParagraph(trimmed);
        if (column <= 3 && (rest.substr(0, 3) == "```" || rest.substr(0, 3) == "~~~")) {
            if (!flushParagraph()) return false;
            std::size_t run = 0;
            while (run < rest.size() && rest[run] == rest[0]) ++run;
            fence_ = std::string(run, rest[0]);
            fenceText_.clear();
            fenceStarted_ = false;
            target_ = nullptr;
            fenceNode_ = openParagraph(std::string(), number);
            return fenceNode_ != nullptr;
        }
        if (const int level = headingLevel(rest, column, text); level > 0) {
            return flushParagraph() && openHeading(level, decodeInline(text), number);
        }
        if (hasParagraph_ && column <= 3) {
            if (const int level = underlineLevel(trimmed); level > 0) {
                hasParagraph_ = false;
                return openHeading(level, paragraph_, paragraphLine_);
            }
        }
        if (isThematicBreak(trimmed)) {
            target_ = nullptr;
            return flushParagraph();
        }
        bool interrupts = false;
        if (listItem(rest, text, interrupts) && (interrupts || !hasParagraph_)) {
            if (!flushParagraph()) return false;
            while (!items_.empty() && items_.back() >= column) {
                items_.pop_back();
                builder_.close();
            }
            if (!open(decodeInline(withoutHardBreak(text)), number)) return false;
            items_.push_back(column);
            target_ = builder_.current();
            return true;
        }
        if (hasParagraph_) return continueParagraph(trimmed);
        const std::string caption = decodeInline(withoutHardBreak(trimmed));
        if (target_ != nullptr && (!wasAfterBlank || column > items_.back())) {
            target_->text.push_back(u'\n');
            target_->text += unicode::fromUtf8(caption);
        } else {
            // Held back until the next line shows whether it is underlined as a heading.
            closeItems();
            target_ = nullptr;
            paragraph_ = caption;
            paragraphLine_ = number;
            hasParagraph_ = true;
        }
        return true;
    }

    std::unique_ptr<Node> finish(std::string& error) {
        if (!fence_.empty()) fenceNode_->text = unicode::fromUtf8(fenceText_);
        if (!flushParagraph()) {
            error = error_;
            return nullptr;
        }
        std::unique_ptr<Node> root = builder_.finish(u"");
        if (root == nullptr) error = builder_.error();
        return root;
    }

    const std::string& error() const { return error_; }

  private:
    bool open(const std::string& caption, std::size_t number) {
        if (builder_.open(unicode::fromUtf8(caption))) return true;
        error_ = lineError(number, builder_.error());
        return false;
    }

    void closeItems() {
        for (; !items_.empty(); items_.pop_back()) builder_.close();
    }

    // Ends the list and every open heading of this level or deeper; the heading holds what
    // follows up to the next one as high.
    bool openHeading(int level, const std::string& caption, std::size_t number) {
        closeItems();
        while (!headings_.empty() && headings_.back() >= level) {
            headings_.pop_back();
            builder_.close();
        }
        if (!open(caption, number)) return false;
        headings_.push_back(level);
        target_ = nullptr;
        return true;
    }

    // A paragraph or code block: a leaf below the open heading, ending any list.
    Node* openParagraph(const std::string& caption, std::size_t number) {
        closeItems();
        if (!open(caption, number)) return nullptr;
        Node* node = builder_.current();
        builder_.close();
        return node;
    }

    bool continueParagraph(std::string_view trimmed) {
        paragraph_ += '\n';
        paragraph_ += decodeInline(withoutHardBreak(trimmed));
        return true;
    }

    // The paragraph held back, now known to be no heading, as a leaf.
    bool flushParagraph() {
        if (!hasParagraph_) return true;
        hasParagraph_ = false;
        return openParagraph(paragraph_, paragraphLine_) != nullptr;
    }

    void readFencedLine(std::string_view line) {
        std::size_t first = 0;
        const std::size_t column = indentation(line, first);
        const std::string_view rest = trimBlanks(line.substr(first));
        if (column <= 3 && rest.size() >= fence_.size() &&
            rest.find_first_not_of(fence_[0]) == std::string_view::npos) {
            fenceNode_->text = unicode::fromUtf8(fenceText_);
            fence_.clear();
            target_ = nullptr;
            return;
        }
        if (!fenceText_.empty() || fenceStarted_) fenceText_.push_back('\n');
        fenceStarted_ = true;
        fenceText_.append(line);
    }

    ImportTreeBuilder builder_;
    std::vector<int> headings_;       // levels of the open headings
    std::vector<std::size_t> items_;  // indentation of the open list items
    Node* target_ = nullptr;          // the item a following line continues
    bool afterBlank_ = false;
    std::string paragraph_;  // the paragraph being read (UTF-8), not yet in the tree
    std::size_t paragraphLine_ = 0;
    bool hasParagraph_ = false;
    std::string fence_;  // the open code fence's marker run, or empty
    std::string fenceText_;
    bool fenceStarted_ = false;
    Node* fenceNode_ = nullptr;
    std::string error_;
};
}  // namespace

std::unique_ptr<Node> readMarkdownOutline(std::string_view bytes, std::string& error) {
    std::string storage;
    std::string_view text;
    if (!outlineText(bytes, storage, text, error)) return nullptr;
    MarkdownReader reader;
    if (!forEachLine(text, [&reader](std::string_view line, std::size_t number) {
            return reader.readLine(line, number);
        })) {
        error = reader.error();
        return nullptr;
    }
    return reader.finish(error);
}
