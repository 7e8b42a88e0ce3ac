// One whole frame: panel, buttons, grid, node tree, the overlays of the modes and the status
// bar. The device keeps its drawing state between calls and frames; each shape sets what it
// needs right before it is drawn and nothing is restored.
#include <cstdint>
#include <vector>

#include "app/render/scene.h"
#include "graphics/graphics.h"

namespace {

constexpr COLORREF kBackground = 0xFFFFFF;
constexpr COLORREF kPanelFill = 0xF5F0F0;
constexpr COLORREF kSeparator = 0xD2C8C8;
constexpr COLORREF kPanelTitle = 0x505050;
constexpr COLORREF kGrid = 0xF0F0F0;
constexpr COLORREF kConnector = 0x646464;
constexpr COLORREF kSelectedFill = 0xB48246;
constexpr COLORREF kNodeOutline = 0x505050;
constexpr COLORREF kMarkerFill = 0x969696;
constexpr COLORREF kMarkerText = 0xFFFFFF;
constexpr int kGridStep = 20;
constexpr int kCorner = 5;
constexpr int kMarkerCorner = 3;

// Positions read from a file may lie anywhere in the 32-bit range: sums wrap around as the
// platform's own arithmetic does rather than overflow.
int add(int a, int b) {
    return static_cast<int>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}

void drawPanelBackground(int panelWidth) {
    // No line colour is set here: the outline keeps the one left by the previous frame.
    Gfx::setFillColor(kPanelFill);
    Gfx::fillRectangle(0, 0, panelWidth, kSceneHeight);
    Gfx::setLineColor(kSeparator);
    Gfx::drawLine(panelWidth, 0, panelWidth, kSceneHeight);
    Gfx::setTextColor(kPanelTitle);
    Gfx::setBackgroundMode(TRANSPARENT);
    RECT titleRect{0, 20, panelWidth, 50};
    Gfx::drawTextInRect(u"功能面板", &titleRect, DT_CENTER | DT_VCENTER);
}

void drawGrid(int panelWidth) {
    Gfx::setLineColor(kGrid);
    for (int x = panelWidth; x < kSceneWidth; x += kGridStep) Gfx::drawLine(x, 0, x, kSceneHeight);
    for (int y = 0; y < kSceneHeight; y += kGridStep) Gfx::drawLine(panelWidth, y, kSceneWidth, y);
}

}  // namespace

void MindMap::drawFrame() {
    Gfx::beginBatchDraw();
    Gfx::clearDevice();
    Gfx::setBackgroundColor(kBackground);
    Gfx::clearDevice();
    drawPanelBackground(panelWidth);
    for (const Button& button : buttons) button.draw();
    drawGrid(panelWidth);
    drawNode(root);
    if (isEditing) drawEditBox(*this);
    if (showHelp) drawHelpScreen(*this);
    if (showFileDialog) drawPathDialog(*this);
    drawStatusBar(*this);
    Gfx::endBatchDraw();
}

void MindMap::drawNode(const Node* node) {
    // Pre-order walk with an explicit stack, so a map nested deeper than the thread's stack
    // allows still draws; children are pushed in reverse to come off in list order.
    std::vector<const Node*> pending;
    if (node != nullptr) pending.push_back(node);
    while (!pending.empty()) {
        const Node* n = pending.back();
        pending.pop_back();

        const Node* parent = n->parent;
        if (parent != nullptr && !parent->collapsed) {
            Gfx::setLineColor(kConnector);
            Gfx::setLineStyle(PS_SOLID, 2, nullptr, 0);
            Gfx::drawLine(add(parent->x, parent->width / 2), add(parent->y, parent->height),
                          add(n->x, n->width / 2), n->y);
        }

        const int left = n->x;
        const int top = n->y;
        const int right = add(n->x, n->width);
        const int bottom = add(n->y, n->height);
        Gfx::setFillColor(n == selectedNode ? kSelectedFill : n->fillColor);
        Gfx::fillRoundRect(left, top, right, bottom, kCorner, kCorner);
        Gfx::setLineColor(kNodeOutline);
        Gfx::drawRoundRect(left, top, right, bottom, kCorner, kCorner);

        Gfx::setBackgroundMode(TRANSPARENT);
        Gfx::setTextColor(n->textColor);
        RECT textRect{add(left, 5), top, add(right, -5), bottom};
        Gfx::drawTextInRect(n->text.c_str(), &textRect, DT_CENTER | DT_VCENTER | DT_WORDBREAK);

        if (!n->children.empty()) {
            Gfx::setFillColor(kMarkerFill);
            RECT markRect{add(right, -25), add(top, 10), add(right, -10), add(top, 30)};
            Gfx::fillRoundRect(markRect.left, markRect.top, markRect.right, markRect.bottom, kMarkerCorner,
                               kMarkerCorner);
            Gfx::setTextColor(kMarkerText);
            Gfx::drawTextInRect(n->collapsed ? u"+" : u"-", &markRect, DT_CENTER | DT_VCENTER);
        }

        if (!n->collapsed) {
            for (auto it = n->children.rbegin(); it != n->children.rend(); ++it) pending.push_back(*it);
        }
    }
}
