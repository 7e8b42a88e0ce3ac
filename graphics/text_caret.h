// The program's text caret as the system sees it: a caret of the window thread (never shown)
// and, on Windows, the input method context's composition and candidate positions, so that
// an input method opens its window beside the text being typed.
#pragma once

#include <windows.h>

#include <mutex>

namespace Gfx {

struct CaretPlace {
    bool shown = false;
    int x = 0;  // window client coordinates of the caret's top
    int y = 0;
    int height = 0;
    bool operator==(const CaretPlace&) const = default;
};

class TextCaret {
  public:
    // Program's thread: records the place; true when it differs from the last one recorded,
    // so the window thread must apply it.
    bool request(const CaretPlace& place);
    // Window thread: gives the window's caret and input method context the recorded place.
    void apply(HWND window);

  private:
    std::mutex mutex_;
    CaretPlace requested_;
    CaretPlace applied_;  // window thread only
};

}  // namespace Gfx
