#pragma once
// The front door's alpha blend: each source pixel laid over the destination with its own byte of
// the source's alpha map, straight (not premultiplied) alpha. 0 leaves the destination, 255 gives
// the source; in between each channel, in its own bits, becomes
//     (s * a + d * (255 - a)) / 255, rounded to the nearest integer,
// exactly (255 is odd, so no result lies halfway). Beside the keyed alpha-map blit, whose
// 255/256 rule stays for its callers: this loop has no colour key and reaches the source.
// An 8-bit palette has no blend: there a pixel is drawn whole where its alpha is 128 or more and
// left out below. A 32-bit destination keeps its fourth byte.
#include <cstdint>

#include "media/blit/software_frame.h"

namespace media {

// The area's source pixels over its destination pixels, weighted by the map (rows of mapWidth
// bytes, indexed by source position, so area.sourceRect says where the area starts in it).
void StraightAlphaLoop(const SoftwareBlitArea& area, const std::uint8_t* alphaMap, std::int32_t mapWidth);

}  // namespace media
