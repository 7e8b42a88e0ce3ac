// An off-screen drawing target carrying the editor's text style, so that caption widths are
// measured as in the running editor, without a window.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "app/ui/text_style.h"
#include "graphics/graphics.h"
#include "graphics/image.h"

class EditorTextTarget : public ::testing::Environment {
  public:
    void SetUp() override {
        image = std::make_unique<Gfx::IMAGE>(64, 64);
        Gfx::setWorkingImage(image.get());
        applyEditorTextStyle();
    }
    void TearDown() override { image.reset(); }

  private:
    std::unique_ptr<Gfx::IMAGE> image;
};
