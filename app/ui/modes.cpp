// Caption editing, the help screen and closing the path dialog; typed characters reach the
// edit buffer or the path buffer.
#include <cstddef>

#include "app/model/mind_map.h"

namespace {

constexpr std::size_t kEditLimit = 50;  // code units
constexpr char16_t kBackspace = 8;
constexpr char16_t kLineFeed = 10;

void eraseLast(std::u16string& text) {
    if (!text.empty()) text.pop_back();
}

}  // namespace

void MindMap::startEditing() {
    if (selectedNode == nullptr) return;
    isEditing = true;
    editText = selectedNode->text;
}

void MindMap::finishEditing() {
    // Without a selection the edit stays open; Escape still ends it.
    if (selectedNode == nullptr || !isEditing) return;
    setNodeText(selectedNode, editText);
    updateNodeWidth(selectedNode);
    isEditing = false;
}

void MindMap::cancelEditing() {
    isEditing = false;
}

void MindMap::handleCharInput(char16_t ch) {
    if (isEditing) {
        if (ch == kBackspace) {
            eraseLast(editText);
        } else if ((ch >= 32 || ch == kLineFeed) && editText.size() < kEditLimit) {
            editText.push_back(ch);
        }
        return;
    }
    if (showFileDialog) {
        if (ch == kBackspace) {
            eraseLast(filePath);
        } else if (ch >= 32 && ch <= 126) {
            filePath.push_back(ch);
        }
    }
}

void MindMap::toggleHelp() {
    showHelp = !showHelp;
}

void MindMap::closeFileDialog() {
    showFileDialog = false;
}
