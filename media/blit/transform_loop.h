#pragma once
// The front door's transforming draw: one inverse-mapping loop for every move, scale, turn and
// flip. Each destination pixel's centre is mapped back into the source through a linear map held
// in 32.32 fixed point; the source pixel it falls in (rounded down) is drawn. Per destination row
// the run of pixels that map inside the source is solved exactly on those integers, so the inner
// loop has no bounds test, and a row's pixels do not depend on where a clip starts it.
#include <cstdint>

#include "platform/pixels/pixel_view.h"

namespace media {

// How a source pixel covers the destination.
enum class Coverage : std::uint8_t {
    Opaque,  // every pixel
    Keyed,   // pixels equal to the key left out
    Alpha,   // each pixel weighted by its byte of the alpha map (straight alpha)
};

struct TransformDraw {
    platform::PixelView dest;    // the pixels that may be drawn (already clipped)
    std::int32_t destLeft = 0;   // dest's top-left in the coordinates the map starts from
    std::int32_t destTop = 0;
    platform::PixelView source;  // the whole source picture
    platform::Rect sourceArea;   // the part of it that may be sampled (inside the source)
    const std::uint8_t* alpha = nullptr;  // Alpha: the source's alpha map, one byte a pixel
    std::int32_t alphaWidth = 0;          // its bytes a row
    std::uint32_t key = 0;                // Keyed: the colour key (raw)
    Coverage coverage = Coverage::Opaque;
    // Source position (32.32) of the centre of destination pixel (0, 0), and its steps per pixel.
    std::int64_t u0 = 0, v0 = 0, dudx = 0, dvdx = 0, dudy = 0, dvdy = 0;
    // Tint and opacity: each channel round(c * tint / 255), the coverage times opacity / 255.
    std::uint8_t tintRed = 255, tintGreen = 255, tintBlue = 255, opacity = 255;
    std::int32_t depth = 0;  // of both views: 8, 15, 16, 24 or 32 (others draw nothing)
};

// The first and one-past-last x of [from, to) where lo <= f0 + x * step <= hi (exact).
struct Span {
    std::int64_t begin, end;
};
Span SolveSpan(std::int64_t f0, std::int64_t step, std::int64_t lo, std::int64_t hi, std::int64_t from, std::int64_t to);

void TransformLoop(const TransformDraw& draw);

}  // namespace media
