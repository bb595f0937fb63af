#pragma once
// How Canvas::Draw places a picture when it is moved, scaled, turned, flipped, tinted or faded.
#include <cstdint>

#include "canvas.h"
#include "color.h"

namespace media {

/// A picture drawn transformed (Canvas::Draw with options). The origin is a point of the source
/// rectangle (in its pixels from its top-left corner); the picture is scaled and turned about it,
/// and the position says where on the canvas it lands, as a sprite's origin does.
///
/// Each canvas pixel whose centre maps back inside the source rectangle takes the source pixel
/// the centre falls in (nearest pixel, coordinates rounded down): the centre (x + 0.5, y + 0.5)
/// moved by -position, turned by -rotation, divided by the scale and moved by +origin. A draw
/// partly off the canvas shows exactly the pixels of the same draw unclipped.
struct DrawOptions {
    /// Where the origin lands on the canvas, in pixels.
    /// @{
    float x = 0;
    float y = 0;
    /// @}
    /// The point of the source rectangle the picture is placed, scaled and turned by.
    /// @{
    float originX = 0;
    float originY = 0;
    /// @}
    /// Size factors; a negative factor mirrors about the origin. Factors whose size is below
    /// 1/256 or above 65536, and NaN or infinite values anywhere, draw nothing.
    /// @{
    float scaleX = 1;
    float scaleY = 1;
    /// @}
    /// Degrees; positive turns clockwise on the screen (y grows downwards).
    float rotation = 0;
    /// Mirrors left to right and top to bottom about the origin: the same as negating scaleX or
    /// scaleY.
    /// @{
    bool flipX = false;
    bool flipY = false;
    /// @}
    /// Each channel of the picture multiplied by the tint's (round(c * t / 255)); white leaves
    /// the picture as it is. The tint's alpha multiplies the opacity.
    Color tint = kWhite;
    /// 255 draws the picture as it is, 0 draws nothing; between, it is laid over the canvas with
    /// that weight (times its own alpha, for a picture that has alpha).
    std::uint8_t opacity = 255;
    /// Opaque, Keyed, Alpha or Auto (the default); the mirror modes add their flip, HalfBlend is
    /// Keyed at half the opacity.
    BlitMode mode = BlitMode::Auto;
};

}  // namespace media
