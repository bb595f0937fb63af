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

void CopyIntoCanvas(const PixelView& canvas, const PixelView& source, const CopyRequest& request) {
    const Rect& visible = request.visible;
    if (visible.IsEmpty()) return;
    const bool oneToOne = request.dst.Width() == request.src.Width() && request.dst.Height() == request.src.Height();
    if (!request.keyed && !request.mirrorX && !request.mirrorY && oneToOne) {
        const Rect from = Offset(visible, request.src.left - request.dst.left, request.src.top - request.dst.top);
        CopyToCanvasOrder(source.Sub(from), {0, 0, visible.Width(), visible.Height()}, canvas.Sub(visible));
        return;
    }
    // Any other copy runs the ordinary loop on the part in the desktop's order. A keyed copy
    // leaves pixels as they were, so the part is turned back first: converting twice would
    // swap their red and blue.
    if (request.keyed) CopyToCanvasOrder(canvas, visible, canvas);
    CopyRect(canvas, source, request);
    CopyToCanvasOrder(canvas, visible, canvas);
}

void FillCanvas(const PixelView& canvas, const Rect& rect, std::uint32_t value) {
    if (!rect.IsEmpty()) FillRect(canvas, rect, CanvasPixel(value));
}

}  // namespace platform::web
