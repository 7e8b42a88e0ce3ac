// Text whose glyphs do not fit one coverage mask (an unbroken caption tens of thousands of
// pixels wide, thousands of lines) is rasterised in pieces where it shows. The pieces must
// draw exactly what one mask draws, wherever the text lies against the clip and the device,
// and the cache must stay within its memory limit however long the texts.
#include <mutex>
#include <string>

#include "platform/gdi32/text_layout.h"
#include "tests/platform/gdi32/canvas.h"

using namespace gdi_test;

namespace {

void useFont(Canvas& c, bool antialias) {
    LOGFONTW lf{};
    lf.lfHeight = 20;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = antialias ? ANTIALIASED_QUALITY : NONANTIALIASED_QUALITY;
    const std::u16string face = u"微软雅黑";
    face.copy(reinterpret_cast<char16_t*>(lf.lfFaceName), face.size());
    c.use(CreateFontIndirectW(&lf));
    SetTextColor(c.dc(), kRed);
    SetBkMode(c.dc(), TRANSPARENT);
}

void clearCache() {
    std::lock_guard<std::mutex> lock(platform::gdi32::textMutex());
    platform::gdi32::clearTextCache();
}

// Columns [x0, x1) of every row the same on both canvases.
bool sameColumns(const Canvas& a, const Canvas& b, int x0, int x1) {
    for (int y = 0; y < a.height(); ++y) {
        for (int x = x0; x < x1; ++x) {
            if (a.at(x, y) != b.at(x, y)) {
                ADD_FAILURE() << "first difference at " << x << ", " << y;
                return false;
            }
        }
    }
    return true;
}

int inkedColumns(const Canvas& c, COLORREF background) {
    int n = 0;
    for (int x = 0; x < c.width(); ++x) {
        for (int y = 0; y < c.height(); ++y) {
            if (!c.is(x, y, background)) {
                ++n;
                break;
            }
        }
    }
    return n;
}

// Captions as the editor draws them, in a node's caption rectangle: ink across the whole
// rectangle and nothing outside it, for lengths well past Cairo's largest surface. Latin text
// stays one line; Chinese wraps between characters into a text far taller than a surface.
TEST(LongText, UnbrokenCaptionsDrawInTheirRectangle) {
    for (const char16_t* unit : {u"W", u"c", u"中"}) {
        for (std::size_t length : {10'000u, 100'000u}) {
            Canvas c(200, 60);
            useFont(c, false);
            const std::u16string text(length, unit[0]);
            RECT r{30, 10, 170, 55};
            const int height = DrawTextW(c.dc(), text.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
            const RECT ink = c.bounds(kRed);
            if (unit[0] == u'中') {
                EXPECT_GT(height, 4096) << length;
                EXPECT_GE(ink.left, 30);
                EXPECT_LE(ink.right, 169);
                EXPECT_LE(ink.bottom, 54);
                EXPECT_GT(ink.bottom, 40);  // the second line shows
            } else {
                EXPECT_EQ(height, 20) << length;
                EXPECT_EQ(ink.left, 30) << length;  // the clip cuts the glyphs at both edges
                EXPECT_EQ(ink.right, 169) << length;
                EXPECT_LE(ink.bottom, 30);
            }
            EXPECT_GE(ink.top, 10);
        }
    }
    // Measuring such a text is no harder than drawing it.
    Canvas m(10, 10);
    useFont(m, false);
    const std::u16string text(30'000, u'W');
    RECT calc{0, 0, 100, 0};
    EXPECT_EQ(DrawTextW(m.dc(), text.c_str(), -1, &calc, DT_CALCRECT | DT_WORDBREAK), 20);
    SIZE size{};
    GetTextExtentPoint32W(m.dc(), text.c_str(), static_cast<int>(text.size()), &size);
    EXPECT_EQ(calc.right, size.cx);
    EXPECT_GT(size.cx, 32767);
}

// A text cut into pieces shows the pixels of the same glyphs drawn from one mask: the first
// and last 1,000 columns of a 3,000-character line against a 100-character one aligned the
// same way, in both the solid and the anti-aliased painting.
TEST(LongText, PiecesDrawWhatOneMaskDraws) {
    for (bool antialias : {false, true}) {
        for (UINT align : {UINT{DT_LEFT}, UINT{DT_RIGHT}}) {
            Canvas whole(1000, 40), pieces(1000, 40);
            useFont(whole, antialias);
            useFont(pieces, antialias);
            const std::u16string shortText(100, u'W'), longText(3000, u'W');
            RECT r{0, 10, 1000, 40};
            DrawTextW(whole.dc(), shortText.c_str(), -1, &r, align | DT_SINGLELINE | DT_NOCLIP);
            DrawTextW(pieces.dc(), longText.c_str(), -1, &r, align | DT_SINGLELINE | DT_NOCLIP);
            EXPECT_GT(whole.count(kRed), 500);
            // The short text's last (or first) glyph has no neighbour: leave its column out.
            if (align == DT_LEFT)
                EXPECT_TRUE(sameColumns(whole, pieces, 0, 900)) << antialias;
            else
                EXPECT_TRUE(sameColumns(whole, pieces, 100, 1000)) << antialias;
        }
    }
}

// Where one piece ends and the next begins (every 4,096 columns and 1,024 rows) nothing shows:
// a wide device drawn in several pieces against the same text shifted into one piece; lines
// of a text 60,000 pixels tall against a short text of the same lines.
TEST(LongText, PieceSeamsAndTallTextDrawSeamlessly) {
    const std::u16string line(1500, u'c');
    Canvas wide(6000, 30), shifted(1000, 30);
    for (Canvas* c : {&wide, &shifted}) useFont(*c, true);
    RECT r{0, 5, 6000, 30};
    DrawTextW(wide.dc(), line.c_str(), -1, &r, DT_LEFT | DT_SINGLELINE);
    RECT moved{-3600, 5, 2400, 30};
    DrawTextW(shifted.dc(), line.c_str(), -1, &moved, DT_LEFT | DT_SINGLELINE);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 1000; ++x) ASSERT_EQ(wide.at(3600 + x, y), shifted.at(x, y)) << x << ", " << y;
    }
    EXPECT_GT(inkedColumns(shifted, kWhite), 500);

    std::u16string tall, few;
    for (int i = 0; i < 3000; ++i) tall += i % 2 ? u"Wc\n" : u"cW\n";
    for (int i = 0; i < 8; ++i) few += i % 2 ? u"Wc\n" : u"cW\n";
    Canvas far(100, 150), near(100, 150);
    for (Canvas* c : {&far, &near}) useFont(*c, false);
    RECT farRect{0, -30000, 100, 150};  // line 1,500 ("cW") lands on y = 0
    DrawTextW(far.dc(), tall.c_str(), -1, &farRect, DT_LEFT);
    RECT nearRect{0, 0, 100, 150};
    DrawTextW(near.dc(), few.c_str(), -1, &nearRect, DT_LEFT);
    EXPECT_GT(near.count(kRed), 200);
    EXPECT_TRUE(sameColumns(near, far, 0, 100));
}

// The last piece drawn is kept: the same place again draws the same, and a place one pixel
// further draws what a fresh cache draws there (not the kept piece).
TEST(LongText, KeptPieceIsOnlyReusedForTheSamePlace) {
    const std::u16string text(5000, u'W');
    Canvas first(300, 40), again(300, 40), fresh(300, 40);
    for (Canvas* c : {&first, &again, &fresh}) useFont(*c, true);
    RECT r{-20000, 5, 20000, 40};
    DrawTextW(first.dc(), text.c_str(), -1, &r, DT_CENTER | DT_SINGLELINE);
    DrawTextW(again.dc(), text.c_str(), -1, &r, DT_CENTER | DT_SINGLELINE);
    EXPECT_TRUE(first.same(again));
    EXPECT_GT(first.count(kRed), 100);
    again.clear(kWhite);
    RECT nudged{-20001, 5, 19999, 40};
    DrawTextW(again.dc(), text.c_str(), -1, &nudged, DT_CENTER | DT_SINGLELINE);
    clearCache();
    DrawTextW(fresh.dc(), text.c_str(), -1, &nudged, DT_CENTER | DT_SINGLELINE);
    EXPECT_TRUE(fresh.same(again));
    EXPECT_FALSE(fresh.same(first));
}

// However long the texts, the cache holds no more than its limit, and a text too large to
// keep is still drawn.
TEST(LongText, CacheStaysWithinItsLimit) {
    constexpr std::size_t kLimit = 256 << 10;
    {
        std::lock_guard<std::mutex> lock(platform::gdi32::textMutex());
        platform::gdi32::clearTextCache();
        platform::gdi32::setTextCacheLimit(kLimit);
    }
    Canvas c(200, 40);
    useFont(c, false);
    for (std::size_t length : {20'000u, 30'000u, 40'000u, 200'000u, 25'000u}) {
        const std::u16string text(length, u'c');
        c.clear(kWhite);
        RECT r{10, 5, 190, 40};
        DrawTextW(c.dc(), text.c_str(), -1, &r, DT_CENTER | DT_WORDBREAK);
        EXPECT_GT(c.count(kRed), 100) << length;
        std::lock_guard<std::mutex> lock(platform::gdi32::textMutex());
        EXPECT_LE(platform::gdi32::textCacheBytes(), kLimit) << length;
        EXPECT_GT(platform::gdi32::textCacheBytes(), 0u) << length;
    }
    std::lock_guard<std::mutex> lock(platform::gdi32::textMutex());
    platform::gdi32::setTextCacheLimit(0);
}

// Without DT_NOPREFIX an ampersand marks the next character; with it the text is drawn as it
// is, exactly as TextOutW draws it: "&", "&&" and a final "&" all show.
TEST(NoPrefix, AmpersandsShowAsTyped) {
    for (const char16_t* text : {u"R&D", u"a&&b", u"end&", u"&"}) {
        Canvas drawn(200, 30), typed(200, 30);
        useFont(drawn, false);
        useFont(typed, false);
        RECT r{5, 5, 200, 30};
        DrawTextW(drawn.dc(), text, -1, &r, DT_LEFT | DT_NOPREFIX);
        TextOutW(typed.dc(), 5, 5, text, static_cast<int>(std::char_traits<char16_t>::length(text)));
        EXPECT_TRUE(drawn.same(typed)) << static_cast<int>(text[0]);
        RECT calc{0, 0, 200, 0};
        DrawTextW(drawn.dc(), text, -1, &calc, DT_CALCRECT | DT_NOPREFIX);
        SIZE size{};
        GetTextExtentPoint32W(drawn.dc(), text, static_cast<int>(std::char_traits<char16_t>::length(text)),
                              &size);
        EXPECT_EQ(calc.right, size.cx);
    }
    // Each ampersand takes its own width; with prefixes the same texts lose them.
    Canvas c(10, 10);
    useFont(c, false);
    const auto width = [&](const char16_t* text, UINT format) {
        RECT calc{0, 0, 200, 0};
        DrawTextW(c.dc(), text, -1, &calc, DT_CALCRECT | format);
        return calc.right;
    };
    EXPECT_GT(width(u"R&D", DT_NOPREFIX), width(u"RD", 0));
    EXPECT_GT(width(u"a&&b", DT_NOPREFIX), width(u"a&b", DT_NOPREFIX));
    EXPECT_GT(width(u"end&", DT_NOPREFIX), width(u"end", 0));
    EXPECT_EQ(width(u"R&D", 0), width(u"RD", 0));
    EXPECT_EQ(width(u"a&&b", 0), width(u"a&b", DT_NOPREFIX));
    EXPECT_EQ(width(u"end&", 0), width(u"end", 0));
}

}  // namespace
