// Text placement, wrapping, clipping and measurement.
#include <string>

#include "platform/gdi32/text_layout.h"
#include "tests/platform/gdi32/canvas.h"

using namespace gdi_test;

namespace {

int widthOf(HDC dc, const std::u16string& text) {
    SIZE size{};
    EXPECT_TRUE(GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size));
    return size.cx;
}

// In OPAQUE mode DrawTextW paints each line's cell: the cells show exactly where lines go.
class TextCells : public ::testing::Test {
  protected:
    TextCells() : c(300, 200) {
        c.font(20);
        SetBkMode(c.dc(), OPAQUE);
        SetBkColor(c.dc(), kBlue);
        SetTextColor(c.dc(), kRed);
    }
    bool inked(int x, int y) const { return c.is(x, y, kBlue) || c.is(x, y, kRed); }
    Canvas c;
};

TEST_F(TextCells, FontHeightsFollowGdi) {
    SIZE size{};
    GetTextExtentPoint32W(c.dc(), u"Ag", 2, &size);
    EXPECT_EQ(size.cy, 20);  // positive lfHeight: the cell height
    Canvas em(10, 10);
    em.font(-20);  // negative: the character (em) height, so the cell is taller
    GetTextExtentPoint32W(em.dc(), u"Ag", 2, &size);
    EXPECT_GT(size.cy, 20);
    EXPECT_LE(size.cy, 25);
    // Lines are one cell apart.
    RECT r{0, 0, 300, 200};
    EXPECT_EQ(DrawTextW(c.dc(), u"one\ntwo\r\nthree\rfour", -1, &r, DT_LEFT), 80);
}

TEST_F(TextCells, CentresWithIntegerDivisionAndStartsAtTheTop) {
    const std::u16string text = u"功能面板";
    int w = widthOf(c.dc(), text);
    ASSERT_GT(w, 40);
    RECT r{10, 30, 10 + w + 41, 90};  // 41 spare pixels: 20 on the left
    int height = DrawTextW(c.dc(), text.c_str(), -1, &r, DT_CENTER | DT_VCENTER);
    EXPECT_EQ(height, 20);
    RECT cell = c.bounds(kBlue);
    EXPECT_EQ(cell.left, 30);
    EXPECT_EQ(cell.top, 30);  // DT_VCENTER without DT_SINGLELINE does not move the text
    int right = 0;
    for (int x = 0; x < 300; ++x) {
        if (inked(x, 35)) right = x;
    }
    EXPECT_EQ(right, 30 + w - 1);
    EXPECT_EQ(r.left, 10);  // the rectangle is left unchanged
    EXPECT_EQ(r.bottom, 90);
}

TEST_F(TextCells, SingleLineCentresVerticallyAndRightAligns) {
    RECT r{0, 0, 200, 61};
    int result = DrawTextW(c.dc(), u"+", -1, &r, DT_RIGHT | DT_VCENTER | DT_SINGLELINE);
    EXPECT_EQ(result, 20 + 20);  // the offset from the top to the text's bottom
    RECT cell = c.bounds(kBlue);
    EXPECT_EQ(cell.top, 20);
    EXPECT_EQ(cell.bottom, 39);
    EXPECT_EQ(cell.right, 199);
}

TEST_F(TextCells, WrapsBetweenWordsAndBreaksAtLineFeeds) {
    RECT narrow{0, 0, 80, 200};
    int height = DrawTextW(c.dc(), u"alpha beta gamma delta", -1, &narrow, DT_WORDBREAK);
    EXPECT_GE(height, 40);
    for (int y = 0; y < 200; ++y) EXPECT_FALSE(inked(80, y)) << y;  // nothing past the right edge
    c.clear(kWhite);
    // A word longer than the line is not split.
    RECT tight{0, 0, 30, 200};
    EXPECT_EQ(DrawTextW(c.dc(), u"unbreakable", -1, &tight, DT_WORDBREAK | DT_NOCLIP), 20);
    EXPECT_GT(c.bounds(kBlue).right, 30);
    // Chinese text breaks between characters.
    RECT cjk{0, 0, 70, 200};
    EXPECT_GE(DrawTextW(c.dc(), u"思维导图制作器使用说明", -1, &cjk, DT_WORDBREAK), 60);
    // Without DT_WORDBREAK only line feeds break.
    RECT wide{0, 0, 30, 200};
    EXPECT_EQ(DrawTextW(c.dc(), u"alpha beta\ngamma", -1, &wide, DT_LEFT | DT_NOCLIP), 40);
    // DT_SINGLELINE ignores line feeds.
    EXPECT_EQ(DrawTextW(c.dc(), u"alpha\nbeta", -1, &wide, DT_SINGLELINE | DT_NOCLIP), 20);
}

TEST_F(TextCells, ClipsToTheRectangleUnlessNoClip) {
    RECT r{50, 50, 70, 60};
    DrawTextW(c.dc(), u"a long caption", -1, &r, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
    RECT painted = c.bounds(kBlue);
    EXPECT_GE(painted.left, 50);
    EXPECT_LE(painted.right, 69);
    EXPECT_GE(painted.top, 50);
    EXPECT_LE(painted.bottom, 59);
    c.clear(kWhite);
    DrawTextW(c.dc(), u"a long caption", -1, &r, DT_NOCLIP);
    EXPECT_GT(c.bounds(kBlue).right, 69);
}

TEST_F(TextCells, CalcRectMeasuresWithoutDrawing) {
    RECT r{10, 10, 60, 10};
    int height = DrawTextW(c.dc(), u"alpha beta gamma", -1, &r, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(c.count(kBlue), 0);
    EXPECT_EQ(r.bottom - r.top, height);
    EXPECT_LE(r.right - r.left, 60);
    EXPECT_EQ(height % 20, 0);
    RECT empty{5, 5, 50, 50};
    EXPECT_EQ(DrawTextW(c.dc(), u"", -1, &empty, DT_CALCRECT), 0);
}

TEST_F(TextCells, TransparentModeLeavesTheBackgroundAndPrefixesUnderline) {
    SetBkMode(c.dc(), TRANSPARENT);
    RECT r{0, 0, 300, 40};
    DrawTextW(c.dc(), u"Mind map", -1, &r, DT_LEFT);
    EXPECT_EQ(c.count(kBlue), 0);
    EXPECT_GT(c.count(kRed), 20);
    // "&&" shows one ampersand, so it is as wide as the text with a single one.
    RECT calc{0, 0, 300, 0};
    DrawTextW(c.dc(), u"a&&b", -1, &calc, DT_CALCRECT);
    EXPECT_EQ(calc.right, widthOf(c.dc(), u"a&b"));
}

TEST(TextMeasure, EmptyTextAndLineFeeds) {
    Canvas c(10, 10);
    c.font(20);
    EXPECT_EQ(widthOf(c.dc(), u""), 0);
    EXPECT_EQ(widthOf(c.dc(), u"ab\ncd"), widthOf(c.dc(), u"abcd"));
    EXPECT_GT(widthOf(c.dc(), u"新节点"), widthOf(c.dc(), u"新节"));
    // A measured width is what the text occupies when drawn.
    Canvas d(300, 40);
    d.font(20);
    SetBkColor(d.dc(), kBlue);
    TextOutW(d.dc(), 10, 5, u"中心主题 Topic", 10);
    RECT cell = d.bounds(kBlue);
    EXPECT_EQ(cell.left, 10);
    EXPECT_EQ(cell.top, 5);
    EXPECT_EQ(cell.bottom, 24);
}

// The cache must never change what is drawn.
TEST(TextCache, CachedTextDrawsLikeFreshText) {
    Canvas first(200, 60), second(200, 60);
    for (Canvas* c : {&first, &second}) {
        c->font(20);
        SetTextColor(c->dc(), kRed);
        SetBkMode(c->dc(), TRANSPARENT);
    }
    RECT r{5, 5, 120, 55};
    DrawTextW(first.dc(), u"添加同级节点 again", -1, &r, DT_CENTER | DT_WORDBREAK);
    DrawTextW(second.dc(), u"添加同级节点 again", -1, &r, DT_CENTER | DT_WORDBREAK);
    EXPECT_TRUE(first.same(second));
    {
        std::lock_guard<std::mutex> lock(platform::gdi32::textMutex());
        platform::gdi32::clearTextCache();
    }
    second.clear(kWhite);
    DrawTextW(second.dc(), u"添加同级节点 again", -1, &r, DT_CENTER | DT_WORDBREAK);
    EXPECT_TRUE(first.same(second));
}

}  // namespace
