// The view of the canvas: where the map's origin lies in the window and how large the map is
// drawn. Positions stay in map coordinates; only drawing and pointer input go through the view.
// It is never saved: an open and Ctrl+0 give back the original view, in which a map position is
// its window position.
#pragma once

#include <cstdint>

#include "app/model/scene_layout.h"

class View {
  public:
    static constexpr int kOriginalZoom = 100;  // percent
    static constexpr int kMinZoom = 10;
    static constexpr int kMaxZoom = 400;
    // The offset never goes further than this from the window: every map coordinate the
    // arithmetic meets (the 32-bit range, times kMaxZoom) then stays far inside 64 bits.
    static constexpr std::int64_t kMaxOffset = std::int64_t{1} << 42;

    bool isOriginal() const { return offsetX_ == 0 && offsetY_ == 0 && zoom_ == kOriginalZoom; }
    int zoomPercent() const { return zoom_; }
    std::int64_t offsetX() const { return offsetX_; }
    std::int64_t offsetY() const { return offsetY_; }

    // Map to window: the window pixel of a map coordinate (rounded down).
    std::int64_t toWindowX(std::int64_t mapX) const { return offsetX_ + scale(mapX); }
    std::int64_t toWindowY(std::int64_t mapY) const { return offsetY_ + scale(mapY); }
    WideRect toWindow(const WideRect& r) const {
        return {toWindowX(r.left), toWindowY(r.top), toWindowX(r.right), toWindowY(r.bottom)};
    }
    // A length (a line width, a corner) at the view's size, at least `least`.
    int scaledLength(int length, int least) const;

    // Window to map: the map coordinate drawn at a window pixel (rounded down).
    std::int64_t toMapX(std::int64_t windowX) const { return unscale(windowX - offsetX_); }
    std::int64_t toMapY(std::int64_t windowY) const { return unscale(windowY - offsetY_); }

    void reset() { *this = View{}; }
    // Moves the picture by (dx, dy) window pixels.
    void panBy(std::int64_t dx, std::int64_t dy);
    // A new zoom (clamped to 10 to 400 %) keeping the map point under window pixel (x, y) there.
    void zoomAround(int zoom, std::int64_t x, std::int64_t y);
    // The next zoom step in (steps > 0) or out (steps < 0) from the present zoom.
    static int steppedZoom(int zoom, int steps);
    // Sets zoom and offset outright (clamped).
    void set(int zoom, std::int64_t offsetX, std::int64_t offsetY);

  private:
    std::int64_t scale(std::int64_t v) const { return floorDiv(v * zoom_, kOriginalZoom); }
    std::int64_t unscale(std::int64_t v) const { return floorDiv(v * kOriginalZoom, zoom_); }
    static std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
        const std::int64_t q = a / b;
        return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
    }

    std::int64_t offsetX_ = 0;
    std::int64_t offsetY_ = 0;
    int zoom_ = kOriginalZoom;
};

// The canvas the view shows: right of the panel, above the status bar.
inline constexpr SceneRect kCanvasRect{kPanelWidth, 0, kWindowWidth - 1, 729};

// A middle-button drag: the map follows the pointer from where it was last seen.
struct PanDrag {
    bool active = false;
    std::int32_t lastX = 0;
    std::int32_t lastY = 0;
};
