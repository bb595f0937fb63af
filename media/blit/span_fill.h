#pragma once
// Fills runs of pixels in one colour: the last step of every shape the front door draws (the
// shape rasteriser hands over its spans, already cut to the destination). An opaque colour is
// written as the fill routines write it; a translucent one is laid over each pixel with straight
// alpha as media/blit/straight_alpha.h states (at 8 bits: drawn where alpha >= 128).
#include <cstdint>

#include "platform/pixels/pixel_view.h"

namespace media {

/// Pixels begin..end - 1 (end exclusive) of row y.
struct PixelSpan {
    std::int32_t y, begin, end;
};

void FillSpans(const platform::PixelView& dest, std::int32_t depth, const PixelSpan* spans, std::size_t count, std::uint32_t raw,
               std::uint8_t alpha);

}  // namespace media
