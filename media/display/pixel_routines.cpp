// The five pixel routines of a surface, one family member per depth, installed once by
// SelectPixelRoutines so that per-pixel code never switches on the format.
#include <algorithm>
#include <cstring>

#include "media/display/pixel_surface.h"
#include "platform/pixels/pixel_access.h"

namespace media {

namespace {

using platform::LoadPixel;
using platform::StorePixel;

bool InsideClip(const PixelSurface& s, std::int32_t x, std::int32_t y) {
    const platform::Rect& c = s.ClipRect();
    return x >= c.left && x < c.right && y >= c.top && y < c.bottom;
}

// Bytes per pixel of a depth code, at compile time.
template <int Depth>
constexpr int kBytes = BytesPerPixelOfDepth(Depth);

template <int Depth>
std::uint8_t* At(PixelSurface& s, std::int32_t x, std::int32_t y) {
    return s.PixelRow(y) + static_cast<std::ptrdiff_t>(x) * kBytes<Depth>;
}

template <int Depth>
std::int32_t PutPixel(PixelSurface& s, std::int32_t x, std::int32_t y, std::uint32_t colour) {
    if (InsideClip(s, x, y)) StorePixel<kBytes<Depth>>(At<Depth>(s, x, y), colour);
    return 0;
}

template <int Depth>
std::uint32_t GetPixel(const PixelSurface& s, std::int32_t x, std::int32_t y) {
    return LoadPixel<kBytes<Depth>>(s.PixelRow(y) + static_cast<std::ptrdiff_t>(x) * kBytes<Depth>);
}

// d + floor((s - d) * w / 256) for one channel; the arithmetic shift floors negative products.
inline std::uint32_t MixChannel(std::uint32_t s, std::uint32_t d, std::int32_t w) {
    const std::int32_t diff = static_cast<std::int32_t>(s) - static_cast<std::int32_t>(d);
    return static_cast<std::uint32_t>(static_cast<std::int32_t>(d) + ((diff * w) >> 8));
}

// A 16-bit pixel blended channel by channel: red at redShift, green at 5, blue at 0.
template <int RedShift, std::uint32_t GreenMax>
std::uint32_t Mix16(std::uint32_t s, std::uint32_t d, std::int32_t w) {
    const std::uint32_t r = MixChannel((s >> RedShift) & 31, (d >> RedShift) & 31, w);
    const std::uint32_t g = MixChannel((s >> 5) & GreenMax, (d >> 5) & GreenMax, w);
    const std::uint32_t b = MixChannel(s & 31, d & 31, w);
    return (r << RedShift) | (g << 5) | b;
}

template <int Depth>
std::int32_t BlendPixel(PixelSurface& s, std::int32_t x, std::int32_t y, std::uint32_t colour, std::uint32_t weight) {
    if (!InsideClip(s, x, y)) return 0;
    std::uint8_t* p = At<Depth>(s, x, y);
    const std::int32_t w = static_cast<std::int32_t>(weight & 0xFFFF);
    if constexpr (Depth == 8) {
        *p = static_cast<std::uint8_t>(colour);
    } else if constexpr (Depth == 15) {
        StorePixel<2>(p, Mix16<10, 31>(colour, LoadPixel<2>(p), w));
    } else if constexpr (Depth == 16) {
        StorePixel<2>(p, Mix16<11, 63>(colour, LoadPixel<2>(p), w));
    } else {
        // Bytes 0, 1, 2 are blue, green and red; a 32-bit pixel's fourth byte is mixed the same
        // way so that it is rewritten with a defined value.
        for (int i = 0; i < kBytes<Depth>; ++i)
            p[i] = static_cast<std::uint8_t>(MixChannel((colour >> (8 * i)) & 0xFF, p[i], w));
    }
    return 0;
}

template <int Depth>
std::int32_t DrawVLine(PixelSurface& s, std::int32_t y1, std::int32_t y2, std::int32_t x, std::uint32_t colour) {
    const platform::Rect& c = s.ClipRect();
    if (x < c.left || x >= c.right) return 0;
    // The exclusive end is taken in 64 bits so that a line ending at the largest row is fine.
    const std::int64_t lo64 = std::min(y1, y2), hi64 = std::int64_t{std::max(y1, y2)} + 1;
    if (lo64 >= c.bottom || hi64 <= c.top) return 0;
    const auto lo = static_cast<std::int32_t>(std::max<std::int64_t>(lo64, c.top));
    const auto hi = static_cast<std::int32_t>(std::min<std::int64_t>(hi64, c.bottom));
    const std::ptrdiff_t pitch = s.Description().pitch;
    std::uint8_t* p = At<Depth>(s, x, lo);
    for (std::int32_t y = lo; y < hi; ++y, p += pitch) StorePixel<kBytes<Depth>>(p, colour);
    return 0;
}

inline void StoreWord(std::uint8_t* p, std::uint32_t word) { std::memcpy(p, &word, 4); }

template <int Depth>
std::int32_t DrawHLine(PixelSurface& s, std::int32_t x1, std::int32_t x2, std::int32_t y, std::uint32_t colour) {
    const platform::Rect& c = s.ClipRect();
    if (y < c.top || y >= c.bottom) return 0;
    const std::int32_t lo = std::max(std::min(x1, x2), c.left);
    const auto hi = static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{std::max(x1, x2)} + 1, c.right));
    if (lo >= hi) return 0;
    std::int32_t count = hi - lo;
    std::uint8_t* p = At<Depth>(s, lo, y);
    if constexpr (Depth == 8) {
        // Single bytes up to a multiple of four, then words holding the byte four times.
        for (; count % 4; --count) *p++ = static_cast<std::uint8_t>(colour);
        const std::uint32_t word = (colour & 0xFF) * 0x01010101u;
        for (; count; count -= 4, p += 4) StoreWord(p, word);
    } else if constexpr (Depth == 15 || Depth == 16) {
        // One single pixel for an odd count, then words holding the pixel twice.
        if (count % 2) {
            StorePixel<2>(p, colour);
            p += 2;
            --count;
        }
        const std::uint32_t word = (colour & 0xFFFF) * 0x00010001u;
        for (; count; count -= 2, p += 4) StoreWord(p, word);
    } else {
        for (; count; --count, p += kBytes<Depth>) StorePixel<kBytes<Depth>>(p, colour);
    }
    return 0;
}

}  // namespace

void PixelSurface::SelectPixelRoutines() {
    const auto install = [this]<int Depth>() {
        putPixel_ = &media::PutPixel<Depth>;
        blendPixel_ = &media::BlendPixel<Depth>;
        getPixel_ = &media::GetPixel<Depth>;
        drawVLine_ = &media::DrawVLine<Depth>;
        drawHLine_ = &media::DrawHLine<Depth>;
    };
    switch (pixelFormat_.depth) {
        case 8: install.operator()<8>(); break;
        case 15: install.operator()<15>(); break;
        case 16: install.operator()<16>(); break;
        case 24: install.operator()<24>(); break;
        case 32: install.operator()<32>(); break;
        default:
            putPixel_ = nullptr;
            blendPixel_ = nullptr;
            getPixel_ = nullptr;
            drawVLine_ = nullptr;
            drawHLine_ = nullptr;
            break;
    }
}

}  // namespace media
