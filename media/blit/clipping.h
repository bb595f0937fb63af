#pragma once
// The clipping every blit shares: a rectangle cut to a surface's clip rectangle, and a one-to-one
// blit cut against both its source and its destination.
#include <cstdint>

#include "../../platform/core/geometry.h"

namespace media {

class PixelSurface;

/// Cuts rect to the surface's clip rectangle. 1 when pixels are left (rect changed in place), 0
/// when nothing is (rect unchanged): also for an empty or inverted rectangle or clip rectangle.
std::int32_t ClipRect(const PixelSurface& surface, platform::Rect& rect);

/// Cuts srcRect to the source's clip rectangle, then the rectangle it covers at (x, y) to the
/// destination's, carrying each destination cut back into srcRect; x and y move to the cut
/// rectangle's top-left. 1 when pixels are left, 0 when not (also when the destination would
/// pass the largest coordinate). Afterwards srcRect and the destination rectangle at (x, y) have
/// the same size. The one-to-one blits clip with it.
std::int32_t ClipBlit(const PixelSurface& source, const PixelSurface& dest, std::int32_t& x, std::int32_t& y, platform::Rect& srcRect);

}  // namespace media
