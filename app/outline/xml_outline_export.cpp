// The two XML outline formats: OPML and FreeMind's .mm.
#include <string>

#include "app/outline/outline_export.h"
#include "app/outline/outline_export_escape.h"
#include "app/outline/outline_export_walk.h"

namespace {

void appendIndent(std::string& out, int levels) {
    out.append(static_cast<std::size_t>(levels) * 2, ' ');
}

}  // namespace

std::string writeOpml(const Node& root) {
    std::string out =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<opml version=\"2.0\">\n  <head>\n    <title>";
    // Element text: the attribute escapes are valid there too.
    appendXmlAttribute(out, root.text);
    out += "</title>\n  </head>\n  <body>\n";
    walkOutline(
        root,
        [&out](const Node& node, int depth) {
            appendIndent(out, depth + 2);
            out += "<outline text=\"";
            appendXmlAttribute(out, node.text);
            out += "\" fillColor=\"";
            appendHexColour(out, node.fillColor);
            out += "\" textColor=\"";
            appendHexColour(out, node.textColor);
            out += '"';
            if (node.collapsed) out += " collapsed=\"true\"";
            out += node.children.empty() ? "/>\n" : ">\n";
        },
        [&out](const Node& node, int depth) {
            if (node.children.empty()) return;
            appendIndent(out, depth + 2);
            out += "</outline>\n";
        });
    out += "  </body>\n</opml>\n";
    return out;
}

std::string writeFreeMind(const Node& root) {
    // As FreeMind writes its own files: no declaration (UTF-8 is XML's default), no indentation.
    std::string out = "<map version=\"1.0.1\">\n";
    walkOutline(
        root,
        [&out](const Node& node, int) {
            out += "<node TEXT=\"";
            appendXmlAttribute(out, node.text);
            out += "\" BACKGROUND_COLOR=\"";
            appendHexColour(out, node.fillColor);
            out += "\" COLOR=\"";
            appendHexColour(out, node.textColor);
            out += '"';
            if (node.collapsed) out += " FOLDED=\"true\"";
            out += node.children.empty() ? "/>\n" : ">\n";
        },
        [&out](const Node& node, int) {
            if (!node.children.empty()) out += "</node>\n";
        });
    out += "</map>\n";
    return out;
}
