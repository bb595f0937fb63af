#include "media/app/shape_rasteriser.h"

#include <algorithm>
#include <cmath>

namespace media {

namespace {

constexpr double kFixedOne = 256;                   // polygon vertices in 1/256 pixel
constexpr double kFarthest = 1 << 30;               // vertices beyond this many pixels are refused
constexpr std::int64_t kNarrowLimit = std::int64_t{1} << 28;  // 2^20 pixels in fixed point: 64 bits suffice

using Int128 = __int128;

// a / b rounded up, for b > 0 and a of either sign (division truncates towards zero).
template <typename T>
T CeilDiv(T a, T b) {
    const T q = a / b;
    return (a % b != 0 && a > 0) ? q + 1 : q;
}

// The largest w in [0, rx] with w^2 ry^2 + dy^2 rx^2 <= rx^2 ry^2 (|dy| <= ry), exactly: a
// floating-point estimate corrected by exact 128-bit comparisons.
std::int64_t HalfWidth(std::int64_t dy, std::int64_t rx, std::int64_t ry) {
    if (ry == 0) return rx;
    const Int128 rx2 = Int128{rx} * rx, ry2 = Int128{ry} * ry, limit = rx2 * ry2 - Int128{dy} * dy * rx2;
    auto fits = [&](std::int64_t w) { return Int128{w} * w * ry2 <= limit; };
    const double t = static_cast<double>(dy) / static_cast<double>(ry);
    auto w = static_cast<std::int64_t>(static_cast<double>(rx) * std::sqrt(std::max(0.0, 1.0 - t * t)));
    w = std::clamp<std::int64_t>(w, 0, rx);
    while (w < rx && fits(w + 1)) ++w;
    while (w > 0 && !fits(w)) --w;
    return w;
}

// The per-thread buffer the spans go into.
std::vector<PixelSpan>& SpanBuffer() {
    thread_local std::vector<PixelSpan> spans;
    return spans;
}

}  // namespace

// One polygon edge in fixed point, top end first (y0 < y1); dir +1 going down, -1 going up.
struct ShapeRasteriser::Edge {
    std::int64_t x0, y0, x1, y1;
    int dir;
};

ShapeRasteriser::ShapeRasteriser(const platform::Rect& clip) : clip_(clip), spans_(SpanBuffer()) { spans_.clear(); }

void ShapeRasteriser::Add(std::int64_t y, std::int64_t begin, std::int64_t end) {
    begin = std::max<std::int64_t>(begin, clip_.left);
    end = std::min<std::int64_t>(end, std::int64_t{clip_.right} - 1);
    if (begin > end) return;
    spans_.push_back({static_cast<std::int32_t>(y), static_cast<std::int32_t>(begin), static_cast<std::int32_t>(end + 1)});
}

void ShapeRasteriser::Ellipse(std::int64_t cx, std::int64_t cy, std::int64_t rx, std::int64_t ry, std::int64_t innerRx, std::int64_t innerRy) {
    if (rx < 0 || ry < 0) return;
    const bool hole = innerRx >= 0 && innerRy >= 0;
    const std::int64_t top = std::max<std::int64_t>(cy - ry, clip_.top), bottom = std::min<std::int64_t>(cy + ry, std::int64_t{clip_.bottom} - 1);
    for (std::int64_t y = top; y <= bottom; ++y) {
        const std::int64_t dy = y - cy, w = HalfWidth(dy, rx, ry);
        if (hole && (dy < 0 ? -dy : dy) <= innerRy) {
            const std::int64_t inner = HalfWidth(dy, innerRx, innerRy);
            Add(y, cx - w, cx - inner - 1);
            Add(y, cx + inner + 1, cx + w);
        } else {
            Add(y, cx - w, cx + w);
        }
    }
}

void ShapeRasteriser::RoundedRect(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height, std::int64_t radius, bool outline) {
    if (width <= 0 || height <= 0) return;
    const std::int64_t r = std::clamp<std::int64_t>(radius, 0, (std::min(width, height) - 1) / 2);
    // The row's covered run of the rounded rectangle at (left, top) of w x h with corner radius
    // rr: false for rows outside it.
    auto run = [](std::int64_t row, std::int64_t left, std::int64_t top, std::int64_t w, std::int64_t h, std::int64_t rr, std::int64_t& a,
                  std::int64_t& b) {
        if (w <= 0 || h <= 0 || row < top || row >= top + h) return false;
        std::int64_t inset = 0;
        if (row < top + rr) inset = rr - HalfWidth(top + rr - row, rr, rr);
        if (row > top + h - 1 - rr) inset = rr - HalfWidth(row - (top + h - 1 - rr), rr, rr);
        a = left + inset;
        b = left + w - 1 - inset;
        return true;
    };
    const std::int64_t first = std::max<std::int64_t>(y, clip_.top), last = std::min<std::int64_t>(y + height - 1, std::int64_t{clip_.bottom} - 1);
    for (std::int64_t row = first; row <= last; ++row) {
        std::int64_t a = 0, b = 0, ia = 0, ib = 0;
        run(row, x, y, width, height, r, a, b);
        if (outline && run(row, x + 1, y + 1, width - 2, height - 2, std::max<std::int64_t>(r - 1, 0), ia, ib)) {
            Add(row, a, ia - 1);
            Add(row, ib + 1, b);
        } else {
            Add(row, a, b);
        }
    }
}

bool ShapeRasteriser::Polygon(const Point* points, std::size_t count) {
    if (!points || count < 3) return true;
    std::vector<std::int64_t> xs(count), ys(count);
    for (std::size_t i = 0; i < count; ++i) {
        if (!std::isfinite(points[i].x) || !std::isfinite(points[i].y) || std::fabs(points[i].x) > kFarthest || std::fabs(points[i].y) > kFarthest) {
            return false;
        }
        xs[i] = std::llround(double{points[i].x} * kFixedOne);
        ys[i] = std::llround(double{points[i].y} * kFixedOne);
    }
    return FillOutlines(xs, ys, {count});
}

bool ShapeRasteriser::Lines(const Point* points, std::size_t count, float thickness, bool closed) {
    if (!points || count < 2 || !(thickness > 0)) return true;
    if (!std::isfinite(thickness) || thickness > kFarthest) return false;
    std::vector<std::int64_t> xs, ys;
    std::vector<std::size_t> ends;
    const std::size_t segments = closed ? count : count - 1;
    const double half = double{thickness} / 2;
    for (std::size_t i = 0; i < segments; ++i) {
        const Point p = points[i], q = points[(i + 1) % count];
        if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(q.x) || !std::isfinite(q.y) || std::fabs(p.x) > kFarthest ||
            std::fabs(p.y) > kFarthest || std::fabs(q.x) > kFarthest || std::fabs(q.y) > kFarthest) {
            return false;
        }
        // Along the segment (e) and across it (n), each half the thickness long; a segment of no
        // length is a square.
        double ex = double{q.x} - p.x, ey = double{q.y} - p.y;
        const double length = std::hypot(ex, ey);
        if (length > 0) {
            ex = ex / length * half, ey = ey / length * half;
        } else {
            ex = half, ey = 0;
        }
        const double nx = -ey, ny = ex;
        // The four corners, always in the same turning order, so overlaps add up, never cancel.
        const double cornersX[] = {p.x - ex + nx, q.x + ex + nx, q.x + ex - nx, p.x - ex - nx};
        const double cornersY[] = {p.y - ey + ny, q.y + ey + ny, q.y + ey - ny, p.y - ey - ny};
        for (int k = 0; k < 4; ++k) {
            xs.push_back(std::llround(cornersX[k] * kFixedOne));
            ys.push_back(std::llround(cornersY[k] * kFixedOne));
        }
        ends.push_back(xs.size());
    }
    return FillOutlines(xs, ys, ends);
}

bool ShapeRasteriser::FillOutlines(const std::vector<std::int64_t>& xs, const std::vector<std::int64_t>& ys, const std::vector<std::size_t>& ends) {
    thread_local std::vector<Edge> edges;
    edges.clear();
    bool narrow = true;
    std::size_t start = 0;
    for (const std::size_t end : ends) {
        for (std::size_t i = start; i < end; ++i) {
            const std::size_t j = i + 1 < end ? i + 1 : start;
            narrow = narrow && std::llabs(xs[i]) <= kNarrowLimit && std::llabs(ys[i]) <= kNarrowLimit;
            if (ys[i] == ys[j]) continue;  // a horizontal edge crosses no row centre
            if (ys[i] < ys[j]) {
                edges.push_back({xs[i], ys[i], xs[j], ys[j], 1});
            } else {
                edges.push_back({xs[j], ys[j], xs[i], ys[i], -1});
            }
        }
        start = end;
    }
    if (narrow) {
        Scan<std::int64_t>(edges);
    } else {
        Scan<Int128>(edges);
    }
    return true;
}

// Row by row, the edges that cross the row's centre line: each crossing's first pixel whose
// centre lies at or right of it, then runs of non-zero winding between them.
template <typename Wide>
void ShapeRasteriser::Scan(std::vector<Edge>& edges) {
    if (edges.empty()) return;
    std::sort(edges.begin(), edges.end(), [](const Edge& a, const Edge& b) { return a.y0 < b.y0; });
    std::int64_t lowest = edges.front().y0, highest = edges.front().y1;
    for (const Edge& e : edges) highest = std::max(highest, e.y1);
    // Rows whose centre (256 y) lies in [lowest, highest).
    const std::int64_t first = std::max<std::int64_t>(CeilDiv<std::int64_t>(lowest, 256), clip_.top);
    const std::int64_t last = std::min<std::int64_t>(CeilDiv<std::int64_t>(highest, 256) - 1, std::int64_t{clip_.bottom} - 1);
    thread_local std::vector<const Edge*> active;
    thread_local std::vector<std::pair<std::int64_t, int>> crossings;
    active.clear();
    std::size_t next = 0;
    for (std::int64_t row = first; row <= last; ++row) {
        const std::int64_t yc = row * 256;
        while (next < edges.size() && edges[next].y0 <= yc) active.push_back(&edges[next++]);
        std::erase_if(active, [yc](const Edge* e) { return e->y1 <= yc; });
        crossings.clear();
        for (const Edge* e : active) {
            if (e->y0 > yc) continue;
            const Wide d = e->y1 - e->y0;
            const Wide numerator = Wide{e->x0} * d + Wide{yc - e->y0} * (e->x1 - e->x0);
            const Wide k = CeilDiv<Wide>(numerator, d * 256);
            // Crossings beyond the clip rectangle act at its edge: the winding is what counts.
            const auto clamped = static_cast<std::int64_t>(std::clamp<Wide>(k, Wide{clip_.left} - 1, Wide{clip_.right}));
            crossings.emplace_back(clamped, e->dir);
        }
        std::sort(crossings.begin(), crossings.end());
        int winding = 0;
        for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += crossings[i].second;
            if (winding != 0) Add(row, crossings[i].first, crossings[i + 1].first - 1);
        }
    }
}

}  // namespace media
