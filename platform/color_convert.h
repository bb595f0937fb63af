#pragma once
// Turning a COLORREF (0x00BBGGRR) into a raw pixel value of a surface format: RGB channels keep
// their top bits; 8-bit surfaces index the fixed 3-3-2 palette.
#include <cstdint>

#include "platform/surface_desc.h"

namespace platform {

using COLORREF = std::uint32_t;

constexpr std::uint8_t RedOf(COLORREF c) { return static_cast<std::uint8_t>(c); }
constexpr std::uint8_t GreenOf(COLORREF c) { return static_cast<std::uint8_t>(c >> 8); }
constexpr std::uint8_t BlueOf(COLORREF c) { return static_cast<std::uint8_t>(c >> 16); }
constexpr COLORREF Rgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return r | (g << 8) | (std::uint32_t{b} << 16);
}

constexpr std::uint8_t PaletteIndex332(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<std::uint8_t>((r & 0xE0) | ((g >> 3) & 0x1C) | (b >> 6));
}

// A channel value 0..255 placed into a mask's bits (narrowing drops the low bits).
std::uint32_t PackChannel(std::uint8_t value, std::uint32_t mask);
std::uint32_t RawFromRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b, const PixelFormatDesc& format);
inline std::uint32_t RawFromColorRef(COLORREF c, const PixelFormatDesc& format) {
    return RawFromRgb(RedOf(c), GreenOf(c), BlueOf(c), format);
}

}  // namespace platform
