#pragma once
// The layer's description of a surface's pixels: per-channel maxima and shifts and a depth code
// (8, 15, 16, 24, 32, or 0 for a format the layer does not handle).
#include <cstdint>

namespace media {

/// A surface's pixel layout: each channel's largest value and its bit position in a raw pixel,
/// and the depth code (8, 15, 16, 24, 32; 0 for a format the layer does not handle). 8-bit
/// surfaces index the fixed 3-3-2 palette and leave the channels at 0.
struct PixelFormat {
    /// Each channel's largest value (its mask shifted down) and its shift in a raw pixel.
    /// @{
    std::uint8_t blueMax = 0, greenMax = 0, redMax = 0;
    std::uint8_t blueShift = 0, greenShift = 0, redShift = 0;
    /// @}
    std::int32_t depth = 0;  ///< 8, 15, 16, 24 or 32; 0 when unhandled
};

/// Bytes one pixel takes at a depth code (0 for unhandled depths). The same as the platform's
/// pixel traits say (checked where surfaces are made), written out so that this header, which
/// programs include, needs none of the traits.
constexpr int BytesPerPixelOfDepth(std::int32_t depth) {
    switch (depth) {
        case 8: return 1;
        case 15:
        case 16: return 2;
        case 24: return 3;
        case 32: return 4;
        default: return 0;
    }
}

}  // namespace media
