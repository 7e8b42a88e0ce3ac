// Widths refitted from a caption's measure, also for captions whose measure nears the largest
// int (a caption read from a file has no length limit).
#include <gtest/gtest.h>

#include <climits>

#include "app/model/mind_map.h"
#include "graphics/draw_on_img.h"
#include "graphics/graphics.h"
#include "graphics/image.h"
#include "graphics/library_state.h"

namespace {

// Measures every text at a fixed width.
class FixedMeasure : public Gfx::DrawOnImg {
  public:
    explicit FixedMeasure(int width) : width(width) {}
    int getTextWidth(const char16_t*) override { return width; }

  private:
    int width;
};

int refittedWidth(int measure) {
    Gfx::IMAGE* const previousImage = Gfx::getWorkingImage();
    Gfx::IMAGE image(8, 8);
    Gfx::setWorkingImage(&image);
    FixedMeasure device(measure);
    Gfx::DrawOnImg* previous = Gfx::library.currentDevice;
    Gfx::library.currentDevice = &device;
    MindMap map;
    map.root->width = 77;
    map.updateNodeWidth(map.root);
    Gfx::library.currentDevice = previous;
    Gfx::setWorkingImage(previousImage);
    return map.root->width;
}

TEST(CaptionMeasureTest, WidthIsTheMeasurePlusFortyWithinItsBounds) {
    EXPECT_EQ(refittedWidth(0), 120);
    EXPECT_EQ(refittedWidth(79), 120);
    EXPECT_EQ(refittedWidth(80), 120);
    EXPECT_EQ(refittedWidth(100), 140);
    EXPECT_EQ(refittedWidth(259), 299);
    EXPECT_EQ(refittedWidth(260), 300);
    EXPECT_EQ(refittedWidth(INT_MAX - 39), 300);
    EXPECT_EQ(refittedWidth(INT_MAX), 300);  // not a wrapped, negative width
}

}  // namespace
