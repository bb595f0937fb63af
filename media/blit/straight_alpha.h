#pragma once
// Straight-alpha arithmetic on raw pixels, one function per pixel format, shared by the front
// door's alpha loop and its transforming loop: OverPixel<T>(s, d, a) is the source pixel s laid
// over d with weight a (0..255), each channel round((s * a + d * (255 - a)) / 255). No branches,
// so the loops around them vectorise. At 8 bits (palette indexes) s where a >= 128, else d.
#include <cstdint>

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

}  // namespace media
