#pragma once
// The numbered blit kinds a sprite selects: each opaque kind N has a colour-keyed twin 100 + N.
// 6 and 106 are not used; any value outside this list draws nothing.
#include <cstdint>

namespace media {

enum BlitKind : std::int32_t {
    BLIT_OPAQUE = 0,
    BLIT_OPAQUE_BLEND = 1,
    BLIT_OPAQUE_HALFBLEND = 2,
    BLIT_OPAQUE_SCALED = 3,
    BLIT_OPAQUE_SHADE = 4,
    BLIT_OPAQUE_HALFSHADE = 5,
    BLIT_OPAQUE_ROTATED = 7,
    BLIT_OPAQUE_MIRROR_X = 8,
    BLIT_OPAQUE_MIRROR_Y = 9,
    BLIT_OPAQUE_STRETCHED = 10,
    BLIT_KEYED = 100,
    BLIT_KEYED_BLEND = 101,
    BLIT_KEYED_HALFBLEND = 102,
    BLIT_KEYED_SCALED = 103,
    BLIT_KEYED_SHADE = 104,
    BLIT_KEYED_HALFSHADE = 105,
    BLIT_KEYED_ROTATED = 107,
    BLIT_KEYED_MIRROR_X = 108,
    BLIT_KEYED_MIRROR_Y = 109,
    BLIT_KEYED_STRETCHED = 110,
    BLIT_KEYED_ALPHAMAP = 120,
};

}  // namespace media
