// The one XML interface the outline importers read through, so the readers are shared while
// the parser is the system's: expat on Linux (outline_xml_expat.cpp), XmlLite on Windows
// (outline_xml_xmllite.cpp). Names and values arrive as UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct XmlAttribute {
    std::string_view name;
    std::string_view value;
};

// What a reader does with the document, element by element. A call that answers false stops
// the parse; the reader says why in error.
class XmlEvents {
  public:
    virtual bool startElement(std::string_view name, const std::vector<XmlAttribute>& attributes) = 0;
    virtual bool endElement() = 0;
    // Character data of the open element, in one or more pieces.
    virtual bool characters(std::string_view text) = 0;

    std::string error;

  protected:
    ~XmlEvents() = default;
};

// Parses the whole document into events. False, with a one-line reason in error, when the XML
// is malformed, when it declares a document type with entities (an entity-expansion bomb
// needs them; an outline never does), or when a handler stops it. Element nesting is bounded
// by the parser's own stack, never by the call stack.
bool parseXml(std::string_view bytes, XmlEvents& events, std::string& error);

// Value of the attribute called name, or an empty view.
inline std::string_view attributeValue(const std::vector<XmlAttribute>& attributes, std::string_view name) {
    for (const XmlAttribute& attribute : attributes) {
        if (attribute.name == name) return attribute.value;
    }
    return {};
}
