#include "frame_scene.h"

namespace frame_bench {
namespace {

const WCHAR* const kLabels[10] = {
    TEXT("添加子节点"), TEXT("添加同级节点"), TEXT("删除节点"), TEXT("编辑文本"), TEXT("折叠/展开"),
    TEXT("撤销"),       TEXT("重做"),         TEXT("保存"),     TEXT("打开"),     TEXT("帮助")};
const COLORREF kButtonFill[10] = {0x64B464, 0xDC9664, 0x6464DC, 0x64B4B4, 0xC89696,
                                  0xC8C8C8, 0xC8C8C8, 0xC89664, 0xC89664, 0xC86496};
const WCHAR* const kCaptions[4] = {TEXT("新节点"), TEXT("新节点"), TEXT("子主题 A"),
                                   TEXT("一个比较长的节点标题")};

}  // namespace

Scene::Scene(int nodeCount, HDC dc, std::uint32_t* pixels) : dc_(dc), pixels_(pixels) {
    // A tree grown as the editor grows it: the n-th child of a node at (x + 80 n, y + 100),
    // up to four children per node, wrapped to stay on the canvas; boxes 140 x 45.
    for (int i = 0; i < nodeCount; ++i) {
        SceneNode n;
        n.parent = i == 0 ? -1 : (i - 1) / 4;
        n.width = 140;
        n.height = 45;
        if (i == 0) {
            n.x = 800;
            n.y = 375;
        } else {
            const SceneNode& p = nodes_[static_cast<std::size_t>(n.parent)];
            int k = (i - 1) % 4;
            n.x = 240 + (p.x - 240 + 80 * k + 1040) % 1040;
            n.y = 10 + (p.y - 10 + 100) % 680;
        }
        n.hasChildren = 4 * i + 1 < nodeCount;
        n.fill = i == 0 ? RGB(70, 130, 180) : RGB(255, 255, 255 - (i % 3) * 40);
        n.text = i == 0 ? TEXT("中心主题") : kCaptions[i % 4];
        nodes_.push_back(n);
    }
    SetGraphicsMode(dc_, GM_ADVANCED);
    LOGFONTW lf{};
    lf.lfHeight = 20;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = NONANTIALIASED_QUALITY;
    const WCHAR face[] = TEXT("微软雅黑");
    for (int i = 0; face[i]; ++i) lf.lfFaceName[i] = face[i];
    DeleteObject(SelectObject(dc_, CreateFontIndirectW(&lf)));
    replacePen(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
    replaceBrush(CreateSolidBrush(RGB(255, 255, 255)));
}

Scene::~Scene() {
    DeleteObject(SelectObject(dc_, GetStockObject(WHITE_PEN)));
    DeleteObject(SelectObject(dc_, GetStockObject(BLACK_BRUSH)));
    DeleteObject(SelectObject(dc_, GetStockObject(SYSTEM_FONT)));
}

void Scene::replacePen(HPEN pen) {
    DeleteObject(SelectObject(dc_, pen));
}
void Scene::replaceBrush(HBRUSH brush) {
    DeleteObject(SelectObject(dc_, brush));
}

void Scene::setLineColor(COLORREF color) {
    lineColor_ = color;
    LOGBRUSH lb{BS_SOLID, color, 0};
    replacePen(ExtCreatePen(PS_GEOMETRIC | PS_SOLID, static_cast<DWORD>(thickness_), &lb, 0, nullptr));
}

void Scene::setFillColor(COLORREF color) {
    fillColor_ = color;
    replaceBrush(CreateSolidBrush(color));
}

void Scene::fillRoundRect(int l, int t, int r, int b, int ew, int eh) {
    RoundRect(dc_, l, t, r, b, ew, eh);
}

// Outline only: a null brush swapped in and a new solid brush back, as the layer does it.
void Scene::drawRoundRect(int l, int t, int r, int b, int ew, int eh) {
    LOGBRUSH hollow{BS_NULL, 0, 0};
    replaceBrush(CreateBrushIndirect(&hollow));
    RoundRect(dc_, l, t, r, b, ew, eh);
    LOGBRUSH solid{BS_SOLID, fillColor_, 0};
    replaceBrush(CreateBrushIndirect(&solid));
}

void Scene::drawText(const WCHAR* text, int l, int t, int r, int b, UINT flags) {
    RECT rect{l, t, r, b};
    DrawTextW(dc_, text, -1, &rect, flags);
}

void Scene::clear(COLORREF color) {
    std::uint32_t pixel = ((color & 0xFF) << 16) | (color & 0xFF00) | ((color >> 16) & 0xFF);
    for (int i = 0; i < kWidth * kHeight; ++i) pixels_[i] = pixel;
}

void Scene::drawFrame() {
    const int w = kPanelWidth;
    clear(background_);
    background_ = RGB(255, 255, 255);
    SetBkColor(dc_, background_);
    clear(background_);
    setFillColor(0xF5F0F0);
    Rectangle(dc_, 0, 0, w, kHeight);
    setLineColor(0xD2C8C8);
    MoveToEx(dc_, w, 0, nullptr);
    LineTo(dc_, w, kHeight);
    SetTextColor(dc_, 0x505050);
    SetBkMode(dc_, TRANSPARENT);
    drawText(TEXT("功能面板"), 0, 20, w, 50, DT_CENTER | DT_VCENTER);
    for (int i = 0; i < 10; ++i) {
        int top = 80 + 45 * i;
        setFillColor(kButtonFill[i]);
        fillRoundRect(10, top, 210, top + 35, 5, 5);
        setLineColor(0x505050);
        drawRoundRect(10, top, 210, top + 35, 5, 5);
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, i == 5 || i == 6 ? 0 : 0xFFFFFF);
        drawText(kLabels[i], 15, top, 205, top + 35, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
    }
    setLineColor(0xF0F0F0);
    for (int x = w; x < kWidth; x += 20) {
        MoveToEx(dc_, x, 0, nullptr);
        LineTo(dc_, x, kHeight);
    }
    for (int y = 0; y < kHeight; y += 20) {
        MoveToEx(dc_, w, y, nullptr);
        LineTo(dc_, kWidth, y);
    }
    for (const SceneNode& n : nodes_) {
        if (n.parent >= 0) {
            const SceneNode& p = nodes_[static_cast<std::size_t>(n.parent)];
            setLineColor(0x646464);
            thickness_ = 2;
            setLineColor(0x646464);
            MoveToEx(dc_, p.x + p.width / 2, p.y + p.height, nullptr);
            LineTo(dc_, n.x + n.width / 2, n.y);
        }
        setFillColor(n.fill);
        fillRoundRect(n.x, n.y, n.x + n.width, n.y + n.height, 5, 5);
        setLineColor(0x505050);
        drawRoundRect(n.x, n.y, n.x + n.width, n.y + n.height, 5, 5);
        SetBkMode(dc_, TRANSPARENT);
        SetTextColor(dc_, 0);
        drawText(n.text, n.x + 5, n.y, n.x + n.width - 5, n.y + n.height,
                 DT_CENTER | DT_VCENTER | DT_WORDBREAK);
        if (n.hasChildren) {
            int r = n.x + n.width;
            setFillColor(0x969696);
            fillRoundRect(r - 25, n.y + 10, r - 10, n.y + 30, 3, 3);
            SetTextColor(dc_, 0xFFFFFF);
            drawText(TEXT("-"), r - 25, n.y + 10, r - 10, n.y + 30, DT_CENTER | DT_VCENTER);
        }
    }
    setFillColor(0xF0F0F0);
    Rectangle(dc_, 0, 730, kWidth, kHeight);
    SetTextColor(dc_, 0x505050);
    drawText(TEXT("选中: 中心主题 | 位置: (580, 375) | 子节点: 4 | 按 H 显示帮助"), 10, 730, 1370, kHeight,
             DT_VCENTER);
}

}  // namespace frame_bench
