#pragma once
// What the layer knows about each pixel format, in one place.
//
// PixelSize<Bytes> holds what depends only on the pixel size: the bits a raw value holds, the bits
// a colour key is compared with, the word holding a pixel repeated.
// PixelTraits<Depth> adds, per depth code (8, 15, 16, 24, 32), the channel layout and the
// channel-parallel arithmetic of the blends, halves and shades on raw values.
// DispatchDepth and DispatchBytes are the only switches from a run-time format to these
// compile-time traits: a loop chooses its traits once per operation, never per pixel.
//
// Every function is a handful of shifts, masks and multiplies with no branch, so the loops around
// them vectorise. Only values here: loads and stores are pixel_access.h's.
#include <cstdint>
#include <type_traits>

namespace platform {

template <int Bytes>
struct PixelSize {
    static_assert(Bytes >= 1 && Bytes <= 4, "pixels take 1 to 4 bytes");
    static constexpr int kBytes = Bytes;

    // The narrowest unsigned type holding a pixel (3-byte pixels in 32 bits). Loops that keep
    // pixels in it let a vector register hold as many of them as it can.
    using Value = std::conditional_t<Bytes == 1, std::uint8_t, std::conditional_t<Bytes == 2, std::uint16_t, std::uint32_t>>;

    // The bits of a raw value that a pixel holds.
    static constexpr std::uint32_t kMask = Bytes == 4 ? 0xFFFFFFFFu : (1u << (8 * Bytes)) - 1u;

    // The bits of a pixel that a colour key is compared with: the whole pixel, except that a
    // 32-bit pixel's fourth byte carries no colour and is left out (as in the 24-bit formats, the
    // key is compared with the three colour bytes). A key with bits outside this mask matches no
    // pixel.
    static constexpr std::uint32_t kKeyCompareMask = Bytes == 4 ? 0x00FFFFFFu : kMask;

    static constexpr bool IsKey(std::uint32_t pixel, std::uint32_t key) { return (pixel & kKeyCompareMask) == key; }

    // True when some pixel of this size can equal the key.
    static constexpr bool KeyCanMatch(std::uint32_t key) { return (key & ~kKeyCompareMask) == 0; }

    // The value to store over old: a 32-bit pixel keeps its own fourth byte, which results of the
    // colour arithmetic never carry.
    static constexpr std::uint32_t KeepFourthByte(std::uint32_t result, std::uint32_t old) {
        if constexpr (Bytes == 4) {
            return (old & ~kKeyCompareMask) | result;
        } else {
            return result;
        }
    }

    // Pixels per 32-bit word when a fill writes whole words (1 when it does not).
    static constexpr int kPerWord = Bytes <= 2 ? 4 / Bytes : 1;

    // A 32-bit word holding the pixel kPerWord times: the byte four times, a 16-bit pixel twice.
    static constexpr std::uint32_t Repeated(std::uint32_t pixel) {
        if constexpr (Bytes == 1) {
            return (pixel & 0xFFu) * 0x01010101u;
        } else if constexpr (Bytes == 2) {
            return (pixel & 0xFFFFu) * 0x00010001u;
        } else {
            return pixel;
        }
    }
};

// d + floor((s - d) * w / 256) for one channel value; the arithmetic shift floors negative
// products. Weights up to 256 give a value inside the channel; larger ones (up to 65535) run
// past it, and callers that allow them keep what the packing makes of it.
constexpr std::uint32_t BlendChannel(std::uint32_t s, std::uint32_t d, std::int32_t w) {
    const std::int32_t diff = static_cast<std::int32_t>(s) - static_cast<std::int32_t>(d);
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(d) + ((diff * w) >> 8));
}

template <int Depth>
struct PixelTraits;

// 8 bits: an index into the fixed 3-3-2 palette, with no channels to compute on.
template <>
struct PixelTraits<8> : PixelSize<1> {
    static constexpr int kDepth = 8;
    static constexpr bool kIndexed = true;
    static constexpr std::uint32_t kRedMask = 0, kGreenMask = 0, kBlueMask = 0;
};

// 16-bit pixels: red 5 bits at RedShift, green 5 or 6 bits at 5, blue 5 bits at 0. HalfMask keeps
// each channel's bits but its top one after a shift right by one, so halves never carry into a
// neighbour.
template <int Depth, int RedShift, std::uint32_t RedMask, std::uint32_t GreenMask, std::uint32_t BlueMask, std::uint32_t HalfMask>
struct Pixel16Traits : PixelSize<2> {
    static constexpr int kDepth = Depth;
    static constexpr bool kIndexed = false;
    static constexpr std::uint32_t kRedMask = RedMask, kGreenMask = GreenMask, kBlueMask = BlueMask;
    static constexpr int kRedShift = RedShift, kGreenShift = 5, kBlueShift = 0;
    static constexpr std::uint32_t kRedMax = RedMask >> RedShift, kGreenMax = GreenMask >> 5, kBlueMax = BlueMask;
    static constexpr std::uint32_t kHalfMask = HalfMask;

    static constexpr std::uint32_t Red(std::uint32_t p) { return (p >> kRedShift) & kRedMax; }
    static constexpr std::uint32_t Green(std::uint32_t p) { return (p >> kGreenShift) & kGreenMax; }
    static constexpr std::uint32_t Blue(std::uint32_t p) { return p & kBlueMax; }

    // op(channel of x, channel of y) for red, green and blue, put back in place (not masked: op
    // keeps each result inside its channel, or its caller accepts what spills).
    template <typename Op>
    static constexpr std::uint32_t PerChannel(std::uint32_t x, std::uint32_t y, Op op) {
        return (std::uint32_t{op(Red(x), Red(y))} << kRedShift) | (std::uint32_t{op(Green(x), Green(y))} << kGreenShift) |
               std::uint32_t{op(Blue(x), Blue(y))};
    }

    // Each channel halved, its lowest bit dropped.
    static constexpr std::uint32_t HalfShade(std::uint32_t d) { return (d >> 1) & kHalfMask; }
    // Each channel the sum of the two halves.
    static constexpr std::uint32_t Half(std::uint32_t s, std::uint32_t d) { return HalfShade(s) + HalfShade(d); }

    // Per channel (x * (256 - wy) + y * wy) >> 8, i.e. x + floor((y - x) * wy / 256), wy <= 256.
    // Every product and sum stays under 63 * 256, so each is kept as a 16-bit value: the compiler
    // then multiplies 16 pixels' channels per vector instruction instead of 8.
    static constexpr std::uint32_t Mix(std::uint32_t x, std::uint32_t y, std::uint32_t wy) {
        const std::uint32_t wx = 256 - wy;
        return static_cast<std::uint16_t>(PerChannel(x, y, [wx, wy](std::uint32_t a, std::uint32_t b) {
            return static_cast<std::uint16_t>(static_cast<std::uint16_t>(Weigh(a, wx) + Weigh(b, wy)) >> 8);
        }));
    }

    // Per channel floor(c * f / 256), f <= 256.
    static constexpr std::uint32_t Scale(std::uint32_t d, std::uint32_t f) {
        return static_cast<std::uint16_t>(
            PerChannel(d, d, [f](std::uint32_t c, std::uint32_t) { return static_cast<std::uint16_t>(Weigh(c, f) >> 8); }));
    }

    // The pixel routines' blend: per channel BlendChannel(colour, d, w), for any weight up to
    // 65535. For w <= 256 it equals Mix(d, colour, w).
    static constexpr std::uint32_t Blend(std::uint32_t colour, std::uint32_t d, std::int32_t w) {
        return PerChannel(colour, d, [w](std::uint32_t s, std::uint32_t o) { return BlendChannel(s, o, w); });
    }

private:
    static constexpr std::uint16_t Weigh(std::uint32_t c, std::uint32_t w) { return static_cast<std::uint16_t>(c * w); }
};

template <>
struct PixelTraits<15> : Pixel16Traits<15, 10, 0x7C00, 0x03E0, 0x001F, 0x3DEF> {};
template <>
struct PixelTraits<16> : Pixel16Traits<16, 11, 0xF800, 0x07E0, 0x001F, 0x7BEF> {};

// 24- and 32-bit pixels: blue, green and red bytes, a 32-bit pixel's fourth byte unused. Results
// never carry a fourth byte (KeepFourthByte puts the destination's back). Red and blue share one
// multiply (0x00FF00FF), green takes another; products stay in 32 bits.
template <int Depth>
struct Pixel24Traits : PixelSize<Depth / 8> {
    static constexpr int kDepth = Depth;
    static constexpr bool kIndexed = false;
    static constexpr std::uint32_t kRedMask = 0xFF0000, kGreenMask = 0x00FF00, kBlueMask = 0x0000FF;
    static constexpr int kRedShift = 16, kGreenShift = 8, kBlueShift = 0;
    static constexpr std::uint32_t kRedMax = 255, kGreenMax = 255, kBlueMax = 255;
    static constexpr std::uint32_t kHalfMask = 0x7F7F7F;

    static constexpr std::uint32_t HalfShade(std::uint32_t d) { return (d >> 1) & kHalfMask; }
    static constexpr std::uint32_t Half(std::uint32_t s, std::uint32_t d) { return HalfShade(s) + HalfShade(d); }
    static constexpr std::uint32_t Mix(std::uint32_t x, std::uint32_t y, std::uint32_t wy) {
        const std::uint32_t wx = 256 - wy;
        const std::uint32_t rb = (((x & 0xFF00FF) * wx + (y & 0xFF00FF) * wy) >> 8) & 0xFF00FF;
        const std::uint32_t g = (((x & 0xFF00) * wx + (y & 0xFF00) * wy) >> 8) & 0xFF00;
        return rb | g;
    }
    static constexpr std::uint32_t Scale(std::uint32_t d, std::uint32_t f) {
        return ((((d & 0xFF00FF) * f) >> 8) & 0xFF00FF) | ((((d & 0xFF00) * f) >> 8) & 0xFF00);
    }
};

template <>
struct PixelTraits<24> : Pixel24Traits<24> {};
template <>
struct PixelTraits<32> : Pixel24Traits<32> {};

// Calls f.template operator()<PixelTraits<D>>() for the depth code D of 8, 15, 16, 24 or 32 and
// returns true; any other code calls nothing and returns false.
template <typename F>
constexpr bool DispatchDepth(std::int32_t depth, F&& f) {
    switch (depth) {
        case 8: f.template operator()<PixelTraits<8>>(); return true;
        case 15: f.template operator()<PixelTraits<15>>(); return true;
        case 16: f.template operator()<PixelTraits<16>>(); return true;
        case 24: f.template operator()<PixelTraits<24>>(); return true;
        case 32: f.template operator()<PixelTraits<32>>(); return true;
        default: return false;
    }
}

// Calls f.template operator()<Bytes>() for a run-time pixel size of 1 to 4 bytes, for the loops
// that depend on the size alone (copies, key runs, text); any other size calls nothing.
template <typename F>
constexpr void DispatchBytes(int bytes, F&& f) {
    switch (bytes) {
        case 1: f.template operator()<1>(); break;
        case 2: f.template operator()<2>(); break;
        case 3: f.template operator()<3>(); break;
        case 4: f.template operator()<4>(); break;
        default: break;
    }
}

// Bytes one pixel takes at a depth code (0 for codes the layer does not handle).
constexpr int BytesPerPixelOfDepth(std::int32_t depth) {
    int bytes = 0;
    DispatchDepth(depth, [&]<typename T>() { bytes = T::kBytes; });
    return bytes;
}

}  // namespace platform
