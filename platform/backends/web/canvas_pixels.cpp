#include "platform/backends/web/canvas_pixels.h"

#include <cstring>

namespace platform::web {

namespace {

// Blue-green-red-unused, read as a little-endian word, to red-green-blue-opaque.
inline std::uint32_t CanvasPixel(std::uint32_t desktop) {
    return ((desktop >> 16) & 0xFFu) | (desktop & 0xFF00u) | ((desktop & 0xFFu) << 16) | 0xFF000000u;
}

}  // namespace

void CopyToCanvasOrder(const PixelView& source, const Rect& rect, const PixelView& destination) {
    const auto width = static_cast<std::size_t>(rect.Width());
    for (std::int32_t y = rect.top; y < rect.bottom; ++y) {
        const std::uint8_t* from = source.At(rect.left, y);
        std::uint8_t* to = destination.At(rect.left, y);
        for (std::size_t x = 0; x < width; ++x) {
            std::uint32_t pixel;
            std::memcpy(&pixel, from + 4 * x, 4);
            pixel = CanvasPixel(pixel);
            std::memcpy(to + 4 * x, &pixel, 4);
        }
    }
}

}  // namespace platform::web
