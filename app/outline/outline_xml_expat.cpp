#include <expat.h>

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>

#include "app/outline/outline_xml.h"

namespace {
struct ExpatParse {
    XML_Parser parser;
    XmlEvents& events;
    std::vector<XmlAttribute> attributes;
    std::string error;

    void stop(std::string why) {
        if (error.empty()) error = std::move(why);
        XML_StopParser(parser, XML_FALSE);
    }
    void stopFromEvents() { stop(events.error.empty() ? "the outline reader stopped" : events.error); }
};

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** attributes) {
    auto& parse = *static_cast<ExpatParse*>(data);
    parse.attributes.clear();
    for (const XML_Char** attribute = attributes; *attribute != nullptr; attribute += 2) {
        parse.attributes.push_back({attribute[0], attribute[1]});
    }
    if (!parse.events.startElement(name, parse.attributes)) parse.stopFromEvents();
}

void XMLCALL onEnd(void* data, const XML_Char*) {
    auto& parse = *static_cast<ExpatParse*>(data);
    if (!parse.events.endElement()) parse.stopFromEvents();
}

void XMLCALL onCharacters(void* data, const XML_Char* text, int length) {
    auto& parse = *static_cast<ExpatParse*>(data);
    if (!parse.events.characters(std::string_view(text, static_cast<std::size_t>(length)))) {
        parse.stopFromEvents();
    }
}

// Any entity declaration stops the parse before the entity can be used.
void XMLCALL onEntityDeclaration(void* data, const XML_Char*, int, const XML_Char*, int, const XML_Char*,
                                 const XML_Char*, const XML_Char*, const XML_Char*) {
    static_cast<ExpatParse*>(data)->stop("the file declares XML entities, which are not accepted");
}

class ParserHandle {
  public:
    ParserHandle() : parser_(XML_ParserCreate(nullptr)) {}
    ~ParserHandle() {
        if (parser_ != nullptr) XML_ParserFree(parser_);
    }
    ParserHandle(const ParserHandle&) = delete;
    ParserHandle& operator=(const ParserHandle&) = delete;
    XML_Parser get() const { return parser_; }

  private:
    XML_Parser parser_;
};
}  // namespace

bool parseXml(std::string_view bytes, XmlEvents& events, std::string& error) {
    ParserHandle handle;
    if (handle.get() == nullptr) {
        error = "out of memory for the XML parser";
        return false;
    }
    ExpatParse parse{handle.get(), events, {}, {}};
    XML_SetUserData(handle.get(), &parse);
    XML_SetElementHandler(handle.get(), onStart, onEnd);
    XML_SetCharacterDataHandler(handle.get(), onCharacters);
    XML_SetEntityDeclHandler(handle.get(), onEntityDeclaration);
    XML_SetParamEntityParsing(handle.get(), XML_PARAM_ENTITY_PARSING_NEVER);

    // Fed in pieces: a length is an int to expat.
    constexpr std::size_t kPiece = std::size_t{1} << 24;
    std::size_t offset = 0;
    for (;;) {
        const std::size_t count = std::min(kPiece, bytes.size() - offset);
        const bool last = offset + count == bytes.size();
        if (XML_Parse(handle.get(), bytes.data() + offset, static_cast<int>(count),
                      last ? XML_TRUE : XML_FALSE) != XML_STATUS_OK) {
            const auto line = static_cast<unsigned long>(XML_GetCurrentLineNumber(handle.get()));
            const auto column = static_cast<unsigned long>(XML_GetCurrentColumnNumber(handle.get()) + 1);
            if (parse.error.empty()) {
                error = "malformed XML at line " + std::to_string(line) + ", column " +
                        std::to_string(column) + ": " + XML_ErrorString(XML_GetErrorCode(handle.get()));
            } else {
                error = "line " + std::to_string(line) + ": " + parse.error;
            }
            return false;
        }
        offset += count;
        if (last) return true;
    }
}
