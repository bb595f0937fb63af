#pragma once
// The frame every software blit shares: the default source rectangle, ClipBlit, the lock bracket,
// and views of exactly the pixels to walk. The loop given runs once per call with the depth
// code, never per pixel.
#include <cstdint>

#include "media/blit/clipping.h"
#include "media/blit/locked_pair.h"
#include "media/display/pixel_surface.h"
#include "platform/pixels/pixel_view.h"

namespace media {

// What a software blit's loop is given: equal-sized views of the destination and source pixels,
// the depth code both surfaces share, and the clipped source rectangle (for per-pixel side data
// such as the alpha map).
struct SoftwareBlitArea {
    platform::PixelView dest, source;
    std::int32_t depth = 0;
    platform::Rect sourceRect;
};

// Runs loop(area) over the clipped blit and returns 0, as every software blit does. Nothing is
// drawn when clipping leaves nothing, when a lock fails, or when the two surfaces have different
// depth codes (the loops walk both with one pixel size).
template <typename Loop>
std::int32_t RunSoftwareBlit(PixelSurface& source, PixelSurface* dest, std::int32_t x, std::int32_t y, const platform::Rect* srcRect,
                             Loop&& loop) {
    if (!dest) return 0;
    platform::Rect s = srcRect ? *srcRect : platform::Rect{0, 0, source.Width(), source.Height()};
    if (!ClipBlit(source, *dest, x, y, s)) return 0;
    const LockedPair locks(source, *dest);
    if (!locks) return 0;
    const std::int32_t depth = dest->GetPixelFormatInfo().depth;
    if (source.GetPixelFormatInfo().depth != depth) return 0;
    const platform::PixelView sourceView = source.View(), destView = dest->View();
    const platform::Rect d{x, y, x + s.Width(), y + s.Height()};
    // Clip rectangles lie inside their surfaces; this guards the loops should a view disagree.
    if (!platform::FitsInside(s, sourceView.width, sourceView.height) || !platform::FitsInside(d, destView.width, destView.height))
        return 0;
    loop(SoftwareBlitArea{destView.Sub(d), sourceView.Sub(s), depth, s});
    return 0;
}

}  // namespace media
