#pragma once
// Per-depth arithmetic of the software blits on raw pixel values, channel-parallel within one
// word: 16-bit pixels as 5-5-5 or 5-6-5 channels, 24- and 32-bit pixels as the three colour bytes
// (results never carry a fourth byte; the loops put the destination's back). Every function is a
// handful of shifts, masks and multiplies with no branch, so the loops around them vectorise.
#include <cstdint>

#include "platform/pixels/pixel_access.h"

namespace media::pixel_math {

template <int Depth>
struct Traits;

// 16-bit pixels: red at RedShift, green 5 or 6 bits at 5, blue at 0; HalfMask drops each
// channel's lowest bit after a shift right, so halves never carry into a neighbour.
template <int RedShift, std::uint32_t GreenMax, std::uint32_t HalfMask>
struct Traits16 {
    static constexpr int kBytes = 2;
    static constexpr std::uint32_t kHalfMask = HalfMask;
    using U16 = std::uint16_t;
    static std::uint32_t KeyOf(std::uint32_t p) { return p; }
    static std::uint32_t Half(std::uint32_t s, std::uint32_t d) { return ((s >> 1) & HalfMask) + ((d >> 1) & HalfMask); }
    // Every product and sum below stays under 63 * 256, so each is kept as a 16-bit value: the
    // compiler then multiplies 16 pixels' channels per vector instruction instead of 8.
    static U16 Weigh(std::uint32_t c, std::uint32_t w) { return static_cast<U16>(c * w); }
    // Per channel (x * (256 - wy) + y * wy) >> 8, i.e. x + floor((y - x) * wy / 256), wy <= 256.
    static std::uint32_t Mix(std::uint32_t x, std::uint32_t y, std::uint32_t wy) {
        const std::uint32_t wx = 256 - wy;
        const U16 r = static_cast<U16>(static_cast<U16>(Weigh((x >> RedShift) & 31, wx) + Weigh((y >> RedShift) & 31, wy)) >> 8);
        const U16 g = static_cast<U16>(static_cast<U16>(Weigh((x >> 5) & GreenMax, wx) + Weigh((y >> 5) & GreenMax, wy)) >> 8);
        const U16 b = static_cast<U16>(static_cast<U16>(Weigh(x & 31, wx) + Weigh(y & 31, wy)) >> 8);
        return static_cast<U16>((r << RedShift) | (g << 5) | b);
    }
    // Per channel floor(c * f / 256), f <= 256.
    static std::uint32_t Scale(std::uint32_t d, std::uint32_t f) {
        const U16 r = static_cast<U16>(Weigh((d >> RedShift) & 31, f) >> 8);
        const U16 g = static_cast<U16>(Weigh((d >> 5) & GreenMax, f) >> 8);
        const U16 b = static_cast<U16>(Weigh(d & 31, f) >> 8);
        return static_cast<U16>((r << RedShift) | (g << 5) | b);
    }
    static std::uint32_t HalfShade(std::uint32_t d) { return (d >> 1) & HalfMask; }
};

template <>
struct Traits<15> : Traits16<10, 31, 0x3DEF> {};
template <>
struct Traits<16> : Traits16<11, 63, 0x7BEF> {};

// 24- and 32-bit pixels: blue, green and red bytes; the key is compared with their 24-bit value.
// Red and blue share one multiply (0x00FF00FF), green takes another; products stay in 32 bits.
template <int Bytes>
struct Traits24 {
    static constexpr int kBytes = Bytes;
    static std::uint32_t KeyOf(std::uint32_t p) { return p & 0xFFFFFF; }
    static std::uint32_t Half(std::uint32_t s, std::uint32_t d) { return ((s >> 1) & 0x7F7F7F) + ((d >> 1) & 0x7F7F7F); }
    static std::uint32_t Mix(std::uint32_t x, std::uint32_t y, std::uint32_t wy) {
        const std::uint32_t wx = 256 - wy;
        const std::uint32_t rb = (((x & 0xFF00FF) * wx + (y & 0xFF00FF) * wy) >> 8) & 0xFF00FF;
        const std::uint32_t g = (((x & 0xFF00) * wx + (y & 0xFF00) * wy) >> 8) & 0xFF00;
        return rb | g;
    }
    static std::uint32_t Scale(std::uint32_t d, std::uint32_t f) {
        return ((((d & 0xFF00FF) * f) >> 8) & 0xFF00FF) | ((((d & 0xFF00) * f) >> 8) & 0xFF00);
    }
    static std::uint32_t HalfShade(std::uint32_t d) { return (d >> 1) & 0x7F7F7F; }
};

template <>
struct Traits<24> : Traits24<3> {};
template <>
struct Traits<32> : Traits24<4> {};

// The destination pixel to store: a 32-bit pixel keeps its own fourth byte.
template <int Depth>
inline std::uint32_t WithFourthByte(std::uint32_t result, std::uint32_t oldDest) {
    if constexpr (Depth == 32) {
        return (oldDest & 0xFF000000u) | result;
    } else {
        return result;
    }
}

// Calls f.template operator()<Depth>() for the software blits' depth codes 15, 16, 24 and 32;
// any other depth calls nothing. The one switch on the format, once per blit.
template <typename F>
inline void DispatchDepth(std::int32_t depth, F&& f) {
    switch (depth) {
        case 15: f.template operator()<15>(); break;
        case 16: f.template operator()<16>(); break;
        case 24: f.template operator()<24>(); break;
        case 32: f.template operator()<32>(); break;
        default: break;
    }
}

}  // namespace media::pixel_math
