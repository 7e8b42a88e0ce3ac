// Drawing calls that miss the clip return early, and text measured off-screen is rasterised
// only when it is drawn: neither may change a pixel. Each shape is drawn on a small canvas
// (partly or wholly outside its clip) and, as the reference, on a large canvas where it lies
// whole; the small one must hold exactly the reference's pixels inside its clip.
#include <algorithm>
#include <cstdint>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <vector>

#include "platform/gdi32/text_layout.h"
#include "tests/platform/gdi32/canvas.h"

namespace {

using gdi_test::Canvas;
using gdi_test::kWhite;

constexpr int kWidth = 160, kHeight = 120;
constexpr int kMargin = 400;  // the reference canvas reaches this far beyond every edge
constexpr COLORREF kFill = RGB(180, 220, 180), kOutline = RGB(80, 80, 80), kInk = RGB(20, 40, 200);

enum class Kind { RoundBox, Box, Connector, Caption, Marker };

struct Shape {
    Kind kind;
    int l, t, r, b;
    std::u16string text;
};

void setUp(Canvas& c) {
    c.font(20);
    c.brush(kFill);
    c.geometricPen(2, kOutline);
    SetTextColor(c.dc(), kInk);
    SetBkMode(c.dc(), TRANSPARENT);
}

// Draws the shape moved by (dx, dy), as the editor draws a node's parts.
void draw(Canvas& c, const Shape& s, int dx, int dy) {
    RECT rect{s.l + dx, s.t + dy, s.r + dx, s.b + dy};
    switch (s.kind) {
        case Kind::RoundBox:
            RoundRect(c.dc(), rect.left, rect.top, rect.right, rect.bottom, 5, 5);
            break;
        case Kind::Box:
            Rectangle(c.dc(), rect.left, rect.top, rect.right, rect.bottom);
            break;
        case Kind::Connector:
            MoveToEx(c.dc(), rect.left, rect.top, nullptr);
            LineTo(c.dc(), rect.right, rect.bottom);
            break;
        case Kind::Caption:
            DrawTextW(c.dc(), s.text.c_str(), -1, &rect, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
            break;
        case Kind::Marker:
            DrawTextW(c.dc(), s.text.c_str(), -1, &rect, DT_CENTER | DT_VCENTER);
            break;
    }
}

std::vector<Shape> randomShapes(unsigned seed, int count) {
    static const std::u16string captions[] = {u"中心主题",
                                              u"plan Q3 review",
                                              u"预算 budget 2024",
                                              u"新节点",
                                              u"a",
                                              u"会议记录 and follow-ups for the team"};
    std::mt19937 random(seed);
    auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    std::vector<Shape> shapes;
    for (int i = 0; i < count; ++i) {
        Shape s;
        s.kind = static_cast<Kind>(between(0, 4));
        // Anywhere from well beyond the left or top edge to well beyond the right or bottom one.
        s.l = between(-250, kWidth + 100);
        s.t = between(-150, kHeight + 80);
        if (s.kind == Kind::Connector) {
            s.r = between(-250, kWidth + 250);
            s.b = between(-150, kHeight + 150);
        } else {
            s.r = s.l + between(10, 200);
            s.b = s.t + between(10, 60);
        }
        s.text = captions[between(0, 5)];
        if (s.kind == Kind::Marker) s.text = between(0, 1) ? u"+" : u"-";
        shapes.push_back(s);
    }
    return shapes;
}

// The pixels of `small` inside `clip` match the reference; outside it nothing was painted.
void expectLikeReference(const Canvas& small, const Canvas& reference, const RECT& clip, const char* what) {
    int differing = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const bool inside = x >= clip.left && x < clip.right && y >= clip.top && y < clip.bottom;
            const COLORREF expected = inside ? reference.at(x + kMargin, y + kMargin) : kWhite;
            differing += small.at(x, y) != expected;
        }
    }
    EXPECT_EQ(differing, 0) << what;
}

void drawBoth(const std::vector<Shape>& shapes, const RECT* clip, const char* what) {
    auto small = std::make_unique<Canvas>(kWidth, kHeight);
    auto reference = std::make_unique<Canvas>(kWidth + 2 * kMargin, kHeight + 2 * kMargin);
    setUp(*small);
    setUp(*reference);
    HRGN region = nullptr;
    if (clip != nullptr) {
        region = CreateRectRgn(clip->left, clip->top, clip->right, clip->bottom);
        SelectClipRgn(small->dc(), region);
    }
    for (const Shape& s : shapes) {
        draw(*small, s, 0, 0);
        draw(*reference, s, kMargin, kMargin);
    }
    expectLikeReference(*small, *reference, clip ? *clip : RECT{0, 0, kWidth, kHeight}, what);
    if (region != nullptr) {
        SelectClipRgn(small->dc(), nullptr);
        DeleteObject(region);
    }
}

TEST(Culling, ShapesAcrossAndBeyondTheBitmapEdgesDrawTheirVisiblePart) {
    for (unsigned seed = 1; seed <= 6; ++seed) {
        SCOPED_TRACE(seed);
        drawBoth(randomShapes(seed, 40), nullptr, "bitmap edges");
    }
}

TEST(Culling, ShapesAcrossAndBeyondAClipRegionDrawTheirVisiblePart) {
    const RECT clips[] = {{30, 20, 110, 90}, {0, 50, kWidth, 60}, {70, 0, 75, kHeight}};
    unsigned seed = 100;
    for (const RECT& clip : clips) {
        SCOPED_TRACE(seed);
        drawBoth(randomShapes(seed++, 40), &clip, "clip region");
    }
}

// Text first measured by a call the clip culled, then drawn: the glyphs rasterised late match
// text drawn on a fresh cache, and the culled call returns the same height as a drawing one.
TEST(Culling, TextCulledFirstDrawsLikeFreshTextLater) {
    const std::u16string text = u"跨越 the edge 边界文字";
    const UINT format = DT_CENTER | DT_VCENTER | DT_WORDBREAK;
    auto drawn = [&](bool cullFirst) {
        {
            std::lock_guard<std::mutex> lock(platform::gdi32::textMutex());
            platform::gdi32::clearTextCache();
        }
        auto c = std::make_unique<Canvas>(kWidth, kHeight);
        setUp(*c);
        int culledHeight = -1;
        if (cullFirst) {
            RECT beyond{kWidth + 50, 10, kWidth + 150, 80};
            culledHeight = DrawTextW(c->dc(), text.c_str(), -1, &beyond, format);
        }
        RECT rect{10, 10, 110, 80};
        const int height = DrawTextW(c->dc(), text.c_str(), -1, &rect, format);
        if (cullFirst) {
            EXPECT_EQ(culledHeight, height);
        }
        EXPECT_GT(height, 20);  // wrapped onto two lines or more
        return c;
    };
    auto fresh = drawn(false);
    auto late = drawn(true);
    EXPECT_GT(fresh->count(kInk), 20);
    EXPECT_TRUE(late->same(*fresh));
}

// A cache limit far below one caption's size drops every other entry at each call; what is
// drawn and measured stays the same.
TEST(Culling, TextCacheUnderATinyLimitDrawsAndMeasuresTheSame) {
    const std::u16string captions[] = {
        u"中心主题", u"plan Q3 review",         u"预算 budget", u"🙂 emoji", u"é combining",
        u"",         std::u16string(300, u'长')};
    auto render = [&](std::size_t limit) {
        {
            std::lock_guard<std::mutex> lock(platform::gdi32::textMutex());
            platform::gdi32::clearTextCache();
            platform::gdi32::setTextCacheLimit(limit);
        }
        auto c = std::make_unique<Canvas>(kWidth * 2, kHeight * 2);
        setUp(*c);
        std::vector<LONG> widths;
        for (int pass = 0; pass < 2; ++pass) {
            int y = 0;
            for (const std::u16string& caption : captions) {
                RECT rect{5, y, 2 * kWidth - 5, y + 30};
                DrawTextW(c->dc(), caption.c_str(), -1, &rect, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
                SIZE size{};
                GetTextExtentPoint32W(c->dc(), caption.c_str(), static_cast<int>(caption.size()), &size);
                widths.push_back(size.cx);
                y += 30;
            }
        }
        return std::make_pair(std::move(c), widths);
    };
    auto normal = render(0);
    auto tiny = render(64);
    {
        std::lock_guard<std::mutex> lock(platform::gdi32::textMutex());
        platform::gdi32::setTextCacheLimit(0);
    }
    EXPECT_TRUE(tiny.first->same(*normal.first));
    EXPECT_EQ(tiny.second, normal.second);
    EXPECT_GT(normal.first->count(kInk), 50);
}

// Two-pixel lines are stepped row by row; each row must be what the line's definition gives
// on its own (line_raster.h): the parallelogram's crossings by exact division, the 2 x 2 ends.
bool onTwoPixelLine(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, std::int64_t x,
                    std::int64_t y) {
    auto ceilDiv = [](std::int64_t n, std::int64_t d) { return n >= 0 ? (n + d - 1) / d : -((-n) / d); };
    const std::int64_t dx = x1 - x0, dy = y1 - y0;
    auto endBlock = [&](std::int64_t ex, std::int64_t ey) {
        return (x == ex - 1 || x == ex) && (y == ey - 1 || y == ey);
    };
    if (endBlock(x0, y0) || endBlock(x1, y1)) return true;
    if (dy == 0) return (y == y0 - 1 || y == y0) && x >= std::min(x0, x1) && x <= std::max(x0, x1);
    if (dx == 0) return (x == x0 - 1 || x == x0) && y >= std::min(y0, y1) && y <= std::max(y0, y1);
    const std::int64_t nx = 3 * dy * dy > dx * dx ? 1 : 0, ny = 3 * dx * dx > dy * dy ? 1 : 0;
    const std::int64_t s = (dx > 0) == (dy > 0) ? 1 : -1;
    const std::int64_t px[4] = {x0 - nx, x0 + 1, x1 + 1, x1 - nx},
                       py[4] = {y0 + s * ny, y0 - s, y1 - s, y1 + s * ny};
    std::int64_t lo = 0, hi = 0;
    int crossings = 0;
    for (int e = 0; e < 4; ++e) {
        std::int64_t xa = px[e], ya = py[e], xb = px[(e + 1) % 4], yb = py[(e + 1) % 4];
        if (ya == yb) continue;
        if (ya > yb) {
            std::swap(xa, xb);
            std::swap(ya, yb);
        }
        if (y < ya || y >= yb) continue;
        const std::int64_t first = xa + ceilDiv((xb - xa) * (y - ya), yb - ya);
        lo = crossings == 0 ? first : std::min(lo, first);
        hi = crossings == 0 ? first : std::max(hi, first);
        ++crossings;
    }
    return crossings >= 2 && x >= lo && x < hi;
}

TEST(Culling, TwoPixelLinesMatchTheirDefinitionRowByRow) {
    std::mt19937 random(7);
    auto between = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random); };
    Canvas c(kWidth, kHeight);
    c.geometricPen(2, kInk);
    for (int i = 0; i < 300; ++i) {
        const int x0 = between(-300, kWidth + 300), y0 = between(-300, kHeight + 300);
        const int x1 = between(-300, kWidth + 300), y1 = between(-300, kHeight + 300);
        if (x0 == x1 && y0 == y1) continue;
        c.clear(kWhite);
        MoveToEx(c.dc(), x0, y0, nullptr);
        LineTo(c.dc(), x1, y1);
        int wrong = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x)
                wrong += c.is(x, y, kInk) != onTwoPixelLine(x0, y0, x1, y1, x, y);
        }
        EXPECT_EQ(wrong, 0) << "(" << x0 << "," << y0 << ") - (" << x1 << "," << y1 << ")";
    }
}

}  // namespace
