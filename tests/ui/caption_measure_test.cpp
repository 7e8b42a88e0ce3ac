// Widths refitted from a caption's measure, also for captions whose measure nears the largest
// int (a caption read from a file has no length limit).
#include <gtest/gtest.h>

#include <climits>

#include "app/model/mind_map.h"
#include "graphics/graphics.h"
#include "graphics/image.h"
#include "tests/ui/text_measure.h"

namespace {

int refittedWidth(int measure) {
    Gfx::IMAGE* const previousImage = Gfx::getWorkingImage();
    Gfx::IMAGE image(8, 8);
    Gfx::setWorkingImage(&image);
    MindMap map;
    map.root->width = 77;
    {
        const TextMeasure fixed(measure);
        map.updateNodeWidth(map.root);
    }
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
