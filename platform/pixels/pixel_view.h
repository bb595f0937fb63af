#pragma once
// A view of pixel memory: where the first row starts, how far apart rows are, the size in pixels,
// the bytes one pixel takes and (where a loop needs colours rather than raw values) the channel
// masks. Every pixel loop (fills, copies, text, blits, bitmap transfer, decoders, screenshots)
// works on views, never on surface objects; a view is a plain value and owns nothing.
#include <cassert>
#include <cstddef>
#include <cstdint>

#include "surface_desc.h"
#include "../core/geometry.h"

namespace platform {

/// Pixels in memory as the copy routines see them: rows of bytes, a pitch apart.
struct PixelView {
    std::uint8_t* base = nullptr;  ///< first pixel of row 0
    std::ptrdiff_t pitch = 0;      ///< bytes from one row to the next
    /// Size in pixels.
    /// @{
    std::int32_t width = 0, height = 0;
    /// @}
    /// Bytes a pixel.
    int bytesPerPixel = 0;
    PixelFormatDesc format;  ///< channel layout; bitCount <= 8 means the fixed 3-3-2 palette

    /// Row y, pixel (x, y), the whole view as a rectangle, and whether it has no pixels.
    /// @{
    std::uint8_t* Row(std::int32_t y) const { return base + static_cast<std::ptrdiff_t>(y) * pitch; }
    std::uint8_t* At(std::int32_t x, std::int32_t y) const { return Row(y) + static_cast<std::ptrdiff_t>(x) * bytesPerPixel; }
    Rect Bounds() const { return {0, 0, width, height}; }
    bool Empty() const { return base == nullptr || width <= 0 || height <= 0; }
    /// @}
    /// The part of this view inside r (which must lie inside it), as a view of its own.
    PixelView Sub(const Rect& r) const {
        assert(FitsInside(r, width, height));
        return {At(r.left, r.top), pitch, r.Width(), r.Height(), bytesPerPixel, format};
    }
};

/// The loops trust their rectangles; debug builds check that they do lie inside the view.
inline void AssertInside([[maybe_unused]] const PixelView& view, [[maybe_unused]] const Rect& r) {
    assert(r.IsEmpty() || FitsInside(r, view.width, view.height));
}

}  // namespace platform
