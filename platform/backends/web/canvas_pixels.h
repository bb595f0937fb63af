#pragma once
// The page shows frames through a 2D canvas, whose pixels are red, green, blue, alpha bytes. The
// desktop's 32-bit pixels are stored blue, green, red, unused; one pass per presented part turns
// them into the canvas's order, fully opaque. Nothing here needs a browser.
#include <cstdint>

#include "platform/core/geometry.h"
#include "platform/pixels/pixel_view.h"

namespace platform::web {

// Writes rect (in both views' coordinates, already inside both) of the 32-bit source into the
// canvas-ordered destination, which has 4 bytes a pixel.
void CopyToCanvasOrder(const PixelView& source, const Rect& rect, const PixelView& destination);

}  // namespace platform::web
