#pragma once
// The layer's built-in 8x16 font drawn at whole-number scales: each glyph pixel a scale x scale
// block, the advance 8 x scale, one byte a character (32..126 have glyphs, others advance
// blank), as the unscaled text the canvas has always drawn.
#include <cstdint>

#include "color.h"
#include "font.h"
#include "status.h"

namespace media {

class PixelSurface;

/// Draws text with its top-left at (x, y), cut to the surface's clip rectangle; the colour's
/// alpha is its opacity. A scale below 1 or above 64 is refused.
Status DrawBitmapText(PixelSurface& surface, std::int32_t x, std::int32_t y, const char* text, Color color, std::int32_t scale);
/// The size that text takes at that scale: 8 x scale per byte wide, 16 x scale high (0 x 0 for
/// no text or a scale out of range).
TextSize MeasureBitmapText(const char* text, std::int32_t scale);

}  // namespace media
