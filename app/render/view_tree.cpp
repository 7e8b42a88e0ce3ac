// The node tree and the grid seen through a view other than the original: everything is placed
// and sized by the view in 64 bits, culled against the device and clipped before it reaches
// the device's 32-bit coordinates, so a far node never wraps into sight. Below the legible
// zoom the boxes are plain rectangles without captions, which keeps a whole large map quick.
// The device state left behind is the original view's, so the panel, the overlays and the next
// frame look as they would there.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "app/render/palette.h"
#include "app/render/scene.h"
#include "graphics/graphics.h"
#include "graphics/image.h"

namespace {

using namespace palette;

constexpr int kGridStep = 20;
constexpr int kLeastGridSpacing = 10;  // window pixels; a finer grid would be a grey wash
constexpr int kCorner = 5;
constexpr int kMarkerCorner = 3;
constexpr int kTextInset = 5;
constexpr int kConnectorWidth = 2;
// Nothing drawn is wider than this beyond its rectangle (lines are a few pixels wide at 400 %).
constexpr std::int64_t kMargin = 16;
// Lines are clipped to this far around the device: far enough that a clipped line's slope is
// the unclipped one's to well below a pixel, near enough for any device's coordinates.
constexpr std::int64_t kClipSpace = std::int64_t{1} << 20;
// Boxes are cut this far outside the device, beyond their corners and outlines: a box across
// an edge is then drawn the same wherever its far side lies.
constexpr std::int64_t kBoxClip = 2048;
// Text is laid out only in rectangles of a sane size: a caption box larger than this lies
// mostly beyond the window, and its text with it.
constexpr std::int64_t kTextSpace = std::int64_t{1} << 24;

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

class ViewTreeDrawer {
  public:
    ViewTreeDrawer(const View& view, const Node* highlighted, bool cull, const RECT* clip)
        : view_(view),
          highlighted_(highlighted),
          cull_(cull),
          legible_(view.zoomPercent() >= kLegibleZoomPercent) {
        if (clip != nullptr) cullArea_ = *clip;
        Gfx::getLineStyle(&savedStyle_);
        legacyThickness_ = savedStyle_.thickness;
        if (legible_) {
            Gfx::getTextStyle(&savedFont_);
            LOGFONTW scaled = savedFont_;
            scaled.lfHeight = scaledSigned(savedFont_.lfHeight);
            scaled.lfWidth = scaledSigned(savedFont_.lfWidth);
            Gfx::setTextStyle(&scaled);
        }
        Gfx::setBackgroundMode(TRANSPARENT);
    }

    void draw(const Node* root) {
        std::vector<const Node*> pending;
        if (root != nullptr) pending.push_back(root);
        while (!pending.empty()) {
            const Node* n = pending.back();
            pending.pop_back();
            if (n->parent != nullptr && !n->parent->collapsed) connector(*n->parent, *n);
            box(*n);
            last_ = n;
            if (!n->collapsed) {
                for (auto it = n->children.rbegin(); it != n->children.rend(); ++it) pending.push_back(*it);
            }
        }
    }

    // Leaves the device as the original view's drawing of the same tree leaves it.
    void finish() {
        if (legible_) Gfx::setTextStyle(&savedFont_);
        if (sawConnector_) {
            Gfx::setLineStyle(PS_SOLID, kConnectorWidth, nullptr, 0);
        } else {
            Gfx::setLineStyle(&savedStyle_);
        }
        if (last_ == nullptr) return;
        const bool hasMarker = !last_->children.empty();
        Gfx::setLineColor(kOutline);
        Gfx::setFillColor(hasMarker ? kMarkerFill : fillOf(*last_));
        Gfx::setTextColor(hasMarker ? kMarkerText : last_->textColor);
    }

  private:
    int scaledSigned(int v) const {
        const int magnitude = view_.scaledLength(v < 0 ? -v : v, v == 0 ? 0 : 1);
        return v < 0 ? -magnitude : magnitude;
    }

    COLORREF fillOf(const Node& n) const { return &n == highlighted_ ? kSelectedFill : n.fillColor; }

    void pen(int thickness) {
        if (thickness == penThickness_) return;
        Gfx::setLineStyle(PS_SOLID, thickness, nullptr, 0);
        penThickness_ = thickness;
    }

    bool reaches(const WideRect& r) const {
        if (!cull_) return true;
        return std::max(r.left, r.right) + kMargin >= cullArea_.left &&
               std::min(r.left, r.right) - kMargin < cullArea_.right &&
               std::max(r.top, r.bottom) + kMargin >= cullArea_.top &&
               std::min(r.top, r.bottom) - kMargin < cullArea_.bottom;
    }

    // The rectangle's edges brought within kBoxClip around the window: the part that shows is
    // the same.
    RECT clamped(const WideRect& r) const {
        const auto cx = [](std::int64_t v) {
            return static_cast<int>(std::clamp<std::int64_t>(v, -kBoxClip, kWindowWidth + kBoxClip));
        };
        const auto cy = [](std::int64_t v) {
            return static_cast<int>(std::clamp<std::int64_t>(v, -kBoxClip, kWindowHeight + kBoxClip));
        };
        return RECT{cx(r.left), cy(r.top), cx(r.right), cy(r.bottom)};
    }

    static bool textFits(const WideRect& r) {
        const auto in = [](std::int64_t v) { return v > -kTextSpace && v < kTextSpace; };
        return in(r.left) && in(r.top) && in(r.right) && in(r.bottom);
    }

    void connector(const Node& parent, const Node& child) {
        sawConnector_ = true;
        legacyThickness_ = kConnectorWidth;
        double x1 = static_cast<double>(view_.toWindowX(std::int64_t{parent.x} + parent.width / 2));
        double y1 = static_cast<double>(view_.toWindowY(std::int64_t{parent.y} + parent.height));
        double x2 = static_cast<double>(view_.toWindowX(child.x + std::int64_t{child.width} / 2));
        double y2 = static_cast<double>(view_.toWindowY(child.y));
        if (!reaches(WideRect{static_cast<std::int64_t>(x1), static_cast<std::int64_t>(y1),
                              static_cast<std::int64_t>(x2), static_cast<std::int64_t>(y2)}) ||
            !clipLine(x1, y1, x2, y2))
            return;
        Gfx::setLineColor(kConnector);
        pen(legible_ ? view_.scaledLength(kConnectorWidth, 1) : 1);
        Gfx::drawLine(static_cast<int>(std::lround(x1)), static_cast<int>(std::lround(y1)),
                      static_cast<int>(std::lround(x2)), static_cast<int>(std::lround(y2)));
    }

    // Liang-Barsky: the part of the segment within the clip space; false when none is. A
    // segment within it is left exactly as it is. Coordinates are below 2^45, exact in doubles.
    bool clipLine(double& x1, double& y1, double& x2, double& y2) const {
        const double lowX = -static_cast<double>(kClipSpace);
        const double highX = static_cast<double>(kWindowWidth + kClipSpace);
        const double lowY = -static_cast<double>(kClipSpace);
        const double highY = static_cast<double>(kWindowHeight + kClipSpace);
        const double dx = x2 - x1;
        const double dy = y2 - y1;
        double t0 = 0.0;
        double t1 = 1.0;
        const double p[4] = {-dx, dx, -dy, dy};
        const double q[4] = {x1 - lowX, highX - x1, y1 - lowY, highY - y1};
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0.0) {
                if (q[i] < 0.0) return false;
                continue;
            }
            const double t = q[i] / p[i];
            if (p[i] < 0.0) {
                t0 = std::max(t0, t);
            } else {
                t1 = std::min(t1, t);
            }
            if (t0 > t1) return false;
        }
        const double sx = x1;
        const double sy = y1;
        x1 = sx + t0 * dx;
        y1 = sy + t0 * dy;
        x2 = sx + t1 * dx;
        y2 = sy + t1 * dy;
        return true;
    }

    void box(const Node& n) {
        const WideRect r =
            view_.toWindow({n.x, n.y, std::int64_t{n.x} + n.width, std::int64_t{n.y} + n.height});
        const bool hasMarker = !n.children.empty();
        const WideRect mark = hasMarker ? view_.toWindow(collapseMarkerBox(n.x, n.y, n.width)) : WideRect{};
        if (!reaches(r) && !(hasMarker && reaches(mark))) return;
        const RECT b = clamped(r);
        if (!legible_) {
            // A map seen whole: its shape and colours, without what could not be read anyway.
            pen(1);
            Gfx::setFillColor(fillOf(n));
            Gfx::setLineColor(kOutline);
            Gfx::fillRectangle(b.left, b.top, b.right, b.bottom);
            return;
        }
        const int corner = view_.scaledLength(kCorner, 1);
        pen(view_.scaledLength(legacyThickness_, 1));
        Gfx::setFillColor(fillOf(n));
        Gfx::fillRoundRect(b.left, b.top, b.right, b.bottom, corner, corner);
        Gfx::setLineColor(kOutline);
        Gfx::drawRoundRect(b.left, b.top, b.right, b.bottom, corner, corner);

        const WideRect text =
            view_.toWindow({std::int64_t{n.x} + kTextInset, n.y, std::int64_t{n.x} + n.width - kTextInset,
                            std::int64_t{n.y} + n.height});
        if (textFits(text)) {
            RECT t{static_cast<int>(text.left), static_cast<int>(text.top), static_cast<int>(text.right),
                   static_cast<int>(text.bottom)};
            Gfx::setTextColor(n.textColor);
            Gfx::drawTextInRect(n.text.c_str(), &t, DT_CENTER | DT_VCENTER | DT_WORDBREAK);
        }
        if (hasMarker && reaches(mark)) {
            const int markCorner = view_.scaledLength(kMarkerCorner, 1);
            RECT m = clamped(mark);
            Gfx::setFillColor(kMarkerFill);
            Gfx::fillRoundRect(m.left, m.top, m.right, m.bottom, markCorner, markCorner);
            if (textFits(mark)) {
                Gfx::setTextColor(kMarkerText);
                Gfx::drawTextInRect(n.collapsed ? u"+" : u"-", &m, DT_CENTER | DT_VCENTER);
            }
        }
    }

    const View& view_;
    const Node* highlighted_;
    bool cull_;
    RECT cullArea_{0, 0, kWindowWidth, kWindowHeight};
    bool legible_;
    Gfx::LINESTYLE savedStyle_;
    LOGFONTW savedFont_{};
    int legacyThickness_ = 1;
    int penThickness_ = -1;
    bool sawConnector_ = false;
    const Node* last_ = nullptr;
};

}  // namespace

void drawNodeTreeInView(const Node* root, const View& view, const Node* highlighted, bool cull,
                        const RECT* clip) {
    ViewTreeDrawer drawer(view, highlighted, cull, clip);
    drawer.draw(root);
    drawer.finish();
}

void drawGridInView(int panelWidth, const View& view) {
    Gfx::setLineColor(kGrid);
    // The grid is a map grid: lines where the original view has them, every other one left out
    // (repeatedly) while they would lie closer than the least spacing.
    std::int64_t step = kGridStep;
    while (step * view.zoomPercent() / View::kOriginalZoom < kLeastGridSpacing) step *= 2;
    const std::int64_t firstX = view.toMapX(panelWidth);
    std::int64_t mx = panelWidth + floorDiv(firstX - panelWidth, step) * step;
    for (;; mx += step) {
        const std::int64_t x = view.toWindowX(mx);
        if (x >= kWindowWidth) break;
        if (x >= panelWidth) Gfx::drawLine(static_cast<int>(x), 0, static_cast<int>(x), kWindowHeight);
    }
    std::int64_t my = floorDiv(view.toMapY(0), step) * step;
    for (;; my += step) {
        const std::int64_t y = view.toWindowY(my);
        if (y >= kWindowHeight) break;
        if (y >= 0) Gfx::drawLine(panelWidth, static_cast<int>(y), kWindowWidth, static_cast<int>(y));
    }
}
