#pragma once
// The numbered blit kinds a sprite selects: each opaque kind N has a colour-keyed twin 100 + N.
// 6 and 106 are not used; any value outside this list draws nothing.
#include <cstdint>

namespace media {

/// The blit kinds SpriteObject::Draw selects by number. Each opaque kind N has a colour-keyed
/// twin 100 + N that leaves out the sheet's key pixels; 6 and 106 are not used and any other
/// value draws nothing. Each names the PixelSurface blit of the same name.
enum BlitKind : std::int32_t {
    BLIT_OPAQUE = 0,  ///< one-to-one copy
    BLIT_OPAQUE_BLEND = 1,  ///< weighted blend with the sprite's alpha as the destination's weight
    BLIT_OPAQUE_HALFBLEND = 2,  ///< mean of source and destination
    BLIT_OPAQUE_SCALED = 3,  ///< enlarged or shrunk by the sprite's scale
    BLIT_OPAQUE_SHADE = 4,  ///< the frame's rectangle darkened by the sprite's shadow factor, at its shadow offset
    BLIT_OPAQUE_HALFSHADE = 5,  ///< the frame's rectangle halved in brightness, at the shadow offset
    BLIT_OPAQUE_ROTATED = 7,  ///< turned by the sprite's angle and scale around the frame's centre
    BLIT_OPAQUE_MIRROR_X = 8,  ///< mirrored left to right
    BLIT_OPAQUE_MIRROR_Y = 9,  ///< mirrored top to bottom
    BLIT_OPAQUE_STRETCHED = 10,  ///< stretched to the sprite's stretch width and height
    BLIT_KEYED = 100,  ///< keyed one-to-one copy
    BLIT_KEYED_BLEND = 101,  ///< keyed weighted blend
    BLIT_KEYED_HALFBLEND = 102,  ///< keyed mean
    BLIT_KEYED_SCALED = 103,  ///< keyed scaled copy
    BLIT_KEYED_SHADE = 104,  ///< shadow of the opaque pixels, darkened by the shadow factor
    BLIT_KEYED_HALFSHADE = 105,  ///< shadow of the opaque pixels, halved
    BLIT_KEYED_ROTATED = 107,  ///< keyed rotation
    BLIT_KEYED_MIRROR_X = 108,  ///< keyed mirror left to right
    BLIT_KEYED_MIRROR_Y = 109,  ///< keyed mirror top to bottom
    BLIT_KEYED_STRETCHED = 110,  ///< keyed stretched copy
    BLIT_KEYED_ALPHAMAP = 120,  ///< each pixel mixed in with its byte of the sheet's alpha map
};

}  // namespace media
