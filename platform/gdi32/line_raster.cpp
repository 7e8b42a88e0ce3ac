#include "platform/gdi32/line_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace platform::gdi32 {
namespace {

// Merges pixels of one row into spans before handing them on.
class RunMerger {
  public:
    explicit RunMerger(const SpanEmitter& emit) : emit_(emit) {}
    ~RunMerger() { flush(); }
    RunMerger(const RunMerger&) = delete;
    RunMerger& operator=(const RunMerger&) = delete;
    void add(int x, int y) {
        if (open_ && y == y_ && x == x1_) {
            ++x1_;
            return;
        }
        if (open_ && y == y_ && x == x0_ - 1) {
            --x0_;
            return;
        }
        flush();
        open_ = true;
        y_ = y;
        x0_ = x;
        x1_ = x + 1;
    }
    void flush() {
        if (open_ && emit_) emit_(y_, x0_, x1_);
        open_ = false;
    }

  private:
    const SpanEmitter& emit_;
    bool open_ = false;
    int y_ = 0, x0_ = 0, x1_ = 0;
};

// a * b compared with c * d for non-negative 64-bit values, without overflow.
struct U128 {
    std::uint64_t hi, lo;
};
U128 mul(std::uint64_t a, std::uint64_t b) {
    std::uint64_t a0 = a & 0xFFFFFFFFu, a1 = a >> 32, b0 = b & 0xFFFFFFFFu, b1 = b >> 32;
    std::uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    std::uint64_t mid = (p00 >> 32) + (p01 & 0xFFFFFFFFu) + (p10 & 0xFFFFFFFFu);
    return {p11 + (p01 >> 32) + (p10 >> 32) + (mid >> 32), (mid << 32) | (p00 & 0xFFFFFFFFu)};
}
bool lessEqual(U128 x, U128 y) {
    return x.hi < y.hi || (x.hi == y.hi && x.lo <= y.lo);
}

struct Capsule {
    // Doubled coordinates: pixel (i, j) has its centre at (2i + 1, 2j + 1).
    std::int64_t ax, ay, bx, by, dx, dy, len2, r;

    bool covers(int i, int j) const {
        std::int64_t px = 2 * static_cast<std::int64_t>(i) + 1, py = 2 * static_cast<std::int64_t>(j) + 1;
        std::int64_t vx = px - ax, vy = py - ay;
        std::int64_t t = vx * dx + vy * dy;
        if (t <= 0 || len2 == 0) return vx * vx + vy * vy <= r * r;
        if (t >= len2) {
            std::int64_t wx = px - bx, wy = py - by;
            return wx * wx + wy * wy <= r * r;
        }
        std::int64_t cross = vx * dy - vy * dx;
        std::uint64_t c = static_cast<std::uint64_t>(cross < 0 ? -cross : cross);
        // Small values (every on-screen line) compare in 64 bits; larger ones in 128.
        if (c < (std::uint64_t{1} << 31) && len2 < (std::int64_t{1} << 31) && r < (1 << 15))
            return c * c <= static_cast<std::uint64_t>(r * r) * static_cast<std::uint64_t>(len2);
        return lessEqual(mul(c, c), mul(static_cast<std::uint64_t>(r * r), static_cast<std::uint64_t>(len2)));
    }
};

// Centre x range (doubled units) of the capsule on the row at doubled height y; false if none.
// The constants that every row needs are worked out once.
class RowRanges {
  public:
    explicit RowRanges(const Capsule& k) : k_(k), r_(static_cast<double>(k.r)) {
        if (k.dy != 0) {
            invDy_ = 1.0 / static_cast<double>(k.dy);
            half_ = r_ * std::sqrt(static_cast<double>(k.len2)) / std::fabs(static_cast<double>(k.dy));
        }
        if (k.dx != 0) invDx_ = 1.0 / static_cast<double>(k.dx);
    }

    bool range(double y, double& lo, double& hi) const {
        lo = HUGE_VAL;
        hi = -HUGE_VAL;
        disc(static_cast<double>(k_.ax), static_cast<double>(k_.ay), y, lo, hi);
        disc(static_cast<double>(k_.bx), static_cast<double>(k_.by), y, lo, hi);
        const double ax = static_cast<double>(k_.ax), ay = static_cast<double>(k_.ay);
        if (k_.dy == 0) {
            if (std::fabs(y - ay) <= r_) {
                lo = std::min(lo, static_cast<double>(std::min(k_.ax, k_.bx)));
                hi = std::max(hi, static_cast<double>(std::max(k_.ax, k_.bx)));
            }
            return lo <= hi;
        }
        double xc = ax + (y - ay) * static_cast<double>(k_.dx) * invDy_;
        double bandLo = xc - half_, bandHi = xc + half_;
        // Only where the projection falls on the segment (between 0 and len2).
        double base = (y - ay) * static_cast<double>(k_.dy);
        if (k_.dx != 0) {
            double t0 = -base * invDx_ + ax;
            double t1 = (static_cast<double>(k_.len2) - base) * invDx_ + ax;
            bandLo = std::max(bandLo, std::min(t0, t1));
            bandHi = std::min(bandHi, std::max(t0, t1));
        } else if (base < 0 || base > static_cast<double>(k_.len2)) {
            bandLo = HUGE_VAL;
        }
        if (bandLo <= bandHi) {
            lo = std::min(lo, bandLo);
            hi = std::max(hi, bandHi);
        }
        return lo <= hi;
    }

  private:
    void disc(double cx, double cy, double y, double& lo, double& hi) const {
        double dy = y - cy;
        if (std::fabs(dy) > r_) return;
        double s = std::sqrt(r_ * r_ - dy * dy);
        lo = std::min(lo, cx - s);
        hi = std::max(hi, cx + s);
    }

    const Capsule& k_;
    double r_;
    double invDy_ = 0, invDx_ = 0, half_ = 0;
};

// floor and nearest without library calls (the values are well inside the range of long long).
inline long long floorOf(double x) {
    auto i = static_cast<long long>(x);
    return x < static_cast<double>(i) ? i - 1 : i;
}
inline long long nearestOf(double x) {
    return floorOf(x + 0.5);
}

// The floating-point estimate of a row's ends is trusted unless an end lies this close to a
// pixel centre; then the exact test decides. (Its error is far below this.)
constexpr double kNearEdge = 1e-6;

// ceil(n / d) and floor(n / d) for d > 0.
inline std::int64_t ceilDiv(std::int64_t n, std::int64_t d) {
    return n >= 0 ? (n + d - 1) / d : -((-n) / d);
}
inline std::int64_t floorDiv(std::int64_t n, std::int64_t d) {
    return n >= 0 ? n / d : -((-n + d - 1) / d);
}

// Adds [x0, x1) to a row's (at most three) spans, merging those that touch.
struct RowSpans {
    int count = 0;
    long long x0[3], x1[3];
    void add(long long a, long long b) {
        if (a >= b) return;
        for (int i = 0; i < count; ++i) {
            if (a <= x1[i] && b >= x0[i]) {
                a = std::min(a, x0[i]);
                b = std::max(b, x1[i]);
                x0[i] = x0[--count];
                x1[i] = x1[count];
                add(a, b);
                return;
            }
        }
        x0[count] = a;
        x1[count++] = b;
    }
};

// The first whole x at or right of an edge's crossing with each row from `from` on, stepped
// row by row in exact integer arithmetic: first = xa + ceil((xb - xa) * (j - ya) / (yb - ya)).
struct EdgeStep {
    std::int64_t top = 0, bottom = 0;  // the rows the edge owns: top <= j < bottom
    std::int64_t first = 0;            // at the next row the edge is asked about
    std::int64_t rest = 0;             // first * d - numerator, in [0, d)
    std::int64_t d = 1, stepQuotient = 0, stepRest = 0;

    EdgeStep() = default;
    EdgeStep(std::int64_t xa, std::int64_t ya, std::int64_t xb, std::int64_t yb, std::int64_t from) {
        if (ya > yb) {
            std::swap(xa, xb);
            std::swap(ya, yb);
        }
        top = ya;
        bottom = yb;
        d = yb - ya;
        const std::int64_t w = xb - xa, n = w * (std::max(from, ya) - ya);
        const std::int64_t q = ceilDiv(n, d);
        first = xa + q;
        rest = q * d - n;
        stepQuotient = ceilDiv(w, d);
        stepRest = stepQuotient * d - w;
    }
    void step() {
        first += stepQuotient;
        rest += stepRest;
        if (rest >= d) {
            rest -= d;
            --first;
        }
    }
};

}  // namespace

void rasterizeCosmeticLine(POINT a, POINT b, const RECT& bounds, const double* dashes, int dashCount,
                           const SpanEmitter& on, const SpanEmitter& off) {
    long long dx = std::llabs(static_cast<long long>(b.x) - a.x),
              dy = std::llabs(static_cast<long long>(b.y) - a.y);
    int sx = b.x >= a.x ? 1 : -1, sy = b.y >= a.y ? 1 : -1;
    long long steps = std::max(dx, dy);
    if (steps == 0) return;
    double total = 0;
    for (int i = 0; i < dashCount; ++i) total += dashes[i];
    // Doubled error term: 0 is an exact half-pixel tie, which goes to the smaller minor
    // coordinate whichever way the line runs.
    const bool xMajor = dx >= dy;
    const bool stepOnTie = xMajor ? sy < 0 : sx < 0;
    // Only the steps whose major coordinate lies within the bounds are walked; the state at
    // the first of them is worked out directly (after k steps the error is
    // steps - 2 minor k + 2 steps n, n being the minor steps taken, and lies in [0, 2 steps),
    // or in (0, 2 steps] where ties step).
    const long long major0 = xMajor ? a.x : a.y, majorStep = xMajor ? sx : sy;
    const long long lo = xMajor ? bounds.left : bounds.top, hi = xMajor ? bounds.right : bounds.bottom;
    long long first = majorStep > 0 ? lo - major0 : major0 - hi + 1;
    long long end = std::min(steps, majorStep > 0 ? hi - major0 : major0 - lo + 1);
    first = std::max(first, 0LL);
    if (first >= end) return;
    const long long minor = xMajor ? dy : dx;
    const long long v = 2 * minor * first - steps;
    const long long n = stepOnTie ? floorDiv(v, 2 * steps) + 1 : ceilDiv(v, 2 * steps);
    long long err = steps - 2 * minor * first + 2 * steps * n;
    long long x = a.x + (xMajor ? sx * first : sx * n), y = a.y + (xMajor ? sy * n : sy * first);
    RunMerger onRuns(on), offRuns(off);
    for (long long i = first; i < end; ++i) {
        bool lit = true;
        if (dashCount > 0 && total > 0) {
            double pos = std::fmod(static_cast<double>(i), total);
            int k = 0;
            while (pos >= dashes[k]) {
                pos -= dashes[k];
                k = (k + 1) % dashCount;
            }
            lit = k % 2 == 0;
        }
        (lit ? onRuns : offRuns).add(static_cast<int>(x), static_cast<int>(y));
        err -= 2 * (xMajor ? dy : dx);
        const bool step = err < 0 || (stepOnTie && err == 0);
        if (step) err += 2 * steps;
        if (xMajor) {
            x += sx;
            if (step) y += sy;
        } else {
            y += sy;
            if (step) x += sx;
        }
    }
}

void rasterizeCapsule(POINT a, POINT b, int width, const PaintTarget& target, const Paint& paint) {
    const RECT& clip = target.clip;
    auto emit = [&](int y, int x0, int x1) { fillSpan(target, paint, y, x0, x1); };
    Capsule k;
    std::int64_t shift = width % 2;  // odd widths: the pixel's centre
    k.ax = 2 * static_cast<std::int64_t>(a.x) + shift;
    k.ay = 2 * static_cast<std::int64_t>(a.y) + shift;
    k.bx = 2 * static_cast<std::int64_t>(b.x) + shift;
    k.by = 2 * static_cast<std::int64_t>(b.y) + shift;
    k.dx = k.bx - k.ax;
    k.dy = k.by - k.ay;
    k.len2 = k.dx * k.dx + k.dy * k.dy;
    k.r = width;  // the radius width / 2, doubled
    int top = static_cast<int>(std::max<std::int64_t>(clip.top, (std::min(k.ay, k.by) - k.r) / 2 - 1));
    int bottom =
        static_cast<int>(std::min<std::int64_t>(clip.bottom - 1, (std::max(k.ay, k.by) + k.r) / 2 + 1));
    const RowRanges ranges(k);
    // A vertical line's rows between its end points all cover the same columns.
    bool haveColumn = false;
    int columnX0 = 0, columnX1 = 0;
    const std::int64_t bandTop = std::min(k.ay, k.by), bandBottom = std::max(k.ay, k.by);
    for (int j = top; j <= bottom; ++j) {
        const std::int64_t py = 2 * static_cast<std::int64_t>(j) + 1;
        const bool inBand = k.dx == 0 && py >= bandTop && py <= bandBottom;
        if (inBand && haveColumn) {
            emit(j, columnX0, columnX1);
            continue;
        }
        double lo, hi;
        if (!ranges.range(static_cast<double>(py), lo, hi)) continue;
        // Pixel i has its centre at 2i + 1.
        double first = (lo - 1) / 2, last = (hi - 1) / 2;
        long long i0 = -floorOf(-first);
        long long i1 = floorOf(last);
        const long long n0 = nearestOf(first), n1 = nearestOf(last);
        if (std::fabs(first - static_cast<double>(n0)) < kNearEdge)
            i0 = k.covers(static_cast<int>(n0), j) ? n0 : n0 + 1;
        if (std::fabs(last - static_cast<double>(n1)) < kNearEdge)
            i1 = k.covers(static_cast<int>(n1), j) ? n1 : n1 - 1;
        long long s0 = std::max<long long>(i0, clip.left), s1 = std::min<long long>(i1 + 1, clip.right);
        if (inBand) {
            haveColumn = true;
            columnX0 = static_cast<int>(s0);
            columnX1 = static_cast<int>(s1);
            if (s0 >= s1) break;  // the whole column is clipped away
        }
        if (s0 < s1) emit(j, static_cast<int>(s0), static_cast<int>(s1));
    }
}

void rasterizeThinGeometricLine(POINT a, POINT b, const PaintTarget& target, const Paint& paint) {
    const SpanEmitter on = [&](int y, int x0, int x1) { fillSpan(target, paint, y, x0, x1); };
    const SpanEmitter off;
    rasterizeCosmeticLine(a, b, target.clip, nullptr, 0, on, off);
    if (a.x != b.x && a.y != b.y) fillSpan(target, paint, b.y, b.x, b.x + 1);
}

void rasterizeTwoPixelLine(POINT a, POINT b, const PaintTarget& target, const Paint& paint) {
    const std::int64_t x0 = a.x, y0 = a.y, x1 = b.x, y1 = b.y, dx = x1 - x0, dy = y1 - y0;
    // Every pixel lies within two of the end points' box; a connector beside the window costs nothing.
    if (std::max(x0, x1) + 2 <= target.clip.left || std::min(x0, x1) - 2 >= target.clip.right) return;
    // The body: a parallelogram whose sides are the segment moved by whole pixels across it,
    // one pixel to the right (or, for a flat line, up) and, when the line is steep (or flat),
    // one pixel to the left (or down); axis-aligned lines are just two pixels wide.
    std::int64_t px[4] = {0, 0, 0, 0}, py[4] = {0, 0, 0, 0};
    const bool body = dx != 0 && dy != 0;
    if (body) {
        const std::int64_t nx = 3 * dy * dy > dx * dx ? 1 : 0, ny = 3 * dx * dx > dy * dy ? 1 : 0;
        const std::int64_t s = (dx > 0) == (dy > 0) ? 1 : -1;
        px[0] = x0 - nx, py[0] = y0 + s * ny;
        px[1] = x0 + 1, py[1] = y0 - s;
        px[2] = x1 + 1, py[2] = y1 - s;
        px[3] = x1 - nx, py[3] = y1 + s * ny;
    }
    const std::int64_t top = std::max<std::int64_t>(target.clip.top, std::min(y0, y1) - 2);
    const std::int64_t bottom = std::min<std::int64_t>(target.clip.bottom - 1, std::max(y0, y1) + 2);
    auto paintSpan = [&](std::int64_t j, long long x0, long long x1) {
        const long long s0 = std::max<long long>(x0, target.clip.left);
        const long long s1 = std::min<long long>(x1, target.clip.right);
        if (s0 < s1) fillSpan(target, paint, static_cast<int>(j), static_cast<int>(s0), static_cast<int>(s1));
    };
    if (dx == 0) {
        // A vertical line: rows min - 1 .. max (the ends' blocks included), two pixels each.
        const std::int64_t from = std::max(top, std::min(y0, y1) - 1),
                           to = std::min(bottom, std::max(y0, y1));
        for (std::int64_t j = from; j <= to; ++j) paintSpan(j, x0 - 1, x0 + 1);
        return;
    }
    EdgeStep edges[4];
    int edgeCount = 0;
    for (int e = 0; body && e < 4; ++e) {
        if (py[e] != py[(e + 1) % 4])
            edges[edgeCount++] = EdgeStep(px[e], py[e], px[(e + 1) % 4], py[(e + 1) % 4], top);
    }
    // Rows near an end may hold an end's block and the short sides; every row between holds just
    // the span between the two long sides (edges 1 and 3), which the middle loop paints directly.
    auto endRow = [&](std::int64_t j) {
        RowSpans spans;
        // The round ends: a 2 x 2 block up and to the left of each end point.
        if (j == y0 - 1 || j == y0) spans.add(x0 - 1, x0 + 1);
        if (j == y1 - 1 || j == y1) spans.add(x1 - 1, x1 + 1);
        if (dy == 0 && (j == y0 - 1 || j == y0)) spans.add(std::min(x0, x1), std::max(x0, x1) + 1);
        // Pixel centres on whole coordinates; an edge owns the rows from its top up to (not
        // including) its bottom, and the pixels from the left crossing up to (not including)
        // the right one.
        std::int64_t lo = 0, hi = 0;
        int crossings = 0;
        for (int e = 0; e < edgeCount; ++e) {
            EdgeStep& edge = edges[e];
            if (j < edge.top || j >= edge.bottom) continue;
            const std::int64_t first = edge.first;
            edge.step();
            if (crossings == 0) {
                lo = hi = first;
            } else {
                lo = std::min(lo, first);
                hi = std::max(hi, first);
            }
            ++crossings;
        }
        if (crossings >= 2) spans.add(lo, hi);
        for (int i = 0; i < spans.count; ++i) paintSpan(j, spans.x0[i], spans.x1[i]);
    };
    std::int64_t middleTop = bottom + 1, middleEnd = bottom + 1;
    if (edgeCount == 4) {
        middleTop = std::clamp(std::min(y0, y1) + 2, top, bottom + 1);
        middleEnd = std::clamp(std::max(y0, y1) - 2, middleTop, bottom + 1);
    }
    std::int64_t j = top;
    for (; j < middleTop; ++j) endRow(j);
    EdgeStep& sideA = edges[1];
    EdgeStep& sideB = edges[3];
    for (; j < middleEnd; ++j) {
        const std::int64_t firstA = sideA.first, firstB = sideB.first;
        sideA.step();
        sideB.step();
        paintSpan(j, std::min(firstA, firstB), std::max(firstA, firstB));
    }
    for (; j <= bottom; ++j) endRow(j);
}

}  // namespace platform::gdi32
