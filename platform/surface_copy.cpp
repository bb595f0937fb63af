#include "platform/surface_copy.h"

#include <cassert>
#include <cstring>

#include "platform/pixel_access.h"

namespace platform {

namespace {

template <int B>
void FillLoop(const PixelView& dst, const Rect& rect, std::uint32_t value) {
    const std::int32_t width = rect.Width();
    for (std::int32_t y = rect.top; y < rect.bottom; ++y) {
        std::uint8_t* d = dst.Row(y) + rect.left * B;
        if constexpr (B == 1) {
            std::memset(d, static_cast<int>(value & 0xFF), static_cast<std::size_t>(width));
        } else if constexpr (B == 2) {
            // Two pixels per 32-bit word after an odd leading pixel.
            std::int32_t x = 0;
            if (width % 2) StorePixel<2>(d + 2 * x++, value);
            const std::uint32_t word = (value & 0xFFFF) * 0x00010001u;
            for (; x < width; x += 2) StorePixel<4>(d + 2 * x, word);
        } else {
            for (std::int32_t x = 0; x < width; ++x, d += B) StorePixel<B>(d, value);
        }
    }
}

// Steps j -> floor((2j + 1) * sw / (2 * dw)) without a division per pixel.
class SampleStepper {
public:
    SampleStepper(std::int32_t j, std::int32_t sw, std::int32_t dw)
        : den_(2 * std::int64_t{dw}), step_(2 * std::int64_t{sw}) {
        const std::int64_t num = (2 * std::int64_t{j} + 1) * sw;
        q_ = num / den_;
        r_ = num % den_;
        stepQ_ = step_ / den_;
        stepR_ = step_ % den_;
    }
    std::int32_t Value() const { return static_cast<std::int32_t>(q_); }
    void Next() {
        q_ += stepQ_;
        r_ += stepR_;
        if (r_ >= den_) {
            ++q_;
            r_ -= den_;
        }
    }

private:
    std::int64_t den_, step_, q_ = 0, r_ = 0, stepQ_ = 0, stepR_ = 0;
};

template <int B>
void CopyLoop(const PixelView& dst, const PixelView& src, const CopyRequest& rq) {
    const std::int32_t dw = rq.dst.Width(), dh = rq.dst.Height();
    const std::int32_t sw = rq.src.Width(), sh = rq.src.Height();
    const Rect& v = rq.visible;
    const std::int32_t count = v.Width();
    const bool oneToOne = dw == sw && dh == sh && !rq.mirrorX && !rq.mirrorY;
    const std::uint32_t key = rq.key & PixelMask<B>();

    // Columns are walked in increasing sample order: right to left in the destination when
    // mirrored.
    const std::int32_t firstJ = rq.mirrorX ? rq.dst.right - v.right : v.left - rq.dst.left;
    const std::ptrdiff_t dstStep = rq.mirrorX ? -B : B;
    const std::int32_t firstColumn = rq.mirrorX ? v.right - 1 : v.left;

    for (std::int32_t y = v.top; y < v.bottom; ++y) {
        const std::int32_t sy = SampleIndex(y - rq.dst.top, rq.src.top, sh, dh, rq.mirrorY);
        const std::uint8_t* srow = src.Row(sy);
        if (oneToOne) {
            const std::uint8_t* s = srow + (rq.src.left + v.left - rq.dst.left) * B;
            std::uint8_t* d = dst.Row(y) + v.left * B;
            if (!rq.keyed) {
                std::memmove(d, s, static_cast<std::size_t>(count) * B);
                continue;
            }
            for (std::int32_t x = 0; x < count; ++x, s += B, d += B) {
                const std::uint32_t p = LoadPixel<B>(s);
                if (p != key) StorePixel<B>(d, p);
            }
            continue;
        }
        std::uint8_t* d = dst.Row(y) + firstColumn * B;
        const std::uint8_t* s0 = srow + rq.src.left * B;
        SampleStepper column(firstJ, sw, dw);
        for (std::int32_t x = 0; x < count; ++x, d += dstStep, column.Next()) {
            const std::uint32_t p = LoadPixel<B>(s0 + column.Value() * B);
            if (!rq.keyed || p != key) StorePixel<B>(d, p);
        }
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

void CopyRect(const PixelView& dst, const PixelView& src, const CopyRequest& request) {
    if (request.visible.IsEmpty()) return;
    AssertInside(dst, request.visible);
    assert(dst.bytesPerPixel == src.bytesPerPixel);
    DispatchBytes(dst.bytesPerPixel, [&]<int B>() { CopyLoop<B>(dst, src, request); });
}

}  // namespace platform
