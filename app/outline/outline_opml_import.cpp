// OPML outlines: <opml><head><title>..</title></head><body><outline text=".."> nested
// </outline></body></opml>. OPML has no colours or fold flag of its own; the attributes this
// editor's export writes (fillColor and textColor as "#rrggbb", collapsed="true") are read back.
#include <string>
#include <vector>

#include "app/outline/import_tree_builder.h"
#include "app/outline/outline_readers.h"
#include "app/outline/outline_xml.h"
#include "unicode/utf.h"

namespace {
class OpmlReader final : public XmlEvents {
  public:
    bool startElement(std::string_view name, const std::vector<XmlAttribute>& attributes) override {
        if (skipped_ > 0) {
            ++skipped_;
            return true;
        }
        switch (place_) {
            case Place::Outside:
                if (name != "opml") {
                    error = "not an OPML outline: the document element is <" + std::string(name) +
                            ">, not <opml>";
                    return false;
                }
                place_ = Place::Document;
                return true;
            case Place::Document:
                if (name == "head") {
                    place_ = Place::Head;
                } else if (name == "body") {
                    place_ = Place::Body;
                } else {
                    skipped_ = 1;
                }
                return true;
            case Place::Head:
                if (name == "title") {
                    place_ = Place::Title;
                } else {
                    skipped_ = 1;
                }
                return true;
            case Place::Body:
                if (name == "outline") return openOutline(attributes);
                skipped_ = 1;
                return true;
            case Place::Title:
                skipped_ = 1;
                return true;
        }
        return true;
    }

    bool endElement() override {
        if (skipped_ > 0) {
            --skipped_;
        } else if (place_ == Place::Title) {
            place_ = Place::Head;
        } else if (place_ == Place::Body && builder_.openDepth() > 0) {
            builder_.close();
        } else if (place_ == Place::Head || place_ == Place::Body) {
            place_ = Place::Document;
        } else {
            place_ = Place::Outside;
        }
        return true;
    }

    bool characters(std::string_view text) override {
        if (skipped_ == 0 && place_ == Place::Title) title_.append(text);
        return true;
    }

    std::unique_ptr<Node> finish(std::string& why) {
        std::unique_ptr<Node> root = builder_.finish(unicode::fromUtf8(title_));
        if (root == nullptr) why = builder_.error();
        return root;
    }

  private:
    enum class Place { Outside, Document, Head, Title, Body };

    bool openOutline(const std::vector<XmlAttribute>& attributes) {
        if (!builder_.open(unicode::fromUtf8(attributeValue(attributes, "text")))) {
            error = builder_.error();
            return false;
        }
        Node& node = *builder_.current();
        parseHexColour(attributeValue(attributes, "fillColor"), node.fillColor);
        parseHexColour(attributeValue(attributes, "textColor"), node.textColor);
        node.collapsed = isTrueAttribute(attributeValue(attributes, "collapsed"));
        return true;
    }

    ImportTreeBuilder builder_;
    Place place_ = Place::Outside;
    int skipped_ = 0;  // levels open inside an element that is skipped
    std::string title_;
};
}  // namespace

std::unique_ptr<Node> readOpmlOutline(std::string_view bytes, std::string& error) {
    OpmlReader reader;
    if (!parseXml(bytes, reader, error)) return nullptr;
    return reader.finish(error);
}
