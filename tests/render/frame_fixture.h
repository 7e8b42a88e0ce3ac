// Draws editor frames into an off-screen image of the window's size in the editor's text style
// and reads its pixels back: single pixels, pixels of one colour in an area, or a hash of the
// whole frame.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/model/mind_map.h"
#include "app/model/scene_layout.h"
#include "app/render/palette.h"
#include "app/ui/text_style.h"
#include "graphics/graphics.h"
#include "graphics/image.h"

// The pixels of one colour in an area: how many, and the smallest rectangle that holds them all
// (meaningless when there are none).
struct Ink {
    int count = 0;
    SceneRect bounds{kWindowWidth, kWindowHeight, -1, -1};
    int centreX() const { return (bounds.left + bounds.right) / 2; }
    int centreY() const { return (bounds.top + bounds.bottom) / 2; }
};

class FrameTest : public ::testing::Test {
  protected:
    static constexpr int kWidth = kWindowWidth;
    static constexpr int kHeight = kWindowHeight;

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

    // The pixels of one colour in an area (edges included).
    Ink inkIn(const SceneRect& area, std::uint32_t colour) const {
        Ink ink;
        for (int y = area.top; y <= area.bottom; ++y) {
            for (int x = area.left; x <= area.right; ++x) {
                if (colourAt(x, y) != colour) continue;
                ++ink.count;
                ink.bounds = {std::min(ink.bounds.left, x), std::min(ink.bounds.top, y),
                              std::max(ink.bounds.right, x), std::max(ink.bounds.bottom, y)};
            }
        }
        return ink;
    }

    // How many pixels of the rectangle (edges included) have the colour.
    int countColour(int left, int top, int right, int bottom, std::uint32_t colour) const {
        return inkIn({left, top, right, bottom}, colour).count;
    }

    // Rows inside a node's collapse marker (its 15 x 20 box, outline excluded) holding white.
    int whiteRowsInMarker(const Node& n) const {
        const WideRect box = collapseMarkerBox(n.x, n.y, n.width);
        const int left = static_cast<int>(box.left) + 1;
        const int right = static_cast<int>(box.right) - 1;
        int rows = 0;
        for (int y = static_cast<int>(box.top) + 1; y < box.bottom; ++y) {
            rows += countColour(left, y, right, y, palette::kMarkerText) > 0 ? 1 : 0;
        }
        return rows;
    }

    // Every pixel's colour, row by row.
    std::vector<std::uint32_t> pixels() const {
        std::vector<std::uint32_t> all;
        all.reserve(static_cast<std::size_t>(kWidth) * kHeight);
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) all.push_back(colourAt(x, y));
        }
        return all;
    }

    // A 64-bit FNV-1a hash of pixels(), one step a pixel.
    std::uint64_t frameHash() const {
        std::uint64_t hash = 14695981039346656037ull;
        for (std::uint32_t colour : pixels()) hash = (hash ^ colour) * 1099511628211ull;
        return hash;
    }

    // Checks the whole frame against a recorded hash. A failure prints the frame's hash and,
    // when MM_FRAME_DUMP_DIR names a folder, writes the frame there as <name>.ppm to look at.
    void expectFrameHash(const char* name, std::uint64_t expected) const {
        const std::uint64_t actual = frameHash();
        if (actual == expected) return;
        char printed[32];
        std::snprintf(printed, sizeof printed, "0x%016llX", static_cast<unsigned long long>(actual));
        ADD_FAILURE() << "frame \"" << name << "\" has the hash " << printed << dumpFrame(name);
    }

  private:
    std::string dumpFrame(const char* name) const {
        const char* dir = std::getenv("MM_FRAME_DUMP_DIR");
        if (dir == nullptr || *dir == '\0') return " (set MM_FRAME_DUMP_DIR to see it)";
        const std::string path = std::string(dir) + "/" + name + ".ppm";
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (file == nullptr) return " (" + path + " could not be written)";
        std::fprintf(file, "P6\n%d %d\n255\n", kWidth, kHeight);
        for (std::uint32_t colour : pixels()) {
            const unsigned char rgb[3] = {static_cast<unsigned char>(colour),
                                          static_cast<unsigned char>(colour >> 8),
                                          static_cast<unsigned char>(colour >> 16)};
            std::fwrite(rgb, 1, sizeof rgb, file);
        }
        std::fclose(file);
        return "; written to " + path;
    }

  protected:
    std::unique_ptr<Gfx::IMAGE> image;
    std::unique_ptr<MindMap> map = std::make_unique<MindMap>();
};
