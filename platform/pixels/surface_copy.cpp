#include "platform/pixels/surface_copy.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <functional>

#include "platform/pixels/pixel_access.h"
#include "platform/pixels/pixel_traits.h"
#include "platform/pixels/short_copy.h"

namespace platform {

namespace {

template <int B>
void FillLoop(const PixelView& dst, const Rect& rect, std::uint32_t value) {
    const std::int32_t width = rect.Width();
    for (std::int32_t y = rect.top; y < rect.bottom; ++y) FillPixels<B>(dst.Row(y) + rect.left * B, width, value);
}

// Steps j -> floor((2j + 1) * sw / (2 * dw)) without a division per pixel; the carry is added
// as a value, not taken as a branch.
class SampleStepper {
public:
    SampleStepper(std::int32_t j, std::int32_t sw, std::int32_t dw) : den_(2 * std::int64_t{dw}) {
        const std::int64_t num = (2 * std::int64_t{j} + 1) * sw;
        q_ = num / den_;
        r_ = num % den_;
        stepQ_ = 2 * std::int64_t{sw} / den_;
        stepR_ = 2 * std::int64_t{sw} % den_;
    }
    std::int32_t Value() const { return static_cast<std::int32_t>(q_); }
    void Next() {
        r_ += stepR_;
        const std::int64_t carry = r_ >= den_;
        q_ += stepQ_ + carry;
        r_ -= carry * den_;
    }

private:
    std::int64_t den_, q_ = 0, r_ = 0, stepQ_ = 0, stepR_ = 0;
};

// The source row that destination row y of the request reads.
const std::uint8_t* SourceRow(const PixelView& src, const CopyRequest& rq, std::int32_t y) {
    return src.Row(SampleIndex(y - rq.dst.top, rq.src.top, rq.src.Height(), rq.dst.Height(), rq.mirrorY));
}

// A colour-keyed row: a select per pixel rather than a branch, so the compiler can widen it to
// vector registers (the destination is read either way). The key is compared with the pixel's
// colour bits (kKeyCompareMask). Pixels of one, two and four bytes stay values of their own
// width through the loop, so a vector register holds as many of them as it can.
template <int B>
void KeyedRow(std::uint8_t* d, const std::uint8_t* s, std::int32_t count, std::uint32_t key) {
    if constexpr (B == 3) {
        for (std::int32_t x = 0; x < count; ++x) {
            const std::uint32_t p = LoadPixel<B>(s + x * B), old = LoadPixel<B>(d + x * B);
            StorePixel<B>(d + x * B, PixelSize<B>::IsKey(p, key) ? old : p);
        }
    } else {
        using Value = typename PixelSize<B>::Value;
        const auto k = static_cast<Value>(key);
        constexpr auto compared = static_cast<Value>(PixelSize<B>::kKeyCompareMask);
        for (std::int32_t x = 0; x < count; ++x) {
            Value p, old;
            std::memcpy(&p, s + x * B, B);
            std::memcpy(&old, d + x * B, B);
            const Value out = static_cast<Value>(p & compared) == k ? old : p;
            std::memcpy(d + x * B, &out, B);
        }
    }
}

// A row turned left to right: destination pixel x is source pixel count - 1 - x. The loads run
// backwards through the row, which the compiler turns into whole vectors reversed by a permute;
// pixels stay values of their own width, as in KeyedRow.
template <int B, bool Keyed>
void ReversedRow(std::uint8_t* d, const std::uint8_t* s, std::int32_t count, std::uint32_t key) {
    if constexpr (B == 3) {
        for (std::int32_t x = 0; x < count; ++x) {
            const std::uint32_t p = LoadPixel<B>(s + (count - 1 - x) * B);
            if constexpr (Keyed) {
                if (PixelSize<B>::IsKey(p, key)) continue;
            }
            StorePixel<B>(d + x * B, p);
        }
    } else {
        using Value = typename PixelSize<B>::Value;
        const auto k = static_cast<Value>(key);
        constexpr auto compared = static_cast<Value>(PixelSize<B>::kKeyCompareMask);
        const std::uint8_t* last = s + (count - 1) * B;
        for (std::int32_t x = 0; x < count; ++x) {
            Value p;
            std::memcpy(&p, last - x * B, B);
            if constexpr (Keyed) {
                Value old;
                std::memcpy(&old, d + x * B, B);
                p = static_cast<Value>(p & compared) == k ? old : p;
            }
            std::memcpy(d + x * B, &p, B);
        }
    }
}

// Columns one for one (same width, no left-right mirror): whole rows at once, or keyed rows.
template <int B, bool Keyed>
void CopyOneToOne(const PixelView& dst, const PixelView& src, const CopyRequest& rq, std::uint32_t key) {
    const Rect& v = rq.visible;
    const std::size_t bytes = static_cast<std::size_t>(v.Width()) * B;
    const std::int32_t sourceLeft = rq.src.left + v.left - rq.dst.left;
    const bool sameRows = rq.dst.Height() == rq.src.Height();
    if (!sameRows) {
        // Rows repeated or skipped: each row finds its source row.
        for (std::int32_t y = v.top; y < v.bottom; ++y) {
            const std::uint8_t* s = SourceRow(src, rq, y) + sourceLeft * B;
            std::uint8_t* d = dst.Row(y) + v.left * B;
            if constexpr (Keyed) {
                KeyedRow<B>(d, s, v.Width(), key);
            } else {
                std::memmove(d, s, bytes);
            }
        }
        return;
    }
    // Row for row: the source row steps by one pitch, down the picture or (mirrored) up it.
    const std::int32_t first = rq.mirrorY ? rq.src.bottom - 1 - (v.top - rq.dst.top) : rq.src.top + (v.top - rq.dst.top);
    const std::uint8_t* s = src.Row(first) + sourceLeft * B;
    const std::ptrdiff_t sourceStep = rq.mirrorY ? -src.pitch : src.pitch;
    std::uint8_t* d = dst.Row(v.top) + v.left * B;
    const std::int32_t rows = v.Height();
    // Whole-width rows of two surfaces with unpadded rows follow each other in memory: one
    // block copy moves them all.
    if (!Keyed && !rq.mirrorY && dst.pitch == src.pitch && static_cast<std::ptrdiff_t>(bytes) == dst.pitch) {
        std::memmove(d, s, bytes * static_cast<std::size_t>(rows));
        return;
    }
    if constexpr (Keyed) {
        for (std::int32_t i = 0; i < rows; ++i, s += sourceStep, d += dst.pitch) KeyedRow<B>(d, s, v.Width(), key);
    } else {
        // The spans of memory the rows lie in: when they are apart, no row can overlap another.
        const std::uint8_t* sourceFirst = rq.mirrorY ? s + sourceStep * (rows - 1) : s;
        const std::uint8_t* sourceEnd = sourceFirst + src.pitch * (rows - 1) + bytes;
        const std::uint8_t* destEnd = d + dst.pitch * (rows - 1) + bytes;
        const bool apart = std::less_equal<>{}(sourceEnd, d) || std::less_equal<>{}(destEnd, sourceFirst);
        if (apart) {
            for (std::int32_t i = 0; i < rows; ++i, s += sourceStep, d += dst.pitch) CopyShort(d, s, bytes);
        } else {
            for (std::int32_t i = 0; i < rows; ++i, s += sourceStep, d += dst.pitch) std::memmove(d, s, bytes);
        }
    }
}

// Stretched or mirrored columns. The columns every row samples are the same, so their byte
// offsets are worked out once per chunk of columns; each row is then a gather. A row that
// samples the same source row as the one above it (any enlargement) is a copy of that row when
// no key is involved.
template <int B, bool Keyed>
void CopySampled(const PixelView& dst, const PixelView& src, const CopyRequest& rq, std::uint32_t key) {
    constexpr std::int32_t kChunk = 512;
    std::int32_t offsets[kChunk];
    const Rect& v = rq.visible;
    const std::int32_t dw = rq.dst.Width(), sw = rq.src.Width();
    for (std::int32_t left = v.left; left < v.right; left += kChunk) {
        const std::int32_t count = std::min(kChunk, v.right - left);
        // Offsets in destination order; a mirror samples them in decreasing order.
        const std::int32_t firstJ = rq.mirrorX ? rq.dst.right - (left + count) : left - rq.dst.left;
        SampleStepper column(firstJ, sw, dw);
        for (std::int32_t i = 0; i < count; ++i, column.Next())
            offsets[rq.mirrorX ? count - 1 - i : i] = (rq.src.left + column.Value()) * B;

        const std::uint8_t* previous = nullptr;
        for (std::int32_t y = v.top; y < v.bottom; ++y) {
            const std::uint8_t* s = SourceRow(src, rq, y);
            std::uint8_t* d = dst.Row(y) + left * B;
            if (!Keyed && s == previous) {
                CopyShort(d, d - dst.pitch, static_cast<std::size_t>(count) * B);
                continue;
            }
            previous = s;
            for (std::int32_t i = 0; i < count; ++i) {
                const std::uint32_t p = LoadPixel<B>(s + offsets[i]);
                if constexpr (Keyed) {
                    const std::uint32_t old = LoadPixel<B>(d + i * B);
                    StorePixel<B>(d + i * B, PixelSize<B>::IsKey(p, key) ? old : p);
                } else {
                    StorePixel<B>(d + i * B, p);
                }
            }
        }
    }
}

// A left-right mirror at the picture's own width: each row reversed, the rows taken as the
// vertical sampling says. Source rows and destination rows are apart (the caller copies a
// surface's own pixels aside first).
template <int B, bool Keyed>
void CopyReversed(const PixelView& dst, const PixelView& src, const CopyRequest& rq, std::uint32_t key) {
    const Rect& v = rq.visible;
    // Destination column v.left samples source column src.right - 1 - (v.left - dst.left); the
    // row's samples run leftwards from there, so the source span starts at its far end.
    const std::int32_t sourceLeft = rq.src.right - (v.right - rq.dst.left);
    for (std::int32_t y = v.top; y < v.bottom; ++y)
        ReversedRow<B, Keyed>(dst.Row(y) + v.left * B, SourceRow(src, rq, y) + sourceLeft * B, v.Width(), key);
}

// Picks the loop for the pixel size, the key and the geometry once per copy.
template <int B>
void CopyLoop(const PixelView& dst, const PixelView& src, const CopyRequest& rq) {
    const bool sameWidth = rq.dst.Width() == rq.src.Width() && !rq.mirrorX;
    const std::uint32_t key = rq.key & PixelSize<B>::kMask;
    if (rq.mirrorX && rq.dst.Width() == rq.src.Width()) {
        rq.keyed ? CopyReversed<B, true>(dst, src, rq, key) : CopyReversed<B, false>(dst, src, rq, key);
    } else if (sameWidth) {
        rq.keyed ? CopyOneToOne<B, true>(dst, src, rq, key) : CopyOneToOne<B, false>(dst, src, rq, key);
    } else {
        rq.keyed ? CopySampled<B, true>(dst, src, rq, key) : CopySampled<B, false>(dst, src, rq, key);
    }
}

}  // namespace

void FillRect(const PixelView& dst, const Rect& rect, std::uint32_t value) {
    AssertInside(dst, rect);
    DispatchBytes(dst.bytesPerPixel, [&]<int B>() { FillLoop<B>(dst, rect, value); });
}

std::int32_t SampleIndex(std::int32_t i, std::int32_t srcStart, std::int32_t srcLength, std::int32_t dstLength, bool mirror) {
    const std::int64_t j = mirror ? dstLength - 1 - i : i;
    return srcStart + static_cast<std::int32_t>(((2 * j + 1) * srcLength) / (2 * std::int64_t{dstLength}));
}

namespace {

// Trims the destination run [lo, hi) along one axis to the offsets whose samples land inside
// [boundLo, boundHi). Samples are monotonic in the offset, so the kept offsets form one run.
void TrimAxis(std::int32_t& lo, std::int32_t& hi, std::int32_t dstStart, std::int32_t dstLength, std::int32_t srcStart,
              std::int32_t srcLength, bool mirror, std::int32_t boundLo, std::int32_t boundHi) {
    const auto inside = [&](std::int32_t d) {
        const std::int32_t s = SampleIndex(d - dstStart, srcStart, srcLength, dstLength, mirror);
        return s >= boundLo && s < boundHi;
    };
    while (lo < hi && !inside(lo)) ++lo;
    while (hi > lo && !inside(hi - 1)) --hi;
}

}  // namespace

void ClipToSource(CopyRequest& rq, const Rect& srcBounds) {
    Rect& v = rq.visible;
    TrimAxis(v.left, v.right, rq.dst.left, rq.dst.Width(), rq.src.left, rq.src.Width(), rq.mirrorX, srcBounds.left, srcBounds.right);
    TrimAxis(v.top, v.bottom, rq.dst.top, rq.dst.Height(), rq.src.top, rq.src.Height(), rq.mirrorY, srcBounds.top, srcBounds.bottom);
}

MEDIA_PIXEL_LOOP void CopyRect(const PixelView& dst, const PixelView& src, const CopyRequest& request) {
    if (request.visible.IsEmpty()) return;
    AssertInside(dst, request.visible);
    assert(dst.bytesPerPixel == src.bytesPerPixel);
    DispatchBytes(dst.bytesPerPixel, [&]<int B>() { CopyLoop<B>(dst, src, request); });
}

}  // namespace platform
