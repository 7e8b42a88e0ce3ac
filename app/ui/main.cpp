// Program entry: open the window, set the text style, run the loop until Escape, shut down.
#include <windows.h>

#include <cstdio>
#include <memory>

#include "app/model/mind_map.h"
#include "app/model/scene_layout.h"
#include "app/render/palette.h"
#include "app/ui/event_loop.h"
#include "app/ui/text_style.h"
#include "graphics/graphics.h"

#ifndef _WIN32
#include <cstdlib>
#endif

namespace {

constexpr int kKeepConsole = 1;

bool openEditorWindow() {
#ifndef _WIN32
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        std::fputs("mindmap: no X display (DISPLAY is not set); start it from a graphical session.\n",
                   stderr);
        return false;
    }
#endif
    if (Gfx::openGraphWindow(kWindowWidth, kWindowHeight, kKeepConsole) == nullptr) {
        Gfx::closeGraphWindow();  // gives back the graphics layer taken for the attempt
        std::fputs("mindmap: the graphics window could not be opened (is the X display reachable?).\n",
                   stderr);
        return false;
    }
    return true;
}

}  // namespace

int main() {
    if (!openEditorWindow()) return 1;
    Gfx::setBackgroundColor(palette::kBackground);
    applyEditorTextStyle();
    auto mindMap = std::make_unique<MindMap>();

    runEventLoop(*mindMap);

    Gfx::closeGraphWindow();
    mindMap.reset();
    return 0;
}
