// An off-screen image in the editor's text style, the working target while it lives; the
// target before it is the working one again afterwards. The commands that run without a window
// draw on it, or measure captions with it as the editor does.
#pragma once

#include "app/ui/text_style.h"
#include "graphics/graphics.h"
#include "graphics/image.h"

struct DrawingTarget {
    DrawingTarget(int width, int height) : previous(Gfx::getWorkingImage()), image(width, height) {
        Gfx::setWorkingImage(&image);
        applyEditorTextStyle();
    }
    ~DrawingTarget() {
        if (previous != nullptr) Gfx::setWorkingImage(previous);
    }
    DrawingTarget(const DrawingTarget&) = delete;
    DrawingTarget& operator=(const DrawingTarget&) = delete;

    bool ready() const { return image.pixels != nullptr; }
    Gfx::IMAGE* previous;
    Gfx::IMAGE image;
};
