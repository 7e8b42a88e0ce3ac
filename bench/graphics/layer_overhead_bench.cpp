// One frame of the editor's kind (1380 x 750: clear, panel with ten buttons, 96 grid lines, N
// nodes each with a 2-px connector, a filled and an outlined rounded rectangle, a caption and a
// collapse marker, and the status line), drawn two ways from one description:
//   Api    - through the graphics API, on the window device (the device lock included) with
//            the window object's back buffer as target, as the editor draws;
//   Direct - the very platform calls the layer makes for it, issued straight on a memory DC.
// The layer is meant to add no measurable cost: Api stays within 10% of Direct.
#include <benchmark/benchmark.h>

#include <vector>

#include "app/model/scene_layout.h"
#include "graphics/graphics.h"
#include "graphics/image.h"

namespace {

constexpr int kWidth = kWindowWidth;
constexpr int kHeight = kWindowHeight;
constexpr int kPanel = kPanelWidth;

struct Node {
    int x, y, parent;
    bool hasChildren;
    COLORREF fill;
    const char16_t* text;
};

std::vector<Node> buildTree(int count) {
    const char16_t* captions[4] = {u"新节点", u"新节点", u"子主题 A", u"一个比较长的节点标题"};
    std::vector<Node> nodes;
    for (int i = 0; i < count; ++i) {
        Node n = {800, 375, i == 0 ? -1 : (i - 1) / 4, 4 * i + 1 < count, RGB(70, 130, 180), u"中心主题"};
        if (i > 0) {
            const Node& p = nodes[static_cast<std::size_t>(n.parent)];
            n.x = 240 + (p.x - 240 + 80 * ((i - 1) % 4) + 1040) % 1040;
            n.y = 10 + (p.y - 10 + 100) % 680;
            n.fill = RGB(255, 255, 255 - (i % 3) * 40);
            n.text = captions[i % 4];
        }
        nodes.push_back(n);
    }
    return nodes;
}

LOGFONTW editorFont() {
    return Gfx::fontDescription(20, u"微软雅黑");
}

// The frame, written once against the operations the editor uses.
template <typename Painter>
void drawFrame(Painter& p, const std::vector<Node>& nodes) {
    const UINT kCaption = DT_CENTER | DT_VCENTER | DT_WORDBREAK;
    p.setBackgroundColor(RGB(255, 255, 255));
    p.clearDevice();
    p.setLineStyle(PS_SOLID, 1);
    p.setFillColor(RGB(240, 240, 245));
    p.solidRectangle(0, 0, kPanel - 1, kHeight - 1);
    p.setLineColor(RGB(200, 200, 210));
    p.drawLine(kPanel, 0, kPanel, kHeight);
    p.setBackgroundMode(TRANSPARENT);
    p.setTextColor(RGB(80, 80, 80));
    p.drawText(u"功能面板", 0, 20, kPanel, 50, DT_CENTER | DT_VCENTER);
    for (int i = 0; i < 10; ++i) {
        const int top = 80 + 45 * i;
        p.setFillColor(RGB(100, 180, 100 + i * 10));
        p.fillRoundRect(10, top, 210, top + 35, 5, 5);
        p.setLineColor(RGB(80, 80, 80));
        p.drawRoundRect(10, top, 210, top + 35, 5, 5);
        p.setTextColor(RGB(255, 255, 255));
        p.drawText(u"添加子节点", 15, top, 205, top + 35, kCaption);
    }
    p.setLineColor(RGB(240, 240, 240));
    for (int x = kPanel; x < kWidth; x += 20) p.drawLine(x, 0, x, kHeight);
    for (int y = 0; y < kHeight; y += 20) p.drawLine(kPanel, y, kWidth, y);
    for (const Node& n : nodes) {
        if (n.parent >= 0) {
            const Node& parent = nodes[static_cast<std::size_t>(n.parent)];
            p.setLineColor(RGB(100, 100, 100));
            p.setLineStyle(PS_SOLID, 2);
            p.drawLine(parent.x + 70, parent.y + 45, n.x + 70, n.y);
            p.setLineStyle(PS_SOLID, 1);
        }
        p.setFillColor(n.fill);
        p.fillRoundRect(n.x, n.y, n.x + 140, n.y + 45, 5, 5);
        p.setLineColor(RGB(80, 80, 80));
        p.drawRoundRect(n.x, n.y, n.x + 140, n.y + 45, 5, 5);
        p.setTextColor(RGB(0, 0, 0));
        p.drawText(n.text, n.x + 5, n.y, n.x + 135, n.y + 45, kCaption);
        if (n.hasChildren) {
            p.setFillColor(RGB(150, 150, 150));
            p.fillRoundRect(n.x + 115, n.y + 10, n.x + 130, n.y + 30, 3, 3);
            p.setTextColor(RGB(255, 255, 255));
            p.drawText(u"-", n.x + 115, n.y + 10, n.x + 130, n.y + 30, DT_CENTER | DT_VCENTER);
        }
    }
    p.setFillColor(RGB(240, 240, 240));
    p.solidRectangle(0, 730, kWidth - 1, kHeight - 1);
    p.setTextColor(RGB(80, 80, 80));
    p.drawText(u"选中: 中心主题 | 子节点: 4 | 按 H 显示帮助", 10, 730, 1370, 750, DT_VCENTER);
}

struct ApiPainter {
    void setBackgroundColor(COLORREF c) { Gfx::setBackgroundColor(c); }
    void clearDevice() { Gfx::clearDevice(); }
    void setLineStyle(int style, int thickness) { Gfx::setLineStyle(style, thickness); }
    void setLineColor(COLORREF c) { Gfx::setLineColor(c); }
    void setFillColor(COLORREF c) { Gfx::setFillColor(c); }
    void setTextColor(COLORREF c) { Gfx::setTextColor(c); }
    void setBackgroundMode(int mode) { Gfx::setBackgroundMode(mode); }
    void drawLine(int x1, int y1, int x2, int y2) { Gfx::drawLine(x1, y1, x2, y2); }
    void solidRectangle(int l, int t, int r, int b) { Gfx::solidRectangle(l, t, r, b); }
    void fillRoundRect(int l, int t, int r, int b, int w, int h) { Gfx::fillRoundRect(l, t, r, b, w, h); }
    void drawRoundRect(int l, int t, int r, int b, int w, int h) { Gfx::drawRoundRect(l, t, r, b, w, h); }
    void drawText(const char16_t* text, int l, int t, int r, int b, UINT flags) {
        RECT rect = {l, t, r, b};
        Gfx::drawTextInRect(text, &rect, flags);
    }
};

// The same platform calls the layer makes, with the state kept here instead.
class DirectPainter {
  public:
    DirectPainter(HDC dc, DWORD* pixels) : dc_(dc), pixels_(pixels) {}
    void setBackgroundColor(COLORREF c) {
        background_ = c;
        SetBkColor(dc_, c);
    }
    void clearDevice() { Gfx::fillPixels(pixels_, kWidth, kHeight, Gfx::colorToPixel(background_)); }
    void setLineStyle(int style, int thickness) {
        style_ = style;
        thickness_ = thickness;
        makePen(style_);
    }
    void setLineColor(COLORREF c) {
        lineColor_ = c;
        makePen(style_);
    }
    void setFillColor(COLORREF c) {
        fillColor_ = c;
        replace(CreateSolidBrush(c));
    }
    void setTextColor(COLORREF c) { SetTextColor(dc_, c); }
    void setBackgroundMode(int mode) { SetBkMode(dc_, mode); }
    void drawLine(int x1, int y1, int x2, int y2) {
        MoveToEx(dc_, x1, y1, nullptr);
        LineTo(dc_, x2, y2);
    }
    void solidRectangle(int l, int t, int r, int b) {
        makePen(PS_NULL);
        Rectangle(dc_, l, t, r + 1, b + 1);
        makePen(style_);
    }
    void fillRoundRect(int l, int t, int r, int b, int w, int h) { RoundRect(dc_, l, t, r, b, w, h); }
    void drawRoundRect(int l, int t, int r, int b, int w, int h) {
        LOGBRUSH hollow = {BS_NULL, 0, 0};
        replace(CreateBrushIndirect(&hollow));
        RoundRect(dc_, l, t, r, b, w, h);
        LOGBRUSH solid = {BS_SOLID, fillColor_, 0};
        replace(CreateBrushIndirect(&solid));
    }
    void drawText(const char16_t* text, int l, int t, int r, int b, UINT flags) {
        RECT rect = {l, t, r, b};
        DrawTextW(dc_, reinterpret_cast<LPCWSTR>(text), -1, &rect, flags);
    }

  private:
    void makePen(int style) {
        LOGBRUSH brush = {BS_SOLID, lineColor_, 0};
        replace(ExtCreatePen(static_cast<DWORD>(style) | PS_GEOMETRIC, static_cast<DWORD>(thickness_), &brush,
                             0, nullptr));
    }
    void replace(HGDIOBJ object) { DeleteObject(SelectObject(dc_, object)); }

    HDC dc_;
    DWORD* pixels_;
    COLORREF background_ = 0;
    COLORREF lineColor_ = RGB(255, 255, 255);
    COLORREF fillColor_ = RGB(255, 255, 255);
    int style_ = PS_SOLID;
    int thickness_ = 1;
};

// A 1380 x 750 memory DC with a DIB section of the layer's pixel store format, set up as the
// layer sets up its back buffer.
class DirectCanvas {
  public:
    DirectCanvas() : dc(CreateCompatibleDC(nullptr)) {
        const BITMAPINFO info = Gfx::pixelStoreFormat(kWidth, kHeight);
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        pixels = static_cast<DWORD*>(bits);
        initialBitmap_ = SelectObject(dc, bitmap_);
        SetGraphicsMode(dc, GM_ADVANCED);
        const LOGFONTW font = editorFont();
        initialFont_ = SelectObject(dc, CreateFontIndirectW(&font));
        initialPen_ = SelectObject(dc, CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
        initialBrush_ = SelectObject(dc, CreateSolidBrush(RGB(255, 255, 255)));
    }
    ~DirectCanvas() {
        DeleteObject(SelectObject(dc, initialPen_));
        DeleteObject(SelectObject(dc, initialBrush_));
        DeleteObject(SelectObject(dc, initialFont_));
        SelectObject(dc, initialBitmap_);
        DeleteObject(bitmap_);
        DeleteDC(dc);
    }
    DirectCanvas(const DirectCanvas&) = delete;
    DirectCanvas& operator=(const DirectCanvas&) = delete;

    HDC dc;
    DWORD* pixels = nullptr;

  private:
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ initialBitmap_ = nullptr;
    HGDIOBJ initialFont_ = nullptr;
    HGDIOBJ initialPen_ = nullptr;
    HGDIOBJ initialBrush_ = nullptr;
};

void BM_FrameThroughApi(benchmark::State& state) {
    const std::vector<Node> nodes = buildTree(static_cast<int>(state.range(0)));
    Gfx::IMAGE keepAlive;  // starts the layer without a window
    // The window device on the window object's back buffer: every call takes the device lock.
    Gfx::resizeImage(nullptr, kWidth, kHeight);
    Gfx::setWorkingImage(nullptr);
    const LOGFONTW font = editorFont();
    Gfx::setTextStyle(&font);
    ApiPainter painter;
    for (auto _ : state) {
        drawFrame(painter, nodes);
        benchmark::DoNotOptimize(Gfx::getImageBuffer()[kWidth * 400 + 900]);
    }
    // Both ways must draw the same frame, or the comparison means nothing.
    DirectCanvas canvas;
    DirectPainter direct(canvas.dc, canvas.pixels);
    drawFrame(direct, nodes);
    const DWORD* api = Gfx::getImageBuffer();
    for (int i = 0; i < kWidth * kHeight; ++i) {
        if (api[i] != canvas.pixels[i]) {
            state.SkipWithError("the frames through the API and direct differ");
            break;
        }
    }
}

void BM_FrameDirect(benchmark::State& state) {
    const std::vector<Node> nodes = buildTree(static_cast<int>(state.range(0)));
    DirectCanvas canvas;
    DirectPainter painter(canvas.dc, canvas.pixels);
    for (auto _ : state) {
        drawFrame(painter, nodes);
        benchmark::DoNotOptimize(canvas.pixels[kWidth * 400 + 900]);
    }
}

BENCHMARK(BM_FrameThroughApi)->Arg(200)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FrameDirect)->Arg(200)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
