#include "app/ui/clipboard_commands.h"

#include <string>

#include "app/ui/clipboard.h"
#include "app/ui/clipboard_branch.h"
#include "graphics/graphics.h"
#include "unicode/utf.h"

namespace {
void fail(MindMap& mindMap, const std::u16string& why) {
    mindMap.fileFailure = why;
}

const std::u16string kNoAnswer = u"剪贴板的所有者没有应答";
const std::u16string kBusy = u"剪贴板被占用";

bool copy(MindMap& mindMap) {
    if (mindMap.selectedNode == nullptr) return false;
    const Node& top = *mindMap.selectedNode;
    if (!currentClipboard().put(branchMapLines(top), branchOutlineText(top))) {
        fail(mindMap, u"复制失败: " + kBusy);
        return false;
    }
    return true;
}
}  // namespace

void copySelectedBranch(MindMap& mindMap) {
    copy(mindMap);
}

void cutSelectedBranch(MindMap& mindMap) {
    if (mindMap.selectedNode == mindMap.root) return;
    if (copy(mindMap)) mindMap.deleteSelectedNode();
}

void pasteClipboardBranch(MindMap& mindMap) {
    Clipboard::Content content = currentClipboard().get(true);
    std::unique_ptr<Node> branch;
    const bool hadMapLines = content.kind == Clipboard::Content::Kind::MapLines;
    if (hadMapLines) {
        branch = branchFromMapLines(content.mapLines);
        // Some owners answer every target with their text: then the text is what they hold.
        if (branch == nullptr) content = currentClipboard().get(false);
    }
    switch (content.kind) {
        case Clipboard::Content::Kind::Nothing:
            if (hadMapLines) fail(mindMap, u"粘贴失败: 剪贴板中的节点无法读取");
            return;
        case Clipboard::Content::Kind::NoAnswer:
            fail(mindMap, u"粘贴失败: " + kNoAnswer);
            return;
        case Clipboard::Content::Kind::Busy:
            fail(mindMap, u"粘贴失败: " + kBusy);
            return;
        case Clipboard::Content::Kind::MapLines:
            if (branch == nullptr) {
                fail(mindMap, u"粘贴失败: 剪贴板中的节点无法读取");
                return;
            }
            break;
        case Clipboard::Content::Kind::Text: {
            std::string error;
            branch = branchFromText(content.text, error, [](const std::u16string& caption) {
                return Gfx::getTextWidth(caption.c_str());
            });
            if (branch == nullptr) {
                fail(mindMap, u"粘贴失败: " + unicode::fromUtf8(error));
                return;
            }
            break;
        }
    }
    if (!mindMap.pasteBranch(std::move(branch))) fail(mindMap, u"粘贴失败: 层级太深");
}

void pasteIntoTextEntry(MindMap& mindMap) {
    const Clipboard::Content content = currentClipboard().get(false);
    if (content.kind == Clipboard::Content::Kind::NoAnswer ||
        content.kind == Clipboard::Content::Kind::Busy) {
        fail(mindMap, u"粘贴失败: " + (content.kind == Clipboard::Content::Kind::Busy ? kBusy : kNoAnswer));
        return;
    }
    if (content.kind != Clipboard::Content::Kind::Text) return;
    std::u16string_view line = content.text;
    line = line.substr(0, line.find_first_of(u"\r\n"));
    const std::u16string& buffer = mindMap.isEditing ? mindMap.editText : mindMap.filePath;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const std::size_t before = buffer.size();
        // A character outside the basic plane goes in whole or not at all.
        const bool pair =
            unicode::isHighSurrogate(line[i]) && i + 1 < line.size() && unicode::isLowSurrogate(line[i + 1]);
        mindMap.handleCharInput(line[i]);
        if (pair && buffer.size() != before) {
            mindMap.handleCharInput(line[i + 1]);
            if (buffer.size() == before + 1) {  // the box filled up between the two halves
                std::u16string& text = mindMap.isEditing ? mindMap.editText : mindMap.filePath;
                text.pop_back();
                return;
            }
            ++i;
        }
    }
}
