#pragma once
// Colours as red, green, blue and alpha, turned into a surface's raw pixel value by the layer, so
// that the same Color is the same colour on a 16-bit and a 32-bit desktop.
#include <cstdint>

namespace media {

class PixelSurface;

/// A colour: 8-bit red, green, blue and alpha (255 opaque, the default).
struct Color {
    std::uint8_t r = 0;    ///< red
    std::uint8_t g = 0;    ///< green
    std::uint8_t b = 0;    ///< blue
    std::uint8_t a = 255;  ///< alpha: 0 draws nothing, anything else draws the colour opaque

    /// Channel-wise equality.
    friend constexpr bool operator==(const Color&, const Color&) = default;

    /// The raw pixel value of this colour in the surface's pixel format (what its pixel
    /// routines and Fill take); 0 for a surface without pixels.
    std::uint32_t RawFor(const PixelSurface& surface) const;
    /// The colour a raw pixel value of the surface stands for (alpha 255).
    static Color FromRaw(std::uint32_t raw, const PixelSurface& surface);
};

/// Colours by name.
/// @{
inline constexpr Color kBlack{0, 0, 0};
inline constexpr Color kWhite{255, 255, 255};
inline constexpr Color kRed{255, 0, 0};
inline constexpr Color kGreen{0, 255, 0};
inline constexpr Color kBlue{0, 0, 255};
inline constexpr Color kYellow{255, 255, 0};
inline constexpr Color kMagenta{255, 0, 255};
inline constexpr Color kDarkBlue{32, 64, 128};
inline constexpr Color kTransparent{0, 0, 0, 0};
/// @}

}  // namespace media
