// The map as a Markdown nested list; outline_export.h gives the escapes.
#include <string>

#include "app/outline/outline_export.h"
#include "app/outline/outline_export_escape.h"
#include "app/outline/outline_export_walk.h"

namespace {
// Python-Markdown nests a list only when it is indented by four spaces; CommonMark takes any
// indentation that reaches the parent item's text and stays short of a code block.
constexpr std::size_t kIndentPerLevel = 4;
}  // namespace

std::string writeMarkdownOutline(const Node& root) {
    std::string out;
    walkOutline(
        root,
        [&out](const Node& node, int depth) {
            out.append(static_cast<std::size_t>(depth) * kIndentPerLevel, ' ');
            out += "- ";
            appendMarkdownCaption(out, node.text);
            out += '\n';
        },
        [](const Node&, int) {});
    return out;
}
