// Fonts: a LOGFONTW resolved to a Pango font description with GDI's meaning of the height (a
// positive lfHeight is the cell height, ascent plus descent; a negative one the em height),
// measured from unhinted metrics. Face names go through fontconfig; the Windows faces the
// program asks for ("微软雅黑", "System", ...) map to WenQuanYi Micro Hei.
#pragma once

#include <pango/pango.h>
#include <windows.h>

#include <memory>
#include <mutex>
#include <string>

namespace platform::gdi32 {

struct FontFace {
    FontFace() = default;
    FontFace(const FontFace&) = delete;
    FontFace& operator=(const FontFace&) = delete;
    ~FontFace();

    unsigned id = 0;  // distinct for every face ever resolved
    PangoFontDescription* description = nullptr;
    bool antialias = false;
    bool underline = false;
    bool strikeOut = false;
    double em = 16;       // pixels
    double ascent = 0;    // pixels, unhinted
    int cellHeight = 16;  // line height
    int baseline = 0;     // whole-pixel ascent: where the baseline sits below a line's top
};

// Resolved faces are kept for the life of the process, one per distinct LOGFONTW.
std::shared_ptr<const FontFace> resolveFont(const LOGFONTW& logFont);
// The Pango context for drawing with or without anti-aliasing. Callers hold textMutex().
PangoContext* pangoContext(bool antialias);
// Serialises all use of Pango and the text caches.
std::mutex& textMutex();

}  // namespace platform::gdi32
