#pragma once
// Straight-alpha arithmetic on raw pixels, one function per pixel format, shared by the front
// door's alpha loop and its transforming loop: OverPixel<T>(s, d, a) is the source pixel s laid
// over d with weight a (0..255), each channel round((s * a + d * (255 - a)) / 255). No branches,
// so the loops around them vectorise. At 8 bits (palette indexes) s where a >= 128, else d.
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/pixels/pixel_traits.h"

namespace media {

// round(x / 255) for 0 <= x <= 65025, without a division: exact over that range.
constexpr std::uint32_t Div255(std::uint32_t x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

template <typename T>
constexpr std::uint32_t OverPixel(std::uint32_t s, std::uint32_t d, std::uint32_t a) {
    if constexpr (T::kIndexed) {
        // A mask rather than a branch: all ones where the pixel is drawn.
        const std::uint32_t drawn = 0u - (a >> 7);
        return (s & drawn) | (d & ~drawn);
    } else if constexpr (T::kBytes == 2) {
        const std::uint32_t na = 255 - a;
        return (Div255(T::Red(s) * a + T::Red(d) * na) << T::kRedShift) | (Div255(T::Green(s) * a + T::Green(d) * na) << T::kGreenShift) |
               Div255(T::Blue(s) * a + T::Blue(d) * na);
    } else {
        // Red and blue share one multiply in 16-bit lanes (65025 + 383 fits), green takes another.
        const std::uint32_t na = 255 - a;
        std::uint32_t rb = (s & 0xFF00FF) * a + (d & 0xFF00FF) * na + 0x00800080;
        rb = ((rb + ((rb >> 8) & 0x00FF00FF)) >> 8) & 0x00FF00FF;
        std::uint32_t g = ((s >> 8) & 0xFF) * a + ((d >> 8) & 0xFF) * na + 0x80;
        g = (g + (g >> 8)) & 0xFF00;
        return T::KeepFourthByte(rb | g, d);
    }
}

#if defined(__SSE2__)
// Four 32-bit pixels at d laid over by four source pixels with four weights, in 16-bit lanes: the
// arithmetic of OverPixel (every intermediate stays below 65536), four pixels an instruction.
// low and high hold the sources' bytes widened to 16 bits (pixels 0-1 and 2-3); the fourth byte
// of each destination pixel is kept.
inline void OverFour(std::uint8_t* d, __m128i low, __m128i high, const std::uint8_t* weights) {
    const __m128i zero = _mm_setzero_si128(), k255 = _mm_set1_epi16(255), k128 = _mm_set1_epi16(128);
    std::int32_t bytes;
    std::memcpy(&bytes, weights, 4);
    __m128i w = _mm_cvtsi32_si128(bytes);
    w = _mm_unpacklo_epi8(w, w);
    w = _mm_unpacklo_epi16(w, w);  // each weight over its pixel's four bytes
    const __m128i old = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    const auto mix = [&](__m128i s, __m128i dd, __m128i ww) {
        __m128i x = _mm_add_epi16(_mm_mullo_epi16(s, ww), _mm_mullo_epi16(dd, _mm_sub_epi16(k255, ww)));
        x = _mm_add_epi16(x, k128);
        return _mm_srli_epi16(_mm_add_epi16(x, _mm_srli_epi16(x, 8)), 8);
    };
    __m128i out = _mm_packus_epi16(mix(low, _mm_unpacklo_epi8(old, zero), _mm_unpacklo_epi8(w, zero)),
                                   mix(high, _mm_unpackhi_epi8(old, zero), _mm_unpackhi_epi8(w, zero)));
    const __m128i fourth = _mm_set1_epi32(static_cast<std::int32_t>(0xFF000000u));
    out = _mm_or_si128(_mm_andnot_si128(fourth, out), _mm_and_si128(fourth, old));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), out);
}
#endif

}  // namespace media
