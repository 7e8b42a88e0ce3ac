// Draws editor frames into an off-screen 1380 x 750 image in the editor's text style and
// reads its pixels back.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>

#include "app/model/mind_map.h"
#include "app/ui/text_style.h"
#include "graphics/graphics.h"
#include "graphics/image.h"

class FrameTest : public ::testing::Test {
  protected:
    static constexpr int kWidth = 1380;
    static constexpr int kHeight = 750;

    void SetUp() override {
        // A fresh target per test: its drawing state starts at the device defaults.
        image = std::make_unique<Gfx::IMAGE>(kWidth, kHeight);
        Gfx::setWorkingImage(image.get());
        applyEditorTextStyle();
    }
    void TearDown() override {
        map.reset();  // the map goes before the target
        image.reset();
    }

    void draw() { map->drawFrame(); }

    // The pixel at (x, y) read back as a colour (0x00BBGGRR).
    std::uint32_t colourAt(int x, int y) const {
        const std::uint32_t pixel = Gfx::getImageBuffer(image.get())[y * kWidth + x];
        return ((pixel & 0xFF) << 16) | (pixel & 0xFF00) | ((pixel >> 16) & 0xFF);
    }

    // How many pixels of the rectangle (edges included) have the colour.
    int countColour(int left, int top, int right, int bottom, std::uint32_t colour) const {
        int n = 0;
        for (int y = top; y <= bottom; ++y) {
            for (int x = left; x <= right; ++x) n += colourAt(x, y) == colour ? 1 : 0;
        }
        return n;
    }

    // Rows inside a node's collapse marker (its 15 x 20 box, outline excluded) holding white.
    int whiteRowsInMarker(const Node& n) const {
        int rows = 0;
        for (int y = n.y + 11; y < n.y + 30; ++y) {
            rows += countColour(n.x + n.width - 24, y, n.x + n.width - 11, y, 0xFFFFFF) > 0 ? 1 : 0;
        }
        return rows;
    }

    std::unique_ptr<Gfx::IMAGE> image;
    std::unique_ptr<MindMap> map = std::make_unique<MindMap>();
};
