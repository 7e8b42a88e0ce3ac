// A drawing device for the working image that measures texts as a test says and counts the
// measures; everything else it draws as the image's own device does. It takes the image device's
// place for its lifetime.
#pragma once

#include <optional>

#include "graphics/draw_on_img.h"
#include "graphics/library_state.h"

class TextMeasure : public Gfx::DrawOnImg {
  public:
    // Every text measures `width`, or what the image's device measures without one.
    explicit TextMeasure(std::optional<int> width = std::nullopt) : width(width) {
        Gfx::library.currentDevice = this;
    }
    ~TextMeasure() override { Gfx::library.currentDevice = previous; }
    TextMeasure(const TextMeasure&) = delete;
    TextMeasure& operator=(const TextMeasure&) = delete;

    int getTextWidth(const char16_t* text) override {
        ++measures;
        return width ? *width : DrawOnImg::getTextWidth(text);
    }

    int measures = 0;

  private:
    std::optional<int> width;
    Gfx::DrawOnImg* previous = Gfx::library.currentDevice;
};
