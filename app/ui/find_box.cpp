#include "app/ui/find_box.h"

#include <windows.h>

#include "app/model/find.h"
#include "app/model/map_view.h"

void openFindBox(MindMap& m) {
    m.find.open = true;
}

void findBoxKey(MindMap& m, std::uint8_t key, bool shiftHeld) {
    switch (key) {
        case VK_RETURN:
            if (Node* found = nextMatch(m.root, m.selectedNode, m.find.text, !shiftHeld)) {
                m.selectedNode = found;
                showNodeWhole(*found, m.view);
            }
            break;
        case VK_ESCAPE:
            m.find.open = false;
            break;
        case VK_BACK:
            if (!m.find.text.empty()) m.find.text.pop_back();
            break;
        default:
            break;
    }
}

void findBoxCharacter(MindMap& m, char16_t ch) {
    // Control characters (Enter's 13, Ctrl+F's 6, the line feed) are not searched for.
    if (ch < 32 || ch == 127) return;
    if (m.find.text.size() < kMaxFindText) m.find.text.push_back(ch);
}
