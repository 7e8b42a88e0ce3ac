// What a frame shows, summed up, and the damage between two such summaries. Everything the
// frame draws is in the summary; what is not worth telling apart (the view, the modes coming
// and going, the find box, the recovery offer, a change of the shown tree's shape) damages the
// whole window.
#include "app/render/frame_damage.h"

#include <algorithm>
#include <vector>

#include "app/model/recovery_offer.h"
#include "app/render/palette.h"
#include "app/render/scene.h"
#include "app/render/text_caret.h"

namespace {

// Beyond a shape's rectangle or a line's ends nothing is drawn further than this: lines are a
// few pixels wide even at the largest zoom, and the caret takes the pen of the moment.
constexpr std::int64_t kInk = 24;
// Footprints are trusted only within this range: further out the drawing wraps coordinates or
// leaves the shape to the system, which may draw it anywhere.
constexpr std::int64_t kTame = std::int64_t{1} << 24;
constexpr int kStatusTop = kWindowHeight - 20;

WideRect spanning(std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2) {
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

WideRect joined(const WideRect& a, const WideRect& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

WideRect widened(const WideRect& r, std::int64_t by) {
    return {r.left - by, r.top - by, r.right + by, r.bottom + by};
}

bool tame(const WideRect& r) {
    const auto in = [](std::int64_t v) { return v > -kTame && v < kTame; };
    return in(r.left) && in(r.top) && in(r.right) && in(r.bottom);
}

// The box with its marker, in window pixels as the frame's view places them.
WideRect footprintOf(const Node& n, const View& view) {
    const std::int64_t x = n.x, y = n.y;
    WideRect shown =
        view.toWindow(joined(WideRect{x, y, x + n.width, y + n.height}, collapseMarkerBox(x, y, n.width)));
    if (shown.left > shown.right) std::swap(shown.left, shown.right);
    if (shown.top > shown.bottom) std::swap(shown.top, shown.bottom);
    return widened(shown, kInk);
}

// The connector from the parent's bottom middle to the node's top middle, in window pixels;
// both ends the node's top middle when none is drawn.
WideRect connectorOf(const Node& n, const View& view) {
    const std::int64_t x = view.toWindowX(n.x + std::int64_t{n.width} / 2);
    const std::int64_t y = view.toWindowY(n.y);
    const Node* parent = n.parent;
    if (parent == nullptr || parent->collapsed) return {x, y, x, y};
    return {view.toWindowX(std::int64_t{parent->x} + parent->width / 2),
            view.toWindowY(std::int64_t{parent->y} + parent->height), x, y};
}

// A vertical strip around a caret standing at x in a box.
WideRect caretStrip(std::int64_t x, const SceneRect& box) {
    return {x - kInk, box.top - kInk, x + kInk, box.bottom + kInk};
}

WideRect wideOf(const SceneRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// The damaged rectangles, kept apart while that saves drawing: a node's box and the status bar
// far below it are two small parts, not one large one.
class DamageArea {
  public:
    void add(const WideRect& r) {
        const RECT clipped{static_cast<LONG>(std::clamp<std::int64_t>(r.left, 0, kWindowWidth)),
                           static_cast<LONG>(std::clamp<std::int64_t>(r.top, 0, kWindowHeight)),
                           static_cast<LONG>(std::clamp<std::int64_t>(r.right + 1, 0, kWindowWidth)),
                           static_cast<LONG>(std::clamp<std::int64_t>(r.bottom + 1, 0, kWindowHeight))};
        if (clipped.left >= clipped.right || clipped.top >= clipped.bottom) return;
        parts_.push_back(clipped);
    }
    // A line, in pieces of a short run each: a long slanting connector crosses few of the
    // pixels of its bounding box.
    void addLine(const WideRect& line) {
        const std::int64_t dx = line.right - line.left;
        const std::int64_t dy = line.bottom - line.top;
        const std::int64_t run = std::max(dx < 0 ? -dx : dx, dy < 0 ? -dy : dy);
        const std::int64_t pieces = std::clamp<std::int64_t>(run / kLinePiece, 1, kMostLinePieces);
        for (std::int64_t i = 0; i < pieces; ++i) {
            add(widened(spanning(line.left + dx * i / pieces, line.top + dy * i / pieces,
                                 line.left + dx * (i + 1) / pieces, line.top + dy * (i + 1) / pieces),
                        kInk));
        }
    }
    Damage result() {
        if (parts_.empty()) return {};
        // Parts that meet become one; then the pair whose union adds least is joined until few
        // are left.
        for (bool joinedAny = true; joinedAny;) {
            joinedAny = false;
            for (std::size_t i = 0; i < parts_.size() && !joinedAny; ++i) {
                for (std::size_t j = i + 1; j < parts_.size() && !joinedAny; ++j) {
                    if (!meet(parts_[i], parts_[j])) continue;
                    parts_[i] = unionOf(parts_[i], parts_[j]);
                    parts_.erase(parts_.begin() + static_cast<std::ptrdiff_t>(j));
                    joinedAny = true;
                }
            }
            if (joinedAny || parts_.size() <= Damage::kMostParts) continue;
            std::size_t bestI = 0, bestJ = 1;
            std::int64_t bestGrowth = -1;
            for (std::size_t i = 0; i < parts_.size(); ++i) {
                for (std::size_t j = i + 1; j < parts_.size(); ++j) {
                    const std::int64_t growth =
                        area(unionOf(parts_[i], parts_[j])) - area(parts_[i]) - area(parts_[j]);
                    if (bestGrowth < 0 || growth < bestGrowth) bestGrowth = growth, bestI = i, bestJ = j;
                }
            }
            parts_[bestI] = unionOf(parts_[bestI], parts_[bestJ]);
            parts_.erase(parts_.begin() + static_cast<std::ptrdiff_t>(bestJ));
            joinedAny = true;
        }
        Damage damage{Damage::Kind::Part, parts_[0], parts_};
        for (const RECT& part : parts_) damage.rect = unionOf(damage.rect, part);
        return damage;
    }

  private:
    static constexpr std::int64_t kLinePiece = 96;
    static constexpr std::int64_t kMostLinePieces = 16;
    static bool meet(const RECT& a, const RECT& b) {
        return a.left <= b.right && b.left <= a.right && a.top <= b.bottom && b.top <= a.bottom;
    }
    static RECT unionOf(const RECT& a, const RECT& b) {
        return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                std::max(a.bottom, b.bottom)};
    }
    static std::int64_t area(const RECT& r) { return std::int64_t{r.right - r.left} * (r.bottom - r.top); }

    std::vector<RECT> parts_;
};

// A text box: a changed text redraws the box; a caret that moved or blinked, its strips alone
// (a blink is most of the box's frames, and whatever lies under the box is drawn again).
void boxDamage(DamageArea& damage, const SceneRect& box, bool textChanged, bool caretBlinked,
               std::int64_t caretXBefore, std::int64_t caretXAfter) {
    if (textChanged) damage.add(widened(wideOf(box), kInk));
    if (textChanged || caretBlinked || caretXBefore != caretXAfter) {
        damage.add(caretStrip(caretXBefore, box));
        damage.add(caretStrip(caretXAfter, box));
    }
}

Damage whole() {
    return {Damage::Kind::Whole, RECT{0, 0, kWindowWidth, kWindowHeight}, {}};
}

template <typename T>
bool sameRect(const BasicRect<T>& a, const BasicRect<T>& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool same(const FrameSummary::NodeMark& a, const FrameSummary::NodeMark& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height && a.fill == b.fill &&
           a.text == b.text && a.collapsed == b.collapsed && a.hasChildren == b.hasChildren &&
           sameRect(a.footprint, b.footprint) && sameRect(a.connector, b.connector) && a.caption == b.caption;
}

bool same(const FrameSummary::ButtonMark& a, const FrameSummary::ButtonMark& b) {
    return sameRect(a.rect, b.rect) && a.fill == b.fill && a.text == b.text && a.hovered == b.hovered &&
           a.label == b.label;
}

bool sameEverywhere(const FrameSummary& a, const FrameSummary& b) {
    return a.panelWidth == b.panelWidth && a.viewX == b.viewX && a.viewY == b.viewY && a.zoom == b.zoom &&
           a.help == b.help && a.editing == b.editing && a.dialog == b.dialog &&
           a.saveDialog == b.saveDialog && !a.findOpen && !b.findOpen && !a.offerShown && !b.offerShown &&
           a.nodes.size() == b.nodes.size() && a.buttons.size() == b.buttons.size();
}

}  // namespace

void summarizeFrame(const MindMap& m, FrameSummary& out) {
    out.drawn = true;
    out.panelWidth = m.panelWidth;
    out.viewX = m.view.offsetX();
    out.viewY = m.view.offsetY();
    out.zoom = m.view.zoomPercent();
    out.help = m.showHelp;
    out.editing = m.isEditing;
    out.dialog = m.showFileDialog;
    out.saveDialog = m.isSaveDialog;
    out.findOpen = m.find.open;
    out.offerShown = m.recoveryOffer != nullptr && m.recoveryOffer->shown;

    // The shown nodes in the frame's drawing order (pre-order, collapsed subtrees left out).
    std::size_t count = 0;
    std::vector<std::pair<const Node*, std::size_t>> pending;
    pending.emplace_back(m.root, 0);
    while (!pending.empty()) {
        const auto [n, parent] = pending.back();
        pending.pop_back();
        if (out.nodes.size() <= count) out.nodes.emplace_back();
        FrameSummary::NodeMark& mark = out.nodes[count];
        mark.parent = parent;
        mark.x = n->x;
        mark.y = n->y;
        mark.width = n->width;
        mark.height = n->height;
        mark.fill = n == m.selectedNode ? palette::kSelectedFill : n->fillColor;
        mark.text = n->textColor;
        mark.collapsed = n->collapsed;
        mark.hasChildren = !n->children.empty();
        mark.caption.assign(n->text);
        mark.footprint = footprintOf(*n, m.view);
        mark.connector = connectorOf(*n, m.view);
        const std::size_t self = count++;
        if (!n->collapsed) {
            for (auto it = n->children.rbegin(); it != n->children.rend(); ++it)
                pending.emplace_back(*it, self);
        }
    }
    out.nodes.resize(count);

    out.buttons.resize(m.buttons.size());
    for (std::size_t i = 0; i < m.buttons.size(); ++i) {
        const Button& b = m.buttons[i];
        out.buttons[i] = {b.rect, b.label, b.fillColor, b.textColor, b.isHovered};
    }

    // The next frame advances each open box's counter before it tells whether the caret shows.
    out.editText.clear();
    out.path.clear();
    out.editCaret = out.pathCaret = false;
    out.editCaretX = out.pathCaretX = 0;
    if (m.isEditing) {
        out.editText = m.editText;
        out.editCaret = caretShownAt(nextCaretCount(m.editCaretCounter));
        out.editCaretX = editCaretColumn(m);
    }
    if (m.showFileDialog) {
        out.path = m.filePath;
        out.pathCaret = caretShownAt(nextCaretCount(m.pathCaretCounter));
        out.pathCaretX = pathCaretColumn(m);
    }
    out.status = m.fileFailure.empty() ? formatStatusLine(m) : u"!" + m.fileFailure;
}

Damage frameDamage(const FrameSummary& before, const FrameSummary& after) {
    if (!before.drawn || !after.drawn || !sameEverywhere(before, after)) return whole();
    DamageArea damage;
    for (std::size_t i = 0; i < after.nodes.size(); ++i) {
        const FrameSummary::NodeMark& was = before.nodes[i];
        const FrameSummary::NodeMark& is = after.nodes[i];
        if (was.parent != is.parent) return whole();
        if (same(was, is)) continue;
        if (!tame(was.footprint) || !tame(is.footprint) || !tame(was.connector) || !tame(is.connector))
            return whole();
        damage.add(was.footprint);
        damage.add(is.footprint);
        // A connector is drawn alike wherever its ends stay; its pieces, joined where they meet,
        // span the line's whole bounding box, which for a long one holds many nodes.
        if (!sameRect(was.connector, is.connector)) {
            damage.addLine(was.connector);
            damage.addLine(is.connector);
        }
    }
    for (std::size_t i = 0; i < after.buttons.size(); ++i) {
        if (same(before.buttons[i], after.buttons[i])) continue;
        damage.add(widened(wideOf(before.buttons[i].rect), kInk));
        damage.add(widened(wideOf(after.buttons[i].rect), kInk));
    }
    if (after.editing) {
        boxDamage(damage, editTextBox(after.panelWidth), before.editText != after.editText,
                  before.editCaret != after.editCaret, before.editCaretX, after.editCaretX);
    }
    if (after.dialog) {
        boxDamage(damage, pathDialogLayout(after.panelWidth).pathBox, before.path != after.path,
                  before.pathCaret != after.pathCaret, before.pathCaretX, after.pathCaretX);
    }
    if (before.status != after.status) damage.add({0, kStatusTop - kInk, kWindowWidth, kWindowHeight});
    return damage.result();
}
