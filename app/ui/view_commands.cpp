#include "app/ui/view_commands.h"

#include <windows.h>

#include "app/model/arrow_navigation.h"
#include "app/model/map_view.h"

namespace {

// The canvas centre, around which the keys zoom.
constexpr int kCanvasCentreX = (kCanvasRect.left + kCanvasRect.right + 1) / 2;
constexpr int kCanvasCentreY = (kCanvasRect.top + kCanvasRect.bottom + 1) / 2;

// Whole wheel steps; a finer wheel's part step still counts as one, in its direction.
int wheelSteps(std::int16_t wheel) {
    const int steps = wheel / WHEEL_DELTA;
    if (steps != 0) return steps;
    return wheel > 0 ? 1 : (wheel < 0 ? -1 : 0);
}

void zoomBy(MindMap& m, int steps, int x, int y) {
    m.view.zoomAround(View::steppedZoom(m.view.zoomPercent(), steps), x, y);
}

}  // namespace

void wheelTurned(MindMap& m, const Gfx::MouseInput& mouse) {
    const int steps = wheelSteps(mouse.wheel);
    if ((mouse.mouseFlags & Gfx::kMouseCtrl) != 0) {
        zoomBy(m, steps, mouse.x, mouse.y);
    } else if ((mouse.mouseFlags & Gfx::kMouseShift) != 0) {
        // Away from the user shows what lies to the left, as it shows what lies above.
        m.view.panBy(std::int64_t{steps} * kWheelPanStep, 0);
    } else {
        m.view.panBy(0, std::int64_t{steps} * kWheelPanStep);
    }
}

void middleButtonDown(MindMap& m, int x, int y) {
    m.panDrag = PanDrag{true, x, y};
}

void middleButtonUp(MindMap& m) {
    m.panDrag.active = false;
}

void panToPointer(MindMap& m, std::uint8_t mouseFlags, int x, int y) {
    if (!m.panDrag.active) return;
    if ((mouseFlags & Gfx::kMouseMiddle) == 0) {
        m.panDrag.active = false;
        return;
    }
    m.view.panBy(std::int64_t{x} - m.panDrag.lastX, std::int64_t{y} - m.panDrag.lastY);
    m.panDrag.lastX = x;
    m.panDrag.lastY = y;
}

bool isZoomKey(std::uint8_t key) {
    return key == VK_OEM_PLUS || key == VK_ADD || key == VK_OEM_MINUS || key == VK_SUBTRACT || key == '0' ||
           key == VK_NUMPAD0;
}

bool viewKey(MindMap& m, std::uint8_t key, bool controlHeld) {
    if (key == VK_HOME) {
        fitShownMap(m.root, m.view);
        return true;
    }
    if (!controlHeld || !isZoomKey(key)) return false;
    if (key == '0' || key == VK_NUMPAD0) {
        m.view.reset();
    } else {
        zoomBy(m, (key == VK_OEM_PLUS || key == VK_ADD) ? 1 : -1, kCanvasCentreX, kCanvasCentreY);
    }
    return true;
}

bool arrowKey(MindMap& m, std::uint8_t key) {
    ArrowDirection direction{};
    switch (key) {
        case VK_LEFT:
            direction = ArrowDirection::Left;
            break;
        case VK_UP:
            direction = ArrowDirection::Up;
            break;
        case VK_RIGHT:
            direction = ArrowDirection::Right;
            break;
        case VK_DOWN:
            direction = ArrowDirection::Down;
            break;
        default:
            return false;
    }
    if (m.selectedNode == nullptr) {
        m.selectedNode = m.root;
    } else if (Node* next = nodeInDirection(m.root, m.selectedNode, direction)) {
        m.selectedNode = next;
    }
    if (m.selectedNode != nullptr) showNodeWhole(*m.selectedNode, m.view);
    return true;
}
