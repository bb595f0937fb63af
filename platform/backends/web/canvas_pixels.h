#pragma once
// The page shows frames through a 2D canvas, whose pixels are red, green, blue, alpha bytes. The
// desktop's 32-bit pixels are stored blue, green, red, unused. The backend keeps only the canvas's
// image: copies and fills onto the desktop land in it converted as they are written, so a frame
// reaches the canvas in one pass over its pixels. Nothing here needs a browser.
#include <cstdint>

#include "platform/core/geometry.h"
#include "platform/pixels/pixel_view.h"
#include "platform/pixels/surface_copy.h"

namespace platform::web {

// Writes rect (in both views' coordinates, already inside both) of the 32-bit source into the
// canvas-ordered destination, which has 4 bytes a pixel. Source and destination may be the same
// view: converting twice gives the desktop's order back (with the unused byte 255).
void CopyToCanvasOrder(const PixelView& source, const Rect& rect, const PixelView& destination);

// One copy of desktop pixels, as CopyRect takes it (request.visible inside the canvas view), into
// the canvas-ordered view: the same pixels CopyRect would write, in the canvas's order. A plain
// copy (neither keyed, mirrored nor scaled), the flip of a frame, converts straight from the source.
void CopyIntoCanvas(const PixelView& canvas, const PixelView& source, const CopyRequest& request);

// A fill of rect (inside the canvas view) with a desktop pixel value, in the canvas's order.
void FillCanvas(const PixelView& canvas, const Rect& rect, std::uint32_t value);

}  // namespace platform::web
