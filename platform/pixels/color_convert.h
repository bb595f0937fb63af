#pragma once
// Turning a COLORREF (0x00BBGGRR) into a raw pixel value of a surface format: RGB channels keep
// their top bits; 8-bit surfaces index the fixed 3-3-2 palette.
#include <cstdint>

#include "surface_desc.h"

namespace platform {

/// A colour as 0x00BBGGRR.
using COLORREF = std::uint32_t;

/// Its red, green and blue.
/// @{
constexpr std::uint8_t RedOf(COLORREF c) { return static_cast<std::uint8_t>(c); }
constexpr std::uint8_t GreenOf(COLORREF c) { return static_cast<std::uint8_t>(c >> 8); }
constexpr std::uint8_t BlueOf(COLORREF c) { return static_cast<std::uint8_t>(c >> 16); }
/// @}
/// A COLORREF of red, green and blue.
constexpr COLORREF Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return r | (g << 8) | (std::uint32_t{b} << 16);
}

/// The fixed 3-3-2 palette's index nearest a colour.
constexpr std::uint8_t PaletteIndex332(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<std::uint8_t>((r & 0xE0) | ((g >> 3) & 0x1C) | (b >> 6));
}

/// Reading an index of the fixed 3-3-2 palette back as colour: 3-bit red and green spread as
/// c * 255 / 7, 2-bit blue as c * 255 / 3 (integer division). Returned as a COLORREF.
constexpr COLORREF ColorOfIndex332(std::uint8_t index) {
    return Rgb(static_cast<std::uint8_t>(((index >> 5) & 7) * 255 / 7), static_cast<std::uint8_t>(((index >> 2) & 7) * 255 / 7),
               static_cast<std::uint8_t>((index & 3) * 255 / 3));
}

/// Widening a channel of up to 8 bits for output: the top bits are replicated into the low ones
/// ((c << 3) | (c >> 2) for 5 bits), so full scale stays full scale.
constexpr std::uint8_t WidenChannel(std::uint32_t value, int bits) {
    if (bits <= 0) return 0;
    if (bits >= 8) return static_cast<std::uint8_t>(value >> (bits - 8));
    std::uint32_t wide = value << (8 - bits);
    for (int filled = bits; filled < 8; filled += bits) wide |= wide >> bits;
    return static_cast<std::uint8_t>(wide);
}

/// A raw pixel value of a surface format read back as colour (COLORREF): RGB channels widened
/// as above, 8-bit indexes through the 3-3-2 palette.
COLORREF ColorRefFromRaw(std::uint32_t raw, const PixelFormatDesc& format);

/// A channel value 0..255 placed into a mask's bits (narrowing drops the low bits).
std::uint32_t PackChannel(std::uint8_t value, std::uint32_t mask);
/// The raw pixel value of a colour in a pixel format.
std::uint32_t RawFromRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b, const PixelFormatDesc& format);
/// The raw pixel value of a COLORREF in a pixel format.
inline std::uint32_t RawFromColorRef(COLORREF c, const PixelFormatDesc& format) {
    return RawFromRgb(RedOf(c), GreenOf(c), BlueOf(c), format);
}

}  // namespace platform
