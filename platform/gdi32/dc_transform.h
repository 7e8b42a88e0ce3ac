// Mapping logical coordinates through a DC's world transform.
#pragma once

#include <cmath>
#include <cstddef>

#include "platform/gdi32/gdi_objects.h"

namespace platform::gdi32 {

// True when the transform only moves by whole pixels (the fast paths' condition).
inline bool integerTranslation(const XFORM& x, int& dx, int& dy) {
    if (x.eM11 != 1 || x.eM12 != 0 || x.eM21 != 0 || x.eM22 != 1) return false;
    if (x.eDx != std::floor(x.eDx) || x.eDy != std::floor(x.eDy)) return false;
    if (std::fabs(x.eDx) > 1e7f || std::fabs(x.eDy) > 1e7f) return false;
    dx = static_cast<int>(x.eDx);
    dy = static_cast<int>(x.eDy);
    return true;
}

// NT GDI's device coordinate space: device coordinates lie strictly within +-2^27. Drawing
// calls whose coordinates leave it fail and draw nothing, which also keeps every device sum
// the rasterisers form well inside int.
constexpr double kDeviceCoordinateLimit = 134217728.0;

// Whether a logical point lands inside the device coordinate space.
inline bool inDeviceSpace(const XFORM& x, double lx, double ly) {
    double dx = lx * static_cast<double>(x.eM11) + ly * static_cast<double>(x.eM21) + x.eDx;
    double dy = lx * static_cast<double>(x.eM12) + ly * static_cast<double>(x.eM22) + x.eDy;
    return std::fabs(dx) < kDeviceCoordinateLimit && std::fabs(dy) < kDeviceCoordinateLimit;
}

// Whether all four corners of a logical box land inside the device coordinate space.
inline bool boxInDeviceSpace(const XFORM& x, double l, double t, double r, double b) {
    return inDeviceSpace(x, l, t) && inDeviceSpace(x, r, t) && inDeviceSpace(x, l, b) &&
           inDeviceSpace(x, r, b);
}

inline bool pointsInDeviceSpace(const XFORM& x, const POINT* points, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (!inDeviceSpace(x, points[i].x, points[i].y)) return false;
    }
    return true;
}

// The device pixel of a logical point, rounded to the nearest pixel.
inline POINT toDevicePoint(const XFORM& x, double lx, double ly) {
    double dx = lx * static_cast<double>(x.eM11) + ly * static_cast<double>(x.eM21) + x.eDx;
    double dy = lx * static_cast<double>(x.eM12) + ly * static_cast<double>(x.eM22) + x.eDy;
    auto clampRound = [](double v) {
        v = std::floor(v + 0.5);
        return static_cast<LONG>(v < -1e9 ? -1e9 : (v > 1e9 ? 1e9 : v));
    };
    return {clampRound(dx), clampRound(dy)};
}

}  // namespace platform::gdi32
