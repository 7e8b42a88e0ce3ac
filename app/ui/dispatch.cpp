#include "app/ui/dispatch.h"

#include <windows.h>

#include <array>
#include <cstddef>
#include <cstdint>

#include "app/model/map_view.h"
#include "app/model/recovery_offer.h"
#include "app/model/scene_layout.h"
#include "app/ui/clipboard_commands.h"
#include "app/ui/find_box.h"
#include "app/ui/recovery_offer_input.h"
#include "app/ui/view_commands.h"

// Message kinds and virtual-key codes are the platform's (WM_*, VK_*): InputMessage::kind and
// KeyInput::keyCode carry them unchanged.

namespace {

constexpr char16_t kBackspace = 8;

// The key commands that act outside every mode, by virtual-key code; the letters C, O, S, V, X,
// Y and Z act only with Control held, and only they ask whether it is.
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
    {VK_F2, false, [](MindMap& m) { m.startEditing(); }},
    {'O', true, [](MindMap& m) { m.showOpenDialog(); }},
    {'S', true, [](MindMap& m) { m.showSaveDialog(); }},
    {'Y', true, [](MindMap& m) { m.redo(); }},
    {'Z', true, [](MindMap& m) { m.undo(); }},
    {'C', true, copySelectedBranch},
    {'X', true, cutSelectedBranch},
    {'V', true, pasteClipboardBranch},
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
    // The node drawn under the pointer; the drag then works in map positions.
    m.selectedNode = findNodeAtWindow(m.root, m.view, x, y);
    m.startDrag(m.view.toMapX(x), m.view.toMapY(y));
}

void mouseMove(MindMap& m, std::uint8_t flags, int x, int y) {
    // A release outside the window is never heard (the window has no capture): a move with the
    // button up ends the drag it would have ended, so a later press elsewhere drags nothing.
    if ((flags & Gfx::kMouseLeft) == 0 && m.isDragging) m.endDrag();
    m.updateButtonHover(x, y);
    panToPointer(m, flags, x, y);
    if ((flags & Gfx::kMouseLeft) != 0 && !m.isEditing && !m.showHelp && !m.showFileDialog)
        m.dragTo(m.view.toMapX(x), m.view.toMapY(y));
}

void keyWhileEditing(MindMap& m, std::uint8_t key, ControlKeyTest controlHeld) {
    if (key == 'V' && controlHeld()) {
        pasteIntoTextEntry(m);
    } else if (key == VK_RETURN) {
        m.finishEditing();
    } else if (key == VK_ESCAPE) {
        m.cancelEditing();
    } else if (key == VK_BACK) {
        m.handleCharInput(kBackspace);
    }
}

// Keys while the find box takes them: the view keys still act.
void keyWhileFinding(MindMap& m, std::uint8_t key, ControlKeyTest controlHeld, ControlKeyTest shiftHeld) {
    if (key == VK_RETURN) {
        findBoxKey(m, key, shiftHeld());
    } else if (key == VK_ESCAPE || key == VK_BACK) {
        findBoxKey(m, key, false);
    } else {
        viewKey(m, key, isZoomKey(key) && controlHeld());
    }
}

void keyDown(MindMap& m, std::uint8_t key, bool& running, ControlKeyTest controlHeld,
             ControlKeyTest shiftHeld) {
    if (m.isEditing) {
        keyWhileEditing(m, key, controlHeld);
        return;
    }
    const bool dialog = m.showFileDialog;
    if (!dialog && m.find.open) {
        keyWhileFinding(m, key, controlHeld, shiftHeld);
        return;
    }
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
        case 'V':
            // Ctrl+V types the clipboard's first line into the path.
            if (dialog && controlHeld()) {
                pasteIntoTextEntry(m);
                return;
            }
            break;
        default:
            break;
    }
    if (!free) return;
    if (key == 'F') {
        // F collapses; with Ctrl it finds.
        if (controlHeld()) {
            openFindBox(m);
        } else {
            m.toggleCollapse();
        }
        return;
    }
    if (viewKey(m, key, isZoomKey(key) && controlHeld()) || arrowKey(m, key)) return;
    for (const KeyCommand& command : kKeyCommands) {
        if (command.key != key) continue;
        if (!command.needsControl || controlHeld()) command.run(m);
        return;
    }
}

void character(MindMap& m, char16_t ch) {
    if (ch == kBackspace) return;  // Backspace arrives as a key-down
    if (m.isEditing || m.showFileDialog) {
        m.handleCharInput(ch);
    } else if (m.find.open) {
        findBoxCharacter(m, ch);
    }
}

}  // namespace

void dispatchInput(MindMap& mindMap, const Gfx::InputMessage& message, bool& running,
                   ControlKeyTest controlHeld, ControlKeyTest shiftHeld) {
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
            keyDown(mindMap, message.key.keyCode, running, controlHeld, shiftHeld);
            break;
        case WM_MOUSEWHEEL:
            wheelTurned(mindMap, message.mouse);
            break;
        case WM_MBUTTONDOWN:
            middleButtonDown(mindMap, message.mouse.x, message.mouse.y);
            break;
        case WM_MBUTTONUP:
            middleButtonUp(mindMap);
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
