#pragma once
// Lays one colour over the destination through coverage maps (one byte per pixel, 0 none, 255
// full): antialiased glyphs from a font's atlas. Each pixel takes weight coverage * alpha / 255,
// rounded, and is blended with straight alpha as media/blit/straight_alpha.h states (an 8-bit
// destination takes the colour where the weight is 128 or more).
#include <cstddef>
#include <cstdint>

#include "platform/pixels/pixel_view.h"

namespace media {

/// One glyph's part on the destination (already cut to it) and where its coverage starts in the
/// coverage map.
struct CoveragePiece {
    platform::Rect area;
    std::size_t offset;
};

/// All the pieces of one text in one call, so the format is chosen once per text; the coverage
/// map's rows lie coveragePitch bytes apart.
void BlendCoverage(const platform::PixelView& dest, std::int32_t depth, const CoveragePiece* pieces, std::size_t count,
                   const std::uint8_t* coverage, std::ptrdiff_t coveragePitch, std::uint32_t raw, std::uint8_t alpha);

}  // namespace media
