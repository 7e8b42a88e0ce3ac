// What DrawOnImg works on: the current target image and its drawing context.
#pragma once

#include "graphics/image.h"
#include "graphics/library_state.h"

namespace Gfx {

inline IMAGE& currentImage() {
    return *library.currentTarget;
}
inline HDC currentContext() {
    return library.currentDC;
}

}  // namespace Gfx
