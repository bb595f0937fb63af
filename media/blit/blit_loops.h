#pragma once
// The pixel loops of the blending and shadow blits, on views of exactly the pixels to walk (the
// destination and source views have the same size and the depth code's pixel size). Rows run top
// to bottom, pixels left to right; in the colour-keyed forms a source pixel equal to the key
// leaves its destination pixel as it was, all its bits. A 32-bit destination keeps its fourth
// byte. Depth codes other than 15, 16, 24 and 32 draw nothing.
#include <cstdint>

#include "media/blit/software_frame.h"

namespace media {

// Each channel (s >> 1) + (d >> 1).
void HalfBlendLoop(const SoftwareBlitArea& area, bool keyed, std::uint32_t key);
// Each channel s + floor((d - s) * a / 256), a = min(weight, 256): the weight is the destination's.
void BlendLoop(const SoftwareBlitArea& area, bool keyed, std::uint32_t key, std::uint32_t weight);
// Each channel d + floor((s - d) * m / 256), m the source pixel's byte of the alpha map (rows of
// mapWidth bytes, indexed by source position); key pixels skipped.
void AlphaMapLoop(const SoftwareBlitArea& area, std::uint32_t key, const std::uint8_t* alphaMap, std::int32_t mapWidth);
// Each destination channel floor(c * f / 256), f = min(factor, 256); the opaque form reads no
// source pixel.
void ShadeLoop(const SoftwareBlitArea& area, bool keyed, std::uint32_t key, std::uint32_t factor);
// Each destination channel c >> 1.
void HalfShadeLoop(const SoftwareBlitArea& area, bool keyed, std::uint32_t key);

}  // namespace media
