#pragma once
// Lays one colour over the destination through a coverage map (one byte per pixel, 0 none, 255
// full): antialiased glyphs from a font's atlas. Each pixel takes weight coverage * alpha / 255,
// rounded, and is blended with straight alpha as media/blit/straight_alpha.h states (an 8-bit
// destination takes the colour where the weight is 128 or more).
#include <cstddef>
#include <cstdint>

#include "platform/pixels/pixel_view.h"

namespace media {

/// dest and the coverage map (coveragePitch bytes a row) are the same size: dest's.
void BlendCoverage(const platform::PixelView& dest, std::int32_t depth, const std::uint8_t* coverage, std::ptrdiff_t coveragePitch,
                   std::uint32_t raw, std::uint8_t alpha);

}  // namespace media
