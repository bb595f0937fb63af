#include "media/blit/clipping.h"

#include <algorithm>
#include <climits>

#include "media/display/pixel_surface.h"

namespace media {

std::int32_t ClipRect(const PixelSurface& surface, platform::Rect& rect) {
    const platform::Rect& c = surface.ClipRect();
    if (rect.top >= c.bottom || rect.left >= c.right || rect.bottom <= c.top || rect.right <= c.left) return 0;
    const platform::Rect cut{std::max(rect.left, c.left), std::max(rect.top, c.top), std::min(rect.right, c.right),
                             std::min(rect.bottom, c.bottom)};
    // An inverted rectangle, or a clip rectangle left inverted by SetClipRect beyond the surface,
    // can pass the edge tests above and still hold no pixel.
    if (cut.IsEmpty()) return 0;
    rect = cut;
    return 1;
}

std::int32_t ClipBlit(const PixelSurface& source, const PixelSurface& dest, std::int32_t& x, std::int32_t& y, platform::Rect& srcRect) {
    if (!ClipRect(source, srcRect)) return 0;
    // The cut source lies inside a surface, so its size is small, but x and y may be anywhere:
    // a rectangle that would pass the largest coordinate is off every destination.
    const std::int64_t right = std::int64_t{x} + srcRect.Width(), bottom = std::int64_t{y} + srcRect.Height();
    if (right > INT32_MAX || bottom > INT32_MAX) return 0;
    const platform::Rect d0{x, y, static_cast<std::int32_t>(right), static_cast<std::int32_t>(bottom)};
    platform::Rect d = d0;
    if (!ClipRect(dest, d)) return 0;
    srcRect.top += d.top - d0.top;
    srcRect.left += d.left - d0.left;
    srcRect.bottom += d.bottom - d0.bottom;
    srcRect.right += d.right - d0.right;
    x = d.left;
    y = d.top;
    return 1;
}

}  // namespace media
