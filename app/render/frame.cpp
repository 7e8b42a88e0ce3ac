// One whole frame: panel, buttons, grid, node tree, the overlays of the modes and the status
// bar. The device keeps its drawing state between calls and frames; each shape sets what it
// needs right before it is drawn and nothing is restored.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/model/recovery_offer.h"
#include "app/model/scene_layout.h"
#include "app/model/wrap_int32.h"
#include "app/render/frame_damage.h"
#include "app/render/frame_start.h"
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

// A part within the path dialog's box shows the dialog alone, which paints over everything
// drawn before it there: its nodes need not be drawn (the tree still settles the drawing state
// they would leave). Far from any window pixel: the area a tree hidden so is culled to.
bool hiddenByDialog(const MindMap& m, const RECT* clip) {
    if (clip == nullptr || !m.showFileDialog) return false;
    const SceneRect box = pathDialogLayout(m.panelWidth).box;
    return clip->left > box.left && clip->right < box.right && clip->top > box.top &&
           clip->bottom < box.bottom;
}
constexpr int kNowhere = -(1 << 30);

// The frame's drawing calls, all of them in order; with a clip, the clear covers it alone and
// the tree skips the nodes wholly outside it (owing the state they would have left).
void drawScene(MindMap& m, const RECT* clip) {
    // One clear in the frame's background colour: a clear in the colour left from before would
    // be wholly painted over by it.
    Gfx::setBackgroundColor(kBackground);
    if (clip == nullptr) {
        Gfx::clearDevice();
    } else {
        Gfx::clearDevicePart(clip->left, clip->top, clip->right, clip->bottom);
    }
    drawPanelBackground(m.panelWidth);
    for (const Button& button : m.buttons) button.draw();
    const bool hidden = hiddenByDialog(m, clip);
    if (m.view.isOriginal()) {
        drawGrid(m.panelWidth);
        const RECT area = hidden            ? RECT{kNowhere, kNowhere, kNowhere, kNowhere}
                          : clip != nullptr ? *clip
                                            : RECT{0, 0, kWindowWidth, kWindowHeight};
        drawNodeTree(m.root, NodeTreeView{.offsetX = 0,
                                          .offsetY = 0,
                                          .highlighted = m.selectedNode,
                                          .deviceWidth = area.right,
                                          .deviceHeight = area.bottom,
                                          .clipLeft = area.left,
                                          .clipTop = area.top});
    } else {
        drawGridInView(m.panelWidth, m.view);
        const RECT nowhere{kNowhere, kNowhere, kNowhere, kNowhere};
        drawNodeTreeInView(m.root, m.view, m.selectedNode, true, hidden ? &nowhere : clip);
    }
    if (m.isEditing) drawEditBox(m);
    if (m.showHelp) drawHelpScreen(m);
    if (m.find.open) drawFindBox(m);
    if (m.showFileDialog) drawPathDialog(m);
    if (m.recoveryOffer != nullptr && m.recoveryOffer->shown)
        drawRecoveryOffer(*m.recoveryOffer, m.panelWidth);
    drawStatusBar(m);
    if (m.find.open) drawFindCount(m);
}

}  // namespace

void MindMap::drawFrame() {
    Gfx::beginBatchDraw();
    drawScene(*this, nullptr);
    Gfx::endBatchDraw();
}

void drawFramePart(MindMap& mindMap, const std::vector<RECT>& parts) {
    Gfx::beginBatchDraw();
    const FrameStart start(mindMap);
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) start.restore(mindMap);
        const RECT& part = parts[i];
        Gfx::setClipRectangle(part.left, part.top, part.right, part.bottom);
        drawScene(mindMap, &part);
    }
    Gfx::clearClipRegion();
    Gfx::endChangedBatchDraw(parts.data(), static_cast<int>(parts.size()));
}

void MindMap::drawNode(const Node* node) {
    if (!view.isOriginal()) {
        drawNodeTreeInView(node, view, selectedNode);
        return;
    }
    drawNodeTree(node, NodeTreeView{.offsetX = 0,
                                    .offsetY = 0,
                                    .highlighted = selectedNode,
                                    .deviceWidth = kWindowWidth,
                                    .deviceHeight = kWindowHeight});
}

namespace {

// Lines are at most 2 pixels wide and round-capped: nothing a shape paints lies further than
// this from its rectangle or its end points.
constexpr std::int64_t kInkMargin = 8;

// Whether anything drawn within [left, right] x [top, bottom] (any order, device pixels) can
// reach the device.
bool reachesDevice(const NodeTreeView& view, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                   std::int64_t y2) {
    return std::max(x1, x2) + kInkMargin >= view.clipLeft &&
           std::min(x1, x2) - kInkMargin < view.deviceWidth &&
           std::max(y1, y2) + kInkMargin >= view.clipTop && std::min(y1, y2) - kInkMargin < view.deviceHeight;
}

// GDI's device coordinate space: a line with an end beyond it is refused, and one whose start
// is beyond it runs from wherever the last line ended instead. What a shape reaching beyond it
// draws is the system's to decide (Windows refuses it; other GDIs may wrap it into view), so
// such a shape is always drawn.
constexpr std::int64_t kDeviceSpace = std::int64_t{1} << 27;
bool inDeviceSpace(std::int64_t x, std::int64_t y) {
    return x > -kDeviceSpace && x < kDeviceSpace && y > -kDeviceSpace && y < kDeviceSpace;
}
bool inDeviceSpace(const RECT& r) {
    return inDeviceSpace(r.left, r.top) && inDeviceSpace(r.right, r.bottom);
}

// The device state that a node's drawing leaves behind. The frame restores nothing, so later
// shapes and the next frame rely on it: a node that is not drawn still owes its settings,
// which are made once, just before the next shape that is drawn (or at the end). A connector
// that is not drawn owes the pen's position: the last one is drawn after all (where it cannot
// be seen) when the next line might start from there.
class OwedState {
  public:
    void lineColor(COLORREF c) { lineColor_ = c, owesLine_ = true; }
    void connectorStyle() { owesStyle_ = true; }
    void fillColor(COLORREF c) { fillColor_ = c, owesFill_ = true; }
    void textColor(COLORREF c) { textColor_ = c, owesText_ = true; }
    void transparentText() { owesMode_ = true; }
    void lineEnd(const RECT& line) { line_ = line, owesPosition_ = true; }
    void settle() {
        if (owesLine_) Gfx::setLineColor(lineColor_);
        if (owesStyle_) Gfx::setLineStyle(PS_SOLID, 2, nullptr, 0);
        if (owesFill_) Gfx::setFillColor(fillColor_);
        if (owesMode_) Gfx::setBackgroundMode(TRANSPARENT);
        if (owesText_) Gfx::setTextColor(textColor_);
        owesLine_ = owesStyle_ = owesFill_ = owesText_ = owesMode_ = false;
    }
    void settlePosition() {
        if (owesPosition_) Gfx::drawLine(line_.left, line_.top, line_.right, line_.bottom);
        owesPosition_ = false;
    }
    void forgetPosition() { owesPosition_ = false; }

  private:
    COLORREF lineColor_ = 0, fillColor_ = 0, textColor_ = 0;
    RECT line_{};
    bool owesLine_ = false, owesStyle_ = false, owesFill_ = false, owesText_ = false, owesMode_ = false;
    bool owesPosition_ = false;
};

}  // namespace

void drawNodeTree(const Node* node, const NodeTreeView& view) {
    // Pre-order walk with an explicit stack, so a map nested deeper than the thread's stack
    // allows still draws; children are pushed in reverse to come off in list order.
    std::vector<const Node*> pending;
    if (node != nullptr) pending.push_back(node);
    OwedState owed;
    while (!pending.empty()) {
        const Node* n = pending.back();
        pending.pop_back();

        const Node* parent = n->parent;
        if (parent != nullptr && !parent->collapsed) {
            const int x1 = wrapToInt32(view.offsetX + parent->x + parent->width / 2);
            const int y1 = wrapToInt32(view.offsetY + parent->y + parent->height);
            const int x2 = wrapToInt32(view.offsetX + n->x + n->width / 2);
            const int y2 = wrapToInt32(view.offsetY + n->y);
            if (!inDeviceSpace(RECT{x1, y1, x2, y2}) || reachesDevice(view, x1, y1, x2, y2)) {
                owed.settle();
                Gfx::setLineColor(kConnector);
                Gfx::setLineStyle(PS_SOLID, 2, nullptr, 0);
                if (inDeviceSpace(x1, y1))
                    owed.forgetPosition();
                else
                    owed.settlePosition();
                Gfx::drawLine(x1, y1, x2, y2);
            } else {
                owed.lineColor(kConnector);
                owed.connectorStyle();
                owed.lineEnd(RECT{x1, y1, x2, y2});
            }
        }

        const std::int64_t x = view.offsetX + n->x;
        const std::int64_t y = view.offsetY + n->y;
        const RECT box = wrappedRect({x, y, x + n->width, y + n->height});
        const COLORREF fill = n == view.highlighted ? kSelectedFill : n->fillColor;
        const bool hasMarker = !n->children.empty();
        RECT markRect = hasMarker ? wrappedRect(collapseMarkerBox(x, y, n->width)) : RECT{};
        RECT textRect = wrappedRect({x + kTextInset, y, x + n->width - kTextInset, y + n->height});
        // The caption is clipped to its rectangle, which lies within the box (or, in a box too
        // narrow for the inset, within the margin).
        const bool shown =
            !inDeviceSpace(box) || !inDeviceSpace(textRect) || (hasMarker && !inDeviceSpace(markRect)) ||
            reachesDevice(view, box.left, box.top, box.right, box.bottom) ||
            (hasMarker && reachesDevice(view, markRect.left, markRect.top, markRect.right, markRect.bottom));
        if (shown) {
            owed.settle();
            Gfx::setFillColor(fill);
            Gfx::fillRoundRect(box.left, box.top, box.right, box.bottom, kCorner, kCorner);
            Gfx::setLineColor(kOutline);
            Gfx::drawRoundRect(box.left, box.top, box.right, box.bottom, kCorner, kCorner);

            Gfx::setBackgroundMode(TRANSPARENT);
            Gfx::setTextColor(n->textColor);
            Gfx::drawTextInRect(n->text.c_str(), &textRect,
                                DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_NOPREFIX);

            if (hasMarker) {
                Gfx::setFillColor(kMarkerFill);
                Gfx::fillRoundRect(markRect.left, markRect.top, markRect.right, markRect.bottom,
                                   kMarkerCorner, kMarkerCorner);
                Gfx::setTextColor(kMarkerText);
                Gfx::drawTextInRect(n->collapsed ? u"+" : u"-", &markRect, DT_CENTER | DT_VCENTER);
            }
        } else {
            owed.fillColor(hasMarker ? kMarkerFill : fill);
            owed.lineColor(kOutline);
            owed.transparentText();
            owed.textColor(hasMarker ? kMarkerText : n->textColor);
        }

        if (!n->collapsed) {
            for (auto it = n->children.rbegin(); it != n->children.rend(); ++it) pending.push_back(*it);
        }
    }
    owed.settle();
    owed.settlePosition();
}
