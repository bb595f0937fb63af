#include "media/blit/transform_loop.h"

#include <algorithm>
#include <array>

#include "media/blit/straight_alpha.h"
#include "platform/pixels/color_convert.h"
#include "platform/pixels/pixel_access.h"

namespace media {

namespace {

using platform::LoadPixel;
using platform::StorePixel;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

std::int64_t CeilDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) == (b < 0)) ? q + 1 : q;
}

// What a pixel loop needs besides the pixels: the tint per channel and, at 8 bits, the tint as a
// table from palette index to palette index (made once per draw).
struct Modulation {
    std::uint32_t red, green, blue, opacity;
    std::array<std::uint8_t, 256> indexTint;
};

template <typename T>
inline std::uint32_t Tint(std::uint32_t s, const Modulation& m) {
    if constexpr (T::kIndexed) {
        return m.indexTint[s & 0xFF];
    } else if constexpr (T::kBytes == 2) {
        return (Div255(T::Red(s) * m.red) << T::kRedShift) | (Div255(T::Green(s) * m.green) << T::kGreenShift) | Div255(T::Blue(s) * m.blue);
    } else {
        return (Div255(((s >> 16) & 0xFF) * m.red) << 16) | (Div255(((s >> 8) & 0xFF) * m.green) << 8) | Div255((s & 0xFF) * m.blue);
    }
}

// One destination run of n pixels from d on, the first mapping to source position (u, v) in
// 32.32, every one of them inside the source area (SolveSpan saw to that).
template <typename T, Coverage C, bool Modulated>
void DrawRun(const TransformDraw& t, const Modulation& m, std::uint8_t* d, std::int64_t u, std::int64_t v, std::int64_t n) {
    constexpr int B = T::kBytes;
    const std::uint8_t* const base = t.source.base;
    const std::ptrdiff_t pitch = t.source.pitch;
    for (std::int64_t i = 0; i < n; ++i, d += B, u += t.dudx, v += t.dvdx) {
        const auto sx = static_cast<std::ptrdiff_t>(u >> 32), sy = static_cast<std::ptrdiff_t>(v >> 32);
        const std::uint32_t s = LoadPixel<B>(base + sy * pitch + sx * B);
        std::uint32_t a = 255;
        if constexpr (C == Coverage::Alpha) a = t.alpha[sy * t.alphaWidth + sx];
        if constexpr (C == Coverage::Keyed) {
            if (T::IsKey(s, t.key)) continue;
        }
        if constexpr (!Modulated && C != Coverage::Alpha) {
            StorePixel<B>(d, s);
        } else if constexpr (!Modulated) {
            StorePixel<B>(d, OverPixel<T>(s, LoadPixel<B>(d), a));
        } else {
            StorePixel<B>(d, OverPixel<T>(Tint<T>(s, m), LoadPixel<B>(d), Div255(a * m.opacity)));
        }
    }
}

template <typename T, Coverage C, bool Modulated>
void Walk(const TransformDraw& t, const Modulation& m) {
    constexpr std::int64_t kOne = std::int64_t{1} << 32;
    const std::int64_t uLo = t.sourceArea.left * kOne, uHi = t.sourceArea.right * kOne - 1;
    const std::int64_t vLo = t.sourceArea.top * kOne, vHi = t.sourceArea.bottom * kOne - 1;
    const std::int64_t from = t.destLeft, to = std::int64_t{t.destLeft} + t.dest.width;
    for (std::int32_t row = 0; row < t.dest.height; ++row) {
        const std::int64_t y = std::int64_t{t.destTop} + row;
        const std::int64_t uRow = t.u0 + y * t.dudy, vRow = t.v0 + y * t.dvdy;
        const Span su = SolveSpan(uRow, t.dudx, uLo, uHi, from, to);
        const Span sv = SolveSpan(vRow, t.dvdx, vLo, vHi, su.begin, su.end);
        if (sv.end <= sv.begin) continue;
        std::uint8_t* d = t.dest.Row(row) + (sv.begin - from) * T::kBytes;
        DrawRun<T, C, Modulated>(t, m, d, uRow + sv.begin * t.dudx, vRow + sv.begin * t.dvdx, sv.end - sv.begin);
    }
}

template <typename T, Coverage C>
void WalkCoverage(const TransformDraw& t, const Modulation& m, bool modulated) {
    if (modulated) {
        Walk<T, C, true>(t, m);
    } else {
        Walk<T, C, false>(t, m);
    }
}

}  // namespace

Span SolveSpan(std::int64_t f0, std::int64_t step, std::int64_t lo, std::int64_t hi, std::int64_t from, std::int64_t to) {
    std::int64_t begin = from, end = to;
    if (step == 0) {
        if (f0 < lo || f0 > hi) end = begin;
    } else if (step > 0) {
        begin = std::max(begin, CeilDiv(lo - f0, step));
        end = std::min(end, FloorDiv(hi - f0, step) + 1);
    } else {
        begin = std::max(begin, CeilDiv(hi - f0, step));
        end = std::min(end, FloorDiv(lo - f0, step) + 1);
    }
    return {begin, std::max(begin, end)};
}

MEDIA_PIXEL_LOOP void TransformLoop(const TransformDraw& t) {
    if (t.dest.Empty() || t.sourceArea.IsEmpty() || t.opacity == 0) return;
    Modulation m{t.tintRed, t.tintGreen, t.tintBlue, t.opacity, {}};
    const bool modulated = t.tintRed != 255 || t.tintGreen != 255 || t.tintBlue != 255 || t.opacity != 255;
    if (t.depth == 8) {
        for (std::size_t i = 0; i < 256; ++i) {
            const platform::COLORREF c = platform::ColorOfIndex332(static_cast<std::uint8_t>(i));
            m.indexTint[i] = platform::PaletteIndex332(static_cast<std::uint8_t>(Div255(platform::RedOf(c) * m.red)),
                                                       static_cast<std::uint8_t>(Div255(platform::GreenOf(c) * m.green)),
                                                       static_cast<std::uint8_t>(Div255(platform::BlueOf(c) * m.blue)));
        }
    }
    platform::DispatchDepth(t.depth, [&]<typename T>() {
        switch (t.coverage) {
            case Coverage::Opaque: WalkCoverage<T, Coverage::Opaque>(t, m, modulated); break;
            case Coverage::Keyed:
                if (T::KeyCanMatch(t.key)) {
                    WalkCoverage<T, Coverage::Keyed>(t, m, modulated);
                } else {
                    WalkCoverage<T, Coverage::Opaque>(t, m, modulated);
                }
                break;
            case Coverage::Alpha: WalkCoverage<T, Coverage::Alpha>(t, m, modulated); break;
        }
    });
}

}  // namespace media
