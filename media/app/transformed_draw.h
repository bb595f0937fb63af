#pragma once
// The work behind Canvas::Draw with DrawOptions: the options turned into the inverse map of the
// transforming loop (media/blit/transform_loop.h), the picture's coverage chosen, both surfaces
// locked, and the loop run once.
#include "canvas.h"
#include "draw_options.h"
#include "status.h"

namespace media {

class PixelSurface;

/// Draws the source rectangle of from onto to as the options say (DrawOptions explains the map).
/// The rectangle is cut to the picture; pixels it leaves are not drawn, and the origin stays
/// where the rectangle asked for put it.
Status DrawTransformed(PixelSurface& from, const IntRect& source, PixelSurface& to, const DrawOptions& options);

}  // namespace media
