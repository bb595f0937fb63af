// The five pixel routines of a surface, one family member per depth, installed once by
// SelectPixelRoutines so that per-pixel code never switches on the format.
#include <algorithm>

#include "media/display/pixel_surface.h"
#include "platform/pixels/pixel_access.h"
#include "platform/pixels/pixel_traits.h"

namespace media {

namespace {

using platform::LoadPixel;
using platform::StorePixel;

bool InsideClip(const PixelSurface& s, std::int32_t x, std::int32_t y) {
    const platform::Rect& c = s.ClipRect();
    return x >= c.left && x < c.right && y >= c.top && y < c.bottom;
}

template <typename T>
std::uint8_t* At(PixelSurface& s, std::int32_t x, std::int32_t y) {
    return s.PixelRow(y) + static_cast<std::ptrdiff_t>(x) * T::kBytes;
}

template <typename T>
std::int32_t PutPixel(PixelSurface& s, std::int32_t x, std::int32_t y, std::uint32_t colour) {
    if (InsideClip(s, x, y)) StorePixel<T::kBytes>(At<T>(s, x, y), colour);
    return 0;
}

template <typename T>
std::uint32_t GetPixel(const PixelSurface& s, std::int32_t x, std::int32_t y) {
    return LoadPixel<T::kBytes>(s.PixelRow(y) + static_cast<std::ptrdiff_t>(x) * T::kBytes);
}

template <typename T>
std::int32_t BlendPixel(PixelSurface& s, std::int32_t x, std::int32_t y, std::uint32_t colour, std::uint32_t weight) {
    if (!InsideClip(s, x, y)) return 0;
    std::uint8_t* p = At<T>(s, x, y);
    const std::int32_t w = static_cast<std::int32_t>(weight & 0xFFFF);
    if constexpr (T::kIndexed) {
        *p = static_cast<std::uint8_t>(colour);
    } else if constexpr (T::kBytes == 2) {
        StorePixel<2>(p, T::Blend(colour, LoadPixel<2>(p), w));
    } else {
        // Bytes 0, 1, 2 are blue, green and red; a 32-bit pixel's fourth byte is mixed the same
        // way so that it is rewritten with a defined value.
        for (int i = 0; i < T::kBytes; ++i)
            p[i] = static_cast<std::uint8_t>(platform::BlendChannel((colour >> (8 * i)) & 0xFF, p[i], w));
    }
    return 0;
}

template <typename T>
std::int32_t DrawVLine(PixelSurface& s, std::int32_t y1, std::int32_t y2, std::int32_t x, std::uint32_t colour) {
    const platform::Rect& c = s.ClipRect();
    if (x < c.left || x >= c.right) return 0;
    // The exclusive end is taken in 64 bits so that a line ending at the largest row is fine.
    const std::int64_t lo64 = std::min(y1, y2), hi64 = std::int64_t{std::max(y1, y2)} + 1;
    if (lo64 >= c.bottom || hi64 <= c.top) return 0;
    const auto lo = static_cast<std::int32_t>(std::max<std::int64_t>(lo64, c.top));
    const auto hi = static_cast<std::int32_t>(std::min<std::int64_t>(hi64, c.bottom));
    const std::ptrdiff_t pitch = s.Description().pitch;
    std::uint8_t* p = At<T>(s, x, lo);
    for (std::int32_t y = lo; y < hi; ++y, p += pitch) StorePixel<T::kBytes>(p, colour);
    return 0;
}

template <typename T>
std::int32_t DrawHLine(PixelSurface& s, std::int32_t x1, std::int32_t x2, std::int32_t y, std::uint32_t colour) {
    const platform::Rect& c = s.ClipRect();
    if (y < c.top || y >= c.bottom) return 0;
    const std::int32_t lo = std::max(std::min(x1, x2), c.left);
    const auto hi = static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{std::max(x1, x2)} + 1, c.right));
    if (lo >= hi) return 0;
    platform::FillPixels<T::kBytes>(At<T>(s, lo, y), hi - lo, colour);
    return 0;
}

}  // namespace

void PixelSurface::SelectPixelRoutines() {
    const bool known = platform::DispatchDepth(pixelFormat_.depth, [this]<typename T>() {
        putPixel_ = &media::PutPixel<T>;
        blendPixel_ = &media::BlendPixel<T>;
        getPixel_ = &media::GetPixel<T>;
        drawVLine_ = &media::DrawVLine<T>;
        drawHLine_ = &media::DrawHLine<T>;
    });
    if (!known) {
        putPixel_ = nullptr;
        blendPixel_ = nullptr;
        getPixel_ = nullptr;
        drawVLine_ = nullptr;
        drawHLine_ = nullptr;
    }
}

}  // namespace media
