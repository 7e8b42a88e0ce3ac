// One whole frame: panel, buttons, grid, node tree, the overlays of the modes and the status
// bar. The device keeps its drawing state between calls and frames; each shape sets what it
// needs right before it is drawn and nothing is restored.
#include <cstdint>
#include <vector>

#include "app/model/scene_layout.h"
#include "app/model/wrap_int32.h"
#include "app/render/palette.h"
#include "app/render/scene.h"
#include "graphics/graphics.h"

namespace {

using namespace palette;

constexpr int kGridStep = 20;
constexpr int kCorner = 5;
constexpr int kMarkerCorner = 3;
constexpr int kTextInset = 5;  // the caption keeps this far from the box's sides

// The rectangle as the device takes it: each edge wrapped to 32 bits, as every sum of positions.
RECT wrappedRect(const WideRect& r) {
    return RECT{wrapToInt32(r.left), wrapToInt32(r.top), wrapToInt32(r.right), wrapToInt32(r.bottom)};
}

void drawPanelBackground(int panelWidth) {
    // No line colour is set here: the outline keeps the one left by the previous frame.
    Gfx::setFillColor(kPanelFill);
    Gfx::fillRectangle(0, 0, panelWidth, kWindowHeight);
    Gfx::setLineColor(kPanelSeparator);
    Gfx::drawLine(panelWidth, 0, panelWidth, kWindowHeight);
    Gfx::setTextColor(kPanelTitle);
    Gfx::setBackgroundMode(TRANSPARENT);
    RECT titleRect{0, 20, panelWidth, 50};
    Gfx::drawTextInRect(u"功能面板", &titleRect, DT_CENTER | DT_VCENTER);
}

void drawGrid(int panelWidth) {
    Gfx::setLineColor(kGrid);
    for (int x = panelWidth; x < kWindowWidth; x += kGridStep) Gfx::drawLine(x, 0, x, kWindowHeight);
    for (int y = 0; y < kWindowHeight; y += kGridStep) Gfx::drawLine(panelWidth, y, kWindowWidth, y);
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
    drawNodeTree(node, NodeTreeView{.offsetX = 0, .offsetY = 0, .highlighted = selectedNode});
}

void drawNodeTree(const Node* node, const NodeTreeView& view) {
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
            Gfx::drawLine(wrapToInt32(view.offsetX + parent->x + parent->width / 2),
                          wrapToInt32(view.offsetY + parent->y + parent->height),
                          wrapToInt32(view.offsetX + n->x + n->width / 2), wrapToInt32(view.offsetY + n->y));
        }

        const std::int64_t x = view.offsetX + n->x;
        const std::int64_t y = view.offsetY + n->y;
        const RECT box = wrappedRect({x, y, x + n->width, y + n->height});
        Gfx::setFillColor(n == view.highlighted ? kSelectedFill : n->fillColor);
        Gfx::fillRoundRect(box.left, box.top, box.right, box.bottom, kCorner, kCorner);
        Gfx::setLineColor(kOutline);
        Gfx::drawRoundRect(box.left, box.top, box.right, box.bottom, kCorner, kCorner);

        Gfx::setBackgroundMode(TRANSPARENT);
        Gfx::setTextColor(n->textColor);
        RECT textRect = wrappedRect({x + kTextInset, y, x + n->width - kTextInset, y + n->height});
        Gfx::drawTextInRect(n->text.c_str(), &textRect, DT_CENTER | DT_VCENTER | DT_WORDBREAK);

        if (!n->children.empty()) {
            Gfx::setFillColor(kMarkerFill);
            RECT markRect = wrappedRect(collapseMarkerBox(x, y, n->width));
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
