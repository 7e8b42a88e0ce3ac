// The editor's text style: the face and height set over the style read from the device, every
// other field kept.
#include "app/ui/text_style.h"

#include <gtest/gtest.h>

#include <string>

#include "graphics/graphics.h"
#include "graphics/image.h"

namespace {

std::u16string faceOf(const LOGFONTW& font) {
    std::u16string face;
    for (int i = 0; i < LF_FACESIZE && font.lfFaceName[i] != 0; ++i)
        face.push_back(static_cast<char16_t>(font.lfFaceName[i]));
    return face;
}

TEST(TextStyleTest, SetsFaceAndHeightAndKeepsTheRest) {
    Gfx::IMAGE* const previousImage = Gfx::getWorkingImage();
    Gfx::IMAGE image(8, 8);
    Gfx::setWorkingImage(&image);
    LOGFONTW before;
    Gfx::getTextStyle(&before);
    before.lfWeight = 700;
    before.lfItalic = 1;
    before.lfWidth = 3;
    Gfx::setTextStyle(&before);

    applyEditorTextStyle();
    LOGFONTW after;
    Gfx::getTextStyle(&after);
    Gfx::setWorkingImage(previousImage);

    EXPECT_EQ(faceOf(after), u"微软雅黑");
    EXPECT_EQ(after.lfHeight, 20);
    EXPECT_EQ(after.lfWeight, 700);
    EXPECT_EQ(after.lfItalic, 1);
    EXPECT_EQ(after.lfWidth, 3);
}

TEST(TextStyleTest, FaceNameIsCutToTheFieldAndZeroFilled) {
    LOGFONTW font{};
    for (auto& unit : font.lfFaceName) unit = static_cast<WCHAR>(u'#');
    const std::u16string longFace(40, u'x');
    Gfx::copyFaceName(font.lfFaceName, longFace.c_str());
    EXPECT_EQ(faceOf(font), std::u16string(LF_FACESIZE - 1, u'x'));
    EXPECT_EQ(font.lfFaceName[LF_FACESIZE - 1], 0);
    Gfx::copyFaceName(font.lfFaceName, u"ab");
    EXPECT_EQ(faceOf(font), u"ab");
    for (int i = 2; i < LF_FACESIZE; ++i) EXPECT_EQ(font.lfFaceName[i], 0) << "unit " << i;
}

}  // namespace
