#include "app/ui/dispatch.h"

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "app/model/recovery_offer.h"
#include "app/model/scene_layout.h"
#include "app/ui/recovery_offer_input.h"

// Message kinds and virtual-key codes are the platform's (WM_*, VK_*): InputMessage::kind and
// KeyInput::keyCode carry them unchanged.

namespace {

constexpr char16_t kBackspace = 8;

// The key commands that act outside every mode, by virtual-key code; the letters O, S, Y and Z
// act only with Control held, and only they ask whether it is.
struct KeyCommand {
    std::uint8_t key;
    bool needsControl;
    void (*run)(MindMap&);
};
constexpr KeyCommand kKeyCommands[] = {
    {VK_SPACE, false, [](MindMap& m) { m.addSiblingNode(); }},
    {VK_DELETE, false, [](MindMap& m) { m.deleteSelectedNode(); }},
    {'1', false, [](MindMap& m) { m.setNodeFillColor(kDefaultNodeFill); }},  // light grey
    {'2', false, [](MindMap& m) { m.setNodeFillColor(0xB4DCB4); }},          // light green
    {'3', false, [](MindMap& m) { m.setNodeFillColor(0xDCB4B4); }},          // light blue
    {'4', false, [](MindMap& m) { m.setNodeTextColor(kDefaultNodeText); }},  // black
    {'5', false, [](MindMap& m) { m.setNodeTextColor(0xFFFFFF); }},          // white
    {'F', false, [](MindMap& m) { m.toggleCollapse(); }},
    {VK_F2, false, [](MindMap& m) { m.startEditing(); }},
    {'O', true, [](MindMap& m) { m.showOpenDialog(); }},
    {'S', true, [](MindMap& m) { m.showSaveDialog(); }},
    {'Y', true, [](MindMap& m) { m.redo(); }},
    {'Z', true, [](MindMap& m) { m.undo(); }},
};

// The panel's commands by button index, in the order of its table (kPanelButtons).
constexpr std::array<void (MindMap::*)(), kPanelButtons.size()> kPanelCommands = {
    &MindMap::addChildNode, &MindMap::addSiblingNode, &MindMap::deleteSelectedNode,
    &MindMap::startEditing, &MindMap::toggleCollapse, &MindMap::undo,
    &MindMap::redo,         &MindMap::showSaveDialog, &MindMap::showOpenDialog,
    &MindMap::toggleHelp,
};

void leftButtonDown(MindMap& m, int x, int y) {
    if (m.showFileDialog) {
        m.handleFileDialogClick(x, y);
        return;
    }
    if (x < m.getPanelWidth()) {
        // The panel acts while editing or with help shown.
        runPanelCommand(m, m.findButtonAt(x, y));
        return;
    }
    if (m.isEditing || m.showHelp) return;
    m.selectNodeAt(x, y);
    m.startDrag(x, y);
}

void mouseMove(MindMap& m, std::uint8_t flags, int x, int y) {
    m.updateButtonHover(x, y);
    if ((flags & Gfx::kMouseLeft) != 0 && !m.isEditing && !m.showHelp && !m.showFileDialog) m.dragTo(x, y);
}

void keyWhileEditing(MindMap& m, std::uint8_t key) {
    if (key == VK_RETURN) {
        m.finishEditing();
    } else if (key == VK_ESCAPE) {
        m.cancelEditing();
    } else if (key == VK_BACK) {
        m.handleCharInput(kBackspace);
    }
}

void keyDown(MindMap& m, std::uint8_t key, bool& running, ControlKeyTest controlHeld) {
    if (m.isEditing) {
        keyWhileEditing(m, key);
        return;
    }
    const bool dialog = m.showFileDialog;
    const bool free = !m.showHelp && !dialog;
    switch (key) {
        case VK_ESCAPE:
            if (dialog) {
                m.closeFileDialog();
            } else {
                running = false;
            }
            return;
        case VK_BACK:
            if (dialog) m.handleCharInput(kBackspace);
            return;
        case 'H':
            if (!dialog) m.toggleHelp();
            return;
        default:
            break;
    }
    if (!free) return;
    for (const KeyCommand& command : kKeyCommands) {
        if (command.key != key) continue;
        if (!command.needsControl || controlHeld()) command.run(m);
        return;
    }
}

void character(MindMap& m, char16_t ch) {
    if (ch == kBackspace) return;  // Backspace arrives as a key-down
    if (m.isEditing || m.showFileDialog) m.handleCharInput(ch);
}

}  // namespace

void dispatchInput(MindMap& mindMap, const Gfx::InputMessage& message, bool& running,
                   ControlKeyTest controlHeld) {
    if (mindMap.recoveryOffer != nullptr && mindMap.recoveryOffer->shown) {
        dispatchOfferInput(mindMap, *mindMap.recoveryOffer, message);
        return;
    }
    // A failed save's or open's line in the status bar lasts until the next command.
    if (message.kind == WM_KEYDOWN || message.kind == WM_LBUTTONDOWN || message.kind == WM_RBUTTONDOWN)
        mindMap.fileFailure.clear();
    switch (message.kind) {
        case WM_LBUTTONDOWN:
            leftButtonDown(mindMap, message.mouse.x, message.mouse.y);
            break;
        case WM_LBUTTONUP:
            mindMap.endDrag();
            break;
        case WM_RBUTTONDOWN:
            if (!mindMap.isEditing && !mindMap.showHelp && !mindMap.showFileDialog) mindMap.addChildNode();
            break;
        case WM_MOUSEMOVE:
            mouseMove(mindMap, message.mouse.mouseFlags, message.mouse.x, message.mouse.y);
            break;
        case WM_KEYDOWN:
            keyDown(mindMap, message.key.keyCode, running, controlHeld);
            break;
        case WM_CHAR:
            character(mindMap, static_cast<char16_t>(message.text.character));
            break;
        default:
            break;
    }
}

void runPanelCommand(MindMap& mindMap, int commandId) {
    if (commandId < 0 || commandId >= static_cast<int>(kPanelCommands.size())) return;
    (mindMap.*kPanelCommands[static_cast<std::size_t>(commandId)])();
}
