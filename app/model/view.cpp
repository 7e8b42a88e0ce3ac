// The view's arithmetic: every result is clamped, so no sequence of pans and zooms can carry it
// out of the range in which map and window coordinates are computed exactly.
#include "app/model/view.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::array<int, 15> kZoomSteps = {10,  15,  20,  25,  33,  50,  67, 80,
                                            100, 125, 150, 200, 250, 300, 400};

std::int64_t clampOffset(std::int64_t v) {
    return std::clamp(v, -View::kMaxOffset, View::kMaxOffset);
}

}  // namespace

int View::scaledLength(int length, int least) const {
    const int scaled = static_cast<int>((std::int64_t{length} * zoom_ + kOriginalZoom / 2) / kOriginalZoom);
    return std::max(scaled, least);
}

void View::panBy(std::int64_t dx, std::int64_t dy) {
    // Each step is bounded by the caller's input (a pointer move, a wheel step); clamping the
    // step as well keeps the sum exact whatever it is.
    offsetX_ = clampOffset(offsetX_ + std::clamp(dx, -kMaxOffset, kMaxOffset));
    offsetY_ = clampOffset(offsetY_ + std::clamp(dy, -kMaxOffset, kMaxOffset));
}

void View::zoomAround(int zoom, std::int64_t x, std::int64_t y) {
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (zoom == zoom_) return;
    x = std::clamp<std::int64_t>(x, -kMaxOffset, kMaxOffset);
    y = std::clamp<std::int64_t>(y, -kMaxOffset, kMaxOffset);
    // The map point under (x, y) is (x - offset) / zoom before and after.
    offsetX_ = clampOffset(x - floorDiv((x - offsetX_) * zoom, zoom_));
    offsetY_ = clampOffset(y - floorDiv((y - offsetY_) * zoom, zoom_));
    zoom_ = zoom;
}

int View::steppedZoom(int zoom, int steps) {
    for (; steps > 0; --steps) {
        const auto next = std::upper_bound(kZoomSteps.begin(), kZoomSteps.end(), zoom);
        zoom = next == kZoomSteps.end() ? kMaxZoom : *next;
    }
    for (; steps < 0; ++steps) {
        const auto next = std::lower_bound(kZoomSteps.begin(), kZoomSteps.end(), zoom);
        zoom = next == kZoomSteps.begin() ? kMinZoom : *(next - 1);
    }
    return zoom;
}

void View::set(int zoom, std::int64_t offsetX, std::int64_t offsetY) {
    zoom_ = std::clamp(zoom, kMinZoom, kMaxZoom);
    offsetX_ = clampOffset(offsetX);
    offsetY_ = clampOffset(offsetY);
}
