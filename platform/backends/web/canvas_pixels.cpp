#include "platform/backends/web/canvas_pixels.h"

#include <cstring>

#ifdef __wasm_simd128__
#include <wasm_simd128.h>
#endif

namespace platform::web {

namespace {

// Blue-green-red-unused, read as a little-endian word, to red-green-blue-opaque.
inline std::uint32_t CanvasPixel(std::uint32_t desktop) {
    return ((desktop >> 16) & 0xFFu) | (desktop & 0xFF00u) | ((desktop & 0xFFu) << 16) | 0xFF000000u;
}

// One row of width pixels; from and to may be the same. The compiler does not vectorise the
// word loop for WebAssembly, so the browser's build converts four pixels at a time with a byte
// shuffle (red and blue change places) and an or (opaque).
void ConvertRow(const std::uint8_t* from, std::uint8_t* to, std::size_t width) {
    std::size_t x = 0;
#ifdef __wasm_simd128__
    const v128_t opaque = wasm_i32x4_splat(static_cast<std::int32_t>(0xFF000000u));
    for (; x + 4 <= width; x += 4) {
        const v128_t pixels = wasm_v128_load(from + 4 * x);
        const v128_t swapped = wasm_i8x16_shuffle(pixels, pixels, 2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
        wasm_v128_store(to + 4 * x, wasm_v128_or(swapped, opaque));
    }
#endif
    for (; x < width; ++x) {
        std::uint32_t pixel;
        std::memcpy(&pixel, from + 4 * x, 4);
        pixel = CanvasPixel(pixel);
        std::memcpy(to + 4 * x, &pixel, 4);
    }
}

}  // namespace

void CopyToCanvasOrder(const PixelView& source, const Rect& rect, const PixelView& destination) {
    const auto width = static_cast<std::size_t>(rect.Width());
    for (std::int32_t y = rect.top; y < rect.bottom; ++y) ConvertRow(source.At(rect.left, y), destination.At(rect.left, y), width);
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
