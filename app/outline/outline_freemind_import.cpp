// FreeMind and Freeplane maps (.mm): <map><node TEXT=".." COLOR="#rrggbb"
// BACKGROUND_COLOR="#rrggbb" FOLDED="true"><node ../></node></map>. Other elements (icons,
// fonts, edges, notes, attributes) are skipped with everything inside them.
#include <string>
#include <utility>
#include <vector>

#include "app/outline/import_tree_builder.h"
#include "app/outline/outline_readers.h"
#include "app/outline/outline_xml.h"
#include "unicode/utf.h"

namespace {
bool isBlockElement(std::string_view name) {
    return name == "p" || name == "div" || name == "br" || name == "li" || name == "tr" ||
           (name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6');
}

// Rich captions arrive as HTML: whitespace runs fold to one space, blocks start new lines,
// and blank lines and the spaces around each line go.
std::string tidyRichText(const std::string& raw) {
    std::string out;
    std::size_t start = 0;
    while (start <= raw.size()) {
        std::size_t end = raw.find('\n', start);
        if (end == std::string::npos) end = raw.size();
        std::size_t first = start;
        std::size_t last = end;
        while (first < last && raw[first] == ' ') ++first;
        while (last > first && raw[last - 1] == ' ') --last;
        if (last > first) {
            if (!out.empty()) out.push_back('\n');
            out.append(raw, first, last - first);
        }
        start = end + 1;
    }
    return out;
}

class FreeMindReader final : public XmlEvents {
  public:
    bool startElement(std::string_view name, const std::vector<XmlAttribute>& attributes) override {
        if (skipped_ > 0) {
            ++skipped_;
            return true;
        }
        if (!richStack_.empty()) {
            const bool hidden = richStack_.back() || name == "head" || name == "style" || name == "script";
            richStack_.push_back(hidden);
            if (isBlockElement(name)) rich_.push_back('\n');
            return true;
        }
        if (!sawRoot_) {
            sawRoot_ = true;
            if (name == "map") return true;
            error = "not a FreeMind map: the document element is <" + std::string(name) + ">, not <map>";
            return false;
        }
        if (name == "node") return openNode(attributes);
        if (name == "richcontent" && builder_.current() != nullptr &&
            attributeValue(attributes, "TYPE") == "NODE") {
            richStack_.push_back(false);
            rich_.clear();
            return true;
        }
        skipped_ = 1;
        return true;
    }

    bool endElement() override {
        if (skipped_ > 0) {
            --skipped_;
        } else if (!richStack_.empty()) {
            richStack_.pop_back();
            if (richStack_.empty() && builder_.current()->text.empty()) {
                builder_.current()->text = unicode::fromUtf8(tidyRichText(rich_));
            }
        } else {
            builder_.close();  // a node's end; the map's own end closes nothing
        }
        return true;
    }

    bool characters(std::string_view text) override {
        if (richStack_.empty() || richStack_.back()) return true;
        for (const char c : text) {
            const bool space = c == ' ' || c == '\t' || c == '\n' || c == '\r';
            if (!space) {
                rich_.push_back(c);
            } else if (!rich_.empty() && rich_.back() != ' ' && rich_.back() != '\n') {
                rich_.push_back(' ');
            }
        }
        return true;
    }

    std::unique_ptr<Node> finish(std::string& why) {
        std::unique_ptr<Node> root = builder_.finish(u"");
        if (root == nullptr) why = builder_.error();
        return root;
    }

  private:
    bool openNode(const std::vector<XmlAttribute>& attributes) {
        if (!builder_.open(unicode::fromUtf8(attributeValue(attributes, "TEXT")))) {
            error = builder_.error();
            return false;
        }
        Node& node = *builder_.current();
        parseHexColour(attributeValue(attributes, "BACKGROUND_COLOR"), node.fillColor);
        parseHexColour(attributeValue(attributes, "COLOR"), node.textColor);
        node.collapsed = isTrueAttribute(attributeValue(attributes, "FOLDED"));
        return true;
    }

    ImportTreeBuilder builder_;
    bool sawRoot_ = false;
    int skipped_ = 0;  // levels open inside an element that is skipped
    // Levels open inside a rich caption, each saying whether its text is hidden.
    std::vector<bool> richStack_;
    std::string rich_;
};
}  // namespace

std::unique_ptr<Node> readFreeMindOutline(std::string_view bytes, std::string& error) {
    FreeMindReader reader;
    if (!parseXml(bytes, reader, error)) return nullptr;
    return reader.finish(error);
}
