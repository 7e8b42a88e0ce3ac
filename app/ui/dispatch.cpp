#include "app/ui/dispatch.h"

#include <cstdint>

namespace {

// Message kinds and virtual-key codes as the platform numbers them (InputMessage::kind and
// KeyInput::keyCode carry them unchanged).
constexpr std::uint16_t kKeyDown = 256;    // WM_KEYDOWN
constexpr std::uint16_t kChar = 258;       // WM_CHAR
constexpr std::uint16_t kMouseMove = 512;  // WM_MOUSEMOVE
constexpr std::uint16_t kLeftDown = 513;   // WM_LBUTTONDOWN
constexpr std::uint16_t kLeftUp = 514;     // WM_LBUTTONUP
constexpr std::uint16_t kRightDown = 516;  // WM_RBUTTONDOWN

constexpr std::uint8_t kVkBack = 8;
constexpr std::uint8_t kVkReturn = 13;
constexpr std::uint8_t kVkEscape = 27;
constexpr std::uint8_t kVkSpace = 32;
constexpr std::uint8_t kVkDelete = 46;
constexpr std::uint8_t kVkF2 = 113;

constexpr char16_t kBackspace = 8;

constexpr Colour kLightGrey = 0xDCDCDC;
constexpr Colour kLightGreen = 0xB4DCB4;
constexpr Colour kLightBlue = 0xDCB4B4;
constexpr Colour kBlack = 0x000000;
constexpr Colour kWhite = 0xFFFFFF;

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
    if (key == kVkReturn) {
        m.finishEditing();
    } else if (key == kVkEscape) {
        m.cancelEditing();
    } else if (key == kVkBack) {
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
        case kVkEscape:
            if (dialog) {
                m.closeFileDialog();
            } else {
                running = false;
            }
            return;
        case kVkBack:
            if (dialog) m.handleCharInput(kBackspace);
            return;
        case 'H':
            if (!dialog) m.toggleHelp();
            return;
        default:
            break;
    }
    if (!free) return;
    switch (key) {
        case kVkSpace:
            m.addSiblingNode();
            break;
        case kVkDelete:
            m.deleteSelectedNode();
            break;
        case '1':
            m.setNodeFillColor(kLightGrey);
            break;
        case '2':
            m.setNodeFillColor(kLightGreen);
            break;
        case '3':
            m.setNodeFillColor(kLightBlue);
            break;
        case '4':
            m.setNodeTextColor(kBlack);
            break;
        case '5':
            m.setNodeTextColor(kWhite);
            break;
        case 'F':
            m.toggleCollapse();
            break;
        case kVkF2:
            m.startEditing();
            break;
        case 'O':
            if (controlHeld()) m.showOpenDialog();
            break;
        case 'S':
            if (controlHeld()) m.showSaveDialog();
            break;
        case 'Y':
            if (controlHeld()) m.redo();
            break;
        case 'Z':
            if (controlHeld()) m.undo();
            break;
        default:
            break;
    }
}

void character(MindMap& m, char16_t ch) {
    if (ch == kBackspace) return;  // Backspace arrives as a key-down
    if (m.isEditing || m.showFileDialog) m.handleCharInput(ch);
}

}  // namespace

void dispatchInput(MindMap& mindMap, const Gfx::InputMessage& message, bool& running,
                   ControlKeyTest controlHeld) {
    switch (message.kind) {
        case kLeftDown:
            leftButtonDown(mindMap, message.mouse.x, message.mouse.y);
            break;
        case kLeftUp:
            mindMap.endDrag();
            break;
        case kRightDown:
            if (!mindMap.isEditing && !mindMap.showHelp && !mindMap.showFileDialog) mindMap.addChildNode();
            break;
        case kMouseMove:
            mouseMove(mindMap, message.mouse.mouseFlags, message.mouse.x, message.mouse.y);
            break;
        case kKeyDown:
            keyDown(mindMap, message.key.keyCode, running, controlHeld);
            break;
        case kChar:
            character(mindMap, static_cast<char16_t>(message.text.character));
            break;
        default:
            break;
    }
}

void runPanelCommand(MindMap& mindMap, int commandId) {
    switch (commandId) {
        case 0:
            mindMap.addChildNode();
            break;
        case 1:
            mindMap.addSiblingNode();
            break;
        case 2:
            mindMap.deleteSelectedNode();
            break;
        case 3:
            mindMap.startEditing();
            break;
        case 4:
            mindMap.toggleCollapse();
            break;
        case 5:
            mindMap.undo();
            break;
        case 6:
            mindMap.redo();
            break;
        case 7:
            mindMap.showSaveDialog();
            break;
        case 8:
            mindMap.showOpenDialog();
            break;
        case 9:
            mindMap.toggleHelp();
            break;
        default:
            break;
    }
}
