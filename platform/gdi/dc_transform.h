// Mapping logical coordinates through a DC's world transform.
#pragma once

#include <cmath>

#include "platform/gdi/gdi_objects.h"

namespace platform::gdi {

// True when the transform only moves by whole pixels (the fast paths' condition).
inline bool integerTranslation(const XFORM& x, int& dx, int& dy) {
    if (x.eM11 != 1 || x.eM12 != 0 || x.eM21 != 0 || x.eM22 != 1) return false;
    if (x.eDx != std::floor(x.eDx) || x.eDy != std::floor(x.eDy)) return false;
    if (std::fabs(x.eDx) > 1e7f || std::fabs(x.eDy) > 1e7f) return false;
    dx = static_cast<int>(x.eDx);
    dy = static_cast<int>(x.eDy);
    return true;
}

// The device pixel of a logical point, rounded to the nearest pixel.
inline POINT toDevicePoint(const XFORM& x, int lx, int ly) {
    double dx = lx * static_cast<double>(x.eM11) + ly * static_cast<double>(x.eM21) + x.eDx;
    double dy = lx * static_cast<double>(x.eM12) + ly * static_cast<double>(x.eM22) + x.eDy;
    auto clampRound = [](double v) {
        v = std::floor(v + 0.5);
        return static_cast<LONG>(v < -1e9 ? -1e9 : (v > 1e9 ? 1e9 : v));
    };
    return {clampRound(dx), clampRound(dy)};
}

}  // namespace platform::gdi
