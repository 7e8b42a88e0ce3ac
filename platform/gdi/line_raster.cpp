#include "platform/gdi/line_raster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace platform::gdi {
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
        return lessEqual(mul(c, c), mul(static_cast<std::uint64_t>(r * r), static_cast<std::uint64_t>(len2)));
    }
};

// Centre x range (doubled units) of the capsule on the row at doubled height y; false if none.
bool rowRange(const Capsule& k, double y, double& lo, double& hi) {
    lo = HUGE_VAL;
    hi = -HUGE_VAL;
    double r = static_cast<double>(k.r);
    auto disc = [&](double cx, double cy) {
        double dy = y - cy;
        if (std::fabs(dy) > r) return;
        double s = std::sqrt(r * r - dy * dy);
        lo = std::min(lo, cx - s);
        hi = std::max(hi, cx + s);
    };
    disc(static_cast<double>(k.ax), static_cast<double>(k.ay));
    disc(static_cast<double>(k.bx), static_cast<double>(k.by));
    double dx = static_cast<double>(k.dx), dy = static_cast<double>(k.dy);
    if (k.dy == 0) {
        if (std::fabs(y - static_cast<double>(k.ay)) <= r) {
            lo = std::min(lo, static_cast<double>(std::min(k.ax, k.bx)));
            hi = std::max(hi, static_cast<double>(std::max(k.ax, k.bx)));
        }
    } else {
        double len = std::sqrt(static_cast<double>(k.len2));
        double xc = static_cast<double>(k.ax) + (y - static_cast<double>(k.ay)) * dx / dy;
        double half = r * len / std::fabs(dy);
        double bandLo = xc - half, bandHi = xc + half;
        // Projection onto the segment between 0 and len2.
        double base = (y - static_cast<double>(k.ay)) * dy;
        if (k.dx != 0) {
            double t0 = (0 - base) / dx + static_cast<double>(k.ax);
            double t1 = (static_cast<double>(k.len2) - base) / dx + static_cast<double>(k.ax);
            bandLo = std::max(bandLo, std::min(t0, t1));
            bandHi = std::min(bandHi, std::max(t0, t1));
        } else if (base < 0 || base > static_cast<double>(k.len2)) {
            bandLo = HUGE_VAL;
        }
        if (bandLo <= bandHi) {
            lo = std::min(lo, bandLo);
            hi = std::max(hi, bandHi);
        }
    }
    return lo <= hi;
}

}  // namespace

void rasterizeCosmeticLine(POINT a, POINT b, const double* dashes, int dashCount, const SpanEmitter& on,
                           const SpanEmitter& off) {
    long long dx = std::llabs(static_cast<long long>(b.x) - a.x),
              dy = std::llabs(static_cast<long long>(b.y) - a.y);
    int sx = b.x >= a.x ? 1 : -1, sy = b.y >= a.y ? 1 : -1;
    long long steps = std::max(dx, dy);
    if (steps == 0) return;
    RunMerger onRuns(on), offRuns(off);
    double total = 0;
    for (int i = 0; i < dashCount; ++i) total += dashes[i];
    long long x = a.x, y = a.y;
    long long err = (dx >= dy ? dx : dy) / 2;
    for (long long i = 0; i < steps; ++i) {
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
        if (dx >= dy) {
            x += sx;
            err -= dy;
            if (err < 0) {
                y += sy;
                err += dx;
            }
        } else {
            y += sy;
            err -= dx;
            if (err < 0) {
                x += sx;
                err += dy;
            }
        }
    }
}

void rasterizeCapsule(POINT a, POINT b, int width, const RECT& clip, const SpanEmitter& emit) {
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
    for (int j = top; j <= bottom; ++j) {
        double lo, hi;
        if (!rowRange(k, 2.0 * j + 1, lo, hi)) continue;
        // Pixel i has its centre at 2i + 1: estimate, then settle the ends exactly.
        long long i0 = static_cast<long long>(std::ceil((lo - 1) / 2));
        long long i1 = static_cast<long long>(std::floor((hi - 1) / 2));
        i0 = std::max<long long>(i0, clip.left - 1);
        i1 = std::min<long long>(i1, clip.right);
        int x0 = static_cast<int>(i0), x1 = static_cast<int>(i1);
        while (x0 <= x1 && !k.covers(x0, j)) ++x0;
        if (x0 > x1) {
            // The estimate may have missed a pixel exactly on the edge.
            x0 = static_cast<int>(i0);
            if (k.covers(x0 - 1, j))
                x1 = --x0;
            else if (k.covers(static_cast<int>(i1) + 1, j))
                x0 = x1 = static_cast<int>(i1) + 1;
            else
                continue;
        }
        while (x0 > clip.left && k.covers(x0 - 1, j)) --x0;
        while (x1 >= x0 && !k.covers(x1, j)) --x1;
        while (x1 + 1 < clip.right && k.covers(x1 + 1, j)) ++x1;
        int s0 = std::max(x0, static_cast<int>(clip.left)),
            s1 = std::min(x1 + 1, static_cast<int>(clip.right));
        if (s0 < s1) emit(j, s0, s1);
    }
}

}  // namespace platform::gdi
