// The rotation blits and the quad texture mapper behind them. The mapper walks the quad's four
// edges into the source surface's two span tables (left and right span ends with the source
// positions they map to, 16.16 fixed point), then fills each destination line between its ends,
// stepping through the source and copying the nearest source pixel.
#include <algorithm>
#include <array>
#include <cmath>

#include "media/blit/blit_math.h"
#include "media/blit/clipping.h"
#include "media/blit/edge_table.h"
#include "media/blit/locked_pair.h"
#include "media/display/pixel_surface.h"
#include "platform/pixels/pixel_access.h"
#include "platform/pixels/pixel_traits.h"

namespace media {

namespace {

using platform::LoadPixel;
using platform::PixelSize;
using platform::PixelView;
using platform::Rect;
using platform::StorePixel;

// Fixed-point positions and the quad's corners stay within this range, so 16.16 values fit in
// 32 bits; anything larger draws nothing.
constexpr std::int64_t kLargestCoordinate = 32767;
constexpr std::int64_t kOne = 65536;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }
std::int64_t CeilDiv(std::int64_t a, std::int64_t b) { return -FloorDiv(-a, b); }

// Narrows [lo, hi] to the steps k for which p + k * dp stays within [minimum, maximum].
void KeepInside(std::int64_t p, std::int64_t dp, std::int64_t minimum, std::int64_t maximum, std::int64_t& lo, std::int64_t& hi) {
    if (dp == 0) {
        if (p < minimum || p > maximum) hi = lo - 1;
    } else if (dp > 0) {
        lo = std::max(lo, CeilDiv(minimum - p, dp));
        hi = std::min(hi, FloorDiv(maximum - p, dp));
    } else {
        lo = std::max(lo, CeilDiv(p - maximum, -dp));
        hi = std::min(hi, FloorDiv(p - minimum, -dp));
    }
}

// The 24- and 32-bit key is compared with the pixel's first, second and third byte taken as its
// high, middle and low byte.
template <int B>
std::uint32_t KeyOf(const std::uint8_t* p) {
    if constexpr (B >= 3) {
        return (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
    } else {
        return LoadPixel<B>(p);
    }
}

// Copies one pixel; of a 32-bit pixel only the three colour bytes.
template <int B>
void CopyPixel(std::uint8_t* d, const std::uint8_t* s) {
    using P = PixelSize<B>;
    StorePixel<B>(d, P::KeepFourthByte(LoadPixel<B>(s) & P::kKeyCompareMask, LoadPixel<B>(d)));
}

struct Span {
    std::uint8_t* dest;  // the first pixel to write
    std::int64_t u, v, du, dv;  // position before the first step, and the step per pixel
    std::int64_t count;  // pixels to write
};

// Writes pixels first .. last (1-based steps) of a span. Clamped spans keep every sampled
// position on the source surface; the others are known to stay on it.
template <int B, bool Keyed, bool Clamped>
void SpanRun(const Span& span, std::int64_t first, std::int64_t last, const PixelView& src, std::uint32_t key) {
    std::uint8_t* d = span.dest + (first - 1) * B;
    std::int64_t u = span.u + first * span.du, v = span.v + first * span.dv;
    const std::int64_t maxColumn = src.width - 1, maxRow = src.height - 1;
    for (std::int64_t k = first; k <= last; ++k, d += B, u += span.du, v += span.dv) {
        std::int64_t column = u >> 16, row = v >> 16;
        if constexpr (Clamped) {
            column = std::clamp<std::int64_t>(column, 0, maxColumn);
            row = std::clamp<std::int64_t>(row, 0, maxRow);
        }
        const std::uint8_t* s = src.base + row * src.pitch + column * B;
        if constexpr (Keyed) {
            if (KeyOf<B>(s) == key) continue;
        }
        CopyPixel<B>(d, s);
    }
}

// Cuts the span once into the steps whose samples fall on the source surface and the few at
// either end that do not (those are clamped to its edge), so the main run needs no test.
template <int B, bool Keyed>
void DrawSpan(const Span& span, const PixelView& src, std::uint32_t key) {
    std::int64_t lo = 1, hi = span.count;
    KeepInside(span.u, span.du, 0, std::int64_t{src.width} * kOne - 1, lo, hi);
    KeepInside(span.v, span.dv, 0, std::int64_t{src.height} * kOne - 1, lo, hi);
    if (lo > hi) {
        SpanRun<B, Keyed, true>(span, 1, span.count, src, key);
        return;
    }
    SpanRun<B, Keyed, true>(span, 1, lo - 1, src, key);
    SpanRun<B, Keyed, false>(span, lo, hi, src, key);
    SpanRun<B, Keyed, true>(span, hi + 1, span.count, src, key);
}

struct QuadFill {
    const EdgeTable& left;
    const EdgeTable& right;
    std::int32_t top, last;
    Rect clip;
    Rect source;
    std::uint32_t key;
};

template <int B, bool Keyed>
void FillLines(const QuadFill& q, const PixelView& dst, const PixelView& src) {
    for (std::int32_t y = q.top; y <= q.last; ++y) {
        const EdgeEntry& l = q.left[static_cast<std::size_t>(y)];
        const EdgeEntry& r = q.right[static_cast<std::size_t>(y)];
        std::int64_t a = l.x >> 16, b = r.x >> 16;
        // A span wholly left or right of the clip rectangle has no pixel left after the cuts.
        if (b <= q.clip.left || a >= q.clip.right) continue;
        const std::int64_t width = std::max<std::int64_t>(b - a, 1);
        Span span{nullptr, l.u, l.v, (std::int64_t{r.u} - l.u) / width, (std::int64_t{r.v} - l.v) / width, 0};
        if (a < q.clip.left) {
            span.u += (q.clip.left - a) * span.du;
            span.v += (q.clip.left - a) * span.dv;
            a = q.clip.left;
        }
        b = std::min<std::int64_t>(b, q.clip.right);
        span.u += std::int64_t{q.source.left} * kOne;
        span.v += std::int64_t{q.source.top} * kOne;
        if (a + 1 >= b) continue;
        span.dest = dst.Row(y) + a * B;
        span.count = b - a - 1;
        DrawSpan<B, Keyed>(span, src, q.key);
    }
}

// The walk of one quad edge into a table: count + 1 lines from yStart, x from xStart toward xEnd,
// and the source position running along the source rectangle's edge. Only lines inside the clip
// rectangle (and the table) are stored; every value is the start plus i steps, as a running sum
// would give it.
void ScanEdge(EdgeTable& table, bool leftTable, std::int32_t xStart, std::int32_t xEnd, std::int32_t yStart, std::int32_t dy,
              std::int32_t edge, std::int32_t sw, std::int32_t sh, const Rect& clip) {
    const std::int64_t count = std::max<std::int64_t>(std::int64_t{dy} + 1, 1);
    const std::int64_t xStep = (std::int64_t{xEnd} - xStart) * kOne / count;
    const std::int64_t U = std::int64_t{sw} * kOne, V = std::int64_t{sh} * kOne;
    // Start (u, v) and steps of each edge: the right table walks it from its first corner, the
    // left table from its last.
    struct Walk {
        std::int64_t u, v, du, dv;
    };
    static constexpr int kEdges = 4;
    if (edge < 1 || edge > kEdges) return;
    const std::array<Walk, kEdges> rightWalks{{{0, 0, U / count, 0}, {U, 0, 0, V / count}, {U, V, -U / count, 0}, {0, V, 0, -V / count}}};
    const std::array<Walk, kEdges> leftWalks{{{U, 0, -U / count, 0}, {U, V, 0, -V / count}, {0, V, U / count, 0}, {0, 0, 0, V / count}}};
    const Walk w = (leftTable ? leftWalks : rightWalks)[static_cast<std::size_t>(edge - 1)];

    const std::int64_t firstLine = std::max<std::int64_t>(clip.top, 0);
    const std::int64_t endLine = std::min<std::int64_t>(clip.bottom, static_cast<std::int64_t>(table.size()));
    const std::int64_t iFirst = std::max<std::int64_t>(0, firstLine - yStart);
    const std::int64_t iLast = std::min<std::int64_t>(count, endLine - 1 - yStart);
    for (std::int64_t i = iFirst; i <= iLast; ++i) {
        table[static_cast<std::size_t>(yStart + i)] = {static_cast<std::int32_t>(std::int64_t{xStart} * kOne + i * xStep),
                                                       static_cast<std::int32_t>(w.u + i * w.du),
                                                       static_cast<std::int32_t>(w.v + i * w.dv)};
    }
}

bool WithinCoordinates(std::int64_t value) { return value >= -kLargestCoordinate && value <= kLargestCoordinate; }

std::int32_t RotatedBlit(PixelSurface& source, PixelSurface* dest, std::int32_t cx, std::int32_t cy, Rect* srcRect, double angle,
                         double scale, bool keyed) {
    Rect whole{0, 0, source.Width(), source.Height()};
    Rect& r = srcRect ? *srcRect : whole;
    if (!ClipRect(source, r) || !dest) return 1;
    std::int32_t hw, hh;
    if (!std::isfinite(angle) || !TruncateTo32(r.Width() * scale * 0.5, hw) || !TruncateTo32(r.Height() * scale * 0.5, hh)) return 1;
    const double s = std::sin(-angle), c = std::cos(-angle);
    const std::int32_t offsets[4][2] = {{-hw, -hh}, {hw, -hh}, {hw, hh}, {-hw, hh}};
    std::int32_t corners[4][2];
    for (int k = 0; k < 4; ++k) {
        const double ox = offsets[k][0], oy = offsets[k][1];
        std::int32_t dx, dy;
        if (!TruncateTo32(c * ox - s * oy, dx) || !TruncateTo32(s * ox + c * oy, dy)) return 1;
        const std::int64_t x = std::int64_t{cx} + dx, y = std::int64_t{cy} + dy;
        if (!Fits32(x) || !Fits32(y)) return 1;
        corners[k][0] = static_cast<std::int32_t>(x);
        corners[k][1] = static_cast<std::int32_t>(y);
    }
    source.DrawQuad(dest, corners[0][0], corners[0][1], corners[1][0], corners[1][1], corners[2][0], corners[2][1], corners[3][0],
                    corners[3][1], &r, keyed ? 1 : 0);
    return 1;
}

}  // namespace

struct PixelSurface::QuadSpans {
    EdgeTable left, right;
};

void PixelSurface::QuadSpansDeleter::operator()(QuadSpans* spans) const { delete spans; }

PixelSurface::QuadSpans& PixelSurface::Spans() {
    if (!spans_) spans_.reset(new QuadSpans);
    return *spans_;
}

const EdgeTable& PixelSurface::LeftEdges() const {
    static const EdgeTable none;
    return spans_ ? spans_->left : none;
}

const EdgeTable& PixelSurface::RightEdges() const {
    static const EdgeTable none;
    return spans_ ? spans_->right : none;
}

void PixelSurface::ScanLeftEdge(std::int32_t xStart, std::int32_t xEnd, std::int32_t yStart, std::int32_t dy, std::int32_t edge,
                                std::int32_t sw, std::int32_t sh, const Rect& clip) {
    ScanEdge(Spans().left, true, xStart, xEnd, yStart, dy, edge, sw, sh, clip);
}

void PixelSurface::ScanRightEdge(std::int32_t xStart, std::int32_t xEnd, std::int32_t yStart, std::int32_t dy, std::int32_t edge,
                                 std::int32_t sw, std::int32_t sh, const Rect& clip) {
    ScanEdge(Spans().right, false, xStart, xEnd, yStart, dy, edge, sw, sh, clip);
}

void PixelSurface::DrawQuad(PixelSurface* dest, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2, std::int32_t x3,
                            std::int32_t y3, std::int32_t x4, std::int32_t y4, const Rect* srcRect, std::int32_t keyed) {
    if (!dest) return;
    const Rect clip = dest->ClipRect();
    // Fresh, cleared tables on every call: lines that no edge reaches hold empty spans, never
    // values of an earlier quad. Their storage is kept from call to call.
    const std::size_t lines = clip.bottom > 0 ? static_cast<std::size_t>(clip.bottom) : 0;
    QuadSpans& spans = Spans();
    spans.left.assign(lines, EdgeEntry{});
    spans.right.assign(lines, EdgeEntry{});

    const Rect s = srcRect ? *srcRect : Rect{0, 0, width_, height_};
    const std::int64_t sw = std::int64_t{s.right} - s.left, sh = std::int64_t{s.bottom} - s.top;
    if (sw <= 0 || sh <= 0 || sw > kLargestCoordinate || sh > kLargestCoordinate) return;
    const std::int32_t xs[4] = {x1, x2, x3, x4}, ys[4] = {y1, y2, y3, y4};
    for (int k = 0; k < 4; ++k)
        if (!WithinCoordinates(xs[k]) || !WithinCoordinates(ys[k])) return;

    std::int32_t top = std::min({y1, y2, y3, y4}), bottom = std::max({y1, y2, y3, y4});
    if (top >= bottom || bottom < clip.top || top >= clip.bottom) return;
    top = std::max(top, clip.top);
    bottom = std::min(bottom, clip.bottom);
    if (bottom - top < 1) return;
    // The tables end at line clip.bottom - 1, and so does the fill.
    const std::int32_t last = std::min(bottom, clip.bottom - 1);

    for (int k = 0; k < 4; ++k) {
        const int n = (k + 1) % 4;
        if (ys[n] < ys[k]) {
            ScanLeftEdge(xs[n], xs[k], ys[n], ys[k] - ys[n], k + 1, static_cast<std::int32_t>(sw), static_cast<std::int32_t>(sh), clip);
        } else {
            ScanRightEdge(xs[k], xs[n], ys[k], ys[n] - ys[k], k + 1, static_cast<std::int32_t>(sw), static_cast<std::int32_t>(sh), clip);
        }
    }

    const LockedPair locks(*this, *dest);
    if (!locks) return;
    // One pixel size for both surfaces: a copy is format-blind, so 5-5-5 goes with 5-6-5, but
    // surfaces of different depth codes are not mixed.
    const std::int32_t depth = pixelFormat_.depth;
    if (dest->GetPixelFormatInfo().depth != depth) return;
    const PixelView src = View(), dst = dest->View();
    if (src.Empty() || dst.Empty() || clip.right > dst.width || clip.bottom > dst.height) return;
    const QuadFill fill{spans.left, spans.right, top, last, clip, s, colorKey_};
    platform::DispatchDepth(depth, [&]<typename T>() {
        if (keyed) {
            FillLines<T::kBytes, true>(fill, dst, src);
        } else {
            FillLines<T::kBytes, false>(fill, dst, src);
        }
    });
}

std::int32_t PixelSurface::BlitOpaqueRotated(PixelSurface* dest, std::int32_t cx, std::int32_t cy, Rect* srcRect, double angle, double scale) {
    return RotatedBlit(*this, dest, cx, cy, srcRect, angle, scale, false);
}

std::int32_t PixelSurface::BlitKeyedRotated(PixelSurface* dest, std::int32_t cx, std::int32_t cy, Rect* srcRect, double angle, double scale) {
    return RotatedBlit(*this, dest, cx, cy, srcRect, angle, scale, true);
}

}  // namespace media
