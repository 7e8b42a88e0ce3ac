#include "app/ui/event_loop.h"

#include <windows.h>

#include "app/render/text_caret.h"
#include "graphics/graphics.h"

namespace {

constexpr DWORD kPassPause = 10;  // milliseconds between two passes

}  // namespace

void drainInput(MindMap& mindMap, bool& running, ControlKeyTest controlHeld) {
    Gfx::InputMessage message{};
    while (Gfx::peekInputMessage(&message, Gfx::kInputAll, true))
        dispatchInput(mindMap, message, running, controlHeld);
}

void runEventLoop(MindMap& mindMap) {
    bool running = true;
    while (running) {
        drainInput(mindMap, running);
        mindMap.drawFrame();
        placeTextCaret(mindMap);
        Sleep(kPassPause);
    }
}
