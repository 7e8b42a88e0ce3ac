// Text on an off-screen image: measurement, the one-character forms, placement at the top of
// the rectangle, clipping, and the font description round trip.
#include <string>

#include "tests/graphics/offscreen_fixture.h"

namespace Gfx {
namespace {

class TextTest : public OffscreenTest {
  protected:
    void SetUp() override {
        OffscreenTest::SetUp();
        setTextStyle(16, 0, u"Sans");
    }
    IMAGE wide{200, 80};
};

TEST_F(TextTest, EmptyTextMeasuresZeroAndLineFeedsDoNotBreakTheMeasure) {
    EXPECT_EQ(getTextWidth(u""), 0);
    const int ab = getTextWidth(u"ab");
    const int cd = getTextWidth(u"cd");
    EXPECT_GT(ab, 0);
    const int joined = getTextWidth(u"ab\ncd");
    EXPECT_GE(joined, ab + cd);
    EXPECT_EQ(getTextHeight(u"ab\ncd"), getTextHeight(u"ab"));
}

TEST_F(TextTest, OneCharacterFormsMeasureAndDrawLikeTheString) {
    EXPECT_EQ(getTextWidth(u'W'), getTextWidth(u"W"));
    EXPECT_EQ(getTextHeight(u'W'), getTextHeight(u"W"));
    EXPECT_EQ(getTextWidth(u'中'), getTextWidth(u"中"));

    setWorkingImage(&wide);
    setTextStyle(16, 0, u"Sans");
    RECT box = {0, 0, 100, 40};
    drawTextInRect(u'X', &box, DT_LEFT);
    std::vector<DWORD> single(wide.pixels, wide.pixels + 200 * 80);
    clearDevice();
    drawTextInRect(u"X", &box, DT_LEFT);
    EXPECT_TRUE(std::equal(single.begin(), single.end(), wide.pixels));
    EXPECT_NE(std::count(single.begin(), single.end(), 0xFFFFFFu), 0);
}

TEST_F(TextTest, TextInANarrowRectangleIsClippedToIt) {
    setWorkingImage(&wide);
    setTextStyle(16, 0, u"Sans");
    setBackgroundMode(TRANSPARENT);
    RECT narrow = {20, 10, 34, 60};
    const int height = drawTextInRect(u"Extraordinarily", &narrow, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
    EXPECT_GT(height, 0);
    int inside = 0;
    for (int y = 0; y < 80; ++y) {
        for (int x = 0; x < 200; ++x) {
            const bool painted = wide.pixels[y * 200 + x] != 0;
            const bool within = x >= narrow.left && x < narrow.right && y >= narrow.top && y < narrow.bottom;
            if (painted && !within) ADD_FAILURE() << "painted outside at " << x << ", " << y;
            inside += painted ? 1 : 0;
        }
    }
    EXPECT_GT(inside, 0);
    EXPECT_EQ(narrow.left, 20);  // the rectangle is not changed
    EXPECT_EQ(narrow.bottom, 60);
}

TEST_F(TextTest, MultiLineTextStartsAtTheTopWhateverTheHeight) {
    setWorkingImage(&wide);
    setTextStyle(16, 0, u"Sans");
    setBackgroundMode(TRANSPARENT);
    for (UINT flags : {UINT{DT_VCENTER}, UINT{DT_CENTER | DT_VCENTER}}) {
        clearDevice();
        RECT tall = {0, 10, 200, 79};
        const int height = drawTextInRect(u"Top", &tall, flags);
        int lowest = -1;
        for (int y = 0; y < 80; ++y) {
            for (int x = 0; x < 200; ++x) {
                if (wide.pixels[y * 200 + x] != 0) lowest = y;
            }
        }
        EXPECT_GE(lowest, 10) << flags;
        EXPECT_LT(lowest, 10 + height) << flags;
    }
}

TEST_F(TextTest, OpaqueModePaintsTheBackgroundBehindTheText) {
    setWorkingImage(&wide);
    setTextStyle(16, 0, u"Sans");
    setBackgroundColor(kBlue);
    setTextColor(kRed);
    RECT box = {0, 0, 200, 40};
    drawTextInRect(u"Hi", &box, DT_LEFT);
    int blue = 0;
    int red = 0;
    for (int i = 0; i < 200 * 80; ++i) {
        blue += wide.pixels[i] == kBluePixel ? 1 : 0;
        red += wide.pixels[i] == kRedPixel ? 1 : 0;
    }
    EXPECT_GT(blue, 0);
    EXPECT_GT(red, 0);
}

TEST_F(TextTest, TextStyleRoundTripsThroughTheFontDescription) {
    LOGFONTW font = currentFont();
    font.lfHeight = 20;
    copyFaceName(font.lfFaceName, u"微软雅黑");
    setTextStyle(&font);
    LOGFONTW back = currentFont();
    EXPECT_EQ(back.lfHeight, 20);
    EXPECT_EQ(back.lfQuality, NONANTIALIASED_QUALITY);
    EXPECT_EQ(faceOf(back), u"微软雅黑");

    // The short form keeps everything else; overlong faces are cut to 31 characters.
    setTextStyle(30, 0, u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghij");
    back = currentFont();
    EXPECT_EQ(back.lfHeight, 30);
    EXPECT_EQ(back.lfQuality, NONANTIALIASED_QUALITY);
    EXPECT_EQ(faceOf(back).size(), 31u);
}

}  // namespace
}  // namespace Gfx
