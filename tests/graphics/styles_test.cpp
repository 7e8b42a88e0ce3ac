// LINESTYLE and FILLSTYLE records: what copying shares and what it owns; pattern fills.
#include "tests/graphics/offscreen_fixture.h"

namespace Gfx {
namespace {

TEST(StyleRecords, LineStyleCopiesItsPatternOnlyForUserStyles) {
    LINESTYLE user;
    user.style = PS_USERSTYLE | PS_ENDCAP_FLAT;
    user.thickness = 3;
    user.userPattern = new DWORD[2]{5, 6};
    user.patternCount = 2;
    LINESTYLE copy(user);
    EXPECT_EQ(copy.style, user.style);
    EXPECT_EQ(copy.thickness, 3);
    ASSERT_NE(copy.userPattern, nullptr);
    EXPECT_NE(copy.userPattern, user.userPattern);
    EXPECT_EQ(copy.patternCount, 2u);
    EXPECT_EQ(copy.userPattern[1], 6u);

    LINESTYLE dashed;
    dashed.style = PS_DASH;
    dashed.userPattern = new DWORD[1]{7};
    dashed.patternCount = 1;
    copy = dashed;  // frees the pattern it held; a built-in style takes none
    EXPECT_EQ(copy.style, PS_DASH);
    EXPECT_EQ(copy.userPattern, nullptr);
    EXPECT_EQ(copy.patternCount, 0u);

    LINESTYLE emptyUser;
    emptyUser.style = PS_USERSTYLE;
    emptyUser.patternCount = 4;  // no pattern held: nothing to copy
    LINESTYLE fromEmpty(emptyUser);
    EXPECT_EQ(fromEmpty.userPattern, nullptr);
}

TEST(StyleRecords, FillStyleCopiesItsPatternImageOnlyForPatternStyles) {
    FILLSTYLE pattern;
    pattern.style = BS_PATTERN;
    pattern.patternImage = new IMAGE(2, 2);
    pattern.patternImage->pixels[3] = 0xABCDEF;
    FILLSTYLE copy(pattern);
    ASSERT_NE(copy.patternImage, nullptr);
    EXPECT_NE(copy.patternImage, pattern.patternImage);
    EXPECT_EQ(copy.patternImage->pixels[3], 0xABCDEFu);

    IMAGE* reused = copy.patternImage;
    pattern.patternImage->pixels[3] = 0x123456;
    copy = pattern;
    EXPECT_EQ(copy.patternImage, reused);
    EXPECT_EQ(copy.patternImage->pixels[3], 0x123456u);

    FILLSTYLE hatched;
    hatched.style = BS_HATCHED;
    hatched.hatch = HS_CROSS;
    copy = hatched;
    EXPECT_EQ(copy.patternImage, nullptr);
    EXPECT_EQ(copy.hatch, HS_CROSS);
}

using PatternFillTest = OffscreenTest;

TEST_F(PatternFillTest, EightBytePatternFillsWithTwoColours) {
    const BYTE checker[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
    setLineStyle(PS_NULL);
    setFillStyle(checker);
    const FILLSTYLE fill = currentFillStyle();
    EXPECT_EQ(fill.style, BS_PATTERN);
    ASSERT_NE(fill.patternImage, nullptr);
    EXPECT_EQ(fill.patternImage->width, 8);
    setTextColor(kRed);
    setBackgroundColor(kGreen);
    solidRectangle(0, 0, 15, 15);
    EXPECT_GT(countPixels(kRedPixel), 0);
    EXPECT_GT(countPixels(kGreenPixel), 0);
    EXPECT_EQ(countPixels(kRedPixel) + countPixels(kGreenPixel), 256);
    EXPECT_NE(at(0, 0), at(1, 0));
    EXPECT_NE(at(0, 0), at(0, 1));
}

}  // namespace
}  // namespace Gfx
